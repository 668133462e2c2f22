#include "text/CVeskView.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>
#include <vector>

#include "lang/BufferLineSource.h"
#include "lang/CodeSense.h"
#include "lang/Keywords.h"
#include "lang/OutlineStore.h"
#include "lang/TypeResolve.h"
#include "text/CodePopups.h"
#include "text/EditCommandIds.h"

namespace tarnwell {

namespace {

HtmlAspPalette& Palette() {
    static HtmlAspPalette palette;
    return palette;
}

std::vector<CVeskView*>& LiveVeskViews() {
    static std::vector<CVeskView*> views;
    return views;
}

bool autoListMembers = true;
bool autoParameterInfo = true;

bool IsIdentChar(char32_t ch) { return ch < 128 && IsExpressionIdentChar(static_cast<char>(ch)); }

}  // namespace

CVeskView::CVeskView(QWidget* parent)
    : CCrystalEditView(parent), memberList_(new CMemberListPopup(this)), parameterTip_(new CParameterTip(this)) {
    LiveVeskViews().push_back(this);
    connect(memberList_, &CMemberListPopup::Accepted, this, &CVeskView::AcceptMember);
    connect(memberList_, &CMemberListPopup::Dismissed, this, &CVeskView::CloseMemberList);
    connect(this, &CCrystalTextView::StatusChanged, this, &CVeskView::CaretMoved);
}

CVeskView::CVeskView(CCrystalTextBuffer* buffer, int fileKind, QWidget* parent) : CVeskView(parent) {
    documentBuffer_ = buffer;
    fileKind_ = fileKind;
}

CVeskView::~CVeskView() {
    auto& views = LiveVeskViews();
    views.erase(std::remove(views.begin(), views.end(), this), views.end());
}

void CVeskView::SetDocument(CCrystalTextBuffer* buffer, int fileKind) {
    documentBuffer_ = buffer;
    editedLine_ = kManyEdits;
    fileKind_ = fileKind;
    BindBuffer(buffer);
}

void CVeskView::SetFileKind(int fileKind) {
    if (fileKind == fileKind_) return;
    fileKind_ = fileKind;
    InvalidateColoring();
}

CCrystalTextBuffer* CVeskView::FindBuffer() { return documentBuffer_; }

const HtmlAspPalette& CVeskView::ColorPalette() { return Palette(); }

void CVeskView::SetColorPalette(const HtmlAspPalette& palette) {
    const bool recolor = palette.syntaxColoring != Palette().syntaxColoring;
    Palette() = palette;
    for (CVeskView* view : LiveVeskViews()) {
        if (recolor) view->InvalidateColoring();
        view->viewport()->update();
    }
}

LineCookie CVeskView::ParseLineColors(LineCookie incoming, int line, ColorBlock* blocks, int& count) {
    const HtmlAspContext ctx{fileKind_, &HtmlKeywordSet(), &VbKeywordSet(), Palette().syntaxColoring};
    return ParseHtmlAspLine(incoming, LineText(line), LineLength(line), blocks, count, ctx);
}

LineCookie CVeskView::ColorLine(LineCookie incoming, int line, LineColoring& coloring) {
    // Lines of this length or more are colored through a memo.
    constexpr int kMemoLineLength = 4 * HtmlAspLineMemo::kStep;
    const HtmlAspContext ctx{fileKind_, &HtmlKeywordSet(), &VbKeywordSet(), Palette().syntaxColoring};
    const int length = LineLength(line);
    coloring.blocks.clear();
    if (length < kMemoLineLength) {
        coloring.memo.reset();
        return ParseHtmlAspLine(incoming, std::string_view(LineText(line), static_cast<size_t>(length)), &coloring.blocks,
                                ctx);
    }
    coloring.blocks.shrink_to_fit();
    auto* memo = dynamic_cast<HtmlAspLineMemo*>(coloring.memo.get());
    if (!memo) {
        coloring.memo = std::make_unique<HtmlAspLineMemo>();
        memo = static_cast<HtmlAspLineMemo*>(coloring.memo.get());
        coloring.keptPrefix = -1;
    }
    return memo->Update(incoming, LineText(line), length, ctx, coloring.keptPrefix, coloring.keptSuffix);
}

void CVeskView::ParseCookies(LineCookie incoming, int first, int last, LineCookie* out) {
    const HtmlAspContext ctx{fileKind_, &HtmlKeywordSet(), &VbKeywordSet(), Palette().syntaxColoring};
    if (!buffer_ || buffer_->LineCount() == 0) {
        CCrystalEditView::ParseCookies(incoming, first, last, out);
        return;
    }
    for (int k = first; k <= last; ++k) {
        const std::string_view text = buffer_->LineChars(k);
        int none = 0;
        incoming = ParseHtmlAspLine(incoming, text.data(), static_cast<int>(text.size()), nullptr, none, ctx);
        out[k - first] = incoming;
    }
}

// --- Code help ---------------------------------------------------------------------------------------

void CVeskView::SetAutoCodeHelp(bool listMembers, bool parameterInfo) {
    autoListMembers = listMembers;
    autoParameterInfo = parameterInfo;
}

bool CVeskView::MemberListShown() const { return memberList_->isVisible(); }
bool CVeskView::ParameterTipShown() const { return parameterTip_->isVisible(); }

void CVeskView::OnBufferChanged(BufferObserver* source, const PositionAdjuster* adjuster, std::uint32_t hints, int line) {
    if (!(hints & HintFlagsOnly)) NoteEdit(hints, line);
    CCrystalEditView::OnBufferChanged(source, adjuster, hints, line);
}

void CVeskView::NoteEdit(std::uint32_t hints, int line) {
    ++edits_;
    OutlineStore* store = help_.outlines && help_.documentKey ? help_.outlines() : nullptr;
    const OutlineSource* page = store ? store->Find(help_.documentKey()) : nullptr;
    if (!page) {
        editedLine_ = kManyEdits;
        return;
    }
    // Views hear of an edit before the page's outline is marked changed: an outline that needs no
    // rebuild now holds every earlier edit.
    if (!page->NeedsRebuild()) {
        outlineSeen_ = page->Outline().Generation();
        editedLine_ = kNoEdits;
    } else if (page->Outline().Generation() != outlineSeen_) {
        editedLine_ = kManyEdits;  // rebuilt and changed again unseen
    }
    const bool oneLine = (hints & HintOneLine) && !(hints & (HintHeight | HintReset));
    if (oneLine && (editedLine_ == kNoEdits || editedLine_ == line)) editedLine_ = line;
    else editedLine_ = kManyEdits;
}

bool CVeskView::HelpSources(OutlineStore*& store, TypeLibraryCache*& types, OutlineSource*& page, bool quick) {
    if (!IsServerPage() || !buffer_ || !help_.outlines || !help_.types || !help_.documentKey) return false;
    store = help_.outlines();
    types = help_.types();
    if (!store || !types) return false;
    page = &store->GetOrCreate(help_.documentKey());
    if (!page->NeedsRebuild()) return true;
    // Typing on one line with the tip open: the outline is reused, only the regions of the caret's
    // line are brought up to date (a rebuild of a large page per key would make typing lag).
    if (quick && page->Outline().Generation() == outlineSeen_ &&
        (editedLine_ == kNoEdits ||
         (editedLine_ == cursor_.line && UpdateRegionsOnLine(page->Outline(), BufferLineSource(*buffer_), cursor_.line))))
        return true;
    // The page is read from this buffer, whatever the store would find for its key.
    RebuildOutline(page->Outline(), BufferLineSource(*buffer_));
    return true;
}

OutlineSource* CVeskView::PageOutline() {
    OutlineStore* store = nullptr;
    TypeLibraryCache* types = nullptr;
    OutlineSource* page = nullptr;
    return HelpSources(store, types, page) ? page : nullptr;
}

bool CVeskView::ListMembers() {
    OutlineStore* store = nullptr;
    TypeLibraryCache* types = nullptr;
    OutlineSource* page = nullptr;
    if (!HelpSources(store, types, page)) return false;
    TypeContext ctx{*store, *types};
    MemberList list = ListMembersAt(ctx, *page, BufferLineSource(*buffer_), cursor_);
    if (list.items.empty() || list.wordStart.line != cursor_.line) {
        CloseMemberList();
        return false;
    }
    items_ = std::move(list.items);
    wordStart_ = list.wordStart;
    wordStart_.ch = std::clamp(wordStart_.ch, 0, cursor_.ch);
    wordEnd_ = cursor_;
    memberList_->SetItems(items_, TextFont(), RowHeight());
    MatchWord();
    const QPoint word = viewport()->mapToGlobal(PositionToPoint(wordStart_));
    memberList_->ShowAt(word, word.y(), RowHeight(), ParameterTipShown());
    return true;
}

void CVeskView::MatchWord() {
    const WordMatch m = MatchTypedWord(items_, RangeText(wordStart_, wordEnd_));
    if (m.selection >= 0) memberList_->SetSelection(m.selection);
    else memberList_->SetHint(m.hint);
}

void CVeskView::AcceptMember() {
    const int row = memberList_->Selection();
    CloseMemberList();
    if (row < 0 || row >= static_cast<int>(items_.size()) || !buffer_ || !IsEditable()) return;
    const int length = LineLength(wordStart_.line);
    TextPosition end = wordEnd_;
    if (end.line != wordStart_.line || end.ch > length || end.ch < wordStart_.ch) return;
    TextPosition after;
    {
        UndoGroup group(*buffer_);
        if (end != wordStart_) buffer_->RemoveRange(this, wordStart_, end);
        buffer_->InsertTextAt(this, wordStart_, items_[static_cast<size_t>(row)].name, &after);
    }
    SetCursorAndClear(after);
}

void CVeskView::CloseMemberList() { memberList_->hide(); }

void CVeskView::HideParameterTip() {
    parameterTip_->hide();
    tipLine_ = -1;
}

bool CVeskView::ShowParameterTip(bool quick) {
    // A key moves the caret and changes the text, each telling the view: the tip follows once.
    if (quick && cursor_ == tipCaret_ && edits_ == tipEdits_) return ParameterTipShown();
    tipCaret_ = cursor_;
    tipEdits_ = edits_;
    OutlineStore* store = nullptr;
    TypeLibraryCache* types = nullptr;
    OutlineSource* page = nullptr;
    if (!HelpSources(store, types, page, quick)) {
        HideParameterTip();
        return false;
    }
    TypeContext ctx{*store, *types};
    const ParameterTip tip = ParameterTipAt(ctx, *page, BufferLineSource(*buffer_), cursor_, false);
    if (tip.callee.empty()) {
        HideParameterTip();
        return false;
    }
    parameterTip_->SetContent(ParameterTipPieces(tip), tip.index, TextFont());
    QPoint at = viewport()->mapToGlobal(PositionToPoint(cursor_));
    at.ry() += RowHeight() + 1;
    if (ParameterTipShown() && tipLine_ == cursor_.line) at.setX(parameterTip_->x());
    tipLine_ = cursor_.line;
    parameterTip_->ShowAt(at);
    return true;
}

void CVeskView::CaretMoved() {
    // While the buffer tells its views of a change, the page's outline is not yet marked changed: the
    // tip follows on the caret move that comes after.
    if (ParameterTipShown() && buffer_ && !buffer_->IsNotifying()) ShowParameterTip(true);
}

bool CVeskView::BeforeCharTyped(char32_t ch) {
    if (MemberListShown() && !IsIdentChar(ch)) AcceptMember();
    return CCrystalEditView::BeforeCharTyped(ch);
}

void CVeskView::AfterCharTyped(char32_t ch) {
    CCrystalEditView::AfterCharTyped(ch);
    if (MemberListShown() && IsIdentChar(ch)) {
        if (cursor_.line == wordStart_.line && cursor_.ch > wordEnd_.ch) {
            wordEnd_ = cursor_;
            MatchWord();
        } else {
            CloseMemberList();
        }
    }
    if (ch == '.' && autoListMembers) ListMembers();
    else if ((ch == ' ' || ch == '(') && autoParameterInfo) ShowParameterTip(ParameterTipShown());
}

bool CVeskView::MemberListKey(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = e->key();
    if ((mods & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) || (key >= Qt::Key_F1 && key <= Qt::Key_F35)) {
        CloseMemberList();
        return false;
    }
    switch (key) {
    case Qt::Key_Escape: CloseMemberList(); return true;
    case Qt::Key_Tab:
    case Qt::Key_Return:
    case Qt::Key_Enter: AcceptMember(); return true;
    case Qt::Key_Backspace:
        Backspace();
        if (cursor_.line == wordStart_.line && cursor_.ch >= wordStart_.ch) {
            wordEnd_ = cursor_;
            MatchWord();
        } else {
            CloseMemberList();
        }
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (mods) break;
        memberList_->NavigateKey(key);
        return true;
    case Qt::Key_Left:
        if (cursor_.line != wordStart_.line || cursor_.ch <= wordStart_.ch) CloseMemberList();
        return false;
    case Qt::Key_Right: return false;  // checked after the move
    default: return false;
    }
    CloseMemberList();
    return false;
}

void CVeskView::keyPressEvent(QKeyEvent* e) {
    const bool ctrlOnly = (e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == Qt::ControlModifier;
    if (ctrlOnly && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        CloseMemberList();
        OpenIncludedFile();
        e->accept();
        return;
    }
    if (ctrlOnly && e->key() == Qt::Key_F12) {
        GotoDefinition();
        e->accept();
        return;
    }
    if (MemberListShown()) {
        if (MemberListKey(e)) {
            e->accept();
            return;
        }
        if (e->key() == Qt::Key_Right && MemberListShown()) {
            CCrystalEditView::keyPressEvent(e);
            if (cursor_.line != wordStart_.line || cursor_.ch >= LineLength(cursor_.line) || cursor_.ch > wordEnd_.ch)
                CloseMemberList();
            return;
        }
    } else if (e->key() == Qt::Key_Escape && ParameterTipShown()) {
        HideParameterTip();
        e->accept();
        return;
    }
    CCrystalEditView::keyPressEvent(e);
}

void CVeskView::focusOutEvent(QFocusEvent* e) {
    CloseMemberList();
    HideParameterTip();
    CCrystalEditView::focusOutEvent(e);
}

std::string CVeskView::IncludedFileAtCaret() {
    if (!buffer_ || cursor_.line < 0 || cursor_.line >= LineCount()) return {};
    IncludeDirective d;
    const std::string_view line(LineText(cursor_.line), static_cast<size_t>(LineLength(cursor_.line)));
    if (!IncludeDirectiveAt(line, cursor_.ch, d)) return {};
    const std::string key = help_.documentKey ? help_.documentKey() : std::string();
    const OutlineStore* store = help_.outlines ? help_.outlines() : nullptr;
    return ResolveIncludeDirective(d, key, store ? store->SiteRoot() : std::string());
}

bool CVeskView::OpenIncludedFile() {
    const std::string path = IncludedFileAtCaret();
    if (path.empty() || !help_.openFile || !help_.openFile(path, -1)) {
        QApplication::beep();
        return false;
    }
    return true;
}

bool CVeskView::NameAtCaret() const {
    if (!buffer_ || cursor_.line < 0 || cursor_.line >= LineCount()) return false;
    const std::string_view line(LineText(cursor_.line), static_cast<size_t>(LineLength(cursor_.line)));
    const auto [start, end] = tarnwell::WordAround(line, cursor_.ch);
    return start < end;
}

bool CVeskView::GotoDefinition() {
    CloseMemberList();
    OutlineStore* store = nullptr;
    TypeLibraryCache* types = nullptr;
    OutlineSource* page = nullptr;
    Definition def;
    if (HelpSources(store, types, page)) {
        TypeContext ctx{*store, *types};
        def = DefinitionAt(ctx, *page, BufferLineSource(*buffer_), cursor_);
    }
    bool done = false;
    if (def.file.empty()) {
        done = false;
    } else if (SameDocumentKey(def.file, page->Path())) {
        done = def.line < LineCount();
        if (done) SetCursorAndClear({def.line, 0});
    } else {
        done = help_.openFile && help_.openFile(def.file, def.line);
    }
    if (!done) QApplication::beep();
    return done;
}

bool CVeskView::UpdateCommand(int id, CommandState& state) {
    switch (id) {
    case cmd::ListMembers:
    case cmd::ParameterInfo:
        state.enabled = IsServerPage() && buffer_ && help_.outlines;
        return true;
    case cmd::OpenIncludedFile:
        state.enabled = help_.openFile && !IncludedFileAtCaret().empty();
        return true;
    case cmd::GotoDefinition:
        state.enabled = IsServerPage() && buffer_ && help_.outlines && NameAtCaret();
        return true;
    default: return CCrystalEditView::UpdateCommand(id, state);
    }
}

bool CVeskView::ExecuteCommand(int id) {
    switch (id) {
    case cmd::ListMembers: ListMembers(); return true;
    case cmd::ParameterInfo: ParameterInfo(); return true;
    case cmd::OpenIncludedFile: OpenIncludedFile(); return true;
    case cmd::GotoDefinition: GotoDefinition(); return true;
    default: return CCrystalEditView::ExecuteCommand(id);
    }
}

QColor CVeskView::ColorForIndex(int colorClass) const {
    const ClassColor cc = tarnwell::ColorForIndex(colorClass, Palette());
    switch (cc.source) {
        case ClassColor::Window: return palette().color(QPalette::Base);
        case ClassColor::Highlight: return palette().color(QPalette::Highlight);
        default: return QColor(cc.rgb.red, cc.rgb.green, cc.rgb.blue);
    }
}

}  // namespace tarnwell
