#include "app/CMainFrame.h"

#include "app/CChildFrame.h"
#include "app/CEditorApp.h"
#include "app/CMruFileManager.h"
#include "app/CEditorDocManager.h"
#include "app/CVeskDoc.h"
#include "app/CommandIds.h"
#include "app/MenuTable.h"
#include "app/OutlineTree.h"
#include "app/OptionsSheet.h"
#include "app/ProjectLink.h"
#include "project/CProject.h"
#include "project/CProjectSheet.h"
#include "project/NewProject.h"
#include "app/ToolIcons.h"
#include "html/ServerObjectsDialog.h"
#include "platform/Profile.h"
#include "project/CProjectTree.h"
#include "project/ProjectBar.h"
#include "ui/CSizingControlBar.h"
#include "ui/KeyboardState.h"
#include "ui/ToolBarCustomize.h"
#include "ui/ToolBarLayout.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindowStateChangeEvent>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tarnwell {

namespace {

constexpr int kStateVersion = 1;

QString Qs(const char* s) { return QString::fromUtf8(s); }

// "&Open File...\tCtrl+O" -> "Open File"
QString PlainText(QString text) {
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0) text.truncate(tab);
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    if (text.endsWith(QStringLiteral("..."))) text.chop(3);
    return text;
}

}  // namespace

CMainFrame::CMainFrame(CEditorApp& app, Profile& profile) : app_(app), profile_(profile) {
    setObjectName(QStringLiteral("MainFrame"));
    // A maximized document window adds " - [its caption]" to this title.
    setWindowTitle(QStringLiteral("Tarnwell"));
    setWindowIcon(AppIcon());
    idle_.setSingleShot(true);
    idle_.setInterval(0);
    connect(&idle_, &QTimer::timeout, this, &CMainFrame::UpdateCommands);
    // Changes that reach no input event (timers, the hand-off) still show within half a second.
    heartbeat_.setInterval(500);
    connect(&heartbeat_, &QTimer::timeout, this, &CMainFrame::UpdateCommands);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    // The options live as long as the main frame.
    COptionsSheet::Release();
}

bool CMainFrame::Create() {
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("MdiArea"));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { RequestUpdate(); });

    BuildMenus();
    BuildToolBars();
    BuildStatusBar();
    BuildDocks();
    AttachOutlineTab();
    RestoreLayout();
    // The output bar starts hidden, whatever it was when the program closed.
    outputBar_->hide();
    const bool maximized = LoadPlacement();

    qApp->installEventFilter(this);
    heartbeat_.start();
    UpdateCommands();
    return maximized;
}

QAction* CMainFrame::MakeAction(int id, const MenuEntry& entry) {
    auto* a = new QAction(entry.text ? Qs(entry.text) : QString(), this);
    a->setData(id);
    if (entry.shortcut) a->setShortcut(QKeySequence(Qs(entry.shortcut)));
    if (const char* prompt = CommandPrompt(id)) a->setStatusTip(Qs(prompt));
    const char* tip = CommandTip(id);
    a->setToolTip(tip ? Qs(tip) : PlainText(a->text()));
    a->setIcon(ToolIcon(id));
    a->setIconVisibleInMenu(false);
    connect(a, &QAction::triggered, this, [this, id] { RouteCommand(id); });
    return a;
}

QAction* CMainFrame::ActionFor(const MenuEntry& entry) {
    QAction* a = actions_.value(entry.id);
    if (!a) {
        a = MakeAction(entry.id, entry);
        actions_.insert(entry.id, a);
    }
    return a;
}

