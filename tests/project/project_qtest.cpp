// The project model in the whole program: opening the demo project with its remembered files, closing
// and reopening with selections, header failures, the Remember Open Files switch, refused closes,
// reload, renames, and "Last Project" at start-up.
#include "app/CChildFrame.h"
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/CVeskDoc.h"
#include "app/CommandIds.h"
#include "app/Options.h"
#include "lang/OutlineStore.h"
#include "project/CProject.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"
#include "text/CCrystalTextView.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMdiArea>
#include <QProgressBar>
#include <QtTest>

#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#endif

using namespace tarnwell;
using test::AppFixture;
using test::ModalDriver;

namespace {

QString DemoCopy(AppFixture& fx) {
    const QString site = fx.Path(QStringLiteral("Demo"));
    test::CopyFolder(QStringLiteral(TARNWELL_BIN_DIR "/Webs/Demo"), site);
    return site;
}

QStringList OpenPaths(CEditorApp& app) {
    QStringList out;
    for (const auto& d : app.DocManager().Documents()) out << d->PathName();
    return out;
}

CCrystalTextView* ViewOf(CVeskDoc* doc) {
    return doc && !doc->Frames().isEmpty() ? qobject_cast<CCrystalTextView*>(doc->Frames().first()->SourceView())
                                           : nullptr;
}

CVeskDoc* ActiveDoc(CEditorApp& app) {
    CChildFrame* f = app.MainFrame()->ActiveChild();
    return f ? f->Document() : nullptr;
}

// A tree that records what the model asks of it.
struct RecordingTree : ProjectTree {
    QStringList calls;
    bool Fill(const std::string& folder, const std::function<void(int)>& progress) override {
        progress(50);
        calls << "fill " + QString::fromStdString(folder);
        return true;
    }
    void SetRootText(const QString& text) override { calls << "root " + text; }
    void Clear() override { calls << "clear"; }
    void ShowFile(const std::string& path) override { calls << "show " + QString::fromStdString(path); }
};

}  // namespace

class ProjectTest : public QObject {
    Q_OBJECT
private slots:
    void demoProjectReopensItsFilesWithSelections() {
        AppFixture fx;
        const QString site = DemoCopy(fx);
        const QString twp = site + "/Demo.twp";
        QCOMPARE(fx.Start({twp}), CEditorApp::StartResult::Running);
        CEditorApp& app = *fx.app;
        ProjectLink& project = app.Project();
        QVERIFY(project.IsOpen());
        QCOMPARE(QString::fromStdString(project.ProjectFilePath()), twp);
        QCOMPARE(project.ProjectName(), std::string("Demo"));
        QCOMPARE(project.WebPath(), std::string("http://localhost/Demo"));
        QCOMPARE(OpenPaths(app), (QStringList{site + "/default.asp", site + "/contact.asp"}));
        QCOMPARE(ActiveDoc(app)->PathName(), site + "/default.asp");  // "Last Active File"
        app.MainFrame()->UpdateCommands();
        QVERIFY(app.MainFrame()->Action(cmd::CloseProject)->isEnabled());
        QVERIFY(!app.MainFrame()->Progress()->isVisible());
        QCOMPARE(app.MainFrame()->findChild<QLabel*>("MessagePane")->text(), QString("Ready"));

        // A page of 40000 lines with a selection far down, and an untitled page.
        QByteArray big;
        for (int i = 0; i < 40010; ++i) big += "line " + QByteArray::number(i) + "\r\n";
        fx.Write("Demo/big, \"odd\".asp", big);
        CVeskDoc* bigDoc = app.DocManager().OpenDocumentFile(site + "/big, \"odd\".asp");
        QVERIFY(bigDoc);
        ViewOf(bigDoc)->SelectRange({40000, 2}, {40001, 4});
        app.DocManager().NewDocument();
        app.DocManager().OpenDocumentFile(site + "/contact.asp");  // activates the open one
        ViewOf(ActiveDoc(app))->SelectRange({1, 0}, {2, 3});

        QVERIFY(project.CloseProject(true));
        QVERIFY(!project.IsOpen());
        QVERIFY(app.DocManager().Documents().empty());
        const QByteArray written = AppFixture::Read(twp);
        QVERIFY2(written.contains("Last Active File=1\r\nTotal Open Files=3\r\n[Open Files]\r\n"), written);
        QVERIFY2(written.contains("File 2=\"" + (site + "/big, \"odd\".asp").toUtf8() + "\",2621440002,2621505540"),
                 written);

        QVERIFY(project.OpenProject(twp.toStdString(), true));
        QCOMPARE(OpenPaths(app).size(), 3);
        QCOMPARE(ActiveDoc(app)->PathName(), site + "/contact.asp");
        CCrystalTextView* view = ViewOf(app.DocManager().FindDocument(site + "/big, \"odd\".asp"));
        QVERIFY(view);
        QCOMPARE(view->SelectionFrom(), TextPosition(40000, 2));
        QCOMPARE(view->SelectionTo(), TextPosition(40001, 4));
        QCOMPARE(view->CursorPosition(), TextPosition(40001, 4));
        QVERIFY(view->FirstVisibleLine() > 39000);
        fx.app->MainFrame()->close();
        QCOMPARE(fx.profile->GetString("Project", "Last Project"), twp.toStdString());
    }

