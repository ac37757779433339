// The notice window: its texts, the flag it stores, its second button and its place.
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "support/GuiApplication.h"
#include "support/TempRoot.h"
#include "windows/frmMessage.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace glyphary;
using glyphary::testing::TempRoot;

namespace {

class MessageWindowTest : public ::testing::Test {
protected:
    void SetUp() override { glyphary::testing::ensureGuiApplication(); }

    // Shows the window modally and lets `act` close it, as a person would.
    bool showAndClose(const platform::MessageRequest& request, const std::function<void(frmMessage&)>& act)
    {
        frmMessage window(settings, 15, request);
        QTimer::singleShot(0, &window, [&window, &act] { act(window); });
        return window.showModal();
    }

    qint32 flag(const char* name)
    {
        return Settings::toNumber(settings.ReadSetting(platform::HKEY_CURRENT_USER, kSettingsKey, QString::fromLatin1(name))).value_or(-99);
    }

    TempRoot root;
    Settings settings{root.platform().registry()};
};

TEST_F(MessageWindowTest, ShowsTheRequestHidesAnEmptySecondButtonAndLeavesAPositionOffEveryScreen)
{
    settings.write(setting::MessageTop, qint32(-9000000));
    settings.write(setting::MessageLeft, qint32(-9000000));
    frmMessage window(settings, 15, {QStringLiteral("Rebuild Icon Cache Now!"), QStringLiteral("FolderCache"), QStringLiteral("Folder Icon"), QString()});
    EXPECT_EQ(QStringList({window.windowTitle(), window.txtMessage->text(), window.chkNoShow->text(), window.cmdOK->text()}),
              QStringList({"Folder Icon", "Rebuild Icon Cache Now!", "&Don't show this message again.", "&Close"}));
    EXPECT_EQ(window.chkNoShow->property("tag").toString(), QStringLiteral("FolderCache"));
    EXPECT_TRUE(window.cmdRestart->isHidden());
    EXPECT_GT(window.pos().x(), -1000);
    EXPECT_GT(window.pos().y(), -1000);
}

TEST_F(MessageWindowTest, ClosingWritesTheFlagAsZeroOrOneAndThePositionAndTellsWhichButton)
{
    EXPECT_FALSE(showAndClose({QStringLiteral("text"), QStringLiteral("OrganizeFav"), QStringLiteral("t"), QString()},
                              [](frmMessage& window) {
                                  window.chkNoShow->setChecked(true);
                                  window.cmdOK->click();
                              }));
    EXPECT_EQ(flag("OrganizeFav"), 1);
    EXPECT_FALSE(settings.noticeWanted(QStringLiteral("OrganizeFav")));
    EXPECT_FALSE(isEmpty(settings.read(setting::MessageTop)));
    EXPECT_FALSE(isEmpty(settings.read(setting::MessageLeft)));
    showAndClose({QStringLiteral("text"), QStringLiteral("OrganizeFav"), QStringLiteral("t"), QString()},
                 [](frmMessage& window) { window.cmdOK->click(); });
    EXPECT_EQ(flag("OrganizeFav"), 0);
    EXPECT_TRUE(settings.noticeWanted(QStringLiteral("OrganizeFav")));
    // The second button gives true; the close box counts as Close.
    EXPECT_TRUE(showAndClose({QStringLiteral("Restart now?"), QStringLiteral("SysCursorRestart"), QStringLiteral("Cursors"),
                              QStringLiteral("&Restart")},
                             [](frmMessage& window) {
                                 EXPECT_FALSE(window.cmdRestart->isHidden());
                                 EXPECT_EQ(window.cmdRestart->text(), QStringLiteral("&Restart"));
                                 window.cmdRestart->click();
                             }));
    EXPECT_EQ(flag("SysCursorRestart"), 0);
    EXPECT_FALSE(showAndClose({QStringLiteral("x"), QStringLiteral("SysCache"), QStringLiteral("t"), QStringLiteral("&Rebuild")},
                              [](frmMessage& window) { window.reject(); }));
    EXPECT_EQ(flag("SysCache"), 0);
}

} // namespace
