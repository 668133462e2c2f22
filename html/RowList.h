// The list of rows that the List Box and Server Objects dialogs edit: full-row selection of several
// rows, a column of buttons beside it, and the rules that move rows and enable the buttons.
#pragma once

#include <QStringList>

#include <array>

class QBoxLayout;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace tarnwell {

struct RowButton {
    const char* name;  // object name
    QString text;
};

// A list with the given column headers, each column `columnWidth` pixels wide.
QTreeWidget* NewRowList(QWidget* parent, const char* name, const QStringList& headers, int columnWidth);
// The buttons in a column (not auto-default, so Enter still means OK), in the order given.
std::array<QPushButton*, 5> AddRowButtons(QWidget* parent, QBoxLayout* column, const std::array<RowButton, 5>& buttons);

// `item` becomes the only selected and the current row.
void SelectOnlyRow(QTreeWidget* list, QTreeWidgetItem* item);
// Swaps the one selected row with its neighbour `by` (-1 up, +1 down) and keeps it selected.
void MoveSelectedRow(QTreeWidget* list, int by);
// The one selected row, or null when none or several are selected.
QTreeWidgetItem* SingleSelectedRow(const QTreeWidget* list);
// Remove while any row is selected, Change while one is, Up and Down while one is that can move.
void EnableRowButtons(const QTreeWidget* list, QWidget* remove, QWidget* change, QWidget* up, QWidget* down);

}  // namespace tarnwell
