// Finding explorer items by name: the rule that turns a typed name into a pattern, and the walk that
// finds the next matching item after another in tree order, below a folder.
#pragma once

#include "lang/Regexx.h"

#include <string>
#include <string_view>

namespace tarnwell {

struct ExplorerItem;

// "." stands for itself; when the name holds "?" or "*" those are wildcards for one character and
// for any run; otherwise the name may stand anywhere in an item's name. The match starts at the
// name's first character and may end before its last. Other characters pass to the pattern as typed.
std::string FindFilePattern(std::string_view name);

class FileNameMatcher {
public:
    explicit FileNameMatcher(std::string_view name);
    // False for an empty name and for a pattern that does not compile.
    bool Valid() const { return valid_; }
    // Case-insensitive; a match that runs into the match limit counts as no match.
    bool Matches(std::string_view itemName) const;

private:
    std::string pattern_;
    mutable regexx::Regexx rx_;  // compiled once, reused for every name
    bool valid_ = false;
};

// The first item below `folder` (its descendants, in tree order) whose name matches and that comes
// after `after` in tree order; any item when `after` is null or not below `folder`. Null when none.
const ExplorerItem* FindNextItem(const ExplorerItem* folder, const ExplorerItem* after, const FileNameMatcher& m);

// Find Next as the dialog runs it: after `last`, and once more from the top when nothing follows it.
const ExplorerItem* FindNextWrapping(const ExplorerItem* folder, const ExplorerItem* last, const FileNameMatcher& m);

}  // namespace tarnwell
