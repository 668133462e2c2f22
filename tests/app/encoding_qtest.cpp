// Pages in their own code pages, in a whole application over real files: what they open as and show
// in the status bar, typing through the code page, Reopen with Encoding and Save with Encoding.
#include "app/CChildFrame.h"
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/CVeskDoc.h"
#include "app/CommandIds.h"
#include "app/Options.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"
#include "text/CCrystalEditView.h"

#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QtTest>

#include <algorithm>

using namespace tarnwell;
using test::AppFixture;
using test::ModalDriver;

namespace {

int IndexOf(CodePage cp) { return int(std::find(std::begin(kCodePages), std::end(kCodePages), cp) - std::begin(kCodePages)); }

struct Running {
    AppFixture fx;
    ModalDriver driver;
    CMainFrame* frame = nullptr;

    // `defaultEncoding`: the "Default Encoding" option stored before start-up (0: none stored).
    explicit Running(int defaultEncoding = 0) {
        fx.Start({}, [&](CEditorApp&) {
            if (defaultEncoding) fx.profile->WriteInt(kEditSection, "Default Encoding", defaultEncoding);
        });
        frame = fx.app->MainFrame();
    }
    CVeskDoc* Open(const QString& name, const QByteArray& bytes) {
        fx.Write(name, bytes);
        return fx.app->OpenDocumentFile(fx.Path(name));
    }
    QString Pane() {
        frame->UpdateCommands();
        return frame->PaneText(cmd::IndicatorEncoding);
    }
    bool Route(int id) {
        frame->UpdateCommands();
        return frame->RouteCommand(id);
    }
    bool Enabled(int id) {
        frame->UpdateCommands();
        return frame->Action(id)->isEnabled();
    }
};

CCrystalEditView* ViewOf(CVeskDoc* doc) { return qobject_cast<CCrystalEditView*>(doc->Frames().first()->SourceView()); }

QString LineText(CVeskDoc* doc, int line) {
    const CCrystalTextBuffer& b = doc->Buffer();
    return ViewOf(doc)->TextToUnicode(std::string(b.LineChars(line)));
}

const QByteArray kPrivet1251("\xCF\xF0\xE8\xE2\xE5\xF2");  // Привет

}  // namespace

