#include "html/Markup.h"

#include "app/CommandIds.h"
#include "html/TagBuilder.h"

#include <charconv>

namespace tarnwell {

namespace {

const std::string kEol(kMarkupLineEnd);

Snippet TagSnippet(const CTagBuilder& tag) { return {tag.OpeningTag(), 1}; }

FixedMarkup Insert(std::string text, std::size_t cursor) { return {false, {std::move(text), cursor}, {}}; }
FixedMarkup Wrap(std::string open, std::string close) { return {true, {}, {std::move(open), std::move(close)}}; }

std::string Pick(const std::vector<std::string>& values, int index) {
    return index >= 0 && index < int(values.size()) ? values[size_t(index)] : std::string();
}

// Characters of UTF-8 text (continuation bytes not counted).
std::size_t CharCount(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

}  // namespace

std::optional<FixedMarkup> FixedMarkupFor(int id) {
    using namespace cmd;
    switch (id) {
    case InsertNamedAnchor: return Insert("<a name=\"\">", 9);
    case InsertLineBreak: return Insert("<br>", 4);
    case InsertHorizontalLine: return Insert("<hr>", 4);
    case InsertComment: return Wrap("<!-- ", " -->");
    case InsertParagraph: return Wrap("<p>", "</p>");
    case FormatAlignLeft: return Wrap("<div align=\"left\">", "</div>");
    case FormatAlignCenter: return Wrap("<div align=\"center\">", "</div>");
    case FormatAlignRight: return Wrap("<div align=\"right\">", "</div>");
    case FormatBold: return Wrap("<b>", "</b>");
    case FormatItalic: return Wrap("<i>", "</i>");
    case FormatUnderline: return Wrap("<u>", "</u>");
    // A script block opens and closes on lines of its own; the cursor starts the line after "<%".
    case AspScriptBlock: return Wrap("<%" + kEol, kEol + "%>");
    case AspNetScriptBlock: return Wrap("<script language=\"vb\" runat=\"server\">" + kEol, kEol + "</script>");
    default: break;
    }
    if (id >= FormatHeading1 && id <= FormatHeading1 + 5) {
        const std::string n = std::to_string(id - FormatHeading1 + 1);
        return Wrap("<h" + n + ">", "</h" + n + ">");
    }
    return std::nullopt;
}

std::string LengthMessage(std::string_view text, int limit) {
    if (CharCount(text) <= std::size_t(limit)) return {};
    return "Please enter no more than " + std::to_string(limit) + " characters.";
}

IntegerCheck CheckInteger(std::string_view text, long long lowest, long long highest) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec == std::errc::invalid_argument || end != text.data() + text.size()) {
        return {0, "Please enter an integer."};
    }
    if (ec == std::errc::result_out_of_range || value < lowest || value > highest) {
        return {0, "Please enter an integer between " + std::to_string(lowest) + " and " + std::to_string(highest) + "."};
    }
    return {int(value), {}};
}

