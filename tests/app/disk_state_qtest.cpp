// One document per file, files changed or deleted by other programs, and save faults as the user sees them.
#include "app/CChildFrame.h"
#include "app/CEditorDocManager.h"
#include "app/CVeskDoc.h"
#include "app/SourceView.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <cerrno>
#include <cstring>

using namespace tarnwell;

namespace {

int FailWrites(SaveStep step) { return step == SaveStep::Write ? ENOSPC : 0; }

}  // namespace

class DiskStateTest : public QObject {
    Q_OBJECT
private slots:
    void aFileIsOneDocumentWhateverThePath() {
        test::AppFixture fx;
        QVERIFY(fx.Write("site/page.asp", "<html>\r\n"));
        QVERIFY(QFile::link(fx.Path("site/page.asp"), fx.Path("link.asp")));
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        CVeskDoc* doc = fx.app->OpenDocumentFile(fx.Path("site/page.asp"));
        QVERIFY(doc);
        QCOMPARE(fx.app->OpenDocumentFile(fx.Path("link.asp")), doc);
        QCOMPARE(fx.app->OpenDocumentFile(fx.Path("site/../site/./page.asp")), doc);
        QCOMPARE(int(fx.app->DocManager().Documents().size()), 1);
    }

    void otherProgramsChangesAreNeverLostOrOverwritten() {
        test::AppFixture fx;
        QVERIFY(fx.Write("a.asp", "one\r\ntwo\r\nthree\r\n"));
        QVERIFY(fx.Write("b.asp", "mine\r\n"));
        QVERIFY(fx.Write("c.asp", "gone\r\n"));
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        CEditorDocManager& docs = fx.app->DocManager();
        CVeskDoc* a = fx.app->OpenDocumentFile(fx.Path("a.asp"));
        CVeskDoc* b = fx.app->OpenDocumentFile(fx.Path("b.asp"));
        CVeskDoc* c = fx.app->OpenDocumentFile(fx.Path("c.asp"));
        QVERIFY(a && b && c);
        SetSourceViewCursor(a->Frames().first()->SourceView(), TextPosition{2, 1});
        b->Buffer().InsertTextAt(nullptr, TextPosition{0, 0}, "edited ");

        QVERIFY(fx.Write("a.asp", "ONE\r\nTWO\r\nTHREE\r\nFOUR\r\n"));
        QVERIFY(fx.Write("b.asp", "theirs, longer\r\n"));
        QVERIFY(QFile::remove(fx.Path("c.asp")));
        test::ModalDriver driver;
        driver.Click(QStringLiteral("Yes"));  // reload a.asp; b.asp is modified and not asked about
        docs.CheckFilesOnDisk();
        QVERIFY(driver.Idle());
        QCOMPARE(driver.Seen().size(), 1);
        QCOMPARE(QByteArray::fromStdString(a->Buffer().Text()), QByteArray("ONE\r\nTWO\r\nTHREE\r\nFOUR\r\n"));
        QCOMPARE(SourceViewCursor(a->Frames().first()->SourceView()).line, 2);
        QVERIFY(!a->IsModified());
        QVERIFY(c->IsModified());  // closing it asks to save
        docs.CheckFilesOnDisk();
        QCOMPARE(driver.Seen().size(), 1);  // each change is asked about once

        // Saving over another program's change asks first; No keeps their bytes.
        driver.Click(QStringLiteral("No"));
        QVERIFY(!b->DoFileSave());
        QVERIFY(driver.Seen().last().contains(QStringLiteral("has changed on disk since it was opened; overwrite?")));
        QCOMPARE(test::AppFixture::Read(fx.Path("b.asp")), QByteArray("theirs, longer\r\n"));
        QVERIFY(b->IsModified());
        driver.Click(QStringLiteral("Yes"));
        QVERIFY(b->DoFileSave());
        QCOMPARE(test::AppFixture::Read(fx.Path("b.asp")), QByteArray("edited mine\r\n"));
    }

    void aFailedSaveNamesTheFileAndTheReason() {
        test::AppFixture fx;
        QVERIFY(fx.Write("a.asp", "original\r\n"));
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        CVeskDoc* a = fx.app->OpenDocumentFile(fx.Path("a.asp"));
        a->Buffer().InsertTextAt(nullptr, TextPosition{0, 0}, "x");
        test::ModalDriver driver;
        driver.Click(QStringLiteral("OK"));
        SetSaveFaultHook(FailWrites);
        const bool saved = a->DoFileSave();
        SetSaveFaultHook(nullptr);
        QVERIFY(!saved);
        QVERIFY(driver.Seen().last().contains(QDir::toNativeSeparators(fx.Path("a.asp"))));
        QVERIFY(driver.Seen().last().contains(QString::fromLocal8Bit(std::strerror(ENOSPC))));
        QVERIFY(a->IsModified());
        QCOMPARE(test::AppFixture::Read(fx.Path("a.asp")), QByteArray("original\r\n"));
        QCOMPARE(QDir(fx.dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files).size(), 0);
    }
};

QTEST_MAIN(DiskStateTest)
#include "disk_state_qtest.moc"
