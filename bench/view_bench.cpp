// Editor view timings, offscreen: repainting a full-HD view of colored ASP text, typing one character
// in the middle of a 1,000,000-line file and repainting, and Ctrl+End on a freshly opened 100 MB file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "lang/Keywords.h"
#include "text/CCrystalTextBuffer.h"
#include "text/CVeskView.h"

using namespace tarnwell;

namespace {

// A realistic mix of markup, ASP blocks and VBScript, about 50 characters a line.
const char* const kPage[] = {
    "<%@ Language=VBScript %>",
    "<html><head><title>Orders of the day</title></head>",
    "<!-- the list of open orders, newest first -->",
    "<body bgcolor=\"#FFFFFF\" text=\"#000000\" link=\"#0000FF\">",
    "<%",
    "  ' fetch the orders from the database",
    "  Dim rs, total, i",
    "  Set rs = Server.CreateObject(\"ADODB.Recordset\")",
    "  rs.Open \"SELECT * FROM Orders\", conn, 1, 3",
    "  If rs.EOF Then Response.Write \"none\" End If",
    "  For i = 1 To 10 : total = total + rs(\"Amount\") : Next",
    "%>",
    "<table border=\"1\" width=\"100%\" cellpadding=\"2\">",
    "  <tr><td class=\"name\"><%= rs(\"Name\") %></td></tr>",
    "<script language=\"VBScript\" runat=\"server\">",
    "  Function Twice(x) : Twice = x * 2 : End Function",
    "</script>",
    "\t<p align=\"center\">Total: <b><%= total %></b></p>",
    "</table></body></html>",
};

std::string MakeText(std::size_t targetBytes) {
    std::string text;
    text.reserve(targetBytes + 128);
    std::size_t k = 0;
    while (text.size() < targetBytes) {
        text += kPage[k % (sizeof(kPage) / sizeof(kPage[0]))];
        text += "\r\n";
        ++k;
    }
    return text;
}

std::string MakeLines(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += kPage[i % (sizeof(kPage) / sizeof(kPage[0]))];
        if (i + 1 < lines) text += "\r\n";
    }
    return text;
}

void Paint(CVeskView& view, QImage& image) {
    QPainter painter(&image);
    view.viewport()->render(&painter);
}

void BM_RepaintFullHd(benchmark::State& state) {
    CCrystalTextBuffer buffer;
    buffer.InitFromText(0, MakeLines(2000));
    CVeskView view(&buffer, FileKindAsp);
    view.resize(1920, 1080);
    view.BindBuffer(&buffer);
    view.ScrollToLine(500);
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    Paint(view, image);
    for (auto _ : state) {
        Paint(view, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows"] = view.VisibleRows();
    state.counters["columns"] = view.VisibleColumns();
}
BENCHMARK(BM_RepaintFullHd)->Unit(benchmark::kMillisecond);

void BM_TypeInMillionLinesAndRepaint(benchmark::State& state) {
    CCrystalTextBuffer buffer;
    buffer.InitFromText(0, MakeLines(1000000));
    CVeskView view(&buffer, FileKindAsp);
    view.resize(1280, 800);
    view.BindBuffer(&buffer);
    view.SetCursorAndClear(TextPosition(500000, 5));
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    Paint(view, image);
    bool type = true;
    for (auto _ : state) {
        // Alternate typing and deleting so the text stays the same size.
        if (type) view.TypeChar(U'x');
        else view.Backspace();
        type = !type;
        Paint(view, image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_TypeInMillionLinesAndRepaint)->Unit(benchmark::kMicrosecond);

std::filesystem::path BigFile() {
    static const std::filesystem::path path = [] {
        auto p = std::filesystem::temp_directory_path() / "tarnwell_view_bench_100mb.asp";
        std::ofstream(p, std::ios::binary) << MakeText(100u << 20);
        return p;
    }();
    return path;
}

// Open the file (not timed), then bind a view, go to the end and paint: the cookie walk runs from
// the top of the text.
void BM_CtrlEndFresh100MB(benchmark::State& state) {
    const auto path = BigFile();
    for (auto _ : state) {
        state.PauseTiming();
        auto buffer = std::make_unique<CCrystalTextBuffer>();
        buffer->ReadFromFile(path);
        auto view = std::make_unique<CVeskView>(buffer.get(), FileKindAsp);
        view->resize(1280, 800);
        QImage image(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        state.ResumeTiming();
        view->BindBuffer(buffer.get());
        view->MoveTextEnd(false);
        Paint(*view, image);
        benchmark::DoNotOptimize(image.constBits());
        state.PauseTiming();
        view.reset();
        buffer.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CtrlEndFresh100MB)->Unit(benchmark::kMillisecond)->Iterations(2);

// After Ctrl+End: each Page Up and paint.
void BM_PageUpAfterCtrlEnd100MB(benchmark::State& state) {
    CCrystalTextBuffer buffer;
    buffer.ReadFromFile(BigFile());
    CVeskView view(&buffer, FileKindAsp);
    view.resize(1280, 800);
    view.BindBuffer(&buffer);
    view.MoveTextEnd(false);
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    Paint(view, image);
    for (auto _ : state) {
        view.MovePageUp(false);
        Paint(view, image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PageUpAfterCtrlEnd100MB)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::filesystem::path programFolder = std::filesystem::path(argv[0]).parent_path();
    LoadKeywordFile(HtmlKeywordSet(), KeywordFilePath(programFolder, "html.txt"));
    LoadKeywordFile(VbKeywordSet(), KeywordFilePath(programFolder, "vbscript.txt"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove(std::filesystem::temp_directory_path() / "tarnwell_view_bench_100mb.asp", ec);
    return 0;
}
