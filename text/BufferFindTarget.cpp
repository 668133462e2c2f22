#include "text/BufferFindTarget.h"

namespace tarnwell {

BufferFindTarget::BufferFindTarget(CCrystalTextBuffer& buffer, std::optional<CodePage> cp)
    : buffer_(buffer), lines_(buffer), cp_(cp) {
    buffer_.AttachView(this);
}

BufferFindTarget::~BufferFindTarget() { buffer_.DetachView(this); }

void BufferFindTarget::HighlightMatch(TextPosition pos, int length) {
    cursor_ = anchor_ = TextPosition(pos.line, pos.ch + length);
    selFrom_ = pos;
    selTo_ = cursor_;
}

void BufferFindTarget::SelectRange(TextPosition start, TextPosition end) {
    selFrom_ = start;
    selTo_ = cursor_ = end;
}

bool BufferFindTarget::SwapSelectionText(std::string_view text) {
    if (!HasSelection() || buffer_.IsReadOnly()) return false;
    const TextPosition start = SelectionStart(), end = SelectionEnd();
    if (!buffer_.RemoveRange(this, start, end)) return false;
    cursor_ = anchor_ = selFrom_ = selTo_ = start;
    TextPosition after = start;
    if (!text.empty() && !buffer_.InsertTextAt(this, start, text, &after)) return false;
    anchor_ = after;
    selFrom_ = start;
    selTo_ = cursor_ = after;
    return true;
}

void BufferFindTarget::SaveSelection(TextPosition start, TextPosition end) {
    savedStart_ = start;
    savedEnd_ = end;
    hasSaved_ = true;
}

bool BufferFindTarget::SavedSelection(TextPosition* start, TextPosition* end) const {
    if (!hasSaved_) return false;
    *start = savedStart_;
    *end = savedEnd_;
    return true;
}

void BufferFindTarget::OnBufferChanged(BufferObserver*, const PositionAdjuster* adjuster, std::uint32_t hints, int) {
    if (hints & HintReset) {
        SetCursor({0, 0});
        hasSaved_ = false;
        return;
    }
    if (!adjuster) return;
    for (TextPosition* p : {&cursor_, &anchor_, &selFrom_, &selTo_, &savedStart_, &savedEnd_}) adjuster->Adjust(*p);
}

}  // namespace tarnwell
