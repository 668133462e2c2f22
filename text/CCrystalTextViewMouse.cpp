// CCrystalTextView: input. The editor key table (claimed before application shortcuts), typed and
// input-method text, mouse selection in character, word and line mode with auto-scroll, the wheel,
// pointer shapes, focus, and the source side of a text drag.
#include <QApplication>
#include <QBitmap>
#include <QDrag>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "text/CCrystalTextView.h"
#include "text/EditCommandIds.h"

namespace tarnwell {

namespace {

constexpr int kAutoScrollMs = 100;

// The margin's own pointer: an arrow that points to the upper right, towards the line it selects.
const QCursor& MarginCursor() {
    static const QCursor cursor = [] {
        QPixmap pm(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF arrow[] = {{15, 0}, {15, 9}, {12, 6}, {4, 14}, {1, 11}, {9, 3}, {6, 0}};
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::black);
        p.drawPolygon(arrow, 7);
        p.end();
        return QCursor(pm, 15, 0);
    }();
    return cursor;
}

}  // namespace

// --- Keys -----------------------------------------------------------------------------------------

bool CCrystalTextView::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride) {
        // The editor key table wins over application shortcuts.
        auto* key = static_cast<QKeyEvent*>(e);
        if (CommandForKey(key->key(), key->modifiers()) != 0) {
            e->accept();
            return true;
        }
    } else if (e->type() == QEvent::KeyPress) {
        // Tab and Shift+Tab are editor commands, not focus moves.
        auto* key = static_cast<QKeyEvent*>(e);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

// Whether a key with text under these modifiers types its text. Alt+letter belongs to menus and
// commands, never to the text. On Windows, AltGr arrives as Ctrl+Alt and types its character; elsewhere
// AltGr is no Alt, so Ctrl+Alt is a command too.
bool CCrystalTextView::IsTypedText(Qt::KeyboardModifiers m) {
#ifdef Q_OS_WIN
    if ((m & Qt::ControlModifier) && (m & Qt::AltModifier)) return true;
#endif
    return !(m & (Qt::ControlModifier | Qt::AltModifier));
}

void CCrystalTextView::keyPressEvent(QKeyEvent* e) {
    const int id = CommandForKey(e->key(), e->modifiers());
    if (id != 0) {
        if (!ExecuteCommand(id)) emit UnhandledCommand(id);
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        OnTextTyped(QStringLiteral("\r"));
        e->accept();
        return;
    }
    const QString text = e->text();
    if (!text.isEmpty() && IsTypedText(e->modifiers())) {
        OnTextTyped(text);
        e->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(e);
}

void CCrystalTextView::OnTextTyped(const QString&) {}

bool CCrystalTextView::viewportEvent(QEvent* e) {
    switch (e->type()) {
        case QEvent::InputMethod: {
            // Committed input-method text (accented letters, CJK) is typed character by character.
            auto* im = static_cast<QInputMethodEvent*>(e);
            if (!im->commitString().isEmpty()) OnTextTyped(im->commitString());
            e->accept();
            return true;
        }
        default:
            return QAbstractScrollArea::viewportEvent(e);
    }
}

// --- Focus ----------------------------------------------------------------------------------------

void CCrystalTextView::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    hasFocus_ = true;
    if (HasSelection()) RepaintLines(std::min(selFrom_.line, selTo_.line), std::max(selFrom_.line, selTo_.line));
    ShowCaretNow();
}

void CCrystalTextView::focusOutEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusOutEvent(e);
    hasFocus_ = false;
    ShowCaretNow();
    if (HasSelection()) RepaintLines(std::min(selFrom_.line, selTo_.line), std::max(selFrom_.line, selTo_.line));
    EndMouseSelection();
}

void CCrystalTextView::EndMouseSelection() {
    autoScrollTimer_.stop();
    dragSelecting_ = false;
    wordMode_ = lineMode_ = false;
}

// --- Mouse ----------------------------------------------------------------------------------------

namespace {
// Whole lines between the anchor's line and `line` (either direction), as (from, to).
void LineRange(const CCrystalTextView& v, int anchorLine, int line, TextPosition& from, TextPosition& to) {
    const int last = v.LineCount() - 1;
    auto after = [&](int l) { return l < last ? TextPosition(l + 1, 0) : TextPosition(last, v.LineLength(last)); };
    if (line >= anchorLine) {
        from = TextPosition(anchorLine, 0);
        to = after(line);
    } else {
        from = after(anchorLine);
        to = TextPosition(line, 0);
    }
}
}  // namespace

