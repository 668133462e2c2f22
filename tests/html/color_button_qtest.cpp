// The color button and its palette as widgets: opening, choosing, cancelling, Customize, the field
// binding, and pictures of both for a look.
#include "html/ColorButton.h"

#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwell;

namespace {

// A button whose color dialog answers from a script instead of asking.
class ScriptedButton : public CColorButton {
public:
    using CColorButton::CColorButton;
    bool dialogAnswers = false;
    ColorRef dialogColor = 0;
    ColorRef dialogInitial = 0xFFFFFFFF;

protected:
    bool ChooseCustomColor(ColorRef initial, ColorRef& chosen) override {
        dialogInitial = initial;
        chosen = dialogColor;
        return dialogAnswers;
    }
};

QPoint CentreOf(int item) {
    PaletteRect r = ColorPalette::ItemRect(item);
    return CColorPopup::ToWidget((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

QString ShotPath(const QString& name) {
    QDir().mkpath(QStringLiteral("screenshots"));
    return QStringLiteral("screenshots/") + name;
}

}  // namespace

class ColorButtonTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosingAColorSetsItAndNotifies();
    void pressOnOneReleaseOnAnotherKeepsOpen();
    void escapeAndOutsidePressCloseWithoutChoice();
    void customizeUsesTheColorDialog();
    void colorFieldAndButtonFollowEachOther();
    void pictures();
};

void ColorButtonTest::choosingAColorSetsItAndNotifies() {
    QWidget host;
    ScriptedButton button(&host, 1165);
    button.SetColor(0, MakeColorRef(1, 2, 3));
    host.show();
    QSignalSpy picked(&button, &CColorButton::colorPicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    CColorPopup* popup = button.Popup();
    QVERIFY(popup);
    QVERIFY(popup->isVisible());
    QCOMPARE(popup->objectName(), QStringLiteral("ColorPopup"));
    // The button's color is none of the 40: Customize holds it and is current.
    QCOMPARE(popup->Palette().CurrentItem(), ColorPalette::kCustomizeItem);
    QCOMPARE(popup->Palette().CustomColor(), MakeColorRef(1, 2, 3));
    QVERIFY(picked.isEmpty());  // SetColor and opening notify nobody

    QTest::mousePress(popup, Qt::LeftButton, {}, CentreOf(14));
    QTest::mouseRelease(popup, Qt::LeftButton, {}, CentreOf(14));
    QVERIFY(!popup->isVisible());
    QCOMPARE(button.GetColor(), MakeColorRef(0, 0, 255));
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked[0][0].toInt(), 1165);
    QCOMPARE(picked[0][1].toUInt(), quint32(MakeColorRef(0, 0, 255)));

    // The palette is kept; Automatic writes the automatic color (black here).
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(button.Popup(), popup);
    QCOMPARE(popup->Palette().CurrentItem(), 14);
    QTest::mousePress(popup, Qt::LeftButton, {}, CentreOf(ColorPalette::kAutomaticItem));
    QTest::mouseRelease(popup, Qt::LeftButton, {}, CentreOf(ColorPalette::kAutomaticItem));
    QCOMPARE(button.GetColor(), ColorRef(0));
    QCOMPARE(QString::fromStdString(FormatColorText(button.GetColor())), QStringLiteral("#000000"));
    QCOMPARE(picked.count(), 2);
}

void ColorButtonTest::pressOnOneReleaseOnAnotherKeepsOpen() {
    QWidget host;
    ScriptedButton button(&host, 7);
    button.SetColor(0, MakeColorRef(255, 255, 255));
    host.show();
    QSignalSpy picked(&button, &CColorButton::colorPicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    CColorPopup* popup = button.Popup();
    QTest::mousePress(popup, Qt::LeftButton, {}, CentreOf(3));
    QTest::mouseRelease(popup, Qt::LeftButton, {}, CentreOf(4));
    QVERIFY(popup->isVisible());
    QVERIFY(picked.isEmpty());
    QCOMPARE(button.GetColor(), MakeColorRef(255, 255, 255));
    popup->hide();  // closing from outside chooses nothing
    QVERIFY(picked.isEmpty());
}

void ColorButtonTest::escapeAndOutsidePressCloseWithoutChoice() {
    QWidget host;
    ScriptedButton button(&host, 7);
    button.SetColor(0, MakeColorRef(255, 0, 0));
    host.show();
    QSignalSpy picked(&button, &CColorButton::colorPicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    CColorPopup* popup = button.Popup();
    QSignalSpy finished(popup, &CColorPopup::finished);
    QTest::keyClick(popup, Qt::Key_A);  // other keys only beep
    QVERIFY(popup->isVisible());
    QTest::keyClick(popup, Qt::Key_Escape);
    QVERIFY(!popup->isVisible());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished[0][0].toInt(), int(PaletteOutcome::Nothing));

    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mousePress(popup, Qt::LeftButton, {}, QPoint(-20, -20));
    QVERIFY(!popup->isVisible());
    QCOMPARE(finished.count(), 2);
    QVERIFY(picked.isEmpty());
    QCOMPARE(button.GetColor(), MakeColorRef(255, 0, 0));
}

void ColorButtonTest::customizeUsesTheColorDialog() {
    QWidget host;
    ScriptedButton button(&host, 9);
    button.SetColor(0, MakeColorRef(0, 147, 0));
    host.show();
    QSignalSpy picked(&button, &CColorButton::colorPicked);

    button.dialogAnswers = false;  // the dialog is cancelled
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mousePress(button.Popup(), Qt::LeftButton, {}, CentreOf(ColorPalette::kCustomizeItem));
    QTest::mouseRelease(button.Popup(), Qt::LeftButton, {}, CentreOf(ColorPalette::kCustomizeItem));
    QCOMPARE(button.dialogInitial, MakeColorRef(0, 147, 0));
    QVERIFY(picked.isEmpty());
    QCOMPARE(button.GetColor(), MakeColorRef(0, 147, 0));

    button.dialogAnswers = true;
    button.dialogColor = MakeColorRef(10, 20, 30);
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mousePress(button.Popup(), Qt::LeftButton, {}, CentreOf(ColorPalette::kCustomizeItem));
    QTest::mouseRelease(button.Popup(), Qt::LeftButton, {}, CentreOf(ColorPalette::kCustomizeItem));
    QCOMPARE(button.GetColor(), MakeColorRef(10, 20, 30));
    QCOMPARE(picked.count(), 1);
    // Next opening shows that color on Customize.
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(button.Popup()->Palette().CurrentItem(), ColorPalette::kCustomizeItem);
    QCOMPARE(button.Popup()->Palette().CustomColor(), MakeColorRef(10, 20, 30));
    button.Popup()->hide();
}

void ColorButtonTest::colorFieldAndButtonFollowEachOther() {
    QWidget host;
    QLineEdit field(&host);
    ScriptedButton button(&host, 3);
    button.SetColor(0, 0);
    BindColorField(&field, &button);
    host.show();
    field.setText(QStringLiteral("  #ff8 "));
    QCOMPARE(button.GetColor(), MakeColorRef(255, 8, 0));
    field.setText(QStringLiteral("12"));
    QCOMPARE(button.GetColor(), MakeColorRef(18, 0, 0));

    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mousePress(button.Popup(), Qt::LeftButton, {}, CentreOf(10));  // #FF6820
    QTest::mouseRelease(button.Popup(), Qt::LeftButton, {}, CentreOf(10));
    QCOMPARE(field.text(), QStringLiteral("#FF6820"));
}

void ColorButtonTest::pictures() {
    QWidget host;
    host.resize(200, 60);
    ScriptedButton button(&host, 1);
    button.setGeometry(10, 10, 60, 24);
    button.SetColor(0, MakeColorRef(0, 0, 255));
    ScriptedButton face(&host, 2);
    face.setGeometry(80, 10, 60, 24);
    face.setEnabled(false);
    host.show();
    QVERIFY(host.grab().save(ShotPath(QStringLiteral("color_buttons.png"))));

    QTest::mouseClick(&button, Qt::LeftButton);
    CColorPopup* popup = button.Popup();
    QTest::mouseMove(popup, CentreOf(22));
    QTest::mousePress(popup, Qt::LeftButton, {}, CentreOf(30));
    QImage image = popup->grab().toImage();
    QVERIFY(image.save(ShotPath(QStringLiteral("color_popup.png"))));
    QCOMPARE(image.size(), QSize(ColorPalette::kClientWidth + 4, ColorPalette::kClientHeight + 4));
    // The swatch of a fixed color shows that color; the current item (blue) has its mark.
    QPoint red = CentreOf(17);
    QCOMPARE(QColor(image.pixel(red)), QColor(255, 0, 0));
    PaletteRect blue = ColorPalette::ItemRect(14);
    QCOMPARE(QColor(image.pixel(CColorPopup::ToWidget(blue.left + 1, blue.top + 1))), QColor(0xCC, 0xCC, 0xCC));
    PaletteRect pressed = ColorPalette::ItemRect(30);
    QCOMPARE(QColor(image.pixel(CColorPopup::ToWidget(pressed.left + 1, pressed.top + 1))), QColor(0x99, 0x99, 0xCC));
    popup->hide();
}

QTEST_MAIN(ColorButtonTest)
#include "color_button_qtest.moc"
