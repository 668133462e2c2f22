// A document window: an MDI child holding the document's source view and, from the first Preview,
// the page view, with the " Source " / " Preview " strip below them; the caption rules (path or
// title, ":n" for one of several windows on a document, "*" while modified); F12 hands a preview of
// the page to the default browser. The window's preview file never outlives it.
#pragma once

#include "text/CommandTarget.h"
#include "ui/COpenFilesBar.h"

#include <QMdiSubWindow>
#include <QPointer>

namespace tarnwell {

class CFrameClient;
class CMainFrame;
class CVeskDoc;
class CFindCommands;
class CTagCommands;
class CPrintCommands;

class CChildFrame : public QMdiSubWindow, public CCmdTarget, public CFileWindow {
    Q_OBJECT
public:
    // Creates the window with its source view for `doc` inside the main frame's MDI area.
    CChildFrame(CVeskDoc* doc, CMainFrame* mainFrame);
    ~CChildFrame() override;

    CVeskDoc* Document() const { return doc_; }
    QWidget* SourceView() const { return sourceView_; }
    // The source view, the page view and the strip.
    CFrameClient* Client() const { return client_; }
    // The active view as a command target: the source view while Source is shown, null while the
    // preview is shown (the page view takes no commands).
    CCmdTarget* ViewTarget() const;
    // The preview file this window made last (internal preview or F12), empty when none.
    QString PreviewPath() const;

    // 0 when this is the document's only window, otherwise its number 1, 2, ...
    int WindowNumber() const { return windowNumber_; }
    void SetWindowNumber(int n) { windowNumber_ = n; }
    // Recomputes the caption and the open-files bar's text.
    void OnUpdateFrameTitle();
    QString TabText() const { return tabText_; }
    bool WasMaximized() const override { return wasMaximized_; }

    // Minimize, maximize, restore and close with the document windows' rules: a minimized window
    // leaves the area for its button and the next window comes forward; a window brought back
    // becomes the active one.
    void SystemCommand(SysCommand command);
    void PostSysCommand(SysCommand command) override;
    // Activation through the window list: a minimized window comes back first.
    void Activate();
    bool IsDocumentModified() const override;
    bool HasDocumentPath() const override;
    void SaveDocument() override;

    // Closing without questions (the document is being closed).
    void CloseSilently();

    bool UpdateCommand(int id, CommandState& state) override;
    bool ExecuteCommand(int id) override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    CFindCommands* FindCommands() const;
    CTagCommands* TagCommands() const;
    CPrintCommands* PrintCommands() const;
    bool SourceShown() const;
    void PreviewInBrowser();
    void BringNextForward();

    CVeskDoc* doc_;
    QPointer<CMainFrame> mainFrame_;
    QWidget* sourceView_ = nullptr;
    CFrameClient* client_ = nullptr;
    int windowNumber_ = 0;
    QString tabText_;
    bool wasMaximized_ = false;
    bool closingSilently_ = false;
};

}  // namespace tarnwell
