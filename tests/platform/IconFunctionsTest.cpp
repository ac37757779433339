#include "platform/BuiltInCursors.h"
#include "platform/IconFunctions.h"
#include "support/Files.h"
#include "support/HostileIcons.h"
#include "support/IconBytes.h"
#include "support/PeBuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <limits>

#include <sys/resource.h>

namespace glyphary::platform {
namespace {

using formats::ByteVector;
using formats::ResourceName;
using testing::curFile;
using testing::dibImage;
using testing::icoFile;
using testing::ResourceBuilder;

class IconFunctionsTest : public ::testing::Test {
protected:
    QString write(const char* windowsPath, const ByteVector& bytes)
    {
        bool written = false;
        testing::writeWindowsFile(paths, QString::fromLatin1(windowsPath), testing::asQByteArray(bytes), &written);
        EXPECT_TRUE(written) << windowsPath;
        return QString::fromLatin1(windowsPath);
    }

    // A library whose groups tell themselves apart by depth: ALPHA 4 bpp, ZETA 8, id 3 24, id 7 32.
    static ResourceBuilder fourGroups()
    {
        ResourceBuilder builder;
        builder.iconGroup(ResourceName::byName(u"ZETA"), {dibImage(8)})
            .iconGroup(ResourceName::byId(7), {dibImage(32)})
            .iconGroup(ResourceName::byName(u"ALPHA"), {dibImage(4)})
            .iconGroup(ResourceName::byId(3), {dibImage(24)});
        return builder;
    }

    std::vector<int> depthsByIndex(const QString& file)
    {
        std::vector<int> depths;
        for (int i = 0, count = icons.ExtractIconA(file, -1).status; i < count; ++i)
            depths.push_back(icons.ExtractIconA(file, i).icon.bitsPerPixel);
        return depths;
    }

    // Frame i has its hot spot at (i, i).
    static ByteVector threeFrameAni(const ByteVector& extraChunks, std::uint32_t steps, std::uint32_t flags)
    {
        ByteVector frames;
        for (std::uint16_t i = 0; i < 3; ++i)
            formats::putBytes(frames, test::riffChunk("icon", curFile({{dibImage(4, 32, static_cast<std::uint8_t>(i)), i, i}})));
        return test::riffFile("ACON", test::join({test::riffChunk("anih", test::aniHeader(3, steps, 6, flags)),
                                                  extraChunks, test::riffList("fram", frames)}));
    }

    LoadedIcon load(const QString& file, unsigned type = IMAGE_ICON, int cx = 0, unsigned flags = LR_LOADFROMFILE)
    {
        return icons.LoadImageA(file, type, cx, cx, flags);
    }

