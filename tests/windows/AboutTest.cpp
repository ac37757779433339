// The About window: the build text, the icon resources present, its tabs, System Info and links.
#include "core/AppContext.h"
#include "core/Settings.h"
#include "support/GuiApplication.h"
#include "support/TempRoot.h"
#include "windows/AboutInfo.h"
#include "windows/frmInfo.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <gtest/gtest.h>

using namespace glyphary;

namespace {

const QString kProgramFolder = QStringLiteral("C:\\Program Files\\Glyphary\\");
const QString kMsInfo = QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSinfo\\msinfo32.exe");

class AboutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glyphary::testing::ensureGuiApplication();
        context.ProgramFolder = kProgramFolder;
        context.OsName = QStringLiteral("Windows 98 (4.10)");
    }

    // The index of `date`, the core library and the third update.
    void threeResources(const QDate& date)
    {
        for (const char* name : {"Iconlib.res", "Iconlib3.res", "icondata.dat"})
            root.writeFile(kProgramFolder + QString::fromLatin1(name), QByteArray("x"));
        QFile file(root.host(kProgramFolder + QStringLiteral("icondata.dat")));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime(date, QTime(12, 0)), QFileDevice::FileModificationTime));
    }
    QStringList lines(const QString& folder, const QLocale& locale = QLocale::c())
    {
        return iconResourceLines(root.platform().paths(), folder, locale);
    }
    void storeMsInfoPath()
    {
        root.platform().registry().setValue(platform::HKEY_LOCAL_MACHINE, kMsInfoKey, "Path", platform::REG_SZ,
                                            platform::regString(kMsInfo.toStdString()));
    }

    // A window whose desktop actions are only recorded.
    std::unique_ptr<frmInfo> window()
    {
        const AboutActions actions{[this](const QUrl& url) { openedUrls.push_back(url); return true; },
                                   [this](const QString& program) { startedPrograms.push_back(program); return startSucceeds; }};
        return std::make_unique<frmInfo>(context, settings, actions);
    }

    glyphary::testing::TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
    std::vector<QUrl> openedUrls;
    std::vector<QString> startedPrograms;
    bool startSucceeds = true;
};

TEST_F(AboutTest, BuildTextAndIconResourcesListOnlyTheLibrariesThatExist)
{
    EXPECT_EQ(buildText(), QStringLiteral("Glyphary version 1.00"));
    EXPECT_EQ(buildText({2, 1, 3}), QStringLiteral("Glyphary version 2.13"));
    // A program folder on a drive that does not exist here lists nothing as present.
    EXPECT_EQ(lines(QStringLiteral("Q:\\x\\")), QStringList({"Index Version\tNOT Present", "Core Library\tNOT Present"}));
    root.writeFile(kProgramFolder + QStringLiteral("ICONLIB10.RES"), QByteArray("x")); // found without regard to case
    root.writeFile(kProgramFolder + QStringLiteral("Iconlib.res\\inner"), QByteArray("a folder is not a library"));
    EXPECT_EQ(lines(kProgramFolder),
              QStringList({"Index Version\tNOT Present", "Core Library\tNOT Present", "IconUpdate 10\tPresent"}));
    QDir(root.host(kProgramFolder)).removeRecursively();
    threeResources(QDate(2021, 3, 14));
    EXPECT_EQ(lines(kProgramFolder, QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringList({"Index Version\t3/14/21", "Core Library\tPresent", "IconUpdate 3\tPresent"}));
    EXPECT_EQ(lines(kProgramFolder, QLocale(QLocale::German, QLocale::Germany))[0], QStringLiteral("Index Version\t14.03.21"));
}

TEST_F(AboutTest, WindowShowsVersionTabsAndTheResourceListAndEachTabExactlyItsOwnFrame)
{
    threeResources(QDate(2022, 1, 2));
    const auto about = window();
    EXPECT_EQ(QStringList({about->windowTitle(), about->lblBuild->text(), about->lblWinVerCaption->text(),
                           about->lblWinVer->text(), about->cmdOK->text(), about->cmdSysInfo->text()}),
              QStringList({"About Glyphary", "Glyphary version 1.00", "windows version:", "Windows 98 (4.10)", "&Close",
                           "&System Info"}));
    EXPECT_FALSE(about->txtDisclaimer->text().isEmpty());
    const QTabBar& tabs = *about->tabStrip;
    QStringList captions;
    for (int i = 0; i < tabs.count(); ++i)
        captions << tabs.tabText(i);
    EXPECT_EQ(captions, QStringList({"Version", "Disclaimer", "Icon Resources", "Contact"}));
    EXPECT_EQ(tabs.tabToolTip(2), "Active Glyphary Icon Libraries");
    EXPECT_EQ(tabs.tabToolTip(3), "Contact Me");
    // The lines themselves are the resource lines' test; the list shows them.
    QStringList shown;
    for (int i = 0; i < about->txtIconUpdate->count(); ++i)
        shown << about->txtIconUpdate->item(i)->text();
    EXPECT_EQ(shown, lines(kProgramFolder, QLocale()));
    EXPECT_EQ(shown.value(2), "IconUpdate 3\tPresent");
    about->show();
    for (int tab : {0, 3, 2, 1, 0}) {
        about->tabStrip->setCurrentIndex(tab);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(about->fraInfo[static_cast<std::size_t>(i)]->isVisible(), i == tab) << "tab " << tab << " frame " << i;
    }
}

TEST_F(AboutTest, SystemInfoRunsTheProgramNamedInTheRegistryOrSaysWhyNotAndLinksOpenThroughTheDesktop)
{
    EXPECT_TRUE(window()->cmdSysInfo->isHidden()); // without a path
    storeMsInfoPath();                             // the file itself is missing
    const auto about = window();
    EXPECT_FALSE(about->cmdSysInfo->isHidden());
    EXPECT_EQ(about->cmdSysInfo->property("tag").toString(), kMsInfo);
    about->cmdSysInfo->click();
    EXPECT_TRUE(startedPrograms.empty());
    ASSERT_EQ(root.dialogs().prompts.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts[0].title, QStringLiteral("System Info"));
    EXPECT_TRUE(root.dialogs().prompts[0].text.endsWith(kMsInfo));
    root.writeFile(kMsInfo, QByteArray("MZ"));
    about->cmdSysInfo->click();
    EXPECT_EQ(startedPrograms, std::vector<QString>{root.host(kMsInfo)});
    EXPECT_EQ(root.dialogs().prompts.size(), 1u);
    startSucceeds = false;
    about->cmdSysInfo->click();
    EXPECT_EQ(startedPrograms.size(), 2u);
    EXPECT_EQ(root.dialogs().prompts.size(), 2u);
    // The contact links open through the desktop.
    EXPECT_TRUE(about->txtURL->text().contains(QString::fromLatin1(kHomePageUrl)));
    EXPECT_TRUE(about->txtMail->text().contains(QString::fromLatin1(kMailUrl)));
    emit about->txtURL->linkActivated(QString::fromLatin1(kHomePageUrl));
    emit about->txtMail->linkActivated(QString::fromLatin1(kMailUrl));
    ASSERT_EQ(openedUrls.size(), 2u);
    EXPECT_EQ(openedUrls[0], QUrl(QString::fromLatin1(kHomePageUrl)));
    EXPECT_EQ(openedUrls[1].scheme(), QStringLiteral("mailto"));
}

} // namespace
