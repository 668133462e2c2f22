// Document flows in a whole application over real files in a temporary folder: new pages from the
// template, open, save, save as, save all, close all, the read-only check, failing saves, the
// save-changes question, captions and several windows on one document.
#include "app/CChildFrame.h"
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/CVeskDoc.h"
#include "app/CommandIds.h"
#include "app/ProjectLink.h"
#include "lang/TypeLibrary.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"
#include "text/CCrystalEditView.h"
#include "text/CVeskView.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>
#include <QtTest>

#include <cerrno>
#include <cstring>

using namespace tarnwell;
using test::AppFixture;
using test::ModalDriver;

namespace {

// Answers a file dialog with `names` (one or several file names in its folder, or one full path).
ModalDriver::Action ChooseFiles(QStringList names, QString* proposed = nullptr, QString* title = nullptr) {
    return [names, proposed, title](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        QVERIFY2(dlg, "a file dialog was expected");
        if (proposed) {
            auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            *proposed = edit ? edit->text() : QString();
        }
        if (title) *title = dlg->windowTitle();
        if (names.size() == 1) {
            dlg->selectFile(names.first());
        } else {
            QStringList quoted;
            for (const QString& n : names) quoted << QLatin1Char('"') + n + QLatin1Char('"');
            dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(quoted.join(QLatin1Char(' ')));
        }
        static_cast<QDialog*>(dlg)->accept();  // QFileDialog::accept, as the OK button does
    };
}

ModalDriver::Action Cancel() {
    return [](QWidget* w) {
        if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
    };
}

QByteArray TextOf(CVeskDoc* doc) {
    QByteArray out;
    CCrystalTextBuffer& b = doc->Buffer();
    for (int i = 0; i < b.LineCount(); ++i) {
        if (i) out += '\n';
        out += QByteArray(b.LineText(i), b.LineLength(i));
    }
    return out;
}

CCrystalEditView* ViewOf(CChildFrame* frame) { return qobject_cast<CCrystalEditView*>(frame->SourceView()); }

// Types `text` at the start of the document through its first window's view.
void TypeAtStart(CVeskDoc* doc, const QByteArray& text) {
    CCrystalEditView* view = ViewOf(doc->Frames().first());
    view->SetCursorAndClear(TextPosition{0, 0});
    QVERIFY(doc->Buffer().InsertTextAt(view, 0, 0, std::string_view(text.constData(), size_t(text.size()))));
}

QStringList Captions(CVeskDoc* doc) {
    QStringList out;
    for (CChildFrame* f : doc->Frames()) out << f->windowTitle();
    return out;
}

QString Native(const QString& p) { return QDir::toNativeSeparators(p); }

// A project model that records what the documents tell it.
class RecordingProject : public CNoProjectModel {
public:
    QStringList calls;
    void RegisterDocument(CVeskDoc* doc) override {
        CNoProjectModel::RegisterDocument(doc);
        calls << "register " + QString::fromStdString(doc->DocumentKey());
    }
    void DocumentSaved(CVeskDoc* doc) override { calls << "saved " + doc->Title(); }
    void PathChanged(const std::string& oldKey, const std::string& newPath) override {
        calls << "moved " + QString::fromStdString(oldKey) + " " + QFileInfo(QString::fromStdString(newPath)).fileName();
    }
};

struct Running {
    AppFixture fx;
    ModalDriver driver;
    CMainFrame* frame = nullptr;
    CEditorDocManager* docs = nullptr;

    explicit Running(const std::function<void(CEditorApp&)>& prepare = {}) {
        fx.Start({}, prepare);
        frame = fx.app->MainFrame();
        docs = &fx.app->DocManager();
    }
    bool Route(int id) {
        frame->UpdateCommands();
        return frame->RouteCommand(id);
    }
    bool Enabled(int id) {
        frame->UpdateCommands();
        return frame->Action(id)->isEnabled();
    }
    CVeskDoc* Open(const QString& name, const QByteArray& bytes) {
        fx.Write(name, bytes);
        return fx.app->OpenDocumentFile(fx.Path(name));
    }
};

}  // namespace

