// Printing in the whole application: the menu and tool-bar commands on a document window, the one
// printer shared with Print Setup, Page Setup, and the real program printing to PDF from the command line.
#include "app/CChildFrame.h"
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"
#include "text/PrintLayout.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QToolBar>
#include <QtTest>

using namespace tarnwell;
using test::AppFixture;
using test::ModalDriver;

namespace {

const QString kProgram = QStringLiteral(TARNWELL_BIN_DIR "/tarnwell");

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct Result {
    int code = -1;
    QString err;
};

// Runs the program with its settings in `home`, without a display, and waits (serving events, so a
// running instance in this process could answer a hand-off).
Result RunProgram(const QString& home, const QStringList& args, const QString& channel = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");  // no display: only the offscreen platform can run
    if (!channel.isEmpty()) env.insert("TARNWELL_INSTANCE", channel);
    p.setProcessEnvironment(env);
    p.start(kProgram, args);
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 60000) QTest::qWait(10);
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
}

}  // namespace

class PrintTest : public QObject {
    Q_OBJECT

private slots:
    void menuAndToolBarCommandsPrintTheActiveDocument() {
        AppFixture fx;
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        CMainFrame* frame = fx.app->MainFrame();
        frame->UpdateCommands();
        QVERIFY(!frame->Action(cmd::FilePrint)->isEnabled());  // nothing to print
        QVERIFY(!frame->Action(cmd::FilePrintPreview)->isEnabled());
        QVERIFY(frame->Action(cmd::FilePageSetup)->isEnabled());
        QVERIFY(frame->ToolBar(0)->actions().contains(frame->Action(cmd::FilePrint)));

        QByteArray page;
        for (int i = 0; i < 250; ++i) page += "<p>paragraph " + QByteArray::number(i) + "</p>\r\n";
        QVERIFY(fx.Write("site/page.asp", page));
        QVERIFY(fx.app->OpenDocumentFile(fx.Path("site/page.asp")));
        frame->UpdateCommands();
        for (int id : {cmd::FilePrint, cmd::FilePrintPreview, cmd::FilePageSetup})
            QVERIFY(frame->Action(id)->isEnabled());

        // Print Setup works on the application's printer, the one Print uses.
        QPrinter& printer = fx.app->Printer();
        ModalDriver driver;
        QPrinter* setupPrinter = nullptr;
        driver.Then([&](QWidget* w) {
            if (auto* d = qobject_cast<QPrintDialog*>(w)) setupPrinter = d->printer();
            qobject_cast<QDialog*>(w)->reject();
        });
        QVERIFY(frame->RouteCommand(cmd::FilePrintSetup));
        QCOMPARE(setupPrinter, &printer);

        const QString pdf = fx.Path("out.pdf");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(frame->RouteCommand(cmd::FilePrintDirect));
        const QString text = PdfText(pdf);
        QVERIFY(text.contains("paragraph 0") && text.contains("paragraph 249"));
        QVERIFY(text.indexOf("paragraph 100") < text.indexOf("paragraph 101"));

        // Page Setup writes the margins on OK, for the next print job.
        driver.Then([](QWidget* w) {
            w->findChild<QDoubleSpinBox*>(QStringLiteral("TopMargin"))->setValue(55);
            ModalDriver::ClickButton(w, QStringLiteral("OK"));
        });
        QVERIFY(frame->RouteCommand(cmd::FilePageSetup));
        QCOMPARE(ReadPageMargins(*fx.profile).top, 5500);
        QCOMPARE(driver.Unexpected(), 0);
    }

    void printToPdfFromTheCommandLine() {
        AppFixture fx;
        const QString home = fx.Path("home");
        QByteArray page;
        for (int i = 0; i < 120; ++i) page += "line " + QByteArray::number(i) + "\tend\r\n";
        page += QByteArray(5000, 'z') + "\r\nlast";
        QVERIFY(fx.Write("page.asp", page));
        QVERIFY(fx.Write("empty.htm", ""));

        // The page setup is read from the user's settings.
        {
            SettingsProfile settings((home + "/.config/Tarnwell/Tarnwell.conf").toStdString());
            WritePageMargins(settings, {1000, 1000, 20000, 1000});
            settings.Sync();
        }
        // A running instance does not get the command.
        QVERIFY(fx.Start() == CEditorApp::StartResult::Running);
        const QString pdf = fx.Path("page.pdf");
        const Result ok = RunProgram(home, {"--print-to-pdf", pdf, fx.Path("page.asp")}, fx.channel);
        QCOMPARE(ok.code, 0);
        QVERIFY(fx.app->DocManager().Documents().empty());
        const QString text = PdfText(pdf);
        QVERIFY(text.contains("line 0") && text.contains("line 119") && text.contains("last"));
        QCOMPARE(QString(text).remove(QRegularExpression("\\s")).count('z'), 5000);
        QVERIFY(text.contains("Page 1/"));

        QCOMPARE(RunProgram(home, {"--print-to-pdf", fx.Path("empty.pdf"), fx.Path("empty.htm")}).code, 0);
        QCOMPARE(PdfText(fx.Path("empty.pdf")).trimmed(), QStringLiteral("Page 1/1"));

        const struct {
            const char* name;
            QStringList args;
            const char* message;
        } failures[] = {
            {"missing file", {"--print-to-pdf", fx.Path("no.pdf"), fx.Path("missing.asp")}, "cannot read"},
            {"folder as file", {"--print-to-pdf", fx.Path("no.pdf"), fx.Path("home")}, "cannot read"},
            {"unwritable output", {"--print-to-pdf", fx.Path("nofolder/x.pdf"), fx.Path("page.asp")}, "cannot write"},
            {"no file named", {"--print-to-pdf", fx.Path("no.pdf")}, "usage"},
        };
        for (const auto& f : failures) {
            const Result r = RunProgram(home, f.args);
            QVERIFY2(r.code == 1, f.name);
            QVERIFY2(r.err.contains(f.message), qPrintable(r.err));
        }
        QVERIFY(!QFile::exists(fx.Path("no.pdf")));
    }
};

QTEST_MAIN(PrintTest)
#include "print_qtest.moc"
