// The text buffer: line storage, edits, notification and the undo history. Reading and saving
// files live in TextBufferFile.cpp.
#include "text/CCrystalTextBuffer.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace tarnwell {

namespace {

const char kEmptyLine[1] = {0};

// Largest line length the 32-bit length field can hold with room for the block rounding.
constexpr size_t kMaxLineLength = static_cast<size_t>(INT32_MAX) - 64;

size_t BlockSizeFor(size_t length) { return (length / 16 + 1) * 16; }

}  // namespace

const char* LineEndModeName(int mode) {
    switch (mode) {
    case LineEndDos: return "DOS";
    case LineEndMac: return "MAC";
    case LineEndUnix: return "UNIX";
    default: return "";
    }
}

std::string_view LineEndBytes(int mode) {
    switch (mode) {
    case LineEndMac: return "\n\r";
    case LineEndUnix: return "\n";
    default: return "\r\n";
    }
}

// The lines of an insertion, as views into the inserted text.
struct CCrystalTextBuffer::Pieces {
    std::vector<std::string_view> lines;
};

CCrystalTextBuffer::CCrystalTextBuffer(int undoCapacity)
    : defaultUndoCapacity_(undoCapacity > 0 ? undoCapacity : 1), undoCapacity_(defaultUndoCapacity_) {}

CCrystalTextBuffer::~CCrystalTextBuffer() { FreeLines(); }

// --- Line storage ---

namespace {

// Owned line blocks: the capacity in a 16-byte header, then the text.
constexpr size_t kBlockHeader = 16;

char* AllocateBlock(size_t capacity) {
    char* block = new char[capacity + kBlockHeader];
    const auto cap = static_cast<std::int32_t>(capacity);
    std::memcpy(block, &cap, sizeof cap);
    return block + kBlockHeader;
}

void FreeBlock(char* text) { delete[] (text - kBlockHeader); }

std::int32_t BlockCapacity(const char* text) {
    std::int32_t cap;
    std::memcpy(&cap, text - kBlockHeader, sizeof cap);
    return cap;
}

}  // namespace

bool CCrystalTextBuffer::Owned(const LineRecord& rec) const {
    if (rec.text == nullptr) return false;
    const auto p = reinterpret_cast<std::uintptr_t>(rec.text);
    const auto begin = reinterpret_cast<std::uintptr_t>(image_.get());
    return image_ == nullptr || p < begin || p > begin + imageSize_;
}

int CCrystalTextBuffer::Capacity(const LineRecord& rec) const { return Owned(rec) ? BlockCapacity(rec.text) : 0; }

CCrystalTextBuffer::LineRecord CCrystalTextBuffer::MakeLine(const char* text, size_t length) {
    LineRecord rec{nullptr, 0};
    if (length > 0) {
        rec.text = AllocateBlock(BlockSizeFor(length));
        std::memcpy(rec.text, text, length);
        rec.length = static_cast<std::int32_t>(length);
    }
    return rec;
}

void CCrystalTextBuffer::FreeLine(LineRecord& rec) {
    if (Owned(rec)) FreeBlock(rec.text);
    rec.text = nullptr;
    rec.length = 0;
}

void CCrystalTextBuffer::EnsureOwned(LineRecord& rec, size_t length) {
    const bool owned = Owned(rec);
    const size_t capacity = owned ? static_cast<size_t>(BlockCapacity(rec.text)) : 0;
    if (owned && length < capacity) return;
    if (!owned && rec.length > 0 && static_cast<size_t>(rec.length) * 2 >= imageSize_) imageMayBeUnused_ = true;
    size_t want = length;
    // A line that keeps growing (typing at its end, long lines) gets headroom, so that it is not
    // copied again every 16 characters; at most 1 MB, so a huge line is not held a quarter larger.
    if (owned && length >= 256) want = std::min(kMaxLineLength, length + std::min<size_t>(length / 4, 1u << 20));
    char* block = AllocateBlock(BlockSizeFor(want));
    if (rec.length > 0) std::memcpy(block, rec.text, static_cast<size_t>(rec.length));
    if (owned) FreeBlock(rec.text);
    rec.text = block;
}

