#include "project/FindFile.h"

#include "project/ExplorerTree.h"

namespace tarnwell {

namespace {
// Bounds the work of one match, so that no typed name (".*.*.*.*x") can make the search hang.
constexpr const char* kLimits = "(*LIMIT_MATCH=200000)(*LIMIT_DEPTH=2000)";
constexpr unsigned kFlags = regexx::Regexx::IgnoreCase | regexx::Regexx::NoAtoms | regexx::Regexx::Study;
}  // namespace

std::string FindFilePattern(std::string_view name) {
    std::string escaped;
    for (char c : name) {
        if (c == '.')
            escaped += "\\.";
        else
            escaped += c;
    }
    std::string body;
    if (name.find_first_of("?*") != std::string_view::npos) {
        for (char c : escaped) {
            if (c == '?')
                body += ".{1}";
            else if (c == '*')
                body += ".*";
            else
                body += c;
        }
    } else {
        body = ".*" + escaped + ".*";
    }
    return "^" + body;
}

FileNameMatcher::FileNameMatcher(std::string_view name) {
    if (name.empty()) return;
    pattern_ = std::string(kLimits) + FindFilePattern(name);
    try {
        rx_.MatchOnce("", pattern_, kFlags);
        valid_ = true;
    } catch (const regexx::Regexx::CompileException&) {
        valid_ = false;
    }
}

bool FileNameMatcher::Matches(std::string_view itemName) const {
    if (!valid_) return false;
    try {
        return rx_.MatchOnce(itemName, pattern_, kFlags) > 0;
    } catch (const regexx::Regexx::Exception&) {
        return false;
    }
}

const ExplorerItem* FindNextItem(const ExplorerItem* folder, const ExplorerItem* after, const FileNameMatcher& m) {
    if (!folder || !m.Valid()) return nullptr;
    if (after) {
        bool below = false;
        for (const ExplorerItem* p = after->parent; p && !below; p = p->parent) below = p == folder;
        if (!below) after = nullptr;
    }
    bool passed = after == nullptr;
    const ExplorerItem* found = nullptr;
    ExplorerTree::Walk(folder, [&](const ExplorerItem& item) {
        if (!passed) {
            passed = &item == after;
            return true;
        }
        if (m.Matches(item.name)) {
            found = &item;
            return false;
        }
        return true;
    });
    return found;
}

const ExplorerItem* FindNextWrapping(const ExplorerItem* folder, const ExplorerItem* last, const FileNameMatcher& m) {
    const ExplorerItem* found = FindNextItem(folder, last, m);
    if (!found && last) found = FindNextItem(folder, nullptr, m);
    return found;
}

}  // namespace tarnwell
