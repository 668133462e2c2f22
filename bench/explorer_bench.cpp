// The project explorer's tree over a site of 20,000 files in 2,000 folders: filling it from disk,
// sorting it by each key, and one Find File search that walks all of it.
#include "project/ExplorerTree.h"
#include "project/FindFile.h"

#include "ExplorerSite.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace tarnwell;

namespace {

void BM_Fill(benchmark::State& state) {
    const std::string& root = Site();
    for (auto _ : state) {
        ExplorerTree tree;
        int steps = 0;
        if (!tree.Fill(root, [&] { ++steps; })) state.SkipWithError("fill failed");
        if (tree.ItemCount() != 22001) state.SkipWithError("wrong item count");
        benchmark::DoNotOptimize(steps);
    }
}
BENCHMARK(BM_Fill)->Unit(benchmark::kMillisecond);

void BM_Sort(benchmark::State& state) {
    ExplorerTree tree;
    tree.Fill(Site());
    bool ascending = true;
    for (auto _ : state) {
        tree.SetSort(static_cast<ExplorerSortKey>(state.range(0)), ascending = !ascending);
        tree.Sort(tree.Root(), true);
    }
}
BENCHMARK(BM_Sort)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_FindNone(benchmark::State& state) {
    ExplorerTree tree;
    tree.Fill(Site());
    FileNameMatcher m("*.aspx");  // matches nothing: the walk tries every one of the 22,000 names
    for (auto _ : state) {
        const ExplorerItem* item = FindNextItem(tree.Root(), nullptr, m);
        if (item) state.SkipWithError("unexpected match");
        benchmark::DoNotOptimize(item);
    }
}
BENCHMARK(BM_FindNone)->Unit(benchmark::kMillisecond);

}  // namespace
