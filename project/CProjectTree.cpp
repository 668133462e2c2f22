#include "project/CProjectTree.h"

#include "app/CEditorApp.h"
#include "app/OpenWith.h"
#include "platform/Profile.h"
#include "project/CFindFileDialog.h"
#include "project/ExplorerOps.h"
#include "project/FileSystem.h"
#include "text/AskWithCheck.h"
#include "ui/CSizingControlBar.h"

#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>

namespace tarnwell {

namespace {
constexpr const char* kTreeSection = "Project Tree";

QString Msg(const char* format, const std::vector<std::string>& args = {}) {
    return QString::fromStdString(FormatMessage(format, args));
}
std::string Native(const std::string& path) { return QDir::toNativeSeparators(ExplorerModel::ToQt(path)).toStdString(); }

CSizingControlBar* BarOf(const QWidget* w) { return CSizingControlBar::Of(w); }
}  // namespace

CProjectTree::CProjectTree(Profile& profile, QWidget* parent)
    : QTreeView(parent), profile_(profile), model_(new ExplorerModel(this)) {
    setObjectName(QStringLiteral("ProjectTree"));
    setModel(model_);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setAutoExpandDelay(1000);  // resting on a folder during a drag opens it
    setAutoScroll(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    const int key = profile_.GetInt(kTreeSection, "Sort Flag", 0);
    Tree().SetSort(static_cast<ExplorerSortKey>(key < 0 ? 0 : key), profile_.GetInt(kTreeSection, "Sort Order", 1) != 0);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& i) { model_->SetExpanded(i, true); });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& i) { model_->SetExpanded(i, false); });
    slowClick_.setSingleShot(true);
    connect(&slowClick_, &QTimer::timeout, this, [this] {
        if (slowClickIndex_.isValid() && slowClickIndex_ == currentIndex() && !IsRenaming())
            BeginRename(model_->Item(slowClickIndex_));
    });
}

CProjectTree::~CProjectTree() {
    profile_.WriteInt(kTreeSection, "Sort Flag", static_cast<int>(Tree().Key()));
    profile_.WriteInt(kTreeSection, "Sort Order", Tree().Ascending() ? 1 : 0);
    delete findDialog_;
}

bool CProjectTree::Fill(const std::string& folder, const std::function<void(int)>& progress) {
    CancelRename();
    int steps = 0;
    const bool ok = Tree().Fill(folder, [&] {
        if (progress) progress(std::min(100, ++steps));
    });
    model_->SetRootText({});
    return ok;
}

void CProjectTree::SetRootText(const QString& text) {
    model_->SetRootText(text);
    if (Tree().Root()) expand(model_->IndexOf(Tree().Root()));
}

void CProjectTree::Clear() {
    CancelRename();
    Tree().Clear();
    model_->SetRootText({});
}

ExplorerItem* CProjectTree::Locate(const std::string& path, bool createMissing) {
    return Tree().Locate(path, createMissing);
}

void CProjectTree::SelectOnly(const ExplorerItem* item) {
    const QModelIndex i = model_->IndexOf(item);
    if (!i.isValid()) return;
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    scrollTo(i);
}

QString CProjectTree::FullPath(const ExplorerItem* item) const { return ExplorerModel::ToQt(Tree().FullPath(item)); }

ExplorerItem* CProjectTree::FocusItem() const { return model_->Item(currentIndex()); }

QList<ExplorerItem*> CProjectTree::SelectedItems() const {
    QList<ExplorerItem*> out;
    for (const QModelIndex& i : selectionModel()->selectedIndexes())
        if (ExplorerItem* item = model_->Item(i)) out << item;
    return out;
}

// ---- commands --------------------------------------------------------------------------------

