// tarnwell-tool colors [--name PATH] [--keywords DIR] FILE: colors every line of FILE in order (each
// line starting with the cookie the line before returned) and prints one JSON object per line with the
// incoming and outgoing cookie and the raw block array, exactly as the parser appended it.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "lang/HtmlAspParser.h"
#include "lang/Keywords.h"
#include "lang/LineSource.h"
#include "tools/Command.h"

namespace {

int RunColors(const std::vector<std::string>& args) {
    std::string name, keywordDir, file;
    bool haveName = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--name" && i + 1 < args.size()) {
            name = args[++i];
            haveName = true;
        } else if (args[i] == "--keywords" && i + 1 < args.size()) {
            keywordDir = args[++i];
        } else if (file.empty()) {
            file = args[i];
        } else {
            std::fprintf(stderr, "colors: unexpected argument: %s\n", args[i].c_str());
            return 2;
        }
    }
    if (file.empty()) {
        std::fprintf(stderr, "usage: tarnwell-tool colors [--name PATH] [--keywords DIR] FILE\n");
        return 2;
    }
    std::vector<std::string> lines;
    std::string error;
    if (!tarnwell::ReadFileLines(file, lines, &error)) {
        std::fprintf(stderr, "colors: cannot read %s: %s\n", file.c_str(), error.c_str());
        return 1;
    }
    const std::filesystem::path kwFolder =
        keywordDir.empty() ? std::filesystem::path(tool::ProgramFolder()) / "Keyword" : std::filesystem::path(keywordDir);
    tarnwell::KeywordSet html, vb;
    if (!tarnwell::LoadKeywordFile(html, kwFolder / "html.txt"))
        std::fprintf(stderr, "colors: no HTML keywords from %s\n", (kwFolder / "html.txt").string().c_str());
    if (!tarnwell::LoadKeywordFile(vb, kwFolder / "vbscript.txt"))
        std::fprintf(stderr, "colors: no VBScript keywords from %s\n", (kwFolder / "vbscript.txt").string().c_str());

    tarnwell::HtmlAspContext ctx{tarnwell::GetFileKind(haveName ? name : file), &html, &vb, true};
    std::vector<tarnwell::ColorBlock> blocks;
    std::string out;
    tarnwell::LineCookie cookie = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        blocks.clear();
        tarnwell::LineCookie next = tarnwell::ParseHtmlAspLine(cookie, lines[n], &blocks, ctx);
        out.clear();
        out += "{\"line\":" + std::to_string(n) + ",\"in\":" + std::to_string(cookie) + ",\"out\":" +
               std::to_string(next) + ",\"blocks\":[";
        for (std::size_t k = 0; k < blocks.size(); ++k) {
            if (k) out += ',';
            out += '[' + std::to_string(blocks[k].start) + ',' + std::to_string(blocks[k].colorClass) + ']';
        }
        out += "]}\n";
        std::fwrite(out.data(), 1, out.size(), stdout);
        cookie = next;
    }
    return 0;
}

tool::Registration reg{{"colors", "colors [--name PATH] [--keywords DIR] FILE", &RunColors}};

}  // namespace
