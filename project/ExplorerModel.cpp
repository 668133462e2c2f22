#include "project/ExplorerModel.h"

#include "platform/FilePath.h"

#include <QFileIconProvider>
#include <QMimeData>
#include <QMimeDatabase>
#include <QUrl>

namespace tarnwell {

QIcon ExplorerIcons::Icon(const ExplorerItem& item) const {
    if (folder_.isNull()) {
        QFileIconProvider provider;
        folder_ = provider.icon(QFileIconProvider::Folder);
        folderOpen_ = QIcon::fromTheme(QStringLiteral("folder-open"), folder_);
        root_ = QIcon::fromTheme(QStringLiteral("folder-development"), folder_);
        rootOpen_ = QIcon::fromTheme(QStringLiteral("folder-open"), root_);
        special_ = QIcon::fromTheme(QStringLiteral("inode-fifo"), provider.icon(QFileIconProvider::File));
    }
    switch (item.kind) {
    case ExplorerKind::Root: return item.expanded ? rootOpen_ : root_;
    case ExplorerKind::Folder: return item.expanded ? folderOpen_ : folder_;
    case ExplorerKind::LoopLink: return folder_;
    case ExplorerKind::Special: return special_;
    case ExplorerKind::File: break;
    }
    // The image of a file comes from its extension: the text from the last "." on.
    const QString ext = QString::fromLocal8Bit(ExtensionOf(item.name)).toLower();
    auto it = byExtension_.constFind(ext);
    if (it != byExtension_.constEnd()) return *it;
    static const QMimeDatabase db;
    const QMimeType mime = ext.isEmpty() ? db.mimeTypeForName(QStringLiteral("text/plain"))
                                         : db.mimeTypeForFile(QStringLiteral("x") + ext, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
    if (icon.isNull()) icon = QFileIconProvider().icon(QFileIconProvider::File);
    byExtension_.insert(ext, icon);
    return icon;
}

ExplorerModel::ExplorerModel(QObject* parent) : QAbstractItemModel(parent) { tree_.SetObserver(this); }

ExplorerModel::~ExplorerModel() { tree_.SetObserver(nullptr); }

QString ExplorerModel::ToQt(const std::string& path) {
#ifdef _WIN32
    return QString::fromStdString(path);
#else
    return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}

std::string ExplorerModel::FromQt(const QString& path) { return FsPath(path).string(); }

ExplorerItem* ExplorerModel::Item(const QModelIndex& index) const {
    return index.isValid() ? static_cast<ExplorerItem*>(index.internalPointer()) : nullptr;
}

QModelIndex ExplorerModel::IndexOf(const ExplorerItem* item) const {
    if (!item) return {};
    return createIndex(item->parent ? item->row : 0, 0, const_cast<ExplorerItem*>(item));
}

QString ExplorerModel::FullPath(const QModelIndex& index) const {
    const ExplorerItem* item = Item(index);
    return item ? ToQt(tree_.FullPath(item)) : QString();
}

void ExplorerModel::SetRootText(const QString& text) {
    rootText_ = text;
    if (tree_.Root()) Changed(tree_.Root());
}

void ExplorerModel::SetHiddenText(const ExplorerItem* item) {
    const ExplorerItem* old = hidden_;
    hidden_ = item;
    if (old) Changed(old);
    if (item) Changed(item);
}

void ExplorerModel::SetExpanded(const QModelIndex& index, bool expanded) {
    if (ExplorerItem* item = Item(index); item && item->expanded != expanded) {
        item->expanded = expanded;
        Changed(item);
    }
}

QModelIndex ExplorerModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (!parent.isValid()) return row == 0 && tree_.Root() ? createIndex(0, 0, tree_.Root()) : QModelIndex();
    const ExplorerItem* p = Item(parent);
    if (!p || row >= int(p->children.size())) return {};
    return createIndex(row, 0, p->children[std::size_t(row)].get());
}

QModelIndex ExplorerModel::parent(const QModelIndex& child) const {
    const ExplorerItem* item = Item(child);
    return item ? IndexOf(item->parent) : QModelIndex();
}

int ExplorerModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return tree_.Root() ? 1 : 0;
    const ExplorerItem* p = Item(parent);
    return p ? int(p->children.size()) : 0;
}

int ExplorerModel::columnCount(const QModelIndex&) const { return 1; }

bool ExplorerModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant ExplorerModel::data(const QModelIndex& index, int role) const {
    const ExplorerItem* item = Item(index);
    if (!item) return {};
    switch (role) {
    case Qt::DisplayRole:
        if (item == hidden_) return QString();
        if (!item->parent) return rootText_.isEmpty() ? ToQt(tree_.RootFolder()) : rootText_;
        return ToQt(item->name);
    case Qt::EditRole: return item->parent ? ToQt(item->name) : ToQt(tree_.RootFolder());
    case Qt::DecorationRole: return icons_.Icon(*item);
    case Qt::ToolTipRole: return FullPath(index);
    default: return {};
    }
}

Qt::ItemFlags ExplorerModel::flags(const QModelIndex& index) const {
    const ExplorerItem* item = Item(index);
    if (!item) return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (item->parent) f |= Qt::ItemIsDragEnabled;
    if (item->IsFolder()) f |= Qt::ItemIsDropEnabled;
    return f;
}

QStringList ExplorerModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData* ExplorerModel::mimeData(const QModelIndexList& indexes) const {
    QList<QUrl> urls;
    for (const QModelIndex& i : indexes) urls << QUrl::fromLocalFile(FullPath(i));
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

Qt::DropActions ExplorerModel::supportedDropActions() const { return Qt::CopyAction | Qt::MoveAction; }
Qt::DropActions ExplorerModel::supportedDragActions() const { return Qt::CopyAction | Qt::MoveAction; }

void ExplorerModel::AboutToReset() {
    hidden_ = nullptr;
    beginResetModel();
}
void ExplorerModel::Reset() { endResetModel(); }

void ExplorerModel::AboutToInsert(const ExplorerItem* parent, int row, int count) {
    beginInsertRows(IndexOf(parent), row, row + count - 1);
}
void ExplorerModel::Inserted() { endInsertRows(); }

void ExplorerModel::AboutToRemove(const ExplorerItem* item) {
    for (const ExplorerItem* p = hidden_; p; p = p->parent)
        if (p == item) hidden_ = nullptr;
    beginRemoveRows(IndexOf(item->parent), item->row, item->row);
}
void ExplorerModel::Removed() { endRemoveRows(); }

void ExplorerModel::AboutToReorder() {
    emit layoutAboutToBeChanged();
    reorderIndexes_ = persistentIndexList();
    reorderItems_.clear();
    for (const QModelIndex& i : reorderIndexes_) reorderItems_ << Item(i);
}

void ExplorerModel::Reordered() {
    QModelIndexList now;
    for (const ExplorerItem* item : reorderItems_) now << IndexOf(item);
    changePersistentIndexList(reorderIndexes_, now);
    reorderIndexes_.clear();
    reorderItems_.clear();
    emit layoutChanged();
}

void ExplorerModel::Changed(const ExplorerItem* item) {
    const QModelIndex i = IndexOf(item);
    emit dataChanged(i, i);
}

}  // namespace tarnwell
