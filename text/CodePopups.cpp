#include "text/CodePopups.h"

#include <QApplication>
#include <QHideEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

#include "lang/MemberQuery.h"

namespace tarnwell {

namespace {

constexpr int kVisibleRows = 10;
constexpr int kIconColumn = 20;
constexpr int kFrame = 2;
constexpr int kTipWrap = 600;

}  // namespace

QIcon CodeItemIcon(int icon) {
    static QIcon icons[4];
    QIcon& cached = icons[std::clamp(icon, 0, 3)];
    if (!cached.isNull()) return cached;
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const bool callable = icon == kIconCallable || icon == kIconDefaultCallable;
    if (callable) {
        QPainterPath path;
        path.moveTo(8, 2);
        path.lineTo(14, 8);
        path.lineTo(8, 14);
        path.lineTo(2, 8);
        path.closeSubpath();
        p.fillPath(path, QColor(128, 0, 160));
    } else {
        p.fillRect(QRect(3, 5, 10, 7), QColor(0, 110, 160));
        p.fillRect(QRect(4, 3, 10, 2), QColor(0, 160, 210));
    }
    if (icon >= kIconDefaultData) {
        p.setPen(QPen(QColor(0, 150, 0), 2));
        p.drawEllipse(QRect(10, 10, 4, 4));
    }
    p.end();
    cached = QIcon(pm);
    return cached;
}

namespace {

// Selected: white on black inset by a pixel with a focus frame; the hint: a focus frame only.
class MemberDelegate : public QStyledItemDelegate {
public:
    MemberDelegate(const int* hint, QObject* parent) : QStyledItemDelegate(parent), hint_(hint) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QRect r = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        p->fillRect(r, option.palette.color(QPalette::Base));
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        icon.paint(p, QRect(r.left() + 2, r.top() + (r.height() - 16) / 2, 16, 16));
        QRect text = r.adjusted(kIconColumn, 0, 0, 0);
        const QRect box = text.adjusted(0, 1, -1, -1);
        if (selected) p->fillRect(box, Qt::black);
        p->setPen(selected ? Qt::white : option.palette.color(QPalette::Text));
        p->setFont(option.font);
        p->drawText(text.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                    index.data(Qt::DisplayRole).toString());
        if (selected || index.row() == *hint_) {
            QPen pen(selected ? Qt::white : option.palette.color(QPalette::Text));
            pen.setStyle(Qt::DotLine);
            p->setPen(pen);
            p->drawRect(box.adjusted(0, 0, -1, -1));
        }
    }

private:
    const int* hint_;
};

}  // namespace

CMemberListPopup::CMemberListPopup(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), list_(new QListWidget(this)), owner_(owner) {
    setObjectName(QStringLiteral("MemberList"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list_->setUniformItemSizes(true);
    list_->setFrameShape(QFrame::Box);
    list_->setFrameShadow(QFrame::Plain);  // a plain box is kFrame wide; a sunken one twice that
    list_->setLineWidth(kFrame);
    list_->setItemDelegate(new MemberDelegate(&hint_, list_));
    list_->viewport()->installEventFilter(this);
    stepTimer_.setInterval(40);
    connect(&stepTimer_, &QTimer::timeout, this, &CMemberListPopup::StepTowardsPointer);
}

CMemberListPopup::~CMemberListPopup() { qApp->removeEventFilter(this); }

void CMemberListPopup::SetItems(const std::vector<MemberListItem>& items, const QFont& font, int rowHeight) {
    list_->clear();
    hint_ = -1;
    list_->setFont(font);
    const int height = std::max(rowHeight, 16);
    QFontMetrics fm(font);
    int widest = 0;
    for (const MemberListItem& item : items) {
        auto* row = new QListWidgetItem(CodeItemIcon(item.icon), QString::fromStdString(item.name), list_);
        row->setSizeHint(QSize(0, height));
        widest = std::max(widest, fm.horizontalAdvance(row->text()));
    }
    const int rows = std::min(static_cast<int>(items.size()), kVisibleRows);
    int width = widest + kIconColumn + 2 * kFrame + 10;
    if (static_cast<int>(items.size()) > kVisibleRows) width += list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    resize(std::max(width, 72), rows * height + 2 * kFrame);
    list_->setGeometry(rect());
}

QString CMemberListPopup::ItemText(int row) const {
    const QListWidgetItem* item = list_->item(row);
    return item ? item->text() : QString();
}

int CMemberListPopup::Selection() const {
    const auto selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.front());
}

void CMemberListPopup::SetSelection(int row) {
    hint_ = -1;
    list_->clearSelection();
    if (row >= 0 && row < list_->count()) {
        list_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        list_->scrollToItem(list_->item(row), QAbstractItemView::PositionAtTop);
    }
    list_->viewport()->update();
}

void CMemberListPopup::SetHint(int row) {
    list_->clearSelection();
    hint_ = row;
    if (row >= 0 && row < list_->count()) list_->scrollToItem(list_->item(row), QAbstractItemView::PositionAtTop);
    list_->viewport()->update();
}

void CMemberListPopup::NavigateKey(int key) {
    const int count = list_->count();
    if (count == 0) return;
    if (hint_ >= 0) {
        SetSelection(hint_);
        return;
    }
    int row = Selection();
    const int page = std::max(1, list_->viewport()->height() / std::max(1, list_->sizeHintForRow(0)) - 1);
    switch (key) {
    case Qt::Key_Up: row = row < 0 ? 0 : row - 1; break;
    case Qt::Key_Down: row = row < 0 ? 0 : row + 1; break;
    case Qt::Key_PageUp: row = row < 0 ? 0 : row - page; break;
    case Qt::Key_PageDown: row = row < 0 ? 0 : row + page; break;
    case Qt::Key_Home: row = 0; break;
    case Qt::Key_End: row = count - 1; break;
    default: return;
    }
    row = std::clamp(row, 0, count - 1);
    hint_ = -1;
    list_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    list_->scrollToItem(list_->item(row));
}

void CMemberListPopup::ShowAt(QPoint wordLeft, int lineTop, int lineHeight, bool above) {
    QPoint at(wordLeft.x() - 22, lineTop + lineHeight + 1);
    const QScreen* screen = QGuiApplication::screenAt(wordLeft);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1 << 16, 1 << 16);
    if (above || at.y() + height() > area.bottom()) at.ry() -= height() + lineHeight + 1;
    if (at.x() < area.left()) at.setX(area.left());
    if (at.x() + width() > area.right() + 1) at.setX(area.right() + 1 - width());
    move(at);
    show();
}

