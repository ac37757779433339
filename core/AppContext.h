#pragma once
// The process-wide values of one run: folders, Windows version texts, shared flags. Created by the
// entry and passed by reference; a test builds its own.

#include "core/CatalogueLists.h"
#include "core/KeywordTable.h"
#include "platform/Platform.h"

#include <QString>
#include <cstdint>

namespace glyphary {

// The program's 16-bit booleans: true is -1.
using Flag = std::int16_t;
constexpr Flag kTrue = -1;
constexpr Flag kFalse = 0;

struct AppContext {
    explicit AppContext(platform::Platform& platformIn) : platform(platformIn) {}

    platform::Platform& platform;

    QString ProgramFolder; // with trailing "\"
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

    KeywordTable keywordTable;
    CatalogueLists catalogueLists;
};

} // namespace glyphary
