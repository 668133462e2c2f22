// The client area of a document window: the source view, the browser view made at the first
// Preview, and the " Source " / " Preview " tab strip below them with its switching rules. The frame
// supplies how a preview file is made; this area keeps the frame's preview file and deletes it.
#pragma once

#include "app/PreviewFile.h"

#include <QString>
#include <QWidget>

#include <functional>

class QTabBar;

namespace tarnwell {

class CBrowseView;

class CFrameClient : public QWidget {
    Q_OBJECT
public:
    enum Tab { TabSource = 0, TabPreview = 1 };

    // `internalPreview`: the strip is shown (the option as read at start-up); otherwise only the
    // source view shows and the strip takes no room.
    CFrameClient(QWidget* sourceView, bool internalPreview, QWidget* parent = nullptr);
    ~CFrameClient() override;

    // Makes the document's preview file (on failure the document has told the user).
    void SetPreviewMaker(std::function<PreviewFile()> maker) { makePreview_ = std::move(maker); }

    QWidget* SourceView() const { return source_; }
    CBrowseView* BrowseView() const { return browse_; }
    QTabBar* TabStrip() const { return tabs_; }
    bool InternalPreview() const { return internalPreview_; }
    int CurrentTab() const;
    // The view of the selected page (the frame's active view).
    QWidget* ActiveView() const;

    // Selects a tab through the switching rules; false when the switch was refused.
    bool SelectTab(int index);

    // The preview file made last, empty when none.
    const QString& PreviewPath() const { return previewPath_; }
    // Deletes the preview file if it exists and forgets its path.
    void DeletePreviewFile();
    // "Preview in Default Browser...": a new preview file; answers its URL, or empty on failure.
    QString MakePreviewForBrowser();

    // A maximized frame keeps 2 pixels at the bottom for an etched edge.
    void SetMaximized(bool maximized);
    bool IsMaximized() const { return maximized_; }

    // Every preview file still alive in the process (deleted at program exit as a last resort).
    static QStringList LivePreviewFiles();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool TabSwitch(int oldIndex, int newIndex);
    bool CreateBrowseView();
    void ShowPage(int index);
    void Layout();
    void RememberPreview(const QString& path);

    QWidget* source_;
    CBrowseView* browse_ = nullptr;
    QTabBar* tabs_ = nullptr;
    bool internalPreview_;
    int shown_ = TabSource;
    bool switching_ = false;
    bool maximized_ = false;
    QString previewPath_;
    std::function<PreviewFile()> makePreview_;
};

}  // namespace tarnwell
