// The tag commands on a real view and buffer: fixed markup and its cursor, one undo step per command,
// Delete Line, every dialog family driven through its real widgets, browsing for files, special
// characters, server object ids, and the editor's context menu in the running application.
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "app/CVeskDoc.h"
#include "html/ColorButton.h"
#include "html/InsertDialogs.h"
#include "html/ServerObjectsDialog.h"
#include "html/SpecialCharsDialog.h"
#include "html/TagCommands.h"
#include "platform/MemoryProfile.h"
#include "tests/support/AppFixture.h"
#include "tests/support/ModalDriver.h"
#include "tests/text/ViewTestSupport.h"
#include "text/CVeskView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <deque>

using namespace tarnwell;
using namespace tarnwell::testing;
using tarnwell::test::ModalDriver;

namespace {

// Sets a dialog field by its object name, whatever kind of field it is.
void Set(QWidget* dialog, const char* name, const QString& text) {
    QWidget* w = dialog->findChild<QWidget*>(QString::fromLatin1(name));
    QVERIFY2(w, name);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(text);
    else if (auto* c = qobject_cast<QComboBox*>(w)) c->isEditable() ? c->setCurrentText(text) : c->setCurrentIndex(text.toInt());
    else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) p->setPlainText(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setChecked(text == QLatin1String("1"));
    else if (auto* s = dynamic_cast<CSpinEdit*>(w)) s->SetText(text);
}

QString Field(QWidget* dialog, const char* name) {
    auto* e = dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
    return e ? e->text() : QString();
}

void Click(QWidget* dialog, const char* name) {
    auto* b = dialog->findChild<QAbstractButton*>(QString::fromLatin1(name));
    QVERIFY2(b, name);
    b->click();
}

// Runs steps one after another from the event loop. A step may open a nested modal dialog: the
// driver answers it, which it cannot do from inside one of its own actions.
void Chain(std::shared_ptr<std::deque<std::function<void()>>> steps) {
    if (steps->empty()) return;
    QTimer::singleShot(0, [steps] {
        auto step = std::move(steps->front());
        steps->pop_front();
        step();
        Chain(steps);
    });
}
void Steps(std::initializer_list<std::function<void()>> steps) {
    Chain(std::make_shared<std::deque<std::function<void()>>>(steps));
}

QString ShotPath(const QString& name) {
    QDir().mkpath(QStringLiteral("screenshots"));
    return QStringLiteral("screenshots/") + name;
}

struct Page {
    MemoryProfile profile;
    std::unique_ptr<CCrystalTextBuffer> buffer;
    CVeskView view;
    QString path, project;
    CTagCommands* tags = nullptr;
    ModalDriver driver;

    explicit Page(const std::string& text) : buffer(MakeBuffer(text)) {
        ShowView(view, buffer.get());
        AuthoringContext c;
        c.profile = &profile;
        c.documentPath = [this] { return path; };
        c.projectFolder = [this] { return project; };
        tags = AttachTagCommands(view, std::move(c));
    }
    void Select(TextPosition from, TextPosition to) {
        view.SelectRange(from, to);
        view.PlaceAnchor(from);
        view.PlaceCursor(to);
    }
    // Runs a command whose dialogs the driver answers, and waits until they all were.
    bool Run(int id) {
        const bool done = view.IsEditable() && tags->ExecuteCommand(id);
        return done && driver.Idle() && driver.Unexpected() == 0;
    }
    std::string Text() const { return TextOf(*buffer); }
    // One undo takes the page back to `before` and leaves nothing else to undo.
    bool UndoesTo(const std::string& before) {
        return buffer->UndoStep() && Text() == before && !buffer->CanUndoStep();
    }
};

}  // namespace

class TagCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { SetFileChooser({}); }
    void fixedMarkup_data();
    void fixedMarkup();
    void deleteLine();
    void formFieldDialogs();
    void selectDialogOptions();
    void lengthAndTableChecks();
    void elementDialogs();
    void browsingWritesReferences();
    void includeFile();
    void specialCharacters();
    void serverObjects();
    void contextMenuInTheProgram();
    void pictures();
};

