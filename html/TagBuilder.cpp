#include "html/TagBuilder.h"

#include <cctype>

namespace tarnwell {

namespace {

bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// Length of the character reference starting at `i` ("&amp;", "&#38;", "&#x26;"), or 0.
size_t ReferenceLength(std::string_view s, size_t i) {
    size_t j = i + 1;
    if (j < s.size() && s[j] == '#') {
        ++j;
        const bool hex = j < s.size() && (s[j] == 'x' || s[j] == 'X');
        if (hex) ++j;
        const size_t digits = j;
        while (j < s.size() && (hex ? IsHex(s[j]) : IsDigit(s[j]))) ++j;
        if (j == digits) return 0;
    } else {
        if (j >= s.size() || !IsAlpha(s[j])) return 0;
        while (j < s.size() && IsAlnum(s[j])) ++j;
    }
    return j < s.size() && s[j] == ';' ? j + 1 - i : 0;
}

}  // namespace

std::string EscapeAttributeValue(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '<' && i + 1 < s.size() && s[i + 1] == '%') {
            // Server script is the server's business: copied up to and with its "%>" (or to the end).
            const size_t close = s.find("%>", i + 2);
            const size_t end = close == std::string_view::npos ? s.size() : close + 2;
            out.append(s.substr(i, end - i));
            i = end;
        } else if (c == '"') {
            out += "&quot;";
            ++i;
        } else if (c == '&') {
            const size_t n = ReferenceLength(s, i);
            if (n > 0) {
                out.append(s.substr(i, n));
                i += n;
            } else {
                out += "&amp;";
                ++i;
            }
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

CTagBuilder& CTagBuilder::Add(std::string_view name, std::string_view value, bool always, bool bare) {
    if (!name.empty()) attributes_.push_back({std::string(name), std::string(value), always, bare});
    return *this;
}

std::string CTagBuilder::Render() const {
    std::string out = tag_;
    for (const Attribute& a : attributes_) {
        if (!a.value.empty() || a.always) {
            out += ' ';
            out += a.name;
            out += "=\"";
            out += EscapeAttributeValue(a.value);
            out += '"';
        } else if (a.bare) {
            out += ' ';
            out += a.name;
        }
    }
    return out;
}

}  // namespace tarnwell
