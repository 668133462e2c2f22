// The outline tab of the "Project" bar: the global procedures and variables of the page in the active
// editor window, and the files it includes with their procedures. Double click or "Goto Define" moves
// the caret to the definition (opening an included file first).
#pragma once

#include <QTimer>
#include <QTreeWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarnwell {

class CChildFrame;
class CVeskDoc;
class LineSource;
class OutlineEntry;
class ScriptOutline;
class OutlineSource;
class OutlineStore;
class Profile;

class COutlineTree : public QTreeWidget {
    Q_OBJECT

public:
    enum SortMode : int { SortByLocation = 0, SortByName = 1 };
    enum : int { kGotoDefineId = 37269, kSortLocationId = 37272, kSortNameId = 37273 };
    // Item data roles: the line of the definition, and the file that holds it (empty: the page).
    enum : int { LineRole = Qt::UserRole, FileRole = Qt::UserRole + 1 };

    // The entries of a group, in outline order, and their names.
    struct ShownEntries {
        std::vector<std::string> names;
        std::vector<OutlineEntry*> items;
    };

    struct Hooks {
        std::function<CChildFrame*()> activeChild;
        // Opens a file in an editor window (or activates it) and answers its window.
        std::function<CChildFrame*(const std::string& path)> openFile;
    };

    // Reads the sort mode from "Outline\Sort by".
    COutlineTree(Profile& profile, Hooks hooks, QWidget* parent = nullptr);
    // Writes the sort mode back.
    ~COutlineTree() override;

    SortMode Sort() const { return sort_; }
    void SetSort(SortMode mode);
    // Rebuilds the items from the active document.
    void RefreshOutlineTree();
    // Rebuilds the items from a page's outline (rebuilt from text first when it needs it).
    void ShowOutline(OutlineStore& store, OutlineSource& source, const LineSource& text);
    // The idle check: a switch of document refreshes at once; edits of the shown one restart the
    // 500 ms timer, but only when its change count moved since the last check.
    void OutlineIdleCheck();
    // Goes to the selected entry; false (with a beep) when it is a group or cannot be reached.
    bool GotoDefine();
    // The context menu of the item at a point of the viewport (or of the selection).
    QMenu* BuildContextMenu();

protected:
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // An include as last shown: its path, whether it was found, and the outline (and its generation)
    // its procedures came from.
    struct IncludeShown {
        std::string path;
        const ScriptOutline* outline = nullptr;
        std::uint32_t generation = 0;
        bool found = false;
        // Generations are never reused, so the outline's address need not match.
        bool operator==(const IncludeShown& o) const {
            return path == o.path && generation == o.generation && found == o.found;
        }
    };

    QTreeWidgetItem* Group(int index, const QString& text);
    void FillIncludes(QTreeWidgetItem* group, const ScriptOutline& outline, const std::vector<IncludeShown>& found);

    Profile& profile_;
    Hooks hooks_;
    SortMode sort_ = SortByLocation;
    CVeskDoc* shown_ = nullptr;
    std::uint32_t seenChanges_ = 0;
    ShownEntries shownFunctions_;
    ShownEntries shownVariables_;
    std::vector<IncludeShown> shownIncludes_;
    std::vector<std::string> shownIncludeNames_;
    SortMode shownSort_ = SortByLocation;
    QTimer idle_;
    QTimer refresh_;
};

}  // namespace tarnwell