class DocumentFlowTest : public QObject {
    Q_OBJECT
private slots:
    void newPagesFromTheTemplate() {
        Running r;
        // A template whose zero byte ends its text, and a cursor on the third line.
        const QByteArray kept("<%@ Language=VBScript %>\r\n<html>\r\n<body>Hello\r\n</html>\r\n");
        QVERIFY(r.fx.Write("bin/Templates/NewFile.asp", kept + QByteArray("\0<tail>\r\n", 9)));
        QVERIFY(r.fx.Write("bin/Templates/NewFile.asp.ini", "[General]\r\nCursorPos=5,2\r\n"));

        QVERIFY(r.Route(cmd::FileNew));
        QVERIFY(r.Route(cmd::FileNew));
        const auto& all = r.docs->Documents();
        QCOMPARE(int(all.size()), 2);
        CVeskDoc* first = all[0].get();
        QCOMPARE(first->Title(), QString("NewFile1"));
        QCOMPARE(all[1]->Title(), QString("NewFile2"));
        QCOMPARE(Captions(first), QStringList{"NewFile1"});
        QCOMPARE(r.frame->FileButtonText(first->Frames().first()), QString("NewFile1"));
        QVERIFY(!first->IsModified());
        QCOMPARE(TextOf(first), QByteArray("<%@ Language=VBScript %>\n<html>\n<body>Hello\n</html>\n"));
        QCOMPARE(ViewOf(first->Frames().first())->CursorPosition(), (TextPosition{2, 5}));
        // An untitled page can always be saved.
        QVERIFY(r.Enabled(cmd::FileSave));

        // Saving the first untitled page proposes NewFile1.asp and writes the template's bytes.
        QString proposed;
        r.driver.Then(ChooseFiles({r.fx.Path("first.asp")}, &proposed));
        r.frame->MdiArea()->setActiveSubWindow(first->Frames().first());
        QVERIFY(r.Route(cmd::FileSave));
        QVERIFY(r.driver.Idle());
        QCOMPARE(proposed, QString("NewFile1.asp"));
        QCOMPARE(AppFixture::Read(r.fx.Path("first.asp")), kept);
        QCOMPARE(first->Title(), QString("first.asp"));
        QCOMPARE(Captions(first), QStringList{Native(r.fx.Path("first.asp"))});
        QVERIFY(!r.Enabled(cmd::FileSave));

        // Saved as an HTML page, the page is colored as one from then on, in every window.
        auto* view = qobject_cast<CVeskView*>(first->Frames().first()->SourceView());
        QCOMPARE(view->GetFileKindValue(), int(FileKindAsp));
        r.driver.Then(ChooseFiles({r.fx.Path("first.htm")}));
        QVERIFY(r.Route(cmd::FileSaveAs));
        QCOMPARE(view->GetFileKindValue(), int(FileKindHtml));
        QCOMPARE(AppFixture::Read(r.fx.Path("first.htm")), kept);

        // Numbers are not reused; a cursor beyond its line, or one number only, starts at the top.
        QVERIFY(r.fx.Write("bin/Templates/NewFile.asp.ini", "[General]\r\nCursorPos=9,1\r\n"));
        QVERIFY(r.Route(cmd::FileNew));
        CVeskDoc* third = r.docs->Documents().back().get();
        QCOMPARE(third->Title(), QString("NewFile3"));
        QCOMPARE(ViewOf(third->Frames().first())->CursorPosition(), (TextPosition{0, 0}));
        QVERIFY(r.fx.Write("bin/Templates/NewFile.asp.ini", "[General]\r\nCursorPos=4\r\n"));
        QVERIFY(r.Route(cmd::FileNew));
        QCOMPARE(ViewOf(r.docs->Documents().back()->Frames().first())->CursorPosition(), (TextPosition{0, 0}));

        // No template: an empty page, no message.
        QVERIFY(QFile::remove(r.fx.Path("bin/Templates/NewFile.asp")));
        QVERIFY(r.Route(cmd::FileNew));
        QCOMPARE(TextOf(r.docs->Documents().back().get()), QByteArray());
        QCOMPARE(r.driver.Unexpected(), 0);
        QCOMPARE(r.driver.Seen().size(), 2);
    }

