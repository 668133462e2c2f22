// Recovery files of modified documents: writing, removing, finding those of ended sessions, restoring.
#include "app/RecoveryManager.h"

#include "app/CChildFrame.h"
#include "app/CEditorDocManager.h"
#include "app/CMainFrame.h"
#include "app/CVeskDoc.h"
#include "app/SourceView.h"
#include "platform/FilePath.h"
#include "text/CodePage.h"
#include "text/Encoding.h"

#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QUuid>
#include <QVBoxLayout>

#include <algorithm>
#include <ctime>

namespace tarnwell {

namespace {

constexpr char kSuffix[] = ".twr";

// "<session>-<document id>.twr": the session is the part before the first "-".
QString SessionOf(const QString& fileName) { return fileName.section(QLatin1Char('-'), 0, 0); }

QString SafeId(const std::string& id) {
    QString out = QString::fromStdString(id);
    out.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]")), QStringLiteral("_"));
    return out;
}

}  // namespace

QString CRecoveryManager::DefaultFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/Tarnwell/recovery");
}

CRecoveryManager::CRecoveryManager(CEditorDocManager& docs, const QString& folder, QObject* parent)
    : QObject(parent), docs_(docs), folder_(folder.isEmpty() ? DefaultFolder() : folder) {
    if (!QDir().mkpath(folder_)) return;
    QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    session_ = QUuid::createUuid().toString(QUuid::Id128).left(16);
    auto lock = std::make_unique<QLockFile>(folder_ + QLatin1Char('/') + session_ + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);  // stale only when its owner is gone, however long it runs
    if (!lock->tryLock(0)) return;
    lock_ = std::move(lock);
    timer_.setInterval(500);
    connect(&timer_, &QTimer::timeout, this, &CRecoveryManager::Poll);
    timer_.start();
}

CRecoveryManager::~CRecoveryManager() {
    for (auto& [id, w] : written_) QFile::remove(w.file);
    written_.clear();
    if (lock_) lock_->unlock();
}

QString CRecoveryManager::FileOf(const CVeskDoc* doc) const {
    auto it = written_.find(doc->Id());
    return it == written_.end() ? QString() : it->second.file;
}

bool CRecoveryManager::Write(CVeskDoc* doc) {
    const CDocTextBuffer& buffer = doc->DocBuffer();
    RecoveryRecord r;
    r.path = doc->PathName().toStdString();
    r.title = doc->Title().toStdString();
    r.lineEndMode = buffer.LineEndMode();
    r.codePage = CodePageName(buffer.GetCodePage());
    TextPosition cursor{0, 0};
    if (!doc->Frames().isEmpty()) cursor = SourceViewCursor(doc->Frames().first()->SourceView());
    r.cursorLine = cursor.line;
    r.cursorChar = cursor.ch;
    r.changedAt = static_cast<std::int64_t>(std::time(nullptr));
    r.text = buffer.Text(LineEndDos);  // lines joined by CR LF: restored through the same split
    const QString file = folder_ + QLatin1Char('/') + session_ + QLatin1Char('-') + SafeId(doc->Id()) + kSuffix;
    if (!WriteRecoveryFile(FsPath(file), r)) return false;
    written_[doc->Id()] = Written{buffer.ChangeCount(), file};
    return true;
}

void CRecoveryManager::RemoveFile(const std::string& id) {
    auto it = written_.find(id);
    if (it == written_.end()) return;
    QFile::remove(it->second.file);
    written_.erase(it);
}

void CRecoveryManager::Poll() {
    if (!IsActive()) return;
    const auto now = std::chrono::steady_clock::now();
    std::map<std::string, bool> open;
    for (const auto& d : docs_.Documents()) {
        CVeskDoc* doc = d.get();
        open[doc->Id()] = true;
        if (!doc->IsModified()) {
            RemoveFile(doc->Id());  // saved or reverted
            continue;
        }
        auto it = written_.find(doc->Id());
        const std::uint64_t count = doc->DocBuffer().ChangeCount();
        if (it != written_.end() && it->second.changeCount == count) continue;
        if (now - doc->DocBuffer().LastChange() >= delay_) Write(doc);
    }
    for (auto it = written_.begin(); it != written_.end();) {
        if (open.count(it->first)) {
            ++it;
        } else {
            QFile::remove(it->second.file);  // closed without saving
            it = written_.erase(it);
        }
    }
}

bool CRecoveryManager::WriteAllNow() {
    if (!IsActive()) return false;
    bool ok = true;
    for (const auto& d : docs_.Documents())
        if (d->IsModified()) ok = Write(d.get()) && ok;
    return ok;
}

