// Rebuilding the outline of a generated 1 MB ASP page (about 20,000 lines).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lang/Regexx.h"
#include "lang/ScriptOutline.h"

using namespace tarnwell;

namespace {

// A realistic mix: markup between blocks, inline expressions, include directives, procedures with
// locals and With blocks, classes, Set statements of every kind, comments and continued lines.
std::vector<std::string> GeneratePage(size_t targetBytes) {
    std::vector<std::string> lines;
    size_t bytes = 0;
    auto add = [&](std::string s) {
        bytes += s.size() + 2;
        lines.push_back(std::move(s));
    };
    add("<%@ Language=VBScript %>");
    add("<!-- #include file=\"inc/common.asp\" -->");
    for (int i = 0; bytes < targetBytes; ++i) {
        const std::string n = std::to_string(i);
        add("<table width=\"100%\" class=\"grid\"><tr><td class=\"label\">Row " + n + "</td>");
        add("  <td width=50%><% Dim cell" + n + " %><%= Request.QueryString(\"id" + n + "\") %></td></tr>");
        add("</table>");
        add("<%");
        add("' ---- section " + n + " ----");
        add("Dim total" + n + ", items" + n + "(20), name" + n + " ' running totals");
        add("Const MAX_" + n + " = 100");
        add("Set conn" + n + " = Server.CreateObject(\"ADODB.Connection\")");
        add("Set rs" + n + " = conn" + n + ".Execute(\"SELECT * FROM t" + n + " WHERE a = 'x'\")");
        add("Sub Render" + n + "(ByVal title, _");
        add("                 ByRef rows, count)");
        add("  Dim i, line");
        add("  Set dict = CreateObject(\"Scripting.Dictionary\")");
        add("  With Response");
        add("    .Write \"<h1>\" & Server.HTMLEncode(title) & \"</h1>\"");
        add("    For i = 0 To count - 1");
        add("      .Write rows(i) & \"<br>\"");
        add("    Next");
        add("  End With");
        add("  If count > MAX_" + n + " Then Response.Write \"more\"");
        add("End Sub");
        if (i % 4 == 0) {
            add("Class Basket" + n);
            add("  Dim owner, lines");
            add("  Public Function Total()");
            add("    Total = 0");
            add("  End Function");
            add("  Function Count(x)");
            add("    Count = UBound(lines)");
            add("  End Function");
            add("End Class");
            add("Set basket" + n + " = New Basket" + n);
        }
        add("Set rs" + n + " = Nothing");
        add("%>");
        add("<p>Some text for paragraph " + n + " with <b>markup</b> and an <a href=\"page" + n +
            ".asp\">anchor</a>.</p>");
        add("<script language=\"javascript\">var x" + n + " = 1;</script>");
    }
    return lines;
}

const std::vector<std::string>& Page() {
    static const std::vector<std::string> page = GeneratePage(1 << 20);
    return page;
}

void BM_RebuildFromLines(benchmark::State& state) {
    const auto& page = Page();
    VectorLineSource text(page);
    OutlineSource source("/bench/page.asp");
    RebuildOutline(source.Outline(), text);  // patterns compiled here, once
    const auto compiles = regexx::Regexx::CompileCount();
    for (auto _ : state) {
        RebuildOutline(source.Outline(), text);
        benchmark::DoNotOptimize(source.Outline().variables.size());
    }
    size_t bytes = 0;
    for (const auto& l : page) bytes += l.size() + 2;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    const ScriptOutline& o = source.Outline();
    state.counters["lines"] = static_cast<double>(page.size());
    state.counters["procedures"] = static_cast<double>(o.procedures.size());
    state.counters["variables"] = static_cast<double>(o.variables.size());
    state.counters["classes"] = static_cast<double>(o.classes.size());
    state.counters["regions"] = static_cast<double>(o.regions.size());
    state.counters["compiles_in_loop"] = static_cast<double>(regexx::Regexx::CompileCount() - compiles);
}
BENCHMARK(BM_RebuildFromLines)->Unit(benchmark::kMillisecond);

void BM_RebuildFromDisk(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "tarnwell-outline-bench.asp";
    {
        std::ofstream out(path, std::ios::binary);
        for (const auto& l : Page()) out << l << "\r\n";
    }
    OutlineSource source(path.string());
    for (auto _ : state) {
        RebuildOutline(source.Outline());
        benchmark::DoNotOptimize(source.Outline().variables.size());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_RebuildFromDisk)->Unit(benchmark::kMillisecond);

}  // namespace
