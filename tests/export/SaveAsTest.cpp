// Save As in its modes and by extension, with the files read back by our codecs.
#include "export/Exporter.h"
#include "export/SaveAsDialog.h"

#include "core/AppContext.h"
#include "core/IconPlanes.h"
#include "core/MainSession.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "formats/AniCodec.h"
#include "formats/BmpCodec.h"
#include "formats/IcoCodec.h"
#include "libs/glsave32/Glsave32.h"
#include "platform/Win32Types.h"
#include "support/GuiApplication.h"
#include "support/ReadOnlyFolder.h"
#include "support/SessionFixture.h"
#include "windows/frmAni.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::exporting;

namespace {

// A 32 x 32 picture: the left half transparent, the right half the colour.
QImage halfPicture(QRgb colour)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 32; ++y)
        for (int x = 16; x < 32; ++x)
            image.setPixel(x, y, colour);
    return image;
}

TEST(SaveAsDialog, TheTypeChoosesFilterExtensionAndEntryAndTheEntryItsExtension)
{
    const auto cursor = saveAsRequest(QStringLiteral("Theme Cursor"), QStringLiteral("Arrow"));
    EXPECT_EQ(cursor.filter, QStringLiteral("Icon (*.ico)|*.ico|Cursor (*.cur)|*.cur|Bitmap (*.bmp)|*.bmp"));
    EXPECT_EQ(cursor.defaultExtension, QStringLiteral("cur"));
    EXPECT_EQ(cursor.filterIndex, 2);
    EXPECT_EQ(cursor.fileName, QStringLiteral("Arrow"));
    EXPECT_EQ(cursor.flags, 0x200C06);

    const auto animation = saveAsRequest(QStringLiteral("Hi-Color Animation"), QStringLiteral("fire"));
    EXPECT_EQ(animation.filter, QStringLiteral("Icon (*.ico)|*.ico|Cursor (*.cur)|*.cur|Bitmap (*.bmp)|*.bmp|"
                                               "Animated icon (*.ani)|*.ani|Seperate icons (*.ico)|*.ico"));
    EXPECT_EQ(animation.defaultExtension, QStringLiteral("ani"));
    EXPECT_EQ(animation.filterIndex, 4);
    EXPECT_EQ(saveAsRequest(QStringLiteral("Animated Cursor"), {}).filterIndex, 4);

    const auto library = saveAsRequest(QStringLiteral("Icon Library"), {});
    EXPECT_EQ(library.defaultExtension, QStringLiteral("ico"));
    EXPECT_EQ(library.filterIndex, 1);

    EXPECT_EQ(withForcedExtension(QStringLiteral("C:\\myicon"), EntryIcon), QStringLiteral("C:\\myicon.ico"));
    EXPECT_EQ(withForcedExtension(QStringLiteral("C:\\myicon.ICO"), EntryIcon), QStringLiteral("C:\\myicon.ICO"));
    EXPECT_EQ(withForcedExtension(QStringLiteral("C:\\myicon.ico"), EntryCursor), QStringLiteral("C:\\myicon.ico.cur"));
    EXPECT_EQ(withForcedExtension(QStringLiteral("C:\\fire"), EntrySeparateIcons), QStringLiteral("C:\\fire.ico"));
    EXPECT_EQ(withForcedExtension(QStringLiteral("C:\\fire"), EntryAnimation), QStringLiteral("C:\\fire.ani"));
    EXPECT_EQ(withForcedExtension(QStringLiteral("C:\\pic"), EntryBitmap), QStringLiteral("C:\\pic.bmp"));

    // Favorite names refuse nine characters.
    EXPECT_TRUE(isLegalFavoriteName(QStringLiteral("My \"star\" icon")));
    for (const QString& bad : {QStringLiteral("a:b"), QStringLiteral("a?"), QStringLiteral("a\u201Db"), QStringLiteral("a/b"),
                               QStringLiteral("a\\b"), QStringLiteral("<a"), QStringLiteral("a>"), QStringLiteral("a*"),
                               QStringLiteral("a|b")})
        EXPECT_FALSE(isLegalFavoriteName(bad)) << bad.toStdString();
}

