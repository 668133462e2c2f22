// The text buffer of one document: its lines, line-end mode, dirty flag and undo history, and the
// interface through which views are told of every change.
//
// For view developers
// -------------------
// - Derive the view from BufferObserver and AttachView(this) to a buffer; DetachView before the view
//   dies. The buffer calls OnBufferChanged(source, adjuster, hints, line) on every attached view, in
//   attach order, after each change (source is the view that asked for it, or nullptr for undo, redo,
//   loading and line marks). Every view is told, the source included.
// - hints: HintWidth | HintOneLine (0x0101) for a change inside one line; HintWidth | HintHeight
//   (0x0003) when lines were added or removed (line = first changed line); HintOneLine |
//   HintFlagsOnly (0x0300) when a line mark changed; HintReset (0x1000, line -1) when the whole text
//   was replaced. adjuster is set for inserts and removes: call adjuster->Adjust(pos) on every
//   stored position. It is null for marks and resets.
// - Inside OnBufferChanged the buffer refuses changes: every edit, undo, load or mark made there
//   returns false and changes nothing. Queries are fine.
// - Lines are length-counted byte strings (NUL is an ordinary byte). LineText(i) points at
//   LineLength(i) bytes, never null, with no terminator; it stays valid until line i next changes.
//   Line and character indexes are zero-based; character indexes count bytes.
// - Edits: InsertTextAt(this, line, ch, text, &end) splits text at CR LF and at a lone CR (a lone LF
//   stays in the line); RemoveRange(this, start, end) removes [start, end). Each is one undo step
//   unless an undo group is open: wrap multi-step commands in `UndoGroup group(buffer, merge);`
//   (or OpenUndoGroup/CloseUndoGroup). UndoStep(&cursor)/RedoStep(&cursor) give back where the
//   cursor belongs.
// - Files: ReadFromFile(path, LineEndAuto) detects the line ends; WriteToFile(path, LineEndAuto,
//   clearDirty) saves atomically. Both accept an optional FileError* for the failure text.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "text/CommandTarget.h"
#include "text/Encoding.h"
#include "text/GapVector.h"
#include "text/PositionAdjuster.h"
#include "text/TextPosition.h"

namespace tarnwell {

// Change hints passed to views (a bit set).
constexpr std::uint32_t HintWidth = 0x0001;      // line lengths may have changed
constexpr std::uint32_t HintHeight = 0x0002;     // the number of lines changed
constexpr std::uint32_t HintOneLine = 0x0100;    // only the given line changed
constexpr std::uint32_t HintFlagsOnly = 0x0200;  // only the marks of the given line changed
constexpr std::uint32_t HintReset = 0x1000;      // the whole text was replaced
constexpr std::uint32_t HintCodePage = 0x2000;   // the code page changed (line 0; with an adjuster when
                                                 // the bytes were converted to it)

// Line mark bits.
constexpr std::uint32_t BookmarkBit = 0x0001;

// Line-end modes.
constexpr int LineEndAuto = -1;  // detect on load, keep the buffer's mode on save
constexpr int LineEndDos = 0;    // CR LF
constexpr int LineEndMac = 1;    // LF CR
constexpr int LineEndUnix = 2;   // LF

// "DOS", "MAC" or "UNIX"; empty for any other value.
const char* LineEndModeName(int mode);
// The bytes written between lines in a mode (mode 0 for unknown values).
std::string_view LineEndBytes(int mode);

// History record flags.
constexpr std::uint32_t UndoInsertBit = 0x0001;
constexpr std::uint32_t UndoGroupStartBit = 0x0100;

constexpr int kDefaultUndoCapacity = 1024;

// What views implement to be told of changes.
class BufferObserver {
public:
    virtual ~BufferObserver() = default;
    virtual void OnBufferChanged(BufferObserver* source, const PositionAdjuster* adjuster, std::uint32_t hints,
                                 int line) = 0;
};

// Failure details of a read or save.
struct FileError {
    std::string message;                 // the system's error text (or a short description)
    std::error_code code;
    std::filesystem::path keptTemporary;  // set when a failed save left the only copy of the text here
};

// The steps of a save, for tests that make one fail as a full disk, an I/O error or a refused rename
// would. The hook returns 0 to let the step run, or the errno the step fails with. Null: no faults.
enum class SaveStep { Create, Write, Flush, Close, Replace };
using SaveFaultHook = int (*)(SaveStep step);
void SetSaveFaultHook(SaveFaultHook hook);

// One change in the history. Lines of `text` are separated by CR LF.
struct HistoryEntry {
    std::uint32_t flags = 0;
    TextPosition start;
    TextPosition end;
    std::string text;
    // Line lengths of removed text whose lines hold CR bytes of their own (empty otherwise): with
    // them an undo puts back exactly the lines that were removed.
    std::vector<std::int32_t> lineLengths;
};

class CCrystalTextBuffer : public CCmdTarget {
public:
    // undoCapacity: the record limit set at each load or creation (tests use tiny values).
    explicit CCrystalTextBuffer(int undoCapacity = kDefaultUndoCapacity);
    ~CCrystalTextBuffer() override;
    CCrystalTextBuffer(const CCrystalTextBuffer&) = delete;
    CCrystalTextBuffer& operator=(const CCrystalTextBuffer&) = delete;

