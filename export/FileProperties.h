#pragma once
// What the file properties window shows of a file on disk: where it is, its size and dates, its
// type, and for an icon container its icons and the sizes of their images.

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

namespace glyphary::platform {
class IconFunctions;
class WindowsPaths;
} // namespace glyphary::platform

namespace glyphary::exporting {

struct ImageSize {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0; // 0 when the image's header could not be read

    friend bool operator==(const ImageSize&, const ImageSize&) = default;
};

// One icon of the file (a frame, for an animation) and its images.
struct FileIcon {
    std::vector<ImageSize> images;
};

// Listing every icon of a large library would bury the window; this many are listed.
inline constexpr int kListedIcons = 100;

struct FileProperties {
    QString path; // Windows path, as given
    bool exists = false;
    bool folder = false;
    QString type;
    qint64 size = 0;
    QDateTime created; // invalid where the file system keeps no creation time
    QDateTime modified;
    QImage picture;    // its first icon, 32 x 32 at the pixel ratio asked for; null for none

    bool iconsRead = false;   // false for shortcuts and folders
    int iconCount = -1;       // what ExtractIcon counts; negative: not an icon container or unreadable
    bool animation = false;   // icons are the frames of an animated cursor
    std::vector<FileIcon> icons; // the first kListedIcons
};

// Reads the file at a Windows path. `readIcons` false (a shortcut) reads only the file's own facts.
// A missing file, or a path that names no reachable drive, gives exists false and nothing else.
// `pictureScale` is the screen's pixel ratio, rounded up, that the picture is drawn for.
FileProperties readFileProperties(const platform::WindowsPaths& paths, platform::IconFunctions& icons,
                                  const QString& windowsPath, bool readIcons, int pictureScale = 1);

// The Type line, by extension: "Icon", "Cursor", "Icon Library", ..., "TXT File", "File".
QString fileTypeText(const QString& windowsPath);
// "766 bytes", "2.18 KB (2,238 bytes)".
QString fileSizeText(qint64 bytes);
// "Monday, March 2, 1998 10:15:00 AM"; "Unknown" for an invalid time.
QString fileTimeText(const QDateTime& time);
// "3", "None" (a readable file without icons), "Not an icon file"; "12 (100 listed)" past kListedIcons.
QString iconCountText(const FileProperties& properties);
// One line per listed icon: "Icon 1: 16 x 16, 4 bits; 32 x 32, 8 bits" ("Frame 1: ..." for animations).
QStringList imageSizeLines(const FileProperties& properties);
// The window's message for a file it cannot show: "The file does not exist.", or for an empty
// path "This icon is not kept in a file."; "" when the file exists.
QString missingFileText(const FileProperties& properties);

} // namespace glyphary::exporting
