// Outline sources over real files: reading from disk or from an open text, the store keyed by document
// key, include paths and the walk over included files (cycles included).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "lang/BufferLineSource.h"
#include "lang/OutlineStore.h"
#include "text/CCrystalTextBuffer.h"

using namespace tarnwell;
namespace fs = std::filesystem;

namespace {

class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("tarnwell-outline-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string Write(const std::string& name, const std::string& bytes) const {
        fs::path p = path_ / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    std::string Path(const std::string& name) const { return (path_ / name).lexically_normal().string(); }

private:
    fs::path path_;
};

bool HasVariable(const ScriptOutline& o, const char* name) { return o.FindVariable(name) != nullptr; }

ScriptOutline& WithIncludes(OutlineSource& source, std::vector<std::string> lines) {
    OwnedLineSource text(std::move(lines));
    RebuildOutline(source.Outline(), text);
    return source.Outline();
}

}  // namespace

TEST(OutlineFileLines, SplitLikeTheEditorLoadsFiles) {
    using L = std::vector<std::string>;
    EXPECT_EQ(SplitFileLines(""), (L{""}));
    EXPECT_EQ(SplitFileLines("a\r\nb\r\n"), (L{"a", "b", ""}));
    EXPECT_EQ(SplitFileLines("a\nb"), (L{"a", "b"}));
    EXPECT_EQ(SplitFileLines("a\n\rb"), (L{"a", "b"}));
    EXPECT_EQ(SplitFileLines("a\nb\r\nz"), (L{"a", "b\r", "z"}));  // the first LF decides
    EXPECT_EQ(SplitFileLines("a\r\nb\nz"), (L{"a", "b\nz"}));
    EXPECT_EQ(SplitFileLines("x\r\r\ny"), (L{"x\r\r\ny"}));  // a broken partial match is not re-tested
    EXPECT_EQ(SplitFileLines("only\rcr"), (L{"only\rcr"}));
    EXPECT_EQ(SplitFileLines(std::string("a\0b\r\nc", 6)), (L{std::string("a\0b", 3), "c"}));
}

TEST(OutlineFileLines, ReadingFailsCleanly) {
    TempFolder tmp;
    std::vector<std::string> lines{"stale"};
    std::string error;
    EXPECT_FALSE(ReadFileLines(tmp.Path("missing.asp"), lines, &error));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ReadFileLines(tmp.Path(""), lines, &error));  // a folder
    std::string big(100000, 'x');
    ASSERT_TRUE(ReadFileLines(tmp.Write("big.asp", "<%\n" + big + "\n" + big), lines));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], big);
    // The line end is detected from the first 32768 bytes only, as the editor does.
    ASSERT_TRUE(ReadFileLines(tmp.Write("late.asp", big + "\n" + big), lines));
    EXPECT_EQ(lines.size(), 1u);
}

TEST(OutlineSources, OpenTextBeforeDiskAndUnreadableFiles) {
    TempFolder tmp;
    const std::string path = tmp.Write("page.asp", "<html>\r\n<% Dim diskVar %>\r\n");
    OutlineStore store;
    OutlineSource& source = store.GetOrCreate(path);
    EXPECT_EQ(source.Path(), path);
    EXPECT_EQ(&store.GetOrCreate(path), &source);
    EXPECT_TRUE(source.NeedsRebuild());

    RebuildOutline(source.Outline());
    EXPECT_FALSE(source.NeedsRebuild());
    EXPECT_TRUE(HasVariable(source.Outline(), "diskVar"));
    EXPECT_EQ(source.Outline().regions[0].startLine, 1);

    // The document opened the file and edited it: its buffer is the text now.
    std::vector<std::string> buffer{"<%", "Dim bufferVar", "%>"};
    VectorLineSource open(buffer);
    source.AttachOpenText(&open);
    source.MarkChanged();
    RebuildOutline(source.Outline());
    EXPECT_TRUE(HasVariable(source.Outline(), "bufferVar"));
    EXPECT_FALSE(HasVariable(source.Outline(), "diskVar"));

    // Closed again: back to the disk.
    source.AttachOpenText(nullptr);
    RebuildOutline(source.Outline());
    EXPECT_TRUE(HasVariable(source.Outline(), "diskVar"));

    // The store's lookup of open documents serves sources that have nothing attached.
    store.SetOpenTextLookup([&](const std::string& p) -> const LineSource* { return p == path ? &open : nullptr; });
    RebuildOutline(source.Outline());
    EXPECT_TRUE(HasVariable(source.Outline(), "bufferVar"));
    store.SetOpenTextLookup(nullptr);

    // A file that cannot be read leaves only the predefined objects.
    fs::remove(path);
    RebuildOutline(source.Outline());
    EXPECT_EQ(source.Outline().variables.size(), 8u);
    EXPECT_TRUE(source.Outline().regions.empty());
}

