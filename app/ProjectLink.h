// What the documents and the shell ask of the project model: whether a project is open, opening,
// closing and reloading it, document ids, the registry of open documents, and the stores the model
// holds for the whole program (the script outlines by document key, the global type information).
// `CProject` (project folder) is the program's model; `CNoProjectModel` is a program in which no
// project can be open (tests build on it).
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace tarnwell {

class CVeskDoc;
class OutlineSource;
class OutlineStore;
class TypeLibraryCache;
struct TypeContext;

class ProjectLink {
public:
    ProjectLink();
    virtual ~ProjectLink();

    virtual bool IsOpen() const = 0;
    virtual std::string ProjectFilePath() const = 0;
    virtual std::string ProjectFolder() const = 0;
    virtual std::string ProjectName() const { return {}; }
    // The address under which the project folder is served; empty when not set.
    virtual std::string WebPath() const { return {}; }
    // Opens the project file at `path` (closing nothing: callers close the open project first).
    virtual bool OpenProject(const std::string& path, bool loadWindows) = 0;
    // Closes the open project; with `closeDocuments` its documents too. False when refused.
    virtual bool CloseProject(bool closeDocuments) = 0;
    // Closes the project keeping the documents open, and opens it again with its windows.
    virtual bool ReloadProject();

    // A new document id "%08x:%03x", unique among the ids made so far and the outline store's keys.
    virtual std::string MakeDocumentId();
    virtual void RegisterDocument(CVeskDoc* doc) = 0;
    virtual void UnregisterDocument(CVeskDoc* doc) = 0;
    // The open document of a full path (or untitled document's id), or null.
    virtual CVeskDoc* FindOpenDocument(const std::string& path) const;
    virtual void DocumentSaved(CVeskDoc* doc) = 0;
    virtual void PathChanged(const std::string& oldKey, const std::string& newPath) = 0;

    // The script outlines by document key. Closing a project destroys every entry.
    OutlineStore& Outlines() { return *outlines_; }
    OutlineSource* GetOutlineData(const std::string& key) const;
    OutlineSource& GetOrCreateOutlineData(const std::string& key);

    // The program's one cache of type libraries, kept across projects (the model only holds it). Until
    // LoadTypeLibraries it holds no library and finds nothing.
    TypeLibraryCache& TypeLibraries();
    // Start-up: a cache over the program's type-library folder and the user's, with "asp.tlb" and then
    // "vbscript.dll" loaded from the program's folder (a failure is silent: members are not found).
    void LoadTypeLibraries(const std::string& programTypeLibs);
    // What type resolution, the member list and the parameter tip draw on: these outlines and the
    // type libraries.
    TypeContext TypeInfo();

protected:
    std::unique_ptr<OutlineStore> outlines_;

private:
    std::set<std::string> ids_;
    std::unique_ptr<TypeLibraryCache> types_;
};

// No project support: nothing is ever open; ids and the document registry still work.
class CNoProjectModel : public ProjectLink {
public:
    bool IsOpen() const override { return false; }
    std::string ProjectFilePath() const override { return {}; }
    std::string ProjectFolder() const override { return {}; }
    bool OpenProject(const std::string& path, bool loadWindows) override;
    bool CloseProject(bool) override { return true; }

    void RegisterDocument(CVeskDoc* doc) override { docs_.insert(doc); }
    void UnregisterDocument(CVeskDoc* doc) override { docs_.erase(doc); }
    CVeskDoc* FindOpenDocument(const std::string& path) const override;
    void DocumentSaved(CVeskDoc*) override {}
    // The page's outline follows it to its new name.
    void PathChanged(const std::string& oldKey, const std::string& newPath) override;

private:
    std::set<CVeskDoc*> docs_;
};

}  // namespace tarnwell