std::vector<std::string> SplitTypedLines(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

const std::vector<std::string>& TargetFrameLabels() {
    static const std::vector<std::string> labels = {"_blank", "_parent", "_self", "_top"};
    return labels;
}

Wrapping FormMarkup(const FormFields& f) {
    CTagBuilder tag("form");
    tag.Add("name", f.name).Add("method", f.method, true).Add("action", f.action, true).Add("target", f.target);
    return {tag.OpeningTag() + kEol, kEol + "</form>"};
}

Snippet ButtonMarkup(const ButtonFields& f) {
    static const char* const kTypes[] = {"button", "submit", "reset"};
    CTagBuilder tag("input");
    tag.Add("type", kTypes[int(f.type)], true).Add("name", f.name).Add("value", f.value);
    return TagSnippet(tag);
}

Snippet CheckBoxMarkup(const CheckBoxFields& f) {
    CTagBuilder tag("input");
    tag.Add("type", f.radio ? "radio" : "checkbox", true).Add("name", f.name).Add("value", f.value);
    tag.Flag("checked", f.checked);
    return TagSnippet(tag);
}

Snippet TextFieldMarkup(const TextFieldFields& f) {
    CTagBuilder tag("input");
    tag.Add("type", f.password ? "password" : "text", true).Add("name", f.name).Add("value", f.value);
    tag.Add("size", f.size).Add("maxlength", f.maxLength);
    return TagSnippet(tag);
}

const std::vector<std::string>& TextAreaWrapLabels() {
    static const std::vector<std::string> labels = {"Default", "Off", "Virtual", "Physical"};
    return labels;
}

Snippet TextAreaMarkup(const TextAreaFields& f) {
    static const std::vector<std::string> kValues = {"", "off", "virtual", "physical"};
    CTagBuilder tag("textarea");
    tag.Add("name", f.name).Add("cols", f.cols).Add("rows", f.rows).Add("wrap", Pick(kValues, f.wrap));
    const std::string open = tag.OpeningTag();
    std::string text = open;
    const auto lines = SplitTypedLines(f.text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += kEol;
        text += lines[i];
    }
    text += "</textarea>";
    return {std::move(text), open.size()};
}

Snippet FileFieldMarkup(const FileFieldFields& f) {
    CTagBuilder tag("input");
    tag.Add("type", "file", true).Add("name", f.name).Add("size", f.size).Add("maxlength", f.maxLength);
    return TagSnippet(tag);
}

Snippet HiddenMarkup(const HiddenFields& f) {
    CTagBuilder tag("input");
    tag.Add("type", "hidden", true).Add("name", f.name).Add("value", f.value);
    return TagSnippet(tag);
}

Snippet SelectMarkup(const SelectFields& f) {
    CTagBuilder tag("select");
    tag.Add("name", f.name).Add("size", f.size).Flag("multiple", f.multiple);
    std::string text = tag.OpeningTag();
    for (const SelectOption& o : f.options) {
        CTagBuilder option("option");
        option.Add("value", o.value).Flag("selected", o.selected);
        text += kEol + "    " + option.OpeningTag() + o.label + "</option>";
    }
    text += kEol + "</select>";
    return {std::move(text), 1};
}

const std::vector<std::string>& ImageAlignLabels() {
    static const std::vector<std::string> labels = {"Browser Default", "Baseline", "Top",  "Middle",
                                                    "Bottom", "TextTop", "Absolute Middle", "Absolute Bottom",
                                                    "Left", "Right"};
    return labels;
}

Snippet ImageMarkup(const ImageFields& f) {
    static const std::vector<std::string> kValues = {"",        "baseline",  "top",       "middle", "bottom",
                                                     "texttop", "absmiddle", "absbottom", "left",   "right"};
    CTagBuilder tag(f.imageField ? "input type=\"image\"" : "img");
    tag.Add("src", f.src, true).Add("alt", f.alt, true).Add("align", Pick(kValues, f.align));
    if (!f.imageField) tag.Add("border", f.border).Add("hspace", f.hspace).Add("vspace", f.vspace);
    if (f.specifySize) {
        auto sized = [](const std::string& v, bool percent) { return v.empty() || !percent ? v : v + "%"; };
        tag.Add("width", sized(f.width, f.widthPercent)).Add("height", sized(f.height, f.heightPercent));
    }
    return TagSnippet(tag);
}

Wrapping LinkMarkup(const LinkFields& f) {
    CTagBuilder tag("a");
    tag.Add("href", f.href, true).Add("target", f.target);
    return {tag.OpeningTag(), "</a>"};
}

const std::vector<std::string>& ListTypeLabels() {
    static const std::vector<std::string> labels = {"Bulleted", "Numbered", "Directory", "Menu"};
    return labels;
}

const std::vector<std::string>& ListStyleLabels(int type) {
    static const std::vector<std::string> bulleted = {"Default", "Bullet", "Circle", "Square"};
    static const std::vector<std::string> numbered = {"Default",     "1,2,3...", "i,ii,iii...",
                                                      "I,II,III...", "a,b,c...", "A,B,C..."};
    static const std::vector<std::string> none;
    return type == 0 ? bulleted : type == 1 ? numbered : none;
}

Snippet ListMarkup(const ListFields& f) {
    static const char* const kTags[] = {"ul", "ol", "dir", "menu"};
    static const std::vector<std::string> kBulletValues = {"", "disc", "circle", "square"};
    static const std::vector<std::string> kNumberValues = {"", "1", "i", "I", "a", "A"};
    const int type = f.type >= 0 && f.type < 4 ? f.type : 0;
    CTagBuilder tag(kTags[type]);
    if (type == 0) tag.Add("type", Pick(kBulletValues, f.style));
    if (type == 1) tag.Add("type", Pick(kNumberValues, f.style)).Add("start", f.start);
    std::string text = tag.OpeningTag();
    for (const std::string& line : SplitTypedLines(f.items)) text += kEol + "    <li>" + line + "</li>";
    text += kEol + "</" + kTags[type] + ">";
    return {std::move(text), 1};
}

const std::vector<std::string>& TableAlignLabels() {
    static const std::vector<std::string> labels = {"Default", "Left", "Center", "Right"};
    return labels;
}

std::string TableSizeMessage(int rows, int cols) {
    if (rows < 1 || cols < 1) return "Please enter an integer between 1 and 32000.";
    if (static_cast<long long>(rows) * cols <= kTableCellLimit) return {};
    return "A table may hold at most " + std::to_string(kTableCellLimit) +
           " cells. Please enter fewer rows or columns.";
}

Snippet TableMarkup(const TableFields& f) {
    static const std::vector<std::string> kAlign = {"", "left", "center", "right"};
    CTagBuilder tag("table");
    tag.Add("align", Pick(kAlign, f.align)).Add("cellpadding", f.padding).Add("cellspacing", f.spacing);
    tag.Add("width", f.width).Add("height", f.height).Add("border", f.border);
    tag.Add("bordercolor", f.borderColor).Add("bordercolorlight", f.lightColor).Add("bordercolordark", f.darkColor);
    tag.Add("bgcolor", f.bgColor);
    if (f.bgImage) tag.Add("background", f.background);
    std::string text = tag.OpeningTag();
    if (TableSizeMessage(f.rows, f.cols).empty()) {
        std::string row = kEol + "    <tr>";
        for (int c = 0; c < f.cols; ++c) row += kEol + "        <td>&nbsp;</td>";
        row += kEol + "    </tr>";
        text.reserve(text.size() + row.size() * std::size_t(f.rows) + 16);
        for (int r = 0; r < f.rows; ++r) text += row;
    }
    text += kEol + "</table>";
    return {std::move(text), 1};
}

const std::vector<std::string>& FontSizeLabels() {
    static const std::vector<std::string> labels = [] {
        std::vector<std::string> l;
        for (const char* sign : {"", "-", "+"}) {
            for (int n = 1; n <= 7; ++n) l.push_back(sign + std::to_string(n));
        }
        return l;
    }();
    return labels;
}

Wrapping FontMarkup(const FontFields& f) {
    Wrapping w;
    if (!f.face.empty() || !f.size.empty() || !f.color.empty()) {
        CTagBuilder tag("font");
        tag.Add("face", f.face).Add("size", f.size).Add("color", f.color);
        w = {tag.OpeningTag(), "</font>"};
    }
    auto around = [&w](bool on, const char* open, const char* close) {
        if (!on) return;
        w.open = open + w.open;
        w.close += close;
    };
    around(f.bold, "<b>", "</b>");
    around(f.italic, "<i>", "</i>");
    around(f.underline, "<u>", "</u>");
    return w;
}

std::string DateTimeMarkup(const DateTimeFields& f) {
    if (!f.date && !f.time) return {};
    if (!f.dynamic) {
        if (f.date && f.time) return *f.date + " " + *f.time;
        return f.date ? *f.date : *f.time;
    }
    std::string s = "<script language=\"javascript\"><!--" + kEol;
    s += "var date = new Date();" + kEol;
    s += "// you can call date.getDay() to display the day of the week." + kEol;
    if (f.lastModified) s += "date.setTime(Date.parse(document.lastModified));" + kEol;
    if (f.date) s += "document.write(date.getMonth() + 1 + \"/\" + date.getDate() + \"/\" + date.getFullYear());" + kEol;
    if (f.time) {
        if (f.date) s += "document.write(\"&nbsp;\");" + kEol;
        s += "document.write(date.getHours() + \":\" + date.getMinutes() + \":\" + date.getSeconds());" + kEol;
    }
    s += "//--></script>";
    return s;
}

}  // namespace tarnwell
