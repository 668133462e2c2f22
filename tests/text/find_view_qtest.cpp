// Find, Find Next and Replace on a real edit view, through its commands and keys.
#include "platform/MemoryProfile.h"
#include "tests/support/ModalDriver.h"
#include "text/FindDialog.h"
#include "text/ReplaceDialog.h"
#include "text/ViewFind.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tarnwell;

class FindViewTest : public QObject {
    Q_OBJECT

private slots:
    void findCommandsOnTheView() {
        CCrystalTextBuffer buffer;
        buffer.InitFromText(LineEndDos, "one two\r\ntwo three\r\nfour two");
        CCrystalEditView view;
        view.resize(400, 200);
        view.BindBuffer(&buffer);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        MemoryProfile profile;
        CFindCommands* commands = AttachFindCommands(view, profile);
        QCOMPARE(AttachFindCommands(view, profile), commands);
        QCOMPARE(FindCommandsOf(view), commands);

        CommandState state;
        QVERIFY(commands->UpdateCommand(57640, state));
        QVERIFY(!state.enabled);  // Find Next waits for the first search

        test::ModalDriver driver;
        bool sawForcedSelection = false;
        driver.Then([&](QWidget* w) {
            auto* dlg = qobject_cast<CFindDialog*>(w);
            QVERIFY(dlg);
            sawForcedSelection = commands->Target().ShowSelectionAlways();
            dlg->FindWhat()->setText("two");
            dlg->FindNextButton()->click();
        });
        QVERIFY(commands->ExecuteCommand(57636));
        QVERIFY(sawForcedSelection);
        QVERIFY(!commands->Target().ShowSelectionAlways());
        TextPosition s, e;
        view.SelectionBounds(s, e);
        QCOMPARE(s, TextPosition(0, 4));
        QCOMPARE(e, TextPosition(0, 7));
        QCOMPARE(view.CursorPosition(), TextPosition(0, 7));

        QVERIFY(commands->UpdateCommand(57640, state));
        QVERIFY(state.enabled);
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_F3);
        view.SelectionBounds(s, e);
        QCOMPARE(s, TextPosition(1, 0));
        QVERIFY(commands->ExecuteCommand(168));
        view.SelectionBounds(s, e);
        QCOMPARE(s, TextPosition(2, 5));

        // Ctrl+H opens Replace from the key table; Replace All, the count, then Cancel.
        driver.Then([](QWidget* w) {
            auto* dlg = qobject_cast<CReplaceDialog*>(w);
            QVERIFY(dlg);
            QVERIFY(dlg->SelectionScope()->isChecked());
            dlg->WholeFileScope()->setChecked(true);
            dlg->FindWhat()->setText("two");
            dlg->ReplaceWith()->setText("2");
            // clicked from the event loop, so that the driver can answer the count's box
            QTimer::singleShot(0, dlg, [dlg] {
                dlg->ReplaceAllButton()->click();
                dlg->reject();
            });
        });
        driver.Click("OK");
        QTest::keyClick(&view, Qt::Key_H, Qt::ControlModifier);
        QTRY_VERIFY(driver.Idle());
        QCOMPARE(QString::fromStdString(buffer.Text(LineEndDos)), QString("one 2\r\n2 three\r\nfour 2"));
        QVERIFY(driver.Seen().contains("3 occurrence(s) replaced."));
        // the selection of "two" on the last line is restored where its ends went: both collapsed
        // onto the replacement's start
        view.SelectionBounds(s, e);
        QCOMPARE(s, TextPosition(2, 5));
        QCOMPARE(e, TextPosition(2, 5));
        QCOMPARE(driver.Unexpected(), 0);
    }
};

QTEST_MAIN(FindViewTest)
#include "find_view_qtest.moc"
