// The New Project wizard in the whole program: from the command to a project open on disk.
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "project/CProject.h"
#include "project/CProjectSheet.h"
#include "project/CProjectTree.h"
#include "project/ProjectBar.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

using namespace tarnwell;
using test::AppFixture;
using test::ModalDriver;

namespace {
// Runs the action on the wizard once the driver's poll has returned, so that the message boxes it
// opens are answered by the actions queued after it.
void Later(ModalDriver& driver, std::function<void(QWidget*)> action) {
    driver.Then([action](QWidget* w) { QTimer::singleShot(0, w, [action, w] { action(w); }); });
}
}  // namespace

class NewProjectTest : public QObject {
    Q_OBJECT
private slots:
    void wizardCreatesAndOpensTheProject() {
        AppFixture fx;
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        CMainFrame* f = fx.app->MainFrame();
        f->UpdateCommands();
        QVERIFY(f->Action(cmd::NewProject)->isEnabled());
        QCOMPARE(f->Action(cmd::NewProject)->shortcut(), QKeySequence("Ctrl+Shift+N"));
        const QString folder = fx.Path("webs/my site");
        const QString globalAsa = folder + "/Global.asa";
        ModalDriver driver;
        QString defaultFolder;
        Later(driver, [&](QWidget* w) {
            auto* sheet = qobject_cast<CProjectSheet*>(w);
            QVERIFY(sheet);
            defaultFolder = sheet->Page1()->PathEdit()->text();
            QVERIFY(sheet->Page1()->GlobalAsaBox()->isChecked());
            sheet->Page1()->NameEdit()->setText(" site ");
            sheet->Page1()->PathEdit()->setText(folder + "/");
            sheet->next();  // asks to create the folder (answered below)
            QCOMPARE(sheet->currentPage(), sheet->Page2());
            QCOMPARE(AppFixture::Read(globalAsa), AppFixture::Read(fx.programFolder + "/Templates/Global.asa"));
            // Back and Next again neither rewrite the project file nor copy Global.asa again.
            QVERIFY(fx.Write("webs/my site/Global.asa", "mine"));
            sheet->back();
            sheet->next();
            QCOMPARE(sheet->currentPage(), sheet->Page2());
            QCOMPARE(AppFixture::Read(globalAsa), QByteArray("mine"));
            sheet->Page2()->WebPathEdit()->setText("http://localhost/site/");
            sheet->button(QWizard::FinishButton)->click();
        });
        driver.Click("Yes");
        QVERIFY(f->RouteCommand(cmd::NewProject));
        QCOMPARE(driver.Unexpected(), 0);
        QCOMPARE(driver.Seen().at(1), "Directory " + folder + " does not exist, Do you want to create it now?");
        QCOMPARE(defaultFolder, fx.programFolder + "/Webs");
        QVERIFY(fx.app->Project().IsOpen());
        QCOMPARE(QString::fromStdString(fx.app->Project().ProjectFilePath()), folder + "/site.twp");
        QCOMPARE(fx.app->Project().WebPath(), "http://localhost/site/");
        QVERIFY(AppFixture::Read(folder + "/site.twp").contains("Web Path=http://localhost/site/"));

        // A second project in the same folder is refused, whatever its name.
        QVERIFY(f->RouteCommand(cmd::CloseProject));
        Later(driver, [&](QWidget* w) {
            auto* sheet = qobject_cast<CProjectSheet*>(w);
            sheet->Page1()->NameEdit()->setText("other");
            sheet->Page1()->PathEdit()->setText(folder);
            sheet->next();
            QCOMPARE(sheet->currentPage(), sheet->Page1());
            sheet->reject();
        });
        driver.Click("OK");
        QVERIFY(f->RouteCommand(cmd::NewProject));
        QCOMPARE(driver.Seen().last(), "A project already exists in the specified folder.");
        QVERIFY(!fx.app->Project().IsOpen());
        QCOMPARE(driver.Unexpected(), 0);
    }

