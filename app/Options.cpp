#include "app/Options.h"

#include "platform/Profile.h"

#include <charconv>

namespace tarnwell {

namespace {

struct SlotInfo {
    const char* name;
    ColorRef color;
};

constexpr SlotInfo kSlots[ColorSlotCount] = {
    {"HTMLNormal", MakeColorRef(0, 0, 0)},       {"HTMLKeyword", MakeColorRef(0, 0, 255)},
    {"HTMLString", MakeColorRef(128, 0, 128)},   {"HTMLComment", MakeColorRef(128, 128, 128)},
    {"ASPNormal", MakeColorRef(0, 0, 0)},        {"ASPKeyword", MakeColorRef(0, 0, 255)},
    {"ASPString", MakeColorRef(128, 0, 0)},      {"ASPComment", MakeColorRef(128, 128, 128)},
    {"ASPStartEnd", MakeColorRef(255, 255, 0)},  {"SelMargin", MakeColorRef(192, 192, 192)},
};

bool ReadSwitch(const Profile& p, const char* section, const char* name, bool def) {
    return p.GetInt(section, name, def ? 1 : 0) != 0;
}

}  // namespace

EditingSettings EditingSettingsOf(const EditOptions& e) {
    return {e.showSelectionMargin, e.showLineNumber, e.showSelectionAlways, e.autoIndent, e.tabSize, e.tabToSpace};
}

const char* ColorSlotName(int slot) { return slot >= 0 && slot < ColorSlotCount ? kSlots[slot].name : ""; }

ColorRef DefaultSlotColor(int slot) { return slot >= 0 && slot < ColorSlotCount ? kSlots[slot].color : 0; }

std::array<ColorRef, ColorSlotCount> ColorOptions::Defaults() {
    std::array<ColorRef, ColorSlotCount> colors{};
    for (int i = 0; i < ColorSlotCount; ++i) colors[size_t(i)] = kSlots[i].color;
    return colors;
}

HtmlAspPalette PaletteOf(const ColorOptions& options) {
    static_assert(int(ColorSlotCount) == int(HtmlAspColorSlotCount));
    HtmlAspPalette palette;
    palette.syntaxColoring = options.enableSyntaxColoring;
    for (int i = 0; i < ColorSlotCount; ++i) palette.colors[i] = RgbColor::FromColorRef(options.colors[size_t(i)]);
    return palette;
}

int ClampFontSize(int stored) {
    unsigned v = unsigned(stored);
    if (v > unsigned(kMaxFontSize)) return kMaxFontSize;
    if (v < unsigned(kMinFontSize)) return kMinFontSize;
    return int(v);
}

int ClampTabSize(int stored) {
    unsigned v = unsigned(stored);
    if (v == 0) return kMinTabSize;
    if (v > unsigned(kMaxTabSize)) return kMaxTabSize;
    return int(v);
}

std::optional<int> ParseRangedInt(std::string_view text, int low, int high) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return int(value);
}

GeneralOptions ReadGeneralOptions(const Profile& p) {
    GeneralOptions g;
    g.reloadLastProject = ReadSwitch(p, kGeneralSection, "Reload Last Project", true);
    g.rememberOpenFiles = ReadSwitch(p, kGeneralSection, "Remember Open Files", true);
    g.enableInternalPreview = ReadSwitch(p, kGeneralSection, "Enable Internal Preview", true);
    return g;
}

EditOptions ReadEditOptions(const Profile& p) {
    EditOptions e;
    e.fontFace = p.GetString(kEditSection, "Font Face", "FixedSys");
    e.fontSize = ClampFontSize(p.GetInt(kEditSection, "Font Size", 12));
    e.autoListMembers = ReadSwitch(p, kEditSection, "Auto List Members", true);
    e.autoParameterInfo = ReadSwitch(p, kEditSection, "Auto Parameter Info", true);
    e.autoIndent = ReadSwitch(p, kEditSection, "Auto Indent", true);
    e.showSelectionMargin = ReadSwitch(p, kEditSection, "Show Selection Margin", true);
    e.showSelectionAlways = ReadSwitch(p, kEditSection, "Show Selection Always", true);
    e.showLineNumber = ReadSwitch(p, kEditSection, "Show Line Number", false);
    e.tabSize = ClampTabSize(p.GetInt(kEditSection, "Tab Size", 4));
    e.tabToSpace = ReadSwitch(p, kEditSection, "Tab to Space", false);
    e.defaultEncoding = CodePageFromNumber(p.GetInt(kEditSection, "Default Encoding", 1252)).value_or(CodePage::Windows1252);
    return e;
}

