// A generated server page of a given size, the text the code-help benchmarks work on, and a site of
// that page with five included files.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The TypeLibs folder beside the benchmark programs (copied there by the build).
inline std::string TypeLibsFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", ec);
    return ((ec ? std::filesystem::current_path() : self.parent_path()) / "TypeLibs").string();
}

// A realistic mix: markup between blocks, inline expressions, include directives, procedures with
// locals and With blocks, classes, Set statements of every kind, comments and continued lines.
inline std::vector<std::string> GeneratePage(size_t targetBytes) {
    std::vector<std::string> lines;
    size_t bytes = 0;
    auto add = [&](std::string s) {
        bytes += s.size() + 2;
        lines.push_back(std::move(s));
    };
    add("<%@ Language=VBScript %>");
    add("<!-- #include file=\"inc/common.asp\" -->");
    for (int i = 0; bytes < targetBytes; ++i) {
        const std::string n = std::to_string(i);
        add("<table width=\"100%\" class=\"grid\"><tr><td class=\"label\">Row " + n + "</td>");
        add("  <td width=50%><% Dim cell" + n + " %><%= Request.QueryString(\"id" + n + "\") %></td></tr>");
        add("</table>");
        add("<%");
        add("' ---- section " + n + " ----");
        add("Dim total" + n + ", items" + n + "(20), name" + n + " ' running totals");
        add("Const MAX_" + n + " = 100");
        add("Set conn" + n + " = Server.CreateObject(\"ADODB.Connection\")");
        add("Set rs" + n + " = conn" + n + ".Execute(\"SELECT * FROM t" + n + " WHERE a = 'x'\")");
        add("Sub Render" + n + "(ByVal title, _");
        add("                 ByRef rows, count)");
        add("  Dim i, line");
        add("  Set dict = CreateObject(\"Scripting.Dictionary\")");
        add("  With Response");
        add("    .Write \"<h1>\" & Server.HTMLEncode(title) & \"</h1>\"");
        add("    For i = 0 To count - 1");
        add("      .Write rows(i) & \"<br>\"");
        add("    Next");
        add("  End With");
        add("  If count > MAX_" + n + " Then Response.Write \"more\"");
        add("End Sub");
        if (i % 4 == 0) {
            add("Class Basket" + n);
            add("  Dim owner, lines");
            add("  Public Function Total()");
            add("    Total = 0");
            add("  End Function");
            add("  Function Count(x)");
            add("    Count = UBound(lines)");
            add("  End Function");
            add("End Class");
            add("Set basket" + n + " = New Basket" + n);
        }
        add("Set rs" + n + " = Nothing");
        add("%>");
        add("<p>Some text for paragraph " + n + " with <b>markup</b> and an <a href=\"page" + n +
            ".asp\">anchor</a>.</p>");
        add("<script language=\"javascript\">var x" + n + " = 1;</script>");
    }
    return lines;
}

// A folder with a page of about 1 MB (the generated mix above) and five included files of 200
// procedures and a created object each: three named by "file", two by "virtual" from the site root.
// The page's middle holds a script block with an empty line to type on. Removed on destruction.
struct IncludingSite {
    std::filesystem::path root;
    std::vector<std::string> lines;
    int typingLine = 0;

    explicit IncludingSite(const char* name) : root(std::filesystem::temp_directory_path() / name) {
        namespace fs = std::filesystem;
        fs::create_directories(root / "inc");
        for (int f = 0; f < 5; ++f) {
            std::ofstream out(root / "inc" / ("lib" + std::to_string(f) + ".asp"), std::ios::binary);
            out << "<%\r\nSet incRs" << f << " = Server.CreateObject(\"ADODB.Recordset\")\r\n";
            for (int p = 0; p < 200; ++p)
                out << "Function Lib" << f << "Helper" << p << "(first, second)\r\n  Lib" << f << "Helper" << p
                    << " = first & second\r\nEnd Function\r\n";
            out << "%>\r\n";
        }
        lines = GeneratePage(1 << 20);
        const std::vector<std::string> includes = {
            "<!-- #include file=\"inc/lib0.asp\" -->",      "<!-- #include file=\"inc/lib1.asp\" -->",
            "<!-- #include virtual=\"/inc/lib2.asp\" -->",  "<!-- #include virtual=\"/inc/lib3.asp\" -->",
            "<!-- #include file=\"inc/lib4.asp\" -->",
        };
        lines.insert(lines.begin() + 1, includes.begin(), includes.end());
        typingLine = static_cast<int>(lines.size() / 2);
        while (lines[static_cast<size_t>(typingLine) - 1] != "%>") ++typingLine;
        lines.insert(lines.begin() + typingLine, {"<%", "", "%>"});
        ++typingLine;
    }
    ~IncludingSite() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::string PagePath() const { return (root / "page.asp").string(); }
    std::string Text() const {
        std::string text;
        for (const auto& l : lines) text += l + "\r\n";
        return text;
    }
};

}  // namespace
