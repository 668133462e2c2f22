// The main program of the widget benchmarks: an offscreen application with the keyword files loaded
// from beside the program, as the editor has them.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <filesystem>

#include "lang/Keywords.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::filesystem::path programFolder = std::filesystem::path(argv[0]).parent_path();
    tarnwell::LoadKeywordFile(tarnwell::HtmlKeywordSet(), tarnwell::KeywordFilePath(programFolder, "html.txt"));
    tarnwell::LoadKeywordFile(tarnwell::VbKeywordSet(), tarnwell::KeywordFilePath(programFolder, "vbscript.txt"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