void CMainFrame::BuildMenus() {
    std::vector<QMenu*> stack;
    QMenu* hidden = nullptr;  // holder of accelerators without a menu item
    for (const MenuEntry& e : MainMenu()) {
        switch (e.kind) {
        case MenuEntry::Popup: {
            QMenu* m = nullptr;
            if (!e.text) {
                hidden = new QMenu(this);
                m = hidden;
            } else if (stack.empty()) {
                m = menuBar()->addMenu(Qs(e.text));
            } else {
                m = stack.back()->addMenu(Qs(e.text));
            }
            connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
            if (e.text) popups_.insert(Qs(e.text), m);
            if (e.text && Qs(e.text) == QStringLiteral("Insert Server &Object ID")) {
                // Rebuilt from the list every time it opens.
                connect(m, &QMenu::aboutToShow, this, [this, m] { FillServerObjectMenu(m); });
            }
            if (stack.empty() && e.text && Qs(e.text) == QStringLiteral("&View")) viewMenu_ = m;
            if (stack.empty() && e.text && Qs(e.text) == QStringLiteral("&Window")) windowMenu_ = m;
            if (!stack.empty() && e.text && QByteArray(e.text).contains("with Encoding")) {
                if (!encodingMenu_) encodingMenu_ = new QMenu(this);
                encodingMenu_->addMenu(m);
            }
            stack.push_back(m);
            break;
        }
        case MenuEntry::End: stack.pop_back(); break;
        case MenuEntry::Separator: stack.back()->addSeparator(); break;
        case MenuEntry::Item: {
            QAction* a = ActionFor(e);
            if (e.id == cmd::RecentProjectFirst || e.id == cmd::RecentFileFirst) recentMenus_.insert(e.id, stack.back());
            if (stack.back() == hidden) {
                addAction(a);  // window-wide accelerator
            } else {
                stack.back()->addAction(a);
            }
            break;
        }
        }
    }
    if (windowMenu_) connect(windowMenu_, &QMenu::aboutToShow, this, &CMainFrame::FillWindowList);
    if (encodingMenu_) connect(encodingMenu_, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
    // One code page at a time: the document's own is marked like a radio button.
    for (int first : {cmd::ReopenWithEncodingFirst, cmd::SaveWithEncodingFirst}) {
        auto* group = new QActionGroup(this);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        for (int i = 0; i < int(std::size(kCodePages)); ++i) {
            if (QAction* a = actions_.value(first + i)) {
                const QString label = QString::fromLatin1(CodePageLabel(kCodePages[i]));
                a->setText(label);
                a->setToolTip(label);
                group->addAction(a);
            }
        }
    }

    // The Format tool bar's "Header" button has no menu item; its heading menu is menu 162.
    MenuEntry header{MenuEntry::Item, cmd::FormatHeader, "Header", nullptr};
    actions_.insert(cmd::FormatHeader, MakeAction(cmd::FormatHeader, header));
}

void CMainFrame::BuildToolBars() {
    const bool narrow = [] {
        QScreen* s = QGuiApplication::primaryScreen();
        return s && s->geometry().width() < 1024;
    }();
    int index = 0;
    for (const ToolBarDef& def : ToolBars()) {
        auto* bar = new QToolBar(Qs(def.title), this);
        bar->setObjectName(Qs(def.objectName));
        bar->setIconSize(QSize(16, 16));
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        bar->setAllowedAreas(Qt::AllToolBarAreas);
        // A double click on the bar customizes it.
        bar->installEventFilter(this);
        // The initial layout is kept for Reset; a customized one replaces it on the bar.
        const std::string name = def.title;
        const std::vector<int> initial(def.buttons.begin(), def.buttons.end());
        profile_.WriteBinary(kCustomizeSection, name + "-org", EncodeToolBarLayout(initial));
        const auto stored = profile_.GetBinary(kCustomizeSection, name);
        const auto layout = stored ? DecodeToolBarLayout(*stored, def.buttons) : std::nullopt;
        FillToolBar(bar, layout ? *layout : initial);
        // Format goes to a row of its own on a screen narrower than 1024 pixels.
        if (index == 2 && narrow) addToolBarBreak(Qt::TopToolBarArea);
        addToolBar(Qt::TopToolBarArea, bar);
        toolBars_.append(bar);
        ++index;
    }
    headingMenu_ = new QMenu(this);
    for (const MenuEntry& e : DropDownMenu(cmd::FormatHeader)) {
        if (e.kind == MenuEntry::Item) headingMenu_->addAction(actions_.value(e.id));
    }
}

QMenu* CMainFrame::DropMenu(int id) {
    if (QMenu* m = dropMenus_.value(id)) return m;
    auto drop = DropDownMenu(id);
    if (drop.empty() || id == cmd::FormatHeader) return nullptr;
    auto* menu = new QMenu(this);
    for (const MenuEntry& e : drop) {
        if (e.kind == MenuEntry::Item) {
            QAction* item = MakeAction(e.id, e);
            item->setIcon(QIcon());
            menu->addAction(item);
            extraActions_.append({e.id, item});
        } else if (e.kind == MenuEntry::Separator) {
            menu->addSeparator();
        }
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
    dropMenus_.insert(id, menu);
    return menu;
}

void CMainFrame::FillToolBar(QToolBar* bar, const std::vector<int>& ids) {
    bar->clear();
    for (int id : ids) {
        if (id == 0) {
            bar->addSeparator();
            continue;
        }
        QAction* a = actions_.value(id);
        if (!a) continue;
        bar->addAction(a);
        if (QMenu* menu = DropMenu(id)) {
            if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a))) {
                button->setMenu(menu);
                button->setPopupMode(QToolButton::MenuButtonPopup);
            }
        }
    }
}

