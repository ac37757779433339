#pragma once
// The icon writer library: SaveAsIcon, SaveAsCursor and SaveAsANI write standard .ico, .cur and
// .ani files. One object stands for the loaded library; it keeps only why its last call failed.
//
// File names are ANSI (Windows-1252) Windows paths, mapped to the host through the emulated root.
// Files are written whole: to a temporary file beside the target, renamed into place only once
// complete, so a failed call leaves no file and an existing target as it was.

#include "formats/ByteReader.h"
#include "platform/WindowsPaths.h"

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace glyphary {

class Glsave32 {
public:
    // What SaveAsIcon, SaveAsCursor and SaveAsANI return.
    static constexpr std::int16_t kSaved = 1;
    static constexpr std::int16_t kNotSaved = 0;

    // Why SaveAsANI failed, left in its last argument; AniOk after a save.
    enum AniStatus : std::int16_t {
        AniOk = 0,
        AniNoFrames = 1,         // an empty frame list
        AniBadRates = 2,         // not one rate per frame, or a rate below 1 jiffy
        AniFrameUnreadable = 3,  // a frame file missing, unreadable, or not an .ico or .cur file
        AniTooLarge = 4,         // over kMaxAniFrames frames, a frame file over kMaxFrameFileSize bytes
        AniTargetUnwritable = 5, // the target's folder or drive missing, or the file could not be written
    };

    // The only size the program draws planes at.
    static constexpr int kIconSide = 32;
    // Our own frames are a few KB; the caps keep a stray path from pulling a huge file into memory.
    static constexpr qint64 kMaxFrameFileSize = 1024 * 1024;

    // Scratch files (animation frames on their way into one .ani) need not survive a crash, so they
    // are not synced to the disk; a failed write still leaves nothing.
    enum class Durability { Synced, Scratch };

    // `paths` must outlive this object.
    explicit Glsave32(const platform::WindowsPaths& paths, Durability durability = Durability::Synced);

    // Writes a one-image .ico of the planes (see IconPlanes.h). Depth 4: 16 colours, 8: 256 colours,
    // each palette fitted to the picture; 16 and any other value: 32-bit ARGB with an AND mask.
    // kNotSaved, writing nothing, when width or height is not 32, a plane is empty or of another
    // size, or the file cannot be written.
    std::int16_t SaveAsIcon(const QImage& colorPlane, const QImage& maskPlane, int width, int height,
        int bitsPerPixel, const std::string& fileName);
    // The same as a one-image .cur with the hot spot, which must lie inside the image.
    std::int16_t SaveAsCursor(const QImage& colorPlane, const QImage& maskPlane, int width, int height,
        int bitsPerPixel, int hotSpotX, int hotSpotY, const std::string& fileName);
    // Joins the frame files (.ico or .cur, each read whole) into an animated cursor: AF_ICON, every
    // frame shown once in order, a 'rate' chunk always written with one rate per frame, in jiffies
    // (1/60 s: 20 is a third of a second), jifRate set to the first. .ico frames are stored as
    // cursors with the hot spot at their centre (see FrameAsCursor.h). `reserved` receives an
    // AniStatus; fileName is left as it is.
    std::int16_t SaveAsANI(const std::vector<std::string>& frameFileNames, const std::vector<std::int32_t>& rates,
        std::string& fileName, std::int16_t& reserved);

    // Why the last call that returned kNotSaved failed, as the system put it ("Permission denied",
    // "No space left on device", ...); "" after a save.
    const QString& lastError() const { return lastError_; }

private:
    std::int16_t saveImage(const QImage& colorPlane, const QImage& maskPlane, int width, int height,
        int bitsPerPixel, std::optional<QPoint> hotSpot, const std::string& fileName) const;
    AniStatus writeAnimation(const std::vector<std::string>& frameFileNames, const std::vector<std::int32_t>& rates,
        const std::string& fileName) const;
    // The host path of an ANSI Windows path; "" when it names no reachable place.
    QString hostPath(const std::string& ansiName) const;
    bool writeWhole(const std::string& ansiName, formats::Bytes bytes) const;

    const platform::WindowsPaths& paths_;
    Durability durability_;
    mutable QString lastError_;
};

} // namespace glyphary