ColorOptions ReadColorOptions(const Profile& p) {
    ColorOptions c;
    c.enableSyntaxColoring = ReadSwitch(p, kColorSection, "Enable Syntax Coloring", true);
    for (int i = 0; i < ColorSlotCount; ++i)
        c.colors[size_t(i)] = ColorRef(p.GetInt(kColorSection, kSlots[i].name, int(kSlots[i].color)));
    return c;
}

// A stored column width outside what a screen can show is read as its default.
static int ReadColumnWidth(const Profile& p, const char* name, int fallback) {
    const int w = p.GetInt(kFileTypesSection, name, fallback);
    return w >= 10 && w <= 4000 ? w : fallback;
}

FileTypesOptions ReadFileTypesOptions(const Profile& p) {
    FileTypesOptions f;
    f.openUnlisted = ReadSwitch(p, kFileTypesSection, "Open Unlisted", false);
    f.typeWidth = ReadColumnWidth(p, "Type Width", 100);
    f.editorWidth = ReadColumnWidth(p, "Editor Width", 200);
    return f;
}

bool WriteFileTypesOptions(Profile& p, const FileTypesOptions& f) {
    bool ok = p.WriteInt(kFileTypesSection, "Type Width", f.typeWidth);
    ok &= p.WriteInt(kFileTypesSection, "Editor Width", f.editorWidth);
    ok &= p.WriteInt(kFileTypesSection, "Open Unlisted", f.openUnlisted ? 1 : 0);
    return ok;
}

bool WriteGeneralOptions(Profile& p, const GeneralOptions& g) {
    bool ok = p.WriteInt(kGeneralSection, "Reload Last Project", g.reloadLastProject ? 1 : 0);
    ok &= p.WriteInt(kGeneralSection, "Remember Open Files", g.rememberOpenFiles ? 1 : 0);
    ok &= p.WriteInt(kGeneralSection, "Enable Internal Preview", g.enableInternalPreview ? 1 : 0);
    return ok;
}

bool WriteEditOptions(Profile& p, const EditOptions& e) {
    bool ok = p.WriteString(kEditSection, "Font Face", e.fontFace);
    ok &= p.WriteInt(kEditSection, "Font Size", e.fontSize);
    ok &= p.WriteInt(kEditSection, "Show Selection Margin", e.showSelectionMargin ? 1 : 0);
    ok &= p.WriteInt(kEditSection, "Show Line Number", e.showLineNumber ? 1 : 0);
    ok &= p.WriteInt(kEditSection, "Show Selection Always", e.showSelectionAlways ? 1 : 0);
    ok &= p.WriteInt(kEditSection, "Auto List Members", e.autoListMembers ? 1 : 0);
    ok &= p.WriteInt(kEditSection, "Auto Parameter Info", e.autoParameterInfo ? 1 : 0);
    ok &= p.WriteInt(kEditSection, "Auto Indent", e.autoIndent ? 1 : 0);
    ok &= p.WriteInt(kEditSection, "Tab Size", e.tabSize);
    ok &= p.WriteInt(kEditSection, "Tab to Space", e.tabToSpace ? 1 : 0);
    ok &= p.WriteInt(kEditSection, "Default Encoding", CodePageNumber(e.defaultEncoding));
    return ok;
}

bool WriteColorOptions(Profile& p, const ColorOptions& c) {
    bool ok = p.WriteInt(kColorSection, "Enable Syntax Coloring", c.enableSyntaxColoring ? 1 : 0);
    for (int i = 0; i < ColorSlotCount; ++i) ok &= p.WriteInt(kColorSection, kSlots[i].name, int(c.colors[size_t(i)]));
    return ok;
}

OptionsValues OptionsValues::Read(const Profile& profile) {
    OptionsValues v;
    v.general = ReadGeneralOptions(profile);
    v.internalPreviewAtStart = v.general.enableInternalPreview;
    v.edit = ReadEditOptions(profile);
    v.color = ReadColorOptions(profile);
    v.fileTypes = ReadFileTypesOptions(profile);
    return v;
}

}  // namespace tarnwell
