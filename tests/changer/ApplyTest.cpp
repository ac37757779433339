// Applying a change of each kind, and Windows Default, through the change window's logic.

#include "changer/ChangerFixture.h"
#include "core/RegistryText.h"
#include "core/SystemIconRow.h"
#include "formats/AniCodec.h"
#include "platform/ShortcutFile.h"
#include "sources/SystemIconTable.h"
#include "support/IconBytes.h"

using namespace glyphary;
using namespace glyphary::platform;
using namespace glyphary::testing;
using namespace Qt::StringLiterals;

namespace {

const QString kShellIcon0 = kShellIcons + QStringLiteral(",0");

class FileTypeChangeTest : public ChangerFixture {
protected:
    FileTypeChangeTest()
    {
        set(HKEY_CLASSES_ROOT, ".txt", "", QStringLiteral("txtfile"));
        set(HKEY_CLASSES_ROOT, "txtfile", "", QStringLiteral("Text Document"));
        set(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "", kShellIcon0);
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
    EXPECT_EQ(defaultIcon(), kIcon1 + QStringLiteral(",0"));
    EXPECT_EQ(backup(), kShellIcon0);
    EXPECT_TRUE(exists(kIcon1));
    EXPECT_EQ(reminders(), (QStringList{QStringLiteral("SysFileTypeRestart"), QStringLiteral("SysCache")}));
    EXPECT_EQ(controller().view().prompt, changer::kPromptApplied);
    EXPECT_FALSE(controller().view().applyEnabled);
    EXPECT_TRUE(controller().view().next.isNull());

    // The second change replaces our own file under its number and leaves the backup alone.
    changeTextFiles();
    EXPECT_EQ(defaultIcon(), kIcon1 + QStringLiteral(",0"));
    EXPECT_EQ(backup(), kShellIcon0);
    EXPECT_EQ(icons(), QStringList{QStringLiteral("1.ico")});

    openFirst(SourceFamily::FileTypes);
    controller().windowsDefault();
    EXPECT_EQ(controller().view().prompt, changer::kPromptChoose);
    EXPECT_FALSE(controller().view().next.isNull());
    controller().apply();
    EXPECT_EQ(defaultIcon(), kShellIcon0);
    EXPECT_FALSE(exists(kIcon1));
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
    EXPECT_FALSE(exists(kIcon1));
    EXPECT_TRUE(controller().view().applyEnabled); // the person may try again

    // A machine hive that does not read to its end is never written: the numbered file written
    // for the change goes again.
    set(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "", kShellIcon0);
    const QString hive = root.platform().paths().toWindows(root.rootPath() + QStringLiteral("/system.reg"));
    const QByteArray garbled = root.readFile(hive) + "\n[Software\\\\Broken] 0\n\"cut=\n";
    root.writeFile(hive, garbled);
    controller().apply();
    EXPECT_EQ(root.dialogs().prompts.back().text,
              QStringLiteral("The registry refused the value HKEY_CLASSES_ROOT\\txtfile\\GlDefault: nothing was changed."));
    EXPECT_FALSE(exists(kIcon1));
    EXPECT_EQ(defaultIcon(), kShellIcon0);
    EXPECT_EQ(root.readFile(hive), garbled);
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
    EXPECT_TRUE(exists(kIcon1));

    const changer::IconsFolder folder(root.platform().paths(), context.WindowsFolder);
    EXPECT_TRUE(folder.isOwnFile(QStringLiteral("c:\\windows\\ICONS\\5000.ani")));
    for (const char* other : {"Icons\\5001.ico", "Icons\\0.ico", "Icons\\02.ico", "Icons\\notes.ico", "Icons\\Old\\2.ico", "2.ico",
                              "Icons\\2.bmp"})
        EXPECT_FALSE(folder.isOwnFile(QStringLiteral("C:\\WINDOWS\\") + QLatin1StringView(other))) << other;
}

TEST_F(FileTypeChangeTest, WhenAllNumbersAreTakenNothingIsWrittenOrDeleted)
{
    takeNumbersFrom(1);
    changeTextFiles();
    EXPECT_EQ(root.dialogs().prompts.back().text,
              QStringLiteral("All 5000 numbers for icons in C:\\WINDOWS\\Icons are taken: nothing was changed. Delete icons "
                             "there that no longer serve, then try again."));
    EXPECT_EQ(defaultIcon(), kShellIcon0);
    EXPECT_EQ(icons().size(), 5000);
    EXPECT_EQ(backup(), QStringLiteral("<no key>"));
}

class SystemIconChangeTest : public ChangerFixture {
protected:
    explicit SystemIconChangeTest(const QString& os = QStringLiteral("98")) : ChangerFixture(os) {}