    QTemporaryDir dir;
    WindowsPaths paths{dir.path() + QStringLiteral("/root")};
    IconFunctions icons{paths};
};

TEST_F(IconFunctionsTest, CountsAndIndexesGroupsByContentInTheirExecutablesOrder)
{
    // The group order is the resource reader's; here, that an .icl may be either format.
    const struct {
        const char* path;
        ByteVector bytes;
        std::vector<int> depths;
    } cases[] = {
        {"C:\\lib\\four.dll", fourGroups().pe32(), {4, 8, 24, 32}},
        {"C:\\lib\\four.icl", fourGroups().ne(), {8, 32, 4, 24}},
        {"C:\\lib\\pe.icl", fourGroups().pe32(), {4, 8, 24, 32}},
    };
    for (const auto& c : cases) {
        const QString file = write(c.path, c.bytes);
        EXPECT_EQ(depthsByIndex(file), c.depths) << c.path;
        EXPECT_EQ(icons.ExtractIconA(file, -3).icon.bitsPerPixel, 24) << c.path;
    }
    const QString dll = QString::fromLatin1(cases[0].path);
    EXPECT_EQ(icons.ExtractIconA(dll, -7).icon.bitsPerPixel, 32);
    const ExtractResult first = icons.ExtractIconA(dll, 0);
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(first.icon.image.size(), QSize(32, 32));

    // Nothing at an index past the end or a missing id.
    for (const int index : {4, 1000, -4, -65536, std::numeric_limits<int>::min()}) {
        const ExtractResult result = icons.ExtractIconA(dll, index);
        EXPECT_EQ(result.status, 0) << index;
        EXPECT_TRUE(result.icon.isNull()) << index;
    }
    Icon large;
    EXPECT_EQ(icons.ExtractIconExA(dll, 4, &large, nullptr, 1), 0);
    EXPECT_TRUE(large.isNull());

    // A file that changed is read again.
    write("C:\\lib\\four.dll", ResourceBuilder().iconGroup(ResourceName::byId(1), {dibImage(4)}).pe32());
    EXPECT_EQ(icons.ExtractIconA(dll, -1).status, 1);
    QFile::remove(paths.toHost(dll));
    EXPECT_EQ(icons.ExtractIconA(dll, -1).status, kExtractUnreadable);
}

TEST_F(IconFunctionsTest, ExtractIconExReachesResourceIdOneAndFillsBothSizes)
{
    const QString dll = write("C:\\two.dll", ResourceBuilder()
                                                 .iconGroup(ResourceName::byId(1), {dibImage(4, 16), dibImage(8, 32)})
                                                 .iconGroup(ResourceName::byId(2), {dibImage(4)})
                                                 .pe32());
    EXPECT_EQ(icons.ExtractIconExA(dll, -1, nullptr, nullptr, 0), 2);
    Icon large;
    Icon small;
    EXPECT_EQ(icons.ExtractIconExA(dll, -1, &large, &small, 1), 1); // -1 with arrays is id 1
    EXPECT_EQ(large.image.size(), QSize(32, 32));
    EXPECT_EQ(large.bitsPerPixel, 8);
    EXPECT_EQ(small.image.size(), QSize(16, 16));
    EXPECT_EQ(small.bitsPerPixel, 4);
    std::array<Icon, 3> many;
    EXPECT_EQ(icons.ExtractIconExA(dll, 0, many.data(), nullptr, 3), 2);
    EXPECT_FALSE(many[1].isNull());
    EXPECT_TRUE(many[2].isNull());
}

TEST_F(IconFunctionsTest, UnreadableFilesAreNegativeAndEmptyExecutablesZero)
{
    ByteVector cutIco = test::iconFile(1, {{32, 32, 0, 1, 4, dibImage(4)}});
    cutIco.resize(30); // directory intact, image cut away
    ResourceBuilder cursorsOnly;
    cursorsOnly.cursorGroup(ResourceName::byId(1), {{dibImage(1), 3, 3}});
    QDir().mkpath(paths.toHost(QStringLiteral("C:\\folder.ico")));
    const std::pair<QString, int> cases[] = {
        {QStringLiteral("C:\\nowhere\\gone.ico"), kExtractUnreadable},
        {QStringLiteral("C:\\folder.ico"), kExtractUnreadable},
        {write("C:\\garbage.dll", ByteVector(500, 0x5A)), kExtractNotIconContainer},
        {write("C:\\cut.ico", cutIco), kExtractNotIconContainer},
        {write("C:\\none.dll", cursorsOnly.pe32()), 0},
    };
    for (const auto& [file, status] : cases) {
        EXPECT_EQ(icons.ExtractIconA(file, -1).status, status) << file.toStdString();
        EXPECT_EQ(icons.ExtractIconA(file, 0).status, status) << file.toStdString();
    }
    Icon large;
    EXPECT_EQ(icons.ExtractIconExA(cases[0].first, 0, &large, nullptr, 1), kExtractUnreadable);
}

// A 2 GB file: only its directory and images are read (the files are sparse, so the test costs no
// disk), which the peak memory shows, and what is read lists every icon.
TEST_F(IconFunctionsTest, HugeFilesReadOnlyWhatTheyList)
{
    ResourceBuilder library;
    library.iconGroup(ResourceName::byId(1), {dibImage(4)});
    // A resource tree far larger than the first part of the section that is read.
    ResourceBuilder many;
    for (std::uint16_t id = 1; id <= 1500; ++id)
        many.iconGroup(ResourceName::byId(id), {dibImage(id % 2 ? 4 : 8)});
    const struct {
        const char* file;
        ByteVector bytes;
        int icons;
    } files[] = {
        {"C:\\huge.ico", testing::icoFile({dibImage(4)}), 1},
        {"C:\\huge.dll", library.pe32(), 1},
        {"C:\\many.dll", many.pe32Plus(), 1500},
    };
    for (const auto& [file, bytes, count] : files) {
        SCOPED_TRACE(file);
        const QString path = write(file, bytes);
        QFile huge(paths.toHost(path));
        ASSERT_TRUE(huge.resize(qint64{2} << 30));
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        EXPECT_EQ(icons.ExtractIconA(path, -1).status, count);
        EXPECT_EQ(icons.ExtractIconA(path, count - 1).icon.width(), kLargeIconSide);
        EXPECT_EQ(icons.ExtractIconA(path, count - 2).icon.width(), count > 1 ? kLargeIconSide : 0);
        icons.forgetCachedFile();
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes";
    }
}

TEST_F(IconFunctionsTest, SingleImageFilesCountOneAndChooseTheLargeImage)
{
    const QString ico = write("C:\\multi.ico", icoFile({dibImage(4, 16), dibImage(4, 32), dibImage(8, 32), dibImage(8, 48)}));
    EXPECT_EQ(icons.ExtractIconA(ico, -1).status, 1);
    const ExtractResult large = icons.ExtractIconA(ico, 0);
    ASSERT_EQ(large.status, 1);
    EXPECT_EQ(large.icon.image.size(), QSize(32, 32));
    EXPECT_EQ(large.icon.bitsPerPixel, 8);
    EXPECT_EQ(icons.ExtractIconA(ico, 1).status, 0);
    EXPECT_EQ(icons.ExtractIconA(ico, -2).status, 0);

    const QString cur = write("C:\\pointer.cur", curFile({{dibImage(1), 5, 7}}));
    EXPECT_EQ(icons.ExtractIconA(cur, -1).status, 1);
    EXPECT_TRUE(icons.ExtractIconA(cur, 0).icon.isCursor);
    EXPECT_EQ(icons.ExtractIconA(write("C:\\a.ani", threeFrameAni({}, 3, formats::kAniFlagIcon)), -1).status, 1);

    // An only image of another size is scaled to 32.
    const ExtractResult scaled = icons.ExtractIconA(write("C:\\big.ico", icoFile({dibImage(32, 48)})), 0);
    ASSERT_EQ(scaled.status, 1);
    EXPECT_EQ(scaled.icon.image.size(), QSize(32, 32));
    EXPECT_EQ(scaled.icon.bitsPerPixel, 32);
}

TEST_F(IconFunctionsTest, GivesAWholeIconGroupAsAnIcoFile)
{
    const ByteVector icoBytes = icoFile({dibImage(4, 16), dibImage(8)});
    const QString ico = write("C:\\two.ico", icoBytes);
    EXPECT_EQ(icons.iconGroupFile(ico, 0), icoBytes);
    EXPECT_EQ(icons.iconGroupFile(ico, 1), std::nullopt);

    ResourceBuilder builder;
    builder.iconGroup(ResourceName::byId(5), {dibImage(4, 16), dibImage(8), dibImage(32, 48)});
    const QString dll = write("C:\\one.dll", builder.pe32());
    for (const int index : {0, -5}) {
        const auto group = icons.iconGroupFile(dll, index);
        ASSERT_TRUE(group.has_value()) << index;
        const auto parsed = formats::parseIco(*group);
        ASSERT_TRUE(parsed) << index;
        EXPECT_EQ(parsed.value->entries.size(), 3u);
    }
    EXPECT_EQ(icons.iconGroupFile(dll, 1), std::nullopt);
    EXPECT_EQ(icons.iconGroupFile(dll, -1), std::nullopt);
    EXPECT_EQ(icons.iconGroupFile(write("C:\\p.cur", curFile({{dibImage(1), 1, 1}})), 0), std::nullopt);
}

TEST_F(IconFunctionsTest, LoadImageGivesCursorsWithHotSpotsAndTheFirstImageSizeUnlessToldOtherwise)
{
    const QString cur = write("C:\\pointer.cur", curFile({{dibImage(1), 5, 7}}));
    const LoadedIcon loaded = load(cur, IMAGE_CURSOR);
    ASSERT_FALSE(loaded.isNull());
    EXPECT_FALSE(loaded.isAnimated());
    const Icon* icon = loaded.iconAtStep(0);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(icon->isCursor);
    EXPECT_EQ(icon->hotspotX, 5);
    EXPECT_EQ(icon->hotspotY, 7);
    EXPECT_FALSE(load(cur).isNull()); // the .ani reader asks for IMAGE_ICON; cursors load all the same

    const QString ico = write("C:\\two.ico", icoFile({dibImage(4, 16), dibImage(8, 32)}));
    EXPECT_EQ(load(ico).iconAtStep(0)->image.size(), QSize(16, 16));
    EXPECT_EQ(load(ico, IMAGE_ICON, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE).iconAtStep(0)->bitsPerPixel, 8);
    EXPECT_EQ(load(ico, IMAGE_ICON, 24).iconAtStep(0)->image.size(), QSize(24, 24));

    EXPECT_TRUE(load(ico, IMAGE_ICON, 0, 0).isNull());
    EXPECT_TRUE(load(ico, IMAGE_BITMAP).isNull());
    EXPECT_TRUE(icons.LoadImageA(ico, IMAGE_ICON, -1, 0, LR_LOADFROMFILE).isNull());
    EXPECT_TRUE(load(write("C:\\x.dll", fourGroups().pe32())).isNull());
    EXPECT_TRUE(load(QStringLiteral("C:\\missing.ani")).isNull());
}

// The file reader counts an animation's frames by drawing steps until one fails.
int drawableSteps(const LoadedIcon& icon)
{
    QImage surface(32, 32, QImage::Format_ARGB32);
    int step = 0;
    while (step < 10000 && DrawIconEx(surface, 0, 0, icon, 0, 0, step, DI_NORMAL))
        ++step;
    return step;
}

TEST_F(IconFunctionsTest, AnimationStepsFollowTheSequenceAndStopAtTheLast)
{
    const ByteVector sequenced = threeFrameAni(test::join({test::riffChunk("rate", test::u32Values({1, 2, 3, 4, 5})),
                                                           test::riffChunk("seq ", test::u32Values({2, 0, 1, 0, 2}))}),
                                               5, formats::kAniFlagIcon | formats::kAniFlagSequence);
    const LoadedIcon loaded = load(write("C:\\seq.ani", sequenced));
    // How steps are read from the file is the animation reader's test; here, what the steps give.
    ASSERT_TRUE(loaded.isAnimated());
    EXPECT_EQ(drawableSteps(loaded), 5);
    EXPECT_EQ(loaded.iconAtStep(0)->hotspotX, 2);
    EXPECT_EQ(loaded.iconAtStep(-1), nullptr);
    EXPECT_EQ(loaded.millisecondsAtStep(4), 83);
    EXPECT_EQ(loaded.jiffiesAtStep(5), 0u);
    EXPECT_EQ(drawableSteps(load(write("C:\\plain.ani", threeFrameAni({}, 3, formats::kAniFlagIcon)))), 3);

    // A single icon draws at any step.
    QImage surface(32, 32, QImage::Format_ARGB32);
    EXPECT_TRUE(DrawIconEx(surface, 0, 0, load(write("C:\\one.ico", icoFile({dibImage(4)}))), 0, 0, 7, DI_NORMAL));
    EXPECT_FALSE(DrawIconEx(surface, 0, 0, LoadedIcon(), 0, 0, 0, DI_NORMAL));
}

TEST(IconDrawing, DrawsTheImageTheMaskOrBothAtTheAskedSizeAndSplitsThemForIconInfo)
{
    // Left half transparent, right half opaque red.
    Icon icon;
    icon.image = QImage(32, 32, QImage::Format_ARGB32);
    icon.image.fill(Qt::transparent);
    for (int y = 0; y < 32; ++y)
        for (int x = 16; x < 32; ++x)
            icon.image.setPixel(x, y, qRgb(255, 0, 0));
    icon.hotspotX = 16;
    icon.hotspotY = 16;

    QImage surface(64, 64, QImage::Format_ARGB32);
    // The pixels at x = 2, 20 and 40 of the top row after drawing on blue; 40 is past the icon's own 32.
    const auto drawn = [&](int side, unsigned flags) {
        surface.fill(qRgb(0, 0, 255));
        EXPECT_TRUE(DrawIconEx(surface, 0, 0, icon, side, side, 0, flags));
        return std::array<QRgb, 3>{surface.pixel(2, 2), surface.pixel(20, 2), surface.pixel(40, 2)};
    };
    EXPECT_EQ(drawn(0, DI_NORMAL), (std::array<QRgb, 3>{qRgb(0, 0, 255), qRgb(255, 0, 0), qRgb(0, 0, 255)}));
    EXPECT_EQ(drawn(64, DI_MASK), (std::array<QRgb, 3>{qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(0, 0, 0)}));
    EXPECT_EQ(drawn(64, DI_IMAGE), (std::array<QRgb, 3>{qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(255, 0, 0)}));
    EXPECT_FALSE(DrawIconEx(surface, 0, 0, icon, 0, 0, 0, 0));
    EXPECT_FALSE(DrawIconEx(surface, 0, 0, Icon{}, 0, 0, 0, DI_NORMAL));
    EXPECT_FALSE(DrawIconEx(surface, 0, 0, icon, std::numeric_limits<int>::max(), 1, 0, DI_NORMAL));

    const IconInfo info = GetIconInfo(icon);
    ASSERT_EQ(info.colour.size(), QSize(32, 32));
    ASSERT_EQ(info.mask.size(), QSize(32, 32));
    EXPECT_EQ((std::array{info.colour.pixel(3, 3), info.colour.pixel(30, 3), info.mask.pixel(3, 3), info.mask.pixel(30, 3)}),
              (std::array{qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 0)}));
    EXPECT_EQ(info.hotspotX, 16);
    EXPECT_TRUE(GetIconInfo(Icon{}).colour.isNull());
}

TEST(BuiltInCursors, EveryCursorTheProgramNamesIsDrawnWithItsHotSpotOnIt)
{
    // The fourteen cursors of the cursor settings and schemes, plus the hand and the obsolete ids.
    const std::vector<int> all = {IDC_ARROW, IDC_HELP, IDC_WAIT, IDC_APPSTARTING, IDC_CROSS, IDC_IBEAM, IDC_NWPEN,
        IDC_NO, IDC_SIZENESW, IDC_SIZENS, IDC_SIZENWSE, IDC_SIZEWE, IDC_SIZEALL, IDC_UPARROW, IDC_HAND, IDC_SIZE, IDC_ICON};
    const auto drawnNear = [](const QImage& image, int x, int y) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (image.valid(x + dx, y + dy) && qAlpha(image.pixel(x + dx, y + dy)) != 0)
                    return true;
        return false;
    };
    for (const int id : all) {
        const Icon cursor = LoadCursorA(id);
        ASSERT_FALSE(cursor.isNull()) << id;
        EXPECT_EQ(cursor.image.size(), QSize(32, 32)) << id;
        EXPECT_EQ(cursor.image.format(), QImage::Format_ARGB32) << id;
        EXPECT_TRUE(cursor.isCursor) << id;
        EXPECT_TRUE(QRect(0, 0, 32, 32).contains(cursor.hotspotX, cursor.hotspotY)) << id;
        EXPECT_TRUE(drawnNear(cursor.image, cursor.hotspotX, cursor.hotspotY)) << id;
        EXPECT_EQ(qAlpha(cursor.image.pixel(31, 31)), 0) << id; // a pointer, not a filled square
    }
    EXPECT_EQ(builtInCursorIds().size(), all.size());
    EXPECT_NE(LoadCursorA(IDC_ARROW).image, LoadCursorA(IDC_HELP).image);
    EXPECT_TRUE(LoadCursorA(32517).isNull());
    EXPECT_TRUE(LoadCursorA(0).isNull());
}

