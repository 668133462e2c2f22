// The open-files bar ("Files"): one button per document window in creation order. A click
// activates a window, minimizes the active one, or brings a minimized one back (maximized when it
// was); the button's context menu offers the window commands.
#pragma once

#include "ui/CButtonStrip.h"

#include <QHash>
#include <QToolBar>

class QMdiSubWindow;
class QMenu;

namespace tarnwell {

// What a document window offers the bar. Commands are carried out after the caller's event.
class CFileWindow {
public:
    enum SysCommand { Minimize, Maximize, Restore, Close };
    virtual ~CFileWindow() = default;
    virtual void PostSysCommand(SysCommand command) = 0;
    // Maximized the last time it was not minimized.
    virtual bool WasMaximized() const = 0;
    virtual bool IsDocumentModified() const = 0;
    virtual bool HasDocumentPath() const = 0;
    // Saves the window's document under its path (an untitled one asks for a name).
    virtual void SaveDocument() = 0;
};

class COpenFilesStrip : public CSelectionStrip {
    Q_OBJECT
public:
    using CSelectionStrip::CSelectionStrip;

    QMdiSubWindow* FrameOf(int index) const;
    // The button menu of `index`: Activate, Restore, Minimize, Maximize, Save, Close, each with its
    // id as data, with the default and the disabled items set. The caller owns the menu.
    QMenu* BuildMenu(int index);
    void RunMenuCommand(int index, int id);

protected:
    void OnClick(int index) override;
    void OnContextMenu(int index, const QPoint& globalPos) override;

private:
    void BringBack(QMdiSubWindow* frame);
};

class COpenFilesBar : public QToolBar {
    Q_OBJECT
public:
    static constexpr int kBarId = 59434;

    explicit COpenFilesBar(QWidget* parent);

    COpenFilesStrip* Strip() const { return strip_; }

    // A button for `frame` at the end, labelled `text`.
    int Register(QMdiSubWindow* frame, const QString& text);
    void Unregister(const QMdiSubWindow* frame);
    int IndexOf(const QWidget* frame) const { return strip_->IndexOf(frame); }
    QMdiSubWindow* FrameOf(int index) const { return strip_->FrameOf(index); }
    QString Text(int index) const { return strip_->Text(index); }
    void SetText(int index, const QString& text) { strip_->SetText(index, text); }
    void SetImage(int index, int image) { strip_->SetImage(index, image); }
    // The file-type icon for an extension (".asp"), added to the strip's images on first use.
    int ImageForExtension(const QString& extension);
    // The button's rectangle in the strip's coordinates.
    QRect TabRect(int index) const { return strip_->ButtonRect(index); }
    // The first window after button `index`, wrapping around, that is not minimized; null if none.
    QMdiSubWindow* NextWindowAfter(int index) const;
    // `select`: the frame's button goes down; otherwise it goes up.
    void Activate(const QMdiSubWindow* frame, bool select);
    // The active window's button is down while that window is not minimized; otherwise none is.
    void IdleUpdate(const QMdiSubWindow* active);

private:
    COpenFilesStrip* strip_;
    QHash<QString, int> images_;
};

}  // namespace tarnwell
