// Document windows in a whole application (real settings file, real pages in a temporary folder,
// the real page view): Source/Preview in the main frame and the preview files' lifetime, the refused
// switch, F12 through the desktop's URL handling, and the Options command reaching open views.
#include "app/BrowseView.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CVeskDoc.h"
#include "app/CommandIds.h"
#include "app/FrameClient.h"
#include "app/OptionsSheet.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"
#include "text/CVeskView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMdiArea>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

using namespace tarnwell;
using test::AppFixture;
using test::ModalDriver;

namespace {

// Catches what the program hands to the desktop's default browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QString& scheme) : scheme_(scheme) {
        QDesktopServices::setUrlHandler(scheme_, this, "open");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(scheme_); }
    QList<QUrl> urls;
    // Whether each file existed when its URL arrived.
    QList<bool> existed;
public Q_SLOTS:
    void open(const QUrl& url) {
        urls.append(url);
        existed.append(url.isLocalFile() && QFile::exists(url.toLocalFile()));
    }

private:
    QString scheme_;
};

QStringList PreviewFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("~PVW*")}, QDir::Files | QDir::Hidden);
}

CChildFrame* ActiveFrame(AppFixture& fx) {
    CMainFrame* f = fx.app->MainFrame();
    return f ? f->ActiveChild() : nullptr;
}

// Clicks a strip tab the way the mouse does.
void ClickTab(CChildFrame* frame, int index) {
    QTabBar* strip = frame->Client()->TabStrip();
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(index).center());
}

bool ShotsWanted() { return QDir().mkpath(QStringLiteral("screenshots")); }

}  // namespace

class ChildFrameTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void previewInTheMainFrameAndItsFiles();
    void refusedSwitchKeepsSource();
    void previewInDefaultBrowser();
    void withoutInternalPreviewOnlyF12();
    void optionsFromTheMenuReachOpenViews();
    void minimizingBringsTheNextWindowForwardWhole();
    void browserThatCannotStartIsReported();
    void windowsOpenedBesideARestoredOneAreWhole();
    void closingTheMaximizedWindowLeavesTheNextMaximized();

private:
    // A copy of the demo site in the fixture's folder, so preview files land there.
    QString CopyDemo(AppFixture& fx) {
        const QString site = fx.Path(QStringLiteral("Demo"));
        test::CopyFolder(QStringLiteral(TARNWELL_BIN_DIR "/Webs/Demo"), site);
        return site;
    }
    CChildFrame* OpenPage(AppFixture& fx, const QString& path) {
        if (fx.Start({path}) != CEditorApp::StartResult::Running) return nullptr;
        fx.app->MainFrame()->resize(1000, 700);
        if (!QTest::qWaitForWindowExposed(fx.app->MainFrame())) return nullptr;
        return ActiveFrame(fx);
    }
};