    void openAndCloseProjectCommands() {
        AppFixture fx;
        const QString site = DemoCopy(fx);
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        CMainFrame* f = fx.app->MainFrame();
        f->UpdateCommands();
        QVERIFY(f->Action(cmd::OpenProject)->isEnabled());
        QVERIFY(!f->Action(cmd::CloseProject)->isEnabled());
        QCOMPARE(f->Action(cmd::OpenProject)->shortcut(), QKeySequence("Ctrl+Shift+O"));
        ModalDriver driver;
        QStringList filters;
        driver.Then([&](QWidget* w) {
            auto* dlg = qobject_cast<QFileDialog*>(w);
            QVERIFY(dlg);
            filters = dlg->nameFilters();
            dlg->selectFile(site + "/Demo.twp");
            static_cast<QDialog*>(dlg)->accept();  // as the OK button does
        });
        QVERIFY(f->RouteCommand(cmd::OpenProject));
        QCOMPARE(filters, (QStringList{"Project Files(*.twp) (*.twp)", "All Files (*.*) (*)"}));
        QVERIFY(fx.app->Project().IsOpen());
        QCOMPARE(OpenPaths(*fx.app).size(), 2);
        // The next Open File dialog starts in the project folder, once.
        QString folder;
        driver.Then([&](QWidget* w) {
            folder = qobject_cast<QFileDialog*>(w)->directory().absolutePath();
            qobject_cast<QDialog*>(w)->reject();
        });
        QVERIFY(f->RouteCommand(cmd::FileOpen));
        QCOMPARE(folder, site);
        f->UpdateCommands();
        QVERIFY(f->Action(cmd::CloseProject)->isEnabled());
        QVERIFY(f->RouteCommand(cmd::CloseProject));
        QVERIFY(!fx.app->Project().IsOpen());
        QVERIFY(fx.app->DocManager().Documents().empty());
        QCOMPARE(driver.Unexpected(), 0);
    }

    void headerFailuresChangeNothing() {
        AppFixture fx;
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        fx.Write("a/bad.twp", "[General]\r\nSignature=Other\r\nVersion=1.0\r\n");
        fx.Write("b/new.twp", "[General]\r\nSignature=TARNWELL\r\nVersion=1.00\r\n");
        ModalDriver driver;
        driver.Click("OK");
        driver.Click("OK");
        ProjectLink& project = fx.app->Project();
        QVERIFY(!project.OpenProject(fx.Path("a/bad.twp").toStdString(), true));
        QVERIFY(!project.OpenProject(fx.Path("b/new.twp").toStdString(), true));
        QCOMPARE(driver.Seen(), (QStringList{"Invalid project file", "Unknown project version"}));
        QVERIFY(!project.IsOpen());
        QVERIFY(project.ProjectFilePath().empty());
    }