    void emptyWebPathAsksUnlessSwitchedOff() {
        AppFixture fx;
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        CMainFrame* f = fx.app->MainFrame();
        const QString folder = fx.Path("w2");
        QDir().mkpath(folder);
        ModalDriver driver;
        Later(driver, [&](QWidget* w) {
            auto* sheet = qobject_cast<CProjectSheet*>(w);
            sheet->Page1()->NameEdit()->setText("a.TWP");
            sheet->Page1()->GlobalAsaBox()->setChecked(false);
            sheet->Page1()->PathEdit()->setText(folder);
            sheet->next();
            sheet->button(QWizard::FinishButton)->click();  // asks; "No" with the box ticked finishes
        });
        driver.Then([](QWidget* w) {
            w->findChild<QCheckBox*>()->setChecked(true);
            ModalDriver::ClickButton(w, "No");
        });
        QVERIFY(f->RouteCommand(cmd::NewProject));
        QCOMPARE(driver.Unexpected(), 0);
        QVERIFY(fx.app->Project().IsOpen());
        QVERIFY(QFile::exists(folder + "/a.TWP"));
        QVERIFY(!QFile::exists(folder + "/Global.asa"));
        QCOMPARE(fx.profile->GetInt("Messages", "Ask Web Path", 1), 0);
    }

    // The explorer root's "Properties..." writes the web path; preview's prompt (the same sheet at
    // its second page) sets it for the session only.
    void propertySheetEditsTheWebPath() {
        AppFixture fx;
        const QString site = fx.Path("Demo");
        QVERIFY(test::CopyFolder(QStringLiteral(TARNWELL_BIN_DIR "/Webs/Demo"), site));
        QCOMPARE(fx.Start({site + "/Demo.twp"}), CEditorApp::StartResult::Running);
        CProjectTree* tree = fx.app->MainFrame()->ProjectContent()->Tree();
        tree->SelectOnly(tree->Tree().Root());
        ModalDriver driver;
        Later(driver, [&](QWidget* w) {
            auto* sheet = qobject_cast<CProjectPropertySheet*>(w);
            QVERIFY(sheet);
            QCOMPARE(sheet->windowTitle(), QStringLiteral("Properties"));
            QCOMPARE(sheet->Tabs()->currentIndex(), 0);
            QCOMPARE(sheet->Tabs()->tabText(1), QStringLiteral("Web Path"));
            QCOMPARE(sheet->Page1()->NameEdit()->text(), QStringLiteral("Demo"));
            QCOMPARE(sheet->Page1()->PathEdit()->text(), QDir::toNativeSeparators(site));
            QVERIFY(sheet->Page1()->NameEdit()->isReadOnly() && sheet->Page1()->PathEdit()->isReadOnly());
            QVERIFY(!sheet->Page1()->BrowseButton()->isEnabled() && sheet->Page1()->GlobalAsaBox()->isHidden());
            if (const QString out = qEnvironmentVariable("TARNWELL_SHOTS"); !out.isEmpty())
                sheet->grab().save(out + "/project_properties.png");
            sheet->Page2()->WebPathEdit()->setText(" http://localhost/demo/ ");
            sheet->accept();
        });
        tree->ExecuteCommand(explorer_cmd::Properties);
        QCOMPARE(fx.app->Project().WebPath(), "http://localhost/demo/");
        QVERIFY(AppFixture::Read(site + "/Demo.twp").contains("Web Path=http://localhost/demo/"));

        CProject* project = fx.app->ProjectModel();
        Later(driver, [&](QWidget* w) {
            auto* sheet = qobject_cast<CProjectPropertySheet*>(w);
            QVERIFY(sheet);
            QCOMPARE(sheet->Tabs()->currentIndex(), 1);
            sheet->Page2()->WebPathEdit()->clear();
            sheet->accept();  // a blank web path asks; "No" closes the sheet without one
        });
        driver.Click("No");
        QVERIFY(project->PromptWebPath());
        QCOMPARE(fx.app->Project().WebPath(), "");
        Later(driver, [&](QWidget* w) {
            qobject_cast<CProjectPropertySheet*>(w)->Page2()->WebPathEdit()->setText("http://other/");
            qobject_cast<QDialog*>(w)->accept();
        });
        QVERIFY(project->PromptWebPath());
        QCOMPARE(fx.app->Project().WebPath(), "http://other/");
        QVERIFY(AppFixture::Read(site + "/Demo.twp").contains("Web Path=http://localhost/demo/"));
        QCOMPARE(driver.Unexpected(), 0);
        QCOMPARE(driver.Seen().size(), 4);
    }
};

QTEST_MAIN(NewProjectTest)
#include "new_project_qtest.moc"