bool CProjectTree::UpdateCommand(int id, bool& enabled, bool& checked) const {
    enabled = true;
    checked = false;
    if (id >= explorer_cmd::SortByName && id <= explorer_cmd::SortByName + 3) {
        checked = static_cast<int>(Tree().Key()) == id - explorer_cmd::SortByName;
    } else if (id == explorer_cmd::Ascend) {
        checked = Tree().Ascending();
    } else if (id == explorer_cmd::AllowDocking) {
        const CSizingControlBar* bar = BarOf(this);
        enabled = bar != nullptr;
        checked = bar && bar->IsDockable();
    } else if (id == explorer_cmd::Hide) {
        enabled = BarOf(this) != nullptr;
    } else if (id == explorer_cmd::Reload) {
        enabled = bool(hooks_.reloadProject) && Tree().Root();
    } else if (id == explorer_cmd::Refresh) {
        enabled = Tree().Root() != nullptr;
    }
    return true;
}

void CProjectTree::ExecuteCommand(int id) {
    ExplorerItem* focus = FocusItem();
    switch (id) {
    case explorer_cmd::NewFile: NewItem(false); break;
    case explorer_cmd::NewFolder: NewItem(true); break;
    case explorer_cmd::FindFiles: ShowFindFile(); break;
    case explorer_cmd::Open: OpenSelected(); break;
    case explorer_cmd::Rename:
        if (!focus)
            QApplication::beep();
        else if (focus->parent)
            BeginRename(focus);
        break;
    case explorer_cmd::Delete: DeleteSelected(); break;
    case explorer_cmd::Ascend: SetSort(Tree().Key(), !Tree().Ascending()); break;
    case explorer_cmd::AllowDocking:
        if (CSizingControlBar* bar = BarOf(this)) bar->SetDockable(!bar->IsDockable());
        break;
    case explorer_cmd::Hide:
        if (CSizingControlBar* bar = BarOf(this)) bar->hide();
        break;
    case explorer_cmd::Reload:
        if (hooks_.reloadProject) hooks_.reloadProject();
        break;
    case explorer_cmd::Properties: Properties(); break;
    case explorer_cmd::Refresh: Refresh(); break;
    default:
        if (id >= explorer_cmd::SortByName && id <= explorer_cmd::SortByName + 3)
            SetSort(static_cast<ExplorerSortKey>(id - explorer_cmd::SortByName), Tree().Ascending());
        break;
    }
}

