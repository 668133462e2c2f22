#include "ui/CButtonStrip.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <qdrawutil.h>

namespace tarnwell {

namespace {

QRect ToQRect(const StripRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

QColor LightFaceOf(const QColor& face) {
    const StripRgb c = LightFace({face.red(), face.green(), face.blue()});
    return QColor(c.r, c.g, c.b);
}

}  // namespace

// --- up-down -------------------------------------------------------------------------------------

CUpDown::CUpDown(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("RowScroller"));
    auto make = [this](Qt::ArrowType arrow, int delta) {
        auto* b = new QToolButton(this);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, delta] { Step(delta); });
        return b;
    };
    up_ = make(Qt::UpArrow, +1);
    down_ = make(Qt::DownArrow, -1);
}

void CUpDown::SetRange(int max) {
    max_ = std::max(0, max);
    value_ = std::clamp(value_, 0, max_);
}

void CUpDown::SetValue(int value) { value_ = std::clamp(value, 0, max_); }

void CUpDown::Step(int delta) {
    const int v = std::clamp(value_ + delta, 0, max_);
    if (v == value_) return;
    value_ = v;
    emit valueChanged(value_);
}

void CUpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

// --- strip ---------------------------------------------------------------------------------------

CButtonStrip::CButtonStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ButtonStrip"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    scroller_ = new CUpDown(this);
    scroller_->hide();
    connect(scroller_, &CUpDown::valueChanged, this, [this](int value) {
        firstRow_ = FirstRowForScroller(layout_.rows, value);
        Layout();
    });
}

int CButtonStrip::Insert(int position, const QString& text, QWidget* window) {
    const int index = position < 0 || position > Count() ? Count() : position;
    Button b;
    b.text = text;
    b.window = window;
    buttons_.insert(buttons_.begin() + index, b);
    // The marks name buttons by index: after an insertion they would point at the wrong one.
    pressed_ = hover_ = -1;
    AfterInsert(index);
    Layout();
    return index;
}

void CButtonStrip::Remove(int index) {
    if (index < 0 || index >= Count()) return;
    buttons_.erase(buttons_.begin() + index);
    pressed_ = hover_ = -1;
    Layout();
}

QWidget* CButtonStrip::WindowOf(int index) const {
    return index >= 0 && index < Count() ? buttons_[size_t(index)].window.data() : nullptr;
}

int CButtonStrip::IndexOf(const QWidget* window) const {
    for (int i = 0; i < Count(); ++i) {
        if (window && buttons_[size_t(i)].window == window) return i;
    }
    return -1;
}

QString CButtonStrip::Text(int index) const { return index >= 0 && index < Count() ? buttons_[size_t(index)].text : QString(); }

void CButtonStrip::SetText(int index, const QString& text, bool repaint) {
    if (index < 0 || index >= Count()) return;
    buttons_[size_t(index)].text = text;
    if (repaint) RepaintButton(index);
}

int CButtonStrip::Image(int index) const { return index >= 0 && index < Count() ? buttons_[size_t(index)].image : -1; }

void CButtonStrip::SetImage(int index, int image, bool repaint) {
    if (index < 0 || index >= Count()) return;
    buttons_[size_t(index)].image = image;
    if (repaint) RepaintButton(index);
}

void CButtonStrip::SetImageList(const QList<QIcon>& images) {
    images_ = images;
    hasImages_ = true;
    update();
}

int CButtonStrip::AddImage(const QIcon& icon) {
    images_.append(icon);
    hasImages_ = true;
    return int(images_.size()) - 1;
}

int CButtonStrip::State(int index) const { return index >= 0 && index < Count() ? buttons_[size_t(index)].state : 0; }

void CButtonStrip::SetState(int index, int state) {
    if (index < 0 || index >= Count() || buttons_[size_t(index)].state == state) return;
    buttons_[size_t(index)].state = state;
    RepaintButton(index);
}

void CButtonStrip::Select(int index) {
    for (int i = 0; i < Count(); ++i) {
        if (i != index) SetState(i, StateUp);
    }
    SetState(index, StateDown);
}

int CButtonStrip::Selected() const {
    for (int i = 0; i < Count(); ++i) {
        if (buttons_[size_t(i)].state == StateDown) return i;
    }
    return -1;
}

QRect CButtonStrip::ButtonRect(int index) const {
    return index >= 0 && index < int(layout_.buttons.size()) ? ToQRect(layout_.buttons[size_t(index)]) : QRect();
}

int CButtonStrip::ButtonAt(const QPoint& pos) const { return tarnwell::ButtonAt(layout_.buttons, pos.x(), pos.y()); }

