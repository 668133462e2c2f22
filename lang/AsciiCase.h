// Case folding for names the program matches by rule (VBScript names, ProgIDs, type and library names):
// ASCII letters only; every other byte compares exactly, so a multi-byte character never half-matches.
#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string AsciiUpperCopy(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = AsciiUpper(c);
    return out;
}

inline bool AsciiEqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

}  // namespace tarnwell
