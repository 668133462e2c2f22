// The main window: menus, tool bars, status bar, docking bars around the MDI area, the window layout
// kept in the settings, and the command-target chain that every action is routed through.
#pragma once

#include "text/CommandTarget.h"
#include "ui/COpenFilesBar.h"
#include "ui/CSizingControlBar.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <vector>

class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMenu;
class QProgressBar;
class QToolBar;

namespace tarnwell {

class CChildFrame;
class CEditorApp;
class CProjectBarContent;
class COutlineTree;
class Profile;
struct MenuEntry;

class CMainFrame : public QMainWindow, public CCmdTarget {
    Q_OBJECT
public:
    // Section and value names of the stored layout.
    static constexpr const char* kPlacementSection = "Windows\\MainFrame";
    static constexpr const char* kDockSection = "ToolBars\\DockBar";
    // The tool bars' button layouts: "Standard", "Insert", "Format", and each with "-org" for Reset.
    static constexpr const char* kCustomizeSection = "ToolBars\\Customize";

    CMainFrame(CEditorApp& app, Profile& profile);
    ~CMainFrame() override;

    // Builds menus, bars and docks, restores the layout and places the window (not shown yet).
    // Answers the show state: true when the window is to be shown maximized.
    bool Create();

    QMdiArea* MdiArea() const { return mdi_; }
    CChildFrame* ActiveChild() const;
    QAction* Action(int id) const { return actions_.value(id); }
    QToolBar* ToolBar(int index) const { return toolBars_.value(index); }
    CSizingControlBar* ProjectBar() const { return projectBar_; }
    // The outline tab of the "Project" bar.
    COutlineTree* OutlineTree() const { return outlineTree_; }
    CSizingControlBar* OutputBar() const { return outputBar_; }
    // The "Project" bar's contents: the explorer tree under its " Files " tab.
    CProjectBarContent* ProjectContent() const { return projectContent_; }
    COpenFilesBar* FilesBar() const { return filesBar_; }
    QMenu* ViewMenu() const { return viewMenu_; }
    QMenu* WindowMenu() const { return windowMenu_; }
    // The menu the code-page pane of the status bar opens: Reopen with Encoding, Save with Encoding.
    QMenu* EncodingMenu() const { return encodingMenu_; }

    // The open-files bar: one button per document window, in creation order.
    void AddFileButton(QWidget* child, const QString& text);
    void RemoveFileButton(QWidget* child);
    void SetFileButtonText(QWidget* child, const QString& text);
    QString FileButtonText(QWidget* child) const;
    int FileButtonCount() const { return filesBar_->Strip()->Count(); }

    // The command-target chain: active view, its document, the child frame, this frame, the app.
    std::vector<CCmdTarget*> CommandChain() const;
    // Offers a command to the chain; answers whether some target carried it out.
    bool RouteCommand(int id);
    // Refreshes enabled/checked/text of every action and the status bar panes now.
    void UpdateCommands();
    // Asks for a refresh when the event loop is next idle.
    void RequestUpdate();

    // Status bar.
    void SetMessageText(const QString& text);
    QString PaneText(int indicatorId) const;
    void ShowProgress(int lowest, int highest);
    void StepProgress();
    void HideProgress(bool complete);
    QProgressBar* Progress() const { return progress_; }

    // The docking switch of the project and output bars ("Allow Docking").
    static bool IsDockable(const QDockWidget* bar);
    static void SetDockable(QDockWidget* bar, bool dockable);

    // Moves `rect` onto `screen` without changing its size; a rectangle larger than the screen keeps
    // its left (top) edge visible.
    static QRect ClampOntoScreen(QRect rect, const QRect& screen);

    // "Customize Toolbar" for tool bar `index` (also a double click on the bar).
    void CustomizeToolBar(int index);
    // The command ids of a tool bar's buttons, 0 for a separator.
    static std::vector<int> ToolBarLayout(const QToolBar* bar);

    // The hand-off: a minimized window comes back as it was before (maximized stays maximized) and
    // comes forward, with the desktop's activation token where the platform asks for one.
    void BringToFront(const QByteArray& activationToken = {});

    // Saves placement and bar layout (also done when the window closes).
    void SaveLayout();

    bool UpdateCommand(int id, CommandState& state) override;
    bool ExecuteCommand(int id) override;
    // The right-button menu over the bars.
    QMenu* createPopupMenu() override;
    // The editor view's context menu (built once), and showing it at a screen position.
    QMenu* EditorContextMenu();
    void ShowEditorContextMenu(QPoint globalPos);
    // A main-menu popup by its title ("&Insert", "Insert Server &Object ID"), or null.
    QMenu* Popup(const QString& title) const { return popups_.value(title); }

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void AttachOutlineTab();
    QWidget* BarOf(int viewCommand) const;  // the bar a View toggle shows and hides, or null
    QAction* MakeAction(int id, const MenuEntry& entry);
    // The one action of a menu item's command (made on first use).
    QAction* ActionFor(const MenuEntry& entry);
    void BuildMenus();
    void BuildToolBars();
    void FillToolBar(QToolBar* bar, const std::vector<int>& ids);
    QMenu* DropMenu(int id);
    void SaveToolBarLayouts();
    void BuildStatusBar();
    void BuildDocks();
    void RestoreLayout();
    bool LoadPlacement();
    QString BarNames() const;
    void FillWindowList();
    void ShowHeadingMenu();
    void UpdateAction(const std::vector<CCmdTarget*>& chain, int id, QAction* a);
    void FillServerObjectMenu(QMenu* menu);
    void OnNewProject();
    void OnOpenProject();
    // One item per entry of the recent list; the first item is the table's placeholder ("None").
    void SyncRecentMenu(int firstId, QMenu* menu);

    CEditorApp& app_;
    Profile& profile_;
    QMdiArea* mdi_ = nullptr;
    QHash<int, QAction*> actions_;
    QList<QPair<int, QAction*>> extraActions_;  // drop-down menu items with texts of their own
    QList<QToolBar*> toolBars_;
    COpenFilesBar* filesBar_ = nullptr;
    CSizingControlBar* projectBar_ = nullptr;
    CSizingControlBar* outputBar_ = nullptr;
    CProjectBarContent* projectContent_ = nullptr;
    COutlineTree* outlineTree_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMenu* headingMenu_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QHash<QString, QMenu*> popups_;
    QHash<int, QMenu*> dropMenus_;
    QMenu* windowMenu_ = nullptr;
    QMenu* encodingMenu_ = nullptr;
    QList<QAction*> windowListActions_;
    QHash<int, QMenu*> recentMenus_;      // by the first id of their list
    QHash<int, QAction*> recentActions_;  // entries after the first (the first is the menu's placeholder)
    QLabel* message_ = nullptr;
    QHash<int, QLabel*> panes_;
    QProgressBar* progress_ = nullptr;
    QTimer idle_;
    QTimer heartbeat_;
    QPointer<QWidget> savedFocus_;
    bool layoutSaved_ = false;
    bool restoreMaximized_ = false;  // maximized the last time it was not minimized
};

}  // namespace tarnwell
