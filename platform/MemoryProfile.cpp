#include "platform/MemoryProfile.h"

namespace tarnwell {

namespace {
std::string Key(const std::string& section, const std::string& name) { return section + '\n' + name; }
}  // namespace

int MemoryProfile::GetInt(const std::string& section, const std::string& name, int defaultValue) const {
    auto it = values_.find(Key(section, name));
    if (it == values_.end()) return defaultValue;
    if (auto* v = std::get_if<int>(&it->second)) return *v;
    return defaultValue;
}

std::string MemoryProfile::GetString(const std::string& section, const std::string& name,
                                     const std::string& defaultValue) const {
    auto it = values_.find(Key(section, name));
    if (it == values_.end()) return defaultValue;
    if (auto* v = std::get_if<std::string>(&it->second)) return *v;
    if (auto* v = std::get_if<int>(&it->second)) return std::to_string(*v);
    return defaultValue;
}

std::optional<std::vector<unsigned char>> MemoryProfile::GetBinary(const std::string& section,
                                                                   const std::string& name) const {
    auto it = values_.find(Key(section, name));
    if (it == values_.end()) return std::nullopt;
    if (auto* v = std::get_if<std::vector<unsigned char>>(&it->second)) return *v;
    return std::nullopt;
}

bool MemoryProfile::WriteInt(const std::string& section, const std::string& name, int value) {
    values_[Key(section, name)] = value;
    return true;
}

bool MemoryProfile::WriteString(const std::string& section, const std::string& name, const std::string& value) {
    values_[Key(section, name)] = value;
    return true;
}

bool MemoryProfile::WriteBinary(const std::string& section, const std::string& name,
                                const std::vector<unsigned char>& value) {
    values_[Key(section, name)] = value;
    return true;
}

bool MemoryProfile::DeleteValue(const std::string& section, const std::string& name) {
    return values_.erase(Key(section, name)) > 0;
}

bool MemoryProfile::DeleteSection(const std::string& section) {
    // The section itself and every subsection ("A" removes "A\B" too).
    for (auto it = values_.begin(); it != values_.end();) {
        const std::string& k = it->first;
        size_t nl = k.find('\n');
        std::string sec = k.substr(0, nl);
        bool inside = sec == section || (sec.size() > section.size() && sec.compare(0, section.size(), section) == 0 &&
                                         sec[section.size()] == '\\');
        it = inside ? values_.erase(it) : std::next(it);
    }
    return true;
}

bool MemoryProfile::Has(const std::string& section, const std::string& name) const {
    return values_.count(Key(section, name)) > 0;
}

}  // namespace tarnwell
