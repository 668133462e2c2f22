// The File Types page over a real INI file (rows saved at once by its buttons, the page's own values
// only by OK), and files opened from the explorer of the running program through the table: in the
// editor, with an external program, with the desktop's application, or through "Open With".
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/ExternalEditor.h"
#include "app/OpenWith.h"
#include "app/OptionsFileTypes.h"
#include "app/OptionsSheet.h"
#include "project/CProjectTree.h"
#include "project/ProjectBar.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace tarnwell;
using tarnwell::test::AppFixture;
using tarnwell::test::ModalDriver;

namespace {

void Shot(QWidget* w, const char* name) {
    if (const QString out = qEnvironmentVariable("TARNWELL_SHOTS"); !out.isEmpty())
        w->grab().save(out + QLatin1Char('/') + QLatin1String(name));
}

QStringList Column(QTreeWidget* list, int column) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->text(column);
    return out;
}

// A dialog a failed check leaves behind is closed, so the test ends instead of hanging.
auto Closing(QWidget* w) {
    return qScopeGuard([w = QPointer<QWidget>(w)] {
        if (auto* d = qobject_cast<QDialog*>(w.data()); d && d->isVisible()) d->reject();
    });
}

void Select(QTreeWidget* list, int row) { list->setCurrentItem(list->topLevelItem(row)); }

