// tarnwell-tool project, run as a real process on a real project folder.
#include "tests/project/ProjectTestSupport.h"
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

tarnwell::test::ToolRun RunProjectTool(const std::string& path) {
    return tarnwell::test::RunTarnwellTool("project \"" + path + "\"");
}

}  // namespace

TEST(ProjectTool, ReportsHeaderAndRememberedFiles) {
    tarnwell::test::TempFolder dir;
    dir.Write("default.asp", "x");
    const std::string page = dir.Str("default.asp");
    dir.Write("My Site.twp", "[General]\r\nSignature=Tarnwell\r\nVersion=1.0\r\nWeb Path=http://localhost/site\r\n"
                             "Total Open Files=4\r\nLast Active File=0\r\n[Open Files]\r\n"
                             "File 0=\"" + page + "\",2621440003,2621440010\r\nFile 1=junk\r\n"
                             "File 3=\"" + dir.Str("gone.asp") + "\",0,0\r\n");
    const tarnwell::test::ToolRun r = RunProjectTool(dir.Str("My Site.twp"));
    ASSERT_EQ(r.status, 0) << r.out;
    json want = {{"valid", true}, {"error", ""}, {"name", "My Site"}, {"folder", dir.Str()},
                 {"webPath", "http://localhost/site"}, {"totalOpenFiles", 4}, {"lastActiveFile", 0},
                 {"openFiles", json::array({
                     {{"key", "File 0"}, {"ok", true}, {"path", page}, {"start", {40000, 3}}, {"end", {40000, 10}}},
                     {{"key", "File 1"}, {"ok", false}, {"reason", "nomatch"}},
                     {{"key", "File 2"}, {"ok", false}, {"reason", "empty"}},
                     {{"key", "File 3"}, {"ok", false}, {"reason", "missing"}},
                 })}};
    EXPECT_EQ(json::parse(r.out), want);
}

TEST(ProjectTool, HeaderFailuresExitWithOne) {
    tarnwell::test::TempFolder dir;
    dir.Write("old.twp", "[General]\r\nSignature=Tarnwell\r\nVersion=2.0\r\n");
    const struct {
        std::string path;
        const char* error;
    } cases[] = {{dir.Str("old.twp"), "Unknown project version"}, {dir.Str("none.twp"), "Invalid project file"}};
    for (const auto& c : cases) {
        const tarnwell::test::ToolRun r = RunProjectTool(c.path);
        EXPECT_EQ(r.status, 1) << r.out;
        const json j = json::parse(r.out);
        EXPECT_EQ(j["valid"], false);
        EXPECT_EQ(j["error"], c.error);
        EXPECT_EQ(j["openFiles"], json::array());
    }
}
