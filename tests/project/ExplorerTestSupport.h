// Test helper: a temporary folder tree built from a list of relative paths ("dir/" makes a folder).
#pragma once

#include "project/ExplorerTree.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace tarnwell::test {

class TempTree {
public:
    explicit TempTree(const std::vector<std::string>& entries = {}) {
        std::random_device rd;
        root_ = std::filesystem::temp_directory_path() / ("tarnwell-explorer-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(root_);
        for (const std::string& e : entries) Add(e);
    }
    ~TempTree() {
        std::error_code ec;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(root_, ec);
    }
    // "a/b/" makes folders; "a/b.asp" a file holding `bytes`.
    void Add(const std::string& entry, const std::string& bytes = "x") const {
        const auto p = root_ / entry;
        if (!entry.empty() && entry.back() == '/') {
            std::filesystem::create_directories(p);
        } else {
            std::filesystem::create_directories(p.parent_path());
            std::ofstream(p, std::ios::binary) << bytes;
        }
    }
    std::string Path(const std::string& relative = {}) const {
        return relative.empty() ? root_.string() : (root_ / relative).string();
    }
    bool Has(const std::string& relative) const { return std::filesystem::exists(std::filesystem::symlink_status(root_ / relative)); }
    std::string Read(const std::string& relative) const {
        std::ifstream in(root_ / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path root_;
};

// The tree's items in display order as "path" (folders end in "/"), like the tool prints them.
inline std::vector<std::string> Listing(const ExplorerTree& tree, const ExplorerItem* from = nullptr) {
    std::vector<std::string> out;
    ExplorerTree::Walk(from ? from : tree.Root(), [&](const ExplorerItem& item) {
        out.push_back(ExplorerTree::RelativePath(&item) + (item.IsFolder() ? "/" : ""));
        return true;
    });
    return out;
}

}  // namespace tarnwell::test
