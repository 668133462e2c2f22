// Resizable docking bars: one remembered size per side and for floating, the gripper's close button
// and double click, the bar's menu, and the sizes kept across a restart in a real settings file.
#include "app/CMainFrame.h"
#include "tests/support/AppFixture.h"
#include "ui/CSizingControlBar.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
#include <QtTest>

using namespace tarnwell;
using test::AppFixture;

namespace {

struct Frame {
    QMainWindow window;
    CSizingControlBar* bar;
    explicit Frame(Qt::DockWidgetArea area = Qt::LeftDockWidgetArea) {
        window.setCentralWidget(new QPlainTextEdit);
        window.resize(1000, 700);
        bar = new CSizingControlBar(QStringLiteral("Project"), &window, {200, 250}, true, 59432);
        bar->setObjectName(QStringLiteral("ProjectBar"));
        bar->SetContent(new QPlainTextEdit);
        window.addDockWidget(area, bar);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    void MoveTo(Qt::DockWidgetArea area) {
        bar->setFloating(false);
        window.addDockWidget(area, bar);
    }
};

}  // namespace

class SizingBarTest : public QObject {
    Q_OBJECT
private slots:
    void eachSideGetsItsRememberedSize() {
        Frame f;
        QTRY_COMPARE(f.bar->width(), 200);
        f.bar->SetSize(BarSide::Bottom, {500, 150});
        f.bar->SetSize(BarSide::Floating, {320, 240});
        // The user drags the separator: the new width is remembered for the left and right sides.
        QTRY_VERIFY(!f.bar->IsSettling());
        f.window.resizeDocks({f.bar}, {280}, Qt::Horizontal);
        QTRY_COMPARE(f.bar->Sizes().vert.cx, 280);

        f.MoveTo(Qt::BottomDockWidgetArea);
        QTRY_COMPARE(f.bar->Side(), BarSide::Bottom);
        QTRY_COMPARE(f.bar->height(), 150);
        QVERIFY(f.bar->features() & QDockWidget::DockWidgetVerticalTitleBar);  // gripper down the left

        f.MoveTo(Qt::RightDockWidgetArea);
        QTRY_COMPARE(f.bar->width(), 280);
        QVERIFY(!(f.bar->features() & QDockWidget::DockWidgetVerticalTitleBar));

        f.bar->setFloating(true);
        QTRY_COMPARE(f.bar->size(), QSize(320, 240));
        // The other sides were not disturbed by the moves.
        QCOMPARE(f.bar->Sizes().horz.cy, 150);
        QCOMPARE(f.bar->Sizes().vert.cx, 280);

        // Hidden and shown again from the View menu: back at its size.
        f.MoveTo(Qt::LeftDockWidgetArea);
        QTRY_COMPARE(f.bar->width(), 280);
        f.bar->hide();
        f.bar->show();
        QTRY_COMPARE(f.bar->width(), 280);
    }

    void closeButtonHidesOnlyWhenPressAndReleaseAreOnIt() {
        Frame f;
        CBarCloseButton* close = f.bar->Gripper()->CloseButton();
        QTRY_VERIFY(close->isVisible());
        // Press on it, drag off, release: nothing.
        QTest::mousePress(close, Qt::LeftButton);
        QTest::mouseRelease(close, Qt::LeftButton, {}, QPoint(-20, 30));
        QVERIFY(f.bar->isVisible());
        // A press that began elsewhere and ends over it: nothing.
        QTest::mouseRelease(close, Qt::LeftButton);
        QVERIFY(f.bar->isVisible());
        // Press and release on it: hidden.
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(!f.bar->isVisible());
    }

    void doubleClickFloatsAndDocksUnlessDockingIsOff() {
        Frame f;
        QTRY_VERIFY(f.bar->Gripper()->isVisible());
        QTest::mouseDClick(f.bar->Gripper(), Qt::LeftButton, {}, QPoint(4, 4));
        QTRY_VERIFY(f.bar->isFloating());
        QTest::mouseDClick(f.bar->Gripper(), Qt::LeftButton, {}, QPoint(4, 4));
        QTRY_VERIFY(!f.bar->isFloating());
        QCOMPARE(f.bar->Side(), BarSide::Left);

        f.bar->SetDockable(false);  // a docked bar that may not dock floats
        QVERIFY(f.bar->isFloating());
        QTest::mouseDClick(f.bar->Gripper(), Qt::LeftButton, {}, QPoint(4, 4));
        QTest::qWait(50);
        QVERIFY(f.bar->isFloating());
    }

