#include "ui/CSizingControlBar.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTimer>
#include <qdrawutil.h>

namespace tarnwell {

namespace {

constexpr int kCloseSize = 12;
// How long sizes seen after a change of side are taken as the layout's, not the user's.
constexpr int kSettleMs = 100;

std::vector<CSizingControlBar*>& Registry() {
    static std::vector<CSizingControlBar*> bars;
    return bars;
}

// The main window's dock separators, 5 pixels wide.
class BarSeparatorStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_DockWidgetSeparatorExtent) return CSizingControlBar::kEdgeWidth;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

// --- close button --------------------------------------------------------------------------------

CBarCloseButton::CBarCloseButton(QWidget* parent) : QAbstractButton(parent) {
    setObjectName(QStringLiteral("CloseButton"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    setToolTip(QStringLiteral("Hide"));
}

QSize CBarCloseButton::sizeHint() const { return {kCloseSize, kCloseSize}; }

void CBarCloseButton::paintEvent(QPaintEvent*) {
    // Flat; sunken while pressed with the mouse on it, raised while the mouse is over it.
    QPainter p(this);
    const QRect r = rect();
    if (isDown()) {
        qDrawShadePanel(&p, r, palette(), true, 1);
    } else if (underMouse()) {
        qDrawShadePanel(&p, r, palette(), false, 1);
    }
    const int d = isDown() ? 1 : 0;
    QPen pen(palette().color(isEnabled() ? QPalette::WindowText : QPalette::Mid));
    pen.setWidthF(1.5);
    p.setPen(pen);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF x = QRectF(r).adjusted(3.5 + d, 3.5 + d, -3.5 + d, -3.5 + d);
    p.drawLine(x.topLeft(), x.bottomRight());
    p.drawLine(x.topRight(), x.bottomLeft());
}

// --- gripper -------------------------------------------------------------------------------------

CBarGripper::CBarGripper(CSizingControlBar* bar) : QWidget(bar), bar_(bar) {
    setObjectName(QStringLiteral("Gripper"));
    close_ = new CBarCloseButton(this);
    connect(close_, &QAbstractButton::clicked, bar, &QWidget::hide);
}

bool CBarGripper::Vertical() const { return !bar_->isFloating() && bar_->IsHorz(); }

QSize CBarGripper::sizeHint() const {
    if (bar_->isFloating()) {
        const int h = std::max(CSizingControlBar::kGripperWidth, fontMetrics().height() + 4);
        return {h, h};
    }
    const int band = bar_->HasGripper() ? CSizingControlBar::kGripperWidth : 0;
    return {band, band};
}

QRect CBarGripper::CloseRect() const {
    if (bar_->isFloating()) return {width() - kCloseSize - 3, (height() - kCloseSize) / 2, kCloseSize, kCloseSize};
    // Docked on the top or bottom side: at the top of the band; otherwise at the band's right end.
    if (Vertical()) return {(width() - kCloseSize) / 2, 2, kCloseSize, kCloseSize};
    return {width() - kCloseSize - 2, (height() - kCloseSize) / 2, kCloseSize, kCloseSize};
}

void CBarGripper::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    close_->setGeometry(CloseRect());
    close_->setVisible(bar_->HasGripper() || bar_->isFloating());
}

void CBarGripper::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const QRect close = CloseRect();
    if (bar_->isFloating()) {
        // The floating window's small caption.
        QFont f = font();
        f.setBold(true);
        p.setFont(f);
        p.setPen(palette().color(QPalette::WindowText));
        const QRect text(4, 0, close.left() - 8, height());
        p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                   QFontMetrics(f).elidedText(bar_->windowTitle(), Qt::ElideRight, text.width()));
        return;
    }
    if (!bar_->HasGripper()) return;
    // Two raised 3-pixel lines, 4 pixels apart, running from 3 pixels beyond the close button.
    for (int offset : {4, 8}) {
        if (Vertical()) {
            const int top = close.bottom() + 1 + 3;
            if (height() - 2 > top) qDrawShadePanel(&p, offset, top, 3, height() - 2 - top, palette(), false, 1);
        } else {
            const int right = close.left() - 3;
            if (right > 2) qDrawShadePanel(&p, 2, offset, right - 2, 3, palette(), false, 1);
        }
    }
}

