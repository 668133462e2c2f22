// The settings store the engine reads and writes: sections of named int, string and binary values.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarnwell {

// A section name uses '\' between levels ("Options\Edit"); value names are compared as given.
// Missing values read as the caller's default. Writes report success.
class Profile {
public:
    virtual ~Profile() = default;

    virtual int GetInt(const std::string& section, const std::string& name, int defaultValue) const = 0;
    virtual std::string GetString(const std::string& section, const std::string& name,
                                  const std::string& defaultValue = {}) const = 0;
    // Empty optional when the value does not exist.
    virtual std::optional<std::vector<unsigned char>> GetBinary(const std::string& section,
                                                                const std::string& name) const = 0;

    virtual bool WriteInt(const std::string& section, const std::string& name, int value) = 0;
    virtual bool WriteString(const std::string& section, const std::string& name, const std::string& value) = 0;
    virtual bool WriteBinary(const std::string& section, const std::string& name,
                             const std::vector<unsigned char>& value) = 0;

    virtual bool DeleteValue(const std::string& section, const std::string& name) = 0;
    // Removes the section with all its values and subsections.
    virtual bool DeleteSection(const std::string& section) = 0;
};

}  // namespace tarnwell