void ChildFrameTest::previewInTheMainFrameAndItsFiles() {
    AppFixture fx;
    const QString site = CopyDemo(fx);
    const QString page = site + QStringLiteral("/default.asp");
    CChildFrame* frame = OpenPage(fx, page);
    QVERIFY(frame);
    CMainFrame* main = fx.app->MainFrame();
    CFrameClient* client = frame->Client();
    QVERIFY(client->TabStrip()->isVisible());
    QCOMPARE(frame->ViewTarget(), dynamic_cast<CCmdTarget*>(frame->SourceView()));
    main->UpdateCommands();
    QVERIFY(main->Action(cmd::EditFind)->isEnabled());

    // Preview: the page's text beside the page, shown by the page view.
    ClickTab(frame, CFrameClient::TabPreview);
    QCOMPARE(client->CurrentTab(), int(CFrameClient::TabPreview));
    CBrowseView* browse = client->BrowseView();
    QVERIFY(browse);
    QSignalSpy loaded(browse, &CBrowseView::loadFinished);
    const QString preview = frame->PreviewPath();
    QCOMPARE(PreviewFiles(site), QStringList{QFileInfo(preview).fileName()});
    QVERIFY(QFileInfo(preview).fileName().endsWith(QLatin1String(".htm")));
    QCOMPARE(AppFixture::Read(preview), AppFixture::Read(page));
    QCOMPARE(browse->CurrentUrl(), QUrl::fromLocalFile(preview));
    QVERIFY(loaded.wait(60000));
    QVERIFY(loaded.last().at(0).toBool());
    QVERIFY(browse->isVisible());
    QVERIFY(!frame->SourceView()->isVisible());
    // The source view's commands are off while the preview is shown; the window's own stay.
    QCOMPARE(frame->ViewTarget(), nullptr);
    main->UpdateCommands();
    QVERIFY(!main->Action(cmd::EditFind)->isEnabled());
    QVERIFY(main->Action(cmd::PreviewInBrowser)->isEnabled());
    QVERIFY(!frame->Document()->IsModified());
    if (ShotsWanted()) {
        QTest::qWait(300);
        main->grab().save(QStringLiteral("screenshots/app_preview.png"));
    }

    // Back to Source: the file goes, the commands come back.
    ClickTab(frame, CFrameClient::TabSource);
    QCOMPARE(client->CurrentTab(), int(CFrameClient::TabSource));
    QVERIFY(PreviewFiles(site).isEmpty());
    QVERIFY(frame->PreviewPath().isEmpty());
    QCOMPARE(browse->CurrentUrl(), QUrl(QStringLiteral("about:blank")));
    main->UpdateCommands();
    QVERIFY(main->Action(cmd::EditFind)->isEnabled());

    // A second window on the page previews on its own; closing each window removes its file.
    ClickTab(frame, CFrameClient::TabPreview);
    QVERIFY(main->RouteCommand(cmd::WindowNew));
    CChildFrame* second = ActiveFrame(fx);
    QVERIFY(second && second != frame);
    QVERIFY(second->Client()->SelectTab(CFrameClient::TabPreview));
    QCOMPARE(PreviewFiles(site).size(), 2);
    const QString secondFile = second->PreviewPath();
    QVERIFY(frame->close());
    QTRY_COMPARE(PreviewFiles(site), QStringList{QFileInfo(secondFile).fileName()});

    // Shutting the application down with a preview shown leaves nothing behind.
    QVERIFY(main->close());
    fx.Stop();
    QVERIFY(PreviewFiles(site).isEmpty());
    QVERIFY(CFrameClient::LivePreviewFiles().isEmpty());
}

void ChildFrameTest::refusedSwitchKeepsSource() {
    AppFixture fx;
    fx.Write(QStringLiteral("gone/page.htm"), "<p>soon without a folder</p>");
    CChildFrame* frame = OpenPage(fx, fx.Path(QStringLiteral("gone/page.htm")));
    QVERIFY(frame);
    QVERIFY(QDir(fx.Path(QStringLiteral("gone"))).removeRecursively());
    ModalDriver driver;
    driver.Click(QStringLiteral("OK"));
    ClickTab(frame, CFrameClient::TabPreview);
    QCOMPARE(driver.Seen(), QStringList{QStringLiteral("Failed to create preview file.")});
    QCOMPARE(frame->Client()->TabStrip()->currentIndex(), int(CFrameClient::TabSource));
    QCOMPARE(frame->Client()->CurrentTab(), int(CFrameClient::TabSource));
    QVERIFY(frame->SourceView()->isVisible());
    QVERIFY(frame->ViewTarget());
    QVERIFY(frame->PreviewPath().isEmpty());
    QCOMPARE(driver.Unexpected(), 0);
}

void ChildFrameTest::previewInDefaultBrowser() {
    AppFixture fx;
    UrlCatcher browser(QStringLiteral("file"));
    const QString site = CopyDemo(fx);
    CChildFrame* frame = OpenPage(fx, site + QStringLiteral("/about.htm"));
    QVERIFY(frame);
    CMainFrame* main = fx.app->MainFrame();
    main->UpdateCommands();
    QAction* f12 = main->Action(cmd::PreviewInBrowser);
    QCOMPARE(f12->shortcut(), QKeySequence(Qt::Key_F12));
    QVERIFY(f12->isEnabled());

    // The key as the user presses it.
    frame->SourceView()->setFocus();
    QTest::keyClick(frame->SourceView(), Qt::Key_F12);
    QCOMPARE(browser.urls.size(), 1);
    QVERIFY(browser.existed.at(0));
    const QString first = browser.urls.at(0).toLocalFile();
    QCOMPARE(QFileInfo(first).absolutePath(), QFileInfo(site).absoluteFilePath());
    QCOMPARE(AppFixture::Read(first), AppFixture::Read(site + QStringLiteral("/about.htm")));

    // The next preview replaces the file; the internal preview does as well.
    QVERIFY(main->RouteCommand(cmd::PreviewInBrowser));
    QCOMPARE(browser.urls.size(), 2);
    QVERIFY(browser.existed.at(1));
    QCOMPARE(PreviewFiles(site), QStringList{browser.urls.at(1).fileName()});
    QVERIFY(frame->Client()->SelectTab(CFrameClient::TabPreview));
    QCOMPARE(PreviewFiles(site), QStringList{QFileInfo(frame->PreviewPath()).fileName()});
    // F12 works while the preview is shown, too.
    QVERIFY(main->RouteCommand(cmd::PreviewInBrowser));
    QCOMPARE(browser.urls.size(), 3);
    QCOMPARE(PreviewFiles(site).size(), 1);

    // An untitled page goes to the temporary folder.
    QTemporaryDir temp;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    QVERIFY(main->RouteCommand(cmd::FileNew));
    CChildFrame* untitled = ActiveFrame(fx);
    QVERIFY(untitled && untitled->Document()->IsUntitled());
    QVERIFY(main->RouteCommand(cmd::PreviewInBrowser));
    QCOMPARE(browser.urls.size(), 4);
    QVERIFY(browser.existed.at(3));
    const QString tempFile = browser.urls.at(3).toLocalFile();
    QCOMPARE(QFileInfo(tempFile).absolutePath(), QFileInfo(temp.path()).absoluteFilePath());
    QVERIFY(QRegularExpression(QStringLiteral("^~PVW[0-9A-F]{4,}\\.htm$"))
                .match(QFileInfo(tempFile).fileName())
                .hasMatch());
    if (oldTmp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTmp);

    // Closing the window of the page takes its file; the program's end takes the rest.
    QVERIFY(frame->close());
    QTRY_VERIFY(PreviewFiles(site).isEmpty());
    QVERIFY(QFile::exists(tempFile));
    QVERIFY(main->close());
    fx.Stop();
    QVERIFY(!QFile::exists(tempFile));
}