void CCrystalTextBuffer::SetLineText(LineRecord& rec, const char* text, size_t length) {
    rec.length = 0;
    AppendToLine(rec, text, length);
}

void CCrystalTextBuffer::AppendToLine(LineRecord& rec, const char* text, size_t length) {
    if (length == 0) return;
    const size_t newLength = static_cast<size_t>(rec.length) + length;
    EnsureOwned(rec, newLength);
    std::memcpy(rec.text + rec.length, text, length);
    rec.length = static_cast<std::int32_t>(newLength);
}

void CCrystalTextBuffer::ReleaseImageIfUnused() {
    imageMayBeUnused_ = false;
    if (image_ == nullptr) return;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const LineRecord& r = lines_[i];
        if (r.length > 0 && !Owned(r)) return;
    }
    // Empty lines may still point into it: they point nowhere now.
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (!Owned(lines_[i])) lines_[i].text = nullptr;
    }
    image_.reset();
    imageSize_ = 0;
}

void CCrystalTextBuffer::FreeLines() {
    if (mayOwnLines_) {
        for (size_t i = 0; i < lines_.size(); ++i) FreeLine(lines_[i]);
    }
    mayOwnLines_ = false;
    lines_.Clear();
    marks_.clear();
    image_.reset();
    imageSize_ = 0;
    imageMayBeUnused_ = false;
}

// --- Queries ---

int CCrystalTextBuffer::LineLength(int line) const {
    if (line < 0 || static_cast<size_t>(line) >= lines_.size()) return 0;
    return lines_[static_cast<size_t>(line)].length;
}

const char* CCrystalTextBuffer::LineText(int line) const {
    if (line < 0 || static_cast<size_t>(line) >= lines_.size()) return kEmptyLine;
    const LineRecord& rec = lines_[static_cast<size_t>(line)];
    return rec.length > 0 ? rec.text : kEmptyLine;
}

std::string_view CCrystalTextBuffer::LineChars(int line) const {
    if (line < 0 || static_cast<size_t>(line) >= lines_.size()) return {};
    const LineRecord& rec = lines_[static_cast<size_t>(line)];
    return rec.length > 0 ? std::string_view(rec.text, static_cast<size_t>(rec.length)) : std::string_view();
}

std::uint32_t CCrystalTextBuffer::LineFlags(int line) const {
    if (line < 0 || static_cast<size_t>(line) >= lines_.size()) return 0;
    const auto it = std::lower_bound(marks_.begin(), marks_.end(), line,
                                     [](const LineMark& m, int l) { return m.line < l; });
    return it != marks_.end() && it->line == line ? it->flags : 0;
}

void CCrystalTextBuffer::SetMarks(int line, std::uint32_t flags) {
    const auto it = std::lower_bound(marks_.begin(), marks_.end(), line,
                                     [](const LineMark& m, int l) { return m.line < l; });
    if (it != marks_.end() && it->line == line) {
        if (flags != 0)
            it->flags = flags;
        else
            marks_.erase(it);
    } else if (flags != 0) {
        marks_.insert(it, LineMark{line, flags});
    }
}

void CCrystalTextBuffer::MoveMarks(int line, int count) {
    if (count < 0) {
        marks_.erase(std::remove_if(marks_.begin(), marks_.end(),
                                    [&](const LineMark& m) { return m.line >= line && m.line < line - count; }),
                     marks_.end());
    }
    for (LineMark& m : marks_)
        if (m.line >= line) m.line += count;
}

void CCrystalTextBuffer::SetLineEndMode(int mode) {
    if (mode == LineEndDos || mode == LineEndMac || mode == LineEndUnix) lineEndMode_ = mode;
}

void CCrystalTextBuffer::SetDirty(bool dirty) { dirty_ = dirty; }