    void barMenuAllowsDockingAndHides() {
        Frame f;
        QMenu menu;
        f.bar->AddBarCommands(&menu);
        const auto items = menu.actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->text(), QString("Allow Doc&king"));
        QCOMPARE(items[0]->data().toInt(), 32811);
        QVERIFY(items[0]->isChecked());
        QCOMPARE(items[1]->text(), QString("&Hide"));
        QCOMPARE(items[1]->data().toInt(), 32812);
        items[0]->trigger();
        QVERIFY(!f.bar->IsDockable());
        QVERIFY(f.bar->isFloating());
        QVERIFY(!items[0]->isChecked());
        items[1]->trigger();
        QVERIFY(!f.bar->isVisible());
        // The content's own menus find the bar that holds them.
        QCOMPARE(CSizingControlBar::Of(f.bar->widget()), f.bar);
    }

    void sizesSurviveARestartAndAreClamped() {
        AppFixture fx;
        fx.Start();
        CMainFrame* frame = fx.app->MainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QTRY_COMPARE(frame->ProjectBar()->width(), 200);
        QTRY_VERIFY(!frame->ProjectBar()->IsSettling());
        frame->resizeDocks({frame->ProjectBar()}, {260}, Qt::Horizontal);
        QTRY_COMPARE(frame->ProjectBar()->Sizes().vert.cx, 260);
        frame->OutputBar()->SetSize(BarSide::Floating, {333, 222});
        QVERIFY(frame->close());
        const std::string sec = "ToolBars\\DockBar-SCBar-59432";
        QCOMPARE(fx.profile->GetInt(sec, "sizeVertCX", -1), 260);
        QCOMPARE(fx.profile->GetInt("ToolBars\\DockBar-SCBar-59433", "sizeFloatCX", -1), 333);
        QCOMPARE(fx.profile->GetInt("ToolBars\\DockBar-SCBar-59433", "sizeHorzCY", -1), 180);
        fx.Stop();

        fx.Start();
        frame = fx.app->MainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QTRY_COMPARE(frame->ProjectBar()->width(), 260);
        QCOMPARE(frame->OutputBar()->Sizes().floating, (BarSize{333, 222}));
        QVERIFY(frame->close());
        fx.Stop();

        // A width written on a far larger screen never lets the bar cover the window.
        fx.profile->WriteInt(sec, "sizeVertCX", 90000);
        fx.profile->WriteInt(sec, "sizeVertCY", 3);
        fx.Start();
        frame = fx.app->MainFrame();
        QCOMPARE(frame->ProjectBar()->Sizes().vert.cy, 20);
        QVERIFY(frame->ProjectBar()->Sizes().vert.cx <= QGuiApplication::primaryScreen()->availableGeometry().width());
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QTRY_VERIFY(!frame->ProjectBar()->IsSettling());
        QVERIFY(frame->ProjectBar()->isVisible());
        QVERIFY(frame->ProjectBar()->width() < frame->width());
        QVERIFY(frame->MdiArea()->width() > 0);
    }

    void screenshots() {
        const QString out = qEnvironmentVariable("TARNWELL_SHOTS");
        if (out.isEmpty()) QSKIP("TARNWELL_SHOTS names no folder");
        AppFixture fx;
        fx.Start({QStringLiteral(TARNWELL_BIN_DIR "/Webs/Demo/default.asp")});
        CMainFrame* frame = fx.app->MainFrame();
        frame->resize(1000, 650);
        for (const char* page : {"about.htm", "contact.asp", "Global.asa", "style.css"})
            fx.app->OpenDocumentFile(QStringLiteral(TARNWELL_BIN_DIR "/Webs/Demo/") + page);
        frame->OutputBar()->show();
        const struct {
            const char* name;
            Qt::DockWidgetArea project, output;
        } layouts[] = {{"left_bottom", Qt::LeftDockWidgetArea, Qt::BottomDockWidgetArea},
                       {"right_top", Qt::RightDockWidgetArea, Qt::TopDockWidgetArea}};
        for (const auto& l : layouts) {
            frame->addDockWidget(l.project, frame->ProjectBar());
            frame->addDockWidget(l.output, frame->OutputBar());
            QTest::qWait(300);
            frame->grab().save(out + "/bars_" + l.name + ".png");
        }
        frame->OutputBar()->setFloating(true);
        frame->OutputBar()->move(frame->geometry().center());
        QTest::qWait(300);
        frame->OutputBar()->grab().save(out + "/bars_floating.png");
        QVERIFY(frame->close());
    }
};

QTEST_MAIN(SizingBarTest)
#include "sizing_bar_qtest.moc"
