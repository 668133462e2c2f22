// CCrystalEditView: drag and drop of text. As a target the view shows a grey drop caret under the
// mouse, scrolls near its edges, and inserts the dropped text selected; a drop into the dragged
// selection itself is refused. As a source it offers copy and move, and removes the dragged text
// after a move (the drop and the removal form one undo step).
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTimerEvent>

#include "text/CCrystalEditView.h"

namespace tarnwell {

namespace {
constexpr int kEdge = 5;          // pixels from an edge where dragging scrolls
constexpr int kDragScrollMs = 100;
}  // namespace

Qt::DropActions CCrystalEditView::DragEffects() const { return Qt::CopyAction | Qt::MoveAction; }

void CCrystalEditView::DragFinished(Qt::DropAction effect) {
    if (effect == Qt::MoveAction && IsEditable() && dragSourceStart_ != dragSourceEnd_) {
        buffer_->RemoveRange(this, dragSourceStart_, dragSourceEnd_);
    }
}

void CCrystalEditView::ShowDropIndicator(QPoint point) {
    if (!dropIndicatorShown_) {
        savedCursorForDrop_ = cursor_;
        dropIndicatorShown_ = true;
        caretHidden_ = true;
    }
    dropPosition_ = PointToPosition(point + QPoint(CellWidth() / 2, 0));
    viewport()->update();
}

void CCrystalEditView::HideDropIndicator() {
    dragScrollTimer_.stop();
    if (!dropIndicatorShown_) return;
    dropIndicatorShown_ = false;
    caretHidden_ = false;
    cursor_ = savedCursorForDrop_;
    viewport()->update();
    ShowCaretNow();
}

void CCrystalEditView::DragEdgeScroll() {
    const QRect client = viewport()->rect();
    const QPoint p = dragPoint_;
    if (p.y() < kEdge) {
        ScrollUpOneLine();
    } else if (p.y() >= client.height() - kEdge) {
        ScrollDownOneLine();
    }
    if (p.x() < MarginWidth() + kEdge) {
        if (scrollColumn_ > 0) ScrollToColumn(scrollColumn_ - 1);
    } else if (p.x() >= client.width() - kEdge) {
        ScrollToColumn(scrollColumn_ + 1);
    }
}

static Qt::DropAction ChooseEffect(const QDropEvent* event) {
    if (!event->mimeData() || !event->mimeData()->hasText()) return Qt::IgnoreAction;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const Qt::DropAction wanted = ctrl ? Qt::CopyAction : Qt::MoveAction;
    if (event->possibleActions() & wanted) return wanted;
    if (event->possibleActions() & Qt::CopyAction) return Qt::CopyAction;
    return Qt::IgnoreAction;
}

void CCrystalEditView::dragEnterEvent(QDragEnterEvent* event) {
    const Qt::DropAction effect = IsEditable() ? ChooseEffect(event) : Qt::IgnoreAction;
    if (effect == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    dragPoint_ = event->position().toPoint();
    ShowDropIndicator(dragPoint_);
    event->setDropAction(effect);
    event->accept();
}

void CCrystalEditView::dragMoveEvent(QDragMoveEvent* event) {
    const Qt::DropAction effect = IsEditable() ? ChooseEffect(event) : Qt::IgnoreAction;
    if (effect == Qt::IgnoreAction) {
        HideDropIndicator();
        event->ignore();
        return;
    }
    dragPoint_ = event->position().toPoint();
    const QRect client = viewport()->rect();
    const bool nearEdge = dragPoint_.y() < kEdge || dragPoint_.y() >= client.height() - kEdge ||
                          dragPoint_.x() < MarginWidth() + kEdge || dragPoint_.x() >= client.width() - kEdge;
    if (nearEdge) {
        DragEdgeScroll();
        if (!dragScrollTimer_.isActive()) dragScrollTimer_.start(kDragScrollMs, this);
    } else {
        dragScrollTimer_.stop();
    }
    ShowDropIndicator(dragPoint_);
    event->setDropAction(effect);
    event->accept();
}

void CCrystalEditView::dragLeaveEvent(QDragLeaveEvent* event) {
    HideDropIndicator();
    event->accept();
}

void CCrystalEditView::dropEvent(QDropEvent* event) {
    const Qt::DropAction effect = IsEditable() ? ChooseEffect(event) : Qt::IgnoreAction;
    HideDropIndicator();
    if (effect == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    const TextPosition pos = PointToPosition(event->position().toPoint() + QPoint(CellWidth() / 2, 0));
    if (textDragActive_ && IsInsideSelection(pos)) {
        // Dropped into the dragged text itself: refused, nothing changes but the cursor.
        SetCursorAndClear(pos);
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    std::u32string refused;
    const std::string text = TextFromUnicode(event->mimeData()->text(), &refused);
    if (!refused.empty()) RefuseChars(refused);
    TextPosition end = pos;
    if (text.empty() || !buffer_->InsertTextAt(this, pos, text, &end)) {
        event->ignore();
        return;
    }
    anchor_ = pos;
    SelectRange(pos, end);
    PlaceCursor(end);
    ScrollToShow(end);
    setFocus(Qt::OtherFocusReason);
    event->setDropAction(effect);
    event->accept();
}

void CCrystalEditView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == dragScrollTimer_.timerId()) {
        if (dropIndicatorShown_) {
            DragEdgeScroll();
            ShowDropIndicator(dragPoint_);
        } else {
            dragScrollTimer_.stop();
        }
        return;
    }
    CCrystalTextView::timerEvent(event);
}

}  // namespace tarnwell
