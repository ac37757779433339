#pragma once
// Windows paths inside the program, host paths at the I/O boundary. C: is <root>/drive_c, Z: is
// the host's "/"; other drives and UNC paths do not exist here. Lookup is case-insensitive per
// component when the exact name does not exist; new names keep the case given.

#include <QString>

namespace glyphary::platform {

class WindowsPaths {
public:
    explicit WindowsPaths(QString rootHostPath);

    const QString& root() const { return root_; }

    // The host path for a Windows path: existing components resolved case-insensitively, the rest
    // kept as given. "" when the path names no reachable drive (other drives, UNC, relative).
    QString toHost(const QString& windowsPath) const;

    // The Windows path for a host path: under <root>/drive_c it becomes C:\..., anything else Z:\....
    QString toWindows(const QString& hostPath) const;

    // GetShortPathName: long names are returned unchanged (this file system has no 8.3 names).
    QString shortName(const QString& windowsPath) const;
    // GetLongPathName: the on-disk case of each existing component; "" when the path does not exist.
    QString longName(const QString& windowsPath) const;

private:
    QString root_;
};

} // namespace glyphary::platform
