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
    const QString still = QStringLiteral("Icon (*.ico)|*.ico|Cursor (*.cur)|*.cur|Bitmap (*.bmp)|*.bmp");
    const auto cursor = saveAsRequest(QStringLiteral("Theme Cursor"), QStringLiteral("Arrow"));
    EXPECT_EQ(std::tie(cursor.filter, cursor.defaultExtension, cursor.filterIndex, cursor.fileName, cursor.flags),
              std::make_tuple(still, QStringLiteral("cur"), 2, QStringLiteral("Arrow"), 0x200C06));
    const auto animation = saveAsRequest(QStringLiteral("Hi-Color Animation"), QStringLiteral("fire"));
    EXPECT_EQ(std::tie(animation.filter, animation.defaultExtension, animation.filterIndex),
              std::make_tuple(still + "|Animated icon (*.ani)|*.ani|Seperate icons (*.ico)|*.ico", QStringLiteral("ani"), 4));
    EXPECT_EQ(saveAsRequest(QStringLiteral("Animated Cursor"), {}).filterIndex, 4);
    const auto library = saveAsRequest(QStringLiteral("Icon Library"), {});
    EXPECT_EQ(std::tie(library.defaultExtension, library.filterIndex), std::make_tuple(QStringLiteral("ico"), 1));

    const std::tuple<const char*, int, const char*> named[] = {{"C:\\myicon", EntryIcon, "C:\\myicon.ico"},
        {"C:\\myicon.ICO", EntryIcon, "C:\\myicon.ICO"}, {"C:\\myicon.ico", EntryCursor, "C:\\myicon.ico.cur"},
        {"C:\\fire", EntrySeparateIcons, "C:\\fire.ico"}, {"C:\\fire", EntryAnimation, "C:\\fire.ani"},
        {"C:\\pic", EntryBitmap, "C:\\pic.bmp"}};
    for (const auto& [typed, entry, saved] : named)
        EXPECT_EQ(withForcedExtension(typed, entry), saved) << typed << " " << entry;

    // Favorite names refuse nine characters.
    EXPECT_TRUE(isLegalFavoriteName(QStringLiteral("My \"star\" icon")));
    for (const char16_t* bad : {u"a:b", u"a?", u"a\u201Db", u"a/b", u"a\\b", u"<a", u"a>", u"a*", u"a|b"})
        EXPECT_FALSE(isLegalFavoriteName(QString::fromUtf16(bad))) << QString::fromUtf16(bad).toStdString();
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

    void select(const char* name, const char* type, const char* item)
    {
        window.row = SelectedRow{name, type, "File", item, halfPicture(qRgb(0, 0, 255))};
    }
    void selectStar(const char* type = "Hi-Color Icon", const char* item = "C:\\Icons\\star.ico;0;star;2open")
    {
        select("star", type, item);
    }
    void answerSave(const QString& fileName, int entry)
    {
        root.dialogs().fileAnswers.push_back(platform::FileDialogResult{{fileName}, entry});
    }
    // Save As answered with `fileName` in the filter entry `entry`.
    void save(const QString& fileName, int entry)
    {
        answerSave(fileName, entry);
        session.run(Command::SaveAs);
    }
    formats::ByteVector read(const QString& windowsPath)
    {
        const QByteArray data = root.readFile(windowsPath);
        return formats::ByteVector(data.begin(), data.end());
    }
    auto ico(const QString& windowsPath) { return formats::parseIco(read(windowsPath)); }
    bool exists(const QString& windowsPath) { return QFile::exists(root.host(windowsPath)); }
    const glyphary::testing::Prompt& told(std::size_t back = 1) { return *(root.dialogs().prompts.end() - back); }

    // A six-frame animation in the root, each frame a different red, and its six result items.
    void sixFrameAnimation()
    {
        Glsave32 writer(root.platform().paths());
        std::vector<std::string> frames;
        for (int n = 0; n < 6; ++n) {
            frames.push_back("C:\\Out\\f" + std::to_string(n) + ".ico");
            platform::Icon icon;
            icon.image = halfPicture(qRgb(40 * n, 0, 0));
            const IconPlanes planes = procMask(icon);
            ASSERT_EQ(writer.SaveAsIcon(planes.colour, planes.mask, 32, 32, 16, frames.back()), Glsave32::kSaved);
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
        select("fire.ani frame 1", "Hi-Color Animation", "C:\\Icons\\fire.ani;0;frame 1;5open");
    }
    QStringList tempFiles() { return QDir(root.host(QStringLiteral("C:\\WINDOWS\\TEMP"))).entryList(QDir::Files); }

    Exporter exporter{session};
};