void TagCommandsTest::fixedMarkup_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("from");  // (character, line)
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QPoint>("cursor");
    QTest::newRow("bold over two lines") << "ab\ncd" << QPoint(1, 0) << QPoint(1, 1) << int(cmd::FormatBold)
                                         << "a<b>b\nc</b>d" << QPoint(4, 0);
    QTest::newRow("bold, nothing selected") << "xy" << QPoint(1, 0) << QPoint(1, 0) << int(cmd::FormatBold)
                                            << "x<b></b>y" << QPoint(4, 0);
    QTest::newRow("anchor replaces the selection") << "word" << QPoint(0, 0) << QPoint(4, 0)
                                                   << int(cmd::InsertNamedAnchor) << "<a name=\"\">" << QPoint(9, 0);
    QTest::newRow("script block mid-line") << "abc" << QPoint(1, 0) << QPoint(2, 0) << int(cmd::AspScriptBlock)
                                           << "a<%\nb\n%>c" << QPoint(0, 1);
    QTest::newRow("heading 2") << "" << QPoint(0, 0) << QPoint(0, 0) << int(cmd::FormatHeading1 + 1) << "<h2></h2>"
                               << QPoint(4, 0);
    QTest::newRow("centre") << "t" << QPoint(0, 0) << QPoint(1, 0) << int(cmd::FormatAlignCenter)
                            << "<div align=\"center\">t</div>" << QPoint(20, 0);
    QTest::newRow("line break after text") << "x" << QPoint(1, 0) << QPoint(1, 0) << int(cmd::InsertLineBreak)
                                           << "x<br>" << QPoint(5, 0);
}

void TagCommandsTest::fixedMarkup() {
    QFETCH(QString, text);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(int, id);
    QFETCH(QString, result);
    QFETCH(QPoint, cursor);
    Page page(text.toStdString());
    page.Select({from.y(), from.x()}, {to.y(), to.x()});
    QVERIFY(page.Run(id));
    QCOMPARE(QString::fromStdString(page.Text()), result);
    QCOMPARE(page.view.CursorPosition(), TextPosition(cursor.y(), cursor.x()));
    QVERIFY(!page.view.HasSelection());
    QVERIFY(page.UndoesTo(text.toStdString()));
}

void TagCommandsTest::deleteLine() {
    const struct {
        const char* text;
        int line;
        const char* result;
    } cases[] = {{"a\nb\nc", 1, "a\nc"}, {"a\nbb", 1, "a\n"}, {"only", 0, ""}, {"a\n", 1, "a\n"}};
    for (const auto& c : cases) {
        Page page(c.text);
        page.view.SetCursorAndClear({c.line, std::min(1, page.buffer->LineLength(c.line))});
        page.tags->DeleteLine();
        QCOMPARE(page.Text(), std::string(c.result));
        QCOMPARE(page.view.CursorPosition(), TextPosition(c.line, 0));
        if (std::string(c.text) != c.result) QVERIFY(page.UndoesTo(c.text));
    }
}