    // --- Queries (an index out of range answers 0 / empty) ---
    bool IsInitialised() const { return initialised_; }
    int LineCount() const { return static_cast<int>(lines_.size()); }
    int LineLength(int line) const;
    const char* LineText(int line) const;
    std::string_view LineChars(int line) const;
    std::uint32_t LineFlags(int line) const;
    int LineEndMode() const { return lineEndMode_; }
    void SetLineEndMode(int mode);
    bool IsDirty() const { return dirty_; }
    virtual void SetDirty(bool dirty);
    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool EditedSinceTyping() const { return editedSinceTyping_; }
    void SetEditedSinceTyping(bool edited) { editedSinceTyping_ = edited; }
    // First line from the top whose flags share a bit with `bit`; -1 if none.
    int FirstMarkedLine(std::uint32_t bit) const;
    // Characters [start, end) with `separator` between lines; empty when start == end or the range
    // is not valid.
    std::string CopyRange(TextPosition start, TextPosition end, std::string_view separator = "\r\n") const;
    // The whole text with the line ends of `mode` (the buffer's mode for LineEndAuto).
    std::string Text(int mode = LineEndAuto) const;
    bool IsValidPosition(TextPosition pos) const;
    // The position after the last character.
    TextPosition EndPosition() const;

    // --- Changes (each recorded for undo) ---
    // Inserts text at (line, ch); on success *endPos is the position just after it. An empty text
    // succeeds at once and records nothing.
    bool InsertTextAt(BufferObserver* source, int line, int ch, std::string_view text, TextPosition* endPos = nullptr);
    bool InsertTextAt(BufferObserver* source, TextPosition at, std::string_view text, TextPosition* endPos = nullptr) {
        return InsertTextAt(source, at.line, at.ch, text, endPos);
    }
    // Removes [start, end); fails when start > end or either is not a valid position.
    bool RemoveRange(BufferObserver* source, TextPosition start, TextPosition end);

    // Raw changes: change the text and notify views, record nothing. Undo and redo use them.
    virtual bool ApplyInsert(BufferObserver* source, int line, int ch, std::string_view text,
                             TextPosition* endPos = nullptr);
    virtual bool ApplyRemove(BufferObserver* source, TextPosition start, TextPosition end);

    // Sets or clears one mark bit on `line` (-1: the first line that has it). With moveFromOtherLine
    // and on, the bit is first taken off the line that had it. Not undoable, not dirtying.
    void MarkLine(int line, std::uint32_t bit, bool on = true, bool moveFromOtherLine = false);