std::unique_ptr<QMenu> CProjectTree::BuildContextMenu() {
    const QList<ExplorerItem*> selected = SelectedItems();
    const ExplorerItem* focus = FocusItem();
    bool R = false, D = false, F = false;
    for (const ExplorerItem* i : selected) {
        R = R || !i->parent;
        D = D || i->IsFolder();
        F = F || i->IsFile();
    }
    const bool M = selected.size() > 1;
    namespace C = explorer_cmd;
    enum : int { Sep = 0, SortMenu = -1, SepAfterOpen = -2 };
    std::vector<int> entries = {C::NewFile, C::NewFolder, C::FindFiles, Sep, C::Open, SepAfterOpen, C::Rename, C::Delete, Sep, SortMenu,
                                Sep, C::Refresh, C::Reload, Sep, C::AllowDocking, C::Hide, Sep, C::Properties};
    auto drop = [&entries](std::initializer_list<int> ids) {
        for (int id : ids) entries.erase(std::remove(entries.begin(), entries.end(), id), entries.end());
    };
    if (!R) drop({C::Reload});
    if (selected.isEmpty()) {
        drop({C::NewFile, C::NewFolder, C::FindFiles, C::Open, C::Rename, C::Delete, C::Properties, SepAfterOpen});
    } else {
        if (M || D) drop({SepAfterOpen});
        if (R) drop({C::Delete});
        if (!F) drop({C::Open});
        if (focus) {
            if (!focus->parent) drop({C::Rename});
            if (!focus->IsFolder()) drop({C::NewFile, C::NewFolder, C::FindFiles});
        } else {
            drop({C::Rename, C::Properties, C::NewFile, C::NewFolder, C::FindFiles});
        }
    }
    // No separator twice in a row or at either end.
    std::vector<int> pruned;
    for (int e : entries) {
        const bool sep = e == Sep || e == SepAfterOpen;
        if (sep && (pruned.empty() || pruned.back() == Sep || pruned.back() == SepAfterOpen)) continue;
        pruned.push_back(e);
    }
    while (!pruned.empty() && (pruned.back() == Sep || pruned.back() == SepAfterOpen)) pruned.pop_back();

    static const std::map<int, const char*> kTexts = {
        {C::NewFile, "&New File"},         {C::NewFolder, "New &Folder"},   {C::FindFiles, "Find Fi&les in Folder..."},
        {C::Open, "&Open\tEnter"},         {C::Rename, "&Rename\tF2"},      {C::Delete, "&Delete\tDel"},
        {C::SortByName, "&Name"},          {C::SortByName + 1, "&Extension"}, {C::SortByName + 2, "&Size"},
        {C::SortByName + 3, "&Time"},      {C::Ascend, "&Ascend"},          {C::Refresh, "Re&fresh\tF5"},
        {C::Reload, "Reload &Project"},    {C::AllowDocking, "Allow Doc&king"}, {C::Hide, "&Hide"},
        {C::Properties, "Propert&ies..."},
    };
    auto menu = std::make_unique<QMenu>(this);
    auto add = [this](QMenu* m, int id, const char* text) {
        QAction* a = m->addAction(QString::fromUtf8(text));
        a->setData(id);
        bool enabled = true, checked = false;
        UpdateCommand(id, enabled, checked);
        a->setEnabled(enabled);
        if (id == C::AllowDocking || id == C::Ascend || (id >= C::SortByName && id <= C::SortByName + 3)) {
            a->setCheckable(true);
            a->setChecked(checked);
        }
        return a;
    };
    for (int e : pruned) {
        if (e == Sep || e == SepAfterOpen) {
            menu->addSeparator();
        } else if (e == SortMenu) {
            QMenu* sort = menu->addMenu(QStringLiteral("&Sort By"));
            auto* group = new QActionGroup(sort);
            for (int k = 0; k < 4; ++k) group->addAction(add(sort, C::SortByName + k, kTexts.at(C::SortByName + k)));
            sort->addSeparator();
            add(sort, C::Ascend, kTexts.at(C::Ascend));
        } else {
            QAction* a = add(menu.get(), e, kTexts.at(e));
            if (e == C::Open) menu->setDefaultAction(a);
        }
    }
    return menu;
}

void CProjectTree::contextMenuEvent(QContextMenuEvent* e) {
    QPoint pos = e->pos();
    if (e->reason() != QContextMenuEvent::Mouse || !viewport()->rect().contains(pos)) pos = viewport()->rect().center();
    std::unique_ptr<QMenu> menu = BuildContextMenu();
    if (QAction* a = menu->exec(viewport()->mapToGlobal(pos))) ExecuteCommand(a->data().toInt());
}

void CProjectTree::keyPressEvent(QKeyEvent* e) {
    if (!IsRenaming() && e->modifiers() == Qt::NoModifier) {
        switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: OpenSelected(); return;
        case Qt::Key_Delete: DeleteSelected(); return;
        case Qt::Key_F2: ExecuteCommand(explorer_cmd::Rename); return;
        case Qt::Key_F5: Refresh(); return;
        default: break;
        }
    }
    QTreeView::keyPressEvent(e);
}

void CProjectTree::mousePressEvent(QMouseEvent* e) {
    const QModelIndex at = indexAt(e->position().toPoint());
    const bool secondClick = e->button() == Qt::LeftButton && e->modifiers() == Qt::NoModifier && at.isValid() &&
                             at == currentIndex() && selectionModel()->isSelected(at) &&
                             selectionModel()->selectedIndexes().size() == 1;
    QTreeView::mousePressEvent(e);
    if (secondClick) {
        slowClickIndex_ = at;
        slowClick_.start(2 * QApplication::doubleClickInterval());
    }
}

