// Change Any Folder and Default folder icon: desktop.ini, the folder's DOS attributes, the numbered
// icon, the reminder, and for folders of the Linux desktop .directory and GIO.

#include "changer/ChangerFixture.h"
#include "platform/DosAttributes.h"
#include "platform/ProfileFile.h"
#include "support/ReadOnlyFolder.h"

#include <QUrl>

#include <sys/xattr.h>

using namespace glyphary;
using namespace glyphary::platform;
using glyphary::testing::ChangerFixture;
using glyphary::testing::kIcon1;
using glyphary::testing::ReadOnlyFolder;

namespace {

const QString kFolder = QStringLiteral("C:\\Data\\Photos");
const QByteArray kOurIni("[.ShellClassInfo]\r\nIconFile=C:\\WINDOWS\\Icons\\1.ico\r\nIconIndex=0\r\n");

class FolderIconsTest : public ChangerFixture {
protected:
    FolderIconsTest()
    {
        QDir().mkpath(root.host(kFolder));
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(QColor(200, 30, 30));
        window.row = SelectedRow{QStringLiteral("Red"), QStringLiteral("256 Color Icon"), QStringLiteral("Book"),
                                 QStringLiteral("book|1"), picture};
    }

    void run(Command command, const std::optional<QString>& folder = kFolder)
    {
        root.dialogs().folderAnswers.push_back(folder);
        session.run(command);
    }
    QString ini(const QString& folder = kFolder) { return root.host(folder + QStringLiteral("\\desktop.ini")); }
    QByteArray iniBytes() { return root.readFile(kFolder + QStringLiteral("\\desktop.ini")); }
    void writeIni(const QByteArray& bytes) { root.writeFile(kFolder + QStringLiteral("\\desktop.ini"), bytes); }
    QString key(const char* name, const QString& folder = kFolder)
    {
        const auto value = readProfileValue(ini(folder), ".ShellClassInfo", name);
        return value ? QString::fromStdString(*value) : QStringLiteral("<none>");
    }
    // The folder's raw user.DOSATTRIB text; nullopt when absent.
    std::optional<QByteArray> dosAttrib()
    {
        char buffer[32];
        const ssize_t size = ::getxattr(QFile::encodeName(root.host(kFolder)).constData(), "user.DOSATTRIB", buffer, sizeof buffer);
        return size < 0 ? std::nullopt : std::optional(QByteArray(buffer, static_cast<qsizetype>(size)));
    }
    bool xattrsWork()
    {
        const QString probe = root.host(QStringLiteral("C:\\Probe"));
        QDir().mkpath(probe);
        return setDosAttributes(probe, kDosHidden);
    }
    QStringList messageBoxes()
    {
        QStringList texts;
        for (const auto& prompt : root.dialogs().prompts)
            if (prompt.kind == u"messageBox")
                texts << prompt.title + u'|' + prompt.text;
        return texts;
    }

