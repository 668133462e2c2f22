// The Find and Replace dialogs driven through their controls, over a real buffer.
#include "platform/MemoryProfile.h"
#include "tests/support/ModalDriver.h"
#include "text/BufferFindTarget.h"
#include "text/FindDialog.h"
#include "text/ReplaceDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tarnwell;

class FindDialogTest : public QObject {
    Q_OBJECT

private slots:
    void findDialogControlsAndTexts() {
        CCrystalTextBuffer buffer;
        buffer.InitFromText(LineEndDos, "alpha beta\r\nBeta gamma");
        BufferFindTarget target(buffer);
        MemoryProfile profile;
        CFindDialog dlg(target, profile);
        QCOMPARE(dlg.windowTitle(), QString("Find"));
        QCOMPARE(dlg.findChild<QCheckBox*>("8603")->text(), QString("Match &whole word only"));
        QCOMPARE(dlg.findChild<QCheckBox*>("8604")->text(), QString("Match &case"));
        QCOMPARE(dlg.findChild<QRadioButton*>("8611")->text(), QString("&Up"));
        QCOMPARE(dlg.findChild<QRadioButton*>("8612")->text(), QString("&Down"));
        QVERIFY(dlg.Down()->isChecked());
        QCOMPARE(dlg.findChild<QPushButton*>("1")->text(), QString("&Find Next"));
        QVERIFY(dlg.FindNextButton()->isDefault());
        QVERIFY(!dlg.FindNextButton()->isEnabled());
        QVERIFY(target.ShowSelectionAlways());
        dlg.FindWhat()->setText("x");
        QVERIFY(dlg.FindNextButton()->isEnabled());
        dlg.FindWhat()->clear();
        QVERIFY(!dlg.FindNextButton()->isEnabled());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.FindWhat()->setText("beta");
        if (const QString out = qEnvironmentVariable("TARNWELL_SHOTS"); !out.isEmpty())
            QVERIFY(dlg.grab().save(out + "/find_dialog.png"));
        dlg.reject();
    }

