// The Options sheet over a real INI file: reading with range rules, Cancel writing nothing, OK
// writing and telling the views, range checks, the start page, the Color page, the font lists,
// and a picture of each page.
#include "app/OptionsSheet.h"
#include "html/ColorButton.h"
#include "platform/SettingsProfile.h"
#include "tests/support/ModalDriver.h"
#include "text/CCrystalTextBuffer.h"
#include "text/CVeskView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwell;
using tarnwell::test::ModalDriver;

namespace {

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

COptionsDialog* AsDialog(QWidget* w) {
    auto* d = qobject_cast<COptionsDialog*>(w);
    if (!d) qWarning("not the options dialog: %s", qPrintable(w->windowTitle()));
    return d;
}

}  // namespace

class OptionsSheetTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void readsStoredValuesIntoRange();
    void cancelWritesNothing();
    void okWritesEverythingAndTellsTheViews();
    void outOfRangeInputKeepsTheSheetOpen();
    void startPageIsRememberedInTheRun();
    void colorPageSwitchAndReset();
    void fontListsAndSizeSelection();
    void viewsFollowOk();
    void missingFaceFallsBackToFixedPitch();
    void pictures();

private:
    QTemporaryDir dir_;
    QString ini_;
    std::unique_ptr<SettingsProfile> profile_;
    void UseIni(const std::function<void(QSettings&)>& fill = {});
};

void OptionsSheetTest::init() {
    ini_ = dir_.filePath(QStringLiteral("%1.ini").arg(QTest::currentTestFunction()));
    QFile::remove(ini_);
}

void OptionsSheetTest::cleanup() {
    COptionsSheet::Release();
    COptionsSheet::SetProfile(nullptr);
    profile_.reset();
}

void OptionsSheetTest::UseIni(const std::function<void(QSettings&)>& fill) {
    if (fill) {
        QSettings s(ini_, QSettings::IniFormat);
        fill(s);
        s.sync();
    }
    profile_ = std::make_unique<SettingsProfile>(ini_.toStdString());
    COptionsSheet::SetProfile(profile_.get());
}

void OptionsSheetTest::readsStoredValuesIntoRange() {
    UseIni([](QSettings& s) {
        s.setValue("Options/Edit/Font Size", 100);
        s.setValue("Options/Edit/Tab Size", 0);
        s.setValue("Options/General/Enable Internal Preview", 0);
        s.setValue("Options/Color/ASPKeyword", 255);
    });
    const COptionsSheet& sheet = COptionsSheet::Get();
    QCOMPARE(sheet.Edit().fontSize, 72);
    QCOMPARE(sheet.Edit().tabSize, 1);
    QCOMPARE(sheet.Editing().tabSize, 1);
    QVERIFY(!sheet.InternalPreviewAtStart());
    QCOMPARE(sheet.Color().colors[SlotAspKeyword], MakeColorRef(255, 0, 0));
    COptionsSheet::Release();

    UseIni([](QSettings& s) { s.setValue("Options/Edit/Tab Size", 200); });
    QCOMPARE(COptionsSheet::Get().Edit().tabSize, 64);

    // The dialog shows the values in range.
    COptionsDialog dialog(COptionsSheet::Get().Values(), COptionsSheet::PageEdit);
    QCOMPARE(dialog.edit->tabSize->text(), QStringLiteral("64"));
}

void OptionsSheetTest::cancelWritesNothing() {
    UseIni([](QSettings& s) { s.setValue("Options/Edit/Tab Size", 8); });
    COptionsSheet& sheet = COptionsSheet::Get();
    profile_->Sync();
    const QByteArray before = FileBytes(ini_);
    QSignalSpy edits(&sheet, &COptionsSheet::editOptionsApplied);
    ModalDriver driver;
    driver.Then([](QWidget* w) {
        COptionsDialog* d = AsDialog(w);
        d->ShowPage(COptionsSheet::PageEdit);
        d->edit->tabSize->setText(QStringLiteral("3"));
        d->edit->lineNumber->setChecked(true);
        d->edit->defaultEncoding->setCurrentIndex(d->edit->defaultEncoding->findData(65001));
        d->ShowPage(COptionsSheet::PageColor);  // leaving the page takes its values into the dialog
        d->color->enableColoring->setChecked(false);
        d->reject();
    });
    QCOMPARE(sheet.Show(), int(QDialog::Rejected));
    QVERIFY(driver.Idle());
    profile_->Sync();
    QCOMPARE(FileBytes(ini_), before);
    QCOMPARE(sheet.Edit().tabSize, 8);
    QVERIFY(!sheet.Edit().showLineNumber);
    QVERIFY(sheet.Color().enableSyntaxColoring);
    QCOMPARE(edits.count(), 0);
}

