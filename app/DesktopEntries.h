// What the desktop knows about applications: the keys of a desktop entry file, and which entry opens
// a MIME type by default, from the texts of the mimeapps.list files and the mimeinfo.cache files.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tarnwell {

struct DesktopEntryInfo {
    std::string name;   // "Name" (unlocalized)
    std::string exec;   // "Exec"
    std::string icon;   // "Icon"
    std::vector<std::string> mimeTypes;
    bool application = false;  // "Type=Application"
    bool hidden = false;       // "NoDisplay" or "Hidden" true
};

// Reads the [Desktop Entry] group of a desktop file's text; any bytes are accepted.
DesktopEntryInfo ParseDesktopEntry(const std::string& text);

// The desktop entry id that opens a file of the first type in `mimeTypes` (the file's type, then its
// ancestors) for which one is found. For each type: the [Default Applications] of the mimeapps.list
// texts (most important first), then their [Added Associations], then the mimeinfo.cache texts, in
// each case skipping entries the lists name under [Removed Associations] and entries `installed`
// denies. Empty when no entry opens any of the types.
std::string DefaultApplicationFor(const std::vector<std::string>& mimeTypes, const std::vector<std::string>& mimeappsLists,
                                  const std::vector<std::string>& mimeCaches,
                                  const std::function<bool(const std::string& desktopId)>& installed);

}  // namespace tarnwell
