// Files of the emulated Windows: paths both ways, profile files and DOS attributes, shortcuts.

#include "platform/DosAttributes.h"
#include "platform/ProfileFile.h"
#include "platform/ShortcutFile.h"
#include "platform/WindowsPaths.h"
#include "support/Files.h"
#include "support/ReadOnlyFolder.h"
#include "support/ShellLinkBytes.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::platform;
using namespace glyphary::testing;

namespace {

TEST(WindowsPaths, MapBothWaysWithTheCaseOnDiskAndNeverLeaveTheDrive)
{
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/root");
    const QString c = root + QStringLiteral("/drive_c");
    const WindowsPaths paths(root);
    bool written = false;
    writeWindowsFile(paths, QStringLiteral("C:\\Windows\\Icons\\Star.ico"), {}, &written);
    ASSERT_TRUE(written);

    const std::pair<const char*, QString> toHost[] = {
        {"C:\\Windows\\Icons\\Star.ico", c + "/Windows/Icons/Star.ico"},
        {"C:\\WINDOWS\\ICONS\\STAR.ICO", c + "/Windows/Icons/Star.ico"},
        {"C:\\WINDOWS\\NewFolder\\New.ico", c + "/Windows/NewFolder/New.ico"},
        {"c:/Windows", c + "/Windows"},
        {"Z:\\etc\\hostname", "/etc/hostname"},
        {"C:\\..\\..\\etc\\passwd", c + "/etc/passwd"},
        {"C:\\Windows\\..\\Windows\\Icons", c + "/Windows/Icons"},
        {"D:\\x.ico", {}}, {"\\\\server\\share\\x.ico", {}}, {"x.ico", {}}, {"C:x.ico", {}},
    };
    for (const auto& [windows, host] : toHost)
        EXPECT_EQ(paths.toHost(QString::fromLatin1(windows)), host) << windows;

    EXPECT_EQ(paths.toWindows(c + "/Windows/Icons/Star.ico"), QStringLiteral("C:\\Windows\\Icons\\Star.ico"));
    EXPECT_EQ(paths.toWindows(c), QStringLiteral("C:\\"));
    EXPECT_EQ(paths.toWindows(QStringLiteral("/home/ann/x.ico")), QStringLiteral("Z:\\home\\ann\\x.ico"));
    // A folder merely named like the drive is not inside it.
    EXPECT_EQ(paths.toWindows(root + "/drive_cx/a"), "Z:" + QString(root + "/drive_cx/a").replace(u'/', u'\\'));

    EXPECT_EQ(paths.longName(QStringLiteral("c:\\windows\\icons\\star.ico")), QStringLiteral("C:\\Windows\\Icons\\Star.ico"));
    EXPECT_EQ(paths.longName(QStringLiteral("C:\\windows\\missing.ico")), QString());
    EXPECT_EQ(paths.shortName(QStringLiteral("C:\\Program Files\\Long Name.ico")),
              QStringLiteral("C:\\Program Files\\Long Name.ico"));
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(ProfileFile, CreatesTheFileKeepsOtherContentAndRewritesLinksAndReadOnlyFiles)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("desktop.ini");
    EXPECT_TRUE(writeProfileValue(ini, "s", "k", std::nullopt).ok);
    EXPECT_FALSE(QFileInfo::exists(ini)) << "removing from a missing file creates nothing";
    ASSERT_TRUE(writeProfileValue(ini, ".ShellClassInfo", "IconFile", "C:\\1.ico").ok);
    EXPECT_EQ(contentOf(ini), QByteArray("[.ShellClassInfo]\r\nIconFile=C:\\1.ico\r\n"));

    put(ini, "; mine\n[Other]\nx=1\n[.ShellClassInfo]\nIconFile=old\nInfoTip=tip\n");
    ASSERT_TRUE(writeProfileValue(ini, ".shellclassinfo", "iconfile", "new").ok);
    EXPECT_EQ(contentOf(ini), QByteArray("; mine\n[Other]\nx=1\n[.ShellClassInfo]\nIconFile=new\nInfoTip=tip\n"));
    EXPECT_EQ(readProfileValue(ini, ".ShellClassInfo", "InfoTip"), "tip");

    put(ini, "[s]\nk=1\n");
    QFile::setPermissions(ini, QFileDevice::ReadOwner);
    ASSERT_TRUE(writeProfileValue(ini, "s", "k", "2").ok);
    EXPECT_EQ(contentOf(ini), QByteArray("[s]\nk=2\n"));

    // A symbolic link becomes a file of its own; its target stays.
    QFile::remove(ini);
    const QString target = dir.filePath("elsewhere.txt");
    put(target, "[s]\nk=secret\n");
    ASSERT_TRUE(QFile::link(target, ini));
    ASSERT_TRUE(writeProfileValue(ini, "s", "k", "v").ok);
    EXPECT_FALSE(QFileInfo(ini).isSymLink());
    EXPECT_EQ(contentOf(ini), QByteArray("[s]\r\nk=v\r\n"));
    EXPECT_EQ(contentOf(target), QByteArray("[s]\nk=secret\n"));
}

TEST(DosAttributes, RoundTrip)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("f");
    ASSERT_TRUE(QDir().mkpath(folder));
    if (!setDosAttributes(folder, kDosReadOnly | kDosHidden))
        GTEST_SKIP() << "the temporary file system refuses extended attributes";
    EXPECT_EQ(dosAttributes(folder), kDosReadOnly | kDosHidden);
    ASSERT_TRUE(setDosAttributes(folder, kDosSystem));
    EXPECT_EQ(dosAttributes(folder), kDosSystem);
    ASSERT_TRUE(setDosAttributes(folder, 0));
    EXPECT_EQ(dosAttributes(folder), 0u);
    EXPECT_TRUE(setDosAttributes(folder, 0)); // nothing to remove is no failure
}

