// Applying a change of each kind, and Windows Default, through the change window's logic.

#include "changer/ChangerFixture.h"
#include "core/RegistryText.h"
#include "core/SystemIconRow.h"
#include "formats/AniCodec.h"
#include "platform/ShortcutFile.h"
#include "sources/SystemIconTable.h"
#include "support/IconBytes.h"

#include <QDir>

using namespace glyphary;
using namespace glyphary::platform;
using glyphary::testing::ChangerFixture;
using glyphary::testing::kShellIcons;

namespace {

class FileTypeChangeTest : public ChangerFixture {
protected:
    FileTypeChangeTest()
    {
        set(HKEY_CLASSES_ROOT, ".txt", "", QStringLiteral("txtfile"));
        set(HKEY_CLASSES_ROOT, "txtfile", "", QStringLiteral("Text Document"));
        set(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "", kShellIcons + QStringLiteral(",0"));
    }
    void changeTextFiles()
    {
        list(SourceFamily::FileTypes);
        ASSERT_EQ(session.cmbResult.count(), 1);
        openAndDrop(0);
        controller().apply();
    }
    QString defaultIcon() { return value(HKEY_CLASSES_ROOT, QStringLiteral("txtfile\\DefaultIcon"), QString()); }
    QString backup() { return value(HKEY_CLASSES_ROOT, QStringLiteral("txtfile\\GlDefault"), QString()); }
};

TEST_F(FileTypeChangeTest, TheFirstSettingIsKeptOnceAndWindowsDefaultGoesBackToIt)
{
    changeTextFiles();
    EXPECT_EQ(defaultIcon(), QStringLiteral("C:\\WINDOWS\\Icons\\1.ico,0"));
    EXPECT_EQ(backup(), kShellIcons + QStringLiteral(",0"));
    EXPECT_TRUE(exists(QStringLiteral("C:\\WINDOWS\\Icons\\1.ico")));
    EXPECT_EQ(reminders(), (QStringList{QStringLiteral("SysFileTypeRestart"), QStringLiteral("SysCache")}));
    EXPECT_EQ(controller().view().prompt, changer::kPromptApplied);
    EXPECT_FALSE(controller().view().applyEnabled);
    EXPECT_TRUE(controller().view().next.isNull());

    // The second change replaces our own file under its number and leaves the backup alone.
    changeTextFiles();
    EXPECT_EQ(defaultIcon(), QStringLiteral("C:\\WINDOWS\\Icons\\1.ico,0"));
    EXPECT_EQ(backup(), kShellIcons + QStringLiteral(",0"));
    EXPECT_EQ(QDir(root.host(QStringLiteral("C:\\WINDOWS\\Icons"))).entryList(QDir::Files), QStringList{QStringLiteral("1.ico")});

    list(SourceFamily::FileTypes);
    select(0);
    ASSERT_TRUE(controller().open());
    controller().windowsDefault();
    EXPECT_EQ(controller().view().prompt, changer::kPromptChoose);
    EXPECT_FALSE(controller().view().next.isNull());
    controller().apply();
    EXPECT_EQ(defaultIcon(), kShellIcons + QStringLiteral(",0"));
    EXPECT_FALSE(exists(QStringLiteral("C:\\WINDOWS\\Icons\\1.ico")));
    EXPECT_TRUE(exists(kShellIcons)); // never ours to delete
}

TEST_F(FileTypeChangeTest, AVanishedClassOrARefusedRegistryChangesNothing)
{
    list(SourceFamily::FileTypes);
    openAndDrop(0);
    root.platform().registry().RegDeleteKeyA(HKEY_CLASSES_ROOT, "txtfile");
    controller().apply();
    ASSERT_EQ(root.dialogs().prompts.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts[0].text, QStringLiteral("The file type .txt has no class key txtfile any more: nothing was changed."));
    EXPECT_EQ(root.dialogs().prompts[0].title, QStringLiteral("Change File Type Icon"));
    EXPECT_FALSE(exists(QStringLiteral("C:\\WINDOWS\\Icons\\1.ico")));
    EXPECT_TRUE(controller().view().applyEnabled); // the person may try again

    // A machine hive that does not read to its end is never written: the numbered file written
    // for the change goes again.
    set(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "", kShellIcons + QStringLiteral(",0"));
    const QString hive = QStringLiteral("%1/system.reg").arg(root.rootPath());
    QFile file(hive);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray garbled = file.readAll() + "\n[Software\\\\Broken] 0\n\"cut=\n";
    file.close();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(garbled);
    file.close();
    controller().apply();
    EXPECT_EQ(root.dialogs().prompts.back().text,
              QStringLiteral("The registry refused the value HKEY_CLASSES_ROOT\\txtfile\\GlDefault: nothing was changed."));
    EXPECT_FALSE(exists(QStringLiteral("C:\\WINDOWS\\Icons\\1.ico")));
    EXPECT_EQ(defaultIcon(), kShellIcons + QStringLiteral(",0"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), garbled);
}

TEST_F(FileTypeChangeTest, NumberedFilesTakeTheSmallestFreeNumberAndOnlyOursAreDeleted)
{
    for (const char* name : {"1.ico", "2.ico", "3.ICO", "7.cur", "notes.ico"})
        root.writeFile(QStringLiteral("C:\\WINDOWS\\Icons\\") + QLatin1StringView(name), QByteArray("old"));
    changeTextFiles();
    EXPECT_EQ(defaultIcon(), QStringLiteral("C:\\WINDOWS\\Icons\\4.ico,0"));

    // A type on number 2 gets number 2 again, written whole over the old one.
    set(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "", QStringLiteral("C:\\windows\\icons\\2.ico,0"));
    changeTextFiles();
    EXPECT_EQ(defaultIcon(), QStringLiteral("C:\\WINDOWS\\Icons\\2.ico,0"));
    EXPECT_NE(root.readFile(QStringLiteral("C:\\WINDOWS\\Icons\\2.ico")), QByteArray("old"));
    EXPECT_TRUE(exists(QStringLiteral("C:\\WINDOWS\\Icons\\4.ico"))); // no longer the type's, but not in the way
    EXPECT_TRUE(exists(QStringLiteral("C:\\WINDOWS\\Icons\\1.ico")));

    const changer::IconsFolder icons(root.platform().paths(), context.WindowsFolder);
    EXPECT_TRUE(icons.isOwnFile(QStringLiteral("c:\\windows\\ICONS\\5000.ani")));
    for (const char* other : {"C:\\WINDOWS\\Icons\\5001.ico", "C:\\WINDOWS\\Icons\\0.ico", "C:\\WINDOWS\\Icons\\02.ico",
                              "C:\\WINDOWS\\Icons\\notes.ico", "C:\\WINDOWS\\Icons\\Old\\2.ico", "C:\\WINDOWS\\2.ico",
                              "C:\\WINDOWS\\Icons\\2.bmp"})
        EXPECT_FALSE(icons.isOwnFile(QLatin1StringView(other))) << other;
}

TEST_F(FileTypeChangeTest, WhenAllNumbersAreTakenNothingIsWrittenOrDeleted)
{
    const QString folder = root.host(QStringLiteral("C:\\WINDOWS\\Icons"));
    QDir().mkpath(folder);
    for (int number = 1; number <= 5000; ++number)
        QFile(folder + QStringLiteral("/%1.ico").arg(number)).open(QIODevice::WriteOnly);
    changeTextFiles();
    EXPECT_EQ(root.dialogs().prompts.back().text,
              QStringLiteral("All 5000 numbers for icons in C:\\WINDOWS\\Icons are taken: nothing was changed. Delete icons "
                             "there that no longer serve, then try again."));
    EXPECT_EQ(defaultIcon(), kShellIcons + QStringLiteral(",0"));
    EXPECT_EQ(QDir(folder).count(), 5002u);
    EXPECT_EQ(backup(), QStringLiteral("<no key>"));
}

class SystemIconChangeTest : public ChangerFixture {
protected:
    explicit SystemIconChangeTest(const QString& os = QStringLiteral("98")) : ChangerFixture(os) {}

