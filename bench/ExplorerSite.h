// The site the explorer benchmarks fill: 20,000 files in 2,000 folders under the temporary folder,
// made once and kept for later runs.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const char* const kExtensions[] = {".asp", ".htm", ".html", ".css", ".js", ".gif", ".jpg", ".inc", ".txt", ""};

// 50 folders of 39 folders each (2,000 folders), ten files in each folder (20,000 files). Made once.
inline const std::string& Site() {
    static const std::string root = [] {
        const fs::path r = fs::temp_directory_path() / "tarnwell-explorer-bench-20000";
        if (fs::exists(r / "done")) return r.string();
        fs::remove_all(r);
        int n = 0;
        auto files = [&](const fs::path& folder) {
            for (int f = 0; f < 10; ++f, ++n)
                std::ofstream(folder / ("page" + std::to_string(n) + kExtensions[n % 10])) << std::string(n % 97, 'x');
        };
        for (int a = 0; a < 50; ++a) {
            const fs::path top = r / ("section" + std::to_string(a));
            fs::create_directories(top);
            files(top);
            for (int b = 0; b < 39; ++b) {
                const fs::path sub = top / ("part" + std::to_string(b));
                fs::create_directories(sub);
                files(sub);
            }
        }
        std::ofstream(r / "done.twp");
        std::ofstream(r / "done");
        return r.string();
    }();
    return root;
}

}  // namespace