void CCrystalTextView::mousePressEvent(QMouseEvent* e) {
    const QPoint point = e->position().toPoint();
    lastMousePoint_ = point;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);

    if (e->button() == Qt::RightButton) {
        const TextPosition pos = PointToPosition(point + QPoint(CellWidth() / 2, 0));
        if (!IsInsideSelection(pos)) SetCursorAndClear(pos);
        emit ContextMenuRequested(e->globalPosition().toPoint());
        e->accept();
        return;
    }
    if (e->button() != Qt::LeftButton) return;

    const TextPosition pos = PointToPosition(point + QPoint(CellWidth() / 2, 0));
    if (point.x() < MarginWidth()) {
        if (ctrl) {
            // Select all is complete in itself: no line-mode drag follows, which would shrink it to
            // the lines between the anchor and the mouse on release.
            SelectWholeText();
            e->accept();
            return;
        } else {
            const int line = pos.line;
            cursor_ = TextPosition(line, 0);
            wantedColumn_ = 0;
            if (!shift) anchor_ = TextPosition(line, 0);
            const int last = LineCount() - 1;
            const TextPosition from =
                anchor_.line < last ? TextPosition(anchor_.line + 1, 0) : TextPosition(last, LineLength(last));
            SelectRange(from, cursor_);
        }
        lineMode_ = true;
        wordMode_ = false;
    } else if (IsInsideSelection(pos)) {
        pendingTextDrag_ = true;
        pendingDragClick_ = pos;
        pressPoint_ = point;
        e->accept();
        return;
    } else {
        cursor_ = pos;
        if (!shift) anchor_ = pos;
        wordMode_ = ctrl;
        lineMode_ = false;
        if (wordMode_) {
            TextPosition ws, we, dummy;
            WordAround(std::min(anchor_, cursor_), ws, dummy);
            WordAround(std::max(anchor_, cursor_), dummy, we);
            cursor_ = we;
            SelectRange(ws, we);
        } else {
            SelectRange(anchor_, cursor_);
        }
        wantedColumn_ = ColumnOf(cursor_.line, cursor_.ch);
    }
    ScrollToShow(cursor_);
    CursorChanged();
    autoScrollTimer_.start(kAutoScrollMs, this);
    dragSelecting_ = true;
    e->accept();
}

// Extends the mouse selection to `point` (a move, the final position of a release, or auto-scroll).
void CCrystalTextView::TrackSelectionTo(QPoint point, bool final) {
    const TextPosition pos = PointToPosition(point + QPoint(CellWidth() / 2, 0));
    if (lineMode_) {
        if (point.x() < MarginWidth() || final) {
            TextPosition from, to;
            LineRange(*this, anchor_.line, pos.line, from, to);
            SelectRange(from, to);
            if (final) {
                cursor_ = pos.line < anchor_.line ? TextPosition(pos.line, 0) : to;
            } else {
                cursor_ = TextPosition(pos.line, 0);
            }
            wantedColumn_ = ColumnOf(cursor_.line, cursor_.ch);
            CursorChanged();
            return;
        }
        viewport()->setCursor(Qt::ArrowCursor);
        lineMode_ = wordMode_ = false;
    }
    if (wordMode_) {
        cursor_ = pos;
        TextPosition ws, we, dummy;
        WordAround(std::min(anchor_, cursor_), ws, dummy);
        WordAround(std::max(anchor_, cursor_), dummy, we);
        if (cursor_ < anchor_) {
            cursor_ = ws;
            SelectRange(we, ws);
        } else {
            cursor_ = we;
            SelectRange(ws, we);
        }
    } else {
        cursor_ = pos;
        SelectRange(anchor_, cursor_);
    }
    wantedColumn_ = ColumnOf(cursor_.line, cursor_.ch);
    CursorChanged();
}

void CCrystalTextView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint point = e->position().toPoint();
    lastMousePoint_ = point;
    if (dragSelecting_ && (e->buttons() & Qt::LeftButton)) {
        TrackSelectionTo(point, false);
        e->accept();
        return;
    }
    if (pendingTextDrag_ && (e->buttons() & Qt::LeftButton)) {
        if ((point - pressPoint_).manhattanLength() >= QApplication::startDragDistance()) {
            pendingTextDrag_ = false;
            StartTextDrag();
        }
        e->accept();
        return;
    }
    // Pointer shape: the margin's own, the arrow over the selection (a drag can start), else the I-beam.
    if (point.x() < MarginWidth()) {
        viewport()->setCursor(MarginCursor());
    } else if (IsInsideSelection(PointToPosition(point + QPoint(CellWidth() / 2, 0)))) {
        viewport()->setCursor(Qt::ArrowCursor);
    } else {
        viewport()->setCursor(Qt::IBeamCursor);
    }
}

void CCrystalTextView::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint point = e->position().toPoint();
    if (e->button() != Qt::LeftButton) return;
    if (dragSelecting_) {
        TrackSelectionTo(point, true);
        ScrollToShow(cursor_);
        EndMouseSelection();
    } else if (pendingTextDrag_) {
        // No drag happened: the click collapses the selection where it was made.
        pendingTextDrag_ = false;
        const TextPosition pos = PointToPosition(point + QPoint(CellWidth() / 2, 0));
        SelectRange(pos, pos);
        PlaceCursor(pos);
        ScrollToShow(pos);
    }
    e->accept();
}