void CProjectTree::mouseDoubleClickEvent(QMouseEvent* e) {
    slowClick_.stop();
    const ExplorerItem* item = model_->Item(indexAt(e->position().toPoint()));
    if (item && item->IsFile() && e->button() == Qt::LeftButton) {
        OpenPath(FullPath(item));
        return;
    }
    QTreeView::mouseDoubleClickEvent(e);
}

void CProjectTree::keyboardSearch(const QString& text) {
    if (!lastKey_.isValid() || lastKey_.elapsed() > 1000) search_.clear();
    lastKey_.restart();
    search_ += text;
    // The first item in tree order, through expanded folders, whose name begins with the text.
    std::function<QModelIndex(const QModelIndex&)> find = [&](const QModelIndex& parent) -> QModelIndex {
        for (int r = 0; r < model_->rowCount(parent); ++r) {
            const QModelIndex i = model_->index(r, 0, parent);
            if (i.data().toString().startsWith(search_, Qt::CaseInsensitive)) return i;
            if (isExpanded(i))
                if (QModelIndex below = find(i); below.isValid()) return below;
        }
        return {};
    };
    if (const QModelIndex hit = find({}); hit.isValid()) SelectOnly(model_->Item(hit));
}

// ---- open, new, refresh, sort, properties ------------------------------------------------------

void CProjectTree::OpenPath(const QString& path) {
    if (hooks_.open)
        hooks_.open(path);
    else
        OpenWithAssociation(path);
}

void CProjectTree::OpenSelected() {
    QStringList paths;
    for (const ExplorerItem* item : SelectedItems())
        if (item->IsFile()) paths << FullPath(item);
    for (const QString& p : paths) OpenPath(p);
}

QString CProjectTree::TemplatePath() const {
    QString folder;
    if (hooks_.templatesFolder)
        folder = hooks_.templatesFolder();
    else if (CEditorApp* app = CEditorApp::Instance())
        folder = app->DataFolder(QStringLiteral("Templates"));
    return QDir(folder).filePath(QStringLiteral("NewFile.asp"));
}

void CProjectTree::NewItem(bool folder) {
    ExplorerItem* parent = FocusItem();
    if (!parent || !parent->IsFolder()) {
        QApplication::beep();
        return;
    }
    const std::string where = Tree().FullPath(parent);
    std::string name, error;
    if (folder) {
        name = NewItemName(where, true);
        if (!CreateFolder(JoinPath(where, name), error)) {
            ShowMessage(Msg(explorer_text::kFailedCreateDir, {error}), mb::kOk | mb::kIconStop);
            return;
        }
    } else if (!CreateNewExplorerFile(where, ExplorerModel::FromQt(TemplatePath()), name, error)) {
        ShowMessage(Msg(explorer_text::kFailedCreateFile, {error}), mb::kOk | mb::kIconStop);
        return;
    }
    ExplorerItem* item = Tree().Insert(parent, name);
    if (!item) return;
    Tree().Sort(parent, false);
    expand(model_->IndexOf(parent));
    BeginRename(item);
}

void CProjectTree::Refresh() {
    CancelRename();
    if (Tree().Root()) Tree().Refresh(Tree().Root());
}

void CProjectTree::SetSort(ExplorerSortKey key, bool ascending) {
    Tree().SetSort(key, ascending);
    if (Tree().Root()) Tree().Sort(Tree().Root(), true);
}