    void installedLayoutFindsTheDataUnderShare() {
        // bin/ holds only the program; the data folders lie in share/tarnwell beside it.
        AppFixture fx(false);
        const QString share = fx.Path("share/tarnwell");
        QVERIFY(test::CopyFolder(QStringLiteral(TARNWELL_BIN_DIR "/Keyword"), share + "/Keyword"));
        QVERIFY(test::CopyFolder(QStringLiteral(TARNWELL_BIN_DIR "/Templates"), share + "/Templates"));
        QVERIFY(test::CopyFolder(QStringLiteral(TARNWELL_BIN_DIR "/TypeLibs"), share + "/TypeLibs"));
        QVERIFY(fx.Write("share/tarnwell/Templates/NewFile.asp", "from share\r\n"));
        ModalDriver driver;
        QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
        QCOMPARE(driver.Seen(), QStringList());  // the keyword files were found
        QCOMPARE(fx.app->DataFolder("Templates"), share + "/Templates");
        QCOMPARE(fx.app->Project().TypeLibraries().Libraries().size(), size_t(2));
        QVERIFY(fx.app->MainFrame()->RouteCommand(cmd::FileNew));
        QCOMPARE(TextOf(fx.app->DocManager().Documents().back().get()), QByteArray("from share\n"));

        // A folder beside the program comes first.
        QVERIFY(fx.Write("bin/Templates/NewFile.asp", "beside\r\n"));
        QCOMPARE(fx.app->DataFolder("Templates"), fx.Path("bin/Templates"));
        QVERIFY(fx.app->MainFrame()->RouteCommand(cmd::FileNew));
        QCOMPARE(TextOf(fx.app->DocManager().Documents().back().get()), QByteArray("beside\n"));
    }

    void openSeveralFilesAndActivateAnOpenOne() {
        Running r;
        r.fx.Write("site/a.asp", "a\r\n");
        r.fx.Write("site/b.htm", "b\n");
        r.fx.Write("site/c.js", "c");
        QString title;
        r.driver.Then([&](QWidget* w) {
            qobject_cast<QFileDialog*>(w)->setDirectory(r.fx.Path("site"));
            ChooseFiles({"a.asp", "b.htm", "c.js"}, nullptr, &title)(w);
        });
        QVERIFY(r.Route(cmd::FileOpen));
        QVERIFY(r.driver.Idle());
        QCOMPARE(title, QString("Open"));
        const auto& all = r.docs->Documents();
        QCOMPARE(int(all.size()), 3);
        QCOMPARE(all[0]->PathName(), r.fx.Path("site/a.asp"));
        QCOMPARE(all[1]->PathName(), r.fx.Path("site/b.htm"));
        QCOMPARE(all[2]->PathName(), r.fx.Path("site/c.js"));
        QCOMPARE(r.frame->MdiArea()->subWindowList().size(), 3);
        QCOMPARE(r.frame->FileButtonCount(), 3);
        QCOMPARE(r.frame->ActiveChild()->Document(), all[2].get());

        // An open file is activated, not opened again, also when named relative to the current folder.
        QCOMPARE(r.fx.app->OpenDocumentFile(r.fx.Path("site/a.asp")), all[0].get());
        QCOMPARE(r.frame->ActiveChild()->Document(), all[0].get());
        const QString before = QDir::currentPath();
        QDir::setCurrent(r.fx.Path("site"));
        CVeskDoc* b = r.fx.app->OpenDocumentFile("b.htm");
        QDir::setCurrent(before);
        QCOMPARE(b, all[1].get());
        QCOMPARE(r.frame->ActiveChild()->Document(), all[1].get());
        QCOMPARE(int(all.size()), 3);

        // A missing file is reported and opens nothing.
        r.driver.Click("OK");
        QVERIFY(!r.fx.app->OpenDocumentFile(r.fx.Path("site/gone.asp")));
        QVERIFY(r.driver.Seen().last().startsWith("Failed to open document."));
        QCOMPARE(int(all.size()), 3);
        QCOMPARE(r.frame->FileButtonCount(), 3);
    }

