#include "libs/glsave32/Glsave32.h"

#include "support/ReadOnlyFolder.h"
#include "formats/AniCodec.h"
#include "formats/IcoCodec.h"
#include "support/IconBytes.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace glyphary {
namespace {

using formats::ByteReader;
using formats::Bytes;
using formats::ByteVector;
using test::samePixels;

constexpr int kSide = Glsave32::kIconSide;
const QString kOutFolder = QStringLiteral("C:\\Out");
const std::string kIcon = "C:\\Out\\saved.ico";
const std::string kCursor = "C:\\Out\\saved.cur";
const std::string kAnimation = "C:\\Out\\saved.ani";

// Offsets in a one-image 32 x 32 file: the DIB starts after ICONDIR and one entry.
constexpr qsizetype kDib = 22;
constexpr qsizetype kDibBitCount = kDib + 14;
constexpr qsizetype kDibPalette = kDib + 40;

// The sample pictures leave their last column and every other pixel of their last row transparent.
bool transparentAt(int x, int y) { return x == kSide - 1 || (y == kSide - 1 && x % 2 == 0); }

QImage pictureOf(const std::function<QRgb(int, int)>& colourAt)
{
    QImage image(kSide, kSide, QImage::Format_ARGB32);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            image.setPixel(x, y, transparentAt(x, y) ? qRgba(0, 0, 0, 0) : colourAt(x, y));
    return image;
}

// Exactly `count` distinct colours, black among them, each used at least once.
QImage mosaic(int count)
{
    const int step = 256 / count;
    return pictureOf([=](int x, int y) {
        const int i = (y * 31 + x) % count;
        return qRgb(i * step, (i * 5) % 256, (i * 11) % 256);
    });
}

// Far more colours than any palette, all of them shades of blue and teal.
QImage blueGradient()
{
    return pictureOf([](int x, int y) { return qRgb(0, 4 * x, 100 + 4 * y + x % 3); });
}

struct Planes {
    QImage colour;
    QImage mask;
};

// The planes as the program's plane preparation gives them: colour black and mask white where
// transparent.
Planes planesOf(const QImage& picture)
{
    Planes planes{QImage(picture.size(), QImage::Format_RGB32), QImage(picture.size(), QImage::Format_RGB32)};
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const bool transparent = qAlpha(picture.pixel(x, y)) == 0;
            planes.colour.setPixel(x, y, transparent ? qRgb(0, 0, 0) : picture.pixel(x, y));
            planes.mask.setPixel(x, y, transparent ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    return planes;
}

QRgb paletteEntry(const QByteArray& file, int index)
{
    const qsizetype at = kDibPalette + 4 * index;
    const auto byte = [&](qsizetype offset) { return static_cast<unsigned char>(file[at + offset]); };
    return qRgb(byte(2), byte(1), byte(0));
}

class Glsave32Test : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(root_.host(kOutFolder))); }

    static QString windows(const std::string& ansi) { return QString::fromLatin1(ansi.c_str()); }
    QByteArray read(const std::string& name) const { return root_.readFile(windows(name)); }
    bool exists(const std::string& name) const { return QFile::exists(root_.host(windows(name))); }
    QStringList outFolder() const
    {
        return QDir(root_.host(kOutFolder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    formats::IcoFile parse(const std::string& name) const
    {
        const QByteArray bytes = read(name);
        auto parsed = formats::parseIco(Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())));
        EXPECT_TRUE(parsed) << name;
        return parsed ? *parsed.value : formats::IcoFile{};
    }
    // The one image of a saved file.
    QImage imageOf(const std::string& name) const
    {
        const formats::IcoFile file = parse(name);
        return file.entries.size() == 1 && file.entries[0].image ? file.entries[0].image->image : QImage();
    }

    std::int16_t saveIcon(const QImage& picture, int bitsPerPixel, const std::string& name = kIcon)
    {
        const Planes planes = planesOf(picture);
        return saver_.SaveAsIcon(planes.colour, planes.mask, kSide, kSide, bitsPerPixel, name);
    }

    testing::TempRoot root_;
    Glsave32 saver_{root_.platform().paths()};
};

// ---- icons at the three depths ----