void CProjectTree::Properties() {
    const ExplorerItem* item = FocusItem();
    if (!item) {
        QApplication::beep();
        return;
    }
    if (!item->parent) {
        if (hooks_.projectProperties)
            hooks_.projectProperties();
        else
            QApplication::beep();
        return;
    }
    const QString path = FullPath(item);
    const QFileInfo fi(path);
    QString type;
    if (item->IsFolder())
        type = QStringLiteral("Folder");
    else if (item->kind == ExplorerKind::Special)
        type = QStringLiteral("Special file (not opened)");
    else
        type = QMimeDatabase().mimeTypeForFile(fi.fileName(), QMimeDatabase::MatchExtension).comment();
    QString text = QStringLiteral("Name:\t%1\nLocation:\t%2\nType:\t%3\n")
                       .arg(fi.fileName(), QDir::toNativeSeparators(fi.absolutePath()), type);
    if (item->link) text += QStringLiteral("Link to:\t%1\n").arg(QDir::toNativeSeparators(fi.symLinkTarget()));
    if (item->statOk) {
        if (!item->IsFolder()) text += QStringLiteral("Size:\t%1 bytes\n").arg(item->size);
        text += QStringLiteral("Modified:\t%1\n").arg(QDateTime::fromMSecsSinceEpoch(item->mtime / 1000000).toString(Qt::TextDate));
    }
    text += QStringLiteral("Read-only:\t%1").arg(fi.isWritable() ? QStringLiteral("No") : QStringLiteral("Yes"));
    ShowMessage(text, mb::kOk | mb::kIconInformation, QStringLiteral("Properties"));
}

void CProjectTree::ShowFindFile() {
    const ExplorerItem* folder = FocusItem();
    if (!folder || !folder->IsFolder()) {
        QApplication::beep();
        return;
    }
    if (!findDialog_) findDialog_ = new CFindFileDialog(*this, profile_, window());
    findDialog_->OpenFor(folder);
}

// ---- rename in place ---------------------------------------------------------------------------

void CProjectTree::BeginRename(ExplorerItem* item) {
    if (!item || !item->parent) return;
    CancelRename();
    slowClick_.stop();
    SelectOnly(item);
    const QModelIndex index = model_->IndexOf(item);
    renaming_ = item;
    oldName_ = item->name;
    const QString old = ExplorerModel::ToQt(oldName_);

    QStyleOptionViewItem opt;
    initViewItemOption(&opt);
    opt.rect = visualRect(index);
    opt.features |= QStyleOptionViewItem::HasDecoration;
    opt.decorationSize = iconSize().isValid() ? iconSize() : QSize(16, 16);
    QRect text = style()->subElementRect(QStyle::SE_ItemViewItemText, &opt, this);
    text.setWidth(std::max(text.width(), fontMetrics().horizontalAdvance(old) + 24));
    if (text.right() > viewport()->width() - 2) text.setRight(std::max(text.left() + 40, viewport()->width() - 2));

    model_->SetHiddenText(item);
    editor_ = new QLineEdit(viewport());
    editor_->setObjectName(QStringLiteral("RenameField"));
    editor_->setFont(font());
    editor_->setText(old);
    const std::size_t limit = MaxRenameLength(Tree().FullPath(item).size(), oldName_.size());
    editor_->setMaxLength(int(std::min<std::size_t>(limit, 32767)));
    editor_->setGeometry(text.adjusted(-1, -1, 1, 1));
    editor_->installEventFilter(this);
    editor_->show();
    editor_->setFocus();
    const int dot = old.lastIndexOf(QLatin1Char('.'));
    editor_->setSelection(0, item->IsFolder() || dot < 0 ? int(old.size()) : dot);
}

