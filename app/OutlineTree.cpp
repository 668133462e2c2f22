#include "app/OutlineTree.h"

#include "app/CChildFrame.h"
#include "app/CVeskDoc.h"
#include "app/FrameClient.h"
#include "app/ProjectLink.h"
#include "app/SourceView.h"
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

}  // namespace

// An entry keeps its line as a plain member, so lines that moved are brought up to date without a
// change signal per entry.
class OutlineEntry : public QTreeWidgetItem {
public:
    OutlineEntry(const std::string& name, int line, int icon, const QString& file) : QTreeWidgetItem(QStringList(Qs(name))), line(line) {
        setIcon(0, CodeItemIcon(icon));
        if (!file.isEmpty()) setData(0, COutlineTree::FileRole, file);
    }
    QVariant data(int column, int role) const override {
        if (role == COutlineTree::LineRole && column == 0) return line;
        return QTreeWidgetItem::data(column, role);
    }
    int line;
};

namespace {

// Makes a group's entries show the kept records of list. When the names are those shown, in the same
// order (the usual case after typing), only the lines are brought up to date.
template <typename List, typename Keep>
void FillGroup(QTreeWidgetItem* group, COutlineTree::ShownEntries& shown, const List& list, int icon, bool byName,
               const QString& file, Keep keep) {
    size_t same = 0;
    bool equal = static_cast<size_t>(group->childCount()) == shown.items.size();
    for (const auto& p : list) {
        if (!equal) break;
        if (!keep(*p)) continue;
        equal = same < shown.names.size() && shown.names[same] == p->name;
        ++same;
    }
    if (equal && same == shown.names.size()) {
        size_t i = 0;
        for (const auto& p : list)
            if (keep(*p)) shown.items[i++]->line = p->startLine;
        return;
    }
    qDeleteAll(group->takeChildren());
    shown = {};
    QList<QTreeWidgetItem*> entries;
    for (const auto& p : list) {
        if (!keep(*p)) continue;
        shown.items.push_back(new OutlineEntry(p->name, p->startLine, icon, file));
        shown.names.push_back(p->name);
        entries.append(shown.items.back());
    }
    group->addChildren(entries);
    if (byName) group->sortChildren(0, Qt::AscendingOrder);
}

bool AllProcedures(const ProcedureItem&) { return true; }

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
    CChildFrame* child = hooks_.activeChild ? hooks_.activeChild() : nullptr;
    CVeskDoc* doc = child ? child->Document() : nullptr;
    shown_ = doc;
    if (!doc) {
        clear();
        seenChanges_ = 0;
        shownFunctions_ = {};
        shownVariables_ = {};
        shownIncludes_.clear();
        return;
    }
    OutlineStore& store = doc->Project().Outlines();
    ShowOutline(store, store.GetOrCreate(doc->DocumentKey()), doc->Text());
}

void COutlineTree::ShowOutline(OutlineStore& store, OutlineSource& source, const LineSource& text) {
    setUpdatesEnabled(false);
    if (source.NeedsRebuild()) RebuildOutline(source.Outline(), text);
    seenChanges_ = source.ChangeCount();
    const ScriptOutline& outline = source.Outline();

    QTreeWidgetItem* functions = Group(kFunctions, QStringLiteral("Functions"));
    QTreeWidgetItem* variables = Group(kVariables, QStringLiteral("Variables"));
    clearSelection();
    if (sort_ != shownSort_) {
        shownFunctions_ = {};
        shownVariables_ = {};
        shownIncludes_.clear();
        shownSort_ = sort_;
    }
    const bool byName = sort_ == SortByName;
    FillGroup(functions, shownFunctions_, outline.procedures, kIconCallable, byName, {}, AllProcedures);
    FillGroup(variables, shownVariables_, outline.variables, kIconData, byName, {}, [](const VariableItem& v) { return !v.predefined; });
    // The files the page includes, each with its procedures; one that cannot be found is greyed.
    std::vector<IncludeShown> found;
    for (size_t i = 0; i < outline.includesAsWritten.size(); ++i) {
        IncludeShown inc{IncludePath(outline, i), nullptr};
        if (!inc.path.empty() && (store.LookupOpenText(inc.path) || QFileInfo(Qs(inc.path)).isFile())) {
            OutlineSource& included = store.GetOrCreate(inc.path);
            if (included.NeedsRebuild()) RebuildOutline(included.Outline());
            if (&included != &source) inc.outline = &included.Outline();
            inc.generation = inc.outline ? inc.outline->Generation() : 0;
            inc.found = true;
        }
        found.push_back(std::move(inc));
    }
    const bool includesShown = topLevelItemCount() > kIncludes && shownIncludes_ == found &&
                               shownIncludeNames_ == outline.includesAsWritten;
    if (!includesShown) {
        if (topLevelItemCount() > kIncludes) delete takeTopLevelItem(kIncludes);
        if (!found.empty()) FillIncludes(Group(kIncludes, QStringLiteral("Includes")), outline, found);
        shownIncludes_ = found;
        shownIncludeNames_ = outline.includesAsWritten;
    }
    setUpdatesEnabled(true);
}

void COutlineTree::FillIncludes(QTreeWidgetItem* group, const ScriptOutline& outline, const std::vector<IncludeShown>& found) {
    for (size_t i = 0; i < found.size(); ++i) {
        const IncludeShown& inc = found[i];
        auto* item = new QTreeWidgetItem(group, QStringList(Qs(outline.includesAsWritten[i])));
        item->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
        item->setData(0, LineRole, 0);
        item->setData(0, FileRole, Qs(inc.path));
        if (!inc.found) {
            item->setDisabled(true);
            item->setToolTip(0, tr("The included file \"%1\" cannot be found.")
                                    .arg(inc.path.empty() ? Qs(outline.includesAsWritten[i]) : Qs(inc.path)));
            continue;
        }
        item->setToolTip(0, Qs(inc.path));
        ShownEntries unused;
        if (inc.outline)
            FillGroup(item, unused, inc.outline->procedures, kIconCallable, sort_ == SortByName, Qs(inc.path), AllProcedures);
    }
    if (sort_ == SortByName) group->sortChildren(0, Qt::AscendingOrder);
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
    if (!GoToSourceLine(child, line)) {
        QApplication::beep();
        return false;
    }
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
