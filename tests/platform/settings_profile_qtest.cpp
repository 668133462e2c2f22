// The QSettings-backed profile against a real INI file in a temporary folder.
#include "platform/SettingsProfile.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class SettingsProfileTest : public QObject {
    Q_OBJECT
private slots:
    void valuesSurviveReopeningTheFile() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string path = dir.filePath(QStringLiteral("t.ini")).toStdString();
        {
            tarnwell::SettingsProfile p(path);
            QVERIFY(p.WriteInt("Options\\Edit", "Tab Size", 8));
            QVERIFY(p.WriteString("Recent File List", "File1", "/w/a b.asp"));
            QVERIFY(p.WriteBinary("Settings", "Bars", {0, 255, 10}));
        }
        tarnwell::SettingsProfile p(path);
        QCOMPARE(p.GetInt("Options\\Edit", "Tab Size", 4), 8);
        QCOMPARE(p.GetString("Recent File List", "File1"), std::string("/w/a b.asp"));
        auto bin = p.GetBinary("Settings", "Bars");
        QVERIFY(bin.has_value());
        QCOMPARE(bin->size(), size_t(3));
        QCOMPARE(int((*bin)[1]), 255);
        // A section with a backslash is a nested group.
        QCOMPARE(p.Settings().value(QStringLiteral("Options/Edit/Tab Size")).toInt(), 8);
        QCOMPARE(p.GetInt("Options\\Edit", "Missing", 3), 3);
    }

    void deleteSectionRemovesNestedGroups() {
        QTemporaryDir dir;
        tarnwell::SettingsProfile p(dir.filePath(QStringLiteral("t.ini")).toStdString());
        p.WriteInt("Options\\Edit", "A", 1);
        p.WriteInt("Options", "B", 2);
        p.WriteInt("Other", "C", 3);
        p.DeleteSection("Options");
        QCOMPARE(p.GetInt("Options\\Edit", "A", -1), -1);
        QCOMPARE(p.GetInt("Options", "B", -1), -1);
        QCOMPARE(p.GetInt("Other", "C", -1), 3);
        QVERIFY(p.DeleteValue("Other", "C"));
        QCOMPARE(p.GetInt("Other", "C", -1), -1);
    }
};

QTEST_GUILESS_MAIN(SettingsProfileTest)
#include "settings_profile_qtest.moc"
