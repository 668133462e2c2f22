// The item model the explorer's tree view shows: one column over the engine's ExplorerTree, told of
// every change through the tree's observer, with the file-type images of the desktop.
#pragma once

#include "project/ExplorerTree.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>

namespace tarnwell {

// Images by file type: the desktop's icon for the extension's MIME type, cached per extension.
class ExplorerIcons {
public:
    QIcon Icon(const ExplorerItem& item) const;

private:
    mutable QHash<QString, QIcon> byExtension_;
    mutable QIcon folder_, folderOpen_, root_, rootOpen_, special_;
};

class ExplorerModel : public QAbstractItemModel, private ExplorerObserver {
    Q_OBJECT
public:
    explicit ExplorerModel(QObject* parent = nullptr);
    ~ExplorerModel() override;

    ExplorerTree& Tree() { return tree_; }
    const ExplorerTree& Tree() const { return tree_; }

    ExplorerItem* Item(const QModelIndex& index) const;
    QModelIndex IndexOf(const ExplorerItem* item) const;
    QString FullPath(const QModelIndex& index) const;
    static QString ToQt(const std::string& path);
    static std::string FromQt(const QString& path);

    // The root's text ("name [folder]"); the root folder itself until set.
    void SetRootText(const QString& text);
    // An item whose text is blanked while an edit field stands over it (null: none).
    void SetHiddenText(const ExplorerItem* item);
    // Expanding shows the "open" image of a folder.
    void SetExpanded(const QModelIndex& index, bool expanded);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

private:
    void AboutToReset() override;
    void Reset() override;
    void AboutToInsert(const ExplorerItem* parent, int row, int count) override;
    void Inserted() override;
    void AboutToRemove(const ExplorerItem* item) override;
    void Removed() override;
    void AboutToReorder() override;
    void Reordered() override;
    void Changed(const ExplorerItem* item) override;

    ExplorerTree tree_;
    ExplorerIcons icons_;
    QString rootText_;
    const ExplorerItem* hidden_ = nullptr;
    QList<const ExplorerItem*> reorderItems_;
    QModelIndexList reorderIndexes_;
};

}  // namespace tarnwell
