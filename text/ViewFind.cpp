#include "text/ViewFind.h"

#include "text/FindDialog.h"
#include "text/EditCommandIds.h"

#include <QKeyEvent>

namespace tarnwell {

ViewFindTarget::ViewFindTarget(CCrystalEditView& view) : view_(view), lines_(view) {}

ViewFindTarget::~ViewFindTarget() { ForgetSavedSelection(); }

TextPosition ViewFindTarget::SelectionStart() const {
    TextPosition s, e;
    view_.SelectionBounds(s, e);
    return s;
}

TextPosition ViewFindTarget::SelectionEnd() const {
    TextPosition s, e;
    view_.SelectionBounds(s, e);
    return e;
}

void ViewFindTarget::HighlightMatch(TextPosition pos, int length) {
    const TextPosition end(pos.line, pos.ch + length);
    view_.PlaceCursor(end);
    view_.PlaceAnchor(end);
    view_.SelectRange(pos, end);
    view_.ScrollToShow(end);
}

void ViewFindTarget::SelectRange(TextPosition start, TextPosition end) {
    view_.PlaceCursor(end);
    view_.PlaceAnchor(start);
    view_.SelectRange(start, end);
    view_.ScrollToShow(end);
}

void ViewFindTarget::SetShowSelectionAlways(bool on) {
    showSelectionAlways_ = on;
    view_.SetShowSelectionAlwaysOverride(on);
}

void ViewFindTarget::SaveSelection(TextPosition start, TextPosition end) {
    ForgetSavedSelection();
    savedIn_ = view_.Buffer();
    if (!savedIn_) return;
    savedIn_->AttachView(this);
    savedStart_ = start;
    savedEnd_ = end;
}

bool ViewFindTarget::SavedSelection(TextPosition* start, TextPosition* end) const {
    if (!savedIn_ || savedIn_ != view_.Buffer()) return false;
    *start = savedStart_;
    *end = savedEnd_;
    return true;
}

void ViewFindTarget::ForgetSavedSelection() {
    if (savedIn_) savedIn_->DetachView(this);
    savedIn_ = nullptr;
}

void ViewFindTarget::OnBufferChanged(BufferObserver*, const PositionAdjuster* adjuster, std::uint32_t hints, int) {
    if (hints & HintReset) {
        savedStart_ = savedEnd_ = TextPosition(0, 0);
        return;
    }
    if (!adjuster) return;
    adjuster->Adjust(savedStart_);
    adjuster->Adjust(savedEnd_);
}

CFindCommands::CFindCommands(CCrystalEditView& view, Profile& profile)
    : QObject(&view), view_(view), profile_(profile), target_(view) {
    setObjectName(QStringLiteral("tarnwellFindCommands"));
    view.installEventFilter(this);
    // Ctrl+H and Ctrl+R of the editor key table reach Replace through here.
    connect(&view, &CCrystalTextView::UnhandledCommand, this, [this](int id) { ExecuteCommand(id); });
}

bool CFindCommands::UpdateCommand(int id, CommandState& state) {
    bool enabled = false;
    if (!UpdateFindCommand(id, view_.Buffer() ? &target_ : nullptr, enabled)) return false;
    state.enabled = enabled;
    return true;
}

bool CFindCommands::ExecuteCommand(int id) {
    if (!view_.Buffer()) {
        bool enabled = false;
        return UpdateFindCommand(id, nullptr, enabled);  // owned, but nothing to search
    }
    return ExecuteFindCommand(id, target_, profile_, &view_);
}

bool CFindCommands::eventFilter(QObject* watched, QEvent* event) {
    // F3 belongs to the editor key table: Find Next.
    if (watched == &view_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F3 && !(key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier))) {
            ExecuteCommand(cmd::EditFindNext);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

CFindCommands* AttachFindCommands(CCrystalEditView& view, Profile& profile) {
    if (auto* existing = FindCommandsOf(view)) return existing;
    return new CFindCommands(view, profile);
}

CFindCommands* FindCommandsOf(const CCrystalTextView& view) {
    return view.findChild<CFindCommands*>(QStringLiteral("tarnwellFindCommands"), Qt::FindDirectChildrenOnly);
}

}  // namespace tarnwell