std::vector<int> CMainFrame::ToolBarLayout(const QToolBar* bar) {
    std::vector<int> ids;
    for (QAction* a : bar->actions()) ids.push_back(a->isSeparator() ? 0 : a->data().toInt());
    return ids;
}

void CMainFrame::CustomizeToolBar(int index) {
    QToolBar* bar = toolBars_.value(index);
    if (!bar) return;
    const ToolBarDef& def = ToolBars()[size_t(index)];
    const std::vector<int> all(def.buttons.begin(), def.buttons.end());
    CToolBarCustomizeDialog dialog(
        bar->windowTitle(), ToolBarLayout(bar), all, all,
        [this](int id, QIcon& icon, QString& text) {
            if (QAction* a = actions_.value(id)) {
                icon = a->icon();
                text = a->toolTip();
            }
        },
        this);
    dialog.exec();
    const std::vector<int> layout = dialog.Layout();
    if (layout == ToolBarLayout(bar)) return;
    FillToolBar(bar, layout);
    SaveToolBarLayouts();
}

void CMainFrame::SaveToolBarLayouts() {
    // Only a customized bar keeps a layout, so buttons added by a later version show on the others.
    for (int i = 0; i < toolBars_.size(); ++i) {
        const ToolBarDef& def = ToolBars()[size_t(i)];
        const std::vector<int> layout = ToolBarLayout(toolBars_[i]);
        if (std::equal(layout.begin(), layout.end(), def.buttons.begin(), def.buttons.end())) {
            profile_.DeleteValue(kCustomizeSection, def.title);
        } else {
            profile_.WriteBinary(kCustomizeSection, def.title, EncodeToolBarLayout(layout));
        }
    }
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    message_ = new QLabel(QStringLiteral("Ready"), bar);
    message_->setObjectName(QStringLiteral("MessagePane"));
    bar->addWidget(message_, 1);
    progress_ = new QProgressBar(bar);
    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setMaximumWidth(150);
    progress_->setMaximumHeight(message_->sizeHint().height());
    progress_->setTextVisible(false);
    progress_->hide();
    bar->addWidget(progress_, 0);
    const struct {
        int id;
        const char* sizing;
    } panes[] = {{cmd::IndicatorPosition, " Ln 99999, Col 99999"},
                 {cmd::IndicatorEncoding, " windows-1252 "},
                 {cmd::IndicatorLineEnd, " UNIX "},
                 {cmd::IndicatorOverwrite, "OVR"},
                 {cmd::IndicatorCaps, "CAP"}};
    for (const auto& p : panes) {
        auto* label = new QLabel(bar);
        label->setObjectName(QStringLiteral("Pane%1").arg(p.id));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(Qs(p.sizing)) + 8);
        bar->addPermanentWidget(label);
        panes_.insert(p.id, label);
    }
    // The code-page pane opens the encoding commands.
    QLabel* encoding = panes_.value(cmd::IndicatorEncoding);
    encoding->setToolTip(QStringLiteral("Encoding: click to reopen or save with another one"));
    encoding->setCursor(Qt::PointingHandCursor);
    encoding->installEventFilter(this);
}

