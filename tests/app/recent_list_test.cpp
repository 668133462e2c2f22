// Recent lists: order and limits, the settings they live in, menu texts and abbreviation.
#include "app/RecentList.h"
#include "platform/MemoryProfile.h"
#include "project/ProjectFile.h"

#include <gtest/gtest.h>

using namespace tarnwell;

namespace {

RecentList Files(int capacity = 15) {
    return RecentList(50016, "Recent Files", "File%d", [](const std::string& p) { return !IsProjectPath(p); },
                      capacity);
}

std::vector<std::string> EntriesOf(const RecentList& l) {
    std::vector<std::string> out;
    for (int i = 0; i < l.Size(); ++i) out.push_back(l.Entry(i));
    return out;
}

}  // namespace

TEST(RecentList, OrderAndLimits) {
    RecentList l = Files(3);
    for (const char* p : {"/a", "/b", "/c"}) l.Add(p);
    EXPECT_EQ(EntriesOf(l), (std::vector<std::string>{"/c", "/b", "/a"}));
    l.Add("/b");  // a listed path moves up, nothing falls out
    EXPECT_EQ(EntriesOf(l), (std::vector<std::string>{"/b", "/c", "/a"}));
    l.Add("/d");  // a new one pushes the oldest out
    EXPECT_EQ(EntriesOf(l), (std::vector<std::string>{"/d", "/b", "/c"}));
#ifdef _WIN32
    l.Add("/C");
    EXPECT_EQ(EntriesOf(l), (std::vector<std::string>{"/C", "/d", "/b"}));
#else
    l.Add("/C");  // letter case tells two files apart here
    EXPECT_EQ(EntriesOf(l), (std::vector<std::string>{"/C", "/d", "/b"}));
#endif
    EXPECT_TRUE(l.Remove(std::string("/d")));
    EXPECT_EQ(EntriesOf(l), (std::vector<std::string>{"/C", "/b"}));
    l.Remove(0);
    EXPECT_EQ(EntriesOf(l), (std::vector<std::string>{"/b"}));
    EXPECT_TRUE(l.OwnsId(50018) && !l.OwnsId(50019) && !l.OwnsId(50015));
}

TEST(RecentList, WhichListTakesWhichPath) {
    const RecentList files = Files();
    const RecentList projects(50000, "Recent Projects", "Project%d", [](const std::string& p) { return IsProjectPath(p); });
    for (const char* p : {"/w/site.twp", "/w/SITE.TWP", "ab.twp"}) {
        EXPECT_TRUE(projects.Accepts(p)) << p;
        EXPECT_FALSE(files.Accepts(p)) << p;
    }
    for (const char* p : {"a.twp", "/w/page.asp", "/w/site.twp.bak"}) {
        EXPECT_FALSE(projects.Accepts(p)) << p;
        EXPECT_TRUE(files.Accepts(p)) << p;
    }
}

TEST(RecentList, StoredAsNumberedValues) {
    MemoryProfile profile;
    profile.WriteString("Recent Files", "File1", "/one");
    profile.WriteString("Recent Files", "File3", "/three");  // a gap closes up
    profile.WriteString("Recent Files", "File16", "/beyond");
    RecentList l = Files();
    l.Read(profile);
    EXPECT_EQ(EntriesOf(l), (std::vector<std::string>{"/one", "/three"}));
    l.Add("/new");
    l.Write(profile);
    EXPECT_EQ(profile.GetString("Recent Files", "File1"), "/new");
    EXPECT_EQ(profile.GetString("Recent Files", "File3"), "/three");
    EXPECT_EQ(profile.GetString("Recent Files", "File16", "gone"), "gone");
    EXPECT_EQ(profile.GetString("Recent Files", "File4", "none"), "none");
}

TEST(RecentList, MenuTexts) {
    RecentList l = Files();
    for (int i = 15; i >= 1; --i) l.Add("/w/f" + std::to_string(i) + ".asp");
    const struct {
        int index;
        const char* text;
    } cases[] = {{0, "&1 /w/f1.asp"}, {8, "&9 /w/f9.asp"}, {9, "1&0 /w/f10.asp"}, {10, "11 /w/f11.asp"}, {14, "15 /w/f15.asp"}};
    for (const auto& c : cases) EXPECT_EQ(l.MenuText(c.index, "/elsewhere"), c.text);
    l.Add("/w/Tom & Jerry.asp");
    EXPECT_EQ(l.MenuText(0, "/w"), "&1 Tom && Jerry.asp");  // in the current folder: the name alone

    const struct {
        const char* path;
        const char* shown;
    } paths[] = {
        {"/home/user/webs/site/default.asp", "/.../webs/site/default.asp"},
        {"/short/page.asp", "/short/page.asp"},
        {"/a/averyveryverylongfilename.asp", "averyveryverylongfilename.asp"},
        {"/a/an-extremely-long-file-name-indeed.asp", "an-extremely-long-file-name..."},
        {"/d/\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9/x.asp",
         "/d/\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9/x.asp"},
    };
    for (const auto& p : paths) EXPECT_EQ(AbbreviatePath(p.path, 30), p.shown) << p.path;
}
