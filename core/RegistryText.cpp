#include "core/RegistryText.h"

#include "core/AppContext.h"
#include "core/FileHelpers.h"
#include "formats/Cp1252.h"
#include "platform/Registry.h"

#include <string>
#include <vector>

namespace glyphary {

using namespace platform;

namespace {

std::string ansi(const QString& text)
{
    return formats::toCp1252(text);
}

const char* const kEnvironmentKeys[] = {
    "Environment",
    "System\\CurrentControlSet\\Control\\Session Manager\\Environment",
};

} // namespace

std::optional<QString> RegistryText::read(HKEY root, const QString& keyPath, const QString& valueName) const
{
    Registry& registry = context_.platform.registry();
    HKEY key = 0;
    if (registry.RegOpenKeyExA(root, ansi(keyPath), 0, KEY_ALL_ACCESS_LOW, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    std::vector<std::uint8_t> data;
    const LONG status = registry.RegQueryValueExA(key, ansi(valueName), &type, &data);
    registry.RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    const QString value = CutAtNul(formats::fromCp1252(std::string_view(reinterpret_cast<const char*>(data.data()), data.size())));
    return type == REG_EXPAND_SZ ? expand(value) : value;
}

bool RegistryText::keyExists(HKEY root, const QString& keyPath) const
{
    Registry& registry = context_.platform.registry();
    HKEY key = 0;
    if (registry.RegOpenKeyExA(root, ansi(keyPath), 0, KEY_ALL_ACCESS_LOW, &key) != ERROR_SUCCESS)
        return false;
    registry.RegCloseKey(key);
    return true;
}

std::optional<QString> RegistryText::environmentValue(const QString& name) const
{
    if (name.compare(u"SystemRoot", Qt::CaseInsensitive) == 0 || name.compare(u"windir", Qt::CaseInsensitive) == 0)
        return context_.WindowsFolder;
    if (name.compare(u"SystemDrive", Qt::CaseInsensitive) == 0)
        return context_.WindowsFolder.left(2);
    Registry& registry = context_.platform.registry();
    const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
    for (std::size_t i = 0; i < std::size(roots); ++i) {
        HKEY key = 0;
        if (registry.RegOpenKeyExA(roots[i], kEnvironmentKeys[i], 0, KEY_ALL_ACCESS_LOW, &key) != ERROR_SUCCESS)
            continue;
        DWORD type = 0;
        std::vector<std::uint8_t> data;
        const LONG status = registry.RegQueryValueExA(key, ansi(name), &type, &data);
        registry.RegCloseKey(key);
        if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ))
            return CutAtNul(formats::fromCp1252(std::string_view(reinterpret_cast<const char*>(data.data()), data.size())));
    }
    return std::nullopt;
}

QString RegistryText::expand(const QString& text) const
{
    // Environment values may name other variables ("%SystemRoot%\system32"); two rounds cover what
    // Windows writes, and a value naming itself cannot loop.
    QString result = text;
    for (int round = 0; round < 2 && result.contains(u'%'); ++round) {
        QString expanded;
        qsizetype at = 0;
        while (at < result.size()) {
            const qsizetype open = result.indexOf(u'%', at);
            const qsizetype close = open < 0 ? -1 : result.indexOf(u'%', open + 1);
            if (close < 0) {
                expanded += QStringView(result).mid(at);
                break;
            }
            expanded += QStringView(result).mid(at, open - at);
            const QString name = result.mid(open + 1, close - open - 1);
            const std::optional<QString> value = name.isEmpty() ? std::nullopt : environmentValue(name);
            if (value) {
                expanded += *value;
                at = close + 1;
            } else {
                // An unknown name stays, and its closing % may open the next one.
                expanded += QStringView(result).mid(open, close - open);
                at = close;
            }
        }
        result = expanded;
    }
    return result;
}

HKEY rootKeyNamed(const QString& name)
{
    static constexpr struct {
        const char* name;
        HKEY key;
    } kRoots[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", HKEY_USERS},
    };
    for (const auto& root : kRoots) {
        if (name.compare(QLatin1String(root.name), Qt::CaseInsensitive) == 0)
            return root.key;
    }
    return 0;
}

IconLocation splitIconLocation(const QString& location)
{
    // A quoted file may hold commas of its own, so its comma is the one after the closing quote.
    const qsizetype closingQuote = location.startsWith(u'"') ? location.indexOf(u'"', 1) : -1;
    const qsizetype comma = location.indexOf(u',', closingQuote < 0 ? 0 : closingQuote);
    IconLocation split;
    split.file = comma < 0 ? location : location.left(comma);
    split.index = comma < 0 ? QString() : location.mid(comma + 1).trimmed();
    if (split.file.size() >= 2 && split.file.startsWith(u'"') && split.file.endsWith(u'"'))
        split.file = split.file.mid(1, split.file.size() - 2);
    if (split.index.isEmpty())
        split.index = QStringLiteral("0");
    return split;
}

} // namespace glyphary
