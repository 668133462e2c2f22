#include "app/CChildFrame.h"

#include "app/CEditorApp.h"
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/CVeskDoc.h"
#include "app/SourceView.h"
#include "text/CCrystalEditView.h"
#include "text/ViewFind.h"

#include <QCloseEvent>
#include <QDir>

namespace tarnwell {

CChildFrame::CChildFrame(CVeskDoc* doc, CMainFrame* mainFrame) : doc_(doc), mainFrame_(mainFrame) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("ChildFrame"));
    sourceView_ = CreateSourceView(*doc, this);
    setWidget(sourceView_);
    SetSourceViewCursor(sourceView_, doc->InitialCursor());
    // Find, Find Next and Replace work on the source view with the application's search memory.
    if (auto* edit = dynamic_cast<CCrystalEditView*>(sourceView_)) {
        if (CEditorApp* app = CEditorApp::Instance()) AttachFindCommands(*edit, app->GetProfile());
    }
    if (mainFrame_) mainFrame_->AddFileButton(this, doc->Title());
    doc_->AddFrame(this);
}

CChildFrame::~CChildFrame() {
    // The view leaves the buffer before the document may go.
    delete sourceView_;
    sourceView_ = nullptr;
    if (mainFrame_) mainFrame_->RemoveFileButton(this);
    if (CEditorApp* app = CEditorApp::Instance()) {
        app->DocManager().OnFrameDestroyed(doc_, this);
    } else {
        doc_->RemoveFrame(this);
    }
}

CCmdTarget* CChildFrame::ViewTarget() const { return dynamic_cast<CCmdTarget*>(sourceView_); }

void CChildFrame::OnUpdateFrameTitle() {
    QString caption = doc_->IsUntitled() ? doc_->Title() : QDir::toNativeSeparators(doc_->PathName());
    QString tab = doc_->Title();
    if (windowNumber_ > 0) {
        caption += QStringLiteral(":%1").arg(windowNumber_);
        tab += QStringLiteral(":%1").arg(windowNumber_);
    }
    if (doc_->IsModified()) {
        caption += QLatin1Char('*');
        tab += QLatin1Char('*');
    }
    setWindowTitle(caption);
    tabText_ = tab;
    if (mainFrame_ && mainFrame_->FileButtonText(this) != tab) mainFrame_->SetFileButtonText(this, tab);
}

void CChildFrame::CloseSilently() {
    closingSilently_ = true;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* e) {
    // Only the last window of a modified document asks about saving it.
    if (!closingSilently_ && doc_->Frames().size() == 1 && !doc_->SaveModified()) {
        e->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(e);
}

void CChildFrame::changeEvent(QEvent* e) {
    if (e->type() == QEvent::WindowStateChange) {
        if (isMaximized()) {
            wasMaximized_ = true;
        } else if (!isMinimized()) {
            wasMaximized_ = false;
        }
    }
    QMdiSubWindow::changeEvent(e);
}

CFindCommands* CChildFrame::FindCommands() const {
    auto* view = dynamic_cast<CCrystalTextView*>(sourceView_);
    return view ? FindCommandsOf(*view) : nullptr;
}

bool CChildFrame::UpdateCommand(int id, CommandState& state) {
    CFindCommands* find = FindCommands();
    return find && find->UpdateCommand(id, state);
}

bool CChildFrame::ExecuteCommand(int id) {
    CFindCommands* find = FindCommands();
    return find && find->ExecuteCommand(id);
}

}  // namespace tarnwell
