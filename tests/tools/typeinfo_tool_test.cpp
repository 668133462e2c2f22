// tarnwell-tool members, params and types, run as real processes over the shipped type libraries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <string>

#include "tests/support/ToolRun.h"
#include "tests/support/TypeLibWriter.h"

namespace fs = std::filesystem;
using nlohmann::json;
using namespace tarnwell;

namespace {

using Result = test::ToolRun;
Result RunTool(const std::string& args) { return test::RunTarnwellTool(args); }

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("tarnwell-typeinfo-tool-" + std::to_string(std::random_device{}()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path / name, std::ios::binary) << bytes;
        return "\"" + (path / name).string() + "\"";
    }
};

// Every ProgID a page may create, with a member its type has.
const std::pair<const char*, const char*> kProgIds[] = {
    {"ADODB.Connection", "Execute"},       {"ADODB.Recordset", "MoveNext"},
    {"ADODB.Command", "CreateParameter"},  {"ADODB.Stream", "ReadText"},
    {"ADODB.Record", "GetChildren"},       {"ADODB.Parameter", "AppendChunk"},
    {"Scripting.FileSystemObject", "OpenTextFile"}, {"Scripting.Dictionary", "Exists"},
    {"CDO.Message", "Send"},               {"CDO.Configuration", "Load"},
    {"MSXML2.DOMDocument", "loadXML"},     {"MSXML2.DOMDocument.6.0", "selectNodes"},
    {"Microsoft.XMLDOM", "loadXML"},       {"MSXML2.XMLHTTP", "send"},
    {"Microsoft.XMLHTTP", "send"},         {"MSXML2.ServerXMLHTTP", "setTimeouts"},
    {"MSXML2.ServerXMLHTTP.6.0", "setProxy"}, {"VBScript.RegExp", "Execute"},
};

bool HasItem(const json& items, const std::string& name) {
    for (const auto& i : items)
        if (i["name"] == name) return true;
    return false;
}

}  // namespace

TEST(TypeInfoTool, MembersOfIntrinsicObjectsAndCreatedObjects) {
    TempDir dir;
    std::string page = "<%\n";
    for (size_t i = 0; i < std::size(kProgIds); ++i)
        page += "Set o" + std::to_string(i) + " = Server.CreateObject(\"" + kProgIds[i].first + "\")\n";
    const int firstFree = static_cast<int>(std::size(kProgIds)) + 1;
    page += "\n%>\n";
    struct Case {
        std::string text;
        std::string type;
        std::string member;
    };
    std::vector<Case> cases = {{"Response.", "ASPTypeLibrary.Response", "Write"},
                               {"Request.", "ASPTypeLibrary.Request", "QueryString"},
                               {"Session.", "ASPTypeLibrary.Session", "Abandon"},
                               {"Server.", "ASPTypeLibrary.Server", "MapPath"},
                               {"Application.", "ASPTypeLibrary.Application", "Lock"},
                               {"Err.", "ErrObj", "Raise"}};
    for (size_t i = 0; i < std::size(kProgIds); ++i) cases.push_back({"o" + std::to_string(i) + ".", kProgIds[i].first, kProgIds[i].second});
    for (const Case& c : cases) {
        std::string text = page;
        text.insert(text.find("\n%>"), c.text);
        const std::string file = dir.Write("page.asp", text);
        Result r = RunTool("members " + file + " " + std::to_string(firstFree) + " " + std::to_string(c.text.size()));
        ASSERT_EQ(r.status, 0) << r.out;
        json j = json::parse(r.out);
        EXPECT_EQ(j["type"], c.type) << c.text;
        EXPECT_TRUE(HasItem(j["items"], c.member)) << c.text << ": " << r.out.substr(0, 300);
        EXPECT_TRUE(j["reason"].is_null()) << c.text;
    }
    // Nothing resolves: a null type and a reason.
    std::string text = page;
    text.insert(text.find("\n%>"), "nothing.");
    Result r = RunTool("members " + dir.Write("page.asp", text) + " " + std::to_string(firstFree) + " 8");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(json::parse(r.out), json::parse(R"({"type":null,"items":[],"reason":"unresolved"})"));
}

TEST(TypeInfoTool, ParameterTip) {
    TempDir dir;
    const std::string file = dir.Write("page.asp", "<%\nResponse.Write \"a\", \nx = 1\n%>\n");
    Result r = RunTool("params " + file + " 1 19");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(json::parse(r.out), json::parse(R"j({"callee":"Write","tip":"Write(varText)","index":1})j"));
    r = RunTool("params " + file + " 2 5");
    EXPECT_EQ(json::parse(r.out), json::parse(R"({"tip":null,"reason":"unresolved"})"));
    EXPECT_EQ(RunTool("params " + file + " one 2").status, 2);
    EXPECT_EQ(RunTool("params /nonexistent/page.asp 1 1").status, 1);
}

TEST(TypeInfoTool, TypesOfProgIds) {
    for (const auto& [progId, member] : kProgIds) {
        Result r = RunTool(std::string("types ") + progId);
        ASSERT_EQ(r.status, 0) << progId << ": " << r.out;
        json j = json::parse(r.out);
        EXPECT_EQ(j["progid"], progId);
        bool found = false;
        for (const auto& m : j["members"]) found = found || m["name"] == member;
        EXPECT_TRUE(found) << progId;
    }
    Result r = RunTool("types ADODB.Recordset");
    json j = json::parse(r.out);
    EXPECT_EQ(j["library"], "ADODB");
    EXPECT_EQ(j["type"], "_Recordset");
    for (const auto& m : j["members"]) {
        if (m["name"] == "Open") {
            EXPECT_EQ(m["kind"], "method");
            EXPECT_EQ(m["params"][0], json::parse(R"({"name":"Source","optional":true})"));
        }
    }
    r = RunTool("types No.Such");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(json::parse(r.out), json::parse(R"({"progid":"No.Such","error":"no type library names this ProgID"})"));
}

TEST(TypeInfoTool, AUserBinaryLibraryAddsItsCoclasses) {
    using testlib::TlbWriter;
    TlbWriter w;
    w.libName = "AcmeLib";
    w.types.push_back({"IWidget", kTypeDispatch, {{"Spin", 1, kInvokeFunc, TlbWriter::Vt(kVtVoid), {{"Speed", TlbWriter::Vt(kVtI4)}}}}});
    w.types.push_back({"Widget", kTypeCoclass, {}, {}, -1, {{0, kImplTypeDefault}}});
    TempDir user;
    user.Write("acme.dll", testlib::PeImage(w.Build()));
    const std::string shipped = (fs::path(TARNWELL_BIN_DIR) / "TypeLibs").string();
    const std::string folders = "--typelibs \"" + shipped + "\" --typelibs \"" + user.path.string() + "\" ";
    Result r = RunTool("types " + folders + "AcmeLib.Widget");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(json::parse(r.out), json::parse(R"({"progid":"AcmeLib.Widget","library":"AcmeLib","type":"IWidget",
        "members":[{"name":"Spin","kind":"method","type":"VT_VOID","params":[{"name":"Speed","optional":false}]}]})"));
    const std::string page = user.Write("page.asp", "<%\nSet w = CreateObject(\"AcmeLib.Widget\")\nw.\n%>\n");
    r = RunTool("members " + folders + page + " 2 2");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(HasItem(json::parse(r.out)["items"], "Spin")) << r.out;
}