TEST(OutlineSources, StoreKeysAndMoves) {
    TempFolder tmp;
    OutlineStore store;
    const std::string untitled = "5f3a0c21:003";
    OutlineSource& doc = store.GetOrCreate(untitled);
    std::vector<std::string> buffer{"<% Dim x %>"};
    VectorLineSource open(buffer);
    doc.AttachOpenText(&open);
    RebuildOutline(doc.Outline());
    EXPECT_FALSE(doc.NeedsRebuild());
    EXPECT_TRUE(HasVariable(doc.Outline(), "x"));
    // Without its buffer an untitled key names no file, even if the working folder holds one by that name.
    doc.AttachOpenText(nullptr);
    const fs::path cwd = fs::current_path();
    fs::current_path(tmp.Path(""));
#ifndef _WIN32
    tmp.Write(untitled, "<% Dim fromCwd %>");  // ':' is no file-name character on Windows
#endif
    RebuildOutline(doc.Outline());
    fs::current_path(cwd);
    EXPECT_EQ(doc.Outline().variables.size(), 8u);
    doc.AttachOpenText(&open);

    // Saved under a name: the entry moves to the path, needs a rebuild, and keeps its open text.
    const std::string saved = tmp.Path("saved.asp");
    EXPECT_TRUE(store.Move(untitled, saved));
    EXPECT_EQ(store.Find(untitled), nullptr);
    EXPECT_EQ(store.Find(saved), &doc);
    EXPECT_EQ(doc.Path(), saved);
    EXPECT_TRUE(doc.NeedsRebuild());
    EXPECT_EQ(doc.AttachedOpenText(), &open);
    EXPECT_FALSE(store.Move(untitled, saved));

    store.GetOrCreate(tmp.Path("other.asp"));
    EXPECT_EQ(store.Size(), 2u);
    EXPECT_TRUE(store.Remove(tmp.Path("other.asp")));
    EXPECT_FALSE(store.Remove(tmp.Path("other.asp")));
    store.Clear();
    EXPECT_EQ(store.Size(), 0u);
#ifdef _WIN32
    EXPECT_TRUE(SameDocumentKey("C:\\Web\\A.asp", "c:\\web\\a.ASP"));
#else
    EXPECT_FALSE(SameDocumentKey("/web/A.asp", "/web/a.asp"));
#endif
}

