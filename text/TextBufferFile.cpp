// Reading and saving the text buffer's file.
//
// Loading reads the whole file into one block; the lines point into it until they are edited, so a
// loaded file costs its size plus one small record per line. Saving writes a temporary file beside
// the target, flushes it, gives it the target's permission bits and renames it over the target, so
// that at every moment the target is either the old file or the new one.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>

#include "text/AtomicFile.h"
#include "text/CCrystalTextBuffer.h"
#include "text/LineSplit.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarnwell {

namespace fs = std::filesystem;

namespace {

void SetError(FileError* error, std::error_code ec, const std::string& what) {
    if (error == nullptr) return;
    error->code = ec;
    error->message = what.empty() ? ec.message() : what + ": " + ec.message();
}

std::error_code LastErrno() { return std::error_code(errno, std::generic_category()); }

std::FILE* OpenForReading(const fs::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"rbS");
#else
    return std::fopen(path.c_str(), "rbe");
#endif
}

}  // namespace

bool CCrystalTextBuffer::ReadFromFile(const fs::path& path, int mode, FileError* error) {
    if (notifying_ > 0) {
        SetError(error, std::make_error_code(std::errc::device_or_resource_busy), "buffer is being notified");
        return false;
    }
    std::FILE* f = OpenForReading(path);
    if (f == nullptr) {
        SetError(error, LastErrno(), "");
        return false;
    }
#if defined(__linux__)
    ::posix_fadvise(fileno(f), 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    std::error_code sizeEc;
    const std::uintmax_t expected = fs::file_size(path, sizeEc);
    size_t capacity = sizeEc ? 65536 : static_cast<size_t>(expected) + 1;
    if (capacity == 0) capacity = 1;
    char* data = static_cast<char*>(std::malloc(capacity));
    if (data) AdviseLargeBlock(data, capacity);
    size_t size = 0;
    bool failed = data == nullptr;
    std::error_code readEc;
    while (!failed) {
        if (size == capacity) {
            // The file is longer than it said (or its size is unknown): grow and read on.
            const size_t grown = capacity * 2;
            char* p = static_cast<char*>(std::realloc(data, grown));
            if (p == nullptr) {
                failed = true;
                readEc = std::make_error_code(std::errc::not_enough_memory);
                break;
            }
            data = p;
            capacity = grown;
        }
        const size_t n = std::fread(data + size, 1, capacity - size, f);
        size += n;
        if (n == 0 || size < capacity) {
            if (std::ferror(f)) {
                failed = true;
                readEc = LastErrno();
            } else if (!std::feof(f)) {
                continue;
            }
            break;
        }
    }
    std::fclose(f);
    if (failed) {
        std::free(data);
        SetError(error, readEc ? readEc : std::make_error_code(std::errc::io_error), "");
        return false;
    }

    if (mode != LineEndDos && mode != LineEndMac && mode != LineEndUnix) mode = DetectLineEndMode(data, size);

    GapVector<LineRecord> lines;
    // Every line but the last ends with the mode's last line-end byte: room for exactly as many
    // lines (or a few more), so the table is never copied while it fills.
    lines.Reserve(CountByte(data, size, mode == LineEndMac ? '\r' : '\n') + 1);
    size_t longest = 0;
    SplitLines(data, size, mode, [&](const char* text, size_t length) {
        if (length > longest) longest = length;
        lines.PushBack(LineRecord{const_cast<char*>(text), static_cast<std::int32_t>(length)});
    });
    if (lines.size() > static_cast<size_t>(INT32_MAX)) {
        std::free(data);
        SetError(error, std::make_error_code(std::errc::file_too_large), "");
        return false;
    }
    if (static_cast<std::uint64_t>(longest) > static_cast<std::uint64_t>(INT32_MAX) - 64) {
        std::free(data);
        SetError(error, std::make_error_code(std::errc::file_too_large), "line too long");
        return false;
    }

    FreeLines();
    lines_ = std::move(lines);
    image_.reset(data);
    imageSize_ = size;
    lineEndMode_ = mode;
    initialised_ = true;
    // The lines joined by their line ends are the file's bytes: one pass over them decides.
    encoding_ = DecideEncoding(std::string_view(data, size), defaultCodePage_);
    ResetHistory();
    SetDirty(false);
    NotifyViews(nullptr, nullptr, HintReset, -1);
    return true;
}

bool CCrystalTextBuffer::ReplaceFile(const fs::path& temporary, const fs::path& target, std::error_code& ec) {
    if (SaveFaultInjected(SaveStep::Replace)) {
        ec = LastErrno();
        return false;
    }
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        fs::rename(temporary, target, ec);
        if (!ec) return true;
    }
    return false;
}

