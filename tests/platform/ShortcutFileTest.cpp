#include "platform/ShortcutFile.h"

#include "support/Files.h"
#include "support/ReadOnlyFolder.h"
#include "support/ShellLinkBytes.h"
#include "support/TempRoot.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::testing;
using platform::ShortcutFields;

namespace {

const QString kLink = QStringLiteral("C:\\windows\\Desktop\\Notepad.lnk");

ShortcutFields notepad()
{
    ShortcutFields fields;
    fields.ExeFile = QStringLiteral("C:\\windows\\notepad.exe");
    fields.WorkDir = QStringLiteral("C:\\windows");
    fields.ExeArgs = QStringLiteral("/p");
    fields.IconFile = QStringLiteral("C:\\windows\\system\\shell32.dll");
    fields.IconIdx = 2;
    fields.ShowCmd = 7;
    return fields;
}

class ShortcutFile : public ::testing::Test {
protected:
    TempRoot root;
    const platform::WindowsPaths& paths() { return root.platform().paths(); }
};

TEST_F(ShortcutFile, WritesNewShortcutsAndReadsThemBack)
{
    ASSERT_TRUE(platform::writeShortcut(paths(), kLink, notepad()));
    EXPECT_EQ(platform::readShortcut(paths(), kLink), notepad());
    EXPECT_FALSE(platform::readShortcut(paths(), QStringLiteral("C:\\windows\\Desktop\\missing.lnk")).has_value());
    EXPECT_FALSE(platform::readShortcut(paths(), QStringLiteral("D:\\x.lnk")).has_value());
    EXPECT_FALSE(platform::writeShortcut(paths(), QStringLiteral("D:\\x.lnk"), notepad()));

    // A relative target is reckoned from the shortcut's folder.
    LinkParts relative;
    relative.relativePath = u"..\\tools\\run.bat";
    writeWindowsFile(paths(), kLink, asQByteArray(linkBytes(relative)));
    EXPECT_EQ(platform::readShortcut(paths(), kLink)->ExeFile, QStringLiteral("C:\\windows\\tools\\run.bat"));
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

    ShortcutFields changed = notepad();
    changed.IconFile = QStringLiteral("C:\\Icons\\star.ico");
    changed.IconIdx = 0;
    ASSERT_TRUE(platform::writeShortcut(paths(), kLink, changed));
    parts.iconLocation = u"C:\\Icons\\star.ico";
    parts.iconIndex = 0;
    EXPECT_EQ(root.readFile(kLink), asQByteArray(linkBytes(parts)));

    // Another target makes a new shortcut with exactly the given values.
    changed.ExeFile = QStringLiteral("C:\\windows\\write.exe");
    ASSERT_TRUE(platform::writeShortcut(paths(), kLink, changed));
    EXPECT_EQ(platform::readShortcut(paths(), kLink), changed);
    EXPECT_EQ(root.readFile(kLink).indexOf("Notes"), -1);
}

TEST_F(ShortcutFile, AFailedWriteLeavesTheOldFile)
{
    ASSERT_TRUE(platform::writeShortcut(paths(), kLink, notepad()));
    const QByteArray before = root.readFile(kLink);
    const ReadOnlyFolder readOnly(QFileInfo(root.host(kLink)).path());
    if (!readOnly.active())
        GTEST_SKIP() << "this file system lets the folder be written";
    ShortcutFields changed = notepad();
    changed.IconFile = QStringLiteral("C:\\Icons\\star.ico");
    EXPECT_FALSE(platform::writeShortcut(paths(), kLink, changed));
    EXPECT_EQ(root.readFile(kLink), before);
    EXPECT_EQ(QDir(QFileInfo(root.host(kLink)).path()).entryList(QDir::Files), QStringList{QStringLiteral("Notepad.lnk")});
}

} // namespace