class SaveAsTest : public ::testing::Test, protected glyphary::testing::SessionParts<> {
protected:
    void SetUp() override
    {
        glyphary::testing::ensureGuiApplication();
        context.TempFolder = QStringLiteral("c:\\windows\\temp\\");
        context.WindowsFolder = QStringLiteral("C:\\WINDOWS");
        QDir().mkpath(root.host(QStringLiteral("C:\\WINDOWS\\TEMP")));
        QDir().mkpath(root.host(QStringLiteral("C:\\Out")));
        window.shown.backColor = Qt::white;
        session.handle(Command::SaveAs, [this] { exporter.saveAs(); });
    }

    void select(const QString& name, const QString& type, const QString& item, const QImage& image = halfPicture(qRgb(0, 0, 255)))
    {
        window.row = SelectedRow{name, type, QStringLiteral("File"), item, image};
    }
    void answerSave(const QString& fileName, int entry)
    {
        root.dialogs().fileAnswers.push_back(platform::FileDialogResult{{fileName}, entry});
    }
    formats::ByteVector read(const QString& windowsPath)
    {
        const QByteArray data = root.readFile(windowsPath);
        return formats::ByteVector(data.begin(), data.end());
    }
    bool exists(const QString& windowsPath) { return QFile::exists(root.host(windowsPath)); }

    // A six-frame animation in the root, each frame a different red, and its six result items.
    void sixFrameAnimation()
    {
        Glsave32 writer(root.platform().paths());
        std::vector<std::string> frames;
        for (int n = 0; n < 6; ++n) {
            const std::string frame = "C:\\Out\\f" + std::to_string(n) + ".ico";
            platform::Icon icon;
            icon.image = halfPicture(qRgb(40 * n, 0, 0));
            const IconPlanes planes = procMask(icon);
            ASSERT_EQ(writer.SaveAsIcon(planes.colour, planes.mask, 32, 32, 16, frame), Glsave32::kSaved);
            frames.push_back(frame);
        }
        std::string target = "C:\\Icons\\fire.ani";
        QDir().mkpath(root.host(QStringLiteral("C:\\Icons")));
        std::int16_t status = 0;
        ASSERT_EQ(writer.SaveAsANI(frames, std::vector<std::int32_t>(6, 10), target, status), Glsave32::kSaved);
        for (int n = 0; n < 6; ++n) {
            QFile::remove(root.host(QStringLiteral("C:\\Out\\f%1.ico").arg(n)));
            session.cmbResult.add(QStringLiteral("C:\\Icons\\fire.ani;%1;frame %2;5open").arg(n).arg(n + 1));
        }
        session.cmbResult.add(QStringLiteral("C:\\Icons\\other.ico;0;other;2open"));
        select(QStringLiteral("fire.ani frame 1"), QStringLiteral("Hi-Color Animation"),
               QStringLiteral("C:\\Icons\\fire.ani;0;frame 1;5open"));
    }
    QStringList tempFiles() { return QDir(root.host(QStringLiteral("C:\\WINDOWS\\TEMP"))).entryList(QDir::Files); }

    Exporter exporter{session};
};

TEST_F(SaveAsTest, AnIconIsWrittenAtTheDepthOfItsTypeWithItsTransparency)
{
    select(QStringLiteral("star"), QStringLiteral("256 Color Icon"), QStringLiteral("C:\\Icons\\star.ico;0;star;1open"));
    answerSave(QStringLiteral("C:\\Out\\myicon"), EntryIcon);
    ASSERT_TRUE(session.run(Command::SaveAs));
    ASSERT_EQ(root.dialogs().fileRequests.size(), 1u);
    EXPECT_EQ(root.dialogs().fileRequests[0].fileName, QStringLiteral("star"));
    EXPECT_TRUE(root.dialogs().fileRequests[0].title.isEmpty());

    const auto file = formats::parseIco(read(QStringLiteral("C:\\Out\\myicon.ico")));
    ASSERT_TRUE(file) << "the name got its extension";
    ASSERT_EQ(file.value->entries.size(), 1u);
    const formats::IconImage& image = *file.value->entries[0].image;
    EXPECT_EQ(image.bitsPerPixel, 8);
    EXPECT_EQ(qAlpha(image.image.pixel(3, 3)), 0);
    EXPECT_EQ(image.image.pixel(20, 3), qRgb(0, 0, 255));
    EXPECT_EQ(context.ColourDepth, 8);
    EXPECT_EQ(root.dialogs().mousePointer, 0);
}

