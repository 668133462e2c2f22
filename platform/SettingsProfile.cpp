#include "platform/SettingsProfile.h"

#include <QByteArray>
#include <QSettings>
#include <QString>

namespace tarnwell {

namespace {

QString KeyOf(const std::string& section, const std::string& name) {
    QString group = QString::fromUtf8(section.data(), qsizetype(section.size()));
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.empty()) return group;
    return group + QLatin1Char('/') + QString::fromUtf8(name.data(), qsizetype(name.size()));
}

}  // namespace

SettingsProfile::SettingsProfile()
    : settings_(std::make_unique<QSettings>(QStringLiteral("Tarnwell"), QStringLiteral("Tarnwell"))) {}

SettingsProfile::SettingsProfile(const std::string& iniPath)
    : settings_(std::make_unique<QSettings>(QString::fromStdString(iniPath), QSettings::IniFormat)) {}

SettingsProfile::~SettingsProfile() { settings_->sync(); }

int SettingsProfile::GetInt(const std::string& section, const std::string& name, int defaultValue) const {
    QVariant v = settings_->value(KeyOf(section, name));
    if (!v.isValid()) return defaultValue;
    bool ok = false;
    int n = v.toInt(&ok);
    return ok ? n : defaultValue;
}

std::string SettingsProfile::GetString(const std::string& section, const std::string& name,
                                       const std::string& defaultValue) const {
    QVariant v = settings_->value(KeyOf(section, name));
    if (!v.isValid()) return defaultValue;
    return v.toString().toStdString();
}

std::optional<std::vector<unsigned char>> SettingsProfile::GetBinary(const std::string& section,
                                                                     const std::string& name) const {
    QVariant v = settings_->value(KeyOf(section, name));
    if (!v.isValid()) return std::nullopt;
    QByteArray b = v.toByteArray();
    return std::vector<unsigned char>(b.begin(), b.end());
}

bool SettingsProfile::WriteInt(const std::string& section, const std::string& name, int value) {
    settings_->setValue(KeyOf(section, name), value);
    return settings_->status() == QSettings::NoError;
}

bool SettingsProfile::WriteString(const std::string& section, const std::string& name, const std::string& value) {
    settings_->setValue(KeyOf(section, name), QString::fromStdString(value));
    return settings_->status() == QSettings::NoError;
}

bool SettingsProfile::WriteBinary(const std::string& section, const std::string& name,
                                  const std::vector<unsigned char>& value) {
    settings_->setValue(KeyOf(section, name),
                        QByteArray(reinterpret_cast<const char*>(value.data()), qsizetype(value.size())));
    return settings_->status() == QSettings::NoError;
}

bool SettingsProfile::DeleteValue(const std::string& section, const std::string& name) {
    QString key = KeyOf(section, name);
    bool existed = settings_->contains(key);
    settings_->remove(key);
    return existed;
}

bool SettingsProfile::DeleteSection(const std::string& section) {
    settings_->remove(KeyOf(section, {}));
    return true;
}

void SettingsProfile::Sync() { settings_->sync(); }

}  // namespace tarnwell
