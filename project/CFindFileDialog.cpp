#include "project/CFindFileDialog.h"

#include "platform/Profile.h"
#include "project/CProjectTree.h"
#include "project/FindFile.h"
#include "text/AskWithCheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarnwell {

namespace {
constexpr const char* kSection = "Find File";
}

CFindFileDialog::CFindFileDialog(CProjectTree& tree, Profile& profile, QWidget* parent)
    : QDialog(parent), tree_(tree), profile_(profile) {
    setObjectName(QStringLiteral("FindFileDialog"));
    setWindowTitle(QStringLiteral("Find File"));
    setModal(false);
    name_ = new QComboBox(this);
    name_->setEditable(true);
    name_->setInsertPolicy(QComboBox::NoInsert);
    name_->lineEdit()->setMaxLength(255);
    name_->setMinimumWidth(260);
    for (int i = 0; i < kHistoryLimit; ++i) {
        const std::string v = profile_.GetString(kSection, "#" + std::to_string(i));
        if (!v.empty()) name_->addItem(QString::fromStdString(v));
    }
    name_->setCurrentIndex(-1);
    name_->setEditText({});
    folder_ = new QLineEdit(this);
    folder_->setReadOnly(true);
    focusTree_ = new QCheckBox(QStringLiteral("Set focus to explorer automatically"), this);
    find_ = new QPushButton(QStringLiteral("&Find"), this);
    next_ = new QPushButton(QStringLiteral("Find &Next"), this);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    find_->setDefault(true);
    find_->setAutoDefault(true);

    auto* nameLabel = new QLabel(QStringLiteral("&Name:"), this);
    nameLabel->setBuddy(name_);
    auto* folderLabel = new QLabel(QStringLiteral("&Look in:"), this);
    folderLabel->setBuddy(folder_);
    auto* grid = new QGridLayout(this);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(name_, 0, 1);
    grid->addWidget(folderLabel, 1, 0);
    grid->addWidget(folder_, 1, 1);
    grid->addWidget(focusTree_, 2, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(find_);
    buttons->addWidget(next_);
    buttons->addWidget(close);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 3, 1);

    connect(find_, &QPushButton::clicked, this, [this] { Find(); });
    connect(next_, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

CFindFileDialog::~CFindFileDialog() {
    const QStringList names = History();
    for (int i = 0; i < kHistoryLimit; ++i) {
        const std::string key = "#" + std::to_string(i);
        if (i < names.size())
            profile_.WriteString(kSection, key, names[i].toStdString());
        else
            profile_.DeleteValue(kSection, key);
    }
}

QStringList CFindFileDialog::History() const {
    QStringList out;
    for (int i = 0; i < name_->count(); ++i) out << name_->itemText(i);
    return out;
}

void CFindFileDialog::OpenFor(const ExplorerItem* folder) {
    folderPath_ = tree_.Tree().FullPath(folder);
    folder_->setText(QDir::toNativeSeparators(tree_.FullPath(folder)));
    lastMatch_.clear();
    if (!isVisible()) {
        adjustSize();
        if (QWidget* p = parentWidget()) move(p->frameGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
    name_->setFocus();
    name_->lineEdit()->selectAll();
}

bool CFindFileDialog::Find() {
    lastMatch_.clear();
    return Search(true);
}

bool CFindFileDialog::FindNext() { return Search(false); }

void CFindFileDialog::Remember(const QString& name) {
    for (int i = 0; i < name_->count(); ++i) {
        if (name_->itemText(i).compare(name, Qt::CaseInsensitive) == 0) {
            name_->removeItem(i);
            break;
        }
    }
    name_->insertItem(0, name);
    while (name_->count() > kHistoryLimit) name_->removeItem(name_->count() - 1);
    name_->setCurrentIndex(0);
}

bool CFindFileDialog::Search(bool fromTop) {
    const QString name = name_->currentText();
    ExplorerTree& tree = tree_.Tree();
    const ExplorerItem* found = nullptr;
    if (!name.isEmpty()) {
        Remember(name);
        // The folder and the last match are looked up again: the tree may have changed since.
        const ExplorerItem* folder = folderPath_ == tree.RootFolder() ? tree.Root() : tree.Locate(folderPath_, false);
        const ExplorerItem* last = fromTop || lastMatch_.empty() ? nullptr : tree.Locate(lastMatch_, false);
        const FileNameMatcher matcher(name.toStdString());
        if (folder) found = FindNextWrapping(folder, last, matcher);
    }
    if (!found) {
        lastMatch_.clear();
        ShowMessage(QString::fromLatin1(kNotFound), mb::kOk | mb::kIconInformation);
        return false;
    }
    lastMatch_ = tree.FullPath(found);
    tree_.SelectOnly(found);
    emit tree_.ShowRequested();
    if (focusTree_->isChecked()) {
        tree_.window()->activateWindow();
        tree_.setFocus();
    }
    return true;
}

}  // namespace tarnwell