// Fills the association dialog and presses OK once the driver's action is over (a message box the
// press shows gets the driver's next action).
void Answer(QWidget* w, const QString& ext, bool external, const QString& editor, const QString& params = {}) {
    auto* d = qobject_cast<CFileAssocDialog*>(w);
    QVERIFY(d);
    if (!d->extension->isReadOnly()) d->extension->setText(ext);
    (external ? d->external : d->internal)->setChecked(true);
    d->editor->setText(editor);
    d->parameters->setText(params);
    QTimer::singleShot(0, d, [d] { d->accept(); });
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace

class FileTypesTest : public QObject {
    Q_OBJECT
public slots:
    void openUrl(const QUrl& url) { urls_ << url; }

private slots:
    void initTestCase();
    void pageEditsTheTableAndOkWritesItsValues();
    void explorerOpensThroughTheTable();
    void installedTypesOpenProjectsHere();

private:
    QTemporaryDir xdg_;
    bool mimeInstalled_ = false;
    QList<QUrl> urls_;
};

void FileTypesTest::initTestCase() {
    // The desktop's folders of this test: one application, the default for GIF images, and the
    // system's MIME database.
    const QString mime = QStandardPaths::locate(QStandardPaths::GenericDataLocation, "mime", QStandardPaths::LocateDirectory);
    QVERIFY(!mime.isEmpty() && QDir().mkpath(xdg_.filePath("share")));
    QVERIFY(QFile::link(mime, xdg_.filePath("share/mime")));
    qputenv("XDG_DATA_HOME", xdg_.filePath("data").toUtf8());
    qputenv("XDG_DATA_DIRS", (xdg_.filePath("share") + ":" + xdg_.filePath("installed")).toUtf8());
    qputenv("XDG_CONFIG_HOME", xdg_.filePath("config").toUtf8());
    qputenv("XDG_CONFIG_DIRS", xdg_.filePath("etc").toUtf8());
    qunsetenv("XDG_CURRENT_DESKTOP");
    QVERIFY(WriteFile(xdg_.filePath("data/applications/viewer.desktop"),
                      "[Desktop Entry]\nType=Application\nName=Picture Viewer\nExec=true %f\nMimeType=image/gif;\n"));
    QVERIFY(WriteFile(xdg_.filePath("config/mimeapps.list"), "[Default Applications]\nimage/gif=viewer.desktop\n"));
    // What installing the program leaves in its prefix: its desktop entry and its file types.
    QFile entry(QStringLiteral(TARNWELL_TEST_DATA "/../../resources/desktop/tarnwell.desktop.in"));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QVERIFY(WriteFile(xdg_.filePath("installed/applications/tarnwell.desktop"),
                      entry.readAll().replace("@TARNWELL_EXEC@", "/opt/tw/bin/tarnwell")));
    QVERIFY(QDir().mkpath(xdg_.filePath("installed/mime/packages")));
    QVERIFY(QFile::copy(QStringLiteral(TARNWELL_TEST_DATA "/../../resources/desktop/tarnwell-mime.xml"),
                        xdg_.filePath("installed/mime/packages/tarnwell.xml")));
    if (const QString update = QStandardPaths::findExecutable("update-mime-database"); !update.isEmpty())
        mimeInstalled_ = QProcess::execute(update, {xdg_.filePath("installed/mime")}) == 0;
    QCOMPARE(QMimeDatabase().mimeTypeForFile("a.css", QMimeDatabase::MatchExtension).name(), QStringLiteral("text/css"));
}

void FileTypesTest::installedTypesOpenProjectsHere() {
    if (!mimeInstalled_) QSKIP("update-mime-database is not available");
    const QString project = xdg_.filePath("site/x.TWP");
    QVERIFY(WriteFile(project, "[General]\r\n"));
    QCOMPARE(MimeTypesOf(project).value(0), QStringLiteral("application/x-tarnwell-project"));
    QCOMPARE(DesktopApplicationFor(project), QStringLiteral("tarnwell.desktop"));
    QCOMPARE(DesktopEntryExec("tarnwell.desktop"), QStringLiteral("\"/opt/tw/bin/tarnwell\" %f"));
    QCOMPARE(QMimeDatabase().mimeTypeForFile("g.asa", QMimeDatabase::MatchExtension).name(), QStringLiteral("text/x-asa"));
    QCOMPARE(QMimeDatabase().mimeTypeForFile("i.inc", QMimeDatabase::MatchExtension).name(), QStringLiteral("text/x-asp-include"));
    QCOMPARE(QMimeDatabase().mimeTypeForFile("p.asp", QMimeDatabase::MatchExtension).name(), QStringLiteral("application/x-asp"));
}

void FileTypesTest::pageEditsTheTableAndOkWritesItsValues() {
    const QString ini = xdg_.filePath("page.ini");
    {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue("Options/File Types/Editors/Count", 2);
        s.setValue("Options/File Types/Editors/#0", "bad row");
        s.setValue("Options/File Types/Editors/#1", ".css\n0\n/usr/bin/gvim\n-f");
    }
    auto profile = std::make_unique<SettingsProfile>(ini.toStdString());
    COptionsSheet::SetProfile(profile.get());
    COptionsSheet& sheet = COptionsSheet::Get();
    sheet.SetStartPage(COptionsSheet::PageFileTypes);
    auto stored = [&] {
        QStringList rows;
        const int n = profile->GetInt("Options\\File Types\\Editors", "Count", -1);
        for (int i = 0; i < n; ++i)
            rows << QString::fromStdString(profile->GetString("Options\\File Types\\Editors", "#" + std::to_string(i), ""))
                        .replace('\n', '|');
        return rows;
    };

    ModalDriver driver;
    // The page's buttons, on the sheet's own table.
    auto dialog = std::make_unique<COptionsDialog>(sheet.Values(), sheet.StartPage(), nullptr, &sheet.FileTypes(),
                                                   [&] { return sheet.SaveFileTypes(); });
    dialog->show();
    COptionsFileTypes* page = dialog->fileTypes;
    QCOMPARE(dialog->Tabs()->tabText(dialog->Tabs()->currentIndex()), QStringLiteral("File Types"));
    QCOMPARE(Column(page->list, 0), QStringList({".asp", ".aspx", ".asa", ".inc", ".htm", ".html", ".shtml", ".css"}));
    QCOMPARE(page->list->topLevelItem(7)->text(1), QStringLiteral("gvim"));
    QVERIFY(page->list->topLevelItem(0)->foreground(0) != page->list->topLevelItem(7)->foreground(0));
    QCOMPARE(page->list->columnWidth(0), 100);
    QVERIFY(page->useSystem->isChecked());
    Select(page->list, 6);
    QVERIFY(!page->change->isEnabled() && !page->remove->isEnabled());
    Select(page->list, 7);
    QVERIFY(page->change->isEnabled() && page->remove->isEnabled());
    Shot(dialog.get(), "file_types_page.png");

    QPointer<QWidget> assoc;
    driver.Then([&](QWidget* w) {
        Shot(w, "file_association.png");
        assoc = w;
        Answer(w, "  php ", true, "   ");
    });
    driver.Then([&](QWidget* w) {  // "Please enter a valid editor": the dialog stays for a second try
        ModalDriver::ClickButton(w, "OK");
        QTimer::singleShot(0, assoc, [&] { Answer(assoc, "  php ", true, "/usr/bin/kate", "-n"); });
    });
    page->Add();  // "php" without its dot, first without an editor
    QCOMPARE(Column(page->list, 0).last(), QStringLiteral(".php"));
    QCOMPARE(page->SelectedRow(), 8);
    QCOMPARE(stored(), QStringList({".css|0|/usr/bin/gvim|-f", ".php|0|/usr/bin/kate|-n"}));

    driver.Then([&](QWidget* w) {
        assoc = w;
        Answer(w, ".CSS", false, "");
    });
    driver.Then([&](QWidget* w) {  // the duplicate message; then Cancel
        ModalDriver::ClickButton(w, "OK");
        QTimer::singleShot(0, assoc, [&] { qobject_cast<QDialog*>(assoc.data())->reject(); });
    });
    page->Add();
    QCOMPARE(page->list->topLevelItemCount(), 9);

    driver.Then([&](QWidget* w) {
        auto closing = Closing(w);
        auto* d = qobject_cast<CFileAssocDialog*>(w);
        QVERIFY(d && d->extension->isReadOnly() && d->external->isChecked());
        QCOMPARE(d->editor->text(), QStringLiteral("/usr/bin/kate"));
        d->internal->setChecked(true);
        QVERIFY(!d->editor->isEnabled() && !d->browse->isEnabled());
        d->accept();
    });
    page->ChangeSelected();  // .php becomes internal
    const QString self = QCoreApplication::applicationFilePath();
    QCOMPARE(page->list->topLevelItem(8)->text(1), QFileInfo(self).fileName());
    QCOMPARE(stored().last(), QStringLiteral(".php|1|%1|").arg(self));
    QCOMPARE(driver.Seen().mid(0, 5), QStringList({"File Association", "Please enter a valid editor", "File Association",
                                                   "The specified extension is already associated with another editor",
                                                   "File Association"}));
    QVERIFY(driver.Idle());

    Select(page->list, 7);
    page->RemoveSelected();
    QCOMPARE(Column(page->list, 0).mid(7), QStringList({".php"}));
    QCOMPARE(page->SelectedRow(), 7);
    page->RemoveSelected();  // the last row: the one before it is selected
    QCOMPARE(page->SelectedRow(), 6);
    QCOMPARE(stored(), QStringList());

    driver.Then([&](QWidget* w) { Answer(w, "inc2", false, "ignored"); });
    page->Add();
    QCOMPARE(stored(), QStringList({".inc2|1|" + self + "|"}));
    driver.Click("Yes");
    page->ResetAll();
    QCOMPARE(driver.Seen().last(), QStringLiteral("Are you sure?"));
    QCOMPARE(page->list->topLevelItemCount(), 7);
    QCOMPARE(stored(), QStringList());
    QCOMPARE(sheet.FileTypes().Rows().size(), size_t(7));
    dialog.reset();

    // The sheet: Cancel writes none of the page's own values, OK writes them.
    for (bool ok : {false, true}) {
        driver.Then([&, ok](QWidget* w) {
            auto closing = Closing(w);
            auto* d = qobject_cast<COptionsDialog*>(w);
            QVERIFY(d);
            QCOMPARE(d->ActivePage(), int(COptionsSheet::PageFileTypes));
            d->fileTypes->useEditor->setChecked(true);
            d->fileTypes->list->setColumnWidth(0, 77);
            ok ? d->accept() : d->reject();
        });
        QCOMPARE(sheet.Show(), ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(sheet.FileTypeOptions().openUnlisted, ok);
        QCOMPARE(profile->GetInt("Options\\File Types", "Type Width", -1), ok ? 77 : -1);
    }
    profile->Sync();
    QSettings s(ini, QSettings::IniFormat);
    QCOMPARE(s.value("Options/File Types/Open Unlisted").toInt(), 1);
    QCOMPARE(s.value("Options/File Types/Editor Width").toInt(), 200);
    QCOMPARE(s.value("Options/File Types/Editors/Count").toInt(), 0);
    QCOMPARE(driver.Unexpected(), 0);
    COptionsSheet::Release();
    COptionsSheet::SetProfile(nullptr);
}

void FileTypesTest::explorerOpensThroughTheTable() {
    AppFixture fx;
    const QString script = fx.Path("editor.sh");
    QVERIFY(fx.Write("editor.sh", "printf %s \"$2\" > \"$1\"\n"));
    for (const char* f : {"site/page.HTM", "site/my style;x.css", "site/logo.gif", "site/notes.txt"})
        QVERIFY(fx.Write(f, "body {}\n"));
    QVERIFY(fx.Write("site/data.zzq", QByteArray("\x01\x02\x00\xff", 4)));
    const QString out = fx.Path("out-css");
    {
        QSettings s(fx.iniPath, QSettings::IniFormat);
        s.setValue("Options/File Types/Editors/Count", 1);
        s.setValue("Options/File Types/Editors/#0", ".css\n0\n/bin/sh\n\"" + script + "\" \"" + out + "\"");
    }
    fx.ResetProfile();
    QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
    CProjectTree* tree = fx.app->MainFrame()->ProjectContent()->Tree();
    QVERIFY(tree->Fill(fx.Path("site").toStdString()));
    auto open = [&](const char* name) {
        const ExplorerItem* item = tree->Locate(fx.Path(QStringLiteral("site/") + name).toStdString(), false);
        QVERIFY(item);
        tree->SelectOnly(item);
        tree->ExecuteCommand(explorer_cmd::Open);
    };
    QDesktopServices::setUrlHandler("file", this, "openUrl");
    auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("file"); });
    ModalDriver driver;

    open("page.HTM");  // a fixed row in capitals: the editor
    QCOMPARE(fx.app->DocManager().Documents().size(), std::size_t(1));
    open("my style;x.css");  // the external row: its parameters, then the path as one argument
    QTRY_COMPARE(test::AppFixture::Read(out), fx.Path("site/my style;x.css").toUtf8());
    open("logo.gif");  // unlisted, the desktop has an application for it
    QCOMPARE(urls_, QList<QUrl>({QUrl::fromLocalFile(fx.Path("site/logo.gif"))}));

    // Unlisted and nothing on the desktop opens it: "Open With", the program kept as a row.
    const QString out2 = fx.Path("out-zzq");
    driver.Then([&](QWidget* w) {
        auto closing = Closing(w);
        auto* d = qobject_cast<COpenWithDialog*>(w);
        QVERIFY(d);
        QCOMPARE(d->applications->count(), 2);  // neither declares the type: by name
        QCOMPARE(d->remember->text(), QStringLiteral("&Always open \".zzq\" files with this program"));
        Shot(d, "open_with.png");
        d->applications->setCurrentRow(0);
        QCOMPARE(d->Program(), QStringLiteral("viewer.desktop"));
        d->program->setText("/bin/sh");
        emit d->program->textEdited("/bin/sh");
        QCOMPARE(d->Program(), QStringLiteral("/bin/sh"));
        d->parameters->setText("\"" + script + "\" \"" + out2 + "\"");
        d->remember->setChecked(true);
        d->accept();
    });
    open("data.zzq");
    QCOMPARE(driver.Seen(), QStringList({"Open With"}));
    QTRY_COMPARE(test::AppFixture::Read(out2), fx.Path("site/data.zzq").toUtf8());
    COptionsSheet& sheet = COptionsSheet::Get();
    QVERIFY(sheet.FileTypes().Find(".ZZQ") && !sheet.FileTypes().Find(".zzq")->internal);
    QCOMPARE(fx.profile->GetInt("Options\\File Types\\Editors", "Count", 0), 2);

    // A program that cannot start: the question, and Yes opens the options at File Types.
    QVERIFY(sheet.FileTypes().Change(7, false, fx.Path("no-such-editor").toStdString(), ""));
    driver.Click("Yes");
    driver.Then([&](QWidget* w) {
        auto closing = Closing(w);
        auto* d = qobject_cast<COptionsDialog*>(w);
        QVERIFY(d);
        QCOMPARE(d->ActivePage(), int(COptionsSheet::PageFileTypes));
        d->reject();
    });
    open("my style;x.css");
    QTRY_VERIFY(driver.Idle());
    QVERIFY(driver.Seen().value(1).startsWith(QStringLiteral("Failed to launch associated editor \"%1\": ").arg(fx.Path("no-such-editor"))));
    QVERIFY(driver.Seen().value(1).endsWith(QStringLiteral("\n\nDo you want correct this problem now?")));

    // With "Open Unlisted" set, an unlisted type opens in the editor.
    OptionsValues values = sheet.Values();
    values.fileTypes.openUnlisted = true;
    sheet.Apply(values);
    open("notes.txt");
    QCOMPARE(fx.app->DocManager().Documents().size(), std::size_t(2));
    QCOMPARE(urls_.size(), 1);
    QCOMPARE(driver.Unexpected(), 0);
    fx.app->DocManager().CloseAllDocuments();
}

QTEST_MAIN(FileTypesTest)
#include "file_types_qtest.moc"
