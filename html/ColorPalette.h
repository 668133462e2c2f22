// The color button's drop-down palette as a model: item layout, the marks of each item and the mouse
// rules that choose a color. The palette widget only draws this state and feeds it mouse positions.
#pragma once

#include "html/ColorText.h"

#include <array>
#include <optional>

namespace tarnwell {

// Half-open rectangle in the palette's client coordinates.
struct PaletteRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// What the palette tells its button when it closes (the codes of the popup notification).
enum class PaletteOutcome : int {
    Chosen = 2,     // an ordinary item or Automatic was chosen; the color comes with it
    Nothing = 3,    // closed without a choice
    Customize = 4,  // the button opens the full color dialog
};

struct PaletteResult {
    PaletteOutcome outcome = PaletteOutcome::Nothing;
    ColorRef color = 0;
};

class ColorPalette {
public:
    static constexpr int kItemCount = 42;
    static constexpr int kAutomaticItem = 0;
    static constexpr int kCustomizeItem = 41;
    static constexpr int kClientWidth = 156;
    static constexpr int kClientHeight = 150;

    // The 40 fixed colors, row by row (8 per row, 5 rows).
    static const std::array<ColorRef, 40>& FixedColors();
    static PaletteRect ItemRect(int item);
    // The item under a client point, or -1.
    static int ItemAt(int x, int y);
    static bool InClient(int x, int y) { return x >= 0 && y >= 0 && x < kClientWidth && y < kClientHeight; }

    // Prepares the palette for a button showing `buttonColor`: clears hot and pressed, marks as current
    // the first item whose color equals the button's; when none does, Customize takes that color.
    void Open(ColorRef automaticColor, ColorRef buttonColor);

    ColorRef ItemColor(int item) const;
    ColorRef CustomColor() const { return customColor_; }
    bool IsHot(int item) const { return item >= 0 && item == hot_; }
    bool IsPressed(int item) const { return item >= 0 && item == pressedMark_; }
    bool IsCurrent(int item) const { return item >= 0 && item == current_; }
    int CurrentItem() const { return current_; }

    // The mouse rules. Each returns a result once the palette is to close, nothing while it stays open.
    void MouseMove(int x, int y, bool buttonDown);
    std::optional<PaletteResult> MousePress(int x, int y);
    std::optional<PaletteResult> MouseRelease(int x, int y);

private:
    ColorRef automaticColor_ = 0;
    ColorRef customColor_ = 0;
    int hot_ = -1;
    int pressedMark_ = -1;  // the pressed look follows the pointer while the button is held
    int pressedItem_ = -1;  // the item the button went down on; only releasing there chooses
    int current_ = -1;
};

}  // namespace tarnwell
