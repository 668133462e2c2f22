// Recovery files: the unsaved text of a modified document, kept on disk while the editor runs so that
// a crash, a power cut or a kill loses no edit. One file per document, replaced atomically:
//     TARNWELL RECOVERY 1
//     key=value                  (one per line; "%", CR and LF in values written as %25 %0D %0A)
//     ...
//     text=<byte count>          then exactly that many bytes: the text with the document's line ends
// Reading accepts any bytes: a damaged or truncated file is refused as a whole, never half read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwell {

struct RecoveryRecord {
    std::string path;            // the document's file (UTF-8), empty for an untitled document
    std::string title;           // the title shown for it
    int lineEndMode = 0;         // the buffer's line-end mode
    std::string codePage;        // the document's code page name, empty when it has none of its own
    int cursorLine = 0;          // where the cursor was
    int cursorChar = 0;
    std::int64_t changedAt = 0;  // time of the last change, seconds since the epoch
    std::string text;            // the whole text, line ends included
};

std::string FormatRecoveryRecord(const RecoveryRecord& record);
// False when the bytes are not a whole recovery record.
bool ParseRecoveryRecord(std::string_view bytes, RecoveryRecord& record);

// Writes the record through a temporary file renamed over `file`. False, with the reason, on failure.
bool WriteRecoveryFile(const std::filesystem::path& file, const RecoveryRecord& record, std::string* error = nullptr);
bool ReadRecoveryFile(const std::filesystem::path& file, RecoveryRecord& record, std::string* error = nullptr);

}  // namespace tarnwell
