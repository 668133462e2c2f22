// The explorer's operations on disk: new names, name checks, rename without replacing, and drag and
// drop copies and moves that never lose a file.
#include "project/ExplorerOps.h"
#include "project/FileSystem.h"

#include "ExplorerTestSupport.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tarnwell;
using tarnwell::test::TempTree;

TEST(ExplorerOps, NewNamesSkipWhatExists) {
    TempTree t({"NewFile.asp", "NewFile(1).asp", "NewFolder(1)/", "sub/NewFolder"});
    EXPECT_EQ(NewItemName(t.Path(), false), "NewFile(2).asp");
    EXPECT_EQ(NewItemName(t.Path(), true), "NewFolder");
    t.Add("NewFolder/");
    EXPECT_EQ(NewItemName(t.Path(), true), "NewFolder(2)");
    // Only a folder takes a folder's name: with a file "NewFolder" the creation itself fails.
    EXPECT_EQ(NewItemName(t.Path("sub"), true), "NewFolder");
    std::string error;
    EXPECT_FALSE(CreateFolder(t.Path("sub/NewFolder"), error));
    EXPECT_FALSE(error.empty());

    t.Add("Templates/NewFile.asp", "<%@ LANGUAGE=VBScript %>\n");
    std::string name;
    ASSERT_TRUE(CreateNewExplorerFile(t.Path(), t.Path("Templates/NewFile.asp"), name, error));
    EXPECT_EQ(name, "NewFile(2).asp");
    EXPECT_EQ(t.Read("NewFile(2).asp"), "<%@ LANGUAGE=VBScript %>\n");
    ASSERT_TRUE(CreateNewExplorerFile(t.Path(), t.Path("no/template"), name, error));  // empty instead
    EXPECT_EQ(name, "NewFile(3).asp");
    EXPECT_EQ(t.Read("NewFile(3).asp"), "");
    EXPECT_EQ(t.Read("NewFile.asp"), "x");  // nothing replaced
    EXPECT_FALSE(CreateNewExplorerFile(t.Path("missing"), {}, name, error));
}

TEST(ExplorerOps, NameChecksTrimAndRefuse) {
    const struct {
        std::string typed;
        NameCheck result;
        std::string name;
    } rows[] = {
        {" b.asp ", NameCheck::Ok, "b.asp"},     {"a b", NameCheck::Ok, "a b"},
        {"   ", NameCheck::Empty, ""},           {"", NameCheck::Empty, ""},
        {"a:b", NameCheck::BadCharacter, "a:b"}, {"x/y", NameCheck::BadCharacter, "x/y"},
        {"q?", NameCheck::BadCharacter, "q?"},   {"\"|<>*\\", NameCheck::BadCharacter, "\"|<>*\\"},
    };
    for (const auto& r : rows) {
        std::string name = r.typed;
        EXPECT_EQ(CheckNewName(name), r.result) << r.typed;
        EXPECT_EQ(name, r.name);
    }
    EXPECT_EQ(RenameSelectionLength("page.old.asp", false), 8u);
    EXPECT_EQ(RenameSelectionLength("README", false), 6u);
    EXPECT_EQ(RenameSelectionLength("dir.d", true), 5u);
    EXPECT_EQ(MaxRenameLength(20, 5), MaxNameLength());
    EXPECT_EQ(MaxRenameLength(MaxPathLength() + 5, 10), 5u);
    EXPECT_EQ(FormatMessage(explorer_text::kFailedCopy, {"a", "b", "c"}), "Failed to copy \"a\" to \"b\": c");
}

TEST(ExplorerOps, RenameNeverReplaces) {
    TempTree t({"a.asp", "b.asp", "dir/"});
    std::string error;
    EXPECT_FALSE(RenameNoReplace(t.Path("a.asp"), t.Path("b.asp"), error));
    EXPECT_FALSE(RenameNoReplace(t.Path("a.asp"), t.Path("dir"), error));
    EXPECT_EQ(t.Read("b.asp"), "x");
    EXPECT_TRUE(RenameNoReplace(t.Path("a.asp"), t.Path("c.asp"), error));
    EXPECT_TRUE(t.Has("c.asp"));
    EXPECT_FALSE(t.Has("a.asp"));
    EXPECT_FALSE(RenameNoReplace(t.Path("gone.asp"), t.Path("d.asp"), error));
}

namespace {
// Answers the questions from queues and records what it was told.
struct ScriptedHandler : TransferHandler {
    std::deque<bool> replace;
    std::deque<CopyAnswer> copyAnswers;
    std::vector<std::string> log;
    bool ReplaceFolder(const std::string&, const std::string& name) override {
        log.push_back("replace folder " + name);
        return Next(replace, false);
    }
    bool ReplaceFile(const std::string&, const std::string& name) override {
        log.push_back("replace file " + name);
        return Next(replace, false);
    }
    void CreateFolderFailed(const std::string& path, const std::string&) override {
        log.push_back("folder failed " + FileNameOf(path));
    }
    CopyAnswer CopyFailed(const std::string& from, const std::string&, const std::string&) override {
        log.push_back("copy failed " + FileNameOf(from));
        return Next(copyAnswers, CopyAnswer::Abort);
    }
    void Moved(const std::string& from, const std::string& to) override {
        log.push_back("moved " + FileNameOf(from) + " " + FileNameOf(to));
    }
    template <class T>
    static T Next(std::deque<T>& q, T fallback) {
        if (q.empty()) return fallback;
        T v = q.front();
        q.pop_front();
        return v;
    }
};
}  // namespace

