#include "catalogue/CatalogueFiles.h"
#include "core/AppContext.h"
#include "core/MainWindowLoad.h"
#include "core/Settings.h"
#include "core/SplashLoad.h"
#include "platform/DataFolder.h"
#include "support/Files.h"
#include "support/ReadOnlyFolder.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::testing;

namespace {

const QString kProgram = QStringLiteral("C:\\Glyphary\\");

// A program folder in the root (C:\Glyphary) whose writability the test decides, and a data home
// outside the root.
class UserDataFolderTest : public ::testing::Test {
protected:
    explicit UserDataFolderTest(bool writable = false) : programWritable(writable)
    {
        platform::PlatformConfig config;
        config.rootHostPath = dir.path() + QStringLiteral("/root");
        config.osSpec = QStringLiteral("98");
        config.dataHomeHostPath = dir.path() + QStringLiteral("/xdg");
        config.folderWritable = [this](const QString& host) {
            checked = host;
            return programWritable;
        };
        platformPtr = std::make_unique<platform::Platform>(config, dialogs);
        context = std::make_unique<AppContext>(*platformPtr);
        settings = std::make_unique<Settings>(platformPtr->registry());
        writeWindowsFile(platformPtr->paths(), kProgram + QStringLiteral("Icondata.dat"), "stars;abc:3:01\r\n");
        writeWindowsFile(platformPtr->paths(), kProgram + QStringLiteral("Keyuser.dat"), "shipped\r\n");
        splashLoad(*context, *settings, kProgram.chopped(1));
    }

    QString dataHost(const QString& name) const { return dir.path() + QStringLiteral("/xdg/glyphary/") + name; }
    QString programHost(const QString& name) const { return platformPtr->paths().toHost(kProgram + name); }
    static QByteArray bytes(const QString& host)
    {
        QFile file(host);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    bool addKeywordAndSave(const QString& keyword)
    {
        LoadCatalogue(*context);
        context->catalogueLists.lstKey.add(keyword);
        context->KeywordsChanged = kTrue;
        return SaveUserFiles(*context);
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    bool programWritable;
    QString checked;
    std::unique_ptr<platform::Platform> platformPtr;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<Settings> settings;
};

class WritableProgramFolderTest : public UserDataFolderTest {
protected:
    WritableProgramFolderTest() : UserDataFolderTest(true) {}
};

TEST_F(UserDataFolderTest, UnwritableProgramFolderSendsUserFilesToTheDataHome)
{
    EXPECT_EQ(checked.toStdString(), platformPtr->paths().toHost(kProgram.chopped(1)).toStdString());
    EXPECT_EQ(context->DataFolder, platformPtr->paths().toWindows(dir.path() + QStringLiteral("/xdg/glyphary")) + u'\\');
    EXPECT_TRUE(context->DataFolder.startsWith(QStringLiteral("Z:\\")));
    EXPECT_EQ(context->ProgramFolder, kProgram);
    // The shipped file is read while the data folder has none; the saved one is read from then on.
    ASSERT_TRUE(addKeywordAndSave(QStringLiteral("mine")));
    EXPECT_EQ(bytes(dataHost(QStringLiteral("Keyuser.dat"))), QByteArray("shipped\r\nmine\r\n"));
    EXPECT_EQ(bytes(programHost(QStringLiteral("Keyuser.dat"))), QByteArray("shipped\r\n"));
    EXPECT_FALSE(QFile::exists(programHost(QStringLiteral("Keyuser.bak"))));
    ASSERT_TRUE(addKeywordAndSave(QStringLiteral("more")));
    EXPECT_EQ(bytes(dataHost(QStringLiteral("Keyuser.dat"))), QByteArray("shipped\r\nmine\r\nmore\r\n"));
    EXPECT_EQ(bytes(dataHost(QStringLiteral("Keyuser.bak"))), QByteArray("shipped\r\nmine\r\n"));
    EXPECT_EQ(context->keywordTable.Keywords[0], QStringLiteral("stars")); // the index stays the program folder's
    EXPECT_EQ(favoritesRoot(*context, *settings), context->DataFolder + QStringLiteral("Favorites"));
    EXPECT_TRUE(dialogs.prompts.empty());
}

TEST_F(WritableProgramFolderTest, WritableProgramFolderKeepsEveryFile)
{
    EXPECT_EQ(context->DataFolder, kProgram);
    ASSERT_TRUE(addKeywordAndSave(QStringLiteral("mine")));
    EXPECT_EQ(bytes(programHost(QStringLiteral("Keyuser.dat"))), QByteArray("shipped\r\nmine\r\n"));
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/xdg")));
    EXPECT_EQ(favoritesRoot(*context, *settings), kProgram + QStringLiteral("Favorites"));
}

TEST(DataFolderRule, ADataHomeServesAnUnwritableOrInstalledProgramFolderAndReadOnlyFoldersAreRefused)
{
    const auto never = [](const QString&) { return false; };
    const auto always = [](const QString&) { return true; };
    EXPECT_EQ(platform::dataFolderHostPath("/opt/g", QString(), never), QStringLiteral("/opt/g"));
    EXPECT_EQ(platform::dataFolderHostPath("/opt/g", "/h/.local/share", always), QStringLiteral("/opt/g"));
    EXPECT_EQ(platform::dataFolderHostPath("/opt/g", "/h/.local/share/", never), QStringLiteral("/h/.local/share/glyphary"));
    QTemporaryDir dir;
    QFile marker(dir.filePath(platform::kInstalledMarker));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    EXPECT_EQ(platform::dataFolderHostPath(dir.path(), "/h", always), QStringLiteral("/h/glyphary"));
    EXPECT_TRUE(platform::isWritableFolder(dir.path()));
    EXPECT_FALSE(platform::isWritableFolder(dir.path() + QStringLiteral("/missing")));
    ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.active())
        GTEST_SKIP() << "this process can write to any folder";
    EXPECT_FALSE(platform::isWritableFolder(dir.path()));
}

} // namespace
