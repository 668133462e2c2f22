#include "project/ExplorerTree.h"

#include "project/FileSystem.h"

#include <algorithm>
#include <cstring>

namespace tarnwell {

namespace {

unsigned char Lower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// Splits "a/b/c" (either separator) into its non-empty components.
std::vector<std::string> Components(std::string_view path) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < path.size()) {
        std::size_t j = path.find_first_of("/\\", i);
        if (j == std::string_view::npos) j = path.size();
        if (j > i) out.emplace_back(path.substr(i, j - i));
        i = j + 1;
    }
    return out;
}

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = Lower(static_cast<unsigned char>(a[i]));
        const unsigned char y = Lower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string_view ExtensionOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

// The folders from the root down to the one being filled, by identity: a link back into one of them
// would make the walk endless.
struct ExplorerTree::Chain {
    std::vector<FileId> ids;
    bool Contains(const FileId& id) const { return std::find(ids.begin(), ids.end(), id) != ids.end(); }
};

ExplorerTree::ExplorerTree() = default;
ExplorerTree::~ExplorerTree() = default;

bool ExplorerTree::IsShownFile(std::string_view name) {
    if (name.size() >= 4 && CompareNoCase(name.substr(0, 4), "~PVW") == 0) return false;
    return CompareNoCase(ExtensionOf(name), ".twp") != 0;
}

void ExplorerTree::Clear() {
    if (observer_) observer_->AboutToReset();
    root_.reset();
    rootFolder_.clear();
    count_ = 0;
    if (observer_) observer_->Reset();
}

bool ExplorerTree::Fill(const std::string& folder, const Step& step) {
    if (observer_) observer_->AboutToReset();
    root_.reset();
    rootFolder_.clear();
    count_ = 0;
    std::string path = folder;
    while (path.size() > 1 && (path.back() == ' ' || path.back() == '/' || path.back() == '\\')) path.pop_back();
    const EntryInfo info = ReadEntry(path);
    if (info.type == EntryType::Folder) {
        root_ = std::make_unique<ExplorerItem>();
        root_->name = path;
        root_->kind = ExplorerKind::Root;
        root_->statOk = true;
        root_->mtime = info.mtime;
        rootFolder_ = path;
        inserted_ = 0;
        step_ = step ? &step : nullptr;
        Chain chain;
        chain.ids.push_back(info.id);
        FillFolder(root_.get(), path, chain);
        step_ = nullptr;
        count_ = CountOf(root_.get());
        SortChildren(root_.get(), true);
    }
    if (observer_) observer_->Reset();
    return root_ != nullptr;
}

void ExplorerTree::FillFolder(ExplorerItem* folder, const std::string& path, Chain& chain) {
    ListFolder(path, [&](const std::string& name) {
        if (auto item = ReadItem(folder, path, name, chain)) Attach(folder, std::move(item));
    });
}

std::unique_ptr<ExplorerItem> ExplorerTree::ReadItem(ExplorerItem* parent, const std::string& parentPath,
                                                     const std::string& name, Chain& chain) {
    const std::string path = JoinPath(parentPath, name);
    const EntryInfo info = ReadEntry(path);
    if (info.type == EntryType::Missing) return nullptr;
    if (info.type != EntryType::Folder && !IsShownFile(name)) return nullptr;
    if (step_ && inserted_ % 10 == 0) (*step_)();
    ++inserted_;

    auto item = std::make_unique<ExplorerItem>();
    item->name = name;
    item->parent = parent;
    item->link = info.link;
    item->statOk = info.statOk;
    item->size = info.size;
    item->mtime = info.mtime;
    switch (info.type) {
    case EntryType::Folder: item->kind = ExplorerKind::Folder; break;
    case EntryType::File: item->kind = ExplorerKind::File; break;
    default: item->kind = ExplorerKind::Special; break;
    }
    if (item->kind == ExplorerKind::Folder && chain.Contains(info.id)) item->kind = ExplorerKind::LoopLink;
    if (item->kind == ExplorerKind::Folder) {
        chain.ids.push_back(info.id);
        FillFolder(item.get(), path, chain);
        chain.ids.pop_back();
    }
    return item;
}

ExplorerItem* ExplorerTree::Attach(ExplorerItem* parent, std::unique_ptr<ExplorerItem> item) {
    item->parent = parent;
    item->row = static_cast<int>(parent->children.size());
    ExplorerItem* raw = item.get();
    parent->children.push_back(std::move(item));
    return raw;
}

