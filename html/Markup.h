// The markup of the tag insertion commands and of every insert dialog, as pure functions from the
// command or the dialog's fields to the text to insert and the cursor's place in it. Line breaks in
// the results are CR LF, which the text buffer splits lines at; texts typed into dialogs may break
// lines with LF, CR LF or CR and are split at any of them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

inline constexpr std::string_view kMarkupLineEnd = "\r\n";

// Text that replaces the selection; the cursor goes `cursor` bytes into it.
struct Snippet {
    std::string text;
    std::size_t cursor = 0;
};

// Text that goes around the selection; the cursor goes right after `open`, in front of the wrapped
// text (or between the two parts when nothing was selected).
struct Wrapping {
    std::string open;
    std::string close;
};

// The commands that insert fixed markup: a snippet, or a wrapping of the selection. Empty for any
// other command id (a heading id outside Heading 1..6 included).
struct FixedMarkup {
    bool wrap = false;
    Snippet snippet;    // when !wrap
    Wrapping wrapping;  // when wrap
};
std::optional<FixedMarkup> FixedMarkupFor(int commandId);

// --- Field checks of the dialogs (the messages keep the dialog open) ---
inline constexpr int kNameLimit = 255;  // names, values, paths
inline constexpr int kSizeLimit = 3;    // size-like fields
inline constexpr int kTableCellLimit = 100000;
// "Please enter no more than %1 characters." when `text` has more than `limit` characters
// (UTF-8 text, counted in characters); empty when it fits.
std::string LengthMessage(std::string_view text, int limit);
// An integer field: the value, or the message ("Please enter an integer." or "Please enter an
// integer between %1 and %2.").
struct IntegerCheck {
    int value = 0;
    std::string message;
};
IntegerCheck CheckInteger(std::string_view text, long long lowest, long long highest);

// Lines of a text typed in a multi-line field, split at CR LF, LF or CR. An empty text has no
// lines; a text ending with a line break has an empty last line.
std::vector<std::string> SplitTypedLines(std::string_view text);

// --- Dialog results ---

// The target frames the Form and Link dialogs offer: "_blank", "_parent", "_self", "_top".
const std::vector<std::string>& TargetFrameLabels();

struct FormFields {
    std::string name, action, target, method;
};
// The Form command wraps the selection in the opening tag and a line break, and a line break and
// "</form>"; the cursor goes to the start of the wrapped text's line.
Wrapping FormMarkup(const FormFields& f);

enum class ButtonType { Normal, Submit, Reset };
struct ButtonFields {
    std::string name, value;
    ButtonType type = ButtonType::Normal;
};
Snippet ButtonMarkup(const ButtonFields& f);

struct CheckBoxFields {
    bool radio = false;
    std::string name, value;
    bool checked = false;
};
Snippet CheckBoxMarkup(const CheckBoxFields& f);

struct TextFieldFields {
    std::string name;
    bool password = false;
    std::string value, size, maxLength;
};
Snippet TextFieldMarkup(const TextFieldFields& f);

// Wrap list entries: "Default", "Off", "Virtual", "Physical".
const std::vector<std::string>& TextAreaWrapLabels();
struct TextAreaFields {
    std::string name, text, cols, rows;
    int wrap = 0;
};
// The opening tag, the Text field's content and "</textarea>"; the cursor after the opening tag.
Snippet TextAreaMarkup(const TextAreaFields& f);

struct FileFieldFields {
    std::string name, size, maxLength;
};
Snippet FileFieldMarkup(const FileFieldFields& f);

struct HiddenFields {
    std::string name, value;
};
Snippet HiddenMarkup(const HiddenFields& f);

struct SelectOption {
    std::string label, value;
    bool selected = false;
};
struct SelectFields {
    std::string name, size;
    bool multiple = false;
    std::vector<SelectOption> options;
};
// The select tag, one indented line per option and the closing "</select>" line.
Snippet SelectMarkup(const SelectFields& f);

// Alignment entries of the image dialogs: "Browser Default", "Baseline", ... "Right".
const std::vector<std::string>& ImageAlignLabels();
struct ImageFields {
    bool imageField = false;  // the Image Field command: an input of type image, without border and spaces
    std::string src, alt;
    int align = 0;
    std::string border = "0", hspace, vspace;
    bool specifySize = false;
    std::string width, height;
    bool widthPercent = false, heightPercent = false;
};
Snippet ImageMarkup(const ImageFields& f);

struct LinkFields {
    std::string href, target;
};
Wrapping LinkMarkup(const LinkFields& f);

// List types "Bulleted", "Numbered", "Directory", "Menu" and the style entries of a type (empty for
// Directory and Menu).
const std::vector<std::string>& ListTypeLabels();
const std::vector<std::string>& ListStyleLabels(int type);
struct ListFields {
    int type = 0;
    int style = 0;
    std::string start;
    std::string items;
};
Snippet ListMarkup(const ListFields& f);

// Table alignment entries "Default", "Left", "Center", "Right".
const std::vector<std::string>& TableAlignLabels();
struct TableFields {
    int rows = 3, cols = 3;
    int align = 0;
    std::string padding = "0", spacing = "0", width = "100%", height, border = "1";
    std::string borderColor, lightColor, darkColor, bgColor;
    bool bgImage = false;
    std::string background;
};
// Empty when the table may be built; otherwise the message that refuses it.
std::string TableSizeMessage(int rows, int cols);
Snippet TableMarkup(const TableFields& f);

// The font sizes offered: "1".."7", "-1".."-7", "+1".."+7".
const std::vector<std::string>& FontSizeLabels();
struct FontFields {
    std::string face, size, color;
    bool bold = false, italic = false, underline = false;
};
// What goes around the selected text: a font tag when face, size or color is given, then bold,
// italic and underline (outermost). Both parts empty when nothing is chosen.
Wrapping FontMarkup(const FontFields& f);

struct DateTimeFields {
    bool dynamic = false;
    bool lastModified = false;  // dynamic: the page's last-modified time instead of the current one
    std::optional<std::string> date, time;  // the chosen texts; empty for "(None)"
};
// Empty when neither a date nor a time is chosen.
std::string DateTimeMarkup(const DateTimeFields& f);

}  // namespace tarnwell
