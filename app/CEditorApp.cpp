#include "app/CEditorApp.h"

#include "app/CChildFrame.h"
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/CMruFileManager.h"
#include "app/CVeskDoc.h"
#include "app/CommandIds.h"
#include "app/Options.h"
#include "app/OptionsSheet.h"
#include "app/ProjectLink.h"
#include "app/RecoveryManager.h"
#include "project/CProject.h"
#include "project/ProjectFile.h"
#include "app/ToolIcons.h"
#include "platform/FilePath.h"
#include "platform/InstanceChannel.h"
#include "platform/SettingsProfile.h"
#include "text/AskWithCheck.h"
#include "text/PageSetupDialog.h"
#include "text/StringTable.h"
#include "lang/Keywords.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QSessionManager>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace tarnwell {

namespace {

CEditorApp* g_app = nullptr;

// The maker's web site and mail address open in the desktop's programs; say so when none could start.
void OpenAddress(const QString& address) {
    if (!QDesktopServices::openUrl(QUrl(address)))
        ShowMessage(QStringLiteral("Failed to open \"%1\": the desktop could not start a program for it.").arg(address));
}

}  // namespace

CEditorApp::CEditorApp(Config config) : config_(std::move(config)) {
    g_app = this;
    project_ = std::make_unique<CProject>(*this);
}

CEditorApp::~CEditorApp() {
    // Windows and documents go before the application object that they reach through Instance().
    // A clean end: the recovery files of this run go first (every document was saved or given up).
    recovery_.reset();
    if (docManager_) docManager_->CloseAllDocuments();
    mainFrame_.reset();
    docManager_.reset();
    ExitInstance();
    // The recent lists are written last.
    if (mru_ && profile_) mru_->WriteAll(*profile_);
    mru_.reset();
    // The options went with the main frame; they must not be read from this settings root again.
    if (profile_) COptionsSheet::SetProfile(nullptr);
    if (g_app == this) g_app = nullptr;
}

CEditorApp* CEditorApp::Instance() { return g_app; }

QPrinter& CEditorApp::Printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void CEditorApp::SetProject(std::unique_ptr<ProjectLink> project) { project_ = std::move(project); }

CProject* CEditorApp::ProjectModel() const { return dynamic_cast<CProject*>(project_.get()); }

QString CEditorApp::FileArgument(const QStringList& args) {
    for (const QString& a : args) {
        if (a.startsWith(QLatin1Char('-'))) continue;
#ifdef _WIN32
        if (a.startsWith(QLatin1Char('/'))) continue;
#endif
        return a;
    }
    return {};
}

QString CEditorApp::FindDataFolder(const QString& programFolder, const QString& name) {
    const QString beside = QDir(programFolder).filePath(name);
    if (QFileInfo(beside).isDir()) return QDir::cleanPath(beside);
    const QString shared = QDir(programFolder).filePath(QStringLiteral("../share/tarnwell/") + name);
    if (QFileInfo(shared).isDir()) return QDir::cleanPath(shared);
    return QDir::cleanPath(beside);
}

QString CEditorApp::DataFolder(const QString& name) const { return FindDataFolder(programFolder_, name); }

bool CEditorApp::IsProjectFile(const QString& path) { return IsProjectPath(path.toStdString()); }