void CBarGripper::mouseDoubleClickEvent(QMouseEvent* e) {
    // A floating bar that may not dock stays floating; otherwise the bar floats or docks.
    if (bar_->isFloating() && !bar_->IsDockable()) {
        e->accept();
        return;
    }
    e->ignore();
}

void CBarGripper::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu(this);
    bar_->AddBarCommands(&menu);
    menu.exec(e->globalPos());
    e->accept();
}

// --- bar -----------------------------------------------------------------------------------------

CSizingControlBar::CSizingControlBar(const QString& caption, QMainWindow* frame, BarSize defaultSize, bool hasGripper,
                                     int barId)
    : QDockWidget(caption, frame), frame_(frame), barId_(barId), hasGripper_(hasGripper), sizes_(defaultSize) {
    setFeatures(DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable);
    Registry().push_back(this);
    gripper_ = new CBarGripper(this);
    setTitleBarWidget(gripper_);

    allowDocking_ = new QAction(QStringLiteral("Allow Doc&king"), this);
    allowDocking_->setData(kAllowDockingId);
    allowDocking_->setCheckable(true);
    allowDocking_->setChecked(true);
    connect(allowDocking_, &QAction::triggered, this, [this](bool on) { SetDockable(on); });
    hide_ = new QAction(QStringLiteral("&Hide"), this);
    hide_->setData(kHideId);
    connect(hide_, &QAction::triggered, this, &QWidget::hide);

    connect(this, &QDockWidget::topLevelChanged, this, &CSizingControlBar::OnPlaced);
    connect(this, &QDockWidget::dockLocationChanged, this, &CSizingControlBar::OnPlaced);
}

CSizingControlBar::~CSizingControlBar() { std::erase(Registry(), this); }

void CSizingControlBar::SetContent(QWidget* content) {
    QWidget* old = widget();
    if (old == content) return;
    setWidget(content);
    if (old) {
        old->hide();
        old->deleteLater();
    }
}

BarSide CSizingControlBar::Side() const {
    if (isFloating() || !frame_) return BarSide::Floating;
    switch (frame_->dockWidgetArea(const_cast<CSizingControlBar*>(this))) {
    case Qt::TopDockWidgetArea: return BarSide::Top;
    case Qt::BottomDockWidgetArea: return BarSide::Bottom;
    case Qt::LeftDockWidgetArea: return BarSide::Left;
    case Qt::RightDockWidgetArea: return BarSide::Right;
    default: return BarSide::Floating;
    }
}

bool CSizingControlBar::IsDockable() const { return allowedAreas() != Qt::NoDockWidgetArea; }

void CSizingControlBar::SetDockable(bool dockable) {
    setAllowedAreas(dockable ? Qt::AllDockWidgetAreas : Qt::NoDockWidgetArea);
    allowDocking_->setChecked(dockable);
    if (!dockable && !isFloating()) setFloating(true);
}

void CSizingControlBar::AddBarCommands(QMenu* menu) const {
    allowDocking_->setChecked(IsDockable());
    menu->addAction(allowDocking_);
    menu->addAction(hide_);
}

CSizingControlBar* CSizingControlBar::Of(const QWidget* w) {
    for (QObject* o = const_cast<QWidget*>(w); o; o = o->parent()) {
        if (auto* bar = qobject_cast<CSizingControlBar*>(o)) return bar;
    }
    return nullptr;
}

BarSize CSizingControlBar::Limit(bool floating) const {
    // Docked in a shown frame: the frame's client area; otherwise the screen's work area.
    if (!floating && frame_ && frame_->isVisible()) {
        int h = frame_->height();
        if (QWidget* menu = frame_->menuWidget(); menu && menu->isVisible()) h -= menu->height();
        if (auto* status = frame_->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
            status && status->isVisible())
            h -= status->height();
        return {frame_->width(), h};
    }
    QScreen* s = frame_ ? frame_->screen() : QGuiApplication::primaryScreen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    return {area.width(), area.height()};
}

