// The document manager: the open documents in order, and the operations that create, open, save and
// close them (the one document type binds CVeskDoc, CChildFrame and the source view).
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace tarnwell {

class CChildFrame;
class CEditorApp;
class CMainFrame;
class CVeskDoc;
class ProjectLink;

class CEditorDocManager : public QObject {
    Q_OBJECT
public:
    // Patterns of the save dialog of an untitled page and of the Open dialog.
    static const char* const kSaveFilter;
    static QStringList OpenFilters();

    CEditorDocManager(CEditorApp& app);
    ~CEditorDocManager() override;

    CEditorApp& App() { return app_; }
    ProjectLink& Project();
    CMainFrame* MainFrame();

    // An untitled document "NewFile<n>" from the template, in a new window.
    CVeskDoc* NewDocument();
    // Activates the document of `path` when it is open, otherwise opens it in a new window.
    // A relative path is taken against the current folder. Reports failures; null then.
    CVeskDoc* OpenDocumentFile(const QString& path);
    // The Open File command: the multi-select dialog, each chosen file through the application.
    void OnFileOpen();
    // Save All: every modified document that has a path; after a failure asks whether to go on.
    void SaveAll();
    // Close All: asks about each modified document first; closes nothing when one refuses.
    bool CloseAll();
    // Asks about every modified document (exit). False when one refuses.
    bool SaveAllModified();
    void CloseAllDocuments();

    // Another window on `doc`.
    CChildFrame* CreateFrame(CVeskDoc* doc);
    // Destroys the document with its windows (no questions).
    void CloseDocument(CVeskDoc* doc);
    // A window of `doc` is going; the document goes with its last window.
    void OnFrameDestroyed(CVeskDoc* doc, CChildFrame* frame);

    const std::vector<std::unique_ptr<CVeskDoc>>& Documents() const { return docs_; }
    // The open document of the file `path` names: the same path, or the same file reached through a
    // symbolic link or another path.
    CVeskDoc* FindDocument(const QString& path) const;

    // The next Open File dialog starts in the open project's folder (once; opening a project sets it).
    void MarkOpenInProjectFolder() { openInProjectFolder_ = true; }
    // The main window became active: files changed by other programs are offered for reloading (when
    // their document is unmodified), and a deleted file marks its document modified.
    void CheckFilesOnDisk();

    // Paths are compared exactly, and without regard to case on Windows.
    static bool SamePath(const QString& a, const QString& b);

private:
    CVeskDoc* CreateDocument();

    CEditorApp& app_;
    std::vector<std::unique_ptr<CVeskDoc>> docs_;
    int untitledCount_ = 0;
    bool openInProjectFolder_ = false;
    CVeskDoc* closing_ = nullptr;
    bool checkingDisk_ = false;
};

}  // namespace tarnwell
