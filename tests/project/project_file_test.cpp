// The project file: header check, remembered files as reopening reads them, and what closing writes.
#include "project/ProjectFile.h"
#include "tests/project/ProjectTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tarnwell;
namespace fs = std::filesystem;

TEST(ProjectFile, HeaderCheck) {
    struct Case {
        const char* text;
        bool valid;
        const char* error;
        const char* webPath;
    } cases[] = {
        {"[General]\r\nSignature=tarnWELL\r\nVersion=1.0\r\nWeb Path=http://h/x\r\n", true, "", "http://h/x"},
        {"[General]\r\nSignature=Tarnwell\r\nVersion=1.0\r\n", true, "", ""},
        {"[General]\r\nSignature=Tarnwell\r\nVersion=1.00\r\n", false, "Unknown project version", ""},
        {"[General]\r\nSignature=Tarnwell\r\n", false, "Unknown project version", ""},
        {"[General]\r\nSignature=Other\r\nVersion=1.0\r\n", false, "Invalid project file", ""},
        {"", false, "Invalid project file", ""},
    };
    for (const Case& c : cases) {
        const ProjectHeader h = ReadProjectHeader(IniFile(c.text));
        EXPECT_EQ(h.valid, c.valid) << c.text;
        EXPECT_EQ(h.error, c.error) << c.text;
        EXPECT_EQ(h.webPath, c.webPath) << c.text;
    }
}

TEST(ProjectFile, PathsAndNames) {
    EXPECT_TRUE(IsProjectPath("ab.TWP"));
    EXPECT_FALSE(IsProjectPath("a.twp"));  // five characters are too few
    EXPECT_FALSE(IsProjectPath("\xc3\xa9.twp"));  // also when one of them takes two bytes
    EXPECT_FALSE(IsProjectPath("/w/site.twp.bak"));
    EXPECT_EQ(ProjectFolderOf("/webs/site/site.twp"), "/webs/site");
    EXPECT_EQ(ProjectFolderOf("/site.twp"), "/");
    EXPECT_EQ(ProjectNameOf("/webs/site/My.Site.twp"), "My.Site");
}

TEST(ProjectFile, PositionsPackAsUnsignedNumbers) {
    struct Case {
        TextPosition pos;
        std::uint64_t packed;
        TextPosition back;
    } cases[] = {
        {{1, 10}, 65546, {1, 10}},
        {{32767, 65535}, 2147483647ULL, {32767, 65535}},
        {{40000, 5}, 40000ULL * 65536 + 5, {40000, 5}},  // beyond line 32767 the number stays positive
        {{3, 70000}, 3 * 65536 + 65535, {3, 65535}},     // the character is capped, not wrapped
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PackPosition(c.pos), c.packed);
        EXPECT_EQ(UnpackPosition(c.packed), c.back);
    }
    EXPECT_FALSE(UnpackPosition(~0ULL));
    EXPECT_FALSE(OpenFileValue("/a\nb.asp", {}, {}));
}

TEST(ProjectFile, WrittenListReadsBack) {
    test::TempFolder dir;
    const std::string odd = dir.Str("a \"quoted\", comma,7,8.asp");
    dir.Write("a \"quoted\", comma,7,8.asp", "x");
    dir.Write("b.asp", "y");
    IniFile f("[General]\r\nSignature=Tarnwell\r\nVersion=1.0\r\nWeb Path=\r\nTotal Open Files=9\r\n"
              "Last Active File=3\r\n[Open Files]\r\nFile 8=\"/old\",0,0\r\n");
    std::vector<OpenFileRecord> records = {
        {odd, {40000, 3}, {40001, 65535}},
        {"", {0, 0}, {0, 0}},  // untitled: never written, no gap in the numbering
        {dir.Str("b.asp"), {0, 1}, {2, 3}},
        {"/bad\npath.asp", {0, 0}, {0, 0}},
    };
    EXPECT_EQ(WriteRememberedFiles(f, &records, 2), 2);
    // The count is written anew behind "Last Active File"; the old list is gone.
    EXPECT_NE(f.Bytes().find("Web Path=\r\nLast Active File=1\r\nTotal Open Files=2\r\n[Open Files]\r\nFile 0="),
              std::string::npos)
        << f.Bytes();
    EXPECT_EQ(f.Get("Open Files", "File 8"), std::nullopt);

    const RememberedFiles list = ReadRememberedFiles(f, dir.Str());
    EXPECT_EQ(list.total, 2);
    EXPECT_EQ(list.lastActive, 1);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].status, RememberedFile::Ok);
    EXPECT_EQ(list.entries[0].path, odd);
    EXPECT_EQ(list.entries[0].start, TextPosition(40000, 3));
    EXPECT_EQ(list.entries[0].end, TextPosition(40001, 65535));
    EXPECT_EQ(list.entries[1].path, dir.Str("b.asp"));

    // Remember Open Files off: only the old list goes.
    EXPECT_EQ(WriteRememberedFiles(f, nullptr, -1), 0);
    EXPECT_EQ(f.Get("General", "Total Open Files"), std::nullopt);
    EXPECT_EQ(f.Get("Open Files", "File 0"), std::nullopt);
}

