// The arithmetic of a strip of push buttons (the open-files bar): button widths, rows when they do
// not fit on one, the row scroller, hit testing, the lighter face of a hovered button, and the rules
// that turn a click or a context menu on an open-files button into a window command.
#pragma once

#include <vector>

namespace tarnwell {

// Left and top inclusive, right and bottom exclusive.
struct StripRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const StripRect&, const StripRect&) = default;
};

struct StripMetrics {
    int maxWidth = 180;
    int minWidth = 50;
    int gap = 0;
    int marginLeft = 0;
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
};

struct StripLayout {
    int buttonWidth = 0;
    int columns = 0;
    int rows = 1;
    int firstRow = 0;  // the first row shown
    // The row scroller: shown only when the buttons need more than one row. Its value runs from 0 to
    // rows - 1 and is rows - firstRow - 1, so its up arrow shows earlier rows.
    bool scrollerShown = false;
    StripRect scroller;
    int scrollerMax = 0;
    int scrollerValue = 0;
    std::vector<StripRect> buttons;
};

// Lays out `count` buttons in a client area of `width` x `height`; `scrollBarWidth` is the width the
// row scroller takes at the right. `firstRow` is the row wanted at the top (cut to the last row).
StripLayout LayoutStrip(int width, int height, int count, int firstRow, int scrollBarWidth,
                        const StripMetrics& metrics = {});
// The first row to show for a scroller value.
int FirstRowForScroller(int rows, int value);
// The index of the first button holding the point, or -1.
int ButtonAt(const std::vector<StripRect>& buttons, int x, int y);

struct StripRgb {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const StripRgb&, const StripRgb&) = default;
};
// The face of a hovered up button: each channel times 1.08, cut to an integer, at most 255.
StripRgb LightFace(StripRgb face);

// What the window of an open-files button should do.
enum class WindowAction { None, Activate, Minimize, Maximize, Restore };

// A left click: the button of the active window (down) minimizes it; another window is activated,
// or, when minimized, brought back maximized if the active window is maximized or it was maximized
// before it was minimized.
WindowAction ClickAction(bool buttonDown, bool minimized, bool activeMaximized, bool wasMaximized);

// The ids of the button context menu.
enum : int {
    kFilesMenuRestore = 37341,
    kFilesMenuMinimize = 37342,
    kFilesMenuMaximize = 37343,
    kFilesMenuClose = 37344,
    kFilesMenuSave = 37345,
    kFilesMenuActivate = 37346,
};

struct FilesMenuState {
    int defaultId = kFilesMenuActivate;
    bool activateEnabled = true;
    int disabledStateId = kFilesMenuRestore;  // the one window-state item that is disabled
    bool saveEnabled = true;
    bool Enabled(int id) const;
};

// The menu of the button of a window in the given state.
FilesMenuState FilesMenu(bool isActive, bool minimized, bool maximized, bool modified, bool hasPath);

}  // namespace tarnwell
