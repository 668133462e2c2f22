// Benchmarks of the language core: the line parser over a generated 100 MB ASP/HTML page (cookie-only
// and with blocks), the SCRIPT-tag test, keyword lookups and a cached fixed-pattern match.
#include "lang/HtmlAspParser.h"
#include "lang/Keywords.h"
#include "lang/Regexx.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

using namespace tarnwell;

namespace {

struct Page {
    std::vector<std::string> lines;
    std::size_t bytes = 0;
    KeywordSet html, vb;
    int longest = 0;
};

// A realistic mix: markup with attributes and strings, comments, ASP blocks with VBScript statements,
// inline expressions inside attributes, and VBScript SCRIPT elements.
const Page& TestPage() {
    static Page page = [] {
        Page p;
        ParseKeywordText(p.html, "html, head, body, table, tr, td, a, href, div, class, id, src, img, border, width, "
                                 "script, language, runat, form, input, type, name, value, p, span, style");
        ParseKeywordText(p.vb, "dim, if, then, else, end, for, each, next, sub, function, set, nothing, "
                               "response, request, and, or, not, true, false, while, wend, call");
        const char* chunk[] = {
            "<html>",
            "<head><title>Orders for the month</title></head>",
            "<body bgcolor=\"#FFFFFF\" class=\"main\">",
            "<!-- order table, filled from the database -->",
            "<table border=\"0\" width=\"100%\" cellpadding=\"2\">",
            "<%",
            "  Dim rs, total, i",
            "  Set rs = Server.CreateObject(\"ADODB.Recordset\")",
            "  rs.Open \"SELECT * FROM Orders WHERE Month = \" & Request(\"m\"), conn",
            "  total = 0 ' running sum",
            "  Do While Not rs.EOF",
            "    If rs(\"Amount\") > 0 Then total = total + rs(\"Amount\")",
            "%>",
            "  <tr><td class=\"name\"><a href=\"order.asp?id=<%= rs(\"ID\") %>\"><%= rs(\"Name\") %></a></td>",
            "      <td align=\"right\"><%= FormatNumber(rs(\"Amount\"), 2) %></td></tr>",
            "<%",
            "    rs.MoveNext",
            "  Loop",
            "  rem done with the records",
            "  rs.Close : Set rs = Nothing",
            "%>",
            "</table>",
            "<p>Total: <b><%= total %></b></p>",
            "<script language=\"VBScript\" runat=\"server\">",
            "Function Twice(x)",
            "  Twice = x * 2 ' doubles",
            "End Function",
            "</script>",
            "<div id=\"footer\">Generated page &copy; example</div>",
            "</body>",
            "</html>",
        };
        while (p.bytes < 100u * 1024 * 1024) {
            for (const char* l : chunk) {
                p.lines.emplace_back(l);
                p.bytes += p.lines.back().size() + 2;
                if (int(p.lines.back().size()) > p.longest) p.longest = int(p.lines.back().size());
            }
        }
        return p;
    }();
    return page;
}

void BM_ParseCookieOnly(benchmark::State& state) {
    const Page& p = TestPage();
    HtmlAspContext ctx{FileKindAsp, &p.html, &p.vb, true};
    for (auto _ : state) {
        LineCookie c = 0;
        int none = 0;
        for (const auto& l : p.lines) c = ParseHtmlAspLine(c, l.data(), int(l.size()), nullptr, none, ctx);
        benchmark::DoNotOptimize(c);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(p.bytes));
}
BENCHMARK(BM_ParseCookieOnly)->Unit(benchmark::kMillisecond);

void BM_ParseWithBlocks(benchmark::State& state) {
    const Page& p = TestPage();
    HtmlAspContext ctx{FileKindAsp, &p.html, &p.vb, true};
    std::vector<ColorBlock> blocks(std::size_t(MaxBlocksForLine(p.longest)));
    for (auto _ : state) {
        LineCookie c = 0;
        for (const auto& l : p.lines) {
            int count = 0;
            c = ParseHtmlAspLine(c, l.data(), int(l.size()), blocks.data(), count, ctx);
            benchmark::DoNotOptimize(count);
        }
        benchmark::DoNotOptimize(c);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(p.bytes));
}
BENCHMARK(BM_ParseWithBlocks)->Unit(benchmark::kMillisecond);

// One SCRIPT start tag line per iteration: after the first, a match and no compilation.
void BM_ScriptTagLine(benchmark::State& state) {
    const Page& p = TestPage();
    HtmlAspContext ctx{FileKindAsp, &p.html, &p.vb, true};
    const std::string line = "<script language=\"VBScript\" runat=\"server\">";
    std::vector<ColorBlock> blocks(std::size_t(MaxBlocksForLine(int(line.size()))));
    int warm = 0;
    ParseHtmlAspLine(0, line.data(), int(line.size()), blocks.data(), warm, ctx);
    const auto compiles = regexx::Regexx::CompileCount();
    for (auto _ : state) {
        int count = 0;
        benchmark::DoNotOptimize(ParseHtmlAspLine(0, line.data(), int(line.size()), blocks.data(), count, ctx));
    }
    state.counters["compiles"] = double(regexx::Regexx::CompileCount() - compiles);
}
BENCHMARK(BM_ScriptTagLine);

void BM_KeywordLookup(benchmark::State& state) {
    const Page& p = TestPage();
    const char* words[] = {"Dim", "rs", "Response", "total", "NOTHING", "x", "Function", "wend"};
    for (auto _ : state) {
        int found = 0;
        for (const char* w : words) found += LookupKeyword(p.vb, w, std::char_traits<char>::length(w));
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * 8);
}
BENCHMARK(BM_KeywordLookup);

void BM_RegexxCachedPattern(benchmark::State& state) {
    for (auto _ : state) {
        regexx::Regexx rx;
        benchmark::DoNotOptimize(rx.MatchOnce("  Dim total, count", "^\\s*Dim\\s+(\\w+)", regexx::Regexx::IgnoreCase));
    }
}
BENCHMARK(BM_RegexxCachedPattern);

}  // namespace
