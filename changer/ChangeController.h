#pragma once
// The change window without its widgets: which target it changes, what its Current and New boxes
// show, its status prompt and which commands are on, and what each command does.

#include "changer/ChangeApplier.h"
#include "changer/ChangeTarget.h"

#include <QImage>
#include <QString>
#include <functional>
#include <optional>

namespace glyphary {
class MainSession;
namespace platform {
class ProgramLauncher;
}
}

namespace glyphary::changer {

inline const QString kPromptOpened = QStringLiteral("Drop icon from Glyphary on New");
inline const QString kPromptChoose = QStringLiteral("Choose File, Apply to Change");
inline const QString kPromptFullAni = QStringLiteral("File, Apply to Change to Full ANI");
inline const QString kPromptNoDrop = QStringLiteral("Drag an Icon from Glyphary!");
inline const QString kPromptNoDefault = QStringLiteral("Could not Retrieve Default!");
inline const QString kPromptNoCursorDefault = QStringLiteral("Could not Retrieve Windows Default");
inline const QString kPromptApplied = QStringLiteral("Select a System Icon to Change");

struct ChangeView {
    QString caption; // "Change " and the kind text
    QString title;   // lblTitle
    QString prompt;  // the status bar's first panel
    QImage current;  // picImport
    QImage next;     // picIcon; null when cleared
    bool applyEnabled = false;
    bool lookAlikeEnabled = false;
    bool defaultEnabled = false;
};

class ChangeController {
public:
    ChangeController(MainSession& session, platform::ProgramLauncher& launcher);

    // Opens on the main window's selected row; false (nothing changes) when it is not a target.
    bool open();
    bool isOpen() const { return target_.has_value(); }
    const ChangeTarget* target() const { return target_ ? &*target_ : nullptr; }
    const ChangeView& view() const { return view_; }

    void lookAlikes();
    void windowsDefault();
    void backToGroup();
    // The dropped text names the main list's entry: its Name, as the drag from the list carries it.
    void drop(const QString& text);
    void apply();
    void rebuildIconCache();

    // Where Restart starts wineboot.
    void setLauncher(platform::ProgramLauncher& launcher) { launcher_ = &launcher; }

    // Called after every change of the view.
    std::function<void()> viewChanged;

private:
    void showLocation(const platform::Icon& icon, const QString& missingPrompt);
    NewIcon newIcon();
    void remind(const QString& flagName, const QString& text, const QString& button, bool rebuild);
    bool wineMayUndo();
    void changed();

    MainSession& session_;
    platform::ProgramLauncher* launcher_;
    ChangeApplier applier_;
    std::optional<ChangeTarget> target_;
    std::optional<SelectedRow> dropped_;
    bool defaultChosen_ = false;
    ChangeView view_;
};

} // namespace glyphary::changer
