// The document: one open file or untitled page, owning its text buffer, knowing its path and title,
// following the buffer's dirty flag, and carrying the file commands of one document.
#pragma once

#include "text/CCrystalTextBuffer.h"
#include "text/CommandTarget.h"
#include "text/FileStamp.h"
#include "text/TextPosition.h"

#include <QList>
#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace tarnwell {

class CChildFrame;
class CEditorDocManager;
class CVeskDoc;
class LineSource;
class ProjectLink;

// The document's buffer: every change of the dirty flag reaches the document, and every change of the
// text is counted (the recovery files follow the count).
class CDocTextBuffer : public CCrystalTextBuffer, private BufferObserver {
public:
    explicit CDocTextBuffer(CVeskDoc& doc);
    ~CDocTextBuffer() override;
    void SetDirty(bool dirty) override;

    std::uint64_t ChangeCount() const { return changeCount_; }
    std::chrono::steady_clock::time_point LastChange() const { return lastChange_; }

private:
    void OnBufferChanged(BufferObserver* source, const PositionAdjuster* adjuster, std::uint32_t hints,
                         int line) override;

    CVeskDoc& doc_;
    std::uint64_t changeCount_ = 0;
    std::chrono::steady_clock::time_point lastChange_{};
};

class CVeskDoc : public CCmdTarget {
public:
    CVeskDoc(CEditorDocManager& manager, std::string id);
    ~CVeskDoc() override;

    CCrystalTextBuffer& Buffer() { return buffer_; }
    const CDocTextBuffer& DocBuffer() const { return buffer_; }
    // The text as the outline parser reads it (follows every edit).
    const LineSource& Text() const { return *text_; }
    const std::string& Id() const { return id_; }
    // The project model that keeps the document's outline.
    ProjectLink& Project() const;
    // The full path, or the id for an untitled document.
    std::string DocumentKey() const;
    const QString& PathName() const { return path_; }
    const QString& Title() const { return title_; }
    bool IsUntitled() const { return path_.isEmpty(); }
    bool IsModified() const { return modified_; }

    // Sets the path (and the title: the file name); `addToRecent` hands it to the recent lists.
    void SetPathName(const QString& path, bool addToRecent = true);
    void SetTitle(const QString& title);
    void SetModifiedFlag(bool modified);

    // A new page from the template; the cursor position for the views is InitialCursor().
    bool OnNewDocument();
    // Loads `path`; on failure the document is left empty and false is returned (no message).
    bool OnOpenDocument(const QString& path, std::string* error = nullptr);
    // Writes the text to `path` and takes it as the document's path; reports a failure.
    bool OnSaveDocument(const QString& path);
    // The Save command: read-only check, name for an untitled page, then the save.
    bool DoFileSave();
    // The code page the text is read in, and why (the document's buffer keeps it).
    const EncodingDecision& Encoding() const { return buffer_.Encoding(); }
    // Reads the file's bytes again in `cp`. A modified document asks first and reloads the file from
    // disk (its changes are lost); otherwise the bytes in memory are the file's and are re-read as
    // they are. False when the user declines or the reload fails.
    bool ReopenWithEncoding(CodePage cp);
    // Converts the text to `cp` and saves it. Refused with a message naming the characters `cp`
    // cannot hold; asks first when the page declares another code page.
    bool SaveWithEncoding(CodePage cp);
    // "Save As": asks for a new name and saves under it.
    bool DoSaveAs();
    // Asks "Save changes to %1?" when modified. False when the user cancels or the save fails.
    bool SaveModified();

    // Whether another program changed or deleted the file since it was loaded or saved.
    enum class DiskChange { None, Changed, Deleted };
    DiskChange CheckDisk() const;
    // Takes the file's present state as the known one (no further question until it changes again).
    void RememberDiskState();
    const FileStamp& DiskState() const { return diskStamp_; }
    // Loads the file again, keeping each window's cursor line. False (with a message) on failure.
    bool Reload();

    // Where a new page puts its cursor (from the template's CursorPos), when valid for the text.
    TextPosition InitialCursor() const;

    // The document's windows, in creation order.
    const QList<CChildFrame*>& Frames() const { return frames_; }
    void AddFrame(CChildFrame* frame);
    void RemoveFrame(CChildFrame* frame);
    // Every frame refreshes its caption.
    void UpdateFrameTitles();

    bool UpdateCommand(int id, CommandState& state) override;
    bool ExecuteCommand(int id) override;

private:
    bool DoSave(const QString& path);

    CEditorDocManager& manager_;
    std::string id_;
    QString path_;
    QString title_;
    bool modified_ = false;
    TextPosition templateCursor_;
    FileStamp diskStamp_;
    QList<CChildFrame*> frames_;
    CDocTextBuffer buffer_;
    std::unique_ptr<LineSource> text_;
};

}  // namespace tarnwell