    // Opens the table row `name` of the Desktop group as its listing shows it.
    void openRow(const QString& name)
    {
        const auto variant = sources::systemIconVariant(context.OsCode);
        for (const QString& row : sources::systemIconRows(SystemIconGroup::Desktop, variant)) {
            if (splitSystemIconRow(row).name == name)
                session.lstChange.add(row);
        }
        window.row = SelectedRow{name, QStringLiteral("System Icon"), QStringLiteral("File"),
                                 kShellIcons + QStringLiteral(";0;") + name + QStringLiteral(";wsysy"), QImage(32, 32, QImage::Format_ARGB32)};
        window.row->image.fill(Qt::red);
        ASSERT_TRUE(controller().open());
        controller().drop(name);
    }
    SystemIconRow row(const QString& name)
    {
        for (const QString& text : sources::systemIconRows(SystemIconGroup::Desktop, sources::systemIconVariant(context.OsCode))) {
            if (splitSystemIconRow(text).name == name)
                return splitSystemIconRow(text);
        }
        return {};
    }
    void setValue(const SystemIconRow& target, const QString& text)
    {
        root.platform().registry().setValue(rootKeyNamed(target.rootName), target.keyPath.toStdString(),
                                            target.valueName.toStdString(), REG_SZ, regString(text.toStdString()));
    }
    QString valueOf(const SystemIconRow& target, bool keyDefault = false)
    {
        return value(rootKeyNamed(target.rootName), target.keyPath, keyDefault ? QString() : target.valueName);
    }
};

TEST_F(SystemIconChangeTest, AValueThatIsNotThereStaysAbsent)
{
    const SystemIconRow computer = row(QStringLiteral("My Computer"));
    openRow(computer.name);
    controller().apply();
    EXPECT_EQ(valueOf(computer), QStringLiteral("<no key>"));
    EXPECT_FALSE(exists(QStringLiteral("C:\\WINDOWS\\Icons\\1.ico")));
    EXPECT_EQ(context.SystemIconsNeedRebuild, kFalse);

    setValue(computer, kShellIcons + QStringLiteral(",0"));
    controller().apply();
    EXPECT_EQ(valueOf(computer), QStringLiteral("C:\\WINDOWS\\Icons\\1.ico,0"));
    EXPECT_EQ(context.SystemIconsNeedRebuild, kTrue);
    EXPECT_EQ(reminders(), (QStringList{QStringLiteral("SysCache"), QStringLiteral("SysCache")}));

    // Still open on the changed icon.
    controller().windowsDefault();
    controller().apply();
    EXPECT_EQ(valueOf(computer), computer.defaultIcon);
    EXPECT_FALSE(exists(QStringLiteral("C:\\WINDOWS\\Icons\\1.ico")));
}

TEST_F(SystemIconChangeTest, TheEmptyRecycleBinIsAlsoTheKeysDefaultOn98)
{
    const SystemIconRow empty = row(QStringLiteral("Recycle Bin (Empty)"));
    const SystemIconRow full = row(QStringLiteral("Recycle Bin (Full)"));
    EXPECT_EQ(empty.rootName, QStringLiteral("HKEY_USERS"));
    for (const SystemIconRow& bin : {empty, full})
        setValue(bin, kShellIcons + QStringLiteral(",0"));
    root.platform().registry().setValue(rootKeyNamed(empty.rootName), empty.keyPath.toStdString(), "", REG_SZ,
                                        regString("old"));
    openRow(full.name);
    controller().apply();
    EXPECT_EQ(valueOf(full), QStringLiteral("C:\\WINDOWS\\Icons\\1.ico,0"));
    EXPECT_EQ(valueOf(empty, true), QStringLiteral("old"));
    openRow(empty.name);
    controller().apply();
    EXPECT_EQ(valueOf(empty), QStringLiteral("C:\\WINDOWS\\Icons\\2.ico,0"));
    EXPECT_EQ(valueOf(empty, true), QStringLiteral("C:\\WINDOWS\\Icons\\2.ico,0"));
}

class SystemIconChange95Test : public SystemIconChangeTest {
protected:
    SystemIconChange95Test() : SystemIconChangeTest(QStringLiteral("95")) {}
};

TEST_F(SystemIconChange95Test, TheRecycleBinKeyIsUnderTheClassesRoot)
{
    const SystemIconRow empty = row(QStringLiteral("Recycle Bin (Empty)"));
    EXPECT_EQ(empty.rootName, QStringLiteral("HKEY_CLASSES_ROOT"));
    setValue(empty, kShellIcons + QStringLiteral(",0"));
    openRow(empty.name);
    controller().apply();
    // No default value to follow: none is made.
    EXPECT_EQ(valueOf(empty, true), QStringLiteral("<none>"));
    root.platform().registry().setValue(HKEY_CLASSES_ROOT, empty.keyPath.toStdString(), "", REG_SZ, regString("x"));
    openRow(empty.name);
    controller().windowsDefault();
    controller().apply();
    EXPECT_EQ(valueOf(empty), empty.defaultIcon);
    EXPECT_EQ(valueOf(empty, true), empty.defaultIcon);
}

class CursorChangeTest : public ChangerFixture {
protected:
    CursorChangeTest() { set(HKEY_CURRENT_USER, "Control Panel\\Cursors", "Arrow", QStringLiteral("C:\\WINDOWS\\Cursors\\arrow.cur")); }
    QString arrow() { return value(HKEY_CURRENT_USER, QStringLiteral("Control Panel\\Cursors"), QStringLiteral("Arrow")); }
    int arrowRow()
    {
        list(SourceFamily::CurrentCursors);
        for (int index = 0; index < session.cmbResult.count(); ++index) {
            if (session.cmbResult.text(index).contains(QStringLiteral(";Control Panel\\Cursors\\Arrow;")))
                return index;
        }
        ADD_FAILURE() << "no Arrow row";
        return 0;
    }
};

TEST_F(CursorChangeTest, AStaticCursorKeepsTheHotSpotPlacedAndDefaultLeavesAnEmptyValue)
{
    root.writeFile(QStringLiteral("C:\\WINDOWS\\Cursors\\arrow.cur"), glyphary::testing::curFile({{glyphary::testing::dibImage(4), 1, 1}}));
    int placed = 0;
    QImage placedOn;
    session.setHotSpotPlacer([&](const QImage& image) {
        ++placed;
        placedOn = image;
        context.HotSpotX = 3;
        context.HotSpotY = 5;
    });
    openAndDrop(arrowRow());
    EXPECT_EQ(controller().view().caption, QStringLiteral("Change Current Cursor"));
    controller().apply();
    EXPECT_EQ(placed, 1);
    EXPECT_FALSE(placedOn.isNull()); // the dropped icon, not whatever result is selected
    EXPECT_EQ(arrow(), QStringLiteral("C:\\WINDOWS\\Icons\\1.cur"));
    const QByteArray cursor = root.readFile(QStringLiteral("C:\\WINDOWS\\Icons\\1.cur"));
    ASSERT_GE(cursor.size(), 22);
    EXPECT_EQ(cursor[2], 2);  // a cursor
    EXPECT_EQ(cursor[10], 3); // hot spot x
    EXPECT_EQ(cursor[12], 5); // hot spot y
    EXPECT_EQ(reminders(), (QStringList{QStringLiteral("NoCursorChange"), QStringLiteral("SysCursorRestart"),
                                        QStringLiteral("SysCache")}));
    EXPECT_TRUE(exists(QStringLiteral("C:\\WINDOWS\\Cursors\\arrow.cur")));

    select(arrowRow());
    ASSERT_TRUE(controller().open());
    controller().windowsDefault();
    EXPECT_EQ(controller().view().prompt, changer::kPromptChoose);
    controller().apply();
    EXPECT_EQ(arrow(), QString());
    EXPECT_FALSE(exists(QStringLiteral("C:\\WINDOWS\\Icons\\1.cur")));
    EXPECT_FALSE(controller().view().current.isNull()); // Windows' own arrow
}

TEST_F(CursorChangeTest, AnAnimationGivesAnAnimatedCursorOfEveryFrameAndLeavesNoFrameFiles)
{
    formats::ByteVector icons;
    for (std::uint8_t frame = 0; frame < 3; ++frame)
        formats::putBytes(icons, glyphary::test::riffChunk("icon", glyphary::testing::icoFile({glyphary::testing::dibImage(4, 32, frame)})));
    const QString animation = QStringLiteral("C:\\WINDOWS\\SYSTEM\\spin.ani");
    root.writeFile(animation, glyphary::test::riffFile("ACON", glyphary::test::join({
        glyphary::test::riffChunk("anih", glyphary::test::aniHeader(3, 3, 6, formats::kAniFlagIcon)),
        glyphary::test::riffList("fram", icons)})));

    // The cursor to change, then the animation's frames from the file, as the main window lists them.
    const int target = arrowRow();
    select(target);
    ASSERT_TRUE(controller().open());
    session.cmbResult.clear();
    session.listFileIcons(animation, session.cmbResult);
    ASSERT_EQ(session.cmbResult.count(), 3);
    select(1);
    controller().drop(window.row->name);
    EXPECT_EQ(controller().view().prompt, changer::kPromptFullAni);
    controller().apply();

    EXPECT_EQ(arrow(), QStringLiteral("C:\\WINDOWS\\Icons\\1.ani"));
    platform::IconFunctions reader(root.platform().paths());
    EXPECT_EQ(reader.LoadImageA(QStringLiteral("C:\\WINDOWS\\Icons\\1.ani"), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE).frameCount(), 3);
    EXPECT_EQ(QDir(root.host(QStringLiteral("C:\\WINDOWS\\TEMP"))).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});
    EXPECT_EQ(reminders(), (QStringList{QStringLiteral("SysCursorRestart"), QStringLiteral("SysCache")}));
}

