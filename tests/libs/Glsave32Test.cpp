#include "libs/glsave32/Glsave32.h"

#include "formats/AniCodec.h"
#include "formats/IcoCodec.h"
#include "support/IconBytes.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace glyphary {
namespace {

using formats::Bytes;
using test::samePixels;

constexpr int kSide = Glsave32::kIconSide;
const QString kOutFolder = QStringLiteral("C:\\Out");
const std::string kIcon = "C:\\Out\\saved.ico";
const std::string kCursor = "C:\\Out\\saved.cur";
const std::string kAnimation = "C:\\Out\\saved.ani";

// Offsets in a one-image 32 x 32 file: the DIB starts after ICONDIR and one entry.
constexpr qsizetype kDib = 22, kDibBitCount = kDib + 14;

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
    return pictureOf([=](int x, int y) {
        const int i = (y * 31 + x) % count;
        return qRgb(i * (256 / count), (i * 5) % 256, (i * 11) % 256);
    });
}

// Far more colours than any palette, all of them shades of blue and teal.
QImage blueGradient() { return pictureOf([](int x, int y) { return qRgb(0, 4 * x, 100 + 4 * y + x % 3); }); }

// The planes as the program's plane preparation gives them: colour black and mask white where transparent.
struct Planes {
    QImage colour;
    QImage mask;
};
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

Bytes bytesOf(const QByteArray& bytes)
{
    return Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
}