TEST(OutlineIncludes, IncludePaths) {
    TempFolder tmp;
    OutlineSource page(tmp.Path("site/pages/page.asp"));
    WithIncludes(page, {"<!-- #include file=\"inc/Header.asp\" -->", "<!-- #include file=\"..\\lib\\Db.asp\" -->",
                        "<!-- #include file=\"./a//b/../C.asp\" -->", "<!-- #include virtual=\"/root/v.asp\" -->",
                        "<!-- #include file=\"\\back.asp\" -->", "<!-- #include virtual=\"rel/v.asp\" -->",
                        "<!-- #include file=\"C:\\Inetpub\\x.inc\" -->"});
    const ScriptOutline& o = page.Outline();
    ASSERT_EQ(o.includes.size(), 7u);
    EXPECT_EQ(o.includes[0], "INC/HEADER.ASP");
    EXPECT_EQ(IncludePath(o, 0), tmp.Path("site/pages/inc/Header.asp"));  // the name as written
    EXPECT_EQ(IncludePath(o, 1), tmp.Path("site/lib/Db.asp"));
    EXPECT_EQ(IncludePath(o, 2), tmp.Path("site/pages/a/C.asp"));
    EXPECT_EQ(IncludePath(o, 3), "");  // a leading separator: not followed
    EXPECT_EQ(IncludePath(o, 4), "");
    EXPECT_EQ(IncludePath(o, 5), tmp.Path("site/pages/rel/v.asp"));
    EXPECT_EQ(IncludePath(o, 6), "C:\\Inetpub\\x.inc");  // absolute: unchanged
    EXPECT_EQ(IncludePath(o, 7), "");

    // An untitled document has no folder to resolve against.
    OutlineSource untitled("5f3a0c21:003");
    WithIncludes(untitled, {"<!-- #include file=\"inc/Header.asp\" -->"});
    EXPECT_EQ(IncludePath(untitled.Outline(), 0), "");
}

TEST(OutlineIncludes, WalkVisitsEachFileOnceAndEndsOnCycles) {
    TempFolder tmp;
    const std::string a = tmp.Write("a.asp", "<!-- #include file=\"b.asp\" -->\n<!-- #include file=\"c.asp\" -->\n");
    tmp.Write("b.asp", "<!-- #include file=\"c.asp\" -->\n<!-- #include file=\"missing.asp\" -->\n<% Dim inB %>\n");
    tmp.Write("c.asp", "<!-- #include file=\"b.asp\" -->\n<!-- #include file=\"d.asp\" -->\n<% Dim inC %>\n");
    tmp.Write("d.asp", "<!-- #include file=\"a.asp\" -->\n<!-- #include file=\"e.asp\" -->\n<% Dim inD %>\n");
    tmp.Write("e.asp", "<% Dim inE %>\n");

    OutlineStore store;
    OutlineSource& start = store.GetOrCreate(a);
    RebuildOutline(start.Outline());
    std::vector<std::string> order;
    bool stopped = WalkIncludes(store, start, a, [&](OutlineSource& s) {
        EXPECT_FALSE(s.NeedsRebuild());
        order.push_back(fs::path(s.Path()).filename().string());
        return false;
    });
    EXPECT_FALSE(stopped);
    // b, then what b includes (c, then c's d); d includes the starting file, which ends d's walk before e.
    EXPECT_EQ(order, (std::vector<std::string>{"b.asp", "c.asp", "d.asp"}));
    EXPECT_EQ(store.Find(tmp.Path("missing.asp")), nullptr);
    EXPECT_EQ(store.Find(tmp.Path("e.asp")), nullptr);

    // Started in b (an editor showing b): c includes b, the starting file, which ends c's walk before d.
    OutlineSource& b = *store.Find(tmp.Path("b.asp"));
    order.clear();
    WalkIncludes(store, b, b.Path(), [&](OutlineSource& s) {
        order.push_back(fs::path(s.Path()).filename().string());
        return false;
    });
    EXPECT_EQ(order, (std::vector<std::string>{"c.asp"}));

    // First hit wins: the visitor stops the walk.
    const VariableItem* found = nullptr;
    stopped = WalkIncludes(store, start, a, [&](OutlineSource& s) {
        found = s.Outline().FindVariable("inC");
        return found != nullptr;
    });
    EXPECT_TRUE(stopped);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->startLine, 2);
}

