// Decoding and encoding a document's bytes in its code page: UTF-8 or one of the single-byte Windows
// code pages 1250..1258. The buffer keeps bytes; views walk them character by character through
// these helpers, so a cursor never rests inside a multi-byte character and a column counts cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwell {

enum class CodePage {
    Utf8,
    Windows1252,
    Windows1250,
    Windows1251,
    Windows1253,
    Windows1254,
    Windows1255,
    Windows1256,
    Windows1257,
    Windows1258,
};

// Every supported code page, in the order menus list them.
inline constexpr CodePage kCodePages[] = {
    CodePage::Utf8,        CodePage::Windows1250, CodePage::Windows1251, CodePage::Windows1252,
    CodePage::Windows1253, CodePage::Windows1254, CodePage::Windows1255, CodePage::Windows1256,
    CodePage::Windows1257, CodePage::Windows1258,
};

inline bool IsSingleByte(CodePage cp) { return cp != CodePage::Utf8; }
// The Windows number: 65001 for UTF-8, else 1250..1258.
int CodePageNumber(CodePage cp);
// The name pages declare it by: "utf-8", "windows-1250", ...
const char* CodePageName(CodePage cp);
// What a menu shows: "Cyrillic (Windows-1251)", "Unicode (UTF-8)".
const char* CodePageLabel(CodePage cp);
// A Windows code page number (65001, 1250..1258, and 28591 / 20127 read as Windows-1252).
std::optional<CodePage> CodePageFromNumber(long number);
// A charset name as pages write it, without regard to case ("UTF-8", "windows-1251", "cp1250",
// and the ISO-8859-1 / ASCII names that browsers read as Windows-1252).
std::optional<CodePage> CodePageFromName(std::string_view name);
// False for the few bytes a single-byte code page leaves undefined (always true for UTF-8).
bool IsDefinedByte(CodePage cp, unsigned char b);

// One decoded character: its code point and how many bytes it takes (1..4).
// A byte that does not start a valid UTF-8 sequence decodes alone, as U+FFFD. In a single-byte code
// page an undefined byte decodes to the C1 control of the same value.
struct DecodedChar {
    char32_t code = 0;
    int length = 1;
};

DecodedChar DecodeChar(CodePage cp, const char* s, int n, int i);

// True when every byte sequence of `text` is well-formed UTF-8 (no overlongs, no surrogates).
bool IsValidUtf8(std::string_view text);

// Start of the character that ends at byte i (i > 0); i - 1 for a stray byte.
int PrevCharStart(CodePage cp, const char* s, int n, int i);
// i when it is a character boundary, else the end of the character that contains it.
int SnapForward(CodePage cp, const char* s, int n, int i);
// i when it is a character boundary, else the start of the character that contains it.
int SnapBackward(CodePage cp, const char* s, int n, int i);
// True when the character at byte i takes more than one byte.
inline bool IsMultiByteAt(CodePage cp, const char* s, int n, int i) {
    return cp == CodePage::Utf8 && i < n && static_cast<unsigned char>(s[i]) >= 0x80 &&
           DecodeChar(cp, s, n, i).length > 1;
}

// Display cells of a character: 2 for East Asian wide and full-width characters, else 1.
int CellWidth(char32_t code);

// Appends the bytes of `code` in the code page; false (nothing appended) when it has no encoding there.
bool AppendEncoded(CodePage cp, char32_t code, std::string& out);

// Converts UTF-16 text (as a toolkit hands it) to the code page; characters with no encoding become '?'.
std::string EncodeUtf16(CodePage cp, const char16_t* s, std::size_t n);
// Converts bytes of the code page to UTF-16.
std::u16string DecodeToUtf16(CodePage cp, std::string_view bytes);

}  // namespace tarnwell
