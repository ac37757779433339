#include "sources/WindowsSources.h"

#include "formats/AniCodec.h"
#include "platform/ShellFolders.h"
#include "platform/ShortcutFile.h"
#include "sources/Install.h"
#include "support/IconBytes.h"
#include "support/ItemTexts.h"
#include "support/PeBuilder.h"
#include "support/RegistryValues.h"
#include "support/SessionFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::platform;
using namespace Qt::StringLiterals;
namespace test = glyphary::test;
using glyphary::testing::dibImage;

namespace {

using glyphary::testing::storedValue;
using glyphary::testing::texts;

class WindowsSourcesTest : public ::testing::Test, protected glyphary::testing::SessionParts<> {
protected:
    explicit WindowsSourcesTest(const QString& os = QStringLiteral("98")) : SessionParts(os)
    {
        context.WindowsFolder = QStringLiteral("C:\\WINDOWS");
        context.OsCode = os;
        sources::install(session);
    }

    void set(HKEY rootKey, const char* key, const char* name, const char* value, DWORD type = REG_SZ)
    {
        root.platform().registry().setValue(rootKey, key, name, type, regString(value));
    }
    QString value(HKEY rootKey, const char* key, const char* name)
    {
        return glyphary::testing::stringValue(root.platform().registry(), rootKey, key, name);
    }
    // An animated cursor of `frames` frames shown once each.
    void animation(const QString& path, std::uint32_t frames)
    {
        formats::ByteVector icons;
        for (std::uint32_t i = 0; i < frames; ++i)
            formats::putBytes(icons, test::riffChunk("icon", glyphary::testing::curFile({{dibImage(4, 32, static_cast<std::uint8_t>(i)), 0, 0}})));
        root.writeFile(path, test::riffFile("ACON", test::join({test::riffChunk("anih", test::aniHeader(frames, frames, 6, formats::kAniFlagIcon)),
                                                                test::riffList("fram", icons)})));
    }
    void list(SourceFamily family, const SourceRequest& request = {})
    {
        session.sources().list(family, request, session.listingHost());
    }
    QString count() const { return window.text(StatusPanel::Count); }
};

class WindowsSourcesNt4Test : public WindowsSourcesTest {
protected:
    WindowsSourcesNt4Test() : WindowsSourcesTest(QStringLiteral("NT4")) {}
};

TEST_F(WindowsSourcesTest, ShortcutsWithAnIconFileOrProgramAreListedWithTheirPositionAmongTheShortcuts)
{
    const auto shortcut = [this](const QString& path, const QString& exe, const QString& icon, int index) {
        QDir().mkpath(QFileInfo(root.host(path)).path());
        ASSERT_TRUE(writeShortcut(context.platform.paths(), path, ShortcutFields{exe, {}, {}, icon, index}));
    };
    shortcut(QStringLiteral("C:\\WINDOWS\\Desktop\\Mail.lnk"), QStringLiteral("C:\\Mail\\mail.exe"), QString(), 2);
    root.writeFile(QStringLiteral("C:\\WINDOWS\\Desktop\\notes.txt"), QByteArray("not a shortcut"));
    shortcut(QStringLiteral("C:\\WINDOWS\\Desktop\\Tools\\Paint.lnk"), QStringLiteral("C:\\paint.exe"),
             QStringLiteral("%SystemRoot%\\system\\shell32.dll"), -5);
    shortcut(QStringLiteral("C:\\WINDOWS\\Desktop\\Readme.lnk"), QStringLiteral("C:\\readme.txt"), QString(), 0);
    shortcut(QStringLiteral("C:\\WINDOWS\\Desktop\\Odd.lnk"), QStringLiteral("C:\\odd.exe"), QStringLiteral("odd.ico"), 1);
    root.writeFile(QStringLiteral("C:\\WINDOWS\\Desktop\\Broken.lnk"), QByteArray("L\0\0\0", 4));
    list(SourceFamily::Shortcuts, {QStringLiteral("Desktop")});
    EXPECT_EQ(texts(session.lstFiles).join(u" "),
              (QStringList{"C:\\WINDOWS\\Desktop\\Broken.lnk", "C:\\WINDOWS\\Desktop\\Mail.lnk", "C:\\WINDOWS\\Desktop\\Odd.lnk",
                           "C:\\WINDOWS\\Desktop\\Readme.lnk", "C:\\WINDOWS\\Desktop\\Tools\\Paint.lnk"}).join(u" "));
    EXPECT_EQ(texts(session.cmbResult),
              (QStringList{"C:\\Mail\\mail.exe;2;C:\\WINDOWS\\Desktop\\Mail.lnk;sshor",
                           "C:\\odd.exe;1;C:\\WINDOWS\\Desktop\\Odd.lnk;sshor",
                           "C:\\WINDOWS\\system\\shell32.dll;-5;C:\\WINDOWS\\Desktop\\Tools\\Paint.lnk;sshor"}))
        << "an icon file without a folder falls back to the program; other files are not listed";
    EXPECT_EQ(session.cmbResult.itemData(0), 1);
    EXPECT_EQ(session.cmbResult.itemData(2), 4);
    EXPECT_EQ(window.rows.at(3).row.name, QStringLiteral("Paint"));
    EXPECT_EQ(window.rows.at(3).row.origin, QStringLiteral("Desktop\\Tools"));
    list(SourceFamily::Shortcuts, {QStringLiteral("Start Menu")});
    EXPECT_TRUE(session.cmbResult.isEmpty()) << "a missing folder lists nothing";
    EXPECT_EQ(count(), QStringLiteral("0 Icon(s)"));
}

TEST_F(WindowsSourcesTest, AProfileDesktopLinkedToTheHomeFolderListsOnlyItsOwnShortcuts)
{
    // As Wine makes it: the registry names the profile's Desktop, a link to a folder outside the root.
    QTemporaryDir home;
    ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("Deep"))));
    ASSERT_TRUE(QDir().mkpath(root.host(QStringLiteral("C:\\users\\ann"))));
    ASSERT_TRUE(QFile::link(home.path(), root.host(QStringLiteral("C:\\users\\ann")) + QStringLiteral("/Desktop")));
    set(HKEY_CURRENT_USER, kShellFoldersKey, "Desktop", "C:\\users\\ann\\Desktop");
    const ShortcutFields notepad{u"C:\\WINDOWS\\NOTEPAD.EXE"_s, {}, {}, {}};
    for (const char* link : {"C:\\users\\ann\\Desktop\\Top.lnk", "C:\\users\\ann\\Desktop\\Deep\\Below.lnk"})
        ASSERT_TRUE(writeShortcut(context.platform.paths(), QLatin1StringView(link), notepad));
    list(SourceFamily::Shortcuts, {QStringLiteral("Desktop")});
    EXPECT_EQ(texts(session.lstFiles), QStringList{QStringLiteral("C:\\users\\ann\\Desktop\\Top.lnk")});
}

