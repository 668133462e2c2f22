// Test helper: a temporary folder of real files for the project engine tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace tarnwell::test {

class TempFolder {
public:
    explicit TempFolder(const std::string& tag = "tw-project") {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / (tag + "-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string Str(const std::string& name = {}) const { return (name.empty() ? path_ : path_ / name).string(); }
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const {
        std::filesystem::path p = path_ / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    std::filesystem::path path_;
};

}  // namespace tarnwell::test
