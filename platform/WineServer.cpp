#include "platform/WineServer.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>

#include <sys/stat.h>
#include <unistd.h>

namespace glyphary::platform {

QString wineServerSocket(const QString& prefixHostPath, const QString& serverBase)
{
    struct stat status {};
    if (prefixHostPath.isEmpty() || ::stat(QFile::encodeName(prefixHostPath).constData(), &status) != 0)
        return {};
    return QStringLiteral("%1/.wine-%2/server-%3-%4/socket")
        .arg(serverBase)
        .arg(::getuid())
        .arg(static_cast<qulonglong>(status.st_dev), 0, 16)
        .arg(static_cast<qulonglong>(status.st_ino), 0, 16);
}

bool wineServerRunning(const QString& prefixHostPath, const QString& serverBase)
{
    const QString socketPath = wineServerSocket(prefixHostPath, serverBase);
    if (socketPath.isEmpty() || !QFileInfo::exists(socketPath))
        return false;
    // A server that ended without cleaning up leaves its socket behind; only a live one accepts.
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    const bool running = socket.waitForConnected(500);
    socket.abort();
    return running;
}

} // namespace glyphary::platform
