// The program's string table: user-visible texts looked up by their numbered string id.
#pragma once

#include <string>

namespace tarnwell {

// String ids of the texts that callers load by number (messages with a check box and their
// check-box texts). Other texts are written where they are used.
namespace strid {
inline constexpr unsigned kWarnLoadVbKeywords = 63014;   // "Failed to load "vbscript.txt"..."
inline constexpr unsigned kWarnLoadHtmlKeywords = 63015; // "Failed to load "html.txt"..."
inline constexpr unsigned kAskWebPath = 63202;           // project sheet left with a blank web path
inline constexpr unsigned kDontShowAgain = 63205;        // "Dont show this message again"
inline constexpr unsigned kDontAskAgain = 63209;         // "Don't ask me again"
inline constexpr unsigned kConfirmDeleteFiles = 63210;
inline constexpr unsigned kWarnAbsolutePath = 63212;
inline constexpr unsigned kWarnPreviewAspNoWebPath = 63213;
inline constexpr unsigned kAppName = 59500;              // "Tarnwell", the default caption
}  // namespace strid

// The text of a string id (UTF-8), or an empty string when the table has no such id.
const std::string& LoadString(unsigned id);

}  // namespace tarnwell
