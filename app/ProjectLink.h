// What the documents and the shell ask of the project model: whether a project is open, opening and
// closing it, document ids, and the registry of open documents. The project subsystem provides the
// real model; `CNoProjectModel` is the state of a program in which no project can be open.
#pragma once

#include <set>
#include <string>

namespace tarnwell {

class CVeskDoc;

class ProjectLink {
public:
    virtual ~ProjectLink() = default;

    virtual bool IsOpen() const = 0;
    virtual std::string ProjectFilePath() const = 0;
    virtual std::string ProjectFolder() const = 0;
    // Opens the project file at `path` (closing nothing: callers close the open project first).
    virtual bool OpenProject(const std::string& path, bool loadWindows) = 0;
    // Closes the open project; with `closeDocuments` its documents too. False when refused.
    virtual bool CloseProject(bool closeDocuments) = 0;

    // A new document id "%08x:%03x", unique among the live documents.
    virtual std::string MakeDocumentId() = 0;
    virtual void RegisterDocument(CVeskDoc* doc) = 0;
    virtual void UnregisterDocument(CVeskDoc* doc) = 0;
    virtual void DocumentSaved(CVeskDoc* doc) = 0;
    virtual void PathChanged(const std::string& oldKey, const std::string& newPath) = 0;
};

// No project support: nothing is ever open; ids and the document registry still work.
class CNoProjectModel : public ProjectLink {
public:
    bool IsOpen() const override { return false; }
    std::string ProjectFilePath() const override { return {}; }
    std::string ProjectFolder() const override { return {}; }
    bool OpenProject(const std::string& path, bool loadWindows) override;
    bool CloseProject(bool) override { return true; }

    std::string MakeDocumentId() override;
    void RegisterDocument(CVeskDoc* doc) override { docs_.insert(doc); }
    void UnregisterDocument(CVeskDoc* doc) override { docs_.erase(doc); }
    void DocumentSaved(CVeskDoc*) override {}
    void PathChanged(const std::string&, const std::string&) override {}

private:
    std::set<CVeskDoc*> docs_;
    std::set<std::string> ids_;
};

}  // namespace tarnwell
