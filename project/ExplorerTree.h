// The project explorer's tree of folders and files, without any widget: filled from a folder on disk
// (with the explorer's filter), sorted by a key, searched by path, and kept in step with the file
// operations the explorer performs.
//
// Names are the file system's bytes. Full paths use '/' between components on every platform (the
// Windows file APIs accept it). Sizes and times come from stat, never from opening a file, so FIFOs,
// sockets and devices are listed without being touched. A symbolic link to a folder is followed unless
// that folder is already on the chain of folders above it (same device and inode); such a link is
// listed as a leaf of kind LoopLink.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

enum class ExplorerKind : std::uint8_t {
    Root,      // the project folder itself
    Folder,    // a folder (possibly reached through a symbolic link)
    File,      // a regular file, or a link to one, or a broken link
    Special,   // FIFO, socket or device: listed, never opened
    LoopLink,  // a link to a folder already on the chain above it: listed, not followed
};

enum class ExplorerSortKey : int { Name = 0, Extension = 1, Size = 2, Time = 3 };

struct ExplorerItem {
    std::string name;  // last path component; for the root, the root folder's path
    ExplorerItem* parent = nullptr;
    std::vector<std::unique_ptr<ExplorerItem>> children;  // in display order
    int row = 0;                                         // index in the parent's children
    ExplorerKind kind = ExplorerKind::File;
    bool link = false;     // the entry itself is a symbolic link
    bool statOk = false;   // size and time are known
    bool expanded = false; // kept for the view (an expanded folder shows its "open" image)
    std::uint64_t size = 0;
    std::int64_t mtime = 0;  // last write time, nanoseconds since 1970

    bool IsFolder() const { return kind == ExplorerKind::Root || kind == ExplorerKind::Folder; }
    // Items that can be opened as files (regular files and links to them, broken links included).
    bool IsFile() const { return kind == ExplorerKind::File; }
};

// Told of every change to a filled tree, so that a view over it can keep its rows in step. Fill and
// Clear are announced as a reset.
class ExplorerObserver {
public:
    virtual ~ExplorerObserver() = default;
    virtual void AboutToReset() {}
    virtual void Reset() {}
    // `count` items are about to be appended to `parent` (which then holds `row` + `count` children).
    virtual void AboutToInsert(const ExplorerItem* /*parent*/, int /*row*/, int /*count*/) {}
    virtual void Inserted() {}
    virtual void AboutToRemove(const ExplorerItem* /*item*/) {}
    virtual void Removed() {}
    // Children are about to be reordered (their rows change, nothing is added or removed).
    virtual void AboutToReorder() {}
    virtual void Reordered() {}
    virtual void Changed(const ExplorerItem* /*item*/) {}
};

class ExplorerTree {
public:
    // Called once every ten inserted items while filling.
    using Step = std::function<void()>;

    ExplorerTree();
    ~ExplorerTree();
    ExplorerTree(const ExplorerTree&) = delete;
    ExplorerTree& operator=(const ExplorerTree&) = delete;

    // Fills the tree from `folder` (trailing blanks and separators removed), then sorts every folder.
    // False, with the tree empty, when the folder is not a readable directory.
    bool Fill(const std::string& folder, const Step& step = {});
    void Clear();
    ExplorerItem* Root() const { return root_.get(); }
    const std::string& RootFolder() const { return rootFolder_; }
    std::size_t ItemCount() const { return count_; }

    std::string FullPath(const ExplorerItem* item) const;
    // Path below the root folder, "/"-separated; empty for the root.
    static std::string RelativePath(const ExplorerItem* item);

    // The item for `path` (absolute, or relative to the root folder). With `createMissing`, items
    // that are missing from the tree but exist on disk are inserted (and their parents sorted).
    // Null when the path lies outside the root, is filtered out, or does not exist.
    ExplorerItem* Locate(const std::string& path, bool createMissing);
    // The child of `parent` named exactly `name`, or null.
    static ExplorerItem* Child(const ExplorerItem* parent, std::string_view name);

    // Reads the entry `name` of `parent`'s folder from disk and inserts it (a folder with its whole
    // subtree, sorted) as `parent`'s last child. Null when filtered out or gone. Does not sort `parent`.
    ExplorerItem* Insert(ExplorerItem* parent, const std::string& name);
    // Removes `item` (not the root) and its subtree from the tree; the disk is not touched.
    void Remove(ExplorerItem* item);
    // Gives `item` a new name after it was renamed on disk, re-reading its size and time. Does not sort.
    void Rename(ExplorerItem* item, const std::string& newName);

    // Brings `folder`'s subtree in step with the disk: entries gone are removed, new ones inserted,
    // sizes and times re-read; items that stay keep their state. Sorts what changed.
    void Refresh(ExplorerItem* folder);

    void SetObserver(ExplorerObserver* observer) { observer_ = observer; }

    // Sort settings.
    ExplorerSortKey Key() const { return key_; }
    bool Ascending() const { return ascending_; }
    void SetSort(ExplorerSortKey key, bool ascending);
    // Sorts `item`'s children; with `recursive`, every folder below it too.
    void Sort(ExplorerItem* item, bool recursive);

    // The order of two siblings: negative when `a` comes first. Folders before files (reversed when
    // descending); ties fall back to the names ignoring case, then to their exact bytes.
    static int Compare(const ExplorerItem& a, const ExplorerItem& b, ExplorerSortKey key, bool ascending);

    // Whether a file of this name is shown: not a preview file ("~PVW...") and not a project file
    // (".twp"), both ignoring case. Every folder is shown.
    static bool IsShownFile(std::string_view name);

    // Visits `from`'s descendants depth-first in display order (an item, its children, its next
    // sibling) until `visit` answers false.
    static void Walk(const ExplorerItem* from, const std::function<bool(const ExplorerItem&)>& visit);

private:
    struct Chain;
    void FillFolder(ExplorerItem* folder, const std::string& path, Chain& chain);
    std::unique_ptr<ExplorerItem> ReadItem(ExplorerItem* parent, const std::string& parentPath,
                                           const std::string& name, Chain& chain);
    ExplorerItem* Attach(ExplorerItem* parent, std::unique_ptr<ExplorerItem> item);
    void ChainOf(const ExplorerItem* folder, Chain& chain) const;
    void RefreshFolder(ExplorerItem* folder, Chain& chain);
    void SortChildren(ExplorerItem* item, bool recursive);
    void Renumber(ExplorerItem* parent, std::size_t from = 0);
    std::size_t CountOf(const ExplorerItem* item) const;

    std::unique_ptr<ExplorerItem> root_;
    std::string rootFolder_;
    std::size_t count_ = 0;
    std::size_t inserted_ = 0;
    ExplorerSortKey key_ = ExplorerSortKey::Name;
    bool ascending_ = true;
    const Step* step_ = nullptr;
    ExplorerObserver* observer_ = nullptr;
};

// Compares two names ignoring ASCII letter case (negative, zero or positive).
int CompareNoCase(std::string_view a, std::string_view b);
// The extension of a name: the text from its last "." on, or empty.
std::string_view ExtensionOf(std::string_view name);

}  // namespace tarnwell
