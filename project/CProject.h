// The project model of the running program: at most one open project, its file path and web path,
// the files that were open when it closed (reopened with their selections), the open documents by
// path, the outline store, and what preview needs of the project.
#pragma once

#include "app/PreviewFile.h"
#include "app/ProjectLink.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace tarnwell {

class CEditorApp;
class IniFile;
class LineSource;

// What the project model asks of the explorer tree (the project bar fills it in).
class ProjectTree {
public:
    virtual ~ProjectTree() = default;
    // Fills the tree from the project folder; `progress` takes 0..100. False when it failed.
    virtual bool Fill(const std::string& folder, const std::function<void(int percent)>& progress) = 0;
    // Labels the root item and expands it.
    virtual void SetRootText(const QString& text) = 0;
    // Removes every item.
    virtual void Clear() = 0;
    // Makes sure the tree shows the file (a path inside the project folder), creating missing items.
    virtual void ShowFile(const std::string& path) = 0;
};

class CProject : public ProjectLink, public PreviewProject {
public:
    explicit CProject(CEditorApp& app);
    ~CProject() override;

    bool IsOpen() const override { return open_; }
    std::string ProjectFilePath() const override { return path_; }
    std::string ProjectFolder() const override;
    std::string ProjectName() const override;
    std::string WebPath() const override { return webPath_; }
    void SetWebPath(const std::string& webPath) { webPath_ = webPath; }

    bool OpenProject(const std::string& path, bool loadWindows) override;
    bool CloseProject(bool closeDocuments) override;

    void RegisterDocument(CVeskDoc* doc) override;
    void UnregisterDocument(CVeskDoc* doc) override;
    CVeskDoc* FindOpenDocument(const std::string& path) const override;
    void DocumentSaved(CVeskDoc* doc) override;
    void PathChanged(const std::string& oldKey, const std::string& newPath) override;

    // Writes "Signature" and "Version" to a project file (created when missing). Tells the user and
    // answers false when that fails.
    bool WriteSettings(const std::string& path);
    // The same for the open project's file, with its "Web Path".
    bool WriteSettingsWithWebPath();
    // The project's "Properties" sheet: on OK the web path is set and written to the project file.
    // True when it was.
    bool EditProperties();
    // The same sheet at its web-path page, for preview: on OK the web path is set for as long as the
    // project stays open, without writing the project file. True on OK.
    bool PromptWebPath();

    // The explorer tree (null: none yet).
    void SetTree(ProjectTree* tree) { tree_ = tree; }
    // Fills the tree for the open project and labels its root "name [folder]".
    bool FillExplorer();

private:
    void ReopenFiles(const IniFile& file);
    bool WriteHeader(const std::string& path, bool withWebPath);
    // Runs the property sheet at `page`; the web path accepted, or none on Cancel.
    std::optional<std::string> AskProperties(int page);

    CEditorApp& app_;
    bool open_ = false;
    std::string path_;
    std::string webPath_;
    ProjectTree* tree_ = nullptr;
    std::map<std::string, CVeskDoc*> docs_;  // by document key, compared as the platform compares paths
};

}  // namespace tarnwell