class EncodingTest : public QObject {
    Q_OBJECT

private slots:
    void pagesOpenAndTypeInTheirCodePage_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("defaultEncoding");
        QTest::addColumn<QString>("pane");
        QTest::addColumn<QString>("shown");      // the last line as the view shows it
        QTest::addColumn<QString>("typed");      // typed at the end; a refused character changes nothing
        QTest::addColumn<QByteArray>("written");  // what typing added to the file
        QTest::newRow("Cyrillic forum page") << QByteArray("<%@ CODEPAGE=1251 %>\r\n") + kPrivet1251 << 0
                                             << "windows-1251" << QString::fromUtf8("Привет")
                                             << QString::fromUtf8("жé") << QByteArray("\xE6");
        QTest::newRow("Windows-1252 page") << QByteArray("<meta charset=\"windows-1252\">\r\nCaf\xE9") << 0
                                           << "windows-1252" << QString::fromUtf8("Café")
                                           << QString::fromUtf8("éЖ") << QByteArray("\xE9");
        QTest::newRow("UTF-8 page") << QByteArray("<%@ CODEPAGE=65001 %>\r\nplain") << 0 << "utf-8" << "plain"
                                    << QString::fromUtf8("é€") << QByteArray("\xC3\xA9\xE2\x82\xAC");
        QTest::newRow("declared UTF-8, holds Windows-1252")
            << QByteArray("<%@ CODEPAGE=65001 %>\r\nCaf\xE9") << 0 << "declared utf-8, read as windows-1252"
            << QString::fromUtf8("Café") << QString::fromUtf8("é") << QByteArray("\xE9");
        QTest::newRow("no declaration: the option") << QByteArray("<p>\r\nplain") << 1250 << "windows-1250" << "plain"
                                                    << QString::fromUtf8("ő") << QByteArray("\xF5");
    }
    void pagesOpenAndTypeInTheirCodePage() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, defaultEncoding);
        QFETCH(QString, pane);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(QByteArray, written);
        Running r(defaultEncoding);
        CVeskDoc* doc = r.Open("page.asp", bytes);
        QVERIFY(doc);
        QCOMPARE(r.Pane(), pane);
        QCOMPARE(LineText(doc, doc->Buffer().LineCount() - 1), shown);

        CCrystalEditView* view = ViewOf(doc);
        view->MoveTextEnd(false);
        view->TypeText(typed);
        // The last typed character of the first two pages is refused with a status-bar message.
        if (QTest::currentDataTag() == QByteArray("Cyrillic forum page") ||
            QTest::currentDataTag() == QByteArray("Windows-1252 page"))
            QVERIFY(r.frame->statusBar()->currentMessage().startsWith(pane + " cannot hold"));
        QVERIFY(r.Route(cmd::FileSave));
        QCOMPARE(AppFixture::Read(r.fx.Path("page.asp")), bytes + written);
    }

    void reopenWithEncodingReReadsTheSameBytes() {
        Running r;
        const QByteArray bytes = "<p>\r\n" + kPrivet1251;
        CVeskDoc* doc = r.Open("forum.asp", bytes);
        QVERIFY(doc);
        QCOMPARE(r.Pane(), QString("windows-1252"));
        QCOMPARE(LineText(doc, 1), QString::fromUtf8("Ïðèâåò"));
        const int reopen1251 = cmd::ReopenWithEncodingFirst + IndexOf(CodePage::Windows1251);
        const int reopen1252 = cmd::ReopenWithEncodingFirst + IndexOf(CodePage::Windows1252);
        QVERIFY(r.Route(reopen1251));
        QCOMPARE(r.Pane(), QString("windows-1251"));
        QCOMPARE(LineText(doc, 1), QString::fromUtf8("Привет"));
        QVERIFY(r.frame->Action(reopen1251)->isChecked());
        QVERIFY(!doc->IsModified());

        // With changes: the question; No keeps everything, Yes reloads the file in the new code page.
        ViewOf(doc)->MoveTextEnd(false);
        ViewOf(doc)->TypeText(QString::fromUtf8("ы"));
        QVERIFY(doc->IsModified());
        r.driver.Click("No");
        QVERIFY(r.Route(reopen1252));
        QVERIFY(r.driver.Seen().last().contains("Reopen it with windows-1252"));
        QCOMPARE(LineText(doc, 1), QString::fromUtf8("Приветы"));
        r.driver.Click("Yes");
        QVERIFY(r.Route(reopen1252));
        QVERIFY(!doc->IsModified());
        QCOMPARE(r.Pane(), QString("windows-1252"));
        QCOMPARE(LineText(doc, 1), QString::fromUtf8("Ïðèâåò"));
        QCOMPARE(AppFixture::Read(r.fx.Path("forum.asp")), bytes);

        // An untitled page has no file to reopen.
        QVERIFY(r.Route(cmd::FileNew));
        QVERIFY(!r.Enabled(reopen1251));
        QVERIFY(r.Enabled(cmd::SaveWithEncodingFirst));
    }

    void saveWithEncodingConvertsOrRefuses() {
        Running r;
        const QByteArray bytes = "<%@ CODEPAGE=1251 %>\r\n" + kPrivet1251 + " \xE9";  // Привет й
        CVeskDoc* doc = r.Open("forum.asp", bytes);
        QVERIFY(doc);
        CCrystalEditView* view = ViewOf(doc);
        view->SetCursorAndClear(TextPosition(1, 6));  // after Привет

        // Windows-1252 cannot hold Cyrillic: refused with the characters named, nothing written.
        r.driver.Click("OK");
        QVERIFY(r.Route(cmd::SaveWithEncodingFirst + IndexOf(CodePage::Windows1252)));
        QVERIFY(r.driver.Seen().last().contains(QString::fromUtf8("П (U+041F)")));
        QCOMPARE(AppFixture::Read(r.fx.Path("forum.asp")), bytes);
        QCOMPARE(r.Pane(), QString("windows-1251"));

        // UTF-8 holds everything; the page declares 1251, so it asks first. No changes nothing.
        const int saveUtf8 = cmd::SaveWithEncodingFirst + IndexOf(CodePage::Utf8);
        r.driver.Click("No");
        QVERIFY(r.Route(saveUtf8));
        QVERIFY(r.driver.Seen().last().contains("declares its encoding as windows-1251"));
        QCOMPARE(AppFixture::Read(r.fx.Path("forum.asp")), bytes);
        r.driver.Click("Yes");
        QVERIFY(r.Route(saveUtf8));
        QCOMPARE(AppFixture::Read(r.fx.Path("forum.asp")),
                 QByteArray("<%@ CODEPAGE=1251 %>\r\n") + QString::fromUtf8("Привет й").toUtf8());
        QVERIFY(!doc->IsModified());
        QCOMPARE(r.Pane(), QString("utf-8"));
        QCOMPARE(view->CursorPosition(), TextPosition(1, 12));  // still after Привет
    }

    void encodingPaneOpensTheEncodingCommands() {
        Running r;
        QVERIFY(r.Open("page.htm", "<p>x</p>"));
        r.frame->show();
        auto* pane = r.frame->statusBar()->findChild<QLabel*>(QStringLiteral("Pane%1").arg(cmd::IndicatorEncoding));
        QVERIFY(pane);
        QTRY_COMPARE(pane->text(), QString("windows-1252"));
        QTest::mouseClick(pane, Qt::LeftButton);
        QMenu* menu = r.frame->EncodingMenu();
        QTRY_VERIFY(menu->isVisible());
        QStringList titles;
        for (QAction* a : menu->actions()) titles << a->text();
        QCOMPARE(titles, QStringList({"&Reopen with Encoding", "Sa&ve with Encoding"}));
        QCOMPARE(menu->actions().first()->menu()->actions().size(), int(std::size(kCodePages)));
        QCOMPARE(r.frame->Action(cmd::SaveWithEncodingFirst + IndexOf(CodePage::Windows1251))->text(),
                 QString("Cyrillic (Windows-1251)"));
        menu->close();
    }
};

QTEST_MAIN(EncodingTest)
#include "encoding_qtest.moc"