class ShortcutChangeTest : public ChangerFixture {
protected:
    const QString link = QStringLiteral("C:\\WINDOWS\\Desktop\\Editor.lnk");
    ShortcutFields fields{QStringLiteral("C:\\WINDOWS\\NOTEPAD.EXE"), QStringLiteral("C:\\Work"), QStringLiteral("/p notes.txt"),
                          kShellIcons, 0, 3};
    ShortcutChangeTest()
    {
        QDir().mkpath(root.host(QStringLiteral("C:\\WINDOWS\\Desktop")));
        EXPECT_TRUE(writeShortcut(root.platform().paths(), link, fields));
    }
    void change()
    {
        list(SourceFamily::Shortcuts, {QStringLiteral("Desktop")});
        ASSERT_EQ(session.cmbResult.count(), 1);
        openAndDrop(0);
        controller().apply();
    }
};

TEST_F(ShortcutChangeTest, OnlyTheIconChangesAndTheSameNumberAgainAsksForARebuild)
{
    change();
    const auto read = readShortcut(root.platform().paths(), link);
    ASSERT_TRUE(read);
    ShortcutFields expected = fields;
    expected.IconFile = QStringLiteral("C:\\WINDOWS\\Icons\\1.ico");
    EXPECT_EQ(*read, expected);
    EXPECT_EQ(context.SystemIconsNeedRebuild, kTrue);
    EXPECT_EQ(reminders(), QStringList{QStringLiteral("SysCache")});

    change();
    EXPECT_EQ(readShortcut(root.platform().paths(), link)->IconFile, QStringLiteral("C:\\WINDOWS\\Icons\\1.ico"));
    EXPECT_EQ(reminders(), (QStringList{QStringLiteral("SysCache"), QStringLiteral("ShortcutCache"), QStringLiteral("SysCache")}));

    // Windows Default: the shortcut shows its program's icon, and our file goes.
    list(SourceFamily::Shortcuts, {QStringLiteral("Desktop")});
    select(0);
    ASSERT_TRUE(controller().open());
    controller().windowsDefault();
    controller().apply();
    expected.IconFile.clear();
    EXPECT_EQ(*readShortcut(root.platform().paths(), link), expected);
    EXPECT_FALSE(exists(QStringLiteral("C:\\WINDOWS\\Icons\\1.ico")));
}

TEST_F(ShortcutChangeTest, AShortcutThatCannotBeReadIsNamedAndLeftAlone)
{
    list(SourceFamily::Shortcuts, {QStringLiteral("Desktop")});
    openAndDrop(0);
    root.writeFile(link, QByteArray("not a shortcut"));
    controller().apply();
    EXPECT_EQ(root.dialogs().prompts.back().text,
              QStringLiteral("The shortcut C:\\WINDOWS\\Desktop\\Editor.lnk cannot be read: nothing was changed."));
    EXPECT_EQ(root.readFile(link), QByteArray("not a shortcut"));
    EXPECT_FALSE(exists(QStringLiteral("C:\\WINDOWS\\Icons\\1.ico")));
}

} // namespace
