// The main frame in a whole application: start-up warnings, menus, tool bars, bars and their toggles,
// the status bar, the stored layout and placement, and the closing rules with "Last Project".
#include "app/CChildFrame.h"
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "app/ProjectLink.h"
#include "lang/TypeLibrary.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"
#include "text/AskWithCheck.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace tarnwell;
using test::AppFixture;
using test::ModalDriver;

namespace {

// A project that is open, and whose closing can be refused.
class OpenProject : public CNoProjectModel {
public:
    bool refuse = false;
    bool open = true;
    bool IsOpen() const override { return open; }
    std::string ProjectFilePath() const override { return "/webs/site/site.twp"; }
    std::string ProjectFolder() const override { return "/webs/site"; }
    bool CloseProject(bool) override {
        if (refuse) return false;
        open = false;
        return true;
    }
};

QStringList MenuTitles(QMenuBar* bar) {
    QStringList out;
    for (QAction* a : bar->actions()) out << a->text();
    return out;
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void keywordWarningsOncePerMissingFileUntilSwitchedOff() {
        AppFixture fx(false);  // no Keyword folder beside the program
        ModalDriver driver;
        auto tickAndOk = [](QWidget* w) {
            qobject_cast<CMessageBoxWithCheck*>(w)->CheckBox()->click();
            ModalDriver::ClickButton(w, "OK");
        };
        driver.Then(tickAndOk);
        driver.Then(tickAndOk);
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        QCOMPARE(driver.Seen().size(), 2);
        QVERIFY(driver.Seen()[0].startsWith("Failed to load \"vbscript.txt\"."));
        QVERIFY(driver.Seen()[1].startsWith("Failed to load \"html.txt\"."));
        QCOMPARE(fx.profile->GetInt("Messages", "Warn Load VBScript Keyword File Failed", -1), 0);
        QCOMPARE(fx.profile->GetInt("Messages", "Warn Load HTML Keyword File Failed", -1), 0);
        QVERIFY(fx.app->Project().TypeLibraries().Libraries().empty());  // missing type libraries: silent
        fx.app->MainFrame()->close();
        fx.Stop();

        // Switched off: the next start shows nothing.
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        QTest::qWait(50);
        QCOMPARE(driver.Seen().size(), 2);
        QCOMPARE(driver.Unexpected(), 0);
        fx.Stop();

        // With the installed keyword files there is nothing to warn about.
        AppFixture installed;
        QCOMPARE(installed.Start(), CEditorApp::StartResult::Running);
        QTest::qWait(50);
        QCOMPARE(driver.Seen().size(), 2);
        // The type libraries of the start-up, in their order, held by the project model.
        const auto& libraries = installed.app->Project().TypeLibraries().Libraries();
        QCOMPARE(libraries.size(), size_t(2));
        QCOMPARE(libraries[0]->name, std::string("ASPTypeLibrary"));
        QCOMPARE(libraries[1]->name, std::string("VBScript_Global"));
    }

    void menusToolBarsAndDisabledCommands() {
        AppFixture fx;
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        CMainFrame* f = fx.app->MainFrame();
        QVERIFY(f->isVisible());
        QCOMPARE(MenuTitles(f->menuBar()), (QStringList{"&File", "&Edit", "&View", "&Insert", "F&ormat", "&ASP",
                                                         "&Tools", "&Window", "&Help"}));
        f->UpdateCommands();
        // Commands of later features are present and disabled; the shell's own are enabled.
        for (int id : {int(cmd::PreviewInBrowser), int(cmd::CloseProject), 57643, int(cmd::EditFind),
                       int(cmd::InsertImage), int(cmd::FileSave), int(cmd::SaveAll), int(cmd::RecentFileFirst)}) {
            QVERIFY2(f->Action(id), qPrintable(QString::number(id)));
            QVERIFY2(!f->Action(id)->isEnabled(), qPrintable(QString::number(id)));
        }
        for (int id : {int(cmd::FileNew), int(cmd::FileOpen), int(cmd::AppAbout), int(cmd::ViewProjectBar), int(cmd::NewProject),
                       int(cmd::ToolsOptions)})
            QVERIFY2(f->Action(id)->isEnabled(), qPrintable(QString::number(id)));
        QCOMPARE(f->Action(cmd::FileNew)->shortcut(), QKeySequence("Ctrl+N"));
        QCOMPARE(f->Action(cmd::NewProject)->shortcut(), QKeySequence("Ctrl+Shift+N"));

        // Three tool bars with icons on every button; New File, Open File and Form drop down.
        QCOMPARE(f->ToolBar(0)->windowTitle(), QString("Standard"));
        QCOMPARE(f->ToolBar(1)->windowTitle(), QString("Insert"));
        QCOMPARE(f->ToolBar(2)->windowTitle(), QString("Format"));
        for (int i = 0; i < 3; ++i) {
            for (QAction* a : f->ToolBar(i)->actions()) {
                if (!a->isSeparator()) QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
            }
        }
        auto* newButton = qobject_cast<QToolButton*>(f->ToolBar(0)->widgetForAction(f->Action(cmd::FileNew)));
        QVERIFY(newButton && newButton->menu());
        QCOMPARE(newButton->popupMode(), QToolButton::MenuButtonPopup);
        QCOMPARE(newButton->menu()->actions().value(0)->text(), QString("New &Project..."));
        QCOMPARE(newButton->menu()->actions().value(1)->text(), QString("New &File"));
        auto* form = qobject_cast<QToolButton*>(f->ToolBar(1)->widgetForAction(f->Action(cmd::InsertForm)));
        QVERIFY(form && form->menu());
        // A screen narrower than 1024 pixels puts Format on a row of its own.
        const bool narrow = QGuiApplication::primaryScreen()->geometry().width() < 1024;
        QCOMPARE(f->toolBarBreak(f->ToolBar(2)), narrow);
    }

    void barTogglesShowCheckMarks() {
        AppFixture fx;
        fx.Start();
        CMainFrame* f = fx.app->MainFrame();
        QVERIFY(!f->OutputBar()->isVisible());  // hidden after every start
        QVERIFY(f->ProjectBar()->isVisible());
        f->UpdateCommands();
        QVERIFY(f->Action(cmd::ViewInsertBar)->isChecked());
        QVERIFY(f->RouteCommand(cmd::ViewInsertBar));
        f->UpdateCommands();
        QVERIFY(!f->ToolBar(1)->isVisible());
        QVERIFY(!f->Action(cmd::ViewInsertBar)->isChecked());
        QVERIFY(f->RouteCommand(cmd::ViewOutputBar));
        QVERIFY(f->OutputBar()->isVisible());
        QVERIFY(f->RouteCommand(cmd::ViewStatusBar));
        QVERIFY(!f->statusBar()->isVisible());
        f->RouteCommand(cmd::ViewStatusBar);

        // The right-button menu over the bars holds the bar toggles of the View menu.
        std::unique_ptr<QMenu> popup(f->createPopupMenu());
        QStringList texts;
        for (QAction* a : popup->actions()) texts << a->text();
        QCOMPARE(texts, (QStringList{"Standard", "&Insert", "&Format", "&Project", "&Files", "&Status Bar"}));
        QVERIFY(!popup->actions()[1]->isChecked());
    }

    void statusBarPanesAndProgress() {
        AppFixture fx;
        fx.Start();
        CMainFrame* f = fx.app->MainFrame();
        f->UpdateCommands();
        for (int id : {int(cmd::IndicatorPosition), int(cmd::IndicatorLineEnd), int(cmd::IndicatorOverwrite)})
            QCOMPARE(f->PaneText(id), QString());
        QCOMPARE(f->findChild<QLabel*>("MessagePane")->text(), QString("Ready"));
        QProgressBar* p = f->Progress();
        QVERIFY(!p->isVisible());
        f->ShowProgress(0, 2);
        QVERIFY(p->isVisible());
        QCOMPARE(p->value(), 0);
        f->StepProgress();
        f->StepProgress();
        f->StepProgress();  // past the highest value: stays there
        QCOMPARE(p->value(), 2);
        f->HideProgress(false);
        QVERIFY(!p->isVisible());
        f->ShowProgress(0, 10);
        f->HideProgress(true);
        QCOMPARE(p->value(), 10);
        QVERIFY(!p->isVisible());
    }

    void layoutAndPlacementSurviveARestart() {
        AppFixture fx;
        fx.Start();
        CMainFrame* f = fx.app->MainFrame();
        f->RouteCommand(cmd::ViewInsertBar);
        f->RouteCommand(cmd::ViewOutputBar);
        f->setGeometry(QRect(30, 40, 640, 420));
        QVERIFY(f->close());
        QCOMPARE(fx.profile->GetInt(CMainFrame::kPlacementSection, "Left", -1), 30);
        QCOMPARE(fx.profile->GetInt(CMainFrame::kPlacementSection, "Top", -1), 40);
        QCOMPARE(fx.profile->GetInt(CMainFrame::kPlacementSection, "Right", -1), 670);
        QCOMPARE(fx.profile->GetInt(CMainFrame::kPlacementSection, "Bottom", -1), 460);
        QCOMPARE(fx.profile->GetInt("Project Bar", "Dockable", -1), 1);
        fx.Stop();

        fx.Start();
        f = fx.app->MainFrame();
        QCOMPARE(f->geometry(), QRect(30, 40, 640, 420));
        QVERIFY(!f->ToolBar(1)->isVisible());
        QVERIFY(!f->OutputBar()->isVisible());  // whatever it was when the program closed
        QVERIFY(f->ToolBar(0)->isVisible());
        fx.Stop();

        // A state that names other bars is ignored whole: the default layout stays.
        fx.profile->WriteString(CMainFrame::kDockSection, "Bars", "Standard,Insert,Format,Old Bar");
        fx.Start();
        QVERIFY(fx.app->MainFrame()->ToolBar(1)->isVisible());
        fx.Stop();
    }

    void clampOntoScreen_data() {
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("inside stays") << QRect(10, 10, 300, 200) << QRect(10, 10, 300, 200);
        QTest::newRow("negative left shifts right") << QRect(-50, 10, 300, 200) << QRect(0, 10, 300, 200);
        QTest::newRow("past the right shifts left") << QRect(700, 10, 300, 200) << QRect(500, 10, 300, 200);
        QTest::newRow("past the bottom shifts up") << QRect(10, 500, 300, 200) << QRect(10, 400, 300, 200);
        QTest::newRow("negative top shifts down") << QRect(10, -20, 300, 200) << QRect(10, 0, 300, 200);
        QTest::newRow("wider than the screen keeps its left edge visible")
            << QRect(100, 10, 1000, 200) << QRect(0, 10, 1000, 200);
    }
    void clampOntoScreen() {
        QFETCH(QRect, rect);
        QFETCH(QRect, expected);
        QCOMPARE(CMainFrame::ClampOntoScreen(rect, QRect(0, 0, 800, 600)), expected);
    }

    void showStateFromTheSettings() {
        AppFixture fx;
        fx.profile->WriteInt(CMainFrame::kPlacementSection, "showCmd", 3);
        fx.Start();
        QVERIFY(fx.app->MainFrame()->isMaximized());
        fx.Stop();
        // A minimized close does not start minimized.
        fx.profile->WriteInt(CMainFrame::kPlacementSection, "showCmd", 2);
        fx.Start();
        QVERIFY(!fx.app->MainFrame()->isMinimized());
        // A placement far off the screen comes back onto it.
        fx.Stop();
        fx.profile->WriteInt(CMainFrame::kPlacementSection, "showCmd", 1);
        fx.profile->WriteInt(CMainFrame::kPlacementSection, "Left", 5000);
        fx.profile->WriteInt(CMainFrame::kPlacementSection, "Right", 5400);
        fx.Start();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(fx.app->MainFrame()->geometry().right() <= screen.right());
    }

    void lastProjectOnClose() {
        // No project open: an empty "Last Project", so the next start reopens nothing.
        AppFixture fx;
        fx.profile->WriteString("Project", "Last Project", "/old/old.twp");
        fx.Start();
        QVERIFY(fx.app->MainFrame()->close());
        QCOMPARE(fx.profile->GetString("Project", "Last Project", "unset"), std::string());
        fx.Stop();

        // A project whose close is refused keeps the window open and the value unchanged.
        OpenProject* project = nullptr;
        fx.profile->WriteString("Project", "Last Project", "/old/old.twp");
        fx.Start({}, [&](CEditorApp& app) {
            auto p = std::make_unique<OpenProject>();
            project = p.get();
            app.SetProject(std::move(p));
        });
        project->refuse = true;
        QVERIFY(!fx.app->MainFrame()->close());
        QVERIFY(fx.app->MainFrame()->isVisible());
        QCOMPARE(fx.profile->GetString("Project", "Last Project"), std::string("/old/old.twp"));
        // Accepted: the project's path is recorded.
        project->refuse = false;
        QVERIFY(fx.app->MainFrame()->close());
        QCOMPARE(fx.profile->GetString("Project", "Last Project"), std::string("/webs/site/site.twp"));
    }

    void findCommandsReachTheActiveSourceView() {
        AppFixture fx;
        fx.Start({QStringLiteral(TARNWELL_BIN_DIR "/Webs/Demo/default.asp")});
        CMainFrame* f = fx.app->MainFrame();
        QTRY_COMPARE(f->MdiArea()->subWindowList().size(), 1);
        f->MdiArea()->setActiveSubWindow(f->MdiArea()->subWindowList().first());
        f->UpdateCommands();
        // With a page open, Find is served by the page's window (it is disabled without one).
        QVERIFY(f->Action(cmd::EditFind)->isEnabled());
        QVERIFY(f->close());
    }

    void screenshots() {
        const QString out = qEnvironmentVariable("TARNWELL_SHOTS");
        AppFixture fx;
        fx.Start({QStringLiteral(TARNWELL_BIN_DIR "/Webs/Demo/default.asp")});
        CMainFrame* f = fx.app->MainFrame();
        f->resize(1100, 700);
        QTRY_COMPARE(f->MdiArea()->subWindowList().size(), 1);
        f->UpdateCommands();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        if (!out.isEmpty()) {
            f->grab().save(out + "/main_frame.png");
            QMenu* file = f->menuBar()->actions().value(0)->menu();
            file->popup(f->mapToGlobal(QPoint(0, 0)));
            QTest::qWait(50);
            file->grab().save(out + "/menu_file.png");
            file->hide();
            for (int i = 1; i <= 8; ++i) {
                QMenu* m = f->menuBar()->actions().value(i)->menu();
                m->popup(f->mapToGlobal(QPoint(0, 0)));
                QTest::qWait(30);
                m->grab().save(out + QString("/menu_%1.png").arg(i));
                m->hide();
            }
        }
        QVERIFY(f->close());
    }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_qtest.moc"
