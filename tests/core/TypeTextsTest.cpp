#include "core/TypeTexts.h"

#include <gtest/gtest.h>

namespace glyphary {
namespace {

TEST(TypeTexts, NameEveryTypeCode)
{
    const std::vector<std::pair<char16_t, const char*>> expected = {{u'0', "16 Color Icon"}, {u'1', "256 Color Icon"},
        {u'2', "Hi-Color Icon"}, {u'3', "16 Color Animation"}, {u'4', "256 Color Animation"},
        {u'5', "Hi-Color Animation"}, {u'6', "16 Color Cursor"}, {u'7', "256 Color Cursor"}, {u'8', "Hi-Color Cursor"},
        {u'a', "Animated Icon"}, {u'g', "Animated Cursor"}, {u'd', "Icon Library"}, {u'e', "Icon Library"},
        {u'i', "Icon Library"}, {u's', "Shortcut Icon"}, {u'c', "Current Cursor"}, {u't', "Theme Cursor"},
        {u'f', "File Type Icon"}, {u'w', "System Icon"}};
    for (const auto& [code, text] : expected)
        EXPECT_EQ(TypeText(QChar(code)), QString::fromLatin1(text)) << text;
    for (const char16_t other : {u'9', u'A', u'x', u' ', u'\0'})
        EXPECT_EQ(TypeText(QChar(other)), QString());
}

TEST(TypeTexts, GiveTheWriterItsColourDepth)
{
    for (const char* text : {"16 Color Icon", "16 Color Animation", "16 Color Cursor"})
        EXPECT_EQ(ColourDepthFromTypeText(QString::fromLatin1(text)), 4) << text;
    for (const char* text : {"256 Color Icon", "256 Color Animation", "256 Color Cursor"})
        EXPECT_EQ(ColourDepthFromTypeText(QString::fromLatin1(text)), 8) << text;
    for (const char* text : {"Hi-Color Icon", "Hi-Color Animation", "Hi-Color Cursor", "Icon Library", "Animated Icon",
             "", "16 color icon", "256 Color Icon "})
        EXPECT_EQ(ColourDepthFromTypeText(QString::fromLatin1(text)), 16) << text;
}

} // namespace
} // namespace glyphary
