// Editor view timings, offscreen: repainting a full-HD view of colored ASP text, typing one character
// in the middle of a 1,000,000-line file and repainting, Ctrl+End on a freshly opened 100 MB file,
// and a minified page of one 12 MB line: opening, the first key, typing, repainting, the caret blink.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "BenchFile.h"
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

BenchFile bigFile("tarnwell_view_bench_100mb.asp", [] { return MakeText(100u << 20); });
std::filesystem::path BigFile() { return bigFile.Path(); }

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
BENCHMARK(BM_CtrlEndFresh100MB)->Unit(benchmark::kMillisecond)->Iterations(6);

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

// A minified page: the sample page's lines joined without line breaks, 12 MB in one line.
BenchFile longLineFile("tarnwell_view_bench_12mb_line.asp", [] {
    std::string text;
    std::size_t k = 0;
    while (text.size() < (12u << 20)) text += kPage[k++ % (sizeof(kPage) / sizeof(kPage[0]))];
    return text;
});
std::filesystem::path LongLineFile() { return longLineFile.Path(); }

// Bytes the program has allocated and not freed.
std::size_t HeldBytes() {
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return 0;
#endif
}

// An opened 12 MB line in a 1280 x 800 view that has been painted once.
struct LongLineSession {
    std::unique_ptr<CCrystalTextBuffer> buffer = std::make_unique<CCrystalTextBuffer>();
    std::unique_ptr<CVeskView> view;
    QImage image;
    LongLineSession() {
        buffer->ReadFromFile(LongLineFile());
        view = std::make_unique<CVeskView>(buffer.get(), FileKindAsp);
        view->resize(1280, 800);
        image = QImage(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    }
    void Open() {
        view->BindBuffer(buffer.get());
        Paint(*view, image);
    }
};

// Bind the view to the opened line and paint it.
void BM_LongLineOpen(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto session = std::make_unique<LongLineSession>();
        state.ResumeTiming();
        session->Open();
        state.PauseTiming();
        session.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LongLineOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

// The first key after opening: End, type one character, repaint. Also the memory the program holds
// for the open line afterwards, as a multiple of the file size.
void BM_LongLineFirstKey(benchmark::State& state) {
    double held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::size_t before = HeldBytes();
        auto session = std::make_unique<LongLineSession>();
        session->Open();
        state.ResumeTiming();
        session->view->MoveEnd(false);
        session->view->TypeChar(U'x');
        Paint(*session->view, session->image);
        state.PauseTiming();
        held = static_cast<double>(HeldBytes() - before) / static_cast<double>(12u << 20);
        session.reset();
        state.ResumeTiming();
    }
    state.counters["held_x_file"] = held;
}
BENCHMARK(BM_LongLineFirstKey)->Unit(benchmark::kMillisecond)->Iterations(3);

// Typing (and taking back) one character at the end or the start of the line, with a repaint.
void BM_LongLineType(benchmark::State& state) {
    LongLineSession session;
    session.Open();
    if (state.range(0) == 0) session.view->MoveEnd(false);
    Paint(*session.view, session.image);
    bool type = true;
    for (auto _ : state) {
        if (type) session.view->TypeChar(U'x');
        else session.view->Backspace();
        type = !type;
        Paint(*session.view, session.image);
    }
}
BENCHMARK(BM_LongLineType)->Arg(0)->Arg(1)->ArgName("atStart")->Unit(benchmark::kMillisecond)->MinTime(0.5);

// Repainting the whole window over the end of the line (a scroll or an expose).
void BM_LongLinePaintRow(benchmark::State& state) {
    LongLineSession session;
    session.Open();
    session.view->MoveEnd(false);
    Paint(*session.view, session.image);
    for (auto _ : state) {
        Paint(*session.view, session.image);
        benchmark::DoNotOptimize(session.image.constBits());
    }
}
BENCHMARK(BM_LongLinePaintRow)->Unit(benchmark::kMillisecond)->MinTime(0.5);

// One caret blink: the paint of the caret's cell.
void BM_LongLineCaretBlink(benchmark::State& state) {
    LongLineSession session;
    session.Open();
    session.view->MoveEnd(false);
    Paint(*session.view, session.image);
    const QPoint at = session.view->PositionToPoint(session.view->CursorPosition());
    const QRegion caret(QRect(at.x() - 1, at.y(), 2, session.view->RowHeight()));
    for (auto _ : state) {
        QPainter painter(&session.image);
        session.view->viewport()->render(&painter, QPoint(), caret);
    }
}
BENCHMARK(BM_LongLineCaretBlink)->Unit(benchmark::kMicrosecond)->MinTime(0.5);

}  // namespace
