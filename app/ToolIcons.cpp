#include "app/ToolIcons.h"

#include "app/CommandIds.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace tarnwell {

namespace {

// Every icon is drawn on a 16 x 16 grid; the painter is scaled for larger sizes.
using Draw = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 48);
const QColor kPaper(255, 255, 255);
const QColor kBlue(38, 98, 190);
const QColor kGreen(40, 140, 70);
const QColor kRed(190, 50, 40);
const QColor kYellow(236, 190, 60);

QIcon Make(const Draw& draw) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

void Page(QPainter& p, qreal x = 3, qreal y = 1, qreal w = 10, qreal h = 14) {
    QPainterPath path;
    path.moveTo(x + 0.5, y + 0.5);
    path.lineTo(x + w - 3.5, y + 0.5);
    path.lineTo(x + w - 0.5, y + 3.5);
    path.lineTo(x + w - 0.5, y + h - 0.5);
    path.lineTo(x + 0.5, y + h - 0.5);
    path.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(x + w - 3.5, y + 0.5), QPointF(x + w - 3.5, y + 3.5));
    p.drawLine(QPointF(x + w - 3.5, y + 3.5), QPointF(x + w - 0.5, y + 3.5));
}

void Lines(QPainter& p, qreal x, qreal y, qreal w, int n, qreal step = 2.5) {
    p.setPen(QPen(kBlue, 1));
    for (int i = 0; i < n; ++i) p.drawLine(QPointF(x, y + i * step), QPointF(x + w, y + i * step));
}

void Glyph(QPainter& p, const QString& text, const QColor& color, int pixel = 11, bool bold = true,
           bool italic = false, bool underline = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixel);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    p.setFont(f);
    p.setPen(color);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, text);
}

void Floppy(QPainter& p, qreal x, qreal y, qreal s) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kBlue);
    p.drawRect(QRectF(x + 0.5, y + 0.5, s - 1, s - 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(x + s * 0.22, y + 0.5, s * 0.56, s * 0.4));
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(x + s * 0.25, y + s * 0.62, s * 0.5, s * 0.38 - 0.5));
}

void Folder(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kYellow.darker(110));
    p.drawRect(QRectF(1.5, 3.5, 6, 2));
    p.setBrush(kYellow);
    p.drawRect(QRectF(1.5, 5.5, 13, 8));
}

void Align(QPainter& p, int mode) {
    p.setPen(QPen(kInk, 1.2));
    const qreal widths[] = {12, 8, 12, 6, 10};
    for (int i = 0; i < 5; ++i) {
        const qreal w = widths[i];
        const qreal x = mode == 0 ? 2 : mode == 1 ? 8 - w / 2 : 14 - w;
        p.drawLine(QPointF(x, 3 + i * 2.5), QPointF(x + w, 3 + i * 2.5));
    }
}

