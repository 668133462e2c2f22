// tarnwell-tool tree: the project explorer's tree of a folder, sorted, and the items Find File visits.
#include "tools/Command.h"

#include "project/ExplorerTree.h"
#include "project/FindFile.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using tarnwell::ExplorerItem;

int Usage() {
    std::fprintf(stderr, "usage: tarnwell-tool tree FOLDER [--sort name|ext|size|time] [--desc] [--find NAME]...\n");
    return 2;
}

std::string ItemPath(const ExplorerItem& item) {
    std::string p = tarnwell::ExplorerTree::RelativePath(&item);
    if (item.IsFolder()) p += '/';
    return p;
}

int RunTree(const std::vector<std::string>& args) {
    std::string folder;
    tarnwell::ExplorerSortKey key = tarnwell::ExplorerSortKey::Name;
    bool ascending = true;
    std::vector<std::string> finds;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--sort" && i + 1 < args.size()) {
            const std::string& k = args[++i];
            if (k == "name") key = tarnwell::ExplorerSortKey::Name;
            else if (k == "ext") key = tarnwell::ExplorerSortKey::Extension;
            else if (k == "size") key = tarnwell::ExplorerSortKey::Size;
            else if (k == "time") key = tarnwell::ExplorerSortKey::Time;
            else return Usage();
        } else if (a == "--desc") {
            ascending = false;
        } else if (a == "--find" && i + 1 < args.size()) {
            finds.push_back(args[++i]);
        } else if (!a.empty() && a[0] != '-' && folder.empty()) {
            folder = a;
        } else {
            return Usage();
        }
    }
    if (folder.empty()) return Usage();

    tarnwell::ExplorerTree tree;
    tree.SetSort(key, ascending);
    if (!tree.Fill(folder)) {
        std::fprintf(stderr, "tarnwell-tool tree: \"%s\" is not a folder that can be read\n", folder.c_str());
        return 1;
    }
    const std::string& root = tree.RootFolder();
    const std::size_t slash = root.find_last_of("/\\");
    std::string out = "{\"root\":";
    tool::AppendJsonString(out, slash == std::string::npos || root.size() == 1 ? root : root.substr(slash + 1));
    out += ",\"items\":[";
    bool first = true;
    tarnwell::ExplorerTree::Walk(tree.Root(), [&](const ExplorerItem& item) {
        int depth = 0;
        for (const ExplorerItem* p = item.parent; p && p->parent; p = p->parent) ++depth;
        out += first ? "[" : ",[";
        first = false;
        tool::AppendJsonString(out, ItemPath(item));
        out += "," + std::to_string(depth) + "]";
        return true;
    });
    out += "]}\n";

    // Find, then Find Next until the walk comes back to its first match (at most 20 visits).
    for (const std::string& name : finds) {
        tarnwell::FileNameMatcher matcher(name);
        out += "{\"find\":";
        tool::AppendJsonString(out, name);
        out += ",\"visits\":[";
        const ExplorerItem* firstMatch = tarnwell::FindNextItem(tree.Root(), nullptr, matcher);
        const ExplorerItem* item = firstMatch;
        for (int n = 0; item && n < 20; ++n) {
            if (n > 0) out += ",";
            tool::AppendJsonString(out, ItemPath(*item));
            item = tarnwell::FindNextWrapping(tree.Root(), item, matcher);
            if (item == firstMatch) break;
        }
        out += "]}\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

tool::Registration reg{{"tree", "tree FOLDER [--sort name|ext|size|time] [--desc] [--find NAME]...", &RunTree}};

}  // namespace
