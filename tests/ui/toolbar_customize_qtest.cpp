// Customizing a tool bar: the dialog's moves, the layout kept in "ToolBars\Customize" across a
// restart, Reset to the initial layout, and a stored value that is not a layout.
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "app/MenuTable.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"
#include "ui/ToolBarCustomize.h"
#include "ui/ToolBarLayout.h"

#include <QListWidget>
#include <QToolBar>
#include <QtTest>

using namespace tarnwell;
using test::AppFixture;
using test::ModalDriver;

namespace {

CToolBarCustomizeDialog* Dialog(QWidget* w) { return qobject_cast<CToolBarCustomizeDialog*>(w); }

}  // namespace

class ToolBarCustomizeTest : public QObject {
    Q_OBJECT
private slots:
    void screenshot() {
        const QString out = qEnvironmentVariable("TARNWELL_SHOTS");
        if (out.isEmpty()) QSKIP("TARNWELL_SHOTS names no folder");
        AppFixture fx;
        fx.Start();
        ModalDriver driver;
        driver.Then([out](QWidget* w) {
            w->grab().save(out + "/customize_toolbar.png");
            Dialog(w)->accept();
        });
        fx.app->MainFrame()->CustomizeToolBar(1);
    }

    void dialogMovesButtons() {
        const std::vector<int> all{1, 2, 3, 4};
        CToolBarCustomizeDialog d("Standard", {1, 0, 2}, all, all, [](int id, QIcon&, QString& text) {
            text = QString("button %1").arg(id);
        });
        // Available: the separator and the buttons not shown, in the bar's order.
        QCOMPARE(d.AvailableList()->count(), 3);
        QCOMPARE(d.AvailableList()->item(0)->text(), QString("Separator"));
        QCOMPARE(d.AvailableList()->item(2)->text(), QString("button 4"));
        d.CurrentList()->setCurrentRow(0);
        d.AvailableList()->setCurrentRow(2);
        d.Add();  // before the selected button
        QCOMPARE(d.Layout(), (std::vector<int>{4, 1, 0, 2}));
        QCOMPARE(d.AvailableList()->count(), 2);
        d.CurrentList()->setCurrentRow(3);
        d.MoveUp();
        d.MoveUp();
        QCOMPARE(d.Layout(), (std::vector<int>{4, 2, 1, 0}));
        d.MoveDown();
        QCOMPARE(d.Layout(), (std::vector<int>{4, 1, 2, 0}));
        d.CurrentList()->setCurrentRow(3);
        d.Remove();  // a separator leaves nothing behind in the available list
        QCOMPARE(d.AvailableList()->count(), 2);
        d.CurrentList()->setCurrentRow(0);
        d.Remove();
        QCOMPARE(d.Layout(), (std::vector<int>{1, 2}));
        QCOMPARE(d.AvailableList()->currentItem()->text(), QString("button 4"));
        d.Reset();
        QCOMPARE(d.Layout(), all);
        QCOMPARE(d.AvailableList()->count(), 1);
    }

    void customizedLayoutSurvivesARestartAndResets() {
        AppFixture fx;
        fx.Start();
        CMainFrame* f = fx.app->MainFrame();
        const std::vector<int> initial = CMainFrame::ToolBarLayout(f->ToolBar(0));
        QVERIFY(initial.size() > 3);
        QVERIFY(fx.profile->GetBinary(CMainFrame::kCustomizeSection, "Standard-org"));
        ModalDriver driver;
        driver.Then([](QWidget* w) {
            Dialog(w)->CurrentList()->setCurrentRow(0);
            Dialog(w)->Remove();
            Dialog(w)->accept();
        });
        // A double click on the bar opens the dialog.
        QTest::mouseDClick(f->ToolBar(0), Qt::LeftButton, {}, QPoint(f->ToolBar(0)->width() - 3, 5));
        QTRY_VERIFY(driver.Idle());
        const std::vector<int> customized(initial.begin() + 1, initial.end());
        QCOMPARE(CMainFrame::ToolBarLayout(f->ToolBar(0)), customized);
        QVERIFY(f->Action(initial[0]));  // the command is still in the menus
        QVERIFY(f->close());
        fx.Stop();

        fx.Start();
        f = fx.app->MainFrame();
        QCOMPARE(CMainFrame::ToolBarLayout(f->ToolBar(0)), customized);
        // The drop-down buttons keep their menus on a rebuilt bar.
        driver.Then([](QWidget* w) {
            Dialog(w)->Reset();
            Dialog(w)->accept();
        });
        f->CustomizeToolBar(0);
        QCOMPARE(CMainFrame::ToolBarLayout(f->ToolBar(0)), initial);
        QVERIFY(!fx.profile->GetBinary(CMainFrame::kCustomizeSection, "Standard"));  // nothing customized
        QVERIFY(f->close());
        fx.Stop();

        // A stored value that is not a layout leaves the initial one.
        fx.profile->WriteBinary(CMainFrame::kCustomizeSection, "Insert", {1, 2, 3});
        fx.Start();
        const auto insert = ToolBars()[1].buttons;
        QCOMPARE(CMainFrame::ToolBarLayout(fx.app->MainFrame()->ToolBar(1)), std::vector<int>(insert.begin(), insert.end()));
    }
};

QTEST_MAIN(ToolBarCustomizeTest)
#include "toolbar_customize_qtest.moc"