    // --- Whole text ---
    // Reads a file (mode LineEndAuto detects the line ends from its first 32768 bytes). On failure the
    // buffer is left as it was.
    bool ReadFromFile(const std::filesystem::path& path, int mode = LineEndAuto, FileError* error = nullptr);
    // Saves through a temporary file in the target's folder that replaces the target atomically.
    // A symbolic link is written through to its target; the target's permission bits are kept; a file
    // nobody may write is not replaced. With clearDirty the buffer becomes clean at this history point.
    bool WriteToFile(const std::filesystem::path& path, int mode = LineEndAuto, bool clearDirty = true,
                     FileError* error = nullptr);
    // Replaces the text by `text` split at CR LF pairs; the buffer becomes writable and clean.
    bool InitFromText(int mode, std::string_view text);
    void Clear();

    // Whether saves flush the file to disk before replacing the target (on by default).
    void SetFlushOnSave(bool flush) { flushOnSave_ = flush; }

    // --- Code page ---
    // What the bytes are read as. Every load or creation decides it afresh (DecideEncoding, falling
    // back on DefaultCodePage); SetEncoding re-reads the same bytes in another code page.
    const EncodingDecision& Encoding() const { return encoding_; }
    CodePage GetCodePage() const { return encoding_.codePage; }
    void SetEncoding(const EncodingDecision& decision);
    void SetDefaultCodePage(CodePage cp) { defaultCodePage_ = cp; }
    CodePage DefaultCodePage() const { return defaultCodePage_; }
    // Rewrites the text in `to` (each character the same, its bytes those of `to`) and takes `to` as
    // the code page. Refused (false, nothing changed; *unencodable lists the culprits) when `to`
    // cannot hold a character. The history is dropped (its byte offsets no longer apply) and the
    // buffer becomes dirty; views keep their positions on the same characters.
    bool ConvertToCodePage(CodePage to, std::u32string* unencodable = nullptr);
    // The characters of the text that `to` cannot hold, each once, in order of appearance.
    std::u32string UnencodableChars(CodePage to) const;

    // --- Views ---
    void AttachView(BufferObserver* view);
    void DetachView(BufferObserver* view);
    void NotifyViews(BufferObserver* source, const PositionAdjuster* adjuster, std::uint32_t hints, int line);
    bool IsNotifying() const { return notifying_ > 0; }

    // --- Undo history ---
    bool CanUndoStep() const { return historyPosition_ > 0; }
    bool CanRedoStep() const { return historyPosition_ < static_cast<int>(history_.size()); }
    // merge: the following records join the group before them (when there is one).
    void OpenUndoGroup(bool merge = false);
    void CloseUndoGroup();
    bool IsUndoGroupOpen() const { return groupOpen_; }
    // Takes back (repeats) one group; *cursor is where the cursor belongs afterwards.
    bool UndoStep(TextPosition* cursor = nullptr);
    bool RedoStep(TextPosition* cursor = nullptr);

    int HistoryPosition() const { return historyPosition_; }
    int SavedPosition() const { return savedPosition_; }
    int HistorySize() const { return static_cast<int>(history_.size()); }
    const HistoryEntry& HistoryAt(int index) const { return history_[static_cast<size_t>(index)]; }
    int UndoCapacity() const { return undoCapacity_; }
    void SetUndoCapacity(int capacity) { undoCapacity_ = capacity > 0 ? capacity : 1; }

    // Verifies the storage invariants (tests).
    bool Check() const;

protected:
    // Replaces `target` by `temporary` in one step. Tests override it to make the replace fail.
    virtual bool ReplaceFile(const std::filesystem::path& temporary, const std::filesystem::path& target,
                             std::error_code& ec);

private:
    // One line, 12 bytes. text points at an owned block, into the loaded file image, or nowhere
    // (null, an empty line). An owned block keeps its capacity (a multiple of 16, > length) in the
    // 16 bytes in front of the text. The marks of the few marked lines are kept in marks_.
#pragma pack(push, 4)
    struct LineRecord {
        char* text;
        std::int32_t length;
    };
#pragma pack(pop)
    static_assert(std::is_trivially_copyable_v<LineRecord>);
    static_assert(sizeof(LineRecord) <= 12);

