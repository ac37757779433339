#pragma once
// What a file holds by its first bytes, for paths whose extension names nothing the reader knows
// (.cpl, .scr, .ocx, .drv and other programs): the command-line tool lists them by content.

#include <QString>
#include <QStringView>

namespace glyphary {

namespace platform {
class WindowsPaths;
}

// The extension the reader knows such content by: "dll" or "exe" for a PE or NE program (by its
// library flag), "ico", "cur" or "ani"; empty for anything else or a file that cannot be read.
QString contentExtension(const platform::WindowsPaths& paths, const QString& windowsPath);

// The extension of the path, lower-cased, when it is one of the reader's; otherwise what the
// content says; empty when neither names anything.
QString readableAs(const platform::WindowsPaths& paths, const QString& windowsPath);

} // namespace glyphary
