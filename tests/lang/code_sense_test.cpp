#include "lang/CodeSense.h"

#include <gtest/gtest.h>

namespace tarnwell {
namespace {

std::vector<MemberListItem> Items(std::initializer_list<const char*> names) {
    std::vector<MemberListItem> items;
    for (const char* n : names) items.push_back({n});
    return items;
}

TEST(CodeSense, TypedWordSelectsOrHints) {
    const auto items = Items({"AddHeader", "AppendToLog", "Write", "WriteBlock"});
    struct Row {
        const char* word;
        int selection, hint;
    } rows[] = {
        {"", 0, -1},    {"wr", 2, -1},   {"WRITEB", 3, -1}, {"ap", 1, -1},
        {"wrq", -1, 2}, {"Appx", -1, 1}, {"zz", -1, 0},     {"Write!", -1, 2},
    };
    for (const Row& r : rows) {
        const WordMatch m = MatchTypedWord(items, r.word);
        EXPECT_EQ(m.selection, r.selection) << r.word;
        EXPECT_EQ(m.hint, r.hint) << r.word;
    }
    const WordMatch none = MatchTypedWord({}, "a");
    EXPECT_EQ(none.selection, -1);
    EXPECT_EQ(none.hint, -1);
}

TEST(CodeSense, TipPieces) {
    ParameterTip tip;
    EXPECT_TRUE(ParameterTipPieces(tip).empty());
    tip.callee = "Now";
    EXPECT_EQ(ParameterTipPieces(tip), (std::vector<std::string>{"Now ()"}));
    tip.callee = "Mid";
    tip.params = {{"string"}, {"start"}, {"length", true}};
    EXPECT_EQ(ParameterTipPieces(tip), (std::vector<std::string>{"Mid (", "string, ", "start, ", "[length])"}));
}

TEST(CodeSense, IncludeDirectiveOnALine) {
    struct Row {
        const char* line;
        int ch;
        bool found, isVirtual;
        const char* name;
    } rows[] = {
        {R"(<!-- #include file="a.inc" -->)", 0, true, false, "a.inc"},
        {R"(<!--#INCLUDE VIRTUAL = "/lib/b.asp"-->)", 12, true, true, "/lib/b.asp"},
        {R"(<!-- #include file=c.inc -->)", 30, true, false, "c.inc"},
        {R"(<!-- #include file="a.inc" --><!-- #include file="b.inc" -->)", 40, true, false, "b.inc"},
        {R"(<!-- #include file="a.inc" --><!-- #include file="b.inc" -->)", 3, true, false, "a.inc"},
        {R"(<!-- #include file="" -->)", 0, false, false, ""},
        {R"(<!-- #include nothing -->)", 0, false, false, ""},
        {"#include", 0, false, false, ""},
        {"", 0, false, false, ""},
    };
    for (const Row& r : rows) {
        IncludeDirective d;
        ASSERT_EQ(IncludeDirectiveAt(r.line, r.ch, d), r.found) << r.line;
        if (!r.found) continue;
        EXPECT_EQ(d.isVirtual, r.isVirtual) << r.line;
        EXPECT_EQ(d.name, r.name) << r.line;
    }
}

TEST(CodeSense, IncludeDirectiveResolves) {
    struct Row {
        bool isVirtual;
        const char* name;
        const char* page;
        const char* root;
        const char* path;
    } rows[] = {
        {false, "inc/a.inc", "/site/dir/p.asp", "", "/site/dir/inc/a.inc"},
        {false, "..\\b.inc", "/site/dir/p.asp", "", "/site/b.inc"},
        {false, "/abs.inc", "/site/dir/p.asp", "", ""},
        {false, "a.inc", "0123abcd:001", "", ""},  // an untitled page has no folder
        {true, "/lib/c.asp", "/site/dir/p.asp", "/site", "/site/lib/c.asp"},
        {true, "lib/./d.asp", "/site/dir/p.asp", "/site/", "/site/lib/d.asp"},
        {true, "/../etc/passwd", "/site/dir/p.asp", "/site", ""},
        {true, "/lib/c.asp", "/site/dir/p.asp", "", ""},
    };
    for (const Row& r : rows) {
        IncludeDirective d{r.isVirtual, r.name};
        EXPECT_EQ(ResolveIncludeDirective(d, r.page, r.root), r.path) << r.name;
    }
}

}  // namespace
}  // namespace tarnwell
