// CCrystalEditView: typing with the undo-merge rule, Enter with auto indent, overwrite mode,
// Backspace and Delete, block and single-line indent, the clipboard, undo and redo, and the enabling
// rules of the edit commands.
#include "text/CCrystalEditView.h"

#include <QApplication>

#include <algorithm>

#include "text/EditCommandIds.h"

namespace tarnwell {

CCrystalEditView::CCrystalEditView(QWidget* parent) : CCrystalTextView(parent) {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

CCrystalEditView::~CCrystalEditView() = default;

bool CCrystalEditView::IsEditable() const { return buffer_ && !buffer_->IsReadOnly(); }
bool CCrystalEditView::BeforeCharTyped(char32_t) { return true; }
void CCrystalEditView::AfterCharTyped(char32_t) {}

void CCrystalEditView::SetOverwriteMode(bool on) {
    if (overwrite_ == on) return;
    overwrite_ = on;
    emit StatusChanged();
}

QString CCrystalEditView::OverwriteStatusText() const { return overwrite_ ? QStringLiteral("OVR") : QString(); }

void CCrystalEditView::OnBufferChanged(BufferObserver* source, const PositionAdjuster* adjuster, std::uint32_t hints,
                                       int line) {
    CCrystalTextView::OnBufferChanged(source, adjuster, hints, line);
    if (adjuster && replaceSelection_) {
        adjuster->Adjust(replaceSelection_->first);
        adjuster->Adjust(replaceSelection_->second);
    }
    if (hints & HintReset) replaceSelection_.reset();
}

// --- Selection-level operations -------------------------------------------------------------------

bool CCrystalEditView::DeleteSelection() {
    if (!HasSelection()) return false;
    TextPosition s, e;
    SelectionBounds(s, e);
    SetCursorAndClear(s);
    if (IsEditable()) buffer_->RemoveRange(this, s, e);
    return true;
}

bool CCrystalEditView::SwapSelectionText(std::string_view text) {
    if (!HasSelection() || !IsEditable()) return false;
    DeleteSelection();
    TextPosition start = cursor_;
    TextPosition end = start;
    if (!text.empty() && !buffer_->InsertTextAt(this, start, text, &end)) end = start;
    anchor_ = end;
    SelectRange(start, end);
    PlaceCursor(end);
    ScrollToShow(end);
    return true;
}

bool CCrystalEditView::InsertAtCursor(const char* text) {
    if (!text) return false;
    return InsertAtCursor(std::string_view(text));
}

bool CCrystalEditView::InsertAtCursor(std::string_view text) {
    if (text.empty()) return true;
    if (!IsEditable()) return false;
    const bool hadSelection = DeleteSelection();
    const TextPosition start = cursor_;
    TextPosition end = start;
    if (!buffer_->InsertTextAt(this, start, text, &end)) return false;
    anchor_ = end;
    SelectRange(hadSelection ? start : end, end);
    PlaceCursor(end);
    ScrollToShow(end);
    return true;
}

// --- Typing ---------------------------------------------------------------------------------------

void CCrystalEditView::OnTextTyped(const QString& text) { TypeText(text); }

void CCrystalEditView::TypeText(const QString& text) {
    const QList<uint> codes = text.toUcs4();
    for (uint code : codes) TypeChar(static_cast<char32_t>(code));
}

void CCrystalEditView::TypeChar(char32_t ch) {
    if (QApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton)) return;
    if (ch == '\r' || ch == '\n') {
        Enter();
        return;
    }
    // Control characters (and DEL) are not typed.
    if (ch < 32 || ch == 0x7F) return;
    if (!IsEditable() || !BeforeCharTyped(ch)) return;
    std::string bytes;
    if (!AppendEncoded(codePage_, ch, bytes)) {
        RefuseChars(std::u32string(1, ch));  // no such character in this document's code page
        return;
    }
    auto isAlnum = [](char32_t c) { return c < 0x80 && IsAlnumByte(static_cast<unsigned char>(c)); };
    const bool merge = lastTypedEnd_.line >= 0 && isAlnum(ch) == isAlnum(lastTypedChar_) &&
                       cursor_ == lastTypedEnd_ && !buffer_->EditedSinceTyping();
    TextPosition end;
    {
        UndoGroup group(*buffer_, merge);
        if (HasSelection()) {
            DeleteSelection();
        } else if (overwrite_ && cursor_.ch < LineLength(cursor_.line)) {
            const int len = DecodeChar(codePage_, LineText(cursor_.line), LineLength(cursor_.line), cursor_.ch).length;
            buffer_->RemoveRange(this, cursor_, TextPosition(cursor_.line, cursor_.ch + len));
        }
        end = cursor_;
        if (buffer_->InsertTextAt(this, cursor_, bytes, &end)) SetCursorAndClear(end);
        lastTypedEnd_ = cursor_;
        lastTypedChar_ = ch;
        buffer_->SetEditedSinceTyping(false);
    }
    AfterCharTyped(ch);
}

std::string CCrystalEditView::LeadingBlanks(int line) const {
    const char* text = LineText(line);
    const int len = LineLength(line);
    int n = 0;
    while (n < len && (text[n] == ' ' || text[n] == '\t')) ++n;
    return std::string(text, static_cast<size_t>(n));
}

void CCrystalEditView::Enter() {
    if (QApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton)) return;
    if (overwrite_ && cursor_.line < LineCount() - 1) {
        // Overwrite mode: Enter only moves to the next line.
        const int next = cursor_.line + 1;
        const int ch = GetViewSettings().autoIndent ? static_cast<int>(LeadingBlanks(next).size()) : 0;
        SetCursorAndClear(TextPosition(next, ch));
        return;
    }
    if (!buffer_) return;
    UndoGroup group(*buffer_, false);
    if (!IsEditable()) return;
    DeleteSelection();
    TextPosition end = cursor_;
    if (!buffer_->InsertTextAt(this, cursor_, "\r\n", &end)) return;
    if (GetViewSettings().autoIndent) {
        const std::string indent = LeadingBlanks(end.line - 1);
        if (!indent.empty()) {
            TextPosition after = end;
            if (buffer_->InsertTextAt(this, TextPosition(end.line, 0), indent, &after)) end = after;
        }
    }
    SetCursorAndClear(end);
}

