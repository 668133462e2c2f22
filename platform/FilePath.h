// A Qt file name as the engine's std::filesystem path: the wide form on Windows, the local 8-bit
// encoding of file names elsewhere, so every name the file dialogs return opens as it was chosen.
#pragma once

#include <QFile>
#include <QString>
#include <filesystem>

namespace tarnwell {

inline std::filesystem::path FsPath(const QString& p) {
#ifdef _WIN32
    return std::filesystem::path(p.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(p).toStdString());
#endif
}

}  // namespace tarnwell
