// Outline rebuild over in-memory lines: region scan, logical lines, the rules in their order,
// declarations and their merging, lookups, and the four places where the parser keeps declarations
// that a literal reading would lose.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "lang/Regexx.h"
#include "lang/ScriptOutline.h"

using namespace tarnwell;

namespace {

struct Built {
    std::vector<std::string> lines;
    VectorLineSource text{lines};
    OutlineSource source{"/pages/page.asp"};

    explicit Built(std::vector<std::string> l) : lines(std::move(l)) { RebuildOutline(source.Outline(), text); }
    const ScriptOutline& o() const { return source.Outline(); }
    // Variables after the seven predefined objects.
    std::vector<const VariableItem*> declared() const {
        std::vector<const VariableItem*> out;
        for (const auto& v : o().variables)
            if (!v->predefined) out.push_back(v.get());
        return out;
    }
    std::vector<std::string> declaredNames() const {
        std::vector<std::string> out;
        for (auto* v : declared()) out.push_back(v->name);
        return out;
    }
};

using Names = std::vector<std::string>;

std::vector<std::string> ParamNames(const ProcedureItem& p) {
    std::vector<std::string> out;
    for (const auto& a : p.parameters) {
        EXPECT_EQ(a->kind, kOutlineParameter);
        EXPECT_EQ(a->text, "");
        out.push_back(a->name);
    }
    return out;
}

}  // namespace

TEST(OutlineParse, PredefinedObjectsLeadEveryRebuild) {
    Built b({"plain html, no script"});
    // Application carries its library's name and Session follows it, so both intrinsic objects resolve.
    const char* names[] = {"Server", "Application", "Session", "Response", "Request", "CommandBars", "MyServer", "Message"};
    const char* texts[] = {"ASPTypeLibrary.Server",   "ASPTypeLibrary.Application", "ASPTypeLibrary.Session",
                           "ASPTypeLibrary.Response", "ASPTypeLibrary.Request",     "Office.CommandBars",
                           "CoClass1",                "CDO.Message"};
    ASSERT_EQ(b.o().variables.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        const VariableItem& v = *b.o().variables[i];
        EXPECT_EQ(v.name, names[i]);
        EXPECT_EQ(v.text, texts[i]);
        EXPECT_EQ(v.predefined, 1);
        EXPECT_EQ(v.expression, 0);
        EXPECT_EQ(v.kind, kOutlineVariable);
        EXPECT_EQ(v.startLine, -1);
    }
    EXPECT_TRUE(b.o().regions.empty());
}

TEST(OutlineParse, RegionScan) {
    {
        // Two ASP blocks on one line: only the first is a region; the second is not examined.
        Built b({"<% Dim a %> text <% Dim b %>"});
        ASSERT_EQ(b.o().regions.size(), 1u);
        EXPECT_EQ(b.o().regions[0].startChar, 2);
        EXPECT_EQ(b.o().regions[0].endChar, 9);
        EXPECT_EQ(b.declaredNames(), (Names{"a"}));
    }
    {
        // A line that closes a region is not examined for a new one.
        Built b({"<%", "Dim a", "%> <% Dim b %>", "<% Dim c"});
        ASSERT_EQ(b.o().regions.size(), 2u);
        EXPECT_EQ(b.o().regions[0].startLine, 0);
        EXPECT_EQ(b.o().regions[0].endLine, 2);
        EXPECT_EQ(b.o().regions[0].endChar, 0);
        // Never closed: ends at the last line, its length - 1, and the whole last line is parsed.
        EXPECT_EQ(b.o().regions[1].startLine, 3);
        EXPECT_EQ(b.o().regions[1].startChar, 2);
        EXPECT_EQ(b.o().regions[1].endLine, 3);
        EXPECT_EQ(b.o().regions[1].endChar, 7);
        EXPECT_EQ(b.declaredNames(), (Names{"a", "c"}));
    }
    {
        // Server-side VBScript SCRIPT elements are regions; client-side or other languages are not.
        Built b({"<SCRIPT LANGUAGE=\"VBScript\" RUNAT=\"Server\">Dim a", "</script>",
                 "<script language=javascript runat=server>", "var b;", "</script>",
                 "<script language=vbscript>", "Dim c", "</script>",
                 "<script runat=server language=vb>", "Dim d</SCRIPT> <% Dim e %>"});
        ASSERT_EQ(b.o().regions.size(), 2u);
        EXPECT_EQ(b.o().regions[0].startLine, 0);
        EXPECT_EQ(b.o().regions[0].startChar, 43);
        EXPECT_EQ(b.o().regions[0].endLine, 1);
        EXPECT_EQ(b.o().regions[0].endChar, 0);
        EXPECT_EQ(b.o().regions[1].startLine, 8);
        EXPECT_EQ(b.o().regions[1].endLine, 9);
        EXPECT_EQ(b.o().regions[1].endChar, 5);
        EXPECT_EQ(b.declaredNames(), (Names{"a", "d"}));
    }
    {
        // A SCRIPT region waits for </SCRIPT>; "%>" does not close it.
        Built b({"<script language=vbscript runat=server>", "x = \"%>\"", "Dim a", "</script>"});
        ASSERT_EQ(b.o().regions.size(), 1u);
        EXPECT_EQ(b.o().regions[0].endLine, 3);
        EXPECT_EQ(b.declaredNames(), (Names{"a"}));
    }
    {
        // An ASP region ends at the first "%>", even inside a string.
        Built b({"<% s = \"%>\"", "Dim lost %>"});
        ASSERT_EQ(b.o().regions.size(), 1u);
        EXPECT_EQ(b.o().regions[0].endLine, 0);
        EXPECT_TRUE(b.declared().empty());
    }
}

