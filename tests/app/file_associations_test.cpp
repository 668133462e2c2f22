// The association table: fixed rows, stored rows as read back and written, limits and damaged rows.
#include "app/FileAssociations.h"
#include "platform/MemoryProfile.h"

#include <gtest/gtest.h>

#include <map>

using namespace tarnwell;

namespace {

AssociationTable Loaded(const std::map<int, std::string>& stored, int count) {
    AssociationTable t("/opt/tw/tarnwell");
    t.Load(count, [&](int n) -> std::optional<std::string> {
        auto it = stored.find(n);
        return it == stored.end() ? std::nullopt : std::optional<std::string>(it->second);
    });
    return t;
}

std::string Summary(const AssociationTable& t) {
    std::string s;
    for (size_t i = AssociationTable::kFixedRows; i < t.Rows().size(); ++i) {
        const Association& a = t.Rows()[i];
        s += a.extension + (a.internal ? "=self" : "=" + a.editor + "[" + a.parameters + "]") + " ";
    }
    return s;
}

}  // namespace

TEST(FileAssociations, FixedRowsAreInternalAndMatchInAnyCase) {
    AssociationTable t("/opt/tw/tarnwell");
    ASSERT_EQ(t.Rows().size(), 7u);
    EXPECT_EQ(t.Rows()[6].extension, ".shtml");
    ASSERT_TRUE(t.Find(".HTM"));
    EXPECT_TRUE(t.Find(".HTM")->internal);
    EXPECT_EQ(t.Find(".HTM")->editor, "/opt/tw/tarnwell");
    EXPECT_FALSE(t.Find(".css"));
    EXPECT_FALSE(t.Change(0, false, "/usr/bin/x", ""));
    EXPECT_FALSE(t.Remove(6));
    EXPECT_TRUE(t.StoredRows().empty());
}

TEST(FileAssociations, ReadsStoredRowsSkippingDamagedOnes) {
    const AssociationTable t = Loaded({{0, ".css\n0\n/usr/bin/gimp x\n--new -a"},
                                       {1, "css\n0\n/bin/ed\n"},          // no dot: skipped, reading goes on
                                       {2, ".php\n0\n\n"},                 // external without a program
                                       {3, ".txt\n1\n/ignored\nignored"},  // internal: own path, no parameters
                                       {5, ".ASP\n0\n/usr/bin/vi\n"},      // a fixed row made external
                                       {6, ".js\n0\n/usr/bin/code\n\n"},  // a fifth field: damaged
                                       {7, ".svg\n0\n/usr/bin/inkscape"}},
                                      8);
    EXPECT_EQ(Summary(t), ".css=/usr/bin/gimp x[--new -a] .txt=self .svg=/usr/bin/inkscape[] ");
    EXPECT_FALSE(t.Find(".asp")->internal);
    // Written back: the fixed row made external first, then the added rows in order.
    const std::vector<std::string> rows = t.StoredRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], ".ASP\n0\n/usr/bin/vi\n");
    EXPECT_EQ(rows[2], ".txt\n1\n/opt/tw/tarnwell\n");
    EXPECT_EQ(Summary(Loaded({{0, rows[0]}, {1, rows[1]}, {2, rows[2]}, {3, rows[3]}}, 4)), Summary(t));
}

TEST(FileAssociations, CountAndRowLimits) {
    EXPECT_EQ(StoredCount(-1), 256);
    EXPECT_EQ(StoredCount(257), 256);
    EXPECT_EQ(StoredCount(12), 12);
    std::map<int, std::string> many;
    for (int n = 0; n < 300; ++n) many[n] = ".e" + std::to_string(n) + "\n1\n\n";
    AssociationTable t = Loaded(many, 100000);
    EXPECT_EQ(t.Rows().size(), 256u);
    EXPECT_FALSE(t.Add({".new", "", "", true}));
    ASSERT_TRUE(t.Remove(7));
    EXPECT_TRUE(t.Add({".new", "/x/y", "ignored", true}));
    EXPECT_EQ(t.Rows().back().editor, "/opt/tw/tarnwell");
}

