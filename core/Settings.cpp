#include "core/Settings.h"

#include "core/SettingsTable.h"
#include "formats/Cp1252.h"

#include <array>
#include <cstdlib>

namespace glyphary {

using namespace platform;

namespace {

std::string ansi(const QString& text) { return formats::toCp1252(text); }

} // namespace

SettingValue Settings::ReadSetting(HKEY root, const QString& keyPath, const QString& valueName)
{
    HKEY key = 0;
    lastStatus_ = registry_.RegOpenKeyExA(root, ansi(keyPath), 0, KEY_ALL_ACCESS_LOW, &key);
    if (lastStatus_ != ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    std::vector<std::uint8_t> data;
    lastStatus_ = registry_.RegQueryValueExA(key, ansi(valueName), &type, &data);
    registry_.RegCloseKey(key);
    if (lastStatus_ != ERROR_SUCCESS)
        return {};
    if (type == REG_SZ) {
        std::string text(data.begin(), data.end());
        if (const auto nul = text.find('\0'); nul != std::string::npos)
            text.resize(nul);
        return formats::fromCp1252(text);
    }
    if (type == REG_DWORD && data.size() >= 4) {
        const auto value = static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8)
            | (static_cast<std::uint32_t>(data[2]) << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
        return static_cast<qint32>(value);
    }
    return {};
}

void Settings::CreateSettingsKey(HKEY root, const QString& keyPath)
{
    if (currentKey_ != 0)
        registry_.RegCloseKey(currentKey_);
    currentKey_ = 0;
    DWORD disposition = 0;
    lastStatus_ = registry_.RegCreateKeyExA(root, ansi(keyPath), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS_LOW,
                                            &currentKey_, &disposition);
    if (lastStatus_ != ERROR_SUCCESS)
        currentKey_ = 0;
}

void Settings::WriteSetting(const QString& valueName, const SettingValue& value, DWORD type)
{
    if (currentKey_ == 0) {
        lastStatus_ = ERROR_INVALID_HANDLE;
        return;
    }
    std::vector<std::uint8_t> data;
    if (type == REG_DWORD)
        data = regDword(static_cast<std::uint32_t>(toNumber(value).value_or(0)));
    else
        data = regString(ansi(toText(value)));
    lastStatus_ = registry_.RegSetValueExA(currentKey_, ansi(valueName), type, data);
    registry_.RegCloseKey(currentKey_);
    currentKey_ = 0;
}

void Settings::DeleteSettingsKey(HKEY root, const QString& keyPath)
{
    lastStatus_ = registry_.RegDeleteKeyA(root, ansi(keyPath));
}

std::optional<bool> Settings::toBool(const SettingValue& value)
{
    if (const auto* number = std::get_if<qint32>(&value))
        return *number != 0;
    if (const auto* text = std::get_if<QString>(&value)) {
        const QString trimmed = text->trimmed();
        if (trimmed.compare(u"True", Qt::CaseInsensitive) == 0)
            return true;
        if (trimmed.compare(u"False", Qt::CaseInsensitive) == 0)
            return false;
        if (const auto number = toNumber(value))
            return *number != 0;
    }
    return std::nullopt;
}

std::optional<qint32> Settings::toNumber(const SettingValue& value)
{
    if (const auto* number = std::get_if<qint32>(&value))
        return *number;
    if (const auto* text = std::get_if<QString>(&value)) {
        bool ok = false;
        const double number = text->trimmed().toDouble(&ok);
        if (ok && number >= -2147483648.0 && number <= 2147483647.0)
            return static_cast<qint32>(number);
        const QString trimmed = text->trimmed();
        // VB's conversions accept its own boolean texts as numbers.
        if (trimmed.compare(u"True", Qt::CaseInsensitive) == 0)
            return -1;
        if (trimmed.compare(u"False", Qt::CaseInsensitive) == 0)
            return 0;
    }
    return std::nullopt;
}

QString Settings::toText(const SettingValue& value)
{
    if (const auto* number = std::get_if<qint32>(&value))
        return QString::number(*number);
    if (const auto* text = std::get_if<QString>(&value))
        return *text;
    return {};
}

SettingValue Settings::read(const SettingDef& setting)
{
    SettingValue value = ReadSetting(HKEY_CURRENT_USER, QString::fromLatin1(setting.key), QString::fromLatin1(setting.name));
    if (isEmpty(value))
        return setting.defaultValue();
    return value;
}

bool Settings::readBool(const SettingDef& setting)
{
    if (const auto value = toBool(read(setting)))
        return *value;
    return toBool(setting.defaultValue()).value_or(false);
}

qint32 Settings::readNumber(const SettingDef& setting)
{
    if (const auto value = toNumber(read(setting)))
        return *value;
    return toNumber(setting.defaultValue()).value_or(0);
}

QString Settings::readText(const SettingDef& setting)
{
    return toText(read(setting));
}

void Settings::write(const SettingDef& setting, const SettingValue& value)
{
    CreateSettingsKey(HKEY_CURRENT_USER, QString::fromLatin1(setting.key));
    switch (setting.kind) {
    case SettingKind::Number:
    case SettingKind::Flag:
        WriteSetting(QString::fromLatin1(setting.name), value, REG_DWORD);
        break;
    case SettingKind::Boolean: {
        const bool on = toBool(value).value_or(false);
        WriteSetting(QString::fromLatin1(setting.name), on ? QStringLiteral("True") : QStringLiteral("False"), REG_SZ);
        break;
    }
    case SettingKind::Text:
        WriteSetting(QString::fromLatin1(setting.name), value, REG_SZ);
        break;
    }
}

bool Settings::noticeWanted(const QString& flagName)
{
    const SettingValue value = ReadSetting(HKEY_CURRENT_USER, QString::fromLatin1(kSettingsKey), flagName);
    if (isEmpty(value))
        return true;
    const auto number = toNumber(value);
    return !number || std::abs(static_cast<qint64>(*number)) == 0;
}

SettingValue SettingDef::defaultValue() const
{
    switch (defaultKind) {
    case DefaultKind::Text:
        return QString::fromLatin1(defaultText);
    case DefaultKind::Number:
        return defaultNumber;
    case DefaultKind::Boolean:
        return defaultNumber != 0 ? QStringLiteral("True") : QStringLiteral("False");
    case DefaultKind::None:
    case DefaultKind::Caller:
        break;
    }
    return {};
}

std::span<const SettingDef* const> allSettings()
{
    using namespace setting;
    static constexpr std::array<const SettingDef*, 77> kAll = {
        &Path, &Tip, &TipNR, &IconsPerPage, &ViewType, &TextLabel, &Statusbar, &Toolbar, &YourToolbar,
        &Keywordbar, &YourPos, &KeywordPos, &StandardToolbarWidth, &YourToolbarWidth, &Colwidth1, &Colwidth2,
        &Colwidth3, &BackColor, &HotTracking, &UseMask, &MaskColor, &FavDir, &SearchFav, &DCAction, &DCZoom,
        &DCPlay, &DCRef, &DCRun, &DCChange, &ExtEditFile, &ExtEditFolder, &AsoICO, &AsoCUR, &AsoANI, &AsoDLL,
        &AsoICL, &ScanDirectory, &ScanAll, &ScanICO, &ScanCUR, &ScanANI, &ScanEXE, &ScanDLL, &ScanICL,
        &ScanSubDir, &ImportDirectory, &SysCache, &ShortcutCache, &FolderCache, &SysCursorRestart,
        &SysFileTypeRestart, &NoCursorChange, &OrganizeFav, &ExtEditMessage, &GlypharyLight, &MainTop,
        &MainLeft, &MainWidth, &MainHeight, &MainState, &Splitter, &KeyTop, &KeyLeft, &AddTop, &AddLeft,
        &AniTop, &AniLeft, &ZoomTop, &ZoomLeft, &ImportTop, &ImportLeft, &ChangeTop, &ChangeLeft,
        &MessageTop, &MessageLeft, &ScanTop, &ScanLeft,
    };
    return kAll;
}

} // namespace glyphary
