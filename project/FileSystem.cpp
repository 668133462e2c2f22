#include "project/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarnwell {

namespace fs = std::filesystem;

namespace {
#ifdef _WIN32
fs::path Native(const std::string& p) { return fs::u8path(p); }
#endif
bool IsSep(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}
}  // namespace

std::string ErrorText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (IsSep(folder.back())) return folder + name;
    return folder + "/" + name;
}

std::string ParentPath(const std::string& path) {
    std::size_t i = path.size();
    while (i > 0 && !IsSep(path[i - 1])) --i;
    if (i == 0) return {};
    return i == 1 ? path.substr(0, 1) : path.substr(0, i - 1);
}

std::string FileNameOf(const std::string& path) {
    std::size_t i = path.size();
    while (i > 0 && !IsSep(path[i - 1])) --i;
    return path.substr(i);
}

#ifndef _WIN32

namespace {
std::int64_t Nanoseconds(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}
EntryType TypeOf(mode_t mode) {
    if (S_ISDIR(mode)) return EntryType::Folder;
    if (S_ISREG(mode)) return EntryType::File;
    return EntryType::Special;
}
}  // namespace

EntryInfo ReadEntry(const std::string& path) {
    EntryInfo info;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return info;
    if (S_ISLNK(st.st_mode)) {
        info.link = true;
        struct stat target;
        if (::stat(path.c_str(), &target) != 0) {
            info.type = EntryType::File;  // a broken link: shown, sizes unknown
            info.id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), {}};
            return info;
        }
        st = target;
    }
    info.type = TypeOf(st.st_mode);
    info.statOk = true;
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.mtime = Nanoseconds(st);
    info.id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), {}};
    return info;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool ListFolder(const std::string& folder, const std::function<void(const std::string& name)>& entry) {
    DIR* d = ::opendir(folder.c_str());
    if (!d) return false;
    std::vector<std::string> names;
    while (dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names.emplace_back(e->d_name);
    }
    ::closedir(d);  // closed before descending, so deep trees hold one handle at a time
    for (const std::string& n : names) entry(n);
    return true;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat x, y;
    return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

bool CreateNewFile(const std::string& path, const std::string& bytes, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = ErrorText(errno);
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = ErrorText(errno);
            ::close(fd);
            ::unlink(path.c_str());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        error = ErrorText(errno);
        ::unlink(path.c_str());
        return false;
    }
    return true;
}

bool CreateFolder(const std::string& path, std::string& error) {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    error = ErrorText(errno);
    return false;
}

bool RenameNoReplace(const std::string& from, const std::string& to, std::string& error) {
    if (Exists(to) && !SameFile(from, to)) {
        error = ErrorText(EEXIST);
        return false;
    }
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    if (!SameFile(from, to)) {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
        if (errno != EINVAL && errno != ENOSYS) {
            error = ErrorText(errno);
            return false;
        }
    }
#endif
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    error = ErrorText(errno);
    return false;
}

bool CopyFileOver(const std::string& from, const std::string& to, std::string& error) {
    const int in = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) {
        error = ErrorText(errno);
        return false;
    }
    struct stat st;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = ErrorText(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        ::close(in);
        return false;
    }
    std::string tmpl = JoinPath(ParentPath(to), ".~twcopyXXXXXX");
    const int out = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (out < 0) {
        error = ErrorText(errno);
        ::close(in);
        return false;
    }
    char buf[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buf + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok) break;
    }
    int saved = ok ? 0 : errno;
    ::fchmod(out, st.st_mode & 07777);
    if (::close(out) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    ::close(in);
    if (ok && ::rename(tmpl.c_str(), to.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        ::unlink(tmpl.c_str());
        error = ErrorText(saved ? saved : EIO);
    }
    return ok;
}

bool CopyLink(const std::string& from, const std::string& to, std::string& error) {
    std::vector<char> target(PATH_MAX + 1);
    const ssize_t n = ::readlink(from.c_str(), target.data(), target.size() - 1);
    if (n < 0) {
        error = ErrorText(errno);
        return false;
    }
    target[static_cast<std::size_t>(n)] = 0;
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode) || ::unlink(to.c_str()) != 0) {
            error = ErrorText(S_ISDIR(st.st_mode) ? EISDIR : errno);
            return false;
        }
    }
    if (::symlink(target.data(), to.c_str()) == 0) return true;
    error = ErrorText(errno);
    return false;
}

bool RemoveEntry(const std::string& path, std::string& error) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
        error = ErrorText(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);  // the read-only attribute cleared first
        if (::rmdir(path.c_str()) == 0) return true;
    } else if (::unlink(path.c_str()) == 0) {
        return true;
    }
    error = ErrorText(errno);
    return false;
}

std::size_t MaxNameLength() { return NAME_MAX; }
std::size_t MaxPathLength() { return PATH_MAX - 1; }

#else  // _WIN32: the same through std::filesystem

