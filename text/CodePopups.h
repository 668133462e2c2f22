// The two popups of the page editor's code help: the member list and the parameter tip. Neither ever
// takes the keyboard focus: the editor keeps it and forwards the list's keys.
#pragma once

#include <QIcon>
#include <QListWidget>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>


namespace tarnwell {

struct MemberListItem;

// The member list's images (0 data, 1 callable, 2 default data, 3 default callable), shared with the
// outline tree.
QIcon CodeItemIcon(int icon);

class CMemberListPopup : public QWidget {
    Q_OBJECT

public:
    explicit CMemberListPopup(QWidget* owner);
    ~CMemberListPopup() override;

    // Fills the list (items sorted as given) in `font` with rows of `rowHeight` (at least 16).
    void SetItems(const std::vector<MemberListItem>& items, const QFont& font, int rowHeight);
    int Count() const { return list_->count(); }
    QString ItemText(int row) const;
    // The selected row and the hint row (-1: none). Setting one clears the other.
    int Selection() const;
    int Hint() const { return hint_; }
    void SetSelection(int row);
    void SetHint(int row);
    // Page Up/Down, Home, End, Up, Down: the first such key turns a hint into the selection.
    void NavigateKey(int key);
    // Shows the list below (or above) a text line: `wordLeft` is the screen x of the word start,
    // `lineTop` the screen y of the caret line.
    void ShowAt(QPoint wordLeft, int lineTop, int lineHeight, bool above);
    QListWidget* List() const { return list_; }

signals:
    void Accepted();
    void Dismissed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void StepTowardsPointer();

    QListWidget* list_;
    QWidget* owner_;
    int hint_ = -1;
    int pointerY_ = 0;
    bool tracking_ = false;
    QTimer stepTimer_;
};

class CParameterTip : public QWidget {
    Q_OBJECT

public:
    explicit CParameterTip(QWidget* owner);

    // The pieces to draw (header first) and the parameter shown in bold; a repaint and resize only when
    // something changed. The tip keeps its own copies of the texts.
    void SetContent(std::vector<std::string> pieces, int current, const QFont& font);
    const std::vector<std::string>& Pieces() const { return pieces_; }
    int Current() const { return current_; }
    // Places the tip at a screen point, kept on the screen.
    void ShowAt(QPoint at);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Lays the pieces out: positions relative to the text origin; returns the size.
    QSize Layout(std::vector<QRect>* boxes) const;

    std::vector<std::string> pieces_;
    int current_ = -1;
    QFont font_;
};

}  // namespace tarnwell
