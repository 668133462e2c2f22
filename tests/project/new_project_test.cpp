// The New Project wizard's checks and the files it writes.
#include "project/FileSystem.h"
#include "project/IniFile.h"
#include "project/NewProject.h"
#include "project/ProjectFile.h"
#include "tests/project/ProjectTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwell;
namespace fs = std::filesystem;

TEST(NewProject, NameChecks) {
    struct Case {
        std::string in, out, error;
    } cases[] = {
        {"  site ", "site.twp", ""},
        {"site.TWP", "site.TWP", ""},
        {"my site.twp.bak", "my site.twp.bak.twp", ""},
        {"   ", "", newproject_text::kEnterName},
        {"a/b", "a/b", newproject_text::kBadName},
        {"a\\b", "a\\b", newproject_text::kBadName},
        {"..", "..", newproject_text::kBadName},
        {"x\ny", "x\ny", newproject_text::kBadName},
        {std::string("x\0y", 3), std::string("x\0y", 3), newproject_text::kBadName},
    };
    for (Case& c : cases) {
        std::string name = c.in;
        EXPECT_EQ(CheckProjectName(name), c.error) << c.in;
        EXPECT_EQ(name, c.out) << c.in;
    }
}

TEST(NewProject, FolderChecks) {
    struct Case {
        std::string in, out, error;
    } cases[] = {
        {" /w/site/ / ", "/w/site", ""},
        {"/w/a\\b", "/w/a\\b", ""},  // a backslash is an ordinary character here, never rewritten
        {"/", "/", ""},
        {"  ", "", newproject_text::kEnterFolder},
        {"/w/a\nb", "/w/a\nb", newproject_text::kBadFolder},
    };
    for (Case& c : cases) {
        std::string folder = c.in;
        EXPECT_EQ(CheckProjectFolder(folder), c.error) << c.in;
        EXPECT_EQ(folder, c.out) << c.in;
    }
}

TEST(NewProject, CreatesFolderAndProjectFile) {
    test::TempFolder tmp;
    const std::string folder = tmp.Str("a/b c/site");
    std::string error;
    ASSERT_TRUE(CreateFolderPath(folder, error)) << error;
    ASSERT_TRUE(CreateFolderPath(folder, error)) << error;  // already there
    EXPECT_FALSE(FolderHoldsProject(folder));
    const std::string file = JoinPath(folder, "site.twp");
    ASSERT_TRUE(WriteProjectHeader(file, error)) << error;
    IniFile ini;
    ASSERT_TRUE(ini.Load(fs::path(file)));
    EXPECT_TRUE(ReadProjectHeader(ini).valid);
    EXPECT_TRUE(FolderHoldsProject(folder));

    // A file in the way of a folder fails with the system's text.
    tmp.Write("plain", "x");
    error.clear();
    EXPECT_FALSE(CreateFolderPath(tmp.Str("plain/sub"), error));
    EXPECT_FALSE(error.empty());
}

TEST(NewProject, AnyProjectFileBlocksTheFolder) {
    test::TempFolder tmp;
    tmp.Write("other.TwP", "");
    EXPECT_TRUE(FolderHoldsProject(tmp.Str()));
    test::TempFolder tmp2;
    fs::create_directories(tmp2.path() / "dir.twp");  // a folder of that name is no project
    tmp2.Write("site.twpx", "");
    EXPECT_FALSE(FolderHoldsProject(tmp2.Str()));
}

TEST(NewProject, GlobalAsaCopyIsWritable) {
    test::TempFolder tmp;
    const fs::path tpl = tmp.Write("Templates/Global.asa", "<SCRIPT LANGUAGE=VBScript RUNAT=Server>\r\n</SCRIPT>\r\n");
    ::chmod(tpl.c_str(), 0444);
    tmp.Write("site/Global.asa", "old");
    std::string error;
    ASSERT_TRUE(CopyGlobalAsa(tpl.string(), tmp.Str("site/Global.asa"), error)) << error;
    EXPECT_EQ(tmp.Read("site/Global.asa"), tmp.Read("Templates/Global.asa"));
    EXPECT_TRUE((fs::status(tmp.path() / "site/Global.asa").permissions() & fs::perms::owner_write) != fs::perms::none);
    EXPECT_FALSE(CopyGlobalAsa(tmp.Str("missing"), tmp.Str("site/x.asa"), error));
}

TEST(NewProject, DefaultFolder) {
    test::TempFolder tmp;
    fs::create_directories(tmp.path() / "prog");
    fs::create_directories(tmp.path() / "home");
    EXPECT_EQ(DefaultProjectsFolder(tmp.Str("prog"), tmp.Str("home")), JoinPath(tmp.Str("prog"), "Webs"));
    if (::geteuid() != 0) {  // permissions do not bind the superuser
        ::chmod(tmp.Str("prog").c_str(), 0555);
        EXPECT_EQ(DefaultProjectsFolder(tmp.Str("prog"), tmp.Str("home")), JoinPath(tmp.Str("home"), "Webs"));
        ::chmod(tmp.Str("prog").c_str(), 0755);
    }
}
