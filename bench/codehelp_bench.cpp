// Code help in a generated 1 MB page with five included files, through the engine calls the editor
// makes: typing "." (the page's outline rebuilt after the edit, then the member list), and a key typed
// while the parameter tip shows (the outline reused, the caret's line brought up to date, the tip
// computed), against the same key with a full rebuild.
#include <benchmark/benchmark.h>

#include "bench/GeneratedPage.h"
#include "lang/MemberQuery.h"
#include "lang/OutlineStore.h"
#include "lang/TypeLibraryFolders.h"

using namespace tarnwell;

namespace {

struct Session {
    IncludingSite site{"tarnwell-codehelp-bench"};
    OwnedLineSource text{site.lines};
    OutlineStore store;
    TypeLibraryCache cache{std::make_unique<FolderTypeLibraryProvider>(std::vector<std::string>{TypeLibsFolder()})};
    TypeContext ctx{store, cache};
    OutlineSource& page = store.GetOrCreate(site.PagePath());

    Session() {
        store.SetSiteRoot(site.root.string());
        page.AttachOpenText(&text);
        LoadStartupTypeLibraries(cache, TypeLibsFolder());
        RebuildOutline(page.Outline());
    }
    TextPosition Type(const std::string& s) {
        text.Lines()[static_cast<size_t>(site.typingLine)] = s;
        page.MarkChanged();
        return {site.typingLine, static_cast<int>(s.size())};
    }
};

// The list after ".": the edit marks the outline changed, so the page is rebuilt first; the included
// files are not (they did not change).
void BM_DotOpensList(benchmark::State& state, const char* typed) {
    Session s;
    size_t items = 0;
    for (auto _ : state) {
        const TextPosition caret = s.Type(typed);
        if (s.page.NeedsRebuild()) RebuildOutline(s.page.Outline(), s.text);
        MemberList list = ListMembersAt(s.ctx, s.page, s.text, caret);
        items = list.items.size();
        benchmark::DoNotOptimize(list);
    }
    if (items == 0) state.SkipWithError("no members listed");
    state.counters["items"] = static_cast<double>(items);
    state.counters["lines"] = static_cast<double>(s.text.LineCount());
}
BENCHMARK_CAPTURE(BM_DotOpensList, response, "  Response.")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DotOpensList, included_recordset, "  incRs3.")->Unit(benchmark::kMillisecond);

// One key typed inside "Call Lib4Helper7(total7, " with the tip showing: the outline is reused when
// the edit stayed on the caret's line (quick), else rebuilt (full).
void BM_KeyWithTipShown(benchmark::State& state, bool quick) {
    Session s;
    const std::string call = "  Call Lib4Helper7(total7, ";
    bool shown = true;
    int key = 0;
    for (auto _ : state) {
        const TextPosition caret = s.Type(call + std::string(static_cast<size_t>(key++ % 8), 'x'));
        if (quick) {
            shown = UpdateRegionsOnLine(s.page.Outline(), s.text, caret.line) && shown;
        } else {
            RebuildOutline(s.page.Outline(), s.text);
        }
        const ParameterTip tip = ParameterTipAt(s.ctx, s.page, s.text, caret, false);
        shown = shown && tip.callee == "Lib4Helper7" && tip.index == 1;
        benchmark::DoNotOptimize(tip);
    }
    if (!shown) state.SkipWithError("no tip");
}
BENCHMARK_CAPTURE(BM_KeyWithTipShown, quick, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_KeyWithTipShown, full_rebuild, false)->Unit(benchmark::kMicrosecond);

}  // namespace
