#include "project/ProjectFile.h"

#include "lang/Regexx.h"
#include "project/FileSystem.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <unordered_map>

namespace tarnwell {

namespace fs = std::filesystem;
using namespace projectfile;

namespace {

fs::path FsPathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Utf8Of(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

bool SameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::string FileKey(long long i) { return "File " + std::to_string(i); }

// A decimal number of any length; none when it does not fit 64 bits.
std::optional<std::uint64_t> ParseUnsigned(const std::string& digits) {
    std::uint64_t v = 0;
    for (char c : digits) {
        const std::uint64_t d = std::uint64_t(c - '0');
        if (v > (UINT64_MAX - d) / 10) return std::nullopt;
        v = v * 10 + d;
    }
    return v;
}

// Reopening visits every slot of a list up to this long, and only the keys present beyond.
constexpr long long kMaxSkippedTail = 65536;

}  // namespace

bool IsProjectPath(std::string_view path) {
    // Six characters, not bytes: UTF-8 continuation bytes do not count.
    size_t chars = 0;
    for (unsigned char c : path) chars += (c & 0xC0) != 0x80;
    return chars >= 6 && SameNoCase(path.substr(path.size() - 4), ".twp");
}

std::string ProjectFolderOf(const std::string& projectFile) { return ParentPath(projectFile); }

std::string ProjectNameOf(const std::string& projectFile) {
    std::string name = FileNameOf(projectFile);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

ProjectHeader ReadProjectHeader(const IniFile& file) {
    ProjectHeader h;
    if (!SameNoCase(file.GetString(kGeneral, kSignature, "", kMaxHeaderValue), kSignatureValue)) {
        h.error = kInvalidFile;
        return h;
    }
    if (file.GetString(kGeneral, kVersion, "", kMaxHeaderValue) != kVersionValue) {
        h.error = kUnknownVersion;
        return h;
    }
    h.valid = true;
    h.webPath = file.GetString(kGeneral, kWebPath, "", kMaxHeaderValue);
    return h;
}

std::uint64_t PackPosition(TextPosition pos) {
    const std::uint64_t line = pos.line < 0 ? 0 : std::uint64_t(pos.line);
    const std::uint64_t ch = pos.ch < 0 ? 0 : std::min<std::uint64_t>(std::uint64_t(pos.ch), 65535);
    return line * 65536 + ch;
}

std::optional<TextPosition> UnpackPosition(std::uint64_t packed) {
    const std::uint64_t line = packed / 65536;
    if (line > std::uint64_t(INT_MAX)) return std::nullopt;
    return TextPosition{int(line), int(packed % 65536)};
}

std::optional<std::string> OpenFileValue(const std::string& path, TextPosition start, TextPosition end) {
    if (path.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return std::nullopt;
    return "\"" + path + "\"," + std::to_string(PackPosition(start)) + "," + std::to_string(PackPosition(end));
}

const char* StatusName(RememberedFile::Status status) {
    switch (status) {
    case RememberedFile::Ok: return "ok";
    case RememberedFile::Empty: return "empty";
    case RememberedFile::NoMatch: return "nomatch";
    case RememberedFile::Missing: return "missing";
    }
    return "";
}

RememberedFiles ReadRememberedFiles(const IniFile& file, const std::string& projectFolder) {
    RememberedFiles out;
    out.total = file.GetInt(kGeneral, kTotalOpenFiles, 0);
    out.lastActive = file.GetInt(kGeneral, kLastActiveFile, -1);
    // One pass over the section: "File n" keys by n, the first of each as a lookup would find it.
    std::unordered_map<long long, std::string> values;
    long long largest = -1;
    for (auto& [name, value] : file.Entries(kOpenFiles)) {
        const std::string_view digits = std::string_view(name).substr(std::min<size_t>(name.size(), 5));
        if (name.size() <= 5 || !SameNoCase(name.substr(0, 5), "File ") || digits.size() > 12 ||
            (digits.size() > 1 && digits[0] == '0') ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const long long n = std::stoll(std::string(digits));
        values.emplace(n, std::move(value));
        largest = std::max(largest, n);
    }
    long long count = std::max(0, out.total);
    if (count > kMaxSkippedTail) count = std::min(count, largest + 1);
    // Every slot of an ordinary list; past that, only the keys present (a damaged total or key number
    // never makes reopening walk through billions of empty slots).
    std::vector<long long> order;
    if (count <= kMaxSkippedTail) {
        for (long long i = 0; i < count; ++i) order.push_back(i);
    } else {
        for (const auto& [n, value] : values)
            if (n < count) order.push_back(n);
        std::sort(order.begin(), order.end());
    }
    regexx::Regexx rx;
    for (const long long i : order) {
        RememberedFile e;
        e.index = i;
        e.key = FileKey(i);
        const auto found = values.find(i);
        const std::string value = found == values.end() ? std::string() : found->second;
        if (value.empty()) {
            e.status = RememberedFile::Empty;
        } else if (rx.MatchOnce(value, "^\"(.*)\",[ \\t]*([0-9]+),[ \\t]*([0-9]+)$") == 0) {
            e.status = RememberedFile::NoMatch;
        } else {
            fs::path p = FsPathOf(rx.Atom(0, 0));
            if (p.is_relative() && !projectFolder.empty()) p = FsPathOf(projectFolder) / p;
            e.path = p.empty() ? std::string() : Utf8Of(p);
            std::error_code ec;
            // Only regular files reopen: a pipe or device named here is never opened.
            if (p.empty() || !fs::is_regular_file(p, ec)) {
                e.status = RememberedFile::Missing;
            } else {
                e.status = RememberedFile::Ok;
                auto a = ParseUnsigned(rx.Atom(0, 1));
                auto b = ParseUnsigned(rx.Atom(0, 2));
                if (a && b) {
                    e.start = UnpackPosition(*a);
                    e.end = UnpackPosition(*b);
                }
                if (!e.start || !e.end) e.start = e.end = std::nullopt;
            }
        }
        out.entries.push_back(std::move(e));
    }
    return out;
}

int WriteRememberedFiles(IniFile& file, const std::vector<OpenFileRecord>* records, int activeIndex) {
    file.DeleteKey(kGeneral, kTotalOpenFiles);
    file.DeleteSection(kOpenFiles);
    if (!records) return 0;
    int k = 0, last = -1;
    for (size_t i = 0; i < records->size(); ++i) {
        const OpenFileRecord& r = (*records)[i];
        auto value = OpenFileValue(r.path, r.start, r.end);
        if (r.path.empty() || !value || !file.Set(kOpenFiles, FileKey(k), *value)) continue;
        if (int(i) == activeIndex) last = k;
        ++k;
    }
    file.Set(kGeneral, kTotalOpenFiles, std::to_string(k));
    file.Set(kGeneral, kLastActiveFile, std::to_string(last));
    return k;
}

}  // namespace tarnwell
