// Desktop entries as the desktop describes applications, and which one opens a MIME type.
#include "app/DesktopEntries.h"

#include <gtest/gtest.h>

#include <set>

using namespace tarnwell;

TEST(DesktopEntries, ReadsTheEntryGroupOnly) {
    const DesktopEntryInfo e = ParseDesktopEntry(
        "# comment\r\n[Desktop Entry]\r\nType=Application\r\nName = Gvim \r\nName[de]=X\r\nExec=gvim -f %F\r\n"
        "MimeType=text/plain;text/css;;\r\nNoDisplay=false\r\n[Desktop Action new]\r\nExec=other\r\nName=Y\n");
    EXPECT_TRUE(e.application);
    EXPECT_FALSE(e.hidden);
    EXPECT_EQ(e.name, "Gvim");
    EXPECT_EQ(e.exec, "gvim -f %F");
    EXPECT_EQ(e.mimeTypes, (std::vector<std::string>{"text/plain", "text/css"}));
    // Damaged or hostile text yields an empty entry, never a crash.
    for (const std::string& bad : {std::string(), std::string("[Desktop Entry"), std::string("\0\0=\n[\n]\n", 9),
                                   std::string(100000, '[')}) {
        const DesktopEntryInfo d = ParseDesktopEntry(bad);
        EXPECT_FALSE(d.application);
        EXPECT_TRUE(d.exec.empty());
    }
    EXPECT_TRUE(ParseDesktopEntry("[Desktop Entry]\nType=Application\nHidden=true\n").hidden);
}

TEST(DesktopEntries, DefaultApplicationOrder) {
    const std::string user = "[Default Applications]\ntext/css=gone.desktop;user-css.desktop\n"
                             "[Removed Associations]\ntext/plain=cached-text.desktop\n";
    const std::string system = "[Default Applications]\ntext/css=system-css.desktop\n"
                               "[Added Associations]\ntext/x-log=added.desktop\n";
    const std::string cache = "[MIME Cache]\ntext/plain=cached-text.desktop;other-text.desktop;\n"
                              "application/x-zip=zipper.desktop\n";
    const std::set<std::string> installed = {"user-css.desktop", "system-css.desktop", "added.desktop",
                                             "cached-text.desktop", "other-text.desktop"};
    auto find = [&](std::vector<std::string> types) {
        return DefaultApplicationFor(types, {user, system}, {cache},
                                     [&](const std::string& id) { return installed.count(id) > 0; });
    };
    EXPECT_EQ(find({"text/css", "text/plain"}), "user-css.desktop");     // the user's list first, uninstalled skipped
    EXPECT_EQ(find({"text/x-log", "text/plain"}), "added.desktop");      // added before the cache
    EXPECT_EQ(find({"text/x-foo", "text/plain"}), "other-text.desktop"); // an ancestor; removed entry skipped
    EXPECT_EQ(find({"application/x-zip"}), "");                          // declared but not installed
    EXPECT_EQ(find({"image/x-none"}), "");
}