// A library shaped to cost much: each icon costs the one image shown. Icons and animations of that
// shape are the bounded decoding's test.
TEST_F(IconFunctionsTest, SharedEntryLibraryShowsItsThirtyTwoPixelImageForEveryIcon)
{
    const QString dll = write("C:\\hostile\\groups.dll", testing::sharedEntryLibrary(200, 255, 1024));
    ASSERT_EQ(icons.ExtractIconA(dll, -1).status, 200);
    for (int i = 0; i < 200; ++i) {
        const Icon icon = icons.ExtractIconA(dll, i).icon;
        ASSERT_EQ(icon.width(), 32) << i;
        ASSERT_EQ(icon.image.pixel(1, 1), testing::kChosenColour) << i;
    }
    EXPECT_FALSE(icons.wasCutShort(dll));
}

TEST_F(IconFunctionsTest, ALibraryPastItsBudgetGivesItsFirstIconsAndSaysItWasCutShort)
{
    formats::DecodeBudget limits;
    limits.pixelsLeft = 5 * 32 * 32;
    icons.setDecodeLimits(limits);
    const QString file = write("C:\\hostile\\many.dll", testing::sharedEntryLibrary(8, 0, 0));
    EXPECT_FALSE(icons.wasCutShort(file));
    std::vector<bool> extracted;
    for (int i = 0; i < 8; ++i)
        extracted.push_back(icons.ExtractIconA(file, i).status == 1);
    EXPECT_EQ(extracted, (std::vector<bool>{true, true, true, true, true, false, false, false}));
    EXPECT_TRUE(icons.wasCutShort(file));
}

} // namespace
} // namespace glyphary::platform
