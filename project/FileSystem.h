// The file-system calls of the project explorer: reading an entry without opening it, listing a
// folder, joining and relating paths, and the operations that create, rename, copy and delete items
// without ever replacing what already exists unless asked to. Failures answer false and leave the
// system's text for the error in `error`.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tarnwell {

// The identity of a file: device and inode (on Windows the canonical path stands in).
struct FileId {
    std::uint64_t dev = 0;
    std::uint64_t ino = 0;
    std::string key;
    bool operator==(const FileId& o) const { return dev == o.dev && ino == o.ino && key == o.key; }
};

enum class EntryType { Missing, Folder, File, Special };

struct EntryInfo {
    EntryType type = EntryType::Missing;
    bool link = false;    // the entry is a symbolic link (type, size and time are its target's)
    bool statOk = false;  // size and time are known (false for a broken link)
    std::uint64_t size = 0;
    std::int64_t mtime = 0;  // nanoseconds since 1970
    FileId id;
};

// Reads what is at `path` from the directory entry and its inode only (lstat, then stat for a link).
// A broken link reads as a File whose size and time are unknown.
EntryInfo ReadEntry(const std::string& path);
// Whether anything, even a broken link, exists at `path`.
bool Exists(const std::string& path);

// A path separator of the platform ("/", and "\\" too on Windows).
inline bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// Calls `entry` with every name in the folder except "." and "..". False when it cannot be read.
bool ListFolder(const std::string& folder, const std::function<void(const std::string& name)>& entry);

std::string JoinPath(const std::string& folder, const std::string& name);
// The folder part of a path (everything before the last separator).
std::string ParentPath(const std::string& path);
std::string FileNameOf(const std::string& path);
// `path` relative to `root` ("" for the root itself), also when either is reached through links.
// A relative `path` is taken as relative to the root already. False when it lies outside.
bool RelativeTo(const std::string& root, const std::string& path, std::string& relative);

// The system's text for an error number ("No such file or directory").
std::string ErrorText(int error);

// Creates a file that did not exist with `bytes` as its content; never replaces an existing entry.
bool CreateNewFile(const std::string& path, const std::string& bytes, std::string& error);
bool CreateFolder(const std::string& path, std::string& error);
// Renames or moves `from` to `to`, refusing (EEXIST) when something already exists at `to`, unless
// it is the same file under another spelling of its name.
bool RenameNoReplace(const std::string& from, const std::string& to, std::string& error);
// Copies a regular file's bytes over `to` (created or truncated; a read-only target is made writable
// first). The target is written under a temporary name and put in place only when complete.
bool CopyFileOver(const std::string& from, const std::string& to, std::string& error);
// Makes `to` a symbolic link with the same target as the link `from` (replacing a file or link there).
bool CopyLink(const std::string& from, const std::string& to, std::string& error);
// Removes one entry: a link itself (never what it points to), a file, or an empty folder.
bool RemoveEntry(const std::string& path, std::string& error);
// Whether two paths name the same file (same device and inode).
bool SameFile(const std::string& a, const std::string& b);
// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Longest name and path the platform accepts, in bytes.
std::size_t MaxNameLength();
std::size_t MaxPathLength();

}  // namespace tarnwell
