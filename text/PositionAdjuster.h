// Position adjusters: what the text buffer hands its views with each change so that every stored
// position (cursor, selection, anchors) follows the text.
#pragma once

#include "text/TextPosition.h"

namespace tarnwell {

// The changed range [start, end) and one operation that rewrites a position in place.
class PositionAdjuster {
public:
    PositionAdjuster(TextPosition s, TextPosition e) : start(s), end(e) {}
    virtual ~PositionAdjuster() = default;

    virtual void Adjust(TextPosition& pos) const = 0;
    virtual bool IsInsert() const = 0;

    TextPosition start;
    TextPosition end;
};

// Text was inserted at start; end is the position just after it. A position exactly at start stays
// before the inserted text.
class InsertAdjuster final : public PositionAdjuster {
public:
    using PositionAdjuster::PositionAdjuster;

    void Adjust(TextPosition& pos) const override {
        if (pos.line < start.line) return;
        if (pos.line > start.line) {
            pos.line += end.line - start.line;
        } else if (pos.ch > start.ch) {
            pos = TextPosition(end.line, end.ch + (pos.ch - start.ch));
        }
    }
    bool IsInsert() const override { return true; }
};

// The text [start, end) was removed. Positions inside it collapse to start.
class RemoveAdjuster final : public PositionAdjuster {
public:
    using PositionAdjuster::PositionAdjuster;

    void Adjust(TextPosition& pos) const override {
        if (pos.line < start.line) return;
        if (pos.line > end.line) {
            pos.line -= end.line - start.line;
        } else if (pos.line == end.line && pos.ch >= end.ch) {
            pos = TextPosition(start.line, start.ch + (pos.ch - end.ch));
        } else if (pos.line == start.line) {
            if (pos.ch > start.ch) pos.ch = start.ch;
        } else {
            pos = start;
        }
    }
    bool IsInsert() const override { return false; }
};

}  // namespace tarnwell