TEST_F(WindowsSourcesTest, CurrentCursorsAreListedInTheirOrderWithDefaultsStaticAndAnimatedOnes)
{
    // Without the key nothing is listed; an animation that cannot be read gives the default.
    list(SourceFamily::CurrentCursors);
    EXPECT_TRUE(session.cmbResult.isEmpty());
    EXPECT_EQ(count(), QStringLiteral("0 Icon(s)"));
    root.writeFile(QStringLiteral("C:\\broken.ani"), QByteArray("RIFF\x10\0\0\0ACONanih", 16));
    set(HKEY_CURRENT_USER, "Control Panel\\Cursors", "AppStarting", "C:\\broken.ani");
    list(SourceFamily::CurrentCursors);
    EXPECT_EQ(session.cmbResult.count(), 13);
    EXPECT_EQ(session.cmbResult.text(0), QStringLiteral("default;0;32512;csycu"));
    animation(QStringLiteral("C:\\WINDOWS\\Cursors\\busy.ani"), 8);
    root.writeFile(QStringLiteral("C:\\WINDOWS\\Cursors\\arrow.cur"), glyphary::testing::curFile({{dibImage(4), 1, 1}}));
    set(HKEY_CURRENT_USER, "Control Panel\\Cursors", "AppStarting", "C:\\WINDOWS\\Cursors\\busy.ani");
    set(HKEY_CURRENT_USER, "Control Panel\\Cursors", "Arrow", "%SystemRoot%\\Cursors\\arrow.cur", REG_EXPAND_SZ);
    set(HKEY_CURRENT_USER, "Control Panel\\Cursors", "Wait", "");
    list(SourceFamily::CurrentCursors);
    const QStringList items = texts(session.cmbResult);
    ASSERT_EQ(items.size(), 8 + 13);
    for (int frame = 0; frame < 8; ++frame)
        EXPECT_EQ(items[frame], QStringLiteral("C:\\WINDOWS\\Cursors\\busy.ani;%1;Control Panel\\Cursors\\AppStarting;gsycu").arg(frame));
    EXPECT_EQ(items[8], QStringLiteral("C:\\WINDOWS\\Cursors\\arrow.cur;0;Control Panel\\Cursors\\Arrow;csycu"));
    EXPECT_EQ(items[9], QStringLiteral("default;0;32515;csycu")) << "a missing value is the default";
    EXPECT_EQ(items.last(), QStringLiteral("default;0;32514;csycu")) << "an empty Wait is the default";
    EXPECT_EQ(count(), QStringLiteral("21 Icon(s)"));
    EXPECT_EQ(window.rows.at(1).row.name, QStringLiteral("Application Starting #1"));
    EXPECT_EQ(window.rows.at(21).row.origin, QStringLiteral("Windows Default"));
}