bool CProjectTree::AcceptRename() {
    if (!renaming_ || !editor_) return false;
    const std::string typed = ExplorerModel::FromQt(editor_->text());
    if (typed == oldName_) {
        EndRename(true);
        return true;
    }
    std::string name = typed;
    const std::string folder = Tree().FullPath(renaming_->parent);
    const std::string oldPath = JoinPath(folder, oldName_);
    QString problem;
    switch (CheckNewName(name)) {
    case NameCheck::Empty: problem = Msg(explorer_text::kEnterName); break;
    case NameCheck::BadCharacter: problem = Msg(explorer_text::kBadChars); break;
    case NameCheck::Ok: break;
    }
    const std::string newPath = JoinPath(folder, name);
    std::string error;
    if (problem.isEmpty() && name != oldName_) {
        if (Exists(newPath) && !SameFile(oldPath, newPath))
            problem = Msg(explorer_text::kAlreadyExists);
        else if (!RenameNoReplace(oldPath, newPath, error))
            problem = Msg(explorer_text::kFailedRename, {error});
    }
    if (!problem.isEmpty()) {
        inRenameCheck_ = true;
        ShowMessage(problem, mb::kOk | mb::kIconStop);
        inRenameCheck_ = false;
        if (!editor_) return false;
        editor_->setText(ExplorerModel::ToQt(oldName_));
        editor_->selectAll();
        editor_->setFocus();
        if (!editor_->isVisible()) EndRename(true);
        return false;
    }
    ExplorerItem* item = renaming_;
    EndRename(true);
    if (name == oldName_) return true;  // only blanks around the old name
    if (hooks_.pathChanged) hooks_.pathChanged(oldPath, newPath);
    Tree().Rename(item, name);
    Tree().Sort(item->parent, false);
    SelectOnly(item);
    return true;
}

void CProjectTree::CancelRename() {
    if (renaming_) EndRename(true);
}

void CProjectTree::EndRename(bool) {
    renaming_ = nullptr;
    model_->SetHiddenText(nullptr);
    if (editor_) {
        QLineEdit* e = editor_;
        editor_ = nullptr;
        e->removeEventFilter(this);
        e->hide();
        e->deleteLater();
        setFocus();
    }
}

bool CProjectTree::eventFilter(QObject* watched, QEvent* e) {
    if (watched == editor_ && editor_) {
        if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                AcceptRename();
                return true;
            }
            if (key == Qt::Key_Escape) {
                CancelRename();
                return true;
            }
        } else if (e->type() == QEvent::FocusOut && !inRenameCheck_) {
            // Leaving the field any other way (a click elsewhere in the tree) accepts the name.
            QTimer::singleShot(0, this, [this] {
                if (editor_ && !editor_->hasFocus() && !inRenameCheck_) AcceptRename();
            });
        }
    }
    return QTreeView::eventFilter(watched, e);
}

void CProjectTree::scrollContentsBy(int dx, int dy) {
    CancelRename();  // scrolling the tree cancels a rename
    QTreeView::scrollContentsBy(dx, dy);
}

// ---- delete --------------------------------------------------------------------------------

bool CProjectTree::TrashAvailable() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) return false;
    const QString trash = data + QStringLiteral("/Trash");
    return QDir().mkpath(trash + QStringLiteral("/files")) && QDir().mkpath(trash + QStringLiteral("/info")) &&
           QFileInfo(trash + QStringLiteral("/files")).isWritable();
#else
    return true;
#endif
}

void CProjectTree::DeleteSelected() {
    CancelRename();
    const QList<ExplorerItem*> selected = SelectedItems();
    bool root = false;
    for (const ExplorerItem* i : selected) root = root || !i->parent;
    if (selected.isEmpty() || root) {
        QApplication::beep();
        return;
    }
    const bool trash = TrashAvailable();
    if (profile_.GetInt("Messages", "Confirm Delete Files", 1) != 0) {
        int check = 0;
        const int answer = AskWithCheck(Msg(trash ? explorer_text::kConfirmDelete : explorer_text::kConfirmDeletePermanent),
                                        QStringLiteral("Don't ask me again"), &check, mb::kYesNo | mb::kIconQuestion);
        profile_.WriteInt("Messages", "Confirm Delete Files", check ? 0 : 1);
        if (answer != mb::kIdYes) return;
    }
    // Items inside another selected item go with it. Paths, not pointers: each delete frees items.
    std::vector<std::string> tops;
    for (const ExplorerItem* i : selected) {
        bool inside = false;
        for (const ExplorerItem* p = i->parent; p && !inside; p = p->parent) inside = selected.contains(const_cast<ExplorerItem*>(p));
        if (!inside) tops.push_back(Tree().FullPath(i));
    }
    for (const std::string& path : tops) {
        ExplorerItem* item = Locate(path, false);
        if (item && !DeleteItem(item, trash)) break;
    }
}