void ExplorerTree::ChainOf(const ExplorerItem* folder, Chain& chain) const {
    std::vector<const ExplorerItem*> up;
    for (const ExplorerItem* p = folder; p; p = p->parent) up.push_back(p);
    for (auto it = up.rbegin(); it != up.rend(); ++it) chain.ids.push_back(ReadEntry(FullPath(*it)).id);
}

ExplorerItem* ExplorerTree::Insert(ExplorerItem* parent, const std::string& name) {
    if (!parent || !parent->IsFolder() || name.empty()) return nullptr;
    if (ExplorerItem* existing = Child(parent, name)) return existing;
    Chain chain;
    ChainOf(parent, chain);
    auto item = ReadItem(parent, FullPath(parent), name, chain);
    if (!item) return nullptr;
    SortChildren(item.get(), true);
    const int row = static_cast<int>(parent->children.size());
    if (observer_) observer_->AboutToInsert(parent, row, 1);
    ExplorerItem* raw = Attach(parent, std::move(item));
    count_ += CountOf(raw);
    if (observer_) observer_->Inserted();
    return raw;
}

void ExplorerTree::Remove(ExplorerItem* item) {
    if (!item || !item->parent) return;
    if (observer_) observer_->AboutToRemove(item);
    ExplorerItem* parent = item->parent;
    const std::size_t row = static_cast<std::size_t>(item->row);
    count_ -= CountOf(item);
    parent->children.erase(parent->children.begin() + static_cast<std::ptrdiff_t>(row));
    Renumber(parent, row);
    if (observer_) observer_->Removed();
}

void ExplorerTree::Rename(ExplorerItem* item, const std::string& newName) {
    if (!item || !item->parent) return;
    item->name = newName;
    const EntryInfo info = ReadEntry(FullPath(item));
    item->statOk = info.statOk;
    item->size = info.size;
    item->mtime = info.mtime;
    if (observer_) observer_->Changed(item);
}

void ExplorerTree::Refresh(ExplorerItem* folder) {
    if (!folder || !folder->IsFolder()) return;
    Chain chain;
    ChainOf(folder->parent, chain);
    RefreshFolder(folder, chain);
    Sort(folder, true);
}

void ExplorerTree::RefreshFolder(ExplorerItem* folder, Chain& chain) {
    const std::string path = FullPath(folder);
    const EntryInfo self = ReadEntry(path);
    chain.ids.push_back(self.id);
    std::vector<std::string> names;
    ListFolder(path, [&](const std::string& name) { names.push_back(name); });
    // Items whose entry is gone, or is now of another kind, leave the tree.
    for (std::size_t i = folder->children.size(); i-- > 0;) {
        ExplorerItem* c = folder->children[i].get();
        const EntryInfo info = ReadEntry(JoinPath(path, c->name));
        const bool folderNow = info.type == EntryType::Folder && !chain.Contains(info.id);
        const bool gone = info.type == EntryType::Missing ||
                          (info.type != EntryType::Folder && !IsShownFile(c->name)) ||
                          folderNow != (c->kind == ExplorerKind::Folder);
        if (gone) {
            Remove(c);
            continue;
        }
        c->statOk = info.statOk;
        c->size = info.size;
        c->mtime = info.mtime;
        if (c->kind == ExplorerKind::Folder) RefreshFolder(c, chain);
    }
    std::vector<std::unique_ptr<ExplorerItem>> added;
    for (const std::string& name : names) {
        if (Child(folder, name)) continue;
        if (auto item = ReadItem(folder, path, name, chain)) {
            SortChildren(item.get(), true);
            added.push_back(std::move(item));
        }
    }
    chain.ids.pop_back();
    if (added.empty()) return;
    if (observer_) observer_->AboutToInsert(folder, static_cast<int>(folder->children.size()), static_cast<int>(added.size()));
    for (auto& item : added) {
        ExplorerItem* raw = Attach(folder, std::move(item));
        count_ += CountOf(raw);
    }
    if (observer_) observer_->Inserted();
}

std::size_t ExplorerTree::CountOf(const ExplorerItem* item) const {
    std::size_t n = item->parent ? 1 : 0;
    for (const auto& c : item->children) n += CountOf(c.get());
    return n;
}

void ExplorerTree::Renumber(ExplorerItem* parent, std::size_t from) {
    for (std::size_t i = from; i < parent->children.size(); ++i) parent->children[i]->row = static_cast<int>(i);
}

