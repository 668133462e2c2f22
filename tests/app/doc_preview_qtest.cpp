// A document's preview file written from a real text buffer: the bytes with the buffer's line ends,
// the modified state untouched, the failure message, and the web-path question's switch.
#include "app/DocPreview.h"
#include "platform/MemoryProfile.h"
#include "tests/support/ModalDriver.h"
#include "text/AskWithCheck.h"
#include "text/CCrystalTextBuffer.h"

#include <QCheckBox>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwell;
using tarnwell::test::ModalDriver;

namespace {

class Project : public PreviewProject {
public:
    std::string web, file;
    std::string WebPath() const override { return web; }
    std::string ProjectFilePath() const override { return file; }
};

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class DocPreviewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { SetPreviewProjectSource({}); }
    void writesTheBufferWithItsLineEnds();
    void failureIsReported();
    void webPathQuestionWritesItsSwitch();
};

void DocPreviewTest::writesTheBufferWithItsLineEnds() {
    QTemporaryDir dir;
    CCrystalTextBuffer buffer;
    QVERIFY(buffer.InitFromText(LineEndUnix, "<p>one</p>\r\n<p>two</p>"));
    QVERIFY(buffer.InsertTextAt(nullptr, 0, 0, "<!-- edited -->"));
    QVERIFY(buffer.IsDirty());
    MemoryProfile messages;
    PreviewFile r = MakeDocumentPreview(dir.filePath(QStringLiteral("page.htm")), buffer, messages);
    QVERIFY(r.ok);
    QCOMPARE(Bytes(QString::fromStdString(r.path)), QByteArray("<!-- edited --><p>one</p>\n<p>two</p>"));
    QVERIFY(buffer.IsDirty());  // a preview copy leaves the modified state alone

    // An untitled page goes to the temporary folder.
    PreviewFile untitled = MakeDocumentPreview(QString(), buffer, messages);
    QVERIFY(untitled.ok);
    QCOMPARE(QFileInfo(QString::fromStdString(untitled.path)).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    QVERIFY(DeletePreviewFile(untitled.path));
}

void DocPreviewTest::failureIsReported() {
    QTemporaryDir dir;
    CCrystalTextBuffer buffer;
    buffer.InitFromText(LineEndDos, "x");
    MemoryProfile messages;
    ModalDriver driver;
    driver.Click(QStringLiteral("OK"));
    PreviewFile r = MakeDocumentPreview(dir.filePath(QStringLiteral("missing/page.htm")), buffer, messages);
    QVERIFY(!r.ok);
    QCOMPARE(driver.Seen(), QStringList{QStringLiteral("Failed to create preview file.")});
}

void DocPreviewTest::webPathQuestionWritesItsSwitch() {
    QTemporaryDir dir;
    Project project;
    project.file = dir.filePath(QStringLiteral("site.twp")).toStdString();
    int edits = 0;
    SetPreviewProjectSource({[&]() -> const PreviewProject* { return &project; }, [&] {
                                 ++edits;
                                 project.web = "http://localhost/site/";
                                 return true;
                             }});
    CCrystalTextBuffer buffer;
    buffer.InitFromText(LineEndDos, "<% Response.Write 1 %>");
    MemoryProfile messages;
    QString page = dir.filePath(QStringLiteral("a.asp"));

    ModalDriver driver;
    driver.Then([](QWidget* w) {
        auto* box = qobject_cast<CMessageBoxWithCheck*>(w);
        QVERIFY(box);
        QVERIFY(!box->IsChecked() && !box->CheckBox()->isChecked());
        box->CheckBox()->setChecked(true);
        ModalDriver::ClickButton(w, QStringLiteral("No"));
    });
    PreviewFile plain = MakeDocumentPreview(page, buffer, messages);
    QVERIFY(plain.ok);
    QVERIFY(plain.isFile);
    QCOMPARE(messages.GetInt("Messages", kWarnPreviewNoWebPath, -1), 0);
    QVERIFY(DeletePreviewFile(plain.path));

    // Switched off: no question, and the page still previews as a plain file.
    PreviewFile again = MakeDocumentPreview(page, buffer, messages);
    QVERIFY(again.ok && again.isFile);
    QCOMPARE(driver.Seen().size(), 1);
    QVERIFY(DeletePreviewFile(again.path));

    // Switched on, Yes: the web path is asked for and the page goes through the server.
    messages.WriteInt("Messages", kWarnPreviewNoWebPath, 1);
    driver.Click(QStringLiteral("Yes"));
    PreviewFile served = MakeDocumentPreview(page, buffer, messages);
    QVERIFY(served.ok);
    QCOMPARE(edits, 1);
    QVERIFY(QString::fromStdString(served.url).startsWith(QLatin1String("http://localhost/site/~PVW")));
    QVERIFY(QString::fromStdString(served.url).endsWith(QLatin1String(".asp")));
    QCOMPARE(messages.GetInt("Messages", kWarnPreviewNoWebPath, -1), 1);
    QVERIFY(DeletePreviewFile(served.path));
}

QTEST_MAIN(DocPreviewTest)
#include "doc_preview_qtest.moc"
