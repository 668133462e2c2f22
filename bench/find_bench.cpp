// Search speed over a 100 MB page whose only match is on its last line.
#include "text/FindText.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace tarnwell;

namespace {

// Lines typical of an ASP page; several contain near misses of the searched text.
const char* const kLines[] = {
    "<table border=\"0\" cellpadding=\"2\" cellspacing=\"0\" width=\"100%\">",
    "  <tr><td class=\"label\">Name</td><td><input type=\"text\" name=\"name\" value=\"<%= Server.HTMLEncode(name) %>\"></td></tr>",
    "<%",
    "  Dim rs, sql",
    "  Set rs = Server.CreateObject(\"ADODB.Recordset\")",
    "  sql = \"SELECT id, title FROM articles WHERE published = 1 ORDER BY title\"",
    "  Response.Write \"<p>\" & rs(\"title\") & \"</p>\"",
    "  If Request.Form(\"action\") = \"save\" Then Response.Write \"Saved.\"",
    "%>",
    "",
    "\t<p>The quick brown fox jumps over the lazy dog; redirecting readers to the index page.</p>",
    "<script type=\"text/javascript\">function show(id) { document.getElementById(id).style.display = 'block'; }</script>",
    "</table>",
};

struct Page {
    VectorLines lines;
    size_t bytes = 0;
};

const Page& HundredMegabytes() {
    static const Page page = [] {
        Page p;
        std::mt19937 rng(42);
        auto& l = p.lines.Lines();
        while (p.bytes < 100u * 1024 * 1024) {
            l.emplace_back(kLines[rng() % (sizeof kLines / sizeof kLines[0])]);
            p.bytes += l.back().size() + 2;
        }
        l.emplace_back("  Response.Redirect \"done.asp\"");
        p.bytes += l.back().size();
        return p;
    }();
    return page;
}

void Run(benchmark::State& state, const char* what, unsigned flags) {
    const Page& page = HundredMegabytes();
    const int last = page.lines.LineCount() - 1;
    for (auto _ : state) {
        FindResult r = FindInText(page.lines, what, {0, 0}, flags, false);
        if (!r.found || r.pos.line != last) state.SkipWithError("match not found on the last line");
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(page.bytes));
}

void BM_MatchCase(benchmark::State& s) { Run(s, "Response.Redirect", SearchCaseBit); }
void BM_IgnoreCase(benchmark::State& s) { Run(s, "response.redirect", 0); }
void BM_WholeWordMatchCase(benchmark::State& s) { Run(s, "Redirect", SearchCaseBit | SearchWordBit); }
void BM_PlainMatchCaseSameWord(benchmark::State& s) { Run(s, "Redirect", SearchCaseBit); }
// Every "redirecting" of the page is an occurrence that whole-word matching has to reject.
void BM_WholeWordIgnoreCase(benchmark::State& s) { Run(s, "redirect", SearchWordBit); }
// A pattern made of the page's most common letters and of HTML punctuation.
void BM_IgnoreCaseCommonLetters(benchmark::State& s) { Run(s, "se.redire", 0); }
void BM_UpSearchIgnoreCase(benchmark::State& s) {
    const Page& page = HundredMegabytes();
    const int last = page.lines.LineCount() - 1;
    for (auto _ : s) {
        // from the last line up to line 0, the whole text: the pattern is absent
        FindResult r = FindInText(page.lines, "zzzz-not-there", {last, 0}, SearchUpBit, false);
        benchmark::DoNotOptimize(r);
    }
    s.SetBytesProcessed(int64_t(s.iterations()) * int64_t(page.bytes));
}

// For scale: memmem over every line, no case folding, no whole word.
void BM_MemmemBaseline(benchmark::State& state) {
    const Page& page = HundredMegabytes();
    const char* what = "Response.Redirect";
    const size_t n = std::strlen(what);
    for (auto _ : state) {
        int at = -1;
        for (int i = 0; i < page.lines.LineCount() && at < 0; ++i) {
#if defined(__GLIBC__)
            const void* p = memmem(page.lines.LineText(i), size_t(page.lines.LineLength(i)), what, n);
            if (p) at = i;
#else
            std::string_view line(page.lines.LineText(i), size_t(page.lines.LineLength(i)));
            if (line.find(what) != std::string_view::npos) at = i;
#endif
        }
        benchmark::DoNotOptimize(at);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(page.bytes));
}

}  // namespace

BENCHMARK(BM_MatchCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IgnoreCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainMatchCaseSameWord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeWordMatchCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeWordIgnoreCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IgnoreCaseCommonLetters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpSearchIgnoreCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemmemBaseline)->Unit(benchmark::kMillisecond);

// The same page in the text buffer, searched through its own line table.
#include "platform/MemoryProfile.h"
#include "text/BufferFindTarget.h"

namespace {

void BM_BufferIgnoreCase(benchmark::State& state) {
    const Page& page = HundredMegabytes();
    static CCrystalTextBuffer* buffer = [&] {
        std::string text;
        text.reserve(page.bytes);
        for (int i = 0; i < page.lines.LineCount(); ++i) {
            if (i) text += "\r\n";
            text.append(page.lines.LineText(i), size_t(page.lines.LineLength(i)));
        }
        auto* b = new CCrystalTextBuffer;
        b->InitFromText(LineEndDos, text);
        return b;
    }();
    LinesOf<CCrystalTextBuffer> lines(*buffer);
    for (auto _ : state) {
        FindResult r = FindInText(lines, "response.redirect", {0, 0}, 0, false);
        if (!r.found) state.SkipWithError("not found");
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(page.bytes));
}

// Replace All of 100,000 occurrences in a 10 MB text, through the Replace dialog's model.
void BM_ReplaceAll100k(benchmark::State& state) {
    std::string text;
    std::mt19937 rng(1);
    int placed = 0;
    while (text.size() < 10u * 1024 * 1024) {
        std::string line = kLines[rng() % (sizeof kLines / sizeof kLines[0])];
        if (placed < 100000) {
            line.insert(line.size() / 2, " needle ");
            ++placed;
        }
        text += line;
        text += "\r\n";
    }
    if (placed < 100000) state.SkipWithError("page too small for 100,000 occurrences");
    std::unique_ptr<CCrystalTextBuffer> buffer;
    std::unique_ptr<BufferFindTarget> target;
    MemoryProfile profile;
    for (auto _ : state) {
        state.PauseTiming();
        target.reset();
        buffer = std::make_unique<CCrystalTextBuffer>();
        buffer->InitFromText(LineEndDos, text);
        target = std::make_unique<BufferFindTarget>(*buffer);
        state.ResumeTiming();
        ReplaceDialogModel m(*target, profile);
        m.findText = "needle";
        m.replaceText = "pin";
        int n = m.ReplaceAll(nullptr);
        m.Close();
        if (n != placed) state.SkipWithError("wrong count");
    }
    state.counters["replacements"] = placed;
}

}  // namespace

BENCHMARK(BM_BufferIgnoreCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAll100k)->Unit(benchmark::kMillisecond)->Iterations(2);
