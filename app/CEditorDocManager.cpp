#include "app/CEditorDocManager.h"

#include "app/CChildFrame.h"
#include "app/CEditorApp.h"
#include "app/CMainFrame.h"
#include "app/CVeskDoc.h"
#include "app/ProjectLink.h"
#include "text/AskWithCheck.h"
#include "text/CCrystalTextView.h"
#include "text/FileStamp.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include <algorithm>

namespace tarnwell {

const char* const CEditorDocManager::kSaveFilter =
    "HTML Files(*.asp;*.aspx;*.htm;*.html;*.shtml;*.pl;*.jsp;*.cfm;*.cgi)|"
    "*.htm;*.html;*.shtml;*.asp;*.aspx;*.pl;*.jsp;*.cfm;*.cgi|All Files(*.*)|*.*||";

QStringList CEditorDocManager::OpenFilters() {
    return {QStringLiteral("ASP Files(*.asp;*.aspx) (*.asp *.aspx)"),
            QStringLiteral("HTML Files(*.htm;*.html*.shtml) (*.htm *.html *.shtml)"),
            QStringLiteral("Other Files(*.pl;*.php;*.js) (*.pl *.php *.js)"),
            QStringLiteral("All Files (*.*) (*)")};
}

CEditorDocManager::CEditorDocManager(CEditorApp& app) : app_(app) {}

CEditorDocManager::~CEditorDocManager() { CloseAllDocuments(); }

ProjectLink& CEditorDocManager::Project() { return app_.Project(); }

CMainFrame* CEditorDocManager::MainFrame() { return app_.MainFrame(); }

bool CEditorDocManager::SamePath(const QString& a, const QString& b) {
#ifdef _WIN32
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

CVeskDoc* CEditorDocManager::FindDocument(const QString& path) const {
    const QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (const auto& d : docs_) {
        if (!d->IsUntitled() && SamePath(d->PathName(), full)) return d.get();
    }
    const FileStamp file = StampFile(full.toStdString());
    if (!file.exists) return nullptr;
    for (const auto& d : docs_) {
        if (!d->IsUntitled() && file.SameFile(StampFile(d->PathName().toStdString()))) return d.get();
    }
    return nullptr;
}

void CEditorDocManager::CheckFilesOnDisk() {
    if (checkingDisk_) return;  // a question box takes the activation and gives it back
    checkingDisk_ = true;
    std::vector<CVeskDoc*> docs;
    for (const auto& d : docs_) docs.push_back(d.get());
    for (CVeskDoc* doc : docs) {
        if (std::find_if(docs_.begin(), docs_.end(), [doc](const auto& d) { return d.get() == doc; }) == docs_.end())
            continue;  // closed meanwhile
        switch (doc->CheckDisk()) {
        case CVeskDoc::DiskChange::None: break;
        case CVeskDoc::DiskChange::Deleted:
            // Closing must ask to save, or the text is gone for good.
            doc->RememberDiskState();
            doc->Buffer().SetDirty(true);
            break;
        case CVeskDoc::DiskChange::Changed:
            // A modified document is asked about when it is saved; an unmodified one now, once per change.
            if (doc->IsModified()) break;
            doc->RememberDiskState();
            if (ShowMessage(QStringLiteral("%1\n\nThis file has been changed by another program.\n"
                                           "Do you want to reload it?")
                                .arg(QDir::toNativeSeparators(doc->PathName())),
                            mb::kYesNo | mb::kIconQuestion) == mb::kIdYes)
                doc->Reload();
            break;
        }
    }
    checkingDisk_ = false;
}

CVeskDoc* CEditorDocManager::CreateDocument() {
    docs_.push_back(std::make_unique<CVeskDoc>(*this, Project().MakeDocumentId()));
    return docs_.back().get();
}

CChildFrame* CEditorDocManager::CreateFrame(CVeskDoc* doc) {
    CMainFrame* main = MainFrame();
    if (!main || !doc) return nullptr;
    // Windows open maximized unless the active one is not.
    CChildFrame* active = main->ActiveChild();
    const bool maximized = !active || active->isMaximized();
    auto* frame = new CChildFrame(doc, main);
    QMdiArea* mdi = main->MdiArea();
    mdi->addSubWindow(frame);
    // Every window gets a size of its own (also one that opens maximized, for when it is restored):
    // three quarters of the area, placed a title bar's height below and right of the active window,
    // or at the area's corner when it would not fit.
    const QSize area = mdi->viewport()->size();
    const QSize size(std::max(area.width() * 3 / 4, 480), std::max(area.height() * 3 / 4, 320));
    QPoint pos(0, 0);
    if (active && !maximized) {
        const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
        pos = active->pos() + QPoint(step, step);
        if (pos.x() + size.width() > area.width() || pos.y() + size.height() > area.height()) pos = QPoint(0, 0);
    }
    frame->setGeometry(QRect(pos, size));
    if (maximized) {
        frame->showMaximized();
    } else {
        frame->show();
    }
    main->MdiArea()->setActiveSubWindow(frame);
    // The status bar's panes follow the cursor, overwrite and line-end mode of the view.
    if (auto* view = qobject_cast<CCrystalTextView*>(frame->SourceView()))
        connect(view, &CCrystalTextView::StatusChanged, main, &CMainFrame::RequestUpdate);
    if (frame->SourceView()) frame->SourceView()->setFocus();
    main->RequestUpdate();
    return frame;
}

CVeskDoc* CEditorDocManager::NewDocument() {
    CVeskDoc* doc = CreateDocument();
    if (!doc->OnNewDocument()) {
        CloseDocument(doc);
        return nullptr;
    }
    doc->SetTitle(QStringLiteral("NewFile%1").arg(++untitledCount_));
    CreateFrame(doc);
    return doc;
}

CVeskDoc* CEditorDocManager::OpenDocumentFile(const QString& path) {
    const QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (CVeskDoc* open = FindDocument(full)) {
        if (!open->Frames().isEmpty() && MainFrame()) {
            CChildFrame* f = open->Frames().first();
            if (f->isMinimized()) f->showNormal();
            MainFrame()->MdiArea()->setActiveSubWindow(f);
        }
        return open;
    }
    CVeskDoc* doc = CreateDocument();
    std::string error;
    if (!QFileInfo(full).isFile() || !doc->OnOpenDocument(full, &error)) {
        CloseDocument(doc);
        QString text = QStringLiteral("Failed to open document.\n\n%1").arg(QDir::toNativeSeparators(full));
        if (!error.empty()) text += QStringLiteral("\n") + QString::fromStdString(error);
        ShowMessage(text, mb::kOk | mb::kIconExclamation);
        return nullptr;
    }
    doc->SetPathName(full, true);
    CreateFrame(doc);
    return doc;
}

void CEditorDocManager::OnFileOpen() {
    QFileDialog dlg(DialogOwner(), QStringLiteral("Open"));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFiles);
    dlg.setOption(QFileDialog::HideNameFilterDetails);
    dlg.setNameFilters(OpenFilters());
    // The first showing after a project opened starts in the project's folder.
    if (openInProjectFolder_ && Project().IsOpen()) dlg.setDirectory(QString::fromStdString(Project().ProjectFolder()));
    openInProjectFolder_ = false;
    if (dlg.exec() != QDialog::Accepted) return;
    for (const QString& f : dlg.selectedFiles()) app_.OpenDocumentFile(f);
}

void CEditorDocManager::SaveAll() {
    std::vector<CVeskDoc*> docs;
    for (const auto& d : docs_) docs.push_back(d.get());
    for (CVeskDoc* d : docs) {
        if (!d->IsModified() || d->IsUntitled()) continue;
        if (!d->OnSaveDocument(d->PathName())) {
            if (ShowMessage(QStringLiteral("Continue with next file?"), mb::kYesNo | mb::kIconQuestion) != mb::kIdYes)
                return;
        }
    }
}

bool CEditorDocManager::SaveAllModified() {
    std::vector<CVeskDoc*> docs;
    for (const auto& d : docs_) docs.push_back(d.get());
    for (CVeskDoc* d : docs) {
        if (!d->SaveModified()) return false;
    }
    return true;
}

bool CEditorDocManager::CloseAll() {
    if (!SaveAllModified()) return false;
    CloseAllDocuments();
    return true;
}

void CEditorDocManager::CloseAllDocuments() {
    while (!docs_.empty()) CloseDocument(docs_.front().get());
}

void CEditorDocManager::OnFrameDestroyed(CVeskDoc* doc, CChildFrame* frame) {
    doc->RemoveFrame(frame);
    if (doc->Frames().isEmpty() && doc != closing_) CloseDocument(doc);
}

void CEditorDocManager::CloseDocument(CVeskDoc* doc) {
    // Frames first (their views leave the buffer), then the document.
    CVeskDoc* outer = closing_;
    closing_ = doc;
    const QList<CChildFrame*> frames = doc->Frames();
    // Closing the active window while it is maximized leaves the one that comes forward maximized,
    // as closing it by its own button does.
    QMdiArea* area = MainFrame() ? MainFrame()->MdiArea() : nullptr;
    QMdiSubWindow* active = area ? area->activeSubWindow() : nullptr;
    const bool keepMaximized = active && active->isMaximized() && frames.contains(qobject_cast<CChildFrame*>(active));
    for (CChildFrame* f : frames) delete f;
    closing_ = outer;
    if (keepMaximized) {
        QMdiSubWindow* next = area->activeSubWindow();
        if (next && next->isVisible() && !next->isMinimized() && !next->isMaximized()) next->showMaximized();
    }
    for (auto it = docs_.begin(); it != docs_.end(); ++it) {
        if (it->get() == doc) {
            std::unique_ptr<CVeskDoc> dying = std::move(*it);
            docs_.erase(it);
            break;
        }
    }
    if (MainFrame()) MainFrame()->RequestUpdate();
}

}  // namespace tarnwell