TEST(ProjectFile, ReopeningSkipsWhatCannotReopen) {
    test::TempFolder dir;
    dir.Write("page.asp", "x");
    dir.Write("sub/rel.asp", "x");
    fs::create_directory(dir.path() / "folder.asp");
    ::mkfifo((dir.path() / "pipe.asp").c_str(), 0600);
    const std::string p = dir.Str("page.asp");
    IniFile f("[General]\r\nTotal Open Files=9\r\nLast Active File=6\r\n[Open Files]\r\n"
              "File 0=\"" + p + "\",65536,65546\r\n"
              "File 1=\"" + p + "\",-65536,0\r\n"
              "File 2=\r\n"
              "File 4=\"" + dir.Str("folder.asp") + "\",0,0\r\n"
              "File 5=\"" + dir.Str("pipe.asp") + "\",0,0\r\n"
              "FILE 6=\"sub/rel.asp\" ,\t1, 2\r\n"
              "File 7=\"" + p + "\",0,99999999999999999999999\r\n"
              "File 8=\"" + dir.Str("gone.asp") + "\",0,0\r\n"
              "File 9=\"" + p + "\",0,0\r\n");
    const RememberedFiles list = ReadRememberedFiles(f, dir.Str());
    using S = RememberedFile;
    const S::Status want[] = {S::Ok,      S::NoMatch, S::Empty, S::Empty, S::Missing,
                              S::Missing, S::NoMatch, S::Ok,    S::Missing};
    ASSERT_EQ(list.entries.size(), 9u);  // the count rules: "File 9" lies beyond it
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(list.entries[i].key, "File " + std::to_string(i));
        EXPECT_EQ(list.entries[i].status, want[i]) << i;
    }
    EXPECT_EQ(list.entries[0].start, TextPosition(1, 0));
    EXPECT_EQ(list.entries[0].end, TextPosition(1, 10));
    EXPECT_EQ(list.entries[7].start, std::nullopt);  // a number beyond 64 bits: the file opens, unselected

    // Relative paths are taken in the project folder; blanks after the commas are allowed.
    IniFile rel("[General]\r\nTotal Open Files=1\r\n[Open Files]\r\nFile 0=\"sub/rel.asp\", 1,\t2\r\n");
    const RememberedFiles r = ReadRememberedFiles(rel, dir.Str());
    ASSERT_EQ(r.entries.size(), 1u);
    EXPECT_EQ(r.entries[0].status, S::Ok);
    EXPECT_EQ(r.entries[0].path, (dir.path() / "sub/rel.asp").string());

    // An absurd count is cut at the last key present.
    IniFile huge("[General]\r\nTotal Open Files=2000000000\r\n[Open Files]\r\nFile 2=\"x\",0,0\r\n");
    EXPECT_EQ(ReadRememberedFiles(huge, dir.Str()).entries.size(), 3u);
    // A list that long with a far key visits only the keys present, in number order.
    IniFile sparse("[General]\r\nTotal Open Files=2000000000\r\n[Open Files]\r\nFile 1999999999=\"x\",0,0\r\n"
                   "File 70000=\"y\",0,0\r\n");
    const RememberedFiles far = ReadRememberedFiles(sparse, dir.Str());
    ASSERT_EQ(far.entries.size(), 2u);
    EXPECT_EQ(far.entries[0].index, 70000);
    EXPECT_EQ(far.entries[1].key, "File 1999999999");
    EXPECT_EQ(ReadRememberedFiles(IniFile("[General]\r\nTotal Open Files=-3\r\n"), "").entries.size(), 0u);
}
