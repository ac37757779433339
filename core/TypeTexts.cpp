#include "core/TypeTexts.h"

#include <array>

namespace glyphary {
namespace {

struct TypeEntry {
    char16_t code;
    const char16_t* text;
    int bitsPerPixel; // for the writer; 16 where the text names no depth
};

constexpr std::array kTypes = {
    TypeEntry{u'0', u"16 Color Icon", 4},
    TypeEntry{u'1', u"256 Color Icon", 8},
    TypeEntry{u'2', u"Hi-Color Icon", 16},
    TypeEntry{u'3', u"16 Color Animation", 4},
    TypeEntry{u'4', u"256 Color Animation", 8},
    TypeEntry{u'5', u"Hi-Color Animation", 16},
    TypeEntry{u'6', u"16 Color Cursor", 4},
    TypeEntry{u'7', u"256 Color Cursor", 8},
    TypeEntry{u'8', u"Hi-Color Cursor", 16},
    TypeEntry{u'a', u"Animated Icon", 16},
    TypeEntry{u'g', u"Animated Cursor", 16},
    TypeEntry{u'd', u"Icon Library", 16},
    TypeEntry{u'e', u"Icon Library", 16},
    TypeEntry{u'i', u"Icon Library", 16},
    TypeEntry{u's', u"Shortcut Icon", 16},
    TypeEntry{u'c', u"Current Cursor", 16},
    TypeEntry{u't', u"Theme Cursor", 16},
    TypeEntry{u'f', u"File Type Icon", 16},
    TypeEntry{u'w', u"System Icon", 16},
};

constexpr int kOtherDepth = 16;

} // namespace

QString TypeText(QChar typeCode)
{
    for (const TypeEntry& entry : kTypes)
        if (entry.code == typeCode.unicode())
            return QString::fromUtf16(entry.text);
    return {};
}

int ColourDepthFromTypeText(const QString& typeText)
{
    for (const TypeEntry& entry : kTypes)
        if (typeText == QString::fromUtf16(entry.text))
            return entry.bitsPerPixel;
    return kOtherDepth;
}

} // namespace glyphary
