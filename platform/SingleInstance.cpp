#include "platform/SingleInstance.h"

#include "formats/Cp1252.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

namespace glyphary::platform {
namespace {

// Wire format: a request is one kind byte ('Q' query visibility, 'C' copy data, 'A' activate),
// for 'C' followed by a 32-bit little-endian length and the payload. Every request is answered
// with one byte: '1'/'0' for 'Q', 'K' otherwise.
constexpr int kMaxPayload = 1 << 20;

QString lockFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

bool waitForBytes(QLocalSocket& socket, qint64 count, const QDeadlineTimer& deadline)
{
    while (socket.bytesAvailable() < count) {
        if (deadline.hasExpired() || socket.state() != QLocalSocket::ConnectedState)
            return false;
        if (!socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
            return socket.bytesAvailable() >= count;
    }
    return true;
}

} // namespace

QString scopedInstanceName(const QString& name, const QString& rootHostPath)
{
    const QByteArray scope = QByteArray::number(static_cast<qulonglong>(::getuid())) + '\n'
        + QDir(rootHostPath).absolutePath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(scope, QCryptographicHash::Sha1).toHex().left(16);
    return name + u'-' + QString::fromLatin1(hash);
}

bool NamedMutex::create(const QString& scopedName)
{
    if (lock_)
        return true;
    auto lock = std::make_unique<QLockFile>(lockFolder() + u'/' + scopedName + QStringLiteral(".lock"));
    // Only a live owner counts: QLockFile treats the lock of a vanished process as stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    lock_ = std::move(lock);
    return true;
}

void NamedMutex::release()
{
    if (lock_)
        lock_->unlock();
    lock_.reset();
}

MarkedWindow::MarkedWindow(const QString& scopedName, Handlers handlers, QObject* parent)
    : QObject(parent), handlers_(std::move(handlers))
{
    // Whoever holds the mutex owns the name; a socket left by a crashed instance is in the way.
    QLocalServer::removeServer(scopedName);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(scopedName);
    connect(&server_, &QLocalServer::newConnection, this, &MarkedWindow::serve);
}

// A handler may let events run (a listing does), and the peer's socket can be deleted meanwhile; so
// the handler runs from the event loop, after the socket code is done with the socket.
void MarkedWindow::runLater(std::function<void()> handler)
{
    if (handler)
        QMetaObject::invokeMethod(this, std::move(handler), Qt::QueuedConnection);
}

void MarkedWindow::serve()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            while (socket->bytesAvailable() > 0) {
                char kind = 0;
                if (!socket->peek(&kind, 1))
                    return;
                if (kind == 'Q') {
                    socket->read(1);
                    socket->write(handlers_.isVisible && handlers_.isVisible() ? "1" : "0");
                } else if (kind == 'A') {
                    socket->read(1);
                    socket->write("K");
                    runLater(handlers_.activate);
                } else if (kind == 'C') {
                    if (socket->bytesAvailable() < 5)
                        return;
                    const QByteArray head = socket->peek(5);
                    const quint32 length = static_cast<quint8>(head[1]) | (static_cast<quint8>(head[2]) << 8)
                        | (static_cast<quint8>(head[3]) << 16) | (static_cast<quint32>(static_cast<quint8>(head[4])) << 24);
                    if (length > kMaxPayload) {
                        socket->abort();
                        return;
                    }
                    if (socket->bytesAvailable() < 5 + static_cast<qint64>(length))
                        return;
                    socket->read(5);
                    const QByteArray payload = socket->read(length);
                    socket->write("K");
                    if (handlers_.copyData)
                        runLater([handler = handlers_.copyData, payload] { handler(payload); });
                } else {
                    socket->abort();
                    return;
                }
                socket->flush();
            }
        });
    }
}

std::optional<OtherInstance> OtherInstance::find(const QString& scopedName, std::chrono::milliseconds timeout)
{
    QLocalSocket socket;
    const QDeadlineTimer deadline(timeout);
    socket.connectToServer(scopedName);
    if (!socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
        return std::nullopt;
    socket.write("Q");
    socket.flush();
    // IsWindowVisible needs no answer from the window on Windows; here a first instance busy in its
    // load answers late, so it gets a short while and otherwise counts as not visible yet, which
    // leaves the rest of the time for the hand-over itself.
    const QDeadlineTimer queryDeadline(std::min<qint64>(deadline.remainingTime(), 1000));
    const bool answered = waitForBytes(socket, 1, queryDeadline);
    const bool visible = answered && socket.read(1) == "1";
    socket.disconnectFromServer();
    return OtherInstance(scopedName, visible);
}

bool OtherInstance::request(char kind, const QByteArray& payload, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
        return false;
    QByteArray message(1, kind);
    if (kind == 'C') {
        const auto length = static_cast<quint32>(payload.size());
        for (int shift = 0; shift < 32; shift += 8)
            message.append(static_cast<char>((length >> shift) & 0xFF));
        message.append(payload);
    }
    socket.write(message);
    while (socket.bytesToWrite() > 0) {
        if (deadline.hasExpired() || !socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
            return false;
    }
    const bool answered = waitForBytes(socket, 1, deadline) && socket.read(1) == "K";
    socket.abort();
    return answered;
}

bool OtherInstance::sendCopyData(const QByteArray& payload, std::chrono::milliseconds timeout)
{
    return request('C', payload, timeout);
}

bool OtherInstance::activate(std::chrono::milliseconds timeout)
{
    return request('A', {}, timeout);
}

QByteArray handOverPayload(const QString& commandLine)
{
    if (commandLine.isEmpty())
        return QByteArray(1, '\0');
    return formats::toCp1252Bytes(commandLine);
}

} // namespace glyphary::platform
