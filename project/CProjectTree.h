// The project explorer: the "Project" bar's tree of the project folder, where files are opened,
// created, renamed, deleted (to the desktop's trash), copied and moved by drag and drop, and found by
// name. The tree's contents live in the engine's ExplorerTree; this view shows them and runs the
// commands of its context menu.
#pragma once

#include "project/CFindFileDialog.h"
#include "project/CProject.h"
#include "project/ExplorerModel.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <memory>
#include <string>

class QLineEdit;
class QMenu;

namespace tarnwell {

class Profile;

namespace explorer_cmd {
enum : int {
    NewFile = 32803,
    NewFolder = 32804,
    FindFiles = 37252,
    Open = 32802,
    Rename = 32807,
    Delete = 32805,
    SortByName = 37254,  // ... SortByName + 3 is Time
    Ascend = 37258,
    AllowDocking = 32811,
    Hide = 32812,
    Reload = 37268,
    Properties = 32806,
    Refresh = 37269,
};
}  // namespace explorer_cmd

class CProjectTree : public QTreeView, public ProjectTree {
    Q_OBJECT
public:
    // What the explorer asks of the rest of the program. Unset hooks fall back to: opening through
    // the table of file types, no path tracking, no reload, a beep.
    struct Hooks {
        std::function<void(const QString& path)> open;
        std::function<void(const std::string& oldPath, const std::string& newPath)> pathChanged;
        std::function<void()> reloadProject;
        std::function<void()> projectProperties;
        std::function<QString()> templatesFolder;
    };

    // Sort settings are read from "Project Tree" now and written back when the tree is destroyed.
    CProjectTree(Profile& profile, QWidget* parent = nullptr);
    ~CProjectTree() override;

    void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }
    ExplorerModel& Model() { return *model_; }
    ExplorerTree& Tree() { return model_->Tree(); }
    const ExplorerTree& Tree() const { return model_->Tree(); }

    // Fills the tree from `folder`; `progress` is told 0..100 (one step per ten items). False when
    // the folder cannot be read.
    bool Fill(const std::string& folder, const std::function<void(int percent)>& progress = {}) override;
    // Labels the root item and expands it.
    void SetRootText(const QString& text) override;
    void Clear() override;
    // The item for a path in the project (with `createMissing`, items missing from the tree are
    // inserted when the file exists). Null when none.
    ExplorerItem* Locate(const std::string& path, bool createMissing);
    // Makes sure the tree shows the file (after a save into the project folder).
    void ShowFile(const std::string& path) override { Locate(path, true); }
    // Clears the selection, selects and focuses `item`, scrolls it into view.
    void SelectOnly(const ExplorerItem* item);

    QString FullPath(const ExplorerItem* item) const;
    ExplorerItem* FocusItem() const;
    // The selected items, in the order they were selected.
    QList<ExplorerItem*> SelectedItems() const;

    // The commands of the context menu (also reachable by their keys).
    bool UpdateCommand(int id, bool& enabled, bool& checked) const;
    void ExecuteCommand(int id);
    // The context menu as it would be shown now, pruned by the selection.
    std::unique_ptr<QMenu> BuildContextMenu();

    void OpenSelected();
    void NewItem(bool folder);
    void BeginRename(ExplorerItem* item);
    bool IsRenaming() const { return renaming_ != nullptr; }
    QLineEdit* RenameField() const { return editor_; }
    // Ends the rename: accepted (with the checks and their messages) or cancelled.
    bool AcceptRename();
    void CancelRename();
    void DeleteSelected();
    void Refresh();
    void SetSort(ExplorerSortKey key, bool ascending);
    void ShowFindFile();
    CFindFileDialog* FindFileDialog() const { return findDialog_; }
    // Copies or moves files and folders into a folder item, as a drop does.
    void DropPaths(const QStringList& paths, ExplorerItem* target, bool copy);
    // Whether items can be deleted to the desktop's trash here.
    static bool TrashAvailable();

signals:
    // The tree asks its bar to show its tab ("Project" bar, first tab).
    void ShowRequested();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void keyboardSearch(const QString& text) override;
    void startDrag(Qt::DropActions actions) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    ExplorerItem* DropTarget(const QPoint& pos, const QStringList& paths) const;
    void OpenPath(const QString& path);
    void Properties();
    void EndRename(bool restore);
    bool DeleteItem(ExplorerItem* item, bool toTrash);
    QString TemplatePath() const;

    Profile& profile_;
    ExplorerModel* model_;
    Hooks hooks_;
    QPointer<CFindFileDialog> findDialog_;
    // Rename in place.
    ExplorerItem* renaming_ = nullptr;
    QLineEdit* editor_ = nullptr;
    std::string oldName_;
    bool inRenameCheck_ = false;
    QTimer slowClick_;
    QPersistentModelIndex slowClickIndex_;
    // Type-ahead.
    QString search_;
    QElapsedTimer lastKey_;
};

}  // namespace tarnwell
