#include "html/RowList.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

namespace tarnwell {

QTreeWidget* NewRowList(QWidget* parent, const char* name, const QStringList& headers, int columnWidth) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setHeaderLabels(headers);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int i = 0; i < headers.size(); ++i) list->header()->resizeSection(i, columnWidth);
    return list;
}

std::array<QPushButton*, 5> AddRowButtons(QWidget* parent, QBoxLayout* column, const std::array<RowButton, 5>& buttons) {
    std::array<QPushButton*, 5> made{};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        made[i] = new QPushButton(buttons[i].text, parent);
        made[i]->setObjectName(QString::fromLatin1(buttons[i].name));
        made[i]->setAutoDefault(false);
        column->addWidget(made[i]);
    }
    return made;
}

void SelectOnlyRow(QTreeWidget* list, QTreeWidgetItem* item) {
    list->clearSelection();
    list->setCurrentItem(item);
    item->setSelected(true);
}

QTreeWidgetItem* SingleSelectedRow(const QTreeWidget* list) {
    const auto selected = list->selectedItems();
    return selected.size() == 1 ? selected[0] : nullptr;
}

void MoveSelectedRow(QTreeWidget* list, int by) {
    QTreeWidgetItem* item = SingleSelectedRow(list);
    if (!item) return;
    const int from = list->indexOfTopLevelItem(item);
    const int to = from + by;
    if (to < 0 || to >= list->topLevelItemCount()) return;
    list->insertTopLevelItem(to, list->takeTopLevelItem(from));
    SelectOnlyRow(list, item);
}

void EnableRowButtons(const QTreeWidget* list, QWidget* remove, QWidget* change, QWidget* up, QWidget* down) {
    QTreeWidgetItem* one = SingleSelectedRow(list);
    const int at = one ? list->indexOfTopLevelItem(one) : -1;
    remove->setEnabled(!list->selectedItems().isEmpty());
    change->setEnabled(one != nullptr);
    up->setEnabled(at > 0);
    down->setEnabled(at >= 0 && at < list->topLevelItemCount() - 1);
}

}  // namespace tarnwell
