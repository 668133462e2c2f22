// Expression splitting and resolution, the member list and the parameter tip, over a page and an
// include on disk and the shipped type libraries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "lang/MemberQuery.h"
#include "lang/TypeLibraryFolders.h"

namespace fs = std::filesystem;
using namespace tarnwell;

namespace {

const std::string kTypeLibs = (fs::path(TARNWELL_BIN_DIR) / "TypeLibs").string();
constexpr int kTypingLine = 3;  // the blank line of the page's body where each case types its text

const std::vector<std::string> kPage = {
    "<!--#include file=\"inc.asp\"-->",
    "<%",
    "With rs.Fields",
    "",  // kTypingLine
    "End With",
    "Set conn = Server.CreateObject(\"ADODB.Connection\")",
    "Set rs = conn.Execute(\"select 1\")",
    "Set fld = rs.Fields(\"id\")",
    "Set self = self.Parent",
    "Set a = b.Item",
    "Set b = a.Item",
    "Set dict = CreateObject(\"Scripting.Dictionary\")",
    "Set cart = New Cart",
    "Set re = New RegExp",
    "Class Cart",
    "  Dim Items",
    "  Sub Add(ByVal item, count)",
    "  End Sub",
    "  Function Total()",
    "  End Function",
    "",  // line 20: inside the class, between its procedures
    "End Class",
    "Sub Work(rs)",
    "  Dim conn",
    "  Set conn = CreateObject(\"Scripting.FileSystemObject\")",
    "  Set f = conn.GetFile(\"x\")",
    "",  // line 26: inside Work
    "End Sub",
    "Sub Tally(ByRef n, total)",
    "End Sub",
    "%>",
};
constexpr int kWorkLine = 26;
constexpr int kClassLine = 20;

class TypeResolveTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarnwell-resolve-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        std::ofstream(dir_ / "inc.asp") << "<% Set incStream = Server.CreateObject(\"ADODB.Stream\")\n"
                                           "Set xml = Server.CreateObject(\"MSXML2.DOMDocument.6.0\")\n"
                                           "Function IncHelper(first, second)\nEnd Function %>\n";
        path_ = (dir_ / "page.asp").string();
        LoadStartupTypeLibraries(cache_, kTypeLibs);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The page with text typed on line `line`; the caret at its end.
    OutlineSource& Typed(const std::string& text, int line = kTypingLine) {
        lines_.Lines() = kPage;
        lines_.Lines()[static_cast<size_t>(line)] = text;
        OutlineSource& doc = store_.GetOrCreate(path_);
        doc.AttachOpenText(&lines_);
        doc.MarkChanged();
        caret_ = {line, static_cast<int>(text.size())};
        return doc;
    }

    MemberList Members(const std::string& text, int line = kTypingLine) {
        OutlineSource& doc = Typed(text, line);
        return ListMembersAt(ctx_, doc, lines_, caret_);
    }
    ParameterTip Tip(const std::string& text, int line = kTypingLine) {
        OutlineSource& doc = Typed(text, line);
        return ParameterTipAt(ctx_, doc, lines_, caret_);
    }

    fs::path dir_;
    std::string path_;
    OutlineStore store_;
    TypeLibraryCache cache_{std::make_unique<FolderTypeLibraryProvider>(std::vector<std::string>{kTypeLibs})};
    TypeContext ctx_{store_, cache_};
    OwnedLineSource lines_;
    TextPosition caret_;
};

bool HasItem(const MemberList& list, const std::string& name) {
    for (const auto& item : list.items)
        if (item.name == name) return true;
    return false;
}

std::string Joined(const Expression& e) {
    std::string out;
    for (size_t i = 0; i < e.size(); ++i) out += (i ? "|" : "") + std::string(e[i].kind == ExpressionSegment::kArguments ? "@" : "") + e[i].text;
    return out;
}

}  // namespace

TEST(SplitExpression, SegmentsInReadingOrder) {
    struct Case {
        const char* text;
        int lower;
        const char* expected;  // segments joined by "|", argument lists marked "@"; nullptr: fails
    } cases[] = {
        {"rs.Fields(Trim(x)).", 0, "rs|Fields|@(Trim(x))|"},
        {"x = obj.Item(\"a)b\", (1)).Va", 0, "obj|Item|@(\"a)b\", (1))|Va"},
        {"Set y = a.b", 0, "a|b"},
        {"x a.b", 2, "a|b"},
        {"ab.cd", 3, "cd"},  // the lower bound cuts the chain
        {".", 0, "|"},
        {"(x).", 0, "@(x)|"},
        {"f (1)(2).", 0, "f|@(1)|@(2)|"},
        {"a$b.", 0, "b|"},  // "$" is no identifier character
        {"a..b", 0, "a||b"},
        {"f(1).", 0, "f|@(1)|"},
        {"+(x).", 0, nullptr},
        {"f(\"abc).", 0, nullptr},
        {"f(1)).", 0, nullptr},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        Expression e;
        const bool ok = SplitExpression(c.text, c.lower, static_cast<int>(std::string(c.text).size()), e);
        if (!c.expected) {
            EXPECT_FALSE(ok) << c.text;
        } else {
            EXPECT_TRUE(ok) << c.text;
            EXPECT_EQ(Joined(e), c.expected) << c.text;
        }
    }
}

