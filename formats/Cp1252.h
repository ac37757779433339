#pragma once
// Windows-1252, the ANSI code page of every text the program hands to the platform and of the
// catalogue and user files.

#include "formats/Cp1252Utf16.h"

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

namespace glyphary::formats {

QString fromCp1252(std::string_view bytes);
inline QString fromCp1252(const QByteArray& bytes) { return fromCp1252(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))); }

// Characters without a Windows-1252 form become '?', as WideCharToMultiByte does by default.
std::string toCp1252(const QString& text);
inline QByteArray toCp1252Bytes(const QString& text)
{
    const std::string bytes = toCp1252(text);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace glyphary::formats
