// The project file (".twp"): its header check, the list of files that were open when the project
// closed (with their selections) and the names derived from its path. What opening a project reads
// and closing it writes, without the windows.
#pragma once

#include "project/IniFile.h"
#include "text/TextPosition.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

namespace projectfile {
inline constexpr const char* kGeneral = "General";
inline constexpr const char* kOpenFiles = "Open Files";
inline constexpr const char* kSignature = "Signature";
inline constexpr const char* kVersion = "Version";
inline constexpr const char* kWebPath = "Web Path";
inline constexpr const char* kTotalOpenFiles = "Total Open Files";
inline constexpr const char* kLastActiveFile = "Last Active File";
inline constexpr const char* kSignatureValue = "Tarnwell";
inline constexpr const char* kVersionValue = "1.0";
inline constexpr const char* kInvalidFile = "Invalid project file";
inline constexpr const char* kUnknownVersion = "Unknown project version";
// Header values are read up to this many bytes.
inline constexpr size_t kMaxHeaderValue = 1023;
}  // namespace projectfile

// At least 6 characters ending in ".twp" in any letter case.
bool IsProjectPath(std::string_view path);
// The folder of the project file (its path without the last component) and its name without extension.
std::string ProjectFolderOf(const std::string& projectFile);
std::string ProjectNameOf(const std::string& projectFile);

struct ProjectHeader {
    bool valid = false;
    std::string error;    // "Invalid project file" or "Unknown project version" when not valid
    std::string webPath;  // when valid
};
// "Signature" must be "Tarnwell" in any case, "Version" exactly "1.0".
ProjectHeader ReadProjectHeader(const IniFile& file);

// A position packed as line * 65536 + character (the character capped at 65535), as an unsigned number.
std::uint64_t PackPosition(TextPosition pos);
// The inverse; none when the line does not fit an int.
std::optional<TextPosition> UnpackPosition(std::uint64_t packed);

// The value of a "File %d" key: the path in double quotes, then both packed positions. None when the
// path holds a line break (it could not be read back as one line).
std::optional<std::string> OpenFileValue(const std::string& path, TextPosition start, TextPosition end);

struct RememberedFile {
    enum Status { Ok, Empty, NoMatch, Missing };
    long long index = 0;  // n of "File n"
    std::string key;      // "File %d"
    Status status = Empty;
    std::string path;  // Ok and Missing: the path the entry names (relative ones taken in the project folder)
    std::optional<TextPosition> start, end;  // Ok: the decoded selection (none when a number overflows)
};
const char* StatusName(RememberedFile::Status status);  // "ok", "empty", "nomatch", "missing"

struct RememberedFiles {
    int total = 0;        // "Total Open Files"
    int lastActive = -1;  // "Last Active File"
    std::vector<RememberedFile> entries;  // "File 0" ... in the order the reopening visits them
};
// Reads the list as reopening visits it: entries 0 .. total-1; a missing key or empty value is Empty, a
// value not of the form "\"path\",start,end" is NoMatch, and a path with no regular file behind it is
// Missing. An absurd total (far beyond the keys present) is cut at the last key present; a list longer
// than 65536 visits only the keys present.
RememberedFiles ReadRememberedFiles(const IniFile& file, const std::string& projectFolder);

struct OpenFileRecord {
    std::string path;
    TextPosition start, end;
};
// What closing writes, in order: "Total Open Files" and the whole "Open Files" section go first; then
// (when `records` is given) one "File %d" per record that can be stored, numbered without gaps, and
// "Total Open Files" and "Last Active File". `activeIndex` is an index into `records` (-1: none); it is
// renumbered to the written entry. Answers the number of entries written.
int WriteRememberedFiles(IniFile& file, const std::vector<OpenFileRecord>* records, int activeIndex);

}  // namespace tarnwell