int CCrystalTextBuffer::FirstMarkedLine(std::uint32_t bit) const {
    for (const LineMark& m : marks_)
        if (m.flags & bit) return m.line;
    return -1;
}

bool CCrystalTextBuffer::IsValidPosition(TextPosition pos) const {
    return pos.line >= 0 && static_cast<size_t>(pos.line) < lines_.size() && pos.ch >= 0 &&
           pos.ch <= lines_[static_cast<size_t>(pos.line)].length;
}

TextPosition CCrystalTextBuffer::EndPosition() const {
    if (lines_.empty()) return TextPosition(0, 0);
    const int last = LineCount() - 1;
    return TextPosition(last, LineLength(last));
}

std::string CCrystalTextBuffer::CopyRange(TextPosition start, TextPosition end, std::string_view separator) const {
    std::string out;
    if (!(start < end) || !IsValidPosition(start) || !IsValidPosition(end)) return out;
    if (start.line == end.line) {
        out.assign(LineText(start.line) + start.ch, static_cast<size_t>(end.ch - start.ch));
        return out;
    }
    size_t total = static_cast<size_t>(LineLength(start.line) - start.ch) + static_cast<size_t>(end.ch);
    for (int l = start.line + 1; l < end.line; ++l) total += static_cast<size_t>(LineLength(l));
    total += static_cast<size_t>(end.line - start.line) * separator.size();
    out.reserve(total);
    out.append(LineText(start.line) + start.ch, static_cast<size_t>(LineLength(start.line) - start.ch));
    for (int l = start.line + 1; l < end.line; ++l) {
        out.append(separator);
        out.append(LineText(l), static_cast<size_t>(LineLength(l)));
    }
    out.append(separator);
    out.append(LineText(end.line), static_cast<size_t>(end.ch));
    return out;
}

std::string CCrystalTextBuffer::Text(int mode) const {
    if (mode != LineEndDos && mode != LineEndMac && mode != LineEndUnix) mode = lineEndMode_;
    return CopyRange(TextPosition(0, 0), EndPosition(), LineEndBytes(mode));
}

bool CCrystalTextBuffer::Check() const {
    if (!lines_.Check()) return false;
    if (initialised_ && lines_.empty()) return false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const LineRecord& r = lines_[i];
        if (r.length < 0) return false;
        if (r.length > 0 && r.text == nullptr) return false;
        const int capacity = Capacity(r);
        if (Owned(r) && (capacity <= 0 || capacity % 16 != 0 || capacity <= r.length)) return false;
    }
    if (historyPosition_ < 0 || historyPosition_ > static_cast<int>(history_.size())) return false;
    if (savedPosition_ < -1 || savedPosition_ > static_cast<int>(history_.size())) return false;
    return true;
}

// --- Changes ---

bool CCrystalTextBuffer::CanChange() const { return !readOnly_ && notifying_ == 0; }

bool CCrystalTextBuffer::InsertTextAt(BufferObserver* source, int line, int ch, std::string_view text,
                                      TextPosition* endPos) {
    if (!CanChange() || !IsValidPosition(TextPosition(line, ch))) return false;
    if (text.empty()) {
        if (endPos) *endPos = TextPosition(line, ch);
        return true;
    }
    const bool ownGroup = !groupOpen_;
    if (ownGroup) OpenUndoGroup(false);
    TextPosition end;
    const bool ok = ApplyInsert(source, line, ch, text, &end);
    if (ok) {
        RecordUndo(true, TextPosition(line, ch), end, std::string(text));
        if (endPos) *endPos = end;
    }
    if (ownGroup) CloseUndoGroup();
    return ok;
}