void OptionsSheetTest::okWritesEverythingAndTellsTheViews() {
    UseIni();
    COptionsSheet& sheet = COptionsSheet::Get();
    QSignalSpy edits(&sheet, &COptionsSheet::editOptionsApplied);
    QSignalSpy colors(&sheet, &COptionsSheet::colorOptionsApplied);
    const QStringList faces = FixedPitchFamilies();
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
        COptionsDialog* d = AsDialog(w);
        d->general->enableInternalPreview->setChecked(false);
        d->general->reloadLastProject->setChecked(false);
        d->ShowPage(COptionsSheet::PageEdit);
        if (!faces.isEmpty()) d->edit->face->setCurrentIndex(0);
        d->edit->size->setEditText(QStringLiteral("20"));
        d->edit->tabSize->setText(QStringLiteral("2"));
        d->edit->tabToSpace->setChecked(true);
        d->edit->lineNumber->setChecked(true);
        d->edit->defaultEncoding->setCurrentIndex(d->edit->defaultEncoding->findData(65001));
        d->ShowPage(COptionsSheet::PageColor);
        d->color->buttons[SlotHtmlKeyword]->SetColor(0, MakeColorRef(1, 2, 3));
        d->accept();
    });
    QCOMPARE(sheet.Show(), int(QDialog::Accepted));
    QCOMPARE(edits.count(), 1);
    QCOMPARE(colors.count(), 1);
    QCOMPARE(sheet.Edit().tabSize, 2);
    QCOMPARE(sheet.Editing().tabSize, 2);
    QVERIFY(sheet.Editing().tabToSpace);
    QVERIFY(sheet.Editing().showLineNumbers);
    QCOMPARE(sheet.Edit().fontSize, 20);
    QCOMPARE(sheet.Edit().defaultEncoding, CodePage::Utf8);
    QCOMPARE(sheet.Color().colors[SlotHtmlKeyword], MakeColorRef(1, 2, 3));
    // The preview switch changes what is stored, not what the frames of this run use.
    QVERIFY(!sheet.General().enableInternalPreview);
    QVERIFY(sheet.InternalPreviewAtStart());

    profile_->Sync();
    QSettings s(ini_, QSettings::IniFormat);
    QCOMPARE(s.value("Options/Edit/Tab Size").toInt(), 2);
    QCOMPARE(s.value("Options/Edit/Font Size").toInt(), 20);
    QCOMPARE(s.value("Options/Edit/Tab to Space").toInt(), 1);
    QCOMPARE(s.value("Options/Edit/Default Encoding").toInt(), 65001);
    QCOMPARE(s.value("Options/General/Enable Internal Preview").toInt(), 0);
    QCOMPARE(s.value("Options/General/Reload Last Project").toInt(), 0);
    QCOMPARE(s.value("Options/General/Remember Open Files").toInt(), 1);
    QCOMPARE(s.value("Options/Color/HTMLKeyword").toInt(), int(MakeColorRef(1, 2, 3)));
    QCOMPARE(s.value("Options/Color/SelMargin").toInt(), 12632256);
    if (!faces.isEmpty()) QCOMPARE(s.value("Options/Edit/Font Face").toString(), faces.first());
    else QCOMPARE(s.value("Options/Edit/Font Face").toString(), QStringLiteral("FixedSys"));
}

void OptionsSheetTest::outOfRangeInputKeepsTheSheetOpen() {
    UseIni();
    COptionsSheet& sheet = COptionsSheet::Get();
    ModalDriver driver;
    COptionsDialog* dialog = nullptr;
    bool openAfterFirst = false;
    int pageAfterSecond = -1;
    driver.Then([&](QWidget* w) {
        dialog = AsDialog(w);
        dialog->ShowPage(COptionsSheet::PageEdit);
        dialog->edit->tabSize->setText(QStringLiteral("0"));
        QTimer::singleShot(0, dialog, [&] { dialog->accept(); });  // refused with the range message
    });
    driver.Then([&](QWidget* w) {
        ModalDriver::ClickButton(w, QStringLiteral("OK"));
        QTimer::singleShot(0, dialog, [&] {
            openAfterFirst = dialog->isVisible();
            // Leaving the page with a bad font size is refused as well.
            dialog->edit->tabSize->setText(QStringLiteral("64"));
            dialog->edit->size->setEditText(QStringLiteral("7"));
            dialog->Tabs()->setCurrentIndex(0);
        });
    });
    driver.Then([&](QWidget* w) {
        ModalDriver::ClickButton(w, QStringLiteral("OK"));
        QTimer::singleShot(0, dialog, [&] {
            pageAfterSecond = dialog->ActivePage();
            dialog->edit->size->setEditText(QStringLiteral("72"));
            dialog->accept();
        });
    });
    QCOMPARE(sheet.Show(), int(QDialog::Accepted));
    QVERIFY(driver.Idle());
    QVERIFY(openAfterFirst);
    QCOMPARE(pageAfterSecond, int(COptionsSheet::PageEdit));
    QCOMPARE(driver.Seen().count(), 3);
    QCOMPARE(driver.Seen().at(1), QStringLiteral("Please enter an integer between 1 and 64."));
    QCOMPARE(driver.Seen().at(2), QStringLiteral("Please enter an integer between 8 and 72."));
    QCOMPARE(sheet.Edit().tabSize, 64);
    QCOMPARE(sheet.Edit().fontSize, 72);
}