// --- Deleting -------------------------------------------------------------------------------------

void CCrystalEditView::Backspace() {
    if (!IsEditable()) return;
    if (HasSelection()) {
        DeleteSelection();
        return;
    }
    const TextPosition old = cursor_;
    TextPosition start = old;
    if (old.ch > 0) {
        start.ch = PrevCharStart(codePage_, LineText(old.line), LineLength(old.line), old.ch);
    } else if (old.line > 0) {
        start = TextPosition(old.line - 1, LineLength(old.line - 1));
    } else {
        return;
    }
    SetCursorAndClear(start);
    buffer_->RemoveRange(this, start, old);
}

void CCrystalEditView::DeleteChar() {
    if (!IsEditable()) return;
    if (HasSelection()) {
        DeleteSelection();
        return;
    }
    const TextPosition start = cursor_;
    const int len = LineLength(start.line);
    TextPosition end = start;
    if (start.ch < len) {
        end.ch += DecodeChar(codePage_, LineText(start.line), len, start.ch).length;
        end.ch = std::min(end.ch, len);
    } else if (start.line < LineCount() - 1) {
        end = TextPosition(start.line + 1, 0);
    } else {
        return;
    }
    SetCursorAndClear(start);
    buffer_->RemoveRange(this, start, end);
}

// --- Indent ---------------------------------------------------------------------------------------

std::string CCrystalEditView::IndentUnit() const {
    const ViewSettings& s = GetViewSettings();
    return s.tabToSpace ? std::string(static_cast<size_t>(s.tabSize), ' ') : std::string("\t");
}

