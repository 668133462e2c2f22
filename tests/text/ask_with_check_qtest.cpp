// The message box with a check box: button sets, default button, Escape/close results, check value,
// and the "Messages" switch that suppresses a box for good.
#include "platform/MemoryProfile.h"
#include "tests/support/ModalDriver.h"
#include "text/AskWithCheck.h"
#include "text/StringTable.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace tarnwell;

namespace {

QStringList Captions(const CMessageBoxWithCheck& box) {
    QStringList out;
    for (auto* b : box.Buttons()) out << b->text();
    return out;
}

}  // namespace

class AskWithCheckTest : public QObject {
    Q_OBJECT
private slots:
    void buttonSets_data() {
        QTest::addColumn<unsigned>("style");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<int>("defaultIndex");
        QTest::addColumn<int>("escapeId");
        QTest::newRow("35 question yes/no/cancel") << 35u << QStringList{"&Yes", "&No", "Cancel"}
                                                   << QList<int>{6, 7, 2} << 0 << 2;
        QTest::newRow("36 yes/no escapes with 2, not 7") << 36u << QStringList{"&Yes", "&No"}
                                                         << QList<int>{6, 7} << 0 << 2;
        QTest::newRow("64 information ok") << 64u << QStringList{"&OK"} << QList<int>{1} << 0 << 1;
        QTest::newRow("ok/cancel second default") << (1u | 0x100u) << QStringList{"&OK", "Cancel"}
                                                  << QList<int>{1, 2} << 1 << 2;
        QTest::newRow("default index 3 of two is the first") << (4u | 0x300u) << QStringList{"&Yes", "&No"}
                                                             << QList<int>{6, 7} << 0 << 2;
        QTest::newRow("abort/retry/ignore shows OK") << 2u << QStringList{"&OK"} << QList<int>{1} << 0 << 1;
        QTest::newRow("retry/cancel shows OK") << 5u << QStringList{"&OK"} << QList<int>{1} << 0 << 1;
        QTest::newRow("yes/no/cancel third default") << (3u | 0x200u) << QStringList{"&Yes", "&No", "Cancel"}
                                                     << QList<int>{6, 7, 2} << 2 << 2;
    }
    void buttonSets() {
        QFETCH(unsigned, style);
        QFETCH(QStringList, captions);
        QFETCH(QList<int>, ids);
        QFETCH(int, defaultIndex);
        QFETCH(int, escapeId);
        CMessageBoxWithCheck box("Message", "Check", false, style, {});
        QCOMPARE(Captions(box), captions);
        for (int i = 0; i < ids.size(); ++i) QCOMPARE(box.ButtonId(i), ids[i]);
        QCOMPARE(box.DefaultIndex(), defaultIndex);
        QVERIFY(box.Buttons()[defaultIndex]->isDefault());
        for (int i = 0; i < box.Buttons().size(); ++i) {
            if (i != defaultIndex) QVERIFY(!box.Buttons()[i]->isDefault());
        }
        QCOMPARE(box.EscapeId(), escapeId);

        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(box.Buttons()[defaultIndex]));
        QTest::keyClick(&box, Qt::Key_Escape);
        QCOMPARE(box.result(), escapeId);
    }

    void iconsByStyle() {
        QCOMPARE(CMessageBoxWithCheck("m", "c", false, 0x10, {}).IconKind(), 0x10u);
        QCOMPARE(CMessageBoxWithCheck("m", "c", false, 35, {}).IconKind(), 0x20u);
        QCOMPARE(CMessageBoxWithCheck("m", "c", false, 0x30, {}).IconKind(), 0x30u);
        QCOMPARE(CMessageBoxWithCheck("m", "c", false, 64, {}).IconKind(), 0x40u);
        CMessageBoxWithCheck none("m", "c", false, 0x50, {});
        QCOMPARE(none.IconKind(), 0u);
        QVERIFY(none.IconLabel()->pixmap().isNull());
    }

    void closeBoxGivesTheEscapeResult() {
        CMessageBoxWithCheck box("m", "c", false, 36, {});
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.close();
        QCOMPARE(box.result(), 2);
        CMessageBoxWithCheck ok("m", "c", false, 0, {});
        ok.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ok));
        ok.close();
        QCOMPARE(ok.result(), 1);
    }

    void checkValueInAndOut() {
        // Ticked on entry, cleared by the user, OK: the value comes back 0.
        test::ModalDriver driver;
        driver.Then([](QWidget* w) {
            auto* box = qobject_cast<CMessageBoxWithCheck*>(w);
            QVERIFY(box);
            QVERIFY(box->CheckBox()->isChecked());
            QCOMPARE(box->CheckBox()->text(), QString("Dont show this message again"));
            box->CheckBox()->click();
            test::ModalDriver::ClickButton(w, "OK");
        });
        int check = 1;
        QCOMPARE(AskWithCheckById(strid::kWarnAbsolutePath, strid::kDontShowAgain, &check, 64), 1);
        QCOMPARE(check, 0);
        QCOMPARE(driver.Seen().value(0),
                 QString("Relative path cannot be calculated until you save this file. Absolute path will be used."));

        // The check value is returned also when the box is left with Escape.
        driver.Then([](QWidget* w) {
            auto* box = qobject_cast<CMessageBoxWithCheck*>(w);
            box->CheckBox()->click();
            QTest::keyClick(w, Qt::Key_Escape);
        });
        check = 0;
        QCOMPARE(AskWithCheck("Delete?", "Don't ask me again", &check, 36, "Caption"), 2);
        QCOMPARE(check, 1);

        // A click on No answers 7.
        driver.Click("No");
        QCOMPARE(AskWithCheck("Go on?", "x", nullptr, 35), 7);
        QVERIFY(driver.Idle());
        QCOMPARE(driver.Unexpected(), 0);
    }

    void captionDefaultsToTheApplicationName() {
        CMessageBoxWithCheck box("m", "c", false, 0, {});
        QCOMPARE(box.windowTitle(), QString("Tarnwell"));
        CMessageBoxWithCheck named("m", "c", false, 0, "Other");
        QCOMPARE(named.windowTitle(), QString("Other"));
    }

    void messagesSwitch() {
        MemoryProfile profile;
        test::ModalDriver driver;
        // First showing: the box is shown and, ticked, writes 0.
        driver.Then([](QWidget* w) {
            qobject_cast<CMessageBoxWithCheck*>(w)->CheckBox()->click();
            test::ModalDriver::ClickButton(w, "OK");
        });
        auto r = AskSwitchedMessage(profile, "Warn Load HTML Keyword File Failed", strid::kWarnLoadHtmlKeywords,
                                    strid::kDontShowAgain, 64);
        QCOMPARE(r.value_or(-1), 1);
        QCOMPARE(profile.GetInt("Messages", "Warn Load HTML Keyword File Failed", -1), 0);
        // Switched off: nothing is shown.
        r = AskSwitchedMessage(profile, "Warn Load HTML Keyword File Failed", strid::kWarnLoadHtmlKeywords,
                               strid::kDontShowAgain, 64);
        QVERIFY(!r.has_value());
        QCOMPARE(driver.Seen().size(), 1);
        // Another switch left clear writes 1.
        driver.Click("OK");
        r = AskSwitchedMessage(profile, "Warn Load VBScript Keyword File Failed", strid::kWarnLoadVbKeywords,
                               strid::kDontShowAgain, 64);
        QCOMPARE(r.value_or(-1), 1);
        QCOMPARE(profile.GetInt("Messages", "Warn Load VBScript Keyword File Failed", -1), 1);
    }

    void plainMessageBox() {
        test::ModalDriver driver;
        driver.Click("Retry");
        QCOMPARE(ShowMessage("Copy failed.", mb::kAbortRetryIgnore | mb::kIconStop), mb::kIdRetry);
        driver.Then([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(ShowMessage("Continue with next file?", mb::kYesNo | mb::kIconQuestion), mb::kIdNo);
        driver.Then([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(ShowMessage("Save changes?", mb::kYesNoCancel), mb::kIdCancel);
        driver.Click("OK");
        QCOMPARE(ShowMessage("Done."), mb::kIdOk);
        QCOMPARE(driver.Seen().value(1), QString("Continue with next file?"));
    }

    void screenshot() {
        CMessageBoxWithCheck box(QString::fromStdString(LoadString(strid::kWarnPreviewAspNoWebPath)),
                                 QString::fromStdString(LoadString(strid::kDontShowAgain)), false, 35, {});
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QString out = qEnvironmentVariable("TARNWELL_SHOTS");
        if (!out.isEmpty()) box.grab().save(out + "/ask_with_check.png");
        QVERIFY(box.width() > box.Buttons().size() * box.Buttons()[0]->width());
        // The row is centred: equal room left of the first and right of the last button.
        const int left = box.Buttons().first()->geometry().left();
        const int right = box.width() - box.Buttons().last()->geometry().right();
        QVERIFY(qAbs(left - right) <= 2);
    }
};

QTEST_MAIN(AskWithCheckTest)
#include "ask_with_check_qtest.moc"