    void lastActiveFileCountsEntriesOfTheFile() {
        // An earlier entry that fails to reopen does not shift which window ends up active; a selection
        // beyond the reopened text leaves the view as it opened.
        AppFixture fx;
        fx.Write("w/a.asp", "a\r\n");
        fx.Write("w/b.asp", "b\r\nbb\r\n");
        fx.Write("w/c.asp", "c\r\n");
        fx.Write("w/w.twp", "[General]\r\nSignature=Tarnwell\r\nVersion=1.0\r\nTotal Open Files=4\r\n"
                            "Last Active File=2\r\n[Open Files]\r\nFile 0=\"" + fx.Path("w/gone.asp").toUtf8() +
                                "\",0,0\r\nFile 1=\"" + fx.Path("w/a.asp").toUtf8() + "\",0,1\r\nFile 2=\"" +
                                fx.Path("w/b.asp").toUtf8() + "\",65536,65538\r\nFile 3=\"" +
                                fx.Path("w/c.asp").toUtf8() + "\",0,655360\r\n");
        QCOMPARE(fx.Start({fx.Path("w/w.twp")}), CEditorApp::StartResult::Running);
        QCOMPARE(OpenPaths(*fx.app), (QStringList{fx.Path("w/a.asp"), fx.Path("w/b.asp"), fx.Path("w/c.asp")}));
        QCOMPARE(ActiveDoc(*fx.app)->PathName(), fx.Path("w/b.asp"));
        QCOMPARE(ViewOf(ActiveDoc(*fx.app))->SelectionTo(), TextPosition(1, 2));
        CCrystalTextView* c = ViewOf(fx.app->DocManager().FindDocument(fx.Path("w/c.asp")));
        QVERIFY(!c->HasSelection());
        QCOMPARE(c->CursorPosition(), TextPosition(0, 0));
        // Preview reaches the open project, and no project once it is closed.
        QVERIFY(GetPreviewProjectSource().openProject());
        QCOMPARE(GetPreviewProjectSource().openProject()->ProjectFilePath(), fx.Path("w/w.twp").toStdString());
        QVERIFY(fx.app->Project().CloseProject(true));
        QVERIFY(!GetPreviewProjectSource().openProject());
    }

    void rememberOpenFilesOffAndRefusedClose() {
        AppFixture fx;
        const QString site = DemoCopy(fx);
        const QString twp = site + "/Demo.twp";
        fx.profile->WriteInt(kGeneralSection, "Remember Open Files", 0);
        QCOMPARE(fx.Start({twp}), CEditorApp::StartResult::Running);
        ProjectLink& project = fx.app->Project();
        QVERIFY(project.IsOpen());
        QVERIFY(fx.app->DocManager().Documents().empty());  // nothing reopens

        CVeskDoc* doc = fx.app->DocManager().OpenDocumentFile(site + "/about.htm");
        doc->Buffer().InsertTextAt(nullptr, 0, 0, "x");
        ModalDriver driver;
        driver.Click("Cancel");  // the save prompt
        fx.app->MainFrame()->close();
        QVERIFY(fx.app->MainFrame()->isVisible());
        QVERIFY(project.IsOpen());
        QCOMPARE(fx.profile->GetString("Project", "Last Project", "unchanged"), std::string("unchanged"));
        // The list went from the file whatever the switch says.
        const QByteArray written = AppFixture::Read(twp);
        QVERIFY2(!written.contains("Open Files") && !written.contains("Total Open Files"), written);

        // Reload keeps the modified page open and unsaved.
        QVERIFY(project.ReloadProject());
        QVERIFY(project.IsOpen());
        QCOMPARE(OpenPaths(*fx.app), QStringList{site + "/about.htm"});
        QVERIFY(fx.app->DocManager().Documents().front()->IsModified());

        // A project file gone meanwhile is not made again by the close.
        QFile::remove(twp);
        driver.Click("No");
        QVERIFY(project.CloseProject(true));
        QVERIFY(!QFileInfo::exists(twp));
    }

#ifndef _WIN32
    void failedWriteOffersRetryAndCancelKeepsTheFile() {
        AppFixture fx;
        const QString site = DemoCopy(fx);
        const QString twp = site + "/Demo.twp";
        const QByteArray before = AppFixture::Read(twp);
        QCOMPARE(fx.Start({twp}), CEditorApp::StartResult::Running);
        ModalDriver driver;
        driver.Click("Retry");
        driver.Click("Cancel");
        // Files may not grow beyond 16 bytes while the project closes: every save of it fails.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &small);
        const bool closed = fx.app->Project().CloseProject(true);
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(closed);
        QCOMPARE(driver.Seen().size(), 2);
        QVERIFY2(driver.Seen()[0].startsWith("An error occured while writing to project file: ") &&
                     driver.Seen()[0].size() > 50,
                 qPrintable(driver.Seen()[0]));
        QCOMPARE(driver.Seen()[1], driver.Seen()[0]);
        QCOMPARE(AppFixture::Read(twp), before);  // whole, and no temporary file beside it
        QCOMPARE(QDir(site).entryList(QStringList{"CRE*.tmp"}, QDir::Files | QDir::Hidden).size(), 0);
    }
#endif

