// Test helper: runs the built tarnwell-tool as a real process and collects its output and exit status.
#pragma once

#include <cstdio>
#include <string>

#ifdef _WIN32
#define popen _popen
#define pclose _pclose
#else
#include <sys/wait.h>
#endif

namespace tarnwell::test {

struct ToolRun {
    int status = -1;
    std::string out;  // standard output and standard error together
};

// `args` go to the command line as written (quote paths yourself).
inline ToolRun RunTarnwellTool(const std::string& args) {
    const std::string cmd = std::string("\"") + TARNWELL_BIN_DIR + "/tarnwell-tool\" " + args + " 2>&1";
    ToolRun r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
#ifdef _WIN32
    r.status = st;
#else
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
#endif
    return r;
}

}  // namespace tarnwell::test
