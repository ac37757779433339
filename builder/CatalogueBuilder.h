#pragma once
// Builds a catalogue: the index "Icondata.dat" and the core library archives ("Iconlib.res",
// "Iconlib1.res", ...) from icons in memory.
//
// Every stored icon is one cell (LibraryGrid) of a member picture and one token
// member ":" cell ":" colour digit + type code under each of its keywords. Icons and cursors fill
// members one after another. An animation gets a member of its own, its frames in cells 0, 1, ...:
// playing a catalogue animation takes every result of the same member as its frames, in order.
// Members are numbered from 1 and go to the archive the member table names; each archive's
// members are encrypted with the library password (traditional PKWARE).

#include "sources/CatalogueCell.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace glyphary {

// The first type code of each kind; the colour class is added to it.
enum class CatalogueKind { Icon = 0, Animation = 3, Cursor = 6 };

struct CatalogueSource {
    QString origin;            // where it came from, for messages
    CatalogueKind kind = CatalogueKind::Icon;
    std::vector<QImage> frames; // one for an icon or a cursor; an animation's frames in playing order
    std::vector<ColourClass> classes{ColourClass::HiColour}; // stored once in each
    QStringList keywords;      // "group " + name files it under a design group
};

struct CatalogueBuildOptions {
    int cellsPerMember = 200; // 1 to LibraryGrid::kMaxCells
    // Called after each source is stored, with the number done and the total.
    std::function<void(int done, int total)> progress;
};

struct CatalogueSummary {
    int keywords = 0;
    int tokens = 0;   // token entries in the index, over all keywords
    int icons = 0;    // cells stored (one per icon, cursor or animation frame and colour class)
    int members = 0;
    int archives = 0;
    qint64 bytes = 0; // the index and the archives
    QStringList warnings;
};

struct CatalogueBuildResult {
    bool ok = false;
    QString error;
    CatalogueSummary summary;
};

inline const QString kCatalogueIndexFile = QStringLiteral("Icondata.dat");
inline constexpr int kDefaultCellsPerMember = 200;
// The keyword table holds 3001 keywords, custom ones included: the catalogue leaves 101 for them.
inline constexpr int kMaxCatalogueKeywords = 2900;

// A keyword beginning with "group" names a design group.
bool isDesignGroupKeyword(const QString& keyword);

// Keyword text as the index can hold it: no ";" (the token separator) and no line breaks, blanks
// trimmed; "" when nothing is left.
QString cleanKeyword(const QString& keyword);

// Writes the catalogue into the host folder `outFolder` (made when missing). The archives are
// written first, each whole or not at all, then the index; archives of an earlier build that this one
// no longer fills are removed, so the folder never mixes two builds' members under one index.
// Keywords are merged without regard to case (the first spelling stays) and written in alphabetical
// order; beyond kMaxCatalogueKeywords the keywords with the fewest icons are left out (a warning),
// design groups never. Fails when there is nothing to store, when more than 324 members would be
// needed, or when a file cannot be written.
CatalogueBuildResult buildCatalogue(const std::vector<CatalogueSource>& sources, const QString& outFolder,
                                    const CatalogueBuildOptions& options = {});

} // namespace glyphary