void TagCommandsTest::formFieldDialogs() {
    {  // The selection pre-fills the value; the radio button picks the type.
        Page page("Go");
        page.Select({0, 0}, {0, 2});
        page.driver.Then([](QWidget* d) {
            QCOMPARE(Field(d, "value"), QStringLiteral("Go"));
            Set(d, "name", QStringLiteral("b"));
            Click(d, "submit");
            ModalDriver::ClickButton(d, QStringLiteral("OK"));
        });
        QVERIFY(page.Run(cmd::InsertButton));
        QCOMPARE(page.Text(), std::string("<input type=\"submit\" name=\"b\" value=\"Go\">"));
        QCOMPARE(page.view.CursorPosition(), TextPosition(0, 1));
        QVERIFY(page.UndoesTo("Go"));
    }
    {  // The form wraps the selection on lines of its own and keeps the method chosen.
        Page page("sel");
        page.profile.WriteString("Form", "Default Method", "GET");
        page.Select({0, 0}, {0, 3});
        page.driver.Then([](QWidget* d) {
            QCOMPARE(d->findChild<QComboBox*>(QStringLiteral("method"))->currentText(), QStringLiteral("GET"));
            Set(d, "method", QStringLiteral("POST"));
            Set(d, "action", QStringLiteral("save.asp?a=1&b=<%=b%>"));
            ModalDriver::ClickButton(d, QStringLiteral("OK"));
        });
        QVERIFY(page.Run(cmd::InsertForm));
        QCOMPARE(page.Text(), std::string("<form method=\"POST\" action=\"save.asp?a=1&amp;b=<%=b%>\">\nsel\n</form>"));
        QCOMPARE(page.view.CursorPosition(), TextPosition(1, 0));
        QCOMPARE(page.profile.GetString("Form", "Default Method"), std::string("POST"));
    }
    {  // The text area writes what the dialog's Text field holds, edits included.
        Page page("old");
        page.Select({0, 0}, {0, 3});
        page.driver.Then([](QWidget* d) {
            QCOMPARE(d->findChild<QPlainTextEdit*>(QStringLiteral("text"))->toPlainText(), QStringLiteral("old"));
            Set(d, "text", QStringLiteral("new\ntext"));
            Set(d, "wrap", QStringLiteral("3"));
            ModalDriver::ClickButton(d, QStringLiteral("OK"));
        });
        QVERIFY(page.Run(cmd::InsertTextArea));
        QCOMPARE(page.Text(), std::string("<textarea wrap=\"physical\">new\ntext</textarea>"));
        QCOMPARE(page.view.CursorPosition(), TextPosition(0, 26));
    }
    for (const bool cyrillic : {false, true}) {  // Markup goes in through the page's code page.
        const std::string before = cyrillic ? "<%@ CODEPAGE=1251 %>" : "x";
        Page page(before);
        page.view.MoveTextEnd(false);
        page.driver.Then([](QWidget* d) {
            Set(d, "value", QString::fromUtf8("\u0414\u0430"));  // Да
            ModalDriver::ClickButton(d, QStringLiteral("OK"));
        });
        QVERIFY(page.Run(cmd::InsertButton));
        if (cyrillic) QVERIFY(page.Text().find("value=\"\xC4\xE0\"") != std::string::npos);
        else QCOMPARE(page.Text(), before);  // refused: Windows-1252 has no Cyrillic
    }
    {  // Cancel changes nothing.
        Page page("keep");
        page.Select({0, 0}, {0, 4});
        page.driver.Click(QStringLiteral("Cancel"));
        QVERIFY(page.Run(cmd::InsertCheckBox));
        QCOMPARE(page.Text(), std::string("keep"));
        QVERIFY(!page.buffer->CanUndoStep());
    }
}

void TagCommandsTest::selectDialogOptions() {
    Page page("");
    auto option = [&page](const char* label, const char* value, bool selected) {
        page.driver.Then([=](QWidget* d) {
            Set(d, "label", QString::fromLatin1(label));
            Set(d, "value", QString::fromLatin1(value));
            Set(d, "selected", selected ? QStringLiteral("1") : QStringLiteral("0"));
            ModalDriver::ClickButton(d, QStringLiteral("OK"));
        });
    };
    page.driver.Then([](QWidget* d) {
        Set(d, "name", QStringLiteral("s"));
        auto* list = d->findChild<QTreeWidget*>(QStringLiteral("options"));
        // The two Adds are answered by the option actions queued below.
        Steps({[d] { Click(d, "add"); }, [d] { Click(d, "add"); },
               [d, list] {
                   QCOMPARE(list->topLevelItemCount(), 2);
                   QVERIFY(list->topLevelItem(1)->isSelected());
                   QVERIFY(d->findChild<QPushButton*>(QStringLiteral("up"))->isEnabled());
                   QVERIFY(!d->findChild<QPushButton*>(QStringLiteral("down"))->isEnabled());
                   Click(d, "up");
                   QVERIFY(list->topLevelItem(0)->isSelected());
                   QVERIFY(!d->findChild<QPushButton*>(QStringLiteral("up"))->isEnabled());
               },
               [d] { ModalDriver::ClickButton(d, QStringLiteral("OK")); }});
    });
    option("One", "1", false);
    option("Two", "", true);
    QVERIFY(page.Run(cmd::InsertListBox));
    QCOMPARE(page.Text(), std::string("<select name=\"s\">\n    <option selected>Two</option>\n"
                                      "    <option value=\"1\">One</option>\n</select>"));
}

