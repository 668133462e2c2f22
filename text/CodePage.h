// Decoding and encoding a document's bytes: UTF-8 when the text is valid UTF-8, else Windows-1252.
// The buffer keeps bytes; views walk them character by character through these helpers, so a
// cursor never rests inside a multi-byte character and a column counts display cells.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwell {

enum class CodePage { Utf8, Windows1252 };

// One decoded character: its code point and how many bytes it takes (1..4).
// A byte that does not start a valid UTF-8 sequence decodes alone, as U+FFFD.
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
