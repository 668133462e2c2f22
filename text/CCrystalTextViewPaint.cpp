// CCrystalTextView: drawing. Each row is painted once: margin, then the line's colored runs split at
// the selection, then the line-end area. Glyphs are placed on the fixed-pitch grid one cell (two for a
// wide character) apart, so the layout never depends on the font's own advances.
#include <QApplication>
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "text/CCrystalTextView.h"

namespace tarnwell {

namespace {

// Lines longer than this are decoded and colored only in the columns a paint covers.
constexpr int kWindowedLineLength = 4096;

// One character of a decoded line: where its bytes start, its code point and its first column.
struct CellChar {
    int byte;
    int column;
    char32_t code;
    int cells;
};

// The bookmark image: a 16 x 12 tag, drawn once.
QPixmap MakeBookmarkImage() {
    QPixmap pm(16, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0, 0, 128));
    p.setBrush(QColor(0, 160, 224));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 9), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawRect(QRectF(3.5, 3.5, 9, 2));
    return pm;
}

}  // namespace

bool CCrystalTextView::SelectionVisible() const {
    return hasFocus_ || GetViewSettings().showSelectionAlways || showSelectionAlwaysOverride_;
}

void CCrystalTextView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const int rh = RowHeight();
    const int margin = MarginWidth();
    const int width = viewport()->width();
    const int count = LineCount();
    const QRect dirty = event->rect();
    const int firstRow = std::max(0, dirty.top() / rh);
    const int lastRow = dirty.bottom() / rh;
    paintClip_ = dirty;
    for (int row = firstRow; row <= lastRow; ++row) {
        const int line = firstVisibleLine_ + row;
        const int index = line < count ? line : -1;
        const QRect rowRect(0, row * rh, width, rh);
        if (dirty.left() < margin) PaintMargin(painter, QRect(0, rowRect.top(), margin, rh), index);
        PaintLine(painter, QRect(margin, rowRect.top(), width - margin, rh), index);
    }
    paintClip_ = QRect();
    TrimLineColors();
    // The caret and the drop indicator are drawn over the text.
    if (dropIndicatorShown_) {
        const QPoint pt = PositionToPoint(dropPosition_);
        if (ColumnOf(dropPosition_.line, dropPosition_.ch) >= scrollColumn_) {
            painter.fillRect(QRect(std::max(margin, pt.x() - 1), pt.y(), 2, rh), QColor(128, 128, 128));
        }
    } else if (hasFocus_ && !caretHidden_ && caretBlinkOn_) {
        const QRect caret = CaretRect();
        if (!caret.isNull()) {
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter.fillRect(caret, Qt::white);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    }
}

void CCrystalTextView::PaintMargin(QPainter& painter, const QRect& rect, int line) {
    if (!GetViewSettings().showSelectionMargin) {
        painter.fillRect(rect, ColorForIndex(ClassLineBack));
        return;
    }
    painter.fillRect(rect, ColorForIndex(ClassLineBack));
    QBrush checker(ColorForIndex(ClassMargin), Qt::Dense4Pattern);
    painter.setBrushOrigin(0, 0);
    painter.fillRect(rect, checker);
    if (line < 0) return;
    if (GetViewSettings().showLineNumbers) {
        painter.setFont(marginFont_);
        painter.setPen(Qt::black);
        painter.setBackgroundMode(Qt::TransparentMode);
        // Numbers wider than the margin are not given more room: they are clipped on the left.
        painter.drawText(rect.adjusted(0, 0, -1, 0), Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::number(line + 1));
    }
    if (LineFlags(line) & BookmarkBit) {
        if (bookmarkImage_.isNull()) bookmarkImage_ = MakeBookmarkImage();
        const QPoint at(rect.left() + (rect.width() - bookmarkImage_.width()) / 2,
                        rect.top() + (rect.height() - bookmarkImage_.height()) / 2);
        painter.drawPixmap(at, bookmarkImage_);
    }
}

