#include "app/ProjectLink.h"

#include "app/CVeskDoc.h"

#include "lang/OutlineStore.h"
#include "lang/TypeLibraryFolders.h"
#include "lang/TypeResolve.h"
#include "text/AskWithCheck.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace tarnwell {

ProjectLink::ProjectLink() : outlines_(std::make_unique<OutlineStore>()) {
    // Files open in an editor are read from their text, not from the disk.
    outlines_->SetOpenTextLookup([this](const std::string& path) -> const LineSource* {
        const CVeskDoc* doc = FindOpenDocument(path);
        return doc ? &doc->Text() : nullptr;
    });
    // "virtual" includes are taken from the project folder, the site root.
    outlines_->SetSiteRootLookup([this] { return IsOpen() ? ProjectFolder() : std::string(); });
}

ProjectLink::~ProjectLink() {
    outlines_->SetOpenTextLookup({});
    outlines_->SetSiteRootLookup({});
}

OutlineSource* ProjectLink::GetOutlineData(const std::string& key) const { return outlines_->Find(key); }

OutlineSource& ProjectLink::GetOrCreateOutlineData(const std::string& key) { return outlines_->GetOrCreate(key); }

TypeLibraryCache& ProjectLink::TypeLibraries() {
    if (!types_) types_ = std::make_unique<TypeLibraryCache>(std::make_unique<FolderTypeLibraryProvider>(std::vector<std::string>{}));
    return *types_;
}

void ProjectLink::LoadTypeLibraries(const std::string& programTypeLibs) {
    types_ = std::make_unique<TypeLibraryCache>(
        std::make_unique<FolderTypeLibraryProvider>(std::vector<std::string>{UserTypeLibraryFolder(), programTypeLibs}));
    if (!programTypeLibs.empty()) LoadStartupTypeLibraries(*types_, programTypeLibs);
}

TypeContext ProjectLink::TypeInfo() { return {*outlines_, TypeLibraries()}; }

bool ProjectLink::ReloadProject() {
    const std::string path = ProjectFilePath();
    if (path.empty()) return false;
    CloseProject(false);
    return OpenProject(path, true);
}

CVeskDoc* ProjectLink::FindOpenDocument(const std::string&) const { return nullptr; }

std::string ProjectLink::MakeDocumentId() {
    // The time in seconds and a small random number; an id in use is drawn again (after eight draws
    // the seconds are advanced, so two pages made within one second still get different ids).
    unsigned long long t = static_cast<unsigned long long>(std::time(nullptr));
    for (int attempt = 0;; ++attempt) {
        if (attempt > 0 && attempt % 8 == 0) ++t;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%08llx:%03x", t & 0xffffffffULL, unsigned((std::rand() & 0x7fff) / 4096));
        if (!outlines_->Find(buf) && ids_.insert(buf).second) return buf;
    }
}

CVeskDoc* CNoProjectModel::FindOpenDocument(const std::string& path) const {
    for (CVeskDoc* doc : docs_) {
        if (SameDocumentKey(doc->DocumentKey(), path)) return doc;
    }
    return nullptr;
}

void CNoProjectModel::PathChanged(const std::string& oldKey, const std::string& newPath) { outlines_->Move(oldKey, newPath); }

bool CNoProjectModel::OpenProject(const std::string& path, bool) {
    ShowMessage(QStringLiteral("Projects cannot be opened in this version of Tarnwell yet:\n%1")
                    .arg(QString::fromStdString(path)),
                mb::kOk | mb::kIconExclamation);
    return false;
}

}  // namespace tarnwell
