// Text buffer benchmarks: load and save of generated HTML/ASP files, memory after loading, and the
// cost of single edits and their undo in large buffers.
//   build/bin/bench_buffer --benchmark_min_time=0.2
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "text/CCrystalTextBuffer.h"

#ifdef __linux__
#include <unistd.h>
#endif

namespace {

using namespace tarnwell;
namespace fs = std::filesystem;

// HTML with ASP blocks, about 80 characters per line, CR LF line ends.
std::string MakeText(size_t bytes) {
    static const char* const lines[] = {
        "<tr><td class=\"name\"><%= rs(\"CustomerName\") %></td><td>&nbsp;</td></tr>",
        "<%  If Request.Form(\"action\") = \"save\" Then Call SaveRecord(id, name) %>",
        "    <a href=\"detail.asp?id=<%= id %>\" title=\"Show the details\">Details</a>",
        "<script type=\"text/javascript\">function go(n) { location.href = n; }</script>",
        "<%  Dim conn : Set conn = Server.CreateObject(\"ADODB.Connection\") ' open  %>",
        "  <p style=\"margin: 0 0 4px 0\">Welcome back, <b><%= Session(\"User\") %></b></p>",
    };
    std::string out;
    out.reserve(bytes + 128);
    std::mt19937 rng(42);
    while (out.size() < bytes) {
        out += lines[rng() % 6];
        out += "\r\n";
    }
    out.resize(bytes);
    return out;
}

// A scratch folder for the run, removed at exit.
fs::path BenchFolder() {
    struct Folder {
        fs::path path;
        Folder() : path(fs::temp_directory_path() / ("tarnwell-bench-" + std::to_string(::getpid()))) {
            fs::create_directories(path);
        }
        ~Folder() {
            std::error_code ec;
            fs::remove_all(path, ec);
        }
    };
    static const Folder folder;
    return folder.path;
}

// The generated file of `mb` megabytes, written once per run.
fs::path InputFile(int mb) {
    static std::map<int, fs::path> files;
    auto it = files.find(mb);
    if (it != files.end()) return it->second;
    const fs::path p = BenchFolder() / ("page" + std::to_string(mb) + ".asp");
    const std::string text = MakeText(static_cast<size_t>(mb) << 20);
    std::ofstream(p, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    files[mb] = p;
    return p;
}

size_t ResidentBytes() {
#ifdef __linux__
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<size_t>(resident) * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
#else
    return 0;
#endif
}

void BM_ReadFromFile(benchmark::State& state) {
    const int mb = static_cast<int>(state.range(0));
    const fs::path p = InputFile(mb);
    {
        CCrystalTextBuffer warm;  // page cache
        warm.ReadFromFile(p);
    }
    size_t lines = 0;
    for (auto _ : state) {
        CCrystalTextBuffer b;
        if (!b.ReadFromFile(p)) state.SkipWithError("read failed");
        lines = static_cast<size_t>(b.LineCount());
        benchmark::DoNotOptimize(b.LineText(b.LineCount() / 2));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (int64_t{mb} << 20));
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ReadFromFile)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// flush: 1 writes through to the disk before replacing the target (the editor's save), 0 stops at
// the page cache.
void BM_WriteToFile(benchmark::State& state) {
    const int mb = static_cast<int>(state.range(0));
    const bool flush = state.range(1) != 0;
    CCrystalTextBuffer b;
    b.ReadFromFile(InputFile(mb));
    b.SetFlushOnSave(flush);
    const fs::path out = BenchFolder() / ("out" + std::to_string(mb) + ".asp");
    for (auto _ : state) {
        if (!b.WriteToFile(out)) state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (int64_t{mb} << 20));
}
BENCHMARK(BM_WriteToFile)
    ->Args({1, 0})->Args({10, 0})->Args({100, 0})
    ->Args({1, 1})->Args({10, 1})->Args({100, 1})
    ->ArgNames({"MB", "flush"})
    ->Unit(benchmark::kMillisecond);

// Resident memory added by loading the file, as a multiple of the file size.
// Deciding a loaded page's code page (declaration scan and one pass over every byte), for an ASCII
// page and for one with UTF-8 letters on every line. Arg: megabytes.
void BM_DecideEncoding(benchmark::State& state) {
    std::string text = MakeText(size_t(state.range(0)) << 20);
    if (state.range(1)) {
        for (size_t i = 40; i + 2 < text.size(); i += 80) text.replace(i, 2, "\xC3\xA9");
    }
    CCrystalTextBuffer buffer;
    buffer.InitFromText(LineEndDos, text);
    for (auto _ : state) benchmark::DoNotOptimize(DecideEncoding(buffer, CodePage::Windows1252));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_DecideEncoding)->Args({10, 0})->Args({10, 1})->ArgNames({"MB", "utf8"})->Unit(benchmark::kMillisecond);

void BM_MemoryAfterLoad(benchmark::State& state) {
    const int mb = static_cast<int>(state.range(0));
    const fs::path p = InputFile(mb);
    double ratio = 0;
    for (auto _ : state) {
        const size_t before = ResidentBytes();
        auto* b = new CCrystalTextBuffer;
        b->ReadFromFile(p);
        const size_t after = ResidentBytes();
        ratio = static_cast<double>(after - before) / static_cast<double>(size_t(mb) << 20);
        delete b;
    }
    state.counters["x_file_size"] = ratio;
}
BENCHMARK(BM_MemoryAfterLoad)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

// A 100 MB page of lines of `lineBytes` bytes each, CR LF included, written once per run.
fs::path LinesFile(int lineBytes) {
    static std::map<int, fs::path> files;
    auto it = files.find(lineBytes);
    if (it != files.end()) return it->second;
    const fs::path p = BenchFolder() / ("lines" + std::to_string(lineBytes) + ".asp");
    std::string text;
    text.reserve((size_t{100} << 20) + 128);
    const std::string body = "<td><%= rs(\"Name\") %></td><td class=\"n\">&nbsp;</td><tr><td>x</td></tr><p>more</p>";
    for (int k = 0; text.size() < (size_t{100} << 20); ++k) {
        text.append(body, static_cast<size_t>(k % 7), static_cast<size_t>(lineBytes - 2));
        text += "\r\n";
    }
    std::ofstream(p, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    files[lineBytes] = p;
    return p;
}

// Reading a 100 MB page of short lines and saving it back with the flush, against reading and
// writing the same bytes with a flush and nothing else (arg 0).
void BM_ReadAndSaveLines(benchmark::State& state) {
    const int lineBytes = static_cast<int>(state.range(0));
    const fs::path in = LinesFile(lineBytes == 0 ? 24 : lineBytes);
    const fs::path out = BenchFolder() / "saved.asp";
    for (auto _ : state) {
        if (lineBytes == 0) {
            std::string bytes(static_cast<size_t>(fs::file_size(in)), '\0');
            if (FILE* r = std::fopen(in.c_str(), "rb")) {
                if (std::fread(bytes.data(), 1, bytes.size(), r) != bytes.size()) state.SkipWithError("read failed");
                std::fclose(r);
            }
            FILE* f = std::fopen(out.c_str(), "wb");
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fflush(f);
            ::fsync(fileno(f));
            std::fclose(f);
        } else {
            CCrystalTextBuffer b;
            if (!b.ReadFromFile(in) || !b.WriteToFile(out)) state.SkipWithError("read or save failed");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (int64_t{100} << 20));
}
BENCHMARK(BM_ReadAndSaveLines)->Arg(0)->Arg(24)->Arg(62)->ArgName("lineBytes")->Unit(benchmark::kMillisecond)->MinTime(2);

// Memory the loaded text holds, as a multiple of the file size.
void BM_MemoryAfterLoadLines(benchmark::State& state) {
    const fs::path p = LinesFile(static_cast<int>(state.range(0)));
    double ratio = 0;
    for (auto _ : state) {
        const size_t before = ResidentBytes();
        auto* b = new CCrystalTextBuffer;
        b->ReadFromFile(p);
        ratio = static_cast<double>(ResidentBytes() - before) / static_cast<double>(fs::file_size(p));
        delete b;
    }
    state.counters["x_file_size"] = ratio;
}
BENCHMARK(BM_MemoryAfterLoadLines)->Arg(24)->Arg(62)->ArgName("lineBytes")->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReadLines(benchmark::State& state) {
    const fs::path p = LinesFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CCrystalTextBuffer b;
        if (!b.ReadFromFile(p)) state.SkipWithError("read failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (int64_t{100} << 20));
}
BENCHMARK(BM_ReadLines)->Arg(24)->Arg(62)->ArgName("lineBytes")->Unit(benchmark::kMillisecond);

struct QuietView : BufferObserver {
    int calls = 0;
    void OnBufferChanged(BufferObserver*, const PositionAdjuster*, std::uint32_t, int) override { ++calls; }
};

CCrystalTextBuffer& MillionLines() {
    static CCrystalTextBuffer* b = [] {
        auto* buf = new CCrystalTextBuffer;
        std::string text;
        const std::string line = "<tr><td><%= rs(\"Name\") %></td><td><%= rs(\"City\") %></td></tr>";
        text.reserve(1000000 * (line.size() + 2));
        for (int i = 0; i < 1000000; ++i) {
            if (i) text += "\r\n";
            text += line;
        }
        buf->InitFromText(LineEndDos, text);
        return buf;
    }();
    return *b;
}

using Clock = std::chrono::steady_clock;

// Enter in the middle of a line in the middle of a 1,000,000-line buffer, then its undo; each
// timed on its own (manual time). far = 1: alternate between lines a quarter and three quarters
// down, so that every edit moves the line table's gap across half the lines.
void EnterAndUndo(benchmark::State& state, bool timeUndo) {
    CCrystalTextBuffer& b = MillionLines();
    QuietView view;
    b.AttachView(&view);
    const bool far = state.range(0) != 0;
    int k = 0;
    for (auto _ : state) {
        const int line = far ? (k++ % 2 ? 750000 : 250000) : 500000;
        const auto t0 = Clock::now();
        b.InsertTextAt(&view, line, 20, "\r\n");
        const auto t1 = Clock::now();
        b.UndoStep();
        const auto t2 = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(timeUndo ? t2 - t1 : t1 - t0).count());
    }
    if (b.LineCount() != 1000000) state.SkipWithError("line count changed");
    b.DetachView(&view);
}
void BM_InsertLineBreak1M(benchmark::State& state) { EnterAndUndo(state, false); }
void BM_UndoLineBreak1M(benchmark::State& state) { EnterAndUndo(state, true); }
// The far runs are bounded by count: each iteration costs far more wall time than it measures.
BENCHMARK(BM_InsertLineBreak1M)->Arg(0)->ArgName("far")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InsertLineBreak1M)->Arg(1)->ArgName("far")->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoLineBreak1M)->Arg(0)->ArgName("far")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoLineBreak1M)->Arg(1)->ArgName("far")->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);

