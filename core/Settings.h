#pragma once
// The settings layer over the registry: every read gives a text, a 32-bit number or empty (absent
// or any failure, never a message); every write is a CreateSettingsKey + WriteSetting pair on one
// shared current key. All calls set lastStatus, which callers may ignore.

#include "platform/Registry.h"

#include <QString>
#include <variant>

namespace glyphary {

struct SettingDef;

using SettingValue = std::variant<std::monostate, QString, qint32>;

inline bool isEmpty(const SettingValue& value) { return std::holds_alternative<std::monostate>(value); }

class Settings {
public:
    explicit Settings(platform::Registry& registry) : registry_(registry) {}

    SettingValue ReadSetting(platform::HKEY root, const QString& keyPath, const QString& valueName);
    void CreateSettingsKey(platform::HKEY root, const QString& keyPath);
    // Writes into the current key and closes it. Type 1 stores the value's text form with its zero,
    // type 4 the value as a 32-bit number.
    void WriteSetting(const QString& valueName, const SettingValue& value, platform::DWORD type);
    void DeleteSettingsKey(platform::HKEY root, const QString& keyPath);

    platform::LONG lastStatus() const { return lastStatus_; }

    // Reads through the table of settings, with its defaults.
    SettingValue read(const SettingDef& setting);
    bool readBool(const SettingDef& setting);
    qint32 readNumber(const SettingDef& setting);
    QString readText(const SettingDef& setting);
    // Writes in the setting's own type.
    void write(const SettingDef& setting, const SettingValue& value);
    // Reminder flags: a notice is shown while its flag is absent or its absolute value is 0.
    bool noticeWanted(const QString& flagName);

    // Conversions of a present value; nullopt when it has no such reading.
    static std::optional<bool> toBool(const SettingValue& value);
    static std::optional<qint32> toNumber(const SettingValue& value);
    static QString toText(const SettingValue& value);

private:
    platform::Registry& registry_;
    platform::HKEY currentKey_ = 0;
    platform::LONG lastStatus_ = platform::ERROR_SUCCESS;
};

} // namespace glyphary
