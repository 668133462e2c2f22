// The HTML/ASP view: colors of rendered pixels for the parser's classes, the file kind and the color
// options, the status texts. Also writes a screenshot of a colored ASP page (vesk_view.png in the
// test folder) for a person to look at.
#include <QDir>
#include <QPainter>
#include <QtTest>

#include <functional>
#include <random>

#include "lang/Keywords.h"
#include "tests/text/ViewTestSupport.h"
#include "text/CVeskView.h"

using namespace tarnwell;
using namespace tarnwell::testing;

namespace {

// True when some pixel of the cell (col, row) has exactly `color`.
bool CellHas(const QImage& img, const CCrystalTextView& v, int col, int row, QColor color) {
    auto& view = const_cast<CCrystalTextView&>(v);
    const int cw = view.CellWidth(), rh = view.RowHeight(), m = view.MarginWidth();
    for (int y = row * rh; y < (row + 1) * rh; ++y)
        for (int x = m + col * cw; x < m + (col + 1) * cw; ++x)
            if (img.pixelColor(x, y) == color) return true;
    return false;
}

QColor CellTop(const QImage& img, CCrystalTextView& view, int col, int row) {
    return img.pixelColor(view.MarginWidth() + col * view.CellWidth() + view.CellWidth() / 2, row * view.RowHeight() + 1);
}

// The class of each byte of every line by a fresh parse of the whole text, and as the view's cached
// colors give them (for the long lines, in windows of bytes).
std::vector<std::vector<int>> FreshClasses(const CCrystalTextBuffer& buffer, int kind) {
    const HtmlAspContext ctx{kind, &HtmlKeywordSet(), &VbKeywordSet(), CVeskView::ColorPalette().syntaxColoring};
    std::vector<std::vector<int>> out;
    LineCookie cookie = 0;
    for (int l = 0; l < buffer.LineCount(); ++l) {
        std::vector<ColorBlock> blocks;
        cookie = ParseHtmlAspLine(cookie, buffer.LineChars(l), &blocks, ctx);
        std::vector<int> classes(static_cast<size_t>(buffer.LineLength(l)), -1);
        for (size_t k = 0; k < blocks.size(); ++k) {
            const int end = k + 1 < blocks.size() ? blocks[k + 1].start : buffer.LineLength(l);
            for (int b = blocks[k].start; b < end; ++b) classes[static_cast<size_t>(b)] = blocks[k].colorClass;
        }
        out.push_back(std::move(classes));
    }
    return out;
}

std::vector<int> CachedClasses(CCrystalTextView& view, int line, int from, int to) {
    const std::vector<ColorBlock> blocks = view.BlocksForBytes(line, from, to);
    std::vector<int> classes(static_cast<size_t>(to - from), -1);
    for (size_t k = 0; k < blocks.size(); ++k) {
        const int end = k + 1 < blocks.size() ? blocks[k + 1].start : to;
        for (int b = std::max(from, blocks[k].start); b < std::min(end, to); ++b) classes[static_cast<size_t>(b - from)] = blocks[k].colorClass;
    }
    return classes;
}

// Every line's cached colors equal a fresh parse: short lines whole, long ones window by window.
bool CachedColorsAreFresh(CCrystalTextView& view, const CCrystalTextBuffer& buffer, int kind) {
    const auto fresh = FreshClasses(buffer, kind);
    for (int l = 0; l < buffer.LineCount(); ++l) {
        const int n = buffer.LineLength(l);
        const int step = n > 20000 ? 500 : n + 1;
        for (int from = 0; from < n; from += step) {
            const int to = std::min(n, from + 500);
            const std::vector<int> want(fresh[l].begin() + from, fresh[l].begin() + to);
            if (CachedClasses(view, l, from, to) != want) {
                qWarning("line %d bytes %d..%d differ", l, from, to);
                return false;
            }
        }
    }
    return true;
}

const QColor kYellow(255, 255, 0), kBlue(0, 0, 255), kGrey(128, 128, 128), kPurple(128, 0, 128),
    kMaroon(128, 0, 0), kBlack(0, 0, 0);

}  // namespace

class VeskViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(LoadKeywordFile(HtmlKeywordSet(), KeywordFilePath(TARNWELL_BIN_DIR, "html.txt")));
        QVERIFY(LoadKeywordFile(VbKeywordSet(), KeywordFilePath(TARNWELL_BIN_DIR, "vbscript.txt")));
    }

    void coloredAspPage() {
        CCrystalTextBuffer buffer;
        QVERIFY(buffer.ReadFromFile(std::string(TARNWELL_TEST_DATA) + "/view/orders.asp"));
        CVeskView view(&buffer, FileKindAsp);
        view.resize(760, 420);
        view.show();
        view.setFocus();
        QApplication::processEvents();
        QCOMPARE(view.Buffer(), &buffer);  // bound when shown
        view.SelectRange(TextPosition(2, 6), TextPosition(2, 13));
        view.PlaceCursor(TextPosition(8, 6));
        QApplication::processEvents();
        const QImage img = view.viewport()->grab().toImage();
        QVERIFY(img.save(QDir(TARNWELL_BIN_DIR).filePath("../tests/vesk_view.png")));

        QCOMPARE(CellTop(img, view, 0, 0), kYellow);  // "<%" of the directive on ASPStartEnd
        QCOMPARE(CellTop(img, view, 1, 0), kYellow);
        QVERIFY(CellHas(img, view, 2, 1, kBlue));      // the html keyword inside "<html>"
        QVERIFY(CellHas(img, view, 5, 3, kGrey));      // the HTML comment
        QVERIFY(CellHas(img, view, 19, 4, kPurple));   // the bgcolor string
        QVERIFY(CellHas(img, view, 4, 6, kGrey));      // the ' comment inside the ASP block
        QVERIFY(CellHas(img, view, 3, 7, kBlue));      // Dim
        QVERIFY(CellHas(img, view, 8, 7, kBlack));     // rs: ASP text
        QVERIFY(!CellHas(img, view, 8, 7, kBlue));
        QVERIFY(CellHas(img, view, 34, 9, kMaroon));   // the "none" string
        QCOMPARE(CellTop(img, view, 0, 10), kYellow);  // "%>" alone on its line
        // A whole VBScript SCRIPT start tag is one delimiter run; "</script>" closes it.
        QCOMPARE(CellTop(img, view, 20, 12), kYellow);
        QVERIFY(CellHas(img, view, 3, 13, kBlue));     // Function
        QCOMPARE(CellTop(img, view, 5, 14), kYellow);
        // Selected text is white on the highlight color.
        QCOMPARE(CellTop(img, view, 8, 2), view.palette().color(QPalette::Highlight));

        QCOMPARE(view.PositionStatusText(), QStringLiteral("Ln 9, Col 7"));
        QCOMPARE(view.LineEndStatusText(), QStringLiteral("DOS"));
        QCOMPARE(view.OverwriteStatusText(), QString());
        view.SetOverwriteMode(true);
        QCOMPARE(view.OverwriteStatusText(), QStringLiteral("OVR"));
    }

    void fileKindDecidesServerScript() {
        auto buffer = MakeBuffer("<% Dim x %>\n<p>");
        CVeskView view(buffer.get(), FileKindAsp);
        ShowView(view, buffer.get());
        QImage img = view.viewport()->grab().toImage();
        QCOMPARE(CellTop(img, view, 0, 0), kYellow);
        QVERIFY(CellHas(img, view, 4, 0, kBlue));
        // Saved as .htm: the same line is plain HTML at the next redraw.
        view.SetPathName("page.htm");
        QCOMPARE(view.GetFileKindValue(), int(FileKindHtml));
        img = view.viewport()->grab().toImage();
        QVERIFY(CellTop(img, view, 0, 0) != kYellow);
        QVERIFY(!CellHas(img, view, 4, 0, kBlue));
    }

    void colorOptionsRecolorEveryView() {
        auto buffer = MakeBuffer("<!-- c -->\n<% Dim x %>");
        CVeskView a(buffer.get(), FileKindAsp), b(buffer.get(), FileKindAsp);
        ShowView(a, buffer.get());
        ShowView(b, buffer.get());
        const HtmlAspPalette saved = CVeskView::ColorPalette();
        HtmlAspPalette custom = saved;
        custom.colors[ColorAspKeyword] = {0, 170, 0};
        CVeskView::SetColorPalette(custom);
        QImage img = b.viewport()->grab().toImage();
        QVERIFY(CellHas(img, b, 4, 1, QColor(0, 170, 0)));

        // Coloring off: one black run per line, no delimiter background, every cookie 0.
        custom.syntaxColoring = false;
        CVeskView::SetColorPalette(custom);
        img = a.viewport()->grab().toImage();
        QVERIFY(CellTop(img, a, 0, 1) != kYellow);
        QVERIFY(!CellHas(img, a, 2, 0, kGrey));
        QVERIFY(CellHas(img, a, 2, 0, kBlack));
        QCOMPARE(a.CookieOf(0), 0);
        CVeskView::SetColorPalette(saved);
        QCOMPARE(a.CookieOf(0), 0);
        img = a.viewport()->grab().toImage();
        QCOMPARE(CellTop(img, a, 0, 1), kYellow);
    }

    void commentOpenedByTypingRecolorsLaterLines() {
        auto buffer = MakeBuffer("<p>\n<b>\n<i>");
        CVeskView view(buffer.get(), FileKindHtml);
        ShowView(view, buffer.get());
        QCOMPARE(view.CookieOf(2), 0);
        view.SetCursorAndClear(TextPosition(0, 3));
        view.TypeText(QStringLiteral("<!--"));
        QCOMPARE(view.CookieOf(2), int(cookie::InHtmlComment));
        const QImage img = view.viewport()->grab().toImage();
        QVERIFY(CellHas(img, view, 1, 2, kGrey));
    }

    // The cached colors follow every kind of change: an edit that changes a line's outgoing state
    // (later lines recolor), its undo, an edit through a second view of the buffer, line breaks in a
    // long line, the syntax-coloring switch, and a conversion of the bytes to another code page.
    void cachedColorsFollowEveryChange() {
        std::string longLine;
        while (longLine.size() < 70000) longLine += "<td class=\"n\"><%= rs(\"Name\") %></td><script language=vb>\xC3\xA9</script>";
        auto buffer = MakeBuffer("<p>first</p>\n" + longLine + "\n<b>after</b>\n<%= x %>");
        CVeskView view(buffer.get(), FileKindAsp), second(buffer.get(), FileKindAsp);
        ShowView(view, buffer.get(), 640, 300);
        ShowView(second, buffer.get(), 640, 300);
        second.ScrollToColumn(60000);
        auto paint = [&] {
            view.viewport()->grab();
            second.viewport()->grab();
        };
        paint();
        QVERIFY(CachedColorsAreFresh(view, *buffer, FileKindAsp));
        const HtmlAspPalette saved = CVeskView::ColorPalette();
        struct Step {
            const char* what;
            std::function<void()> act;
        } steps[] = {
            {"comment opened in line 0", [&] { buffer->InsertTextAt(&view, 0, 3, "<!--"); }},
            {"undo", [&] { buffer->UndoStep(); }},
            {"second view types in the long line", [&] { buffer->InsertTextAt(&second, 1, 60000, "\"%>"); }},
            {"its undo", [&] { buffer->UndoStep(); }},
            {"long line split", [&] { buffer->InsertTextAt(&view, 1, 30000, "\r\n"); }},
            {"long line joined", [&] { buffer->RemoveRange(&view, TextPosition(1, 30000), TextPosition(2, 0)); }},
            {"head of the long line removed", [&] { buffer->RemoveRange(&second, TextPosition(1, 0), TextPosition(1, 9)); }},
            {"coloring off",
             [&] {
                 HtmlAspPalette off = saved;
                 off.syntaxColoring = false;
                 CVeskView::SetColorPalette(off);
             }},
            {"edit with coloring off", [&] { buffer->InsertTextAt(&view, 1, 5, "<%"); }},
            {"coloring on", [&] { CVeskView::SetColorPalette(saved); }},
            {"bytes converted to another code page", [&] { buffer->ConvertToCodePage(CodePage::Windows1252); }},
        };
        for (const Step& step : steps) {
            step.act();
            paint();
            QVERIFY2(CachedColorsAreFresh(view, *buffer, FileKindAsp), step.what);
            QVERIFY2(CachedColorsAreFresh(second, *buffer, FileKindAsp), step.what);
        }
        CVeskView::SetColorPalette(saved);
    }

    // Random edits of a long line, each painted where it happened, keep the cached colors equal to a
    // fresh parse; columns of the line follow the edits too.
    void randomEditsOfALongLine() {
        const char* pieces[] = {"<td>", "\"", "<%", "%>", "<!--", "-->", " ", "\t", "\xC3\xA9", "x", "'", "</script>",
                                "<script language=\"vbscript\">"};
        std::mt19937 rng(99);
        std::string line;
        while (line.size() < 50000) line += pieces[rng() % 13];
        auto buffer = MakeBuffer(line);
        CVeskView view(buffer.get(), FileKindAsp);
        ShowView(view, buffer.get(), 640, 200);
        for (int round = 0; round < 40; ++round) {
            const int n = buffer->LineLength(0);
            int at = static_cast<int>(rng() % (n + 1));
            at = view.SnapForwardOnLine(0, at);
            if (rng() % 3 == 0 && at < n) {
                const int end = view.SnapForwardOnLine(0, std::min(n, at + static_cast<int>(rng() % 40) + 1));
                buffer->RemoveRange(&view, TextPosition(0, at), TextPosition(0, end));
            } else {
                buffer->InsertTextAt(&view, 0, at, pieces[rng() % 13]);
            }
            view.SetCursorAndClear(TextPosition(0, at));
            view.viewport()->grab();
            QVERIFY(CachedColorsAreFresh(view, *buffer, FileKindAsp));
            const LineRef ref = view.LineRefOf(0);
            const int tab = CCrystalTextView::GetViewSettings().tabSize;
            QCOMPARE(view.DisplayLength(0), DisplayLength(ref, tab));
            QCOMPARE(view.ColumnOf(0, at), ColumnOf(ref, at, tab));
            const int col = static_cast<int>(rng() % (DisplayLength(ref, tab) + 1));
            QCOMPARE(view.CharAtColumn(0, col), CharAtColumn(ref, col, tab));
        }
    }

    // A long line is decoded and colored only in the columns a paint covers: its picture equals that
    // of a short line showing the same text, at the start and scrolled far along; a paint of a small
    // part (the caret blink) draws what a full paint draws there.
    void longLinePaintsLikeAShortOne() {
        const std::string unit = "<td class=\"n\">\xC3\xA9<%= rs(\"Name\") %></td><!-- c --><b>bold</b>";
        std::string longLine, shortLine;
        while (longLine.size() < 20000) longLine += unit;
        while (shortLine.size() < 400) shortLine += unit;
        auto longBuffer = MakeBuffer(longLine);
        auto shortBuffer = MakeBuffer(shortLine);
        CVeskView longView(longBuffer.get(), FileKindAsp), shortView(shortBuffer.get(), FileKindAsp);
        ShowView(longView, longBuffer.get(), 640, 60);
        ShowView(shortView, shortBuffer.get(), 640, 60);
        longView.clearFocus();
        shortView.clearFocus();
        QApplication::processEvents();
        const int unitColumns = shortView.DisplayLength(0) / static_cast<int>(shortLine.size() / unit.size());
        for (int units : {0, 200, 300}) {
            longView.ScrollToColumn(units * unitColumns);
            const QImage want = shortView.viewport()->grab().toImage();
            const QImage got = longView.viewport()->grab().toImage();
            QCOMPARE(got, want);
            // A small part painted alone.
            const QRect part(longView.MarginWidth() + 5 * longView.CellWidth() - 1, 0, 2, longView.RowHeight());
            QImage partial = got.copy();
            QPainter painter(&partial);
            painter.fillRect(part, Qt::magenta);
            longView.viewport()->render(&painter, part.topLeft(), QRegion(part));
            painter.end();
            QCOMPARE(partial, want);
        }
    }
};

QTEST_MAIN(VeskViewTest)
#include "vesk_view_qtest.moc"
