// Which code page a page's bytes are in: what the page declares, what its bytes allow, or the
// user's default. The buffer records the decision; views and commands read it from there.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/CodePage.h"

namespace tarnwell {

class CCrystalTextBuffer;

// Declarations are looked for in this many leading bytes.
constexpr std::size_t kDeclarationWindow = 32768;

enum class EncodingSource {
    Declaration,  // the page says so and its bytes fit
    Bytes,        // a UTF-8 byte-order mark or valid non-ASCII UTF-8, or the bytes contradicted the page
    Default,      // nothing decided: the "Default encoding" option
    Chosen,       // the user picked it (Reopen with Encoding, Save with Encoding)
};

struct EncodingDecision {
    CodePage codePage = CodePage::Windows1252;
    std::optional<CodePage> declared;  // what the page declares, when it names a supported code page
    EncodingSource source = EncodingSource::Default;

    // The page declares one code page and is read in another because its bytes do not fit.
    bool Mismatch() const { return declared && *declared != codePage && source == EncodingSource::Bytes; }
    bool operator==(const EncodingDecision&) const = default;
};

// "declaration", "bytes", "default" or "chosen".
const char* EncodingSourceName(EncodingSource source);

// The code page the text declares, looked for case-insensitively in `head` (the caller passes the
// first kDeclarationWindow bytes): an <%@ ... CODEPAGE=n %> directive, Response.CodePage = n,
// Response.Charset = "name", or a charset in a <meta> tag, in that order of precedence. An
// unsupported code page counts as no declaration.
std::optional<CodePage> FindDeclaredCodePage(std::string_view head);

// What the bytes of a whole text hold, gathered in one pass.
struct ByteCensus {
    bool validUtf8 = true;  // every sequence is well-formed UTF-8
    bool ascii = true;      // no byte >= 0x80
    bool utf8Bom = false;   // the text starts with EF BB BF
    bool high[128] = {};    // which bytes 0x80..0xFF occur

    // Adds the next piece of the text (pieces are line texts; line ends are ASCII and split nothing).
    void Add(std::string_view piece);
    // True when the bytes could be text in `cp`: valid UTF-8, or no byte the code page leaves
    // undefined and not a text that is plainly UTF-8.
    bool Fits(CodePage cp) const;

private:
    bool first_ = true;
};

// The decision for a text whose first bytes are `head` and whose bytes the census describes.
EncodingDecision DecideEncoding(std::string_view head, const ByteCensus& census, CodePage fallback);
// The same for whole-file bytes.
EncodingDecision DecideEncoding(std::string_view bytes, CodePage fallback);
// The same for the text of a buffer (its lines joined by the buffer's line ends).
EncodingDecision DecideEncoding(const CCrystalTextBuffer& buffer, CodePage fallback);

// Characters of `bytes` (read in `from`) that `to` cannot hold, each once, in order of appearance.
std::u32string UnencodableChars(std::string_view bytes, CodePage from, CodePage to);
// The characters as a user reads them, in UTF-8: "Ж (U+0416), € (U+20AC)"; at most `limit` of them,
// then ", ..." for the rest.
std::string DescribeChars(const std::u32string& chars, std::size_t limit = 10);
// `bytes` read in `from` and written in `to`; false (out untouched) when a character has no form in
// `to`. A byte of a UTF-8 text that starts no valid sequence is kept as it is.
bool ConvertText(std::string_view bytes, CodePage from, CodePage to, std::string& out);

}  // namespace tarnwell