void CSizingControlBar::SetSize(BarSide side, BarSize size) {
    sizes_.For(side) = size;
    if (placed_ && side_ == side) ApplySize();
}

void CSizingControlBar::ApplySize() {
    const BarSide side = Side();
    const BarSize s = ClampBarSize(sizes_.For(side), sizes_.minimum, Limit(side == BarSide::Floating));
    switch (side) {
    case BarSide::Floating: resize(s.cx, s.cy); break;
    case BarSide::Top:
    case BarSide::Bottom: frame_->resizeDocks({this}, {s.cy}, Qt::Vertical); break;
    case BarSide::Left:
    case BarSide::Right: frame_->resizeDocks({this}, {s.cx}, Qt::Horizontal); break;
    }
}

void CSizingControlBar::OnPlaced() {
    const BarSide side = Side();
    // Docked on the top or bottom side the gripper runs down the left edge.
    const bool verticalTitle = side == BarSide::Top || side == BarSide::Bottom;
    if (bool(features() & DockWidgetVerticalTitleBar) != verticalTitle) {
        setFeatures(verticalTitle ? features() | DockWidgetVerticalTitleBar : features() & ~DockWidgetVerticalTitleBar);
    }
    gripper_->updateGeometry();
    gripper_->update();
    if (placed_ && side == side_) return;
    side_ = side;
    placed_ = true;
    Settle();
}

void CSizingControlBar::Settle() {
    // The layout first gives the bar a size of its own choosing; the remembered one is applied once
    // it has, and sizes seen until then are not remembered.
    ++settling_;
    QTimer::singleShot(0, this, [this] {
        ApplySize();
        QTimer::singleShot(kSettleMs, this, [this] { --settling_; });
    });
}

void CSizingControlBar::Capture() {
    if (settling_ > 0 || !placed_ || !isVisible() || Side() != side_) return;
    sizes_.For(side_) = {width(), height()};
}

void CSizingControlBar::resizeEvent(QResizeEvent* e) {
    QDockWidget::resizeEvent(e);
    Capture();
}

void CSizingControlBar::showEvent(QShowEvent* e) {
    QDockWidget::showEvent(e);
    if (!placed_) {
        side_ = Side();
        placed_ = true;
    }
    // Shown again (View menu, start-up): back at the remembered size.
    Settle();
}

void CSizingControlBar::LoadState(const Profile& profile, const std::string& base) {
    if (!placed_) {
        side_ = Side();
        placed_ = true;
    }
    sizes_.Load(profile, SizingBarSizes::Section(base, barId_), Limit(false));
    ApplySize();
}

void CSizingControlBar::SaveState(Profile& profile, const std::string& base) {
    Capture();
    sizes_.Save(profile, SizingBarSizes::Section(base, barId_));
}

std::vector<CSizingControlBar*> CSizingControlBar::Bars(const QMainWindow* frame) {
    std::vector<CSizingControlBar*> out;
    for (CSizingControlBar* bar : Registry()) {
        if (bar->frame_ == frame) out.push_back(bar);
    }
    return out;
}

void CSizingControlBar::LoadAllStates(const QMainWindow* frame, const Profile& profile, const std::string& base) {
    for (CSizingControlBar* bar : Bars(frame)) bar->LoadState(profile, base);
}

void CSizingControlBar::SaveAllStates(const QMainWindow* frame, Profile& profile, const std::string& base) {
    for (CSizingControlBar* bar : Bars(frame)) bar->SaveState(profile, base);
}

void CSizingControlBar::UseBarSeparators(QMainWindow* frame) {
    QStyle* base = QStyleFactory::create(QApplication::style()->name());
    auto* style = new BarSeparatorStyle(base);
    style->setParent(frame);
    frame->setStyle(style);
}

}  // namespace tarnwell
