// An in-memory settings profile, for tests and for tools that have no settings file.
#pragma once

#include "platform/Profile.h"

#include <variant>

namespace tarnwell {

class MemoryProfile : public Profile {
public:
    using Value = std::variant<int, std::string, std::vector<unsigned char>>;

    int GetInt(const std::string& section, const std::string& name, int defaultValue) const override;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& defaultValue = {}) const override;
    std::optional<std::vector<unsigned char>> GetBinary(const std::string& section,
                                                        const std::string& name) const override;

    bool WriteInt(const std::string& section, const std::string& name, int value) override;
    bool WriteString(const std::string& section, const std::string& name, const std::string& value) override;
    bool WriteBinary(const std::string& section, const std::string& name,
                     const std::vector<unsigned char>& value) override;

    bool DeleteValue(const std::string& section, const std::string& name) override;
    bool DeleteSection(const std::string& section) override;

    bool Has(const std::string& section, const std::string& name) const;
    size_t ValueCount() const { return values_.size(); }

private:
    // Key: section + '\n' + name.
    std::map<std::string, Value> values_;
};

}  // namespace tarnwell
