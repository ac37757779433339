#pragma once
// The wine server of a Wine prefix. While it runs it holds the prefix's registry in memory and
// writes it back when it ends, so a change written to the hive files meanwhile would be undone.

#include <QString>

namespace glyphary::platform {

// The socket the server of the prefix listens on: `<serverBase>/.wine-<uid>/server-<dev>-<inode>/socket`,
// with the prefix folder's device and inode in hexadecimal; "" when the prefix cannot be examined.
QString wineServerSocket(const QString& prefixHostPath, const QString& serverBase = QStringLiteral("/tmp"));

// True when a server answers on that socket.
bool wineServerRunning(const QString& prefixHostPath, const QString& serverBase = QStringLiteral("/tmp"));

} // namespace glyphary::platform