TEST_F(SaveAsTest, AnIconIsWrittenAtTheDepthOfItsTypeWithItsTransparency)
{
    selectStar("256 Color Icon", "C:\\Icons\\star.ico;0;star;1open");
    answerSave(QStringLiteral("C:\\Out\\myicon"), EntryIcon);
    ASSERT_TRUE(session.run(Command::SaveAs));
    ASSERT_EQ(root.dialogs().fileRequests.size(), 1u);
    EXPECT_EQ(root.dialogs().fileRequests[0].fileName, "star");
    EXPECT_TRUE(root.dialogs().fileRequests[0].title.isEmpty());

    const auto file = ico(QStringLiteral("C:\\Out\\myicon.ico"));
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
    select("Arrow", "Theme Cursor", "C:\\a.cur;0;x;tsytu");
    save(QStringLiteral("C:\\Out\\arrow"), EntryCursor);
    EXPECT_EQ(placed, 1);
    ASSERT_EQ(root.dialogs().messages.size(), 1u);
    const auto& reminder = root.dialogs().messages[0];
    EXPECT_EQ(QStringList({reminder.title, reminder.secondButton, reminder.flagName}),
              QStringList({"Change Cursors", "Define Hotspot Now", "NoCursorChange"}));
    const auto file = ico(QStringLiteral("C:\\Out\\arrow.cur"));
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value->type, formats::IconFileType::Cursor);
    EXPECT_EQ(file.value->entries[0].stored.planesOrHotspotX, 5);
    EXPECT_EQ(file.value->entries[0].stored.bitCountOrHotspotY, 7);

    // Turned off, the reminder is skipped but the hot spot is still placed.
    settings.write(setting::NoCursorChange, qint32(1));
    save(QStringLiteral("C:\\Out\\arrow2.cur"), EntryCursor);
    EXPECT_EQ(root.dialogs().messages.size(), 1u);
    EXPECT_EQ(placed, 2);
    EXPECT_TRUE(exists(QStringLiteral("C:\\Out\\arrow2.cur")));
}

TEST_F(SaveAsTest, ABitmapIsTheRowOnTheViewBackgroundAndAnAnimationRowCanBeOneCursor)
{
    window.shown.backColor = QColor(255, 0, 255);
    selectStar("16 Color Icon", "C:\\Icons\\star.ico;0;star;0open");
    save(QStringLiteral("C:\\Out\\star"), EntryBitmap);
    const auto bitmap = formats::parseBmp(read(QStringLiteral("C:\\Out\\star.bmp")));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap.value->size(), QSize(32, 32));
    EXPECT_EQ(bitmap.value->pixel(2, 2) & 0xFFFFFF, 0xFF00FFu);
    EXPECT_EQ(bitmap.value->pixel(30, 2) & 0xFFFFFF, 0x0000FFu);

    sixFrameAnimation();
    save(QStringLiteral("C:\\Out\\one"), EntryCursor);
    const auto cursor = ico(QStringLiteral("C:\\Out\\one.cur"));
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor.value->entries.size(), 1u);
}

TEST_F(SaveAsTest, AnAnimationIsSavedWholeAtTwentyJiffiesOrAsNumberedIconsAndUnreadableFramesAreCounted)
{
    sixFrameAnimation();
    save(QStringLiteral("C:\\Out\\copy"), EntryAnimation);
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
    save(QStringLiteral("C:\\Out\\fire.ico"), EntrySeparateIcons);
    for (int n = 0; n < 6; ++n) {
        const auto icon = ico(QStringLiteral("C:\\Out\\fire%1.ico").arg(n));
        ASSERT_TRUE(icon) << n;
        EXPECT_EQ(icon.value->entries[0].image->image.pixel(20, 5), qRgb(40 * n, 0, 0));
    }
    EXPECT_FALSE(exists(QStringLiteral("C:\\Out\\fire.ico")));
    EXPECT_TRUE(tempFiles().isEmpty());

    session.cmbResult.add(QStringLiteral("C:\\Icons\\fire.ani;6;frame 7;5open")); // past the last step
    const std::size_t prompts = root.dialogs().prompts.size();
    save(QStringLiteral("C:\\Out\\short"), EntryAnimation);
    const auto shorter = formats::parseAni(read(QStringLiteral("C:\\Out\\short.ani")));
    ASSERT_TRUE(shorter);
    EXPECT_EQ(shorter.value->frames.size(), 6u);
    ASSERT_EQ(root.dialogs().prompts.size(), prompts + 2);
    EXPECT_EQ(told().text, "C:\\Out\\short.ani was saved with 6 frames: 1 frames of the animation could not be read.");

    // An animation file gone since it was listed: nothing is written, and the person is told.
    QFile::remove(root.host(QStringLiteral("C:\\Icons\\fire.ani")));
    save(QStringLiteral("C:\\Out\\gone"), EntryAnimation);
    EXPECT_FALSE(exists(QStringLiteral("C:\\Out\\gone.ani")));
    EXPECT_EQ(told().text, "C:\\Out\\gone.ani could not be saved.\rNone of the animation's frames could be read.");
}

