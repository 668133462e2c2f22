// The special-character palette: 99 characters in a grid of 11 columns by 9 rows of 30-pixel cells,
// each inserted as its HTML character reference.
#pragma once

#include <array>

namespace tarnwell {

struct SpecialChar {
    const char* entity;  // "&nbsp;", "&#130;", ...
    char32_t code;       // the character it stands for (for 130..159 the Windows-1252 character)
};

inline constexpr int kSpecialCharCount = 99;
inline constexpr int kSpecialCharColumns = 11;
inline constexpr int kSpecialCharRows = 9;
inline constexpr int kSpecialCharCell = 30;

// In grid order: cell index = column + row * 11.
const std::array<SpecialChar, kSpecialCharCount>& SpecialChars();

// The cell under a point of the grid (pixels from its top left), or -1: a negative coordinate, a
// column past 10 or a row past 8 hits nothing.
int SpecialCharAt(int x, int y);

}  // namespace tarnwell
