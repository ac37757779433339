#pragma once
// How Save As asks for the file: the dialog's filter, default extension and first entry by the
// selected row's Type text, the extension each filter entry forces, and the favorite name checks.

#include "platform/DialogsPort.h"

#include <QString>

namespace glyphary::exporting {

// The filter entries, 1-based as the dialog counts them.
enum SaveAsEntry { EntryIcon = 1, EntryCursor = 2, EntryBitmap = 3, EntryAnimation = 4, EntrySeparateIcons = 5 };

inline const QString kAnimationFilter = QStringLiteral(
    "Icon (*.ico)|*.ico|Cursor (*.cur)|*.cur|Bitmap (*.bmp)|*.bmp|Animated icon (*.ani)|*.ani|Seperate icons (*.ico)|*.ico");
inline const QString kImageFilter = QStringLiteral("Icon (*.ico)|*.ico|Cursor (*.cur)|*.cur|Bitmap (*.bmp)|*.bmp");

// OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXTENSIONDIFFERENT | OFN_PATHMUSTEXIST | OFN_LONGNAMES
constexpr int kSaveAsFlags = 0x200C06;

bool isAnimationType(const QString& typeText);
bool isCursorType(const QString& typeText);

// The dialog for a row of that Type, the row's text as the name.
platform::FileDialogRequest saveAsRequest(const QString& typeText, const QString& rowName);

// ".ico" for entries 1 and 5, ".cur" 2, ".bmp" 3, ".ani" 4; "" for any other.
QString extensionOfEntry(int filterIndex);
// The name with the entry's extension appended unless it already ends in it (in any case).
QString withForcedExtension(const QString& fileName, int filterIndex);

// A favorite's name holds none of ? ” / \ < > * | : (the typographic closing quote is the one
// checked, as the message shows it).
bool isLegalFavoriteName(const QString& name);

inline const QString kFavoritesTitle = QStringLiteral("Add to Favorites");
inline const QString kIllegalFavoriteText = QStringLiteral(
    "The Favorite Name contains illegal characters, do not use ?\u201D/\\<>*|: characters. Please specify the Favorite Name");
inline const QString kExistingFavoriteText = QStringLiteral(
    "A Favorite with this Name already excists in this Favorites Folder.\rPlease specify a new Favorite Name.");

} // namespace glyphary::exporting