TEST_F(SaveAsTest, CancelWritesNothingAndAFailedWriteSaysWhyAndLeavesNoFile)
{
    selectStar();
    root.dialogs().fileAnswers.push_back(std::nullopt);
    session.run(Command::SaveAs);
    EXPECT_TRUE(QDir(root.host(QStringLiteral("C:\\Out"))).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(root.dialogs().prompts.size(), 1u) << "only the dialog";

    QDir().mkpath(root.host(QStringLiteral("C:\\Locked")));
    glyphary::testing::ReadOnlyFolder locked(root.host(QStringLiteral("C:\\Locked")));
    if (!locked.active())
        GTEST_SKIP() << "this file system lets this process write anywhere";
    save(QStringLiteral("C:\\Locked\\star.ico"), EntryIcon);
    const QString failed = QStringLiteral("C:\\Locked\\star.ico could not be saved.\r");
    EXPECT_EQ(told().title, "Save As");
    EXPECT_TRUE(told().text.startsWith(failed)) << told().text.toStdString();
    EXPECT_GT(told().text.size(), failed.size()) << "with a reason";
    EXPECT_EQ(told().flags, platform::MB_ICONEXCLAMATION);
    EXPECT_TRUE(QDir(root.host(QStringLiteral("C:\\Locked"))).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(SaveAsTest, FavoritesModesSaveIntoTheFolderAndCheckADroppedName)
{
    QDir().mkpath(root.host(QStringLiteral("C:\\Fav\\Work")));
    selectStar();
    const auto& requests = root.dialogs().fileRequests;
    const auto drop = [this](const char* name, std::optional<int> answer = std::nullopt) {
        context.FavoritesDropFlag = kTrue;
        context.SaveAsName = QString::fromLatin1(name);
        if (answer)
            root.dialogs().messageBoxAnswers.push_back(*answer);
        session.run(Command::SaveAs);
    };

    // Add to Favorites: the dialog opens in the folder with its own title.
    context.FavoritesFlag = kTrue;
    context.SaveAsFolder = QStringLiteral("C:\\Fav\\Work");
    save(QStringLiteral("C:\\Fav\\Work\\star"), EntryIcon);
    EXPECT_EQ(requests.back().title, "Add to Favorites");
    EXPECT_EQ(requests.back().initialFolder, "C:\\Fav\\Work");
    EXPECT_TRUE(exists(QStringLiteral("C:\\Fav\\Work\\star.ico")));

    // A drop: no dialog for a free legal name, and the flag is cleared.
    drop("sun");
    EXPECT_EQ(context.FavoritesDropFlag, kFalse);
    EXPECT_TRUE(exists(QStringLiteral("C:\\Fav\\Work\\sun.ico")));
    EXPECT_EQ(requests.size(), 1u);

    // A colon: the message; Cancel ends it.
    drop("a:b", platform::IDCANCEL);
    EXPECT_EQ(told().text, "The Favorite Name contains illegal characters, do not use ?\u201D/\\<>*|: characters. "
                           "Please specify the Favorite Name");
    EXPECT_EQ(told().title, "Add to Favorites");
    EXPECT_EQ(told().flags, platform::MB_OKCANCEL | platform::MB_ICONINFORMATION);
    EXPECT_EQ(requests.size(), 1u);

    // An existing name: the message; OK asks for another name, which is taken as typed.
    answerSave(QStringLiteral("C:\\Fav\\Work\\moon"), EntryIcon);
    drop("sun", platform::IDOK);
    EXPECT_EQ(told(2).text,
              "A Favorite with this Name already excists in this Favorites Folder.\rPlease specify a new Favorite Name.");
    EXPECT_EQ(told(2).flags, platform::MB_OKCANCEL | platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(requests.back().title, "Add to Favorites");
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
    EXPECT_EQ(player->picIconBack->toolTip(), "6 frames");
    EXPECT_EQ(context.picFilm.size(), 6u);
    player->close();

    // On a dense screen the player shows frames drawn for it; what Save As writes stays 32 x 32.
    window.scale = 2;
    ASSERT_TRUE(session.run(Command::Play));
    ASSERT_EQ(context.picFilm.size(), 6u);
    EXPECT_EQ(context.picFilm.front().size(), QSize(64, 64));
    EXPECT_EQ(context.picFilm.front().devicePixelRatio(), 2.0);
    EXPECT_EQ(player->picIconBack->pixmap().devicePixelRatio(), 2.0);
    player->close();
    save(QStringLiteral("C:\\Out\\dense"), EntryAnimation);
    const auto saved = formats::parseAni(read(QStringLiteral("C:\\Out\\dense.ani")));
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved.value->frames.size(), 6u);
    EXPECT_EQ(saved.value->frames[0].image.image.size(), QSize(32, 32));

    // Not an animation: nothing to play, no window.
    selectStar("Hi-Color Icon", "C:\\Icons\\star.ico;0;star;2book");
    EXPECT_FALSE(exporter.collectFrames());
}

} // namespace
