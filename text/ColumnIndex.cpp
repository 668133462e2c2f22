#include "text/ColumnIndex.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

namespace tarnwell {

namespace {

// Whether bytes [from, to) walk one column a byte: no tab, and no multi-byte character.
}  // namespace

void ColumnIndex::Clear() {
    points_.clear();
    complete_ = false;
    total_ = 0;
}

void ColumnIndex::InvalidateFrom(int from) {
    // A character that did not decode may have become valid (or the reverse) through bytes after it:
    // a multi-byte character is at most four bytes long.
    from = std::max(1, from - 3);
    while (!points_.empty() && points_.back().byte >= from) points_.pop_back();
    complete_ = false;
}

void ColumnIndex::Prepare(const LineRef& line, int tabSize) {
    if (tabSize != tabSize_ || line.codePage != codePage_) {
        Clear();
        tabSize_ = tabSize;
        codePage_ = line.codePage;
    }
    while (!points_.empty() && points_.back().byte > line.length) {
        points_.pop_back();
        complete_ = false;
    }
    if (points_.empty()) points_.push_back(Point{0, 0});
}

void ColumnIndex::ExtendTo(const LineRef& line, int ch, int column) {
    while (!complete_) {
        const Point last = points_.back();
        if (last.byte > ch || last.column > column) return;
        const long long next = static_cast<long long>(points_.size()) * kStep;
        const int target = next >= line.length ? line.length : static_cast<int>(next);
        int i = last.byte;
        int col = last.column;
        if (HasOnlySingleByteChars(line, i, target)) {
            col = WalkSingleByteChars(line, i, target, tabSize_, col);
            i = target;
        } else {
            while (i < target) i += StepColumn(line, i, tabSize_, col);
        }
        if (target == line.length && i >= line.length) {
            complete_ = true;
            total_ = col;
            return;
        }
        points_.push_back(Point{i, col});
    }
}

const ColumnIndex::Point& ColumnIndex::PointAtByte(int ch) const {
    auto it = std::upper_bound(points_.begin(), points_.end(), ch, [](int b, const Point& p) { return b < p.byte; });
    return *(it - 1);  // points_[0] is byte 0
}

const ColumnIndex::Point& ColumnIndex::PointBeforeColumn(int column, bool strictly) const {
    auto it = strictly ? std::lower_bound(points_.begin(), points_.end(), column,
                                          [](const Point& p, int c) { return p.column < c; })
                       : std::upper_bound(points_.begin(), points_.end(), column,
                                          [](int c, const Point& p) { return c < p.column; });
    return it == points_.begin() ? points_.front() : *(it - 1);
}

int ColumnIndex::ColumnOf(const LineRef& line, int ch, int tabSize) {
    tabSize = std::max(1, tabSize);
    Prepare(line, tabSize);
    ch = std::clamp(ch, 0, line.length);
    ExtendTo(line, ch, INT_MAX);
    const Point& p = PointAtByte(ch);
    int col = p.column;
    for (int i = p.byte; i < ch;) i += StepColumn(line, i, tabSize, col);
    return col;
}

int ColumnIndex::DisplayLength(const LineRef& line, int tabSize) {
    tabSize = std::max(1, tabSize);
    Prepare(line, tabSize);
    ExtendTo(line, INT_MAX, INT_MAX);
    return total_;
}

int ColumnIndex::CharAtColumn(const LineRef& line, int column, int tabSize) {
    tabSize = std::max(1, tabSize);
    if (column <= 0) return 0;
    Prepare(line, tabSize);
    ExtendTo(line, INT_MAX, column);
    // Every character before the checkpoint ends before `column`, so the walk may start there.
    const Point& p = PointBeforeColumn(column, true);
    int col = p.column;
    for (int i = p.byte; i < line.length;) {
        const int len = StepColumn(line, i, tabSize, col);
        if (col >= column) return (col - tabSize / 2 < column) ? i + len : i;
        i += len;
    }
    return line.length;
}

int ColumnIndex::CharUnderColumn(const LineRef& line, int column, int tabSize) {
    tabSize = std::max(1, tabSize);
    Prepare(line, tabSize);
    ExtendTo(line, INT_MAX, column);
    const Point& p = PointBeforeColumn(column, false);
    int col = p.column;
    for (int i = p.byte; i < line.length;) {
        const int len = StepColumn(line, i, tabSize, col);
        if (col > column) return i;
        i += len;
    }
    return line.length;
}

}  // namespace tarnwell