void ChildFrameTest::withoutInternalPreviewOnlyF12() {
    AppFixture fx;
    UrlCatcher browser(QStringLiteral("file"));
    fx.profile->WriteInt("Options\\General", "Enable Internal Preview", 0);
    const QString site = CopyDemo(fx);
    CChildFrame* frame = OpenPage(fx, site + QStringLiteral("/default.asp"));
    QVERIFY(frame);
    QVERIFY(!frame->Client()->TabStrip()->isVisible());
    // The source view takes the whole window (a maximized one keeps its 2-pixel edge).
    QVERIFY(frame->isMaximized());
    QCOMPARE(frame->SourceView()->geometry().bottom(), frame->Client()->rect().bottom() - 2);
    QVERIFY(fx.app->MainFrame()->RouteCommand(cmd::PreviewInBrowser));
    QCOMPARE(browser.urls.size(), 1);
    QVERIFY(browser.existed.at(0));

    // Switching the option on acts from the next start only.
    ModalDriver driver;
    driver.Then([](QWidget* w) {
        auto* dlg = qobject_cast<COptionsDialog*>(w);
        QVERIFY(dlg);
        dlg->general->enableInternalPreview->setChecked(true);
        ModalDriver::ClickButton(w, QStringLiteral("OK"));
    });
    fx.app->MainFrame()->Action(cmd::ToolsOptions)->trigger();
    QVERIFY(driver.Idle());
    QCOMPARE(fx.profile->GetInt("Options\\General", "Enable Internal Preview", -1), 1);
    QVERIFY(fx.app->MainFrame()->RouteCommand(cmd::WindowNew));
    QVERIFY(!ActiveFrame(fx)->Client()->TabStrip()->isVisible());
    QVERIFY(fx.app->MainFrame()->close());
    fx.Stop();
    QVERIFY(PreviewFiles(site).isEmpty());

    frame = OpenPage(fx, site + QStringLiteral("/default.asp"));
    QVERIFY(frame);
    QVERIFY(frame->Client()->TabStrip()->isVisible());
}