TEST(OutlineParse, IncludeDirectivesAreKeptInUpperCaseWithDuplicates) {
    Built b({"<!-- #include file=\"inc/Common.asp\" -->", "<!--#INCLUDE VIRTUAL = /lib/db.asp-->",
             "<!-- #include file=\"inc/Common.asp\" --><% Dim a %>", "<!-- #include fil=\"x.asp\" -->",
             "<%", "' <!-- #include file=\"inside.asp\" --> inside a region is not seen", "%>"});
    EXPECT_EQ(b.o().includes, (Names{"INC/COMMON.ASP", "/LIB/DB.ASP", "INC/COMMON.ASP"}));
    EXPECT_EQ(b.o().includesAsWritten, (Names{"inc/Common.asp", "/lib/db.asp", "inc/Common.asp"}));
    EXPECT_EQ(b.declaredNames(), (Names{"a"}));
}

TEST(OutlineParse, RulesAndTheirOrder) {
    Built b({"<%",
             "Class Shop",                  // 1
             "  Dim items",                 // 2  member
             "  Sub Add(item)",             // 3
             "    Dim count",               // 4  local of Add
             "    With items",              // 5
             "  End Class",                 // 6  closes Add and the With without setting their end
             "Sub Outer()",                 // 7
             "  With Response",             // 8
             "  End Sub",                   // 9  closes the With without setting its end
             "With Server",                 // 10
             "End With",                    // 11
             "End Sub",                     // 12 nothing open: falls through, matches nothing
             "Function G(a)",               // 13
             "%>"});
    const ScriptOutline& o = b.o();
    ASSERT_EQ(o.classes.size(), 1u);
    const ClassItem& shop = *o.classes[0];
    EXPECT_EQ(shop.name, "Shop");
    EXPECT_EQ(shop.startLine, 1);
    EXPECT_EQ(shop.endLine, 6);
    ASSERT_EQ(shop.members.size(), 1u);
    EXPECT_EQ(shop.members[0]->name, "items");
    ASSERT_EQ(shop.procedures.size(), 1u);
    EXPECT_EQ(shop.procedures[0]->startLine, 3);
    EXPECT_EQ(shop.procedures[0]->endLine, 6);  // takes the class's end line
    ASSERT_EQ(shop.procedures[0]->locals.size(), 1u);
    EXPECT_EQ(shop.procedures[0]->locals[0]->name, "count");

    ASSERT_EQ(o.procedures.size(), 2u);
    EXPECT_EQ(o.procedures[0]->name, "Outer");
    EXPECT_EQ(o.procedures[0]->startLine, 7);
    EXPECT_EQ(o.procedures[0]->endLine, 9);
    EXPECT_EQ(o.procedures[1]->name, "G");
    EXPECT_EQ(o.procedures[1]->endLine, 14);  // never closed: the region's end line

    ASSERT_EQ(o.withs.size(), 3u);
    EXPECT_EQ(o.withs[0]->expression, "items");
    EXPECT_EQ(o.withs[0]->endLine, 14);  // closed by End Class, keeps the region's end line
    EXPECT_EQ(o.withs[1]->expression, "Response");
    EXPECT_EQ(o.withs[1]->endLine, 14);  // closed by End Sub
    EXPECT_EQ(o.withs[2]->startLine, 10);
    EXPECT_EQ(o.withs[2]->endLine, 11);
    EXPECT_TRUE(b.declared().empty());
}