void CMainFrame::BuildDocks() {
    filesBar_ = new COpenFilesBar(this);
    addToolBar(Qt::BottomToolBarArea, filesBar_);

    // The resizable bars, with their window ids and default sizes.
    CSizingControlBar::UseBarSeparators(this);
    outputBar_ = new CSizingControlBar(QStringLiteral("Output"), this, {400, 180}, true, 59433);
    outputBar_->setObjectName(QStringLiteral("OutputBar"));
    auto* output = new QPlainTextEdit(outputBar_);
    output->setObjectName(QStringLiteral("OutputText"));
    output->setReadOnly(true);
    outputBar_->SetContent(output);
    addDockWidget(Qt::BottomDockWidgetArea, outputBar_);

    projectBar_ = new CSizingControlBar(QStringLiteral("Project"), this, {200, 250}, true, 59432);
    projectBar_->setObjectName(QStringLiteral("ProjectBar"));
    projectContent_ = new CProjectBarContent(app_, profile_, projectBar_);
    projectBar_->SetContent(projectContent_);
    addDockWidget(Qt::LeftDockWidgetArea, projectBar_);
}

QString CMainFrame::BarNames() const {
    QStringList names;
    for (auto* b : toolBars_) names << b->objectName();
    names << filesBar_->objectName() << outputBar_->objectName() << projectBar_->objectName();
    return names.join(QLatin1Char(','));
}

void CMainFrame::RestoreLayout() {
    // A saved state names its bars; if they are not exactly the bars of this version the state is
    // ignored whole and the default positions stay.
    auto state = profile_.GetBinary(kDockSection, "State");
    const QString names = QString::fromStdString(profile_.GetString(kDockSection, "Bars"));
    if (state && names == BarNames()) {
        const QByteArray bytes(reinterpret_cast<const char*>(state->data()), qsizetype(state->size()));
        restoreState(bytes, kStateVersion);
    }
    // The bars' own sizes go over what the state put back.
    CSizingControlBar::LoadAllStates(this, profile_, kDockSection);
    for (auto [bar, section] : {std::pair{projectBar_, "Project Bar"}, std::pair{outputBar_, "Output Bar"}}) {
        if (bar->isFloating() && profile_.GetInt(section, "Dockable", 1) == 0) SetDockable(bar, false);
    }
}

QRect CMainFrame::ClampOntoScreen(QRect r, const QRect& screen) {
    if (r.left() < screen.left()) {
        r.moveLeft(screen.left());
    } else if (r.right() > screen.right()) {
        r.moveLeft(qMax(screen.left(), r.left() - (r.right() - screen.right())));
    }
    if (r.top() < screen.top()) {
        r.moveTop(screen.top());
    } else if (r.bottom() > screen.bottom()) {
        r.moveTop(qMax(screen.top(), r.top() - (r.bottom() - screen.bottom())));
    }
    return r;
}

bool CMainFrame::LoadPlacement() {
    QScreen* s = QGuiApplication::primaryScreen();
    const QRect screen = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    QRect def(screen.left() + screen.width() / 12, screen.top() + screen.height() / 12, screen.width() * 5 / 6,
              screen.height() * 5 / 6);
    const std::string sec = kPlacementSection;
    const int show = profile_.GetInt(sec, "showCmd", 5);
    const int left = profile_.GetInt(sec, "Left", def.left());
    const int top = profile_.GetInt(sec, "Top", def.top());
    const int right = profile_.GetInt(sec, "Right", def.left() + def.width());
    const int bottom = profile_.GetInt(sec, "Bottom", def.top() + def.height());
    QRect r(QPoint(left, top), QPoint(right - 1, bottom - 1));
    if (r.width() < 200 || r.height() < 150) r = def;
    setGeometry(ClampOntoScreen(r, screen));
    return show == 3;
}

void CMainFrame::SaveLayout() {
    const std::string sec = kPlacementSection;
    const int show = isMaximized() ? 3 : isMinimized() ? 2 : 1;
    QRect r = normalGeometry();
    if (!r.isValid()) r = geometry();
    profile_.WriteInt(sec, "showCmd", show);
    profile_.WriteInt(sec, "Left", r.left());
    profile_.WriteInt(sec, "Top", r.top());
    profile_.WriteInt(sec, "Right", r.left() + r.width());
    profile_.WriteInt(sec, "Bottom", r.top() + r.height());
    const QByteArray state = saveState(kStateVersion);
    profile_.WriteBinary(kDockSection, "State", std::vector<unsigned char>(state.begin(), state.end()));
    profile_.WriteString(kDockSection, "Bars", BarNames().toStdString());
    CSizingControlBar::SaveAllStates(this, profile_, kDockSection);
    SaveToolBarLayouts();
    profile_.WriteInt("Project Bar", "Dockable", IsDockable(projectBar_) ? 1 : 0);
    profile_.WriteInt("Output Bar", "Dockable", IsDockable(outputBar_) ? 1 : 0);
    layoutSaved_ = true;
}