class Glsave32PaletteTest : public Glsave32Test, public ::testing::WithParamInterface<int> {};

TEST_P(Glsave32PaletteTest, KeepsAPictureOfAsManyColoursAsThePaletteExactly)
{
    const int bitsPerPixel = GetParam();
    const QImage picture = mosaic(1 << bitsPerPixel);
    QSet<QRgb> colours;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            if (!transparentAt(x, y))
                colours.insert(picture.pixel(x, y));
    ASSERT_EQ(colours.size(), 1 << bitsPerPixel);

    ASSERT_EQ(saveIcon(picture, bitsPerPixel), Glsave32::kSaved);

    EXPECT_EQ(read(kIcon).size(), bitsPerPixel == 4 ? 766 : 2238);
    const formats::IcoFile file = parse(kIcon);
    ASSERT_EQ(file.entries.size(), 1u);
    ASSERT_TRUE(file.entries[0].image);
    EXPECT_EQ(file.entries[0].image->bitsPerPixel, bitsPerPixel);
    EXPECT_TRUE(samePixels(file.entries[0].image->image, picture));
}

TEST_P(Glsave32PaletteTest, FitsThePaletteToAPictureOfManyColours)
{
    const int bitsPerPixel = GetParam();
    const QImage picture = blueGradient();

    ASSERT_EQ(saveIcon(picture, bitsPerPixel), Glsave32::kSaved);

    const QByteArray bytes = read(kIcon);
    QList<QRgb> palette;
    for (int i = 0; i < (1 << bitsPerPixel); ++i)
        palette.append(paletteEntry(bytes, i));
    const QImage saved = imageOf(kIcon);
    ASSERT_EQ(saved.size(), picture.size());
    long error = 0;
    long opaque = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const QRgb was = picture.pixel(x, y);
            const QRgb now = saved.pixel(x, y);
            if (transparentAt(x, y)) {
                EXPECT_EQ(qAlpha(now), 0) << x << "," << y;
                continue;
            }
            ASSERT_EQ(qAlpha(now), 255) << x << "," << y;
            ++opaque;
            EXPECT_TRUE(palette.contains(now)) << x << "," << y;
            error += std::abs(qRed(was) - qRed(now)) + std::abs(qGreen(was) - qGreen(now))
                + std::abs(qBlue(was) - qBlue(now));
        }
    // Mean error summed over the channels: a palette fixed in advance would be far off on these shades.
    EXPECT_LT(error / opaque, bitsPerPixel == 4 ? 24 : 6);
}

INSTANTIATE_TEST_SUITE_P(Depths, Glsave32PaletteTest, ::testing::Values(4, 8));

TEST_F(Glsave32Test, HiColourWrites32BitArgbWithAnAndMask)
{
    const QImage picture = blueGradient();

    ASSERT_EQ(saveIcon(picture, 16), Glsave32::kSaved);

    const QByteArray bytes = read(kIcon);
    ASSERT_EQ(bytes.size(), 4286);
    EXPECT_EQ(static_cast<unsigned char>(bytes[kDibBitCount]), 32);
    const qsizetype xorRows = kDib + 40;
    const qsizetype andRows = xorRows + 4 * kSide * kSide;
    for (int stored = 0; stored < kSide; ++stored) {
        const int y = kSide - 1 - stored; // bottom row first
        for (int x = 0; x < kSide; ++x) {
            const auto alpha = static_cast<unsigned char>(bytes[xorRows + 4 * (stored * kSide + x) + 3]);
            const bool andBit = (static_cast<unsigned char>(bytes[andRows + 4 * stored + x / 8]) & (0x80 >> (x % 8))) != 0;
            EXPECT_EQ(alpha, transparentAt(x, y) ? 0 : 255) << x << "," << y;
            EXPECT_EQ(andBit, transparentAt(x, y)) << x << "," << y;
        }
    }
    EXPECT_TRUE(samePixels(imageOf(kIcon), picture));
}

