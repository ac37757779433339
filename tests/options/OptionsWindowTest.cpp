// The Options window offscreen: its tabs and captions, the controls showing the stored settings,
// and clicks reaching the choices and Apply.

#include "OptionsFixture.h"
#include "options/OptionsApply.h"
#include "options/frmOptions.h"
#include "support/GuiApplication.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

using namespace glyphary;
using namespace Qt::StringLiterals;
using glyphary::testing::OptionsFixture;

namespace {

class OptionsWindowTest : public OptionsFixture {
protected:
    OptionsWindowTest()
    {
        glyphary::testing::ensureGuiApplication();
        installOptionsWindow(session, *options, nullptr);
    }
    // A closed window deletes itself later; that must happen while the session still exists.
    ~OptionsWindowTest() override
    {
        delete shown();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    frmOptions* shown()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<frmOptions*>(w); f && f->isVisible())
                return f;
        return nullptr;
    }
    // The settings stored before are those the main window loaded.
    frmOptions& open()
    {
        session.loadSettings(MainWindowDesign{});
        session.run(Command::Options);
        frmOptions* window = shown();
        EXPECT_NE(window, nullptr);
        return *window;
    }
};

TEST_F(OptionsWindowTest, TabsAndControlsCarryTheirCaptionsAndToolTips)
{
    frmOptions& w = open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Options"));
    const char* tabs[][2] = {{"General", "General Options"}, {"Shell Integration", "Shell Integration Options"},
                             {"Double Click Icon", "Define Action when Doubleclicking Icons"},
                             {"Favorites", "Favorite Options"}};
    ASSERT_EQ(w.tbsOptions->count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(w.tbsOptions->tabText(i), QLatin1StringView(tabs[i][0]));
        EXPECT_EQ(w.tbsOptions->tabToolTip(i), QLatin1StringView(tabs[i][1]));
    }
    w.tbsOptions->setCurrentIndex(2);
    EXPECT_TRUE(w.picOptions[2]->isVisible());
    EXPECT_FALSE(w.picOptions[0]->isVisible());
    const std::pair<const char*, const char*> captions[] = {
        {"chkHoverSelection", "&Hot Tracking"}, {"chkRebuild", "Do Not &Show Rebuild Windows Icon Cache Reminders"},
        {"chkRestart", "Do &Not Show Windows Restart Reminders"}, {"chkMaskUseBackground", "&Use Results Pane Background Color"},
        {"chkSendTo", "Add to &Send To Menu"}, {"chkAsoICO", "&Icons (*.ico)"},
        {"chkAsoDLL", "Dynamic &Link Libraries (*.dll)"}, {"chkAsoCUR", "C&ursors (*.cur)"},
        {"chkAsoANI", "A&nimated Icons (*.ani)"}, {"chkAsoICL", "Icon &Libraries (*.icl)"},
        {"chkChange", "C&hange System Icon if Applicable"}, {"chkRun", "&Run Application if Shortcut Icon"},
        {"chkRef", "&Add Reference if Opened Icon"}, {"chkPlay", "&Play if Animated Icon"},
        {"chkSearchFav", "&Also Search Favorites when Searching on Keywords"},
        {"optNone", "&None"}, {"optProp", "&Properties"}, {"optZoom", "&Zoom"}, {"optSave", "&Save As"},
        {"optCopy", "&Copy to Clipboard"}, {"optEditWith", "&Edit With"}, {"cmdMaskCustom", "C&ustom"},
        {"cmdDesktop", "Add &Desktop Icon"}, {"cmdBrowseEdit", "Browse"}, {"cmdBrowse", "&Browse"},
        {"cmdCreate", "&Default"}, {"cmdApply", "A&pply"}, {"cmdCancel", "C&ancel"}, {"cmdOK", "&Close"},
    };
    for (const auto& [name, caption] : captions) {
        auto* button = w.findChild<QAbstractButton*>(QLatin1StringView(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), QLatin1StringView(caption)) << name;
    }
    EXPECT_EQ(w.cmbMaskSystemColor->toolTip(), u"System Colors"_s);
    EXPECT_EQ(w.cmdMaskCustom->toolTip(), u"Custom Colors"_s);
    EXPECT_EQ(w.cmdBrowseEdit->toolTip(), u"Browse for External Editor"_s);
    EXPECT_EQ(w.cmdBrowse->toolTip(), u"Browse to set the Favorites Home Folder"_s);
    EXPECT_EQ(w.cmdCreate->toolTip(), u"Browse to set the Favorites Home Folder"_s);
    ASSERT_EQ(w.cmbMaskSystemColor->count(), 10);
    EXPECT_EQ(w.cmbMaskSystemColor->itemText(0), QString());
    EXPECT_EQ(w.cmbMaskSystemColor->itemText(6), QStringLiteral("Application Workspace"));
    EXPECT_EQ(w.cmbIconsPerPage->count(), 3);
    EXPECT_EQ(w.lstZoom->count(), 5);
    EXPECT_EQ(w.lstZoom->item(4)->text(), QStringLiteral("10:1"));
}

