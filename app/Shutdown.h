#pragma once
// Ending the program: one sequence, run once, that offers the icon cache rebuild, stores every
// preference and position, saves the user files, removes extracted library files and unloads the
// windows.

#include "core/MainWindowLayout.h"

#include <QPoint>
#include <QString>
#include <array>
#include <optional>

namespace glyphary {

struct AppContext;
class MainSession;
class Settings;

// Whether the sequence may ask the person anything: not when a signal ends the session.
enum class ShutdownQuestions { Ask, Skip };

class ShutdownSequence {
public:
    bool inProgress() const { return inProgress_; }
    // Runs the sequence once; false when it was already running. The preferences land in the
    // registry as one save.
    bool run(MainSession& session, ShutdownQuestions questions = ShutdownQuestions::Ask);

private:
    bool inProgress_ = false;
};

// The preferences in their order, each a CreateSettingsKey + WriteSetting pair.
void storePreferences(Settings& settings, const MainWindowPreferences& preferences);

// Deletes every "*.lib" file in the temporary folder; errors are ignored.
void removeExtractedLibraries(AppContext& context);

} // namespace glyphary
