#pragma once
// What the change window changes: one icon or cursor that Windows owns, read from the selected
// result row and, for system icons and file types, from the rows the listing left in lstChange.

#include "core/Selection.h"
#include "platform/Win32Types.h"

#include <QString>
#include <array>
#include <optional>

namespace glyphary {
class ItemList;
}

namespace glyphary::changer {

enum class TargetKind { SystemIcon, FileTypeIcon, CurrentCursor, AnimatedCursor, ShortcutIcon };

struct TargetKindName {
    TargetKind kind;
    const char* text; // the Type column's text, which the window's caption repeats
    const char* word; // the command line's KIND
};
inline constexpr std::array<TargetKindName, 5> kTargetKinds{{
    {TargetKind::SystemIcon, "System Icon", "system"},
    {TargetKind::FileTypeIcon, "File Type Icon", "filetype"},
    {TargetKind::CurrentCursor, "Current Cursor", "cursor"},
    {TargetKind::AnimatedCursor, "Animated Cursor", "cursor"},
    {TargetKind::ShortcutIcon, "Shortcut Icon", "shortcut"},
}};
QString kindText(TargetKind kind);
QString kindWord(TargetKind kind);
bool isCursor(TargetKind kind);

struct ChangeTarget {
    TargetKind kind = TargetKind::SystemIcon;
    // The window's lblTitle: the row's name cut before its first "#".
    QString title;
    // What identifies the target (picImport's Tag): the system icon's table row, the file type's
    // row, the cursor's item, the shortcut's path.
    QString descriptor;
    // System icons: the table's default "file,index".
    QString defaultLocation;
    // System icons and cursors: the value's place; file types: the class key below HKEY_CLASSES_ROOT.
    platform::HKEY root = 0;
    QString keyPath;
    QString valueName;
    // File types: the extension (".txt").
    QString extension;
    // The icon in use: file ("" for a cursor without one) and index.
    QString iconFile;
    QString iconIndex;
};

// The target the row names; nullopt for rows that are not Windows' own (catalogue, files, scheme
// cursors) and for system icons and file types whose row is not in lstChange.
std::optional<ChangeTarget> changeTargetFor(const SelectedRow& row, const ItemList& lstChange,
                                            const QString& windowsFolder);

} // namespace glyphary::changer
