#pragma once
// Save As: the selected result icon written as an icon, a cursor, a bitmap, an animated cursor or a
// set of separate icons, in the four modes its callers choose through the context's flags (plain,
// favorites, favorites drop, edit). Every file is written whole or not at all.

#include "core/Selection.h"
#include "libs/glsave32/Glsave32.h"

#include <QString>
#include <optional>

namespace glyphary {
class MainSession;
namespace platform {
class IconFunctions;
}
}

namespace glyphary::exporting {

class SaveAs {
public:
    SaveAs(MainSession& session, platform::IconFunctions& icons);

    // Acts on the selected row. The path written (the first of separate icons), nullopt when the
    // person cancelled or the write failed (which is reported).
    std::optional<QString> run();

private:
    struct Target {
        QString fileName; // Windows path, its extension forced
        int entry = 1;    // the filter entry it was chosen with
    };
    std::optional<Target> chooseTarget(const SelectedRow& row);
    std::optional<Target> askForName(const SelectedRow& row, const QString& folder);
    std::optional<Target> favoriteDropTarget(const SelectedRow& row);
    bool writeImage(const SelectedRow& row, const Target& target);
    bool writeBitmap(const SelectedRow& row, const QString& fileName);
    bool writeFrames(const SelectedRow& row, const Target& target);
    bool report(const QString& fileName, const QString& reason);

    MainSession& session_;
    platform::IconFunctions& icons_;
    Glsave32 writer_;
};

} // namespace glyphary::exporting