bool CMainFrame::IsDockable(const QDockWidget* bar) { return bar->allowedAreas() != Qt::NoDockWidgetArea; }

void CMainFrame::SetDockable(QDockWidget* bar, bool dockable) {
    if (auto* sizing = qobject_cast<CSizingControlBar*>(bar)) {
        sizing->SetDockable(dockable);
    } else {
        bar->setAllowedAreas(dockable ? Qt::AllDockWidgetAreas : Qt::NoDockWidgetArea);
    }
}

CChildFrame* CMainFrame::ActiveChild() const {
    return mdi_ ? qobject_cast<CChildFrame*>(mdi_->activeSubWindow()) : nullptr;
}

std::vector<CCmdTarget*> CMainFrame::CommandChain() const {
    std::vector<CCmdTarget*> chain;
    if (CChildFrame* child = ActiveChild()) {
        if (CCmdTarget* view = child->ViewTarget()) chain.push_back(view);
        if (CVeskDoc* doc = child->Document()) chain.push_back(doc);
        chain.push_back(child);
    }
    chain.push_back(const_cast<CMainFrame*>(this));
    chain.push_back(&app_);
    return chain;
}

bool CMainFrame::RouteCommand(int id) {
    const auto chain = CommandChain();
    for (CCmdTarget* t : chain) {
        CommandState state;
        if (t->UpdateCommand(id, state)) {
            if (!state.enabled) return false;
            break;
        }
    }
    for (CCmdTarget* t : chain) {
        if (t->ExecuteCommand(id)) {
            RequestUpdate();
            return true;
        }
    }
    return false;
}

void CMainFrame::UpdateAction(const std::vector<CCmdTarget*>& chain, int id, QAction* a) {
    CommandState state;
    bool handled = false;
    for (CCmdTarget* t : chain) {
        if (t->UpdateCommand(id, state)) {
            handled = true;
            break;
        }
    }
    a->setEnabled(handled && state.enabled);
    if (state.checked) {
        a->setCheckable(true);
        a->setChecked(*state.checked);
    } else if (a->isCheckable()) {
        a->setChecked(false);
    }
    if (state.text) a->setText(QString::fromStdString(*state.text));
}

void CMainFrame::UpdateCommands() {
    const auto chain = CommandChain();
    for (auto it = recentMenus_.cbegin(); it != recentMenus_.cend(); ++it) SyncRecentMenu(it.key(), it.value());
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) UpdateAction(chain, it.key(), it.value());
    for (auto it = recentActions_.cbegin(); it != recentActions_.cend(); ++it) UpdateAction(chain, it.key(), it.value());
    for (const auto& [id, a] : extraActions_) UpdateAction(chain, id, a);
    // Panes 2 to 5 show what a view tells them; nobody answering leaves them blank.
    for (auto it = panes_.cbegin(); it != panes_.cend(); ++it) {
        CommandState state;
        bool handled = false;
        for (CCmdTarget* t : chain) {
            if (t->UpdateCommand(it.key(), state)) {
                handled = true;
                break;
            }
        }
        const QString text = handled && state.enabled ? QString::fromStdString(state.text.value_or(std::string()))
                                                      : QString();
        if (it.value()->text() != text) it.value()->setText(text);
    }
    // The open-files bar follows the active window.
    filesBar_->IdleUpdate(mdi_->activeSubWindow());
}

void CMainFrame::SyncRecentMenu(int firstId, QMenu* menu) {
    const RecentList* list = app_.Mru() ? app_.Mru()->ListOf(firstId) : nullptr;
    if (!list) return;
    const int count = list->Size();
    for (int i = 1; i < list->Capacity(); ++i) {
        const int id = firstId + i;
        QAction* a = recentActions_.value(id);
        if (i < count && !a) {
            a = MakeAction(id, MenuEntry{MenuEntry::Item, id, "", nullptr});
            menu->addAction(a);
            recentActions_.insert(id, a);
        } else if (i >= count && a) {
            menu->removeAction(a);
            recentActions_.remove(id);
            a->deleteLater();
        }
    }
}

