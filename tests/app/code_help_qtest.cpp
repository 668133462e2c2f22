// The page editor's code help in a whole application over real files: the member list on ".", its
// keys and accept as one undo step, the parameter tip following the caret, the outline kept in step
// with edits and renames, and opening included files.
#include "app/CChildFrame.h"
#include "app/CEditorDocManager.h"
#include "app/CVeskDoc.h"
#include "app/ProjectLink.h"
#include "lang/OutlineStore.h"
#include "tests/support/AppFixture.h"
#include "text/CodePopups.h"
#include "text/CVeskView.h"

#include <QScrollBar>
#include <QtTest>

using namespace tarnwell;
using test::AppFixture;

namespace {

QByteArray LineOf(CVeskView* view, int line) { return QByteArray(view->LineText(line), view->LineLength(line)); }

}  // namespace

class CodeHelpTest : public QObject {
    Q_OBJECT

    AppFixture fx_;
    CVeskDoc* doc_ = nullptr;
    CVeskView* view_ = nullptr;

    // Opens `name` holding `text` and puts the caret at (line, ch) with the keyboard in the view.
    CVeskView* Open(const QString& name, const QByteArray& text, int line, int ch) {
        if (!fx_.Write(name, text)) return nullptr;
        doc_ = fx_.app->OpenDocumentFile(fx_.Path(name));
        if (!doc_) return nullptr;
        view_ = qobject_cast<CVeskView*>(doc_->Frames().first()->SourceView());
        QWidget* main = view_->window();
        main->show();
        main->activateWindow();
        if (!QTest::qWaitForWindowActive(main)) return nullptr;
        view_->setFocus();
        view_->SetCursorAndClear({line, ch});
        return view_->hasFocus() ? view_ : nullptr;
    }

private slots:
    void initTestCase() { QCOMPARE(fx_.Start(), CEditorApp::StartResult::Running); }

    void cleanup() {
        for (const auto& d : fx_.app->DocManager().Documents()) d->Buffer().SetDirty(false);
        fx_.app->DocManager().CloseAllDocuments();
        doc_ = nullptr;
        view_ = nullptr;
    }

    void listOpensOnDotAndFiltersWhileTyping() {
        QVERIFY(Open("a.asp", "<%\r\n\r\n%>\r\n", 1, 0));
        QTest::keyClicks(view_, "Response.");
        QVERIFY(view_->MemberListShown());
        CMemberListPopup* list = view_->MemberListPopup();
        QVERIFY(list->Count() > 5);
        QTest::keyClicks(view_, "wr");
        QCOMPARE(list->ItemText(list->Selection()), QStringLiteral("Write"));
        QCOMPARE(list->Hint(), -1);
        QVERIFY(view_->hasFocus());
        QVERIFY(!list->isActiveWindow());
        // A word no member starts with: the longest matching prefix is framed, nothing selected.
        QTest::keyClicks(view_, "q");
        QCOMPARE(list->Selection(), -1);
        QCOMPARE(list->ItemText(list->Hint()), QStringLiteral("Write"));
        QTest::keyClick(view_, Qt::Key_Return);  // only closes
        QVERIFY(!view_->MemberListShown());
        QCOMPARE(LineOf(view_, 1), QByteArray("Response.wrq"));
    }

