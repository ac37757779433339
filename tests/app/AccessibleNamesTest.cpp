// Every window of the program, shown with the application's namer installed: each control a person
// can reach or see by its name has a name a screen reader reads.

#include "app/Startup.h"
#include "app/frmCustomizeToolbar.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "changer/Install.h"
#include "changer/frmChange.h"
#include "export/PropertiesView.h"
#include "export/frmFileProperties.h"
#include "export/frmProp.h"
#include "export/frmZoom.h"
#include "options/Install.h"
#include "options/frmOptions.h"
#include "platform/QtAccessibleNames.h"
#include "platform/SingleInstance.h"
#include "results/Install.h"
#include "results/frmAdd.h"
#include "results/frmKey.h"
#include "sources/Install.h"
#include "sources/frmScan.h"
#include "support/GuiApplication.h"
#include "support/SessionFixture.h"
#include "windows/frmAni.h"
#include "windows/frmImport.h"
#include "windows/frmInfo.h"
#include "windows/frmMessage.h"
#include "windows/frmTip.h"

#include <QCursor>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace glyphary;

namespace {

TEST(AccessibleNames, ControlNamesReadAsWords)
{
    const std::pair<const char*, const char*> cases[] = {
        {"cmbIconsPerPage", "Icons Per Page"}, {"picIconBack", "Icon Back"}, {"RechtsBut", "Rechts But"},
        {"open", "Open"}, {"pnlToolbar", "Toolbar"}, {"chk", "Chk"}, {"qt_scrollarea_viewport", ""}, {"", ""}};
    for (const auto& [objectName, words] : cases)
        EXPECT_EQ(platform::readableControlName(QString::fromLatin1(objectName)), QString::fromLatin1(words)) << objectName;
}

TEST(AccessibleNames, WhatQtReadsStaysAndOnlyTheSilentGetANameAtTheirShow)
{
    glyphary::testing::ensureGuiApplication();
    platform::AccessibleNamer namer;
    qApp->installEventFilter(&namer);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Pictoforge"));
    auto* status = new QLabel(QStringLiteral("Open"), &window);
    auto* typed = new QLineEdit(&window);
    typed->setToolTip(QStringLiteral("Keyword"));
    window.show();
    EXPECT_EQ(typed->accessibleName(), QStringLiteral("Keyword"));
    EXPECT_TRUE(status->accessibleName().isEmpty()) << "a label is read by its text";
    status->setText(QStringLiteral("Click"));
    EXPECT_EQ(platform::spokenName(status), QStringLiteral("Click")) << "and read as it is now";
    qApp->removeEventFilter(&namer);
}

class AccessibleWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glyphary::testing::ensureGuiApplication();
        qApp->installEventFilter(&namer);
        splashLoad(mainParts.context, mainParts.settings, QStringLiteral("C:\\Glyphary"));
    }
    void TearDown() override { qApp->removeEventFilter(&namer); }

    // Shows `window` and lists the controls without a spoken name.
    static QStringList silentControls(QWidget& window)
    {
        // Away from the pointer: a window shown under it gets an enter event, whose pointing device
        // Qt makes up and destroys after the application at exit.
        window.move(QCursor::pos() + QPoint(40, 40));
        window.show();
        QStringList silent;
        QList<QWidget*> widgets{&window};
        widgets += window.findChildren<QWidget*>();
        for (QWidget* widget : widgets) {
            const bool shown = widget == &window || widget->isVisibleTo(&window);
            const bool named = !widget->objectName().isEmpty() && !widget->objectName().startsWith(u"qt_");
            if (shown && (named || widget->focusPolicy() != Qt::NoFocus) && platform::spokenName(widget).isEmpty())
                silent << QStringLiteral("%1 %2").arg(QString::fromLatin1(widget->metaObject()->className()),
                                                      widget->objectName());
        }
        window.close();
        return silent;
    }

    platform::AccessibleNamer namer;
    glyphary::testing::SessionParts<> mainParts;
    glyphary::testing::SessionParts<> parts;
};

TEST_F(AccessibleWindowsTest, EveryWindowsControlsHaveSpokenNames)
{
    AppContext& context = parts.context;
    Settings& settings = parts.settings;
    platform::NamedMutex mutex;
    frmMain mainWindow(mainParts.context, mainParts.settings, mutex, QString());
    OpenAndScan& open = sources::install(parts.session);
    results::Collections& collections = results::install(parts.session);
    changer::Changer& changer = changer::install(parts.session);
    options::Options& options = options::install(parts.session);
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.push_back(std::make_unique<frmCustomizeToolbar>(mainWindow.pnlToolBar));
    windows.push_back(std::make_unique<frmSplash>(context, settings, QStringLiteral("C:\\Glyphary"), frmSplash::Hooks{}));
    windows.push_back(std::make_unique<frmScan>(context, settings, open));
    windows.push_back(std::make_unique<frmKey>(parts.session, collections));
    windows.push_back(std::make_unique<frmAdd>(parts.session, collections));
    windows.push_back(std::make_unique<frmChange>(parts.session, changer.controller));
    windows.push_back(std::make_unique<frmOptions>(parts.session, options.controller));
    windows.push_back(std::make_unique<frmImport>(parts.session));
    windows.push_back(std::make_unique<frmAni>(context, settings));
    windows.push_back(std::make_unique<frmZoom>(
        context, settings, exporting::ZoomView(context, std::nullopt, Qt::white, exporting::ZoomPurpose::PlaceHotSpot)));
    windows.push_back(std::make_unique<frmProp>(exporting::IconProperties{}));
    windows.push_back(std::make_unique<frmFileProperties>(exporting::FileProperties{}));
    windows.push_back(std::make_unique<frmInfo>(context, settings));
    windows.push_back(std::make_unique<frmMessage>(
        settings, 15, platform::MessageRequest{QStringLiteral("Text"), QStringLiteral("Flag"), QStringLiteral("Title"), QStringLiteral("Now")}));
    windows.push_back(std::make_unique<frmTip>(settings));
    EXPECT_EQ(silentControls(mainWindow).join(u", ").toStdString(), "");
    for (const auto& window : windows)
        EXPECT_EQ(silentControls(*window).join(u", ").toStdString(), "") << window->objectName().toStdString();
}

} // namespace
