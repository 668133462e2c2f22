#include "text/Encoding.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "text/CCrystalTextBuffer.h"

namespace tarnwell {

namespace {

inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }
inline bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

std::size_t SkipSpace(std::string_view s, std::size_t i) {
    while (i < s.size() && IsSpace(s[i])) ++i;
    return i;
}

// At i: optional spaces, `=`, optional spaces, an optional quote, then the value up to a quote,
// space, ';', '>' or '%'. Empty when there is no '='.
std::string_view ValueAfterEquals(std::string_view s, std::size_t i) {
    i = SkipSpace(s, i);
    if (i >= s.size() || s[i] != '=') return {};
    i = SkipSpace(s, i + 1);
    if (i < s.size() && (s[i] == '"' || s[i] == '\'')) ++i;
    std::size_t e = i;
    while (e < s.size() && !IsSpace(s[e]) && s[e] != '"' && s[e] != '\'' && s[e] != ';' && s[e] != '>' &&
           s[e] != '%' && s[e] != '<' && s[e] != ',' && s[e] != ')')
        ++e;
    return s.substr(i, e - i);
}

std::optional<CodePage> FromNumberText(std::string_view v) {
    if (v.empty() || v.size() > 9) return std::nullopt;
    long n = 0;
    for (char c : v) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return CodePageFromNumber(n);
}

// Every occurrence of `key` (between `from` and `to`) followed by a value; the first supported one.
template <class Parse>
std::optional<CodePage> FirstValue(std::string_view s, std::string_view key, std::size_t from, std::size_t to,
                                   Parse parse) {
    for (std::size_t i = s.find(key, from); i != std::string_view::npos && i < to;
         i = s.find(key, i + 1)) {
        if (auto cp = parse(ValueAfterEquals(s.substr(0, to), i + key.size()))) return cp;
    }
    return std::nullopt;
}

// `key` = value inside each span from `open` to `close`: the first supported one.
template <class Parse>
std::optional<CodePage> ValueInTags(std::string_view s, std::string_view open, std::string_view close,
                                    std::string_view key, Parse parse) {
    for (std::size_t i = s.find(open); i != std::string_view::npos; i = s.find(open, i + 1)) {
        std::size_t end = s.find(close, i);
        if (end == std::string_view::npos) end = s.size();
        if (auto cp = FirstValue(s, key, i, end, parse)) return cp;
    }
    return std::nullopt;
}

}  // namespace

const char* EncodingSourceName(EncodingSource source) {
    switch (source) {
    case EncodingSource::Declaration: return "declaration";
    case EncodingSource::Bytes: return "bytes";
    case EncodingSource::Default: return "default";
    case EncodingSource::Chosen: return "chosen";
    }
    return "default";
}

std::optional<CodePage> FindDeclaredCodePage(std::string_view head) {
    head = head.substr(0, std::min(head.size(), kDeclarationWindow));
    std::string lowered(head);
    for (char& c : lowered) c = Lower(c);
    const std::string_view s(lowered);
    // <%@ ... CODEPAGE=n %>
    if (auto cp = ValueInTags(s, "<%@", "%>", "codepage", FromNumberText)) return cp;
    if (auto cp = FirstValue(s, "response.codepage", 0, s.size(), FromNumberText)) return cp;
    if (auto cp = FirstValue(s, "response.charset", 0, s.size(), CodePageFromName)) return cp;
    // <meta charset="x"> and <meta ... content="text/html; charset=x">
    return ValueInTags(s, "<meta", ">", "charset", CodePageFromName);
}

