// tarnwell-tool colors, run as a real process over files in a temp folder.
#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string RunTool(const std::string& args, int* status) {
    std::string cmd = std::string(TARNWELL_BIN_DIR) + "/tarnwell-tool colors " + args + " 2>/dev/null";
    std::FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int rc = pclose(p);
    *status = WEXITSTATUS(rc);
    return out;
}

std::filesystem::path Write(const std::string& name, const std::string& content) {
    static const tarnwell::testing::TempDir dir;
    std::ofstream(dir / name, std::ios::binary) << content;
    return dir / name;
}

}  // namespace

#ifndef _WIN32
TEST(ColorsCommand, PrintsRawBlocksAndChainsCookies) {
    auto file = Write("page.asp", "<% Dim x %>\n<table\n border=1>");
    int status = -1;
    std::string out = RunTool(file.string(), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out,
              "{\"line\":0,\"in\":0,\"out\":0,\"blocks\":[[0,2],[0,10],[2,14],[3,15],[6,14],[8,14],[9,12],[11,2],[11,2]]}\n"
              "{\"line\":1,\"in\":0,\"out\":4,\"blocks\":[[0,2],[1,7]]}\n"
              "{\"line\":2,\"in\":4,\"out\":0,\"blocks\":[[0,2],[1,7],[7,2]]}\n");
    // The kind comes from --name: as HTML "<%" is text.
    out = RunTool("--name x.htm " + file.string(), &status);
    EXPECT_EQ(out.substr(0, out.find('\n')), "{\"line\":0,\"in\":0,\"out\":0,\"blocks\":[[0,2]]}");
    // A keyword folder without files: no keywords, the rest as usual.
    out = RunTool("--keywords /nonexistent " + file.string(), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.substr(0, out.find('\n')),
              "{\"line\":0,\"in\":0,\"out\":0,\"blocks\":[[0,2],[0,10],[2,14],[6,14],[8,14],[9,12],[11,2],[11,2]]}");
}

TEST(ColorsCommand, EmptyBinaryAndMissingFiles) {
    int status = -1;
    EXPECT_EQ(RunTool(Write("empty.asp", "").string(), &status), "{\"line\":0,\"in\":0,\"out\":0,\"blocks\":[]}\n");
    EXPECT_EQ(status, 0);
    std::string binary;
    for (int i = 0; i < 20000; ++i) binary += char((i * 7919) % 256);
    std::string out = RunTool(Write("bin.asp", binary).string(), &status);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(out.empty());
    EXPECT_EQ(out.back(), '\n');
    RunTool("/nonexistent/file.asp", &status);
    EXPECT_EQ(status, 1);
}
#endif
