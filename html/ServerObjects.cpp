#include "html/ServerObjects.h"

#include "platform/Profile.h"

#include <algorithm>

namespace tarnwell {

namespace {

std::string ValueName(int i) { return "#" + std::to_string(i); }

}  // namespace

std::vector<ServerObject> LoadServerObjects(const Profile& profile) {
    const int count = std::clamp(profile.GetInt(kServerObjectsSection, "Count", 0), 0, kServerObjectStoredLimit);
    std::vector<ServerObject> objects;
    for (int i = 0; i < count; ++i) {
        const std::string value = profile.GetString(kServerObjectsSection, ValueName(i));
        const std::size_t brk = value.find('\n');
        if (brk == std::string::npos) continue;
        ServerObject o{value.substr(0, brk), value.substr(brk + 1)};
        if (o.title.empty() || o.id.empty()) continue;
        objects.push_back(std::move(o));
    }
    return objects;
}

void SaveServerObjects(Profile& profile, const std::vector<ServerObject>& objects) {
    profile.WriteInt(kServerObjectsSection, "Count", int(objects.size()));
    for (std::size_t i = 0; i < objects.size(); ++i) {
        profile.WriteString(kServerObjectsSection, ValueName(int(i)), objects[i].title + "\n" + objects[i].id);
    }
}

std::string ServerObjectMenuText(std::string_view title) {
    std::string out;
    for (char c : title) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}

std::string TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

}  // namespace tarnwell