TEST_F(OptionsWindowTest, ControlsShowTheStoredSettings)
{
    const std::pair<const SettingDef*, SettingValue> storedBefore[] = {
        {&setting::DCAction, u"Save"_s}, {&setting::DCZoom, qint32(3)}, {&setting::AsoDLL, u"True"_s},
        {&setting::UseMask, u"True"_s}, {&setting::MaskColor, u"-2147483635"_s}, // Highlight
        {&setting::ExtEditFolder, u"C:\\Tools\\"_s}, {&setting::ExtEditFile, u"paint.exe"_s},
        {&setting::FavDir, u"D:\\Mine"_s}};
    for (const auto& [def, value] : storedBefore)
        store(*def, value);
    frmOptions& w = open();
    EXPECT_TRUE(w.optSave->isChecked());
    EXPECT_EQ(w.lstZoom->currentRow(), 3);
    EXPECT_TRUE(w.chkAsoDLL->isChecked());
    EXPECT_FALSE(w.chkAsoICO->isChecked());
    EXPECT_FALSE(w.chkMaskUseBackground->isChecked());
    EXPECT_EQ(w.cmbMaskSystemColor->currentText(), QStringLiteral("Highlight"));
    EXPECT_EQ(w.txtEdit->text(), QStringLiteral("C:\\Tools\\paint.exe"));
    EXPECT_EQ(w.txtFavHomeDir->text(), QStringLiteral("D:\\Mine"));
    EXPECT_EQ(w.cmbIconsPerPage->currentText(), QStringLiteral("200"));
}

TEST_F(OptionsWindowTest, EditWithAnsweredNoFallsBackToNoneAndApplyWritesTheBoxes)
{
    frmOptions& w = open();
    w.txtEdit->setText(QStringLiteral("C:\\Nowhere\\gone.exe"));
    dialogs().messageBoxAnswers.push_back(platform::IDNO);
    w.optEditWith->click();
    EXPECT_EQ(promptsWith(options::kEditorQuestion), 1);
    EXPECT_TRUE(w.optNone->isChecked());
    EXPECT_EQ(w.txtEdit->text(), QString());
    w.lstZoom->setCurrentRow(1);
    EXPECT_TRUE(w.optZoom->isChecked());
    w.chkAsoICL->setChecked(true);
    w.cmbIconsPerPage->setCurrentText(QStringLiteral("150"));
    w.cmdCreate->click();
    EXPECT_EQ(w.txtFavHomeDir->text(), glyphary::testing::kProgramFolder + QStringLiteral("Favorites"));
    w.cmdApply->click();
    for (const auto& [name, value] :
         {std::pair{"DCAction", "Zoom"}, {"DCZoom", "1"}, {"AsoICL", "True"}, {"IconsPerPage", "150"}})
        EXPECT_EQ(stored(name), QLatin1StringView(value)) << name;
    dialogs().colorAnswers.push_back(QColor(0x10, 0x20, 0x30));
    w.cmdMaskCustom->click();
    EXPECT_EQ(w.cmbMaskSystemColor->currentIndex(), 0);
    EXPECT_FALSE(w.chkMaskUseBackground->isChecked());
    w.cmdOK->click();
    EXPECT_EQ(stored("MaskColor"), QStringLiteral("3153936"));
    EXPECT_EQ(shown(), nullptr);
    // Cancel closes without applying.
    frmOptions& again = open();
    again.chkSearchFav->setChecked(true);
    again.cmdCancel->click();
    EXPECT_EQ(stored("SearchFav"), QStringLiteral("False"));
}

} // namespace
