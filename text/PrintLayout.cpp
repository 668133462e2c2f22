#include "text/PrintLayout.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "platform/Profile.h"

namespace tarnwell {

namespace {

constexpr const char* kLeft = "LeftMargin";
constexpr const char* kRight = "RightMargin";
constexpr const char* kTop = "TopMargin";
constexpr const char* kBottom = "BottomMargin";

int NonNegative(int v) { return v < 0 ? 0 : v; }

// The room left between two margins (device units), or -1 when they overlap.
int Room(int extent, int a, int b) {
    const std::int64_t left = std::int64_t(extent) - a - b;
    return left < 0 ? -1 : int(left);
}

// Chooses the margins of one axis: the given ones, else the default, else none, whichever first
// leaves at least `need` units of room for the text. Answers the device margins and the ones used.
struct Axis {
    int before = 0;  // device units
    int after = 0;
    int usedBefore = 0;  // hundredths of a millimetre
    int usedAfter = 0;
};
Axis ChooseAxis(int extent, int bands, int need, int dpi, int before, int after) {
    const std::pair<int, int> tries[] = {{before, after}, {PageMargins::kDefault, PageMargins::kDefault}, {0, 0}};
    Axis axis;
    for (const auto& [b, a] : tries) {
        axis = {HundredthsMmToDevice(b, dpi), HundredthsMmToDevice(a, dpi), b, a};
        if (Room(extent - bands, axis.before, axis.after) >= need) break;
    }
    return axis;
}

}  // namespace

PageMargins ReadPageMargins(const Profile& profile) {
    PageMargins m;
    m.left = NonNegative(profile.GetInt(kPageSetupSection, kLeft, PageMargins::kDefault));
    m.right = NonNegative(profile.GetInt(kPageSetupSection, kRight, PageMargins::kDefault));
    m.top = NonNegative(profile.GetInt(kPageSetupSection, kTop, PageMargins::kDefault));
    m.bottom = NonNegative(profile.GetInt(kPageSetupSection, kBottom, PageMargins::kDefault));
    return m;
}

void WritePageMargins(Profile& profile, const PageMargins& margins) {
    profile.WriteInt(kPageSetupSection, kLeft, margins.left);
    profile.WriteInt(kPageSetupSection, kRight, margins.right);
    profile.WriteInt(kPageSetupSection, kTop, margins.top);
    profile.WriteInt(kPageSetupSection, kBottom, margins.bottom);
}

int HundredthsMmToDevice(int hundredthsMm, int dotsPerInch) {
    if (hundredthsMm <= 0 || dotsPerInch <= 0) return 0;
    const std::int64_t v = (std::int64_t(hundredthsMm) * dotsPerInch + 1270) / 2540;
    return int(std::min<std::int64_t>(v, std::numeric_limits<int>::max() / 4));
}

PageFrame ComputePageFrame(const PageMetrics& metrics, const PageMargins& margins) {
    PrintRect page = metrics.page;
    if (page.left > page.right) std::swap(page.left, page.right);
    if (page.top > page.bottom) std::swap(page.top, page.bottom);
    const int lh = std::max(1, metrics.lineHeight);
    const int cw = std::max(1, metrics.cellWidth);
    const int band = lh + lh / 2;
    const int headerBand = metrics.headerOn ? band : 0;
    const int footerBand = metrics.footerOn ? band : 0;

    const Axis h = ChooseAxis(page.Width(), 0, cw, metrics.dpiX, NonNegative(margins.left), NonNegative(margins.right));
    const Axis v = ChooseAxis(page.Height(), headerBand + footerBand, lh, metrics.dpiY, NonNegative(margins.top),
                              NonNegative(margins.bottom));

    PageFrame f;
    f.used = {h.usedBefore, h.usedAfter, v.usedBefore, v.usedAfter};
    f.text.left = page.left + h.before;
    f.text.right = std::max(f.text.left, page.right - h.after);
    f.text.top = page.top + v.before + headerBand;
    f.text.bottom = std::max(f.text.top, page.bottom - v.after - footerBand);
    if (metrics.headerOn) f.header = {f.text.left, f.text.top - band, f.text.right, f.text.top};
    if (metrics.footerOn) f.footer = {f.text.left, f.text.bottom, f.text.right, f.text.bottom + band};
    f.rows = std::max(1, f.text.Height() / lh);
    f.columns = std::max(1, f.text.Width() / cw);
    return f;
}

void LayoutCells(const LineRef& line, int tabSize, std::vector<PrintCell>& cells) {
    cells.clear();
    const int tab = tabSize < 1 ? 1 : tabSize;
    int col = 0;
    for (int i = 0; i < line.length;) {
        const auto b = static_cast<unsigned char>(line.text[i]);
        PrintCell c{i, col, 1, b};
        int len = 1;
        if (b == '\t') {
            c.cells = tab - col % tab;
            c.code = ' ';
        } else if (b >= 0x80) {
            const DecodedChar d = DecodeChar(line.codePage, line.text, line.length, i);
            len = d.length;
            c.code = (d.code >= 0x80 && d.code < 0xA0) ? U' ' : d.code;
            c.cells = line.codePage == CodePage::Utf8 ? CellWidth(d.code) : 1;
        } else if (b < 0x20 || b == 0x7F) {
            c.code = ' ';
        }
        cells.push_back(c);
        col += c.cells;
        i += len;
    }
}

void WrapCells(const std::vector<PrintCell>& cells, int columns, std::vector<RowSpan>& rows) {
    rows.clear();
    const int n = static_cast<int>(cells.size());
    if (n == 0) {
        rows.push_back({0, 0});
        return;
    }
    const int width = std::max(1, columns);
    int i = 0;
    while (i < n) {
        const int startCol = cells[i].column;
        int j = i;
        int lastBlank = -1;  // a blank inside the row, after its first cell: the row may end before it
        while (j < n && cells[j].column + cells[j].cells - startCol <= width) {
            if (j > i && cells[j].IsBlank()) lastBlank = j;
            ++j;
        }
        if (j == n) {
            rows.push_back({i, n});
            break;
        }
        int end;
        if (j == i) {
            end = i + 1;  // one character wider than the row: it gets a row of its own
        } else if (cells[j].IsBlank()) {
            end = j;
        } else if (lastBlank > i) {
            end = lastBlank;
        } else {
            end = j;  // a word wider than the row is broken between characters
        }
        while (end > i + 1 && cells[end - 1].IsBlank()) --end;
        rows.push_back({i, end});
        i = end;
        while (i < n && cells[i].IsBlank()) ++i;
    }
}

int CountRows(const LineRef& line, int tabSize, int columns) {
    if (DisplayLength(line, tabSize) <= columns) return 1;
    std::vector<PrintCell> cells;
    std::vector<RowSpan> rows;
    LayoutCells(line, tabSize, cells);
    WrapCells(cells, columns, rows);
    return static_cast<int>(rows.size());
}

std::vector<PageStart> Paginate(int lineCount, const std::function<int(int line)>& rowsOf, int rowsPerPage) {
    const int perPage = std::max(1, rowsPerPage);
    std::vector<PageStart> pages;
    pages.reserve(32);
    pages.push_back({0, 0});
    int used = 0;
    for (int line = 0; line < lineCount; ++line) {
        const int rows = std::max(1, rowsOf(line));
        if (used + rows <= perPage) {
            used += rows;
            continue;
        }
        // The line starts the next page; one taller than a page continues over the pages after it.
        if (used > 0) pages.push_back({line, 0});
        int row = 0;
        while (rows - row > perPage) {
            row += perPage;
            pages.push_back({line, row});
        }
        used = rows - row;
    }
    return pages;
}

}  // namespace tarnwell