void CCrystalEditView::SelectWholeLines(int& first, int& last) {
    TextPosition s, e;
    SelectionBounds(s, e);
    first = s.line;
    last = e.line;
    if (e.ch == 0 && last > first) --last;
    const int lastLine = LineCount() - 1;
    const TextPosition from(first, 0);
    const TextPosition to = last < lastLine ? TextPosition(last + 1, 0) : TextPosition(lastLine, LineLength(lastLine));
    anchor_ = from;
    SelectRange(from, to);
    PlaceCursor(to);
}

void CCrystalEditView::Indent() {
    if (!IsEditable()) return;
    TextPosition s, e;
    SelectionBounds(s, e);
    if (HasSelection() && s.line != e.line) {
        UndoGroup group(*buffer_, false);
        int first, last;
        SelectWholeLines(first, last);
        const std::string unit = IndentUnit();
        SetScrollLock(scrollLockedVert_, true);
        for (int line = first; line <= last; ++line) buffer_->InsertTextAt(this, TextPosition(line, 0), unit);
        SetScrollLock(scrollLockedVert_, false);
        RecalcHorzScrollBar();
        ScrollToShow(cursor_);
        return;
    }
    const int len = LineLength(cursor_.line);
    if (overwrite_ && cursor_.ch < len) {
        // Overwrite mode inside a line: Tab moves towards the next tab stop.
        const int tab = GetViewSettings().tabSize;
        const int steps = tab - ColumnOf(cursor_.line, cursor_.ch) % tab;
        const char* text = LineText(cursor_.line);
        int ch = cursor_.ch;
        for (int k = 0; k < steps && ch < len; ++k) {
            const bool wasTab = text[ch] == '\t';
            ch += DecodeChar(codePage_, text, len, ch).length;
            if (wasTab) break;
        }
        SetCursorAndClear(TextPosition(cursor_.line, SnapForwardOnLine(cursor_.line, ch)));
        return;
    }
    UndoGroup group(*buffer_, false);
    DeleteSelection();
    TextPosition end = cursor_;
    if (buffer_->InsertTextAt(this, cursor_, IndentUnit(), &end)) SetCursorAndClear(end);
}

void CCrystalEditView::Unindent() {
    if (!IsEditable()) return;
    const int tab = GetViewSettings().tabSize;
    TextPosition s, e;
    SelectionBounds(s, e);
    if (HasSelection() && s.line != e.line) {
        UndoGroup group(*buffer_, false);
        int first, last;
        SelectWholeLines(first, last);
        SetScrollLock(scrollLockedVert_, true);
        for (int line = first; line <= last; ++line) {
            const char* text = LineText(line);
            const int len = LineLength(line);
            int n = 0;
            while (n < len && n < tab && text[n] == ' ') ++n;
            if (n < tab && n < len && text[n] == '\t') ++n;
            if (n > 0) buffer_->RemoveRange(this, TextPosition(line, 0), TextPosition(line, n));
        }
        SetScrollLock(scrollLockedVert_, false);
        RecalcHorzScrollBar();
        ScrollToShow(cursor_);
        return;
    }
    if (cursor_.ch == 0) return;
    const int col = ColumnOf(cursor_.line, cursor_.ch);
    int target = tab * (col / tab);
    if (col % tab == 0 && col > 0) target -= tab;
    const char* text = LineText(cursor_.line);
    const int len = LineLength(cursor_.line);
    int ch = 0;
    while (ch < len && ColumnOf(cursor_.line, ch) < target) ch += DecodeChar(codePage_, text, len, ch).length;
    SetCursorAndClear(TextPosition(cursor_.line, std::min(ch, len)));
}

// --- Clipboard ------------------------------------------------------------------------------------

void CCrystalEditView::Copy() {
    if (!HasSelection()) return;
    TextPosition s, e;
    SelectionBounds(s, e);
    CopyToClipboard(RangeText(s, e));
}

void CCrystalEditView::Cut() {
    if (!IsEditable() || !HasSelection()) return;
    TextPosition s, e;
    SelectionBounds(s, e);
    CopyToClipboard(RangeText(s, e));
    SetCursorAndClear(s);
    buffer_->RemoveRange(this, s, e);
}