const QString kLink = QStringLiteral("C:\\windows\\Desktop\\Notepad.lnk");

const ShortcutFields kNotepad{QStringLiteral("C:\\windows\\notepad.exe"), QStringLiteral("C:\\windows"), QStringLiteral("/p"),
                              QStringLiteral("C:\\windows\\system\\shell32.dll"), 2, 7};

class ShortcutFile : public ::testing::Test {
protected:
    TempRoot root;
    const WindowsPaths& paths() { return root.platform().paths(); }
};

TEST_F(ShortcutFile, WritesNewShortcutsAndReadsThemBack)
{
    ASSERT_TRUE(writeShortcut(paths(), kLink, kNotepad));
    EXPECT_EQ(readShortcut(paths(), kLink), kNotepad);
    EXPECT_FALSE(readShortcut(paths(), QStringLiteral("C:\\windows\\Desktop\\missing.lnk")).has_value());
    EXPECT_FALSE(readShortcut(paths(), QStringLiteral("D:\\x.lnk")).has_value());
    EXPECT_FALSE(writeShortcut(paths(), QStringLiteral("D:\\x.lnk"), kNotepad));

    // A relative target is reckoned from the shortcut's folder.
    LinkParts relative;
    relative.relativePath = u"..\\tools\\run.bat";
    writeWindowsFile(paths(), kLink, asQByteArray(linkBytes(relative)));
    EXPECT_EQ(readShortcut(paths(), kLink)->ExeFile, QStringLiteral("C:\\windows\\tools\\run.bat"));
}

TEST_F(ShortcutFile, ChangingOnlyTheIconKeepsTheRestOfTheFile)
{
    LinkParts parts;
    parts.idList = idListItems("C:\\windows\\notepad.exe");
    parts.linkInfo = linkInfoBytes("C:\\windows\\notepad.exe");
    parts.name = u"Notes";
    parts.workingDir = u"C:\\windows";
    parts.arguments = u"/p";
    parts.iconLocation = u"C:\\windows\\system\\shell32.dll";
    parts.iconIndex = 2;
    parts.showCommand = 7;
    parts.extraBlocks = {extraBlock(kTrackerBlock, formats::ByteVector(0x58, 0xA5))};
    writeWindowsFile(paths(), kLink, asQByteArray(linkBytes(parts)));

    ShortcutFields changed = kNotepad;
    changed.IconFile = QStringLiteral("C:\\Icons\\star.ico");
    changed.IconIdx = 0;
    ASSERT_TRUE(writeShortcut(paths(), kLink, changed));
    parts.iconLocation = u"C:\\Icons\\star.ico";
    parts.iconIndex = 0;
    EXPECT_EQ(root.readFile(kLink), asQByteArray(linkBytes(parts)));

    // Another target makes a new shortcut with exactly the given values.
    changed.ExeFile = QStringLiteral("C:\\windows\\write.exe");
    ASSERT_TRUE(writeShortcut(paths(), kLink, changed));
    EXPECT_EQ(readShortcut(paths(), kLink), changed);
    EXPECT_EQ(root.readFile(kLink).indexOf("Notes"), -1);
}

TEST_F(ShortcutFile, AFailedWriteLeavesTheOldFile)
{
    ASSERT_TRUE(writeShortcut(paths(), kLink, kNotepad));
    const QByteArray before = root.readFile(kLink);
    const ReadOnlyFolder readOnly(QFileInfo(root.host(kLink)).path());
    if (!readOnly.active())
        GTEST_SKIP() << "this file system lets the folder be written";
    ShortcutFields changed = kNotepad;
    changed.IconFile = QStringLiteral("C:\\Icons\\star.ico");
    EXPECT_FALSE(writeShortcut(paths(), kLink, changed));
    EXPECT_EQ(root.readFile(kLink), before);
    EXPECT_EQ(QDir(QFileInfo(root.host(kLink)).path()).entryList(QDir::Files), QStringList{QStringLiteral("Notepad.lnk")});
}

} // namespace
