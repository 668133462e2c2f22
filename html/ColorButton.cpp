#include "html/ColorButton.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionButton>

namespace tarnwell {

QColor ToQColor(ColorRef color) { return QColor(RedOf(color), GreenOf(color), BlueOf(color)); }

ColorRef FromQColor(const QColor& color) { return MakeColorRef(color.red(), color.green(), color.blue()); }

// ---- palette window ----

CColorPopup::CColorPopup(QWidget* owner) : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("ColorPopup"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    setFixedSize(ColorPalette::kClientWidth + 2 * kFrame, ColorPalette::kClientHeight + 2 * kFrame);
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
}

void CColorPopup::Prepare(ColorRef automaticColor, ColorRef buttonColor) {
    palette_.Open(automaticColor, buttonColor);
    open_ = true;
    update();
}

void CColorPopup::Finish(const PaletteResult& result) {
    if (!open_) return;
    open_ = false;
    hide();
    emit finished(int(result.outcome), result.color);
}

void CColorPopup::mouseMoveEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    palette_.MouseMove(p.x() - kFrame, p.y() - kFrame, event->buttons() & Qt::LeftButton);
    update();
}

void CColorPopup::mousePressEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    if (auto result = palette_.MousePress(p.x() - kFrame, p.y() - kFrame)) {
        Finish(*result);
        return;
    }
    update();
}

void CColorPopup::mouseReleaseEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    auto result = palette_.MouseRelease(p.x() - kFrame, p.y() - kFrame);
    update();
    if (result) Finish(*result);
}

void CColorPopup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        Finish({PaletteOutcome::Nothing, 0});
    else
        QApplication::beep();
}

void CColorPopup::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Closed from outside (another window took the mouse): no choice.
    if (open_) Finish({PaletteOutcome::Nothing, 0});
}

void CColorPopup::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    palette_.MouseMove(-1, -1, false);
    update();
}

void CColorPopup::DrawItem(QPainter& painter, int item) {
    PaletteRect r = ColorPalette::ItemRect(item);
    QRect rect(r.left, r.top, r.Width(), r.Height());
    bool hot = palette_.IsHot(item), pressed = palette_.IsPressed(item), current = palette_.IsCurrent(item);
    bool dark = pressed || (hot && current);
    if (dark || hot || current) {
        painter.fillRect(rect, dark ? QColor(0x99, 0x99, 0xCC) : QColor(0xCC, 0xCC, 0xCC));
        painter.setPen(Qt::black);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    bool textItem = item == ColorPalette::kAutomaticItem || item == ColorPalette::kCustomizeItem;
    QRect swatch(0, 0, 12, 12);
    if (textItem)
        swatch.moveTopLeft(QPoint(rect.left() + 3, rect.top() + (rect.height() - 12) / 2));
    else
        swatch.moveCenter(rect.center());
    painter.fillRect(swatch, ToQColor(palette_.ItemColor(item)));
    painter.setPen(Qt::black);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    if (textItem) {
        QRect textRect(swatch.right() + 1, rect.top(), rect.right() - swatch.right(), rect.height());
        painter.setPen(dark ? Qt::white : Qt::black);
        painter.drawText(textRect, Qt::AlignCenter,
                         item == ColorPalette::kAutomaticItem ? QStringLiteral("Automatic")
                                                              : QStringLiteral("Customize..."));
    }
}

void CColorPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect all = rect();
    painter.fillRect(all, palette().color(QPalette::Window));
    // A raised dialog frame around the client area.
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(all.topLeft(), all.topRight());
    painter.drawLine(all.topLeft(), all.bottomLeft());
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawLine(all.bottomLeft(), all.bottomRight());
    painter.drawLine(all.topRight(), all.bottomRight());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(all.left() + 1, all.bottom() - 1, all.right() - 1, all.bottom() - 1);
    painter.drawLine(all.right() - 1, all.top() + 1, all.right() - 1, all.bottom() - 1);

    painter.translate(kFrame, kFrame);
    // Separators 3 pixels below Automatic and 3 pixels above Customize.
    PaletteRect automatic = ColorPalette::ItemRect(ColorPalette::kAutomaticItem);
    PaletteRect custom = ColorPalette::ItemRect(ColorPalette::kCustomizeItem);
    auto separator = [&](int y) {
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(automatic.left, y, automatic.right - 1, y);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(automatic.left, y + 1, automatic.right - 1, y + 1);
    };
    separator(automatic.bottom + 3 - 1);
    separator(custom.top - 3 - 1);
    for (int i = 0; i < ColorPalette::kItemCount; ++i) DrawItem(painter, i);
}

