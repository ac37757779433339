#include "platform/WineServer.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>

#include <sys/stat.h>
#include <unistd.h>

namespace glyphary::platform {

QStringList wineServerSockets(const QString& prefixHostPath, const QString& serverBase)
{
    struct stat status {};
    if (prefixHostPath.isEmpty() || ::stat(QFile::encodeName(prefixHostPath).constData(), &status) != 0)
        return {};
    const QString server = QStringLiteral("server-%1-%2/socket")
                               .arg(static_cast<qulonglong>(status.st_dev), 0, 16)
                               .arg(static_cast<qulonglong>(status.st_ino), 0, 16);
    QStringList sockets;
    QFile named(prefixHostPath + QStringLiteral("/wineserver"));
    if (named.open(QIODevice::ReadOnly)) {
        const QString folder = QString::fromLocal8Bit(named.read(256)).trimmed();
        // Only a plain folder name below the base is followed.
        if (!folder.isEmpty() && !folder.contains(u'/') && folder != u".." && folder != u".")
            sockets << serverBase + u'/' + folder + u'/' + server;
    }
    sockets << QStringLiteral("%1/.wine-%2/").arg(serverBase).arg(::getuid()) + server;
    return sockets;
}

bool wineServerRunning(const QString& prefixHostPath, const QString& serverBase)
{
    for (const QString& socketPath : wineServerSockets(prefixHostPath, serverBase)) {
        if (!QFileInfo::exists(socketPath))
            continue;
        // A server that ended without cleaning up leaves its socket behind; only a live one accepts.
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        const bool running = socket.waitForConnected(500);
        socket.abort();
        if (running)
            return true;
    }
    return false;
}

} // namespace glyphary::platform
