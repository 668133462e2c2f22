// The contents of the "Project" bar: a tab strip whose first tab, " Files ", holds the project
// explorer. The bar itself (docking, size, title) belongs to the main frame.
#pragma once

#include <QTabWidget>

namespace tarnwell {

class CEditorApp;
class CProjectTree;
class Profile;

class CProjectBarContent : public QTabWidget {
    Q_OBJECT
public:
    // The tree's hooks go to `app`: opening files, telling the project model of renames and moves,
    // reloading the project, the templates folder.
    CProjectBarContent(CEditorApp& app, Profile& profile, QWidget* parent = nullptr);
    ~CProjectBarContent() override;

    CProjectTree* Tree() const { return tree_; }
    // Shows the bar that holds this (and the bar's tab strip at its first tab).
    void ShowFilesTab();
    // "Locate in Project Explorer": selects the item of `path` without creating missing items, shows
    // the bar and focuses the tree. False when the tree has no such item.
    bool LocateFile(const QString& path);

private:
    CEditorApp& app_;
    CProjectTree* tree_;
};

}  // namespace tarnwell
