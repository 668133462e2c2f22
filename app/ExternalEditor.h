// Starting an external editor on a file: the program and its arguments are built without any shell,
// the file path always one argument of its own, so blanks and shell characters in it stay inert.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tarnwell {

struct LaunchCommand {
    QString program;
    QStringList arguments;
};

// `editor` is an executable path, a command on PATH or a desktop entry id ("name.desktop"), whose
// Exec line `execOf` answers (empty: unknown). The parameters are split like a command line and put
// before the file. In an Exec line %f %F %u %U become the file, "%%" a percent sign and other field
// codes are dropped; without a file code the file goes last. None when nothing can be started.
std::optional<LaunchCommand> BuildLaunch(const QString& editor, const QString& parameters, const QString& file,
                                         const std::function<QString(const QString& desktopId)>& execOf);
// The Exec line of an installed desktop entry (empty when there is none).
QString DesktopEntryExec(const QString& desktopId);
// Starts the program detached; false with the system's reason in `error`.
bool StartLaunch(const LaunchCommand& command, QString& error);

}  // namespace tarnwell
