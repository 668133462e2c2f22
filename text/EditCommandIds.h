// Command ids of the text and edit views. Menus, tool buttons and accelerators use these numbers; the
// view's key table maps keys to them, and CCrystalTextView::UpdateCommand/ExecuteCommand serve them.
#pragma once

namespace tarnwell::cmd {

// Cursor movement; the odd id of each pair is the Shift (extend selection) form.
enum : int {
    CharLeft = 37100, ExtCharLeft = 37101,
    CharRight = 37102, ExtCharRight = 37103,
    WordLeft = 37104, ExtWordLeft = 37105,
    WordRight = 37106, ExtWordRight = 37107,
    LineUp = 37108, ExtLineUp = 37109,
    LineDown = 37110, ExtLineDown = 37111,
    ScrollUp = 37112,
    ScrollDown = 37113,
    PageUp = 37114, ExtPageUp = 37115,
    PageDown = 37116, ExtPageDown = 37117,
    LineEnd = 37118, ExtLineEnd = 37119,
    Home = 37120, ExtHome = 37121,
    TextBegin = 37122, ExtTextBegin = 37123,
    TextEnd = 37124, ExtTextEnd = 37125,
    SelectAll = 57642,
};

// Bookmarks.
enum : int {
    ToggleBookmark = 37200,
    NextBookmark = 37201,
    PrevBookmark = 37202,
    ClearAllBookmarks = 37203,
};

// Editing.
enum : int {
    Undo = 57643,
    Redo = 57644,
    UndoAll = 32772,
    RedoAll = 32773,
    Cut = 57635,
    Copy = 57634,
    Paste = 57637,
    Delete = 32771,
    DeleteBack = 37001,   // Backspace
    Indent = 37003,       // Tab
    Unindent = 37004,     // Shift+Tab
    ToggleOverwrite = 37005,
};

// Find and replace, served by the find dialogs on behalf of the view (text/FindDialog.h).
enum : int {
    EditFind = 57636,
    EditFindNext = 57640,    // F3
    EditFindNextMenu = 168,  // the Edit menu's "Find Next"
    EditReplace = 57641,
};

// Printing, served by the view's print commands (text/ViewPrint.h); Page Setup by the application.
enum : int {
    FilePageSetup = 57605,
    FilePrint = 57607,
    FilePrintDirect = 57608,
    FilePrintPreview = 57609,
};

// Status bar panes: the active view fills them through the update call (CommandState::text).
enum : int {
    IndicatorPosition = 32774,   // "Ln %d, Col %d"
    IndicatorLineEnd = 32775,    // "DOS", "MAC", "UNIX"
    IndicatorOverwrite = 59140,  // "OVR" in overwrite mode
    IndicatorCaps = 59137,
    IndicatorEncoding = 37450,   // the code page: "windows-1252", "declared utf-8, read as windows-1252"
};

// Code help of the page editor.
enum : int {
    ListMembers = 32780,
    ParameterInfo = 32781,
    OpenIncludedFile = 37460,
    GotoDefinition = 37461,
};

}  // namespace tarnwell::cmd