// One typed character (its own undo group) in the middle of a long line, then its undo, with the
// history full (each new record trims the oldest).
void TypeAndUndo(benchmark::State& state, bool timeUndo) {
    const int length = static_cast<int>(state.range(0));
    CCrystalTextBuffer b;
    b.InitFromText(LineEndDos, std::string(static_cast<size_t>(length), 'x') + "\r\n<p>next</p>");
    QuietView view;
    b.AttachView(&view);
    for (int i = 0; i < 1100; ++i) b.InsertTextAt(&view, 0, i, "a");  // fill the history
    for (auto _ : state) {
        const auto t0 = Clock::now();
        b.InsertTextAt(&view, 0, length / 2, "a");
        const auto t1 = Clock::now();
        b.UndoStep();
        const auto t2 = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(timeUndo ? t2 - t1 : t1 - t0).count());
    }
    b.DetachView(&view);
}
void BM_TypeChar(benchmark::State& state) { TypeAndUndo(state, false); }
void BM_UndoTypedChar(benchmark::State& state) { TypeAndUndo(state, true); }
BENCHMARK(BM_TypeChar)->Arg(1000)->Arg(100000)->ArgName("line")->UseManualTime()->Unit(benchmark::kNanosecond);
BENCHMARK(BM_UndoTypedChar)->Arg(1000)->Arg(100000)->ArgName("line")->UseManualTime()->Unit(benchmark::kNanosecond);

}  // namespace
