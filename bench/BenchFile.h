// A generated input file in the temporary folder: written on first use, removed when the benchmark
// program ends.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>
#include <utility>

class BenchFile {
public:
    BenchFile(std::string name, std::function<std::string()> make) : name_(std::move(name)), make_(std::move(make)) {}
    ~BenchFile() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove(path_, ec);
    }
    BenchFile(const BenchFile&) = delete;
    BenchFile& operator=(const BenchFile&) = delete;

    const std::filesystem::path& Path() {
        if (path_.empty()) {
            const auto p = std::filesystem::temp_directory_path() / name_;
            std::ofstream(p, std::ios::binary) << make_();
            path_ = p;
        }
        return path_;
    }

private:
    std::string name_;
    std::function<std::string()> make_;
    std::filesystem::path path_;
};
