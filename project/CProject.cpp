#include "project/CProject.h"

#include "app/CChildFrame.h"
#include "app/CEditorApp.h"
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/CVeskDoc.h"
#include "app/OptionsSheet.h"
#include "lang/BufferLineSource.h"
#include "lang/OutlineStore.h"
#include "platform/FilePath.h"
#include "project/CProjectSheet.h"
#include "project/IniFile.h"
#include "project/ProjectFile.h"
#include "text/AskWithCheck.h"
#include "text/CCrystalTextView.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QProgressBar>

namespace tarnwell {

using namespace projectfile;

namespace {

QString Qs(const std::string& s) { return QString::fromStdString(s); }

// The wait cursor for the length of an operation.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

CCrystalTextView* FirstView(CVeskDoc* doc) {
    if (!doc || doc->Frames().isEmpty()) return nullptr;
    return qobject_cast<CCrystalTextView*>(doc->Frames().first()->SourceView());
}

bool ValidIn(CCrystalTextBuffer& buffer, TextPosition p) {
    return p.line >= 0 && p.line < buffer.LineCount() && p.ch >= 0 && p.ch <= buffer.LineLength(p.line);
}

// `path` lies below the folder `folder` (on a separator boundary), compared as the platform compares paths.
bool IsBelow(const QString& path, const QString& folder) {
    QString prefix = folder;
    if (!prefix.endsWith(QLatin1Char('/'))) prefix += QLatin1Char('/');
    return path.size() > prefix.size() && CEditorDocManager::SamePath(path.left(prefix.size()), prefix);
}

}  // namespace

CProject::CProject(CEditorApp& app) : app_(app) {
    SetPreviewProjectSource({[this]() -> const PreviewProject* { return open_ ? this : nullptr; },
                             [this] { return PromptWebPath(); }});
}

CProject::~CProject() {
    SetPreviewProjectSource({});
    outlines_->SetOpenTextLookup({});
    outlines_->SetSiteRootLookup({});
}

std::string CProject::ProjectFolder() const { return path_.empty() ? std::string() : ProjectFolderOf(path_); }

std::string CProject::ProjectName() const { return path_.empty() ? std::string() : ProjectNameOf(path_); }

bool CProject::OpenProject(const std::string& path, bool loadWindows) {
    WaitCursor wait;
    const std::string full = QDir::cleanPath(QFileInfo(Qs(path)).absoluteFilePath()).toStdString();
    IniFile file;
    file.Load(FsPath(Qs(full)));
    const ProjectHeader header = ReadProjectHeader(file);
    if (!header.valid) {
        ShowMessage(Qs(header.error), mb::kOk | mb::kIconStop);
        return false;
    }
    webPath_ = header.webPath;
    path_ = full;
    if (loadWindows) {
        FillExplorer();
        if (COptionsSheet::Get().General().rememberOpenFiles) ReopenFiles(file);
    }
    open_ = true;
    app_.AddToRecentFileList(Qs(path_));
    app_.DocManager().MarkOpenInProjectFolder();
    if (CMainFrame* main = app_.MainFrame()) {
        main->SetMessageText(QStringLiteral("Ready"));
        main->RequestUpdate();
    }
    return true;
}

bool CProject::FillExplorer() {
    if (!tree_ || path_.empty()) return true;
    CMainFrame* main = app_.MainFrame();
    if (main) {
        main->SetMessageText(QStringLiteral("Loading: "));
        main->ShowProgress(0, 100);
    }
    const bool ok = tree_->Fill(ProjectFolder(), [main](int percent) {
        if (main && percent > main->Progress()->value()) main->Progress()->setValue(qMin(percent, 100));
    });
    if (main) {
        main->HideProgress(false);
        main->SetMessageText(QStringLiteral("Ready"));
    }
    if (!ok) return false;
    tree_->SetRootText(QStringLiteral("%1 [%2]").arg(Qs(ProjectName()), QDir::toNativeSeparators(Qs(ProjectFolder()))));
    return true;
}

void CProject::ReopenFiles(const IniFile& file) {
    const RememberedFiles list = ReadRememberedFiles(file, ProjectFolder());
    CMainFrame* main = app_.MainFrame();
    QMdiArea* area = main ? main->MdiArea() : nullptr;
    if (area) area->setUpdatesEnabled(false);
    if (main) {
        main->SetMessageText(QStringLiteral("Loading: "));
        main->ShowProgress(0, int(list.entries.size()));
    }
    CChildFrame* activate = nullptr;
    for (const RememberedFile& e : list.entries) {
        if (e.status != RememberedFile::Ok) continue;
        // The document manager's open: a remembered ".twp" opens as text, never as a project.
        CVeskDoc* doc = app_.DocManager().OpenDocumentFile(Qs(e.path));
        if (main) main->StepProgress();
        if (!doc) continue;
        if (CCrystalTextView* view = FirstView(doc)) {
            if (e.start && e.end && ValidIn(doc->Buffer(), *e.start) && ValidIn(doc->Buffer(), *e.end)) {
                view->PlaceAnchor(*e.start);
                view->SelectRange(*e.start, *e.end);
                view->PlaceCursor(*e.end);
                view->ScrollToShow(*e.end);
            }
        }
        if (e.index == list.lastActive && !doc->Frames().isEmpty()) activate = doc->Frames().first();
    }
    if (area) {
        if (activate) area->setActiveSubWindow(activate);
        area->setUpdatesEnabled(true);
        area->update();
    }
    if (main) main->HideProgress(false);
}

bool CProject::CloseProject(bool closeDocuments) {
    WaitCursor wait;
    CEditorDocManager& docs = app_.DocManager();
    IniFile file;
    const auto fsPath = FsPath(Qs(path_));
    // A project file that has gone meanwhile is not made again (it would have no header).
    if (!path_.empty() && file.Load(fsPath) && file.Exists()) {
        const bool remember = COptionsSheet::Get().General().rememberOpenFiles;
        std::vector<OpenFileRecord> records;
        int active = -1;
        if (remember) {
            CMainFrame* main = app_.MainFrame();
            CChildFrame* activeChild = main ? main->ActiveChild() : nullptr;
            for (const auto& d : docs.Documents()) {
                if (d->IsUntitled()) continue;
                if (activeChild && activeChild->Document() == d.get()) active = int(records.size());
                OpenFileRecord r;
                r.path = d->PathName().toStdString();
                if (CCrystalTextView* view = FirstView(d.get())) view->SelectionBounds(r.start, r.end);
                records.push_back(std::move(r));
            }
        }
        WriteRememberedFiles(file, remember ? &records : nullptr, active);
        std::string error;
        while (!file.Save(fsPath, &error)) {
            const int answer =
                ShowMessage(QStringLiteral("An error occured while writing to project file: %1").arg(Qs(error)),
                            mb::kRetryCancel | mb::kIconStop);
            if (answer != mb::kIdRetry) break;
        }
    }
    if (closeDocuments) {
        if (!docs.SaveAllModified()) return false;
        docs.CloseAllDocuments();
    }
    path_.clear();
    webPath_.clear();
    outlines_->Clear();
    if (tree_) tree_->Clear();
    open_ = false;
    if (CMainFrame* main = app_.MainFrame()) main->RequestUpdate();
    return true;
}

void CProject::RegisterDocument(CVeskDoc* doc) {
    docs_[NormalDocumentKey(doc->DocumentKey())] = doc;
}

void CProject::UnregisterDocument(CVeskDoc* doc) {
    for (auto it = docs_.begin(); it != docs_.end();) {
        it = it->second == doc ? docs_.erase(it) : std::next(it);
    }
}

CVeskDoc* CProject::FindOpenDocument(const std::string& path) const {
    auto it = docs_.find(NormalDocumentKey(path));
    return it == docs_.end() ? nullptr : it->second;
}

void CProject::DocumentSaved(CVeskDoc* doc) {
    if (CCrystalTextView* view = FirstView(doc)) view->viewport()->update();
    if (!open_ || !tree_ || doc->IsUntitled()) return;
    // Files inside the project folder show in the tree (a name like ".htaccess" lies inside too).
    const QString relative = QDir(Qs(ProjectFolder())).relativeFilePath(doc->PathName());
    if (!relative.isEmpty() && !relative.startsWith(QStringLiteral("..")) && QDir::isRelativePath(relative))
        tree_->ShowFile(doc->PathName().toStdString());
}

void CProject::PathChanged(const std::string& oldKey, const std::string& newPath) {
    const QString target = Qs(newPath);
    if (!QFileInfo(target).isDir()) {
        auto it = docs_.find(NormalDocumentKey(oldKey));
        if (it != docs_.end()) {
            CVeskDoc* doc = it->second;
            docs_.erase(it);
            if (doc->PathName() != target) doc->SetPathName(target, true);
            docs_[NormalDocumentKey(doc->DocumentKey())] = doc;
            if (CCrystalTextView* view = FirstView(doc)) view->viewport()->update();
        }
        outlines_->Move(oldKey, newPath);
        return;
    }
    // A folder got a new name: every open document below it follows.
    const QString oldFolder = Qs(oldKey);
    std::vector<std::pair<std::string, std::string>> moves;
    for (const auto& d : app_.DocManager().Documents()) {
        const QString p = d->PathName();
        if (!d->IsUntitled() && IsBelow(p, oldFolder)) {
            QString rest = p.mid(oldFolder.size());
            if (!rest.startsWith(QLatin1Char('/'))) rest.prepend(QLatin1Char('/'));
            QString folder = target;
            if (folder.endsWith(QLatin1Char('/'))) folder.chop(1);
            moves.emplace_back(p.toStdString(), (folder + rest).toStdString());
        }
    }
    for (const auto& [from, to] : moves) PathChanged(from, to);
}

bool CProject::WriteHeader(const std::string& path, bool withWebPath) {
    IniFile file;
    std::string error;
    const auto fsPath = FsPath(Qs(path));
    bool ok = file.Load(fsPath, &error) && file.Set(kGeneral, kSignature, kSignatureValue) &&
              file.Set(kGeneral, kVersion, kVersionValue);
    if (ok && withWebPath && !file.Set(kGeneral, kWebPath, webPath_)) {
        ok = false;
        error = "the web path cannot be stored in one line";
    }
    if (ok) ok = file.Save(fsPath, &error);
    if (!ok) ShowMessage(QStringLiteral("Failed to create the project: %1").arg(Qs(error)), mb::kOk | mb::kIconStop);
    return ok;
}

bool CProject::WriteSettings(const std::string& path) { return WriteHeader(path, false); }

bool CProject::WriteSettingsWithWebPath() { return WriteHeader(path_, true); }

std::optional<std::string> CProject::AskProperties(int page) {
    if (!open_) return std::nullopt;
    CProjectPropertySheet sheet(Qs(ProjectName()), QDir::toNativeSeparators(Qs(ProjectFolder())), Qs(webPath_),
                                app_.GetProfile(), page, DialogOwner());
    if (sheet.exec() != QDialog::Accepted) return std::nullopt;
    return sheet.WebPath().toStdString();
}

bool CProject::EditProperties() {
    const std::optional<std::string> webPath = AskProperties(CProjectPropertySheet::PageGeneral);
    if (!webPath) return false;
    const std::string before = webPath_;
    webPath_ = *webPath;
    if (!WriteSettingsWithWebPath()) {
        webPath_ = before;
        return false;
    }
    return true;
}

bool CProject::PromptWebPath() {
    const std::optional<std::string> webPath = AskProperties(CProjectPropertySheet::PageWebPath);
    if (!webPath) return false;
    webPath_ = *webPath;
    return true;
}

}  // namespace tarnwell
