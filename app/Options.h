// The option values of the Options sheet: defaults, the range rules applied when reading them, and
// reading and writing them through a settings profile. Plain values; the sheet shows and edits them.
#pragma once

#include "html/ColorText.h"
#include "lang/HtmlAspColors.h"
#include "text/CodePage.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwell {

class Profile;

inline constexpr const char* kGeneralSection = "Options\\General";
inline constexpr const char* kEditSection = "Options\\Edit";
inline constexpr const char* kColorSection = "Options\\Color";
inline constexpr const char* kFileTypesSection = "Options\\File Types";

struct GeneralOptions {
    bool reloadLastProject = true;
    bool rememberOpenFiles = true;
    bool enableInternalPreview = true;
    bool operator==(const GeneralOptions&) const = default;
};

inline constexpr int kMinFontSize = 8;
inline constexpr int kMaxFontSize = 72;
inline constexpr int kMinTabSize = 1;
inline constexpr int kMaxTabSize = 64;

struct EditOptions {
    std::string fontFace = "FixedSys";
    int fontSize = 12;
    bool autoListMembers = true;
    bool autoParameterInfo = true;
    bool autoIndent = true;
    bool showSelectionMargin = true;
    bool showSelectionAlways = true;
    bool showLineNumber = false;
    int tabSize = 4;
    bool tabToSpace = false;
    // "Default Encoding" (a Windows code page number): what a page that decides nothing is read in.
    CodePage defaultEncoding = CodePage::Windows1252;
    bool operator==(const EditOptions&) const = default;
};

// The File Types page's own values (the association table itself is kept and saved apart).
struct FileTypesOptions {
    bool openUnlisted = false;  // a type without a row opens in the editor (else with the desktop)
    int typeWidth = 100;        // the list's column widths in pixels
    int editorWidth = 200;
    bool operator==(const FileTypesOptions&) const = default;
};

// The six values every text view and edit command reads at the moment it needs them.
struct EditingSettings {
    bool showSelectionMargin = true;
    bool showLineNumbers = false;
    bool showSelectionAlways = true;
    bool autoIndent = true;
    int tabSize = 4;
    bool tabToSpace = false;
    bool operator==(const EditingSettings&) const = default;
};
EditingSettings EditingSettingsOf(const EditOptions& edit);

// The colors of the Color page, in the order of its registry values.
enum ColorSlot : int {
    SlotHtmlNormal,
    SlotHtmlKeyword,
    SlotHtmlString,
    SlotHtmlComment,
    SlotAspNormal,
    SlotAspKeyword,
    SlotAspString,
    SlotAspComment,
    SlotAspStartEnd,
    SlotSelMargin,
    ColorSlotCount
};

const char* ColorSlotName(int slot);     // "HTMLNormal", ...
ColorRef DefaultSlotColor(int slot);

struct ColorOptions {
    bool enableSyntaxColoring = true;
    std::array<ColorRef, ColorSlotCount> colors = Defaults();
    static std::array<ColorRef, ColorSlotCount> Defaults();
    bool operator==(const ColorOptions&) const = default;
};

// The colors as the editor views draw them.
HtmlAspPalette PaletteOf(const ColorOptions& options);

// Stored sizes are read as unsigned numbers, so a negative value counts as too large.
int ClampFontSize(int stored);
int ClampTabSize(int stored);

// The integer typed into a ranged field, or nothing when it is not an integer from `low` to `high`.
std::optional<int> ParseRangedInt(std::string_view text, int low, int high);

GeneralOptions ReadGeneralOptions(const Profile& profile);
EditOptions ReadEditOptions(const Profile& profile);
ColorOptions ReadColorOptions(const Profile& profile);
FileTypesOptions ReadFileTypesOptions(const Profile& profile);
// Each writes every value of its page; false when the profile refused one.
bool WriteGeneralOptions(Profile& profile, const GeneralOptions& options);
bool WriteEditOptions(Profile& profile, const EditOptions& options);
bool WriteColorOptions(Profile& profile, const ColorOptions& options);
bool WriteFileTypesOptions(Profile& profile, const FileTypesOptions& options);

// Everything the Options sheet keeps for the run.
struct OptionsValues {
    GeneralOptions general;
    // "Enable Internal Preview" as read at creation: child frames follow this one, so a change made in
    // the sheet takes effect at the next start.
    bool internalPreviewAtStart = true;
    EditOptions edit;
    ColorOptions color;
    FileTypesOptions fileTypes;

    static OptionsValues Read(const Profile& profile);
};

}  // namespace tarnwell
