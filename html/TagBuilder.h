// The small tag builder every insert dialog composes its markup with: a tag name and an ordered list
// of attributes, rendered as `name attr="value" bare ...` (the caller adds "<" and ">").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// Attribute values as written into markup: `"` becomes "&quot;" and a bare "&" becomes "&amp;",
// while references already written ("&name;", "&#n;", "&#xh;") and ASP spans ("<% ... %>",
// "<%= ... %>") are kept as typed, so `<%=rs("x")%>` survives inside a value.
std::string EscapeAttributeValue(std::string_view value);

class CTagBuilder {
public:
    // `tag` is written as given: the image field passes "input type=\"image\"" so that its type
    // comes first.
    explicit CTagBuilder(std::string tag) : tag_(std::move(tag)) {}

    // Adds an attribute (an empty name adds nothing). It is written as name="value" when the value
    // is not empty or `always` is set, else as the bare name when `bare` is set, else not at all.
    CTagBuilder& Add(std::string_view name, std::string_view value, bool always = false, bool bare = false);
    // A bare flag attribute ("checked", "selected", "multiple") written only when `on`.
    CTagBuilder& Flag(std::string_view name, bool on) { return Add(name, {}, false, on); }

    std::string Render() const;
    // "<" + Render() + ">"
    std::string OpeningTag() const { return "<" + Render() + ">"; }

private:
    struct Attribute {
        std::string name;
        std::string value;
        bool always;
        bool bare;
    };
    std::string tag_;
    std::vector<Attribute> attributes_;
};

}  // namespace tarnwell
