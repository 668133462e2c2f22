// The open-files bar: the button strip's marks and click rules, rows and the row scroller, and in a
// whole application the click-to-minimize/restore cycle of maximized windows and the button menu.
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CEditorDocManager.h"
#include "app/CVeskDoc.h"
#include "tests/support/AppFixture.h"
#include "ui/COpenFilesBar.h"

#include <QMdiArea>
#include <QMenu>
#include <QSignalSpy>
#include <QStyle>
#include <QtTest>

using namespace tarnwell;
using test::AppFixture;

namespace {

void Click(CButtonStrip* strip, int index) {
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->ButtonRect(index).center());
}

struct MenuItem {
    QString text;
    bool enabled;
    bool isDefault;
};

QList<MenuItem> Items(QMenu* menu) {
    QList<MenuItem> out;
    for (QAction* a : menu->actions()) out.append({a->text(), a->isEnabled(), a == menu->defaultAction()});
    return out;
}

}  // namespace

class OpenFilesTest : public QObject {
    Q_OBJECT
private slots:
    void screenshot() {
        const QString out = qEnvironmentVariable("TARNWELL_SHOTS");
        if (out.isEmpty()) QSKIP("TARNWELL_SHOTS names no folder");
        CSelectionStrip strip;
        strip.resize(420, 24);
        strip.show();
        strip.AddImage(strip.style()->standardIcon(QStyle::SP_FileIcon));
        for (int i = 0; i < 10; ++i) strip.SetImage(strip.Insert(-1, QString("a-long-page-name-%1.asp").arg(i)), 0);
        strip.Select(3);
        QTest::mouseMove(&strip, strip.ButtonRect(1).center());
        strip.grab().save(out + "/strip_rows.png");
    }