    void findNextClosesOnAMatchAndStoresTheSearch() {
        CCrystalTextBuffer buffer;
        buffer.InitFromText(LineEndDos, "alpha beta\r\nBeta gamma");
        BufferFindTarget target(buffer);
        target.SetCursor({0, 7});
        MemoryProfile profile;
        {
            CFindDialog dlg(target, profile);
            dlg.show();
            dlg.FindWhat()->setText("beta");
            dlg.MatchCase()->setChecked(true);
            dlg.FindNextButton()->click();
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
        // "beta" at (0, 6) lies before the cursor: the case-sensitive search wraps to it
        QCOMPARE(target.SelectionStart(), TextPosition(0, 6));
        QCOMPARE(target.Cursor(), TextPosition(0, 10));
        QVERIFY(!target.ShowSelectionAlways());
        QCOMPARE(profile.GetString("CrystalEdit\\Find", "FindWhat"), std::string("beta"));
        QCOMPARE(profile.GetInt("CrystalEdit\\Find", "MatchCase", 0), 1);
        QVERIFY(target.LastSearch().hasLastSearch);

        // Find Next (F3) and the menu's 168 repeat it
        bool enabled = false;
        QVERIFY(UpdateFindCommand(57640, &target, enabled));
        QVERIFY(enabled);
        QVERIFY(ExecuteFindCommand(168, target, profile, nullptr));
        QCOMPARE(target.SelectionStart(), TextPosition(0, 6));
        QVERIFY(!UpdateFindCommand(57600, &target, enabled));
    }

    void notFoundKeepsTheDialogOpen() {
        CCrystalTextBuffer buffer;
        buffer.InitFromText(LineEndDos, "abc");
        BufferFindTarget target(buffer);
        MemoryProfile profile;
        test::ModalDriver driver;
        driver.Click("OK");
        CFindDialog dlg(target, profile);
        dlg.show();
        dlg.FindWhat()->setText("zz");
        dlg.FindNextButton()->click();
        QVERIFY(dlg.isVisible());
        QCOMPARE(driver.Seen(), QStringList{"Cannot find the string \"zz\"."});
        dlg.reject();
        QCOMPARE(target.LastSearch().lastSearchText, std::string("zz"));
    }

    void replaceDialogReplacesAllAndRestoresTheSelection() {
        CCrystalTextBuffer buffer;
        buffer.InitFromText(LineEndDos, "a a a\r\na");
        BufferFindTarget target(buffer);
        target.SelectRange({0, 0}, {0, 3});
        MemoryProfile profile;
        test::ModalDriver driver;
        driver.Click("OK");
        CReplaceDialog dlg(target, profile);
        QCOMPARE(dlg.windowTitle(), QString("Replace"));
        QCOMPARE(dlg.findChild<QPushButton*>("8610")->text(), QString("&Find Next"));
        QCOMPARE(dlg.findChild<QPushButton*>("8607")->text(), QString("&Replace"));
        QCOMPARE(dlg.findChild<QPushButton*>("8608")->text(), QString("Replace &All"));
        QCOMPARE(dlg.findChild<QRadioButton*>("8613")->text(), QString("&Selection"));
        QCOMPARE(dlg.findChild<QRadioButton*>("8614")->text(), QString("Wh&ole file"));
        QVERIFY(dlg.SelectionScope()->isEnabled());
        QVERIFY(dlg.SelectionScope()->isChecked());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.FindWhat()->setText("a");
        dlg.ReplaceWith()->setText("bb");
        if (const QString out = qEnvironmentVariable("TARNWELL_SHOTS"); !out.isEmpty())
            QVERIFY(dlg.grab().save(out + "/replace_dialog.png"));
        dlg.ReplaceAllButton()->click();
        QCOMPARE(QString::fromStdString(buffer.Text(LineEndDos)), QString("bb bb a\r\na"));
        QCOMPARE(driver.Seen(), QStringList{"2 occurrence(s) replaced."});
        dlg.reject();
        // The remembered selection followed the edits: its end sat at the end of the second "a",
        // collapsed to its start on the removal and stayed before the inserted text.
        QCOMPARE(target.SelectionStart(), TextPosition(0, 0));
        QCOMPARE(target.SelectionEnd(), TextPosition(0, 3));
        QCOMPARE(profile.GetString("CrystalEdit\\Replace", "ReplaceWith"), std::string("bb"));
    }

    void replaceDialogWithoutSelectionWorksOnTheWholeFile() {
        CCrystalTextBuffer buffer;
        buffer.InitFromText(LineEndDos, "cat concat cat");
        BufferFindTarget target(buffer);
        target.SetCursor({0, 4});
        MemoryProfile profile;
        test::ModalDriver driver;
        driver.Click("OK");  // the search after the last replacement finds nothing more
        CReplaceDialog dlg(target, profile);
        QVERIFY(!dlg.SelectionScope()->isEnabled());
        QVERIFY(dlg.WholeFileScope()->isChecked());
        QVERIFY(!dlg.FindNextButton()->isEnabled());
        dlg.show();
        dlg.FindWhat()->setText("cat");
        dlg.ReplaceWith()->setText("dog");
        dlg.WholeWord()->setChecked(true);
        dlg.ReplaceButton()->click();  // finds the whole word after the cursor
        QCOMPARE(target.SelectionStart(), TextPosition(0, 11));
        dlg.ReplaceButton()->click();
        QCOMPARE(QString::fromStdString(buffer.Text(LineEndDos)), QString("cat concat dog"));
        QCOMPARE(driver.Seen(), QStringList{"Cannot find the string \"cat\"."});
        dlg.reject();
    }

    void replaceCommandNeedsAnEditableView() {
        CCrystalTextBuffer buffer;
        buffer.InitFromText(LineEndDos, "abc");
        buffer.SetReadOnly(true);
        BufferFindTarget target(buffer);
        bool enabled = true;
        QVERIFY(UpdateFindCommand(57641, &target, enabled));
        QVERIFY(!enabled);
    }
};

QTEST_MAIN(FindDialogTest)
#include "find_dialog_qtest.moc"
