// CColorButton: a push button that shows a color and drops down the palette that picks one.
#pragma once

#include "html/ColorPalette.h"

#include <QColor>
#include <QPushButton>
#include <QWidget>

class QLineEdit;

namespace tarnwell {

QColor ToQColor(ColorRef color);
ColorRef FromQColor(const QColor& color);

// The palette window (a popup without a title): draws the model's items and marks and closes with
// one outcome. Mouse positions reach the model in client coordinates (inside the frame).
class CColorPopup : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrame = 2;

    explicit CColorPopup(QWidget* owner);

    // Marks the items for a button showing `buttonColor`; call before showing.
    void Prepare(ColorRef automaticColor, ColorRef buttonColor);
    const ColorPalette& Palette() const { return palette_; }
    // The widget position of a client point (for tests and placement).
    static QPoint ToWidget(int x, int y) { return {x + kFrame, y + kFrame}; }

Q_SIGNALS:
    // Sent once per opening, after the palette has hidden itself.
    void finished(int outcome, quint32 color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Finish(const PaletteResult& result);
    void DrawItem(class QPainter& painter, int item);

    ColorPalette palette_;
    bool open_ = false;
};

class CColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit CColorButton(QWidget* parent = nullptr, int controlId = 0);

    // Stores both colors and redraws; sends no notification.
    void SetColor(ColorRef automaticColor, ColorRef color);
    ColorRef GetColor() const { return color_; }
    ColorRef AutomaticColor() const { return automaticColor_; }
    int ControlId() const { return controlId_; }

    // The palette, created at the first opening and kept (null before that).
    CColorPopup* Popup() const { return popup_; }
    void OpenPalette();

    // Data exchange with a stored value: loading sets the color with the given automatic color,
    // saving reads the current color back.
    void Exchange(bool save, ColorRef automaticColor, ColorRef& value);

Q_SIGNALS:
    // After every change made through the palette or the color dialog (not after SetColor).
    void colorPicked(int controlId, quint32 color);

protected:
    void paintEvent(QPaintEvent* event) override;
    // The full color dialog; answers false when it is cancelled. Tests replace it.
    virtual bool ChooseCustomColor(ColorRef initial, ColorRef& chosen);

private:
    void OnPopupFinished(int outcome, quint32 color);

    ColorRef automaticColor_ = 0;
    ColorRef color_ = kButtonFaceColor;
    int controlId_ = 0;
    CColorPopup* popup_ = nullptr;
};

// Keeps a "#RRGGBB" text field and its color button in step: typing recolors the button (the text is
// trimmed and parsed on every change), a color picked on the button is written into the field.
void BindColorField(QLineEdit* field, CColorButton* button);

}  // namespace tarnwell