TEST_F(WindowsSourcesTest, ASchemeListsItsEntriesByPositionWithEmptyOnesAsDefaults)
{
    animation(QStringLiteral("C:\\WINDOWS\\Cursors\\wait.ani"), 2);
    QStringList entries;
    for (int i = 1; i <= 14; ++i)
        entries << QStringLiteral("C:\\WINDOWS\\Cursors\\c%1.cur").arg(i);
    entries[2].clear();
    entries[3] = QStringLiteral("\"%SystemRoot%\\Cursors\\wait.ani\"");
    set(HKEY_CURRENT_USER, "Control Panel\\Cursors\\Schemes", "Ocean", entries.join(u',').toLatin1().constData(), REG_EXPAND_SZ);
    list(SourceFamily::CursorScheme, {QStringLiteral("Ocean")});
    const QStringList items = texts(session.cmbResult);
    ASSERT_EQ(items.size(), 15);
    const QString at = QStringLiteral("Control Panel\\Cursors\\Schemes\\Ocean:");
    EXPECT_EQ(items[0], QStringLiteral("C:\\WINDOWS\\Cursors\\c1.cur;0;") + at + QStringLiteral("1;tsytu"));
    EXPECT_EQ(items[2], QStringLiteral("default;0;") + at + QStringLiteral("3;tsytu"));
    EXPECT_EQ(items[3], QStringLiteral("C:\\WINDOWS\\Cursors\\wait.ani;0;") + at + QStringLiteral("4;asytu"));
    EXPECT_EQ(items[4], QStringLiteral("C:\\WINDOWS\\Cursors\\wait.ani;1;") + at + QStringLiteral("4;asytu"));
    EXPECT_EQ(items.last(), QStringLiteral("C:\\WINDOWS\\Cursors\\c14.cur;0;") + at + QStringLiteral("14;tsytu"));
    EXPECT_EQ(window.rows.at(3).row.name, QStringLiteral("Wait"));
    list(SourceFamily::CursorScheme, {QStringLiteral("Not There")});
    EXPECT_TRUE(session.cmbResult.isEmpty());
}

