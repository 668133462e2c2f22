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
    // The site root that "virtual" includes resolve against (empty: none).
    std::function<std::string()> siteRoot;
    // Opens a file in an editor window; false when it could not.
    std::function<bool(const std::string& path)> openFile;
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
    bool ParameterInfo();
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

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool IsServerPage() const { return fileKind_ == FileKindAsp || fileKind_ == FileKindAspNet; }
    // True with the store, the libraries and the page's outline source filled in.
    bool HelpSources(OutlineStore*& store, TypeLibraryCache*& types, OutlineSource*& page);
    bool MemberListKey(QKeyEvent* event);
    void MatchWord();
    void CaretMoved();

    CodeHelpLink help_;
    CMemberListPopup* memberList_ = nullptr;
    CParameterTip* parameterTip_ = nullptr;
    std::vector<MemberListItem> items_;
    TextPosition wordStart_;
    TextPosition wordEnd_;
    int tipLine_ = -1;
    CCrystalTextBuffer* documentBuffer_ = nullptr;
    int fileKind_ = FileKindAsp;
};

}  // namespace tarnwell
