// tarnwell-tool roundtrip IN OUT: reads IN with line-end detection and writes it to OUT in the
// detected mode, the way the editor opens and saves a file. Prints {"mode":M,"lines":N}.
#include <cstdio>
#include <string>
#include <vector>

#include "text/CCrystalTextBuffer.h"
#include "tools/Command.h"

namespace {

int RunRoundtrip(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tarnwell-tool roundtrip IN OUT\n");
        return 2;
    }
    tarnwell::CCrystalTextBuffer buffer;
    tarnwell::FileError error;
    if (!buffer.ReadFromFile(args[0], tarnwell::LineEndAuto, &error)) {
        std::fprintf(stderr, "tarnwell-tool: cannot read \"%s\": %s\n", args[0].c_str(), error.message.c_str());
        return 1;
    }
    if (!buffer.WriteToFile(args[1], tarnwell::LineEndAuto, true, &error)) {
        std::fprintf(stderr, "tarnwell-tool: cannot write \"%s\": %s\n", args[1].c_str(), error.message.c_str());
        return 1;
    }
    std::printf("{\"mode\":%d,\"lines\":%d}\n", buffer.LineEndMode(), buffer.LineCount());
    return 0;
}

tool::Registration reg{{"roundtrip", "roundtrip IN OUT", &RunRoundtrip}};

}  // namespace
