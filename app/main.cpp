// Glyphary's entry: one instance per user and root; a second start hands its command line over.

#include "app/SignalShutdown.h"
#include "core/AppContext.h"
#include "core/Settings.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "platform/Platform.h"
#include "platform/QtAccessibleNames.h"
#include "platform/QtDialogs.h"
#include "platform/SingleInstance.h"
#include "windows/frmMessage.h"

#include <QApplication>
#include <QDir>

using namespace glyphary;

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Glyphary"));
    QApplication::setQuitOnLastWindowClosed(true);
    platform::AccessibleNamer accessibleNames;
    application.installEventFilter(&accessibleNames);

    const platform::PlatformConfig config = platform::PlatformConfig::fromEnvironment();
    const QString root = QDir(config.rootHostPath).absolutePath();
    const platform::WindowsPaths entryPaths(root);
    const QString commandLine = commandLineFromArguments(QApplication::arguments().mid(1), entryPaths);

    platform::NamedMutex instanceMutex;
    if (runEntry(instanceMutex, root, commandLine) != EntryOutcome::FirstInstance)
        return 0; // the second instance never shows a window

    platform::QtDialogs dialogs;
    platform::Platform platform(config, dialogs);
    dialogs.setPaths(&platform.paths());
    AppContext context(platform);
    Settings settings(platform.registry());
    dialogs.setMessageWindow([&](const platform::MessageRequest& request) {
        frmMessage window(settings, context.TwipsPerPixelX, request);
        return window.showModal();
    });

    std::unique_ptr<frmMain> mainWindow;
    frmSplash::Hooks hooks;
    hooks.showMainWindow = [&]() -> QLabel* {
        mainWindow = std::make_unique<frmMain>(context, settings, instanceMutex, commandLine);
        dialogs.setOwner(mainWindow.get());
        mainWindow->load();
        mainWindow->show();
        return mainWindow->picLogo;
    };
    hooks.showTips = [&mainWindow] {
        if (mainWindow)
            mainWindow->showTips();
    };

    // Log-out and `systemctl stop` send signals: the session's saves still run.
    const SignalShutdown signalShutdown([&mainWindow](int) {
        if (mainWindow)
            mainWindow->closeProgram(ShutdownQuestions::Skip);
        QApplication::quit();
    });

    frmSplash splash(context, settings, platform.paths().toWindows(QApplication::applicationDirPath()), hooks);
    splash.load();
    const int status = QApplication::exec();
    mainWindow.reset();
    return status;
}
