#include "text/FindDialog.h"

#include "text/AskWithCheck.h"
#include "text/EditCommandIds.h"
#include "text/ReplaceDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarnwell {

namespace {
QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string Bytes(const QString& s) { return s.toUtf8().toStdString(); }
}  // namespace

void ShowFindMessage(const std::string& message, bool information) {
    ShowMessage(Utf8(message), mb::kOk | (information ? mb::kIconInformation : mb::kIconExclamation));
}

CFindDialog::CFindDialog(FindTarget& target, Profile& profile, QWidget* parent)
    : QDialog(parent), model_(std::make_unique<FindDialogModel>(target, profile)) {
    setWindowTitle(QStringLiteral("Find"));
    setObjectName(QStringLiteral("8601"));

    auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    findWhat_ = new QLineEdit(this);
    findWhat_->setObjectName(QStringLiteral("8605"));
    label->setBuddy(findWhat_);
    wholeWord_ = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    wholeWord_->setObjectName(QStringLiteral("8603"));
    matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
    matchCase_->setObjectName(QStringLiteral("8604"));
    auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
    up_ = new QRadioButton(QStringLiteral("&Up"), direction);
    up_->setObjectName(QStringLiteral("8611"));
    down_ = new QRadioButton(QStringLiteral("&Down"), direction);
    down_->setObjectName(QStringLiteral("8612"));
    auto* dirLayout = new QHBoxLayout(direction);
    dirLayout->addWidget(up_);
    dirLayout->addWidget(down_);
    findNext_ = new QPushButton(QStringLiteral("&Find Next"), this);
    findNext_->setObjectName(QStringLiteral("1"));
    findNext_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("2"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(findWhat_, 0, 1, 1, 2);
    grid->addWidget(wholeWord_, 1, 0, 1, 2);
    grid->addWidget(matchCase_, 2, 0, 1, 2);
    grid->addWidget(direction, 1, 2, 2, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNext_);
    buttons->addWidget(cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 3, 3, 1);

    findWhat_->setText(Utf8(model_->text));
    findWhat_->selectAll();
    wholeWord_->setChecked(model_->wholeWord);
    matchCase_->setChecked(model_->matchCase);
    (model_->up ? up_ : down_)->setChecked(true);
    findNext_->setEnabled(!findWhat_->text().isEmpty());

    connect(findWhat_, &QLineEdit::textChanged, this,
            [this](const QString& t) { findNext_->setEnabled(!t.isEmpty()); });
    connect(findNext_, &QPushButton::clicked, this, [this] { OnFindNext(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

CFindDialog::~CFindDialog() {
    if (model_) model_->Close();
}

void CFindDialog::SyncToModel() {
    model_->text = Bytes(findWhat_->text());
    model_->wholeWord = wholeWord_->isChecked();
    model_->matchCase = matchCase_->isChecked();
    model_->up = up_->isChecked();
}

void CFindDialog::OnFindNext() {
    SyncToModel();
    if (model_->FindNext(ShowFindMessage)) accept();
}

void CFindDialog::done(int r) {
    SyncToModel();
    model_->Close();
    QDialog::done(r);
}

bool UpdateFindCommand(int id, FindTarget* target, bool& enabled) {
    switch (id) {
    case cmd::EditFind: enabled = target != nullptr; return true;
    case cmd::EditFindNext:
    case cmd::EditFindNextMenu: enabled = target && target->LastSearch().hasLastSearch; return true;
    case cmd::EditReplace: enabled = target && target->IsEditable(); return true;
    default: return false;
    }
}

bool ExecuteFindCommand(int id, FindTarget& target, Profile& profile, QWidget* parent) {
    switch (id) {
    case cmd::EditFind: {
        CFindDialog dlg(target, profile, parent);
        dlg.exec();
        return true;
    }
    case cmd::EditFindNext:
    case cmd::EditFindNextMenu:
        FindNext(target, ShowFindMessage);
        return true;
    case cmd::EditReplace: {
        if (!target.IsEditable()) return true;
        CReplaceDialog dlg(target, profile, parent);
        dlg.exec();
        return true;
    }
    default: return false;
    }
}

}  // namespace tarnwell
