#include "text/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>

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

std::atomic<SaveFaultHook> g_saveFault{nullptr};

bool Injected(bool testFaults, SaveStep step) { return testFaults && SaveFaultInjected(step); }

}  // namespace

void SetSaveFaultHook(SaveFaultHook hook) { g_saveFault.store(hook, std::memory_order_relaxed); }

bool SaveFaultInjected(SaveStep step) {
    const SaveFaultHook hook = g_saveFault.load(std::memory_order_relaxed);
    if (hook == nullptr) return false;
    const int error = hook(step);
    if (error == 0) return false;
    errno = error;
    return true;
}

bool OutFile::CreateNew(const fs::path& path) {
    if (Injected(testFaults_, SaveStep::Create)) return false;
#ifdef _WIN32
    fd_ = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
#endif
    return fd_ >= 0;
}

bool OutFile::Write(const char* data, size_t size) {
    if (size > 0 && Injected(testFaults_, SaveStep::Write)) return false;
    while (size > 0) {
        const size_t chunk = size > (size_t{1} << 30) ? (size_t{1} << 30) : size;
#ifdef _WIN32
        const int n = _write(fd_, data, static_cast<unsigned>(chunk));
#else
        const ssize_t n = ::write(fd_, data, chunk);
#endif
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool OutFile::Flush() {
    if (Injected(testFaults_, SaveStep::Flush)) return false;
#ifdef _WIN32
    return _commit(fd_) == 0;
#else
    return ::fsync(fd_) == 0;
#endif
}

void OutFile::CopyModeFrom(const fs::path& original, bool originalExists) {
#ifdef _WIN32
    (void)original;
    (void)originalExists;
#else
    struct stat st {};
    if (originalExists && ::stat(original.c_str(), &st) == 0) {
        ::fchmod(fd_, st.st_mode & 07777);
        if (::fchown(fd_, st.st_uid, st.st_gid) != 0) {
            // Only the owner's group or root may hand a file over; the file stays the user's.
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
    }
#endif
}

bool OutFile::Close() {
    if (fd_ < 0) return true;
#ifdef _WIN32
    const int rc = _close(fd_);
#else
    const int rc = ::close(fd_);
#endif
    fd_ = -1;
    if (Injected(testFaults_, SaveStep::Close)) return false;
    return rc == 0;
}

bool ResolveTarget(const fs::path& path, fs::path& target, std::error_code& ec) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        const fs::file_status st = fs::symlink_status(target, ec);
        if (ec) {
            if (ec == std::errc::no_such_file_or_directory) {
                ec.clear();
                return true;
            }
            return false;
        }
        if (!fs::is_symlink(st)) return true;
        const fs::path link = fs::read_symlink(target, ec);
        if (ec) return false;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    ec = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return false;
}

fs::path TemporaryName(const fs::path& folder) {
    thread_local std::mt19937_64 rng{std::random_device{}() ^
                               static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    char name[32];
    std::snprintf(name, sizeof name, "CRE%08llx.tmp", static_cast<unsigned long long>(rng() & 0xffffffffULL));
    return folder / name;
}

void SyncFolder(const fs::path& folder) {
#ifndef _WIN32
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    (void)folder;
#endif
}

}  // namespace tarnwell
