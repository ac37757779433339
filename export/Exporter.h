#pragma once
// Taking an icon out of the program: Save As in its four modes, Copy, Run, Edit With, the frames
// an animation is played or saved from, and the .ico file a drag out of the list carries.

#include "core/Selection.h"
#include "export/SaveAs.h"
#include "platform/IconFunctions.h"
#include "platform/ProgramLauncher.h"

#include <QImage>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace glyphary {
class MainSession;
}

namespace glyphary::exporting {

class Exporter {
public:
    explicit Exporter(MainSession& session);

    // Play's first half: every item of the result list that belongs to the selected row's
    // animation, drawn in order into the context's picFilm at the screen's pixel ratio. False, with picFilm empty, when the row
    // is no animation or none of its frames could be drawn.
    bool collectFrames();
    // The frames of the row's animation, each 32 x 32, in order; empty when it is none.
    std::vector<QImage> animationFrames(const SelectedRow& row);

    std::optional<QString> saveAs() { return saveAs_.run(); }
    void copy();
    // The shortcut's target started; Windows programs through Wine.
    void run();
    // The icon saved as the temporary "ICTemp.ico" and the external editor started on it.
    void editWith();
    // The .ico file a drag of the row out of the list carries (host path); "" when none could be written.
    QString dragFile(const SelectedRow& row);

    // Tests start nothing.
    void setLauncher(std::unique_ptr<platform::ProgramLauncher> launcher) { launcher_ = std::move(launcher); }

private:
    MainSession& session_;
    platform::IconFunctions icons_;
    SaveAs saveAs_;
    std::unique_ptr<platform::ProgramLauncher> launcher_;
};

inline const QString kEditWithErrorTitle = QStringLiteral("Edit With Error");
inline const QString kEditWithErrorText = QStringLiteral(
    "Please specify an External Icon Editor:\rselect Options from the main menu.\rselect the Double Click Icon tab\r"
    "select an Icon Editor executable with the Browse button.");

} // namespace glyphary::exporting