TEST(FileAssociations, EditsRefuseDuplicatesAndLineBreaks) {
    AssociationTable t("/opt/tw/tarnwell");
    EXPECT_TRUE(t.Add({".css", "/usr/bin/gimp", "", false}));
    EXPECT_FALSE(t.Add({".CSS", "/usr/bin/vi", "", false}));
    EXPECT_FALSE(t.Add({".php", "/usr/bin/vi\n.x", "", false}));
    EXPECT_FALSE(t.Add({".php", "", "", false}));
    EXPECT_FALSE(t.Add({"php", "/usr/bin/vi", "", false}));
    EXPECT_FALSE(t.Change(7, false, "/usr/bin/vi", "a\rb"));
    EXPECT_TRUE(t.Change(7, true, "", ""));
    EXPECT_TRUE(t.Find(".css")->internal);
}

TEST(FileAssociations, ExtensionOfLastComponent) {
    EXPECT_EQ(ExtensionOf("/w/site.v2/Style.CSS"), ".CSS");
    EXPECT_EQ(ExtensionOf("/w/site.v2/Makefile"), "");
    EXPECT_EQ(ExtensionOf("a.tar.gz"), ".gz");
}

TEST(FileAssociations, SavedRowsReadBackAndResetStoresNone) {
    MemoryProfile p;
    AssociationTable t("/opt/tw/tarnwell");
    ASSERT_TRUE(t.Add({".css", "/usr/bin/gimp", "--new", false}));
    ASSERT_TRUE(t.Add({".txt", "", "", true}));
    ASSERT_TRUE(SaveAssociations(t, p));
    EXPECT_EQ(p.GetInt(filetypes::kEditors, "Count", -1), 2);
    AssociationTable back("/opt/tw/tarnwell");
    LoadAssociations(back, p);
    EXPECT_EQ(Summary(back), ".css=/usr/bin/gimp[--new] .txt=self ");
    t.Reset();
    ASSERT_TRUE(SaveAssociations(t, p));
    LoadAssociations(back, p);
    EXPECT_EQ(back.Rows().size(), 7u);
}

TEST(FileAssociations, RouteOfAFile) {
    const std::string self = "/opt/tw/tarnwell";
    AssociationTable t = Loaded({{0, ".css\n0\n/usr/bin/gvim\n-f"}, {1, ".txt\n1\n\n"}, {2, ".php\n0\n/opt/tw/tarnwell\n"}}, 3);
    struct Case {
        const char* path;
        bool openUnlisted;
        OpenRoute route;
        const char* editor;
    } cases[] = {
        {"/site/PAGE.HTM", false, OpenRoute::Editor, ""},         // fixed row in another case
        {"/site/a.txt", false, OpenRoute::Editor, ""},            // internal row of the user's
        {"/site/x.php", false, OpenRoute::Editor, ""},            // external row naming this program
        {"/site/style.CSS", true, OpenRoute::External, "/usr/bin/gvim"},
        {"/site/logo.gif", false, OpenRoute::Desktop, ""},
        {"/site/logo.gif", true, OpenRoute::Editor, ""},
        {"/site.asp/README", false, OpenRoute::Desktop, ""},      // the dot of a folder is not an extension
    };
    for (const Case& c : cases) {
        const Association* row = nullptr;
        EXPECT_EQ(RouteFor(t, c.openUnlisted, c.path, self, &row), c.route) << c.path;
        EXPECT_EQ(row ? row->editor : std::string(), c.editor) << c.path;
    }
}

TEST(FileAssociations, TypedExtensionsAndProgramNames) {
    const std::pair<const char*, const char*> typed[] = {
        {"  php ", ".php"}, {".CSS", ".CSS"}, {"", ""}, {"   ", ""}, {".", ""}, {" . ", ""},
        {"a/b", ""}, {".x\\y", ""}, {"tar.gz", ".tar.gz"},
    };
    for (const auto& [in, out] : typed) EXPECT_EQ(NormalizeExtension(in), out) << '"' << in << '"';
    EXPECT_EQ(NormalizeExtension(std::string(".a\nb")), "");
    EXPECT_EQ(ProgramFileName("/usr/bin/gvim"), "gvim");
    EXPECT_EQ(ProgramFileName("C:\\Tools\\ed.exe"), "ed.exe");
    EXPECT_EQ(ProgramFileName("org.gnome.gedit.desktop"), "org.gnome.gedit.desktop");
}
