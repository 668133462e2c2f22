#include "app/OutlineTree.h"

#include "app/CChildFrame.h"
#include "app/CVeskDoc.h"
#include "app/FrameClient.h"
#include "app/ProjectLink.h"
#include "lang/MemberQuery.h"
#include "lang/OutlineStore.h"
#include "platform/Profile.h"
#include "text/CVeskView.h"
#include "text/CodePopups.h"
#include "ui/CSizingControlBar.h"

#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMenu>
#include <QStyle>

namespace tarnwell {

namespace {

constexpr const char* kSection = "Outline";
constexpr int kRefreshDelayMs = 500;
constexpr int kIdleCheckMs = 100;

enum Group : int { kFunctions = 0, kVariables = 1, kIncludes = 2 };

QString Qs(const std::string& s) { return QString::fromStdString(s); }

QTreeWidgetItem* AddEntry(QTreeWidgetItem* parent, const std::string& name, int line, int icon, const std::string& file) {
    auto* item = new QTreeWidgetItem(parent, QStringList(Qs(name)));
    item->setIcon(0, CodeItemIcon(icon));
    item->setData(0, COutlineTree::LineRole, line);
    item->setData(0, COutlineTree::FileRole, Qs(file));
    return item;
}

}  // namespace

COutlineTree::COutlineTree(Profile& profile, Hooks hooks, QWidget* parent)
    : QTreeWidget(parent), profile_(profile), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("OutlineTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    sort_ = profile_.GetInt(kSection, "Sort by", 0) == SortByName ? SortByName : SortByLocation;
    refresh_.setSingleShot(true);
    refresh_.setInterval(kRefreshDelayMs);
    connect(&refresh_, &QTimer::timeout, this, &COutlineTree::RefreshOutlineTree);
    idle_.setInterval(kIdleCheckMs);
    connect(&idle_, &QTimer::timeout, this, [this] {
        if (isVisible()) OutlineIdleCheck();
    });
    idle_.start();
    // A group's image follows its state.
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!item->parent()) item->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (!item->parent()) item->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
    });
}

COutlineTree::~COutlineTree() { profile_.WriteInt(kSection, "Sort by", sort_); }

void COutlineTree::SetSort(SortMode mode) {
    if (mode == sort_) return;
    sort_ = mode;
    RefreshOutlineTree();
}

QTreeWidgetItem* COutlineTree::Group(int index, const QString& text) {
    while (topLevelItemCount() <= index) {
        static const char* const names[] = {"Functions", "Variables", "Includes"};
        auto* g = new QTreeWidgetItem(this, QStringList(QString::fromLatin1(names[topLevelItemCount()])));
        g->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
    }
    QTreeWidgetItem* g = topLevelItem(index);
    g->setText(0, text);
    return g;
}

void COutlineTree::RefreshOutlineTree() {
    refresh_.stop();
    setUpdatesEnabled(false);
    CChildFrame* child = hooks_.activeChild ? hooks_.activeChild() : nullptr;
    CVeskDoc* doc = child ? child->Document() : nullptr;
    shown_ = doc;
    if (!doc) {
        clear();
        seenChanges_ = 0;
        setUpdatesEnabled(true);
        return;
    }
    OutlineStore& store = doc->Project().Outlines();
    OutlineSource& source = store.GetOrCreate(doc->DocumentKey());
    if (source.NeedsRebuild()) RebuildOutline(source.Outline(), doc->Text());
    seenChanges_ = source.ChangeCount();
    const ScriptOutline& outline = source.Outline();

    QTreeWidgetItem* functions = Group(kFunctions, QStringLiteral("Functions"));
    QTreeWidgetItem* variables = Group(kVariables, QStringLiteral("Variables"));
    for (QTreeWidgetItem* g : {functions, variables}) qDeleteAll(g->takeChildren());
    if (topLevelItemCount() > kIncludes) delete takeTopLevelItem(kIncludes);
    clearSelection();
    for (const auto& p : outline.procedures) AddEntry(functions, p->name, p->startLine, kIconCallable, {});
    for (const auto& v : outline.variables) {
        if (!v->predefined) AddEntry(variables, v->name, v->startLine, kIconData, {});
    }
    // The files the page includes, each with its procedures; one that cannot be found is greyed.
    if (!outline.includesAsWritten.empty()) {
        QTreeWidgetItem* includes = Group(kIncludes, QStringLiteral("Includes"));
        for (size_t i = 0; i < outline.includesAsWritten.size(); ++i) {
            const std::string path = IncludePath(outline, i);
            auto* item = new QTreeWidgetItem(includes, QStringList(Qs(outline.includesAsWritten[i])));
            item->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
            item->setData(0, LineRole, 0);
            item->setData(0, FileRole, Qs(path));
            const bool openOrOnDisk = !path.empty() && (store.LookupOpenText(path) || QFileInfo(Qs(path)).isFile());
            if (!openOrOnDisk) {
                item->setDisabled(true);
                item->setToolTip(0, tr("The included file \"%1\" cannot be found.")
                                        .arg(path.empty() ? Qs(outline.includesAsWritten[i]) : Qs(path)));
                continue;
            }
            item->setToolTip(0, Qs(path));
            OutlineSource& included = store.GetOrCreate(path);
            if (&included == &source) continue;
            if (included.NeedsRebuild()) RebuildOutline(included.Outline());
            for (const auto& p : included.Outline().procedures) AddEntry(item, p->name, p->startLine, kIconCallable, path);
        }
    }
    if (sort_ == SortByName) {
        for (int i = 0; i < topLevelItemCount(); ++i) topLevelItem(i)->sortChildren(0, Qt::AscendingOrder);
    }
    setUpdatesEnabled(true);
}