std::string ExplorerTree::FullPath(const ExplorerItem* item) const {
    if (!item) return {};
    if (!item->parent) return rootFolder_;
    return JoinPath(FullPath(item->parent), item->name);
}

std::string ExplorerTree::RelativePath(const ExplorerItem* item) {
    std::string out;
    for (const ExplorerItem* p = item; p && p->parent; p = p->parent) out = out.empty() ? p->name : p->name + "/" + out;
    return out;
}

ExplorerItem* ExplorerTree::Child(const ExplorerItem* parent, std::string_view name) {
    if (!parent) return nullptr;
    for (const auto& c : parent->children)
        if (c->name == name) return c.get();
    return nullptr;
}

ExplorerItem* ExplorerTree::Locate(const std::string& path, bool createMissing) {
    if (!root_) return nullptr;
    std::string relative;
    if (!RelativeTo(rootFolder_, path, relative)) return nullptr;
    ExplorerItem* item = root_.get();
    for (const std::string& part : Components(relative)) {
        if (part == ".") continue;
        if (part == "..") return nullptr;
        ExplorerItem* child = Child(item, part);
        if (!child) {
            if (!createMissing || !item->IsFolder()) return nullptr;
            child = Insert(item, part);
            if (!child) return nullptr;
            Sort(item, false);
        }
        item = child;
    }
    return item == root_.get() ? nullptr : item;
}

void ExplorerTree::SetSort(ExplorerSortKey key, bool ascending) {
    key_ = static_cast<int>(key) > 3 || static_cast<int>(key) < 0 ? ExplorerSortKey::Time : key;
    ascending_ = ascending;
}

int ExplorerTree::Compare(const ExplorerItem& a, const ExplorerItem& b, ExplorerSortKey key, bool ascending) {
    int r = 0;
    const bool af = a.IsFolder(), bf = b.IsFolder();
    if (af != bf) {
        r = af ? -1 : 1;
    } else if (!af) {
        switch (key) {
        case ExplorerSortKey::Name: break;
        case ExplorerSortKey::Extension: {
            const std::string_view ea = ExtensionOf(a.name), eb = ExtensionOf(b.name);
            if (!ea.empty() && !eb.empty()) {
                const int c = ea.substr(1).compare(eb.substr(1));
                r = c < 0 ? -1 : (c > 0 ? 1 : 0);
            } else if (!ea.empty() || !eb.empty()) {
                r = ea.empty() ? -1 : 1;  // a name without "." first
            }
            break;
        }
        case ExplorerSortKey::Size:
            if (a.statOk && b.statOk && a.size != b.size) r = a.size < b.size ? -1 : 1;
            break;
        default:
            if (a.statOk && b.statOk && a.mtime != b.mtime) r = a.mtime < b.mtime ? -1 : 1;
            break;
        }
    }
    if (r == 0) r = CompareNoCase(a.name, b.name);
    if (r == 0) {
        const int c = a.name.compare(b.name);
        r = c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return ascending ? r : -r;
}

void ExplorerTree::Sort(ExplorerItem* item, bool recursive) {
    if (!item) return;
    if (observer_) observer_->AboutToReorder();
    SortChildren(item, recursive);
    if (observer_) observer_->Reordered();
}

void ExplorerTree::SortChildren(ExplorerItem* item, bool recursive) {
    const ExplorerSortKey key = key_;
    const bool ascending = ascending_;
    std::sort(item->children.begin(), item->children.end(),
              [key, ascending](const std::unique_ptr<ExplorerItem>& a, const std::unique_ptr<ExplorerItem>& b) {
                  return Compare(*a, *b, key, ascending) < 0;
              });
    Renumber(item);
    if (recursive)
        for (const auto& c : item->children)
            if (c->kind == ExplorerKind::Folder) SortChildren(c.get(), true);
}

void ExplorerTree::Walk(const ExplorerItem* from, const std::function<bool(const ExplorerItem&)>& visit) {
    if (!from) return;
    // An explicit stack of (folder, next child index): deep trees cannot exhaust the call stack.
    std::vector<std::pair<const ExplorerItem*, std::size_t>> stack{{from, 0}};
    while (!stack.empty()) {
        auto& [folder, next] = stack.back();
        if (next >= folder->children.size()) {
            stack.pop_back();
            continue;
        }
        const ExplorerItem* item = folder->children[next++].get();
        if (!visit(*item)) return;
        if (!item->children.empty()) stack.emplace_back(item, 0);
    }
}

}  // namespace tarnwell
