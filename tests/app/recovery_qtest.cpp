// Recovery of unsaved edits: the file follows the document's state, and a killed editor's edits come
// back byte for byte at the next start (the editing instance is a real second process that is killed).
#include "app/CEditorDocManager.h"
#include "app/CVeskDoc.h"
#include "app/RecoveryFile.h"
#include "app/RecoveryManager.h"
#include "platform/FilePath.h"
#include "text/CodePage.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <cstring>

using namespace tarnwell;

namespace {

QStringList RecoveryFiles(const QString& folder) { return QDir(folder).entryList({QStringLiteral("*.twr")}, QDir::Files); }

// The editing instance: opens FILE, types TEXT at the start of line 1, waits for the recovery file,
// says so on standard output and runs until it is killed.
int RunChild(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc < 6) return 2;
    CEditorApp::Config c;
    c.programFolder = QStringLiteral(TARNWELL_BIN_DIR);
    c.channelName = QString::fromLocal8Bit(argv[2]);
    c.recoveryFolder = QString::fromLocal8Bit(argv[3]);
    c.profile = std::make_shared<SettingsProfile>(std::string(argv[3]) + "/../child.ini");
    CEditorApp app(c);
    if (app.InitInstance({}) != CEditorApp::StartResult::Running) return 3;
    CVeskDoc* doc = app.OpenDocumentFile(QString::fromLocal8Bit(argv[4]));
    if (!doc) return 4;
    doc->Buffer().InsertTextAt(nullptr, TextPosition{1, 0}, argv[5]);
    app.Recovery()->SetDelay(0);
    app.Recovery()->Poll();
    if (app.Recovery()->FileOf(doc).isEmpty()) return 5;
    std::printf("written\n");
    std::fflush(stdout);
    return QApplication::exec();
}

}  // namespace

class RecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void fileFollowsTheDocument() {
        test::AppFixture fx;
        QVERIFY(fx.Write("page.asp", "one\ntwo\n"));
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        CRecoveryManager& rec = *fx.app->Recovery();
        QVERIFY(rec.IsActive());
        rec.SetDelay(0);
        CVeskDoc* doc = fx.app->OpenDocumentFile(fx.Path("page.asp"));
        CVeskDoc* untitled = fx.app->DocManager().NewDocument();
        QVERIFY(doc && untitled);
        rec.Poll();
        QVERIFY(RecoveryFiles(rec.Folder()).isEmpty());  // nothing unsaved yet

        doc->Buffer().InsertTextAt(nullptr, TextPosition{0, 3}, "!");
        untitled->Buffer().InsertTextAt(nullptr, TextPosition{0, 0}, "draft");
        rec.SetDelay(60000);
        rec.Poll();
        QVERIFY(RecoveryFiles(rec.Folder()).isEmpty());  // the delay has not passed
        rec.SetDelay(0);
        rec.Poll();
        QCOMPARE(RecoveryFiles(rec.Folder()).size(), 2);
        RecoveryRecord r;
        QVERIFY(ReadRecoveryFile(FsPath(rec.FileOf(doc)), r));
        QCOMPARE(QString::fromStdString(r.path), doc->PathName());
        QCOMPARE(r.text, std::string("one!\r\ntwo\r\n"));  // lines joined by CR LF, the mode kept apart
        QCOMPARE(r.lineEndMode, LineEndUnix);
        QCOMPARE(r.codePage, std::string(CodePageName(doc->Buffer().GetCodePage())));

        // An undo back to the saved state, a save and a close without saving each remove the file.
        TextPosition at;
        QVERIFY(doc->Buffer().UndoStep(&at));
        QVERIFY(!doc->IsModified());
        rec.Poll();
        QVERIFY(rec.FileOf(doc).isEmpty());
        doc->Buffer().InsertTextAt(nullptr, TextPosition{1, 0}, "x");
        rec.Poll();
        QVERIFY(!rec.FileOf(doc).isEmpty());
        QVERIFY(doc->OnSaveDocument(doc->PathName()));
        rec.Poll();
        QVERIFY(rec.FileOf(doc).isEmpty());
        fx.app->DocManager().CloseDocument(untitled);
        rec.Poll();
        QVERIFY(RecoveryFiles(rec.Folder()).isEmpty());
    }

    void killedEditorsEditsComeBack() {
        test::AppFixture fx;
        const QByteArray original("<html>\r\n<body>\r\n</body>\r\n</html>\r\n");
        QVERIFY(fx.Write("site/page.asp", original));
        const QString folder = fx.Path("recovery");
        QDir().mkpath(folder);

        // A real editor process edits the page and is killed before it saves.
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--recovery-child"), fx.channel + QStringLiteral("-child"), folder,
                     fx.Path("site/page.asp"), QString::fromUtf8("<p>caf\xc3\xa9</p>\r\n")});
        QVERIFY(child.waitForReadyRead(30000));
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("written"));
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(RecoveryFiles(folder).size(), 1);
        QCOMPARE(test::AppFixture::Read(fx.Path("site/page.asp")), original);  // the page itself untouched

        // "Decide Later" keeps the file for the next start; "Restore" opens the text as a modified page.
        {
            test::ModalDriver driver;
            driver.Click(QStringLiteral("Decide Later"));
            QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
            QVERIFY(driver.Idle());
            QCOMPARE(int(fx.app->DocManager().Documents().size()), 0);
            fx.Stop();
        }
        QCOMPARE(RecoveryFiles(folder).size(), 1);
        test::ModalDriver driver;
        driver.Click(QStringLiteral("Restore"));
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        QVERIFY(driver.Idle());
        QCOMPARE(int(fx.app->DocManager().Documents().size()), 1);
        CVeskDoc* doc = fx.app->DocManager().Documents().front().get();
        QVERIFY(doc->IsModified());
        QCOMPARE(doc->PathName(), QDir::cleanPath(fx.Path("site/page.asp")));
        // Read as the killed editor read it (its default), not as the new bytes alone would suggest.
        QCOMPARE(doc->Buffer().GetCodePage(), CodePage::Windows1252);
        QVERIFY(doc->OnSaveDocument(doc->PathName()));
        QCOMPARE(test::AppFixture::Read(fx.Path("site/page.asp")),
                 QByteArray("<html>\r\n<p>caf\xc3\xa9</p>\r\n<body>\r\n</body>\r\n</html>\r\n"));
        fx.app->Recovery()->Poll();
        QVERIFY(RecoveryFiles(folder).isEmpty());  // the dead run's file moved to this run, then went
    }

    void damagedRecordsAreRefusedWhole() {
        RecoveryRecord r;
        r.path = "/site/a\nb%.asp";
        r.title = "a";
        r.lineEndMode = LineEndMac;
        r.cursorLine = 40000;
        r.cursorChar = 3;
        r.text = std::string("x\0y\r\nz", 6);
        const std::string bytes = FormatRecoveryRecord(r);
        RecoveryRecord back;
        QVERIFY(ParseRecoveryRecord(bytes, back));
        QCOMPARE(back.path, r.path);
        QCOMPARE(back.text, r.text);
        QCOMPARE(back.cursorLine, 40000);
        for (std::size_t cut : {std::size_t(0), std::size_t(5), bytes.size() / 2, bytes.size() - 1})
            QVERIFY(!ParseRecoveryRecord(std::string_view(bytes).substr(0, cut), back));
        QVERIFY(!ParseRecoveryRecord(bytes + "more", back));
    }
};

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--recovery-child") == 0) return RunChild(argc, argv);
    QApplication app(argc, argv);
    RecoveryTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "recovery_qtest.moc"
