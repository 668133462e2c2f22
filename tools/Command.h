// Subcommands of tarnwell-tool register themselves here; main() dispatches on the first argument.
#pragma once

#include <string>
#include <vector>

namespace tool {

// Returns the process exit status. args excludes the program and subcommand names.
using CommandFn = int (*)(const std::vector<std::string>& args);

struct CommandInfo {
    const char* name;
    const char* usage;  // one line, shown by "tarnwell-tool help"
    CommandFn run;
};

// Registers a subcommand; use through a static Registration object in the command's own file:
//   static tool::Registration reg{{"roundtrip", "roundtrip IN OUT", &RunRoundtrip}};
struct Registration {
    explicit Registration(CommandInfo info);
};

const std::vector<CommandInfo>& Commands();

// Appends s as a JSON string literal: bytes >= 0x80 and control bytes as \u00XX, so any file content
// (invalid UTF-8 included) prints as plain ASCII JSON.
void AppendJsonString(std::string& out, const char* s, size_t n);
inline void AppendJsonString(std::string& out, const std::string& s) { AppendJsonString(out, s.data(), s.size()); }

// The folder the tool's executable lies in (for the installed data folders beside it).
std::string ProgramFolder();

}  // namespace tool
