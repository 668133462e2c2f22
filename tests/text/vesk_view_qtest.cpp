// The HTML/ASP view: colors of rendered pixels for the parser's classes, the file kind and the color
// options, the status texts. Also writes a screenshot of a colored ASP page (vesk_view.png in the
// test folder) for a person to look at.
#include <QDir>
#include <QtTest>

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
};

QTEST_MAIN(VeskViewTest)
#include "vesk_view_qtest.moc"