void OptionsSheetTest::startPageIsRememberedInTheRun() {
    UseIni();
    COptionsSheet& sheet = COptionsSheet::Get();
    QCOMPARE(sheet.StartPage(), int(COptionsSheet::PageGeneral));
    ModalDriver driver;
    driver.Then([](QWidget* w) {
        COptionsDialog* d = AsDialog(w);
        QCOMPARE(d->ActivePage(), int(COptionsSheet::PageGeneral));
        d->ShowPage(COptionsSheet::PageColor);
        d->reject();
    });
    sheet.Show();
    driver.Then([](QWidget* w) {
        COptionsDialog* d = AsDialog(w);
        QCOMPARE(d->ActivePage(), int(COptionsSheet::PageColor));
        QCOMPARE(d->Tabs()->tabText(d->Tabs()->currentIndex()), QStringLiteral("Color"));
        d->reject();
    });
    sheet.Show();
    QVERIFY(driver.Idle());
    QCOMPARE(sheet.StartPage(), int(COptionsSheet::PageColor));
}

void OptionsSheetTest::colorPageSwitchAndReset() {
    UseIni([](QSettings& s) {
        s.setValue("Options/Color/Enable Syntax Coloring", 0);
        s.setValue("Options/Color/HTMLString", 255);
    });
    COptionsDialog d(COptionsSheet::Get().Values(), COptionsSheet::PageColor);
    for (CColorButton* b : d.color->buttons) QVERIFY(!b->isEnabled());
    d.color->enableColoring->setChecked(true);
    for (CColorButton* b : d.color->buttons) QVERIFY(b->isEnabled());
    QCOMPARE(d.color->buttons[SlotHtmlString]->GetColor(), MakeColorRef(255, 0, 0));
    // Each button's automatic color is its value's default.
    QCOMPARE(d.color->buttons[SlotHtmlString]->AutomaticColor(), MakeColorRef(128, 0, 128));
    d.color->resetAll->click();
    for (int i = 0; i < ColorSlotCount; ++i) QCOMPARE(d.color->buttons[size_t(i)]->GetColor(), DefaultSlotColor(i));
    d.color->enableColoring->setChecked(false);
    QVERIFY(!d.color->buttons[SlotSelMargin]->isEnabled());
}

