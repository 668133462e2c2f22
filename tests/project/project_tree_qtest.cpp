// The project explorer over a real folder: renames, new items, delete to the trash, drops and Find
// File, each step checked on disk; and the context menu's pruning.
#include "platform/MemoryProfile.h"
#include "project/CFindFileDialog.h"
#include "project/CProjectTree.h"
#include "project/ExplorerOps.h"
#include "tests/support/ModalDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QMenu>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace tarnwell;
using tarnwell::test::ModalDriver;

namespace {

QTemporaryDir* g_dir = nullptr;

bool Write(const QString& path, const QByteArray& bytes = "x") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The names below an item, in order.
QStringList Names(const ExplorerItem* folder) {
    QStringList out;
    for (const auto& c : folder->children) out << QString::fromStdString(c->name);
    return out;
}

// Where the desktop's trash keeps a deleted item: the trash of the data home, or for a file system
// other than the home folder's, the trash at that file system's top.
QString Trashed(const QString& from, const QString& name) {
    const QString home = g_dir->filePath(QStringLiteral("xdg/Trash/files/")) + name;
    if (QFileInfo::exists(home)) return home;
    const QString top = QStorageInfo(from).rootPath();
    const QString uid = QString::number(::getuid());
    for (const QString& t : {top + QStringLiteral("/.Trash/") + uid, top + QStringLiteral("/.Trash-") + uid})
        if (QFileInfo::exists(t + QStringLiteral("/files/") + name)) return t + QStringLiteral("/files/") + name;
    return home;
}

struct Site {
    QString root;
    QString templates;
    MemoryProfile profile;
    CProjectTree tree{profile};
    QStringList opened;
    QList<QPair<QString, QString>> moved;

    explicit Site(const QString& name) {
        root = g_dir->filePath(name);
        templates = g_dir->filePath(name + QStringLiteral("-templates"));
        Write(templates + QStringLiteral("/NewFile.asp"), "<%@ LANGUAGE=\"VBSCRIPT\" %>\r\n");
        CProjectTree::Hooks hooks;
        hooks.open = [this](const QString& p) { opened << QFileInfo(p).fileName(); };
        hooks.pathChanged = [this](const std::string& a, const std::string& b) {
            moved << qMakePair(QFileInfo(QString::fromStdString(a)).fileName(), QFileInfo(QString::fromStdString(b)).fileName());
        };
        hooks.templatesFolder = [this] { return templates; };
        tree.SetHooks(hooks);
        tree.resize(300, 400);
    }
    QString Path(const QString& rel) const { return root + QLatin1Char('/') + rel; }
    ExplorerItem* Item(const QString& rel) { return tree.Locate(Path(rel).toStdString(), false); }
    bool Fill() {
        const bool ok = tree.Fill(root.toStdString());
        tree.SetRootText(QStringLiteral("site [%1]").arg(root));
        return ok;
    }
    void Select(const QStringList& rels) {
        tree.selectionModel()->clear();
        for (const QString& r : rels) {
            const QModelIndex i = tree.Model().IndexOf(r.isEmpty() ? tree.Tree().Root() : Item(r));
            tree.selectionModel()->select(i, QItemSelectionModel::Select);
            tree.selectionModel()->setCurrentIndex(i, QItemSelectionModel::NoUpdate);
        }
    }
    bool Rename(const QString& rel, const QString& typed) {
        tree.BeginRename(Item(rel));
        if (!tree.IsRenaming()) return false;
        tree.RenameField()->setText(typed);
        return tree.AcceptRename();
    }
};

}  // namespace

class ProjectTreeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        g_dir = new QTemporaryDir;
        QVERIFY(g_dir->isValid());
        // Deleted items go to a trash folder of this test's own.
        qputenv("XDG_DATA_HOME", g_dir->filePath(QStringLiteral("xdg")).toLocal8Bit());
    }
    void cleanupTestCase() { delete g_dir; }

    void manageFilesCheckingTheDiskAfterEachStep() {
        Site s(QStringLiteral("site"));
        for (const char* f : {"a.asp", "img.gif", "~pvw1.htm", "site.twp", "sub/inner.htm"}) Write(s.Path(f));
        QVERIFY(s.Fill());
        s.tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.tree));
        QCOMPARE(Names(s.tree.Tree().Root()), QStringList({"sub", "a.asp", "img.gif"}));
        QCOMPARE(s.tree.Model().IndexOf(s.tree.Tree().Root()).data().toString(), QStringLiteral("site [%1]").arg(s.root));

        // Rename: blanks trimmed, path change reported, the item keeps its place in sort order.
        QVERIFY(s.Rename("a.asp", " b.asp "));
        QVERIFY(QFile::exists(s.Path("b.asp")) && !QFile::exists(s.Path("a.asp")));
        QCOMPARE(s.moved.last(), qMakePair(QStringLiteral("a.asp"), QStringLiteral("b.asp")));
        QCOMPARE(Names(s.tree.Tree().Root()), QStringList({"sub", "b.asp", "img.gif"}));

        // Refused names: the message, then the old name back in the field, still editing.
        const struct {
            const char* typed;
            const char* message;
        } refused[] = {{"x:y.asp", explorer_text::kBadChars}, {"  ", explorer_text::kEnterName},
                       {"img.gif", explorer_text::kAlreadyExists}};
        for (const auto& r : refused) {
            ModalDriver driver;
            driver.Click(QStringLiteral("OK"));
            QVERIFY(!s.Rename("b.asp", r.typed));
            QCOMPARE(driver.Seen(), QStringList({QString::fromUtf8(r.message)}));
            QVERIFY(s.tree.IsRenaming());
            QCOMPARE(s.tree.RenameField()->text(), QStringLiteral("b.asp"));
            QCOMPARE(s.tree.RenameField()->selectedText(), QStringLiteral("b.asp"));
            s.tree.CancelRename();
        }
        QCOMPARE(Read(s.Path("b.asp")), QByteArray("x"));
        QCOMPARE(Read(s.Path("img.gif")), QByteArray("x"));

        // New File from the template, renaming begun with the name before ".asp" selected; Escape keeps it.
        Write(s.Path("NewFile.asp"), "mine");
        s.Select({""});
        s.tree.ExecuteCommand(explorer_cmd::NewFile);
        QVERIFY(s.tree.IsRenaming());
        QCOMPARE(s.tree.RenameField()->text(), QStringLiteral("NewFile(1).asp"));
        QCOMPARE(s.tree.RenameField()->selectedText(), QStringLiteral("NewFile(1)"));
        QTest::keyClick(s.tree.RenameField(), Qt::Key_Escape);
        QVERIFY(!s.tree.IsRenaming());
        QCOMPARE(Read(s.Path("NewFile(1).asp")), QByteArray("<%@ LANGUAGE=\"VBSCRIPT\" %>\r\n"));
        QCOMPARE(Read(s.Path("NewFile.asp")), QByteArray("mine"));

        // New Folder, renamed by typing and Enter.
        s.Select({""});
        s.tree.ExecuteCommand(explorer_cmd::NewFolder);
        QVERIFY(s.tree.IsRenaming());
        s.tree.RenameField()->setText(QStringLiteral("pages"));
        QTest::keyClick(s.tree.RenameField(), Qt::Key_Return);
        QVERIFY(QFileInfo(s.Path("pages")).isDir() && !QFileInfo::exists(s.Path("NewFolder")));

        // Delete asks, then moves to the trash; "Don't ask me again" is remembered.
        {
            ModalDriver driver;
            driver.Then([](QWidget* w) {
                w->findChild<QCheckBox*>()->setChecked(true);
                ModalDriver::ClickButton(w, QStringLiteral("Yes"));
            });
            s.Select({"b.asp", "pages"});
            s.tree.DeleteSelected();
            QCOMPARE(driver.Seen(), QStringList({QString::fromUtf8(explorer_text::kConfirmDelete)}));
        }
        QVERIFY(!QFile::exists(s.Path("b.asp")) && !QFile::exists(s.Path("pages")));
        QCOMPARE(Read(Trashed(s.root, QStringLiteral("b.asp"))), QByteArray("x"));
        QVERIFY(QFileInfo(Trashed(s.root, QStringLiteral("pages"))).isDir());
        QCOMPARE(s.profile.GetInt("Messages", "Confirm Delete Files", 1), 0);
        QVERIFY(!s.Item("b.asp"));

        // A drop moves into the folder (and reports the move); Ctrl copies back. Not onto a file,
        // nor onto a dragged folder.
        auto drop = [&](const QStringList& paths, const ExplorerItem* onto, Qt::KeyboardModifiers keys) {
            QMimeData data;
            QList<QUrl> urls;
            for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
            data.setUrls(urls);
            const QPoint at = s.tree.visualRect(s.tree.Model().IndexOf(onto)).center();
            QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
            QApplication::sendEvent(s.tree.viewport(), &enter);
            QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
            QApplication::sendEvent(s.tree.viewport(), &move);
            if (!move.isAccepted()) return false;
            QDropEvent ev(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
            QApplication::sendEvent(s.tree.viewport(), &ev);
            QCoreApplication::processEvents();  // the transfer runs once the drag has ended
            return ev.isAccepted();
        };
        QVERIFY(!drop({s.Path("img.gif")}, s.Item("NewFile(1).asp"), Qt::NoModifier));
        QVERIFY(!drop({s.Path("sub")}, s.Item("sub"), Qt::NoModifier));
        QVERIFY(drop({s.Path("img.gif")}, s.Item("sub"), Qt::NoModifier));
        QVERIFY(!QFile::exists(s.Path("img.gif")));
        QCOMPARE(Read(s.Path("sub/img.gif")), QByteArray("x"));
        QVERIFY(s.Item("sub/img.gif") && !s.Item("img.gif"));
        QCOMPARE(s.moved.last(), qMakePair(QStringLiteral("img.gif"), QStringLiteral("img.gif")));
        QVERIFY(drop({s.Path("sub/img.gif")}, s.tree.Tree().Root(), Qt::ControlModifier));
        QVERIFY(QFile::exists(s.Path("img.gif")) && QFile::exists(s.Path("sub/img.gif")));
        QVERIFY(s.Item("img.gif"));

        // Enter opens the selected files only.
        s.Select({"sub", "sub/img.gif", "sub/inner.htm"});
        QTest::keyClick(&s.tree, Qt::Key_Return);
        QCOMPARE(s.opened, QStringList({"img.gif", "inner.htm"}));

        // Type-ahead through expanded folders, case-insensitive.
        s.tree.expand(s.tree.Model().IndexOf(s.Item("sub")));
        QTest::keyClicks(&s.tree, QStringLiteral("INN"));
        QCOMPARE(s.tree.FocusItem(), s.Item("sub/inner.htm"));
        if (const QString out = qEnvironmentVariable("TARNWELL_SHOTS"); !out.isEmpty())
            QVERIFY(s.tree.grab().save(out + "/project_tree.png"));
    }

    void contextMenuIsPrunedBySelection() {
        Site s(QStringLiteral("menu"));
        Write(s.Path("a.asp"));
        Write(s.Path("dir/b.asp"));
        QVERIFY(s.Fill());
        auto texts = [&](const QStringList& selection) {
            s.Select(selection);
            if (selection.isEmpty()) s.tree.selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
            QStringList out;
            std::unique_ptr<QMenu> m = s.tree.BuildContextMenu();
            for (QAction* a : m->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text().section(QLatin1Char('\t'), 0, 0));
            return out.join(QLatin1Char('|'));
        };
        QCOMPARE(texts({}), QStringLiteral("&Sort By|-|Re&fresh|-|Allow Doc&king|&Hide"));
        QCOMPARE(texts({""}), QStringLiteral("&New File|New &Folder|Find Fi&les in Folder...|-|&Sort By|-|Re&fresh|Reload "
                                             "&Project|-|Allow Doc&king|&Hide|-|Propert&ies..."));
        QCOMPARE(texts({"a.asp"}), QStringLiteral("&Open|-|&Rename|&Delete|-|&Sort By|-|Re&fresh|-|Allow Doc&king|&Hide|-|"
                                                  "Propert&ies..."));
        QCOMPARE(texts({"dir"}), QStringLiteral("&New File|New &Folder|Find Fi&les in Folder...|-|&Rename|&Delete|-|&Sort "
                                                "By|-|Re&fresh|-|Allow Doc&king|&Hide|-|Propert&ies..."));
        QCOMPARE(texts({"dir", "a.asp"}), QStringLiteral("&Open|&Rename|&Delete|-|&Sort By|-|Re&fresh|-|Allow Doc&king|&Hide|-|"
                                                         "Propert&ies..."));
        // The sort marks follow the settings, which are stored when the tree goes.
        s.tree.ExecuteCommand(explorer_cmd::SortByName + 1);
        s.tree.ExecuteCommand(explorer_cmd::Ascend);
        std::unique_ptr<QMenu> m = s.tree.BuildContextMenu();
        QMenu* sort = m->findChild<QMenu*>();
        QVERIFY(sort);
        QStringList checked;
        for (QAction* a : sort->actions())
            if (a->isChecked()) checked << a->text();
        QCOMPARE(checked, QStringList({"&Extension"}));
        QCOMPARE(Names(s.tree.Tree().Root()), QStringList({"a.asp", "dir"}));
    }

    void findFileWalksWrapsAndSurvivesDeletes() {
        Site s(QStringLiteral("find"));
        for (const char* f : {"index/x.txt", "sub/deep/index.html", "index.asp", "myindex.htm", "other.asp"}) Write(s.Path(f));
        QVERIFY(s.Fill());
        s.tree.show();
        s.Select({""});
        s.tree.ExecuteCommand(explorer_cmd::FindFiles);
        CFindFileDialog* dlg = s.tree.FindFileDialog();
        QVERIFY(dlg && dlg->isVisible());
        QCOMPARE(dlg->FolderField()->text(), QDir::toNativeSeparators(s.root));
        dlg->NameBox()->setEditText(QStringLiteral("INDEX"));
        QStringList visits;
        QVERIFY(dlg->Find());
        visits << QString::fromStdString(ExplorerTree::RelativePath(s.tree.FocusItem()));
        for (int i = 0; i < 4; ++i) {
            QVERIFY(dlg->FindNext());
            visits << QString::fromStdString(ExplorerTree::RelativePath(s.tree.FocusItem()));
        }
        QCOMPARE(visits, QStringList({"index", "sub/deep/index.html", "index.asp", "myindex.htm", "index"}));

        // The last match deleted under the dialog: Find Next goes on from the top without harm.
        QVERIFY(dlg->FindNext());
        s.tree.Tree().Remove(s.tree.FocusItem());
        QVERIFY(dlg->FindNext());
        QCOMPARE(QString::fromStdString(ExplorerTree::RelativePath(s.tree.FocusItem())), QStringLiteral("index"));

        // Nothing found, and a name that is no valid pattern, give the message.
        for (const char* name : {"zzz", "("}) {
            ModalDriver driver;
            driver.Click(QStringLiteral("OK"));
            dlg->NameBox()->setEditText(QString::fromLatin1(name));
            QVERIFY(!dlg->Find());
            QCOMPARE(driver.Seen(), QStringList({"No mached file found."}));
        }
        // History: most recent first, case-insensitive duplicates moved up, at most 15, stored on close.
        dlg->NameBox()->setEditText(QStringLiteral("index"));
        dlg->Find();
        QCOMPARE(dlg->History(), QStringList({"index", "(", "zzz"}));
        const QStringList parts = {"o", "ot", "oth", "othe", "other", "other.", "other.a", "other.as", "other.asp",
                                   "t", "th", "the", "her", "er", "r", "er.asp"};  // 16 names, each matching
        for (const QString& name : parts) {
            dlg->NameBox()->setEditText(name);
            QVERIFY(dlg->FindNext());
        }
        QCOMPARE(dlg->History().size(), 15);
        QCOMPARE(dlg->History().first(), QStringLiteral("er.asp"));
        QCOMPARE(dlg->History().last(), QStringLiteral("ot"));
        s.tree.Clear();  // the tree emptied under the dialog: searching finds nothing, safely
        {
            ModalDriver driver;
            driver.Click(QStringLiteral("OK"));
            QVERIFY(!dlg->FindNext());
        }
        delete dlg;
        QCOMPARE(QString::fromStdString(s.profile.GetString("Find File", "#0")), QStringLiteral("er.asp"));
        QCOMPARE(QString::fromStdString(s.profile.GetString("Find File", "#14")), QStringLiteral("ot"));
    }
};

QTEST_MAIN(ProjectTreeTest)
#include "project_tree_qtest.moc"
