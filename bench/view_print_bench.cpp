// Printing timings, offscreen: a 10,000-line ASP page printed to a PDF file through the same steps as
// the Print command (layout, every page, writing the file), and the page layout alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include <string>

#include "text/CCrystalTextBuffer.h"
#include "text/CVeskView.h"
#include "text/ViewPrint.h"

using namespace tarnwell;

namespace {

// About 50 characters a line, with a tab, markup and script, and now and then a line that wraps.
std::string MakePage(int lines) {
    const char* const kLines[] = {
        "<%@ Language=VBScript %>",
        "<table border=\"1\" width=\"100%\" cellpadding=\"2\">",
        "\t<tr><td class=\"name\"><%= rs(\"Name\") %></td></tr>",
        "  rs.Open \"SELECT * FROM Orders\", conn, 1, 3",
        "<p>A long paragraph of running text that is wider than the printed page is, so that it wraps "
        "over several rows at word boundaries, as pages of prose do in real sites.</p>",
        "",
    };
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += kLines[i % 6];
        text += "\r\n";
    }
    return text;
}

void BM_Print10000LinesToPdf(benchmark::State& state) {
    CCrystalTextBuffer buffer;
    buffer.InitFromText(LineEndDos, MakePage(10000));
    CVeskView view(&buffer, FileKindAsp);
    view.BindBuffer();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    int pages = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        if (!PrintView(view, printer, PageMargins{})) state.SkipWithError("printer not started");
        state.PauseTiming();
        CTextPrintJob job(view);
        job.Begin(printer);
        job.Layout(QRect(0, 0, printer.width(), printer.height()), PageMargins{});
        pages = job.PageCount();
        state.ResumeTiming();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_Print10000LinesToPdf)->Unit(benchmark::kMillisecond);

void BM_Layout10000Lines(benchmark::State& state) {
    CCrystalTextBuffer buffer;
    buffer.InitFromText(LineEndDos, MakePage(10000));
    CVeskView view(&buffer, FileKindAsp);
    view.BindBuffer();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    for (auto _ : state) {
        CTextPrintJob job(view);
        job.Begin(printer);
        job.Layout(QRect(0, 0, printer.width(), printer.height()), PageMargins{});
        benchmark::DoNotOptimize(job.PageCount());
    }
}
BENCHMARK(BM_Layout10000Lines)->Unit(benchmark::kMillisecond);

}  // namespace
