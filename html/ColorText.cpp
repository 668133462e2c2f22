#include "html/ColorText.h"

#include <cstdio>

namespace tarnwell {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

std::string FormatColorText(ColorRef color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", RedOf(color), GreenOf(color), BlueOf(color));
    return text;
}

ColorRef ParseColorText(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);

    int parts[3] = {0, 0, 0};
    size_t pos = 0;
    for (int& part : parts) {
        int digits = 0;
        while (digits < 2 && pos < text.size() && HexDigit(text[pos]) >= 0) {
            part = part * 16 + HexDigit(text[pos]);
            ++pos;
            ++digits;
        }
        if (digits < 2) break;  // an odd digit or a stray character ends the text
    }
    return MakeColorRef(parts[0], parts[1], parts[2]);
}

}  // namespace tarnwell
