// tarnwell-tool tree, run as a real process over a real folder.
#include "../project/ExplorerTestSupport.h"
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

using nlohmann::json;
using tarnwell::test::TempTree;

namespace {

struct Result {
    int status = -1;
    std::vector<std::string> lines;
};

Result RunTree(const std::string& args) {
    const tarnwell::test::ToolRun run = tarnwell::test::RunTarnwellTool("tree " + args);
    Result r;
    r.status = run.status;
    std::istringstream in(run.out);
    for (std::string line; std::getline(in, line);) r.lines.push_back(line);
    return r;
}

}  // namespace

TEST(TreeTool, PrintsItemsInTreeOrderAndFindVisits) {
    TempTree t({"site/index/", "site/sub/deep/index.html", "site/index.asp", "site/myindex.htm", "site/README",
                "site/~pvw1.htm", "site/site.twp", "site/b.aspx"});
    const std::string folder = "\"" + t.Path("site") + "/\"";
    Result r = RunTree(folder + " --find index --find \"*.asp\" --find \"(\" --find nothing");
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 5u);
    EXPECT_EQ(json::parse(r.lines[0]), json::parse(R"({"root":"site","items":[["index/",0],["sub/",0],["sub/deep/",1],
        ["sub/deep/index.html",2],["b.aspx",0],["index.asp",0],["myindex.htm",0],["README",0]]})"));
    EXPECT_EQ(json::parse(r.lines[1]), json::parse(R"({"find":"index","visits":["index/","sub/deep/index.html","index.asp","myindex.htm"]})"));
    EXPECT_EQ(json::parse(r.lines[2]), json::parse(R"({"find":"*.asp","visits":["b.aspx","index.asp"]})"));
    EXPECT_EQ(json::parse(r.lines[3]), json::parse(R"({"find":"(","visits":[]})"));
    EXPECT_EQ(json::parse(r.lines[4]), json::parse(R"({"find":"nothing","visits":[]})"));

    Result d = RunTree(folder + " --sort ext --desc");
    ASSERT_EQ(d.status, 0);
    EXPECT_EQ(json::parse(d.lines[0])["items"], json::parse(R"([["myindex.htm",0],["b.aspx",0],["index.asp",0],["README",0],
        ["sub/",0],["sub/deep/",1],["sub/deep/index.html",2],["index/",0]])"));
    EXPECT_EQ(RunTree(folder + " --sort colour").status, 2);
    EXPECT_EQ(RunTree("\"" + t.Path("none") + "\"").status, 1);
}
