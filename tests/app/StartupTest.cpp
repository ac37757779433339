// The first start's shared folders and path setting, the command line it is handed, and the
// common error report.
#include "app/CommandLine.h"
#include "app/Startup.h"
#include "core/ErrorReport.h"
#include "core/SettingsTable.h"
#include "platform/Win32Types.h"
#include "support/SessionFixture.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace glyphary;
using glyphary::testing::TempRoot;

namespace {

QByteArray readHostFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A first start's shared state over its own root.
struct Started {
    explicit Started(const QString& os = QStringLiteral("98"), const QString& folder = QStringLiteral("C:\\Glyphary"))
        : root(os)
    {
        splashLoad(context, settings, folder);
    }
    TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
};

TEST(SplashLoad, FillsTheSharedFoldersAsTheFolderCallsReportThem)
{
    const Started started(QStringLiteral("98"), QStringLiteral("C:\\Program Files\\Glyphary"));
    const AppContext& context = started.context;
    EXPECT_EQ(QStringList({context.ProgramFolder, context.WindowsFolder, context.SystemFolder, context.TempFolder}),
              QStringList({"C:\\Program Files\\Glyphary\\", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "c:\\windows\\temp\\"}));
    EXPECT_EQ(context.CatalogueAvailable, kTrue);
    EXPECT_EQ(context.PendingOpenPath, QString());
    // NT keeps its system files in SYSTEM32; a folder given with its backslash keeps one.
    const Started nt(QStringLiteral("NT4"), QStringLiteral("C:\\Glyphary\\"));
    EXPECT_EQ(nt.context.SystemFolder, QStringLiteral("C:\\WINDOWS\\SYSTEM32"));
    EXPECT_EQ(nt.context.ProgramFolder, QStringLiteral("C:\\Glyphary\\"));
}

TEST(SplashLoad, WritesThePathSettingOnlyWhenItDiffers)
{
    Started started;
    EXPECT_EQ(Settings::toText(started.settings.read(setting::Path)), QStringLiteral("C:\\Glyphary\\"));
    const QString userHive = started.root.rootPath() + QStringLiteral("/user.reg");
    const QByteArray hive = readHostFile(userHive);
    splashLoad(started.context, started.settings, QStringLiteral("C:\\Glyphary"));
    EXPECT_EQ(readHostFile(userHive), hive);
    splashLoad(started.context, started.settings, QStringLiteral("C:\\Moved"));
    EXPECT_EQ(Settings::toText(started.settings.read(setting::Path)), QStringLiteral("C:\\Moved\\"));
}

// A session over the fake window whose path opener records what it opens.
class CommandLineTest : public ::testing::Test, protected glyphary::testing::SessionParts<> {
protected:
    CommandLineTest()
    {
        session.setPathOpener([this] {
            opened << context.PendingOpenPath;
            context.PendingOpenPath.clear();
            return failure;
        });
        session.cmbResult.add(QStringLiteral("C:\\old.ico;0;x;0open"), 0);
    }

    QStringList opened;
    std::optional<ErrorInfo> failure;
};

TEST_F(CommandLineTest, AnEmptyHandOverOnlyActivatesAndAPathIsOpenedInPlaceOfEarlierResults)
{
    HandleCommandLine(session, QString(QChar(u'\0')));
    HandleCommandLine(session, QString());
    EXPECT_EQ(session.cmbResult.count(), 1);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(window.activations, 2);
    HandleCommandLine(session, QStringLiteral("C:\\Icons\\a b.ico"));
    EXPECT_EQ(session.cmbResult.count(), 0);
    EXPECT_EQ(opened, QStringList{QStringLiteral("C:\\Icons\\a b.ico")});
    EXPECT_EQ(window.activations, 3);
}

TEST_F(CommandLineTest, AnOpenErrorEndsItWithTheCommonReport)
{
    failure = ErrorInfo{53, QStringLiteral("Glyphary"), QStringLiteral("File not found")};
    HandleCommandLine(session, QStringLiteral("C:\\missing.ico"));
    ASSERT_EQ(root.dialogs().prompts.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts[0].title, QStringLiteral("Error"));
    EXPECT_EQ(root.dialogs().prompts[0].flags, platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(window.activations, 0);
}

TEST(CommandLine, HostPathsBecomeWindowsPathsWithoutQuotesOrWhatFollowsAZero)
{
    EXPECT_EQ(commandLinePath(QStringLiteral("C:\\x.ico") + QChar(u'\0') + QStringLiteral("junk")), QStringLiteral("C:\\x.ico"));
    EXPECT_EQ(commandLinePath(QStringLiteral("\"C:\\My Icons\\x.ico\"")), QStringLiteral("C:\\My Icons\\x.ico"));
    TempRoot root;
    const auto& paths = root.platform().paths();
    EXPECT_EQ(commandLineFromArguments({QStringLiteral("/home/ann/x.ico")}, paths), QStringLiteral("Z:\\home\\ann\\x.ico"));
    EXPECT_EQ(commandLineFromArguments({root.rootPath() + QStringLiteral("/drive_c/WINDOWS/a.ico")}, paths),
              QStringLiteral("C:\\WINDOWS\\a.ico"));
    EXPECT_EQ(commandLineFromArguments({QStringLiteral("C:\\x.ico")}, paths), QStringLiteral("C:\\x.ico"));
    EXPECT_EQ(commandLineFromArguments({}, paths), QString());
}

TEST(ErrorReport, HasTheExactTextAndBothTitles)
{
    const ErrorInfo error{5, QStringLiteral("frmMain"), QStringLiteral("Invalid procedure call")};
    EXPECT_EQ(errorReportText(error),
              QStringLiteral("Error Nr. 5 in frmMain\rInvalid procedure call\r\rPlease notify Vormel Software of this error.\r"
                             "Try to include relevant information and\rthe actions you were performing."));
    EXPECT_EQ(errorReportTitle(ErrorReporter::Procedure), QStringLiteral("Error"));
    EXPECT_EQ(errorReportTitle(ErrorReporter::Startup), QStringLiteral("Glyphary Error"));
}

} // namespace
