#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "platform/Win32Types.h"
#include "support/RegistryValues.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::platform;
using glyphary::testing::TempRoot;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    TempRoot root;
    Settings settings{root.platform().registry()};

    void store(const char* name, DWORD type, const std::vector<std::uint8_t>& data)
    {
        ASSERT_EQ(root.platform().registry().setValue(HKEY_CURRENT_USER, kSettingsKey, name, type, data), ERROR_SUCCESS);
    }
};

// The defaults are the table's; here, one setting of each kind and default reads its default.
TEST_F(SettingsTest, AFirstStartGivesTheDefaults)
{
    EXPECT_EQ(settings.readNumber(setting::IconsPerPage), 200); // stored as text
    EXPECT_EQ(settings.readNumber(setting::TipNR), 1);
    EXPECT_TRUE(settings.readBool(setting::Statusbar));
    EXPECT_FALSE(settings.readBool(setting::HotTracking));
    EXPECT_EQ(settings.readText(setting::DCAction), QStringLiteral("None"));
    EXPECT_EQ(settings.readText(setting::ScanDirectory), QString());
    EXPECT_TRUE(settings.noticeWanted(QStringLiteral("SysCache")));
}

TEST_F(SettingsTest, BooleansReadAsTextOrAnyNumberNamesIgnoreCaseAndBinaryValuesAreAbsent)
{
    settings.write(setting::TextLabel, QStringLiteral("False"));
    EXPECT_FALSE(settings.readBool(setting::TextLabel));
    settings.write(setting::TextLabel, QStringLiteral("True"));
    EXPECT_TRUE(settings.readBool(setting::TextLabel));
    EXPECT_EQ(settings.ReadSetting(HKEY_CURRENT_USER, kSettingsKey, QStringLiteral("TextLabel")),
              SettingValue(QStringLiteral("True")));
    const std::tuple<DWORD, std::vector<std::uint8_t>, bool> stored[] = {{REG_DWORD, regDword(0), false},
        {REG_DWORD, regDword(static_cast<std::uint32_t>(-1)), true}, {REG_DWORD, regDword(1), true},
        {REG_SZ, regString("0"), false}};
    for (const auto& [type, data, on] : stored) {
        store("Statusbar", type, data);
        EXPECT_EQ(settings.readBool(setting::Statusbar), on);
    }
    // A binary value under a known name reads as absent.
    store("IconsPerPage", REG_BINARY, {0x10, 0x00, 0x00, 0x00});
    EXPECT_TRUE(isEmpty(settings.ReadSetting(HKEY_CURRENT_USER, kSettingsKey, QStringLiteral("IconsPerPage"))));
    EXPECT_EQ(settings.readNumber(setting::IconsPerPage), 200);
}

TEST_F(SettingsTest, AWriteWithoutACurrentKeyFailsQuietlyTextIsStoredAsStringsAndDeletingAKeyRemovesItsValues)
{
    settings.WriteSetting(QStringLiteral("Orphan"), QStringLiteral("x"), REG_SZ);
    EXPECT_EQ(settings.lastStatus(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(isEmpty(settings.ReadSetting(HKEY_CURRENT_USER, kSettingsKey, QStringLiteral("Orphan"))));
    settings.write(setting::IconsPerPage, qint32(50));
    settings.write(setting::MainTop, qint32(-120));
    EXPECT_EQ(glyphary::testing::storedValue(root.platform().registry(), HKEY_CURRENT_USER, kSettingsKey, "IconsPerPage"),
              (glyphary::testing::StoredValue{REG_SZ, regString("50")}));
    EXPECT_EQ(settings.ReadSetting(HKEY_CURRENT_USER, kPosKey, QStringLiteral("MainTop")), SettingValue(qint32(-120)));
    settings.write(setting::AsoICO, QStringLiteral("1"));
    settings.DeleteSettingsKey(HKEY_CURRENT_USER, kSettingsKey);
    EXPECT_EQ(settings.lastStatus(), ERROR_SUCCESS);
    EXPECT_TRUE(isEmpty(settings.read(setting::AsoICO)));
}

TEST_F(SettingsTest, AFlagOfMinusOneSuppressesItsNoticeLikeOne)
{
    for (const auto& [flag, wanted] : {std::pair{-1, false}, std::pair{1, false}, std::pair{0, true}}) {
        store("OrganizeFav", REG_DWORD, regDword(static_cast<std::uint32_t>(flag)));
        EXPECT_EQ(settings.noticeWanted(QStringLiteral("OrganizeFav")), wanted) << flag;
    }
}

} // namespace
