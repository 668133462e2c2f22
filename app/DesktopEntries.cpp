#include "app/DesktopEntries.h"

#include <algorithm>
#include <map>
#include <set>

namespace tarnwell {

namespace {

std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> SplitList(const std::string& value) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find(';', start);
        if (end == std::string::npos) end = value.size();
        if (std::string item = Trim(value.substr(start, end - start)); !item.empty()) out.push_back(item);
        start = end + 1;
    }
    return out;
}

// group -> key -> value, keys as written; a later duplicate key keeps the first value.
using Groups = std::map<std::string, std::map<std::string, std::string>>;

Groups ParseKeyFile(const std::string& text) {
    Groups groups;
    std::string group;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            group = line.back() == ']' ? line.substr(1, line.size() - 2) : std::string();
            continue;
        }
        const size_t eq = line.find('=');
        if (group.empty() || eq == std::string::npos) continue;
        groups[group].emplace(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
    return groups;
}

std::string Get(const Groups& g, const std::string& group, const std::string& key) {
    const auto gi = g.find(group);
    if (gi == g.end()) return {};
    const auto ki = gi->second.find(key);
    return ki == gi->second.end() ? std::string() : ki->second;
}

}  // namespace

DesktopEntryInfo ParseDesktopEntry(const std::string& text) {
    const Groups g = ParseKeyFile(text);
    const std::string group = "Desktop Entry";
    DesktopEntryInfo info;
    info.name = Get(g, group, "Name");
    info.exec = Get(g, group, "Exec");
    info.icon = Get(g, group, "Icon");
    info.mimeTypes = SplitList(Get(g, group, "MimeType"));
    info.application = Get(g, group, "Type") == "Application";
    info.hidden = Get(g, group, "NoDisplay") == "true" || Get(g, group, "Hidden") == "true";
    return info;
}

std::string DefaultApplicationFor(const std::vector<std::string>& mimeTypes, const std::vector<std::string>& mimeappsLists,
                                  const std::vector<std::string>& mimeCaches,
                                  const std::function<bool(const std::string& desktopId)>& installed) {
    std::vector<Groups> lists, caches;
    for (const std::string& t : mimeappsLists) lists.push_back(ParseKeyFile(t));
    for (const std::string& t : mimeCaches) caches.push_back(ParseKeyFile(t));
    for (const std::string& type : mimeTypes) {
        std::set<std::string> removed;
        for (const Groups& l : lists)
            for (const std::string& id : SplitList(Get(l, "Removed Associations", type))) removed.insert(id);
        auto usable = [&](const std::string& id) { return !removed.count(id) && (!installed || installed(id)); };
        for (const char* group : {"Default Applications", "Added Associations"})
            for (const Groups& l : lists)
                for (const std::string& id : SplitList(Get(l, group, type)))
                    if (usable(id)) return id;
        for (const Groups& c : caches)
            for (const std::string& id : SplitList(Get(c, "MIME Cache", type)))
                if (usable(id)) return id;
    }
    return {};
}

}  // namespace tarnwell
