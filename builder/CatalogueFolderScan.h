#pragma once
// The catalogue builder's input from disk: every .png, .ico, .cur and .ani file below a folder,
// with keywords from a keyword file or, where it gives none, from the file and folder names.
//
// Keyword file: UTF-8 text, one rule a line; blank lines and lines starting with "#" are skipped.
//   KEYWORD;PATH[;PATH...]      file the images at PATH under KEYWORD
//   group NAME;PATH[;PATH...]   put them in the design group NAME
//   !cursor;PATH[;PATH...]      store them as cursors
//   !classes;LIST;PATH[;PATH...]  store them in these colour classes: LIST is 16, 256 and hi, comma
//                               separated (default: the class the image's own colours fit)
// PATH is relative to the folder, separated by "/" or "\", case ignored; a folder takes every image
// below it, "." the whole folder.
//
// Without a keyword of its own an image gets the words of its file name and of its folders
// ("actions/document-open.png": "actions", "document", "open"; words of one letter, numbers and
// words starting with "group" are left out). Without a group of its own an image in a subfolder is
// in the design group of its top-level folder ("group actions"). Cursors are .cur files, images
// below a folder named "cursors" and images a "!cursor" rule names; .ani files are animations.

#include "builder/CatalogueBuilder.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace glyphary {

struct FolderScanResult {
    bool ok = false;
    QString error;
    std::vector<CatalogueSource> sources; // in path order
    QStringList warnings;                 // files skipped and why, rules that matched nothing
};

// Limits: files larger than this are not read; pictures larger than kMaxScanSide a side are skipped.
inline constexpr qint64 kMaxScanFileSize = 16LL * 1024 * 1024;
inline constexpr int kMaxScanSide = 1024;

// `keywordFile` may be "" (none). `progress` gets (files read, files found).
FolderScanResult scanImageFolder(const QString& folder, const QString& keywordFile,
                                 const std::function<void(int done, int total)>& progress = {});

// The keyword words of a name: lower case runs of letters and digits, without one-letter words,
// numbers and words starting with "group".
QStringList keywordsFromName(const QString& name);

} // namespace glyphary
