// The document window's Source/Preview area with real preview files in a temporary folder and the
// real page view: switching, refusal, clean-up, the strip switched off, and a picture of a preview.
#include "app/BrowseView.h"
#include "app/FrameClient.h"
#include "platform/MemoryProfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

using namespace tarnwell;

namespace {

// A document in a folder, previewed the way a document does it.
class PageHost : public PreviewHost {
public:
    std::string text;
    std::string temp;
    int failures = 0;
    const PreviewProject* OpenProject() override { return nullptr; }
    WebPathAnswer AskForWebPath(bool&) override { return WebPathAnswer::Cancel; }
    bool EditProjectWebPath() override { return false; }
    bool WriteDocumentText(const std::string& path) override {
        std::ofstream out(path, std::ios::binary);
        out << text;
        return bool(out);
    }
    void ReportPreviewFailure() override { ++failures; }
    std::string TempFolder() override { return temp; }
};

QStringList PreviewFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("~PVW*")}, QDir::Files | QDir::Hidden);
}

}  // namespace

class FrameClientTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stripTextsAndStart();
    void previewShowsThePageAndSourceRemovesIt();
    void refusedSwitchKeepsSource();
    void noPreviewFileOutlivesTheFrame();
    void withoutInternalPreviewTheStripIsHidden();

private:
    QTemporaryDir dir_;
    PageHost host_;
    MemoryProfile messages_;
    std::string pagePath_;

    CFrameClient* MakeClient(bool internal, QWidget* parent = nullptr) {
        auto* source = new QPlainTextEdit;
        source->setPlainText(QString::fromStdString(host_.text));
        auto* client = new CFrameClient(source, internal, parent);
        client->SetPreviewMaker([this] { return MakePreviewFile(pagePath_, host_, messages_); });
        client->resize(500, 360);
        return client;
    }
    void WaitLoaded(CFrameClient* c, QSignalSpy& spy, int before) {
        if (spy.count() <= before) QVERIFY(spy.wait(60000));
        QVERIFY(spy.last().at(0).toBool());
        (void)c;
    }
};

void FrameClientTest::stripTextsAndStart() {
    host_.text = "<p>x</p>";
    pagePath_ = dir_.filePath(QStringLiteral("a.htm")).toStdString();
    std::unique_ptr<CFrameClient> c(MakeClient(true));
    QTabBar* strip = c->TabStrip();
    QCOMPARE(strip->objectName(), QStringLiteral("Tab"));
    QCOMPARE(strip->count(), 2);
    QCOMPARE(strip->tabText(0), QStringLiteral(" Source "));
    QCOMPARE(strip->tabText(1), QStringLiteral(" Preview "));
    QCOMPARE(strip->tabToolTip(0), QStringLiteral("Source Code"));
    QCOMPARE(strip->tabToolTip(1), QStringLiteral("Preview in Internal Browser"));
    QCOMPARE(c->CurrentTab(), int(CFrameClient::TabSource));
    QVERIFY(!c->BrowseView());  // made at the first Preview only
    c->show();
    // The strip lies below the view.
    QVERIFY(strip->geometry().top() > c->SourceView()->geometry().bottom());
    QCOMPARE(strip->geometry().bottom(), c->rect().bottom());
}