TEST_F(TypeResolveTest, MemberListsOfExpressions) {
    struct Case {
        const char* name;
        const char* text;
        const char* type;    // the listed type's text, or nullptr when nothing is listed
        const char* member;  // a member the list holds, or the reason when nothing is listed
        int line = kTypingLine;
    } cases[] = {
        {"predefined object", "Response.", "ASPTypeLibrary.Response", "Write"},
        {"Application resolves", "Application.", "ASPTypeLibrary.Application", "Lock"},
        {"Session resolves", "x = Session.", "ASPTypeLibrary.Session", "Abandon"},
        {"Err from the globals", "Err.", "ErrObj", "Raise"},
        {"CreateObject variable", "conn.", "ADODB.Connection", "Execute"},
        {"method's return type", "rs.", "_Recordset", "MoveNext"},
        {"default member of a call", "fld.", "Field", "Value"},
        {"nested arguments", "rs.Fields(Trim(x)).", "Field", "Value"},
        {"arguments reach the default that takes them", "rs(0).", "Field", "Value"},
        {"With block", "  .", "Fields", "Append"},
        {"With block in an expression", "x = .", "Fields", "Append"},
        {"script class", "cart.", "Cart", "Total"},
        {"Me in its class", "x = Me.", "Cart", "Items", kClassLine},
        {"Me outside a class", "Me.", nullptr, "unresolved"},
        {"include's variable", "incStream.", "ADODB.Stream", "ReadText"},
        {"versioned ProgID", "xml.", "MSXML2.DOMDocument.6.0", "importNode"},
        {"chain in a library", "xml.documentElement.", "IXMLDOMElement", "getAttribute"},
        {"New of a built-in class", "re.Execute(s).Item(0).", "IMatch2", "SubMatches"},
        {"dictionary", "dict.", "Scripting.Dictionary", "Exists"},
        {"local hides global", "conn.", "Scripting.FileSystemObject", "GetFile", kWorkLine},
        {"local set from a local", "f.", "IFile", "OpenAsTextStream", kWorkLine},
        {"parameter hides global", "rs.", nullptr, "no-type", kWorkLine},
        {"self-defined variable", "self.", nullptr, "unresolved"},
        {"cycle of variables", "a.", nullptr, "unresolved"},
        {"unknown name", "nothing.", nullptr, "unresolved"},
        {"member of no object type", "Request.Form(\"x\").", nullptr, "no-type"},
        {"dot after a string", "x = \"s\".", nullptr, "not-an-expression"},
        {"no With block", "  .", nullptr, "no-with", kWorkLine},
        {"outside script", "Response.", nullptr, "outside-script", 0},
    };
    for (const Case& c : cases) {
        MemberList list = Members(c.text, c.line);
        if (c.type) {
            EXPECT_EQ(list.typeText, c.type) << c.name;
            EXPECT_TRUE(HasItem(list, c.member)) << c.name;
            EXPECT_TRUE(list.reason.empty()) << c.name << ": " << list.reason;
        } else {
            EXPECT_TRUE(list.items.empty()) << c.name;
            EXPECT_EQ(list.reason, c.member) << c.name;
        }
    }
}

