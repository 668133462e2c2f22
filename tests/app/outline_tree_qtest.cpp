// The outline tab of the "Project" bar in a whole application over real files: what it lists, the
// delayed refresh after edits, Save As, the sort mode, Goto Define within the page and across an
// include, and an include that cannot be found.
#include "app/CChildFrame.h"
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/CVeskDoc.h"
#include "app/OutlineTree.h"
#include "app/ProjectLink.h"
#include "platform/MemoryProfile.h"
#include "tests/support/AppFixture.h"
#include "text/CVeskView.h"

#include <QMenu>
#include <QTabWidget>
#include <QElapsedTimer>
#include <QtTest>

using namespace tarnwell;
using test::AppFixture;

namespace {

QStringList Children(QTreeWidgetItem* group) {
    QStringList names;
    for (int i = 0; group && i < group->childCount(); ++i) names << group->child(i)->text(0);
    return names;
}

QTreeWidgetItem* Find(QTreeWidget* tree, const QString& text) {
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

const QByteArray kPage =
    "<!-- #include file=\"lib.inc\" -->\r\n"
    "<!-- #include file=\"gone.inc\" -->\r\n"
    "<%\r\n"
    "Dim total\r\n"
    "Sub Zeta()\r\n"
    "End Sub\r\n"
    "Class Cart\r\n"
    "Sub Hidden()\r\n"
    "End Sub\r\n"
    "End Class\r\n"
    "Sub Alpha()\r\n"
    "End Sub\r\n"
    "%>\r\n";

}  // namespace

class OutlineTreeTest : public QObject {
    Q_OBJECT

    AppFixture fx_;
    COutlineTree* tree_ = nullptr;
    CVeskDoc* doc_ = nullptr;

    CVeskView* ViewOf(CVeskDoc* doc) { return qobject_cast<CVeskView*>(doc->Frames().first()->SourceView()); }

private slots:
    void initTestCase() {
        QCOMPARE(fx_.Start(), CEditorApp::StartResult::Running);
        CMainFrame* frame = fx_.app->MainFrame();
        frame->show();
        tree_ = frame->OutlineTree();
        QVERIFY(tree_);
        auto* tabs = frame->ProjectBar()->findChild<QTabWidget*>(QStringLiteral("ProjectTabs"));
        QVERIFY(tabs);
        QCOMPARE(tabs->indexOf(tree_), 1);
        frame->ProjectBar()->show();
        tabs->setCurrentIndex(1);
        QVERIFY(fx_.Write("lib.inc", "<%\r\n\r\nSub FromLib()\r\nEnd Sub\r\n%>\r\n"));
    }

    void init() {
        QVERIFY(fx_.Write("page.asp", kPage));
        doc_ = fx_.app->OpenDocumentFile(fx_.Path("page.asp"));
        QVERIFY(doc_);
        QTRY_VERIFY(tree_->topLevelItemCount() >= 2);
        tree_->RefreshOutlineTree();  // the tree may still show the previous test's page
    }

    void cleanup() {
        doc_->Buffer().SetDirty(false);
        fx_.app->DocManager().CloseAllDocuments();
        tree_->SetSort(COutlineTree::SortByLocation);
    }

    void listsGlobalProceduresVariablesAndIncludes() {
        QCOMPARE(tree_->topLevelItem(0)->text(0), QStringLiteral("Functions"));
        QCOMPARE(Children(tree_->topLevelItem(0)), (QStringList{"Zeta", "Alpha"}));
        QCOMPARE(Children(tree_->topLevelItem(1)), QStringList{"total"});  // no predefined objects
        QTreeWidgetItem* includes = tree_->topLevelItem(2);
        QCOMPARE(Children(includes), (QStringList{"lib.inc", "gone.inc"}));
        QCOMPARE(Children(includes->child(0)), QStringList{"FromLib"});
        QTreeWidgetItem* gone = includes->child(1);
        QVERIFY(gone->isDisabled());
        QVERIFY(gone->toolTip(0).contains("cannot be found"));
        tree_->SetSort(COutlineTree::SortByName);
        QCOMPARE(Children(tree_->topLevelItem(0)), (QStringList{"Alpha", "Zeta"}));
    }

    void refreshesHalfASecondAfterAnEditAndAfterSaveAs() {
        CVeskView* view = ViewOf(doc_);
        view->SetCursorAndClear({12, 0});
        QElapsedTimer typed;
        typed.start();
        QTest::keyClicks(view, "Sub Beta()\rEnd Sub\r");
        QTest::qWait(150);  // an idle check has seen the edit; the timer still runs
        if (typed.elapsed() < 450) QCOMPARE(Children(tree_->topLevelItem(0)).size(), 2);  // unless the machine stalled
        QTRY_COMPARE(Children(tree_->topLevelItem(0)), (QStringList{"Zeta", "Alpha", "Beta"}));
        QVERIFY(doc_->OnSaveDocument(fx_.Path("renamed.asp")));
        QTest::keyClicks(view, "Dim more\r");
        QTRY_COMPARE(Children(tree_->topLevelItem(1)), (QStringList{"total", "more"}));
    }

