#pragma once
// The nodes of the navigation tree pnlNav: the catalogue branch and the "Your Icons" branch.

#include "core/NavigationTree.h"

#include <QString>
#include <QStringList>
#include <cstddef>
#include <vector>

namespace glyphary {

struct AppContext;
class IconSources;

// The caption of a design group's node from its keyword ("group", a separator, the name): the name
// with its first letter in upper case, except that a name beginning with "iMac" stays as it is.
QString groupCaption(const QString& keyword);

// The node keys and captions of the cursor schemes: the value names of
// "Control Panel\Cursors\Schemes" under HKEY_CURRENT_USER, in registry order.
QStringList cursorSchemeNames(AppContext& context);

// Builds every node: the catalogue branch (only when the catalogue is available; expanded) with a
// node per design group of the keyword bar, then the "Your Icons" branch. The favorites folders
// below "favori" come from `sources`.
NavigationTree BuildNavigationTree(AppContext& context, const IconSources& sources);

} // namespace glyphary
