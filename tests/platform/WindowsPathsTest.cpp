#include "platform/WindowsPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(WindowsPaths, MapBothWaysWithTheCaseOnDiskAndNeverLeaveTheDrive)
{
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/root");
    const QString c = root + QStringLiteral("/drive_c");
    ASSERT_TRUE(QDir().mkpath(c + QStringLiteral("/Windows/Icons")));
    QFile star(c + QStringLiteral("/Windows/Icons/Star.ico"));
    ASSERT_TRUE(star.open(QIODevice::WriteOnly));
    const glyphary::platform::WindowsPaths paths(root);

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

} // namespace
