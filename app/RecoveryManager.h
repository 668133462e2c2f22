// Crash recovery of unsaved edits. While a document is modified, its text is kept in a recovery file
// (written about two seconds after the last change, replaced atomically) and removed once the document
// is saved, reverted or closed. Each running instance owns a session, named by a lock file it holds
// while it runs; files of a session whose lock nobody holds come from a run that did not end cleanly,
// and the next start offers them: Restore, Discard or Decide Later.
#pragma once

#include "app/RecoveryFile.h"

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tarnwell {

class CEditorDocManager;
class CVeskDoc;

class CRecoveryManager : public QObject {
    Q_OBJECT
public:
    // `folder` empty: the default folder. Nothing is written when the folder cannot be made.
    CRecoveryManager(CEditorDocManager& docs, const QString& folder = {}, QObject* parent = nullptr);
    // A clean end: this session's files and its lock go.
    ~CRecoveryManager() override;

    // "Tarnwell/recovery" under the XDG state home (~/.local/state when unset).
    static QString DefaultFolder();
    const QString& Folder() const { return folder_; }
    bool IsActive() const { return lock_ != nullptr; }

    // How long after the last change a document's file is written (2000 ms).
    void SetDelay(int ms) { delay_ = std::chrono::milliseconds(ms); }
    // Writes the documents that are due and removes the files of documents no longer modified or open.
    void Poll();
    // Writes every modified document now (the desktop is logging out). False when a write failed.
    bool WriteAllNow();
    // The recovery file of a document of this session ("" when none is written).
    QString FileOf(const CVeskDoc* doc) const;

    struct Orphan {
        QString file;
        RecoveryRecord record;
    };
    // Files left by sessions that are no longer running, oldest change first.
    std::vector<Orphan> FindOrphans() const;
    // Opens the text as a modified document (with its path, title and cursor) and removes the file.
    CVeskDoc* Restore(const Orphan& orphan);
    static void Discard(const Orphan& orphan);
    // Start-up: when orphans exist, the dialog that lists them and acts on the user's choice.
    void OfferOrphans();

private:
    struct Written {
        std::uint64_t changeCount = 0;
        QString file;
    };
    bool Write(CVeskDoc* doc);
    void RemoveFile(const std::string& id);

    CEditorDocManager& docs_;
    QString folder_;
    QString session_;
    std::unique_ptr<QLockFile> lock_;
    std::chrono::milliseconds delay_{2000};
    QTimer timer_;
    std::map<std::string, Written> written_;  // by document id
};

}  // namespace tarnwell