TEST(ExplorerOps, CopyAsksBeforeReplacingAndKeepsSources) {
    TempTree t({"src/a.asp", "src/in/b.asp", "dst/src/a.asp", "one.asp"});
    ScriptedHandler h;
    h.replace = {true, false};  // replace the folder "src", keep the existing a.asp
    TransferResult r = TransferItems({t.Path("src"), t.Path("one.asp")}, t.Path("dst"), false, h);
    EXPECT_FALSE(r.aborted);
    EXPECT_EQ(h.log, (std::vector<std::string>{"replace folder src", "replace file a.asp"}));
    EXPECT_EQ(r.placed.size(), 2u);
    EXPECT_EQ(t.Read("dst/src/in/b.asp"), "x");
    EXPECT_EQ(t.Read("dst/one.asp"), "x");
    EXPECT_TRUE(t.Has("src/a.asp"));
    EXPECT_TRUE(t.Has("one.asp"));
}

TEST(ExplorerOps, MoveRemovesOnlySourcesWhoseCopyCompleted) {
    TempTree t({"src/keep.asp", "src/go.asp", "dst/src/keep.asp", "dst/inner/here.asp"});
    t.Add("dst/src/keep.asp", "theirs");
    ScriptedHandler h;
    h.replace = {true, false};  // merge into dst/src but do not replace keep.asp
    TransferResult r = TransferItems({t.Path("src")}, t.Path("dst"), true, h);
    EXPECT_FALSE(r.aborted);
    EXPECT_EQ(t.Read("dst/src/go.asp"), "x");
    EXPECT_FALSE(t.Has("src/go.asp"));
    EXPECT_TRUE(t.Has("src/keep.asp"));  // skipped: its source stays, and so does its folder
    EXPECT_EQ(t.Read("dst/src/keep.asp"), "theirs");
    EXPECT_NE(std::find(h.log.begin(), h.log.end(), "moved go.asp go.asp"), h.log.end());

    // A plain move renames in place; the target itself, a folder into its own child, and an item
    // already in the target are refused.
    ScriptedHandler h2;
    r = TransferItems({t.Path("src"), t.Path("dst"), t.Path("dst/inner"), t.Path("dst/inner/here.asp")},
                      t.Path("dst/inner"), true, h2);
    EXPECT_EQ(r.placed.size(), 1u);
    EXPECT_TRUE(t.Has("dst/inner/src/keep.asp"));
    EXPECT_FALSE(t.Has("src"));
    EXPECT_TRUE(t.Has("dst/src/go.asp"));
    EXPECT_EQ(h2.log, (std::vector<std::string>{"moved src src"}));
}

#ifndef _WIN32
TEST(ExplorerOps, CopyFailuresOfferAbortRetryIgnore) {
    TempTree t({"dst/"});
    for (const char* name : {"a.asp", "b.asp", "c.asp"}) ASSERT_EQ(::mkfifo(t.Path(name).c_str(), 0600), 0);
    ScriptedHandler h;
    h.copyAnswers = {CopyAnswer::Retry, CopyAnswer::Ignore, CopyAnswer::Abort};
    // FIFOs cannot be copied (and are never read, which would block): each copy fails.
    TransferResult r = TransferItems({t.Path("a.asp"), t.Path("b.asp"), t.Path("c.asp")}, t.Path("dst"), false, h);
    EXPECT_TRUE(r.aborted);
    EXPECT_EQ(h.log, (std::vector<std::string>{"copy failed a.asp", "copy failed a.asp", "copy failed b.asp"}));
    EXPECT_TRUE(t.Has("a.asp") && t.Has("b.asp") && t.Has("c.asp"));
    EXPECT_FALSE(t.Has("dst/a.asp") || t.Has("dst/b.asp") || t.Has("dst/c.asp"));
}

TEST(ExplorerOps, LinksAreCopiedAndRemovedAsLinks) {
    TempTree t({"real/data.asp", "dst/"});
    std::filesystem::create_directory_symlink(t.Path("real"), t.Path("link"));
    std::filesystem::create_directory_symlink("..", t.Path("real/loop"));
    ScriptedHandler h;
    TransferItems({t.Path("real")}, t.Path("dst"), false, h);
    EXPECT_TRUE(std::filesystem::is_symlink(t.Path("dst/real/loop")));  // copied, not followed
    std::string error;
    EXPECT_TRUE(RemoveEntry(t.Path("link"), error));
    EXPECT_EQ(t.Read("real/data.asp"), "x");  // the link went, its target's contents stayed
}
#endif
