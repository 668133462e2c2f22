// Find File: the name-to-pattern rule, matching, and the walk in tree order with its wrap.
#include "project/FindFile.h"

#include "ExplorerTestSupport.h"

#include <gtest/gtest.h>

using namespace tarnwell;
using tarnwell::test::TempTree;
using Strings = std::vector<std::string>;

TEST(FindFile, NameBecomesAnchoredPattern) {
    const struct {
        const char* name;
        const char* pattern;
    } rows[] = {
        {"index", "^.*index.*"},          {"a.asp", "^.*a\\.asp.*"},  {"*.asp", "^.*\\.asp"},
        {"?.asp", "^.{1}\\.asp"},         {"a+", "^.*a+.*"},          {"(", "^.*(.*"},
    };
    for (const auto& r : rows) EXPECT_EQ(FindFilePattern(r.name), r.pattern) << r.name;
}

TEST(FindFile, MatchingIgnoresCaseAndSurvivesBadPatterns) {
    const struct {
        const char* name;
        std::string item;  // owned: a row's text must outlive the table
        bool matches;
    } rows[] = {
        {"index", "myINDEX.htm", true}, {"*.asp", "b.aspx", true},    {"?.asp", "a.asp", true},
        {"?.asp", "ab.asp", false},     {"a.asp", "aXasp", false},    {"a+", "aaa", true},
        {"(", "(", false},              {"", "anything", false},      {"*.*.*.*.*.*.*.*!", std::string(250, 'a'), false},
    };
    for (const auto& r : rows) EXPECT_EQ(FileNameMatcher(r.name).Matches(r.item), r.matches) << r.name << " " << r.item;
    EXPECT_FALSE(FileNameMatcher("(").Valid());
}

TEST(FindFile, WalkVisitsInTreeOrderAndWraps) {
    TempTree t({"index/", "sub/deep/index.html", "sub/other.asp", "index.asp", "myindex.htm", "single.txt"});
    ExplorerTree tree;
    ASSERT_TRUE(tree.Fill(t.Path()));
    FileNameMatcher m("INDEX");
    Strings visits;
    const ExplorerItem* item = nullptr;
    for (int i = 0; i < 6; ++i) {
        item = FindNextWrapping(tree.Root(), item, m);
        ASSERT_NE(item, nullptr);
        visits.push_back(ExplorerTree::RelativePath(item));
    }
    EXPECT_EQ(visits, (Strings{"index", "sub/deep/index.html", "index.asp", "myindex.htm", "index", "sub/deep/index.html"}));

    // Below a folder only; a last match outside it restarts from the folder's top.
    const ExplorerItem* sub = ExplorerTree::Child(tree.Root(), "sub");
    const ExplorerItem* outside = ExplorerTree::Child(tree.Root(), "index.asp");
    EXPECT_EQ(ExplorerTree::RelativePath(FindNextItem(sub, outside, m)), "sub/deep/index.html");
    EXPECT_EQ(FindNextItem(sub, FindNextItem(sub, nullptr, m), m), nullptr);

    // A single match is found again; no match stays none.
    FileNameMatcher one("single");
    const ExplorerItem* s = FindNextWrapping(tree.Root(), nullptr, one);
    EXPECT_EQ(FindNextWrapping(tree.Root(), s, one), s);
    EXPECT_EQ(FindNextWrapping(tree.Root(), s, FileNameMatcher("nothing")), nullptr);
}
