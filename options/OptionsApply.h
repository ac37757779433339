#pragma once
// Apply of the Options window: pages and hot tracking, file associations, Send To, then every
// setting in its fixed order.

#include "options/OptionsValues.h"

namespace glyphary::options {

inline const QString kAssociationsFailedText =
    QStringLiteral("The file associations could not be written to the registry. Check that its files can be written.");
inline const QString kOptionsTitle = QStringLiteral("Options");

void applyOptions(MainSession& session, const OptionsValues& values);

} // namespace glyphary::options
