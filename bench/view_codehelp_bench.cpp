// Code help in the editor view, offscreen, on a generated 1 MB page with five included files: the key
// "." up to the member list shown (the outline rebuild included), a key typed with the parameter tip
// shown against the same key without it, and refreshing the outline tree of the page.
#include <benchmark/benchmark.h>

#include "app/OutlineTree.h"
#include "bench/GeneratedPage.h"
#include "lang/BufferLineSource.h"
#include "lang/OutlineStore.h"
#include "lang/TypeLibraryFolders.h"
#include "platform/MemoryProfile.h"
#include "text/CCrystalTextBuffer.h"
#include "text/CVeskView.h"

using namespace tarnwell;

namespace {

// As a document's buffer does: every change marks the page's outline changed.
class MarkingBuffer : public CCrystalTextBuffer {
public:
    OutlineSource* page = nullptr;
    void SetDirty(bool dirty) override {
        CCrystalTextBuffer::SetDirty(dirty);
        if (page) page->MarkChanged();
    }
};

struct Session {
    IncludingSite site{"tarnwell-view-codehelp-bench"};
    MarkingBuffer buffer;
    BufferLineSource text{buffer};
    OutlineStore store;
    TypeLibraryCache cache{std::make_unique<FolderTypeLibraryProvider>(std::vector<std::string>{TypeLibsFolder()})};
    CVeskView view;

    Session() {
        buffer.InitFromText(0, site.Text());
        store.SetSiteRoot(site.root.string());
        OutlineSource& page = store.GetOrCreate(site.PagePath());
        page.AttachOpenText(&text);
        buffer.page = &page;
        LoadStartupTypeLibraries(cache, TypeLibsFolder());
        CodeHelpLink link;
        link.outlines = [this] { return &store; };
        link.types = [this] { return &cache; };
        link.documentKey = [this] { return site.PagePath(); };
        view.SetCodeHelp(std::move(link));
        view.SetDocument(&buffer, FileKindAsp);
        view.resize(1280, 800);
        view.show();
        view.setFocus();
        view.SetCursorAndClear({site.typingLine, 0});
        view.PageOutline();
    }
    void Type(const char* s) {
        for (; *s; ++s) view.TypeChar(static_cast<unsigned char>(*s));
    }
};

void BM_ViewDotOpensList(benchmark::State& state) {
    Session s;
    s.Type("  Response");
    bool shown = true;
    for (auto _ : state) {
        s.view.TypeChar(U'.');
        shown = shown && s.view.MemberListShown();
        state.PauseTiming();
        s.view.CloseMemberList();
        s.view.Backspace();
        state.ResumeTiming();
    }
    if (!shown) state.SkipWithError("the list did not open");
}
BENCHMARK(BM_ViewDotOpensList)->Unit(benchmark::kMillisecond);

// Typing "x" and deleting it again inside a call: with the tip shown, and with the tip off.
void BM_ViewKey(benchmark::State& state, bool tip) {
    Session s;
    s.Type("  Call Lib4Helper7(total7, ");
    if (!tip) s.view.HideParameterTip();
    if (s.view.ParameterTipShown() != tip) state.SkipWithError("tip state");
    bool type = true;
    for (auto _ : state) {
        if (type) s.view.TypeChar(U'x');
        else s.view.Backspace();
        type = !type;
    }
    if (s.view.ParameterTipShown() != tip) state.SkipWithError("the tip closed");
}
BENCHMARK_CAPTURE(BM_ViewKey, tip_shown, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ViewKey, tip_hidden, false)->Unit(benchmark::kMicrosecond);

// The tree's refresh after an edit that moved half the entries a line down or up again (the page's
// outline rebuilt first), after an edit that changed no name nor line, and of an unchanged outline.
enum class TreeCase { kLinesMoved, kEdited, kUnchanged };

void BM_OutlineTreeRefresh(benchmark::State& state, TreeCase what) {
    Session s;
    MemoryProfile profile;
    COutlineTree tree(profile, {});
    tree.resize(250, 600);
    tree.show();
    OutlineSource& page = *s.store.Find(s.site.PagePath());
    tree.ShowOutline(s.store, page, s.text);
    bool insert = true;
    for (auto _ : state) {
        if (what == TreeCase::kLinesMoved) {
            state.PauseTiming();
            if (insert) s.buffer.InsertTextAt(nullptr, {s.site.typingLine, 0}, "\r\n");
            else s.buffer.RemoveRange(nullptr, {s.site.typingLine, 0}, {s.site.typingLine + 1, 0});
            insert = !insert;
            state.ResumeTiming();
        } else if (what == TreeCase::kEdited) {
            page.MarkChanged();
        }
        tree.ShowOutline(s.store, page, s.text);
    }
    state.counters["entries"] = static_cast<double>(tree.topLevelItem(0)->childCount() + tree.topLevelItem(1)->childCount());
}
BENCHMARK_CAPTURE(BM_OutlineTreeRefresh, lines_moved, TreeCase::kLinesMoved)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OutlineTreeRefresh, edited, TreeCase::kEdited)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OutlineTreeRefresh, unchanged, TreeCase::kUnchanged)->Unit(benchmark::kMillisecond);

// Refreshing the tree from nothing: every entry made.
void BM_OutlineTreeFirstFill(benchmark::State& state) {
    Session s;
    MemoryProfile profile;
    OutlineSource& page = *s.store.Find(s.site.PagePath());
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<COutlineTree>(profile, COutlineTree::Hooks{});
        state.ResumeTiming();
        tree->ShowOutline(s.store, page, s.text);
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OutlineTreeFirstFill)->Unit(benchmark::kMillisecond);

}  // namespace
