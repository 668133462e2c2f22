#include "app/FrameClient.h"

#include "app/BrowseView.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QResizeEvent>
#include <QSet>
#include <QTabBar>

namespace tarnwell {

namespace {

QSet<QString>& LiveFiles() {
    static QSet<QString> files;
    return files;
}

void RemoveAllAtExit() {
    static bool connected = false;
    if (connected || !QCoreApplication::instance()) return;
    connected = true;
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] {
        for (const QString& path : LiveFiles()) tarnwell::DeletePreviewFile(path.toStdString());
        LiveFiles().clear();
    });
}

}  // namespace

CFrameClient::CFrameClient(QWidget* sourceView, bool internalPreview, QWidget* parent)
    : QWidget(parent), source_(sourceView), internalPreview_(internalPreview) {
    source_->setParent(this);
    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("Tab"));
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->setFocusPolicy(Qt::NoFocus);
    tabs_->addTab(QStringLiteral(" Source "));
    tabs_->setTabToolTip(TabSource, QStringLiteral("Source Code"));
    tabs_->addTab(QStringLiteral(" Preview "));
    tabs_->setTabToolTip(TabPreview, QStringLiteral("Preview in Internal Browser"));
    tabs_->setCurrentIndex(TabSource);
    tabs_->setVisible(internalPreview_);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (switching_ || index == shown_) return;
        int old = shown_;
        if (!TabSwitch(old, index)) {
            switching_ = true;
            tabs_->setCurrentIndex(old);
            switching_ = false;
            return;
        }
        ShowPage(index);
    });
    RemoveAllAtExit();
    Layout();
}

CFrameClient::~CFrameClient() { DeletePreviewFile(); }

int CFrameClient::CurrentTab() const { return shown_; }

QWidget* CFrameClient::ActiveView() const {
    return shown_ == TabPreview && browse_ ? static_cast<QWidget*>(browse_) : source_;
}

bool CFrameClient::SelectTab(int index) {
    if (index == shown_) return true;
    if (index < 0 || index >= tabs_->count()) return false;
    if (!TabSwitch(shown_, index)) return false;
    switching_ = true;
    tabs_->setCurrentIndex(index);
    switching_ = false;
    ShowPage(index);
    return true;
}

bool CFrameClient::CreateBrowseView() {
    browse_ = new CBrowseView(this);
    browse_->setObjectName(QStringLiteral("BrowseView"));
    browse_->hide();
    browse_->setEnabled(false);
    Layout();
    return true;
}

bool CFrameClient::TabSwitch(int oldIndex, int newIndex) {
    if (newIndex == TabSource) {
        if (browse_) browse_->Navigate(QStringLiteral("about:blank"));
        if (oldIndex == TabPreview) DeletePreviewFile();
        return true;
    }
    if (newIndex == TabPreview) {
        if (!browse_ && !CreateBrowseView()) return false;
        DeletePreviewFile();
        if (!makePreview_) return false;
        PreviewFile preview = makePreview_();
        if (!preview.ok) return false;
        RememberPreview(QString::fromStdString(preview.path));
        browse_->Navigate(QString::fromStdString(preview.url));
        return true;
    }
    return true;
}

void CFrameClient::ShowPage(int index) {
    QWidget* oldView = shown_ == TabPreview ? static_cast<QWidget*>(browse_) : source_;
    QWidget* newView = index == TabPreview ? static_cast<QWidget*>(browse_) : source_;
    shown_ = index;
    if (oldView && oldView != newView) {
        oldView->hide();
        oldView->setEnabled(false);
    }
    if (newView) {
        newView->setEnabled(true);
        newView->show();
        newView->setFocus();
    }
}

void CFrameClient::RememberPreview(const QString& path) {
    previewPath_ = path;
    if (!path.isEmpty()) LiveFiles().insert(path);
}

void CFrameClient::DeletePreviewFile() {
    if (previewPath_.isEmpty()) return;
    tarnwell::DeletePreviewFile(previewPath_.toStdString());
    LiveFiles().remove(previewPath_);
    previewPath_.clear();
}

QString CFrameClient::MakePreviewForBrowser() {
    DeletePreviewFile();
    if (!makePreview_) return {};
    PreviewFile preview = makePreview_();
    if (!preview.ok) return {};
    RememberPreview(QString::fromStdString(preview.path));
    return QString::fromStdString(preview.url);
}

QStringList CFrameClient::LivePreviewFiles() { return QStringList(LiveFiles().begin(), LiveFiles().end()); }

void CFrameClient::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

void CFrameClient::SetMaximized(bool maximized) {
    if (maximized == maximized_) return;
    maximized_ = maximized;
    Layout();
    update();
}

void CFrameClient::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!maximized_) return;
    // The etched edge along the bottom of a maximized window.
    QPainter p(this);
    const int y = rect().bottom() - 1;
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(0, y, width() - 1, y);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, y + 1, width() - 1, y + 1);
}

void CFrameClient::Layout() {
    QRect area = rect();
    if (maximized_) area.setBottom(area.bottom() - 2);
    QRect views = area;
    if (internalPreview_) {
        int h = tabs_->sizeHint().height();
        tabs_->setGeometry(area.left(), area.bottom() - h + 1, area.width(), h);
        views.setBottom(area.bottom() - h - 2);
    } else {
        tabs_->setGeometry(QRect());
    }
    source_->setGeometry(views);
    if (browse_) browse_->setGeometry(views);
}

}  // namespace tarnwell
