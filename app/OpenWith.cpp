#include "app/OpenWith.h"

#include "app/CChildFrame.h"
#include "app/CEditorApp.h"
#include "app/CVeskDoc.h"
#include "app/DesktopEntries.h"
#include "app/ExternalEditor.h"
#include "app/FileAssociations.h"
#include "app/OptionsFileTypes.h"
#include "app/OptionsSheet.h"
#include "text/AskWithCheck.h"
#include "ui/SingleLineEdit.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeDatabase>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <map>

namespace tarnwell {

namespace {

constexpr bool kDesktopEntries =
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    true;
#else
    false;
#endif

QString Qs(const std::string& s) { return QString::fromStdString(s); }

std::string ReadSmallFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(4 << 20).toStdString() : std::string();
}

bool OpenInEditor(const QString& path) {
    CEditorApp* app = CEditorApp::Instance();
    CVeskDoc* doc = app ? app->OpenDocumentFile(path) : nullptr;
    if (!doc) return false;
    if (!doc->Frames().isEmpty())
        if (QWidget* view = doc->Frames().first()->SourceView(); view && !view->hasFocus()) view->setFocus();
    return true;
}

// Starts `program` on the file; false with the reason.
bool Launch(const QString& program, const QString& parameters, const QString& path, QString& error) {
    const std::optional<LaunchCommand> command =
        BuildLaunch(program, parameters, QDir::toNativeSeparators(path), DesktopEntryExec);
    if (!command) {
        error = QStringLiteral("The program cannot be found.");
        return false;
    }
    return StartLaunch(*command, error);
}

void LaunchAssociated(const Association& row, const QString& path) {
    QString error;
    if (Launch(Qs(row.editor), Qs(row.parameters), path, error)) return;
    const QString text = QStringLiteral("Failed to launch associated editor \"%1\": %2\n\nDo you want correct this problem now?")
                             .arg(Qs(row.editor), error.left(255));
    if (ShowMessage(text, mb::kYesNo | mb::kIconExclamation) != mb::kIdYes) return;
    COptionsSheet& options = COptionsSheet::Get();
    options.SetStartPage(COptionsSheet::PageFileTypes);
    options.Show();
}

void OpenWithChosenProgram(const QString& path) {
    COptionsSheet& options = COptionsSheet::Get();
    const std::string ext = ExtensionOf(path.toStdString());
    const bool canRemember = !ext.empty() && !options.FileTypes().Find(ext) &&
                             options.FileTypes().Rows().size() < size_t(AssociationTable::kMaxRows);
    COpenWithDialog dialog(path, canRemember, DialogOwner());
    if (dialog.exec() != QDialog::Accepted) return;
    QString error;
    if (!Launch(dialog.Program(), dialog.Parameters(), path, error)) {
        ShowMessage(QStringLiteral("Failed to open \"%1\": %2").arg(QDir::toNativeSeparators(path), error.left(255)));
        return;
    }
    if (dialog.Remember() &&
        options.FileTypes().Add({ext, dialog.Program().toStdString(), dialog.Parameters().toStdString(), false}))
        options.SaveFileTypes();
}

void OpenWithDesktop(const QString& path) {
    if (DesktopApplicationFor(path).isEmpty()) {
        OpenWithChosenProgram(path);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        ShowMessage(QStringLiteral("Failed to open \"%1\": %2")
                        .arg(QDir::toNativeSeparators(path), QStringLiteral("The desktop could not start a program for it.")));
}

QStringList ApplicationDirs() { return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation); }

// The desktop entries of one folder, each with what it says of itself.
QList<QPair<QFileInfo, DesktopEntryInfo>> EntriesIn(const QString& dir) {
    QList<QPair<QFileInfo, DesktopEntryInfo>> out;
    for (const QFileInfo& fi : QDir(dir).entryInfoList({QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable))
        out.append({fi, ParseDesktopEntry(ReadSmallFile(fi.filePath()))});
    return out;
}

// A folder's mimeinfo.cache, or the same built from its entries when the desktop keeps none.
std::string MimeCacheOf(const QString& dir) {
    const QString path = dir + QStringLiteral("/mimeinfo.cache");
    if (QFileInfo::exists(path)) return ReadSmallFile(path);
    std::map<std::string, std::string> byType;
    for (const auto& [fi, e] : EntriesIn(dir))
        if (e.application && !e.exec.empty())
            for (const std::string& t : e.mimeTypes) byType[t] += fi.fileName().toStdString() + ";";
    std::string cache = "[MIME Cache]\n";
    for (const auto& [type, ids] : byType) cache += type + "=" + ids + "\n";
    return cache;
}

}  // namespace

bool OpenWithAssociation(const QString& path) {
    COptionsSheet& options = COptionsSheet::Get();
    const Association* found = nullptr;
    switch (RouteFor(options.FileTypes(), options.FileTypeOptions().openUnlisted, path.toStdString(),
                     COptionsSheet::SelfPath(), &found)) {
    case OpenRoute::Editor: return OpenInEditor(path);
    case OpenRoute::External: {
        const Association row = *found;  // the options sheet may change the table meanwhile
        LaunchAssociated(row, path);
        return false;
    }
    case OpenRoute::Desktop: OpenWithDesktop(path); return false;
    }
    return false;
}

QStringList MimeTypesOf(const QString& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    QStringList types{type.name()};
    types += type.aliases();
    types += type.allAncestors();
    types.removeDuplicates();
    return types;
}

QString DesktopApplicationFor(const QString& path) {
    if (!kDesktopEntries) return QStringLiteral("*");
    std::vector<std::string> types;
    for (const QString& t : MimeTypesOf(path)) types.push_back(t.toStdString());
    QStringList desktops;
    for (const QString& d : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        desktops << d.toLower();
    std::vector<std::string> lists, caches;
    auto addList = [&](const QString& dir) {
        for (const QString& d : desktops) lists.push_back(ReadSmallFile(dir + QLatin1Char('/') + d + QStringLiteral("-mimeapps.list")));
        lists.push_back(ReadSmallFile(dir + QStringLiteral("/mimeapps.list")));
    };
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) addList(dir);
    for (const QString& dir : ApplicationDirs()) {
        addList(dir);
        caches.push_back(MimeCacheOf(dir));
    }
    return Qs(DefaultApplicationFor(types, lists, caches, [](const std::string& id) {
        return !QStandardPaths::locate(QStandardPaths::ApplicationsLocation, Qs(id)).isEmpty();
    }));
}

QList<InstalledApplication> InstalledApplications(const QStringList& mimeTypes) {
    QList<InstalledApplication> apps;
    QSet<QString> seen;
    for (const QString& dir : ApplicationDirs()) {
        for (const auto& [fi, e] : EntriesIn(dir)) {
            if (seen.contains(fi.fileName())) continue;
            seen.insert(fi.fileName());
            if (!e.application || e.hidden || e.exec.empty()) continue;
            InstalledApplication a{fi.fileName(), Qs(e.name.empty() ? fi.completeBaseName().toStdString() : e.name),
                                   Qs(e.icon), false};
            for (const std::string& t : e.mimeTypes) a.handlesType = a.handlesType || mimeTypes.contains(Qs(t));
            apps.append(a);
        }
    }
    std::sort(apps.begin(), apps.end(), [](const InstalledApplication& a, const InstalledApplication& b) {
        if (a.handlesType != b.handlesType) return a.handlesType;
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return apps;
}

// ---- the dialog ----

COpenWithDialog::COpenWithDialog(const QString& file, bool canRemember, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Open With"));
    const QString name = QFileInfo(file).fileName();
    const QString ext = Qs(ExtensionOf(name.toStdString()));
    auto* layout = new QGridLayout(this);
    auto* intro = new QLabel(QStringLiteral("No program is set to open \"%1\". Choose the program to open it with:").arg(name), this);
    intro->setWordWrap(true);
    layout->addWidget(intro, 0, 0, 1, 3);
    applications = new QListWidget(this);
    for (const InstalledApplication& a : InstalledApplications(MimeTypesOf(file))) {
        auto* item = new QListWidgetItem(QIcon::fromTheme(a.icon), a.name, applications);
        item->setData(Qt::UserRole, a.id);
        item->setToolTip(a.id);
    }
    layout->addWidget(applications, 1, 0, 1, 3);
    auto* programLabel = new QLabel(QStringLiteral("Other &program:"), this);
    program = new QLineEdit(this);
    program->setMaxLength(255);
    RefuseLineBreaks(program);
    programLabel->setBuddy(program);
    browse = new QToolButton(this);
    browse->setText(QStringLiteral("..."));
    layout->addWidget(programLabel, 2, 0);
    layout->addWidget(program, 2, 1);
    layout->addWidget(browse, 2, 2);
    auto* paramLabel = new QLabel(QStringLiteral("&Parameters:"), this);
    parameters = new QLineEdit(this);
    parameters->setMaxLength(255);
    RefuseLineBreaks(parameters);
    paramLabel->setBuddy(parameters);
    layout->addWidget(paramLabel, 3, 0);
    layout->addWidget(parameters, 3, 1, 1, 2);
    remember = new QCheckBox(ext.isEmpty() ? QStringLiteral("&Always open files of this type with this program")
                                           : QStringLiteral("&Always open \"%1\" files with this program").arg(ext),
                             this);
    remember->setEnabled(canRemember);
    layout->addWidget(remember, 4, 0, 1, 3);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 5, 0, 1, 3);
    layout->setColumnStretch(1, 1);

    // The list and the program field name the program in turn: choosing in one clears the other.
    connect(applications, &QListWidget::itemSelectionChanged, this, [this] {
        if (!applications->selectedItems().isEmpty()) program->clear();
        UpdateOk();
    });
    connect(program, &QLineEdit::textEdited, this, [this] {
        applications->clearSelection();
        UpdateOk();
    });
    connect(applications, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(browse, &QToolButton::clicked, this, [this] {
        if (const QString picked = BrowseForProgram(this, program->text()); !picked.isEmpty()) {
            applications->clearSelection();
            program->setText(picked);
            UpdateOk();
        }
    });
    UpdateOk();
    resize(sizeHint().expandedTo(QSize(460, 420)));
}

QString COpenWithDialog::Program() const {
    if (const QList<QListWidgetItem*> items = applications->selectedItems(); !items.isEmpty())
        return items.first()->data(Qt::UserRole).toString();
    return program->text().trimmed();
}

QString COpenWithDialog::Parameters() const { return parameters->text(); }

bool COpenWithDialog::Remember() const { return remember->isEnabled() && remember->isChecked(); }

void COpenWithDialog::UpdateOk() {
    if (auto* box = findChild<QDialogButtonBox*>())
        box->button(QDialogButtonBox::Ok)->setEnabled(!Program().isEmpty());
}

}  // namespace tarnwell
