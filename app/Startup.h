#pragma once
// The program's entry decisions and the splash window's load, without any window.

#include "core/SplashLoad.h"

#include <QString>
#include <QStringList>

namespace glyphary {

struct AppContext;
class Settings;
namespace platform {
class NamedMutex;
class WindowsPaths;
} // namespace platform

enum class EntryOutcome {
    FirstInstance,   // this process runs the program
    HandedOver,      // the command line went to the running instance
    ActivatedOther,  // the running instance's visible window was brought to the front
    NoOtherWindow,   // another instance holds the mutex but has no marked window yet
};

// Entry steps 1 to 5. `commandLine` is the process's own command line text.
EntryOutcome runEntry(platform::NamedMutex& mutex, const QString& rootHostPath, const QString& commandLine);

// The command line text of the process: its arguments joined by blanks, a host path turned into
// its Windows path so that it means the same file inside the program.
QString commandLineFromArguments(const QStringList& arguments, const platform::WindowsPaths& paths);

} // namespace glyphary
