#include "app/NewFileTemplate.h"

#include "project/IniFile.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tarnwell {

std::string ReadIniValue(const std::filesystem::path& file, const std::string& section, const std::string& key,
                         const std::string& def, size_t maxChars) {
    IniFile ini;
    ini.Load(file);
    return ini.GetString(section, key, def, maxChars);
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
