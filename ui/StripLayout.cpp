#include "ui/StripLayout.h"

#include <algorithm>

namespace tarnwell {

StripLayout LayoutStrip(int width, int height, int count, int firstRow, int scrollBarWidth, const StripMetrics& m) {
    StripLayout out;
    out.firstRow = std::max(0, firstRow);
    if (count <= 0) return out;
    const int rowHeight = std::max(0, height - m.marginTop - m.marginBottom);
    int w = (width - (count - 1) * m.gap - m.marginLeft - m.marginRight) / count;
    w = std::min(w, m.maxWidth);
    if (w < m.minWidth) {
        w = m.minWidth;
        out.columns = std::max(1, (width - m.marginRight - m.marginLeft - scrollBarWidth) / (m.minWidth + m.gap));
        out.rows = (count + out.columns - 1) / out.columns;
        out.scrollerShown = true;
        const int right = width - m.marginRight;
        out.scroller = {right - scrollBarWidth, m.marginTop, right, m.marginTop + rowHeight};
        out.scrollerMax = out.rows - 1;
    } else {
        out.columns = count;
        out.rows = 1;
    }
    out.firstRow = std::min(out.firstRow, out.rows - 1);
    out.scrollerValue = out.scrollerShown ? out.rows - out.firstRow - 1 : 0;
    out.buttonWidth = w;
    out.buttons.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const int row = i / out.columns;
        const int col = i % out.columns;
        const int x = m.marginLeft + col * (w + m.gap);
        const int y = m.marginTop + (row - out.firstRow) * rowHeight;
        out.buttons.push_back({x, y, x + w, y + rowHeight});
    }
    return out;
}

int FirstRowForScroller(int rows, int value) { return std::clamp(rows - value - 1, 0, std::max(0, rows - 1)); }

int ButtonAt(const std::vector<StripRect>& buttons, int x, int y) {
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i].Contains(x, y)) return int(i);
    }
    return -1;
}

StripRgb LightFace(StripRgb face) {
    auto light = [](int c) { return std::min(255, int(c * 1.08)); };
    return {light(face.r), light(face.g), light(face.b)};
}

WindowAction ClickAction(bool buttonDown, bool minimized, bool activeMaximized, bool wasMaximized) {
    if (buttonDown) return WindowAction::Minimize;
    if (!minimized) return WindowAction::Activate;
    return activeMaximized || wasMaximized ? WindowAction::Maximize : WindowAction::Restore;
}

bool FilesMenuState::Enabled(int id) const {
    if (id == kFilesMenuActivate) return activateEnabled;
    if (id == kFilesMenuSave) return saveEnabled;
    return id != disabledStateId;
}

FilesMenuState FilesMenu(bool isActive, bool minimized, bool maximized, bool modified, bool hasPath) {
    FilesMenuState s;
    if (isActive && !minimized) {
        s.activateEnabled = false;
        s.defaultId = kFilesMenuMinimize;
    }
    s.disabledStateId = maximized ? kFilesMenuMaximize : minimized ? kFilesMenuMinimize : kFilesMenuRestore;
    s.saveEnabled = modified || !hasPath;
    return s;
}

}  // namespace tarnwell