    // The Desktop group's row `name` as its listing shows it.
    QString rowText(const QString& name)
    {
        const auto variant = sources::systemIconVariant(context.OsCode);
        for (const QString& text : sources::systemIconRows(SystemIconGroup::Desktop, variant))
            if (splitSystemIconRow(text).name == name)
                return text;
        return {};
    }
    SystemIconRow row(const QString& name) { return splitSystemIconRow(rowText(name)); }
    // Opens the row `target` and drops a red icon on it.
    void open(const SystemIconRow& target)
    {
        session.lstChange.add(rowText(target.name));
        window.row = SelectedRow{target.name, QStringLiteral("System Icon"), QStringLiteral("File"),
                                 kShellIcons + QStringLiteral(";0;") + target.name + QStringLiteral(";wsysy"),
                                 QImage(32, 32, QImage::Format_ARGB32)};
        window.row->image.fill(Qt::red);
        ASSERT_TRUE(controller().open());
        controller().drop(target.name);
    }
    void setValue(const SystemIconRow& target, const char* text, bool keyDefault = false)
    {
        root.platform().registry().setValue(rootKeyNamed(target.rootName), target.keyPath.toStdString(),
                                            keyDefault ? std::string() : target.valueName.toStdString(), REG_SZ, regString(text));
    }
    QString valueOf(const SystemIconRow& target, bool keyDefault = false)
    {
        return value(rootKeyNamed(target.rootName), target.keyPath, keyDefault ? QString() : target.valueName);
    }
};

TEST_F(SystemIconChangeTest, AValueThatIsNotThereStaysAbsentAndTheEmptyRecycleBinIsAlsoTheKeysDefault)
{
    const SystemIconRow computer = row(QStringLiteral("My Computer"));
    open(computer);
    controller().apply();
    EXPECT_EQ(valueOf(computer), QStringLiteral("<no key>"));
    EXPECT_FALSE(exists(kIcon1));
    EXPECT_EQ(context.SystemIconsNeedRebuild, kFalse);

    setValue(computer, "C:\\WINDOWS\\SYSTEM\\shell.ico,0");
    controller().apply();
    EXPECT_EQ(valueOf(computer), kIcon1 + QStringLiteral(",0"));
    EXPECT_EQ(context.SystemIconsNeedRebuild, kTrue);
    EXPECT_EQ(reminders(), (QStringList{QStringLiteral("SysCache"), QStringLiteral("SysCache")}));

    // Still open on the changed icon.
    controller().windowsDefault();
    controller().apply();
    EXPECT_EQ(valueOf(computer), computer.defaultIcon);
    EXPECT_FALSE(exists(kIcon1));

    // On 98 the empty Recycle Bin is also its key's default value.
    const SystemIconRow empty = row(QStringLiteral("Recycle Bin (Empty)"));
    const SystemIconRow full = row(QStringLiteral("Recycle Bin (Full)"));
    EXPECT_EQ(empty.rootName, QStringLiteral("HKEY_USERS"));
    setValue(empty, "C:\\WINDOWS\\SYSTEM\\shell.ico,0");
    setValue(full, "C:\\WINDOWS\\SYSTEM\\shell.ico,0");
    setValue(empty, "old", true);
    open(full);
    controller().apply();
    EXPECT_EQ(valueOf(full), kIcon1 + QStringLiteral(",0"));
    EXPECT_EQ(valueOf(empty, true), QStringLiteral("old"));
    open(empty);
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
    setValue(empty, "C:\\WINDOWS\\SYSTEM\\shell.ico,0");
    open(empty);
    controller().apply();
    // No default value to follow: none is made.
    EXPECT_EQ(valueOf(empty, true), QStringLiteral("<none>"));
    setValue(empty, "x", true);
    open(empty);
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
    root.writeFile(QStringLiteral("C:\\WINDOWS\\Cursors\\arrow.cur"), curFile({{dibImage(4), 1, 1}}));
    QList<QImage> placedOn;
    session.setHotSpotPlacer([&](const QImage& image) {
        placedOn << image;
        context.HotSpotX = 3;
        context.HotSpotY = 5;
    });
    openAndDrop(arrowRow());
    EXPECT_EQ(controller().view().caption, QStringLiteral("Change Current Cursor"));
    controller().apply();
    ASSERT_EQ(placedOn.size(), 1);
    EXPECT_FALSE(placedOn[0].isNull()); // the dropped icon, not whatever result is selected
    EXPECT_EQ(arrow(), QStringLiteral("C:\\WINDOWS\\Icons\\1.cur"));
    const QByteArray cursor = root.readFile(QStringLiteral("C:\\WINDOWS\\Icons\\1.cur"));
    ASSERT_GE(cursor.size(), 22);
    EXPECT_EQ(cursor[2], 2);  // a cursor
    EXPECT_EQ(cursor[10], 3); // hot spot x
    EXPECT_EQ(cursor[12], 5); // hot spot y
    EXPECT_EQ(reminders(), (QStringList{u"NoCursorChange"_s, u"SysCursorRestart"_s, u"SysCache"_s}));
    EXPECT_TRUE(exists(QStringLiteral("C:\\WINDOWS\\Cursors\\arrow.cur")));

    openRow(arrowRow());
    controller().windowsDefault();
    EXPECT_EQ(controller().view().prompt, changer::kPromptChoose);
    controller().apply();
    EXPECT_EQ(arrow(), QString());
    EXPECT_FALSE(exists(QStringLiteral("C:\\WINDOWS\\Icons\\1.cur")));
    EXPECT_FALSE(controller().view().current.isNull()); // Windows' own arrow
}

TEST_F(CursorChangeTest, AnAnimationGivesAnAnimatedCursorOfEveryFrameAndLeavesNoFrameFiles)
{
    using namespace glyphary::test;
    formats::ByteVector icons;
    for (std::uint8_t frame = 0; frame < 3; ++frame)
        formats::putBytes(icons, riffChunk("icon", icoFile({dibImage(4, 32, frame)})));
    const QString animation = QStringLiteral("C:\\WINDOWS\\SYSTEM\\spin.ani");
    root.writeFile(animation,
                   riffFile("ACON", join({riffChunk("anih", aniHeader(3, 3, 6, formats::kAniFlagIcon)), riffList("fram", icons)})));

    // The cursor to change, then the animation's frames from the file, as the main window lists them.
    openRow(arrowRow());
    session.cmbResult.clear();
    session.listFileIcons(animation, session.cmbResult);
    ASSERT_EQ(session.cmbResult.count(), 3);
    select(1);
    controller().drop(window.row->name);
    EXPECT_EQ(controller().view().prompt, changer::kPromptFullAni);
    controller().apply();

    EXPECT_EQ(arrow(), QStringLiteral("C:\\WINDOWS\\Icons\\1.ani"));
    IconFunctions reader(root.platform().paths());
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
    void openShortcut()
    {
        list(SourceFamily::Shortcuts, {QStringLiteral("Desktop")});
        ASSERT_EQ(session.cmbResult.count(), 1);
        openAndDrop(0);
    }
};

TEST_F(ShortcutChangeTest, OnlyTheIconChangesAndTheSameNumberAgainAsksForARebuild)
{
    // A shortcut that no longer reads is named and left alone.
    openShortcut();
    root.writeFile(link, QByteArray("not a shortcut"));
    controller().apply();
    EXPECT_EQ(root.dialogs().prompts.back().text,
              QStringLiteral("The shortcut C:\\WINDOWS\\Desktop\\Editor.lnk cannot be read: nothing was changed."));
    EXPECT_EQ(root.readFile(link), QByteArray("not a shortcut"));
    EXPECT_FALSE(exists(kIcon1));

    ASSERT_TRUE(writeShortcut(root.platform().paths(), link, fields));
    openShortcut();
    controller().apply();
    ShortcutFields expected = fields;
    expected.IconFile = kIcon1;
    EXPECT_EQ(readShortcut(root.platform().paths(), link), expected);
    EXPECT_EQ(context.SystemIconsNeedRebuild, kTrue);
    EXPECT_EQ(reminders(), QStringList{QStringLiteral("SysCache")});

    openShortcut();
    controller().apply();
    EXPECT_EQ(readShortcut(root.platform().paths(), link)->IconFile, kIcon1);
    EXPECT_EQ(reminders(), (QStringList{QStringLiteral("SysCache"), QStringLiteral("ShortcutCache"), QStringLiteral("SysCache")}));

    // Windows Default: the shortcut shows its program's icon, and our file goes.
    openFirst(SourceFamily::Shortcuts, {QStringLiteral("Desktop")});
    controller().windowsDefault();
    controller().apply();
    expected.IconFile.clear();
    EXPECT_EQ(readShortcut(root.platform().paths(), link), expected);
    EXPECT_FALSE(exists(kIcon1));
}

} // namespace
