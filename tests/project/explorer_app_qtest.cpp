// The explorer inside the running application: the "Project" bar holds it, files open from it as
// documents, and "Locate in Project Explorer" finds the active page's item.
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/CVeskDoc.h"
#include "app/CommandIds.h"
#include "project/CProjectTree.h"
#include "project/ProjectBar.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"
#include "ui/CSizingControlBar.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QtTest>

using namespace tarnwell;
using tarnwell::test::AppFixture;

class ExplorerAppTest : public QObject {
    Q_OBJECT

private slots:
    void openAndLocateFromTheProjectBar() {
        AppFixture fx;
        for (const char* f : {"site/index.asp", "site/sub/page.asp", "site/sub/logo.gif"}) QVERIFY(fx.Write(f, "<p>x</p>\r\n"));
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        CMainFrame* main = fx.app->MainFrame();
        CProjectBarContent* bar = main->ProjectContent();
        QVERIFY(bar && bar->parentWidget());
        QCOMPARE(bar->tabText(0), QStringLiteral(" Files "));
        CProjectTree* tree = bar->Tree();
        QVERIFY(tree->Fill(fx.Path("site").toStdString()));
        tree->SetRootText(QStringLiteral("site [%1]").arg(fx.Path("site")));

        // Open from the tree: a page becomes a document.
        ExplorerItem* page = tree->Locate(fx.Path("site/sub/page.asp").toStdString(), false);
        QVERIFY(page);
        tree->SelectOnly(page);
        tree->ExecuteCommand(explorer_cmd::Open);
        QCOMPARE(fx.app->DocManager().Documents().size(), std::size_t(1));
        QCOMPARE(fx.app->DocManager().Documents().front()->PathName(), fx.Path("site/sub/page.asp"));

        // Locate: the selection moves to the page's item, the hidden bar shows again.
        tree->SelectOnly(tree->Locate(fx.Path("site/index.asp").toStdString(), false));
        main->ProjectBar()->hide();
        main->UpdateCommands();
        QVERIFY(main->Action(cmd::LocateInProject)->isEnabled());
        QVERIFY(main->RouteCommand(cmd::LocateInProject));
        QCOMPARE(tree->FocusItem(), page);
        QCOMPARE(tree->SelectedItems(), QList<ExplorerItem*>({page}));
        QVERIFY(main->ProjectBar()->isVisible());
        if (const QString out = qEnvironmentVariable("TARNWELL_SHOTS"); !out.isEmpty())
            QVERIFY(main->grab().save(out + "/explorer_main.png"));

        // With the tree cleared (no project), the command is disabled.
        tree->Clear();
        main->UpdateCommands();
        QVERIFY(!main->Action(cmd::LocateInProject)->isEnabled());
        fx.app->DocManager().CloseAllDocuments();
    }

    void projectFillsTheTreeAndSavesRenamesAndClosesFollow() {
        AppFixture fx;
        const QString site = fx.Path(QStringLiteral("Demo"));
        QVERIFY(test::CopyFolder(QStringLiteral(TARNWELL_BIN_DIR "/Webs/Demo"), site));
        QCOMPARE(fx.Start({site + QStringLiteral("/Demo.twp")}), CEditorApp::StartResult::Running);
        CEditorApp& app = *fx.app;
        CProjectTree* tree = app.MainFrame()->ProjectContent()->Tree();
        const ExplorerItem* root = tree->Tree().Root();
        QVERIFY(root);
        QCOMPARE(tree->Model().IndexOf(root).data().toString(),
                 QStringLiteral("Demo [%1]").arg(QDir::toNativeSeparators(site)));
        QVERIFY(tree->isExpanded(tree->Model().IndexOf(root)));
        QVERIFY(ExplorerTree::Child(root, "default.asp") && !ExplorerTree::Child(root, "Demo.twp"));

        // A new page saved into the project folder appears in the tree.
        CVeskDoc* doc = app.DocManager().NewDocument();
        QVERIFY(doc);
        QVERIFY(doc->OnSaveDocument(site + QStringLiteral("/include/fresh.asp")));
        const ExplorerItem* fresh = tree->Locate((site + QStringLiteral("/include/fresh.asp")).toStdString(), false);
        QVERIFY(fresh);

        // Renaming its file in the tree renames the open document too.
        tree->BeginRename(const_cast<ExplorerItem*>(fresh));
        tree->RenameField()->setText(QStringLiteral("renamed.asp"));
        QVERIFY(tree->AcceptRename());
        QCOMPARE(doc->PathName(), site + QStringLiteral("/include/renamed.asp"));
        QVERIFY(QFile::exists(site + QStringLiteral("/include/renamed.asp")));

        // Closing the project empties the tree.
        QVERIFY(app.Project().CloseProject(true));
        QVERIFY(!tree->Tree().Root());
        QCOMPARE(tree->Model().rowCount(), 0);
    }
};

QTEST_MAIN(ExplorerAppTest)
#include "explorer_app_qtest.moc"