TEST_F(Glsave32Test, DepthsOtherThanFourAndEightAreWrittenAsHiColour)
{
    ASSERT_EQ(saveIcon(mosaic(16), 16), Glsave32::kSaved);
    const QByteArray hiColour = read(kIcon);
    for (const int depth : {0, 1, 24, 32, -4, 1000}) {
        const std::string name = "C:\\Out\\depth" + std::to_string(depth) + ".ico";
        ASSERT_EQ(saveIcon(mosaic(16), depth, name), Glsave32::kSaved) << depth;
        EXPECT_EQ(read(name), hiColour) << depth;
    }
}

TEST_F(Glsave32Test, ReplacesAnExistingFileWhole)
{
    root_.writeFile(windows(kIcon), QByteArray(5000, 'x'));

    ASSERT_EQ(saveIcon(mosaic(16), 4), Glsave32::kSaved);

    EXPECT_EQ(read(kIcon).size(), 766);
    EXPECT_EQ(outFolder(), QStringList{QStringLiteral("saved.ico")});
}

TEST_F(Glsave32Test, NamesAreWindows1252)
{
    ASSERT_EQ(saveIcon(mosaic(16), 4, "C:\\Out\\Caf\xE9.ico"), Glsave32::kSaved);

    EXPECT_TRUE(QFile::exists(root_.host(QStringLiteral("C:\\Out\\Café.ico"))));
}

// ---- cursors ----

TEST_F(Glsave32Test, CursorKeepsItsHotSpot)
{
    const QImage picture = mosaic(16);
    const Planes planes = planesOf(picture);

    ASSERT_EQ(saver_.SaveAsCursor(planes.colour, planes.mask, kSide, kSide, 4, 5, 7, kCursor), Glsave32::kSaved);

    EXPECT_EQ(read(kCursor).size(), 766);
    const formats::IcoFile file = parse(kCursor);
    EXPECT_EQ(file.type, formats::IconFileType::Cursor);
    ASSERT_EQ(file.entries.size(), 1u);
    EXPECT_EQ(file.entries[0].stored.planesOrHotspotX, 5);
    EXPECT_EQ(file.entries[0].stored.bitCountOrHotspotY, 7);
    ASSERT_TRUE(file.entries[0].image);
    EXPECT_TRUE(samePixels(file.entries[0].image->image, picture));
}

TEST_F(Glsave32Test, CursorWithItsHotSpotOutsideTheImageIsNotWritten)
{
    const Planes planes = planesOf(mosaic(16));
    for (const QPoint hotSpot : {QPoint(32, 0), QPoint(0, 32), QPoint(-1, 3)}) {
        EXPECT_EQ(saver_.SaveAsCursor(planes.colour, planes.mask, kSide, kSide, 4, hotSpot.x(), hotSpot.y(), kCursor),
            Glsave32::kNotSaved)
            << hotSpot.x() << "," << hotSpot.y();
    }
    EXPECT_TRUE(outFolder().isEmpty());
}

// ---- what is refused ----

TEST_F(Glsave32Test, RefusesOtherSizesAndEmptyPlanesAndLeavesTheTargetAsItWas)
{
    root_.writeFile(windows(kIcon), "old");
    const Planes good = planesOf(mosaic(16));
    const Planes small = planesOf(mosaic(16).copy(0, 0, 16, 16));
    const struct {
        const char* what;
        QImage colour;
        QImage mask;
        int width;
        int height;
    } cases[] = {
        {"width 16", good.colour, good.mask, 16, kSide},
        {"height 48", good.colour, good.mask, kSide, 48},
        {"16 x 16 planes", small.colour, small.mask, 16, 16},
        {"small colour plane", small.colour, good.mask, kSide, kSide},
        {"small mask plane", good.colour, small.mask, kSide, kSide},
        {"no colour plane", QImage(), good.mask, kSide, kSide},
        {"no mask plane", good.colour, QImage(), kSide, kSide},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(saver_.SaveAsIcon(c.colour, c.mask, c.width, c.height, 4, kIcon), Glsave32::kNotSaved) << c.what;
        EXPECT_EQ(saver_.SaveAsCursor(c.colour, c.mask, c.width, c.height, 4, 0, 0, kCursor), Glsave32::kNotSaved)
            << c.what;
    }
    EXPECT_EQ(read(kIcon), "old");
    EXPECT_EQ(outFolder(), QStringList{QStringLiteral("saved.ico")});
}

