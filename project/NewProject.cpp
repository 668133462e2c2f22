#include "project/NewProject.h"

#include "project/FileSystem.h"
#include "project/IniFile.h"
#include "project/ProjectFile.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#define access _access
#define W_OK 2
#else
#include <unistd.h>
#endif

namespace tarnwell {

namespace {

constexpr const char* kBlanks = " \t";

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(kBlanks);
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(kBlanks) - b + 1);
}

bool EndsWithTwp(const std::string& s) {
    if (s.size() < 4) return false;
    std::string tail = s.substr(s.size() - 4);
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return tail == ".twp";
}

}  // namespace

std::string CheckProjectName(std::string& name) {
    name = Trim(name);
    if (name.empty()) return newproject_text::kEnterName;
    if (name == "." || name == ".." || name.find_first_of("\\/:*?\"<>|\r\n") != std::string::npos ||
        name.find('\0') != std::string::npos)
        return newproject_text::kBadName;
    if (!EndsWithTwp(name)) name += ".twp";
    return {};
}

std::string CheckProjectFolder(std::string& folder) {
    folder = Trim(folder);
#ifdef _WIN32
    for (char& c : folder)
        if (c == '/') c = '\\';
    const char* bad = "*?\"<>|\r\n";
#else
    const char* bad = "\r\n";
#endif
    if (folder.find_first_of(bad) != std::string::npos || folder.find('\0') != std::string::npos)
        return newproject_text::kBadFolder;
    while (folder.size() > 1 && (IsPathSeparator(folder.back()) || folder.back() == ' ' || folder.back() == '\t'))
        folder.pop_back();
    if (folder.empty()) return newproject_text::kEnterFolder;
    return {};
}

bool FolderHoldsProject(const std::string& folder) {
    bool found = false;
    ListFolder(folder, [&](const std::string& name) {
        if (!found && EndsWithTwp(name) && ReadEntry(JoinPath(folder, name)).type == EntryType::File) found = true;
    });
    return found;
}

bool CreateFolderPath(const std::string& path, std::string& error) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::u8path(path);
    if (std::filesystem::is_directory(p, ec)) return true;
    std::filesystem::path built;
    for (const auto& part : p) {
        built /= part;
        if (std::filesystem::is_directory(built, ec)) continue;
        if (!std::filesystem::create_directory(built, ec) && !std::filesystem::is_directory(built)) {
            error = ec ? ec.message() : ErrorText(EEXIST);
            return false;
        }
    }
    return true;
}

bool WriteProjectHeader(const std::string& projectFile, std::string& error) {
    IniFile file;
    const auto p = std::filesystem::u8path(projectFile);
    return file.Load(p, &error) && file.Set(projectfile::kGeneral, projectfile::kSignature, projectfile::kSignatureValue) &&
           file.Set(projectfile::kGeneral, projectfile::kVersion, projectfile::kVersionValue) && file.Save(p, &error);
}

bool CopyGlobalAsa(const std::string& templateFile, const std::string& target, std::string& error) {
    if (!CopyFileOver(templateFile, target, error)) return false;
    using std::filesystem::perms;
    std::error_code ec;
    std::filesystem::permissions(std::filesystem::u8path(target), perms::owner_read | perms::owner_write,
                                 std::filesystem::perm_options::add, ec);
    return true;
}

std::string DefaultProjectsFolder(const std::string& programFolder, const std::string& homeFolder) {
    const std::string beside = JoinPath(programFolder, "Webs");
    if (ReadEntry(beside).type == EntryType::Folder ? ::access(beside.c_str(), W_OK) == 0
                                                   : ::access(programFolder.c_str(), W_OK) == 0)
        return beside;
    return JoinPath(homeFolder, "Webs");
}

}  // namespace tarnwell
