// The outline store: one OutlineSource per document key (a full path, or an untitled document's id),
// created on demand and owned by the store; and the walk over the files a page includes.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "lang/ScriptOutline.h"

namespace tarnwell {

// Keys and paths name the same file: exactly on POSIX systems, ignoring ASCII case on Windows.
bool SameDocumentKey(const std::string& a, const std::string& b);
// The form under which a key is stored: as given on POSIX systems, ASCII upper case on Windows.
std::string NormalDocumentKey(const std::string& key);

class OutlineStore {
public:
    // Tells the store where the text of a file open in an editor is (or nullptr when it is not open).
    using OpenTextLookup = std::function<const LineSource*(const std::string& path)>;

    OutlineStore() = default;
    OutlineStore(const OutlineStore&) = delete;
    OutlineStore& operator=(const OutlineStore&) = delete;

    OutlineSource* Find(const std::string& key) const;
    // The source for key; a new one (empty outline, needing a rebuild, path = key) when there is none.
    OutlineSource& GetOrCreate(const std::string& key);
    // A rename, or an untitled document saved under a path: the entry under oldKey is marked changed,
    // takes newKey as its path and moves to newKey (replacing an entry already there). False when no
    // entry is kept under oldKey.
    bool Move(const std::string& oldKey, const std::string& newKey);
    bool Remove(const std::string& key);
    void Clear() { sources_.clear(); }
    size_t Size() const { return sources_.size(); }

    // Tells the store the folder "virtual" include names are taken from (the project folder; empty:
    // none), asked afresh at every use.
    using SiteRootLookup = std::function<std::string()>;
    void SetSiteRootLookup(SiteRootLookup lookup) { siteRootLookup_ = std::move(lookup); }
    void SetSiteRoot(const std::string& folder) {
        siteRootLookup_ = [folder] { return folder; };
    }
    std::string SiteRoot() const { return siteRootLookup_ ? siteRootLookup_() : std::string(); }

    void SetOpenTextLookup(OpenTextLookup lookup) { lookup_ = std::move(lookup); }
    const LineSource* LookupOpenText(const std::string& path) const { return lookup_ ? lookup_(path) : nullptr; }

private:
    std::map<std::string, std::unique_ptr<OutlineSource>> sources_;  // by normalized key
    OpenTextLookup lookup_;
    SiteRootLookup siteRootLookup_;
};

// Called for each included file in walk order, its outline rebuilt first when it needs it. Return true
// to stop the walk (a hit). The visitor must not remove entries from the store.
using IncludeVisitor = std::function<bool(OutlineSource& included)>;

// Walks the files that `from` includes, depth first in include order (each include, then what it
// includes, then the next include). Includes with an empty path, and files neither open nor on disk,
// are skipped. An include naming startPath (the file the walk began at) ends the walk over the
// including file's remaining includes. Every other file is visited at most once, so files that include
// each other end the walk too. Returns true when the visitor stopped it.
bool WalkIncludes(OutlineStore& store, OutlineSource& from, const std::string& startPath, const IncludeVisitor& visit);

}  // namespace tarnwell
