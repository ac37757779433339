#pragma once
// Writing test files at Windows paths of an emulated root.

#include "formats/ByteReader.h"
#include "platform/WindowsPaths.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace glyphary::testing {

inline QByteArray asQByteArray(const formats::ByteVector& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// Writes `content` at a Windows path, making its folder; returns the path. False in `written`
// (when given) if the file could not be written.
inline QString writeWindowsFile(const platform::WindowsPaths& paths, const QString& windowsPath,
                                const QByteArray& content, bool* written = nullptr)
{
    const QString host = paths.toHost(windowsPath);
    QDir().mkpath(QFileInfo(host).path());
    QFile file(host);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    if (written)
        *written = ok;
    return windowsPath;
}

} // namespace glyphary::testing
