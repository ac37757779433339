#pragma once
// The wine server of a Wine prefix. While it runs it holds the prefix's registry in memory and
// writes it back when it ends, so a change written to the hive files meanwhile would be undone.

#include <QString>
#include <QStringList>

namespace glyphary::platform {

// Where the server of the prefix listens: `<serverBase>/<folder>/server-<dev>-<inode>/socket`, with
// the prefix folder's device and inode in hexadecimal. The folder is the one the prefix's
// "wineserver" file names (Wine 8 and later, e.g. "wine-0tjFBi"), or ".wine-<uid>" before. Empty
// when the prefix cannot be examined.
QStringList wineServerSockets(const QString& prefixHostPath, const QString& serverBase = QStringLiteral("/tmp"));

// True when a server answers on that socket.
bool wineServerRunning(const QString& prefixHostPath, const QString& serverBase = QStringLiteral("/tmp"));

} // namespace glyphary::platform