    void savesKeepTheBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("mode");
        QTest::newRow("CR LF") << QByteArray("<html>\r\n<body>\r\n</html>\r\n") << "DOS";
        QTest::newRow("LF") << QByteArray("<html>\n<body>\n</html>\n") << "UNIX";
        QTest::newRow("LF CR") << QByteArray("<html>\n\r<body>\n\r</html>") << "MAC";
        QTest::newRow("no last line end") << QByteArray("one\r\ntwo") << "DOS";
        QTest::newRow("zero bytes and 8-bit bytes") << QByteArray("a\0b\r\n\xe9\xff\x80\r\n", 11) << "DOS";
        QTest::newRow("empty file") << QByteArray() << "DOS";
    }
    void savesKeepTheBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, mode);
        Running r;
        CVeskDoc* doc = r.Open("page.asp", bytes);
        QVERIFY(doc);
        QVERIFY(!doc->IsModified());
        QVERIFY(!r.Enabled(cmd::FileSave));
        QCOMPARE(r.frame->PaneText(cmd::IndicatorLineEnd), bytes.isEmpty() ? QString("DOS") : mode);

        TypeAtStart(doc, "<!-- x -->");
        QVERIFY(doc->IsModified());
        QCOMPARE(Captions(doc), QStringList{Native(r.fx.Path("page.asp")) + "*"});
        QCOMPARE(r.frame->FileButtonText(doc->Frames().first()), QString("page.asp*"));
        // The maximized window's caption shows in the main window's title.
        QVERIFY(doc->Frames().first()->isMaximized());
        QCOMPARE(r.frame->windowTitle(), QString("Tarnwell - [%1*]").arg(Native(r.fx.Path("page.asp"))));
        QVERIFY(r.Enabled(cmd::FileSave));
        QVERIFY(r.Route(cmd::FileSave));
        QCOMPARE(AppFixture::Read(r.fx.Path("page.asp")), "<!-- x -->" + bytes);
        QVERIFY(!doc->IsModified());
        QCOMPARE(Captions(doc), QStringList{Native(r.fx.Path("page.asp"))});
        QCOMPARE(r.frame->windowTitle(), QString("Tarnwell - [%1]").arg(Native(r.fx.Path("page.asp"))));

        // Undo back past the saved state marks it modified again; Save As writes the file as it was.
        ViewOf(doc->Frames().first())->Undo();
        QVERIFY(doc->IsModified());
        QString title;
        r.driver.Then(ChooseFiles({r.fx.Path("copy.asp")}, nullptr, &title));
        QVERIFY(r.Route(cmd::FileSaveAs));
        QCOMPARE(title, QString("Save As"));
        QCOMPARE(AppFixture::Read(r.fx.Path("copy.asp")), bytes);
        QCOMPARE(doc->PathName(), r.fx.Path("copy.asp"));
        QCOMPARE(doc->Title(), QString("copy.asp"));
        QVERIFY(!doc->IsModified());
        QCOMPARE(AppFixture::Read(r.fx.Path("page.asp")), "<!-- x -->" + bytes);
        QCOMPARE(r.driver.Unexpected(), 0);
    }

    void savesTellTheProjectModelOfNewPaths() {
        RecordingProject* project = nullptr;
        Running r([&](CEditorApp& app) {
            auto p = std::make_unique<RecordingProject>();
            project = p.get();
            app.SetProject(std::move(p));
        });
        QVERIFY(r.Route(cmd::FileNew));
        CVeskDoc* doc = r.docs->Documents().back().get();
        const QString id = QString::fromStdString(doc->Id());
        QCOMPARE(project->calls, QStringList{"register " + id});
        r.driver.Then(ChooseFiles({r.fx.Path("Page.asp")}));
        QVERIFY(r.Route(cmd::FileSave));
        QCOMPARE(project->calls.mid(1), (QStringList{"saved Page.asp", "moved " + id + " Page.asp"}));
        // The same name in other letters is a new path only where the platform tells letter case apart;
        // another name always is.
        project->calls.clear();
        r.driver.Then(ChooseFiles({r.fx.Path("PAGE.asp")}));
        QVERIFY(r.Route(cmd::FileSaveAs));
#ifdef _WIN32
        QCOMPARE(project->calls, QStringList{"saved PAGE.asp"});
#else
        QCOMPARE(project->calls, (QStringList{"saved PAGE.asp", "moved " + r.fx.Path("Page.asp") + " PAGE.asp"}));
#endif
        project->calls.clear();
        r.driver.Then(ChooseFiles({r.fx.Path("other.asp")}));
        QVERIFY(r.Route(cmd::FileSaveAs));
        QCOMPARE(project->calls, (QStringList{"saved other.asp", "moved " + r.fx.Path("PAGE.asp") + " other.asp"}));
        QCOMPARE(r.driver.Unexpected(), 0);
    }

    void readOnlyFileAsksForAnotherName() {
        Running r;
        CVeskDoc* doc = r.Open("locked.asp", "locked\r\n");
        QVERIFY(QFile::setPermissions(r.fx.Path("locked.asp"), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        TypeAtStart(doc, "1");

        r.driver.Click("Cancel");
        QVERIFY(r.Route(cmd::FileSave));
        QCOMPARE(r.driver.Seen().last(), QString("This file is read-only. You must save to a different file name."));
        QVERIFY(doc->IsModified());
        QCOMPARE(AppFixture::Read(r.fx.Path("locked.asp")), QByteArray("locked\r\n"));

        r.driver.Click("OK");
        r.driver.Then(ChooseFiles({r.fx.Path("unlocked.asp")}));
        QVERIFY(r.Route(cmd::FileSave));
        QVERIFY(r.driver.Idle());
        QCOMPARE(AppFixture::Read(r.fx.Path("unlocked.asp")), QByteArray("1locked\r\n"));
        QCOMPARE(AppFixture::Read(r.fx.Path("locked.asp")), QByteArray("locked\r\n"));
        QCOMPARE(doc->PathName(), r.fx.Path("unlocked.asp"));
        QVERIFY(!doc->IsModified());
        QFile::setPermissions(r.fx.Path("locked.asp"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void failingSaveIsReportedAndKeepsTheDocumentModified() {
        Running r;
        CVeskDoc* doc = r.Open("gone/page.asp", "text\r\n");
        const QString path = r.fx.Path("gone/page.asp");
        TypeAtStart(doc, "new ");
        const QString failed =
            QString("Failed to save file \"%1\". Please check if the file is read-only.").arg(Native(path));

        // The folder was removed behind the editor's back.
        QVERIFY(QDir(r.fx.Path("gone")).removeRecursively());
        r.driver.Click("OK");
        QVERIFY(r.Route(cmd::FileSave));
        QCOMPARE(r.driver.Seen().value(0), failed + "\n\n" + QString::fromLocal8Bit(std::strerror(ENOENT)));
        QVERIFY(doc->IsModified());
        QCOMPARE(doc->PathName(), path);
        QCOMPARE(Captions(doc), QStringList{Native(path) + "*"});

        // A folder now stands where the file was.
        QVERIFY(QDir().mkpath(path));
        r.driver.Click("OK");
        QVERIFY(r.Route(cmd::FileSave));
        QVERIFY(r.driver.Seen().value(1).startsWith(failed + "\n\n"));  // and the reason
        QVERIFY(doc->IsModified());
        QVERIFY(QFileInfo(path).isDir());

        // Closing: Yes tries to save, fails, and the window stays; No closes without saving.
        CChildFrame* window = doc->Frames().first();
        r.driver.Click("Yes");
        r.driver.Click("OK");
        QVERIFY(!window->close());
        QCOMPARE(r.driver.Seen().value(2), QString("Save changes to %1?").arg(Native(path)));
        QVERIFY(r.driver.Seen().value(3).startsWith(failed + "\n\n"));
        QCOMPARE(int(r.docs->Documents().size()), 1);
        r.driver.Click("No");
        QVERIFY(window->close());
        QTRY_COMPARE(int(r.docs->Documents().size()), 0);
        QCOMPARE(r.frame->FileButtonCount(), 0);
        QCOMPARE(r.driver.Unexpected(), 0);
    }

    void saveAllSkipsUntitledAndAsksAfterAFailure() {
        Running r;
        CVeskDoc* a = r.Open("a.asp", "a\r\n");
        CVeskDoc* b = r.Open("sub/b.asp", "b\r\n");
        CVeskDoc* c = r.Open("c.asp", "c\n");
        QVERIFY(r.Route(cmd::FileNew));
        CVeskDoc* untitled = r.docs->Documents().back().get();
        for (CVeskDoc* d : {a, b, c, untitled}) TypeAtStart(d, "+");
        QVERIFY(QDir(r.fx.Path("sub")).removeRecursively());

        // b fails; No stops the walk before c.
        r.driver.Click("OK");
        r.driver.Click("No");
        QVERIFY(r.Route(cmd::SaveAll));
        QVERIFY(r.driver.Idle());
        QVERIFY(r.driver.Seen().value(0).startsWith("Failed to save file"));
        QCOMPARE(r.driver.Seen().value(1), QString("Continue with next file?"));
        QCOMPARE(AppFixture::Read(r.fx.Path("a.asp")), QByteArray("+a\r\n"));
        QVERIFY(!a->IsModified());
        QVERIFY(b->IsModified());
        QCOMPARE(AppFixture::Read(r.fx.Path("c.asp")), QByteArray("c\n"));
        QVERIFY(c->IsModified());

        // Yes goes on to c; the untitled page is left alone (no dialog).
        r.driver.Click("OK");
        r.driver.Click("Yes");
        QVERIFY(r.Route(cmd::SaveAll));
        QVERIFY(r.driver.Idle());
        QCOMPARE(r.driver.Seen().size(), 4);
        QCOMPARE(AppFixture::Read(r.fx.Path("c.asp")), QByteArray("+c\n"));
        QVERIFY(!c->IsModified());
        QVERIFY(untitled->IsModified());
        QCOMPARE(r.driver.Unexpected(), 0);
    }

    void closeAllAsksFirstAndClosesNothingOnCancel() {
        Running r;
        CVeskDoc* a = r.Open("a.asp", "a\r\n");
        CVeskDoc* b = r.Open("b.asp", "b\r\n");
        r.Open("c.asp", "c\r\n");  // unmodified: no question
        QVERIFY(r.Route(cmd::FileNew));
        TypeAtStart(a, "1");
        TypeAtStart(b, "2");
        TypeAtStart(r.docs->Documents().back().get(), "3");

        // Yes saves a; Cancel at b stops everything: nothing is closed.
        r.driver.Click("Yes");
        r.driver.Click("Cancel");
        QVERIFY(r.Route(cmd::CloseAll));
        QCOMPARE(r.driver.Seen(), (QStringList{QString("Save changes to %1?").arg(Native(r.fx.Path("a.asp"))),
                                               QString("Save changes to %1?").arg(Native(r.fx.Path("b.asp")))}));
        QCOMPARE(AppFixture::Read(r.fx.Path("a.asp")), QByteArray("1a\r\n"));
        QCOMPARE(int(r.docs->Documents().size()), 4);
        QCOMPARE(r.frame->MdiArea()->subWindowList().size(), 4);

        // The untitled page: Yes asks for a name; cancelling that dialog refuses the close.
        r.driver.Click("No");
        r.driver.Click("Yes");
        r.driver.Then(Cancel());
        QVERIFY(r.Route(cmd::CloseAll));
        QCOMPARE(r.driver.Seen().value(3), QString("Save changes to NewFile1?"));
        QVERIFY(r.driver.Idle());
        QCOMPARE(int(r.docs->Documents().size()), 4);

        // No to both: all windows close and b keeps its old text.
        r.driver.Click("No");
        r.driver.Click("No");
        QVERIFY(r.Route(cmd::CloseAll));
        QCOMPARE(int(r.docs->Documents().size()), 0);
        QCOMPARE(r.frame->MdiArea()->subWindowList().size(), 0);
        QCOMPARE(r.frame->FileButtonCount(), 0);
        QCOMPARE(AppFixture::Read(r.fx.Path("b.asp")), QByteArray("b\r\n"));
        QVERIFY(!r.Enabled(cmd::CloseAll));
        QCOMPARE(r.driver.Unexpected(), 0);
    }

    void severalWindowsOnOneDocument() {
        Running r;
        CVeskDoc* doc = r.Open("page.asp", "page\r\n");
        const QString path = Native(r.fx.Path("page.asp"));
        QVERIFY(r.Route(cmd::WindowNew));
        QCOMPARE(doc->Frames().size(), 2);
        QCOMPARE(Captions(doc), (QStringList{path + ":1", path + ":2"}));
        QCOMPARE(r.frame->FileButtonText(doc->Frames()[1]), QString("page.asp:2"));

        // An edit in the second window shows in both, and both captions get the mark.
        CCrystalEditView* second = ViewOf(doc->Frames()[1]);
        QVERIFY(doc->Buffer().InsertTextAt(second, 0, 4, "d"));
        QCOMPARE(Captions(doc), (QStringList{path + ":1*", path + ":2*"}));
        QCOMPARE(r.frame->FileButtonText(doc->Frames()[0]), QString("page.asp:1*"));
        QCOMPARE(ViewOf(doc->Frames()[0])->Buffer()->LineLength(0), 5);

        // Closing one of two windows asks nothing; the last one is numbered no more.
        QVERIFY(doc->Frames()[1]->close());
        QTRY_COMPARE(doc->Frames().size(), 1);
        QCOMPARE(Captions(doc), QStringList{path + "*"});
        QCOMPARE(r.driver.Seen().size(), 0);

        // The last window asks; Yes saves and closes the document.
        r.driver.Click("Yes");
        QVERIFY(doc->Frames()[0]->close());
        QTRY_COMPARE(int(r.docs->Documents().size()), 0);
        QCOMPARE(AppFixture::Read(r.fx.Path("page.asp")), QByteArray("paged\r\n"));
        QCOMPARE(r.driver.Unexpected(), 0);
    }

    void closingTheMainWindowAsksAboutModifiedDocuments() {
        Running r;
        CVeskDoc* doc = r.Open("page.asp", "x\n");
        TypeAtStart(doc, "y");
        r.driver.Click("Cancel");
        QVERIFY(!r.frame->close());
        QVERIFY(r.frame->isVisible());
        QCOMPARE(int(r.docs->Documents().size()), 1);
        r.driver.Click("Yes");
        QVERIFY(r.frame->close());
        QCOMPARE(AppFixture::Read(r.fx.Path("page.asp")), QByteArray("yx\n"));
        QCOMPARE(int(r.docs->Documents().size()), 0);
    }

    void statusBarPanesFollowTheActiveView() {
        Running r;
        CVeskDoc* doc = r.Open("page.asp", "first\r\n\tsecond line\r\n");
        QCOMPARE(r.frame->PaneText(cmd::IndicatorPosition), QString());  // not refreshed yet
        r.frame->UpdateCommands();
        QCOMPARE(r.frame->PaneText(cmd::IndicatorPosition), QString("Ln 1, Col 1"));
        QCOMPARE(r.frame->PaneText(cmd::IndicatorLineEnd), QString("DOS"));
        QCOMPARE(r.frame->PaneText(cmd::IndicatorOverwrite), QString());

        // Moving the cursor refreshes the panes without any further call: columns count tab cells.
        CCrystalEditView* view = ViewOf(doc->Frames().first());
        view->SetCursorAndClear(TextPosition{1, 2});
        QTRY_COMPARE(r.frame->PaneText(cmd::IndicatorPosition),
                     QString("Ln 2, Col %1").arg(CCrystalTextView::GetViewSettings().tabSize + 2));
        view->SetOverwriteMode(true);
        QTRY_COMPARE(r.frame->PaneText(cmd::IndicatorOverwrite), QString("OVR"));

        // A key press moves the cursor and the panes follow.
        QTest::keyClick(view, Qt::Key_Up);
        QTRY_COMPARE(r.frame->PaneText(cmd::IndicatorPosition).left(5), QString("Ln 1,"));

        // A UNIX page in another window shows its own mode; with no window the panes are blank.
        CVeskDoc* unix = r.Open("unix.htm", "a\nb\n");
        QVERIFY(unix);
        QTRY_COMPARE(r.frame->PaneText(cmd::IndicatorLineEnd), QString("UNIX"));
        QTRY_COMPARE(r.frame->PaneText(cmd::IndicatorOverwrite), QString());
        r.docs->CloseAllDocuments();
        QTRY_COMPARE(r.frame->PaneText(cmd::IndicatorPosition), QString());
        QCOMPARE(r.frame->PaneText(cmd::IndicatorLineEnd), QString());
    }
};

QTEST_MAIN(DocumentFlowTest)
#include "document_flow_qtest.moc"