TEST_F(SaveAsTest, ACursorAsksForItsHotSpotAndWritesIt)
{
    int placed = 0;
    session.setHotSpotPlacer([&] {
        ++placed;
        context.HotSpotX = 5;
        context.HotSpotY = 7;
    });
    select(QStringLiteral("Arrow"), QStringLiteral("Theme Cursor"), QStringLiteral("C:\\a.cur;0;x;tsytu"));
    answerSave(QStringLiteral("C:\\Out\\arrow"), EntryCursor);
    session.run(Command::SaveAs);
    EXPECT_EQ(placed, 1);
    ASSERT_EQ(root.dialogs().messages.size(), 1u);
    EXPECT_EQ(root.dialogs().messages[0].title, QStringLiteral("Change Cursors"));
    EXPECT_EQ(root.dialogs().messages[0].secondButton, QStringLiteral("Define Hotspot Now"));
    EXPECT_EQ(root.dialogs().messages[0].flagName, QStringLiteral("NoCursorChange"));

    const auto file = formats::parseIco(read(QStringLiteral("C:\\Out\\arrow.cur")));
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value->type, formats::IconFileType::Cursor);
    EXPECT_EQ(file.value->entries[0].stored.planesOrHotspotX, 5);
    EXPECT_EQ(file.value->entries[0].stored.bitCountOrHotspotY, 7);

    // Turned off, the reminder is skipped but the hot spot is still placed.
    settings.write(setting::NoCursorChange, qint32(1));
    answerSave(QStringLiteral("C:\\Out\\arrow2.cur"), EntryCursor);
    session.run(Command::SaveAs);
    EXPECT_EQ(root.dialogs().messages.size(), 1u);
    EXPECT_EQ(placed, 2);
    EXPECT_TRUE(exists(QStringLiteral("C:\\Out\\arrow2.cur")));
}

TEST_F(SaveAsTest, ABitmapIsTheRowOnTheViewBackgroundAndAnAnimationRowCanBeOneCursor)
{
    window.shown.backColor = QColor(255, 0, 255);
    select(QStringLiteral("star"), QStringLiteral("16 Color Icon"), QStringLiteral("C:\\Icons\\star.ico;0;star;0open"));
    answerSave(QStringLiteral("C:\\Out\\star"), EntryBitmap);
    session.run(Command::SaveAs);
    const auto bitmap = formats::parseBmp(read(QStringLiteral("C:\\Out\\star.bmp")));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap.value->size(), QSize(32, 32));
    EXPECT_EQ(bitmap.value->pixel(2, 2) & 0xFFFFFF, 0xFF00FFu);
    EXPECT_EQ(bitmap.value->pixel(30, 2) & 0xFFFFFF, 0x0000FFu);

    sixFrameAnimation();
    answerSave(QStringLiteral("C:\\Out\\one"), EntryCursor);
    session.run(Command::SaveAs);
    const auto cursor = formats::parseIco(read(QStringLiteral("C:\\Out\\one.cur")));
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor.value->entries.size(), 1u);
}

