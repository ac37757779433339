#include "core/OsVersion.h"
#include "platform/WindowsSystem.h"

#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::platform;

namespace {

struct OsCase {
    const char* version;
    const char* name;
    const char* code;
};

class OsVersionTest : public ::testing::TestWithParam<OsCase> {};

TEST_P(OsVersionTest, GivesTheNameAndCodeOfEachVersion)
{
    const WindowsSystem system(windowsVersionFromSpec(QString::fromLatin1(GetParam().version)));
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
    const WindowsSystem system(windowsVersionFromSpec(QStringLiteral("98")));
    std::string buffer;
    EXPECT_EQ(system.GetWindowsDirectoryA(buffer, 128), 10u);
    EXPECT_EQ(buffer.substr(0, 10), "C:\\WINDOWS");
    EXPECT_EQ(system.GetTempPathA(128, buffer), 16u);
    EXPECT_EQ(buffer.substr(0, 16), "C:\\WINDOWS\\TEMP\\");
    // Too small: the size needed, zero included.
    EXPECT_EQ(system.GetSystemDirectoryA(buffer, 5), 18u);
}

} // namespace