TEST_F(WindowsSourcesTest, FileTypesWithAnIconOfTheirOwnAreListedAndRecordedForTheChangeWindow)
{
    // Default values of keys under HKEY_CLASSES_ROOT.
    const std::pair<const char*, const char*> defaults[] = {
        {".txt", "txtfile"}, {"txtfile", "Text Document"}, {"txtfile\\Shell\\Open\\Command", "notepad.exe %1"},
        {".exe", "exefile"}, {"exefile\\DefaultIcon", "%1"}, {".lonely", ""}, {".doc", "docfile"},
        {"docfile", "Word, Document"}, {"docfile\\DefaultIcon", "\"C:\\Program Files\\Word, Inc\\word.exe\",1"},
        {".bare", "barefile"}, {"barefile\\DefaultIcon", "C:\\icons\\bare.ico"}, {"notanextension", "x"}};
    for (const auto& [key, text] : defaults)
        set(HKEY_CLASSES_ROOT, key, "", text);
    set(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "", "%SystemRoot%\\system\\shell32.dll,-152", REG_EXPAND_SZ);
    list(SourceFamily::FileTypes);
    EXPECT_EQ(texts(session.cmbResult),
              (QStringList{QStringLiteral("C:\\WINDOWS\\system\\shell32.dll;-152;Text Document (*.txt);fsyas"),
                           QStringLiteral("C:\\Program Files\\Word, Inc\\word.exe;1;Word, Document (*.doc);fsyas"),
                           QStringLiteral("C:\\icons\\bare.ico;0; (*.bare);fsyas")}));
    EXPECT_EQ(texts(session.lstChange),
              (QStringList{QStringLiteral(".txt:txtfile;C:\\WINDOWS\\system\\shell32.dll,-152;notepad.exe %1"),
                           QStringLiteral(".doc:docfile;C:\\Program Files\\Word, Inc\\word.exe,1;"),
                           QStringLiteral(".bare:barefile;C:\\icons\\bare.ico,0;")}));
    EXPECT_EQ(count(), QStringLiteral("3 Icon(s)"));
}

TEST_F(WindowsSourcesTest, SystemIconsUseTheirValuesAndCreateTheMissingOnesFromTheTable)
{
    const char* shellIcons = "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Icons";
    set(HKEY_LOCAL_MACHINE, shellIcons, "0", "C:\\Icons\\mine.ico");
    set(HKEY_LOCAL_MACHINE, shellIcons, "1", "C:\\Icons\\nocomma.ico");
    root.platform().registry().setValue(HKEY_LOCAL_MACHINE, shellIcons, "29", REG_DWORD, regDword(7));
    list(SourceFamily::SystemIcons, {QString(), static_cast<int>(SystemIconGroup::Files)});
    const QStringList items = texts(session.cmbResult);
    ASSERT_EQ(items.size(), 8);
    EXPECT_EQ(items[0], QStringLiteral("c:\\windows\\system\\shell32.dll;64;Text Document;wsysy"));
    EXPECT_EQ(items[5], QStringLiteral("C:\\Icons\\mine.ico;0;Default Icon;wsysy"));
    EXPECT_EQ(items[6], QStringLiteral("C:\\Icons\\nocomma.ico;0;Default Document;wsysy"));
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, "txtfile\\Defaulticon", ""), QStringLiteral("c:\\windows\\system\\shell32.dll,64"));
    EXPECT_EQ(value(HKEY_LOCAL_MACHINE, "Software\\CLASSES\\comfile\\Defaulticon", ""), QStringLiteral("c:\\windows\\system\\shell32.dll,2"));
    EXPECT_EQ(value(HKEY_LOCAL_MACHINE, shellIcons, "0"), QStringLiteral("C:\\Icons\\mine.ico")) << "never overwritten";
    EXPECT_EQ(storedValue(root.platform().registry(), HKEY_LOCAL_MACHINE, shellIcons, "29").type, REG_DWORD)
        << "a value of another type is left alone";
    EXPECT_EQ(session.lstChange.text(0),
              QStringLiteral("Text Document;c:\\windows\\system\\shell32.dll,64;HKEY_CLASSES_ROOT\\txtfile\\Defaulticon"));
    EXPECT_EQ(window.rows.at(1).row.name, QStringLiteral("Text Document"));
}

TEST_F(WindowsSourcesNt4Test, TheStartGroupOfNt4HasItsOwnRowsAndOtherVersionsHaveNone)
{
    list(SourceFamily::SystemIcons, {QString(), static_cast<int>(SystemIconGroup::Start)});
    QStringList names;
    for (const ItemList::Entry& entry : session.cmbResult.entries())
        names << entry.text.section(u';', 2, 2);
    EXPECT_EQ(names, (QStringList{"Programs", "Documents", "Settings", "Control Panel", "Printers", "Find", "Help", "Run",
                                  "Suspend", "Shut Down"}));
    EXPECT_EQ(value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Icons", "19"),
              QStringLiteral("c:\\windows\\system\\shell32.dll,19"));
    context.OsCode = QStringLiteral("2.5.0");
    list(SourceFamily::SystemIcons, {QString(), static_cast<int>(SystemIconGroup::Start)});
    EXPECT_TRUE(session.cmbResult.isEmpty());
}

} // namespace
