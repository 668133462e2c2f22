// Splitting file content into lines with the editor's line-end detection, and reading files that way.
#include "lang/LineSource.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace tarnwell {

namespace {

constexpr size_t kDetectBlock = 32768;

// The line-end string chosen from the first block of the content.
std::string_view DetectLineEnd(std::string_view content) {
    std::string_view block = content.substr(0, kDetectBlock);
    size_t lf = block.find('\n');
    if (lf == std::string_view::npos) return "\r\n";
    if (lf > 0 && block[lf - 1] == '\r') return "\r\n";
    if (lf + 1 < block.size() && block[lf + 1] == '\r') return "\n\r";
    return "\n";
}

}  // namespace

std::vector<std::string> SplitFileLines(std::string_view content) {
    const std::string_view end = DetectLineEnd(content);
    std::vector<std::string> lines;
    // A match counter follows the line-end string; a byte that breaks a partial match is not tested
    // again as the start of a new one (so CR CR LF in CR LF mode is no line end).
    size_t lineStart = 0;
    size_t matched = 0;
    for (size_t i = 0; i < content.size(); ++i) {
        if (content[i] == end[matched]) {
            if (++matched == end.size()) {
                lines.emplace_back(content.substr(lineStart, i + 1 - end.size() - lineStart));
                lineStart = i + 1;
                matched = 0;
            }
        } else {
            matched = 0;
        }
    }
    lines.emplace_back(content.substr(lineStart));
    return lines;
}

bool ReadFileLines(const std::string& path, std::vector<std::string>& lines, std::string* error) {
    lines.clear();
    std::error_code ec;
    if (std::filesystem::is_directory(std::filesystem::path(std::u8string(path.begin(), path.end())), ec)) {
        if (error) *error = std::strerror(EISDIR);
        return false;
    }
    errno = 0;
#ifdef _WIN32
    // Paths are UTF-8 inside the program; the wide open takes any name the system allows.
    std::FILE* f = _wfopen(std::filesystem::path(std::u8string(path.begin(), path.end())).c_str(), L"rb");
#else
    std::FILE* f = std::fopen(path.c_str(), "rb");
#endif
    if (!f) {
        if (error) *error = errno ? std::strerror(errno) : "cannot open file";
        return false;
    }
    std::string content;
    char block[kDetectBlock];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0) content.append(block, n);
    const bool failed = std::ferror(f) != 0;
    const int readErrno = errno;
    std::fclose(f);
    if (failed) {
        if (error) *error = readErrno ? std::strerror(readErrno) : "read error";
        return false;
    }
    lines = SplitFileLines(content);
    return true;
}

}  // namespace tarnwell
