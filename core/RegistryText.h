#pragma once
// String values of the registry as the program's readers use them: cut at the first zero, with the
// %VARIABLE% references of REG_EXPAND_SZ values (and of icon paths, which Windows stores that
// way) expanded for the emulated Windows.

#include "platform/Win32Types.h"

#include <QString>
#include <optional>

namespace glyphary {

struct AppContext;

class RegistryText {
public:
    explicit RegistryText(AppContext& context) : context_(context) {}

    // The value `valueName` ("" for the default value) of `keyPath` below `root`; nullopt when the
    // key cannot be opened or the value is missing or not a string.
    std::optional<QString> read(platform::HKEY root, const QString& keyPath, const QString& valueName) const;
    bool keyExists(platform::HKEY root, const QString& keyPath) const;
    // read(), with "" for a missing value.
    QString text(platform::HKEY root, const QString& keyPath, const QString& valueName = QString()) const
    {
        return read(root, keyPath, valueName).value_or(QString());
    }

    // %SystemRoot%, %windir% and %SystemDrive% name the Windows folder and its drive; other names are
    // looked up in the user's and the machine's environment keys; unknown ones stay as written.
    QString expand(const QString& text) const;

private:
    std::optional<QString> environmentValue(const QString& name) const;

    AppContext& context_;
};

// The root key a location text names ("HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
// "HKEY_USERS", case ignored); 0 for any other name.
platform::HKEY rootKeyNamed(const QString& name);

// An icon location "file,index": the file without one pair of double quotes around it and the
// index (0 without ","; negative values name a resource id).
struct IconLocation {
    QString file;
    QString index;
};
IconLocation splitIconLocation(const QString& location);

} // namespace glyphary
