// Test helper: a whole application in this test process, over a temporary program folder, a
// temporary INI settings file and a channel name of its own.
#pragma once

#include "app/CEditorApp.h"
#include "platform/SettingsProfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

#include <functional>
#include <memory>

namespace tarnwell::test {

inline bool CopyFolder(const QString& from, const QString& to) {
    QDir src(from);
    if (!src.exists()) return false;
    QDir().mkpath(to);
    for (const QFileInfo& fi : src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = QDir(to).filePath(fi.fileName());
        if (fi.isDir()) {
            if (!CopyFolder(fi.filePath(), target)) return false;
        } else if (!QFile::copy(fi.filePath(), target)) {
            return false;
        }
    }
    return true;
}

struct AppFixture {
    QTemporaryDir dir;
    QString programFolder;
    QString iniPath;
    QString channel;
    std::shared_ptr<SettingsProfile> profile;
    std::unique_ptr<CEditorApp> app;

    // `withData`: copy the installed Keyword, Templates and TypeLibs folders into the program folder.
    explicit AppFixture(bool withData = true) {
        programFolder = dir.filePath(QStringLiteral("bin"));
        QDir().mkpath(programFolder);
        if (withData) {
            CopyFolder(QStringLiteral(TARNWELL_BIN_DIR "/Keyword"), programFolder + QStringLiteral("/Keyword"));
            CopyFolder(QStringLiteral(TARNWELL_BIN_DIR "/Templates"), programFolder + QStringLiteral("/Templates"));
            CopyFolder(QStringLiteral(TARNWELL_BIN_DIR "/TypeLibs"), programFolder + QStringLiteral("/TypeLibs"));
        }
        iniPath = dir.filePath(QStringLiteral("settings.ini"));
        channel = QStringLiteral("tw-app-") + QUuid::createUuid().toString(QUuid::Id128).left(16);
        ResetProfile();
    }
    ~AppFixture() { Stop(); }

    void ResetProfile() { profile = std::make_shared<SettingsProfile>(iniPath.toStdString()); }

    // `prepare` runs on the new application object before its start-up (to set a project model).
    CEditorApp::StartResult Start(const QStringList& args = {},
                                  const std::function<void(CEditorApp&)>& prepare = {}) {
        CEditorApp::Config c;
        c.profile = profile;
        c.programFolder = programFolder;
        c.channelName = channel;
        c.recoveryFolder = dir.filePath(QStringLiteral("recovery"));
        app = std::make_unique<CEditorApp>(c);
        if (prepare) prepare(*app);
        return app->InitInstance(args);
    }

    void Stop() {
        app.reset();
        if (profile) profile->Sync();
    }

    QString Path(const QString& name) const { return dir.filePath(name); }
    bool Write(const QString& name, const QByteArray& bytes) const {
        QFile f(dir.filePath(name));
        QDir().mkpath(QFileInfo(f).absolutePath());
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

}  // namespace tarnwell::test
