#include "app/ExternalEditor.h"

#include "app/DesktopEntries.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace tarnwell {

namespace {

// Expands the field codes of one Exec argument; `usedFile` tells that the file went in.
QStringList ExpandExecArgument(const QString& arg, const QString& file, bool& usedFile) {
    static const QString fileCodes = QStringLiteral("fFuU");
    if (arg.size() == 2 && arg[0] == QLatin1Char('%') && fileCodes.contains(arg[1])) {
        usedFile = true;
        return {file};
    }
    QString out;
    for (qsizetype i = 0; i < arg.size(); ++i) {
        if (arg[i] != QLatin1Char('%') || i + 1 >= arg.size()) {
            out += arg[i];
            continue;
        }
        const QChar code = arg[++i];
        if (code == QLatin1Char('%')) {
            out += code;
        } else if (fileCodes.contains(code)) {
            out += file;
            usedFile = true;
        }
    }
    if (out.isEmpty() && arg.size() == 2) return {};  // a lone code such as %i or %c
    return {out};
}

}  // namespace

std::optional<LaunchCommand> BuildLaunch(const QString& editor, const QString& parameters, const QString& file,
                                         const std::function<QString(const QString& desktopId)>& execOf) {
    const QString program = editor.trimmed();
    if (program.isEmpty() || program.contains(QLatin1Char('\n')) || program.contains(QLatin1Char('\r')))
        return std::nullopt;
    QStringList extra = QProcess::splitCommand(parameters);
    if (program.endsWith(QStringLiteral(".desktop")) && !program.contains(QLatin1Char('/'))) {
        const QStringList exec = QProcess::splitCommand(execOf ? execOf(program) : QString());
        if (exec.isEmpty()) return std::nullopt;
        LaunchCommand c{exec.first(), {}};
        bool usedFile = false;
        QStringList rest;
        for (qsizetype i = 1; i < exec.size(); ++i) rest += ExpandExecArgument(exec[i], file, usedFile);
        c.arguments = extra + rest;
        if (!usedFile) c.arguments << file;
        return c;
    }
    return LaunchCommand{program, extra << file};
}

QString DesktopEntryExec(const QString& desktopId) {
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopId);
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) return {};
    return QString::fromStdString(ParseDesktopEntry(f.read(1 << 20).toStdString()).exec);
}

bool StartLaunch(const LaunchCommand& command, QString& error) {
    QProcess process;
    process.setProgram(command.program);
    process.setArguments(command.arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (process.startDetached(&pid)) return true;
    error = process.errorString();
    return false;
}

}  // namespace tarnwell
