// The recovery file reader: any bytes are refused or read whole, and what it reads writes back the same.
#include "app/RecoveryFile.h"
#include "fuzz/FuzzCheck.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tarnwell::RecoveryRecord record;
    if (!tarnwell::ParseRecoveryRecord(bytes, record)) return 0;
    tarnwell::RecoveryRecord again;
    FUZZ_CHECK(tarnwell::ParseRecoveryRecord(tarnwell::FormatRecoveryRecord(record), again));
    FUZZ_CHECK(again.text == record.text && again.path == record.path && again.title == record.title &&
               again.codePage == record.codePage && again.cursorLine == record.cursorLine);
    return 0;
}