bool CCrystalTextBuffer::RemoveRange(BufferObserver* source, TextPosition start, TextPosition end) {
    if (!CanChange() || !IsValidPosition(start) || !IsValidPosition(end) || end < start) return false;
    std::string text = CopyRange(start, end);
    // CopyRange joins lines with CR LF, and an insert splits at every CR; when a removed line holds
    // a CR of its own, the record also keeps the line lengths so that undo restores the same lines.
    std::vector<std::int32_t> lengths;
    bool hasOwnCr = false;
    for (int l = start.line; l <= end.line && !hasOwnCr; ++l) {
        const int from = l == start.line ? start.ch : 0;
        const int to = l == end.line ? end.ch : LineLength(l);
        if (to > from && std::memchr(LineText(l) + from, '\r', static_cast<size_t>(to - from))) hasOwnCr = true;
    }
    if (hasOwnCr) {
        for (int l = start.line; l <= end.line; ++l) {
            const int from = l == start.line ? start.ch : 0;
            const int to = l == end.line ? end.ch : LineLength(l);
            lengths.push_back(to - from);
        }
    }
    const bool ownGroup = !groupOpen_;
    if (ownGroup) OpenUndoGroup(false);
    const bool ok = ApplyRemove(source, start, end);
    if (ok) RecordUndo(false, start, end, std::move(text), std::move(lengths));
    if (ownGroup) CloseUndoGroup();
    return ok;
}

bool CCrystalTextBuffer::ApplyInsert(BufferObserver* source, int line, int ch, std::string_view text,
                                     TextPosition* endPos) {
    Pieces pieces;
    // Split at CR LF and at a lone CR; a lone LF stays an ordinary character.
    size_t from = 0;
    while (true) {
        const void* hit = from < text.size() ? std::memchr(text.data() + from, '\r', text.size() - from) : nullptr;
        if (hit == nullptr) {
            pieces.lines.push_back(text.substr(from));
            break;
        }
        const size_t p = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
        pieces.lines.push_back(text.substr(from, p - from));
        from = p + 1;
        if (from < text.size() && text[from] == '\n') ++from;
    }
    return InsertPieces(source, line, ch, pieces, endPos);
}

bool CCrystalTextBuffer::InsertPieces(BufferObserver* source, int line, int ch, const Pieces& pieces,
                                      TextPosition* endPos) {
    if (!CanChange() || !IsValidPosition(TextPosition(line, ch)) || pieces.lines.empty()) return false;
    const size_t n = pieces.lines.size();
    if (lines_.size() + (n - 1) > static_cast<size_t>(INT_MAX)) return false;
    mayOwnLines_ = true;
    LineRecord& rec = lines_[static_cast<size_t>(line)];
    const size_t oldLength = static_cast<size_t>(rec.length);
    const size_t head = static_cast<size_t>(ch);
    const size_t tail = oldLength - head;
    TextPosition end;
    std::uint32_t hints;
    if (n == 1) {
        const std::string_view piece = pieces.lines[0];
        if (oldLength + piece.size() > kMaxLineLength) return false;
        if (!piece.empty()) {
            EnsureOwned(rec, oldLength + piece.size());
            std::memmove(rec.text + head + piece.size(), rec.text + head, tail);
            std::memcpy(rec.text + head, piece.data(), piece.size());
            rec.length = static_cast<std::int32_t>(oldLength + piece.size());
        }
        end = TextPosition(line, ch + static_cast<int>(piece.size()));
        hints = HintWidth | HintOneLine;
    } else {
        const std::string_view first = pieces.lines.front();
        const std::string_view last = pieces.lines.back();
        if (head + first.size() > kMaxLineLength || last.size() + tail > kMaxLineLength) return false;
        for (size_t i = 1; i + 1 < n; ++i) {
            if (pieces.lines[i].size() > kMaxLineLength) return false;
        }
        // The last new line is the last piece followed by the tail of the split line; build it
        // before the split line is cut and appended to.
        LineRecord lastRec{nullptr, 0};
        if (last.empty() && !Owned(rec)) {
            // Breaking a line that is still in the loaded text: the new line keeps pointing there.
            lastRec.text = rec.text + head;
            lastRec.length = static_cast<std::int32_t>(tail);
        } else {
            lastRec = MakeLine(last.data(), last.size());
            AppendToLine(lastRec, rec.text + head, tail);
        }
        rec.length = static_cast<std::int32_t>(head);
        AppendToLine(rec, first.data(), first.size());

        lines_.Insert(static_cast<size_t>(line) + 1, n - 1, LineRecord{nullptr, 0});
        MoveMarks(line + 1, static_cast<int>(n - 1));
        for (size_t i = 1; i + 1 < n; ++i) {
            lines_[static_cast<size_t>(line) + i] = MakeLine(pieces.lines[i].data(), pieces.lines[i].size());
        }
        lines_[static_cast<size_t>(line) + n - 1] = lastRec;
        end = TextPosition(line + static_cast<int>(n - 1), static_cast<int>(last.size()));
        hints = HintWidth | HintHeight;
    }
    if (imageMayBeUnused_) ReleaseImageIfUnused();
    const InsertAdjuster adjuster(TextPosition(line, ch), end);
    NotifyViews(source, &adjuster, hints, line);
    SetDirty(true);
    editedSinceTyping_ = true;
    if (endPos) *endPos = end;
    return true;
}