    glyphary::testing::RecordingLauncher* launcher = &useLauncher();
};

TEST_F(FolderIconsTest, AFolderWithoutDesktopIniGetsTheTwoKeysTheIconAndTheSystemAttribute)
{
    run(Command::ChangeFolder);
    EXPECT_EQ(iniBytes(), kOurIni);
    EXPECT_EQ(icons(), QStringList{QStringLiteral("1.ico")});
    // The icon is written at the selected icon's depth: 256 colours.
    const QByteArray ico = root.readFile(kIcon1);
    ASSERT_GE(ico.size(), 22);
    EXPECT_EQ(static_cast<unsigned char>(ico[6]), 32u);
    EXPECT_EQ(static_cast<unsigned char>(ico[12]) | static_cast<unsigned char>(ico[13]) << 8, 8u);
    EXPECT_EQ(context.ColourDepth, 8);
    EXPECT_EQ(context.SystemIconsNeedRebuild, kTrue);
    EXPECT_TRUE(launcher->started.isEmpty()); // C: is Windows' own drive
    EXPECT_TRUE(messageBoxes().isEmpty());
    ASSERT_EQ(root.dialogs().prompts.front().kind, QStringLiteral("browseForFolder"));
    EXPECT_EQ(root.dialogs().prompts.front().text,
              QStringLiteral("Select a valid Folder. The Folder icon will be replaced by the currently selected icon."));
    if (!xattrsWork())
        GTEST_SKIP() << "the temporary file system refuses extended attributes";
    EXPECT_EQ(dosAttrib(), QByteArray("0x4"));
}

TEST_F(FolderIconsTest, ChangingAgainReplacesOurOwnFileUnderItsNumberAndDefaultDeletesIt)
{
    root.writeFile(QStringLiteral("C:\\WINDOWS\\Icons\\5.ico"), QByteArray("ours before"));
    writeIni(QByteArray("[.ShellClassInfo]\r\nIconFile=c:\\windows\\icons\\5.ico\r\nIconIndex=0\r\n"));
    run(Command::ChangeFolder);
    EXPECT_EQ(key("IconFile"), kIcon1);
    EXPECT_EQ(icons(), QStringList{QStringLiteral("1.ico")}); // 5.ico was ours and is gone
    const QByteArray first = root.readFile(kIcon1);
    window.row->image.fill(QColor(10, 200, 10));
    window.row->type = QStringLiteral("16 Color Icon");
    run(Command::ChangeFolder);
    EXPECT_EQ(icons(), QStringList{QStringLiteral("1.ico")});
    EXPECT_NE(root.readFile(kIcon1), first);
    EXPECT_EQ(iniBytes(), kOurIni);

    run(Command::DefaultFolder);
    EXPECT_TRUE(icons().isEmpty());
    EXPECT_EQ(iniBytes(), QByteArray("[.ShellClassInfo]\r\nIconFile=\r\nIconIndex=\r\n"));
}

TEST_F(FolderIconsTest, DefaultEmptiesBothKeysAndLeavesAnIconNotOurs)
{
    const QString outside = QStringLiteral("C:\\Art\\mine.ico");
    root.writeFile(outside, QByteArray("not ours"));
    writeIni(QByteArray("[.ShellClassInfo]\r\nIconFile=C:\\Art\\mine.ico\r\nIconIndex=3\r\n"));
    setDosAttributes(root.host(kFolder), kDosSystem);
    run(Command::DefaultFolder);
    EXPECT_EQ(iniBytes(), QByteArray("[.ShellClassInfo]\r\nIconFile=\r\nIconIndex=\r\n"));
    EXPECT_EQ(root.readFile(outside), QByteArray("not ours"));
    EXPECT_EQ(context.SystemIconsNeedRebuild, kTrue);
    EXPECT_EQ(dosAttrib(), std::nullopt);
}

TEST_F(FolderIconsTest, ReadOnlyAndHiddenGiveWayToSystemAndResetLeavesNone)
{
    if (!xattrsWork())
        GTEST_SKIP() << "the temporary file system refuses extended attributes";
    ASSERT_TRUE(setDosAttributes(root.host(kFolder), kDosReadOnly | kDosHidden));
    run(Command::ChangeFolder);
    EXPECT_EQ(dosAttributes(root.host(kFolder)), kDosSystem);
    ASSERT_TRUE(setDosAttributes(root.host(kFolder), kDosReadOnly | kDosHidden | kDosSystem));
    run(Command::DefaultFolder);
    EXPECT_EQ(dosAttributes(root.host(kFolder)), 0u);
    EXPECT_EQ(dosAttrib(), std::nullopt);
}

TEST_F(FolderIconsTest, EverythingElseInDesktopIniIsKept)
{
    const QByteArray before("; made by hand\r\n[ViewState]\r\nMode=4\r\n[.shellclassinfo]\r\nInfoTip=Holiday\r\n");
    writeIni(before + "ICONFILE=old.ico\r\n\r\n[Other]\r\nA=1\r\n");
    run(Command::ChangeFolder);
    EXPECT_EQ(iniBytes().toStdString(),
              (before + "ICONFILE=C:\\WINDOWS\\Icons\\1.ico\r\nIconIndex=0\r\n\r\n[Other]\r\nA=1\r\n").toStdString());
    QFile::remove(root.host(kIcon1));

    // Not INI text at all: the old bytes follow ours.
    const QByteArray garbage("\x00\xff\x01garbage\n\x7f", 12);
    writeIni(garbage);
    run(Command::ChangeFolder);
    EXPECT_EQ(key("IconFile"), kIcon1);
    EXPECT_EQ(key("IconIndex"), QStringLiteral("0"));
    EXPECT_TRUE(iniBytes().endsWith(garbage));
}

TEST_F(FolderIconsTest, TheReminderNamesTheCacheAndItsButtonRebuildsIt)
{
    set(HKEY_CURRENT_USER, "Control Panel\\Desktop\\WindowMetrics", "Shell Icon Size", QStringLiteral("32"));
    root.dialogs().messageAnswers.push_back(true);
    run(Command::ChangeFolder);
    ASSERT_EQ(root.dialogs().messages.size(), 1u);
    const MessageRequest& reminder = root.dialogs().messages.front();
    EXPECT_EQ(reminder.flagName, QStringLiteral("FolderCache"));
    EXPECT_EQ(reminder.title, QStringLiteral("Change Any Folder"));
    EXPECT_EQ(reminder.secondButton, QStringLiteral("Rebuild Icon Cache Now!"));
    EXPECT_EQ(reminder.text,
              QStringLiteral("You need to Rebuild the Windows Icon Cache before these changes take effect. Restarting "
                             "Windows will not rebuild the Icon Cache. You can always rebuild the Icon Cache later by "
                             "selecting Tools, Rebuild Icon Cache from the main Glyphary menu."));
    EXPECT_EQ(context.SystemIconsNeedRebuild, kFalse); // rebuilt
    EXPECT_EQ(value(HKEY_CURRENT_USER, QStringLiteral("Control Panel\\Desktop\\WindowMetrics"), QStringLiteral("Shell Icon Size")),
              QStringLiteral("32"));

    // Declined, the change stands and the cache waits; the same reminder follows a reset.
    root.dialogs().messageAnswers.push_back(false);
    run(Command::DefaultFolder);
    ASSERT_EQ(root.dialogs().messages.size(), 2u);
    EXPECT_EQ(root.dialogs().messages.back().flagName, QStringLiteral("FolderCache"));
    EXPECT_EQ(root.dialogs().messages.back().title, QStringLiteral("Change Any Folder"));
    EXPECT_EQ(context.SystemIconsNeedRebuild, kTrue);

    set(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", "FolderCache", QStringLiteral("1"));
    run(Command::ChangeFolder);
    EXPECT_EQ(root.dialogs().messages.size(), 2u);
}

TEST_F(FolderIconsTest, CancelChangesNothingAndFailuresAreReportedLeavingTheFolderAsItWas)
{
    run(Command::ChangeFolder, std::nullopt);
    run(Command::DefaultFolder, std::nullopt);
    run(Command::ChangeFolder, QString());
    EXPECT_FALSE(QFileInfo::exists(ini()));
    EXPECT_EQ(context.SystemIconsNeedRebuild, kFalse);
    EXPECT_EQ(dosAttrib(), std::nullopt);
    EXPECT_TRUE(messageBoxes().isEmpty());

    run(Command::ChangeFolder, QStringLiteral("C:\\Nowhere"));
    ASSERT_EQ(messageBoxes().size(), 1);
    EXPECT_EQ(messageBoxes().front(),
              QStringLiteral("Error|Error Nr. 76 in mnuToolsChangeFolder_Click\rThe folder C:\\Nowhere does not exist.\r\r"
                             "Please notify Vormel Software of this error.\rTry to include relevant information and\r"
                             "the actions you were performing."));
    EXPECT_TRUE(icons().isEmpty());

    takeNumbersFrom(1);
    run(Command::ChangeFolder);
    ASSERT_EQ(messageBoxes().size(), 2);
    EXPECT_TRUE(messageBoxes().back().contains(QStringLiteral("All 5000 numbers for icons in C:\\WINDOWS\\Icons are taken.")));
    EXPECT_FALSE(QFileInfo::exists(ini()));
    QDir(root.host(QStringLiteral("C:\\WINDOWS\\Icons"))).removeRecursively();

    const QByteArray before("[.ShellClassInfo]\r\nIconFile=C:\\WINDOWS\\Icons\\7.ico\r\nIconIndex=0\r\n");
    root.writeFile(QStringLiteral("C:\\WINDOWS\\Icons\\7.ico"), QByteArray("ours"));
    writeIni(before);
    {
        ReadOnlyFolder locked(root.host(kFolder));
        if (!locked.active())
            GTEST_SKIP() << "this process writes into read-only folders";
        run(Command::ChangeFolder);
    }
    ASSERT_EQ(messageBoxes().size(), 3);
    EXPECT_TRUE(messageBoxes().back().startsWith(QStringLiteral("Error|Error Nr. 75 in mnuToolsChangeFolder_Click\r")));
    EXPECT_EQ(iniBytes(), before);
    EXPECT_EQ(icons(), QStringList{QStringLiteral("7.ico")}); // the new one went, the one still named stays
    EXPECT_EQ(context.SystemIconsNeedRebuild, kFalse);
    EXPECT_TRUE(root.dialogs().messages.empty());
}

class DesktopFolderTest : public FolderIconsTest {
protected:
    DesktopFolderTest()
    {
        host = root.rootPath() + QStringLiteral("/home/Pictures");
        QDir().mkpath(host);
        folder = root.platform().paths().toWindows(host);
        launcher->installed[QStringLiteral("gio")] = QStringLiteral("/usr/bin/gio");
    }
    QString host;
    QString folder;
};

TEST_F(DesktopFolderTest, FileManagersGetThePictureAndDefaultTakesItBack)
{
    ASSERT_TRUE(folder.startsWith(QStringLiteral("Z:\\")));
    run(Command::ChangeFolder, folder);
    EXPECT_EQ(key("IconFile", folder), kIcon1);
    const QString png = root.host(QStringLiteral("C:\\WINDOWS\\Icons\\1.png"));
    EXPECT_EQ(QImage(png).size(), QSize(32, 32));
    EXPECT_EQ(readProfileValue(host + QStringLiteral("/.directory"), "Desktop Entry", "Icon"), png.toStdString());
    EXPECT_EQ(launcher->started, QStringList{QStringLiteral("/usr/bin/gio set %1 metadata::custom-icon %2 ")
                                                 .arg(host, QUrl::fromLocalFile(png).toString(QUrl::FullyEncoded))});

    // A second change keeps one picture under the same number.
    run(Command::ChangeFolder, folder);
    EXPECT_EQ(icons(), (QStringList{QStringLiteral("1.ico"), QStringLiteral("1.png")}));

    launcher->started.clear();
    root.writeFile(folder + QStringLiteral("\\.directory"),
                   root.readFile(folder + QStringLiteral("\\.directory")) + QByteArray("[Other]\nKeep=1\n"));
    run(Command::DefaultFolder, folder);
    EXPECT_EQ(launcher->started, QStringList{QStringLiteral("/usr/bin/gio set -t unset %1 metadata::custom-icon ").arg(host)});
    EXPECT_EQ(readProfileValue(host + QStringLiteral("/.directory"), "Desktop Entry", "Icon"), std::nullopt);
    EXPECT_EQ(readProfileValue(host + QStringLiteral("/.directory"), "Other", "Keep"), std::string("1"));
    EXPECT_TRUE(icons().isEmpty());

    // Without gio only .directory is written.
    launcher->installed.clear();
    launcher->started.clear();
    run(Command::ChangeFolder, folder);
    EXPECT_TRUE(launcher->started.isEmpty());
    EXPECT_TRUE(readProfileValue(host + QStringLiteral("/.directory"), "Desktop Entry", "Icon").has_value());
    EXPECT_TRUE(messageBoxes().isEmpty());
}

} // namespace