void CCrystalEditView::Paste() {
    if (!IsEditable()) return;
    // Text the code page cannot hold is refused whole, before the selection goes.
    refusedChars_.clear();
    const std::string text = ClipboardHasText() ? ReadClipboardText() : std::string();
    if (text.empty() && !refusedChars_.empty()) {
        RefuseChars(refusedChars_);
        return;
    }
    UndoGroup group(*buffer_, false);
    DeleteSelection();
    {
        TextPosition end = cursor_;
        if (!text.empty() && buffer_->InsertTextAt(this, cursor_, text, &end)) SetCursorAndClear(end);
    }
    ScrollToShow(cursor_);
}

// --- Undo and redo --------------------------------------------------------------------------------

void CCrystalEditView::PlaceAfterStep(TextPosition pos) {
    pos.line = std::clamp(pos.line, 0, LineCount() - 1);
    pos.ch = SnapForwardOnLine(pos.line, pos.ch);
    SetCursorAndClear(pos);
}

void CCrystalEditView::Undo() {
    if (!buffer_ || !buffer_->CanUndoStep()) return;
    TextPosition pos = cursor_;
    if (buffer_->UndoStep(&pos)) PlaceAfterStep(pos);
}

void CCrystalEditView::Redo() {
    if (!buffer_ || !buffer_->CanRedoStep()) return;
    TextPosition pos = cursor_;
    if (buffer_->RedoStep(&pos)) PlaceAfterStep(pos);
}

void CCrystalEditView::UndoAll() {
    while (buffer_ && buffer_->CanUndoStep()) {
        TextPosition pos = cursor_;
        if (!buffer_->UndoStep(&pos)) break;
        PlaceAfterStep(pos);
    }
}

void CCrystalEditView::RedoAll() {
    while (buffer_ && buffer_->CanRedoStep()) {
        TextPosition pos = cursor_;
        if (!buffer_->RedoStep(&pos)) break;
        PlaceAfterStep(pos);
    }
}

// --- Commands -------------------------------------------------------------------------------------

bool CCrystalEditView::UpdateCommand(int id, CommandState& state) {
    switch (id) {
        case cmd::Undo:
        case cmd::UndoAll:
            state.enabled = buffer_ && buffer_->CanUndoStep();
            return true;
        case cmd::Redo:
        case cmd::RedoAll:
            state.enabled = buffer_ && buffer_->CanRedoStep();
            return true;
        case cmd::Cut:
        case cmd::Copy:
            state.enabled = HasSelection();
            return true;
        case cmd::Paste:
            state.enabled = ClipboardHasText();
            return true;
        case cmd::ToggleOverwrite:
            state.enabled = true;
            state.checked = overwrite_;
            return true;
        case cmd::IndicatorOverwrite:
            state.text = OverwriteStatusText().toStdString();
            return true;
        case cmd::Delete:
        case cmd::DeleteBack:
        case cmd::Indent:
        case cmd::Unindent:
            state.enabled = true;
            return true;
        default:
            return CCrystalTextView::UpdateCommand(id, state);
    }
}

bool CCrystalEditView::ExecuteCommand(int id) {
    switch (id) {
        case cmd::Undo: Undo(); return true;
        case cmd::Redo: Redo(); return true;
        case cmd::UndoAll: UndoAll(); return true;
        case cmd::RedoAll: RedoAll(); return true;
        case cmd::Cut: Cut(); return true;
        case cmd::Copy: Copy(); return true;
        case cmd::Paste: Paste(); return true;
        case cmd::Delete: DeleteChar(); return true;
        case cmd::DeleteBack: Backspace(); return true;
        case cmd::Indent: Indent(); return true;
        case cmd::Unindent: Unindent(); return true;
        case cmd::ToggleOverwrite: SetOverwriteMode(!overwrite_); return true;
        default: return CCrystalTextView::ExecuteCommand(id);
    }
}

}  // namespace tarnwell
