#include "platform/WindowsPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using glyphary::platform::WindowsPaths;

namespace {

class WindowsPathsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = dir.path() + QStringLiteral("/root");
        QDir().mkpath(root + QStringLiteral("/drive_c/Windows/Icons"));
        QFile file(root + QStringLiteral("/drive_c/Windows/Icons/Star.ico"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir dir;
    QString root;
};

TEST_F(WindowsPathsTest, MapsDriveCIntoTheRootAndZToTheHost)
{
    const WindowsPaths paths(root);
    EXPECT_EQ(paths.toHost(QStringLiteral("C:\\Windows\\Icons\\Star.ico")), root + QStringLiteral("/drive_c/Windows/Icons/Star.ico"));
    EXPECT_EQ(paths.toHost(QStringLiteral("Z:\\etc\\hostname")), QStringLiteral("/etc/hostname"));
    EXPECT_EQ(paths.toHost(QStringLiteral("c:/Windows")), root + QStringLiteral("/drive_c/Windows"));
}

TEST_F(WindowsPathsTest, OtherDrivesUncAndRelativePathsDoNotExist)
{
    const WindowsPaths paths(root);
    EXPECT_EQ(paths.toHost(QStringLiteral("D:\\x.ico")), QString());
    EXPECT_EQ(paths.toHost(QStringLiteral("\\\\server\\share\\x.ico")), QString());
    EXPECT_EQ(paths.toHost(QStringLiteral("x.ico")), QString());
    EXPECT_EQ(paths.toHost(QStringLiteral("C:x.ico")), QString());
}

TEST_F(WindowsPathsTest, FindsExistingComponentsIgnoringCaseAndKeepsNewNamesAsGiven)
{
    const WindowsPaths paths(root);
    EXPECT_EQ(paths.toHost(QStringLiteral("C:\\WINDOWS\\ICONS\\STAR.ICO")), root + QStringLiteral("/drive_c/Windows/Icons/Star.ico"));
    EXPECT_EQ(paths.toHost(QStringLiteral("C:\\WINDOWS\\NewFolder\\New.ico")),
              root + QStringLiteral("/drive_c/Windows/NewFolder/New.ico"));
}

TEST_F(WindowsPathsTest, DotDotNeverClimbsAboveTheDrive)
{
    const WindowsPaths paths(root);
    EXPECT_EQ(paths.toHost(QStringLiteral("C:\\..\\..\\etc\\passwd")), root + QStringLiteral("/drive_c/etc/passwd"));
    EXPECT_EQ(paths.toHost(QStringLiteral("C:\\Windows\\..\\Windows\\Icons")), root + QStringLiteral("/drive_c/Windows/Icons"));
}

TEST_F(WindowsPathsTest, HostPathsBecomeWindowsPaths)
{
    const WindowsPaths paths(root);
    EXPECT_EQ(paths.toWindows(root + QStringLiteral("/drive_c/Windows/Icons/Star.ico")), QStringLiteral("C:\\Windows\\Icons\\Star.ico"));
    EXPECT_EQ(paths.toWindows(root + QStringLiteral("/drive_c")), QStringLiteral("C:\\"));
    EXPECT_EQ(paths.toWindows(QStringLiteral("/home/ann/x.ico")), QStringLiteral("Z:\\home\\ann\\x.ico"));
    // A folder merely named like the drive is not inside it.
    EXPECT_EQ(paths.toWindows(root + QStringLiteral("/drive_cx/a")), QStringLiteral("Z:") + QString(root + QStringLiteral("/drive_cx/a")).replace(u'/', u'\\'));
}

TEST_F(WindowsPathsTest, LongNamesGiveTheOnDiskCaseAndShortNamesStayLong)
{
    const WindowsPaths paths(root);
    EXPECT_EQ(paths.longName(QStringLiteral("c:\\windows\\icons\\star.ico")), QStringLiteral("C:\\Windows\\Icons\\Star.ico"));
    EXPECT_EQ(paths.longName(QStringLiteral("C:\\windows\\missing.ico")), QString());
    EXPECT_EQ(paths.shortName(QStringLiteral("C:\\Program Files\\Long Name.ico")), QStringLiteral("C:\\Program Files\\Long Name.ico"));
}

} // namespace
