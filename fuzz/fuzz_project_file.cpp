// The project (initialization) file reader: any bytes read, every lookup answers, and an edit made
// through it reads back while every other line stays as it was.
#include "fuzz/FuzzCheck.h"
#include "project/IniFile.h"
#include "project/ProjectFile.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    tarnwell::IniFile file(bytes);
    tarnwell::ReadProjectHeader(file);
    const auto remembered = tarnwell::ReadRememberedFiles(file, "/nonexistent-project");
    FUZZ_CHECK(remembered.entries.size() <= 100000);
    file.LargestNumberedKey("Open Files", "File ");

    FUZZ_CHECK(file.Set("Project", "Web Path", "http://localhost/site"));
    FUZZ_CHECK(file.Get("Project", "Web Path") == std::string("http://localhost/site"));
    FUZZ_CHECK(file.Set("Open Files", "File 0", "\"a.asp\",0,0"));
    FUZZ_CHECK(file.GetString("Open Files", "File 0") == "\"a.asp\",0,0");
    FUZZ_CHECK(file.DeleteKey("Open Files", "File 0"));  // a hostile file may hold the key again below
    return 0;
}
