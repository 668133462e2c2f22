// What the editor remembers of a file on disk: enough to tell that another program changed or deleted
// it since it was loaded or saved, and which file it is, so that a symbolic link or a second path to an
// open file reaches the document that is already open.
#pragma once

#include <cstdint>
#include <string>

namespace tarnwell {

struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;  // last modification, nanoseconds since the epoch
    std::uint64_t device = 0;     // device and inode (0 where the platform tells no identity)
    std::uint64_t inode = 0;

    // Size and modification time are the same (both missing counts as the same).
    bool SameState(const FileStamp& other) const {
        return exists == other.exists && (!exists || (size == other.size && modifiedNs == other.modifiedNs));
    }
    // Both name one existing file.
    bool SameFile(const FileStamp& other) const {
        return exists && other.exists && (device | inode) != 0 && device == other.device && inode == other.inode;
    }
};

// The stamp of the file `path` names (UTF-8), following symbolic links. Anything but a regular file (a
// folder, a device) counts as missing.
FileStamp StampFile(const std::string& path);

}  // namespace tarnwell