class Glsave32Test : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(root.host(kOutFolder))); }

    static QString windows(const std::string& ansi) { return QString::fromLatin1(ansi.c_str()); }
    QByteArray read(const std::string& name) const { return root.readFile(windows(name)); }
    QStringList outFolder() const
    {
        return QDir(root.host(kOutFolder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    formats::IcoFile parse(const std::string& name) const
    {
        auto parsed = formats::parseIco(bytesOf(read(name)));
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
        return saver.SaveAsIcon(planes.colour, planes.mask, kSide, kSide, bitsPerPixel, name);
    }
    std::int16_t saveCursor(const QImage& picture, int x, int y, const std::string& name = kCursor)
    {
        const Planes planes = planesOf(picture);
        return saver.SaveAsCursor(planes.colour, planes.mask, kSide, kSide, 4, x, y, name);
    }

    testing::TempRoot root;
    Glsave32 saver{root.platform().paths()};
};

TEST_F(Glsave32Test, PaletteDepthsKeepAPictureOfAsManyColoursExactlyAndReplaceAFileWhole)
{
    root.writeFile(windows(kIcon), QByteArray(5000, 'x'));
    for (const int bitsPerPixel : {4, 8}) {
        SCOPED_TRACE(bitsPerPixel);
        const QImage picture = mosaic(1 << bitsPerPixel);
        ASSERT_EQ(saveIcon(picture, bitsPerPixel), Glsave32::kSaved);
        EXPECT_EQ(read(kIcon).size(), bitsPerPixel == 4 ? 766 : 2238);
        const formats::IcoFile file = parse(kIcon);
        ASSERT_EQ(file.entries.size(), 1u);
        ASSERT_TRUE(file.entries[0].image);
        EXPECT_EQ(file.entries[0].image->bitsPerPixel, bitsPerPixel);
        EXPECT_TRUE(samePixels(file.entries[0].image->image, picture));
    }
    EXPECT_EQ(outFolder(), QStringList{QStringLiteral("saved.ico")});
    // Names are Windows-1252.
    ASSERT_EQ(saveIcon(mosaic(16), 4, "C:\\Out\\Caf\xE9.ico"), Glsave32::kSaved);
    EXPECT_TRUE(QFile::exists(root.host(QStringLiteral("C:\\Out\\Café.ico"))));
}

TEST_F(Glsave32Test, HiColourAndEveryOtherDepthWrite32BitArgbWithAnAndMask)
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

    ASSERT_EQ(saveIcon(mosaic(16), 16), Glsave32::kSaved);
    const QByteArray hiColour = read(kIcon);
    for (const int depth : {0, 1, 24, 32, -4, 1000}) {
        const std::string name = "C:\\Out\\depth" + std::to_string(depth) + ".ico";
        ASSERT_EQ(saveIcon(mosaic(16), depth, name), Glsave32::kSaved) << depth;
        EXPECT_EQ(read(name), hiColour) << depth;
    }
}

TEST_F(Glsave32Test, CursorKeepsItsHotSpotWhichMustLieInTheImage)
{
    for (const QPoint hotSpot : {QPoint(32, 0), QPoint(0, 32), QPoint(-1, 3)})
        EXPECT_EQ(saveCursor(mosaic(16), hotSpot.x(), hotSpot.y()), Glsave32::kNotSaved) << hotSpot.x() << "," << hotSpot.y();
    EXPECT_TRUE(outFolder().isEmpty());

    ASSERT_EQ(saveCursor(mosaic(16), 5, 7), Glsave32::kSaved);
    EXPECT_EQ(read(kCursor).size(), 766);
    const formats::IcoFile file = parse(kCursor);
    EXPECT_EQ(file.type, formats::IconFileType::Cursor);
    ASSERT_EQ(file.entries.size(), 1u);
    EXPECT_EQ(file.entries[0].stored.planesOrHotspotX, 5);
    EXPECT_EQ(file.entries[0].stored.bitCountOrHotspotY, 7);
    ASSERT_TRUE(file.entries[0].image);
    EXPECT_TRUE(samePixels(file.entries[0].image->image, mosaic(16)));
}

TEST_F(Glsave32Test, RefusesOtherSizesEmptyPlanesAndUnwritableTargetsLeavingThemAsTheyWere)
{
    root.writeFile(windows(kIcon), "old");
    const Planes good = planesOf(mosaic(16));
    const Planes small = planesOf(mosaic(16).copy(0, 0, 16, 16));
    const auto expectRefused = [&](const QImage& colour, const QImage& mask, int width, int height) {
        EXPECT_EQ(saver.SaveAsIcon(colour, mask, width, height, 4, kIcon), Glsave32::kNotSaved) << width << "x" << height;
        EXPECT_EQ(saver.SaveAsCursor(colour, mask, width, height, 4, 0, 0, kCursor), Glsave32::kNotSaved);
    };
    expectRefused(good.colour, good.mask, 16, kSide);
    expectRefused(good.colour, good.mask, kSide, 48);
    expectRefused(small.colour, small.mask, 16, 16);
    expectRefused(small.colour, good.mask, kSide, kSide);
    expectRefused(good.colour, small.mask, kSide, kSide);
    expectRefused(QImage(), good.mask, kSide, kSide);
    expectRefused(good.colour, QImage(), kSide, kSide);
    EXPECT_EQ(read(kIcon), "old");
    for (const std::string name : {"", "C:\\Missing\\a.ico", "D:\\a.ico", "\\\\server\\share\\a.ico", "a.ico", "C:\\Out",
                                   "C:\\Out\\"})
        EXPECT_EQ(saveIcon(mosaic(16), 4, name), Glsave32::kNotSaved) << name;
    EXPECT_EQ(outFolder(), QStringList{QStringLiteral("saved.ico")});
    EXPECT_FALSE(QFile::exists(root.host(QStringLiteral("C:\\Missing"))));
}

class Glsave32AniTest : public Glsave32Test {
protected:
    // Three frames as Save As writes them: one .ico each, at the three depths.
    void SetUp() override
    {
        Glsave32Test::SetUp();
        const int depths[] = {4, 8, 16};
        for (std::size_t n = 0; n < pictures.size(); ++n) {
            frames.push_back("C:\\Out\\" + std::to_string(n) + ".ico");
            ASSERT_EQ(saveIcon(pictures[n], depths[n], frames.back()), Glsave32::kSaved);
        }
    }
    formats::AniFile parseAnimation() const
    {
        auto parsed = formats::parseAni(bytesOf(read(kAnimation)));
        EXPECT_TRUE(parsed);
        return parsed ? *parsed.value : formats::AniFile{};
    }

    std::vector<QImage> pictures = {mosaic(16), mosaic(256), blueGradient()};
    std::vector<std::string> frames;
};

TEST_F(Glsave32AniTest, JoinsTheFramesEachWithItsOwnRate)
{
    std::string target = kAnimation;
    std::int16_t reserved = 99;
    ASSERT_EQ(saver.SaveAsANI(frames, {20, 6, 90}, target, reserved), Glsave32::kSaved);
    EXPECT_EQ(reserved, Glsave32::AniOk);
    EXPECT_EQ(target, kAnimation);
    const formats::AniFile file = parseAnimation();
    EXPECT_EQ(file.header.flags & formats::kAniFlagIcon, formats::kAniFlagIcon);
    EXPECT_EQ(file.header.jifRate, 20u);
    ASSERT_EQ(file.frames.size(), 3u);
    ASSERT_EQ(file.steps.size(), 3u);
    const std::uint32_t rates[] = {20, 6, 90};
    for (std::size_t n = 0; n < 3; ++n) {
        EXPECT_EQ(file.steps[n].frame, n);
        EXPECT_EQ(file.steps[n].jiffies, rates[n]);
        EXPECT_TRUE(samePixels(file.frames[n].image.image, pictures[n])) << n;
    }
}

TEST_F(Glsave32AniTest, IconFramesBecomeCursorsWithTheHotSpotAtTheCentre)
{
    ASSERT_EQ(saveCursor(mosaic(16), 3, 4), Glsave32::kSaved);
    std::string target = kAnimation;
    std::int16_t reserved = 0;
    ASSERT_EQ(saver.SaveAsANI({frames[0], kCursor}, {20, 20}, target, reserved), Glsave32::kSaved);

    const formats::AniFile file = parseAnimation();
    ASSERT_EQ(file.frames.size(), 2u);
    const QByteArray icon = read(frames[0]);
    const formats::ByteVector& stored = file.frames[0].fileBytes;
    const formats::ByteReader reader(stored);
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
    root.writeFile(QStringLiteral("C:\\Out\\junk.ico"), QByteArray(766, '\x01'));
    root.writeFile(QStringLiteral("C:\\Out\\huge.ico"), QByteArray(Glsave32::kMaxFrameFileSize + 1, '\0'));
    const struct {
        const char* what;
        std::vector<std::string> frames;
        std::vector<std::int32_t> rates;
        std::string target;
        std::int16_t status;
    } cases[] = {
        {"no frames", {}, {}, kAnimation, Glsave32::AniNoFrames},
        {"missing frame", {frames[0], "C:\\Out\\9.ico"}, {20, 20}, kAnimation, Glsave32::AniFrameUnreadable},
        {"frame on no drive", {"Q:\\0.ico"}, {20}, kAnimation, Glsave32::AniFrameUnreadable},
        {"frame not an icon", {frames[0], "C:\\Out\\junk.ico"}, {20, 20}, kAnimation, Glsave32::AniFrameUnreadable},
        {"frame too large", {"C:\\Out\\huge.ico"}, {20}, kAnimation, Glsave32::AniTooLarge},
        {"fewer rates", frames, {20, 20}, kAnimation, Glsave32::AniBadRates},
        {"more rates", frames, {20, 20, 20, 20}, kAnimation, Glsave32::AniBadRates},
        {"zero rate", frames, {20, 0, 20}, kAnimation, Glsave32::AniBadRates},
        {"negative rate", frames, {20, 20, -20}, kAnimation, Glsave32::AniBadRates},
        {"missing folder", frames, {20, 20, 20}, "C:\\Missing\\a.ani", Glsave32::AniTargetUnwritable},
        {"no drive", frames, {20, 20, 20}, "D:\\a.ani", Glsave32::AniTargetUnwritable},
        {"no name", frames, {20, 20, 20}, "", Glsave32::AniTargetUnwritable},
    };
    root.writeFile(windows(kAnimation), "old");
    const QStringList before = outFolder();
    for (const auto& c : cases) {
        std::string target = c.target;
        std::int16_t reserved = 0;
        EXPECT_EQ(saver.SaveAsANI(c.frames, c.rates, target, reserved), Glsave32::kNotSaved) << c.what;
        EXPECT_EQ(reserved, c.status) << c.what;
        EXPECT_EQ(target, c.target) << c.what;
    }
    EXPECT_EQ(read(kAnimation), "old");
    EXPECT_EQ(outFolder(), before);
    EXPECT_FALSE(QFile::exists(root.host(QStringLiteral("C:\\Missing"))));
}

} // namespace
} // namespace glyphary
