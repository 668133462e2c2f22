// The outline store and the include walk.
#include "lang/OutlineStore.h"

#include <filesystem>
#include <set>
#include <vector>

namespace tarnwell {

namespace {

std::string NormalKey(const std::string& key) {
#ifdef _WIN32
    std::string out = key;
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
#else
    return key;
#endif
}

bool IsFileOnDisk(const std::string& path) {
    std::error_code ec;
    auto status = std::filesystem::status(std::filesystem::path(std::u8string(path.begin(), path.end())), ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

bool IsAvailable(const OutlineStore& store, const std::string& path) {
    if (const OutlineSource* s = store.Find(path); s && s->OpenText()) return true;
    return store.LookupOpenText(path) != nullptr || IsFileOnDisk(path);
}

}  // namespace

bool SameDocumentKey(const std::string& a, const std::string& b) { return NormalKey(a) == NormalKey(b); }

std::string NormalDocumentKey(const std::string& key) { return NormalKey(key); }

OutlineSource* OutlineStore::Find(const std::string& key) const {
    auto it = sources_.find(NormalKey(key));
    return it == sources_.end() ? nullptr : it->second.get();
}

OutlineSource& OutlineStore::GetOrCreate(const std::string& key) {
    auto& slot = sources_[NormalKey(key)];
    if (!slot) slot = std::make_unique<OutlineSource>(key, this);
    return *slot;
}

bool OutlineStore::Move(const std::string& oldKey, const std::string& newKey) {
    auto it = sources_.find(NormalKey(oldKey));
    if (it == sources_.end()) return false;
    std::unique_ptr<OutlineSource> source = std::move(it->second);
    sources_.erase(it);
    source->MarkChanged();
    source->SetPath(newKey);
    sources_[NormalKey(newKey)] = std::move(source);
    return true;
}

bool OutlineStore::Remove(const std::string& key) { return sources_.erase(NormalKey(key)) > 0; }

bool WalkIncludes(OutlineStore& store, OutlineSource& from, const std::string& startPath, const IncludeVisitor& visit) {
    struct Frame {
        const ScriptOutline* outline;
        size_t next;
    };
    std::set<std::string> visited{NormalKey(from.Path())};
    std::vector<Frame> stack{{&from.Outline(), 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next >= frame.outline->includes.size()) {
            stack.pop_back();
            continue;
        }
        const std::string path = IncludePath(*frame.outline, frame.next++);
        if (path.empty()) continue;
        if (SameDocumentKey(path, startPath)) {
            stack.pop_back();  // a file including the starting file: the rest of its includes is not walked
            continue;
        }
        if (!visited.insert(NormalKey(path)).second) continue;
        if (!IsAvailable(store, path)) continue;
        OutlineSource& included = store.GetOrCreate(path);
        if (included.NeedsRebuild()) RebuildOutline(included.Outline());
        if (visit(included)) return true;
        stack.push_back({&included.Outline(), 0});
    }
    return false;
}

}  // namespace tarnwell
