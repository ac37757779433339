#pragma once
// How a file named by a Windows path is started: a Windows program through Wine with the root as
// its prefix, a host program directly, any other file with the desktop's default application.

#include <QString>
#include <QStringList>

namespace glyphary::platform {
class DialogsPort;
class ProgramLauncher;
class WindowsPaths;
}

namespace glyphary::exporting {

struct LaunchPlan {
    enum class Way { Program, Desktop, NoWine, Missing, NotAProgram };
    Way way = Way::Missing;
    QString program; // host path of what is started
    QStringList arguments;
    QStringList environment;
    QString hostPath; // the file itself
};

// True for .exe, .com and .bat (in any case).
bool isWindowsProgram(const QString& path);

struct LaunchRequest {
    QString windowsPath;
    QStringList windowsArguments; // given to a Windows program
    QStringList hostArguments;    // the same for a host program
    // Without one the file must be a program: a document cannot take the arguments.
    bool documentAllowed = true;
};

LaunchPlan planLaunch(const platform::WindowsPaths& paths, const LaunchRequest& request, const QString& wineProgram);

// Starts the plan; what could not be started is told in a message box with the title given.
bool carryOut(const LaunchPlan& plan, const QString& windowsPath, platform::ProgramLauncher& launcher,
              platform::DialogsPort& dialogs, const QString& title);

} // namespace glyphary::exporting
