#include "core/AppContext.h"
#include "core/ItemList.h"
#include "core/Settings.h"
#include "app/Startup.h"
#include "formats/AniCodec.h"
#include "sources/CoreLibrary.h"
#include "sources/ResultDrawing.h"
#include "support/HostileIcons.h"
#include "support/PeBuilder.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

using namespace glyphary;
using glyphary::testing::TempRoot;

namespace {

// Every pixel fully transparent: premultiplied, such a picture is all zeros.
bool isBlank(const QImage& image)
{
    QImage clear(image.size(), QImage::Format_ARGB32_Premultiplied);
    clear.fill(Qt::transparent);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied) == clear;
}

class ResultDrawingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        splashLoad(context, settings, QStringLiteral("C:\\Glyphary"));
        root.writeFile(QStringLiteral("C:\\Icons\\star.ico"), glyphary::testing::icoFile({glyphary::testing::dibImage(4)}));
        root.writeFile(QStringLiteral("C:\\Icons\\junk.ico"), "not an icon at all");
        const formats::ByteVector frame = glyphary::testing::icoFile({glyphary::testing::dibImage(8)});
        const std::vector<formats::ByteVector> frames{frame, frame, frame};
        const auto ani = formats::writeAni(frames, formats::AniOptions{});
        ASSERT_TRUE(ani);
        root.writeFile(QStringLiteral("C:\\Icons\\busy.ani"), *ani.value);
    }

    RowResult draw(const QString& item, std::int32_t itemData = 0)
    {
        const auto row = drawing.readRow(item, itemData, 1);
        EXPECT_TRUE(row.has_value()) << item.toStdString();
        return row.value_or(RowResult{});
    }

    TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
    platform::IconFunctions icons{root.platform().paths()};
    CoreLibrary library{context};
    ItemList lstFiles;
    ResultDrawing drawing{context, icons, library, lstFiles};
};

TEST_F(ResultDrawingTest, OpenedFilesAreNamedByFileAndLabelAndOthersByTheirLists)
{
    RowResult row = draw(QStringLiteral("C:\\Icons\\star.ico;0;x;0open"));
    EXPECT_EQ(row.name, QStringLiteral("star.ico"));
    EXPECT_EQ(row.type, QStringLiteral("16 Color Icon"));
    EXPECT_EQ(row.origin, QStringLiteral("File"));
    EXPECT_FALSE(isBlank(row.image));
    row = draw(QStringLiteral("C:\\Lib\\shell.dll;3;#4 of 9;dopen"));
    EXPECT_EQ(row.name, QStringLiteral("shell.dll #4 of 9"));
    context.FavoritesFlag = kTrue;
    row = draw(QStringLiteral("C:\\Fav\\my.star.ico;0;x;0open"));
    EXPECT_EQ(row.name, QStringLiteral("my"));
    EXPECT_EQ(row.origin, QStringLiteral("File Favorite"));
    // References, shortcuts and Windows icons take their names from their lists.
    context.FavoritesFlag = kFalse;
    context.catalogueLists.lstUser.add(QStringLiteral("stars"), 0);
    const RowResult reference = draw(QStringLiteral("C:\\Icons\\star.ico;0;x;0user"), 0);
    EXPECT_EQ(reference.name, QStringLiteral("stars"));
    EXPECT_EQ(reference.origin, QStringLiteral("Reference"));
    lstFiles.add(QStringLiteral("C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk"));
    const RowResult shortcut = draw(QStringLiteral("C:\\Icons\\star.ico;0;x;0shor"), 0);
    EXPECT_EQ(shortcut.name, QStringLiteral("Notepad"));
    EXPECT_EQ(shortcut.origin, QStringLiteral("Start Menu\\Programs"));
    EXPECT_EQ(draw(QStringLiteral("C:\\Icons\\star.ico;0;Text Document;2syas")).name, QStringLiteral("Text Document"));
    EXPECT_EQ(draw(QStringLiteral("C:\\Icons\\star.ico;0;My Computer;2sysy")).origin, QStringLiteral("File"));
}

