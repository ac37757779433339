// Rows on a dense screen carry a picture drawn from the icon's larger images, and what the drawing
// says about a page reaches the message panel through the session.
#include "app/ResultListWidget.h"
#include "core/AppContext.h"
#include "core/ItemList.h"
#include "core/Settings.h"
#include "platform/IconFunctions.h"
#include "sources/CoreLibrary.h"
#include "sources/ResultDrawing.h"
#include "support/GuiApplication.h"
#include "support/IconBytes.h"
#include "support/SessionFixture.h"

#include <gtest/gtest.h>

using namespace glyphary;

namespace {

constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;

// An .ico of solid squares, one colour per side.
formats::ByteVector solidIcon(std::initializer_list<std::pair<int, QRgb>> sides)
{
    std::vector<test::IcoImageEntry> entries;
    for (const auto& [side, colour] : sides) {
        const auto stored = static_cast<std::uint8_t>(side % 256);
        entries.push_back({stored, stored, 0, 1, 32, test::pngBytes(test::imageOf(side, side, [colour](int, int) { return colour; }))});
    }
    return test::iconFile(1, entries);
}

class SharpPicturesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parts.root.writeFile(QStringLiteral("C:\\Icons\\three.ico"), solidIcon({{16, kGreen}, {32, kRed}, {256, kBlue}}));
        parts.root.writeFile(QStringLiteral("C:\\Icons\\small.ico"), solidIcon({{16, kGreen}, {24, kBlue}}));
    }

    RowResult draw(const QString& file, int scale)
    {
        drawing.setPictureScale(scale);
        return drawing.readRow(file + QStringLiteral(";0;x;0open"), 0, 1).value_or(RowResult{});
    }

    glyphary::testing::SessionParts<> parts;
    platform::IconFunctions icons{parts.root.platform().paths()};
    CoreLibrary library{parts.context};
    ItemList lstFiles;
    ResultDrawing drawing{parts.context, icons, library, lstFiles};
};

TEST_F(SharpPicturesTest, DenseScreensGetTheLargerImageWhereWindowsWouldScaleTheSmallerUp)
{
    const RowResult plain = draw(QStringLiteral("C:\\Icons\\three.ico"), 1);
    EXPECT_EQ(plain.image.size(), QSize(32, 32));
    EXPECT_EQ(plain.image.pixel(16, 16), kRed);
    EXPECT_TRUE(plain.sharpImage.isNull()) << "nothing more to draw at scale 1";

    const RowResult dense = draw(QStringLiteral("C:\\Icons\\three.ico"), 2);
    EXPECT_EQ(dense.image.pixel(16, 16), kRed) << "the 32 x 32 picture stays Windows' choice";
    ASSERT_EQ(dense.sharpImage.size(), QSize(64, 64));
    EXPECT_EQ(dense.sharpImage.devicePixelRatio(), 2.0);
    EXPECT_EQ(dense.sharpImage.pixel(32, 32), kBlue) << "scaled down from 256, not up from 32";

    // Without an image that reaches 64, the largest is the best there is.
    const RowResult small = draw(QStringLiteral("C:\\Icons\\small.ico"), 2);
    ASSERT_EQ(small.sharpImage.size(), QSize(64, 64));
    EXPECT_EQ(small.sharpImage.pixel(32, 32), kBlue);

    // A file that is no icon keeps its no-icon picture and gets no sharp one.
    parts.root.writeFile(QStringLiteral("C:\\Icons\\junk.ico"), "not an icon");
    EXPECT_TRUE(draw(QStringLiteral("C:\\Icons\\junk.ico"), 2).sharpImage.isNull());
}

TEST_F(SharpPicturesTest, EachStepOfAnAnimationIsDrawnFromItsFramesLargerImage)
{
    formats::ByteVector frames;
    for (const QRgb colour : {kRed, kBlue})
        formats::putBytes(frames, test::riffChunk("icon", solidIcon({{32, kGreen}, {64, colour}})));
    parts.root.writeFile(QStringLiteral("C:\\Icons\\two.ani"),
                         test::riffFile("ACON", test::join({test::riffChunk("anih", test::aniHeader(2, 2, 6, formats::kAniFlagIcon)),
                                                            test::riffList("fram", frames)})));
    drawing.setPictureScale(2);
    for (const auto& [step, colour] : {std::pair{0, kRed}, std::pair{1, kBlue}}) {
        const QString item = QStringLiteral("C:\\Icons\\two.ani;") + QString::number(step) + QStringLiteral(";x;0open");
        const RowResult row = drawing.readRow(item, 0, 1).value_or(RowResult{});
        ASSERT_EQ(row.sharpImage.size(), QSize(64, 64)) << step;
        EXPECT_EQ(row.sharpImage.pixel(32, 32), colour) << step;
    }
    EXPECT_TRUE(drawing.readRow(QStringLiteral("C:\\Icons\\two.ani;2;x;0open"), 0, 1)->sharpImage.isNull()) << "past the last step";
}

// A reader that notes every page and the scale it was given.
struct NotingReader : ResultRowReader {
    std::optional<RowResult> readRow(const QString& item, std::int32_t, int) override
    {
        RowResult row;
        row.name = item;
        row.sharpImage = QImage(32 * scale, 32 * scale, QImage::Format_ARGB32);
        return row;
    }
    QString pageNote() override { return QStringLiteral("Some pictures are missing"); }
    void setPictureScale(int value) override { scale = value; }
    int scale = 0;
};

TEST_F(SharpPicturesTest, TheSessionPassesTheScaleToTheReaderAndItsNoteToTheFirstPage)
{
    NotingReader reader;
    parts.session.setRowReader(reader);
    parts.window.scale = 2;
    parts.session.cmbResult.add(QStringLiteral("C:\\a.ico;0;x;0open"));
    parts.session.cmbResult.add(QStringLiteral("C:\\b.ico;0;x;0open"));

    parts.session.pages().startListing();

    EXPECT_EQ(reader.scale, 2);
    ASSERT_EQ(parts.window.rows.size(), 2u);
    EXPECT_EQ(parts.window.rows.at(1).row.sharpImage.size(), QSize(64, 64));
    EXPECT_EQ(parts.window.text(StatusPanel::Message), QStringLiteral("Some pictures are missing"));
}

TEST_F(SharpPicturesTest, TheResultListDrawsTheSharpPictureOnADenseScreen)
{
    glyphary::testing::ensureGuiApplication();
    const RowResult row = draw(QStringLiteral("C:\\Icons\\three.ico"), 2);
    ResultListWidget list;
    list.addRow(row.image, row.sharpImage, QStringLiteral("three"), QString(), QString(), QStringLiteral("tag"));
    const QIcon icon = list.model()->item(0)->icon();
    EXPECT_EQ(list.sharpImage(0).size(), QSize(64, 64)) << "kept for the windows that show the selected row";

    const QImage dense = icon.pixmap(QSize(32, 32), 2.0).toImage();
    EXPECT_EQ(dense.size(), QSize(64, 64));
    EXPECT_EQ(dense.pixel(32, 32), kBlue);
    const QImage plain = icon.pixmap(QSize(32, 32), 1.0).toImage();
    EXPECT_EQ(plain.size(), QSize(32, 32));
    EXPECT_EQ(plain.pixel(16, 16), kRed);
}

} // namespace
