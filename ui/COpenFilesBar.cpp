#include "ui/COpenFilesBar.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeDatabase>
#include <QStyle>

namespace tarnwell {

namespace {

CFileWindow* Ops(QMdiSubWindow* frame) { return dynamic_cast<CFileWindow*>(frame); }

QIcon FileTypeIcon(const QString& extension) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("file") + extension, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    return icon;
}

}  // namespace

// --- strip ---------------------------------------------------------------------------------------

QMdiSubWindow* COpenFilesStrip::FrameOf(int index) const { return qobject_cast<QMdiSubWindow*>(WindowOf(index)); }

void COpenFilesStrip::BringBack(QMdiSubWindow* frame) {
    // A minimized window comes back maximized when the active one is or when it was.
    QMdiArea* area = frame->mdiArea();
    QMdiSubWindow* active = area ? area->activeSubWindow() : nullptr;
    CFileWindow* ops = Ops(frame);
    const WindowAction a = ClickAction(false, true, active && active != frame && active->isMaximized(),
                                       ops && ops->WasMaximized());
    if (ops) ops->PostSysCommand(a == WindowAction::Maximize ? CFileWindow::Maximize : CFileWindow::Restore);
}

void COpenFilesStrip::OnClick(int index) {
    QMdiSubWindow* frame = FrameOf(index);
    if (!frame) return;
    CFileWindow* ops = Ops(frame);
    switch (ClickAction(State(index) == StateDown, frame->isMinimized(), false, false)) {
    case WindowAction::Minimize:
        if (ops) ops->PostSysCommand(CFileWindow::Minimize);
        break;
    case WindowAction::Activate:
        if (QMdiArea* area = frame->mdiArea()) area->setActiveSubWindow(frame);
        break;
    default: BringBack(frame); break;
    }
}

QMenu* COpenFilesStrip::BuildMenu(int index) {
    QMdiSubWindow* frame = FrameOf(index);
    if (!frame) return nullptr;
    CFileWindow* ops = Ops(frame);
    QMdiArea* area = frame->mdiArea();
    const bool active = area && area->activeSubWindow() == frame;
    const FilesMenuState state = FilesMenu(active, frame->isMinimized(), frame->isMaximized(),
                                           ops && ops->IsDocumentModified(), !ops || ops->HasDocumentPath());
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("FilesMenu"));
    const struct {
        int id;
        const char* text;
    } items[] = {{kFilesMenuActivate, "&Activate"}, {kFilesMenuRestore, "&Restore"}, {kFilesMenuMinimize, "Mi&nimize"},
                 {kFilesMenuMaximize, "Ma&ximize"}, {kFilesMenuSave, "&Save"},        {kFilesMenuClose, "&Close"}};
    for (const auto& item : items) {
        QAction* a = menu->addAction(QString::fromUtf8(item.text));
        a->setData(item.id);
        a->setEnabled(state.Enabled(item.id));
        if (item.id == state.defaultId) menu->setDefaultAction(a);
    }
    return menu;
}

void COpenFilesStrip::RunMenuCommand(int index, int id) {
    QMdiSubWindow* frame = FrameOf(index);
    CFileWindow* ops = Ops(frame);
    if (!frame || !ops) return;
    switch (id) {
    case kFilesMenuActivate:
        if (frame->isMinimized()) {
            BringBack(frame);
        } else if (QMdiArea* area = frame->mdiArea()) {
            area->setActiveSubWindow(frame);
        }
        break;
    case kFilesMenuRestore: ops->PostSysCommand(CFileWindow::Restore); break;
    case kFilesMenuMinimize: ops->PostSysCommand(CFileWindow::Minimize); break;
    case kFilesMenuMaximize: ops->PostSysCommand(CFileWindow::Maximize); break;
    case kFilesMenuClose: ops->PostSysCommand(CFileWindow::Close); break;
    case kFilesMenuSave: ops->SaveDocument(); break;
    default: break;
    }
}

void COpenFilesStrip::OnContextMenu(int index, const QPoint& globalPos) {
    std::unique_ptr<QMenu> menu(BuildMenu(index));
    if (!menu) return;
    QPointer<QWidget> frame = WindowOf(index);
    QAction* chosen = menu->exec(globalPos, menu->defaultAction());
    // The window may have gone while the menu was open; its button index may have moved.
    if (chosen && frame) RunMenuCommand(IndexOf(frame), chosen->data().toInt());
}

// --- bar -----------------------------------------------------------------------------------------

COpenFilesBar::COpenFilesBar(QWidget* parent) : QToolBar(QStringLiteral("Files"), parent) {
    setObjectName(QStringLiteral("FilesBar"));
    setMovable(false);
    setAllowedAreas(Qt::BottomToolBarArea | Qt::TopToolBarArea);
    setContentsMargins(1, 1, 1, 1);
    strip_ = new COpenFilesStrip(this);
    strip_->setObjectName(QStringLiteral("OpenFilesStrip"));
    strip_->SetImageList({});
    addWidget(strip_);
    // At least 26 pixels high.
    setMinimumHeight(std::max(26, strip_->sizeHint().height() + 4));
}

int COpenFilesBar::Register(QMdiSubWindow* frame, const QString& text) { return strip_->Insert(-1, text, frame); }

void COpenFilesBar::Unregister(const QMdiSubWindow* frame) { strip_->Remove(strip_->IndexOf(frame)); }

int COpenFilesBar::ImageForExtension(const QString& extension) {
    const QString key = extension.toLower();
    auto it = images_.constFind(key);
    if (it != images_.cend()) return it.value();
    const int image = strip_->AddImage(FileTypeIcon(key));
    images_.insert(key, image);
    return image;
}

QMdiSubWindow* COpenFilesBar::NextWindowAfter(int index) const {
    const int n = strip_->Count();
    for (int step = 1; step <= n; ++step) {
        const int i = (index + step) % n;
        if (i == index) break;
        QMdiSubWindow* frame = strip_->FrameOf(i);
        if (frame && !frame->isMinimized()) return frame;
    }
    return nullptr;
}

void COpenFilesBar::Activate(const QMdiSubWindow* frame, bool select) {
    const int index = strip_->IndexOf(frame);
    if (select) {
        strip_->Select(index);
    } else {
        strip_->SetState(index, CButtonStrip::StateUp);
    }
}

void COpenFilesBar::IdleUpdate(const QMdiSubWindow* active) {
    strip_->Select(active && !active->isMinimized() ? strip_->IndexOf(active) : -1);
}

}  // namespace tarnwell