void OptionsSheetTest::fontListsAndSizeSelection() {
    const QStringList faces = FixedPitchFamilies();
    QStringList sorted = faces;
    sorted.sort(Qt::CaseInsensitive);
    QCOMPARE(faces, sorted);
    for (const QString& f : faces) {
        QVERIFY(!f.startsWith(QLatin1Char('@')));
        QVERIFY(QFontDatabase::isFixedPitch(f));
    }
    for (const QString& proportional : {QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Serif")})
        QVERIFY(!faces.contains(proportional));
    if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans Mono")))
        QVERIFY(faces.contains(QStringLiteral("DejaVu Sans Mono")));
    if (faces.isEmpty()) QSKIP("no fixed-pitch font on this machine");

    UseIni([&](QSettings& s) {
        s.setValue("Options/Edit/Font Face", faces.first());
        s.setValue("Options/Edit/Font Size", 13);  // not in the fixed list
    });
    COptionsDialog d(COptionsSheet::Get().Values(), COptionsSheet::PageEdit);
    QCOMPARE(d.edit->face->currentText(), faces.first());
    QStringList sizes;
    for (int i = 0; i < d.edit->size->count(); ++i) sizes << d.edit->size->itemText(i);
    QCOMPARE(sizes, FontSizesFor(faces.first()));
    // Opening: the stored size is kept in the field without a selection.
    QCOMPARE(d.edit->size->currentIndex(), -1);
    QCOMPARE(d.edit->size->currentText(), QStringLiteral("13"));
    if (faces.size() > 1) {
        d.edit->face->setCurrentIndex(1);
        // A face change selects the first size when the old one is not offered.
        QCOMPARE(d.edit->size->currentIndex(), 0);
        d.edit->size->setCurrentIndex(d.edit->size->findText(QStringLiteral("12")));
        d.edit->face->setCurrentIndex(0);
        QCOMPARE(d.edit->size->currentText(), QStringLiteral("12"));
    }

    // A stored face that is not installed leaves the list without a selection; OK keeps that face.
    COptionsSheet::Release();
    UseIni([&](QSettings& s) { s.setValue("Options/Edit/Font Face", "No Such Face"); });
    COptionsDialog missing(COptionsSheet::Get().Values(), COptionsSheet::PageEdit);
    QCOMPARE(missing.edit->face->currentIndex(), -1);
    QCOMPARE(missing.edit->face->placeholderText(), QStringLiteral("No Such Face (not installed)"));
    missing.accept();
    QCOMPARE(missing.Result().edit.fontFace, std::string("No Such Face"));
}

void OptionsSheetTest::viewsFollowOk() {
    UseIni([](QSettings& s) {
        s.setValue("Options/Edit/Tab Size", 3);
        s.setValue("Options/Color/Enable Syntax Coloring", 0);
    });
    COptionsSheet& sheet = COptionsSheet::Get();
    // Creating the store publishes what it read.
    QCOMPARE(CCrystalTextView::GetViewSettings().tabSize, 3);
    QVERIFY(!CVeskView::ColorPalette().syntaxColoring);

    CCrystalTextBuffer buffer;
    buffer.InitFromText(LineEndDos, "<p>\tx</p>");
    CVeskView first(&buffer, FileKindHtml), second(&buffer, FileKindHtml);
    first.show();
    second.show();
    OptionsValues v = sheet.Values();
    v.edit.fontSize = 20;
    v.edit.tabSize = 9;
    v.edit.showLineNumber = true;
    v.edit.showSelectionMargin = false;
    v.color.enableSyntaxColoring = true;
    v.color.colors[SlotHtmlKeyword] = MakeColorRef(10, 20, 30);
    sheet.Apply(v);
    for (CVeskView* view : {&first, &second}) QCOMPARE(view->TextFont().pointSize(), 20);
    const ViewSettings& vs = CCrystalTextView::GetViewSettings();
    QCOMPARE(vs.tabSize, 9);
    QVERIFY(vs.showLineNumbers);
    QVERIFY(!vs.showSelectionMargin);
    QVERIFY(CVeskView::ColorPalette().syntaxColoring);
    QCOMPARE(CVeskView::ColorPalette().colors[ColorHtmlKeyword], (RgbColor{10, 20, 30}));
    QCOMPARE(first.ColorForIndex(ClassHtmlKeyword), QColor(10, 20, 30));
}

void OptionsSheetTest::missingFaceFallsBackToFixedPitch() {
    for (const char* face : {"No Such Face Tw", "", "FixedSys"}) {
        UseIni([face](QSettings& s) { s.setValue("Options/Edit/Font Face", face); });
        CCrystalTextBuffer buffer;
        buffer.InitFromText(LineEndDos, "Wi");
        CVeskView view(&buffer, FileKindHtml);
        COptionsSheet::Get().ApplyFontTo(&view);
        const QFontMetrics m(view.TextFont());
        QVERIFY2(m.horizontalAdvance(QLatin1Char('W')) == m.horizontalAdvance(QLatin1Char('i')), face);
        QCOMPARE(view.TextFont().pointSize(), 12);
        cleanup();
    }
}

void OptionsSheetTest::pictures() {
    UseIni();
    QDir().mkpath(QStringLiteral("screenshots"));
    COptionsDialog d(COptionsSheet::Get().Values(), COptionsSheet::PageGeneral);
    d.show();
    const char* names[] = {"options_general.png", "options_edit.png", "options_filetypes.png", "options_color.png"};
    QCOMPARE(d.Tabs()->count(), 4);
    for (int i = 0; i < d.Tabs()->count(); ++i) {
        d.Tabs()->setCurrentIndex(i);
        QVERIFY(d.grab().save(QStringLiteral("screenshots/") + QLatin1String(names[i])));
    }
}

QTEST_MAIN(OptionsSheetTest)
#include "options_sheet_qtest.moc"
