#include "app/RecentList.h"

#include "lang/OutlineStore.h"
#include "platform/Profile.h"
#include "project/FileSystem.h"

#include <cstdio>

namespace tarnwell {

namespace {

// Characters of UTF-8 text (continuation bytes do not count).
size_t CharCount(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

// The first `chars` characters of UTF-8 text.
std::string FirstChars(const std::string& s, size_t chars) {
    size_t i = 0, n = 0;
    while (i < s.size()) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && n++ == chars) break;
        ++i;
    }
    return s.substr(0, i);
}

}  // namespace

RecentList::RecentList(int firstId, std::string section, std::string entryFormat, AcceptTest accepts, int capacity,
                       int displayLength)
    : firstId_(firstId),
      section_(std::move(section)),
      entryFormat_(std::move(entryFormat)),
      accepts_(std::move(accepts)),
      displayLength_(displayLength),
      entries_(size_t(capacity > 0 ? capacity : 1)) {}

int RecentList::Size() const {
    int n = 0;
    while (n < Capacity() && !entries_[size_t(n)].empty()) ++n;
    return n;
}

const std::string& RecentList::Entry(int index) const {
    static const std::string none;
    return index >= 0 && index < Capacity() ? entries_[size_t(index)] : none;
}

void RecentList::Add(const std::string& path) {
    if (path.empty()) return;
    int found = Capacity() - 1;  // not found: the last entry falls out
    for (int i = 0; i + 1 < Capacity(); ++i) {
        if (!entries_[size_t(i)].empty() && SameDocumentKey(entries_[size_t(i)], path)) {
            found = i;
            break;
        }
    }
    for (int i = found; i > 0; --i) entries_[size_t(i)] = std::move(entries_[size_t(i - 1)]);
    entries_[0] = path;
}

void RecentList::Remove(int index) {
    if (index < 0 || index >= Capacity()) return;
    for (int i = index; i + 1 < Capacity(); ++i) entries_[size_t(i)] = std::move(entries_[size_t(i + 1)]);
    entries_.back().clear();
}

bool RecentList::Remove(const std::string& path) {
    for (int i = 0; i < Size(); ++i) {
        if (SameDocumentKey(entries_[size_t(i)], path)) {
            Remove(i);
            return true;
        }
    }
    return false;
}

std::string RecentList::ValueName(int number) const {
    char buf[256];
    std::snprintf(buf, sizeof buf, entryFormat_.c_str(), number);
    return buf;
}

void RecentList::Read(const Profile& profile) {
    for (auto& e : entries_) e.clear();
    size_t n = 0;
    for (int i = 0; i < Capacity(); ++i) {
        std::string v = profile.GetString(section_, ValueName(i + 1));
        if (!v.empty()) entries_[n++] = std::move(v);
    }
}

void RecentList::Write(Profile& profile) const {
    profile.DeleteSection(section_);
    for (int i = 0; i < Capacity(); ++i) {
        if (!entries_[size_t(i)].empty()) profile.WriteString(section_, ValueName(i + 1), entries_[size_t(i)]);
    }
}

std::string RecentList::MenuText(int index, const std::string& currentFolder) const {
    const std::string& path = Entry(index);
    const int n = (index + 1) % 16;
    std::string text = n >= 1 && n <= 9 ? "&" + std::to_string(n) + " " : n == 10 ? "1&0 " : std::to_string(n) + " ";
    std::string name;
    if (!currentFolder.empty() && SameDocumentKey(ParentPath(path), currentFolder)) {
        name = FileNameOf(path);
    } else {
        name = AbbreviatePath(path, size_t(displayLength_));
    }
    for (char c : name) {
        if (c == '&') text += '&';
        text += c;
    }
    return text;
}

std::string AbbreviatePath(const std::string& path, size_t maxChars) {
    if (CharCount(path) <= maxChars) return path;
    // The root: "/", "C:\" or "\\server\share\".
    size_t rootEnd = 0;
    while (rootEnd < path.size() && IsPathSeparator(path[rootEnd])) ++rootEnd;
#ifdef _WIN32
    if (rootEnd == 0 && path.size() >= 2 && path[1] == ':') rootEnd = path.size() > 2 && IsPathSeparator(path[2]) ? 3 : 2;
#endif
    const std::string root = path.substr(0, rootEnd);
    size_t nameStart = path.size();
    while (nameStart > rootEnd && !IsPathSeparator(path[nameStart - 1])) --nameStart;
    const std::string name = path.substr(nameStart);
    const char sep = nameStart > 0 ? path[nameStart - 1] : '/';
    // Keep as many trailing folders as fit (the first cut after the root would be the whole path).
    for (size_t cut = rootEnd + 1; cut < nameStart; ++cut) {
        if (!IsPathSeparator(path[cut - 1])) continue;
        const std::string candidate = root + "..." + sep + path.substr(cut);
        if (CharCount(candidate) <= maxChars) return candidate;
    }
    const std::string best = root + "..." + sep + name;
    if (CharCount(best) <= maxChars) return best;
    if (CharCount(name) <= maxChars) return name;
    return FirstChars(name, maxChars > 3 ? maxChars - 3 : 0) + "...";
}

}  // namespace tarnwell
