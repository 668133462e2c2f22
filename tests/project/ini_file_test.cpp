// The initialization-file engine: lookups, in-place edits that keep every other byte, atomic saves.
#include "project/IniFile.h"
#include "tests/project/ProjectTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tarnwell;
namespace fs = std::filesystem;

TEST(IniFile, LookupRules) {
    const IniFile ini(
        "; comment=x\r\n[General]\r\n  Name = \"quoted value\" \r\nSingle='q'\r\nHalf=\"open\r\n"
        "Empty=\r\nNoEquals\r\nNum= -42tail\r\nBig=99999999999\r\n[ general ]\r\nName=second section\r\n"
        "[Other]\r\nName=other\r\n[Open");
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> want;
    } cases[] = {
        {"GENERAL", "name", "quoted value"},  // case-insensitive names, blanks and one pair of quotes go
        {"General", "single", "q"},
        {"General", "Half", "\"open"},
        {"General", "Empty", ""},
        {"General", "NoEquals", ""},
        {"General", "; comment", std::nullopt},
        {"General", "Missing", std::nullopt},
        {"Other", "Name", "other"},
        {"Nowhere", "Name", std::nullopt},
        {"Other", "General", std::nullopt},  // a key is looked up in its own section only
    };
    for (const Case& c : cases) EXPECT_EQ(ini.Get(c.section, c.key), c.want) << c.section << "/" << c.key;
    EXPECT_EQ(ini.GetString("General", "Name", "d", 6), "quoted");
    EXPECT_EQ(ini.GetString("General", "Missing", "default", 3), "def");
    EXPECT_EQ(ini.GetInt("General", "Num", 7), -42);
    EXPECT_EQ(ini.GetInt("General", "Empty", 7), 7);
    EXPECT_EQ(ini.GetInt("General", "Name", 7), 0);
    EXPECT_EQ(ini.GetInt("General", "Big", 7), 2147483647);
    EXPECT_EQ(ini.GetInt("General", "Missing", -1), -1);
}

TEST(IniFile, EditsKeepEveryOtherByte) {
    struct Case {
        const char* name;
        std::string before;
        std::function<bool(IniFile&)> edit;
        std::string after;
    } cases[] = {
        {"existing key rewritten in its line, its spelling and CR kept", "; c\r\n[A]\r\n KEY = old \r\nz=1\r\n",
         [](IniFile& f) { return f.Set("a", "key", "new"); }, "; c\r\n[A]\r\n KEY =new\r\nz=1\r\n"},
        {"new key after the last non-blank line of its section", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n",
         [](IniFile& f) { return f.Set("A", "k", "v"); }, "[A]\r\nx=1\r\nk=v\r\n\r\n[B]\r\ny=2\r\n"},
        {"new key in a last section without a final line break", "[A]\nx=1",
         [](IniFile& f) { return f.Set("A", "k", "v"); }, "[A]\nx=1\nk=v\n"},
        {"new section at the end, in the file's line ends", "[A]\nx=1",
         [](IniFile& f) { return f.Set("B", "k", "v"); }, "[A]\nx=1\n[B]\nk=v\n"},
        {"empty file gets CR LF", "", [](IniFile& f) { return f.Set("G", "k", "v"); }, "[G]\r\nk=v\r\n"},
        {"key line without '=' takes one", "[A]\r\nflag\r\n", [](IniFile& f) { return f.Set("A", "FLAG", "1"); },
         "[A]\r\nflag=1\r\n"},
        {"key deleted with its line", "[A]\r\nx=1\r\ny=2\r\n", [](IniFile& f) { return f.DeleteKey("A", "X"); },
         "[A]\r\ny=2\r\n"},
        {"section deleted up to the next one", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n;c\r\n[C]\r\n",
         [](IniFile& f) { return f.DeleteSection("b"); }, "[A]\r\nx=1\r\n[C]\r\n"},
        {"missing key: nothing to delete", "[A]\r\nx=1\r\n", [](IniFile& f) { return !f.DeleteKey("A", "q"); },
         "[A]\r\nx=1\r\n"},
        {"value with a line break refused", "[A]\r\n",
         [](IniFile& f) { return !f.Set("A", "k", "a\nb") && !f.Set("A", "k=", "v") && !f.Set("A]", "k", "v"); },
         "[A]\r\n"},
        {"bytes that are no text survive", std::string("\xff\0\r\n[A]\r\nx=\x80\r\n", 14),
         [](IniFile& f) { return f.Set("A", "y", "2"); }, std::string("\xff\0\r\n[A]\r\nx=\x80\r\ny=2\r\n", 19)},
    };
    for (const Case& c : cases) {
        IniFile f(c.before);
        EXPECT_TRUE(c.edit(f)) << c.name;
        EXPECT_EQ(f.Bytes(), c.after) << c.name;
    }
}

TEST(IniFile, NumberedKeys) {
    const IniFile f("[Open Files]\r\nFile 0=a\r\nfile 12=b\r\nFile x=c\r\nFile 3=\r\n[Other]\r\nFile 99=d\r\n");
    EXPECT_EQ(f.LargestNumberedKey("open files", "File "), 12);
    EXPECT_EQ(f.LargestNumberedKey("Missing", "File "), -1);
}

TEST(IniFile, SavesAtomicallyKeepingModeAndLinks) {
    test::TempFolder dir;
    const fs::path p = dir.Write("site.twp", "[General]\r\nSignature=Tarnwell\r\n");
    ::chmod(p.c_str(), 0640);
    fs::create_symlink(p, dir.path() / "link.twp");

    IniFile f;
    ASSERT_TRUE(f.Load(dir.path() / "link.twp"));
    EXPECT_TRUE(f.Exists());
    ASSERT_TRUE(f.Set("General", "Version", "1.0"));
    std::string error;
    ASSERT_TRUE(f.Save(dir.path() / "link.twp", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.twp"));
    EXPECT_EQ(dir.Read("site.twp"), "[General]\r\nSignature=Tarnwell\r\nVersion=1.0\r\n");
    EXPECT_EQ(fs::status(p).permissions() & fs::perms::all, fs::perms(0640));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

    // A name at the system's length limit saves as well.
    const std::string longName = std::string(251, 'n') + ".twp";
    dir.Write(longName, "[General]\r\n");
    IniFile longFile;
    ASSERT_TRUE(longFile.Load(dir.path() / longName));
    ASSERT_TRUE(longFile.Set("General", "Version", "1.0"));
    EXPECT_TRUE(longFile.Save(dir.path() / longName, &error)) << error;
    EXPECT_EQ(dir.Read(longName), "[General]\r\nVersion=1.0\r\n");

    // A folder that cannot be written: the old file stays whole and the reason is told.
    IniFile missing;
    EXPECT_TRUE(missing.Load(dir.path() / "none.twp"));
    EXPECT_FALSE(missing.Exists());
    EXPECT_FALSE(missing.Save(dir.path() / "no-folder" / "x.twp", &error));
    EXPECT_FALSE(error.empty());
    IniFile folder;
    EXPECT_FALSE(folder.Load(dir.path(), &error));
}