void ChildFrameTest::optionsFromTheMenuReachOpenViews() {
    AppFixture fx;
    const QString site = CopyDemo(fx);
    CChildFrame* frame = OpenPage(fx, site + QStringLiteral("/default.asp"));
    QVERIFY(frame);
    CMainFrame* main = fx.app->MainFrame();
    auto* view = qobject_cast<CVeskView*>(frame->SourceView());
    QVERIFY(view);
    // A new view starts with the stored font.
    QCOMPARE(view->TextFont().pointSize(), COptionsSheet::Get().Edit().fontSize);
    main->UpdateCommands();
    QAction* options = main->Action(cmd::ToolsOptions);
    QVERIFY(options->isEnabled());

    // Cancel changes nothing; the page shown last opens first next time.
    ModalDriver driver;
    driver.Then([](QWidget* w) {
        auto* dlg = qobject_cast<COptionsDialog*>(w);
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Options"));
        dlg->ShowPage(COptionsSheet::PageEdit);
        dlg->edit->tabSize->setText(QStringLiteral("9"));
        ModalDriver::ClickButton(w, QStringLiteral("Cancel"));
    });
    options->trigger();
    QVERIFY(driver.Idle());
    QCOMPARE(CCrystalTextView::GetViewSettings().tabSize, 4);
    QCOMPARE(fx.profile->GetInt("Options\\Edit", "Tab Size", -1), -1);

    // OK: the open view takes size and tab size at once, and the settings file has them.
    driver.Then([](QWidget* w) {
        auto* dlg = qobject_cast<COptionsDialog*>(w);
        QVERIFY(dlg);
        QCOMPARE(dlg->ActivePage(), int(COptionsSheet::PageEdit));
        if (ShotsWanted()) {
            for (int page : {COptionsSheet::PageGeneral, COptionsSheet::PageEdit, COptionsSheet::PageColor}) {
                dlg->ShowPage(page);
                QTest::qWait(30);
                dlg->grab().save(QStringLiteral("screenshots/app_options_%1.png").arg(page));
            }
            dlg->ShowPage(COptionsSheet::PageEdit);
        }
        dlg->edit->size->setEditText(QStringLiteral("20"));
        dlg->edit->tabSize->setText(QStringLiteral("8"));
        dlg->edit->lineNumber->setChecked(true);
        ModalDriver::ClickButton(w, QStringLiteral("OK"));
    });
    options->trigger();
    QVERIFY(driver.Idle());
    QCOMPARE(driver.Unexpected(), 0);
    QCOMPARE(view->TextFont().pointSize(), 20);
    QCOMPARE(CCrystalTextView::GetViewSettings().tabSize, 8);
    QVERIFY(CCrystalTextView::GetViewSettings().showLineNumbers);
    fx.profile->Sync();
    QCOMPARE(fx.profile->GetInt("Options\\Edit", "Font Size", -1), 20);
    QCOMPARE(fx.profile->GetInt("Options\\Edit", "Tab Size", -1), 8);

    // A window opened afterwards has the new font as well.
    QVERIFY(main->RouteCommand(cmd::WindowNew));
    auto* later = qobject_cast<CVeskView*>(ActiveFrame(fx)->SourceView());
    QVERIFY(later && later != view);
    QCOMPARE(later->TextFont().pointSize(), 20);
    QCOMPARE(main->FileButtonCount(), 2);
    QCOMPARE(main->FileButtonText(ActiveFrame(fx)), QStringLiteral("default.asp:2"));
    if (ShotsWanted()) {
        QTest::qWait(50);
        main->grab().save(QStringLiteral("screenshots/app_after_options.png"));
    }

    // The next run reads what OK wrote.
    QVERIFY(main->close());
    fx.Stop();
    frame = OpenPage(fx, site + QStringLiteral("/default.asp"));
    QVERIFY(frame);
    QCOMPARE(qobject_cast<CVeskView*>(frame->SourceView())->TextFont().pointSize(), 20);
    QCOMPARE(CCrystalTextView::GetViewSettings().tabSize, 8);
}

void ChildFrameTest::minimizingBringsTheNextWindowForwardWhole() {
    AppFixture fx;
    QVERIFY(fx.Write(QStringLiteral("a.asp"), "first\r\n"));
    QVERIFY(fx.Write(QStringLiteral("b.asp"), "second\r\n"));
    CChildFrame* first = OpenPage(fx, fx.Path(QStringLiteral("a.asp")));
    QVERIFY(first);
    QVERIFY(fx.app->OpenDocumentFile(fx.Path(QStringLiteral("b.asp"))));
    CChildFrame* second = ActiveFrame(fx);
    QVERIFY(second && second != first);
    QTRY_VERIFY(second->isMaximized());

    // Both opened maximized; minimizing the active one brings the other forward with its page shown,
    // not shrunk to a bare title bar.
    second->SystemCommand(CChildFrame::Minimize);
    QTRY_COMPARE(ActiveFrame(fx), first);
    QTRY_VERIFY(first->isVisible() && !first->isMinimized());
    QVERIFY(first->height() > 200);
    QVERIFY(first->SourceView()->height() > 100);

    // Maximized again and restored by the user: the same size comes back.
    first->SystemCommand(CChildFrame::Maximize);
    QTRY_VERIFY(first->isMaximized());
    first->SystemCommand(CChildFrame::Restore);
    QTRY_VERIFY(!first->isMaximized());
    QVERIFY(first->height() > 200);
}

