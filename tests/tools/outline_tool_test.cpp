// tarnwell-tool outline, run as a real process on real files.
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <string>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

using Result = tarnwell::test::ToolRun;

Result RunTool(const std::string& args) { return tarnwell::test::RunTarnwellTool("outline " + args); }

class TempFile {
public:
    explicit TempFile(const std::string& bytes) {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("tarnwell-outline-tool-" + std::to_string(rd()) + ".asp");
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    ~TempFile() {
        std::error_code ec;
        fs::remove(path_, ec);
    }
    std::string Quoted() const { return "\"" + path_.string() + "\""; }

private:
    fs::path path_;
};

}  // namespace

TEST(OutlineTool, PrintsTheWholeOutline) {
    TempFile page(
        "<!-- #include virtual=\"/inc/Top.asp\" -->\r\n"
        "<td width=100%><% Dim v %>\r\n"
        "<%\r\n"
        "Set conn = Server.CreateObject(\"ADODB.Connection\")\r\n"
        "Class Cart\r\n"
        "  Dim items\r\n"
        "  Sub Add(a, b)\r\n"
        "    Dim n\r\n"
        "  End Sub\r\n"
        "End Class\r\n"
        "With conn\r\n"
        "End With\r\n"
        "Set x = \"caf\xe9\"\r\n"
        "%>");
    Result r = RunTool(page.Quoted());
    ASSERT_EQ(r.status, 0) << r.out;
    ASSERT_EQ(r.out.back(), '\n');
    EXPECT_EQ(r.out.find(' '), std::string::npos);  // compact: this page's texts hold no blanks
    json j = json::parse(r.out);
    EXPECT_EQ(j["regions"], json::parse(R"([{"start":[1,17],"end":[1,24]},{"start":[2,2],"end":[13,0]}])"));
    EXPECT_EQ(j["classes"], json::parse(R"([{"name":"Cart","start":[4,-1],"end":[9,-1],
        "procedures":[{"name":"Add","start":[6,-1],"end":[8,-1],"params":["a","b"],
                       "locals":[{"name":"n","text":"","start":[7,-1],"predefined":0,"expr":0}]}],
        "members":[{"name":"items","text":"","start":[5,-1],"predefined":0,"expr":0}]}])"));
    EXPECT_EQ(j["procedures"], json::array());
    ASSERT_EQ(j["variables"].size(), 11u);
    EXPECT_EQ(j["variables"][0], json::parse(R"({"name":"Server","text":"ASPTypeLibrary.Server","start":[-1,-1],"predefined":1,"expr":0})"));
    EXPECT_EQ(j["variables"][8]["name"], "v");
    EXPECT_EQ(j["variables"][9], json::parse(R"({"name":"conn","text":"ADODB.Connection","start":[3,-1],"predefined":0,"expr":0})"));
    EXPECT_EQ(j["withs"], json::parse(R"([{"expr":"conn","start":[10,-1],"end":[11,-1]}])"));
    EXPECT_EQ(j["includes"], json::parse(R"(["/INC/TOP.ASP"])"));
    // Bytes >= 0x80 are written as \u00XX.
    EXPECT_NE(r.out.find(R"("text":"\"caf\u00e9\"","start":[12,-1],"predefined":0,"expr":1)"), std::string::npos) << r.out;
}

TEST(OutlineTool, FailuresAndUsage) {
    Result missing = RunTool("/nonexistent/folder/page.asp");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("cannot read"), std::string::npos);
    EXPECT_EQ(RunTool("").status, 2);
    TempFile page("<% Dim a %>");
    Result named = RunTool("--name /web/site/page.asp " + page.Quoted());
    ASSERT_EQ(named.status, 0) << named.out;
    EXPECT_EQ(json::parse(named.out)["variables"].size(), 9u);
    TempFile empty("");
    Result e = RunTool(empty.Quoted());
    ASSERT_EQ(e.status, 0);
    EXPECT_EQ(json::parse(e.out)["regions"], json::array());
}
