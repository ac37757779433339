#include "core/ResultItem.h"
#include "core/TypeTexts.h"

#include <array>
#include <gtest/gtest.h>

using namespace glyphary;

TEST(ResultItemKind, EachTagSelectsItsKindAndOthersAreUnknown)
{
    const std::pair<const char*, ResultKind> cases[] = {
        {"abc:3:01book", ResultKind::Book},
        {"C:\\x.ico;0;x;1open", ResultKind::Open},
        {"C:\\x.ico;0;x;2user", ResultKind::User},
        {"C:\\a.exe;0;C:\\a.exe;sshor", ResultKind::Shortcut},
        {"default;0;32512;csycu", ResultKind::SystemCursor},
        {"C:\\w.ani;0;Control Panel\\Cursors\\Schemes\\Mine:3;asytu", ResultKind::ThemeCursor},
        {"C:\\t.dll;4;Text Document (*.txt);fsyas", ResultKind::FileType},
        {"C:\\s.dll;3;My Computer;wsysy", ResultKind::SystemIcon},
    };
    for (const auto& [item, kind] : cases)
        EXPECT_EQ(kindOf(QString::fromLatin1(item)), kind) << item;
    EXPECT_EQ(tagOf(ResultKind::Shortcut), QLatin1StringView("shor"));
    // Short or foreign items are unknown and have no codes.
    for (const char* item : {"", "b", "ook", "xbooK", "C:\\x.ico;0;x;1opem"}) {
        const ResultItem parsed = ResultItem::parse(QString::fromLatin1(item));
        EXPECT_EQ(parsed.kind, ResultKind::Unknown) << item;
    }
    // Exactly a tag: a kind, but no room for a type code or a base.
    const ResultItem bare = ResultItem::parse(QStringLiteral("book"));
    EXPECT_EQ(bare.kind, ResultKind::Book);
    EXPECT_TRUE(bare.typeCode.isNull());
    EXPECT_TRUE(bare.base.isEmpty());
    EXPECT_FALSE(fieldsOf(QStringLiteral("book")));
    EXPECT_FALSE(catalogueTokenOf(QStringLiteral("book")));
    EXPECT_EQ(tagOf(ResultKind::Unknown), QLatin1StringView(""));
}

TEST(ResultItemFields, SplitAtTheFirstThreeSemicolonsOrGiveNothing)
{
    const QString open = QStringLiteral("C:\\Icons\\a.dll;2;#3 of 9;dopen");
    const ResultItem parsed = ResultItem::parse(open);
    EXPECT_EQ(parsed.kind, ResultKind::Open);
    EXPECT_EQ(parsed.typeCode, u'd');
    EXPECT_EQ(parsed.base, QStringLiteral("C:\\Icons\\a.dll;2;#3 of 9;"));
    EXPECT_EQ(typeCodeOf(QStringLiteral("default;0;32512;csycu")), u'c');
    // The third field keeps colons and backslashes; a default cursor has its identifier there.
    const std::array<const char*, 4> cases[] = {
        {"C:\\Icons\\a.dll;2;#3 of 9;dopen", "C:\\Icons\\a.dll", "2", "#3 of 9"},
        {"C:\\c\\x.cur;7;Control Panel\\Cursors\\Schemes\\Big:4;tsytu", "C:\\c\\x.cur", "7",
         "Control Panel\\Cursors\\Schemes\\Big:4"},
        {"default;0;32512;csycu", "default", "0", "32512"},
    };
    for (const auto& [item, file, number, label] : cases) {
        const auto fields = fieldsOf(QString::fromLatin1(item));
        ASSERT_TRUE(fields) << item;
        EXPECT_EQ(fields->file, QString::fromLatin1(file));
        EXPECT_EQ(fields->number, QString::fromLatin1(number));
        EXPECT_EQ(fields->label, QString::fromLatin1(label));
    }
    // A missing semicolon gives no fields.
    EXPECT_FALSE(fieldsOf(QStringLiteral("C:\\x.ico;0;x1open")));
    EXPECT_FALSE(fieldsOf(QStringLiteral("C:\\x.ico;0x;1open")));
    // The type code is never taken for a separator.
    EXPECT_FALSE(fieldsOf(QStringLiteral("a;b;;open")));
    EXPECT_TRUE(fieldsOf(QStringLiteral("a;b;;xopen")));
}

TEST(ResultItemCatalogue, TokenGivesMemberNumberColourAndTypeAndMalformedOnesAreRejected)
{
    const QString item = QStringLiteral("lib12:345:93book");
    const auto token = catalogueTokenOf(item);
    ASSERT_TRUE(token);
    EXPECT_EQ(token->member, QStringLiteral("lib12"));
    EXPECT_EQ(token->number, 345);
    EXPECT_EQ(token->colourCode, u'9');
    EXPECT_EQ(token->typeCode, u'3');
    EXPECT_EQ(typeCodeOf(item), u'3');
    EXPECT_EQ(baseOf(item), QStringLiteral("lib12:345:9"));
    for (const char* item : {"lib12:345:93open", "lib12345:93book", "lib:1:book", "a:b:c:01book", "lib:x:01book",
                             "lib:99999999999:01book", ":1:0book"}) {
        EXPECT_FALSE(catalogueTokenOf(QString::fromLatin1(item))) << item;
    }
    // An empty member is the reader's concern; the shape is sound.
    EXPECT_TRUE(catalogueTokenOf(QStringLiteral(":1:01book")));
}

TEST(ResultItemUser, ReferenceKeepsTheFieldsAndReplacesTypeAndTag)
{
    const auto user = makeUserItem(QStringLiteral("C:\\x\\y.ani;3;frame 4;aopen"), u'4');
    ASSERT_TRUE(user);
    EXPECT_EQ(*user, QStringLiteral("C:\\x\\y.ani;3;frame 4;4user"));
    EXPECT_EQ(kindOf(*user), ResultKind::User);
    EXPECT_EQ(baseOf(*user), QStringLiteral("C:\\x\\y.ani;3;frame 4;"));
    EXPECT_FALSE(makeUserItem(QStringLiteral("open"), u'0'));
    EXPECT_FALSE(makeUserItem(QStringLiteral("a;b;c;1open"), u'9'));
}

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