bool CProjectTree::DeleteItem(ExplorerItem* item, bool toTrash) {
    const std::string path = Tree().FullPath(item);
    std::string error;
    if (toTrash) {
        QFile f(ExplorerModel::ToQt(path));
        // A broken link cannot be trashed; removing it loses nothing but the link.
        if (!f.moveToTrash() && !(item->link && !item->statOk && RemoveEntry(path, error))) {
            ShowMessage(Msg(explorer_text::kFailedDelete, {Native(path)}) + f.errorString(), mb::kOk | mb::kIconStop);
            return false;
        }
    } else {
        // Children first; a link is removed itself, never what it points to.
        if (item->kind == ExplorerKind::Folder && !item->link) {
            std::vector<std::string> children;
            for (const auto& c : item->children) children.push_back(c->name);
            for (const std::string& name : children)
                if (ExplorerItem* c = ExplorerTree::Child(item, name); c && !DeleteItem(c, false)) return false;
        }
        if (!RemoveEntry(path, error)) {
            ShowMessage(Msg(explorer_text::kFailedDelete, {Native(path)}) + QString::fromStdString(error),
                        mb::kOk | mb::kIconStop);
            return false;
        }
    }
    Tree().Remove(item);
    return true;
}

// ---- drag and drop -----------------------------------------------------------------------------

namespace {
QStringList LocalPaths(const QMimeData* data) {
    QStringList out;
    if (!data || !data->hasUrls()) return out;
    for (const QUrl& u : data->urls())
        if (u.isLocalFile()) out << QDir::cleanPath(u.toLocalFile());
    return out;
}

class AskingTransferHandler : public TransferHandler {
public:
    explicit AskingTransferHandler(const CProjectTree::Hooks& hooks) : hooks_(hooks) {}
    bool ReplaceFolder(const std::string& folder, const std::string& name) override {
        return ShowMessage(Msg(explorer_text::kReplaceFolder, {Native(folder), name}), mb::kYesNo | mb::kIconQuestion) ==
               mb::kIdYes;
    }
    bool ReplaceFile(const std::string& folder, const std::string& name) override {
        return ShowMessage(Msg(explorer_text::kReplaceFile, {Native(folder), name}), mb::kYesNo | mb::kIconQuestion) ==
               mb::kIdYes;
    }
    void CreateFolderFailed(const std::string& path, const std::string& error) override {
        ShowMessage(Msg(explorer_text::kFailedCreateDirNamed, {Native(path), error}), mb::kOk | mb::kIconStop);
    }
    CopyAnswer CopyFailed(const std::string& from, const std::string& to, const std::string& error) override {
        switch (ShowMessage(Msg(explorer_text::kFailedCopy, {Native(from), Native(to), error}),
                            mb::kAbortRetryIgnore | mb::kIconStop)) {
        case mb::kIdRetry: return CopyAnswer::Retry;
        case mb::kIdIgnore: return CopyAnswer::Ignore;
        default: return CopyAnswer::Abort;
        }
    }
    void Moved(const std::string& from, const std::string& to) override {
        if (hooks_.pathChanged) hooks_.pathChanged(from, to);
    }

private:
    const CProjectTree::Hooks& hooks_;
};
}  // namespace

void CProjectTree::startDrag(Qt::DropActions) {
    CancelRename();
    const QList<ExplorerItem*> selected = SelectedItems();
    QList<QUrl> urls;
    for (const ExplorerItem* i : selected) {
        bool inside = !i->parent;
        for (const ExplorerItem* p = i->parent; p && !inside; p = p->parent) inside = selected.contains(const_cast<ExplorerItem*>(p));
        if (!inside) urls << QUrl::fromLocalFile(FullPath(i));
    }
    if (urls.isEmpty()) return;
    auto* data = new QMimeData;
    data->setUrls(urls);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(model_->IndexOf(selected.first()).data(Qt::DecorationRole).value<QIcon>().pixmap(iconSize().isValid() ? iconSize() : QSize(16, 16)));
    // The drop carries out the copy or move itself; the drag's outcome needs nothing more here.
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
}

