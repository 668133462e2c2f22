// A recent list: the most recently used paths of one kind (project files, or all other files), kept in
// a settings section, shown as a numbered submenu and chosen by command id.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tarnwell {

class Profile;

class RecentList {
public:
    using AcceptTest = std::function<bool(const std::string& path)>;

    // `entryFormat` names the values with one %d for the 1-based entry number ("File%d").
    RecentList(int firstId, std::string section, std::string entryFormat, AcceptTest accepts, int capacity = 15,
               int displayLength = 30);

    int FirstId() const { return firstId_; }
    int Capacity() const { return int(entries_.size()); }
    bool OwnsId(int id) const { return id >= firstId_ && id < firstId_ + Capacity(); }
    const std::string& Section() const { return section_; }
    bool Accepts(const std::string& path) const { return accepts_ && accepts_(path); }

    // Entries, most recent first (no empty ones between).
    int Size() const;
    const std::string& Entry(int index) const;

    // Puts `path` (absolute) first; a listed path moves up (compared as the platform compares paths),
    // otherwise the last entry falls out when the list is full.
    void Add(const std::string& path);
    void Remove(int index);
    // Removes the entry naming `path`; false when it is not listed.
    bool Remove(const std::string& path);

    // Reads entries 1..capacity from the section (empty values are dropped); writes them back after
    // deleting the section.
    void Read(const Profile& profile);
    void Write(Profile& profile) const;

    // The menu text of an entry: its number prefix ("&1 " .. "&9 ", "1&0 ", then "11 " .. without a
    // mnemonic) and its display name with '&' doubled. The display name is the file name alone when the
    // file lies in `currentFolder`, otherwise the path shortened to the display length.
    std::string MenuText(int index, const std::string& currentFolder) const;

private:
    std::string ValueName(int number) const;

    int firstId_;
    std::string section_;
    std::string entryFormat_;
    AcceptTest accepts_;
    int displayLength_;
    std::vector<std::string> entries_;  // capacity strings; empty after the last entry
};

// The path shortened to at most `maxChars` characters: the root, "...", and as many trailing folders
// as fit before the file name; the file name alone (cut with "...") when even that is too long.
std::string AbbreviatePath(const std::string& path, size_t maxChars);

}  // namespace tarnwell
