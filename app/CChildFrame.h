// A document window: an MDI child holding the document's source view, with the caption rules
// (path or title, ":n" for one of several windows on a document, "*" while modified).
#pragma once

#include "text/CommandTarget.h"

#include <QMdiSubWindow>
#include <QPointer>

namespace tarnwell {

class CMainFrame;
class CVeskDoc;
class CFindCommands;

class CChildFrame : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT
public:
    // Creates the window with its source view for `doc` inside the main frame's MDI area.
    CChildFrame(CVeskDoc* doc, CMainFrame* mainFrame);
    ~CChildFrame() override;

    CVeskDoc* Document() const { return doc_; }
    QWidget* SourceView() const { return sourceView_; }
    // The active view as a command target (null when the view takes no commands).
    CCmdTarget* ViewTarget() const;

    // 0 when this is the document's only window, otherwise its number 1, 2, ...
    int WindowNumber() const { return windowNumber_; }
    void SetWindowNumber(int n) { windowNumber_ = n; }
    // Recomputes the caption and the open-files bar's text.
    void OnUpdateFrameTitle();
    QString TabText() const { return tabText_; }
    bool WasMaximized() const { return wasMaximized_; }

    // Closing without questions (the document is being closed).
    void CloseSilently();

    bool UpdateCommand(int id, CommandState& state) override;
    bool ExecuteCommand(int id) override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    CFindCommands* FindCommands() const;
    CVeskDoc* doc_;
    QPointer<CMainFrame> mainFrame_;
    QWidget* sourceView_ = nullptr;
    int windowNumber_ = 0;
    QString tabText_;
    bool wasMaximized_ = false;
    bool closingSilently_ = false;
};

}  // namespace tarnwell
