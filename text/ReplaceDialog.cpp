#include "text/ReplaceDialog.h"

#include "text/FindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
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

CReplaceDialog::CReplaceDialog(FindTarget& target, Profile& profile, QWidget* parent)
    : QDialog(parent), model_(std::make_unique<ReplaceDialogModel>(target, profile)) {
    setWindowTitle(QStringLiteral("Replace"));
    setObjectName(QStringLiteral("8602"));

    auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    findWhat_ = new QLineEdit(this);
    findWhat_->setObjectName(QStringLiteral("8605"));
    findLabel->setBuddy(findWhat_);
    auto* replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
    replaceWith_ = new QLineEdit(this);
    replaceWith_->setObjectName(QStringLiteral("8609"));
    replaceLabel->setBuddy(replaceWith_);
    wholeWord_ = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    wholeWord_->setObjectName(QStringLiteral("8603"));
    matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
    matchCase_->setObjectName(QStringLiteral("8604"));
    auto* scope = new QGroupBox(QStringLiteral("Replace in"), this);
    selection_ = new QRadioButton(QStringLiteral("&Selection"), scope);
    selection_->setObjectName(QStringLiteral("8613"));
    wholeFile_ = new QRadioButton(QStringLiteral("Wh&ole file"), scope);
    wholeFile_->setObjectName(QStringLiteral("8614"));
    auto* scopeLayout = new QVBoxLayout(scope);
    scopeLayout->addWidget(selection_);
    scopeLayout->addWidget(wholeFile_);
    findNext_ = new QPushButton(QStringLiteral("&Find Next"), this);
    findNext_->setObjectName(QStringLiteral("8610"));
    findNext_->setDefault(true);
    replace_ = new QPushButton(QStringLiteral("&Replace"), this);
    replace_->setObjectName(QStringLiteral("8607"));
    replaceAll_ = new QPushButton(QStringLiteral("Replace &All"), this);
    replaceAll_->setObjectName(QStringLiteral("8608"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("2"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(findWhat_, 0, 1, 1, 2);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(replaceWith_, 1, 1, 1, 2);
    grid->addWidget(wholeWord_, 2, 0, 1, 2);
    grid->addWidget(matchCase_, 3, 0, 1, 2);
    grid->addWidget(scope, 2, 2, 2, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNext_);
    buttons->addWidget(replace_);
    buttons->addWidget(replaceAll_);
    buttons->addWidget(cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 3, 4, 1);

    findWhat_->setText(Utf8(model_->findText));
    findWhat_->selectAll();
    replaceWith_->setText(Utf8(model_->replaceText));
    wholeWord_->setChecked(model_->wholeWord);
    matchCase_->setChecked(model_->matchCase);
    selection_->setEnabled(model_->SelectionEnabled());
    (model_->selectionScope ? selection_ : wholeFile_)->setChecked(true);
    UpdateButtons();

    connect(findWhat_, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
    connect(findNext_, &QPushButton::clicked, this, [this] {
        SyncToModel();
        model_->FindNext(ShowFindMessage);
    });
    connect(replace_, &QPushButton::clicked, this, [this] {
        SyncToModel();
        model_->Replace(ShowFindMessage);
    });
    connect(replaceAll_, &QPushButton::clicked, this, [this] {
        SyncToModel();
        model_->ReplaceAll(ShowFindMessage);
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

CReplaceDialog::~CReplaceDialog() {
    if (model_) model_->Close();
}

void CReplaceDialog::UpdateButtons() {
    const bool any = !findWhat_->text().isEmpty();
    findNext_->setEnabled(any);
    replace_->setEnabled(any);
    replaceAll_->setEnabled(any);
}

void CReplaceDialog::SyncToModel() {
    model_->findText = Bytes(findWhat_->text());
    model_->replaceText = Bytes(replaceWith_->text());
    model_->wholeWord = wholeWord_->isChecked();
    model_->matchCase = matchCase_->isChecked();
    model_->selectionScope = selection_->isChecked();
}

void CReplaceDialog::done(int r) {
    SyncToModel();
    model_->Close();
    QDialog::done(r);
}

}  // namespace tarnwell