bool CCrystalTextBuffer::ApplyRemove(BufferObserver* source, TextPosition start, TextPosition end) {
    if (!CanChange() || !IsValidPosition(start) || !IsValidPosition(end) || end < start) return false;
    std::uint32_t hints;
    mayOwnLines_ = true;
    LineRecord& rec = lines_[static_cast<size_t>(start.line)];
    if (start.line == end.line) {
        const size_t count = static_cast<size_t>(end.ch - start.ch);
        const size_t after = static_cast<size_t>(rec.length - end.ch);
        if (count > 0) {
            if (!Owned(rec) && start.ch == 0) {
                // A line still in the loaded text loses its head without a copy.
                rec.text += count;
            } else if (after > 0) {
                EnsureOwned(rec, static_cast<size_t>(rec.length));
                std::memmove(rec.text + start.ch, rec.text + end.ch, after);
            }
            rec.length -= static_cast<std::int32_t>(count);
        }
        hints = HintWidth | HintOneLine;
    } else {
        LineRecord& endRec = lines_[static_cast<size_t>(end.line)];
        const size_t tail = static_cast<size_t>(endRec.length - end.ch);
        rec.length = start.ch;
        if (rec.length == 0 && !Owned(endRec) && !Owned(rec)) {
            // Both lines still in the loaded text: the joined line is the end line's tail.
            rec.text = endRec.text + end.ch;
            rec.length = static_cast<std::int32_t>(tail);
        } else {
            AppendToLine(rec, endRec.text + end.ch, tail);
        }
        for (int l = start.line + 1; l <= end.line; ++l) FreeLine(lines_[static_cast<size_t>(l)]);
        lines_.Erase(static_cast<size_t>(start.line) + 1, static_cast<size_t>(end.line - start.line));
        MoveMarks(start.line + 1, start.line - end.line);
        hints = HintWidth | HintHeight;
    }
    if (imageMayBeUnused_) ReleaseImageIfUnused();
    const RemoveAdjuster adjuster(start, end);
    NotifyViews(source, &adjuster, hints, start.line);
    SetDirty(true);
    editedSinceTyping_ = true;
    return true;
}

void CCrystalTextBuffer::MarkLine(int line, std::uint32_t bit, bool on, bool moveFromOtherLine) {
    if (notifying_ > 0) return;
    if (bit == 0 || (bit & (bit - 1)) != 0) return;
    if (line == -1) {
        line = FirstMarkedLine(bit);
        if (line < 0) return;
        moveFromOtherLine = false;
    }
    if (line < 0 || line >= LineCount()) return;
    const std::uint32_t was = LineFlags(line);
    const std::uint32_t flags = on ? (was | bit) : (was & ~bit);
    if (flags == was) return;
    if (moveFromOtherLine && on) {
        const int other = FirstMarkedLine(bit);
        if (other >= 0) {
            SetMarks(other, LineFlags(other) & ~bit);
            NotifyViews(nullptr, nullptr, HintOneLine | HintFlagsOnly, other);
        }
    }
    SetMarks(line, flags);
    NotifyViews(nullptr, nullptr, HintOneLine | HintFlagsOnly, line);
}

