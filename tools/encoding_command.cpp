// tarnwell-tool encoding FILE: the code page a document opened from FILE reads it in, and why.
// Prints {"codepage":"windows-1251","declared":"windows-1251","source":"declaration"}.
#include <cstdio>
#include <string>
#include <vector>

#include "text/CCrystalTextBuffer.h"
#include "tools/Command.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: tarnwell-tool encoding [--default CODEPAGE] FILE\n");
    return 2;
}

int RunEncoding(const std::vector<std::string>& args) {
    std::string file;
    tarnwell::CodePage fallback = tarnwell::CodePage::Windows1252;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--default" && i + 1 < args.size()) {
            const auto cp = tarnwell::CodePageFromName(args[++i]);
            if (!cp) {
                std::fprintf(stderr, "tarnwell-tool encoding: unknown code page \"%s\"\n", args[i].c_str());
                return 2;
            }
            fallback = *cp;
        } else if (file.empty() && !args[i].empty() && args[i][0] != '-') {
            file = args[i];
        } else {
            return Usage();
        }
    }
    if (file.empty()) return Usage();
    tarnwell::CCrystalTextBuffer buffer;
    buffer.SetDefaultCodePage(fallback);
    tarnwell::FileError error;
    if (!buffer.ReadFromFile(file, tarnwell::LineEndAuto, &error)) {
        std::fprintf(stderr, "tarnwell-tool encoding: cannot read \"%s\": %s\n", file.c_str(), error.message.c_str());
        return 1;
    }
    const tarnwell::EncodingDecision& d = buffer.Encoding();
    std::string out = "{\"codepage\":\"";
    out += tarnwell::CodePageName(d.codePage);
    out += "\",\"declared\":";
    out += d.declared ? "\"" + std::string(tarnwell::CodePageName(*d.declared)) + "\"" : std::string("null");
    out += ",\"source\":\"";
    out += tarnwell::EncodingSourceName(d.source);
    out += "\"}";
    std::printf("%s\n", out.c_str());
    return 0;
}

tool::Registration reg{{"encoding", "encoding [--default CODEPAGE] FILE", &RunEncoding}};

}  // namespace
