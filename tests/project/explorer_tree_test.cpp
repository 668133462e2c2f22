// The explorer tree: filling with the filter, the sort order of every key, locating paths, refreshing,
// and walks that meet links, loops and FIFOs.
#include "project/ExplorerTree.h"

#include "ExplorerTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace tarnwell;
using tarnwell::test::Listing;
using tarnwell::test::TempTree;
using Strings = std::vector<std::string>;

TEST(ExplorerTree, FillShowsEveryFolderButNoPreviewOrProjectFiles) {
    TempTree t({"~pvw123.htm", "~PVWx", "other.TWP", "site.twp", "a.asp", ".htaccess", "~pvwdir/", "d.twp/",
                "sub/~Pvw9.asp", "sub/keep.twp.bak"});
    ExplorerTree tree;
    int steps = 0;
    ASSERT_TRUE(tree.Fill(t.Path() + "/ ", [&] { ++steps; }));
    EXPECT_EQ(tree.RootFolder(), t.Path());
    EXPECT_EQ(Listing(tree), (Strings{"d.twp/", "sub/", "sub/keep.twp.bak", "~pvwdir/", ".htaccess", "a.asp"}));
    EXPECT_EQ(tree.ItemCount(), 6u);
    EXPECT_EQ(steps, 1);  // one step per ten inserted items, the first at item 0

    EXPECT_FALSE(tree.Fill(t.Path("a.asp")));
    EXPECT_EQ(tree.Root(), nullptr);
    EXPECT_FALSE(tree.Fill(t.Path("missing")));
}

namespace {
ExplorerItem File(const std::string& name, std::uint64_t size = 0, std::int64_t time = 0, bool statOk = true) {
    ExplorerItem i;
    i.name = name;
    i.size = size;
    i.mtime = time;
    i.statOk = statOk;
    return i;
}
ExplorerItem Folder(const std::string& name) {
    ExplorerItem i = File(name);
    i.kind = ExplorerKind::Folder;
    return i;
}
}  // namespace