    void lastProjectAtStartUp() {
        AppFixture fx;
        const QString site = DemoCopy(fx);
        fx.profile->WriteString("Project", "Last Project", (site + "/Demo.twp").toStdString());
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        QVERIFY(fx.app->Project().IsOpen());
        QCOMPARE(OpenPaths(*fx.app).size(), 2);
        fx.Stop();

        // A last project that no longer opens is forgotten.
        fx.Write("Demo/Demo.twp", "[General]\r\n");
        fx.ResetProfile();
        ModalDriver driver;
        driver.Click("OK");
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        QVERIFY(!fx.app->Project().IsOpen());
        QCOMPARE(fx.profile->GetString("Project", "Last Project", "gone"), std::string("gone"));
    }

    void recentMenusFollowWhatOpens() {
        AppFixture fx;
        const QString site = DemoCopy(fx);
        fx.Write("gone.asp", "x");
        fx.profile->WriteString("Recent Files", "File1", fx.Path("gone.asp").toStdString());
        fx.profile->WriteString("Recent Projects", "Project1", fx.Path("old/old.twp").toStdString());
        QFile::remove(fx.Path("gone.asp"));
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        CMainFrame* f = fx.app->MainFrame();
        auto texts = [f](const char* title) {
            f->UpdateCommands();
            QStringList out;
            for (QMenu* m : f->findChildren<QMenu*>()) {
                if (m->title() != QLatin1String(title)) continue;
                for (QAction* a : m->actions()) out << (a->isEnabled() ? "" : "-") + a->text();
            }
            return out;
        };
        const QStringList stale = texts("Recent Files");
        QCOMPARE(stale.size(), 1);
        QVERIFY2(stale[0].startsWith("&1 ") && stale[0].endsWith("gone.asp"), qPrintable(stale[0]));
        // A file that no longer opens is reported and leaves the list.
        ModalDriver driver;
        driver.Click("OK");
        QVERIFY(f->RouteCommand(cmd::RecentFileFirst));
        QVERIFY(driver.Seen().value(0).startsWith("Failed to open document."));
        QCOMPARE(texts("Recent Files"), QStringList{"-None"});
        // So does a project that no longer opens.
        driver.Click("OK");
        QVERIFY(f->RouteCommand(cmd::RecentProjectFirst));
        QCOMPARE(driver.Seen().value(1), QString("Invalid project file"));
        QCOMPARE(texts("Recent Projects"), QStringList{"-None"});

        // Opening the project lists it; its files go to the other list.
        QVERIFY(QDir::setCurrent(site));
        fx.app->OpenDocumentFile(site + "/Demo.twp");
        QCOMPARE(texts("Recent Projects"), QStringList{"&1 Demo.twp"});
        QCOMPARE(texts("Recent Files"), (QStringList{"&1 contact.asp", "&2 default.asp"}));
        QVERIFY(fx.app->Project().CloseProject(true));
        QVERIFY(f->RouteCommand(cmd::RecentProjectFirst));
        QVERIFY(fx.app->Project().IsOpen());
        QVERIFY(QDir::setCurrent(fx.dir.path()));
        fx.Stop();
        QCOMPARE(fx.profile->GetString("Recent Projects", "Project1"), (site + "/Demo.twp").toStdString());
        QCOMPARE(fx.profile->GetString("Recent Files", "File2"), (site + "/default.asp").toStdString());
        QCOMPARE(fx.profile->GetString("Recent Files", "File3", "none"), std::string("none"));
    }