    // A marked line and its marks (never 0); marks_ is in line order.
    struct LineMark {
        int line;
        std::uint32_t flags;
    };
    void SetMarks(int line, std::uint32_t flags);
    // Lines were inserted before `line` (count > 0) or removed from it on (count < 0): marks move
    // with their lines, marks of removed lines go.
    void MoveMarks(int line, int count);

    // A piece list for inserting: the bytes and where each line's bytes start and end.
    struct Pieces;

    static LineRecord MakeLine(const char* text, size_t length);
    void FreeLine(LineRecord& rec);
    // Whether the line's bytes are an owned block (not the image, not nothing), and its capacity.
    bool Owned(const LineRecord& rec) const;
    int Capacity(const LineRecord& rec) const;
    // Makes the line's block owned and able to hold `length` bytes.
    void EnsureOwned(LineRecord& rec, size_t length);
    void SetLineText(LineRecord& rec, const char* text, size_t length);
    void AppendToLine(LineRecord& rec, const char* text, size_t length);
    // Frees the loaded file image once no line points into it any more (checked after an edit that
    // copied a line of at least half the image out of it, so a huge line is not held twice).
    void ReleaseImageIfUnused();

    bool CanChange() const;
    bool InsertPieces(BufferObserver* source, int line, int ch, const Pieces& pieces, TextPosition* endPos);
    void RecordUndo(bool insert, TextPosition start, TextPosition end, std::string text,
                    std::vector<std::int32_t> lineLengths = {});
    void ResetHistory();
    void FreeLines();
    void ApplyDirtyRule();
    bool UndoRecord(const HistoryEntry& rec, TextPosition& cursor);
    bool RedoRecord(const HistoryEntry& rec, TextPosition& cursor);

    bool initialised_ = false;
    bool readOnly_ = false;
    bool dirty_ = false;
    int lineEndMode_ = LineEndDos;
    int defaultUndoCapacity_ = kDefaultUndoCapacity;
    int undoCapacity_ = kDefaultUndoCapacity;
    GapVector<LineRecord> lines_;
    std::vector<LineMark> marks_;
    struct FreeDeleter {
        void operator()(char* p) const { std::free(p); }
    };
    std::unique_ptr<char, FreeDeleter> image_;  // the text as loaded; unchanged lines point into it
    bool mayOwnLines_ = false;  // false: every line still points into image_ (nothing to free)
    size_t imageSize_ = 0;
    bool imageMayBeUnused_ = false;

    std::deque<HistoryEntry> history_;
    int historyPosition_ = 0;
    int savedPosition_ = 0;
    bool groupOpen_ = false;
    bool groupStartPending_ = false;

    std::vector<BufferObserver*> views_;
    int notifying_ = 0;
    bool viewsNeedCompaction_ = false;
    bool editedSinceTyping_ = false;
    bool flushOnSave_ = true;
    EncodingDecision encoding_;
    CodePage defaultCodePage_ = CodePage::Windows1252;
};

// Keeps an undo group open for its lifetime.
class UndoGroup {
public:
    explicit UndoGroup(CCrystalTextBuffer& buffer, bool merge = false) : buffer_(buffer), owns_(!buffer.IsUndoGroupOpen()) {
        if (owns_) buffer_.OpenUndoGroup(merge);
    }
    ~UndoGroup() {
        if (owns_) buffer_.CloseUndoGroup();
    }
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

private:
    CCrystalTextBuffer& buffer_;
    bool owns_;
};

}  // namespace tarnwell