TEST_F(Glsave32Test, UnwritableTargetsGetNothing)
{
    for (const std::string name : {"", "C:\\Missing\\a.ico", "D:\\a.ico", "\\\\server\\share\\a.ico", "a.ico",
             "C:\\Out", "C:\\Out\\"}) {
        EXPECT_EQ(saveIcon(mosaic(16), 4, name), Glsave32::kNotSaved) << name;
    }
    EXPECT_TRUE(outFolder().isEmpty());
    EXPECT_FALSE(QFile::exists(root_.host(QStringLiteral("C:\\Missing"))));
}

TEST_F(Glsave32Test, ReadOnlyFolderGetsNothing)
{
    testing::ReadOnlyFolder readOnly(root_.host(kOutFolder));
    if (!readOnly.active())
        GTEST_SKIP() << "this file system lets us write into a read-only folder";

    EXPECT_EQ(saveIcon(mosaic(16), 4), Glsave32::kNotSaved);
    EXPECT_TRUE(outFolder().isEmpty());
}

// ---- animated cursors ----

class Glsave32AniTest : public Glsave32Test {
protected:
    // Three frames as Save As writes them: one .ico each, at the three depths.
    void SetUp() override
    {
        Glsave32Test::SetUp();
        pictures_ = {mosaic(16), mosaic(256), blueGradient()};
        const int depths[] = {4, 8, 16};
        for (std::size_t n = 0; n < pictures_.size(); ++n) {
            frames_.push_back("C:\\Out\\" + std::to_string(n) + ".ico");
            ASSERT_EQ(saveIcon(pictures_[n], depths[n], frames_.back()), Glsave32::kSaved);
        }
    }

    formats::AniFile parseAnimation() const
    {
        const QByteArray bytes = read(kAnimation);
        auto parsed = formats::parseAni(Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())));
        EXPECT_TRUE(parsed);
        return parsed ? *parsed.value : formats::AniFile{};
    }

    std::vector<QImage> pictures_;
    std::vector<std::string> frames_;
};

TEST_F(Glsave32AniTest, JoinsTheFramesWithTheirRates)
{
    std::string target = kAnimation;
    std::int16_t reserved = 99;

    ASSERT_EQ(saver_.SaveAsANI(frames_, {20, 20, 20}, target, reserved), Glsave32::kSaved);

    EXPECT_EQ(reserved, Glsave32::AniOk);
    EXPECT_EQ(target, kAnimation);
    const formats::AniFile file = parseAnimation();
    EXPECT_EQ(file.header.flags & formats::kAniFlagIcon, formats::kAniFlagIcon);
    EXPECT_EQ(file.header.jifRate, 20u);
    ASSERT_EQ(file.frames.size(), 3u);
    ASSERT_EQ(file.steps.size(), 3u);
    for (std::size_t n = 0; n < 3; ++n) {
        EXPECT_EQ(file.steps[n].frame, n);
        EXPECT_EQ(file.steps[n].jiffies, 20u);
        EXPECT_TRUE(samePixels(file.frames[n].image.image, pictures_[n])) << n;
    }
}

TEST_F(Glsave32AniTest, EveryStepKeepsItsOwnRate)
{
    std::string target = kAnimation;
    std::int16_t reserved = 0;

    ASSERT_EQ(saver_.SaveAsANI(frames_, {20, 6, 90}, target, reserved), Glsave32::kSaved);

    const formats::AniFile file = parseAnimation();
    ASSERT_EQ(file.steps.size(), 3u);
    EXPECT_EQ(file.steps[0].jiffies, 20u);
    EXPECT_EQ(file.steps[1].jiffies, 6u);
    EXPECT_EQ(file.steps[2].jiffies, 90u);
}

