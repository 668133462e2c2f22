#include "app/NewFileTemplate.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tarnwell {

namespace {

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return s.substr(b, e - b);
}

bool SameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string ReadIniValue(const std::filesystem::path& file, const std::string& section, const std::string& key,
                         const std::string& def, size_t maxChars) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return def.substr(0, maxChars);
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        const std::string t = Trim(line);
        if (t.empty() || t[0] == ';') continue;
        if (t[0] == '[') {
            const size_t close = t.find(']');
            inSection = close != std::string::npos && SameNoCase(Trim(t.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection) continue;
        const size_t eq = t.find('=');
        if (eq == std::string::npos || !SameNoCase(Trim(t.substr(0, eq)), key)) continue;
        std::string v = Trim(t.substr(eq + 1));
        if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
            v = v.substr(1, v.size() - 2);
        return v.substr(0, maxChars);
    }
    return def.substr(0, maxChars);
}

TextPosition ParseCursorPos(const std::string& value) {
    int ch = 0, line = 0;
    if (std::sscanf(value.c_str(), "%d,%d", &ch, &line) == 2) return TextPosition{line, ch};
    return TextPosition{0, 0};
}

NewFileTemplate ReadNewFileTemplate(const std::filesystem::path& templatesFolder) {
    NewFileTemplate t;
    std::ifstream in(templatesFolder / "NewFile.asp", std::ios::binary);
    if (!in) return t;
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad()) return t;
    t.found = true;
    t.text = all.str();
    const size_t zero = t.text.find('\0');
    if (zero != std::string::npos) t.text.resize(zero);
    // At most 31 characters of the value are read.
    t.cursor = ParseCursorPos(ReadIniValue(templatesFolder / "NewFile.asp.ini", "General", "CursorPos", "0,0", 31));
    return t;
}

}  // namespace tarnwell
