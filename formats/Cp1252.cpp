#include "formats/Cp1252.h"

namespace glyphary::formats {

QString fromCp1252(std::string_view bytes)
{
    const std::u16string text = utf16FromCp1252(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toCp1252(const QString& text)
{
    return cp1252FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

} // namespace glyphary::formats
