#include "export/LaunchPlan.h"

#include "platform/DialogsPort.h"
#include "platform/ProgramLauncher.h"
#include "platform/Win32Types.h"
#include "platform/WindowsPaths.h"

#include <QDir>
#include <QFileInfo>

namespace glyphary::exporting {

bool isWindowsProgram(const QString& path)
{
    const QString extension = path.right(4).toLower();
    return extension == u".exe" || extension == u".com" || extension == u".bat";
}

LaunchPlan planLaunch(const platform::WindowsPaths& paths, const LaunchRequest& request, const QString& wineProgram)
{
    LaunchPlan plan;
    plan.hostPath = paths.toHost(request.windowsPath);
    const QFileInfo file(plan.hostPath);
    if (plan.hostPath.isEmpty() || !file.isFile())
        return plan; // Missing
    if (isWindowsProgram(request.windowsPath)) {
        if (wineProgram.isEmpty()) {
            plan.way = LaunchPlan::Way::NoWine;
            return plan;
        }
        plan.way = LaunchPlan::Way::Program;
        plan.program = wineProgram;
        plan.arguments = QStringList{request.windowsPath} + request.windowsArguments;
        plan.environment = {QStringLiteral("WINEPREFIX=") + QDir(paths.root()).absolutePath()};
        return plan;
    }
    if (file.isExecutable()) {
        plan.way = LaunchPlan::Way::Program;
        plan.program = plan.hostPath;
        plan.arguments = request.hostArguments;
        return plan;
    }
    plan.way = request.documentAllowed ? LaunchPlan::Way::Desktop : LaunchPlan::Way::NotAProgram;
    return plan;
}

bool carryOut(const LaunchPlan& plan, const QString& windowsPath, platform::ProgramLauncher& launcher,
              platform::DialogsPort& dialogs, const QString& title)
{
    QString problem;
    switch (plan.way) {
    case LaunchPlan::Way::Program:
        if (launcher.start(plan.program, plan.arguments, plan.environment))
            return true;
        problem = QStringLiteral("%1 could not be started.").arg(windowsPath);
        break;
    case LaunchPlan::Way::Desktop:
        if (launcher.openWithDesktop(plan.hostPath))
            return true;
        problem = QStringLiteral("No program of this desktop opens %1.").arg(windowsPath);
        break;
    case LaunchPlan::Way::NoWine:
        problem = QStringLiteral("%1 is a Windows program. Windows programs cannot be started here: Wine is not installed.")
                      .arg(windowsPath);
        break;
    case LaunchPlan::Way::Missing:
        problem = QStringLiteral("%1 does not exist.").arg(windowsPath);
        break;
    case LaunchPlan::Way::NotAProgram:
        problem = QStringLiteral("%1 is not a program.").arg(windowsPath);
        break;
    }
    dialogs.messageBox(problem, title, platform::MB_ICONEXCLAMATION);
    return false;
}

} // namespace glyphary::exporting
