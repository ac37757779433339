#include "core/FileHelpers.h"
#include "core/FolderPicker.h"
#include "core/OsVersion.h"
#include "core/ShellFolderPaths.h"
#include "platform/WindowsSystem.h"
#include "support/PeBuilder.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace glyphary;
using glyphary::testing::TempRoot;

namespace {

TEST(FileHelpersTest, FileExistsOnlyForAReadableFileAndTheMajorVersionComesFromItsResource)
{
    TempRoot root;
    root.writeFile(QStringLiteral("C:\\Icons\\a.ico"), "x");
    const auto& paths = root.platform().paths();
    EXPECT_TRUE(FileExists(paths, QStringLiteral("C:\\Icons\\a.ico")));
    EXPECT_FALSE(FileExists(paths, QStringLiteral("C:\\Icons\\b.ico")));
    EXPECT_FALSE(FileExists(paths, QStringLiteral("C:\\Icons")));
    EXPECT_FALSE(FileExists(paths, QString()));
    glyphary::testing::ResourceBuilder browser;
    browser.iconGroup(formats::ResourceName::byId(1), {glyphary::testing::dibImage(4)}).version(4, 72);
    root.writeFile(QStringLiteral("C:\\Program Files\\Browser\\Browse.exe"), browser.pe32());
    glyphary::testing::ResourceBuilder plain;
    plain.iconGroup(formats::ResourceName::byId(1), {glyphary::testing::dibImage(4)});
    root.writeFile(QStringLiteral("C:\\Plain.exe"), plain.pe32());
    EXPECT_EQ(GetFileMajorVersion(paths, QStringLiteral("C:\\Program Files\\Browser\\Browse.exe")), QStringLiteral("4"));
    EXPECT_EQ(GetFileMajorVersion(paths, QStringLiteral("C:\\Plain.exe")), QString());
}

TEST(SpecialFoldersTest, ANewRootHasItsFoldersAndHivesKnownIdsLiveInTheWindowsFolderAndReseedingKeepsThem)
{
    TempRoot root;
    const cSpecialFolders folders(root.platform().registry());
    const std::pair<int, const char*> known[] = {{0, "Desktop\\"}, {2, "Start Menu\\Programs\\"}, {6, "Favorites\\"},
        {8, "Recent\\"}, {9, "SendTo\\"}, {11, "Start Menu\\"}};
    for (const auto& [id, below] : known)
        EXPECT_EQ(folders.path(id), QStringLiteral("C:\\WINDOWS\\") + QString::fromLatin1(below)) << id;
    EXPECT_EQ(folders.path(0x2A), QString());
    EXPECT_TRUE(QDir(root.host(QStringLiteral("C:\\WINDOWS\\Favorites"))).exists());
    // A new root has its folders and hives, and seeding again never overwrites.
    for (const char* folder : {"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\TEMP", "C:\\WINDOWS\\Icons",
                               "C:\\WINDOWS\\Cursors", "C:\\WINDOWS\\SendTo", "C:\\WINDOWS\\Start Menu\\Programs"}) {
        EXPECT_TRUE(QDir(root.host(QString::fromLatin1(folder))).exists()) << folder;
    }
    for (const char* hive : {"/system.reg", "/user.reg", "/userdef.reg"})
        EXPECT_TRUE(QFile::exists(root.rootPath() + QString::fromLatin1(hive))) << hive;
    auto& registry = root.platform().registry();
    ASSERT_EQ(registry.setValue(platform::HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                "Favorites", platform::REG_SZ, platform::regString("C:\\Mine")),
              platform::ERROR_SUCCESS);
    platform::PlatformConfig config;
    config.rootHostPath = root.rootPath();
    config.osSpec = QStringLiteral("98");
    platform::Platform again(config, root.dialogs());
    EXPECT_EQ(cSpecialFolders(again.registry()).path(6), QStringLiteral("C:\\Mine\\"));
}

TEST(FolderPickerTest, EachCallerHasItsPromptAndTheResultIsCutAtZero)
{
    TempRoot root;
    auto& dialogs = root.dialogs();
    dialogs.folderAnswers.push_back(QStringLiteral("C:\\Icons") + QChar(u'\0') + QStringLiteral("junk"));
    EXPECT_EQ(BrowseForFolder(dialogs, FolderPickerCaller::ScanDialog, QStringLiteral("C:\\")), QStringLiteral("C:\\Icons"));
    EXPECT_EQ(BrowseForFolder(dialogs, FolderPickerCaller::OptionsFavorites, QStringLiteral("C:\\")), std::nullopt);
    EXPECT_EQ(BrowseForFolder(dialogs, FolderPickerCaller::FolderIcon, QStringLiteral("C:\\")), std::nullopt);
    ASSERT_EQ(dialogs.prompts.size(), 3u);
    EXPECT_EQ(dialogs.prompts[0].text, QStringLiteral("Select a valid Folder. Do not select system objects like Printers, Control Panel etc. Network Folders are allowed."));
    EXPECT_EQ(dialogs.prompts[1].text, QStringLiteral("Select a valid Folder. Do not select system objects like Printers, Control Panel etc."));
    EXPECT_EQ(dialogs.prompts[2].text, QStringLiteral("Select a valid Folder. The Folder icon will be replaced by the currently selected icon."));
    EXPECT_EQ(CutAtNul(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(CutAtNul(QString(QChar(u'\0'))), QString());
}

struct OsCase {
    const char* version;
    const char* name;
    const char* code;
};

class OsVersionTest : public ::testing::TestWithParam<OsCase> {};

TEST_P(OsVersionTest, GivesTheNameAndCodeOfEachVersion)
{
    const platform::WindowsSystem system(platform::windowsVersionFromSpec(QString::fromLatin1(GetParam().version)));
    QString name;
    QString code;
    GetOsVersion(system, name, code);
    EXPECT_EQ(name, QString::fromLatin1(GetParam().name));
    EXPECT_EQ(code, QString::fromLatin1(GetParam().code));
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, OsVersionTest,
    ::testing::Values(OsCase{"95", "Windows 95 (4.0)", "95"}, OsCase{"98", "Windows 98 (4.10)", "98"},
                      OsCase{"NT3", "Windows NT 3.51 (3.51)", "NT3"}, OsCase{"NT4", "Windows NT 4.0 (4.0)", "NT4"},
                      OsCase{"nt4", "Windows NT 4.0 (4.0)", "NT4"}, OsCase{"3.4.0", "OS Unknown", "NT4"},
                      OsCase{"0.3.1", "OS Unknown", "NT4"},
                      // Versions of a known platform outside the table: only the bracketed part.
                      OsCase{"1.4.90", " (4.90)", ""}, OsCase{"2.5.0", " (5.0)", ""},
                      // Nonsense means the default, 98.
                      OsCase{"XP", "Windows 98 (4.10)", "98"}, OsCase{"", "Windows 98 (4.10)", "98"}));

TEST(WindowsSystemTest, FolderCallsFollowTheWin32BufferRules)
{
    const platform::WindowsSystem system(platform::windowsVersionFromSpec(QStringLiteral("98")));
    std::string buffer;
    EXPECT_EQ(system.GetWindowsDirectoryA(buffer, 128), 10u);
    EXPECT_EQ(buffer.substr(0, 10), "C:\\WINDOWS");
    EXPECT_EQ(system.GetTempPathA(128, buffer), 16u);
    EXPECT_EQ(buffer.substr(0, 16), "C:\\WINDOWS\\TEMP\\");
    // Too small: the size needed, zero included.
    EXPECT_EQ(system.GetSystemDirectoryA(buffer, 5), 18u);
}

} // namespace