void FrameClientTest::previewShowsThePageAndSourceRemovesIt() {
    host_.text = "<html><head><title>Demo</title></head><body style='font-family:sans-serif'>"
                 "<h1>Tarnwell preview</h1><p>A page written to a preview file.</p></body></html>";
    pagePath_ = dir_.filePath(QStringLiteral("page.htm")).toStdString();
    std::unique_ptr<CFrameClient> c(MakeClient(true));
    c->show();
    QVERIFY(c->SelectTab(CFrameClient::TabPreview));
    CBrowseView* browse = c->BrowseView();
    QVERIFY(browse);
    QSignalSpy loaded(browse, &CBrowseView::loadFinished);
    QCOMPARE(c->TabStrip()->currentIndex(), 1);
    QCOMPARE(c->ActiveView(), browse);
    QVERIFY(browse->isVisible() && browse->isEnabled());
    QVERIFY(!c->SourceView()->isVisible());
    QVERIFY(!c->SourceView()->isEnabled());
    QString preview = c->PreviewPath();
    QVERIFY(QFileInfo(preview).fileName().startsWith(QLatin1String("~PVW")));
    QCOMPARE(QFileInfo(preview).absolutePath(), QFileInfo(QString::fromStdString(pagePath_)).absolutePath());
    QVERIFY(QFile::exists(preview));
    QCOMPARE(browse->CurrentUrl(), QUrl::fromLocalFile(preview));
    WaitLoaded(c.get(), loaded, 0);
    QTest::qWait(300);
    QDir().mkpath(QStringLiteral("screenshots"));
    c->grab().save(QStringLiteral("screenshots/preview_page.png"));

    // Clicking Source goes through the same rules.
    c->TabStrip()->setCurrentIndex(0);
    QCOMPARE(c->CurrentTab(), int(CFrameClient::TabSource));
    QVERIFY(!QFile::exists(preview));
    QVERIFY(c->PreviewPath().isEmpty());
    QCOMPARE(browse->CurrentUrl().toString(), QStringLiteral("about:blank"));
    QVERIFY(!browse->isVisible());
    QVERIFY(c->SourceView()->isVisible());
    QCOMPARE(c->ActiveView(), c->SourceView());
}

void FrameClientTest::refusedSwitchKeepsSource() {
    host_.text = "x";
    pagePath_ = dir_.filePath(QStringLiteral("gone/page.htm")).toStdString();  // the folder is missing
    std::unique_ptr<CFrameClient> c(MakeClient(true));
    c->show();
    int before = host_.failures;
    c->TabStrip()->setCurrentIndex(1);  // as a click would
    QCOMPARE(host_.failures, before + 1);
    QCOMPARE(c->TabStrip()->currentIndex(), 0);
    QCOMPARE(c->CurrentTab(), int(CFrameClient::TabSource));
    QVERIFY(c->SourceView()->isVisible());
    QVERIFY(c->BrowseView());  // made, but stays hidden
    QVERIFY(!c->BrowseView()->isVisible());
    QVERIFY(!c->SelectTab(CFrameClient::TabPreview));
    QVERIFY(c->PreviewPath().isEmpty());
}

void FrameClientTest::noPreviewFileOutlivesTheFrame() {
    host_.text = "<p>twice</p>";
    QString folder = dir_.filePath(QStringLiteral("twice"));
    QDir().mkpath(folder);
    pagePath_ = (folder + QStringLiteral("/p.htm")).toStdString();
    auto* c = MakeClient(true);
    c->show();
    QVERIFY(c->SelectTab(CFrameClient::TabPreview));
    QCOMPARE(PreviewFiles(folder).size(), 1);
    QVERIFY(c->SelectTab(CFrameClient::TabSource));
    QCOMPARE(PreviewFiles(folder).size(), 0);
    QVERIFY(c->SelectTab(CFrameClient::TabPreview));
    QCOMPARE(PreviewFiles(folder).size(), 1);
    // F12 while previewing replaces the file rather than adding one.
    QString url = c->MakePreviewForBrowser();
    QVERIFY(!url.isEmpty());
    QCOMPARE(PreviewFiles(folder).size(), 1);
    QVERIFY(CFrameClient::LivePreviewFiles().contains(c->PreviewPath()));
    delete c;
    QCOMPARE(PreviewFiles(folder).size(), 0);
    QVERIFY(CFrameClient::LivePreviewFiles().isEmpty());
}

void FrameClientTest::withoutInternalPreviewTheStripIsHidden() {
    host_.text = "<p>f12</p>";
    QString folder = dir_.filePath(QStringLiteral("f12"));
    QDir().mkpath(folder);
    pagePath_ = (folder + QStringLiteral("/p.htm")).toStdString();
    std::unique_ptr<CFrameClient> c(MakeClient(false));
    c->show();
    QVERIFY(!c->TabStrip()->isVisible());
    QCOMPARE(c->SourceView()->geometry(), c->rect());
    QString url = c->MakePreviewForBrowser();
    QVERIFY(!url.isEmpty());
    QCOMPARE(PreviewFiles(folder).size(), 1);
    QVERIFY(!c->BrowseView());
    c.reset();
    QCOMPARE(PreviewFiles(folder).size(), 0);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    CBrowseView::PrepareApplication();
    QApplication app(argc, argv);
    FrameClientTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "frame_client_qtest.moc"
