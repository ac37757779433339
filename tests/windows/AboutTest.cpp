#include "core/AppContext.h"
#include "core/Settings.h"
#include "support/GuiApplication.h"
#include "support/TempRoot.h"
#include "windows/AboutInfo.h"
#include "windows/frmInfo.h"

#include <QDateTime>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <gtest/gtest.h>

using namespace glyphary;
using glyphary::testing::TempRoot;

namespace {

const QString kProgramFolder = QStringLiteral("C:\\Program Files\\Glyphary\\");
const char* const kMsInfo = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSinfo\\msinfo32.exe";

class AboutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glyphary::testing::ensureGuiApplication();
        context.ProgramFolder = kProgramFolder;
        context.OsName = QStringLiteral("Windows 98 (4.10)");
    }

    void programFile(const QString& name) { root.writeFile(kProgramFolder + name, "x"); }

    // The index of `date`, the core library and the third update.
    void threeResources(const QDate& date)
    {
        programFile(QStringLiteral("Iconlib.res"));
        programFile(QStringLiteral("Iconlib3.res"));
        programFile(QStringLiteral("icondata.dat"));
        QFile file(root.host(kProgramFolder + QStringLiteral("icondata.dat")));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime(date, QTime(12, 0)), QFileDevice::FileModificationTime));
    }

    void storeMsInfoPath(const char* path)
    {
        root.platform().registry().setValue(platform::HKEY_LOCAL_MACHINE, kMsInfoKey, "Path", platform::REG_SZ,
                                            platform::regString(path));
    }

    // A window whose desktop actions are only recorded.
    std::unique_ptr<frmInfo> window()
    {
        AboutActions actions{[this](const QUrl& url) {
                                 openedUrls.push_back(url);
                                 return true;
                             },
                             [this](const QString& program) {
                                 startedPrograms.push_back(program);
                                 return startSucceeds;
                             }};
        return std::make_unique<frmInfo>(context, settings, actions);
    }

    TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
    std::vector<QUrl> openedUrls;
    std::vector<QString> startedPrograms;
    bool startSucceeds = true;
};

TEST_F(AboutTest, BuildTextJoinsMinorAndRevision)
{
    EXPECT_EQ(buildText(), QStringLiteral("Glyphary version 1.00"));
    EXPECT_EQ(buildText({2, 1, 3}), QStringLiteral("Glyphary version 2.13"));
}

TEST_F(AboutTest, IconResourcesListOnlyTheLibrariesThatExist)
{
    threeResources(QDate(2021, 3, 14));
    const QStringList lines
        = iconResourceLines(root.platform().paths(), kProgramFolder, QLocale(QLocale::English, QLocale::UnitedStates));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("Index Version\t3/14/21"));
    EXPECT_EQ(lines[1], QStringLiteral("Core Library\tPresent"));
    EXPECT_EQ(lines[2], QStringLiteral("IconUpdate 3\tPresent"));

    EXPECT_EQ(iconResourceLines(root.platform().paths(), kProgramFolder, QLocale(QLocale::German, QLocale::Germany))[0],
              QStringLiteral("Index Version\t14.03.21"));
}

TEST_F(AboutTest, IconResourcesWithoutFilesSayNotPresentAndReachTheTenthUpdate)
{
    programFile(QStringLiteral("ICONLIB10.RES")); // names are found without regard to case
    root.writeFile(kProgramFolder + QStringLiteral("Iconlib.res\\inner"), "a folder is not a library");
    const QStringList lines = iconResourceLines(root.platform().paths(), kProgramFolder, QLocale::c());
    EXPECT_EQ(lines, QStringList({QStringLiteral("Index Version\tNOT Present"), QStringLiteral("Core Library\tNOT Present"),
                                  QStringLiteral("IconUpdate 10\tPresent")}));

    // A program folder on a drive that does not exist here lists nothing as present.
    const QStringList nowhere = iconResourceLines(root.platform().paths(), QStringLiteral("Q:\\x\\"), QLocale::c());
    EXPECT_EQ(nowhere, QStringList({QStringLiteral("Index Version\tNOT Present"), QStringLiteral("Core Library\tNOT Present")}));
}