TEST(OutlineParse, WithOnlyWhenTheLineDeclaredNothing) {
    Built b({"<%", "Dim With", "With rs : Dim x", "Set With2 = Nothing", "With obj.Fields  ", "Dim a(3)", "%>"});
    // "Dim With" declares a variable named With; the With rule is not tried.
    EXPECT_EQ(b.declaredNames(), (Names{"With"}));
    // "With rs : Dim x" is a With statement (only statements that begin the line count).
    ASSERT_EQ(b.o().withs.size(), 2u);
    EXPECT_EQ(b.o().withs[0]->expression, "rs : Dim x");
    EXPECT_EQ(b.o().withs[0]->startLine, 2);
    EXPECT_EQ(b.o().withs[1]->expression, "obj.Fields  ");  // as matched, trailing blanks included
}

TEST(OutlineParse, ClassAndProcedureStatements) {
    Built b({"<%", "Public Sub Hidden()", "Sub NoParens", "sub lower ( a , b,,c )", "FUNCTION Up(x)",
             "Class A", "Class B", "Sub InB()", "End Sub", "End Class", "%>"});
    const ScriptOutline& o = b.o();
    ASSERT_EQ(o.procedures.size(), 2u);
    EXPECT_EQ(o.procedures[0]->name, "lower");
    EXPECT_EQ(ParamNames(*o.procedures[0]), (Names{"a", "b", "c"}));
    EXPECT_EQ(o.procedures[1]->name, "Up");
    // A second Class replaces the open one; the first is left open with no end line.
    ASSERT_EQ(o.classes.size(), 2u);
    EXPECT_EQ(o.classes[0]->endLine, -1);
    EXPECT_EQ(o.classes[1]->endLine, 9);
    ASSERT_EQ(o.classes[1]->procedures.size(), 1u);
    EXPECT_EQ(o.classes[1]->procedures[0]->endLine, 8);
}

TEST(OutlineParse, ContinuationsJoinLogicalLines) {
    Built b({"<%", "Sub Connect(ByVal server, _", "\tByRef user _  ", "  , pwd)", "End Sub", "Dim a,_", "b", "%>"});
    ASSERT_EQ(b.o().procedures.size(), 1u);
    const ProcedureItem& p = *b.o().procedures[0];
    EXPECT_EQ(ParamNames(p), (Names{"ByValserver", "ByRefuser", "pwd"}));
    EXPECT_EQ(p.startLine, 3);  // the line number of a logical line is its last physical line
    EXPECT_EQ(p.endLine, 4);
    // "_" must follow a blank or tab: "Dim a,_" does not continue (and "_" is a name).
    EXPECT_EQ(b.declaredNames(), (Names{"a", "_"}));

    Built c({"<% Dim x, _", "y %>"});
    EXPECT_EQ(c.declaredNames(), (Names{"x", "y"}));
    EXPECT_EQ(c.declared()[0]->startLine, 1);
    // A continuation never runs past the region's last line.
    Built d({"<% Sub P(a, _ %>", "b)"});
    EXPECT_TRUE(d.o().procedures.empty());
    Built e({"<% Dim p, _", "q"});  // never closed: the region's last line is the text's last line
    EXPECT_EQ(e.declaredNames(), (Names{"p", "q"}));
}