TEST_F(SaveAsTest, AnAnimationIsSavedWholeAtTwentyJiffiesOrAsNumberedIconsAndUnreadableFramesAreCounted)
{
    sixFrameAnimation();
    answerSave(QStringLiteral("C:\\Out\\copy"), EntryAnimation);
    session.run(Command::SaveAs);
    const auto animation = formats::parseAni(read(QStringLiteral("C:\\Out\\copy.ani")));
    ASSERT_TRUE(animation);
    ASSERT_EQ(animation.value->frames.size(), 6u);
    ASSERT_EQ(animation.value->steps.size(), 6u);
    for (std::uint32_t n = 0; n < 6; ++n) {
        EXPECT_EQ(animation.value->steps[n].frame, n);
        EXPECT_EQ(animation.value->steps[n].jiffies, 20u);
        EXPECT_EQ(animation.value->frames[n].image.image.pixel(20, 5), qRgb(40 * static_cast<int>(n), 0, 0)) << n;
    }
    EXPECT_EQ(context.picFilm.size(), 6u);
    EXPECT_EQ(context.AnimationFrameFlag, kFalse);
    EXPECT_TRUE(tempFiles().isEmpty()) << tempFiles().join(u' ').toStdString();

    // Separate icons are numbered beside the name, and no frame file stays.
    answerSave(QStringLiteral("C:\\Out\\fire.ico"), EntrySeparateIcons);
    session.run(Command::SaveAs);
    for (int n = 0; n < 6; ++n) {
        const auto icon = formats::parseIco(read(QStringLiteral("C:\\Out\\fire%1.ico").arg(n)));
        ASSERT_TRUE(icon) << n;
        EXPECT_EQ(icon.value->entries[0].image->image.pixel(20, 5), qRgb(40 * n, 0, 0));
    }
    EXPECT_FALSE(exists(QStringLiteral("C:\\Out\\fire.ico")));
    EXPECT_TRUE(tempFiles().isEmpty());

    session.cmbResult.add(QStringLiteral("C:\\Icons\\fire.ani;6;frame 7;5open")); // past the last step
    answerSave(QStringLiteral("C:\\Out\\short"), EntryAnimation);
    const std::size_t prompts = root.dialogs().prompts.size();
    session.run(Command::SaveAs);
    const auto shorter = formats::parseAni(read(QStringLiteral("C:\\Out\\short.ani")));
    ASSERT_TRUE(shorter);
    EXPECT_EQ(shorter.value->frames.size(), 6u);
    ASSERT_EQ(root.dialogs().prompts.size(), prompts + 2);
    EXPECT_EQ(root.dialogs().prompts.back().text,
              QStringLiteral("C:\\Out\\short.ani was saved with 6 frames: 1 frames of the animation could not be read."));

    // An animation file gone since it was listed: nothing is written, and the person is told.
    QFile::remove(root.host(QStringLiteral("C:\\Icons\\fire.ani")));
    answerSave(QStringLiteral("C:\\Out\\gone"), EntryAnimation);
    session.run(Command::SaveAs);
    EXPECT_FALSE(exists(QStringLiteral("C:\\Out\\gone.ani")));
    EXPECT_EQ(root.dialogs().prompts.back().text,
              QStringLiteral("C:\\Out\\gone.ani could not be saved.\rNone of the animation's frames could be read."));
}