void CMemberListPopup::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    qApp->installEventFilter(this);
}

void CMemberListPopup::hideEvent(QHideEvent* e) {
    qApp->removeEventFilter(this);
    stepTimer_.stop();
    tracking_ = false;
    QWidget::hideEvent(e);
}

void CMemberListPopup::StepTowardsPointer() {
    const int row = Selection();
    const int count = list_->count();
    if (count == 0) return;
    int next = row;
    if (pointerY_ < 0) next = std::max(0, row - 1);
    else if (pointerY_ >= list_->viewport()->height()) next = std::min(count - 1, row + 1);
    if (next == row || next < 0) return;
    hint_ = -1;
    list_->setCurrentRow(next, QItemSelectionModel::ClearAndSelect);
    list_->scrollToItem(list_->item(next));
}

bool CMemberListPopup::eventFilter(QObject* watched, QEvent* e) {
    if (watched == list_->viewport()) {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(e);
            if (e->type() == QEvent::MouseButtonPress) {
                if (me->button() != Qt::LeftButton) return true;
                tracking_ = true;
            }
            if (!tracking_) return true;
            pointerY_ = me->position().toPoint().y();
            if (pointerY_ < 0 || pointerY_ >= list_->viewport()->height()) {
                if (!stepTimer_.isActive()) stepTimer_.start();
            } else {
                stepTimer_.stop();
                if (QListWidgetItem* item = list_->itemAt(me->position().toPoint())) {
                    hint_ = -1;
                    list_->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
                }
            }
            return true;
        }
        case QEvent::MouseButtonRelease:
            tracking_ = false;
            stepTimer_.stop();
            return true;
        case QEvent::MouseButtonDblClick:
            if (list_->itemAt(static_cast<QMouseEvent*>(e)->position().toPoint())) emit Accepted();
            return true;
        default: return false;
        }
    }
    // Any press outside the list closes it.
    if (isVisible() && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w != this && !isAncestorOf(w)) emit Dismissed();
    }
    return false;
}

// --- Parameter tip ---------------------------------------------------------------------------------

CParameterTip::CParameterTip(QWidget* owner) : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("ParameterTip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
}

void CParameterTip::SetContent(std::vector<std::string> pieces, int current, const QFont& font) {
    if (pieces == pieces_ && current == current_ && font == font_) return;
    pieces_ = std::move(pieces);
    current_ = current;
    font_ = font;
    resize(Layout(nullptr));
    update();
}

QSize CParameterTip::Layout(std::vector<QRect>* boxes) const {
    QFont bold = font_;
    bold.setBold(true);
    const QFontMetrics plain(font_), strong(bold);
    const int rowHeight = std::max(plain.height(), strong.height());
    int x = 0, y = 0, right = 0, areaLeft = 0;
    for (size_t i = 0; i < pieces_.size(); ++i) {
        const bool isBold = i > 0 && static_cast<int>(i) - 1 == current_;
        const int w = (isBold ? strong : plain).horizontalAdvance(QString::fromStdString(pieces_[i]));
        if (i > 0 && x > areaLeft && x + w > kTipWrap) {
            x = areaLeft;
            y += rowHeight;
        }
        if (boxes) boxes->emplace_back(x, y, w, rowHeight);
        x += w;
        right = std::max(right, x);
        if (i == 0) areaLeft = x;
    }
    return QSize(right + 10 + 5, y + rowHeight + 6 + 3);
}

void CParameterTip::ShowAt(QPoint at) {
    const QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - height())));
    }
    move(at);
    if (!isVisible()) show();
}

void CParameterTip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::ToolTipText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    std::vector<QRect> boxes;
    Layout(&boxes);
    QFont bold = font_;
    bold.setBold(true);
    for (size_t i = 0; i < pieces_.size() && i < boxes.size(); ++i) {
        const bool isBold = i > 0 && static_cast<int>(i) - 1 == current_;
        p.setFont(isBold ? bold : font_);
        p.drawText(boxes[i].translated(5, 3), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   QString::fromStdString(pieces_[i]));
    }
}

}  // namespace tarnwell
