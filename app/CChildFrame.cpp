#include "app/CChildFrame.h"

#include "app/CEditorApp.h"
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/BrowseView.h"
#include "app/CVeskDoc.h"
#include "app/CommandIds.h"
#include "app/DocPreview.h"
#include "app/FrameClient.h"
#include "app/ProjectLink.h"
#include "app/OptionsSheet.h"
#include "app/SourceView.h"
#include "html/TagCommands.h"
#include "platform/MemoryProfile.h"
#include "text/AskWithCheck.h"
#include "text/CCrystalEditView.h"
#include "text/ViewFind.h"
#include "text/ViewPrint.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QTimer>
#include <QWindowStateChangeEvent>

namespace tarnwell {

CChildFrame::CChildFrame(CVeskDoc* doc, CMainFrame* mainFrame) : doc_(doc), mainFrame_(mainFrame) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("ChildFrame"));
    COptionsSheet& options = COptionsSheet::Get();
    sourceView_ = CreateSourceView(*doc, nullptr);
    if (auto* text = dynamic_cast<CCrystalTextView*>(sourceView_)) options.ApplyFontTo(text);
    // The strip shows when internal preview was on at start-up; a change acts from the next start.
    client_ = new CFrameClient(sourceView_, options.InternalPreviewAtStart(), this);
    client_->SetPreviewMaker([this] {
        static MemoryProfile noSettings;  // only without an application (the switch is then not kept)
        CEditorApp* app = CEditorApp::Instance();
        return MakeDocumentPreview(doc_->PathName(), doc_->Buffer(), app ? app->GetProfile() : noSettings);
    });
    client_->SetMaximized(isMaximized());
    setWidget(client_);
    SetSourceViewCursor(sourceView_, doc->InitialCursor());
    // Find, Find Next and Replace work on the source view with the application's search memory.
    if (auto* edit = dynamic_cast<CCrystalEditView*>(sourceView_)) {
        if (CEditorApp* app = CEditorApp::Instance()) AttachFindCommands(*edit, app->GetProfile());
        // The tag insertion commands and the dialogs they open.
        AuthoringContext context;
        if (CEditorApp* app = CEditorApp::Instance()) context.profile = &app->GetProfile();
        context.documentPath = [this] { return doc_->PathName(); };
        context.projectFolder = [] {
            CEditorApp* app = CEditorApp::Instance();
            return app && app->Project().IsOpen() ? QString::fromStdString(app->Project().ProjectFolder()) : QString();
        };
        AttachTagCommands(*edit, std::move(context));
        connect(edit, &CCrystalTextView::ContextMenuRequested, this, [this](QPoint at) {
            if (mainFrame_) mainFrame_->ShowEditorContextMenu(at);
        });
        // The menu key (and Shift+F10) opens the same menu at the caret.
        edit->installEventFilter(this);
        edit->viewport()->installEventFilter(this);
    }
    // Print and Print Preview print the source view's text on the application's printer.
    if (auto* text = dynamic_cast<CCrystalTextView*>(sourceView_)) {
        if (CEditorApp* app = CEditorApp::Instance())
            AttachPrintCommands(*text, app->GetProfile(), [] {
                CEditorApp* current = CEditorApp::Instance();
                return current ? &current->Printer() : nullptr;
            });
    }
    if (mainFrame_) mainFrame_->AddFileButton(this, doc->Title());
    doc_->AddFrame(this);
    // Activated while minimized (window list, next window): it comes back first.
    connect(this, &QMdiSubWindow::aboutToActivate, this, [this] {
        if (isMinimized()) PostSysCommand(wasMaximized_ ? Maximize : Restore);
    });
}

CChildFrame::~CChildFrame() {
    // The preview file goes first; then the views leave the buffer before the document may go.
    client_->DeletePreviewFile();
    delete client_;
    client_ = nullptr;
    sourceView_ = nullptr;
    if (mainFrame_) mainFrame_->RemoveFileButton(this);
    if (CEditorApp* app = CEditorApp::Instance()) {
        app->DocManager().OnFrameDestroyed(doc_, this);
    } else {
        doc_->RemoveFrame(this);
    }
}

bool CChildFrame::SourceShown() const { return client_ && client_->CurrentTab() == CFrameClient::TabSource; }

CCmdTarget* CChildFrame::ViewTarget() const {
    return SourceShown() ? dynamic_cast<CCmdTarget*>(sourceView_) : nullptr;
}

QString CChildFrame::PreviewPath() const { return client_ ? client_->PreviewPath() : QString(); }

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
    if (!mainFrame_) return;
    COpenFilesBar* bar = mainFrame_->FilesBar();
    const int index = bar->IndexOf(this);
    if (bar->Text(index) != tab || bar->Strip()->Image(index) < 0) {
        bar->SetText(index, tab);
        // The file-type icon of the name's extension; an untitled page is an ASP page.
        const QString ext =
            doc_->IsUntitled() ? QStringLiteral(".asp") : QStringLiteral(".") + QFileInfo(doc_->PathName()).suffix();
        bar->SetImage(index, bar->ImageForExtension(ext));
    }
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

