#include "project/ProjectBar.h"

#include "app/CEditorApp.h"
#include "app/ProjectLink.h"
#include "project/CProjectTree.h"

#include <QDockWidget>

namespace tarnwell {

CProjectBarContent::CProjectBarContent(CEditorApp& app, Profile& profile, QWidget* parent)
    : QTabWidget(parent), app_(app), tree_(new CProjectTree(profile, this)) {
    setObjectName(QStringLiteral("ProjectTabs"));
    setTabPosition(QTabWidget::South);
    setDocumentMode(true);
    addTab(tree_, QStringLiteral(" Files "));
    CProjectTree::Hooks hooks;
    hooks.pathChanged = [&app](const std::string& oldPath, const std::string& newPath) {
        app.Project().PathChanged(oldPath, newPath);
    };
    hooks.reloadProject = [&app] {
        if (app.Project().IsOpen()) app.Project().ReloadProject();
    };
    hooks.projectProperties = [&app] {
        if (CProject* project = app.ProjectModel()) project->EditProperties();
    };
    hooks.templatesFolder = [&app] { return app.DataFolder(QStringLiteral("Templates")); };
    tree_->SetHooks(std::move(hooks));
    connect(tree_, &CProjectTree::ShowRequested, this, &CProjectBarContent::ShowFilesTab);
    // The project model fills and clears the tree as projects open and close, and shows saved files.
    if (CProject* project = app.ProjectModel()) project->SetTree(tree_);
}

CProjectBarContent::~CProjectBarContent() {
    if (CProject* project = app_.ProjectModel()) project->SetTree(nullptr);
}

void CProjectBarContent::ShowFilesTab() {
    for (QWidget* p = parentWidget(); p; p = p->parentWidget()) {
        if (auto* bar = qobject_cast<QDockWidget*>(p)) {
            bar->show();
            bar->raise();
            break;
        }
    }
    setCurrentIndex(0);
}

bool CProjectBarContent::LocateFile(const QString& path) {
    const ExplorerItem* item = tree_->Locate(ExplorerModel::FromQt(path), false);
    if (!item) return false;
    tree_->SelectOnly(item);
    ShowFilesTab();
    tree_->setFocus();
    return true;
}

}  // namespace tarnwell
