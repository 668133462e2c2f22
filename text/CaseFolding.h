// Upper-casing of document bytes by code page, for case-insensitive search, and the conversion of
// UTF-8 text (what the dialogs and the profile hold) to and from a document's code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/CodePage.h"

namespace tarnwell {

// Upper-case of every byte of a single-byte code page (256 entries): a lower-case letter maps to its
// capital when the code page holds it, every other byte to itself.
const uint8_t* UpperTable(CodePage cp);

// Upper-case of a Unicode code point when the upper-case form encodes to the same number of UTF-8
// bytes (Latin, Greek, Cyrillic, Armenian, Latin Extended Additional, full-width letters); otherwise
// the code point itself. Keeping the byte length keeps match offsets equal in both forms.
char32_t UpperCodePointSameLength(char32_t cp);

// Length of the valid UTF-8 sequence at p (at most n bytes available), or 0 when the bytes there do
// not start a valid sequence (an invalid byte is upper-cased as itself).
int Utf8SequenceLength(const uint8_t* p, size_t n, char32_t* cp);

// Writes the upper-cased form of the UTF-8 sequence at p (limited to n bytes) into out and returns the
// number of bytes it covers (1 for an invalid byte or ASCII); the output has the same length.
int UpperUtf8At(const uint8_t* p, size_t n, uint8_t out[4]);

// Upper-cases a whole piece of text in the given code page (same length as the input).
std::string UpperCase(std::string_view text, CodePage cp);

// UTF-8 text to the document's code page; empty when a character has no form there (never for
// UTF-8 documents). Invalid UTF-8 input is passed through byte for byte.
std::optional<std::string> FromUtf8(std::string_view utf8, CodePage cp);
// The same, writing "?" for a character that has no form in the code page.
std::string FromUtf8Lossy(std::string_view utf8, CodePage cp);
// Document bytes to UTF-8 (invalid UTF-8 bytes of a UTF-8 document become U+FFFD).
std::string ToUtf8(std::string_view bytes, CodePage cp);

}  // namespace tarnwell
