#pragma once
// The settings and decisions of the main window's load, apart from the widgets they end up in.

#include "core/MainWindowLayout.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <array>
#include <functional>

namespace glyphary {

struct AppContext;
class Settings;

// Design values the stored settings fall back to (pixels unless said otherwise).
struct MainWindowDesign {
    QRect geometry{60, 40, 900, 640};
    std::array<int, 3> columnWidths{260, 130, 180};
    int navigationWidth = 220;
    int standardToolbarWidth = 600;
    int yourToolbarWidth = 400;
    QColor backColor = Qt::white;
};

// In pixels; a splitter of -1 was not stored.
struct MainWindowSettings : MainWindowLayout {
    int iconsPerPage = 200;
    QString favoritesRoot;
    bool searchFavorites = false;
    QString doubleClickAction = QStringLiteral("None");
    int doubleClickZoom = 4;
    bool doubleClickPlay = false;
    bool doubleClickReferences = false;
    bool doubleClickRun = false;
    bool doubleClickChange = false;
    QString helpFile;
    QRect geometry;        // pixels
    QColor backColor;
    bool useMask = false;
    QColor maskColor;
};

// Reads steps 3 and 5 to 15 of the load: every stored preference with its default, sizes turned
// from twips into pixels.
MainWindowSettings readMainWindowSettings(AppContext& context, Settings& settings, const MainWindowDesign& design);

// Step 1: folder icons need Windows 98 or a browser of major version 4 or more.
bool folderIconsSupported(AppContext& context);

// Step 5: the name of the user's Favorites folder (last component of the shell's Favorites
// folder; "Favorites" when there is none) and the favorites root ("FavDir", else the data
// folder followed by that name).
QString favoritesFolderName(AppContext& context);
QString favoritesRoot(AppContext& context, Settings& settings);

// Step 20: the notice about a missing core library.
bool lightNoticeWanted(AppContext& context, Settings& settings);
QString lightNoticeText();

// The Name column's header: the current source's caption, cut from the left behind "..." when it is
// wider than the column (the source names the listing; "Glyphary" and "" stand as they are).
QString nameColumnCaption(const QString& sourceCaption, int columnWidth, const std::function<int(const QString&)>& textWidth);

// The window's end state as it is stored: sizes and positions turned into twips.
MainWindowPreferences preferencesToStore(const ShownWindow& shown, int iconsPerPage, int twipsPerPixelX, int twipsPerPixelY);

// The Name column takes what the other two leave, so that no column runs off the list.
int nameColumnWidth(int listWidth, int typeWidth, int originWidth);

// Colours are stored as VB colour values (0x00BBGGRR) in decimal text.
qint32 colourValue(const QColor& colour);
// A value with the high bit set is a system colour (index in the low byte), in the standard
// Windows scheme.
QColor colourFromValue(qint32 value);
QColor systemColour(int index);

// A window rectangle that can be seen on one of the screens: `stored` when it overlaps one by a
// usable amount, else `fallback`.
QRect visibleGeometry(const QRect& stored, const QRect& fallback, const QList<QRect>& screens);

} // namespace glyphary