QSize CButtonStrip::sizeHint() const {
    return {metrics_.maxWidth, std::max(22, fontMetrics().height() + 8)};
}

QSize CButtonStrip::minimumSizeHint() const { return {metrics_.minWidth, sizeHint().height()}; }

void CButtonStrip::Layout() {
    const int scrollWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    layout_ = LayoutStrip(width(), height(), Count(), firstRow_, scrollWidth, metrics_);
    firstRow_ = layout_.firstRow;
    if (layout_.scrollerShown) {
        scroller_->setGeometry(ToQRect(layout_.scroller));
        scroller_->SetRange(layout_.scrollerMax);
        scroller_->SetValue(layout_.scrollerValue);
        scroller_->show();
    } else {
        scroller_->hide();
    }
    update();
}

void CButtonStrip::RepaintButton(int index) {
    const QRect r = ButtonRect(index);
    if (r.isValid()) update(r);
}

void CButtonStrip::SetHover(int index) {
    if (index == hover_) return;
    const int old = hover_;
    hover_ = index;
    RepaintButton(old);
    RepaintButton(hover_);
}

void CButtonStrip::OnClick(int index) { SetState(index, State(index) == StateDown ? StateUp : StateDown); }

void CButtonStrip::AfterInsert(int) {}

void CButtonStrip::OnContextMenu(int, const QPoint&) {}

void CButtonStrip::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Layout();
}

void CButtonStrip::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
    pressed_ = ButtonAt(e->position().toPoint());
    hover_ = pressed_;
    RepaintButton(pressed_);
}

void CButtonStrip::mouseMoveEvent(QMouseEvent* e) { SetHover(ButtonAt(e->position().toPoint())); }

void CButtonStrip::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || pressed_ < 0) return QWidget::mouseReleaseEvent(e);
    const int pressed = pressed_;
    pressed_ = -1;
    SetHover(ButtonAt(e->position().toPoint()));
    RepaintButton(pressed);
    if (hover_ == pressed) OnClick(pressed);
}

void CButtonStrip::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    if (pressed_ < 0) SetHover(-1);
}

void CButtonStrip::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    const int pressed = pressed_;
    pressed_ = -1;
    RepaintButton(pressed);
    SetHover(-1);
}

void CButtonStrip::contextMenuEvent(QContextMenuEvent* e) {
    const int index = ButtonAt(e->pos());
    if (index >= 0) OnContextMenu(index, e->globalPos());
    e->accept();
}

void CButtonStrip::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.fillRect(e->rect(), palette().color(QPalette::Button));
    for (int i = 0; i < Count(); ++i) {
        if (ButtonRect(i).intersects(e->rect())) DrawButton(p, i);
    }
}

void CButtonStrip::DrawButton(QPainter& p, int index) const {
    const Button& b = buttons_[size_t(index)];
    const QRect r = ButtonRect(index);
    const QColor face = palette().color(QPalette::Button);
    const QColor light = LightFaceOf(face);
    const bool over = hover_ == index;
    const bool down = b.state == StateDown;
    bool sunken = false;
    QColor fill = face;
    if (pressed_ == index) {
        sunken = over || down;
    } else if (!down) {
        fill = over ? light : face;
    } else {
        sunken = true;
        fill = over ? face : light;
    }
    qDrawShadePanel(&p, r, palette(), sunken, 1);
    p.fillRect(r.adjusted(1, 1, -1, -1), fill);

    QRect content = r.adjusted(1, 1, -1, -1);
    if ((pressed_ == index && over) || down) content.translate(1, 1);
    int textLeft = content.left() + 2;
    if (hasImages_ && b.image >= 0 && b.image < images_.size()) {
        const QPixmap pm = images_[b.image].pixmap(16, 16);
        p.drawPixmap(content.left() + 2, content.top() + (content.height() - 16) / 2, pm);
        textLeft += 17;
    }
    QFont f = QApplication::font();
    if (down) f.setWeight(QFont::Bold);
    p.setFont(f);
    p.setPen(palette().color(QPalette::ButtonText));
    const QRect text(textLeft, content.top(), std::max(0, content.right() - textLeft - 1), content.height());
    p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
               QFontMetrics(f).elidedText(b.text, Qt::ElideRight, text.width()));
}

// --- selection strip -----------------------------------------------------------------------------

void CSelectionStrip::AfterInsert(int index) {
    if (Count() == 1) SetState(index, StateDown);
}

void CSelectionStrip::OnClick(int index) {
    if (State(index) == StateDown) return;
    const int old = Selected();
    SetState(old, StateUp);
    SetState(index, StateDown);
    emit selectionChanged(old, index);
}

}  // namespace tarnwell
