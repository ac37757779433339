#pragma once
// The five file associations under HKEY_CLASSES_ROOT: what a checked box writes and what an
// unchecked one leaves.

#include "options/OptionsValues.h"
#include "platform/Win32Types.h"

#include <QString>

namespace glyphary::platform {
class Registry;
}

namespace glyphary::options {

struct AssociationDef {
    Association which;
    const char* extension;
    const char* classKey;
    const char* description;  // "" for none
    bool ownIcon;             // each file shows its own icon ("%1")
};

inline constexpr std::array<AssociationDef, kAssociationCount> kAssociations{{
    {Association::ANI, ".ani", "anifile", "Animated Cursor", true},
    {Association::CUR, ".cur", "curfile", "Cursor File", true},
    {Association::DLL, ".dll", "dllfile", "", false},
    {Association::ICL, ".icl", "iclfile", "Icon Library", false},
    {Association::ICO, ".ico", "icofile", "Icon File", true},
}};

struct AssociationFolders {
    QString program; // with its trailing "\"
    QString system;  // without one
};

// Applies one box; the first failing registry status, ERROR_SUCCESS when every write landed.
platform::LONG setAssociation(platform::Registry& registry, const AssociationDef& def, bool checked,
                              const AssociationFolders& folders);

// The open command: quoted, so that a program folder or a file name with spaces still opens.
QString openCommand(const QString& programFolder);

} // namespace glyphary::options
