// Program-wide settings every text view follows. The options store sets them at start-up and after
// its dialog; until then the defaults below hold. CCrystalTextView::SetViewSettings applies a new set
// to every open view at once.
#pragma once

namespace tarnwell {

struct ViewSettings {
    int tabSize = 4;                   // tab stops at every multiple of this many columns (1..64)
    bool showSelectionMargin = true;   // the 22-pixel margin with bookmarks and line numbers
    bool showLineNumbers = false;
    bool showSelectionAlways = false;  // draw the selection also without the focus
    bool autoIndent = true;            // Enter copies the leading blanks of the line
    bool tabToSpace = false;           // Tab inserts spaces up to the tab size

    friend bool operator==(const ViewSettings&, const ViewSettings&) = default;
};

// Tab sizes outside 1..64 would break column arithmetic (0 divides by zero); they are clamped.
inline int ClampViewTabSize(int tabSize) { return tabSize < 1 ? 1 : (tabSize > 64 ? 64 : tabSize); }

}  // namespace tarnwell
