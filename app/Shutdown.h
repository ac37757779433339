#pragma once
// Ending the program: one sequence, run once, that offers the icon cache rebuild, stores every
// preference and position, saves the user files, removes extracted library files and unloads the
// windows.

#include "app/MainWindowLayout.h"

#include <QPoint>
#include <QString>
#include <array>
#include <optional>

namespace glyphary {

struct AppContext;
class Settings;

// What the main window reports about itself at the end (sizes and positions in twips).
struct MainWindowPreferences : MainWindowLayout {
    qint32 backColor = 0; // BGR colour value
    int iconsPerPage = 200;
    bool minimized = false;
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;
    // Loaded and not minimised editors report where they are.
    std::optional<QPoint> keywordEditor;
    std::optional<QPoint> referenceEditor;
};

class ShutdownHost {
public:
    virtual ~ShutdownHost() = default;
    virtual MainWindowPreferences preferences() const = 0;
    virtual void rebuildIconCache() = 0;
    virtual void unloadWindows() = 0; // frmAdd ... frmZoom, frmMain last
};

// Whether the sequence may ask the person anything: not when a signal ends the session.
enum class ShutdownQuestions { Ask, Skip };

class ShutdownSequence {
public:
    bool inProgress() const { return inProgress_; }
    // Runs the sequence once; false when it was already running. The preferences land in the
    // registry as one save.
    bool run(AppContext& context, Settings& settings, ShutdownHost& host,
        ShutdownQuestions questions = ShutdownQuestions::Ask);

private:
    bool inProgress_ = false;
};

// The preferences in their order, each a CreateSettingsKey + WriteSetting pair.
void storePreferences(Settings& settings, const MainWindowPreferences& preferences);

// Deletes every "*.lib" file in the temporary folder; errors are ignored.
void removeExtractedLibraries(AppContext& context);

} // namespace glyphary
