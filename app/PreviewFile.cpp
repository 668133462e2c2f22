#include "app/PreviewFile.h"

#include "lang/HtmlAspParser.h"
#include "platform/Profile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace tarnwell {

namespace {

// Paths travel as UTF-8 strings; these keep them so on every platform.
fs::path P(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }
std::string S(const fs::path& path) {
    std::u8string u = path.u8string();
    return std::string(u.begin(), u.end());
}

std::string FolderOf(const std::string& path) { return S(P(path).parent_path()); }

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(P(path), ec);
}

// Tries every number at most a few times over before giving up, so a folder full of preview files
// cannot hold the program in the loop.
constexpr int kMaxNameDraws = 4 * 32768;

PreviewProjectSource& Source() {
    static PreviewProjectSource source;
    return source;
}

}  // namespace

void SetPreviewProjectSource(PreviewProjectSource source) { Source() = std::move(source); }

const PreviewProjectSource& GetPreviewProjectSource() { return Source(); }

std::string PreviewFileName(const std::string& folder, unsigned number, const std::string& extension) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%04X", kPreviewPrefix, number);
    return S(P(folder) / P(std::string(name) + extension));
}

bool IsPreviewFileName(const std::string& fileName) {
    if (fileName.size() < 4) return false;
    for (size_t i = 0; i < 4; ++i)
        if (std::toupper(static_cast<unsigned char>(fileName[i])) != kPreviewPrefix[i]) return false;
    return true;
}

std::string JoinWebPath(const std::string& webPath, const std::string& relativePath) {
    std::string base = webPath;
    while (!base.empty() && (base.back() == ' ' || base.back() == '/')) base.pop_back();
    return base + "/" + relativePath;
}

PreviewNumberSource TimeSeededNumbers() {
    auto engine = std::make_shared<std::minstd_rand>(static_cast<unsigned>(std::time(nullptr)));
    return [engine]() { return unsigned((*engine)() % 32768u); };
}

std::string CreatePreviewFile(const std::string& folder, const std::string& extension, PreviewHost& host,
                              const PreviewNumberSource& numbers) {
    std::error_code ec;
    if (!folder.empty() && fs::is_directory(P(folder), ec)) {
        for (int draw = 0; draw < kMaxNameDraws; ++draw) {
            std::string path = PreviewFileName(folder, numbers() & 0x7FFFu, extension);
            if (Exists(path)) continue;
            if (host.WriteDocumentText(path)) return path;
            // A file the write left behind would outlive its frame.
            fs::remove(P(path), ec);
            break;
        }
    }
    host.ReportPreviewFailure();
    return {};
}

PreviewFile MakePreviewFile(const std::string& documentPath, PreviewHost& host, Profile& messages,
                            const PreviewNumberSource& numbers) {
    const int kind = GetFileKind(documentPath);
    const PreviewProject* project = host.OpenProject();
    if (project && IsServerPage(kind)) {
        bool viaServer = true;
        if (project->WebPath().empty()) {
            if (messages.GetInt("Messages", kWarnPreviewNoWebPath, 1) == 0) {
                viaServer = false;
            } else {
                bool check = false;
                WebPathAnswer answer = host.AskForWebPath(check);
                messages.WriteInt("Messages", kWarnPreviewNoWebPath, check ? 0 : 1);
                if (answer == WebPathAnswer::Cancel) return {};
                if (answer == WebPathAnswer::No) {
                    viaServer = false;
                } else {
                    project = host.EditProjectWebPath() ? host.OpenProject() : nullptr;
                    if (!project || project->WebPath().empty()) return {};
                }
            }
        }
        if (viaServer) {
            std::string projectFile = project->ProjectFilePath();
            std::string base = documentPath.empty() ? projectFile : documentPath;
            std::string path = CreatePreviewFile(FolderOf(base), kind == FileKindAspNet ? ".aspx" : ".asp", host, numbers);
            if (path.empty()) return {};
            std::string relative;
            fs::path projectFolder = P(projectFile).parent_path();
            if (!projectFolder.empty()) relative = S(P(path).lexically_relative(projectFolder));
            if (relative.rfind("./", 0) == 0 || relative.rfind(".\\", 0) == 0) relative.erase(0, 2);
            if (!relative.empty() && relative != ".") return {true, JoinWebPath(project->WebPath(), relative), path, false};
            DeletePreviewFile(path);
        }
    }

    std::string folder = documentPath.empty() ? host.TempFolder() : FolderOf(documentPath);
    std::string path = CreatePreviewFile(folder, ".htm", host, numbers);
    if (path.empty()) return {};
    return {true, path, path, true};
}

bool DeletePreviewFile(const std::string& path) {
    if (path.empty()) return true;
    std::error_code ec;
    if (!fs::exists(P(path), ec)) return true;
    return fs::remove(P(path), ec);
}

}  // namespace tarnwell
