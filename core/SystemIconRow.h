#pragma once
// One row of the system icon table as lstChange holds it: "name;default;location", the location
// "HIVE\key path" with ",value name" when it names a value rather than the key's default.

#include <QString>

namespace glyphary {

// The three fields of a row, and the location split as the listing splits it.
struct SystemIconRow {
    QString name;
    QString defaultIcon;
    QString rootName;
    QString keyPath;
    QString valueName;
};
SystemIconRow splitSystemIconRow(const QString& row);

} // namespace glyphary
