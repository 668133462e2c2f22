// The edit view: turns typed characters, editing keys, the clipboard and drag and drop into buffer
// changes, each command inside one undo group, and places the cursor and selection afterwards.
//   CCrystalEditView.cpp      typing, Enter, Backspace/Delete, indent, clipboard, undo, commands
//   CCrystalEditViewDrag.cpp  drag and drop of text (target side, and the source's move)
#pragma once

#include <QBasicTimer>

#include <optional>
#include <string>
#include <string_view>

#include "text/CCrystalTextView.h"

namespace tarnwell {

class CCrystalEditView : public CCrystalTextView {
    Q_OBJECT

public:
    explicit CCrystalEditView(QWidget* parent = nullptr);
    ~CCrystalEditView() override;

    // A view is editable when it has a buffer and the buffer is not read-only.
    virtual bool IsEditable() const;
    // Asked before a printable character is inserted; false cancels it.
    virtual bool BeforeCharTyped(char32_t ch);
    // Told after a typed character has been inserted.
    virtual void AfterCharTyped(char32_t ch);

    bool GetOverwriteMode() const { return overwrite_; }
    void SetOverwriteMode(bool on);
    QString OverwriteStatusText() const;  // "OVR" while overwrite mode is on, else empty

    // Removes the selection (cursor, anchor and an empty selection at its start); false when empty.
    bool DeleteSelection();
    // Replaces a non-empty selection by `text` and selects the inserted text (one undo group when the
    // caller opens one). False when the selection is empty.
    bool SwapSelectionText(std::string_view text);
    // Inserts at the cursor, replacing the selection; a replaced selection leaves the inserted text
    // selected. nullptr: false; empty text: true.
    bool InsertAtCursor(const char* text);
    bool InsertAtCursor(std::string_view text);

    // Typing: every character of `text` goes through the typing rule (CR stands for Enter).
    void TypeText(const QString& text);
    void TypeChar(char32_t ch);

    // The edit commands (also reached through ExecuteCommand).
    void Enter();
    void Backspace();
    void DeleteChar();
    void Indent();
    void Unindent();
    void Cut();
    void Copy();
    void Paste();
    void Undo();
    void Redo();
    void UndoAll();
    void RedoAll();

    // The selection the Replace dialog keeps while it is open; it follows every change.
    void SetReplaceSelection(std::optional<std::pair<TextPosition, TextPosition>> range) { replaceSelection_ = range; }
    std::optional<std::pair<TextPosition, TextPosition>> ReplaceSelection() const { return replaceSelection_; }

    bool UpdateCommand(int id, CommandState& state) override;
    bool ExecuteCommand(int id) override;

    void OnBufferChanged(BufferObserver* source, const PositionAdjuster* adjuster, std::uint32_t hints,
                         int line) override;

protected:
    void OnTextTyped(const QString& text) override;
    Qt::DropActions DragEffects() const override;
    void DragFinished(Qt::DropAction effect) override;

    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

    // After an undo or redo step: cursor, anchor and an empty selection at `pos`, made visible.
    void PlaceAfterStep(TextPosition pos);
    // The leading run of tabs and spaces of a line.
    std::string LeadingBlanks(int line) const;
    std::string IndentUnit() const;
    // The lines an indent of a multi-line selection covers, selected whole.
    void SelectWholeLines(int& first, int& last);

private:
    void ShowDropIndicator(QPoint point);
    void HideDropIndicator();
    void DragEdgeScroll();

    bool overwrite_ = false;
    char32_t lastTypedChar_ = 0;
    TextPosition lastTypedEnd_{-1, -1};
    std::optional<std::pair<TextPosition, TextPosition>> replaceSelection_;

    TextPosition savedCursorForDrop_;
    QPoint dragPoint_;
    QBasicTimer dragScrollTimer_;
};

}  // namespace tarnwell