EntryInfo ReadEntry(const std::string& path) {
    EntryInfo info;
    std::error_code ec;
    const fs::path p = Native(path);
    const fs::file_status ls = fs::symlink_status(p, ec);
    if (ec || !fs::exists(ls)) return info;
    info.link = fs::is_symlink(ls);
    const fs::file_status s = fs::status(p, ec);
    if (ec || !fs::exists(s)) {
        info.type = EntryType::File;
        return info;
    }
    info.type = fs::is_directory(s) ? EntryType::Folder : fs::is_regular_file(s) ? EntryType::File : EntryType::Special;
    info.statOk = true;
    if (info.type == EntryType::File) info.size = fs::file_size(p, ec);
    info.mtime = fs::last_write_time(p, ec).time_since_epoch().count();
    info.id.key = fs::canonical(p, ec).u8string();
    return info;
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(Native(path), ec));
}

bool ListFolder(const std::string& folder, const std::function<void(const std::string& name)>& entry) {
    std::error_code ec;
    fs::directory_iterator it(Native(folder), ec);
    if (ec) return false;
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(ec)) names.push_back(it->path().filename().u8string());
    for (const std::string& n : names) entry(n);
    return true;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(Native(a), Native(b), ec);
}

bool CreateNewFile(const std::string& path, const std::string& bytes, std::string& error) {
    if (Exists(path)) {
        error = ErrorText(EEXIST);
        return false;
    }
    std::ofstream out(Native(path), std::ios::binary);
    if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
        error = ErrorText(errno ? errno : EIO);
        return false;
    }
    return true;
}

bool CreateFolder(const std::string& path, std::string& error) {
    std::error_code ec;
    if (fs::create_directory(Native(path), ec)) return true;
    error = ec ? ec.message() : ErrorText(EEXIST);
    return false;
}

bool RenameNoReplace(const std::string& from, const std::string& to, std::string& error) {
    if (Exists(to) && !SameFile(from, to)) {
        error = ErrorText(EEXIST);
        return false;
    }
    std::error_code ec;
    fs::rename(Native(from), Native(to), ec);
    if (ec) error = ec.message();
    return !ec;
}

bool CopyFileOver(const std::string& from, const std::string& to, std::string& error) {
    std::error_code ec;
    if (!fs::is_regular_file(Native(from), ec)) {
        error = ErrorText(EINVAL);
        return false;
    }
    fs::permissions(Native(to), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::copy_file(Native(from), Native(to), fs::copy_options::overwrite_existing, ec);
    if (ec) error = ec.message();
    return !ec;
}

bool CopyLink(const std::string& from, const std::string& to, std::string& error) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(Native(from), ec);
    if (!ec) fs::remove(Native(to), ec);
    if (!ec) fs::create_symlink(target, Native(to), ec);
    if (ec) error = ec.message();
    return !ec;
}

bool RemoveEntry(const std::string& path, std::string& error) {
    std::error_code ec;
    fs::permissions(Native(path), fs::perms::owner_write, fs::perm_options::add | fs::perm_options::nofollow, ec);
    if (fs::remove(Native(path), ec)) return true;
    error = ec ? ec.message() : ErrorText(ENOENT);
    return false;
}

std::size_t MaxNameLength() { return 255; }
std::size_t MaxPathLength() { return 32767; }

#endif

bool ReadWholeFile(const std::string& path, std::string& bytes) {
#ifdef _WIN32
    std::ifstream in(Native(path), std::ios::binary);
#else
    std::ifstream in(path, std::ios::binary);
#endif
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool RelativeTo(const std::string& root, const std::string& path, std::string& relative) {
    auto lexical = [](const std::string& base, const std::string& p, std::string& out) {
        if (p == base) {
            out.clear();
            return true;
        }
        if (p.size() > base.size() && p.compare(0, base.size(), base) == 0 &&
            (IsSep(p[base.size()]) || (!base.empty() && IsSep(base.back())))) {
            std::size_t i = base.size();
            while (i < p.size() && IsSep(p[i])) ++i;
            out = p.substr(i);
            return true;
        }
        return false;
    };
    const bool absolute = !path.empty() && (IsSep(path[0]) || (path.size() > 1 && path[1] == ':'));
    if (!absolute) {
        relative = path;
        while (relative.size() >= 2 && relative[0] == '.' && IsSep(relative[1])) relative.erase(0, 2);
        return true;
    }
    if (lexical(root, path, relative)) return true;
    // Either side may be spelled through links: compare the resolved forms.
    std::error_code ec1, ec2;
#ifdef _WIN32
    const std::string r = fs::weakly_canonical(Native(root), ec1).u8string();
    const std::string p = fs::weakly_canonical(Native(path), ec2).u8string();
#else
    const std::string r = fs::weakly_canonical(root, ec1).string();
    const std::string p = fs::weakly_canonical(path, ec2).string();
#endif
    return !ec1 && !ec2 && lexical(r, p, relative);
}

}  // namespace tarnwell
