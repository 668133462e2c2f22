#include "ui/ToolBarCustomize.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tarnwell {

CToolBarCustomizeDialog::CToolBarCustomizeDialog(const QString& barTitle, std::vector<int> current,
                                                 std::vector<int> all, std::vector<int> initial, Describe describe,
                                                 QWidget* parent)
    : QDialog(parent), all_(std::move(all)), initial_(std::move(initial)), describe_(std::move(describe)) {
    setObjectName(QStringLiteral("CustomizeToolbar"));
    setWindowTitle(QStringLiteral("Customize Toolbar - %1").arg(barTitle));
    available_ = new QListWidget(this);
    available_->setObjectName(QStringLiteral("Available"));
    current_ = new QListWidget(this);
    current_->setObjectName(QStringLiteral("Current"));
    for (QListWidget* list : {available_, current_}) {
        list->setIconSize(QSize(16, 16));
        list->setMinimumSize(200, 260);
        connect(list, &QListWidget::currentRowChanged, this, &CToolBarCustomizeDialog::UpdateButtons);
    }
    connect(available_, &QListWidget::itemDoubleClicked, this, &CToolBarCustomizeDialog::Add);
    connect(current_, &QListWidget::itemDoubleClicked, this, &CToolBarCustomizeDialog::Remove);

    auto button = [this](const char* text, void (CToolBarCustomizeDialog::*slot)()) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    add_ = button("&Add ->", &CToolBarCustomizeDialog::Add);
    remove_ = button("<- &Remove", &CToolBarCustomizeDialog::Remove);
    up_ = button("Move &Up", &CToolBarCustomizeDialog::MoveUp);
    down_ = button("Move &Down", &CToolBarCustomizeDialog::MoveDown);
    QPushButton* reset = button("R&eset", &CToolBarCustomizeDialog::Reset);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    auto* availableLabel = new QLabel(QStringLiteral("A&vailable toolbar buttons:"), this);
    availableLabel->setBuddy(available_);
    auto* currentLabel = new QLabel(QStringLiteral("Current &toolbar buttons:"), this);
    currentLabel->setBuddy(current_);
    grid->addWidget(availableLabel, 0, 0);
    grid->addWidget(currentLabel, 0, 2);
    grid->addWidget(available_, 1, 0);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(add_);
    middle->addWidget(remove_);
    middle->addStretch();
    grid->addLayout(middle, 1, 1);
    grid->addWidget(current_, 1, 2);
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {close, reset, up_, down_}) side->addWidget(b);
    side->addStretch();
    grid->addLayout(side, 1, 3);

    Fill(current);
}

QListWidgetItem* CToolBarCustomizeDialog::MakeItem(int id) const {
    QIcon icon;
    QString text = QStringLiteral("Separator");
    if (id != 0 && describe_) describe_(id, icon, text);
    auto* item = new QListWidgetItem(icon, text);
    item->setData(Qt::UserRole, id);
    return item;
}

void CToolBarCustomizeDialog::Fill(const std::vector<int>& layout) {
    current_->clear();
    for (int id : layout) current_->addItem(MakeItem(id));
    current_->setCurrentRow(current_->count() > 0 ? 0 : -1);
    FillAvailable(0);
}

void CToolBarCustomizeDialog::FillAvailable(int selectId) {
    // The separator is always available; a button only while the bar does not show it, in the bar's
    // own order.
    available_->clear();
    available_->addItem(MakeItem(0));
    const std::vector<int> shown = Layout();
    for (int id : all_) {
        if (id != 0 && std::find(shown.begin(), shown.end(), id) == shown.end()) {
            available_->addItem(MakeItem(id));
            if (id == selectId) available_->setCurrentRow(available_->count() - 1);
        }
    }
    if (available_->currentRow() < 0) available_->setCurrentRow(0);
    UpdateButtons();
}

std::vector<int> CToolBarCustomizeDialog::Layout() const {
    std::vector<int> ids;
    for (int i = 0; i < current_->count(); ++i) ids.push_back(current_->item(i)->data(Qt::UserRole).toInt());
    return ids;
}

void CToolBarCustomizeDialog::Add() {
    const int row = available_->currentRow();
    if (row < 0) return;
    const int id = available_->item(row)->data(Qt::UserRole).toInt();
    // Inserted before the selected current button, or at the end.
    const int at = current_->currentRow() >= 0 ? current_->currentRow() : current_->count();
    current_->insertItem(at, MakeItem(id));
    current_->setCurrentRow(at);
    FillAvailable(0);
}

void CToolBarCustomizeDialog::Remove() {
    const int row = current_->currentRow();
    if (row < 0) return;
    const int id = current_->item(row)->data(Qt::UserRole).toInt();
    delete current_->takeItem(row);
    FillAvailable(id);
}

void CToolBarCustomizeDialog::MoveUp() {
    const int row = current_->currentRow();
    if (row <= 0) return;
    current_->insertItem(row - 1, current_->takeItem(row));
    current_->setCurrentRow(row - 1);
}

void CToolBarCustomizeDialog::MoveDown() {
    const int row = current_->currentRow();
    if (row < 0 || row + 1 >= current_->count()) return;
    current_->insertItem(row + 1, current_->takeItem(row));
    current_->setCurrentRow(row + 1);
}

void CToolBarCustomizeDialog::Reset() { Fill(initial_); }

void CToolBarCustomizeDialog::UpdateButtons() {
    const int row = current_->currentRow();
    add_->setEnabled(available_->currentRow() >= 0);
    remove_->setEnabled(row >= 0);
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row + 1 < current_->count());
}

}  // namespace tarnwell