void CMainFrame::RequestUpdate() {
    if (!idle_.isActive()) idle_.start();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress && watched == panes_.value(cmd::IndicatorEncoding) && encodingMenu_) {
        auto* pane = static_cast<QLabel*>(watched);
        if (!pane->text().isEmpty()) encodingMenu_->popup(pane->mapToGlobal(QPoint(0, 0)) - QPoint(0, encodingMenu_->sizeHint().height()));
        return true;
    }
    if (e->type() == QEvent::MouseButtonDblClick) {
        if (const int index = toolBars_.indexOf(qobject_cast<QToolBar*>(watched)); index >= 0) {
            CustomizeToolBar(index);
            return true;
        }
    }
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
        RequestUpdate();
        break;
    default: break;
    }
    return QMainWindow::eventFilter(watched, e);
}

void CMainFrame::SetMessageText(const QString& text) { message_->setText(text.isEmpty() ? QStringLiteral("Ready") : text); }

QString CMainFrame::PaneText(int indicatorId) const {
    QLabel* l = panes_.value(indicatorId);
    return l ? l->text() : QString();
}

void CMainFrame::ShowProgress(int lowest, int highest) {
    progress_->setRange(lowest, highest);
    progress_->setValue(lowest);
    progress_->show();
    progress_->repaint();
}

void CMainFrame::StepProgress() {
    if (progress_->value() < progress_->maximum()) {
        progress_->setValue(progress_->value() + 1);
        progress_->repaint();
    }
}

void CMainFrame::HideProgress(bool complete) {
    if (complete) {
        progress_->setValue(progress_->maximum());
        progress_->repaint();
        QThread::msleep(100);
    }
    progress_->hide();
}

void CMainFrame::AddFileButton(QWidget* child, const QString& text) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(child)) filesBar_->Register(frame, text);
}

void CMainFrame::RemoveFileButton(QWidget* child) {
    if (filesBar_) filesBar_->Unregister(qobject_cast<QMdiSubWindow*>(child));
}

void CMainFrame::SetFileButtonText(QWidget* child, const QString& text) {
    filesBar_->SetText(filesBar_->IndexOf(child), text);
}

QString CMainFrame::FileButtonText(QWidget* child) const { return filesBar_->Text(filesBar_->IndexOf(child)); }

void CMainFrame::FillWindowList() {
    for (QAction* a : windowListActions_) {
        windowMenu_->removeAction(a);
        a->deleteLater();
    }
    windowListActions_.clear();
    const auto windows = mdi_->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) return;
    windowListActions_.append(windowMenu_->addSeparator());
    int n = 1;
    for (QMdiSubWindow* w : windows) {
        QString title = w->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(n++).arg(title));
        a->setCheckable(true);
        a->setChecked(w == mdi_->activeSubWindow());
        QPointer<QMdiSubWindow> target(w);
        connect(a, &QAction::triggered, this, [this, target] {
            if (auto* child = qobject_cast<CChildFrame*>(target.data())) {
                child->Activate();
            } else if (target) {
                mdi_->setActiveSubWindow(target);
            }
        });
        windowListActions_.append(a);
    }
}

QMenu* CMainFrame::createPopupMenu() {
    // The right-button menu over the bars: the bar toggles of the View menu.
    UpdateCommands();
    auto* menu = new QMenu(this);
    for (int id : {cmd::ViewStandardBar, cmd::ViewInsertBar, cmd::ViewFormatBar, cmd::ViewProjectBar, cmd::ViewFilesBar,
                   cmd::ViewStatusBar}) {
        menu->addAction(actions_.value(id));
    }
    return menu;
}

void CMainFrame::FillServerObjectMenu(QMenu* menu) {
    tarnwell::FillServerObjectMenu(menu, CServerObjectStore::Get(&profile_).Objects(),
                                   [this](int id) { RouteCommand(id); });
    const auto chain = CommandChain();
    for (QAction* a : menu->actions()) {
        const int id = a->data().toInt();
        if (id >= cmd::ServerObjectFirst && id < cmd::ServerObjectFirst + kServerObjectMenuLimit) {
            UpdateAction(chain, id, a);
        }
    }
}

