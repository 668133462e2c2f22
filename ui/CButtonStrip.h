// A strip of owner-drawn push buttons with a label and an optional 16-pixel icon, laid out in rows
// of equal widths with a row scroller when they do not fit on one row. The base strip toggles a
// clicked button; the selection strip keeps at most one button down.
#pragma once

#include "ui/StripLayout.h"

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <vector>

class QToolButton;

namespace tarnwell {

// Two arrows over a value from 0 to a maximum; the up arrow raises the value.
class CUpDown : public QWidget {
    Q_OBJECT
public:
    explicit CUpDown(QWidget* parent);
    void SetRange(int max);
    void SetValue(int value);
    int Value() const { return value_; }
    int Maximum() const { return max_; }
    void StepUp() { Step(+1); }
    void StepDown() { Step(-1); }

signals:
    void valueChanged(int value);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void Step(int delta);
    QToolButton* up_;
    QToolButton* down_;
    int value_ = 0;
    int max_ = 0;
};

class CButtonStrip : public QWidget {
    Q_OBJECT
public:
    enum : int { StateUp = 1, StateDown = 2 };

    explicit CButtonStrip(QWidget* parent = nullptr);

    // Inserts before the button at `position` (at the end when past the last); answers the index.
    int Insert(int position, const QString& text, QWidget* window = nullptr);
    void Remove(int index);
    int Count() const { return int(buttons_.size()); }
    QWidget* WindowOf(int index) const;
    int IndexOf(const QWidget* window) const;

    QString Text(int index) const;
    void SetText(int index, const QString& text, bool repaint = true);
    int Image(int index) const;
    void SetImage(int index, int image, bool repaint = true);
    void SetImageList(const QList<QIcon>& images);
    // Appends an icon to the image list; answers its index.
    int AddImage(const QIcon& icon);
    int State(int index) const;
    void SetState(int index, int state);
    // Puts every other button up and the one at `index` down; -1 puts all up.
    void Select(int index);
    int Selected() const;

    QRect ButtonRect(int index) const;
    int ButtonAt(const QPoint& pos) const;
    int Pressed() const { return pressed_; }
    int Hover() const { return hover_; }
    int Rows() const { return layout_.rows; }
    int Columns() const { return layout_.columns; }
    int FirstRow() const { return layout_.firstRow; }
    CUpDown* Scroller() const { return scroller_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // A click: a press and a release on the same button. The base strip toggles it.
    virtual void OnClick(int index);
    virtual void AfterInsert(int index);
    // A right click over a button (none when not over one).
    virtual void OnContextMenu(int index, const QPoint& globalPos);

    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    struct Button {
        QString text;
        int image = -1;
        int state = StateUp;
        QPointer<QWidget> window;
    };
    void Layout();
    void RepaintButton(int index);
    void SetHover(int index);
    void DrawButton(QPainter& p, int index) const;

    std::vector<Button> buttons_;
    StripLayout layout_;
    StripMetrics metrics_;
    QList<QIcon> images_;
    bool hasImages_ = false;
    CUpDown* scroller_;
    int pressed_ = -1;
    int hover_ = -1;
    int firstRow_ = 0;
};

// At most one button down; inserting into an empty strip puts the new button down.
class CSelectionStrip : public CButtonStrip {
    Q_OBJECT
public:
    using CButtonStrip::CButtonStrip;

signals:
    void selectionChanged(int oldIndex, int newIndex);

protected:
    void OnClick(int index) override;
    void AfterInsert(int index) override;
};

}  // namespace tarnwell