void CCrystalTextView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || dragSelecting_) return;
    const QPoint point = e->position().toPoint();
    if (point.x() < MarginWidth()) return;
    pendingTextDrag_ = false;
    const TextPosition pos = PointToPosition(point + QPoint(CellWidth() / 2, 0));
    anchor_ = cursor_ = pos;
    TextPosition ws, we;
    WordAround(pos, ws, we);
    SelectRange(ws, we);
    cursor_ = we;
    wantedColumn_ = ColumnOf(cursor_.line, cursor_.ch);
    wordMode_ = true;
    lineMode_ = false;
    ScrollToShow(cursor_);
    CursorChanged();
    autoScrollTimer_.start(kAutoScrollMs, this);
    dragSelecting_ = true;
    e->accept();
}

void CCrystalTextView::wheelEvent(QWheelEvent* e) {
    if (e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(e);
        return;
    }
    wheelRemainder_ += e->angleDelta().y();
    int steps = wheelRemainder_ / 120;
    wheelRemainder_ -= steps * 120;
    if (steps == 0 && e->angleDelta().y() != 0 && std::abs(e->angleDelta().y()) >= 120) steps = e->angleDelta().y() > 0 ? 1 : -1;
    if (steps != 0) ScrollToLine(firstVisibleLine_ - steps);
    e->accept();
}

void CCrystalTextView::timerEvent(QTimerEvent* e) {
    if (e->timerId() == blinkTimer_.timerId()) {
        caretBlinkOn_ = !caretBlinkOn_;
        if (!lastCaretRect_.isNull()) viewport()->update(lastCaretRect_);
        return;
    }
    if (e->timerId() == autoScrollTimer_.timerId()) {
        if (!dragSelecting_) {
            autoScrollTimer_.stop();
            return;
        }
        AutoScrollStep();
        return;
    }
    QAbstractScrollArea::timerEvent(e);
}

void CCrystalTextView::AutoScrollStep() {
    const QPoint pt = lastMousePoint_;
    const QRect client = viewport()->rect();
    const int rh = RowHeight();
    bool scrolled = false;
    if (pt.y() < 0) {
        const int top = std::max(0, firstVisibleLine_ - (pt.y() < -rh ? 3 : 1));
        if (top != firstVisibleLine_) {
            ScrollToLine(top);
            scrolled = true;
        }
    } else if (pt.y() >= client.height()) {
        const int top = std::min(LineCount() - 1, firstVisibleLine_ + (pt.y() >= client.height() + rh ? 3 : 1));
        if (top != firstVisibleLine_) {
            ScrollToLine(top);
            scrolled = true;
        }
    }
    if (pt.x() < 0) {
        if (scrollColumn_ > 0) {
            ScrollToColumn(scrollColumn_ - 1);
            scrolled = true;
        }
    } else if (pt.x() >= client.width()) {
        const int before = scrollColumn_;
        ScrollToColumn(scrollColumn_ + 1);
        scrolled = scrolled || before != scrollColumn_;
    }
    if (scrolled) {
        const TextPosition pos = PointToPosition(pt + QPoint(CellWidth() / 2, 0));
        cursor_ = pos;
        SelectRange(anchor_, cursor_);
        wantedColumn_ = ColumnOf(cursor_.line, cursor_.ch);
        CursorChanged();
    }
}

// --- Text drag, source side -----------------------------------------------------------------------

Qt::DropActions CCrystalTextView::DragEffects() const { return Qt::CopyAction; }

void CCrystalTextView::DragFinished(Qt::DropAction) {}

QMimeData* CCrystalTextView::BuildDragData() {
    TextPosition s, e;
    SelectionBounds(s, e);
    auto* data = new QMimeData;
    data->setText(TextToUnicode(RangeText(s, e)));
    return data;
}

Qt::DropAction CCrystalTextView::RunDragLoop(QMimeData* data, Qt::DropActions actions) {
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    return drag->exec(actions, (actions & Qt::MoveAction) ? Qt::MoveAction : Qt::CopyAction);
}

void CCrystalTextView::StartTextDrag() {
    if (!HasSelection()) return;
    QMimeData* data = BuildDragData();
    SelectionBounds(dragSourceStart_, dragSourceEnd_);
    // The drop and the removal of a move form one undo step.
    if (buffer_) buffer_->OpenUndoGroup(false);
    const bool ownsGroup = buffer_ != nullptr;
    textDragActive_ = true;
    const Qt::DropAction effect = RunDragLoop(data, DragEffects());
    DragFinished(effect);
    textDragActive_ = false;
    if (ownsGroup && buffer_) buffer_->CloseUndoGroup();
}

}  // namespace tarnwell
