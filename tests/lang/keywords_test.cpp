// Keyword sets: file format, lookup rules, and the installed keyword files.
#include "lang/Keywords.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using tarnwell::KeywordSet;

namespace {

std::filesystem::path TempFile(const std::string& name, const std::string& content) {
    static const tarnwell::testing::TempDir dir;
    auto path = dir / name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

bool Has(const KeywordSet& set, const std::string& word) {
    return tarnwell::LookupKeyword(set, word.data(), word.size());
}

}  // namespace

TEST(KeywordFile, CommentsBlanksAndCommaLists) {
    KeywordSet set;
    auto path = TempFile("kw1.txt",
                         "   # an indented comment, with commas\r\n"
                         "\r\n"
                         "   \t  \n"
                         "dim\r\n"
                         "  sub ,  Function,end\t\n"
                         "two words\n"
                         "#Hidden\n"
                         "last");  // no line end at the end of the file
    ASSERT_TRUE(tarnwell::LoadKeywordFile(set, path));
    EXPECT_EQ(set.Keys(), (std::vector<std::string>{"DIM", "SUB", "FUNCTION", "END", "TWO WORDS", "LAST"}));
    EXPECT_FALSE(Has(set, "#Hidden"));
    EXPECT_FALSE(Has(set, "an"));
    EXPECT_FALSE(Has(set, "two"));
    EXPECT_TRUE(Has(set, "Two Words"));  // the key holds the blank; no single word of a line matches it
}

TEST(KeywordFile, EmptyPiecesAndDuplicates) {
    KeywordSet set;
    tarnwell::ParseKeywordText(set, "a,,b,\nA\nb , a");
    EXPECT_EQ(set.Keys(), (std::vector<std::string>{"A", "", "B"}));
    EXPECT_TRUE(Has(set, "a"));
    EXPECT_FALSE(Has(set, " a"));
}

TEST(KeywordFile, MissingFileOrFolderFailsAndLeavesSetAlone) {
    KeywordSet set;
    set.Insert("kept");
    EXPECT_FALSE(tarnwell::LoadKeywordFile(set, "/nonexistent/folder/vbscript.txt"));
    EXPECT_FALSE(tarnwell::LoadKeywordFile(set, std::filesystem::temp_directory_path()));  // a folder
    EXPECT_EQ(set.size(), 1u);
    EXPECT_TRUE(Has(set, "KEPT"));
}

TEST(KeywordSet, LookupIgnoresCaseAndIsExactInLength) {
    KeywordSet set;
    set.Insert("ElseIf");
    set.Insert("\xc3\xa9t\xc3\xa9");  // bytes >= 0x80 are kept as they are
    for (const char* w : {"ELSEIF", "elseif", "eLsEiF"}) EXPECT_TRUE(Has(set, w)) << w;
    for (const char* w : {"Else", "ElseIfx", "lseIf", ""}) EXPECT_FALSE(Has(set, w)) << w;
    EXPECT_TRUE(Has(set, "\xc3\xa9T\xc3\xa9"));
    EXPECT_FALSE(Has(set, "\xc3\x89T\xc3\x89"));
    // A word inside a longer buffer, not terminated.
    const char line[] = "x = ElseIfy";
    EXPECT_TRUE(tarnwell::LookupKeyword(set, line + 4, 6));
    EXPECT_FALSE(tarnwell::LookupKeyword(set, line + 4, 7));
}

TEST(KeywordSet, ManyKeysSurviveGrowth) {
    KeywordSet set;
    for (int i = 0; i < 5000; ++i) set.Insert("kw" + std::to_string(i));
    EXPECT_EQ(set.size(), 5000u);
    for (int i = 0; i < 5000; ++i) ASSERT_TRUE(Has(set, "KW" + std::to_string(i))) << i;
    EXPECT_FALSE(Has(set, "kw5000"));
    set.clear();
    EXPECT_FALSE(Has(set, "kw1"));
}

TEST(KeywordSet, QuickRejectKeepsEveryKeyFindable) {
    // Lookups first test (first byte, length) against the keys: both cases of a letter, other first
    // bytes, the 63/64-byte edge of that test, the empty key and clear() must all still answer exactly.
    KeywordSet set;
    const std::string k63(63, 'q'), k64(64, 'q'), k100 = "Z" + std::string(99, 'y');
    for (const std::string& k : {std::string("a"), std::string("!doctype"), std::string("_x1"), k63, k64, k100,
                                 std::string("\xff\xfe")})
        set.Insert(k);
    for (const std::string& w : {std::string("A"), std::string("a"), std::string("!DOCTYPE"), std::string("_X1"),
                                 std::string(63, 'Q'), std::string(64, 'Q'), "z" + std::string(99, 'Y'),
                                 std::string("\xff\xfe")})
        EXPECT_TRUE(Has(set, w)) << w;
    for (const std::string& w : {std::string("b"), std::string("aa"), std::string(62, 'q'), std::string(65, 'q'),
                                 std::string("!doctypes"), std::string("\xdf\xfe"), std::string("")})
        EXPECT_FALSE(Has(set, w)) << w;
    set.Insert("");
    EXPECT_TRUE(Has(set, ""));
    set.clear();
    EXPECT_FALSE(Has(set, "a"));
    set.Insert("B");
    EXPECT_TRUE(Has(set, "b"));
    EXPECT_FALSE(Has(set, "a"));
}

TEST(KeywordFile, InstalledFilesLoadWithTheExpectedWords) {
    const std::filesystem::path folder = TARNWELL_BIN_DIR;
    KeywordSet vb, html;
    ASSERT_TRUE(tarnwell::LoadKeywordFile(vb, tarnwell::KeywordFilePath(folder, "vbscript.txt")));
    ASSERT_TRUE(tarnwell::LoadKeywordFile(html, tarnwell::KeywordFilePath(folder, "html.txt")));
    for (const char* w : {"Dim", "If", "Then", "End", "Sub", "Nothing", "Null", "Empty", "True", "False", "And", "Mod",
                          "CreateObject", "UBound"})
        EXPECT_TRUE(Has(vb, w)) << w;
    EXPECT_FALSE(Has(vb, "Response"));  // an object, not a keyword
    for (const char* w : {"table", "TD", "href", "src", "bgcolor", "http-equiv", "!DOCTYPE", "language"})
        EXPECT_TRUE(Has(html, w)) << w;
    for (const auto& k : vb.Keys()) EXPECT_FALSE(k.empty() || k.find(' ') != std::string::npos) << k;
    for (const auto& k : html.Keys()) EXPECT_FALSE(k.empty() || k.find(' ') != std::string::npos) << k;
}