void ChildFrameTest::browserThatCannotStartIsReported() {
    AppFixture fx;
    const QString site = CopyDemo(fx);
    CChildFrame* frame = OpenPage(fx, site + QStringLiteral("/about.htm"));
    QVERIFY(frame);
    // No handler and no program on the path: the desktop cannot open the page.
    QTemporaryDir empty;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(empty.path()));
    ModalDriver driver;
    driver.Click(QStringLiteral("OK"));
    QVERIFY(fx.app->MainFrame()->RouteCommand(cmd::PreviewInBrowser));
    qputenv("PATH", oldPath);
    QCOMPARE(driver.Seen(), QStringList{QStringLiteral("Failed to open the preview in the default browser: the "
                                                       "desktop could not start a program for it.")});
    QVERIFY(PreviewFiles(site).isEmpty());
    QVERIFY(frame->PreviewPath().isEmpty());
    // The Help menu's addresses go the same way.
    qputenv("PATH", QFile::encodeName(empty.path()));
    driver.Click(QStringLiteral("OK"));
    QVERIFY(fx.app->MainFrame()->RouteCommand(cmd::CheckForUpdates));
    qputenv("PATH", oldPath);
    QCOMPARE(driver.Seen().size(), 2);
    QVERIFY(driver.Seen().last().startsWith(QStringLiteral("Failed to open \"https://")));
}

void ChildFrameTest::windowsOpenedBesideARestoredOneAreWhole() {
    AppFixture fx;
    for (const char* name : {"a.asp", "b.asp", "c.asp"}) QVERIFY(fx.Write(QString::fromLatin1(name), "text\r\n"));
    CChildFrame* first = OpenPage(fx, fx.Path(QStringLiteral("a.asp")));
    QVERIFY(first);
    first->SystemCommand(CChildFrame::Restore);
    QTRY_VERIFY(!first->isMaximized());
    const QRect area = fx.app->MainFrame()->MdiArea()->viewport()->rect();
    // Beside a restored window the next ones open restored, whole, each below and right of the last.
    CChildFrame* previous = first;
    for (const char* name : {"b.asp", "c.asp"}) {
        QVERIFY(fx.app->OpenDocumentFile(fx.Path(QString::fromLatin1(name))));
        CChildFrame* next = ActiveFrame(fx);
        QVERIFY(next && next != previous);
        QVERIFY(!next->isMaximized());
        QVERIFY2(next->height() > 200 && next->SourceView()->height() > 100, qPrintable(QString::number(next->height())));
        QVERIFY(area.contains(next->geometry()));
        QVERIFY(next->pos().x() > previous->pos().x() && next->pos().y() > previous->pos().y());
        previous = next;
    }
}

void ChildFrameTest::closingTheMaximizedWindowLeavesTheNextMaximized() {
    AppFixture fx;
    for (const char* name : {"a.asp", "b.asp", "c.asp"}) QVERIFY(fx.Write(QString::fromLatin1(name), "text\r\n"));
    QVERIFY(OpenPage(fx, fx.Path(QStringLiteral("a.asp"))));
    QVERIFY(fx.app->OpenDocumentFile(fx.Path(QStringLiteral("b.asp"))));
    QVERIFY(fx.app->OpenDocumentFile(fx.Path(QStringLiteral("c.asp"))));
    CMainFrame* main = fx.app->MainFrame();
    // File Close, and the window's own close: each time the window that comes forward is maximized.
    QVERIFY(main->RouteCommand(cmd::FileClose));
    QTRY_VERIFY(ActiveFrame(fx) && ActiveFrame(fx)->isMaximized());
    QVERIFY(ActiveFrame(fx)->close());
    QTRY_VERIFY(ActiveFrame(fx) && ActiveFrame(fx)->isMaximized());
    QCOMPARE(main->MdiArea()->subWindowList().size(), 1);
    // A restored window is closed: the other stays as it was.
    CChildFrame* last = ActiveFrame(fx);
    QVERIFY(fx.app->OpenDocumentFile(fx.Path(QStringLiteral("c.asp"))));
    QVERIFY(ActiveFrame(fx) != last);
    ActiveFrame(fx)->SystemCommand(CChildFrame::Restore);
    QTRY_VERIFY(!ActiveFrame(fx)->isMaximized());
    QVERIFY(!last->isMaximized());
    QVERIFY(main->RouteCommand(cmd::FileClose));
    QTRY_COMPARE(main->MdiArea()->subWindowList().size(), 1);
    QTest::qWait(50);
    QVERIFY(!last->isMaximized());
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    CBrowseView::PrepareApplication();
    QApplication app(argc, argv);
    ChildFrameTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "child_frame_qtest.moc"
