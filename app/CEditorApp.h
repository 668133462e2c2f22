// The application object: start-up in its order, the single-instance hand-off, the program and data
// folders, the settings root, the application's commands and shut-down.
#pragma once

#include "text/CommandTarget.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QPrinter;

namespace tarnwell {

class CEditorDocManager;
class CInstanceChannel;
class CMruFileManager;
class CMainFrame;
class CRecoveryManager;
class CVeskDoc;
class Profile;
class ProjectLink;
class CProject;

class CEditorApp : public QObject, public CCmdTarget {
    Q_OBJECT
public:
    struct Config {
        // The settings root; null: QSettings("Tarnwell", "Tarnwell").
        std::shared_ptr<Profile> profile;
        // The folder the data folders are looked up from; empty: the executable's folder.
        QString programFolder;
        // The hand-off channel's name; empty: the current user's channel.
        QString channelName;
        // Where recovery files of unsaved edits live; empty: the user's default recovery folder.
        QString recoveryFolder;
        // Addresses behind "Check for Updates" and "Technical Support".
        QString updatesUrl = QStringLiteral("https://tarnwell.example.org/updates");
        QString supportUrl = QStringLiteral("mailto:support@tarnwell.example.org");
    };

    enum class StartResult { Running, HandedOff, Failed };

    explicit CEditorApp(Config config);
    ~CEditorApp() override;

    // The one application object (null before construction and after destruction).
    static CEditorApp* Instance();

    // Runs start-up with the command-line arguments (without the program name). Running: the main
    // window is shown. HandedOff: a running instance took the command; the process ends with 0.
    // Failed: the process ends with 1 (the reason went to standard error or a message box).
    StartResult InitInstance(const QStringList& args);
    // Shut-down after the main window has closed: closes the hand-off channel.
    void ExitInstance();

    Profile& GetProfile() { return *profile_; }
    const QString& ProgramFolder() const { return programFolder_; }
    // A data folder ("Keyword", "Templates", "TypeLibs", "Webs"): beside the program, otherwise under
    // ../share/tarnwell; the first form when neither exists.
    QString DataFolder(const QString& name) const;
    static QString FindDataFolder(const QString& programFolder, const QString& name);

    CMainFrame* MainFrame() const { return mainFrame_.get(); }
    CEditorDocManager& DocManager() { return *docManager_; }
    // The recovery files of unsaved edits (null before start-up).
    CRecoveryManager* Recovery() const { return recovery_.get(); }
    ProjectLink& Project() { return *project_; }
    // Replaces the project model (the project subsystem, tests).
    void SetProject(std::unique_ptr<ProjectLink> project);
    // The program's own project model (null while a test has replaced it).
    CProject* ProjectModel() const;
    CInstanceChannel* Channel() const { return channel_.get(); }
    // The recent lists (null before start-up made them).
    CMruFileManager* Mru() const { return mru_.get(); }
    // The printer that Print, Print Preview and Print Setup share (made on first use).
    QPrinter& Printer();

    // The open-file operation: a project file opens the project (null result), any other path a
    // document (activated when already open).
    CVeskDoc* OpenDocumentFile(const QString& path);
    static bool IsProjectFile(const QString& path);
    // Remembers a path in the recent lists (made absolute first).
    void AddToRecentFileList(const QString& path);

    // Used by the main frame when it closes.
    bool CloseProjectForExit();
    bool SaveAllModified();
    void CloseAllDocuments();

    // Loads the keyword files (step 7 of start-up), each failure with its switchable warning.
    // `load` reads one file (path) and answers success.
    void LoadKeywordFiles(const std::function<bool(const QString& path)>& loadVb,
                          const std::function<bool(const QString& path)>& loadHtml);

    bool UpdateCommand(int id, CommandState& state) override;
    bool ExecuteCommand(int id) override;

    // The file name of a command line, or empty (switches begin with "-"; on Windows also "/").
    static QString FileArgument(const QStringList& args);

private:
    int Receive(int code, const QByteArray& payload);
    void ShowAbout();

    Config config_;
    std::shared_ptr<Profile> profile_;
    QString programFolder_;
    std::unique_ptr<CInstanceChannel> channel_;
    std::unique_ptr<ProjectLink> project_;
    std::unique_ptr<CMruFileManager> mru_;
    std::unique_ptr<CEditorDocManager> docManager_;
    std::unique_ptr<CRecoveryManager> recovery_;
    std::unique_ptr<CMainFrame> mainFrame_;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace tarnwell
