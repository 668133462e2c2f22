// Building the command that starts an external editor: each editor form, with hostile file paths.
#include "app/ExternalEditor.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace tarnwell;

class ExternalEditorTest : public QObject {
    Q_OBJECT
private slots:
    void buildsWithoutShell_data() {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QStringList>("expected");  // program, then the arguments
        const QString f = "/w/my site/a b;rm -rf ~ $(x) `y`.css";
        QTest::newRow("path") << "/usr/bin/gimp" << "" << "" << QStringList{"/usr/bin/gimp", f};
        QTest::newRow("parameters") << " gimp " << "--new \"two words\"" << "" << QStringList{"gimp", "--new", "two words", f};
        QTest::newRow("desktop %F") << "gimp.desktop" << "" << "gimp-2.10 --single %F" << QStringList{"gimp-2.10", "--single", f};
        QTest::newRow("desktop codes") << "e.desktop" << "-x" << "\"/opt/e dir/e\" %i --file=%u 100%%"
                                       << QStringList{"/opt/e dir/e", "-x", "--file=" + f, "100%"};
        QTest::newRow("desktop no code") << "v.desktop" << "" << "viewer" << QStringList{"viewer", f};
    }
    void buildsWithoutShell() {
        QFETCH(QString, editor);
        QFETCH(QString, parameters);
        QFETCH(QString, exec);
        QFETCH(QStringList, expected);
        const QString f = "/w/my site/a b;rm -rf ~ $(x) `y`.css";
        const auto c = BuildLaunch(editor, parameters, f, [&](const QString&) { return exec; });
        QVERIFY(c);
        QCOMPARE(QStringList{c->program} + c->arguments, expected);
    }

    void nothingToStart() {
        const auto none = [](const QString&) { return QString(); };
        QVERIFY(!BuildLaunch("  ", "", "/f", none));
        QVERIFY(!BuildLaunch("missing.desktop", "", "/f", none));
        QVERIFY(!BuildLaunch("/usr/bin/x\n/bin/sh", "", "/f", none));
    }

    void startsTheProgramWithThePathIntact() {
        QTemporaryDir dir;
        const QString file = dir.filePath("a b;touch pwned.css");
        const QString out = dir.filePath("out");
        const QString script = dir.filePath("echo.sh");
        QFile s(script);
        QVERIFY(s.open(QIODevice::WriteOnly) && s.write("printf %s \"$2\" > \"$1\"\n") > 0);
        s.close();
        const auto c = BuildLaunch("/bin/sh", "\"" + script + "\" " + out, file, {});
        QVERIFY(c);
        QString error;
        QVERIFY(StartLaunch(*c, error));
        QTRY_VERIFY(QFile::exists(out) && QFileInfo(out).size() > 0);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()), file);
        QVERIFY(!QFile::exists(dir.filePath("pwned.css")));
        QVERIFY(!StartLaunch({dir.filePath("no-such-program"), {}}, error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(ExternalEditorTest)
#include "external_editor_qtest.moc"
