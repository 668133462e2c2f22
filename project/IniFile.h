// Initialization files (project files, the new-file template's cursor file): sections in square
// brackets, "key=value" lines, read and changed the way the private-profile functions do it, and
// written back atomically.
//
// Rules: section and key names are matched without regard to ASCII case (the first section of a name
// counts); names and values are trimmed of blanks, and a value enclosed in one pair of double or
// single quotes loses them when read. A new key goes right after the last non-blank line of its
// section, a new section to the end of the file; an existing key is rewritten in its own line; every
// other byte of the file stays as it was. Lines starting with ';' are comments. The file's own line
// ends are kept; a file without any uses CR LF.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwell {

class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string bytes) : bytes_(std::move(bytes)) {}

    // Reads a file. A missing file gives an empty text and true (Exists() false); false with the
    // system's error text when the file exists but cannot be read.
    bool Load(const std::filesystem::path& path, std::string* error = nullptr);
    bool Exists() const { return exists_; }

    // Writes the text to `path` atomically (see WriteFileAtomically).
    bool Save(const std::filesystem::path& path, std::string* error = nullptr) const;

    const std::string& Bytes() const { return bytes_; }

    // The trimmed, unquoted value; none when the section or key is missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // The value cut to `maxChars` bytes, or `def` (cut the same way) when missing.
    std::string GetString(std::string_view section, std::string_view key, std::string_view def = {},
                          size_t maxChars = std::string::npos) const;
    // A decimal number with an optional sign (what follows the digits is ignored; no digits give 0),
    // clamped to the int range; `def` when missing or empty.
    int GetInt(std::string_view section, std::string_view key, int def) const;

    // Sets a key. False (nothing changed) when the section, key or value cannot be stored in one line:
    // line breaks or NUL anywhere, an empty key, a key with '=' or starting with '[' or ';', a section
    // with ']'.
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    // Removes the key's line; false when there was none.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes the section header and every line up to the next section; false when there was none.
    bool DeleteSection(std::string_view section);

    // The largest n of keys named `prefix` followed by decimal digits n in `section` (case-insensitive
    // prefix), or -1 when there is none.
    long long LargestNumberedKey(std::string_view section, std::string_view prefix) const;

    // Every key of the first section of that name with its value (as Get reads it), in file order;
    // a key that appears twice is listed twice. One pass over the file, for readers of many keys.
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

private:
    struct Line {
        size_t begin = 0;  // first byte
        size_t end = 0;    // before the line break
        size_t next = 0;   // after the line break (the size at the end)
    };
    bool NextLine(size_t at, Line& line) const;
    // Header line of the first section of that name.
    bool FindSection(std::string_view section, Line& header) const;
    // The key's line within the section that starts after `header`.
    bool FindKey(const Line& header, std::string_view key, Line& found) const;
    std::string_view LineEnd() const;
    std::string ValueOf(const Line& line) const;

    std::string bytes_;
    bool exists_ = false;
};

// Replaces the file at `path` with `bytes` so that it is either the old or the new text at any moment:
// the bytes go to a new file in the same folder, are flushed to the disk and renamed over the target.
// An existing file keeps its permission bits; a symbolic link is followed and its target replaced.
// On failure the target is untouched and `error` holds the system's text.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string* error = nullptr);

}  // namespace tarnwell
