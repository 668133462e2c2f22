// Colors of the HTML/ASP editor view: which color each ColorClass is drawn in, as plain RGB data.
//
// The view fills an HtmlAspPalette from the "Options\Color" values (the defaults below when a value is
// missing) and asks, per color class:
//     tarnwell::ClassColor cc = tarnwell::ColorForIndex(colorClass, palette);
//     QColor color = cc.source == ClassColor::Window    ? palette().base().color()
//                  : cc.source == ClassColor::Highlight ? palette().highlight().color()
//                  : QColor(cc.rgb.red, cc.rgb.green, cc.rgb.blue);
// Classes 10 and 12 are drawn on the color of class 11 and 13 ("ASPStartEnd").
#pragma once

#include <cstdint>

namespace tarnwell {

struct RgbColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    constexpr bool operator==(const RgbColor&) const = default;
    // The stored form: red in the low byte, then green, then blue, high byte 0.
    constexpr std::uint32_t ToColorRef() const { return red | (green << 8) | (std::uint32_t(blue) << 16); }
    static constexpr RgbColor FromColorRef(std::uint32_t v) {
        return {std::uint8_t(v & 0xFF), std::uint8_t((v >> 8) & 0xFF), std::uint8_t((v >> 16) & 0xFF)};
    }
};

inline constexpr const char* kColorOptionsSection = "Options\\Color";
inline constexpr const char* kEnableSyntaxColoringValue = "Enable Syntax Coloring";

// The color values of "Options\Color", in the order the options page stores them.
enum HtmlAspColorSlot : int {
    ColorHtmlNormal,
    ColorHtmlKeyword,
    ColorHtmlString,
    ColorHtmlComment,
    ColorAspNormal,
    ColorAspKeyword,
    ColorAspString,
    ColorAspComment,
    ColorAspStartEnd,
    ColorSelMargin,
    HtmlAspColorSlotCount
};

struct HtmlAspColorSetting {
    const char* name;      // the registry value name
    RgbColor defaultColor;
};

inline constexpr HtmlAspColorSetting kHtmlAspColorSettings[HtmlAspColorSlotCount] = {
    {"HTMLNormal", {0, 0, 0}},
    {"HTMLKeyword", {0, 0, 255}},
    {"HTMLString", {128, 0, 128}},
    {"HTMLComment", {128, 128, 128}},
    {"ASPNormal", {0, 0, 0}},
    {"ASPKeyword", {0, 0, 255}},
    {"ASPString", {128, 0, 0}},
    {"ASPComment", {128, 128, 128}},
    {"ASPStartEnd", {255, 255, 0}},
    {"SelMargin", {192, 192, 192}},
};

// The current color options; a default-constructed palette holds the defaults.
struct HtmlAspPalette {
    bool syntaxColoring = true;  // "Enable Syntax Coloring"
    RgbColor colors[HtmlAspColorSlotCount] = {
        kHtmlAspColorSettings[0].defaultColor, kHtmlAspColorSettings[1].defaultColor,
        kHtmlAspColorSettings[2].defaultColor, kHtmlAspColorSettings[3].defaultColor,
        kHtmlAspColorSettings[4].defaultColor, kHtmlAspColorSettings[5].defaultColor,
        kHtmlAspColorSettings[6].defaultColor, kHtmlAspColorSettings[7].defaultColor,
        kHtmlAspColorSettings[8].defaultColor, kHtmlAspColorSettings[9].defaultColor,
    };
};

// A class's color: a system color the view supplies, or a fixed RGB value.
struct ClassColor {
    enum Source { Fixed, Window, Highlight };
    Source source = Fixed;
    RgbColor rgb;
    constexpr bool operator==(const ClassColor&) const = default;
};

// The view's color table: classes 0 and 1 the window color, 4 the highlight color, 5 white, the named
// options for the parser's classes, black for 6 and for any number outside 0..17.
constexpr ClassColor ColorForIndex(int colorClass, const HtmlAspPalette& p) {
    auto fixed = [](RgbColor c) { return ClassColor{ClassColor::Fixed, c}; };
    switch (colorClass) {
    case 0:
    case 1: return ClassColor{ClassColor::Window, {}};
    case 2: return fixed(p.syntaxColoring ? p.colors[ColorHtmlNormal] : RgbColor{0, 0, 0});
    case 3: return fixed(p.colors[ColorSelMargin]);
    case 4: return ClassColor{ClassColor::Highlight, {}};
    case 5: return fixed({255, 255, 255});
    case 7: return fixed(p.colors[ColorHtmlKeyword]);
    case 8: return fixed(p.colors[ColorHtmlString]);
    case 9: return fixed(p.colors[ColorHtmlComment]);
    case 10:
    case 12:
    case 14: return fixed(p.colors[ColorAspNormal]);
    case 11:
    case 13: return fixed(p.colors[ColorAspStartEnd]);
    case 15: return fixed(p.colors[ColorAspKeyword]);
    case 16: return fixed(p.colors[ColorAspString]);
    case 17: return fixed(p.colors[ColorAspComment]);
    default: return fixed({0, 0, 0});
    }
}

}  // namespace tarnwell