TEST(OutlineIncludes, WalkRebuildsChangedFilesAndReadsOpenOnes) {
    TempFolder tmp;
    const std::string page = tmp.Write("page.asp", "<!-- #include file=\"lib.asp\" -->\n<!-- #include file=\"new.asp\" -->\n");
    const std::string lib = tmp.Write("lib.asp", "<% Dim old %>\n");
    OutlineStore store;
    OutlineSource& start = store.GetOrCreate(page);
    RebuildOutline(start.Outline());
    auto names = [&] {
        std::vector<std::string> out;
        WalkIncludes(store, start, page, [&](OutlineSource& s) {
            for (const auto& v : s.Outline().variables)
                if (!v->predefined) out.push_back(v->name);
            return false;
        });
        return out;
    };
    EXPECT_EQ(names(), (std::vector<std::string>{"old"}));
    // new.asp exists only as an unsaved buffer of an open document; lib.asp was edited in an editor.
    std::vector<std::string> newText{"<% Dim fresh %>"};
    std::vector<std::string> libText{"<% Dim edited %>"};
    VectorLineSource newOpen(newText), libOpen(libText);
    store.SetOpenTextLookup([&](const std::string& p) -> const LineSource* {
        if (p == tmp.Path("new.asp")) return &newOpen;
        if (p == lib) return &libOpen;
        return nullptr;
    });
    EXPECT_EQ(names(), (std::vector<std::string>{"old", "fresh"}));  // lib.asp has not been marked changed
    store.Find(lib)->MarkChanged();
    EXPECT_EQ(names(), (std::vector<std::string>{"edited", "fresh"}));
}

TEST(OutlineSources, OpenBufferIsTheText) {
    TempFolder tmp;
    const std::string path = tmp.Write("page.asp", "<% Dim onDisk %>\r\n");
    CCrystalTextBuffer buffer;
    ASSERT_TRUE(buffer.ReadFromFile(fs::path(path)));
    BufferLineSource open(buffer);
    OutlineStore store;
    OutlineSource& source = store.GetOrCreate(path);
    source.AttachOpenText(&open);
    RebuildOutline(source.Outline());
    EXPECT_TRUE(HasVariable(source.Outline(), "onDisk"));
    // Edited in the buffer, not saved: the rebuild sees the edit, the disk still holds the old text.
    ASSERT_TRUE(buffer.InsertTextAt(nullptr, 1, 0, "<%\r\nSet rs = Server.CreateObject(\"ADODB.Recordset\")\r\n%>"));
    source.MarkChanged();
    RebuildOutline(source.Outline());
    ASSERT_NE(source.Outline().FindVariable("rs"), nullptr);
    EXPECT_EQ(source.Outline().FindVariable("rs")->text, "ADODB.Recordset");
    EXPECT_EQ(source.Outline().FindVariable("rs")->startLine, 2);
    source.AttachOpenText(nullptr);
    RebuildOutline(source.Outline());
    EXPECT_EQ(source.Outline().FindVariable("rs"), nullptr);
}

TEST(OutlineIncludes, VirtualNamesAreTakenFromTheSiteRoot) {
    TempFolder tmp;
    const std::string page = tmp.Write("site/pages/page.asp",
                                       "<!-- #include file=\"inc/a.asp\" -->\n"
                                       "<!-- #include virtual=\"/lib/b.asp\" -->\n"
                                       "<!-- #include VIRTUAL=\"lib\\c.asp\" -->\n"
                                       "<!-- #include virtual=\"/lib/../../outside.asp\" -->\n");
    tmp.Write("site/lib/b.asp", "<% Dim inB %>\n");
    OutlineStore store;
    OutlineSource& source = store.GetOrCreate(page);
    RebuildOutline(source.Outline());
    const ScriptOutline& o = source.Outline();
    ASSERT_EQ(o.includeSites.size(), 4u);
    const bool kinds[] = {false, true, true, true};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(o.includeSites[i].isVirtual, kinds[i]) << i;
        EXPECT_EQ(o.includeSites[i].line, static_cast<int>(i));
    }
    struct Row {
        const char* root;
        std::vector<std::string> paths;
    } rows[] = {
        // No site root (no project): a virtual name is followed like a file name, a rooted one not at all.
        {"", {tmp.Path("site/pages/inc/a.asp"), "", tmp.Path("site/pages/lib/c.asp"), ""}},
        {"site", {tmp.Path("site/pages/inc/a.asp"), tmp.Path("site/lib/b.asp"), tmp.Path("site/lib/c.asp"), ""}},
    };
    for (const Row& r : rows) {
        store.SetSiteRoot(*r.root ? tmp.Path(r.root) : std::string());
        for (size_t i = 0; i < r.paths.size(); ++i) EXPECT_EQ(IncludePath(o, i), r.paths[i]) << r.root << " " << i;
    }
    // The walk follows the virtual include to the site root's file.
    bool found = WalkIncludes(store, source, page, [](OutlineSource& s) { return s.Outline().FindVariable("inB") != nullptr; });
    EXPECT_TRUE(found);
}