    void toggleAndSelectionClicks() {
        CButtonStrip toggle;
        toggle.resize(400, 24);
        toggle.Insert(0, "a");
        toggle.Insert(0, "b");  // before "a"
        QCOMPARE(toggle.Text(0), QString("b"));
        QCOMPARE(toggle.State(0), int(CButtonStrip::StateUp));
        Click(&toggle, 1);
        Click(&toggle, 0);
        QCOMPARE(toggle.State(1), int(CButtonStrip::StateDown));
        Click(&toggle, 1);
        QCOMPARE(toggle.State(1), int(CButtonStrip::StateUp));
        // Pressing a button, moving off it and releasing does nothing.
        QTest::mousePress(&toggle, Qt::LeftButton, {}, toggle.ButtonRect(1).center());
        QTest::mouseMove(&toggle, toggle.ButtonRect(0).center());
        QTest::mouseRelease(&toggle, Qt::LeftButton, {}, toggle.ButtonRect(0).center());
        QCOMPARE(toggle.State(0), int(CButtonStrip::StateDown));
        QCOMPARE(toggle.State(1), int(CButtonStrip::StateUp));

        CSelectionStrip select;
        select.resize(400, 24);
        QSignalSpy changed(&select, &CSelectionStrip::selectionChanged);
        select.Insert(-1, "one");
        QCOMPARE(select.Selected(), 0);  // the first button goes down
        select.Insert(-1, "two");
        select.Insert(-1, "three");
        QCOMPARE(select.Selected(), 0);
        Click(&select, 2);
        QCOMPARE(select.Selected(), 2);
        QCOMPARE(select.State(0), int(CButtonStrip::StateUp));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0], (QList<QVariant>{0, 2}));
        Click(&select, 2);  // already down: nothing
        QCOMPARE(changed.size(), 1);
        select.Select(-1);
        QCOMPARE(select.Selected(), -1);
    }

    void insertAndRemoveClearTheMarks() {
        CButtonStrip strip;
        strip.resize(400, 24);
        for (const char* t : {"a", "b", "c"}) strip.Insert(-1, t);
        QTest::mouseMove(&strip, strip.ButtonRect(2).center());
        QTest::mousePress(&strip, Qt::LeftButton, {}, strip.ButtonRect(2).center());
        QCOMPARE(strip.Pressed(), 2);
        strip.Remove(0);
        QCOMPARE(strip.Pressed(), -1);
        QCOMPARE(strip.Hover(), -1);
        // The release that follows clicks nothing.
        QTest::mouseRelease(&strip, Qt::LeftButton, {}, strip.ButtonRect(1).center());
        QCOMPARE(strip.State(1), int(CButtonStrip::StateUp));
        strip.Remove(7);  // out of range: nothing
        QCOMPARE(strip.Count(), 2);
        QCOMPARE(strip.WindowOf(9), nullptr);
    }

    void rowsAndTheScroller() {
        CButtonStrip strip;
        strip.resize(400, 22);
        strip.show();
        for (int i = 0; i < 10; ++i) strip.Insert(-1, QString("page%1.asp").arg(i));
        QCOMPARE(strip.Rows(), 2);
        QVERIFY(strip.Scroller()->isVisible());
        QCOMPARE(strip.ButtonRect(0).width(), 50);
        QVERIFY(strip.ButtonRect(strip.Columns()).top() >= strip.height());  // second row below
        strip.Scroller()->StepDown();
        QCOMPARE(strip.FirstRow(), 1);
        QCOMPARE(strip.ButtonRect(strip.Columns()).top(), 0);
        QCOMPARE(strip.ButtonAt(QPoint(10, 10)), strip.Columns());
        strip.Scroller()->StepUp();
        QCOMPARE(strip.FirstRow(), 0);
        // Back to one row when they fit.
        for (int i = 9; i >= 3; --i) strip.Remove(i);
        QVERIFY(!strip.Scroller()->isVisible());
        QCOMPARE(strip.ButtonRect(0).width(), 133);
    }

    void clickMinimizesAndRestoresMaximized() {
        AppFixture fx;
        fx.Write("a.htm", "<p>a</p>\n");
        fx.Write("b.htm", "<p>b</p>\n");
        fx.Start();
        CMainFrame* f = fx.app->MainFrame();
        QVERIFY(fx.app->OpenDocumentFile(fx.Path("a.htm")));
        QVERIFY(fx.app->OpenDocumentFile(fx.Path("b.htm")));
        QMdiArea* area = f->MdiArea();
        auto* a = qobject_cast<CChildFrame*>(area->subWindowList(QMdiArea::CreationOrder)[0]);
        auto* b = qobject_cast<CChildFrame*>(area->subWindowList(QMdiArea::CreationOrder)[1]);
        b->showMaximized();
        area->setActiveSubWindow(b);
        f->UpdateCommands();
        COpenFilesStrip* strip = f->FilesBar()->Strip();
        QCOMPARE(strip->Selected(), 1);
        QVERIFY(strip->Image(1) >= 0);  // the file-type icon

        // The active window's button minimizes it; the next window comes forward, maximized as b was.
        Click(strip, 1);
        QTRY_VERIFY(b->isMinimized());
        QTRY_COMPARE(area->activeSubWindow(), a);
        QTRY_VERIFY(!b->isVisible());  // on its button, not an icon in the area
        f->UpdateCommands();
        QCOMPARE(strip->Selected(), 0);

        // Clicking it again brings it back maximized and active.
        Click(strip, 1);
        QTRY_VERIFY(!b->isMinimized());
        QCOMPARE(area->activeSubWindow(), b);
        QVERIFY(b->isVisible());
        QVERIFY(b->isMaximized());
        QVERIFY(!b->isMinimized());

        // A window that was normal comes back normal when the active one is not maximized.
        a->showNormal();
        b->showNormal();
        area->setActiveSubWindow(a);
        f->UpdateCommands();
        Click(strip, 0);
        QTRY_VERIFY(a->isMinimized());
        QTRY_COMPARE(area->activeSubWindow(), b);  // the next window came forward
        f->UpdateCommands();
        Click(strip, 0);
        QTRY_VERIFY(!a->isMinimized());
        QCOMPARE(area->activeSubWindow(), a);
        QVERIFY(!a->isMaximized() && !a->isMinimized());

        // Minimizing the only window that is not minimized leaves none active and no button down.
        // Minimized by its own button, a window goes to its button too and the next comes forward.
        a->showMinimized();
        QTRY_VERIFY(!a->isVisible());
        QTRY_COMPARE(area->activeSubWindow(), b);
        // With the last one minimized no window is active and no button down.
        b->SystemCommand(CFileWindow::Minimize);
        QTRY_VERIFY(!b->isVisible());
        QCOMPARE(area->activeSubWindow(), nullptr);
        f->UpdateCommands();
        QCOMPARE(strip->Selected(), -1);
        // The window list brings a minimized window back.
        b->Activate();
        QVERIFY(!b->isMinimized());
        QCOMPARE(area->activeSubWindow(), b);
        QVERIFY(f->close());
    }

    void buttonMenu() {
        AppFixture fx;
        fx.Write("a.htm", "<p>a</p>\n");
        fx.Start();
        CMainFrame* f = fx.app->MainFrame();
        QVERIFY(fx.app->OpenDocumentFile(fx.Path("a.htm")));
        QVERIFY(fx.app->DocManager().NewDocument());  // an untitled second window
        QMdiArea* area = f->MdiArea();
        auto windows = area->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(windows.size(), 2);
        windows[0]->showMaximized();
        area->setActiveSubWindow(windows[0]);
        COpenFilesStrip* strip = f->FilesBar()->Strip();

        std::unique_ptr<QMenu> menu(strip->BuildMenu(0));
        const QStringList texts{"&Activate", "&Restore", "Mi&nimize", "Ma&ximize", "&Save", "&Close"};
        const auto active = Items(menu.get());
        QCOMPARE(active.size(), 6);
        for (int i = 0; i < 6; ++i) QCOMPARE(active[i].text, texts[i]);
        // Active and maximized, unmodified with a path: Activate, Maximize and Save are disabled and
        // Minimize is the default.
        QCOMPARE((QList<bool>{active[0].enabled, active[1].enabled, active[2].enabled, active[3].enabled,
                              active[4].enabled, active[5].enabled}),
                 (QList<bool>{false, true, true, false, false, true}));
        QVERIFY(active[2].isDefault);

        // The untitled window: Activate is the default and Save is offered.
        menu.reset(strip->BuildMenu(1));
        const auto other = Items(menu.get());
        QVERIFY(other[0].isDefault && other[0].enabled);
        QVERIFY(other[4].enabled);

        strip->RunMenuCommand(0, kFilesMenuMinimize);
        QTRY_VERIFY(windows[0]->isMinimized());
        menu.reset(strip->BuildMenu(0));
        QVERIFY(!Items(menu.get())[2].enabled);  // Minimize, now minimized
        strip->RunMenuCommand(0, kFilesMenuActivate);
        QTRY_VERIFY(!windows[0]->isMinimized());
        QVERIFY(windows[0]->isMaximized());
        strip->RunMenuCommand(0, kFilesMenuClose);
        QTRY_COMPARE(strip->Count(), 1);
        QVERIFY(strip->BuildMenu(5) == nullptr);
        QVERIFY(f->close());
    }
};

QTEST_MAIN(OpenFilesTest)
#include "open_files_qtest.moc"