    void renamesKeepRegistriesInStep() {
        AppFixture fx;
        const QString site = DemoCopy(fx);
        QCOMPARE(fx.Start({site + "/Demo.twp"}), CEditorApp::StartResult::Running);
        CProject* project = fx.app->ProjectModel();
        QVERIFY(project);
        RecordingTree tree;
        project->SetTree(&tree);
        QVERIFY(QDir().mkpath(site + "/sub"));
        QVERIFY(QDir().mkpath(site + "/sub2"));
        fx.Write("Demo/sub/a.asp", "<% Dim a %>");
        fx.Write("Demo/sub2/b.asp", "<% Dim b %>");
        CVeskDoc* a = fx.app->DocManager().OpenDocumentFile(site + "/sub/a.asp");
        CVeskDoc* b = fx.app->DocManager().OpenDocumentFile(site + "/sub2/b.asp");
        project->GetOrCreateOutlineData(a->DocumentKey());
        QCOMPARE(project->FindOpenDocument(a->DocumentKey()), a);
        // The outline store reads an open page's text from its buffer.
        QVERIFY(project->Outlines().LookupOpenText(a->DocumentKey()));

        // A folder rename moves the documents below it, and only those.
        QVERIFY(QDir().rename(site + "/sub", site + "/moved"));
        project->PathChanged((site + "/sub").toStdString(), (site + "/moved").toStdString());
        QCOMPARE(a->PathName(), site + "/moved/a.asp");
        QCOMPARE(b->PathName(), site + "/sub2/b.asp");
        QCOMPARE(project->FindOpenDocument((site + "/moved/a.asp").toStdString()), a);
        QVERIFY(!project->FindOpenDocument((site + "/sub/a.asp").toStdString()));
        QVERIFY(project->GetOutlineData((site + "/moved/a.asp").toStdString()));

#ifndef _WIN32
        // A rename that changes only letter case is a rename here.
        QVERIFY(b->OnSaveDocument(site + "/sub2/B.asp"));
        QCOMPARE(project->FindOpenDocument((site + "/sub2/B.asp").toStdString()), b);
        QVERIFY(!project->FindOpenDocument((site + "/sub2/b.asp").toStdString()));
        QVERIFY(tree.calls.contains("show " + site + "/sub2/B.asp"));
#endif
        // An untitled page saved under a name takes its outline data along.
        CVeskDoc* page = fx.app->DocManager().NewDocument();
        const std::string id = page->DocumentKey();
        project->GetOrCreateOutlineData(id);
        QVERIFY(page->OnSaveDocument(site + "/new.asp"));
        QVERIFY(!project->GetOutlineData(id));
        QVERIFY(project->GetOutlineData((site + "/new.asp").toStdString()));
        QCOMPARE(project->FindOpenDocument((site + "/new.asp").toStdString()), page);

        // Closing the project empties the outline store and the tree.
        fx.app->DocManager().CloseAllDocuments();
        QVERIFY(project->CloseProject(true));
        QCOMPARE(project->Outlines().Size(), size_t(0));
        QCOMPARE(tree.calls.last(), QString("clear"));
        project->SetTree(nullptr);
    }
};

QTEST_MAIN(ProjectTest)
#include "project_qtest.moc"
