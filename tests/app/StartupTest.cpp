#include "core/AppContext.h"
#include "app/CommandLine.h"
#include "core/ErrorReport.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "app/Startup.h"
#include "platform/Win32Types.h"
#include "support/TempRoot.h"

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

TEST(SplashLoad, FillsTheSharedFoldersAsTheFolderCallsReportThem)
{
    TempRoot root;
    AppContext context(root.platform());
    Settings settings(root.platform().registry());
    splashLoad(context, settings, QStringLiteral("C:\\Program Files\\Glyphary"));

    EXPECT_EQ(context.ProgramFolder, QStringLiteral("C:\\Program Files\\Glyphary\\"));
    EXPECT_EQ(context.WindowsFolder, QStringLiteral("C:\\WINDOWS"));
    EXPECT_EQ(context.SystemFolder, QStringLiteral("C:\\WINDOWS\\SYSTEM"));
    EXPECT_EQ(context.TempFolder, QStringLiteral("c:\\windows\\temp\\"));
    EXPECT_EQ(context.CatalogueAvailable, kTrue);
    EXPECT_EQ(context.PendingOpenPath, QString());
}

TEST(SplashLoad, NtKeepsItsSystemFilesInSystem32)
{
    TempRoot root(QStringLiteral("NT4"));
    AppContext context(root.platform());
    Settings settings(root.platform().registry());
    splashLoad(context, settings, QStringLiteral("C:\\Glyphary\\"));
    EXPECT_EQ(context.SystemFolder, QStringLiteral("C:\\WINDOWS\\SYSTEM32"));
    EXPECT_EQ(context.ProgramFolder, QStringLiteral("C:\\Glyphary\\"));
}

TEST(SplashLoad, WritesThePathSettingOnlyWhenItDiffers)
{
    TempRoot root;
    AppContext context(root.platform());
    Settings settings(root.platform().registry());
    splashLoad(context, settings, QStringLiteral("C:\\Glyphary"));
    EXPECT_EQ(Settings::toText(settings.read(setting::Path)), QStringLiteral("C:\\Glyphary\\"));

    const QString userHive = root.rootPath() + QStringLiteral("/user.reg");
    const QByteArray hive = readHostFile(userHive);
    splashLoad(context, settings, QStringLiteral("C:\\Glyphary"));
    EXPECT_EQ(readHostFile(userHive), hive);

    splashLoad(context, settings, QStringLiteral("C:\\Moved"));
    EXPECT_EQ(Settings::toText(settings.read(setting::Path)), QStringLiteral("C:\\Moved\\"));
}

class FakeHost : public CommandLineHost {
public:
    int results = 0;
    int cleared = 0;
    int activated = 0;
    QStringList opened;
    std::optional<ErrorInfo> failure;
    AppContext* context = nullptr;

    int resultCount() const override { return results; }
    void clearResults() override
    {
        ++cleared;
        results = 0;
    }
    std::optional<ErrorInfo> openPendingPath() override
    {
        opened << context->PendingOpenPath;
        context->PendingOpenPath.clear();
        return failure;
    }
    void activateMainWindow() override { ++activated; }
};

TEST(HandleCommandLine, OpensThePathClearingEarlierResultsAndActivates)
{
    TempRoot root;
    AppContext context(root.platform());
    FakeHost host;
    host.context = &context;
    host.results = 3;
    HandleCommandLine(context, host, QStringLiteral("C:\\Icons\\a b.ico"));
    EXPECT_EQ(host.cleared, 1);
    EXPECT_EQ(host.opened, QStringList{QStringLiteral("C:\\Icons\\a b.ico")});
    EXPECT_EQ(host.activated, 1);
}

TEST(HandleCommandLine, AnEmptyHandOverOnlyActivates)
{
    TempRoot root;
    AppContext context(root.platform());
    FakeHost host;
    host.context = &context;
    host.results = 3;
    HandleCommandLine(context, host, QString(QChar(u'\0')));
    HandleCommandLine(context, host, QString());
    EXPECT_EQ(host.cleared, 0);
    EXPECT_TRUE(host.opened.isEmpty());
    EXPECT_EQ(host.activated, 2);
}

TEST(HandleCommandLine, TextAfterAZeroAndSurroundingQuotesAreNotPartOfThePath)
{
    EXPECT_EQ(commandLinePath(QStringLiteral("C:\\x.ico") + QChar(u'\0') + QStringLiteral("junk")), QStringLiteral("C:\\x.ico"));
    EXPECT_EQ(commandLinePath(QStringLiteral("\"C:\\My Icons\\x.ico\"")), QStringLiteral("C:\\My Icons\\x.ico"));
}

TEST(HandleCommandLine, AnOpenErrorEndsItWithTheCommonReport)
{
    TempRoot root;
    AppContext context(root.platform());
    FakeHost host;
    host.context = &context;
    host.failure = ErrorInfo{53, QStringLiteral("Glyphary"), QStringLiteral("File not found")};
    HandleCommandLine(context, host, QStringLiteral("C:\\missing.ico"));
    ASSERT_EQ(root.dialogs().prompts.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts[0].title, QStringLiteral("Error"));
    EXPECT_EQ(root.dialogs().prompts[0].flags, platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(host.activated, 0);
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

TEST(CommandLineArguments, HostPathsBecomeWindowsPaths)
{
    TempRoot root;
    const auto& paths = root.platform().paths();
    EXPECT_EQ(commandLineFromArguments({QStringLiteral("/home/ann/x.ico")}, paths), QStringLiteral("Z:\\home\\ann\\x.ico"));
    EXPECT_EQ(commandLineFromArguments({root.rootPath() + QStringLiteral("/drive_c/WINDOWS/a.ico")}, paths),
              QStringLiteral("C:\\WINDOWS\\a.ico"));
    EXPECT_EQ(commandLineFromArguments({QStringLiteral("C:\\x.ico")}, paths), QStringLiteral("C:\\x.ico"));
    EXPECT_EQ(commandLineFromArguments({}, paths), QString());
}

} // namespace
