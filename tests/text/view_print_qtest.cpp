// Printing a real view into PDF files, read back with pdftotext and pdfinfo: every line once and in
// order, page counts and footers, margins, the code page, the bands and the print commands.
#include "platform/MemoryProfile.h"
#include "tests/support/ModalDriver.h"
#include "text/CCrystalTextView.h"
#include "text/PageSetupDialog.h"
#include "text/ViewPrint.h"

#include <QDoubleSpinBox>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <string>
#include <vector>

using namespace tarnwell;

namespace {

QString Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PdfPages(const QString& pdf) {
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(Run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString PdfText(const QString& pdf) { return Run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}); }

QString NoBlanks(QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s+"))); }

// A view with a header naming the page (the base view prints none).
class HeaderView : public CCrystalTextView {
public:
    QString HeaderText(int page, int pageCount) const override {
        return QStringLiteral("Head %1 of %2").arg(page).arg(pageCount);
    }
};

struct Printed {
    int pages = 0;  // as pdfinfo counts them
    int jobPages = 0;
    QString text;
};

}  // namespace

class ViewPrintTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    Printed Print(CCrystalTextView& view, const std::string& text, const PageMargins& margins = {}) {
        CCrystalTextBuffer buffer;
        buffer.InitFromText(LineEndDos, text);
        view.BindBuffer(&buffer);
        const QString pdf = dir_.filePath(QStringLiteral("out.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        Printed out;
        if (!PrintView(view, printer, margins)) return out;
        CTextPrintJob job(view);
        job.Begin(printer);
        job.Layout(QRect(0, 0, printer.width(), printer.height()), margins);
        out.jobPages = job.PageCount();
        view.UnbindBuffer();
        out.pages = PdfPages(pdf);
        out.text = PdfText(pdf);
        return out;
    }

private slots:
    void everyLineOnceInOrderWithFooters_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("minPages");
        QByteArray many;
        for (int i = 0; i < 400; ++i) many += "line" + QByteArray::number(i) + " <td>cell</td>\r\n";
        QByteArray words;
        for (int i = 0; words.size() < 5000; ++i) words += "w" + QByteArray::number(i) + ' ';
        QByteArray tallPage;  // one line of 60,000 characters is taller than a page
        for (int i = 0; tallPage.size() < 60000; ++i) tallPage += "t" + QByteArray::number(i);
        QTest::newRow("empty document") << QByteArray() << 1;
        QTest::newRow("400 lines") << many << 3;
        QTest::newRow("5000-character line of words") << ("before\r\n" + words + "\r\nafter") << 1;
        QTest::newRow("5000-character word") << ("before\r\n" + QByteArray(5000, 'x') + "\r\nafter") << 1;
        QTest::newRow("line taller than a page") << ("before\r\n" + tallPage + "\r\nafter") << 3;
    }
    void everyLineOnceInOrderWithFooters() {
        QFETCH(QByteArray, text);
        QFETCH(int, minPages);
        CCrystalTextView view;
        const Printed p = Print(view, text.toStdString());
        QVERIFY(p.pages >= minPages);
        if (text.isEmpty()) QCOMPARE(p.pages, 1);
        QCOMPARE(p.jobPages, p.pages);
        // Take the footers out in order; what remains is the text itself, nothing lost or repeated.
        QString rest = p.text;
        for (int page = 1; page <= p.pages; ++page) {
            const QString footer = QStringLiteral("Page %1/%2").arg(page).arg(p.pages);
            const int at = rest.indexOf(footer);
            QVERIFY2(at >= 0, qPrintable(footer));
            rest.remove(at, footer.size());
        }
        QCOMPARE(NoBlanks(rest), NoBlanks(QString::fromLatin1(text)));
    }

    void marginsAndBandsShapeThePages() {
        const std::string text = [] {
            std::string t;
            for (int i = 0; i < 200; ++i) t += "row " + std::to_string(i) + "\r\n";
            return t;
        }();
        CCrystalTextView plain;
        const int normal = Print(plain, text).pages;
        // A 10 cm top margin leaves fewer rows per page; nonsense margins fall back and still print.
        QVERIFY(Print(plain, text, {1000, 1000, 10000, 1000}).pages > normal);
        const Printed odd = Print(plain, text, {-5, 900000, 900000, -5});
        QCOMPARE(NoBlanks(odd.text).count(QStringLiteral("row199")), 1);

        HeaderView headed;
        headed.SetPageBands(true, false);
        const Printed h = Print(headed, text);
        QVERIFY(h.text.indexOf(QStringLiteral("Head 1 of ")) < h.text.indexOf(QStringLiteral("row 0")));
        QVERIFY(!h.text.contains(QStringLiteral("Page 1/")));
        QVERIFY(h.text.contains(QStringLiteral("Head %1 of %1").arg(h.pages)));
    }