// ---- button ----

CColorButton::CColorButton(QWidget* parent, int controlId) : QPushButton(parent), controlId_(controlId) {
    setMinimumSize(40, 22);
    connect(this, &QPushButton::clicked, this, &CColorButton::OpenPalette);
}

void CColorButton::SetColor(ColorRef automaticColor, ColorRef color) {
    automaticColor_ = automaticColor;
    color_ = color;
    update();
}

void CColorButton::Exchange(bool save, ColorRef automaticColor, ColorRef& value) {
    if (save)
        value = color_;
    else
        SetColor(automaticColor, value);
}

void CColorButton::OpenPalette() {
    if (!popup_) {
        popup_ = new CColorPopup(this);
        connect(popup_, &CColorPopup::finished, this, &CColorButton::OnPopupFinished);
    }
    popup_->Prepare(automaticColor_, color_);
    QPoint pos = mapToGlobal(rect().bottomLeft() + QPoint(0, 1));
    if (QScreen* s = screen()) {
        QRect area = s->availableGeometry();
        QSize size = popup_->size();
        if (pos.x() + size.width() > area.right()) pos.setX(area.right() - size.width());
        if (pos.y() + size.height() > area.bottom()) pos.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
        pos.setX(std::max(pos.x(), area.left()));
        pos.setY(std::max(pos.y(), area.top()));
    }
    popup_->move(pos);
    popup_->show();
}

bool CColorButton::ChooseCustomColor(ColorRef initial, ColorRef& chosen) {
    QColor c = QColorDialog::getColor(ToQColor(initial), window(), QString());
    if (!c.isValid()) return false;
    chosen = FromQColor(c);
    return true;
}

void CColorButton::OnPopupFinished(int outcome, quint32 color) {
    switch (PaletteOutcome(outcome)) {
    case PaletteOutcome::Chosen:
        SetColor(automaticColor_, color);
        emit colorPicked(controlId_, color_);
        break;
    case PaletteOutcome::Customize: {
        ColorRef chosen = 0;
        if (ChooseCustomColor(color_, chosen)) {
            SetColor(automaticColor_, chosen);
            emit colorPicked(controlId_, color_);
        }
        break;
    }
    case PaletteOutcome::Nothing:
        break;
    }
}

void CColorButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);

    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    const int arrowWidth = 12;
    QRect inner = rect().adjusted(frame + 2, frame + 2, -(frame + 2), -(frame + 2));
    QRect arrowArea(inner.right() - arrowWidth + 1, inner.top(), arrowWidth, inner.height());
    QRect swatch = inner.adjusted(0, 0, -(arrowWidth + 2), 0);
    if (isDown()) {
        swatch.translate(1, 1);
        arrowArea.translate(1, 1);
    }

    // Drop-down arrow: a small downward triangle, embossed when disabled.
    auto drawArrow = [&](QPoint offset, const QColor& color) {
        QPoint c = arrowArea.center() + offset;
        QPolygon tri;
        tri << QPoint(c.x() - 3, c.y() - 1) << QPoint(c.x() + 3, c.y() - 1) << QPoint(c.x(), c.y() + 2);
        painter.setPen(color);
        painter.setBrush(color);
        painter.drawPolygon(tri);
    };
    if (isEnabled()) {
        drawArrow({0, 0}, palette().color(QPalette::ButtonText));
    } else {
        drawArrow({1, 1}, palette().color(QPalette::Light));
        drawArrow({0, 0}, palette().color(QPalette::Dark));
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = arrowArea.adjusted(-1, -1, 1, 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }

    QColor fill = color_ == kButtonFaceColor ? palette().color(QPalette::Button) : ToQColor(color_);
    painter.setBrush(Qt::NoBrush);
    painter.fillRect(swatch, fill);
    painter.setPen(Qt::white);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    if (!text().isEmpty()) {
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        painter.drawText(swatch, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }
}

void BindColorField(QLineEdit* field, CColorButton* button) {
    QObject::connect(field, &QLineEdit::textChanged, button, [button](const QString& text) {
        button->SetColor(button->AutomaticColor(), ParseColorText(text.trimmed().toStdString()));
    });
    QObject::connect(button, &CColorButton::colorPicked, field, [field](int, quint32 color) {
        field->setText(QString::fromStdString(FormatColorText(color)));
    });
}

}  // namespace tarnwell
