#include "formats/Cp1252Utf16.h"

#include <array>

namespace glyphary::formats {
namespace {

// 0x80..0x9F; 0 marks the five bytes Windows leaves undefined (they map to the same control code).
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t unicodeOf(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F && kHighControls[byte - 0x80] != 0)
        return kHighControls[byte - 0x80];
    return byte;
}

} // namespace

std::u16string utf16FromCp1252(std::string_view bytes)
{
    std::u16string text(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        text[i] = unicodeOf(static_cast<unsigned char>(bytes[i]));
    return text;
}

std::string cp1252FromUtf16(std::u16string_view text, bool* lossless)
{
    if (lossless)
        *lossless = true;
    std::string bytes;
    bytes.reserve(text.size());
    for (const char16_t code : text) {
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF) || (code >= 0x80 && code <= 0x9F && kHighControls[code - 0x80] == 0)) {
            bytes.push_back(static_cast<char>(code));
            continue;
        }
        char mapped = '?';
        for (std::size_t i = 0; i < kHighControls.size(); ++i) {
            if (kHighControls[i] == code) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        if (mapped == '?' && lossless)
            *lossless = false;
        bytes.push_back(mapped);
    }
    return bytes;
}

} // namespace glyphary::formats
