#include "app/CVeskDoc.h"

#include "lang/BufferLineSource.h"
#include "lang/OutlineStore.h"

#include "app/CChildFrame.h"
#include "app/CEditorApp.h"
#include "app/CEditorDocManager.h"
#include "app/CommandIds.h"
#include "app/NewFileTemplate.h"
#include "app/OptionsSheet.h"
#include "app/ProjectLink.h"
#include "app/SourceView.h"
#include "platform/FilePath.h"
#include "text/AskWithCheck.h"
#include "text/CVeskView.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace tarnwell {

namespace {

// "Label|patterns|Label|patterns||" -> Qt name filters "Label (p1 p2)".
QStringList QtFilters(const QString& pairs) {
    QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << parts[i] + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')');
    }
    return out;
}

}  // namespace

CDocTextBuffer::CDocTextBuffer(CVeskDoc& doc) : doc_(doc) { AttachView(this); }

CDocTextBuffer::~CDocTextBuffer() { DetachView(this); }

void CDocTextBuffer::OnBufferChanged(BufferObserver*, const PositionAdjuster*, std::uint32_t hints, int) {
    if (hints & HintFlagsOnly) return;  // bookmarks and other marks are not text
    ++changeCount_;
    lastChange_ = std::chrono::steady_clock::now();
}

void CDocTextBuffer::SetDirty(bool dirty) {
    CCrystalTextBuffer::SetDirty(dirty);
    doc_.SetModifiedFlag(dirty);
}

CVeskDoc::CVeskDoc(CEditorDocManager& manager, std::string id)
    : manager_(manager), id_(std::move(id)), buffer_(*this), text_(std::make_unique<BufferLineSource>(buffer_)) {}

CVeskDoc::~CVeskDoc() { manager_.Project().UnregisterDocument(this); }

ProjectLink& CVeskDoc::Project() const { return manager_.Project(); }

std::string CVeskDoc::DocumentKey() const { return path_.isEmpty() ? id_ : path_.toStdString(); }

void CVeskDoc::SetPathName(const QString& path, bool addToRecent) {
    path_ = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    title_ = QFileInfo(path_).fileName();
    if (addToRecent) manager_.App().AddToRecentFileList(path_);
    // The coloring follows the file's kind: a page saved as .htm is colored as HTML from now on.
    for (CChildFrame* f : frames_) {
        if (auto* view = qobject_cast<CVeskView*>(f->SourceView())) view->SetPathName(path_.toStdString());
    }
    UpdateFrameTitles();
}

void CVeskDoc::SetTitle(const QString& title) {
    title_ = title;
    UpdateFrameTitles();
}

void CVeskDoc::SetModifiedFlag(bool modified) {
    const bool changed = modified != modified_;
    modified_ = modified;
    // Every edit comes through here: the page's outline is rebuilt before its next use.
    if (OutlineSource* outline = manager_.Project().GetOutlineData(DocumentKey())) outline->MarkChanged();
    if (changed) UpdateFrameTitles();
}

bool CVeskDoc::OnNewDocument() {
    buffer_.Clear();
    buffer_.SetDefaultCodePage(COptionsSheet::Get().Edit().defaultEncoding);
    const QString folder = manager_.App().DataFolder(QStringLiteral("Templates"));
    NewFileTemplate t = ReadNewFileTemplate(FsPath(folder));
    templateCursor_ = t.cursor;
    if (!buffer_.InitFromText(LineEndDos, t.text)) return false;
    SetModifiedFlag(buffer_.IsDirty());
    manager_.Project().RegisterDocument(this);
    return true;
}

TextPosition CVeskDoc::InitialCursor() const {
    const TextPosition p = templateCursor_;
    if (p.line >= 0 && p.ch >= 0 && p.line < buffer_.LineCount() && p.ch <= buffer_.LineLength(p.line)) return p;
    return TextPosition{0, 0};
}

bool CVeskDoc::OnOpenDocument(const QString& path, std::string* error) {
    buffer_.Clear();
    buffer_.SetDefaultCodePage(COptionsSheet::Get().Edit().defaultEncoding);
    FileError fe;
    if (!buffer_.ReadFromFile(FsPath(path), LineEndAuto, &fe)) {
        if (error) *error = fe.message;
        return false;
    }
    SetModifiedFlag(buffer_.IsDirty());
    SetPathName(path, false);
    RememberDiskState();
    manager_.Project().RegisterDocument(this);
    return true;
}

void CVeskDoc::RememberDiskState() { diskStamp_ = path_.isEmpty() ? FileStamp{} : StampFile(path_.toStdString()); }

