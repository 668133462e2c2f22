// The file reader with line-end detection: any bytes load, and saving without an edit gives them back
// exactly; the parsers' splitter cuts the same lines.
#include "fuzz/FuzzCheck.h"
#include "lang/LineSource.h"
#include "text/CCrystalTextBuffer.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// A folder of this process's own for the two files, removed when the run ends.
struct ScratchDir {
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("tarnwell-fuzz-" + std::to_string(::getpid()));
    ScratchDir() { std::filesystem::create_directories(path); }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

std::filesystem::path ScratchFile(const char* name) {
    static const ScratchDir dir;
    return dir.path / name;
}

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto in = ScratchFile("in.asp");
    const auto out = ScratchFile("out.asp");
    { std::ofstream(in, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(size)); }

    tarnwell::CCrystalTextBuffer buffer;
    buffer.SetFlushOnSave(false);  // the round trip is the point here, not the disk
    FUZZ_CHECK(buffer.ReadFromFile(in));
    FUZZ_CHECK(buffer.LineCount() >= 1);
    FUZZ_CHECK(buffer.WriteToFile(out));
    FUZZ_CHECK(ReadAll(out) == bytes);

    FUZZ_CHECK(tarnwell::SplitFileLines(bytes).size() == static_cast<std::size_t>(buffer.LineCount()));
    return 0;
}