void TagCommandsTest::lengthAndTableChecks() {
    {  // A name over the limit keeps the dialog open with the message.
        Page page("");
        page.driver.Then([&page](QWidget* d) {
            Set(d, "name", QString(256, QLatin1Char('n')));
            Steps({[d] { ModalDriver::ClickButton(d, QStringLiteral("OK")); },  // refused: the message answers it
                   [d, &page] {
                       QVERIFY(d->isVisible());
                       QCOMPARE(page.driver.Seen().last(), QStringLiteral("Please enter no more than 255 characters."));
                       Set(d, "name", QStringLiteral("h"));
                       ModalDriver::ClickButton(d, QStringLiteral("OK"));
                   }});
        });
        page.driver.Click(QStringLiteral("OK"));
        QVERIFY(page.Run(cmd::InsertHiddenField));
        QCOMPARE(page.Text(), std::string("<input type=\"hidden\" name=\"h\">"));
    }

    Page table("");
    table.driver.Then([&table](QWidget* d) {
        Set(d, "rows", QStringLiteral("32000"));
        Set(d, "cols", QStringLiteral("32000"));
        Steps({[d] { ModalDriver::ClickButton(d, QStringLiteral("OK")); },
               [d, &table] {
                   QVERIFY(d->isVisible());
                   QVERIFY(table.driver.Seen().last().contains(QStringLiteral("100000 cells")));
                   Set(d, "rows", QStringLiteral("x"));
                   ModalDriver::ClickButton(d, QStringLiteral("OK"));
               },
               [d, &table] {
                   QCOMPARE(table.driver.Seen().last(), QStringLiteral("Please enter an integer."));
                   Set(d, "rows", QStringLiteral("1"));
                   Set(d, "cols", QStringLiteral("2"));
                   Set(d, "bgcolor", QStringLiteral("#ff8"));
                   auto* button = d->findChild<CColorButton*>(QStringLiteral("bgcolorButton"));
                   QCOMPARE(button->GetColor(), MakeColorRef(255, 8, 0));
                   ModalDriver::ClickButton(d, QStringLiteral("OK"));
               }});
    });
    table.driver.Click(QStringLiteral("OK"));
    table.driver.Click(QStringLiteral("OK"));
    QVERIFY2(table.Run(cmd::InsertTable), qPrintable(table.driver.Seen().join(QLatin1Char('|'))));
    QCOMPARE(table.Text(), std::string("<table cellpadding=\"0\" cellspacing=\"0\" width=\"100%\" border=\"1\" "
                                       "bgcolor=\"#ff8\">\n    <tr>\n        <td>&nbsp;</td>\n        "
                                       "<td>&nbsp;</td>\n    </tr>\n</table>"));
}

