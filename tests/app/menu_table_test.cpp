// The menu and tool bar tables the main frame is built from.
#include "app/CommandIds.h"
#include "app/MenuTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace tarnwell;

TEST(MenuTable, PopupsAreBalancedAndItemsHaveIds) {
    int depth = 0;
    for (const MenuEntry& e : MainMenu()) {
        if (e.kind == MenuEntry::Popup) ++depth;
        if (e.kind == MenuEntry::End) --depth;
        ASSERT_GE(depth, 0);
        if (e.kind == MenuEntry::Item) EXPECT_NE(e.id, 0);
    }
    EXPECT_EQ(depth, 0);
}

TEST(MenuTable, EveryToolButtonHasACommandInTheMenus) {
    std::set<int> ids;
    for (const MenuEntry& e : MainMenu())
        if (e.kind == MenuEntry::Item) ids.insert(e.id);
    for (const ToolBarDef& bar : ToolBars()) {
        for (int id : bar.buttons) {
            if (id == 0 || id == cmd::FormatHeader) continue;
            EXPECT_TRUE(ids.count(id)) << bar.title << " button " << id;
        }
    }
    for (int id : {int(cmd::FileNew), int(cmd::FileOpen), int(cmd::InsertForm), int(cmd::FormatHeader)}) {
        EXPECT_FALSE(DropDownMenu(id).empty()) << id;
        for (const MenuEntry& e : DropDownMenu(id))
            if (e.kind == MenuEntry::Item) EXPECT_TRUE(ids.count(e.id)) << "drop-down item " << e.id;
    }
}

TEST(MenuTable, AcceleratorsOfTheMainTableAreBound) {
    // Each key of the main accelerator table is bound exactly once.
    const std::pair<const char*, int> table[] = {
        {"Ctrl+F", cmd::EditFind},        {"F3", cmd::EditFindNextMenu},     {"Ctrl+R", cmd::EditReplace},
        {"Ctrl+M", cmd::ListMembers},     {"Ctrl+I", cmd::ParameterInfo},    {"Ctrl+N", cmd::FileNew},
        {"Ctrl+O", cmd::FileOpen},        {"Ctrl+P", cmd::FilePrint},        {"Ctrl+S", cmd::FileSave},
        {"Ctrl+Alt+F", cmd::InsertForm},  {"Ctrl+Alt+I", cmd::InsertImage},  {"Ctrl+Alt+L", cmd::InsertLink},
        {"Ctrl+Alt+T", cmd::InsertTable}, {"F6", cmd::NextPane},             {"Shift+F6", cmd::PrevPane},
        {"F12", cmd::PreviewInBrowser},   {"Ctrl+L", cmd::EditDeleteLine},   {"Ctrl+Shift+N", cmd::NewProject},
        {"Ctrl+Shift+O", cmd::OpenProject},
    };
    std::set<std::string> seen;
    for (const MenuEntry& e : MainMenu()) {
        if (e.kind != MenuEntry::Item || !e.shortcut) continue;
        EXPECT_TRUE(seen.insert(e.shortcut).second) << "bound twice: " << e.shortcut;
    }
    for (const auto& [key, id] : table) {
        bool found = false;
        for (const MenuEntry& e : MainMenu())
            if (e.kind == MenuEntry::Item && e.id == id && e.shortcut && std::string(e.shortcut) == key) found = true;
        EXPECT_TRUE(found) << key;
    }
    // The editor's own keys are hints only, so they do not take keys away from the editor view.
    for (const MenuEntry& e : MainMenu()) {
        if (e.kind == MenuEntry::Item && (e.id == 57643 || e.id == 57635 || e.id == 37200))
            EXPECT_EQ(e.shortcut, nullptr) << e.id;
    }
}