    void acceptKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("tab") << int(Qt::Key_Tab) << QString() << QByteArray("Response.Write");
        QTest::newRow("enter") << int(Qt::Key_Return) << QString() << QByteArray("Response.Write");
        QTest::newRow("space") << 0 << QStringLiteral(" ") << QByteArray("Response.Write ");
        QTest::newRow("paren") << 0 << QStringLiteral("(") << QByteArray("Response.Write(");
        QTest::newRow("escape") << int(Qt::Key_Escape) << QString() << QByteArray("Response.wr");
        QTest::newRow("backspace past the word") << 0 << QStringLiteral("\b\b\b")
                                                 << QByteArray("Response");
    }

    void acceptKeys() {
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(QByteArray, line);
        QVERIFY(Open("b.asp", "<%\r\n\r\n%>\r\n", 1, 0));
        QTest::keyClicks(view_, "Response.wr");
        QVERIFY(view_->MemberListShown());
        if (key) QTest::keyClick(view_, Qt::Key(key));
        for (QChar c : typed) {
            if (c == '\b') QTest::keyClick(view_, Qt::Key_Backspace);
            else QTest::keyClicks(view_, QString(c));
        }
        QCOMPARE(LineOf(view_, 1), line);
        QVERIFY(!view_->MemberListShown());
        QVERIFY(view_->hasFocus());
    }

    void acceptIsOneUndoStep() {
        QVERIFY(Open("c.asp", "<%\r\n\r\n%>\r\n", 1, 0));
        QTest::keyClicks(view_, "Response.wr");
        QTest::keyClick(view_, Qt::Key_Tab);
        QCOMPARE(LineOf(view_, 1), QByteArray("Response.Write"));
        view_->Undo();
        QCOMPARE(LineOf(view_, 1), QByteArray("Response.wr"));
    }

    void listsCreatedObjectsAndPageNames_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("member");
        QTest::newRow("created object") << QByteArray("<%\r\nSet rs = Server.CreateObject(\"ADODB.Recordset\")\r\n\r\n%>")
                                        << "rs.movef" << "MoveFirst";
        QTest::newRow("page class") << QByteArray("<%\r\nClass Cart\r\nSub AddItem(x)\r\nEnd Sub\r\nEnd Class\r\n"
                                                  "Set c = New Cart\r\n\r\n%>")
                                    << "c.a" << "AddItem";
        QTest::newRow("include") << QByteArray("<!-- #include file=\"lib.inc\" -->\r\n<%\r\n\r\n%>") << "" << "LibHelper";
    }

    void listsCreatedObjectsAndPageNames() {
        QFETCH(QByteArray, page);
        QFETCH(QString, typed);
        QFETCH(QString, member);
        QVERIFY(fx_.Write("lib.inc", "<%\r\nSub LibHelper(a)\r\nEnd Sub\r\n%>\r\n"));
        const int line = page.count("\r\n") - 1;
        QVERIFY(Open("d.asp", page, line, 0));
        QTest::keyClicks(view_, typed);
        if (typed.isEmpty()) QTest::keyClick(view_, Qt::Key_M, Qt::ControlModifier);  // the global names
        QVERIFY(view_->MemberListShown());
        CMemberListPopup* list = view_->MemberListPopup();
        bool found = false;
        for (int i = 0; i < list->Count(); ++i) found = found || list->ItemText(i) == member;
        QVERIFY2(found, qPrintable(member));
        if (!typed.isEmpty()) QCOMPARE(list->ItemText(list->Selection()), member);
        // Up to ten names show whole: no scroll bar eats the width made for them.
        if (list->Count() <= 10) QVERIFY(!list->List()->verticalScrollBar()->isVisible());
    }

    void nothingOutsideScriptOrInHtmlPages_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<int>("line");
        QTest::newRow("outside the script") << "e.asp" << QByteArray("<%\r\n%>\r\n\r\n") << 2;
        QTest::newRow("html page") << "e.htm" << QByteArray("<%\r\n\r\n%>\r\n") << 1;
    }

    void nothingOutsideScriptOrInHtmlPages() {
        QFETCH(QString, name);
        QFETCH(QByteArray, page);
        QFETCH(int, line);
        QVERIFY(Open(name, page, line, 0));
        QTest::keyClicks(view_, "Response.");
        QVERIFY(!view_->MemberListShown());
        QTest::keyClicks(view_, "Write ");
        QVERIFY(!view_->ParameterTipShown());
    }

    void tipFollowsTheCaretAcrossParameters() {
        QVERIFY(Open("f.asp", "<%\r\nSub Foo(first, second)\r\nEnd Sub\r\n\r\n%>\r\n", 3, 0));
        QTest::keyClicks(view_, "Call Foo(");
        QVERIFY(view_->ParameterTipShown());
        CParameterTip* tip = view_->ParameterTipPopup();
        QCOMPARE(tip->Pieces(), (std::vector<std::string>{"Foo (", "first, ", "second)"}));
        QCOMPARE(tip->Current(), 0);
        QTest::keyClicks(view_, "\"a,b\"");
        QCOMPARE(tip->Current(), 0);  // a comma inside a string does not count
        QTest::keyClicks(view_, ", (1,2)");
        QCOMPARE(tip->Current(), 1);  // nor one inside parentheses
        QTest::keyClick(view_, Qt::Key_Home);  // the caret leaves the call
        QVERIFY(!view_->ParameterTipShown());
        view_->SetCursorAndClear({3, view_->LineLength(3)});
        QTest::keyClick(view_, Qt::Key_I, Qt::ControlModifier);
        QVERIFY(view_->ParameterTipShown());
        QCOMPARE(tip->Current(), 1);
        QTest::keyClicks(view_, "x)");
        QVERIFY(!view_->ParameterTipShown());
    }

    void popupsCloseWhenTheEditorLosesFocus() {
        QVERIFY(Open("g.asp", "<%\r\n\r\n%>\r\n", 1, 0));
        QTest::keyClicks(view_, "Response.Write ");
        QVERIFY(view_->ParameterTipShown());
        QTest::keyClicks(view_, "Response.");
        QVERIFY(view_->MemberListShown());
        QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
        QApplication::sendEvent(view_, &out);
        QVERIFY(!view_->MemberListShown());
        QVERIFY(!view_->ParameterTipShown());
    }

    void outlineFollowsEditsAndRenames() {
        QVERIFY(Open("h.asp", "<%\r\nSub One()\r\nEnd Sub\r\n%>\r\n", 3, 0));
        OutlineSource* outline = view_->PageOutline();
        QVERIFY(outline);
        QCOMPARE(outline->Outline().procedures.size(), size_t(1));
        QTest::keyClicks(view_, "Sub Two()\rEnd Sub\r");
        QVERIFY(outline->NeedsRebuild());
        QCOMPARE(view_->PageOutline(), outline);
        QCOMPARE(outline->Outline().procedures.size(), size_t(2));
        // Save As: the outline moves to the new name.
        QVERIFY(doc_->OnSaveDocument(fx_.Path("renamed.asp")));
        ProjectLink& project = fx_.app->Project();
        QVERIFY(!project.GetOutlineData(fx_.Path("h.asp").toStdString()));
        QCOMPARE(project.GetOutlineData(fx_.Path("renamed.asp").toStdString()), outline);
    }

    void includeNavigation_data() {
        QTest::addColumn<QByteArray>("directive");
        QTest::addColumn<bool>("project");
        QTest::addColumn<QString>("opened");
        QTest::newRow("file") << QByteArray("<!-- #include file=\"inc/lib.inc\" -->") << false << "site/inc/lib.inc";
        QTest::newRow("file upwards") << QByteArray("<!--#include file=\"../top.inc\"-->") << false << "top.inc";
        QTest::newRow("none") << QByteArray("<p>no directive</p>") << false << "";
        QTest::newRow("virtual from the project folder") << QByteArray("<!-- #include virtual=\"/inc/lib.inc\" -->") << true
                                                         << "site/inc/lib.inc";
        QTest::newRow("virtual without a project") << QByteArray("<!-- #include virtual=\"/inc/lib.inc\" -->") << false << "";
        QTest::newRow("virtual above the site root") << QByteArray("<!-- #include virtual=\"/../top.inc\" -->") << true << "";
    }

    void includeNavigation() {
        QFETCH(QByteArray, directive);
        QFETCH(bool, project);
        QFETCH(QString, opened);
        QVERIFY(fx_.Write("site/inc/lib.inc", "<% x = 1 %>\r\n"));
        QVERIFY(fx_.Write("top.inc", "<% y = 1 %>\r\n"));
        QVERIFY(fx_.Write("site/site.twp", "[General]\r\nSignature=Tarnwell\r\nVersion=1.0\r\n"));
        if (project) QVERIFY(fx_.app->Project().OpenProject(fx_.Path("site/site.twp").toStdString(), false));
        QVERIFY(Open("site/page.asp", directive + "\r\n", 0, 3));
        const size_t before = fx_.app->DocManager().Documents().size();
        QTest::keyClick(view_, Qt::Key_Return, Qt::ControlModifier);
        const size_t after = fx_.app->DocManager().Documents().size();
        const QString last = fx_.app->DocManager().Documents().back()->PathName();
        if (project) QVERIFY(fx_.app->Project().CloseProject(false));
        if (opened.isEmpty()) {
            QCOMPARE(after, before);
            QCOMPARE(view_->LineCount(), 2);  // Ctrl+Enter did not type a line end
            return;
        }
        QCOMPARE(after, before + 1);
        QCOMPARE(last, QFileInfo(fx_.Path(opened)).absoluteFilePath());
    }

    void gotoDefinition_data() {
        QTest::addColumn<QByteArray>("typed");  // on the page's last script line, caret at its end
        QTest::addColumn<QString>("file");      // the file shown afterwards: "" for the page itself
        QTest::addColumn<int>("line");          // -1: nothing happens
        QTest::newRow("procedure of the page") << QByteArray("Call Local") << "" << 2;
        QTest::newRow("class procedure") << QByteArray("c.AddItem") << "" << 5;
        QTest::newRow("procedure of an include") << QByteArray("x = LibHelper") << "lib.inc" << 1;
        QTest::newRow("variable of an include") << QByteArray("x = libCount") << "lib.inc" << 4;
        QTest::newRow("unknown") << QByteArray("x = nowhere") << "" << -1;
    }

    void gotoDefinition() {
        QFETCH(QByteArray, typed);
        QFETCH(QString, file);
        QFETCH(int, line);
        QVERIFY(fx_.Write("lib.inc", "<%\r\nSub LibHelper(a)\r\nEnd Sub\r\n\r\nDim libCount\r\n%>\r\n"));
        const QByteArray page = "<!-- #include file=\"lib.inc\" -->\r\n<%\r\nSub Local()\r\nEnd Sub\r\nClass Cart\r\n"
                                "Sub AddItem(x)\r\nEnd Sub\r\nEnd Class\r\nSet c = New Cart\r\n" + typed + "\r\n%>\r\n";
        QVERIFY(Open("g.asp", page, 9, typed.size()));
        const size_t before = fx_.app->DocManager().Documents().size();
        QTest::keyClick(view_, Qt::Key_F12, Qt::ControlModifier);
        if (line < 0) {
            QCOMPARE(view_->CursorPosition(), TextPosition(9, int(typed.size())));
            QCOMPARE(fx_.app->DocManager().Documents().size(), before);
            return;
        }
        if (file.isEmpty()) {
            QCOMPARE(view_->CursorPosition(), TextPosition(line, 0));
            QCOMPARE(fx_.app->DocManager().Documents().size(), before);
            return;
        }
        CVeskDoc* shown = fx_.app->DocManager().Documents().back().get();
        QCOMPARE(shown->PathName(), QFileInfo(fx_.Path(file)).absoluteFilePath());
        auto* other = qobject_cast<CVeskView*>(shown->Frames().first()->SourceView());
        QCOMPARE(other->CursorPosition(), TextPosition(line, 0));
        QVERIFY(other->hasFocus());
    }

    void tipFollowsTypingInsideAOneLineBlock() {
        // The block's end moves right with every key; the page's outline is not rebuilt per key.
        QVERIFY(Open("t.asp", "<%\r\nSub Foo(a, b, c)\r\nEnd Sub\r\n%>\r\n<p><% Call Foo( %></p>\r\n", 4, 15));
        OutlineSource* outline = view_->PageOutline();
        QVERIFY(outline);
        QTest::keyClick(view_, Qt::Key_I, Qt::ControlModifier);
        QVERIFY(view_->ParameterTipShown());
        CParameterTip* tip = view_->ParameterTipPopup();
        QTest::keyClicks(view_, "first,");
        QVERIFY(view_->ParameterTipShown());
        QCOMPARE(tip->Current(), 1);
        QVERIFY(outline->NeedsRebuild());  // reused while typing on the line
        QTest::keyClicks(view_, " \"x,y\", ");
        QCOMPARE(tip->Current(), 2);
        QTest::keyClicks(view_, "z)");
        QVERIFY(!view_->ParameterTipShown());
        QCOMPARE(LineOf(view_, 4), QByteArray("<p><% Call Foo(first, \"x,y\", z) %></p>"));
        // A new line is a change beyond the caret's line: the next tip comes from a rebuilt outline.
        QTest::keyClick(view_, Qt::Key_End);
        QTest::keyClicks(view_, "\r<% Foo 1, ");
        QVERIFY(view_->ParameterTipShown());
        QCOMPARE(tip->Current(), 1);
    }
};

QTEST_MAIN(CodeHelpTest)
#include "code_help_qtest.moc"
