// Color values as the settings and the insert dialogs store them, and their "#RRGGBB" text form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwell {

// Red in the low byte, then green, then blue; the high byte is 0 for a real color.
using ColorRef = std::uint32_t;

// Stands for "no color of its own": a color button shows the button face instead.
constexpr ColorRef kButtonFaceColor = 0xFF000000u;

constexpr ColorRef MakeColorRef(int red, int green, int blue) {
    return ColorRef(red & 0xFF) | (ColorRef(green & 0xFF) << 8) | (ColorRef(blue & 0xFF) << 16);
}
constexpr int RedOf(ColorRef c) { return int(c & 0xFF); }
constexpr int GreenOf(ColorRef c) { return int((c >> 8) & 0xFF); }
constexpr int BlueOf(ColorRef c) { return int((c >> 16) & 0xFF); }

// "#RRGGBB" with upper-case hexadecimal digits.
std::string FormatColorText(ColorRef color);

// An optional leading '#', then up to three runs of at most two hexadecimal digits read as red, green
// and blue in turn (an odd last digit is read alone). Reading stops at the first character that is not
// a hexadecimal digit; the parts not read are 0. Surrounding blanks are ignored.
ColorRef ParseColorText(std::string_view text);

}  // namespace tarnwell
