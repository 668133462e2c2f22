// The project explorer's tree over a site of 20,000 files in 2,000 folders: filling it from disk,
// sorting it by each key, and one Find File search that walks all of it.
#include "project/ExplorerTree.h"
#include "project/FindFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

using namespace tarnwell;
namespace fs = std::filesystem;

namespace {

const char* const kExtensions[] = {".asp", ".htm", ".html", ".css", ".js", ".gif", ".jpg", ".inc", ".txt", ""};

// 50 folders of 39 folders each (2,000 folders), ten files in each folder (20,000 files). Made once.
const std::string& Site() {
    static const std::string root = [] {
        const fs::path r = fs::temp_directory_path() / "tarnwell-explorer-bench-20000";
        if (fs::exists(r / "done")) return r.string();
        fs::remove_all(r);
        int n = 0;
        auto files = [&](const fs::path& folder) {
            for (int f = 0; f < 10; ++f, ++n)
                std::ofstream(folder / ("page" + std::to_string(n) + kExtensions[n % 10])) << std::string(n % 97, 'x');
        };
        for (int a = 0; a < 50; ++a) {
            const fs::path top = r / ("section" + std::to_string(a));
            fs::create_directories(top);
            files(top);
            for (int b = 0; b < 39; ++b) {
                const fs::path sub = top / ("part" + std::to_string(b));
                fs::create_directories(sub);
                files(sub);
            }
        }
        std::ofstream(r / "done.twp");
        std::ofstream(r / "done");
        return r.string();
    }();
    return root;
}

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
