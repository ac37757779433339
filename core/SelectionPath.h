#pragma once
// The selected file's path as the "message" panel shows it: the item's file in its long form, and
// shortened to the panel by cutting the folder, never the file name.

#include <QString>
#include <QStringView>
#include <functional>

namespace glyphary {

// GetLongPathName: each component by its name on disk; "" when a component cannot be found.
using LongNameFunction = std::function<QString(const QString& windowsPath)>;
// The width of a text in the panel's own unit (pixels, or characters with characterCount).
using TextWidthFunction = std::function<int(QStringView text)>;

int characterCount(QStringView text);

// The item's first field (up to its first ";") in its long form. A UNC path ("\\server\...") is
// kept as it is; an item without a ";" names no file and gives "".
QString longPathOfItem(const QString& item, const LongNameFunction& longName);

// The whole path when it fits `panelWidth`; otherwise as much of the folder's beginning as fits,
// then "...\", then the file name. The name is never cut, so a name too wide for the panel is
// shown as "...\" and the name. A path without "\" is shown whole.
QString pathForPanel(const QString& path, int panelWidth, const TextWidthFunction& width);

} // namespace glyphary