TEST_F(ResultDrawingTest, APageNamesTheFileWhoseDecodingWasCutShort)
{
    formats::DecodeBudget limits;
    limits.pixelsLeft = 7 * 32 * 32; // a row decodes its large and its small picture
    icons.setDecodeLimits(limits);
    root.writeFile(QStringLiteral("C:\\Icons\\many.dll"), glyphary::testing::sharedEntryLibrary(6, 0, 0));
    const auto page = [this](int icons) {
        for (int i = 0; i < icons; ++i)
            EXPECT_TRUE(drawing.readRow(QStringLiteral("C:\\Icons\\many.dll;%1;#%2 of 6;dopen").arg(i).arg(i + 1), 0, i + 1));
        return drawing.pageNote();
    };
    EXPECT_EQ(page(3), QString());
    EXPECT_EQ(page(6), QStringLiteral("Some pictures of C:\\Icons\\many.dll are missing: decoding them costs more than "
                                      "Glyphary allows for one file."));
    icons.setDecodeLimits(formats::DecodeBudget{});
    icons.forgetCachedFile();
    EXPECT_EQ(page(1), QString()) << "each page starts afresh";
}

TEST_F(ResultDrawingTest, AnUnreadableFileGetsTheNoIconPictureAMissingIndexAnEmptyOneAndUnknownItemsNone)
{
    const RowResult unreadable = draw(QStringLiteral("C:\\Icons\\junk.ico;0;x;0open"));
    EXPECT_EQ(unreadable.image, noIconPicture());
    const RowResult pastTheEnd = draw(QStringLiteral("C:\\Icons\\star.ico;5;x;0open"));
    EXPECT_TRUE(isBlank(pastTheEnd.image));
    EXPECT_EQ(pastTheEnd.name, QStringLiteral("star.ico"));
    EXPECT_EQ(draw(QStringLiteral("nofields0open")).image, noIconPicture());
    // Short and unknown items are not drawn at all.
    EXPECT_FALSE(drawing.readRow(QStringLiteral("boo"), 0, 1).has_value());
    EXPECT_FALSE(drawing.readRow(QStringLiteral("C:\\x.ico;0;x;0what"), 0, 1).has_value());
}

TEST_F(ResultDrawingTest, FramesOfOneAnimationShareOneLoad)
{
    for (int frame = 0; frame < 3; ++frame) {
        const RowResult row = draw(QStringLiteral("C:\\Icons\\busy.ani;%1;frame %2;aopen").arg(frame).arg(frame + 1));
        EXPECT_FALSE(isBlank(row.image));
        EXPECT_EQ(row.name, QStringLiteral("busy.ani frame %1").arg(frame + 1));
    }
    EXPECT_EQ(drawing.animationLoads(), 1);
}

TEST_F(ResultDrawingTest, CatalogueIconsAreNamedByTheirKeywordAndWithoutALibraryShowNoIcon)
{
    context.keywordTable.append(QStringLiteral("apple"), QStringLiteral("12:3:01;"));
    const RowResult row = draw(QStringLiteral("12:3:01book"), 0);
    EXPECT_EQ(row.name, QStringLiteral("apple"));
    EXPECT_EQ(row.type, QStringLiteral("256 Color Icon"));
    EXPECT_EQ(row.origin, QStringLiteral("Glyphary"));
    EXPECT_EQ(row.image, noIconPicture());
    EXPECT_FALSE(library.libraryAvailable());
}

TEST_F(ResultDrawingTest, CursorsAreNamedByTheirRole)
{
    RowResult row = draw(QStringLiteral("default;0;32651;6sycu"));
    EXPECT_EQ(row.name, QStringLiteral("Help Pointer"));
    EXPECT_EQ(row.origin, QStringLiteral("Windows Default"));
    EXPECT_FALSE(isBlank(row.image));
    row = draw(QStringLiteral("default;0;Standard:2;6sytu"));
    EXPECT_EQ(row.name, QStringLiteral("Help"));
    row = draw(QStringLiteral("C:\\Icons\\busy.ani;1;Control Panel\\Cursors\\Wait;asycu"));
    EXPECT_EQ(row.name, QStringLiteral("Wait #2"));
    EXPECT_EQ(row.origin, QStringLiteral("File"));
    EXPECT_EQ(draw(QStringLiteral("default;0;Standard:9;6sytu")).name, QStringLiteral("Size NESW"));
    EXPECT_EQ(draw(QStringLiteral("default;0;99999;6sycu")).name, QString());
}

} // namespace
