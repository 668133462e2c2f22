#include "app/MenuTable.h"

#include "app/CommandIds.h"

#include <cstring>
#include <map>

namespace tarnwell {

namespace {

using K = MenuEntry::Kind;
constexpr MenuEntry P(const char* text) { return {K::Popup, 0, text, nullptr}; }
constexpr MenuEntry E() { return {K::End, 0, nullptr, nullptr}; }
constexpr MenuEntry S() { return {K::Separator, 0, nullptr, nullptr}; }
constexpr MenuEntry I(int id, const char* text, const char* shortcut = nullptr) {
    return {K::Item, id, text, shortcut};
}

// Ids of the edit view's commands (served by the view; the view's key table binds their keys, so the
// menu only shows the hint).
enum : int {
    kUndo = 57643, kRedo = 57644, kUndoAll = 32772, kRedoAll = 32773,
    kCut = 57635, kCopy = 57634, kPaste = 57637, kDelete = 32771, kSelectAll = 57642,
    kToggleBookmark = 37200, kNextBookmark = 37201, kPrevBookmark = 37202, kClearBookmarks = 37203,
};

using namespace cmd;

const MenuEntry kMainMenu[] = {
    P("&File"),
        I(FileNew, "&New File", "Ctrl+N"),
        I(FileOpen, "&Open File...", "Ctrl+O"),
        I(FileClose, "&Close"),
        S(),
        I(NewProject, "New Pro&ject...", "Ctrl+Shift+N"),
        I(OpenProject, "Open Proj&ect...", "Ctrl+Shift+O"),
        I(CloseProject, "Close Projec&t"),
        S(),
        I(FileSave, "&Save", "Ctrl+S"),
        I(FileSaveAs, "Save &As..."),
        I(SaveAll, "Save All"),
        I(CloseAll, "C&lose All"),
        S(),
        I(FilePageSetup, "Page Set&up..."),
        I(FilePrintSetup, "P&rint Setup..."),
        I(FilePrintPreview, "Print Pre&view"),
        I(FilePrint, "&Print...\tCtrl+P", "Ctrl+P"),
        S(),
        P("Recent Projects"), I(RecentProjectFirst, "None"), E(),
        P("Recent Files"), I(RecentFileFirst, "None"), E(),
        S(),
        I(AppExit, "E&xit"),
    E(),
    P("&Edit"),
        I(kUndo, "&Undo\tCtrl+Z"),
        I(kRedo, "Redo\tCtrl+Y"),
        I(kUndoAll, "Undo All\tCtrl+Alt+Z"),
        I(kRedoAll, "Redo All\tCtrl+Alt+Y"),
        S(),
        I(kCut, "Cu&t\tCtrl+X"),
        I(kCopy, "&Copy\tCtrl+C"),
        I(kPaste, "&Paste\tCtrl+V"),
        I(kDelete, "&Delete\tDel"),
        I(kSelectAll, "Select &All\tCtrl+A"),
        S(),
        I(EditFind, "&Find...\tCtrl+F", "Ctrl+F"),
        I(EditFindNextMenu, "Find &Next\tF3", "F3"),
        I(EditReplace, "&Replace...\tCtrl+R", "Ctrl+R"),
        S(),
        I(kToggleBookmark, "&Toggle Bookmark\tCtrl+F2"),
        I(kNextBookmark, "&Next Bookmark\tF2"),
        I(kPrevBookmark, "&Previous Bookmark\tShift+F2"),
        I(kClearBookmarks, "Clear All &Bookmarks\tCtrl+Shift+F2"),
        S(),
        I(ListMembers, "List &Members\tCtrl+M", "Ctrl+M"),
        I(ParameterInfo, "Parameter &Info\tCtrl+I", "Ctrl+I"),
    E(),
    P("&View"),
        P("&Toolbars"),
            I(ViewStandardBar, "Standard"),
            I(ViewInsertBar, "&Insert"),
            I(ViewFormatBar, "&Format"),
        E(),
        I(ViewProjectBar, "&Project"),
        I(ViewFilesBar, "&Files"),
        I(ViewStatusBar, "&Status Bar"),
        S(),
        I(LocateInProject, "&Locate in Project Explorer"),
        S(),
        // The items take the code pages' names when the frame builds them.
        P("&Reopen with Encoding"),
            I(ReopenWithEncodingFirst + 0, nullptr),
            I(ReopenWithEncodingFirst + 1, nullptr),
            I(ReopenWithEncodingFirst + 2, nullptr),
            I(ReopenWithEncodingFirst + 3, nullptr),
            I(ReopenWithEncodingFirst + 4, nullptr),
            I(ReopenWithEncodingFirst + 5, nullptr),
            I(ReopenWithEncodingFirst + 6, nullptr),
            I(ReopenWithEncodingFirst + 7, nullptr),
            I(ReopenWithEncodingFirst + 8, nullptr),
            I(ReopenWithEncodingFirst + 9, nullptr),
        E(),
        P("Sa&ve with Encoding"),
            I(SaveWithEncodingFirst + 0, nullptr),
            I(SaveWithEncodingFirst + 1, nullptr),
            I(SaveWithEncodingFirst + 2, nullptr),
            I(SaveWithEncodingFirst + 3, nullptr),
            I(SaveWithEncodingFirst + 4, nullptr),
            I(SaveWithEncodingFirst + 5, nullptr),
            I(SaveWithEncodingFirst + 6, nullptr),
            I(SaveWithEncodingFirst + 7, nullptr),
            I(SaveWithEncodingFirst + 8, nullptr),
            I(SaveWithEncodingFirst + 9, nullptr),
        E(),
        S(),
        I(PreviewInBrowser, "Preview in Default &Browser...\tF12", "F12"),
    E(),
    P("&Insert"),
        I(InsertImage, "&Image\tCtrl+Alt+I", "Ctrl+Alt+I"),
        S(),
        I(InsertLink, "&Link\tCtrl+Alt+L", "Ctrl+Alt+L"),
        I(InsertEmailLink, "&Email Link"),
        S(),
        I(InsertForm, "&Form\tCtrl+Alt+F", "Ctrl+Alt+F"),
        P("Form Ele&ment"),
            I(InsertTextField, "&Text Field"),
            I(InsertTextArea, "Text &Area"),
            I(InsertButton, "&Button"),
            I(InsertCheckBox, "&Check Box"),
            I(InsertRadioButton, "&Radio Button"),
            I(InsertListBox, "&List Box"),
            I(InsertFileField, "&File Field"),
            I(InsertImageField, "&Image Field"),
            I(InsertHiddenField, "&Hidden Field"),
        E(),
        S(),
        I(InsertTable, "&Table\tCtrl+Alt+T", "Ctrl+Alt+T"),
        S(),
        I(InsertParagraph, "&Paragraph\tCtrl+Shift+P", "Ctrl+Shift+P"),
        I(InsertLineBreak, "Line &Break"),
        I(InsertHorizontalLine, "Hori&zonal Line"),
        I(InsertNamedAnchor, "&Named Anchor"),
        I(InsertSpecialChars, "Special Cha&racters"),
        I(InsertComment, "&Comment"),
        S(),
        I(InsertDateTime, "D&ate && Time"),
    E(),
    P("F&ormat"),
        P("Style"),
            I(FormatBold, "&Bold\tCtrl+Shift+B", "Ctrl+Shift+B"),
            I(FormatItalic, "&Italic\tCtrl+Shift+I", "Ctrl+Shift+I"),
            I(FormatUnderline, "&Underline\tCtrl+Shift+U", "Ctrl+Shift+U"),
        E(),
        P("&Align"),
            I(FormatAlignLeft, "&Left\tCtrl+Shift+L", "Ctrl+Shift+L"),
            I(FormatAlignCenter, "&Center\tCtrl+Shift+C", "Ctrl+Shift+C"),
            I(FormatAlignRight, "&Right\tCtrl+Shift+R", "Ctrl+Shift+R"),
        E(),
        S(),
        I(FormatList, "Li&st..."),
        P("&Heading"),
            I(FormatHeading1 + 0, "Heading 1"),
            I(FormatHeading1 + 1, "Heading 2"),
            I(FormatHeading1 + 2, "Heading 3"),
            I(FormatHeading1 + 3, "Heading 4"),
            I(FormatHeading1 + 4, "Heading 5"),
            I(FormatHeading1 + 5, "Heading 6"),
        E(),
        S(),
        I(FormatFont, "Font...\tCtrl+Shift+F", "Ctrl+Shift+F"),
    E(),
    P("&ASP"),
        I(AspScriptBlock, "Insert &ASP Script Block"),
        I(AspNetScriptBlock, "Insert ASP.&NET Script Block"),
        I(AspIncludeFile, "&Include File..."),
        P("Insert Server &Object ID"),
            I(ServerObjectFirst, "(Empty)"),
            S(),
            I(ServerObjectCustomize, "&Customize..."),
        E(),
    E(),
    P("&Tools"),
        I(ToolsOptions, "&Options..."),
    E(),
    P("&Window"),
        I(WindowNew, "&New Window"),
        I(WindowCascade, "&Cascade"),
        I(WindowTileHorz, "&Tile"),
        I(WindowArrange, "&Arrange Icons"),
    E(),
    P("&Help"),
        I(CheckForUpdates, "Check for &Updates"),
        I(TechnicalSupport, "&Technical Support"),
        S(),
        I(AppAbout, "&About Tarnwell..."),
    E(),
    // Accelerators of table 128 without a menu item of their own.
    P(nullptr),
        I(EditDeleteLine, nullptr, "Ctrl+L"),
        I(NextPane, nullptr, "F6"),
        I(PrevPane, nullptr, "Shift+F6"),
        I(ViewOutputBar, nullptr, nullptr),
    E(),
};

// The editor's context menu. A popup with the title of a main-menu popup and no items of its own
// stands for that popup (the same submenu, built once).
const MenuEntry kEditorContextMenu[] = {
    I(kCut, "Cu&t\tCtrl+X"),
    I(kCopy, "&Copy\tCtrl+C"),
    I(kPaste, "&Paste\tCtrl+V"),
    S(),
    P("&Insert"), E(),
    P("F&ormat"), E(),
    S(),
    I(AspScriptBlock, "Insert &ASP Script Block"),
    P("Insert Server &Object ID"), E(),
    S(),
    I(ListMembers, "List &Members\tCtrl+M"),
    I(ParameterInfo, "Parameter &Info\tCtrl+I"),
    I(OpenIncludedFile, "Open Include&d File\tCtrl+Enter"),
    I(GotoDefinition, "&Goto Define\tCtrl+F12"),
    S(),
    I(LocateInProject, "&Locate in Project Explorer"),
};

const MenuEntry kNewMenu[] = {P("New"), I(NewProject, "New &Project..."), I(FileNew, "New &File"), E()};
const MenuEntry kOpenMenu[] = {P("Open"), I(OpenProject, "Open &Project..."), I(FileOpen, "Open &File..."), E()};
const MenuEntry kFormMenu[] = {
    P("Form"),
    I(InsertForm, "&Form"),
    S(),
    I(InsertTextField, "&Text Field"),
    I(InsertTextArea, "Text &Area"),
    I(InsertButton, "&Button"),
    I(InsertCheckBox, "&Check Box"),
    I(InsertRadioButton, "&Radio Button"),
    I(InsertListBox, "&List Box"),
    I(InsertFileField, "&File Field"),
    I(InsertImageField, "&Image Field"),
    I(InsertHiddenField, "&Hidden Field"),
    E(),
};
const MenuEntry kHeadingMenu[] = {
    P("Heading"),
    I(FormatHeading1 + 0, "Heading 1"), I(FormatHeading1 + 1, "Heading 2"), I(FormatHeading1 + 2, "Heading 3"),
    I(FormatHeading1 + 3, "Heading 4"), I(FormatHeading1 + 4, "Heading 5"), I(FormatHeading1 + 5, "Heading 6"),
    E(),
};

const int kStandardButtons[] = {FileNew, FileOpen, FileSave, SaveAll, 0, kCut, kCopy, kPaste, 0, kUndo, kRedo, 0,
                                EditFind, EditReplace, 0, FilePrint, 0, ViewProjectBar, ViewOutputBar, 0,
                                PreviewInBrowser};
const int kInsertButtons[] = {InsertImage, InsertLink, InsertEmailLink, InsertForm, InsertTable, 0,
                              InsertParagraph, InsertLineBreak, InsertHorizontalLine, InsertNamedAnchor,
                              InsertSpecialChars, InsertComment, InsertDateTime, 0, AspScriptBlock,
                              AspIncludeFile};
const int kFormatButtons[] = {FormatBold, FormatItalic, FormatUnderline, 0, FormatAlignLeft, FormatAlignCenter,
                              FormatAlignRight, 0, FormatList, FormatHeader, FormatFont};

const ToolBarDef kToolBars[] = {
    {"Standard", "Standard", ViewStandardBar, kStandardButtons},
    {"Insert", "Insert", ViewInsertBar, kInsertButtons},
    {"Format", "Format", ViewFormatBar, kFormatButtons},
};

struct Prompt {
    const char* prompt;
    const char* tip;
};

const std::map<int, Prompt>& Prompts() {
    static const std::map<int, Prompt> table = {
        {FileNew, {"Create a new page", "New File"}},
        {FileOpen, {"Open an existing file", "Open File"}},
        {FileClose, {"Close the active document", "Close"}},
        {FileSave, {"Save the active document", "Save"}},
        {FileSaveAs, {"Save the active document with a new name", "Save As"}},
        {SaveAll, {"Save all modified documents", "Save All"}},
        {CloseAll, {"Close all documents", "Close All"}},
        {NewProject, {"Create a new project", "New Project"}},
        {OpenProject, {"Open an existing project", "Open Project"}},
        {CloseProject, {"Close the current project", "Close Project"}},
        {FilePageSetup, {"Change the printing options", "Page Setup"}},
        {FilePrintSetup, {"Change the printer and printing options", "Print Setup"}},
        {FilePrint, {"Print the active document", "Print"}},
        {FilePrintPreview, {"Display full pages", "Print Preview"}},
        {AppExit, {"Quit the application; prompts to save documents", "Exit"}},
        {AppAbout, {"Display program information, version number and copyright", "About"}},
        {kUndo, {"Undo the last action", "Undo"}},
        {kRedo, {"Redo the previously undone action", "Redo"}},
        {kUndoAll, {"Undo all", "Undo all"}},
        {kRedoAll, {"Redo all", "Redo all"}},
        {kCut, {"Cut the selection and put it on the Clipboard", "Cut"}},
        {kCopy, {"Copy the selection and put it on the Clipboard", "Copy"}},
        {kPaste, {"Insert Clipboard contents", "Paste"}},
        {kDelete, {"Erase the selection", "Delete"}},
        {kSelectAll, {"Select the entire document", "Select All"}},
        {EditFind, {"Find the specified text", "Find"}},
        {EditFindNextMenu, {"Repeat the last action", "Repeat"}},
        {EditReplace, {"Replace specific text with different text", "Replace"}},
        {ListMembers, {"Brings up the pop-up completion list box", "List Members"}},
        {ParameterInfo, {"Provide help with parameters of function", "Function Parameter Info"}},
        {OpenIncludedFile, {"Open the file named by the include directive at the caret", "Open Included File"}},
        {GotoDefinition, {"Goto the definition of the name at the caret", "Goto Define"}},
        {ViewProjectBar, {"Show or hide the project bar", "Toggle project bar"}},
        {ViewFilesBar, {"Show or hide the open-files bar", "Toggle files bar"}},
        {ViewOutputBar, {"Show or hide the output bar", "Toggle output bar"}},
        {ViewStandardBar, {"Show or hide the Standard tool bar", "Standard"}},
        {ViewInsertBar, {"Show or hide the Insert tool bar", "Insert"}},
        {ViewFormatBar, {"Show or hide the Format tool bar", "Format"}},
        {ViewStatusBar, {"Show or hide the status bar", "Toggle StatusBar"}},
        {ToolsOptions, {"Change the editor options", "Options"}},
        {PreviewInBrowser, {"Preview the page in the default browser", "Preview in Default Browser"}},
        {FormatHeader, {"Insert a heading", "Header"}},
        {InsertImage, {"Insert an image", "Image"}},
        {InsertLink, {"Insert a link around the selection", "Link"}},
        {InsertEmailLink, {"Insert an e-mail link around the selection", "Email Link"}},
        {InsertForm, {"Insert a form around the selection", "Form"}},
        {InsertTable, {"Insert a table", "Table"}},
        {InsertParagraph, {"Make the selection a paragraph", "Paragraph"}},
        {InsertLineBreak, {"Insert a line break", "Line Break"}},
        {InsertHorizontalLine, {"Insert a horizontal line", "Horizontal Line"}},
        {InsertNamedAnchor, {"Insert a named anchor", "Named Anchor"}},
        {InsertSpecialChars, {"Insert a special character", "Special Characters"}},
        {InsertComment, {"Make the selection a comment", "Comment"}},
        {InsertDateTime, {"Insert the date and time", "Date & Time"}},
        {FormatBold, {"Make the selection bold", "Bold"}},
        {FormatItalic, {"Make the selection italic", "Italic"}},
        {FormatUnderline, {"Underline the selection", "Underline"}},
        {FormatAlignLeft, {"Align the selection left", "Align Left"}},
        {FormatAlignCenter, {"Center the selection", "Center"}},
        {FormatAlignRight, {"Align the selection right", "Align Right"}},
        {FormatList, {"Insert a list", "List"}},
        {FormatFont, {"Set the font of the selection", "Font"}},
        {AspScriptBlock, {"Insert a server script block", "ASP Script Block"}},
        {AspIncludeFile, {"Insert an include directive", "Include File"}},
        {CheckForUpdates, {"Visit the web site for updates", "Check for Updates"}},
        {TechnicalSupport, {"Send a message to technical support", "Technical Support"}},
        {WindowNew, {"Open another window for the active document", "New Window"}},
        {WindowCascade, {"Arrange windows so they overlap", "Cascade Windows"}},
        {WindowTileHorz, {"Arrange windows as non-overlapping tiles", "Tile Windows"}},
        {WindowArrange, {"Arrange icons at the bottom of the window", "Arrange Icons"}},
        {kToggleBookmark, {"Toggle bookmark", "Toggle Bookmark"}},
        {kNextBookmark, {"Goto next bookmark", "Next Bookmark"}},
        {kPrevBookmark, {"Goto previous bookmark", "Previous Bookmark"}},
        {kClearBookmarks, {"Clear all Bookmarks", "Clear Bookmarks"}},
    };
    return table;
}

}  // namespace

std::span<const MenuEntry> MainMenu() { return kMainMenu; }

std::span<const MenuEntry> EditorContextMenu() { return kEditorContextMenu; }

std::span<const MenuEntry> DropDownMenu(int buttonId) {
    switch (buttonId) {
    case FileNew: return kNewMenu;
    case FileOpen: return kOpenMenu;
    case InsertForm: return kFormMenu;
    case FormatHeader: return kHeadingMenu;
    default: return {};
    }
}

std::span<const ToolBarDef> ToolBars() { return kToolBars; }

const char* CommandTip(int id) {
    auto it = Prompts().find(id);
    return it == Prompts().end() ? nullptr : it->second.tip;
}

const char* CommandPrompt(int id) {
    auto it = Prompts().find(id);
    return it == Prompts().end() ? nullptr : it->second.prompt;
}

}  // namespace tarnwell
