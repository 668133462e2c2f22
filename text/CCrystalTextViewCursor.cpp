// CCrystalTextView: cursor and selection, the movement commands of the key table, scrolling to a
// position, point/position mapping and bookmarks. Positions never rest inside a multi-byte character.
#include <QApplication>

#include <algorithm>

#include "text/CCrystalTextView.h"

namespace tarnwell {

// --- Cursor and selection -------------------------------------------------------------------------

void CCrystalTextView::CursorChanged() {
    ShowCaretNow();
    emit StatusChanged();
}

void CCrystalTextView::PlaceCursor(TextPosition pos) {
    cursor_ = pos;
    wantedColumn_ = ColumnOf(pos.line, pos.ch);
    CursorChanged();
}

void CCrystalTextView::SelectionBounds(TextPosition& start, TextPosition& end) const {
    start = std::min(selFrom_, selTo_);
    end = std::max(selFrom_, selTo_);
}

bool CCrystalTextView::IsInsideSelection(TextPosition pos) const {
    TextPosition s, e;
    SelectionBounds(s, e);
    return s <= pos && pos < e;
}

void CCrystalTextView::SelectRange(TextPosition start, TextPosition end) {
    // Repaint only the lines whose selection state may change.
    if (start == selFrom_) {
        if (end != selTo_) RepaintLines(std::min(end.line, selTo_.line), std::max(end.line, selTo_.line));
    } else {
        RepaintLines(std::min(start.line, end.line), std::max(start.line, end.line));
        RepaintLines(std::min(selFrom_.line, selTo_.line), std::max(selFrom_.line, selTo_.line));
    }
    selFrom_ = start;
    selTo_ = end;
    emit StatusChanged();
}

void CCrystalTextView::SetCursorAndClear(TextPosition pos) {
    anchor_ = pos;
    SelectRange(pos, pos);
    PlaceCursor(pos);
    ScrollToShow(pos);
}

void CCrystalTextView::SetShowSelectionAlwaysOverride(bool on) {
    if (showSelectionAlwaysOverride_ == on) return;
    showSelectionAlwaysOverride_ = on;
    if (HasSelection()) RepaintLines(std::min(selFrom_.line, selTo_.line), std::max(selFrom_.line, selTo_.line));
}

void CCrystalTextView::SelectWholeText() {
    const int last = LineCount() - 1;
    const TextPosition end(last, LineLength(last));
    cursor_ = end;
    wantedColumn_ = ColumnOf(end.line, end.ch);
    SelectRange(TextPosition(0, 0), end);
    ScrollToShow(end);
    CursorChanged();
}

void CCrystalTextView::ScrollToShow(TextPosition pos) {
    const int rows = std::max(1, VisibleRows());
    int top = firstVisibleLine_;
    if (pos.line >= firstVisibleLine_ + rows) {
        top = pos.line - rows + 1;
    } else if (pos.line < firstVisibleLine_) {
        top = pos.line;
    }
    top = std::clamp(top, 0, std::max(0, LineCount() - 1));
    if (top != firstVisibleLine_) ScrollToLine(top);

    const int col = ColumnOf(pos.line, pos.ch);
    const int cols = VisibleColumns();
    int left = scrollColumn_;
    if (scrollColumn_ + cols < col) {
        left = col - cols;
    } else if (col < scrollColumn_) {
        left = col;
    }
    left = std::clamp(left, 0, std::max(0, LongestLine() - 1));
    if (left != scrollColumn_) ScrollToColumn(left);
    ShowCaretNow();
}

TextPosition CCrystalTextView::PointToPosition(QPoint point) {
    const int last = LineCount() - 1;
    const int rh = RowHeight();
    const int y = point.y();
    const int row = y >= 0 ? y / rh : -((-y + rh - 1) / rh);
    const int line = std::clamp(row + firstVisibleLine_, 0, last);
    const int dx = point.x() - MarginWidth();
    const int column = std::max(0, (dx >= 0 ? dx / CellWidth() : -1) + scrollColumn_);
    const int ch = CharUnderColumn(line, column);
    return TextPosition(line, SnapForwardOnLine(line, ch));
}

QPoint CCrystalTextView::PositionToPoint(TextPosition pos) {
    return QPoint((ColumnOf(pos.line, pos.ch) - scrollColumn_) * CellWidth() + MarginWidth(),
                  (pos.line - firstVisibleLine_) * RowHeight());
}

void CCrystalTextView::WordAround(TextPosition pos, TextPosition& start, TextPosition& end) const {
    const char* text = LineText(pos.line);
    const int len = LineLength(pos.line);
    int s = std::clamp(pos.ch, 0, len);
    int e = s;
    while (s > 0 && IsWordByte(static_cast<unsigned char>(text[s - 1]))) --s;
    while (e < len && IsWordByte(static_cast<unsigned char>(text[e]))) ++e;
    start = TextPosition(pos.line, s);
    end = TextPosition(pos.line, e);
}

// --- Movement commands ----------------------------------------------------------------------------

void CCrystalTextView::FinishMove(bool extend, bool keepWanted) {
    if (!keepWanted) wantedColumn_ = ColumnOf(cursor_.line, cursor_.ch);
    ScrollToShow(cursor_);
    if (!extend) anchor_ = cursor_;
    SelectRange(anchor_, cursor_);
    CursorChanged();
}

void CCrystalTextView::MoveLeft(bool extend) {
    TextPosition s, e;
    SelectionBounds(s, e);
    if (HasSelection() && !extend) {
        cursor_ = s;
    } else if (cursor_.ch > 0) {
        cursor_.ch = PrevCharStart(codePage_, LineText(cursor_.line), LineLength(cursor_.line), cursor_.ch);
    } else if (cursor_.line > 0) {
        --cursor_.line;
        cursor_.ch = LineLength(cursor_.line);
    }
    FinishMove(extend, false);
}

void CCrystalTextView::MoveRight(bool extend) {
    TextPosition s, e;
    SelectionBounds(s, e);
    const int len = LineLength(cursor_.line);
    if (HasSelection() && !extend) {
        cursor_ = e;
    } else if (cursor_.ch < len) {
        cursor_.ch += DecodeChar(codePage_, LineText(cursor_.line), len, cursor_.ch).length;
        cursor_.ch = std::min(cursor_.ch, len);
    } else if (cursor_.line < LineCount() - 1) {
        ++cursor_.line;
        cursor_.ch = 0;
    }
    FinishMove(extend, false);
}

void CCrystalTextView::MoveWordLeft(bool extend) {
    if (HasSelection() && !extend) {
        MoveLeft(false);
        return;
    }
    TextPosition pos = cursor_;
    if (pos.ch == 0) {
        if (pos.line == 0) return;
        --pos.line;
        pos.ch = LineLength(pos.line);
    }
    const char* text = LineText(pos.line);
    const int len = LineLength(pos.line);
    auto byteAt = [&](int i) { return static_cast<unsigned char>(text[i]); };
    int i = pos.ch;
    while (i > 0 && IsBlankByte(byteAt(i - 1))) --i;
    if (i > 0) {
        const int prev = PrevCharStart(codePage_, text, len, i);
        if (i - prev > 1) {
            i = prev;  // a multi-byte character is one unit
        } else if (IsWordByte(byteAt(i - 1))) {
            while (i > 0 && IsWordByte(byteAt(i - 1))) --i;
        } else {
            while (i > 0) {
                const unsigned char b = byteAt(i - 1);
                if (IsWordByte(b) || IsBlankByte(b)) break;
                const int p = PrevCharStart(codePage_, text, len, i);
                if (i - p > 1) break;  // stop after a multi-byte character
                i = p;
            }
        }
    }
    cursor_ = TextPosition(pos.line, i);
    FinishMove(extend, false);
}

void CCrystalTextView::MoveWordRight(bool extend) {
    if (HasSelection() && !extend) {
        MoveRight(false);
        return;
    }
    TextPosition pos = cursor_;
    if (pos.ch >= LineLength(pos.line)) {
        if (pos.line >= LineCount() - 1) return;
        ++pos.line;
        pos.ch = 0;
        if (LineLength(pos.line) == 0) {
            // An empty line is passed over: the cursor lands at the start of the line after it.
            if (pos.line < LineCount() - 1) ++pos.line;
            cursor_ = pos;
            FinishMove(extend, false);
            return;
        }
    }
    const char* text = LineText(pos.line);
    const int len = LineLength(pos.line);
    auto byteAt = [&](int i) { return static_cast<unsigned char>(text[i]); };
    int i = pos.ch;
    if (i < len) {
        const int clen = DecodeChar(codePage_, text, len, i).length;
        if (clen > 1) {
            i += clen;
        } else if (IsWordByte(byteAt(i))) {
            while (i < len && IsWordByte(byteAt(i))) ++i;
        } else {
            while (i < len) {
                const unsigned char b = byteAt(i);
                if (IsWordByte(b) || IsBlankByte(b)) break;
                if (DecodeChar(codePage_, text, len, i).length > 1) break;  // stop before a multi-byte character
                ++i;
            }
        }
    }
    while (i < len && IsBlankByte(byteAt(i))) ++i;
    cursor_ = TextPosition(pos.line, std::min(i, len));
    FinishMove(extend, false);
}

void CCrystalTextView::MoveUp(bool extend) {
    TextPosition s, e;
    SelectionBounds(s, e);
    if (HasSelection() && !extend) cursor_ = s;
    if (cursor_.line > 0) {
        if (wantedColumn_ < 0) wantedColumn_ = ColumnOf(cursor_.line, cursor_.ch);
        --cursor_.line;
        cursor_.ch = SnapForwardOnLine(cursor_.line, CharAtColumn(cursor_.line, wantedColumn_));
    }
    FinishMove(extend, true);
}

void CCrystalTextView::MoveDown(bool extend) {
    TextPosition s, e;
    SelectionBounds(s, e);
    if (HasSelection() && !extend) cursor_ = e;
    if (cursor_.line < LineCount() - 1) {
        if (wantedColumn_ < 0) wantedColumn_ = ColumnOf(cursor_.line, cursor_.ch);
        ++cursor_.line;
        cursor_.ch = SnapForwardOnLine(cursor_.line, CharAtColumn(cursor_.line, wantedColumn_));
    }
    FinishMove(extend, true);
}

void CCrystalTextView::ScrollUpOneLine() {
    if (firstVisibleLine_ > 0) ScrollToLine(firstVisibleLine_ - 1);
}

void CCrystalTextView::ScrollDownOneLine() {
    if (firstVisibleLine_ < LineCount() - 1) ScrollToLine(firstVisibleLine_ + 1);
}

void CCrystalTextView::MovePageUp(bool extend) {
    const int step = std::max(1, VisibleRows() - 1);
    ScrollToLine(std::max(0, firstVisibleLine_ - step));
    cursor_.line = std::max(0, cursor_.line - step);
    cursor_.ch = SnapForwardOnLine(cursor_.line, cursor_.ch);
    FinishMove(extend, false);
}

void CCrystalTextView::MovePageDown(bool extend) {
    const int step = std::max(1, VisibleRows() - 1);
    const int last = LineCount() - 1;
    ScrollToLine(std::min(last, firstVisibleLine_ + step));
    cursor_.line = std::min(last, cursor_.line + step);
    cursor_.ch = SnapForwardOnLine(cursor_.line, cursor_.ch);
    FinishMove(extend, false);
}

void CCrystalTextView::MoveHome(bool extend) {
    const char* text = LineText(cursor_.line);
    const int len = LineLength(cursor_.line);
    int first = 0;
    while (first < len && IsBlankByte(static_cast<unsigned char>(text[first]))) ++first;
    cursor_.ch = (first == len || cursor_.ch == first) ? 0 : first;
    FinishMove(extend, false);
}

void CCrystalTextView::MoveEnd(bool extend) {
    cursor_.ch = LineLength(cursor_.line);
    FinishMove(extend, false);
}

void CCrystalTextView::MoveTextBegin(bool extend) {
    cursor_ = TextPosition(0, 0);
    FinishMove(extend, false);
}

void CCrystalTextView::MoveTextEnd(bool extend) {
    const int last = LineCount() - 1;
    cursor_ = TextPosition(last, LineLength(last));
    FinishMove(extend, false);
}

// --- Bookmarks ------------------------------------------------------------------------------------

void CCrystalTextView::ToggleBookmark() {
    if (!buffer_) return;
    const bool on = !(LineFlags(cursor_.line) & BookmarkBit);
    buffer_->MarkLine(cursor_.line, BookmarkBit, on, false);
}

bool CCrystalTextView::NextBookmark() {
    if (!buffer_) return false;
    const int n = LineCount();
    for (int i = 1; i <= n; ++i) {
        const int line = (cursor_.line + i) % n;
        if (LineFlags(line) & BookmarkBit) {
            SetCursorAndClear(TextPosition(line, 0));
            return true;
        }
    }
    QApplication::beep();
    return false;
}

bool CCrystalTextView::PrevBookmark() {
    if (!buffer_) return false;
    const int n = LineCount();
    for (int i = 1; i <= n; ++i) {
        const int line = ((cursor_.line - i) % n + n) % n;
        if (LineFlags(line) & BookmarkBit) {
            SetCursorAndClear(TextPosition(line, 0));
            return true;
        }
    }
    QApplication::beep();
    return false;
}

void CCrystalTextView::ClearAllBookmarks() {
    if (!buffer_) return;
    const int n = buffer_->LineCount();
    for (int i = 0; i < n; ++i) {
        if (buffer_->LineFlags(i) & BookmarkBit) buffer_->MarkLine(i, BookmarkBit, false, false);
    }
}

}  // namespace tarnwell