CVeskDoc::DiskChange CVeskDoc::CheckDisk() const {
    if (path_.isEmpty() || !diskStamp_.exists) return DiskChange::None;
    const FileStamp now = StampFile(path_.toStdString());
    if (!now.exists) return DiskChange::Deleted;
    return now.SameState(diskStamp_) ? DiskChange::None : DiskChange::Changed;
}

bool CVeskDoc::Reload() {
    std::vector<int> lines;
    for (CChildFrame* f : frames_) lines.push_back(SourceViewCursor(f->SourceView()).line);
    FileError fe;
    if (!buffer_.ReadFromFile(FsPath(path_), LineEndAuto, &fe)) {
        ShowMessage(QStringLiteral("Failed to reload file \"%1\".\n\n%2")
                        .arg(QDir::toNativeSeparators(path_), QString::fromStdString(fe.message)),
                    mb::kOk | mb::kIconStop);
        return false;
    }
    SetModifiedFlag(buffer_.IsDirty());
    RememberDiskState();
    for (int i = 0; i < int(frames_.size()) && i < int(lines.size()); ++i) {
        const int line = std::min(lines[size_t(i)], buffer_.LineCount() - 1);
        SetSourceViewCursor(frames_[i]->SourceView(), TextPosition{line, 0});
    }
    return true;
}

bool CVeskDoc::OnSaveDocument(const QString& path) {
    // Another program's changes are never overwritten without the user's word.
    const QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!path_.isEmpty() && CEditorDocManager::SamePath(full, path_) && CheckDisk() == DiskChange::Changed &&
        ShowMessage(QStringLiteral("The file \"%1\" has changed on disk since it was opened; overwrite?")
                        .arg(QDir::toNativeSeparators(path_)),
                    mb::kYesNo | mb::kIconExclamation) != mb::kIdYes)
        return false;
    FileError fe;
    if (!buffer_.WriteToFile(FsPath(path), LineEndAuto, true, &fe)) {
        // The system's reason, and where the text is when only a temporary file holds it.
        ShowMessage(QStringLiteral("Failed to save file \"%1\". Please check if the file is read-only.\n\n%2")
                        .arg(QDir::toNativeSeparators(path), QString::fromStdString(fe.message)),
                    mb::kOk | mb::kIconStop);
        return false;
    }
    SetModifiedFlag(buffer_.IsDirty());
    const std::string oldKey = DocumentKey();
    const QString oldPath = path_;
    SetPathName(path, true);
    RememberDiskState();
    ProjectLink& project = manager_.Project();
    project.DocumentSaved(this);
    if (oldPath.isEmpty() || !CEditorDocManager::SamePath(oldPath, path_))
        project.PathChanged(oldKey, path_.toStdString());
    return true;
}

bool CVeskDoc::DoSave(const QString& path) { return OnSaveDocument(path); }

bool CVeskDoc::DoFileSave() {
    const QFileInfo info(path_);
    // The read-only attribute, not the process's access: an administrator is asked the same.
    if (!path_.isEmpty() && info.exists() && !(info.permissions() & QFileDevice::WriteOwner)) {
        if (ShowMessage(QStringLiteral("This file is read-only. You must save to a different file name."),
                        mb::kOkCancel | mb::kIconExclamation) != mb::kIdOk)
            return false;
        return DoSaveAs();
    }
    QString name = path_;
    if (name.isEmpty()) {
        QFileDialog dlg(DialogOwner());
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setOption(QFileDialog::HideNameFilterDetails);
        dlg.setNameFilters(QtFilters(QString::fromLatin1(CEditorDocManager::kSaveFilter)));
        const QString folder = QString::fromStdString(manager_.Project().ProjectFolder());
        if (!folder.isEmpty()) dlg.setDirectory(folder);
        dlg.selectFile(title_ + QStringLiteral(".asp"));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
        name = dlg.selectedFiles().first();
    }
    return DoSave(name);
}

