// The application's settings profile over QSettings; "A\B" sections become the group "A/B".
#pragma once

#include "platform/Profile.h"

#include <memory>

class QSettings;

namespace tarnwell {

class SettingsProfile : public Profile {
public:
    // Uses QSettings("Tarnwell", "Tarnwell") in the native format.
    SettingsProfile();
    // Uses an INI file at the given path (tests, portable set-ups).
    explicit SettingsProfile(const std::string& iniPath);
    ~SettingsProfile() override;

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

    void Sync();
    QSettings& Settings() { return *settings_; }

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace tarnwell