TEST_F(SaveAsTest, CancelWritesNothingAndAFailedWriteSaysWhyAndLeavesNoFile)
{
    select(QStringLiteral("star"), QStringLiteral("Hi-Color Icon"), QStringLiteral("C:\\Icons\\star.ico;0;star;2open"));
    root.dialogs().fileAnswers.push_back(std::nullopt);
    session.run(Command::SaveAs);
    EXPECT_TRUE(QDir(root.host(QStringLiteral("C:\\Out"))).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(root.dialogs().prompts.size(), 1u) << "only the dialog";

    QDir().mkpath(root.host(QStringLiteral("C:\\Locked")));
    glyphary::testing::ReadOnlyFolder locked(root.host(QStringLiteral("C:\\Locked")));
    if (!locked.active())
        GTEST_SKIP() << "this file system lets this process write anywhere";
    answerSave(QStringLiteral("C:\\Locked\\star.ico"), EntryIcon);
    session.run(Command::SaveAs);
    const glyphary::testing::Prompt& told = root.dialogs().prompts.back();
    EXPECT_EQ(told.title, QStringLiteral("Save As"));
    EXPECT_TRUE(told.text.startsWith(QStringLiteral("C:\\Locked\\star.ico could not be saved.\r"))) << told.text.toStdString();
    EXPECT_GT(told.text.size(), QStringLiteral("C:\\Locked\\star.ico could not be saved.\r").size()) << "with a reason";
    EXPECT_EQ(told.flags, platform::MB_ICONEXCLAMATION);
    EXPECT_TRUE(QDir(root.host(QStringLiteral("C:\\Locked"))).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(SaveAsTest, FavoritesModesSaveIntoTheFolderAndCheckADroppedName)
{
    QDir().mkpath(root.host(QStringLiteral("C:\\Fav\\Work")));
    select(QStringLiteral("star"), QStringLiteral("Hi-Color Icon"), QStringLiteral("C:\\Icons\\star.ico;0;star;2open"));

    // Add to Favorites: the dialog opens in the folder with its own title.
    context.FavoritesFlag = kTrue;
    context.SaveAsFolder = QStringLiteral("C:\\Fav\\Work");
    answerSave(QStringLiteral("C:\\Fav\\Work\\star"), EntryIcon);
    session.run(Command::SaveAs);
    EXPECT_EQ(root.dialogs().fileRequests.back().title, QStringLiteral("Add to Favorites"));
    EXPECT_EQ(root.dialogs().fileRequests.back().initialFolder, QStringLiteral("C:\\Fav\\Work"));
    EXPECT_TRUE(exists(QStringLiteral("C:\\Fav\\Work\\star.ico")));

    // A drop: no dialog for a free legal name, and the flag is cleared.
    context.FavoritesDropFlag = kTrue;
    context.SaveAsName = QStringLiteral("sun");
    session.run(Command::SaveAs);
    EXPECT_EQ(context.FavoritesDropFlag, kFalse);
    EXPECT_TRUE(exists(QStringLiteral("C:\\Fav\\Work\\sun.ico")));
    EXPECT_EQ(root.dialogs().fileRequests.size(), 1u);

    // A colon: the message; Cancel ends it.
    context.FavoritesDropFlag = kTrue;
    context.SaveAsName = QStringLiteral("a:b");
    root.dialogs().messageBoxAnswers.push_back(platform::IDCANCEL);
    session.run(Command::SaveAs);
    EXPECT_EQ(root.dialogs().prompts.back().text,
              QStringLiteral("The Favorite Name contains illegal characters, do not use ?\u201D/\\<>*|: characters. "
                             "Please specify the Favorite Name"));
    EXPECT_EQ(root.dialogs().prompts.back().title, QStringLiteral("Add to Favorites"));
    EXPECT_EQ(root.dialogs().prompts.back().flags, platform::MB_OKCANCEL | platform::MB_ICONINFORMATION);
    EXPECT_EQ(root.dialogs().fileRequests.size(), 1u);

    // An existing name: the message; OK asks for another name, which is taken as typed.
    context.FavoritesDropFlag = kTrue;
    context.SaveAsName = QStringLiteral("sun");
    root.dialogs().messageBoxAnswers.push_back(platform::IDOK);
    answerSave(QStringLiteral("C:\\Fav\\Work\\moon"), EntryIcon);
    session.run(Command::SaveAs);
    EXPECT_EQ(root.dialogs().prompts[root.dialogs().prompts.size() - 2].text,
              QStringLiteral("A Favorite with this Name already excists in this Favorites Folder.\rPlease specify a new Favorite Name."));
    EXPECT_EQ(root.dialogs().prompts[root.dialogs().prompts.size() - 2].flags, platform::MB_OKCANCEL | platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(root.dialogs().fileRequests.back().title, QStringLiteral("Add to Favorites"));
    EXPECT_TRUE(exists(QStringLiteral("C:\\Fav\\Work\\moon.ico")));
}

TEST_F(SaveAsTest, PlayShowsThePlayerWithEveryFrameOfTheSelectedAnimation)
{
    sixFrameAnimation();
    installAnimationPlayer(session, exporter, nullptr);
    ASSERT_TRUE(session.run(Command::Play));
    frmAni* player = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* shown = qobject_cast<frmAni*>(top); shown && shown->isVisible())
            player = shown;
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->picIconBack->toolTip(), QStringLiteral("6 frames"));
    EXPECT_EQ(context.picFilm.size(), 6u);
    player->close();

    // Not an animation: nothing to play, no window.
    select(QStringLiteral("star"), QStringLiteral("Hi-Color Icon"), QStringLiteral("C:\\Icons\\star.ico;0;star;2book"));
    EXPECT_FALSE(exporter.collectFrames());
}

} // namespace