TEST_F(TypeResolveTest, GlobalListAndItsOrder) {
    MemberList list = Members("x = cou", kWorkLine);  // caret inside Work
    EXPECT_EQ(list.typeText, "");
    EXPECT_EQ(list.wordStart, TextPosition(kWorkLine, 4));
    for (const char* name : {"conn", "rs", "f", "dict", "Work", "IncHelper", "xml", "Replace", "vbCrLf", "Request", "Session"})
        EXPECT_TRUE(HasItem(list, name)) << name;
    EXPECT_FALSE(HasItem(list, "Items"));  // a class member outside its class
    for (size_t i = 1; i < list.items.size(); ++i) {
        std::string a = list.items[i - 1].name, b = list.items[i].name;
        for (auto* s : {&a, &b})
            for (char& ch : *s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_LE(a, b);
    }
    // Icons: a default property, a method, a property get.
    list = Members("fld.");
    for (const auto& item : list.items) {
        if (item.name == "Value") { EXPECT_EQ(item.icon, kIconDefaultData); }
        if (item.name == "GetChunk") { EXPECT_EQ(item.icon, kIconCallable); }
        if (item.name == "Name") { EXPECT_EQ(item.icon, kIconData); }
    }
}

TEST_F(TypeResolveTest, ParameterTips) {
    struct Case {
        const char* text;
        const char* tip;  // nullptr: no tip
        int index;
        int line = kTypingLine;
    } cases[] = {
        {"Response.Write \"a\", ", "Write(varText)", 1},
        {"Response.Write \"a, (b", "Write(varText)", 0},
        {"x = Replace(a, Mid(b, 1), ", "Replace(expression, find, replacewith, start, count, compare)", 2},
        {"x = Replace(a, Mid(b, ", "Mid(string, start, length)", 1},
        {"conn.Open ", "Open(ConnectionString, UserID, Password, Options)", 0},
        {"x = rs.Fields(", "Item(Index)", 0},
        {"x = Request.Form(", "Item(Var)", 0},
        {"cart.Add 1, ", "Add(item, count)", 1},
        {"Me.Add 1, ", "Add(item, count)", 1, kClassLine},
        {"Tally ", "Tally(n, total)", 0},
        {"x = IncHelper(1, ", "IncHelper(first, second)", 1},
        {"  .Append ", "Append(Name, Type, DefinedSize, Attrib, FieldValue)", 0},
        {"Response.Write  x", nullptr, 0},  // two blanks after a statement call
        {"\"abc", nullptr, 0},
        {"x = Unknown(", nullptr, 0},
        {"x = 1", nullptr, 0},
    };
    for (const Case& c : cases) {
        ParameterTip tip = Tip(c.text, c.line);
        if (!c.tip) {
            EXPECT_TRUE(tip.callee.empty()) << c.text << " -> " << tip.Text();
            EXPECT_FALSE(tip.reason.empty()) << c.text;
            continue;
        }
        EXPECT_EQ(tip.Text(), c.tip) << c.text;
        EXPECT_EQ(tip.index, c.index) << c.text;
    }
    ParameterTip optional = Tip("x = Mid(");
    ASSERT_EQ(optional.params.size(), 3u);
    EXPECT_TRUE(optional.params[2].optional);
}

TEST_F(TypeResolveTest, ContinuedLinesJoinBeforeTheCaret) {
    lines_.Lines() = kPage;
    lines_.Lines()[kTypingLine] = "x = Replace(a, _";
    lines_.Lines()[kTypingLine + 1] = "  b, ";
    OutlineSource& doc = store_.GetOrCreate(path_);
    doc.AttachOpenText(&lines_);
    doc.MarkChanged();
    ParameterTip tip = ParameterTipAt(ctx_, doc, lines_, {kTypingLine + 1, 5});
    EXPECT_EQ(tip.callee, "Replace");
    EXPECT_EQ(tip.index, 2);
}

TEST_F(TypeResolveTest, RepeatedResolutionsDoNotGrowTheCache) {
    auto resolveAll = [&] {
        for (const char* text : {"conn.", "xml.documentElement.", "nothing.", "rs(0).", "re.", "dict."}) Members(text);
    };
    resolveAll();
    const size_t libraries = cache_.Libraries().size(), remembered = cache_.RememberedCount();
    for (int i = 0; i < 3; ++i) resolveAll();
    EXPECT_EQ(cache_.Libraries().size(), libraries);
    EXPECT_EQ(cache_.RememberedCount(), remembered);
}

TEST_F(TypeResolveTest, DefinitionsOfNamesUnderTheCaret) {
    struct Row {
        const char* text;
        int line;
        int ch;             // the caret; -1: the end of the text
        const char* file;   // "page", "inc" or "" (none)
        int defLine;        // or the reason when there is none
        const char* reason;
    } rows[] = {
        {"Call Tally(1, 2)", kTypingLine, 7, "page", 28, ""},
        {"x = IncHelper(1, 2)", kTypingLine, 13, "inc", 2, ""},  // the caret just after the name
        {"cart.Add 1, 2", kTypingLine, 6, "page", 16, ""},       // a class's procedure through a variable
        {"x = cart.Items", kTypingLine, -1, "page", 15, ""},
        {"x = Me.Total", kClassLine, -1, "page", 18, ""},
        {"Set c = New Cart", kTypingLine, 13, "page", 14, ""},   // a class name
        {"x = incStream", kTypingLine, 6, "inc", 0, ""},
        {"x = conn", kWorkLine, -1, "page", 23, ""},             // the local, not the global
        {"x = rs", kWorkLine, -1, "page", 22, ""},               // a parameter: its procedure's line
        {"Response.Write 1", kTypingLine, 2, "", -1, "predefined"},
        {"Response.Write 1", kTypingLine, 10, "", -1, "library"},
        {"x = nothingLikeIt", kTypingLine, 6, "", -1, "unresolved"},
        {"x = 1 + 2", kTypingLine, 5, "", -1, "no-name"},
        {"<!--#include file=\"inc.asp\"-->", 0, 7, "", -1, "outside-script"},
    };
    for (const Row& r : rows) {
        OutlineSource& doc = Typed(r.text, r.line);
        const TextPosition caret{r.line, r.ch < 0 ? static_cast<int>(std::string(r.text).size()) : r.ch};
        const Definition d = DefinitionAt(ctx_, doc, lines_, caret);
        const std::string file = *r.file == 0 ? "" : std::string(r.file) == "page" ? path_ : (dir_ / "inc.asp").string();
        EXPECT_EQ(d.file, file) << r.text;
        EXPECT_EQ(d.line, r.defLine) << r.text;
        if (*r.reason) EXPECT_EQ(d.reason, r.reason) << r.text;
    }
}