void TagCommandsTest::elementDialogs() {
    {  // Only Bold ticked: the selection between <b> and </b>, no font tag.
        Page page("sel");
        page.Select({0, 0}, {0, 3});
        page.driver.Then([](QWidget* d) {
            Set(d, "bold", QStringLiteral("1"));
            ModalDriver::ClickButton(d, QStringLiteral("OK"));
        });
        QVERIFY(page.Run(cmd::FormatFont));
        QCOMPARE(page.Text(), std::string("<b>sel</b>"));
        QVERIFY(page.UndoesTo("sel"));
    }
    {  // The e-mail link starts with "mailto:" and has no target.
        Page page("me");
        page.Select({0, 0}, {0, 2});
        page.driver.Then([](QWidget* d) {
            QCOMPARE(Field(d, "url"), QStringLiteral("mailto:"));
            QVERIFY(!d->findChild<QComboBox*>(QStringLiteral("target"))->isEnabled());
            Set(d, "url", QStringLiteral("mailto:a@b.c"));
            ModalDriver::ClickButton(d, QStringLiteral("OK"));
        });
        QVERIFY(page.Run(cmd::InsertEmailLink));
        QCOMPARE(page.Text(), std::string("<a href=\"mailto:a@b.c\">me</a>"));
        QCOMPARE(page.view.CursorPosition(), TextPosition(0, 23));
    }
    {  // A list from the selected lines.
        Page page("a\nb");
        page.Select({0, 0}, {1, 1});
        page.driver.Then([](QWidget* d) {
            Set(d, "type", QStringLiteral("1"));
            QCOMPARE(d->findChild<QComboBox*>(QStringLiteral("style"))->count(), 6);
            Set(d, "start", QStringLiteral("3"));
            ModalDriver::ClickButton(d, QStringLiteral("OK"));
        });
        QVERIFY(page.Run(cmd::FormatList));
        QCOMPARE(page.Text(), std::string("<ol start=\"3\">\n    <li>a</li>\n    <li>b</li>\n</ol>"));
    }
    {  // Date & Time with both lists on "(None)": the selection goes, nothing comes; the choice is kept.
        Page page("gone");
        page.Select({0, 0}, {0, 4});
        page.driver.Then([](QWidget* d) {
            Set(d, "date", QStringLiteral("0"));
            Set(d, "time", QStringLiteral("0"));
            ModalDriver::ClickButton(d, QStringLiteral("OK"));
        });
        QVERIFY(page.Run(cmd::InsertDateTime));
        QCOMPARE(page.Text(), std::string(""));
        QCOMPARE(page.profile.GetInt("Date & Time", "Date", -1), 0);
        page.driver.Then([](QWidget* d) {
            QCOMPARE(d->findChild<QComboBox*>(QStringLiteral("date"))->currentIndex(), 0);
            Set(d, "time", QStringLiteral("1"));
            Click(d, "dynamic");
            Click(d, "modified");
            ModalDriver::ClickButton(d, QStringLiteral("OK"));
        });
        QVERIFY(page.Run(cmd::InsertDateTime));
        QVERIFY(page.Text().find("date.setTime(Date.parse(document.lastModified));\n") != std::string::npos);
        QVERIFY(page.Text().find("getFullYear") == std::string::npos);
    }
}

void TagCommandsTest::browsingWritesReferences() {
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("site")));
    const QString outside = dir.filePath(QStringLiteral("my pic.gif"));
    QFile(outside).open(QIODevice::WriteOnly);
    QString proposed, opened;
    SetFileChooser([&](QWidget*, const QString&, const QString& start, const QString&, bool save) {
        if (!save) {
            opened = start;
            return outside;
        }
        proposed = start;
        return dir.filePath(QStringLiteral("site/copied.gif"));
    });
    {  // Untitled page: a file URL, and the warning whose check box switches it off.
        Page page("");
        page.driver.Then([&page](QWidget* d) {
            Steps({[d] { d->findChild<CPathEdit*>(QStringLiteral("src"))->Browse(); },
                   [d, &page] {
                       QVERIFY(Field(d, "src").startsWith(QStringLiteral("file:///")));
                       QVERIFY(Field(d, "src").endsWith(QStringLiteral("/my%20pic.gif")));
                       QCOMPARE(page.profile.GetInt("Messages", "Warn if uses absolute path", 1), 0);
                       ModalDriver::ClickButton(d, QStringLiteral("OK"));
                   }});
        });
        page.driver.Then([](QWidget* box) {
            box->findChild<QCheckBox*>()->setChecked(true);
            ModalDriver::ClickButton(box, QStringLiteral("OK"));
        });
        QVERIFY(page.Run(cmd::InsertImage));
        QVERIFY(page.Text().find("src=\"file:///") == 0 + 5);
    }
    {  // Outside the project: copied in on Yes, then written relative to the page.
        Page page("");
        page.project = dir.filePath(QStringLiteral("site"));
        page.path = dir.filePath(QStringLiteral("site/index.asp"));
        page.driver.Then([](QWidget* d) {
            Steps({[d] { d->findChild<CPathEdit*>(QStringLiteral("url"))->Browse(); },
                   [d] {
                       QCOMPARE(Field(d, "url"), QStringLiteral("copied.gif"));
                       ModalDriver::ClickButton(d, QStringLiteral("OK"));
                   }});
        });
        page.driver.Click(QStringLiteral("Yes"));
        QVERIFY(page.Run(cmd::InsertLink));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("site/copied.gif"))));
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("my pic.gif"));
        QCOMPARE(opened, page.project);  // browsing starts in the page's folder
        QCOMPARE(page.Text(), std::string("<a href=\"copied.gif\"></a>"));
    }
}

