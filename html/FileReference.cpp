#include "html/FileReference.h"

#include <cctype>
#include <filesystem>

namespace tarnwell {

namespace {

std::string Slashed(std::string s) {
    for (char& c : s) {
        if (c == '\\') c = '/';
    }
    return s;
}

char Lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

std::string EncodeUrlPath(std::string_view path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += '/';
        } else if (u <= 0x20 || u == 0x7F || c == '%' || c == '#' || c == '?' || c == '"') {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string FileUrl(std::string_view absolutePath) {
    std::string p = EncodeUrlPath(absolutePath);
    // A drive path ("C:/x") needs the slash that a POSIX path brings along.
    if (p.empty() || p.front() != '/') p.insert(p.begin(), '/');
    return "file://" + p;
}

std::optional<std::string> RelativePathTo(std::string_view base, std::string_view target) {
    namespace fs = std::filesystem;
    const fs::path from = fs::path(Slashed(std::string(base))).lexically_normal();
    const fs::path to = fs::path(Slashed(std::string(target))).lexically_normal();
    if (from.root_name() != to.root_name()) return std::nullopt;
    fs::path rel = to.lexically_relative(from);
    if (rel.empty()) return std::nullopt;
    std::string s = Slashed(rel.generic_string());
    while (s.size() > 2 && s.compare(0, 2, "./") == 0) s.erase(0, 2);
    return s;
}

bool IsInFolder(std::string_view path, std::string_view folder) {
    std::string f = Slashed(std::string(folder));
    if (f.empty()) return false;
    if (f.back() != '/') f += '/';
    const std::string p = Slashed(std::string(path));
    if (p.size() < f.size()) return false;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (Lower(p[i]) != Lower(f[i])) return false;
    }
    return true;
}

std::string FileReference(std::string_view path, std::string_view documentPath) {
    if (!documentPath.empty()) {
        const std::string folder = std::filesystem::path(Slashed(std::string(documentPath))).parent_path().generic_string();
        if (auto rel = RelativePathTo(folder, path)) return EncodeUrlPath(*rel);
    }
    return FileUrl(path);
}

std::string IncludePath(std::string_view path, std::string_view baseFolder) {
    if (baseFolder.empty()) return {};
    return RelativePathTo(baseFolder, path).value_or(std::string());
}

}  // namespace tarnwell