bool CCrystalTextBuffer::InitFromText(int mode, std::string_view text) {
    if (notifying_ > 0) return false;
    FreeLines();
    char* image = static_cast<char*>(std::malloc(text.size() ? text.size() : 1));
    if (image == nullptr) return false;
    if (!text.empty()) std::memcpy(image, text.data(), text.size());
    image_.reset(image);
    imageSize_ = text.size();
    // Split at every CR LF pair; a lone CR or LF stays in its line.
    size_t from = 0;
    lines_.Reserve(text.size() / 64 + 16);
    while (true) {
        const size_t p = text.find("\r\n", from);
        const size_t stop = p == std::string_view::npos ? text.size() : p;
        lines_.PushBack(LineRecord{image + from, static_cast<std::int32_t>(stop - from)});
        if (p == std::string_view::npos) break;
        from = p + 2;
    }
    initialised_ = true;
    readOnly_ = false;
    lineEndMode_ = (mode == LineEndMac || mode == LineEndUnix) ? mode : LineEndDos;
    encoding_ = DecideEncoding(*this, defaultCodePage_);
    ResetHistory();
    SetDirty(false);
    NotifyViews(nullptr, nullptr, HintReset, -1);
    return true;
}

void CCrystalTextBuffer::Clear() {
    if (notifying_ > 0) return;
    FreeLines();
    history_.clear();
    historyPosition_ = 0;
    savedPosition_ = 0;
    groupOpen_ = false;
    groupStartPending_ = false;
    initialised_ = false;
}

// --- Views ---

void CCrystalTextBuffer::AttachView(BufferObserver* view) {
    if (view == nullptr || std::find(views_.begin(), views_.end(), view) != views_.end()) return;
    views_.push_back(view);
}

void CCrystalTextBuffer::DetachView(BufferObserver* view) {
    auto it = std::find(views_.begin(), views_.end(), view);
    if (it == views_.end()) return;
    if (notifying_ > 0) {
        // The loop in NotifyViews is running over the list: leave a hole and compact afterwards.
        *it = nullptr;
        viewsNeedCompaction_ = true;
    } else {
        views_.erase(it);
    }
}

void CCrystalTextBuffer::NotifyViews(BufferObserver* source, const PositionAdjuster* adjuster, std::uint32_t hints,
                                     int line) {
    ++notifying_;
    for (size_t i = 0; i < views_.size(); ++i) {
        if (BufferObserver* v = views_[i]) v->OnBufferChanged(source, adjuster, hints, line);
    }
    --notifying_;
    if (notifying_ == 0 && viewsNeedCompaction_) {
        views_.erase(std::remove(views_.begin(), views_.end(), nullptr), views_.end());
        viewsNeedCompaction_ = false;
    }
}

// --- Undo history ---

void CCrystalTextBuffer::ResetHistory() {
    history_.clear();
    historyPosition_ = 0;
    savedPosition_ = 0;
    groupOpen_ = false;
    groupStartPending_ = false;
    undoCapacity_ = defaultUndoCapacity_;
}

void CCrystalTextBuffer::OpenUndoGroup(bool merge) {
    groupOpen_ = true;
    groupStartPending_ = !(merge && historyPosition_ > 0);
}

void CCrystalTextBuffer::CloseUndoGroup() { groupOpen_ = false; }