void COutlineTree::OutlineIdleCheck() {
    CChildFrame* child = hooks_.activeChild ? hooks_.activeChild() : nullptr;
    CVeskDoc* doc = child ? child->Document() : nullptr;
    if (doc != shown_) {
        RefreshOutlineTree();
        return;
    }
    if (!doc) return;
    const OutlineSource* source = doc->Project().GetOutlineData(doc->DocumentKey());
    // A changed count means an edit since the last check: wait for half a second of quiet.
    const std::uint32_t changes = source ? source->ChangeCount() : seenChanges_ + 1;
    if (changes != seenChanges_ || !source) {
        seenChanges_ = changes;
        refresh_.start();
    }
}

bool COutlineTree::GotoDefine() {
    QTreeWidgetItem* item = currentItem();
    if (!item || !item->parent() || item->isDisabled()) {
        QApplication::beep();
        return false;
    }
    const int line = item->data(0, LineRole).toInt();
    const std::string file = item->data(0, FileRole).toString().toStdString();
    CChildFrame* child = nullptr;
    if (file.empty()) child = hooks_.activeChild ? hooks_.activeChild() : nullptr;
    else if (hooks_.openFile) child = hooks_.openFile(file);
    auto* view = child ? qobject_cast<CVeskView*>(child->SourceView()) : nullptr;
    if (!view || line < 0 || line >= view->LineCount()) {
        QApplication::beep();
        return false;
    }
    if (child->Client() && child->Client()->CurrentTab() != CFrameClient::TabSource &&
        !child->Client()->SelectTab(CFrameClient::TabSource)) {
        QApplication::beep();
        return false;
    }
    view->SetCursorAndClear({line, 0});
    view->setFocus();
    return true;
}

QMenu* COutlineTree::BuildContextMenu() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QTreeWidgetItem* item = currentItem();
    if (item && item->parent() && !item->isDisabled()) {
        QAction* go = menu->addAction(tr("Goto &Define"), this, [this] { GotoDefine(); });
        go->setData(int(kGotoDefineId));
        go->setStatusTip(tr("Goto the definition of the selected item"));
        menu->setDefaultAction(go);
    }
    QMenu* sort = menu->addMenu(tr("&Sort by"));
    auto* group = new QActionGroup(sort);
    const std::pair<SortMode, QString> modes[] = {{SortByLocation, tr("&Location")}, {SortByName, tr("&Name")}};
    for (const auto& [mode, text] : modes) {
        QAction* a = sort->addAction(text, this, [this, m = mode] { SetSort(m); });
        a->setData(int(mode == SortByLocation ? kSortLocationId : kSortNameId));
        a->setCheckable(true);
        a->setChecked(sort_ == mode);
        group->addAction(a);
    }
    for (QWidget* p = parentWidget(); p; p = p->parentWidget()) {
        if (auto* bar = qobject_cast<CSizingControlBar*>(p)) {
            menu->addSeparator();
            bar->AddBarCommands(menu);
            break;
        }
    }
    return menu;
}

void COutlineTree::showEvent(QShowEvent* e) {
    QTreeWidget::showEvent(e);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RefreshOutlineTree();
    QApplication::restoreOverrideCursor();
}

void COutlineTree::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        setFocus();
        if (QTreeWidgetItem* item = itemAt(e->position().toPoint())) setCurrentItem(item);
    }
    QTreeWidget::mousePressEvent(e);
}

void COutlineTree::contextMenuEvent(QContextMenuEvent* e) {
    const QPoint at = e->reason() == QContextMenuEvent::Mouse ? e->globalPos() : viewport()->mapToGlobal(viewport()->rect().center());
    BuildContextMenu()->popup(at);
}

void COutlineTree::mouseDoubleClickEvent(QMouseEvent* e) {
    QTreeWidget::mouseDoubleClickEvent(e);
    QTreeWidgetItem* item = itemAt(e->position().toPoint());
    if (item && item->parent()) GotoDefine();
}

}  // namespace tarnwell