TEST(OutlineRegions, OneLineUpdateMatchesARebuild) {
    struct Row {
        std::vector<std::string> before;
        int line;
        const char* after;
        bool updated;  // else a rebuild is needed and nothing changed
    } rows[] = {
        {{"<p><% Call Foo(a, %> <b>"}, 0, "<p><% Call Foo(a, bb, %> <b>", true},
        {{"<%", "Call Foo(a,", "%>"}, 1, "Call Foo(a, b,", true},
        {{"x", "<% Call Foo(a"}, 1, "<% Call Foo(a, b", true},                 // never closed: ends with the text
        {{"<% Dim a", "x %>"}, 1, "xyz %> tail", true},                          // closes here, further right
        {{"<script language=vbscript runat=server>", "Foo 1", "</script>"}, 1, "Foo 1, 2", true},
        {{"<%", "Call Foo(a,", "%>"}, 1, "Call Foo(a, %>", false},              // closes here now
        {{"<% a %>"}, 0, "a %>", false},                                          // no longer opens
        {{"text"}, 0, "<% a", false},                                             // opens now
        {{"<!-- #include file=\"a.asp\" --><% a %>"}, 0, "<!-- #include file=\"b.asp\" --><% a %>", false},
        {{"<% a %>"}, 0, "<% a %><!-- #include file=\"b.asp\" -->", false},      // an include now
        {{"<% a %>"}, 3, "", false},                                              // beyond the text
    };
    auto same = [](const ScriptOutline& a, const ScriptOutline& b) {
        if (a.regions.size() != b.regions.size()) return false;
        for (size_t i = 0; i < a.regions.size(); ++i) {
            const ScriptRegion &x = a.regions[i], &y = b.regions[i];
            if (x.startLine != y.startLine || x.startChar != y.startChar || x.endLine != y.endLine ||
                x.endChar != y.endChar || x.closed != y.closed || x.byScript != y.byScript)
                return false;
        }
        return true;
    };
    for (const Row& r : rows) {
        OwnedLineSource text(r.before);
        OutlineSource stale("/site/page.asp"), before("/site/page.asp"), fresh("/site/page.asp");
        RebuildOutline(stale.Outline(), text);
        RebuildOutline(before.Outline(), text);
        if (r.line < text.LineCount()) text.Lines()[static_cast<size_t>(r.line)] = r.after;
        RebuildOutline(fresh.Outline(), text);
        EXPECT_EQ(UpdateRegionsOnLine(stale.Outline(), text, r.line), r.updated) << r.after;
        EXPECT_TRUE(same(stale.Outline(), r.updated ? fresh.Outline() : before.Outline())) << r.after;
    }
    // Generations come from one counter: two outlines never share one.
    OutlineSource a("/a.asp"), b("/b.asp");
    const OwnedLineSource x(std::vector<std::string>{"x"});
    RebuildOutline(a.Outline(), x);
    RebuildOutline(b.Outline(), x);
    EXPECT_NE(a.Outline().Generation(), b.Outline().Generation());
}
