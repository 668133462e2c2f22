#include "project/CProjectSheet.h"

#include "platform/Profile.h"
#include "project/FileSystem.h"
#include "project/NewProject.h"
#include "text/AskWithCheck.h"
#include "ui/SingleLineEdit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarnwell {

namespace {

QString Qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CProjectPage1::CProjectPage1(const QString& defaultFolder, const QString& globalAsaTemplate)
    : name_(new QLineEdit), path_(new QLineEdit(defaultFolder)), browse_(new QToolButton),
      globalAsa_(new QCheckBox(QStringLiteral("Create Global.asa"))), template_(globalAsaTemplate) {
    setTitle(QStringLiteral("General"));
    browse_->setText(QStringLiteral("..."));
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(path_);
    pathRow->addWidget(browse_);
    auto* form = new QFormLayout(this);
    auto* nameLabel = new QLabel(QStringLiteral("&Name:"));
    nameLabel->setBuddy(name_);
    auto* pathLabel = new QLabel(QStringLiteral("Local &path:"));
    pathLabel->setBuddy(path_);
    form->addRow(nameLabel, name_);
    form->addRow(pathLabel, pathRow);
    form->addRow(globalAsa_);
    globalAsa_->setChecked(true);
    RefuseLineBreaks(name_);
    RefuseLineBreaks(path_);
    connect(browse_, &QToolButton::clicked, this, [this] {
        const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Choose Directory"), path_->text());
        if (!dir.isEmpty()) path_->setText(dir);
    });
}

void CProjectPage1::SetPropertyMode(const QString& name, const QString& folder) {
    name_->setText(name);
    path_->setText(folder);
    name_->setReadOnly(true);
    path_->setReadOnly(true);
    browse_->setEnabled(false);
    globalAsa_->hide();
}

QString CProjectPage1::ProjectFile() const {
    return acceptedName_.empty() ? QString() : Qs(JoinPath(acceptedPath_, acceptedName_));
}

bool CProjectPage1::validatePage() {
    using namespace newproject_text;
    std::string name = name_->text().toStdString();
    if (const std::string error = CheckProjectName(name); !error.empty()) {
        ShowMessage(Qs(error));
        name_->setFocus();
        return false;
    }
    std::string path = path_->text().toStdString();
    if (name != acceptedName_ || path != acceptedPath_) {
        if (const std::string error = CheckProjectFolder(path); !error.empty()) {
            ShowMessage(Qs(error));
            path_->setFocus();
            return false;
        }
        if (ReadEntry(path).type != EntryType::Folder) {
            if (ShowMessage(QString::fromUtf8(kAskCreate).replace(QStringLiteral("%s"), Qs(path)),
                            mb::kYesNo | mb::kIconQuestion) != mb::kIdYes)
                return false;
            std::string error;
            if (!CreateFolderPath(path, error)) {
                ShowMessage(QString::fromUtf8(kFailedCreateDir).replace(QStringLiteral("%s"), Qs(error)),
                            mb::kOk | mb::kIconStop);
                return false;
            }
        }
        if (FolderHoldsProject(path)) {
            ShowMessage(QString::fromUtf8(kAlreadyExists));
            return false;
        }
        std::string error;
        if (!WriteProjectHeader(JoinPath(path, name), error)) {
            ShowMessage(QString::fromUtf8(kFailedCreate).replace(QStringLiteral("%s"), Qs(error)), mb::kOk | mb::kIconStop);
            return false;
        }
        acceptedName_ = name;
        acceptedPath_ = path;
        path_->setText(Qs(path));
        globalAsaCreated_ = false;
    }
    if (globalAsaCreated_ || !globalAsa_->isChecked()) return true;
    return CreateGlobalAsa();
}

bool CProjectPage1::CreateGlobalAsa() {
    using namespace newproject_text;
    const std::string target = JoinPath(acceptedPath_, "Global.asa");
    if (Exists(target) && ShowMessage(QString::fromUtf8(kAskOverwriteGlobal), mb::kYesNo | mb::kIconQuestion) != mb::kIdYes)
        return true;
    for (;;) {
        std::string error;
        if (CopyGlobalAsa(template_.toStdString(), target, error)) {
            globalAsaCreated_ = true;
            return true;
        }
        const int answer = ShowMessage(QString::fromUtf8(kFailedGlobal).replace(QStringLiteral("%s"), Qs(error)),
                                       mb::kAbortRetryIgnore | mb::kIconStop);
        if (answer == mb::kIdIgnore) return true;
        if (answer != mb::kIdRetry) return false;
    }
}

CProjectPage2::CProjectPage2(Profile& profile) : profile_(profile), webPath_(new QLineEdit) {
    setTitle(QStringLiteral("Web Path"));
    webPath_->setMaxLength(255);
    RefuseLineBreaks(webPath_);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Web path:"));
    label->setBuddy(webPath_);
    auto* note1 = new QLabel(QStringLiteral("The web path is the URL of the project's root folder on your web server."));
    auto* note2 = new QLabel(QStringLiteral(
        "The web path is used to preview ASP files. Because ASP files must be processed by the server, if you "
        "don't specify the web path, the ASP files will not be previewed correctly."));
    note1->setWordWrap(true);
    note2->setWordWrap(true);
    layout->addWidget(note1);
    layout->addWidget(label);
    layout->addWidget(webPath_);
    layout->addWidget(note2);
    layout->addStretch();
}

bool CProjectPage2::validatePage() {
    if (declined_ || !webPath_->text().trimmed().isEmpty() || profile_.GetInt("Messages", "Ask Web Path", 1) == 0)
        return true;
    int check = 0;
    const int answer = AskWithCheck(QString::fromUtf8(newproject_text::kAskWebPath), QStringLiteral("Don't ask me again"),
                                    &check, mb::kYesNoCancel | mb::kIconQuestion);
    profile_.WriteInt("Messages", "Ask Web Path", check ? 0 : 1);
    if (answer == mb::kIdYes) webPath_->setFocus();
    if (answer != mb::kIdNo) return false;
    declined_ = true;
    return true;
}

CProjectSheet::CProjectSheet(const QString& defaultFolder, const QString& globalAsaTemplate, Profile& profile,
                             QWidget* parent)
    : QWizard(parent), page1_(new CProjectPage1(defaultFolder, globalAsaTemplate)), page2_(new CProjectPage2(profile)) {
    setWindowTitle(QStringLiteral("New Project"));
    setWizardStyle(QWizard::ClassicStyle);
    addPage(page1_);
    addPage(page2_);
}

QString CProjectPage2::WebPath() const { return webPath_->text().trimmed(); }

QString CProjectSheet::WebPath() const { return page2_->WebPath(); }

CProjectPropertySheet::CProjectPropertySheet(const QString& name, const QString& folder, const QString& webPath,
                                             Profile& profile, int startPage, QWidget* parent)
    : QDialog(parent), page1_(new CProjectPage1(folder, QString())), page2_(new CProjectPage2(profile)),
      tabs_(new QTabWidget(this)) {
    setWindowTitle(QStringLiteral("Properties"));
    page1_->SetPropertyMode(name, folder);
    page2_->WebPathEdit()->setText(webPath);
    tabs_->addTab(page1_, page1_->title());
    tabs_->addTab(page2_, page2_->title());
    tabs_->setCurrentIndex(startPage == PageWebPath ? 1 : 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    if (startPage == PageWebPath) page2_->WebPathEdit()->setFocus();
    resize(sizeHint().expandedTo(QSize(440, 300)));
}

void CProjectPropertySheet::accept() {
    if (!page2_->validatePage()) {
        tabs_->setCurrentWidget(page2_);
        return;
    }
    QDialog::accept();
}

}  // namespace tarnwell