    void gotoDefineInThePageAndAcrossAnInclude() {
        tree_->setCurrentItem(Find(tree_, "Alpha"));
        QVERIFY(tree_->GotoDefine());
        QCOMPARE(ViewOf(doc_)->CursorPosition(), TextPosition(10, 0));
        tree_->setCurrentItem(Find(tree_, "FromLib"));
        QVERIFY(tree_->GotoDefine());
        CVeskDoc* lib = fx_.app->DocManager().Documents().back().get();
        QCOMPARE(lib->Title(), QStringLiteral("lib.inc"));
        QCOMPARE(ViewOf(lib)->CursorPosition(), TextPosition(2, 0));
        for (const char* refused : {"Functions", "gone.inc"}) {
            tree_->setCurrentItem(Find(tree_, refused));
            QVERIFY(!tree_->GotoDefine());
        }
    }

    void entriesFollowLinesMovedByAnEdit() {
        CVeskView* view = ViewOf(doc_);
        view->SetCursorAndClear({3, 0});
        QTest::keyClicks(view, "\r\r");  // no name changes, every entry below moves two lines down
        QTRY_COMPARE(Find(tree_, "Alpha")->data(0, COutlineTree::LineRole).toInt(), 12);
        QCOMPARE(Find(tree_, "Zeta")->data(0, COutlineTree::LineRole).toInt(), 6);
        QCOMPARE(Find(tree_, "total")->data(0, COutlineTree::LineRole).toInt(), 5);
        tree_->setCurrentItem(Find(tree_, "Alpha"));
        QVERIFY(tree_->GotoDefine());
        QCOMPARE(view->CursorPosition(), TextPosition(12, 0));
    }

    void virtualIncludesFromTheProjectFolder() {
        QVERIFY(fx_.Write("site/site.twp", "[General]\r\nSignature=Tarnwell\r\nVersion=1.0\r\n"));
        QVERIFY(fx_.Write("site/inc/v.inc", "<%\r\nSub FromVirtual()\r\nEnd Sub\r\n%>\r\n"));
        QVERIFY(fx_.Write("site/sub/v.asp", "<!-- #include virtual=\"/inc/v.inc\" -->\r\n<% Dim x %>\r\n"));
        CVeskDoc* page = fx_.app->OpenDocumentFile(fx_.Path("site/sub/v.asp"));
        QVERIFY(page);
        QTRY_COMPARE(Children(tree_->topLevelItem(1)), QStringList{"x"});
        QTreeWidgetItem* inc = Find(tree_, "/inc/v.inc");
        QVERIFY(inc && inc->isDisabled());  // no project: no site root
        QVERIFY(fx_.app->Project().OpenProject(fx_.Path("site/site.twp").toStdString(), false));
        tree_->RefreshOutlineTree();
        inc = Find(tree_, "/inc/v.inc");
        QVERIFY(inc && !inc->isDisabled());
        QCOMPARE(Children(inc), QStringList{"FromVirtual"});
        QCOMPARE(inc->toolTip(0), QFileInfo(fx_.Path("site/inc/v.inc")).absoluteFilePath());
        QVERIFY(fx_.app->Project().CloseProject(false));
    }

    void contextMenuOffersGotoDefineOnEntriesOnly() {
        for (auto [name, expected] : {std::pair{"Zeta", true}, std::pair{"Variables", false}}) {
            tree_->setCurrentItem(Find(tree_, name));
            QMenu* menu = tree_->BuildContextMenu();
            QCOMPARE(menu->defaultAction() != nullptr, expected);
            bool hasSort = false;
            for (QAction* a : menu->actions()) hasSort = hasSort || a->text() == QStringLiteral("&Sort by");
            QVERIFY(hasSort);
            delete menu;
        }
    }

    void sortModeIsKeptInTheSettings() {
        MemoryProfile profile;
        {
            COutlineTree tree(profile, {});
            QCOMPARE(tree.Sort(), COutlineTree::SortByLocation);
            tree.SetSort(COutlineTree::SortByName);
        }
        QCOMPARE(profile.GetInt("Outline", "Sort by", -1), 1);
        COutlineTree again(profile, {});
        QCOMPARE(again.Sort(), COutlineTree::SortByName);
    }
};

QTEST_MAIN(OutlineTreeTest)
#include "outline_tree_qtest.moc"
