// A FindTarget over a text buffer with its own cursor and selection: find and replace without a
// window (batch use, and the dialogs' tests). Attached to the buffer, so its positions follow edits.
#pragma once

#include "text/CCrystalTextBuffer.h"
#include "text/FindSession.h"

#include <algorithm>
#include <optional>

namespace tarnwell {

class BufferFindTarget final : public FindTarget, public BufferObserver {
public:
    // Searches in the buffer's code page, or in `cp` when one is given.
    explicit BufferFindTarget(CCrystalTextBuffer& buffer, std::optional<CodePage> cp = std::nullopt);
    ~BufferFindTarget() override;
    BufferFindTarget(const BufferFindTarget&) = delete;
    BufferFindTarget& operator=(const BufferFindTarget&) = delete;

    // FindTarget
    const SearchLines& Lines() const override { return lines_; }
    CodePage TextCodePage() const override { return cp_ ? *cp_ : buffer_.GetCodePage(); }
    TextPosition Cursor() const override { return cursor_; }
    TextPosition SelectionStart() const override { return std::min(selFrom_, selTo_); }
    TextPosition SelectionEnd() const override { return std::max(selFrom_, selTo_); }
    void HighlightMatch(TextPosition pos, int length) override;
    void SelectRange(TextPosition start, TextPosition end) override;
    bool IsEditable() const override { return !buffer_.IsReadOnly(); }
    bool SwapSelectionText(std::string_view text) override;
    bool ShowSelectionAlways() const override { return showSelectionAlways_; }
    void SetShowSelectionAlways(bool on) override { showSelectionAlways_ = on; }
    SearchMemory& LastSearch() override { return memory_; }
    void SaveSelection(TextPosition start, TextPosition end) override;
    bool SavedSelection(TextPosition* start, TextPosition* end) const override;
    void ForgetSavedSelection() override { hasSaved_ = false; }

    // BufferObserver
    void OnBufferChanged(BufferObserver* source, const PositionAdjuster* adjuster, std::uint32_t hints,
                         int line) override;

    void SetCursor(TextPosition p) { cursor_ = anchor_ = selFrom_ = selTo_ = p; }
    TextPosition Anchor() const { return anchor_; }

private:
    CCrystalTextBuffer& buffer_;
    LinesOf<CCrystalTextBuffer> lines_;
    std::optional<CodePage> cp_;
    TextPosition cursor_, anchor_, selFrom_, selTo_;
    TextPosition savedStart_, savedEnd_;
    bool hasSaved_ = false;
    bool showSelectionAlways_ = false;
    SearchMemory memory_;
};

}  // namespace tarnwell
