// Find and replace on an editor view: the FindTarget over a CCrystalEditView, and the command
// target that serves Find (57636), Find Next (57640, F3, and the menu's 168) and Replace (57641).
// AttachFindCommands gives a view its find commands; the frame offers commands to FindCommandsOf(view)
// after the view itself.
#pragma once

#include "text/CCrystalEditView.h"
#include "text/CommandTarget.h"
#include "text/FindSession.h"

#include <QObject>

namespace tarnwell {

class Profile;

class ViewFindTarget final : public FindTarget, public BufferObserver {
public:
    explicit ViewFindTarget(CCrystalEditView& view);
    ~ViewFindTarget() override;

    const SearchLines& Lines() const override { return lines_; }
    CodePage TextCodePage() const override { return view_.GetCodePage(); }
    TextPosition Cursor() const override { return view_.CursorPosition(); }
    TextPosition SelectionStart() const override;
    TextPosition SelectionEnd() const override;
    void HighlightMatch(TextPosition pos, int length) override;
    void SelectRange(TextPosition start, TextPosition end) override;
    bool IsEditable() const override { return view_.IsEditable(); }
    bool SwapSelectionText(std::string_view text) override { return view_.SwapSelectionText(text); }
    bool ShowSelectionAlways() const override { return showSelectionAlways_; }
    void SetShowSelectionAlways(bool on) override;
    SearchMemory& LastSearch() override { return memory_; }
    void SaveSelection(TextPosition start, TextPosition end) override;
    bool SavedSelection(TextPosition* start, TextPosition* end) const override;
    void ForgetSavedSelection() override;

    // Moves the saved selection with the edits of the view's buffer.
    void OnBufferChanged(BufferObserver* source, const PositionAdjuster* adjuster, std::uint32_t hints,
                         int line) override;

private:
    CCrystalEditView& view_;
    LinesOf<CCrystalTextView> lines_;
    SearchMemory memory_;
    bool showSelectionAlways_ = false;
    CCrystalTextBuffer* savedIn_ = nullptr;  // the buffer the saved selection belongs to
    TextPosition savedStart_, savedEnd_;
};

class CFindCommands final : public QObject, public CCmdTarget {
    Q_OBJECT
public:
    CFindCommands(CCrystalEditView& view, Profile& profile);

    ViewFindTarget& Target() { return target_; }
    bool UpdateCommand(int id, CommandState& state) override;
    bool ExecuteCommand(int id) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CCrystalEditView& view_;
    Profile& profile_;
    ViewFindTarget target_;
};

// Gives the view its find commands (once; later calls answer the same object, owned by the view).
CFindCommands* AttachFindCommands(CCrystalEditView& view, Profile& profile);
CFindCommands* FindCommandsOf(const CCrystalTextView& view);

}  // namespace tarnwell
