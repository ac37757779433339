#pragma once
// The process-wide values of one run: folders, Windows version texts, shared flags. Created by the
// entry and passed by reference; a test builds its own.

#include "core/CatalogueLists.h"
#include "core/KeywordTable.h"
#include "platform/Platform.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

namespace glyphary {

// The program's 16-bit booleans: true is -1.
using Flag = std::int16_t;
constexpr Flag kTrue = -1;
constexpr Flag kFalse = 0;

struct AppContext {
    explicit AppContext(platform::Platform& platformIn) : platform(platformIn) {}

    platform::Platform& platform;

    QString ProgramFolder; // with trailing "\"
    // Where the program writes its own files: ProgramFolder when the person may write there, else
    // the user's data folder (Platform::dataFolder); with trailing "\". Empty: ProgramFolder.
    QString DataFolder;
    QString WindowsFolder; // no trailing "\"
    QString SystemFolder;  // no trailing "\"
    QString TempFolder;    // lower case, trailing "\"
    std::int16_t TwipsPerPixelX = 15;
    std::int16_t TwipsPerPixelY = 15;
    QString PendingOpenPath;

    QString OsName;
    QString OsCode;

    Flag AbortFlag = kFalse;
    Flag CatalogueAvailable = kFalse;
    Flag KeywordsChanged = kFalse;
    Flag ReferencesChanged = kFalse;
    Flag SystemIconsNeedRebuild = kFalse;
    // The listing comes from the favorites (or an icon is being added to them).
    Flag FavoritesFlag = kFalse;

    // What the icon writers are given: the colour depth (4, 8 or 16 bits per pixel) of the icon
    // being saved, and the cursor hot spot the zoom window places (pixels of the 32 x 32 image).
    int ColourDepth = 16;
    std::int32_t HotSpotX = 16;
    std::int32_t HotSpotY = 16;
    // The factor of the zoom window opened next: 2, 3, 4, 5 or 10.
    std::int16_t ZoomFactor = 4;
    // Save As's modes, each set by its caller around the call: the frames of the animation player
    // are what is saved; favorites-drop (no dialog, the name checked, cleared by Save As); edit
    // (the temporary "ICTemp.ico", no dialog). SaveAsFolder is the folder the favorites modes save
    // into and SaveAsName the drop's name.
    Flag AnimationFrameFlag = kFalse;
    Flag FavoritesDropFlag = kFalse;
    Flag EditFlag = kFalse;
    QString SaveAsFolder;
    QString SaveAsName;
    // The Windows path of the file the last Save As wrote; "" when it wrote nothing.
    QString SaveAsWritten;
    // The frame list of the last animation played (picFilm), all of one size; frameCount() frames.
    std::vector<QImage> picFilm;

    KeywordTable keywordTable;
    CatalogueLists catalogueLists;

    const QString& dataFolder() const { return DataFolder.isEmpty() ? ProgramFolder : DataFolder; }
};

} // namespace glyphary