CEditorApp::StartResult CEditorApp::InitInstance(const QStringList& args) {
    // 1. The command line: the first argument that is not a switch names the file to open.
    const QString file = FileArgument(args);

    // 2-3. The hand-off channel. A second instance hands its command over and ends.
    channel_ = std::make_unique<CInstanceChannel>(config_.channelName.isEmpty() ? CInstanceChannel::DefaultName()
                                                                                : config_.channelName);
    const CInstanceChannel::OpenResult open = channel_->Open();
    if (!open.first) {
        int answer = -1;
        if (!file.isEmpty()) {
            // A relative name means the folder this program was started in, which the running
            // instance does not know: it gets the full path (unless that would turn a name too short
            // to be a project file into one).
            QString full = QDir::cleanPath(QDir::current().absoluteFilePath(file));
            if (QDir::isAbsolutePath(file) || IsProjectFile(full) != IsProjectFile(file)) full = file;
            auto payload = CInstanceChannel::FilePayload(full.toLocal8Bit());
            if (!payload) {
                std::fprintf(stderr, "tarnwell: the file name is too long to hand to the running instance "
                                     "(at most %d bytes).\n", CInstanceChannel::kMaxPayload - 1);
                return StartResult::Failed;
            }
            answer = channel_->Send(CInstanceChannel::kOpenFile,
                                    CInstanceChannel::WithActivationToken(*payload, CInstanceChannel::OwnActivationToken()));
        } else {
            answer = channel_->Send(CInstanceChannel::kActivate, CInstanceChannel::WithActivationToken(
                                                                     QByteArray(1, '\0'), CInstanceChannel::OwnActivationToken()));
        }
        if (answer < 0) std::fprintf(stderr, "tarnwell: the running instance did not take the command.\n");
        return StartResult::HandedOff;
    }

    // 5. The settings root.
    profile_ = config_.profile ? config_.profile : std::make_shared<SettingsProfile>();
    // The options are read from this root once, before anything asks for one.
    COptionsSheet::Release();
    COptionsSheet::SetProfile(profile_.get());
    COptionsSheet::Get();
    // 6. The program folder.
    programFolder_ = config_.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                     : QDir::cleanPath(config_.programFolder);
    // 7. The keyword files, VBScript first; each failure has its own switchable warning.
    LoadKeywordFiles([](const QString& path) { return LoadKeywordFile(VbKeywordSet(), FsPath(path)); },
                     [](const QString& path) { return LoadKeywordFile(HtmlKeywordSet(), FsPath(path)); });
    // 8. The type libraries "asp.tlb" and "vbscript.dll" of the "TypeLibs" folder.
    project_->LoadTypeLibraries(FsPath(DataFolder(QStringLiteral("TypeLibs"))).string());
    // 9. The pseudo-random generator (document ids, preview file names).
    std::srand(unsigned(std::time(nullptr)));
    // 10. The recent lists: project files, then every other file.
    mru_ = std::make_unique<CMruFileManager>(*this);
    mru_->AddList(cmd::RecentProjectFirst, "Recent Projects", "Project%d",
                  [](const std::string& p) { return IsProjectPath(p); }, 15, profile_.get(), 30);
    mru_->AddList(cmd::RecentFileFirst, "Recent Files", "File%d",
                  [](const std::string& p) { return !IsProjectPath(p); }, 15, profile_.get(), 30);
    // 11. The document manager.
    docManager_ = std::make_unique<CEditorDocManager>(*this);
    recovery_ = std::make_unique<CRecoveryManager>(*docManager_, config_.recoveryFolder);
#ifndef QT_NO_SESSIONMANAGER
    // Logging out: the unsaved text is kept in any case, and the user is asked where the desktop allows.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& session) {
        if (recovery_) recovery_->WriteAllNow();
        if (session.allowsInteraction()) {
            if (!SaveAllModified()) session.cancel();
            session.release();
        }
    });
#endif

    // 12-13. The main frame, published to the channel and shown.
    mainFrame_ = std::make_unique<CMainFrame>(*this, *profile_);
    const bool maximized = mainFrame_->Create();
    channel_->PublishWindow([this](int code, const QByteArray& payload) { return Receive(code, payload); });
    if (maximized) {
        mainFrame_->showMaximized();
    } else {
        mainFrame_->show();
    }

    // Unsaved edits of a run that did not end cleanly.
    recovery_->OfferOrphans();

    // 14. The file of the command line, or the last project.
    if (!file.isEmpty()) {
        OpenDocumentFile(file);
    } else if (COptionsSheet::Get().General().reloadLastProject) {
        const std::string last = profile_->GetString("Project", "Last Project");
        if (!last.empty() && QFileInfo::exists(QString::fromStdString(last))) {
            if (!project_->OpenProject(last, true)) profile_->DeleteValue("Project", "Last Project");
        }
    }
    mainFrame_->UpdateCommands();
    return StartResult::Running;
}

void CEditorApp::ExitInstance() {
    if (channel_) {
        channel_->Close();
        channel_.reset();
    }
}

int CEditorApp::Receive(int code, const QByteArray& payload) {
    if (!mainFrame_) return 0;
    if (code == CInstanceChannel::kOpenFile) {
        // Senders hand over full paths; a relative name (from an older sender) is taken against this
        // instance's current folder. The open runs after the answer, so the sender is not kept waiting by any message the open may show.
        const QString path = QString::fromLocal8Bit(payload);
        QTimer::singleShot(0, this, [this, path] { OpenDocumentFile(path); });
    }
    mainFrame_->BringToFront(channel_ ? channel_->ActivationToken() : QByteArray());
    return 1;
}

CVeskDoc* CEditorApp::OpenDocumentFile(const QString& path) {
    if (IsProjectFile(path)) {
        const QString full = QFileInfo(path).absoluteFilePath();
        if (!project_->IsOpen() || project_->CloseProject(true)) project_->OpenProject(full.toStdString(), true);
        return nullptr;
    }
    return docManager_ ? docManager_->OpenDocumentFile(path) : nullptr;
}

void CEditorApp::AddToRecentFileList(const QString& path) {
    if (mru_) mru_->RememberPath(path);
}

