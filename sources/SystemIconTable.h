#pragma once
// The built-in table of Windows system icons: per group, the rows "name;default;location" that the
// system icon listing reads and the change window reads back from lstChange. Variant A is Windows
// 98; variant B is 95, NT3 and NT4; other versions have no table.

#include "core/IconSource.h"
#include "core/SystemIconRow.h"

#include <QString>
#include <QStringList>

namespace glyphary::sources {

enum class SystemIconVariant { None, A, B };

SystemIconVariant systemIconVariant(const QString& osCode);

// The rows of one group in the table's order; empty for SystemIconVariant::None.
QStringList systemIconRows(SystemIconGroup group, SystemIconVariant variant);


} // namespace glyphary::sources
