// Column lookups on a long line without a walk from its start: checkpoints of (character boundary,
// column) about every kStep bytes, built lazily and dropped from an edited byte on. The answers are
// those of the plain walks in LineLayout.h.
#pragma once

#include <vector>

#include "text/LineLayout.h"

namespace tarnwell {

class ColumnIndex {
public:
    static constexpr int kStep = 4096;

    // Forgets every checkpoint at or after byte `from` (the line changed there).
    void InvalidateFrom(int from);
    void Clear();

    int ColumnOf(const LineRef& line, int ch, int tabSize);
    int DisplayLength(const LineRef& line, int tabSize);
    int CharAtColumn(const LineRef& line, int column, int tabSize);
    int CharUnderColumn(const LineRef& line, int column, int tabSize);

    int CheckpointCount() const { return static_cast<int>(points_.size()); }

private:
    struct Point {
        int byte;
        int column;
    };
    // Checkpoints stay valid only for the tab size and code page they were made with.
    void Prepare(const LineRef& line, int tabSize);
    // Extends the checkpoints until one lies past byte `ch` or past column `column`, or the line ends.
    void ExtendTo(const LineRef& line, int ch, int column);
    // The last checkpoint whose byte is <= ch.
    const Point& PointAtByte(int ch) const;
    // The last checkpoint whose column is < column (before = true) or <= column.
    const Point& PointBeforeColumn(int column, bool strictly) const;

    std::vector<Point> points_;  // points_[k].byte is the first boundary at or after k * kStep
    bool complete_ = false;      // the walk reached the end: `total_` is the display length
    int total_ = 0;
    int tabSize_ = -1;
    CodePage codePage_ = CodePage::Utf8;
};

}  // namespace tarnwell