ExplorerItem* CProjectTree::DropTarget(const QPoint& pos, const QStringList& paths) const {
    ExplorerItem* item = model_->Item(indexAt(pos));
    if (!item || !item->IsFolder() || paths.isEmpty()) return nullptr;
    const QString target = FullPath(item);
    for (const QString& p : paths) {
        // Not onto a dragged item or anything inside one.
        if (target == p || target.startsWith(p + QLatin1Char('/'))) return nullptr;
    }
    if (selectionModel()->isSelected(model_->IndexOf(item)) && !paths.isEmpty() && paths.first() == FullPath(item)) return nullptr;
    return item;
}

void CProjectTree::dragEnterEvent(QDragEnterEvent* e) {
    if (LocalPaths(e->mimeData()).isEmpty()) {
        e->ignore();
        return;
    }
    QTreeView::dragEnterEvent(e);
    e->accept();
}

void CProjectTree::dragMoveEvent(QDragMoveEvent* e) {
    QTreeView::dragMoveEvent(e);  // auto-scroll at the edges and opening folders on hover
    if (DropTarget(e->position().toPoint(), LocalPaths(e->mimeData()))) {
        e->setDropAction((e->modifiers() & Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction);
        e->accept();
    } else {
        e->ignore();
    }
}

void CProjectTree::dropEvent(QDropEvent* e) {
    const QStringList paths = LocalPaths(e->mimeData());
    ExplorerItem* target = DropTarget(e->position().toPoint(), paths);
    setState(QAbstractItemView::NoState);
    viewport()->update();
    if (!target) {
        e->ignore();
        return;
    }
    const bool copy = (e->modifiers() & Qt::ControlModifier) != 0;
    e->setDropAction(Qt::CopyAction);  // the source is not to remove anything itself
    e->accept();
    // The questions and messages of the transfer wait until the drag has ended.
    const std::string targetPath = Tree().FullPath(target);
    QTimer::singleShot(0, this, [this, paths, targetPath, copy] {
        ExplorerItem* t = targetPath == Tree().RootFolder() ? Tree().Root() : Locate(targetPath, false);
        if (t) DropPaths(paths, t, copy);
    });
}

void CProjectTree::DropPaths(const QStringList& paths, ExplorerItem* target, bool copy) {
    if (!target || !target->IsFolder()) return;
    CancelRename();
    std::vector<std::string> sources;
    for (const QString& p : paths) sources.push_back(ExplorerModel::FromQt(p));
    const std::string targetPath = Tree().FullPath(target);
    AskingTransferHandler handler(hooks_);
    const TransferResult result = TransferItems(sources, targetPath, !copy, handler);
    // The disk decides what the tree shows now: the target, and for a move the sources' folders.
    Tree().Refresh(target);
    if (!copy) {
        for (const std::string& s : sources) {
            const std::string parent = ParentPath(s);
            ExplorerItem* from = parent == Tree().RootFolder() ? Tree().Root() : Locate(parent, false);
            if (from) Tree().Refresh(from);
        }
    }
    ExplorerItem* t = targetPath == Tree().RootFolder() ? Tree().Root() : Locate(targetPath, false);
    if (!t) return;
    expand(model_->IndexOf(t));
    QItemSelection placed;
    for (const auto& [from, to] : result.placed)
        if (ExplorerItem* item = ExplorerTree::Child(t, FileNameOf(to))) placed.select(model_->IndexOf(item), model_->IndexOf(item));
    if (!placed.isEmpty()) {
        selectionModel()->select(placed, QItemSelectionModel::ClearAndSelect);
        selectionModel()->setCurrentIndex(placed.indexes().first(), QItemSelectionModel::NoUpdate);
    }
}

}  // namespace tarnwell
