// Page layout of a printed text: the page margins kept in the settings, the header and footer bands,
// the wrapping of each line into printed rows and the division of those rows into pages. Plain
// arithmetic in device units (the printer's pixels); the printing code measures the font and draws.
//
// Rules:
// - Margins are stored in hundredths of a millimetre. A negative margin counts as 0; margins that
//   leave less than one row or one character cell between them fall back to the default.
// - A band (header or footer) is one and a half rows high, taken from the text area.
// - A line is tab-expanded and word-wrapped in the width of the text area; a word wider than a row is
//   broken between characters. An empty line takes one row.
// - A line that does not fit on the rest of a page starts the next page. A line taller than a whole
//   page continues over the following pages, split between its rows, so no text is ever left out.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "text/LineLayout.h"

namespace tarnwell {

class Profile;

// Margins in hundredths of a millimetre.
struct PageMargins {
    static constexpr int kDefault = 1000;  // 10 mm
    int left = kDefault;
    int right = kDefault;
    int top = kDefault;
    int bottom = kDefault;

    friend bool operator==(const PageMargins&, const PageMargins&) = default;
};

inline constexpr const char* kPageSetupSection = "CrystalEdit\\PageSetup";

// Reads "LeftMargin", "RightMargin", "TopMargin" and "BottomMargin" (missing: 1000; negative: 0).
PageMargins ReadPageMargins(const Profile& profile);
void WritePageMargins(Profile& profile, const PageMargins& margins);

// Hundredths of a millimetre to device units at `dotsPerInch`, rounded to the nearest unit.
int HundredthsMmToDevice(int hundredthsMm, int dotsPerInch);

// A rectangle of device units; right and bottom are exclusive.
struct PrintRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const PrintRect&, const PrintRect&) = default;
};

// What the page layout needs to know of the device and the font.
struct PageMetrics {
    PrintRect page;         // the drawing rectangle of a page (any corner order)
    int dpiX = 0;           // device units per inch, horizontally and vertically
    int dpiY = 0;
    int lineHeight = 1;     // height of one printed row
    int cellWidth = 1;      // width of one character cell
    bool headerOn = false;  // bands above and below the text area
    bool footerOn = true;
};

// Where the parts of every page lie.
struct PageFrame {
    PrintRect text;    // the rows of text
    PrintRect header;  // the header band above `text` (empty when off)
    PrintRect footer;  // the footer band below `text` (empty when off)
    int rows = 1;      // rows per page, at least 1
    int columns = 1;   // cells per row, at least 1
    PageMargins used;  // the margins after clamping and fall-back
};

PageFrame ComputePageFrame(const PageMetrics& metrics, const PageMargins& margins);

// One character of a line as printed: its first byte, first column, cells and code point (a tab is
// a blank spanning up to the next tab stop; control characters print as blanks).
struct PrintCell {
    int byte = 0;
    int column = 0;
    int cells = 1;
    char32_t code = ' ';
    bool IsBlank() const { return code == ' '; }
};
void LayoutCells(const LineRef& line, int tabSize, std::vector<PrintCell>& cells);

// One printed row of a line: the cells [first, last) of its LayoutCells.
struct RowSpan {
    int first = 0;
    int last = 0;
    friend bool operator==(const RowSpan&, const RowSpan&) = default;
};
// Word-wraps the cells of a line into rows of at most `columns` cells. Blanks where a row breaks are
// dropped; an empty line gives one empty row; every row but an empty line's holds a character.
void WrapCells(const std::vector<PrintCell>& cells, int columns, std::vector<RowSpan>& rows);
// The number of rows WrapCells gives for a line.
int CountRows(const LineRef& line, int tabSize, int columns);

// The first row of a page: row `row` of line `line`.
struct PageStart {
    int line = 0;
    int row = 0;
    friend bool operator==(const PageStart&, const PageStart&) = default;
};
// Divides the rows of `lineCount` lines (`rowsOf(line)` each, at least 1) into pages of `rowsPerPage`
// rows. The result holds at least one page.
std::vector<PageStart> Paginate(int lineCount, const std::function<int(int line)>& rowsOf, int rowsPerPage);

}  // namespace tarnwell