bool CChildFrame::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::ContextMenu && static_cast<QContextMenuEvent*>(e)->reason() == QContextMenuEvent::Keyboard) {
        auto* edit = dynamic_cast<CCrystalEditView*>(sourceView_);
        if (edit && (watched == edit || watched == edit->viewport())) {
            const QPoint caret = edit->PositionToPoint(edit->CursorPosition()) + QPoint(0, edit->RowHeight());
            if (mainFrame_) mainFrame_->ShowEditorContextMenu(edit->viewport()->mapToGlobal(caret));
            return true;
        }
    }
    return QMdiSubWindow::eventFilter(watched, e);
}

void CChildFrame::changeEvent(QEvent* e) {
    if (e->type() == QEvent::WindowStateChange) {
        if (isMinimized()) {
            // However it was minimized (the bar, its own button, the system menu): it waits on its
            // button in the open-files bar rather than as an icon in the area, and the next window
            // comes forward.
            const bool wasMinimized = static_cast<QWindowStateChangeEvent*>(e)->oldState() & Qt::WindowMinimized;
            if (!wasMinimized) {
                QTimer::singleShot(0, this, [this] {
                    if (!isMinimized()) return;
                    hide();
                    BringNextForward();
                });
            }
        } else if (isMaximized()) {
            wasMaximized_ = true;
        } else {
            wasMaximized_ = false;
        }
        if (client_) client_->SetMaximized(isMaximized() && !isMinimized());
    }
    QMdiSubWindow::changeEvent(e);
}

CTagCommands* CChildFrame::TagCommands() const {
    auto* view = dynamic_cast<CCrystalTextView*>(sourceView_);
    return view && SourceShown() ? TagCommandsOf(*view) : nullptr;
}

void CChildFrame::BringNextForward() {
    COpenFilesBar* bar = mainFrame_ ? mainFrame_->FilesBar() : nullptr;
    auto* next = bar ? dynamic_cast<CChildFrame*>(bar->NextWindowAfter(bar->IndexOf(this))) : nullptr;
    if (next) {
        next->SystemCommand(next->WasMaximized() ? Maximize : Restore);
    } else if (QMdiArea* area = mdiArea(); area && area->activeSubWindow() == this) {
        area->setActiveSubWindow(nullptr);
    }
    if (mainFrame_) mainFrame_->RequestUpdate();
}

void CChildFrame::PostSysCommand(SysCommand command) {
    QTimer::singleShot(0, this, [this, command] { SystemCommand(command); });
}

void CChildFrame::SystemCommand(SysCommand command) {
    QMdiArea* area = mdiArea();
    switch (command) {
    case Minimize:
        // The window goes to its button and the next one comes forward (see changeEvent).
        showMinimized();
        break;
    case Maximize:
    case Restore:
        if (command == Maximize) {
            showMaximized();
        } else {
            showNormal();
        }
        if (area) area->setActiveSubWindow(this);
        break;
    case Close: close(); break;
    }
    if (mainFrame_) mainFrame_->RequestUpdate();
}

void CChildFrame::Activate() {
    if (isMinimized()) {
        SystemCommand(wasMaximized_ ? Maximize : Restore);
    } else if (QMdiArea* area = mdiArea()) {
        area->setActiveSubWindow(this);
    }
}

bool CChildFrame::IsDocumentModified() const { return doc_->IsModified(); }

bool CChildFrame::HasDocumentPath() const { return !doc_->IsUntitled(); }

void CChildFrame::SaveDocument() { doc_->DoFileSave(); }

CFindCommands* CChildFrame::FindCommands() const {
    auto* view = dynamic_cast<CCrystalTextView*>(sourceView_);
    return view ? FindCommandsOf(*view) : nullptr;
}

CPrintCommands* CChildFrame::PrintCommands() const {
    auto* view = dynamic_cast<CCrystalTextView*>(sourceView_);
    return view ? PrintCommandsOf(*view) : nullptr;
}

void CChildFrame::PreviewInBrowser() {
    // The previous preview file goes; the page's text goes to a new one that the desktop opens.
    const QString url = client_->MakePreviewForBrowser();
    if (url.isEmpty() || QDesktopServices::openUrl(CBrowseView::UrlFor(url))) return;
    // Nothing on this desktop opens pages: the user hears of it, and the file made for it goes again.
    client_->DeletePreviewFile();
    ShowMessage(QStringLiteral("Failed to open the preview in the default browser: the desktop could not start a "
                               "program for it."),
                mb::kOk | mb::kIconStop);
}

bool CChildFrame::UpdateCommand(int id, CommandState& state) {
    if (id == cmd::PreviewInBrowser) {
        state.enabled = true;
        return true;
    }
    // Printing prints the document's text whichever view is shown.
    if (CPrintCommands* print = PrintCommands(); print && print->UpdateCommand(id, state)) return true;
    // The find and tag commands work on the source view, so not while the preview is shown.
    if (CTagCommands* tags = TagCommands(); tags && tags->UpdateCommand(id, state)) return true;
    CFindCommands* find = SourceShown() ? FindCommands() : nullptr;
    return find && find->UpdateCommand(id, state);
}

bool CChildFrame::ExecuteCommand(int id) {
    if (id == cmd::PreviewInBrowser) {
        PreviewInBrowser();
        return true;
    }
    if (CPrintCommands* print = PrintCommands(); print && print->ExecuteCommand(id)) return true;
    if (CTagCommands* tags = TagCommands(); tags && tags->ExecuteCommand(id)) return true;
    CFindCommands* find = SourceShown() ? FindCommands() : nullptr;
    return find && find->ExecuteCommand(id);
}

}  // namespace tarnwell