TEST_F(AboutTest, WindowShowsVersionTabsAndTheResourceList)
{
    threeResources(QDate(2022, 1, 2));
    const auto about = window();
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Glyphary"));
    EXPECT_EQ(about->lblBuild->text(), QStringLiteral("Glyphary version 1.00"));
    EXPECT_EQ(about->lblWinVerCaption->text(), QStringLiteral("windows version:"));
    EXPECT_EQ(about->lblWinVer->text(), QStringLiteral("Windows 98 (4.10)"));
    EXPECT_EQ(about->cmdOK->text(), QStringLiteral("&Close"));
    EXPECT_EQ(about->cmdSysInfo->text(), QStringLiteral("&System Info"));
    EXPECT_FALSE(about->txtDisclaimer->text().isEmpty());

    const QTabBar& tabs = *about->tabStrip;
    ASSERT_EQ(tabs.count(), 4);
    const char* const captions[] = {"Version", "Disclaimer", "Icon Resources", "Contact"};
    const char* const keys[] = {"version", "disclaimer", "libraries", "contact"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tabs.tabText(i), QString::fromLatin1(captions[i]));
        EXPECT_EQ(tabs.tabData(i).toString(), QString::fromLatin1(keys[i]));
    }
    EXPECT_EQ(tabs.tabToolTip(2), QStringLiteral("Active Glyphary Icon Libraries"));
    EXPECT_EQ(tabs.tabToolTip(3), QStringLiteral("Contact Me"));

    ASSERT_EQ(about->txtIconUpdate->count(), 3);
    EXPECT_TRUE(about->txtIconUpdate->item(0)->text().startsWith(QStringLiteral("Index Version\t")));
    EXPECT_NE(about->txtIconUpdate->item(0)->text(), QStringLiteral("Index Version\tNOT Present"));
    EXPECT_EQ(about->txtIconUpdate->item(1)->text(), QStringLiteral("Core Library\tPresent"));
    EXPECT_EQ(about->txtIconUpdate->item(2)->text(), QStringLiteral("IconUpdate 3\tPresent"));
}

TEST_F(AboutTest, EachTabShowsExactlyItsOwnFrame)
{
    const auto about = window();
    about->show();
    for (int tab : {0, 3, 2, 1, 0}) {
        about->tabStrip->setCurrentIndex(tab);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(about->fraInfo[static_cast<std::size_t>(i)]->isVisible(), i == tab) << "tab " << tab << " frame " << i;
    }
}

TEST_F(AboutTest, SystemInfoRunsTheProgramNamedInTheRegistry)
{
    EXPECT_TRUE(window()->cmdSysInfo->isHidden()); // without a path
    storeMsInfoPath(kMsInfo);
    root.writeFile(QString::fromLatin1(kMsInfo), "MZ");
    const auto about = window();
    EXPECT_FALSE(about->cmdSysInfo->isHidden());
    EXPECT_EQ(about->cmdSysInfo->property("tag").toString(), QString::fromLatin1(kMsInfo));

    about->cmdSysInfo->click();
    ASSERT_EQ(startedPrograms.size(), 1u);
    EXPECT_EQ(startedPrograms[0], root.host(QString::fromLatin1(kMsInfo)));
    EXPECT_TRUE(root.dialogs().prompts.empty());
}

TEST_F(AboutTest, SystemInfoThatCannotStartIsReported)
{
    storeMsInfoPath(kMsInfo); // the file itself is missing
    const auto about = window();
    about->cmdSysInfo->click();
    EXPECT_TRUE(startedPrograms.empty());
    ASSERT_EQ(root.dialogs().prompts.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts[0].title, QStringLiteral("System Info"));
    EXPECT_TRUE(root.dialogs().prompts[0].text.endsWith(QString::fromLatin1(kMsInfo)));

    root.writeFile(QString::fromLatin1(kMsInfo), "MZ");
    startSucceeds = false;
    about->cmdSysInfo->click();
    EXPECT_EQ(startedPrograms.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts.size(), 2u);
}

TEST_F(AboutTest, ContactLinksOpenThroughTheDesktop)
{
    const auto about = window();
    EXPECT_TRUE(about->txtURL->text().contains(QString::fromLatin1(kHomePageUrl)));
    EXPECT_TRUE(about->txtMail->text().contains(QString::fromLatin1(kMailUrl)));
    emit about->txtURL->linkActivated(QString::fromLatin1(kHomePageUrl));
    emit about->txtMail->linkActivated(QString::fromLatin1(kMailUrl));
    ASSERT_EQ(openedUrls.size(), 2u);
    EXPECT_EQ(openedUrls[0], QUrl(QString::fromLatin1(kHomePageUrl)));
    EXPECT_EQ(openedUrls[1].scheme(), QStringLiteral("mailto"));
}

} // namespace
