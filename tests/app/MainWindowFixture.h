#pragma once
// The real main window (offscreen) over an emulated Windows root, as the app tests open it.

#include "app/ResultListWidget.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "core/AppContext.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "platform/SingleInstance.h"
#include "support/GuiApplication.h"
#include "support/TempRoot.h"

#include <QLabel>
#include <gtest/gtest.h>
#include <memory>

namespace glyphary::testing {

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApplication();
        splashLoad(context, settings, QStringLiteral("C:\\Glyphary"));
    }

    // A loaded window, started with `commandLine` as the program's command line.
    std::unique_ptr<frmMain> openWindow(const QString& commandLine = QString())
    {
        auto window = std::make_unique<frmMain>(context, settings, mutex, commandLine);
        window->load();
        return window;
    }

    static QString panel(const frmMain& window, const char* key)
    {
        return window.panels.value(QString::fromLatin1(key))->text();
    }

    TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
    platform::NamedMutex mutex;
};

} // namespace glyphary::testing
