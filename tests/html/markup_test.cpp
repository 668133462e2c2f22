// The markup builders: fixed tag commands, every insert dialog's result, attribute escaping, file
// references, special characters and the stored server-object list.
#include "app/CommandIds.h"
#include "html/FileReference.h"
#include "html/Markup.h"
#include "html/ServerObjects.h"
#include "html/SpecialChars.h"
#include "html/TagBuilder.h"
#include "platform/MemoryProfile.h"

#include <gtest/gtest.h>

#include <set>

using namespace tarnwell;

namespace {

// The text with the cursor shown as "|".
std::string WithCursor(const Snippet& s) { return s.text.substr(0, s.cursor) + "|" + s.text.substr(s.cursor); }
std::string WithCursor(const Wrapping& w) { return w.open + "|" + w.close; }

TEST(FixedMarkup, EveryCommandPlacesTheCursorAsDocumented) {
    struct Case {
        int id;
        const char* expected;  // "|" marks the cursor; wrappings put the selection there
        bool wrap;
    } cases[] = {
        {cmd::InsertNamedAnchor, "<a name=\"|\">", false},
        {cmd::InsertLineBreak, "<br>|", false},
        {cmd::InsertHorizontalLine, "<hr>|", false},
        {cmd::InsertComment, "<!-- | -->", true},
        {cmd::InsertParagraph, "<p>|</p>", true},
        {cmd::FormatHeading1 + 1, "<h2>|</h2>", true},
        {cmd::FormatHeading1 + 5, "<h6>|</h6>", true},
        {cmd::FormatAlignLeft, "<div align=\"left\">|</div>", true},
        {cmd::FormatAlignCenter, "<div align=\"center\">|</div>", true},
        {cmd::FormatAlignRight, "<div align=\"right\">|</div>", true},
        {cmd::FormatBold, "<b>|</b>", true},
        {cmd::FormatItalic, "<i>|</i>", true},
        {cmd::FormatUnderline, "<u>|</u>", true},
        {cmd::AspScriptBlock, "<%\r\n|\r\n%>", true},
        {cmd::AspNetScriptBlock, "<script language=\"vb\" runat=\"server\">\r\n|\r\n</script>", true},
    };
    for (const Case& c : cases) {
        auto m = FixedMarkupFor(c.id);
        ASSERT_TRUE(m) << c.id;
        EXPECT_EQ(m->wrap, c.wrap) << c.id;
        EXPECT_EQ(c.wrap ? WithCursor(m->wrapping) : WithCursor(m->snippet), c.expected) << c.id;
    }
    EXPECT_FALSE(FixedMarkupFor(cmd::FormatHeading1 - 1));
    EXPECT_FALSE(FixedMarkupFor(cmd::FormatHeading1 + 6));
}

TEST(TagBuilder, EscapesValuesButKeepsReferencesAndServerScript) {
    struct Case {
        const char* typed;
        const char* written;
    } cases[] = {
        {"say \"hi\"", "say &quot;hi&quot;"},
        {"a & b", "a &amp; b"},
        {"&copy; &#169; &#xA9; &Amp", "&copy; &#169; &#xA9; &amp;Amp"},
        {"&#; &#x; &;", "&amp;#; &amp;#x; &amp;;"},
        {"<%=rs(\"x\")%>&y=\"1\"", "<%=rs(\"x\")%>&amp;y=&quot;1&quot;"},
        {"page.asp?id=<% =id %>", "page.asp?id=<% =id %>"},
        {"<% unclosed \"", "<% unclosed \""},
        {"a<b>c", "a<b>c"},
    };
    for (const Case& c : cases) EXPECT_EQ(EscapeAttributeValue(c.typed), c.written) << c.typed;

    CTagBuilder tag("x");
    tag.Add("", "lost").Add("a", "", true).Add("b", "").Add("c", "", false, true).Add("d", "v", false, true);
    tag.Flag("off", false);
    EXPECT_EQ(tag.OpeningTag(), "<x a=\"\" c d=\"v\">");
}

TEST(DialogMarkup, FormFieldsAndInputs) {
    EXPECT_EQ(WithCursor(FormMarkup({"", "", "", "POST"})), "<form method=\"POST\" action=\"\">\r\n|\r\n</form>");
    EXPECT_EQ(FormMarkup({"f", "a.asp", "_top", "GET"}).open,
              "<form name=\"f\" method=\"GET\" action=\"a.asp\" target=\"_top\">\r\n");
    EXPECT_EQ(WithCursor(ButtonMarkup({"b", "Go", ButtonType::Reset})), "<|input type=\"reset\" name=\"b\" value=\"Go\">");
    EXPECT_EQ(ButtonMarkup({"", "", ButtonType::Submit}).text, "<input type=\"submit\">");
    EXPECT_EQ(CheckBoxMarkup({}).text, "<input type=\"checkbox\">");
    EXPECT_EQ(CheckBoxMarkup({true, "r", "1", true}).text, "<input type=\"radio\" name=\"r\" value=\"1\" checked>");
    EXPECT_EQ(TextFieldMarkup({"n", true, "v", "10", "20"}).text,
              "<input type=\"password\" name=\"n\" value=\"v\" size=\"10\" maxlength=\"20\">");
    EXPECT_EQ(TextFieldMarkup({}).text, "<input type=\"text\">");
    EXPECT_EQ(FileFieldMarkup({"up", "30", ""}).text, "<input type=\"file\" name=\"up\" size=\"30\">");
    EXPECT_EQ(HiddenMarkup({"h", "<%=x%>"}).text, "<input type=\"hidden\" name=\"h\" value=\"<%=x%>\">");
}

TEST(DialogMarkup, TextAreaUsesTheTextFieldAndWritesValidWrapValues) {
    EXPECT_EQ(WithCursor(TextAreaMarkup({"t", "one\ntwo", "40", "", 3})),
              "<textarea name=\"t\" cols=\"40\" wrap=\"physical\">|one\r\ntwo</textarea>");
    EXPECT_EQ(TextAreaMarkup({"", "", "", "", 1}).text, "<textarea wrap=\"off\"></textarea>");
    EXPECT_EQ(TextAreaMarkup({"", "", "", "", 0}).text, "<textarea></textarea>");
}

TEST(DialogMarkup, SelectListsOptionsInOrder) {
    SelectFields f{"s", "3", true, {{"One", "1", false}, {"Two", "", true}}};
    EXPECT_EQ(WithCursor(SelectMarkup(f)),
              "<|select name=\"s\" size=\"3\" multiple>\r\n    <option value=\"1\">One</option>\r\n"
              "    <option selected>Two</option>\r\n</select>");
    EXPECT_EQ(SelectMarkup({}).text, "<select>\r\n</select>");
}

TEST(DialogMarkup, ImagesAndImageFields) {
    ImageFields img;
    EXPECT_EQ(ImageMarkup(img).text, "<img src=\"\" alt=\"\" border=\"0\">");
    img = {false, "a b.gif", "A", 6, "2", "3", "4", true, "50", "", true, true};
    EXPECT_EQ(ImageMarkup(img).text,
              "<img src=\"a b.gif\" alt=\"A\" align=\"absmiddle\" border=\"2\" hspace=\"3\" vspace=\"4\" width=\"50%\">");
    img.specifySize = false;
    img.imageField = true;
    EXPECT_EQ(WithCursor(ImageMarkup(img)), "<|input type=\"image\" src=\"a b.gif\" alt=\"A\" align=\"absmiddle\">");
    EXPECT_EQ(ImageAlignLabels().size(), 10u);
}

TEST(DialogMarkup, LinksListsAndFonts) {
    EXPECT_EQ(WithCursor(LinkMarkup({"mailto:a@b.c", ""})), "<a href=\"mailto:a@b.c\">|</a>");
    EXPECT_EQ(LinkMarkup({"x.asp?a=1&b=2", "_blank"}).open, "<a href=\"x.asp?a=1&amp;b=2\" target=\"_blank\">");

    EXPECT_EQ(WithCursor(ListMarkup({0, 3, "", "a\n\nc"})),
              "<|ul type=\"square\">\r\n    <li>a</li>\r\n    <li></li>\r\n    <li>c</li>\r\n</ul>");
    EXPECT_EQ(ListMarkup({1, 2, "4", "x\r\n"}).text, "<ol type=\"i\" start=\"4\">\r\n    <li>x</li>\r\n    <li></li>\r\n</ol>");
    EXPECT_EQ(ListMarkup({2, 0, "9", ""}).text, "<dir>\r\n</dir>");
    EXPECT_EQ(ListMarkup({3, 0, "", "m"}).text, "<menu>\r\n    <li>m</li>\r\n</menu>");
    EXPECT_EQ(ListStyleLabels(1).size(), 6u);
    EXPECT_TRUE(ListStyleLabels(2).empty());

    EXPECT_EQ(WithCursor(FontMarkup({"", "", "", true, false, false})), "<b>|</b>");
    EXPECT_EQ(WithCursor(FontMarkup({"Arial", "+1", "#FF0000", true, true, true})),
              "<u><i><b><font face=\"Arial\" size=\"+1\" color=\"#FF0000\">|</font></b></i></u>");
    EXPECT_EQ(WithCursor(FontMarkup({})), "|");
    EXPECT_EQ(FontSizeLabels().size(), 21u);
    EXPECT_EQ(FontSizeLabels()[7], "-1");
    EXPECT_EQ(FontSizeLabels()[20], "+7");
}

TEST(DialogMarkup, TablesAndTheirSizeLimit) {
    TableFields t;
    const Snippet s = TableMarkup(t);
    EXPECT_EQ(s.cursor, 1u);
    EXPECT_EQ(s.text.substr(0, s.text.find('\r')),
              "<table cellpadding=\"0\" cellspacing=\"0\" width=\"100%\" border=\"1\">");
    std::size_t cells = 0;
    for (std::size_t at = 0; (at = s.text.find("\r\n        <td>&nbsp;</td>", at)) != std::string::npos; ++at) ++cells;
    EXPECT_EQ(cells, 9u);
    EXPECT_TRUE(s.text.ends_with("\r\n    </tr>\r\n</table>"));

    t = {1, 1, 2, "", "", "", "", "", "#000000", "", "", "#FFFFFF", true, "bg.gif"};
    EXPECT_EQ(TableMarkup(t).text,
              "<table align=\"center\" bordercolor=\"#000000\" bgcolor=\"#FFFFFF\" background=\"bg.gif\">\r\n    <tr>\r\n"
              "        <td>&nbsp;</td>\r\n    </tr>\r\n</table>");
    EXPECT_EQ(TableSizeMessage(100, 1000), "");
    EXPECT_NE(TableSizeMessage(32000, 32000), "");
    EXPECT_NE(TableSizeMessage(100001, 1), "");
}

TEST(DialogMarkup, DateAndTime) {
    EXPECT_EQ(DateTimeMarkup({}), "");
    EXPECT_EQ(DateTimeMarkup({false, false, "1/2/2026", "10:00"}), "1/2/2026 10:00");
    EXPECT_EQ(DateTimeMarkup({false, false, std::nullopt, "10:00"}), "10:00");
    const std::string both = DateTimeMarkup({true, true, "x", "y"});
    EXPECT_TRUE(both.starts_with("<script language=\"javascript\"><!--\r\nvar date = new Date();\r\n"));
    EXPECT_NE(both.find("date.setTime(Date.parse(document.lastModified));\r\n"), std::string::npos);
    EXPECT_LT(both.find("getFullYear"), both.find("document.write(\"&nbsp;\");"));
    EXPECT_TRUE(both.ends_with("getSeconds());\r\n//--></script>"));
    const std::string timeOnly = DateTimeMarkup({true, false, std::nullopt, "y"});
    EXPECT_EQ(timeOnly.find("&nbsp;"), std::string::npos);
    EXPECT_EQ(timeOnly.find("lastModified"), std::string::npos);
}

TEST(FieldChecks, LengthsAndIntegers) {
    EXPECT_EQ(LengthMessage("abc", 3), "");
    EXPECT_EQ(LengthMessage("abcd", 3), "Please enter no more than 3 characters.");
    EXPECT_EQ(LengthMessage("\xC3\xA9\xC3\xA9\xC3\xA9", 3), "");  // characters, not bytes
    EXPECT_EQ(CheckInteger(" 12 ", 1, 32000).value, 12);
    EXPECT_EQ(CheckInteger("", 1, 32000).message, "Please enter an integer.");
    EXPECT_EQ(CheckInteger("1x", 1, 32000).message, "Please enter an integer.");
    EXPECT_EQ(CheckInteger("0", 1, 32000).message, "Please enter an integer between 1 and 32000.");
    EXPECT_EQ(CheckInteger("99999999999999999999", 1, 32000).message, "Please enter an integer between 1 and 32000.");
    EXPECT_EQ(SplitTypedLines(""), std::vector<std::string>{});
    EXPECT_EQ(SplitTypedLines("a\r\nb\rc\n"), (std::vector<std::string>{"a", "b", "c", ""}));
}

TEST(FileReferences, RelativeToThePageElseFileUrls) {
    struct Case {
        const char* path;
        const char* page;
        const char* expected;
    } cases[] = {
        {"/site/img/a b.gif", "/site/index.asp", "img/a%20b.gif"},
        {"/site/x.gif", "/site/sub/page.asp", "../x.gif"},
        {"/other/100% #1?.gif", "", "file:///other/100%25%20%231%3F.gif"},
        {"/q\"uote.gif", "", "file:///q%22uote.gif"},
        {"C:\\web\\a.gif", "", "file:///C:/web/a.gif"},
    };
    for (const Case& c : cases) EXPECT_EQ(FileReference(c.path, c.page), c.expected) << c.path;

    EXPECT_TRUE(IsInFolder("/Site/a.asp", "/site"));
    EXPECT_TRUE(IsInFolder("/site/a.asp", "/site/"));
    EXPECT_FALSE(IsInFolder("/site2/a.asp", "/site"));
    EXPECT_FALSE(IsInFolder("/a.asp", ""));

    EXPECT_EQ(IncludePath("/site/inc/top.inc", "/site"), "inc/top.inc");
    EXPECT_EQ(IncludePath("/site/inc/top.inc", "/site/pages"), "../inc/top.inc");
    EXPECT_EQ(IncludePath("/site/top.inc", ""), "");
}

TEST(SpecialCharacters, TableAndGridHitTest) {
    const auto& table = SpecialChars();
    EXPECT_STREQ(table[0].entity, "&nbsp;");
    EXPECT_STREQ(table[98].entity, "&#159;");
    std::set<std::string> seen;
    for (const SpecialChar& c : table) {
        EXPECT_TRUE(std::string(c.entity).ends_with(";")) << c.entity;
        EXPECT_TRUE(seen.insert(c.entity).second) << c.entity;
    }
    struct Hit {
        int x, y, cell;
    } hits[] = {{0, 0, 0}, {29, 29, 0}, {30, 0, 1}, {329, 269, 98}, {300, 240, 98}, {0, 30, 11},
                {-1, 5, -1}, {5, -1, -1}, {330, 5, -1}, {5, 270, -1}, {333, 273, -1}};
    for (const Hit& h : hits) EXPECT_EQ(SpecialCharAt(h.x, h.y), h.cell) << h.x << "," << h.y;
}

TEST(ServerObjectList, LoadSkipsBrokenValuesAndSaveRoundTrips) {
    MemoryProfile profile;
    profile.WriteInt(kServerObjectsSection, "Count", 5);
    profile.WriteString(kServerObjectsSection, "#0", "Connection\nADODB.Connection");
    profile.WriteString(kServerObjectsSection, "#1", "no line break");
    profile.WriteString(kServerObjectsSection, "#2", "\nempty title");
    profile.WriteString(kServerObjectsSection, "#3", "Multi\nline\nid");
    // #4 missing
    EXPECT_EQ(LoadServerObjects(profile),
              (std::vector<ServerObject>{{"Connection", "ADODB.Connection"}, {"Multi", "line\nid"}}));

    SaveServerObjects(profile, {{"A & B", "{GUID}"}});
    EXPECT_EQ(profile.GetInt(kServerObjectsSection, "Count", -1), 1);
    EXPECT_EQ(LoadServerObjects(profile), (std::vector<ServerObject>{{"A & B", "{GUID}"}}));

    profile.WriteInt(kServerObjectsSection, "Count", -3);
    EXPECT_TRUE(LoadServerObjects(profile).empty());
    profile.WriteInt(kServerObjectsSection, "Count", 2000000000);  // clamped, not two billion reads
    EXPECT_EQ(LoadServerObjects(profile).size(), 2u);  // the stale "#3" beyond the old count reads again

    EXPECT_EQ(ServerObjectMenuText("R&D Mail"), "R&&D Mail");
    EXPECT_EQ(TrimBlanks("  ADODB.Recordset \t"), "ADODB.Recordset");
}

}  // namespace
