#pragma once
// Every target of the emulated Windows, found the way the change window finds one: each "Your
// Icons" source listed through the session and each of its rows read as a target.

#include "changer/ChangeTarget.h"

#include <vector>

namespace glyphary {
class MainSession;
}

namespace glyphary::changer {

// System icons, file types, shortcuts and cursors in that order; an animated cursor once.
std::vector<ChangeTarget> listChangeTargets(MainSession& session);

// What names a target on the command line: the system icon's name, the file type's extension, the
// shortcut's path, the cursor's value name.
QString targetName(const ChangeTarget& target);
// Its icon in use as "file,index"; a cursor's file, "default" without one.
QString targetLocation(const ChangeTarget& target);

// The target of `kindWord` ("system", "filetype", "shortcut", "cursor") named `name` (case ignored);
// nullptr when there is none.
const ChangeTarget* findChangeTarget(const std::vector<ChangeTarget>& targets, const QString& kindWord, const QString& name);

} // namespace glyphary::changer