TEST(OutlineParse, DimListsWithArraysAndAsClauses) {
    Built b({"<%", "Dim a, b(10), c(1, 2), d As String, e , f", "dim   g", "Dim", "Const K1 = 1, K2 = 2", "%>"});
    EXPECT_EQ(b.declaredNames(), (Names{"a", "e", "f", "g", "K1"}));
    for (auto* v : b.declared()) {
        EXPECT_EQ(v->text, "");
        EXPECT_EQ(v->expression, 0);
    }
}

TEST(OutlineParse, SetStatements) {
    Built b({"<%", "Set a = Nothing", "Set b = CreateObject(\"Scripting.Dictionary\")",
             "Set c = Server.CreateObject(\"ADODB.Recordset\")", "set d=server.createobject (\"X.Y\")",
             "Set e = New ShoppingCart", "Set f = conn.Execute(sql)", "Set g = NOTHING  ", "Set h = New My.Class",
             "%>"});
    auto v = b.declared();
    ASSERT_EQ(v.size(), 6u);
    struct Expect {
        const char* name;
        const char* text;
        int expr;
    } expect[] = {{"b", "Scripting.Dictionary", 0}, {"c", "ADODB.Recordset", 0}, {"d", "X.Y", 0},
                  {"e", "ShoppingCart", 0},         {"f", "conn.Execute(sql)", 1}, {"h", "My.Class", 0}};
    for (size_t i = 0; i < v.size(); ++i) {
        SCOPED_TRACE(expect[i].name);
        EXPECT_EQ(v[i]->name, expect[i].name);
        EXPECT_EQ(v[i]->text, expect[i].text);
        EXPECT_EQ(v[i]->expression, expect[i].expr);
    }
}

TEST(OutlineParse, MergeKeepsFirstLineAndPredefinedObjects) {
    Built b({"<%", "Dim conn", "Set CONN = Server.CreateObject(\"ADODB.Connection\")", "Set conn = x.y",
             "Dim Request", "Set Response = New Fake", "Set server = Nothing", "Sub P()", "Dim t", "Dim T",
             "Set t = New Q", "End Sub", "%>"});
    auto v = b.declared();
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0]->name, "conn");
    EXPECT_EQ(v[0]->startLine, 1);
    EXPECT_EQ(v[0]->text, "x.y");  // the last declaration's text and flag
    EXPECT_EQ(v[0]->expression, 1);
    const VariableItem* req = b.o().FindVariable("request");
    ASSERT_NE(req, nullptr);
    EXPECT_EQ(req->text, "ASPTypeLibrary.Request");
    EXPECT_EQ(req->predefined, 1);
    EXPECT_EQ(b.o().FindVariable("Response")->text, "ASPTypeLibrary.Response");
    EXPECT_EQ(b.o().variables.size(), 9u);
    const ProcedureItem& p = *b.o().procedures[0];
    ASSERT_EQ(p.locals.size(), 1u);
    EXPECT_EQ(p.locals[0]->name, "t");
    EXPECT_EQ(p.locals[0]->text, "Q");
    EXPECT_EQ(p.locals[0]->startLine, 8);
}

// The four declarations a literal reading loses.
TEST(OutlineParse, DelimiterBeforeTheBlockDoesNotCloseIt) {
    Built b({"<td width=100%><% Dim v %></td>", "<script>var a;</script><script language=vbscript runat=server>",
             "Dim w", "</script>", "<script language=vbscript runat=server></script>"});
    ASSERT_EQ(b.o().regions.size(), 3u);
    EXPECT_EQ(b.o().regions[0].startChar, 17);
    EXPECT_EQ(b.o().regions[0].endChar, 24);
    // A SCRIPT region's end is searched from after its tag's ">".
    EXPECT_EQ(b.o().regions[1].startLine, 1);
    EXPECT_EQ(b.o().regions[1].startChar, 62);
    EXPECT_EQ(b.o().regions[1].endLine, 3);
    EXPECT_EQ(b.o().regions[2].endLine, 4);
    EXPECT_EQ(b.o().regions[2].endChar, b.o().regions[2].startChar);
    EXPECT_EQ(b.declaredNames(), (Names{"v", "w"}));
}

