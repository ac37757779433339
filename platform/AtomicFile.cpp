#include "platform/AtomicFile.h"

#include <QSaveFile>

#include <unistd.h>

namespace glyphary::platform {

FileWriteResult writeFileAtomically(const QString& hostPath, formats::Bytes bytes, FileSync sync)
{
    QSaveFile file(hostPath);
    const auto size = static_cast<qint64>(bytes.size());
    FileWriteResult result;
    if (!file.open(QIODevice::WriteOnly)) {
        result.accessDenied = file.error() == QFileDevice::PermissionsError;
        result.errorString = file.errorString();
        return result;
    }
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.flush()
        || (sync == FileSync::ToDisk && ::fsync(file.handle()) != 0)) {
        result.errorString = file.errorString();
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.accessDenied = file.error() == QFileDevice::PermissionsError;
        result.errorString = file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace glyphary::platform