void TagCommandsTest::includeFile() {
    QTemporaryDir dir;
    const QString inc = dir.filePath(QStringLiteral("site/inc/top.inc"));
    SetFileChooser([&](QWidget*, const QString&, const QString&, const QString&, bool) { return inc; });
    Page page("");
    page.path = dir.filePath(QStringLiteral("site/pages/p.asp"));
    QVERIFY(page.Run(cmd::AspIncludeFile));
    QCOMPARE(page.Text(), std::string("<!-- #include file=\"../inc/top.inc\" -->"));
    QCOMPARE(page.view.CursorPosition(), TextPosition(0, 20));
    Page untitled("");
    QVERIFY(untitled.Run(cmd::AspIncludeFile));
    QCOMPARE(untitled.Text(), std::string("<!-- #include file=\"\" -->"));
    QCOMPARE(untitled.view.CursorPosition(), TextPosition(0, 20));
}

void TagCommandsTest::specialCharacters() {
    Page page("");
    // First use: the first cell is chosen, Insert writes it with the cursor after it.
    page.driver.Click(QStringLiteral("Insert"));
    QVERIFY(page.Run(cmd::InsertSpecialChars));
    QCOMPARE(page.Text(), std::string("&nbsp;"));
    QCOMPARE(page.view.CursorPosition(), TextPosition(0, 6));

    // The one dialog comes back each time: the driver is to answer it again.
    auto again = [] { CSpecialCharsDialog::Instance().setProperty("tarnwellDriverSeen", false); };
    again();
    CSpecialCharGrid* grid = CSpecialCharsDialog::Instance().Grid();
    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(331, 5));  // the border strip: nothing
    QCOMPARE(grid->Selected(), 0);
    page.driver.Then([](QWidget* d) {
        auto* g = d->findChild<CSpecialCharGrid*>();
        QTest::mouseDClick(g, Qt::LeftButton, {}, QPoint(10 * 30 + 5, 8 * 30 + 5));
    });
    QVERIFY(page.Run(cmd::InsertSpecialChars));
    QCOMPARE(page.Text(), std::string("&nbsp;&#159;"));
    again();
    // It reopens on the cell chosen last; Close inserts nothing.
    page.driver.Then([](QWidget* d) {
        QCOMPARE(d->findChild<CSpecialCharGrid*>()->Selected(), 98);
        ModalDriver::ClickButton(d, QStringLiteral("Close"));
    });
    QVERIFY(page.Run(cmd::InsertSpecialChars));
    QCOMPARE(page.Text(), std::string("&nbsp;&#159;"));
}

