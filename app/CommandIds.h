// Command ids of the application shell and of the menu commands other subsystems serve. Every menu
// item, tool button and accelerator is a QAction keyed by one of these numbers. The edit view's own
// ids (cursor, editing, bookmarks, undo) live in the text folder's header.
#pragma once

// The find, print and status bar pane ids are the views' (text/EditCommandIds.h).
#include "text/EditCommandIds.h"

namespace tarnwell::cmd {

// File commands (application, document, main frame).
enum : int {
    FileNew = 57600,
    FileOpen = 57601,
    FileClose = 57602,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrintSetup = 57606,
    AppExit = 57665,
    AppAbout = 57664,
    SaveAll = 37347,
    CloseAll = 32817,
    NewProject = 32790,
    OpenProject = 32785,
    CloseProject = 32788,
    CheckForUpdates = 165,
    TechnicalSupport = 166,
    RecentProjectFirst = 50000,
    RecentFileFirst = 50016,
};

// View and bars.
enum : int {
    ViewProjectBar = 32791,
    ViewFilesBar = 32792,
    ViewOutputBar = 32793,
    ViewStandardBar = 37318,
    ViewInsertBar = 37316,
    ViewFormatBar = 37317,
    ViewStatusBar = 59393,
    ToolsOptions = 37274,
    LocateInProject = 37267,
    PreviewInBrowser = 169,
    NextPane = 57680,
    PrevPane = 57681,
    // One command per code page, in the order of kCodePages (text/CodePage.h).
    ReopenWithEncodingFirst = 37430,
    SaveWithEncodingFirst = 37440,
};

// Windows.
enum : int {
    WindowNew = 57648,
    WindowArrange = 57649,
    WindowCascade = 57650,
    WindowTileHorz = 57651,
    WindowTileVert = 57652,
};

// Commands served by other subsystems, named here because menus, tool bars and accelerators carry them.
enum : int {
    EditDeleteLine = 37349,
    // Insert menu.
    InsertImage = 37205,
    InsertLink = 37207,
    InsertEmailLink = 37250,
    InsertForm = 37251,
    InsertTextField = 37213,
    InsertTextArea = 37275,
    InsertButton = 37241,
    InsertCheckBox = 37242,
    InsertRadioButton = 37243,
    InsertListBox = 37244,
    InsertFileField = 37245,
    InsertImageField = 37246,
    InsertHiddenField = 37247,
    InsertTable = 37249,
    InsertParagraph = 37216,
    InsertLineBreak = 37217,
    InsertHorizontalLine = 37214,
    InsertNamedAnchor = 37219,
    InsertSpecialChars = 37233,
    InsertComment = 37234,
    InsertDateTime = 37240,
    // Format menu.
    FormatBold = 37283,
    FormatItalic = 37284,
    FormatUnderline = 37285,
    FormatAlignLeft = 37286,
    FormatAlignCenter = 37287,
    FormatAlignRight = 37288,
    FormatList = 37220,
    FormatHeading1 = 37226,  // ... FormatHeading1 + 5 is Heading 6
    FormatHeader = 37309,    // the Format tool bar's "Header" drop-down button
    FormatFont = 57696,
    // ASP menu.
    AspScriptBlock = 37328,
    AspNetScriptBlock = 37329,
    AspIncludeFile = 37326,
    ServerObjectFirst = 50100,  // 50100 ... 50199
    ServerObjectCustomize = 37338,
};

}  // namespace tarnwell::cmd