void CMainFrame::AttachOutlineTab() {
    COutlineTree::Hooks hooks;
    hooks.activeChild = [this] { return ActiveChild(); };
    hooks.openFile = [this](const std::string& path) -> CChildFrame* {
        CVeskDoc* doc = app_.OpenDocumentFile(QString::fromStdString(path));
        return doc && !doc->Frames().isEmpty() ? doc->Frames().first() : nullptr;
    };
    outlineTree_ = new COutlineTree(profile_, std::move(hooks));
    // The outline is the second tab; the explorer (or its placeholder) the first.
    QWidget* content = projectBar_->widget();
    auto* tabs = qobject_cast<QTabWidget*>(content);
    if (!tabs) {
        tabs = new QTabWidget;
        tabs->setObjectName(QStringLiteral("ProjectTabs"));
        tabs->setTabPosition(QTabWidget::South);
        tabs->setDocumentMode(true);
        if (content) tabs->addTab(content, QStringLiteral(" Files "));
        projectBar_->setWidget(tabs);
    }
    tabs->addTab(outlineTree_, QStringLiteral(" Outline "));
}

QMenu* CMainFrame::EditorContextMenu() {
    if (contextMenu_) return contextMenu_;
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("EditorContextMenu"));
    std::vector<QMenu*> stack{contextMenu_};
    const auto entries = tarnwell::EditorContextMenu();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& e = entries[i];
        switch (e.kind) {
        case MenuEntry::Popup: {
            QMenu* shared = popups_.value(Qs(e.text));
            if (shared && i + 1 < entries.size() && entries[i + 1].kind == MenuEntry::End) {
                stack.back()->addMenu(shared);
                ++i;
            } else {
                QMenu* m = stack.back()->addMenu(Qs(e.text));
                connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
                stack.push_back(m);
            }
            break;
        }
        case MenuEntry::End: stack.pop_back(); break;
        case MenuEntry::Separator: stack.back()->addSeparator(); break;
        case MenuEntry::Item: {
            QAction* a = ActionFor(e);
            stack.back()->addAction(a);
            break;
        }
        }
    }
    return contextMenu_;
}

void CMainFrame::ShowEditorContextMenu(QPoint globalPos) {
    QMenu* menu = EditorContextMenu();
    UpdateCommands();
    menu->exec(globalPos);
}

void CMainFrame::ShowHeadingMenu() {
    QToolBar* format = toolBars_.value(2);
    QAction* a = actions_.value(cmd::FormatHeader);
    auto* button = format ? qobject_cast<QToolButton*>(format->widgetForAction(a)) : nullptr;
    UpdateCommands();
    QPoint at = button ? button->mapToGlobal(QPoint(0, button->height())) : QCursor::pos();
    if (button) button->setDown(true);
    headingMenu_->exec(at);
    if (button) button->setDown(false);
}

QWidget* CMainFrame::BarOf(int viewCommand) const {
    switch (viewCommand) {
    case cmd::ViewProjectBar: return projectBar_;
    case cmd::ViewOutputBar: return outputBar_;
    case cmd::ViewFilesBar: return filesBar_;
    case cmd::ViewStandardBar: return toolBars_[0];
    case cmd::ViewInsertBar: return toolBars_[1];
    case cmd::ViewFormatBar: return toolBars_[2];
    case cmd::ViewStatusBar: return statusBar();
    default: return nullptr;
    }
}

bool CMainFrame::UpdateCommand(int id, CommandState& state) {
    if (QWidget* bar = BarOf(id)) {
        state.checked = bar->isVisible();
        return true;
    }
    switch (id) {
    case cmd::WindowCascade:
    case cmd::WindowTileHorz:
        state.enabled = !mdi_->subWindowList().isEmpty();
        return true;
    case cmd::ToolsOptions:
    case cmd::ServerObjectCustomize:
    case cmd::NewProject:
    case cmd::OpenProject: return true;
    case cmd::CloseProject: state.enabled = app_.Project().IsOpen(); return true;
    case cmd::LocateInProject: {
        const CChildFrame* child = ActiveChild();
        state.enabled = child && child->Document() && !child->Document()->PathName().isEmpty() &&
                        projectContent_->Tree()->Tree().Root();
        return true;
    }
    case cmd::FormatHeader: {
        // Enabled while some heading command is.
        state.enabled = false;
        for (CCmdTarget* t : CommandChain()) {
            if (t == this) break;
            CommandState s;
            if (t->UpdateCommand(cmd::FormatHeading1, s)) {
                state.enabled = s.enabled;
                break;
            }
        }
        return true;
    }
    case cmd::IndicatorCaps:
        state.text = CapsLockOn() ? "CAP" : "";
        return true;
    default: return false;
    }
}