void TagCommandsTest::serverObjects() {
    CServerObjectStore::Reset();
    Page page("x");
    page.profile.WriteInt("Server Objects", "Count", 3);
    page.profile.WriteString("Server Objects", "#0", "R&D Mail\nCDO.Message");
    page.profile.WriteString("Server Objects", "#1", "broken");
    page.profile.WriteString("Server Objects", "#2", "Connection\nADODB.Connection");
    QMenu menu;
    menu.addAction(QStringLiteral("(Empty)"))->setData(int(cmd::ServerObjectFirst));
    menu.addSeparator();
    menu.addAction(QStringLiteral("&Customize..."))->setData(int(cmd::ServerObjectCustomize));
    std::vector<int> fired;
    auto fill = [&] {
        FillServerObjectMenu(&menu, CServerObjectStore::Get(&page.profile).Objects(), [&](int id) { fired.push_back(id); });
    };
    fill();
    QStringList texts;
    for (QAction* a : menu.actions()) texts << a->text();
    QCOMPARE(texts, (QStringList{"R&&D Mail", "Connection", "", "&Customize..."}));
    menu.actions()[1]->trigger();
    QCOMPARE(fired, std::vector<int>{cmd::ServerObjectFirst + 1});

    page.Select({0, 0}, {0, 1});
    QVERIFY(page.Run(cmd::ServerObjectFirst + 1));
    QCOMPARE(page.Text(), std::string("ADODB.Connection"));
    QVERIFY(page.Run(cmd::ServerObjectFirst + 5));  // past the list: nothing
    QCOMPARE(page.Text(), std::string("ADODB.Connection"));

    // Customize: a new object (trimmed, both parts required), moved to the top; Cancel keeps all.
    page.driver.Then([](QWidget* d) {
        auto* list = d->findChild<QTreeWidget*>(QStringLiteral("objects"));
        Steps({[d] { Click(d, "add"); },
               [d, list] {
                   QCOMPARE(list->topLevelItemCount(), 3);
                   QVERIFY(!d->findChild<QPushButton*>(QStringLiteral("down"))->isEnabled());
                   Click(d, "up");
                   Click(d, "up");
                   QVERIFY(!d->findChild<QPushButton*>(QStringLiteral("up"))->isEnabled());
                   QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("MSWC.AdRotator"));
                   ModalDriver::ClickButton(d, QStringLiteral("OK"));
               }});
    });
    page.driver.Then([&page](QWidget* d) {
        Set(d, "title", QStringLiteral("  "));
        Steps({[d] { ModalDriver::ClickButton(d, QStringLiteral("OK")); },
               [d, &page] {
                   QCOMPARE(page.driver.Seen().last(), QStringLiteral("Please enter a title for this object."));
                   Set(d, "title", QStringLiteral(" Ads "));
                   Set(d, "id", QStringLiteral(" MSWC.AdRotator\t"));
                   ModalDriver::ClickButton(d, QStringLiteral("OK"));
               }});
    });
    page.driver.Click(QStringLiteral("OK"));
    CServerObjectsDialog::Customize(&page.profile, nullptr);
    QTRY_VERIFY(page.driver.Idle());
    QCOMPARE(page.profile.GetInt("Server Objects", "Count", 0), 3);
    QCOMPARE(page.profile.GetString("Server Objects", "#0"), std::string("Ads\nMSWC.AdRotator"));
    page.driver.Then([](QWidget* d) {
        Click(d, "remove");
        ModalDriver::ClickButton(d, QStringLiteral("Cancel"));
    });
    CServerObjectsDialog::Customize(&page.profile, nullptr);
    QCOMPARE(CServerObjectStore::Get(nullptr).Objects().size(), 3u);

    CServerObjectStore::Get(nullptr).Replace({});
    fill();
    QCOMPARE(menu.actions()[0]->text(), QStringLiteral("(Empty)"));
    QCOMPARE(menu.actions().size(), 3);
    CServerObjectStore::Reset();
}

