// The tips: their table, the stored tip and box, and the Tip of the Day window.
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "support/GuiApplication.h"
#include "support/RegistryValues.h"
#include "support/TempRoot.h"
#include "windows/Tips.h"
#include "windows/frmTip.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace glyphary;

namespace {

using glyphary::testing::dwordValue;

// The categories are the table's own data; what is checked is the title built from them and the wrap.
TEST(TipTable, EveryTipHasTextAndATitleWithItsCategoryAndTheLastWrapsToTheFirst)
{
    EXPECT_EQ(kTipCount, 28);
    for (int n = 1; n <= kTipCount; ++n)
        EXPECT_FALSE(tipText(n).trimmed().isEmpty()) << "tip " << n;
    EXPECT_EQ(QStringList({tipTitle(4), tipTitle(5), tipTitle(16), tipTitle(19)}),
              QStringList({"Tip 4. Change Icons", "Tip 5. Favorites", "Tip 16. Double-click Action",
                           "Tip 19. Create Icons/Cursors"}));
    EXPECT_TRUE(tipText(19).contains(QStringLiteral("Pictoforge")));
    for (const auto& [number, next] : {std::pair{1, 2}, std::pair{27, 28}, std::pair{28, 1}, std::pair{0, 1}, std::pair{-5, 1}})
        EXPECT_EQ(nextTip(number), next) << number;
    EXPECT_EQ(tipTitle(99), QStringLiteral("Tip 1. Change Icons"));
}

class TipStateTest : public ::testing::Test {
protected:
    void SetUp() override { glyphary::testing::ensureGuiApplication(); }

    void storeRaw(const char* name, platform::DWORD type, const std::vector<std::uint8_t>& data)
    {
        root.platform().registry().setValue(platform::HKEY_CURRENT_USER, kSettingsKey, name, type, data);
    }
    void storeDword(const char* name, std::uint32_t value) { storeRaw(name, platform::REG_DWORD, platform::regDword(value)); }

    // Read under any spelling of the name.
    glyphary::testing::StoredValue stored(const char* name)
    {
        return glyphary::testing::storedValue(root.platform().registry(), platform::HKEY_CURRENT_USER, kSettingsKey, name);
    }

    glyphary::testing::TempRoot root;
    Settings settings{root.platform().registry()};
};

TEST_F(TipStateTest, AnEmptyRegistryOrTipOneTicksTheBoxAndANumberOutOfRangeGivesTheFirstTip)
{
    TipState state(settings);
    state.load();
    EXPECT_TRUE(state.showOnStartup());
    EXPECT_EQ(state.current(), 1);
    EXPECT_EQ(state.title(), QStringLiteral("Tip 1. Change Icons"));
    for (const auto& [tip, ticked] : {std::pair{0u, false}, std::pair{1u, true}, std::pair{2u, false}}) {
        storeDword("Tip", tip);
        state.load();
        EXPECT_EQ(state.showOnStartup(), ticked) << tip;
    }
    for (const std::uint32_t bad : {0u, 29u, static_cast<std::uint32_t>(-5), 0x7FFFFFFFu}) {
        storeDword("TipNR", bad);
        state.load();
        EXPECT_EQ(state.current(), 1) << bad;
    }
    storeRaw("TipNR", platform::REG_SZ, platform::regString("twelve"));
    state.load();
    EXPECT_EQ(state.current(), 1);
    storeDword("TipNR", 17);
    state.load();
    EXPECT_EQ(state.current(), 17);
}

TEST_F(TipStateTest, WindowShowsTheStoredTipAndNextTipWraps)
{
    storeDword("TipNR", 28);
    frmTip window(settings);
    EXPECT_FALSE(window.isModal());
    EXPECT_EQ(QStringList({window.windowTitle(), window.chkTip->text(), window.cmdNextTip->text(), window.cmdOK->text()}),
              QStringList({"Tip of the Day", "&Show Tips on Startup", "&Next Tip", "&Close"}));
    EXPECT_TRUE(window.chkTip->isChecked());
    EXPECT_EQ(window.txtTitle->text(), QStringLiteral("Tip 28. Clipboard"));
    EXPECT_EQ(window.txtTip->text(), tipText(28));
    EXPECT_FALSE(window.picLogo->pixmap().isNull());
    window.cmdNextTip->click();
    EXPECT_EQ(window.txtTitle->text(), QStringLiteral("Tip 1. Change Icons"));
    window.cmdNextTip->click();
    EXPECT_EQ(window.txtTitle->text(), QStringLiteral("Tip 2. Change Icons"));
    EXPECT_EQ(window.txtTip->text(), tipText(2));
}

TEST_F(TipStateTest, CloseButtonAndCloseBoxStoreTheBoxAndTheTipAfterTheOneShownOnce)
{
    frmTip window(settings);
    window.show();
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(stored("TipNr"), dwordValue(2));
    EXPECT_EQ(stored("Tip"), dwordValue(1));
    // A second close of the hidden window writes nothing more.
    storeDword("TipNR", 9);
    window.close();
    window.reject();
    EXPECT_EQ(stored("TipNr"), dwordValue(9));
    frmTip second(settings);
    second.show();
    second.cmdNextTip->click(); // tip 10
    second.chkTip->setChecked(false);
    second.cmdOK->click();
    EXPECT_FALSE(second.isVisible());
    EXPECT_EQ(stored("TipNr"), dwordValue(11));
    EXPECT_EQ(stored("Tip"), dwordValue(0));
}

} // namespace