bool CMainFrame::ExecuteCommand(int id) {
    if (QWidget* bar = BarOf(id)) {
        bar->setVisible(!bar->isVisible());
        return true;
    }
    switch (id) {
    case cmd::LocateInProject:
        if (const CChildFrame* child = ActiveChild(); child && child->Document())
            projectContent_->LocateFile(child->Document()->PathName());
        return true;
    case cmd::WindowCascade: mdi_->cascadeSubWindows(); return true;
    case cmd::WindowTileHorz: mdi_->tileSubWindows(); return true;
    case cmd::FormatHeader: ShowHeadingMenu(); return true;
    case cmd::ToolsOptions: COptionsSheet::Get().Show(this); return true;
    case cmd::ServerObjectCustomize: CServerObjectsDialog::Customize(&profile_, this); return true;
    case cmd::NewProject: OnNewProject(); return true;
    case cmd::OpenProject: OnOpenProject(); return true;
    case cmd::CloseProject: app_.Project().CloseProject(true); return true;
    default: return false;
    }
}

void CMainFrame::OnNewProject() {
    const QString folder = QString::fromStdString(
        DefaultProjectsFolder(app_.ProgramFolder().toStdString(), QDir::homePath().toStdString()));
    CProjectSheet sheet(folder, app_.DataFolder(QStringLiteral("Templates")) + QStringLiteral("/Global.asa"), profile_, this);
    if (sheet.exec() != QDialog::Accepted) return;
    ProjectLink& project = app_.Project();
    if (project.IsOpen() && !project.CloseProject(true)) return;
    if (!project.OpenProject(sheet.ProjectFile().toStdString(), false)) return;
    if (CProject* model = app_.ProjectModel()) {
        model->SetWebPath(sheet.WebPath().toStdString());
        if (model->WriteSettingsWithWebPath())
            model->FillExplorer();
        else
            model->CloseProject(true);
    }
}

void CMainFrame::OnOpenProject() {
    QFileDialog dlg(this, QStringLiteral("Open Project"));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setOption(QFileDialog::HideNameFilterDetails);
    dlg.setNameFilters({QStringLiteral("Project Files(*.twp) (*.twp)"), QStringLiteral("All Files (*.*) (*)")});
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    ProjectLink& project = app_.Project();
    if (!project.IsOpen() || project.CloseProject(true)) project.OpenProject(dlg.selectedFiles().first().toStdString(), true);
}

void CMainFrame::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange) {
        if (!isActiveWindow()) {
            QWidget* f = QApplication::focusWidget();
            if (f && isAncestorOf(f)) savedFocus_ = f;
        } else if (!isMinimized()) {
            if (savedFocus_ && isAncestorOf(savedFocus_)) savedFocus_->setFocus(Qt::ActiveWindowFocusReason);
            savedFocus_.clear();
            // Files other programs changed meanwhile, asked about once the activation is over.
            QTimer::singleShot(0, this, [this] { app_.DocManager().CheckFilesOnDisk(); });
        }
    } else if (e->type() == QEvent::WindowStateChange && isMinimized()) {
        QWidget* f = QApplication::focusWidget();
        if (f && isAncestorOf(f)) savedFocus_ = f;
    } else if (e->type() == QEvent::WindowStateChange) {
        restoreMaximized_ = isMaximized();
    }
    QMainWindow::changeEvent(e);
}

void CMainFrame::BringToFront(const QByteArray& activationToken) {
    // Wayland lets a window take the focus only with the token the desktop gave the second start.
    if (!activationToken.isEmpty() && QGuiApplication::platformName().startsWith(QStringLiteral("wayland")))
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    if (isMinimized()) {
        if (restoreMaximized_) {
            showMaximized();
        } else {
            showNormal();
        }
    } else if (!isVisible()) {
        show();
    }
    raise();
    activateWindow();
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    // The project closes first (it may be refused at a save prompt) and records "Last Project";
    // then the documents are asked about; only then is the layout saved.
    if (!app_.CloseProjectForExit() || !app_.SaveAllModified()) {
        e->ignore();
        return;
    }
    app_.CloseAllDocuments();
    SaveLayout();
    e->accept();
}

}  // namespace tarnwell
