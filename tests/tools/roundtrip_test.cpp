// tarnwell-tool roundtrip, run as a real process over real files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "tests/support/ToolRun.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using tarnwell::test::ToolRun;

ToolRun Tool(const std::string& args) { return tarnwell::test::RunTarnwellTool(args); }

class RoundtripTool : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir = fs::temp_directory_path() / ("tarnwell-tool-" + std::to_string(rd()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return (dir / name).string();
    }
    std::string Read(const std::string& name) {
        std::ifstream f(dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    fs::path dir;
};

TEST_F(RoundtripTool, ReproducesFilesAndReportsModeAndLines) {
    const struct {
        std::string bytes;
        const char* json;
    } cases[] = {
        {"", "{\"mode\":0,\"lines\":1}\n"},
        {"<html>\r\n<body>\0\xff\r\n</html>\r\n"s, "{\"mode\":0,\"lines\":4}\n"},
        {"a\n\rb\n\r", "{\"mode\":1,\"lines\":3}\n"},
        {"<% If x Then %>\n\tx\r\n\tend", "{\"mode\":2,\"lines\":3}\n"},
        {"mixed\r\nends\nand\rcr", "{\"mode\":0,\"lines\":2}\n"},
    };
    int i = 0;
    for (const auto& c : cases) {
        const std::string in = Write("in" + std::to_string(i), c.bytes);
        const std::string out = (dir / ("out" + std::to_string(i))).string();
        const ToolRun r = Tool("roundtrip '" + in + "' '" + out + "'");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, c.json);
        EXPECT_EQ(Read("out" + std::to_string(i)), c.bytes) << "case " << i;
        ++i;
    }
}

TEST_F(RoundtripTool, FailuresExitOneWithAMessage) {
    ToolRun r = Tool("roundtrip '" + (dir / "missing").string() + "' '" + (dir / "out").string() + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("cannot read"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "out"));
    const std::string in = Write("in", "x");
    r = Tool("roundtrip '" + in + "' '" + (dir / "no" / "out").string() + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("cannot write"), std::string::npos);
    r = Tool("roundtrip '" + in + "'");
    EXPECT_EQ(r.status, 2);
}

}  // namespace

TEST_F(RoundtripTool, EncodingTellsWhatADocumentWouldReadAFileAs) {
    const struct {
        std::string bytes, args, json;
    } cases[] = {
        {"<%@ CodePage=1251 %>\xCF\xF0\xE8", "",
         R"({"codepage":"windows-1251","declared":"windows-1251","source":"declaration"})"},
        {"caf\xC3\xA9", "", R"({"codepage":"utf-8","declared":null,"source":"bytes"})"},
        {"<meta charset=utf-8>caf\xE9", "", R"({"codepage":"windows-1252","declared":"utf-8","source":"bytes"})"},
        {"plain", "--default windows-1250 ", R"({"codepage":"windows-1250","declared":null,"source":"default"})"},
    };
    int i = 0;
    for (const auto& c : cases) {
        const std::string in = Write("page" + std::to_string(i++) + ".asp", c.bytes);
        const ToolRun r = Tool("encoding " + c.args + "'" + in + "'");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, c.json + "\n");
    }
    EXPECT_EQ(Tool("encoding '" + (dir / "missing").string() + "'").status, 1);
    EXPECT_EQ(Tool("encoding --default klingon x").status, 2);
}
