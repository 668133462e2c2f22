// Rebuilding the outline of a generated 1 MB ASP page (about 20,000 lines).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/GeneratedPage.h"
#include "lang/Regexx.h"
#include "lang/ScriptOutline.h"

using namespace tarnwell;

namespace {

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
