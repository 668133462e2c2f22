// The main menu, the tool bars and the accelerator table as data: what the main frame builds its
// actions, menus and tool bars from.
#pragma once

#include <span>

namespace tarnwell {

struct MenuEntry {
    enum Kind { Item, Separator, Popup, End };
    Kind kind;
    int id;                // command id (Item); 0 otherwise
    const char* text;      // menu text; "&" marks the mnemonic, "\t" starts the shown shortcut hint
    const char* shortcut;  // accelerator bound to the command (QKeySequence text), or null
};

// The menu bar: Popup ... End brackets nest.
std::span<const MenuEntry> MainMenu();

// The editor view's context menu. A popup without items stands for the main-menu popup of the same
// title.
std::span<const MenuEntry> EditorContextMenu();

// Drop-down menus of tool buttons (New File, Open File, Form, Header): Popup ... End, one popup each.
std::span<const MenuEntry> DropDownMenu(int buttonId);

struct ToolBarDef {
    const char* title;     // "Standard", "Insert", "Format"
    const char* objectName;
    int toggleId;          // the View command that shows and hides it
    std::span<const int> buttons;  // command ids; 0 is a separator
};
std::span<const ToolBarDef> ToolBars();

// Tool tip of a command: the text after the line feed of its prompt, or the menu text without "&".
const char* CommandTip(int id);
// Status prompt of a command (first part of its prompt), or null.
const char* CommandPrompt(int id);

}  // namespace tarnwell
