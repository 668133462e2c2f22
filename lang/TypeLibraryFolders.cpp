// Library files found in folders, and the component index.
#include "lang/TypeLibraryFolders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "lang/AsciiCase.h"
#include "lang/BinaryTypeLibrary.h"
#include "lang/TypeDescription.h"

namespace tarnwell {

namespace fs = std::filesystem;

namespace {

bool IsLibraryExtension(const std::string& ext) {
    static const char* const kExts[] = {".TLD", ".TLB", ".OLB", ".DLL", ".OCX", ".EXE"};
    const std::string up = AsciiUpperCopy(ext);
    return std::any_of(std::begin(kExts), std::end(kExts), [&](const char* e) { return up == e; });
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool IsRegularFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& out, std::string* error, size_t maxBytes) {
    out.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (out.size() + n > maxBytes) {
            std::fclose(f);
            if (error) *error = "file too large";
            return false;
        }
        out.append(buf, n);
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed && error) *error = "read error";
    return !failed;
}

std::string UserTypeLibraryFolder() {
#ifdef _WIN32
    const char* appData = std::getenv("APPDATA");
    return appData && *appData ? (fs::path(appData) / "Tarnwell" / "TypeLibs").string() : std::string();
#else
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome == '/') return (fs::path(dataHome) / "Tarnwell" / "TypeLibs").string();
    const char* home = std::getenv("HOME");
    return home && *home ? (fs::path(home) / ".local" / "share" / "Tarnwell" / "TypeLibs").string() : std::string();
#endif
}

FolderTypeLibraryProvider::FolderTypeLibraryProvider(std::vector<std::string> folders) : folders_(std::move(folders)) {
    std::erase_if(folders_, [](const std::string& f) { return f.empty(); });
}

std::unique_ptr<TypeLibrary> FolderTypeLibraryProvider::Load(const std::string& path, std::string* error) {
    std::string file = path;
    if (!IsRegularFile(file)) {
        fs::path standIn = fs::path(path).replace_extension(".tld");
        if (!IsRegularFile(standIn)) {
            if (error) *error = "\"" + path + "\": no such file";
            return nullptr;
        }
        file = standIn.string();
    }
    std::string bytes, why;
    if (!ReadWholeFile(file, bytes, &why)) {
        if (error) *error = "\"" + file + "\": " + why;
        return nullptr;
    }
    std::unique_ptr<TypeLibrary> lib;
    if (LooksLikeBinaryTypeLibrary(bytes)) {
        lib = ReadBinaryTypeLibrary(bytes, file, &why);
    } else if (!PeekTypeDescriptionName(bytes).empty()) {
        lib = ReadTypeDescription(bytes, file, &why);
    } else {
        why = "not a type library";
    }
    if (!lib && error) *error = "\"" + file + "\": " + why;
    return lib;
}

void FolderTypeLibraryProvider::BuildIndex() {
    indexed_ = true;
    for (const std::string& folder : folders_) {
        std::string text;
        if (ReadWholeFile((fs::path(folder) / "progids.txt").string(), text, nullptr, 4u << 20)) {
            size_t pos = 0;
            while (pos < text.size()) {
                size_t nl = text.find('\n', pos);
                if (nl == std::string::npos) nl = text.size();
                std::string_view line(text.data() + pos, nl - pos);
                if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
                auto w = Words(line);
                if (w.size() == 3) progIds_.emplace(AsciiUpperCopy(w[0]), std::make_pair(std::string(w[1]), std::string(w[2])));
                pos = nl + 1;
            }
        }
        std::error_code ec;
        std::vector<fs::path> files;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            if (IsLibraryExtension(it->path().extension().string()) && IsRegularFile(it->path())) files.push_back(it->path());
        std::sort(files.begin(), files.end());
        for (const fs::path& f : files) {
            std::string bytes;
            if (!ReadWholeFile(f.string(), bytes, nullptr)) continue;
            std::string name;
            if (LooksLikeBinaryTypeLibrary(bytes)) {
                if (auto lib = ReadBinaryTypeLibrary(bytes, f.string(), nullptr)) name = lib->name;
            } else {
                name = PeekTypeDescriptionName(bytes);
            }
            if (!name.empty()) libraryFiles_.emplace(AsciiUpperCopy(name), f.string());
        }
    }
}

bool FolderTypeLibraryProvider::LocateProgId(std::string_view progId, ProgIdLocation& out) {
    if (!indexed_) BuildIndex();
    const std::string key = AsciiUpperCopy(progId);
    if (auto it = progIds_.find(key); it != progIds_.end()) {
        out.library = it->second.first;
        out.coclass = it->second.second;
    } else {
        // "Library.Coclass", or a versioned "Library.Coclass.N".
        const size_t dot = progId.find('.');
        if (dot == std::string_view::npos || dot == 0) return false;  // a bare name only through the index
        std::string_view rest = progId.substr(dot + 1);
        rest = rest.substr(0, rest.find('.'));
        if (rest.empty()) return false;
        out.library = std::string(progId.substr(0, dot));
        out.coclass = std::string(rest);
    }
    auto file = libraryFiles_.find(AsciiUpperCopy(out.library));
    out.path = file == libraryFiles_.end() ? std::string() : file->second;
    return true;
}

}  // namespace tarnwell