TEST_F(Glsave32AniTest, IconFramesBecomeCursorsWithTheHotSpotAtTheCentre)
{
    const Planes planes = planesOf(mosaic(16));
    ASSERT_EQ(saver_.SaveAsCursor(planes.colour, planes.mask, kSide, kSide, 4, 3, 4, kCursor), Glsave32::kSaved);
    std::string target = kAnimation;
    std::int16_t reserved = 0;

    ASSERT_EQ(saver_.SaveAsANI({frames_[0], kCursor}, {20, 20}, target, reserved), Glsave32::kSaved);

    const formats::AniFile file = parseAnimation();
    ASSERT_EQ(file.frames.size(), 2u);
    const QByteArray icon = read(frames_[0]);
    const ByteVector& stored = file.frames[0].fileBytes;
    const ByteReader reader(stored);
    EXPECT_EQ(reader.u16le(2), std::uint16_t{2});  // idType: cursor
    EXPECT_EQ(reader.u16le(10), std::uint16_t{16}); // hot spot x
    EXPECT_EQ(reader.u16le(12), std::uint16_t{16}); // hot spot y
    // Only the directory changed: the image data is the .ico's, byte for byte.
    ASSERT_EQ(stored.size(), static_cast<std::size_t>(icon.size()));
    EXPECT_TRUE(std::equal(stored.begin() + kDib, stored.end(), icon.begin() + kDib,
        [](std::uint8_t a, char b) { return a == static_cast<unsigned char>(b); }));
    EXPECT_EQ(file.frames[0].image.hotspotX, 16);
    EXPECT_EQ(file.frames[1].image.hotspotX, 3);
    EXPECT_EQ(file.frames[1].image.hotspotY, 4);
}

TEST_F(Glsave32AniTest, FailuresSayWhyAndLeaveTheTargetAsItWas)
{
    root_.writeFile(QStringLiteral("C:\\Out\\junk.ico"), QByteArray(766, '\x01'));
    root_.writeFile(QStringLiteral("C:\\Out\\huge.ico"), QByteArray(Glsave32::kMaxFrameFileSize + 1, '\0'));
    const std::string missing = "C:\\Out\\9.ico";
    const struct {
        const char* what;
        std::vector<std::string> frames;
        std::vector<std::int32_t> rates;
        std::string target;
        std::int16_t status;
    } cases[] = {
        {"no frames", {}, {}, kAnimation, Glsave32::AniNoFrames},
        {"missing frame", {frames_[0], missing}, {20, 20}, kAnimation, Glsave32::AniFrameUnreadable},
        {"frame on no drive", {"Q:\\0.ico"}, {20}, kAnimation, Glsave32::AniFrameUnreadable},
        {"frame not an icon", {frames_[0], "C:\\Out\\junk.ico"}, {20, 20}, kAnimation, Glsave32::AniFrameUnreadable},
        {"frame too large", {"C:\\Out\\huge.ico"}, {20}, kAnimation, Glsave32::AniTooLarge},
        {"fewer rates", frames_, {20, 20}, kAnimation, Glsave32::AniBadRates},
        {"more rates", frames_, {20, 20, 20, 20}, kAnimation, Glsave32::AniBadRates},
        {"zero rate", frames_, {20, 0, 20}, kAnimation, Glsave32::AniBadRates},
        {"negative rate", frames_, {20, 20, -20}, kAnimation, Glsave32::AniBadRates},
        {"missing folder", frames_, {20, 20, 20}, "C:\\Missing\\a.ani", Glsave32::AniTargetUnwritable},
        {"no drive", frames_, {20, 20, 20}, "D:\\a.ani", Glsave32::AniTargetUnwritable},
        {"no name", frames_, {20, 20, 20}, "", Glsave32::AniTargetUnwritable},
    };
    root_.writeFile(windows(kAnimation), "old");
    const QStringList before = outFolder();
    for (const auto& c : cases) {
        std::string target = c.target;
        std::int16_t reserved = 0;
        EXPECT_EQ(saver_.SaveAsANI(c.frames, c.rates, target, reserved), Glsave32::kNotSaved) << c.what;
        EXPECT_EQ(reserved, c.status) << c.what;
        EXPECT_EQ(target, c.target) << c.what;
    }
    EXPECT_EQ(read(kAnimation), "old");
    EXPECT_EQ(outFolder(), before);
    EXPECT_FALSE(QFile::exists(root_.host(QStringLiteral("C:\\Missing"))));
}

} // namespace
} // namespace glyphary
