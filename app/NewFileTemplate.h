// The page a new document starts from: Templates/NewFile.asp and the cursor position stored beside it
// in Templates/NewFile.asp.ini (section "General", key "CursorPos", "character,line").
#pragma once

#include "text/TextPosition.h"

#include <filesystem>
#include <string>

namespace tarnwell {

struct NewFileTemplate {
    bool found = false;     // the template file could be read
    std::string text;       // its bytes up to the first zero byte
    TextPosition cursor;    // (line, character) from CursorPos; (0, 0) when missing or malformed
};

// Reads the template of `templatesFolder`. A missing or unreadable file gives an empty text and the
// cursor at the start; the cursor file is read only when the template was found.
NewFileTemplate ReadNewFileTemplate(const std::filesystem::path& templatesFolder);

// Parses a CursorPos value: exactly two numbers "%d,%d", the character index first. Anything else
// leaves the cursor at (0, 0).
TextPosition ParseCursorPos(const std::string& value);

// An initialization-file value as the private-profile functions read it: section and key compared
// without regard to case, the value trimmed of blanks and of one pair of enclosing quotes, cut to
// `maxChars` characters; `def` when the file, section or key is missing.
std::string ReadIniValue(const std::filesystem::path& file, const std::string& section, const std::string& key,
                         const std::string& def, size_t maxChars);

}  // namespace tarnwell
