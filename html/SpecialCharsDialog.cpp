#include "html/SpecialCharsDialog.h"

#include "html/SpecialChars.h"
#include "text/AskWithCheck.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

namespace tarnwell {

namespace {

constexpr int kCell = kSpecialCharCell;
constexpr int kGridWidth = kCell * kSpecialCharColumns;  // 330
constexpr int kGridHeight = kCell * kSpecialCharRows;    // 270

QRect CellRect(int cell) {
    return {(cell % kSpecialCharColumns) * kCell, (cell / kSpecialCharColumns) * kCell, kCell, kCell};
}

}  // namespace

CSpecialCharGrid::CSpecialCharGrid(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("grid"));
    setFixedSize(334, 274);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize CSpecialCharGrid::sizeHint() const { return {334, 274}; }

void CSpecialCharGrid::Select(int cell) {
    if (cell < 0 || cell >= kSpecialCharCount || cell == selected_) return;
    const int old = selected_;
    selected_ = cell;
    update(CellRect(old).adjusted(0, 0, 1, 1));
    update(CellRect(cell).adjusted(0, 0, 1, 1));
}

void CSpecialCharGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    QFont font = this->font();
    font.setPixelSize(17);
    p.setFont(font);
    const auto& chars = SpecialChars();
    for (int i = 0; i < kSpecialCharCount; ++i) {
        const QRect r = CellRect(i);
        const bool selected = i == selected_;
        if (selected) p.fillRect(r, palette().color(QPalette::Text));
        p.setPen(palette().color(selected ? QPalette::Base : QPalette::Text));
        const char32_t code = chars[size_t(i)].code;
        // The no-break space would show nothing: its cell shows a middle dot in a grey frame.
        if (code == 0xA0) {
            p.drawRect(r.adjusted(8, 8, -9, -9));
            continue;
        }
        p.drawText(r, Qt::AlignCenter, QString::fromUcs4(&code, 1));
    }
    p.setPen(palette().color(QPalette::Button).darker(115));
    for (int y = 0; y <= kGridHeight - kCell; y += kCell) p.drawLine(0, y, kGridWidth, y);
    for (int x = 0; x <= kGridWidth - kCell; x += kCell) p.drawLine(x, 0, x, kGridHeight);
    p.drawLine(0, kGridHeight, kGridWidth, kGridHeight);
    p.drawLine(kGridWidth, 0, kGridWidth, kGridHeight);
}

void CSpecialCharGrid::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint pt = e->position().toPoint();
    Select(SpecialCharAt(pt.x(), pt.y()));
}

void CSpecialCharGrid::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    const QPoint pt = e->position().toPoint();
    Select(SpecialCharAt(pt.x(), pt.y()));
}

void CSpecialCharGrid::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint pt = e->position().toPoint();
    const int cell = SpecialCharAt(pt.x(), pt.y());
    if (cell < 0) return;
    Select(cell);
    emit activated(cell);
}

void CSpecialCharGrid::keyPressEvent(QKeyEvent* e) {
    // Arrow keys walk the grid, so the palette works without a mouse.
    int cell = selected_;
    switch (e->key()) {
    case Qt::Key_Left: cell -= 1; break;
    case Qt::Key_Right: cell += 1; break;
    case Qt::Key_Up: cell -= kSpecialCharColumns; break;
    case Qt::Key_Down: cell += kSpecialCharColumns; break;
    default: QWidget::keyPressEvent(e); return;
    }
    Select(cell);
}

CSpecialCharsDialog::CSpecialCharsDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("SpecialCharacters"));
    setWindowTitle(QStringLiteral("Special Characters"));
    grid_ = new CSpecialCharGrid(this);
    grid_->move(10, 10);
    auto* insert = new QPushButton(QStringLiteral("&Insert"), this);
    insert->setObjectName(QStringLiteral("insert"));
    insert->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("close"));
    const QSize button = insert->sizeHint().expandedTo(close->sizeHint()).expandedTo(QSize(80, 0));
    insert->setGeometry(10 + grid_->width() + 20, 10, button.width(), button.height());
    close->setGeometry(insert->x(), insert->y() + button.height() + 20, button.width(), button.height());
    setFixedSize(grid_->width() + button.width() + 40, grid_->height() + 20);
    connect(insert, &QPushButton::clicked, this, &QDialog::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(grid_, &CSpecialCharGrid::activated, this, &QDialog::accept);
}

CSpecialCharsDialog& CSpecialCharsDialog::Instance() {
    static QPointer<CSpecialCharsDialog> dialog;
    if (!dialog) {
        // Kept for the run (its owner, the main window, takes it along when it closes).
        dialog = new CSpecialCharsDialog(DialogOwner());
    }
    return *dialog;
}

QString CSpecialCharsDialog::Entity() const {
    return QString::fromLatin1(SpecialChars()[size_t(grid_->Selected())].entity);
}

QString CSpecialCharsDialog::Run(QWidget*) {
    CSpecialCharsDialog& dialog = Instance();
    dialog.grid_->setFocus();
    return dialog.exec() == QDialog::Accepted ? dialog.Entity() : QString();
}

}  // namespace tarnwell