std::vector<CRecoveryManager::Orphan> CRecoveryManager::FindOrphans() const {
    std::vector<Orphan> out;
    if (!IsActive()) return out;
    const QDir dir(folder_);
    std::map<QString, bool> ended;  // session -> its lock is free
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name)) {
        const QString session = SessionOf(info.fileName());
        if (session == session_) continue;
        auto it = ended.find(session);
        if (it == ended.end()) {
            QLockFile other(folder_ + QLatin1Char('/') + session + QStringLiteral(".lock"));
            other.setStaleLockTime(0);
            const bool free = other.tryLock(0);  // a lock whose owner died is taken over, then let go
            if (free) other.unlock();
            it = ended.emplace(session, free).first;
        }
        if (!it->second) continue;
        Orphan o;
        o.file = info.absoluteFilePath();
        if (ReadRecoveryFile(FsPath(o.file), o.record)) out.push_back(std::move(o));
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Orphan& a, const Orphan& b) { return a.record.changedAt < b.record.changedAt; });
    return out;
}

CVeskDoc* CRecoveryManager::Restore(const Orphan& orphan) {
    const RecoveryRecord& r = orphan.record;
    CVeskDoc* doc = docs_.NewDocument();
    if (!doc) return nullptr;
    CCrystalTextBuffer& buffer = doc->Buffer();
    if (!buffer.InitFromText(r.lineEndMode, r.text)) return nullptr;
    // The bytes are read as they were before the crash, whatever they would be taken for afresh.
    if (const auto cp = CodePageFromName(r.codePage); cp && *cp != buffer.GetCodePage()) {
        EncodingDecision chosen = buffer.Encoding();
        chosen.codePage = *cp;
        chosen.source = EncodingSource::Chosen;
        buffer.SetEncoding(chosen);
    }
    if (!r.path.empty()) {
        doc->SetPathName(QString::fromStdString(r.path), false);
    } else if (!r.title.empty()) {
        doc->SetTitle(QString::fromStdString(r.title));
    }
    buffer.SetDirty(true);
    TextPosition cursor{r.cursorLine, r.cursorChar};
    if (cursor.line >= buffer.LineCount() || cursor.ch > buffer.LineLength(cursor.line)) cursor = TextPosition{0, 0};
    for (CChildFrame* f : doc->Frames()) SetSourceViewCursor(f->SourceView(), cursor);
    // Written again under this session right away, then the old file goes: never a moment without a copy.
    if (!Write(doc)) return doc;
    QFile::remove(orphan.file);
    return doc;
}

void CRecoveryManager::Discard(const Orphan& orphan) { QFile::remove(orphan.file); }

void CRecoveryManager::OfferOrphans() {
    const std::vector<Orphan> orphans = FindOrphans();
    if (orphans.empty()) return;
    QDialog dlg(docs_.MainFrame());
    dlg.setObjectName(QStringLiteral("RecoveryDialog"));
    dlg.setWindowTitle(QStringLiteral("Recover Unsaved Changes"));
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(new QLabel(QStringLiteral("Tarnwell did not end cleanly last time. These documents had "
                                                "unsaved changes:"), &dlg));
    auto* list = new QTreeWidget(&dlg);
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Last changed"), QStringLiteral("Folder")});
    for (const Orphan& o : orphans) {
        const QString path = QString::fromStdString(o.record.path);
        const QString name = path.isEmpty() ? QString::fromStdString(o.record.title) : QFileInfo(path).fileName();
        const QString when = QDateTime::fromSecsSinceEpoch(o.record.changedAt).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        list->addTopLevelItem(new QTreeWidgetItem(
            {name, when, path.isEmpty() ? QStringLiteral("(not saved yet)") : QDir::toNativeSeparators(QFileInfo(path).absolutePath())}));
    }
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(&dlg);
    QPushButton* restore = buttons->addButton(QStringLiteral("&Restore"), QDialogButtonBox::AcceptRole);
    QPushButton* discard = buttons->addButton(QStringLiteral("&Discard"), QDialogButtonBox::DestructiveRole);
    QPushButton* later = buttons->addButton(QStringLiteral("Decide &Later"), QDialogButtonBox::RejectRole);
    restore->setDefault(true);
    layout->addWidget(buttons);
    enum { kLater, kRestore, kDiscard } choice = kLater;
    connect(restore, &QPushButton::clicked, &dlg, [&] { choice = kRestore; dlg.accept(); });
    connect(discard, &QPushButton::clicked, &dlg, [&] { choice = kDiscard; dlg.accept(); });
    connect(later, &QPushButton::clicked, &dlg, [&] { choice = kLater; dlg.reject(); });
    dlg.resize(560, 260);
    dlg.exec();
    for (const Orphan& o : orphans) {
        if (choice == kRestore) Restore(o);
        else if (choice == kDiscard) Discard(o);
    }
}

}  // namespace tarnwell