void CCrystalTextBuffer::RecordUndo(bool insert, TextPosition start, TextPosition end, std::string text,
                                    std::vector<std::int32_t> lineLengths) {
    // Drop the redo tail. A saved state inside it can no longer be reached.
    if (historyPosition_ < static_cast<int>(history_.size())) {
        history_.erase(history_.begin() + historyPosition_, history_.end());
        if (savedPosition_ > historyPosition_) savedPosition_ = -1;
    }
    // At capacity drop the oldest group, unless it is the group this record continues: a group is
    // only ever undone whole.
    if (static_cast<int>(history_.size()) >= undoCapacity_ && !history_.empty()) {
        size_t k = 1;
        while (k < history_.size() && !(history_[k].flags & UndoGroupStartBit)) ++k;
        const bool continuesOldest = k == history_.size() && !groupStartPending_;
        if (!continuesOldest) {
            history_.erase(history_.begin(), history_.begin() + static_cast<std::ptrdiff_t>(k));
            savedPosition_ = -1;
        }
    }
    HistoryEntry rec;
    rec.flags = insert ? UndoInsertBit : 0;
    if (groupStartPending_) {
        rec.flags |= UndoGroupStartBit;
        groupStartPending_ = false;
    }
    rec.start = start;
    rec.end = end;
    rec.text = std::move(text);
    rec.lineLengths = std::move(lineLengths);
    history_.push_back(std::move(rec));
    historyPosition_ = static_cast<int>(history_.size());
}

bool CCrystalTextBuffer::UndoRecord(const HistoryEntry& rec, TextPosition& cursor) {
    if (rec.flags & UndoInsertBit) {
        cursor = rec.start;
        return ApplyRemove(nullptr, rec.start, rec.end);
    }
    cursor = rec.end;
    if (rec.text.empty() && rec.lineLengths.empty()) return true;
    if (rec.lineLengths.empty()) return ApplyInsert(nullptr, rec.start.line, rec.start.ch, rec.text);
    Pieces pieces;
    size_t offset = 0;
    const std::string_view all(rec.text);
    for (std::int32_t len : rec.lineLengths) {
        pieces.lines.push_back(all.substr(std::min(offset, all.size()), static_cast<size_t>(len)));
        offset += static_cast<size_t>(len) + 2;
    }
    return InsertPieces(nullptr, rec.start.line, rec.start.ch, pieces, nullptr);
}

bool CCrystalTextBuffer::RedoRecord(const HistoryEntry& rec, TextPosition& cursor) {
    if (rec.flags & UndoInsertBit) {
        cursor = rec.end;
        return ApplyInsert(nullptr, rec.start.line, rec.start.ch, rec.text);
    }
    cursor = rec.start;
    return ApplyRemove(nullptr, rec.start, rec.end);
}

void CCrystalTextBuffer::ApplyDirtyRule() {
    if (dirty_ && historyPosition_ == savedPosition_) {
        SetDirty(false);
    } else if (!dirty_ && historyPosition_ != savedPosition_) {
        SetDirty(true);
    }
}

bool CCrystalTextBuffer::UndoStep(TextPosition* cursor) {
    if (!CanChange() || !CanUndoStep()) return false;
    TextPosition where;
    while (historyPosition_ > 0) {
        --historyPosition_;
        const HistoryEntry& rec = history_[static_cast<size_t>(historyPosition_)];
        UndoRecord(rec, where);
        if (rec.flags & UndoGroupStartBit) break;
    }
    ApplyDirtyRule();
    if (cursor) *cursor = where;
    return true;
}

bool CCrystalTextBuffer::RedoStep(TextPosition* cursor) {
    if (!CanChange() || !CanRedoStep()) return false;
    TextPosition where;
    const int size = static_cast<int>(history_.size());
    do {
        RedoRecord(history_[static_cast<size_t>(historyPosition_)], where);
        ++historyPosition_;
    } while (historyPosition_ < size && !(history_[static_cast<size_t>(historyPosition_)].flags & UndoGroupStartBit));
    ApplyDirtyRule();
    if (cursor) *cursor = where;
    return true;
}

}  // namespace tarnwell