void ByteCensus::Add(std::string_view piece) {
    const auto* u = reinterpret_cast<const unsigned char*>(piece.data());
    const std::size_t n = piece.size();
    if (first_ && n > 0) {
        utf8Bom = n >= 3 && u[0] == 0xEF && u[1] == 0xBB && u[2] == 0xBF;
        first_ = false;
    }
    bool anyHigh = false;
    for (std::size_t i = 0; i < n;) {
        // Skip ASCII 32 and 8 bytes at a time: this runs over whole files.
        while (i + 32 <= n) {
            std::uint64_t w[4];
            std::memcpy(w, u + i, 32);
            if (((w[0] | w[1] | w[2] | w[3]) & 0x8080808080808080ULL) != 0) break;
            i += 32;
        }
        if (i + 8 <= n) {
            std::uint64_t w;
            std::memcpy(&w, u + i, 8);
            if ((w & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        if (u[i] >= 0x80) {
            high[u[i] - 0x80] = true;
            anyHigh = true;
        }
        ++i;
    }
    if (!anyHigh) return;
    ascii = false;
    if (validUtf8) validUtf8 = IsValidUtf8(piece);
}

bool ByteCensus::Fits(CodePage cp) const {
    if (cp == CodePage::Utf8) return validUtf8;
    if (validUtf8 && !ascii) return false;  // plainly UTF-8, whatever the page says
    for (int b = 0; b < 128; ++b)
        if (high[b] && !IsDefinedByte(cp, static_cast<unsigned char>(0x80 + b))) return false;
    return true;
}

EncodingDecision DecideEncoding(std::string_view head, const ByteCensus& census, CodePage fallback) {
    EncodingDecision d;
    d.declared = FindDeclaredCodePage(head);
    if (census.utf8Bom && census.validUtf8) {
        d.codePage = CodePage::Utf8;
        d.source = d.declared == CodePage::Utf8 ? EncodingSource::Declaration : EncodingSource::Bytes;
        return d;
    }
    if (d.declared && census.Fits(*d.declared)) {
        d.codePage = *d.declared;
        d.source = EncodingSource::Declaration;
        return d;
    }
    if (census.validUtf8 && !census.ascii) {
        d.codePage = CodePage::Utf8;
        d.source = EncodingSource::Bytes;
        return d;
    }
    if (d.declared) {
        // The page's bytes contradict it: read them in the default when that fits, else as declared.
        d.codePage = census.Fits(fallback) ? fallback : *d.declared;
        d.source = d.codePage == *d.declared ? EncodingSource::Declaration : EncodingSource::Bytes;
        return d;
    }
    d.codePage = fallback;
    d.source = EncodingSource::Default;
    return d;
}

EncodingDecision DecideEncoding(std::string_view bytes, CodePage fallback) {
    ByteCensus census;
    census.Add(bytes);
    return DecideEncoding(bytes, census, fallback);
}

EncodingDecision DecideEncoding(const CCrystalTextBuffer& buffer, CodePage fallback) {
    ByteCensus census;
    std::string head;
    const std::string_view lineEnd = LineEndBytes(buffer.LineEndMode());
    const int n = buffer.LineCount();
    for (int i = 0; i < n; ++i) {
        const std::string_view line = buffer.LineChars(i);
        census.Add(line);
        if (head.size() < kDeclarationWindow) {
            head.append(line.substr(0, kDeclarationWindow - head.size()));
            if (i + 1 < n) head.append(lineEnd);
        }
    }
    return DecideEncoding(head, census, fallback);
}

namespace {

// Walks the characters of `bytes` in `from`; calls emit(code, bytes of the character, kept) where
// kept is set for a stray byte of a UTF-8 text (to be carried over unchanged).
template <class Emit>
void WalkChars(std::string_view bytes, CodePage from, Emit emit) {
    const int n = static_cast<int>(bytes.size());
    for (int i = 0; i < n;) {
        const DecodedChar d = DecodeChar(from, bytes.data(), n, i);
        const bool stray = from == CodePage::Utf8 && d.code == 0xFFFD && d.length == 1 &&
                           static_cast<unsigned char>(bytes[size_t(i)]) >= 0x80;
        emit(d.code, bytes.substr(size_t(i), size_t(d.length)), stray);
        i += d.length;
    }
}

}  // namespace

std::u32string UnencodableChars(std::string_view bytes, CodePage from, CodePage to) {
    std::u32string out;
    if (from == to) return out;
    std::string scratch;
    WalkChars(bytes, from, [&](char32_t code, std::string_view, bool stray) {
        if (stray || code < 0x80) return;
        scratch.clear();
        if (!AppendEncoded(to, code, scratch) && out.find(code) == std::u32string::npos) out.push_back(code);
    });
    return out;
}

std::string DescribeChars(const std::u32string& chars, std::size_t limit) {
    std::string out;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (i == limit) {
            out += ", ...";
            break;
        }
        if (i > 0) out += ", ";
        const char32_t c = chars[i];
        char number[16];
        std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(c));
        // Controls and combining marks are shown by their number only.
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0x300 && c < 0x370)) {
            out += number;
            continue;
        }
        AppendEncoded(CodePage::Utf8, c, out);
        out += " (" + std::string(number) + ")";
    }
    return out;
}

bool ConvertText(std::string_view bytes, CodePage from, CodePage to, std::string& out) {
    if (from == to) {
        out.assign(bytes);
        return true;
    }
    std::string result;
    result.reserve(bytes.size() + bytes.size() / 2);
    bool ok = true;
    WalkChars(bytes, from, [&](char32_t code, std::string_view raw, bool stray) {
        if (!ok) return;
        if (stray) result.append(raw);
        else if (!AppendEncoded(to, code, result)) ok = false;
    });
    if (ok) out = std::move(result);
    return ok;
}

}  // namespace tarnwell