void TagCommandsTest::contextMenuInTheProgram() {
    test::AppFixture fx;
    QCOMPARE(fx.Start(), CEditorApp::StartResult::Running);
    CMainFrame* frame = fx.app->MainFrame();
    frame->RouteCommand(cmd::FileNew);
    QTRY_VERIFY(frame->ActiveChild());
    frame->UpdateCommands();
    QVERIFY(frame->Action(cmd::InsertImage)->isEnabled());
    QVERIFY(frame->Action(cmd::FormatBold)->isEnabled());
    QVERIFY(frame->Action(cmd::ServerObjectCustomize)->isEnabled());
    QMenu* menu = frame->EditorContextMenu();
    QStringList titles;
    for (QAction* a : menu->actions()) titles << a->text();
    for (const char* t : {"&Insert", "F&ormat", "Insert &ASP Script Block", "Insert Server &Object ID"}) {
        QVERIFY2(titles.contains(QString::fromLatin1(t)), t);
    }
    QCOMPARE(menu->actions()[4]->menu(), frame->Popup(QStringLiteral("&Insert")));
    // Bold through the program's own routing, Ctrl+L included.
    auto* view = qobject_cast<CVeskView*>(frame->ActiveChild()->SourceView());
    QVERIFY(view);
    view->Buffer()->InitFromText(0, "one\r\ntwo");
    view->SelectRange({0, 0}, {0, 3});
    QVERIFY(frame->RouteCommand(cmd::FormatBold));
    QCOMPARE(view->Buffer()->Text(LineEndUnix), std::string("<b>one</b>\ntwo"));
    QVERIFY(frame->RouteCommand(cmd::EditDeleteLine));
    QCOMPARE(view->Buffer()->Text(LineEndUnix), std::string("two"));

    QTimer::singleShot(200, menu, [menu] {
        menu->grab().save(ShotPath(QStringLiteral("editor_context_menu.png")));
        menu->close();
    });
    frame->ShowEditorContextMenu(frame->mapToGlobal(QPoint(200, 200)));
    // The menu key opens it too.
    bool shown = false;
    QTimer::singleShot(100, menu, [menu, &shown] {
        shown = menu->isVisible();
        menu->close();
    });
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(view->viewport(), &key);
    QVERIFY(shown);
    frame->ActiveChild()->CloseSilently();
}

void TagCommandsTest::pictures() {
    MemoryProfile profile;
    AuthoringContext c;
    c.profile = &profile;
    const std::pair<int, const char*> dialogs[] = {
        {cmd::InsertForm, "form"},         {cmd::InsertButton, "button"},     {cmd::InsertCheckBox, "checkbox"},
        {cmd::InsertTextField, "text"},    {cmd::InsertTextArea, "textarea"}, {cmd::InsertFileField, "file"},
        {cmd::InsertHiddenField, "hidden"}, {cmd::InsertListBox, "select"},   {cmd::InsertImage, "image"},
        {cmd::InsertImageField, "imagefield"}, {cmd::InsertLink, "link"},     {cmd::FormatList, "list"},
        {cmd::InsertTable, "table"},       {cmd::FormatFont, "font"},         {cmd::InsertDateTime, "datetime"},
    };
    for (const auto& [id, name] : dialogs) {
        std::unique_ptr<CInsertDialog> d(NewFormDialog(id, QStringLiteral("sel"), c, nullptr));
        if (!d) d.reset(NewElementDialog(id, QStringLiteral("sel"), c, nullptr));
        QVERIFY2(d, name);
        d->show();
        QApplication::processEvents();
        QVERIFY(d->grab().save(ShotPath(QStringLiteral("dialog_%1.png").arg(QLatin1String(name)))));
    }
    CSpecialCharsDialog& special = CSpecialCharsDialog::Instance();
    special.show();
    QApplication::processEvents();
    QVERIFY(special.grab().save(ShotPath(QStringLiteral("dialog_special_characters.png"))));
    special.hide();
    CServerObjectStore::Reset();
    profile.WriteInt("Server Objects", "Count", 1);
    profile.WriteString("Server Objects", "#0", "Connection\nADODB.Connection");
    CServerObjectsDialog objects(CServerObjectStore::Get(&profile), nullptr);
    objects.show();
    QApplication::processEvents();
    QVERIFY(objects.grab().save(ShotPath(QStringLiteral("dialog_server_objects.png"))));
    CServerObjectStore::Reset();
}

QTEST_MAIN(TagCommandsTest)
#include "tag_commands_qtest.moc"
