#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

namespace glyphary::platform {
namespace {

FileWriteResult failed(const QFileDevice& file)
{
    FileWriteResult result;
    result.accessDenied = file.error() == QFileDevice::PermissionsError;
    result.errorString = file.errorString();
    return result;
}

// Writes the staged file in full, then lets `beforeCommit` run (a failure there cancels the write)
// and only then renames the staged file over the target.
template <typename BeforeCommit>
FileWriteResult writeStaged(const QString& hostPath, formats::Bytes bytes, FileSync sync, BeforeCommit&& beforeCommit)
{
    QSaveFile file(hostPath);
    const auto size = static_cast<qint64>(bytes.size());
    if (!file.open(QIODevice::WriteOnly))
        return failed(file);
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.flush()
        || (sync == FileSync::ToDisk && ::fsync(file.handle()) != 0)) {
        FileWriteResult result;
        result.errorString = file.errorString();
        file.cancelWriting();
        return result;
    }
    if (FileWriteResult before = beforeCommit(); !before.ok) {
        file.cancelWriting();
        return before;
    }
    if (!file.commit())
        return failed(file);
    FileWriteResult result;
    result.ok = true;
    return result;
}

} // namespace

FileWriteResult writeFileAtomically(const QString& hostPath, formats::Bytes bytes, FileSync sync)
{
    return writeStaged(hostPath, bytes, sync, [] { return FileWriteResult{true, false, {}}; });
}

FileWriteResult replaceFileKeepingBackup(const QString& hostPath, const QString& backupHostPath, formats::Bytes bytes)
{
    return writeStaged(hostPath, bytes, FileSync::ToDisk, [&] {
        if (!QFileInfo::exists(hostPath))
            return FileWriteResult{true, false, {}};
        QFile old(hostPath);
        if (!old.open(QIODevice::ReadOnly))
            return failed(old);
        const QByteArray previous = old.readAll();
        if (old.error() != QFileDevice::NoError)
            return failed(old);
        return writeFileAtomically(backupHostPath, formats::Bytes(reinterpret_cast<const std::uint8_t*>(previous.constData()),
                                                                  static_cast<std::size_t>(previous.size())));
    });
}

} // namespace glyphary::platform
