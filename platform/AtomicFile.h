#pragma once
// Whole-file writes that either land complete or leave the old file as it was: the bytes go to a
// temporary file beside the target, are flushed to disk (unless told not to), and only then renamed
// over it.

#include "formats/ByteReader.h"

#include <QString>

namespace glyphary::platform {

struct FileWriteResult {
    bool ok = false;
    bool accessDenied = false; // the folder or the file may not be written
    QString errorString;
};

enum class FileSync { ToDisk, NoSync };

// NoSync still never leaves a half-written file behind a crash of the program; only a power loss
// may lose the new content.
FileWriteResult writeFileAtomically(const QString& hostPath, formats::Bytes bytes, FileSync sync = FileSync::ToDisk);

// The same, keeping the file it replaces (when there is one) as `backupHostPath`. The new bytes are
// on disk before the backup is touched, so a failure leaves both files as they were; the backup is
// a copy, never a renamed target, so a crash at any moment leaves the target whole, old or new.
FileWriteResult replaceFileKeepingBackup(const QString& hostPath, const QString& backupHostPath, formats::Bytes bytes);

} // namespace glyphary::platform
