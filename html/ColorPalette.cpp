#include "html/ColorPalette.h"

namespace tarnwell {

namespace {

constexpr ColorRef Hex(std::uint32_t rgb) {
    return MakeColorRef(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

constexpr std::array<ColorRef, 40> kFixed = {
    Hex(0x000000), Hex(0xFFFFFF), Hex(0x004040), Hex(0x005500), Hex(0x00005E), Hex(0x00008B), Hex(0x4B0082), Hex(0x282828),
    Hex(0x8B0000), Hex(0xFF6820), Hex(0x8B8B00), Hex(0x009300), Hex(0x388E8E), Hex(0x0000FF), Hex(0x7B7BC0), Hex(0x666666),
    Hex(0xFF0000), Hex(0xFFAD5B), Hex(0x32CD32), Hex(0x3CB371), Hex(0x7FFFD4), Hex(0x7D9EC0), Hex(0x800080), Hex(0x7F7F7F),
    Hex(0xFFC0CB), Hex(0xFFD700), Hex(0xFFFF00), Hex(0x00FF00), Hex(0x40E0D0), Hex(0xC0FFFF), Hex(0x480048), Hex(0xC0C0C0),
    Hex(0xFFE4E1), Hex(0xD2B48C), Hex(0xFFFFE0), Hex(0x98FB98), Hex(0xAFEEEE), Hex(0x68838B), Hex(0xE6E6FA), Hex(0xA52A00),
};

constexpr int kCell = 18;
constexpr int kGridLeft = 6;
constexpr int kGridTop = 30;

}  // namespace

const std::array<ColorRef, 40>& ColorPalette::FixedColors() { return kFixed; }

PaletteRect ColorPalette::ItemRect(int item) {
    if (item == kAutomaticItem) return {6, 6, 150, 24};
    if (item == kCustomizeItem) return {6, 126, 150, 144};
    if (item < 1 || item > 40) return {};
    int cell = item - 1;
    int left = kGridLeft + (cell % 8) * kCell;
    int top = kGridTop + (cell / 8) * kCell;
    return {left, top, left + kCell, top + kCell};
}

int ColorPalette::ItemAt(int x, int y) {
    for (int i = 0; i < kItemCount; ++i)
        if (ItemRect(i).Contains(x, y)) return i;
    return -1;
}

void ColorPalette::Open(ColorRef automaticColor, ColorRef buttonColor) {
    automaticColor_ = automaticColor;
    hot_ = pressedMark_ = pressedItem_ = -1;
    current_ = -1;
    for (int i = 0; i < kItemCount; ++i) {
        if (ItemColor(i) == buttonColor) {
            current_ = i;
            break;
        }
    }
    if (current_ < 0) {
        customColor_ = buttonColor;
        current_ = kCustomizeItem;
    }
}

ColorRef ColorPalette::ItemColor(int item) const {
    if (item == kAutomaticItem) return automaticColor_;
    if (item == kCustomizeItem) return customColor_;
    if (item >= 1 && item <= 40) return kFixed[size_t(item - 1)];
    return 0;
}

void ColorPalette::MouseMove(int x, int y, bool buttonDown) {
    hot_ = ItemAt(x, y);
    pressedMark_ = buttonDown ? hot_ : -1;
}

std::optional<PaletteResult> ColorPalette::MousePress(int x, int y) {
    if (!InClient(x, y)) {
        hot_ = pressedMark_ = pressedItem_ = -1;
        return PaletteResult{PaletteOutcome::Nothing, 0};
    }
    pressedItem_ = pressedMark_ = hot_ = ItemAt(x, y);
    return std::nullopt;
}

std::optional<PaletteResult> ColorPalette::MouseRelease(int x, int y) {
    int item = ItemAt(x, y);
    int pressed = pressedItem_;
    pressedItem_ = pressedMark_ = -1;
    hot_ = item;
    if (item < 0 || item != pressed) return std::nullopt;
    if (item == kCustomizeItem) return PaletteResult{PaletteOutcome::Customize, customColor_};
    return PaletteResult{PaletteOutcome::Chosen, ItemColor(item)};
}

}  // namespace tarnwell