bool CCrystalTextBuffer::WriteToFile(const fs::path& path, int mode, bool clearDirty, FileError* error) {
    if (error) *error = FileError{};
    if (mode != LineEndDos && mode != LineEndMac && mode != LineEndUnix) mode = lineEndMode_;
    const std::string_view eol = LineEndBytes(mode);

    std::error_code ec;
    fs::path target;
    if (!ResolveTarget(path, target, ec)) {
        SetError(error, ec, "");
        return false;
    }
    const fs::file_status st = fs::status(target, ec);
    const bool existed = !ec && fs::exists(st);
    if (existed) {
        if (!fs::is_regular_file(st)) {
            SetError(error, std::make_error_code(std::errc::invalid_argument), "not a regular file");
            return false;
        }
        // A file without any write permission is read-only, for every user (root included).
        const fs::perms writeBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        bool writable = (st.permissions() & writeBits) != fs::perms::none;
#ifndef _WIN32
        if (writable && ::access(target.c_str(), W_OK) != 0) writable = false;
#endif
        if (!writable) {
            SetError(error, std::make_error_code(std::errc::permission_denied), "");
            return false;
        }
    }
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";

    OutFile out(true);
    fs::path temporary;
    bool created = false;
    for (int attempt = 0; attempt < 100 && !created; ++attempt) {
        temporary = TemporaryName(folder);
        created = out.CreateNew(temporary);
        if (!created && errno != EEXIST) break;
    }
    if (!created) {
        SetError(error, LastErrno(), "");
        return false;
    }

    auto fail = [&](std::error_code why) {
        out.Close();
        std::error_code ignored;
        fs::remove(temporary, ignored);
        SetError(error, why, "");
        return false;
    };

    // Lines and line ends go out through one staging block; long lines are written directly.
    constexpr size_t kStage = size_t{1} << 20;
    std::unique_ptr<char[]> stage(new char[kStage]);
    size_t used = 0;
    const size_t count = lines_.size();
    for (size_t i = 0; i < count; ++i) {
        const LineRecord& rec = lines_[i];
        const size_t length = static_cast<size_t>(rec.length);
        const size_t extra = i + 1 < count ? eol.size() : 0;
        if (used + length + extra > kStage) {
            if (!out.Write(stage.get(), used)) return fail(LastErrno());
            used = 0;
        }
        if (length + extra > kStage) {
            if (!out.Write(rec.text, length) || !out.Write(eol.data(), extra)) return fail(LastErrno());
            continue;
        }
        if (length) std::memcpy(stage.get() + used, rec.text, length);
        used += length;
        if (extra) std::memcpy(stage.get() + used, eol.data(), extra);
        used += extra;
    }
    if (used > 0 && !out.Write(stage.get(), used)) return fail(LastErrno());
    out.CopyModeFrom(target, existed);
    if (flushOnSave_ && !out.Flush()) return fail(LastErrno());
    if (!out.Close()) return fail(LastErrno());
#ifdef _WIN32
    if (existed) fs::permissions(temporary, st.permissions(), ec);
#endif

    if (!ReplaceFile(temporary, target, ec)) {
        std::error_code existsEc;
        if (existed && !fs::exists(target, existsEc) && !existsEc) {
            // The original is gone: the temporary file holds the only copy of the text. Keep it.
            if (error) {
                SetError(error, ec, "");
                error->keptTemporary = temporary;
                error->message += "; the text was kept in " + temporary.string();
            }
            return false;
        }
        std::error_code ignored;
        fs::remove(temporary, ignored);
        SetError(error, ec ? ec : std::make_error_code(std::errc::io_error), "");
        return false;
    }
    if (flushOnSave_) SyncFolder(folder);

    if (clearDirty) {
        SetDirty(false);
        savedPosition_ = historyPosition_;
    }
    return true;
}

}  // namespace tarnwell
