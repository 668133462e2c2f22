// The editor view for web pages: an edit view that colors HTML, ASP blocks and VBScript SCRIPT
// elements through the line parser, draws them in the "Options\Color" colors, and knows the file kind
// of its document (which decides whether "<%" and SCRIPT elements are recognized).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/HtmlAspColors.h"
#include "lang/HtmlAspParser.h"
#include "text/CCrystalEditView.h"

namespace tarnwell {

struct MemberListItem;

class CMemberListPopup;
class CParameterTip;
class OutlineSource;
class OutlineStore;
class TypeLibraryCache;

// Where the code help of a view finds the page's outline store, the type libraries and the key of its
// document, and how it opens an included file. Asked afresh at every use (a project may close, a page
// may be saved under another name).
struct CodeHelpLink {
    std::function<OutlineStore*()> outlines;
    std::function<TypeLibraryCache*()> types;
    std::function<std::string()> documentKey;
    // Opens a file in an editor window and, with a line (not -1), shows that line there with the
    // caret at its start; false when it could not.
    std::function<bool(const std::string& path, int line)> openFile;
};

class CVeskView : public CCrystalEditView {
    Q_OBJECT

public:
    explicit CVeskView(QWidget* parent = nullptr);
    // A view on a document's buffer; binds to it when shown (or at once when BindBuffer is called).
    CVeskView(CCrystalTextBuffer* buffer, int fileKind, QWidget* parent = nullptr);
    ~CVeskView() override;

    // The document's buffer and file kind; the buffer is bound at once.
    void SetDocument(CCrystalTextBuffer* buffer, int fileKind);
    // The file kind follows the document's path: call again after the document is saved under
    // another name. Every line is colored again.
    void SetFileKind(int fileKind);
    void SetPathName(std::string_view pathName) { SetFileKind(GetFileKind(pathName)); }
    int GetFileKindValue() const { return fileKind_; }

    // The colors and the syntax-coloring switch of "Options\Color", shared by every view; setting
    // them recolors every open view at once.
    static const HtmlAspPalette& ColorPalette();
    static void SetColorPalette(const HtmlAspPalette& palette);

    // --- Code help: the member list and the parameter tip ---
    void SetCodeHelp(CodeHelpLink link) { help_ = std::move(link); }
    // "Auto List Members" and "Auto Parameter Info", shared by every view.
    static void SetAutoCodeHelp(bool listMembers, bool parameterInfo);
    // The commands: true when the popup shows afterwards.
    bool ListMembers();
    bool ParameterInfo() { return ShowParameterTip(false); }
    // Inserts the selected item in place of the typed word as one undo step and closes the list;
    // with only a hint the list just closes.
    void AcceptMember();
    void CloseMemberList();
    void HideParameterTip();
    bool MemberListShown() const;
    bool ParameterTipShown() const;
    CMemberListPopup* MemberListPopup() const { return memberList_; }
    CParameterTip* ParameterTipPopup() const { return parameterTip_; }
    // The page's outline (rebuilt when it needs it), or nullptr without code help.
    OutlineSource* PageOutline();
    // The include directive on the caret line: the full path it names, or empty.
    std::string IncludedFileAtCaret();
    // Opens that file; false (with a beep) when there is none or it cannot be opened.
    bool OpenIncludedFile();
    // Goes to the definition of the name under the caret, in this page or in a file it includes
    // (opened for it); false (with a beep) when there is none.
    bool GotoDefinition();

    bool BeforeCharTyped(char32_t ch) override;
    void AfterCharTyped(char32_t ch) override;
    bool UpdateCommand(int id, CommandState& state) override;
    bool ExecuteCommand(int id) override;

    LineCookie ParseLineColors(LineCookie incoming, int line, ColorBlock* blocks, int& count) override;
    // Short lines keep their blocks; long ones a parser memo that parses only near an edit and only
    // the bytes a paint shows.
    LineCookie ColorLine(LineCookie incoming, int line, LineColoring& coloring) override;
    void ParseCookies(LineCookie incoming, int first, int last, LineCookie* out) override;
    QColor ColorForIndex(int colorClass) const override;
    CCrystalTextBuffer* FindBuffer() override;
    // Also notes where the text changed since the page's outline was last built.
    void OnBufferChanged(BufferObserver* source, const PositionAdjuster* adjuster, std::uint32_t hints,
                         int line) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool IsServerPage() const { return fileKind_ == FileKindAsp || fileKind_ == FileKindAspNet; }
    // True with the store, the libraries and the page's outline source filled in. The outline is
    // rebuilt when it needs it, except with `quick` when every edit since its build stayed on the
    // caret's line and its regions there could be brought up to date.
    bool HelpSources(OutlineStore*& store, TypeLibraryCache*& types, OutlineSource*& page, bool quick = false);
    // The tip for the caret; `quick` (while the tip shows) may use the outline as it is.
    bool ShowParameterTip(bool quick);
    bool MemberListKey(QKeyEvent* event);
    bool NameAtCaret() const;
    void NoteEdit(std::uint32_t hints, int line);
    void MatchWord();
    void CaretMoved();

    CodeHelpLink help_;
    CMemberListPopup* memberList_ = nullptr;
    CParameterTip* parameterTip_ = nullptr;
    std::vector<MemberListItem> items_;
    TextPosition wordStart_;
    TextPosition wordEnd_;
    int tipLine_ = -1;
    // Edits since the page's outline of generation outlineSeen_ was built: none, all on one line
    // (its number), or anything else.
    enum : int { kNoEdits = -1, kManyEdits = -2 };
    int editedLine_ = kManyEdits;
    std::uint32_t outlineSeen_ = 0;
    std::uint64_t edits_ = 0;  // text changes seen
    // Where the tip was last computed: the caret and the number of changes then.
    TextPosition tipCaret_{-1, -1};
    std::uint64_t tipEdits_ = 0;
    CCrystalTextBuffer* documentBuffer_ = nullptr;
    int fileKind_ = FileKindAsp;
};

}  // namespace tarnwell