TEST(OutlineParse, TrailingCommentsAreNotPartOfTheStatement) {
    Built b({"<%", "Dim x ' counter", "Dim s ' it's \"quoted\"", "Const Q = \"it's\" ' a quote in a string",
             "Set r = Server.CreateObject(\"A.B\") ' the recordset", "Set t = Fn(\"a \"\"b\"\" 'c'\") ' rest",
             "With obj ' comment", "End With ' done", "%>"});
    EXPECT_EQ(b.declaredNames(), (Names{"x", "s", "Q", "r", "t"}));
    EXPECT_EQ(b.o().FindVariable("r")->text, "A.B");
    EXPECT_EQ(b.o().FindVariable("r")->expression, 0);
    EXPECT_EQ(b.o().FindVariable("t")->text, "Fn(\"a \"\"b\"\" 'c'\")");
    ASSERT_EQ(b.o().withs.size(), 1u);
    EXPECT_EQ(b.o().withs[0]->expression, "obj ");
    EXPECT_EQ(b.o().withs[0]->endLine, 7);
}

TEST(OutlineParse, SetRightHandSideLosesTrailingBlanks) {
    Built b({"<% Set conn = Server.CreateObject(\"ADODB.Connection\") %>", "<%", "Set n = New Cart \t\r",
             "Set e = a + b  ", "Set z = Nothing \r", "%>"});
    auto v = b.declared();
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0]->text, "ADODB.Connection");
    EXPECT_EQ(v[0]->expression, 0);
    EXPECT_EQ(v[1]->text, "Cart");
    EXPECT_EQ(v[1]->expression, 0);
    EXPECT_EQ(v[2]->text, "a + b");
    EXPECT_EQ(v[2]->expression, 1);
}

TEST(OutlineParse, EndClassEndsItsOpenProcedures) {
    Built b({"<%", "Class C", "Sub A()", "Sub B()", "End Sub", "Function F()", "End Class", "Sub After()",
             "x = 1", "%>"});
    const ClassItem& c = *b.o().classes[0];
    ASSERT_EQ(c.procedures.size(), 3u);
    EXPECT_EQ(c.procedures[0]->endLine, 6);  // never closed: ends with its class
    EXPECT_EQ(c.procedures[1]->endLine, 4);  // its own End Sub
    EXPECT_EQ(c.procedures[2]->endLine, 6);
    EXPECT_EQ(b.o().ProcedureAtLine(2), c.procedures[0].get());
    EXPECT_EQ(b.o().ProcedureAtLine(5), c.procedures[0].get());  // first in list order
    EXPECT_EQ(b.o().ProcedureAtLine(8), b.o().procedures[0].get());
    EXPECT_EQ(b.o().ProcedureAtLine(0), nullptr);
}

TEST(OutlineParse, Lookups) {
    Built b({"<%", "Dim Total", "Sub Calc(n)", "  Dim Sum", "  With Sum", "  End With", "End Sub",
             "Class Cart", "  Dim Items", "  Function Count()", "  End Function", "End Class", "%>"});
    const ScriptOutline& o = b.o();
    EXPECT_EQ(o.FindVariable("TOTAL"), o.variables[8].get());
    EXPECT_EQ(o.FindVariable("Tota"), nullptr);
    EXPECT_EQ(o.FindVariable("SUM"), nullptr);  // locals are not global
    ASSERT_NE(o.FindProcedure("calc"), nullptr);
    EXPECT_EQ(o.FindProcedure("Count"), nullptr);  // class procedures are not global
    EXPECT_NE(o.FindProcedure("calc")->FindLocal("sum"), nullptr);
    const ClassItem* cart = o.FindClass("CART");
    ASSERT_NE(cart, nullptr);
    EXPECT_NE(cart->FindMember("items"), nullptr);
    EXPECT_NE(cart->FindProcedure("count"), nullptr);
    EXPECT_EQ(o.WithAtLine(4), o.withs[0].get());
    EXPECT_EQ(o.WithAtLine(5), o.withs[0].get());
    EXPECT_EQ(o.WithAtLine(6), nullptr);
    EXPECT_EQ(o.ProcedureAtLine(2), o.procedures[0].get());
    EXPECT_EQ(o.ProcedureAtLine(6), o.procedures[0].get());
    EXPECT_EQ(o.ProcedureAtLine(7), nullptr);
    EXPECT_EQ(o.ProcedureAtLine(10), cart->procedures[0].get());
    // Bytes beyond ASCII are compared exactly: no case folding that could split a character.
    EXPECT_FALSE(OutlineNameEquals("\xc3\xa9", "\xc3\x89"));
    EXPECT_TRUE(OutlineNameEquals("a\xc3\xa9Z", "A\xc3\xa9z"));
}