void Arrow(QPainter& p, bool redo) {
    p.save();
    if (redo) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    QPainterPath path;
    path.moveTo(4, 6);
    path.cubicTo(8, 2, 14, 4, 13, 10);
    p.setPen(QPen(kBlue, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    QPolygonF head;
    head << QPointF(2, 3) << QPointF(7, 8) << QPointF(2, 9);
    p.setBrush(kBlue);
    p.setPen(Qt::NoPen);
    p.drawPolygon(head);
    p.restore();
}

void Magnifier(QPainter& p, qreal x, qreal y, qreal r) {
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(QColor(200, 225, 255));
    p.drawEllipse(QPointF(x, y), r, r);
    p.setPen(QPen(kInk, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x + r * 0.75, y + r * 0.75), QPointF(x + r * 1.9, y + r * 1.9));
}

void Pane(QPainter& p, bool left) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setBrush(kBlue);
    if (left) {
        p.drawRect(QRectF(1.5, 2.5, 5, 11));
    } else {
        p.drawRect(QRectF(1.5, 9.5, 13, 4));
    }
}

Draw DrawFor(int id) {
    using namespace cmd;
    switch (id) {
    case FileNew:
        return [](QPainter& p) {
            Page(p);
            p.setPen(QPen(kYellow.darker(120), 1.2));
            p.drawLine(QPointF(11, 10), QPointF(15, 14));
            p.drawLine(QPointF(15, 10), QPointF(11, 14));
            p.drawLine(QPointF(13, 9.5), QPointF(13, 14.5));
        };
    case FileOpen: return [](QPainter& p) { Folder(p); };
    case FileSave: return [](QPainter& p) { Floppy(p, 1, 1, 14); };
    case SaveAll:
        return [](QPainter& p) {
            Floppy(p, 0, 0, 11);
            Floppy(p, 5, 5, 11);
        };
    case 57635:  // cut
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1.4));
            p.drawLine(QPointF(5, 1), QPointF(10, 10));
            p.drawLine(QPointF(11, 1), QPointF(6, 10));
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(kRed, 1.6));
            p.drawEllipse(QPointF(5, 12), 2.3, 2.3);
            p.drawEllipse(QPointF(11, 12), 2.3, 2.3);
        };
    case 57634:  // copy
        return [](QPainter& p) {
            Page(p, 1, 1, 9, 11);
            Page(p, 6, 4, 9, 11);
            Lines(p, 8, 9, 5, 3);
        };
    case 57637:  // paste
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(170, 120, 70));
            p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12.5), 1, 1);
            p.setBrush(QColor(200, 200, 210));
            p.drawRect(QRectF(4.5, 1.5, 4, 2.5));
            Page(p, 7, 6, 8, 9);
        };
    case 57643: return [](QPainter& p) { Arrow(p, false); };
    case 57644: return [](QPainter& p) { Arrow(p, true); };
    case EditFind: return [](QPainter& p) { Magnifier(p, 6.5, 6.5, 4.2); };
    case EditReplace:
        return [](QPainter& p) {
            Magnifier(p, 5.5, 5.5, 3.5);
            p.setPen(QPen(kGreen, 1.6));
            p.drawLine(QPointF(9, 14), QPointF(15, 14));
            p.drawLine(QPointF(12.5, 11.5), QPointF(15, 14));
        };
    case FilePrint:
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(180, 180, 190));
            p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 10.5, 7, 4));
            p.setBrush(kGreen);
            p.drawEllipse(QPointF(12, 8.5), 0.8, 0.8);
        };
    case ViewProjectBar: return [](QPainter& p) { Pane(p, true); };
    case ViewOutputBar: return [](QPainter& p) { Pane(p, false); };
    case PreviewInBrowser:
        return [](QPainter& p) {
            p.setPen(QPen(kBlue, 1.2));
            p.setBrush(QColor(210, 230, 255));
            p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(8, 8), 3, 6.5);
            p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
            p.drawLine(QPointF(3, 4.5), QPointF(13, 4.5));
            p.drawLine(QPointF(3, 11.5), QPointF(13, 11.5));
        };
    case InsertImage:
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(200, 230, 255));
            p.drawRect(QRectF(1.5, 2.5, 13, 11));
            QPolygonF hill;
            hill << QPointF(2, 13) << QPointF(6, 7) << QPointF(9, 11) << QPointF(11, 9) << QPointF(14, 13);
            p.setBrush(kGreen);
            p.drawPolygon(hill);
            p.setBrush(kYellow);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(11, 5.5), 1.6, 1.6);
        };
    case InsertLink:
        return [](QPainter& p) {
            p.setPen(QPen(kBlue, 1.8));
            p.setBrush(Qt::NoBrush);
            p.save();
            p.translate(8, 8);
            p.rotate(-45);
            p.drawRoundedRect(QRectF(-7, -2.5, 8, 5), 2.5, 2.5);
            p.drawRoundedRect(QRectF(-1, -2.5, 8, 5), 2.5, 2.5);
            p.restore();
        };
    case InsertEmailLink:
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(1.5, 3.5, 13, 9));
            p.drawLine(QPointF(1.5, 3.5), QPointF(8, 9));
            p.drawLine(QPointF(14.5, 3.5), QPointF(8, 9));
        };
    case InsertForm:
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(235, 235, 240));
            p.drawRect(QRectF(0.5, 1.5, 15, 13));
            p.setBrush(kPaper);
            p.drawRect(QRectF(2.5, 3.5, 11, 3));
            p.setBrush(QColor(200, 200, 210));
            p.drawRect(QRectF(8.5, 9.5, 5, 3));
        };
    case InsertTable:
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(1.5, 2.5, 13, 11));
            p.fillRect(QRectF(2, 3, 12, 3), QColor(190, 210, 240));
            for (qreal y : {6.5, 10.0}) p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
            for (qreal x : {5.8, 10.2}) p.drawLine(QPointF(x, 2.5), QPointF(x, 13.5));
        };
    case InsertParagraph: return [](QPainter& p) { Glyph(p, QStringLiteral("\u00B6"), kInk, 13); };
    case InsertLineBreak: return [](QPainter& p) { Glyph(p, QStringLiteral("\u21B5"), kInk, 14); };
    case InsertHorizontalLine:
        return [](QPainter& p) {
            Lines(p, 2, 3, 12, 1);
            p.setPen(QPen(kInk, 2));
            p.drawLine(QPointF(1, 8), QPointF(15, 8));
            Lines(p, 2, 13, 12, 1);
        };
    case InsertNamedAnchor: return [](QPainter& p) { Glyph(p, QStringLiteral("\u2693"), kBlue, 14, false); };
    case InsertSpecialChars: return [](QPainter& p) { Glyph(p, QStringLiteral("\u03A9"), kInk, 13); };
    case InsertComment: return [](QPainter& p) { Glyph(p, QStringLiteral("<!"), kGreen, 10); };
    case InsertDateTime:
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(1.5, 2.5, 13, 12));
            p.fillRect(QRectF(2, 3, 12, 3), kRed);
            p.setPen(QPen(kInk, 1));
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 4; ++c) p.drawPoint(QPointF(4 + c * 2.8, 8 + r * 2.2));
        };
    case AspScriptBlock: return [](QPainter& p) { Glyph(p, QStringLiteral("<%"), kRed, 10); };
    case AspIncludeFile:
        return [](QPainter& p) {
            Page(p);
            Glyph(p, QStringLiteral("#"), kRed, 9);
        };
    case FormatBold: return [](QPainter& p) { Glyph(p, QStringLiteral("B"), kInk, 13); };
    case FormatItalic: return [](QPainter& p) { Glyph(p, QStringLiteral("I"), kInk, 13, true, true); };
    case FormatUnderline: return [](QPainter& p) { Glyph(p, QStringLiteral("U"), kInk, 12, true, false, true); };
    case FormatAlignLeft: return [](QPainter& p) { Align(p, 0); };
    case FormatAlignCenter: return [](QPainter& p) { Align(p, 1); };
    case FormatAlignRight: return [](QPainter& p) { Align(p, 2); };
    case FormatList:
        return [](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF(3, 4 + i * 4), 1.3, 1.3);
            p.setPen(QPen(kBlue, 1.2));
            for (int i = 0; i < 3; ++i) p.drawLine(QPointF(6, 4 + i * 4), QPointF(14.5, 4 + i * 4));
        };
    case FormatHeader: return [](QPainter& p) { Glyph(p, QStringLiteral("H"), kBlue, 13); };
    case FormatFont:
        return [](QPainter& p) {
            Glyph(p, QStringLiteral("A"), kInk, 13);
            p.fillRect(QRectF(2, 14, 12, 2), kRed);
        };
    default: return {};
    }
}

}  // namespace

QIcon ToolIcon(int commandId) {
    Draw d = DrawFor(commandId);
    return d ? Make(d) : QIcon();
}

QIcon AppIcon() {
    return Make([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 80, 160));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        p.setPen(QPen(QColor(255, 255, 255), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4.5), QPointF(12, 4.5));
        p.drawLine(QPointF(8, 4.5), QPointF(8, 12.5));
        p.setPen(QPen(kYellow, 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 10), QPointF(5, 12.5));
        p.drawLine(QPointF(13, 10), QPointF(11, 12.5));
    });
}

}  // namespace tarnwell
