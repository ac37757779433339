#pragma once
// Small file helpers of the program: existence, text cut at a zero, the version of a program file.

#include <QString>

namespace glyphary {

namespace platform { class WindowsPaths; }

// True when the file can be opened for reading; every error gives false.
bool FileExists(const platform::WindowsPaths& paths, const QString& windowsPath);

// The text up to its first zero character.
QString CutAtNul(const QString& text);

// The file's product major version as decimal text; "" without version information.
QString GetFileMajorVersion(const platform::WindowsPaths& paths, const QString& windowsPath);

} // namespace glyphary
