// tarnwell-tool find: one whole-text search over a file, printing where the engine finds the text.
#include "tools/Command.h"

#include "text/CCrystalTextBuffer.h"
#include "text/CaseFolding.h"
#include "text/FindText.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool ParsePosition(const std::string& s, tarnwell::TextPosition& pos) {
    auto comma = s.find(',');
    if (comma == std::string::npos) return false;
    char* end = nullptr;
    long line = std::strtol(s.c_str(), &end, 10);
    if (end != s.c_str() + comma) return false;
    long ch = std::strtol(s.c_str() + comma + 1, &end, 10);
    if (*end != '\0' || comma + 1 == s.size()) return false;
    if (line < 0 || ch < 0 || line > 0x7fffffff || ch > 0x7fffffff) return false;
    pos = {int(line), int(ch)};
    return true;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: tarnwell-tool find --text T [--case] [--word] [--up] [--from LINE,CHAR] [--nowrap] FILE\n");
    return 2;
}

int RunFind(const std::vector<std::string>& args) {
    std::string text, file;
    bool haveText = false;
    unsigned flags = 0;
    bool wrap = true;
    tarnwell::TextPosition from;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--text" && i + 1 < args.size()) {
            text = args[++i];
            haveText = true;
        } else if (a == "--case") {
            flags |= tarnwell::SearchCaseBit;
        } else if (a == "--word") {
            flags |= tarnwell::SearchWordBit;
        } else if (a == "--up") {
            flags |= tarnwell::SearchUpBit;
        } else if (a == "--nowrap") {
            wrap = false;
        } else if (a == "--from" && i + 1 < args.size()) {
            if (!ParsePosition(args[++i], from)) {
                std::fprintf(stderr, "tarnwell-tool find: --from wants LINE,CHAR\n");
                return 2;
            }
        } else if (!a.empty() && a[0] != '-' && file.empty()) {
            file = a;
        } else {
            return Usage();
        }
    }
    if (!haveText || file.empty()) return Usage();

    // The text as the editor loads it: line ends detected, code page decided.
    tarnwell::CCrystalTextBuffer buffer;
    tarnwell::FileError error;
    if (!buffer.ReadFromFile(file, tarnwell::LineEndAuto, &error)) {
        std::fprintf(stderr, "tarnwell-tool find: cannot read \"%s\": %s\n", file.c_str(), error.message.c_str());
        return 1;
    }
    // The document's code page decides how case is ignored; the text to find arrives as UTF-8.
    const auto cp = buffer.GetCodePage();
    const auto pattern = tarnwell::FromUtf8(text, cp);
    if (!pattern) {
        std::printf("{\"found\":false}\n");
        return 0;
    }
    const tarnwell::LinesOf<tarnwell::CCrystalTextBuffer> lines(buffer);
    const auto r = tarnwell::FindInText(lines, *pattern, from, flags, wrap, cp);

    std::string out;
    if (r.found)
        out = "{\"found\":true,\"line\":" + std::to_string(r.pos.line) + ",\"char\":" + std::to_string(r.pos.ch) + "}";
    else
        out = "{\"found\":false}";
    std::printf("%s\n", out.c_str());
    return 0;
}

tool::Registration reg{
    {"find", "find --text T [--case] [--word] [--up] [--from LINE,CHAR] [--nowrap] FILE", &RunFind}};

}  // namespace
