// Type information: loading every shipped library description, and resolving expressions in a 1 MB page
// with an include once its outline is built.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "bench/GeneratedPage.h"
#include "lang/MemberQuery.h"
#include "lang/TypeLibraryFolders.h"

namespace fs = std::filesystem;
using namespace tarnwell;

namespace {

const char* const kLibraryProgIds[] = {"ADODB.Recordset", "Scripting.Dictionary", "CDO.Message", "MSXML2.DOMDocument",
                                       "VBScript.RegExp"};

void BM_LoadAllShippedLibraries(benchmark::State& state) {
    const std::string folder = TypeLibsFolder();
    size_t libraries = 0;
    for (auto _ : state) {
        TypeLibraryCache cache(std::make_unique<FolderTypeLibraryProvider>(std::vector<std::string>{folder}));
        LoadStartupTypeLibraries(cache, folder);
        for (const char* progId : kLibraryProgIds) benchmark::DoNotOptimize(cache.FindTypeByProgId(progId));
        libraries = cache.Libraries().size();
    }
    state.counters["libraries"] = static_cast<double>(libraries);
}
BENCHMARK(BM_LoadAllShippedLibraries)->Unit(benchmark::kMillisecond);

// A page of about 1 MB: many globals, procedures and classes, an include, and the typing line last.
struct LargePage {
    fs::path dir = fs::temp_directory_path() / "tarnwell-typeinfo-bench";
    OwnedLineSource text;
    OutlineStore store;
    std::string folder = TypeLibsFolder();
    TypeLibraryCache cache{std::make_unique<FolderTypeLibraryProvider>(std::vector<std::string>{folder})};
    TypeContext ctx{store, cache};
    OutlineSource* doc = nullptr;
    int typingLine = 0;

    LargePage() {
        fs::create_directories(dir);
        std::ofstream(dir / "inc.asp") << "<% Set conn = Server.CreateObject(\"ADODB.Connection\") %>\n";
        auto& lines = text.Lines();
        lines.push_back("<!--#include file=\"inc.asp\"-->");
        lines.push_back("<%");
        size_t bytes = 0;
        for (int i = 0; bytes < (1u << 20); ++i) {
            const std::string n = std::to_string(i);
            const std::string chunk[] = {
                "Dim value" + n + ", other" + n,
                "Set obj" + n + " = Server.CreateObject(\"Scripting.Dictionary\")",
                "Function Compute" + n + "(a, b)",
                "  Dim local" + n,
                "  Compute" + n + " = a + b ' a comment to make the line longer",
                "End Function",
                "Response.Write \"<tr><td>\" & value" + n + " & \"</td></tr>\"",
            };
            for (const std::string& l : chunk) {
                lines.push_back(l);
                bytes += l.size() + 2;
            }
        }
        lines.push_back("Set rs = conn.Execute(\"select * from t\")");
        typingLine = static_cast<int>(lines.size());
        lines.push_back("");
        lines.push_back("%>");
        doc = &store.GetOrCreate((dir / "page.asp").string());
        doc->AttachOpenText(&text);
        LoadStartupTypeLibraries(cache, folder);
        RebuildOutline(doc->Outline());
    }
    ~LargePage() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    TextPosition Type(const std::string& s) {
        text.Lines()[static_cast<size_t>(typingLine)] = s;
        return {typingLine, static_cast<int>(s.size())};
    }
};

void BM_MemberListInLargePage(benchmark::State& state, const char* typed) {
    LargePage page;
    const TextPosition caret = page.Type(typed);
    size_t items = 0;
    for (auto _ : state) {
        MemberList list = ListMembersAt(page.ctx, *page.doc, page.text, caret);
        items = list.items.size();
        benchmark::DoNotOptimize(list);
    }
    state.counters["items"] = static_cast<double>(items);
}
// After a dot: the members of the type; a bare word: every global name of the page and its include.
BENCHMARK_CAPTURE(BM_MemberListInLargePage, dotted, "x = rs.Fields(Trim(y)).")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MemberListInLargePage, global, "x = val")->Unit(benchmark::kMicrosecond);

void BM_ResolveExpressionInLargePage(benchmark::State& state) {
    LargePage page;
    const TextPosition caret = page.Type("obj5.");
    Expression segs;
    SplitExpression("obj5.Item(\"k\").", 0, 15, segs);
    for (auto _ : state) benchmark::DoNotOptimize(ResolveExpression(page.ctx, segs, *page.doc, caret));
}
BENCHMARK(BM_ResolveExpressionInLargePage)->Unit(benchmark::kMicrosecond);

void BM_ParameterTipInLargePage(benchmark::State& state) {
    LargePage page;
    const TextPosition caret = page.Type("Response.Write Replace(value7, \"a\", ");
    for (auto _ : state) benchmark::DoNotOptimize(ParameterTipAt(page.ctx, *page.doc, page.text, caret));
}
BENCHMARK(BM_ParameterTipInLargePage)->Unit(benchmark::kMicrosecond);

}  // namespace