void CCrystalTextView::PaintLine(QPainter& painter, const QRect& rect, int line) {
    if (line < 0) {
        painter.fillRect(rect, ColorForIndex(ClassEmptyArea));
        return;
    }
    const int cw = CellWidth();
    const int rh = RowHeight();
    const LineColors lineColors = LineColorsFor(line);
    const QColor lineBack = lineColors.background.isValid() ? lineColors.background : ColorForIndex(ClassLineBack);
    const int length = LineLength(line);
    const char* text = LineText(line);
    const int tab = GetViewSettings().tabSize;
    const bool selVisible = SelectionVisible();
    TextPosition selStart, selEnd;
    SelectionBounds(selStart, selEnd);

    int originX = rect.left() - scrollColumn_ * cw;  // x of column 0
    int endColumn = 0;

    painter.save();
    painter.setClipRect(rect);
    if (length > 0) {
        endColumn = DisplayLength(line);
        // Only the characters in the columns this paint covers are decoded and drawn (with a cell of
        // slack on both sides); a long line's colors come for those bytes only.
        const QRect area = paintClip_.isNull() ? rect : rect.intersected(paintClip_);
        const int firstCol = scrollColumn_ + std::max(0, area.left() - rect.left()) / cw - 1;
        const int lastCol = scrollColumn_ + std::max(0, area.right() + 1 - rect.left()) / cw + 2;
        const bool windowed = length > kWindowedLineLength;
        const int fromByte = windowed ? CharUnderColumn(line, std::max(0, firstCol)) : 0;
        const int toByte = windowed ? std::max(fromByte, CharUnderColumn(line, lastCol + 1)) : length;

        const LineColoring& coloring = ColoringOf(line);
        std::vector<ColorBlock> windowBlocks;
        if (coloring.memo) coloring.memo->BlocksFor(text, length, fromByte, toByte, windowBlocks);
        const std::vector<ColorBlock>& blocks = coloring.memo ? windowBlocks : coloring.blocks;
        const int blockCount = static_cast<int>(blocks.size());

        // Decode the covered characters into cells once.
        std::vector<CellChar> chars;
        chars.reserve(static_cast<size_t>(toByte - fromByte));
        int col = fromByte > 0 ? ColumnOf(line, fromByte) : 0;
        for (int i = fromByte; i < toByte;) {
            const auto b = static_cast<unsigned char>(text[i]);
            CellChar c{i, col, b, 1};
            int len = 1;
            if (b == '\t') {
                c.cells = tab - col % tab;
                c.code = ' ';
            } else if (b >= 0x80 || codePage_ != CodePage::Utf8) {
                const DecodedChar d = DecodeChar(codePage_, text, length, i);
                c.code = d.code;
                c.cells = tarnwell::CellWidth(d.code);
                len = d.length;
            }
            chars.push_back(c);
            col += c.cells;
            i += len;
        }
        const int windowEndColumn = col;
        const int nChars = static_cast<int>(chars.size());
        auto charIndexOf = [&](int byte) {
            // First character starting at or after `byte`.
            auto it = std::lower_bound(chars.begin(), chars.end(), byte,
                                       [](const CellChar& c, int b) { return c.byte < b; });
            return static_cast<int>(it - chars.begin());
        };
        auto columnOfChar = [&](int ci) { return ci < nChars ? chars[ci].column : windowEndColumn; };

        auto drawPart = [&](int fromChar, int toChar, const QColor& fore, const QColor& back, int colorClass) {
            if (fromChar >= toChar) return;
            const int c0 = columnOfChar(fromChar);
            const int c1 = columnOfChar(toChar);
            if (c1 < firstCol || c0 > lastCol) return;
            painter.fillRect(QRect(originX + c0 * cw, rect.top(), (c1 - c0) * cw, rh), back);
            const bool bold = IsBold(colorClass);
            const bool italic = IsItalic(colorClass);
            const QRawFont& raw = RawFontFor(bold, italic);
            QVector<quint32> glyphs;
            QVector<QPointF> positions;
            glyphs.reserve(toChar - fromChar);
            positions.reserve(toChar - fromChar);
            const qreal baseline = rect.top() + ascent_;
            for (int ci = fromChar; ci < toChar; ++ci) {
                const CellChar& c = chars[ci];
                if (c.column + c.cells < firstCol || c.column > lastCol) continue;
                if (c.code <= ' ' || c.code == 0x7F || (c.code >= 0x80 && c.code < 0xA0)) continue;
                const quint32 glyph = GlyphFor((bold ? 1 : 0) | (italic ? 2 : 0), c.code);
                const qreal x = originX + c.column * cw;
                if (glyph != 0) {
                    glyphs.push_back(glyph);
                    positions.push_back(QPointF(x, baseline));
                } else {
                    // Not in the text font: let the toolkit find a font that has it, in the same cell.
                    painter.setFont(FontFor(bold, italic));
                    painter.setPen(fore);
                    painter.drawText(QPointF(x, baseline), QString::fromUcs4(&c.code, 1));
                }
            }
            if (!glyphs.isEmpty()) {
                QGlyphRun run;
                run.setRawFont(raw);
                run.setGlyphIndexes(glyphs);
                run.setPositions(positions);
                painter.setPen(fore);
                painter.drawGlyphRun(QPointF(0, 0), run);
            }
        };

        // Draws one run [fromChar, toChar) through the selection splitter.
        const int selFromChar = (selVisible && selStart.line <= line && selEnd.line >= line)
                                    ? (selStart.line < line ? 0 : charIndexOf(selStart.ch))
                                    : nChars;
        const int selToChar = (selVisible && selStart.line <= line && selEnd.line >= line)
                                  ? (selEnd.line > line ? nChars : charIndexOf(selEnd.ch))
                                  : nChars;
        const QColor selBack = ColorForIndex(ClassSelectBack);
        const QColor selText = ColorForIndex(ClassSelectText);
        auto drawRun = [&](int fromChar, int toChar, const QColor& fore, const QColor& back, int colorClass) {
            if (selFromChar < selToChar) {
                const int a = std::clamp(selFromChar, fromChar, toChar);
                const int b = std::clamp(selToChar, fromChar, toChar);
                drawPart(fromChar, a, fore, back, colorClass);
                drawPart(a, b, selText, selBack, colorClass);
                drawPart(b, toChar, fore, back, colorClass);
            } else {
                drawPart(fromChar, toChar, fore, back, colorClass);
            }
        };

        if (blockCount == 0) {
            const QColor fore = lineColors.text.isValid() ? lineColors.text : ColorForIndex(ClassPlainText);
            drawRun(0, nChars, fore, lineBack, ClassPlainText);
        } else {
            for (int k = 0; k < blockCount; ++k) {
                const int startByte = std::clamp(blocks[k].start, 0, length);
                const int endByte = k + 1 < blockCount ? std::clamp(blocks[k + 1].start, 0, length) : length;
                if (endByte <= startByte) continue;
                const int cls = blocks[k].colorClass;
                const QColor fore = lineColors.text.isValid() ? lineColors.text : ColorForIndex(cls);
                const QColor back = (cls == ClassAspOpenTag || cls == ClassAspCloseTag) ? ColorForIndex(cls + 1)
                                                                                        : ColorForIndex(ClassEmptyArea);
                drawRun(charIndexOf(startByte), charIndexOf(endByte), fore, back, cls);
            }
            // Characters before the first block are not drawn: their cells show the empty area.
            const int firstStart = std::clamp(blocks[0].start, 0, length);
            if (firstStart > 0) {
                const int c1 = columnOfChar(charIndexOf(firstStart));
                painter.fillRect(QRect(originX, rect.top(), c1 * cw, rh), ColorForIndex(ClassEmptyArea));
            }
        }
    }

    // Line end: the end cell of a selected line end, then the rest of the row.
    int x = std::max(rect.left(), originX + endColumn * cw);
    if (scrollColumn_ <= length && selVisible && IsInsideSelection(TextPosition(line, length))) {
        const int cellX = originX + endColumn * cw;
        if (cellX + cw > rect.left()) {
            painter.fillRect(QRect(cellX, rect.top(), cw, rh), ColorForIndex(ClassSelectBack));
            x = std::max(x, cellX + cw);
        }
    }
    if (x < rect.right() + 1) {
        painter.fillRect(QRect(x, rect.top(), rect.right() + 1 - x, rh),
                         lineColors.fillRight ? lineBack : ColorForIndex(ClassEmptyArea));
    }
    painter.restore();
}

QRect CCrystalTextView::CaretRect() {
    if (ColumnOf(cursor_.line, cursor_.ch) < scrollColumn_) return {};
    const QPoint pt = PositionToPoint(cursor_);
    const int x = std::max(MarginWidth(), pt.x() - 1);
    return QRect(x, pt.y(), 2, RowHeight());
}

void CCrystalTextView::ShowCaretNow() {
    // The caret blinks at the platform's rate; every change shows it at once.
    caretBlinkOn_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus_ && !caretHidden_ && flash > 0) {
        blinkTimer_.start(flash / 2, this);
    } else {
        blinkTimer_.stop();
    }
    // Repaint only where the caret was and where it goes.
    if (!lastCaretRect_.isNull()) viewport()->update(lastCaretRect_);
    lastCaretRect_ = (hasFocus_ && !caretHidden_) ? CaretRect() : QRect();
    if (!lastCaretRect_.isNull()) viewport()->update(lastCaretRect_);
}

void CCrystalTextView::SetCaretHidden(bool hidden) {
    caretHidden_ = hidden;
    ShowCaretNow();
}

}  // namespace tarnwell