TEST(ExplorerTree, CompareOrdersByKeyWithFoldersFirstAndTotalTies) {
    using K = ExplorerSortKey;
    const struct {
        const char* what;
        ExplorerItem a, b;
        K key;
        int expected;  // sign of Compare(a, b) when ascending
    } rows[] = {
        {"folder before file", Folder("z"), File("a"), K::Size, -1},
        {"folders by name whatever the key", Folder("B"), Folder("a"), K::Size, 1},
        {"names ignore case", File("abc.asp"), File("ABD.asp"), K::Name, -1},
        {"same name in other case: bytes decide", File("A.asp"), File("a.asp"), K::Name, -1},
        {"extension compared", File("z.asp"), File("a.htm"), K::Extension, -1},
        {"extension is case-sensitive", File("a.ASP"), File("b.asp"), K::Extension, -1},
        {"no extension before one", File("README"), File("x.asp"), K::Extension, -1},
        {"one with extension after none", File("x.asp"), File("README"), K::Extension, 1},
        {"neither has one: by name", File("b"), File("A"), K::Extension, 1},
        {"same extension: by name", File("b.asp"), File("a.asp"), K::Extension, 1},
        {"size", File("a", 10), File("b", 9), K::Size, 1},
        {"huge sizes do not overflow", File("a", 0), File("b", ~0ull), K::Size, -1},
        {"equal size: by name", File("b", 5), File("a", 5), K::Size, 1},
        {"unknown size ties", File("b", 1, 0, false), File("a", 9), K::Size, 1},
        {"time", File("a", 0, 200), File("b", 0, 100), K::Time, 1},
        {"unknown time ties", File("a", 0, 200, false), File("b", 0, 100), K::Time, -1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const int up = ExplorerTree::Compare(r.a, r.b, r.key, true);
        EXPECT_EQ((up > 0) - (up < 0), r.expected);
        EXPECT_EQ(ExplorerTree::Compare(r.b, r.a, r.key, true), -up);   // antisymmetric
        EXPECT_EQ(ExplorerTree::Compare(r.a, r.b, r.key, false), -up);  // descending negates everything
        EXPECT_EQ(ExplorerTree::Compare(r.a, r.a, r.key, true), 0);
    }
}

TEST(ExplorerTree, SortKeysAndDirectionsOverARealFolder) {
    TempTree t({"b.htm", "README", "a.asp", "sub/", "Zed/"});
    t.Add("big.asp", std::string(100, 'x'));
    ExplorerTree tree;
    ASSERT_TRUE(tree.Fill(t.Path()));
    EXPECT_EQ(Listing(tree), (Strings{"sub/", "Zed/", "a.asp", "b.htm", "big.asp", "README"}));
    tree.SetSort(ExplorerSortKey::Name, false);
    tree.Sort(tree.Root(), true);
    EXPECT_EQ(Listing(tree), (Strings{"README", "big.asp", "b.htm", "a.asp", "Zed/", "sub/"}));
    tree.SetSort(ExplorerSortKey::Extension, true);
    tree.Sort(tree.Root(), true);
    EXPECT_EQ(Listing(tree), (Strings{"sub/", "Zed/", "README", "a.asp", "big.asp", "b.htm"}));
    tree.SetSort(ExplorerSortKey::Size, true);
    tree.Sort(tree.Root(), true);
    EXPECT_EQ(Listing(tree).back(), "big.asp");
    tree.SetSort(static_cast<ExplorerSortKey>(9), true);  // any larger key is Time
    EXPECT_EQ(tree.Key(), ExplorerSortKey::Time);
    for (const auto& c : tree.Root()->children) EXPECT_EQ(tree.Root()->children[std::size_t(c->row)].get(), c.get());
}

TEST(ExplorerTree, LocateFindsOrCreatesItemsInsideTheRootOnly) {
    TempTree t({"a/b/c.asp", ".htaccess"});
    ExplorerTree tree;
    ASSERT_TRUE(tree.Fill(t.Path()));
    t.Add("a/new/page.asp");
    t.Add("a/zz.asp");
    t.Add("~pvw1.htm");
    const struct {
        std::string path;
        bool create;
        const char* expected;  // relative path of the item found, or null
    } rows[] = {
        {t.Path("a/b/c.asp"), false, "a/b/c.asp"},
        {"./a/b", false, "a/b"},
        {t.Path(".htaccess"), false, ".htaccess"},
        {t.Path("a/new/page.asp"), false, nullptr},
        {t.Path("a/new/page.asp"), true, "a/new/page.asp"},
        {t.Path("a/zz.asp"), true, "a/zz.asp"},
        {t.Path("a/missing.asp"), true, nullptr},
        {t.Path("~pvw1.htm"), true, nullptr},
        {t.Path("../outside.asp"), true, nullptr},
        {t.Path() + "-other/x.asp", true, nullptr},
        {t.Path(), false, nullptr},
        {"/elsewhere/a/b/c.asp", false, nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.path);
        ExplorerItem* item = tree.Locate(r.path, r.create);
        if (!r.expected) {
            EXPECT_EQ(item, nullptr);
        } else {
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(ExplorerTree::RelativePath(item), r.expected);
        }
    }
    // Created items are inserted in sort order, and the count follows.
    EXPECT_EQ(Listing(tree), (Strings{"a/", "a/b/", "a/b/c.asp", "a/new/", "a/new/page.asp", "a/zz.asp", ".htaccess"}));
    EXPECT_EQ(tree.ItemCount(), 7u);
}

TEST(ExplorerTree, RefreshFollowsTheDiskAndKeepsItemsThatStay) {
    TempTree t({"keep/x.asp", "gone.asp", "dir/"});
    ExplorerTree tree;
    ASSERT_TRUE(tree.Fill(t.Path()));
    ExplorerItem* keep = ExplorerTree::Child(tree.Root(), "keep");
    keep->expanded = true;
    std::filesystem::remove(t.Path("gone.asp"));
    std::filesystem::remove(t.Path("dir"));
    t.Add("dir");  // a folder became a file
    t.Add("keep/y.asp");
    t.Add("new/z.asp");
    tree.Refresh(tree.Root());
    EXPECT_EQ(Listing(tree), (Strings{"keep/", "keep/x.asp", "keep/y.asp", "new/", "new/z.asp", "dir"}));
    EXPECT_EQ(ExplorerTree::Child(tree.Root(), "keep"), keep);
    EXPECT_TRUE(keep->expanded);
    EXPECT_EQ(tree.ItemCount(), 6u);
}

#ifndef _WIN32
TEST(ExplorerTree, LinksAreListedButLoopsNotFollowedAndFifosNeverOpened) {
    TempTree t({"site/a/page.asp", "other/o.asp"});
    namespace fs = std::filesystem;
    fs::create_directory_symlink("..", t.Path("site/a/up"));          // back to an ancestor: a loop
    fs::create_directory_symlink(t.Path("site/a"), t.Path("site/a/self"));
    fs::create_directory_symlink(t.Path("other"), t.Path("site/other"));  // elsewhere: followed
    fs::create_symlink("nowhere", t.Path("site/broken"));
    ASSERT_EQ(::mkfifo(t.Path("site/pipe").c_str(), 0600), 0);

    ExplorerTree tree;
    ASSERT_TRUE(tree.Fill(t.Path("site")));  // would block on the FIFO or never end on the loop
    EXPECT_EQ(Listing(tree), (Strings{"a/", "a/page.asp", "a/self", "a/up", "other/", "other/o.asp", "broken", "pipe"}));
    const ExplorerItem* a = ExplorerTree::Child(tree.Root(), "a");
    EXPECT_EQ(ExplorerTree::Child(a, "up")->kind, ExplorerKind::LoopLink);
    EXPECT_EQ(ExplorerTree::Child(a, "self")->kind, ExplorerKind::LoopLink);
    const ExplorerItem* other = ExplorerTree::Child(tree.Root(), "other");
    EXPECT_TRUE(other->link);
    EXPECT_EQ(other->kind, ExplorerKind::Folder);
    const ExplorerItem* broken = ExplorerTree::Child(tree.Root(), "broken");
    EXPECT_TRUE(broken->IsFile());
    EXPECT_FALSE(broken->statOk);
    EXPECT_EQ(ExplorerTree::Child(tree.Root(), "pipe")->kind, ExplorerKind::Special);

    // Locate and refresh meet the same guards.
    EXPECT_EQ(tree.Locate(t.Path("site/a/up/a/page.asp"), true), nullptr);
    tree.Refresh(tree.Root());
    EXPECT_EQ(tree.ItemCount(), 8u);
}
#endif
