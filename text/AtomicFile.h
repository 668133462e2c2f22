// Writing a file so that it replaces another one whole: the pieces the saves of texts, project files
// and recovery files share. A new file is created exclusively beside its target under a temporary name,
// written, given the target's permission bits, flushed and renamed over the target.
#pragma once

#include <cstddef>
#include <filesystem>
#include <system_error>

#include "text/CCrystalTextBuffer.h"

namespace tarnwell {

// True when the test hook of SetSaveFaultHook makes this step fail; errno is then set to the fault.
bool SaveFaultInjected(SaveStep step);

// The low-level file a save writes: created exclusively, written in large blocks; errno tells why a
// step failed.
class OutFile {
public:
    // `testFaults`: the test hook of SetSaveFaultHook may make its steps fail.
    explicit OutFile(bool testFaults = false) : testFaults_(testFaults) {}
    OutFile(const OutFile&) = delete;
    OutFile& operator=(const OutFile&) = delete;
    ~OutFile() { Close(); }

    bool CreateNew(const std::filesystem::path& path);
    bool Write(const char* data, size_t size);
    bool Flush();
    // Gives the file the permission bits (and, where allowed, the owner) of the file it replaces, or
    // the default bits of a new file.
    void CopyModeFrom(const std::filesystem::path& original, bool originalExists);
    bool Close();

private:
    bool testFaults_;
    int fd_ = -1;
};

// Follows symbolic links to the file they finally name (which need not exist yet).
bool ResolveTarget(const std::filesystem::path& path, std::filesystem::path& target, std::error_code& ec);
// A fresh short name in `folder` for the temporary file (short whatever the target's length).
std::filesystem::path TemporaryName(const std::filesystem::path& folder);
// Makes a rename in `folder` reach the disk.
void SyncFolder(const std::filesystem::path& folder);

}  // namespace tarnwell