bool CVeskDoc::DoSaveAs() {
    QFileDialog dlg(DialogOwner(), QStringLiteral("Save As"));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilters({QStringLiteral("ASP Files (*.asp)"), QStringLiteral("All Files (*.*)")});
    dlg.setDefaultSuffix(QStringLiteral("asp"));
    if (!path_.isEmpty()) {
        dlg.setDirectory(QFileInfo(path_).absolutePath());
        dlg.selectFile(QFileInfo(path_).fileName());
    } else {
        dlg.selectFile(title_ + QStringLiteral(".asp"));
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    return DoSave(dlg.selectedFiles().first());
}

bool CVeskDoc::ReopenWithEncoding(CodePage cp) {
    if (IsUntitled()) return false;
    const QString name = QString::fromLatin1(CodePageName(cp));
    EncodingDecision chosen = buffer_.Encoding();
    chosen.codePage = cp;
    chosen.source = EncodingSource::Chosen;
    if (modified_) {
        if (ShowMessage(QStringLiteral("%1 has changes that are not saved. Reopen it with %2 and lose them?")
                            .arg(QDir::toNativeSeparators(path_), name),
                        mb::kYesNo | mb::kIconQuestion) != mb::kIdYes)
            return false;
        FileError fe;
        if (!buffer_.ReadFromFile(FsPath(path_), LineEndAuto, &fe)) {
            ShowMessage(QStringLiteral("Failed to open document \"%1\". %2")
                            .arg(QDir::toNativeSeparators(path_), QString::fromStdString(fe.message)),
                        mb::kOk | mb::kIconStop);
            return false;
        }
        chosen.declared = buffer_.Encoding().declared;
        SetModifiedFlag(buffer_.IsDirty());
    }
    buffer_.SetEncoding(chosen);
    return true;
}

bool CVeskDoc::SaveWithEncoding(CodePage cp) {
    const QString name = QString::fromLatin1(CodePageName(cp));
    const std::u32string missing = buffer_.UnencodableChars(cp);
    if (!missing.empty()) {
        ShowMessage(QStringLiteral("The text holds characters that %1 cannot hold: %2.\n\nThe file was not saved.")
                        .arg(name, QString::fromStdString(DescribeChars(missing))),
                    mb::kOk | mb::kIconExclamation);
        return false;
    }
    const auto declared = buffer_.Encoding().declared;
    if (declared && *declared != cp &&
        ShowMessage(QStringLiteral("This page declares its encoding as %1. Saved as %2, browsers will still read it "
                                   "as %1 unless the declaration is changed too.\n\nSave it as %2 anyway?")
                        .arg(QString::fromLatin1(CodePageName(*declared)), name),
                    mb::kYesNo | mb::kIconQuestion) != mb::kIdYes)
        return false;
    if (cp != buffer_.GetCodePage() && !buffer_.ConvertToCodePage(cp)) return false;
    return DoFileSave();
}

bool CVeskDoc::SaveModified() {
    if (!modified_) return true;
    const QString name = path_.isEmpty() ? title_ : QDir::toNativeSeparators(path_);
    switch (ShowMessage(QStringLiteral("Save changes to %1?").arg(name), mb::kYesNoCancel | mb::kIconExclamation)) {
    case mb::kIdYes: return DoFileSave();
    case mb::kIdNo: return true;
    default: return false;
    }
}

void CVeskDoc::AddFrame(CChildFrame* frame) {
    frames_.append(frame);
    UpdateFrameTitles();
}

void CVeskDoc::RemoveFrame(CChildFrame* frame) {
    frames_.removeAll(frame);
    UpdateFrameTitles();
}

void CVeskDoc::UpdateFrameTitles() {
    // Several windows on one document are numbered from 1; a single window has no number.
    const int n = int(frames_.size());
    for (int i = 0; i < n; ++i) {
        frames_[i]->SetWindowNumber(n > 1 ? i + 1 : 0);
        frames_[i]->OnUpdateFrameTitle();
    }
}

namespace {
// The code page of an encoding command, or nothing for another command.
std::optional<CodePage> CodePageOfCommand(int id, int first) {
    const int i = id - first;
    if (i < 0 || i >= int(std::size(kCodePages))) return std::nullopt;
    return kCodePages[i];
}
}  // namespace

bool CVeskDoc::UpdateCommand(int id, CommandState& state) {
    if (auto cp = CodePageOfCommand(id, cmd::ReopenWithEncodingFirst)) {
        state.enabled = !IsUntitled();
        state.checked = *cp == buffer_.GetCodePage();
        return true;
    }
    if (auto cp = CodePageOfCommand(id, cmd::SaveWithEncodingFirst)) {
        state.checked = *cp == buffer_.GetCodePage();
        return true;
    }
    switch (id) {
    case cmd::FileSave: state.enabled = IsUntitled() || IsModified(); return true;
    case cmd::FileSaveAs:
    case cmd::FileClose: return true;
    default: return false;
    }
}

bool CVeskDoc::ExecuteCommand(int id) {
    if (auto cp = CodePageOfCommand(id, cmd::ReopenWithEncodingFirst)) {
        ReopenWithEncoding(*cp);
        return true;
    }
    if (auto cp = CodePageOfCommand(id, cmd::SaveWithEncodingFirst)) {
        SaveWithEncoding(*cp);
        return true;
    }
    switch (id) {
    case cmd::FileSave: DoFileSave(); return true;
    case cmd::FileSaveAs: DoSaveAs(); return true;
    case cmd::FileClose:
        if (SaveModified()) manager_.CloseDocument(this);
        return true;
    default: return false;
    }
}

}  // namespace tarnwell
