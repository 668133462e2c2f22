// tarnwell-tool: runs engine operations from the command line and prints compact JSON.
#include "tools/Command.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace tool {

namespace {
std::vector<CommandInfo>& Registry() {
    static std::vector<CommandInfo> commands;
    return commands;
}
std::string g_programFolder;
}  // namespace

Registration::Registration(CommandInfo info) { Registry().push_back(info); }

const std::vector<CommandInfo>& Commands() { return Registry(); }

void AppendJsonString(std::string& out, const char* s, size_t n) {
    static const char hex[] = "0123456789abcdef";
    out.push_back('"');
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c >= 0x7f) {
                out += "\\u00";
                out.push_back(hex[c >> 4]);
                out.push_back(hex[c & 15]);
            } else {
                out.push_back(static_cast<char>(c));
            }
        }
    }
    out.push_back('"');
}

std::string ProgramFolder() { return g_programFolder; }

}  // namespace tool

static void PrintUsage(FILE* to) {
    std::fprintf(to, "usage: tarnwell-tool COMMAND [ARGS]\ncommands:\n");
    for (const auto& c : tool::Commands()) std::fprintf(to, "  %s\n", c.usage);
}

int main(int argc, char** argv) {
    std::error_code ec;
    auto self = std::filesystem::canonical("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv[0], ec);
    tool::g_programFolder = self.parent_path().string();

    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const auto& c : tool::Commands()) {
        if (std::strcmp(c.name, argv[1]) == 0) return c.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "tarnwell-tool: unknown command \"%s\"\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
