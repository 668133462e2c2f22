// The user's list of server objects (a title and a ProgID or class GUID each) as the settings keep
// it, and the titles of the "Insert Server Object ID" submenu.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

class Profile;

struct ServerObject {
    std::string title;
    std::string id;
    bool operator==(const ServerObject&) const = default;
};

inline constexpr const char* kServerObjectsSection = "Server Objects";
inline constexpr int kServerObjectMenuLimit = 100;     // submenu items 50100 ... 50199
inline constexpr int kServerObjectStoredLimit = 10000; // "Count" is read within 0 ... this

// Reads "Count" and "#0", "#1", ... (each "title\nid"). A value without a line break, or with an
// empty title or identifier, is skipped.
std::vector<ServerObject> LoadServerObjects(const Profile& profile);
// Writes "Count" and one "#i" per entry; values past the new count are left alone.
void SaveServerObjects(Profile& profile, const std::vector<ServerObject>& objects);

// A title as a menu shows it: "&" doubled so that it is not taken for a mnemonic.
std::string ServerObjectMenuText(std::string_view title);

// `text` without blanks (spaces and tabs) at both ends.
std::string TrimBlanks(std::string_view text);

}  // namespace tarnwell
