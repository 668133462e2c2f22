// The single-instance hand-off with the real program: this test process runs the application as the
// first instance (on a channel of its own) and starts the real `tarnwell` program as second
// instances; one case runs both instances as real programs.
#include "app/CChildFrame.h"
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/CVeskDoc.h"
#include "app/ProjectLink.h"
#include "platform/InstanceChannel.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"

#include <QMdiArea>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QtTest>

#include <memory>

using namespace tarnwell;
using test::AppFixture;
using test::ModalDriver;

namespace {

const QString kProgram = QStringLiteral(TARNWELL_BIN_DIR "/tarnwell");

// A project model that records what it is asked to open.
class RecordingProject : public CNoProjectModel {
public:
    QStringList opened;
    bool OpenProject(const std::string& path, bool loadWindows) override {
        opened << QString::fromStdString(path) + (loadWindows ? "|windows" : "");
        return true;
    }
};

// The real program on `channel`, with settings and home of its own under `home`.
std::unique_ptr<QProcess> StartProgram(const QString& channel, const QString& home, const QStringList& args,
                                       const QString& folder = {}) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TARNWELL_INSTANCE", channel);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::SeparateChannels);
    if (!folder.isEmpty()) p->setWorkingDirectory(folder);
    p->start(kProgram, args);
    return p;
}

// Waits for the process while this (first) instance keeps serving its channel.
bool Finished(QProcess& p, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < ms) QTest::qWait(10);
    return p.state() == QProcess::NotRunning;
}

QStringList OpenPaths(CEditorApp& app) {
    QStringList out;
    for (const auto& d : app.DocManager().Documents()) out << d->PathName();
    return out;
}

struct FirstInstance {
    AppFixture fx;
    QString home;
    explicit FirstInstance(const std::function<void(CEditorApp&)>& prepare = {}) {
        home = fx.Path("home");
        QDir().mkpath(home);
        fx.Start({}, prepare);
    }
    std::unique_ptr<QProcess> Second(const QStringList& args, const QString& folder = {}) {
        return StartProgram(fx.channel, home, args, folder);
    }
};

}  // namespace

class HandOffTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFileInfo(kProgram).isExecutable(), qPrintable(kProgram)); }

    void secondStartWithAFileMakesTheFirstOpenIt() {
        FirstInstance first;
        first.fx.Write("page.asp", "<html>\r\n");
        auto second = first.Second({first.fx.Path("page.asp")});
        QVERIFY(Finished(*second));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QTRY_COMPARE(OpenPaths(*first.fx.app), QStringList{first.fx.Path("page.asp")});
        // The second instance made no settings of its own: it ended before reading them.
        QVERIFY(!QFileInfo::exists(first.home + "/.config/Tarnwell"));

        // The same file again only activates its window.
        first.fx.Write("other.asp", "x");
        first.fx.app->OpenDocumentFile(first.fx.Path("other.asp"));
        auto again = first.Second({first.fx.Path("page.asp")});
        QVERIFY(Finished(*again));
        QCOMPARE(again->exitCode(), 0);
        QTRY_COMPARE(first.fx.app->MainFrame()->ActiveChild()->Document()->PathName(), first.fx.Path("page.asp"));
        QCOMPARE(int(first.fx.app->DocManager().Documents().size()), 2);
    }

    // The second instance's own folder decides, not the folder the first one happens to be in.
    void relativeNamesAreTakenAgainstTheSecondInstancesFolder() {
        FirstInstance first;
        first.fx.Write("first/page.asp", "first");
        first.fx.Write("second/page.asp", "second");
        const QString before = QDir::currentPath();
        QDir::setCurrent(first.fx.Path("first"));
        auto second = first.Second({"page.asp"}, first.fx.Path("second"));
        QVERIFY(Finished(*second));
        QCOMPARE(second->exitCode(), 0);
        QTRY_COMPARE(OpenPaths(*first.fx.app).size(), 1);
        QDir::setCurrent(before);
        QCOMPARE(OpenPaths(*first.fx.app), QStringList{first.fx.Path("second/page.asp")});
    }

    void minimizedMaximizedWindowComesBackMaximizedWithTheDesktopsToken() {
        FirstInstance first;
        CMainFrame* frame = first.fx.app->MainFrame();
        frame->showMaximized();
        QTRY_VERIFY(frame->isMaximized());
        frame->showMinimized();
        QTRY_VERIFY(frame->isMinimized());
        qputenv("XDG_ACTIVATION_TOKEN", "token-from-the-desktop");
        auto second = first.Second({});
        qunsetenv("XDG_ACTIVATION_TOKEN");
        QVERIFY(Finished(*second));
        QTRY_VERIFY(!frame->isMinimized());
        QVERIFY(frame->isMaximized());
        QCOMPARE(first.fx.app->Channel()->ActivationToken(), QByteArray("token-from-the-desktop"));
    }

    void secondStartWithoutArgumentsOnlyActivates() {
        FirstInstance first;
        CMainFrame* frame = first.fx.app->MainFrame();
        frame->showMinimized();
        QTRY_VERIFY(frame->isMinimized());
        auto second = first.Second({});
        QVERIFY(Finished(*second));
        QCOMPARE(second->exitCode(), 0);
        QTRY_VERIFY(!frame->isMinimized());
        QVERIFY(frame->isVisible());
        QCOMPARE(int(first.fx.app->DocManager().Documents().size()), 0);
        // Switches are not file names.
        auto switches = first.Second({"-n"});
        QVERIFY(Finished(*switches));
        QCOMPARE(switches->exitCode(), 0);
        QTest::qWait(50);
        QCOMPARE(int(first.fx.app->DocManager().Documents().size()), 0);
    }

    void concurrentSecondStartsAllDeliver() {
        FirstInstance first;
        QStringList expected;
        std::vector<std::unique_ptr<QProcess>> seconds;
        for (int i = 0; i < 4; ++i) {
            const QString name = QString("page%1.asp").arg(i);
            first.fx.Write(name, name.toUtf8());
            expected << first.fx.Path(name);
            seconds.push_back(first.Second({first.fx.Path(name)}));
        }
        for (auto& p : seconds) {
            QVERIFY(Finished(*p));
            QCOMPARE(p->exitCode(), 0);
        }
        QTRY_COMPARE(OpenPaths(*first.fx.app).size(), 4);
        QStringList got = OpenPaths(*first.fx.app);
        got.sort();
        QCOMPARE(got, expected);
    }

    void projectFileNameGoesToTheProjectPath() {
        // A project model that opens: the first instance hands it the full path and opens no page.
        RecordingProject* project = nullptr;
        FirstInstance first([&](CEditorApp& app) {
            auto p = std::make_unique<RecordingProject>();
            project = p.get();
            app.SetProject(std::move(p));
        });
        first.fx.Write("site/site.twp", "[General]\r\n");
        const QString before = QDir::currentPath();
        auto second = first.Second({"site.twp"}, first.fx.Path("site"));
        QVERIFY(Finished(*second));
        QCOMPARE(second->exitCode(), 0);
        QTRY_COMPARE(project->opened.size(), 1);
        QCOMPARE(project->opened.first(), first.fx.Path("site/site.twp") + "|windows");
        QCOMPARE(int(first.fx.app->DocManager().Documents().size()), 0);

        // A five-character name ending in ".twp" is not a project file: it opens as a page.
        first.fx.Write("a.twp", "not a project");
        QDir::setCurrent(first.fx.dir.path());
        auto page = first.Second({"a.twp"});
        QVERIFY(Finished(*page));
        QTRY_COMPARE(OpenPaths(*first.fx.app), QStringList{first.fx.Path("a.twp")});
        QDir::setCurrent(before);
        QCOMPARE(project->opened.size(), 1);
    }

    void projectFileHandedToTheProjectModel() {
        // A file without the project header is refused by the program's own model; no page opens.
        FirstInstance first;
        ModalDriver driver;
        driver.Click("OK");
        first.fx.Write("site/site.twp", "[General]\r\n");
        auto second = first.Second({first.fx.Path("site/site.twp")});
        QVERIFY(Finished(*second));
        QCOMPARE(second->exitCode(), 0);
        QTRY_COMPARE(driver.Seen().size(), 1);
        QCOMPARE(driver.Seen().first(), QStringLiteral("Invalid project file"));
        QCOMPARE(int(first.fx.app->DocManager().Documents().size()), 0);
        QVERIFY(!first.fx.app->Project().IsOpen());
    }

    void bothInstancesAsRealPrograms() {
        QTemporaryDir dir;
        const QString home = dir.filePath("home");
        QDir().mkpath(home);
        const QString channel = QStringLiteral("tw-real-") + QUuid::createUuid().toString(QUuid::Id128).left(16);
        auto first = StartProgram(channel, home, {});
        QVERIFY(first->waitForStarted());

        // Wait until the first instance listens on its channel.
        QElapsedTimer t;
        t.start();
        bool listening = false;
        while (!listening && t.elapsed() < 20000 && first->state() == QProcess::Running) {
            QLocalSocket probe;
            probe.connectToServer(channel);
            listening = probe.waitForConnected(200);
            if (!listening) QTest::qWait(50);
        }
        QVERIFY(listening);
        QVERIFY(first->state() == QProcess::Running);

        // A second start with a file exits with 0 at once, without a window of its own.
        QFile page(dir.filePath("page.asp"));
        QVERIFY(page.open(QIODevice::WriteOnly) && page.write("<html>\r\n") > 0);
        page.close();
        auto second = StartProgram(channel, home, {dir.filePath("page.asp")});
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(first->state() == QProcess::Running);

        // A name too long to hand over is refused with a message and status 1.
        auto tooLong = StartProgram(channel, home, {QString(5000, 'x') + ".asp"});
        QVERIFY(tooLong->waitForFinished(10000));
        QCOMPARE(tooLong->exitCode(), 1);
        QVERIFY(tooLong->readAllStandardError().contains("too long"));

        first->kill();
        first->waitForFinished();
        QLocalServer::removeServer(channel);  // a killed instance leaves its socket file behind
    }
};

QTEST_MAIN(HandOffTest)
#include "hand_off_qtest.moc"