TEST(OutlineParse, GenerationFlagAndPatternsCompiledOnce) {
    std::vector<std::string> lines{"<% Dim a %>"};
    VectorLineSource text(lines);
    OutlineSource source("/x.asp");
    EXPECT_TRUE(source.NeedsRebuild());
    RebuildOutline(source.Outline(), text);
    EXPECT_EQ(source.Outline().variables.size(), 9u);
    lines = {"<%", "Class C", "Sub S(a)", "With x", "End With", "End Sub", "End Class", "Const K",
             "Set o = CreateObject(\"P.Q\")", "Set n = New C", "Dim d", "%>",
             "<!-- #include file=\"a.asp\" --><script language=vbscript runat=server>"};
    RebuildOutline(source.Outline(), text);  // every pattern has run once
    const std::uint32_t g = source.Outline().Generation();
    const std::uint64_t compiles = regexx::Regexx::CompileCount();
    EXPECT_FALSE(source.NeedsRebuild());
    source.MarkChanged();
    source.MarkChanged();
    EXPECT_TRUE(source.NeedsRebuild());
    EXPECT_EQ(source.ChangeCount(), 2u);
    // Even after the shared pattern cache is emptied, the outline's patterns are not compiled again.
    regexx::Regexx::ClearCache();
    RebuildOutline(source.Outline(), text);
    EXPECT_EQ(source.Outline().Generation(), g + 1);
    EXPECT_EQ(regexx::Regexx::CompileCount(), compiles);
    EXPECT_EQ(source.Outline().variables.size(), 12u);
    EXPECT_EQ(source.Outline().regions.size(), 2u);
}

TEST(OutlineParse, SurvivesAnyBytes) {
    {
        std::string nul("<% Dim a\0b %>", 13);
        Built b({nul, std::string("\0\0<%\0", 5), std::string("Dim z\0", 6)});
        EXPECT_EQ(b.o().regions.size(), 2u);
        EXPECT_TRUE(b.declared().empty());  // "a\0b" is not a name; "z\0" neither
    }
    {
        Built empty({});
        EXPECT_TRUE(empty.o().regions.empty());
        EXPECT_EQ(empty.o().variables.size(), 8u);
        Built oneEmpty({""});
        EXPECT_TRUE(oneEmpty.o().regions.empty());
        Built open({"<%"});
        ASSERT_EQ(open.o().regions.size(), 1u);
        EXPECT_EQ(open.o().regions[0].endChar, 1);
        Built openEmptyLast({"<%", ""});
        EXPECT_EQ(openEmptyLast.o().regions[0].endChar, -1);
    }
    {
        std::string huge = "<% Dim " + std::string(1 << 20, 'x') + ", y" + std::string(100000, ' ') + "_";
        Built b({huge, "  , z %>"});
        EXPECT_EQ(b.declared().size(), 3u);
    }
    std::mt19937 rng(12345);
    const char alphabet[] = "<%>_ \t\r\n'\"()=,.:\0!-#ScriptDimSetEndWithClassSubRUNAT=SERVERlanguage=vb\xff\x80";
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> lines(1 + rng() % 12);
        for (auto& line : lines) {
            size_t n = rng() % 80;
            for (size_t i = 0; i < n; ++i) line.push_back(alphabet[rng() % (sizeof alphabet - 1)]);
        }
        Built b(lines);
        for (const ScriptRegion& r : b.o().regions) {
            EXPECT_LE(r.startLine, r.endLine);
            EXPECT_GE(r.startChar, 0);
        }
    }
}
