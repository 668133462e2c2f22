// File stamps from the system's file status.
#include "text/FileStamp.h"

#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tarnwell {

FileStamp StampFile(const std::string& path) {
    FileStamp s;
#ifndef _WIN32
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return s;
    s.exists = true;
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
#else
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path p(std::u8string(path.begin(), path.end()));
    if (!fs::is_regular_file(p, ec) || ec) return s;
    s.exists = true;
    s.size = fs::file_size(p, ec);
    s.modifiedNs = static_cast<std::int64_t>(fs::last_write_time(p, ec).time_since_epoch().count());
#endif
    return s;
}

}  // namespace tarnwell