bool CEditorApp::CloseProjectForExit() {
    if (project_->IsOpen()) {
        const std::string path = project_->ProjectFilePath();
        if (!project_->CloseProject(true)) return false;
        profile_->WriteString("Project", "Last Project", path);
    } else {
        profile_->WriteString("Project", "Last Project", "");
    }
    return true;
}

bool CEditorApp::SaveAllModified() { return docManager_ ? docManager_->SaveAllModified() : true; }

void CEditorApp::CloseAllDocuments() {
    if (docManager_) docManager_->CloseAllDocuments();
}

void CEditorApp::LoadKeywordFiles(const std::function<bool(const QString& path)>& loadVb,
                                  const std::function<bool(const QString& path)>& loadHtml) {
    const QString folder = DataFolder(QStringLiteral("Keyword"));
    if (!loadVb(QDir(folder).filePath(QStringLiteral("vbscript.txt"))))
        AskSwitchedMessage(*profile_, "Warn Load VBScript Keyword File Failed", strid::kWarnLoadVbKeywords,
                           strid::kDontShowAgain, mb::kOk | mb::kIconInformation);
    if (!loadHtml(QDir(folder).filePath(QStringLiteral("html.txt"))))
        AskSwitchedMessage(*profile_, "Warn Load HTML Keyword File Failed", strid::kWarnLoadHtmlKeywords,
                           strid::kDontShowAgain, mb::kOk | mb::kIconInformation);
}

void CEditorApp::ShowAbout() {
    QDialog dlg(DialogOwner());
    dlg.setWindowTitle(QStringLiteral("About Tarnwell"));
    auto* layout = new QVBoxLayout(&dlg);
    auto* icon = new QLabel(&dlg);
    icon->setPixmap(AppIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignHCenter);
    layout->addWidget(icon);
    auto* text = new QLabel(QStringLiteral("<b>Tarnwell</b> %1<br>An editor for HTML and ASP pages.")
                                .arg(QCoreApplication::applicationVersion().toHtmlEscaped()),
                            &dlg);
    text->setAlignment(Qt::AlignHCenter);
    layout->addWidget(text);
    auto* link = new QLabel(QStringLiteral("<a href=\"#\">Check for Updates</a>"), &dlg);
    link->setObjectName(QStringLiteral("UpdatesLink"));
    link->setAlignment(Qt::AlignHCenter);
    connect(link, &QLabel::linkActivated, &dlg, [this] {
        if (mainFrame_) mainFrame_->RouteCommand(cmd::CheckForUpdates);
    });
    layout->addWidget(link);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dlg);
    connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    layout->addWidget(buttons);
    dlg.exec();
}

bool CEditorApp::UpdateCommand(int id, CommandState& state) {
    // The recent lists come before the application's own commands.
    if (mru_ && mru_->UpdateCommand(id, state)) return true;
    switch (id) {
    case cmd::AppAbout:
    case cmd::FileNew:
    case cmd::FileOpen:
    case cmd::FilePrintSetup:
    case cmd::FilePageSetup:
    case cmd::CheckForUpdates:
    case cmd::TechnicalSupport:
    case cmd::AppExit:
        return true;
    case cmd::SaveAll:
    case cmd::CloseAll:
        state.enabled = docManager_ && !docManager_->Documents().empty();
        return true;
    case cmd::WindowNew:
        state.enabled = mainFrame_ && mainFrame_->ActiveChild();
        return true;
    default: return false;
    }
}

bool CEditorApp::ExecuteCommand(int id) {
    if (mru_ && mru_->ExecuteCommand(id)) return true;
    switch (id) {
    case cmd::AppAbout: ShowAbout(); return true;
    case cmd::FileNew: docManager_->NewDocument(); return true;
    case cmd::FileOpen: docManager_->OnFileOpen(); return true;
    case cmd::SaveAll: docManager_->SaveAll(); return true;
    case cmd::CloseAll: docManager_->CloseAll(); return true;
    case cmd::FilePrintSetup: {
        QPrintDialog dlg(&Printer(), DialogOwner());
        dlg.setWindowTitle(QStringLiteral("Print Setup"));
        dlg.exec();
        return true;
    }
    case cmd::FilePageSetup:
        if (profile_) RunPageSetup(*profile_, DialogOwner());
        return true;
    case cmd::CheckForUpdates: OpenAddress(config_.updatesUrl); return true;
    case cmd::TechnicalSupport: OpenAddress(config_.supportUrl); return true;
    case cmd::AppExit:
        if (mainFrame_) mainFrame_->close();
        return true;
    case cmd::WindowNew:
        if (mainFrame_ && mainFrame_->ActiveChild()) docManager_->CreateFrame(mainFrame_->ActiveChild()->Document());
        return true;
    default: return false;
    }
}

}  // namespace tarnwell