    void textIsDecodedWithTheViewsCodePage() {
        CCrystalTextView view;
        // Not valid UTF-8: the view reads it as Windows-1252, and so does the printout.
        QVERIFY(Print(view, "caf\xE9 \x80" "5").text.contains(QStringLiteral("caf\u00E9 \u20AC5")));
        QVERIFY(Print(view, "na\xC3\xAFve").text.contains(QStringLiteral("na\u00EFve")));
    }

    void printCommandsAndPreview() {
        CCrystalTextBuffer buffer;
        std::string text;
        for (int i = 0; i < 300; ++i) text += "preview line " + std::to_string(i) + "\r\n";
        buffer.InitFromText(LineEndDos, text);
        CCrystalTextView view;
        view.BindBuffer(&buffer);
        MemoryProfile profile;
        QPrinter printer(QPrinter::HighResolution);
        const QString pdf = dir_.filePath(QStringLiteral("direct.pdf"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        CPrintCommands* commands = AttachPrintCommands(view, profile, [&] { return &printer; });
        QCOMPARE(AttachPrintCommands(view, profile, [] { return nullptr; }), commands);
        QCOMPARE(PrintCommandsOf(view), commands);
        for (int id : {57607, 57608, 57609}) {
            CommandState state;
            QVERIFY(commands->UpdateCommand(id, state));
            QVERIFY(state.enabled);
        }
        CommandState none;
        QVERIFY(!commands->UpdateCommand(57605, none));  // Page Setup is the application's

        // Direct print writes the whole text; a margin change reaches the next job.
        QVERIFY(commands->ExecuteCommand(57608));
        const int pages = PdfPages(pdf);
        QVERIFY(pages >= 2);
        QVERIFY(PdfText(pdf).contains(QStringLiteral("preview line 299")));
        WritePageMargins(profile, {1000, 1000, 12000, 1000});
        QVERIFY(commands->ExecuteCommand(57608));
        QVERIFY(PdfPages(pdf) > pages);

        // The preview renders the same pages.
        int previewPages = -1;
        test::ModalDriver driver;
        driver.Then([&](QWidget* w) {
            auto* preview = w->findChild<QPrintPreviewWidget*>();
            if (preview) {
                preview->updatePreview();
                previewPages = preview->pageCount();
            }
            qobject_cast<QDialog*>(w)->reject();
        });
        QVERIFY(commands->ExecuteCommand(57609));
        QCOMPARE(previewPages, PdfPages(pdf));
    }

    void pageSetupWritesOnlyOnOk() {
        MemoryProfile profile;
        WritePageMargins(profile, {1000, 1500, 2000, 2500});
        test::ModalDriver driver;
        driver.Then([](QWidget* w) {
            QCOMPARE(w->findChild<QDoubleSpinBox*>(QStringLiteral("RightMargin"))->value(), 15.0);
            w->findChild<QDoubleSpinBox*>(QStringLiteral("LeftMargin"))->setValue(12.34);
            qobject_cast<QDialog*>(w)->reject();
        });
        QVERIFY(!RunPageSetup(profile));
        QCOMPARE(ReadPageMargins(profile), (PageMargins{1000, 1500, 2000, 2500}));
        driver.Then([](QWidget* w) {
            w->findChild<QDoubleSpinBox*>(QStringLiteral("LeftMargin"))->setValue(12.34);
            w->findChild<QDoubleSpinBox*>(QStringLiteral("BottomMargin"))->setValue(0);
            test::ModalDriver::ClickButton(w, QStringLiteral("OK"));
        });
        QVERIFY(RunPageSetup(profile));
        QCOMPARE(ReadPageMargins(profile), (PageMargins{1234, 1500, 2000, 0}));
        QCOMPARE(driver.Unexpected(), 0);
    }
};

QTEST_MAIN(ViewPrintTest)
#include "view_print_qtest.moc"
