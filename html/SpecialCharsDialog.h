// The Special Characters window: a grid of 99 characters; Insert (or a double click) answers the
// chosen one's character reference. One dialog serves the whole run, so it reopens on the last cell.
#pragma once

#include <QDialog>
#include <QWidget>

class QPushButton;

namespace tarnwell {

class CSpecialCharGrid : public QWidget {
    Q_OBJECT
public:
    explicit CSpecialCharGrid(QWidget* parent = nullptr);
    int Selected() const { return selected_; }
    void Select(int cell);
    QSize sizeHint() const override;

Q_SIGNALS:
    void activated(int cell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int selected_ = 0;
};

class CSpecialCharsDialog : public QDialog {
    Q_OBJECT
public:
    // The one dialog of the run (created on first use, under the main window when there is one).
    static CSpecialCharsDialog& Instance();
    // Shows it modally; answers the chosen reference ("&nbsp;"), or empty on Close.
    static QString Run(QWidget* owner);

    CSpecialCharGrid* Grid() const { return grid_; }
    QString Entity() const;

private:
    explicit CSpecialCharsDialog(QWidget* owner);
    CSpecialCharGrid* grid_;
};

}  // namespace tarnwell
