#pragma once
// The user32/shell32 icon calls the program relies on, over our own codecs: ExtractIconA,
// ExtractIconExA, LoadImageA, DrawIconEx, DrawIcon, LoadCursorA, GetIconInfo and DestroyIcon, with
// Windows' counting and indexing rules and signed results. Icons are values (a picture and a hot
// spot), so nothing leaks when one is dropped.

#include "formats/AniCodec.h"
#include "platform/WindowsPaths.h"

#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace glyphary::platform {

// LoadImageA
constexpr unsigned IMAGE_BITMAP = 0;
constexpr unsigned IMAGE_ICON = 1;
constexpr unsigned IMAGE_CURSOR = 2;
constexpr unsigned LR_LOADFROMFILE = 0x10;
constexpr unsigned LR_DEFAULTSIZE = 0x40;
// DrawIconEx
constexpr unsigned DI_MASK = 0x1;
constexpr unsigned DI_IMAGE = 0x2;
constexpr unsigned DI_NORMAL = 0x3;
constexpr unsigned DI_DEFAULTSIZE = 0x8;
// LoadCursorA: the built-in cursors (IDC_SIZE and IDC_ICON are the obsolete 16-bit names).
constexpr int IDC_ARROW = 32512;
constexpr int IDC_IBEAM = 32513;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_CROSS = 32515;
constexpr int IDC_UPARROW = 32516;
constexpr int IDC_NWPEN = 32631;
constexpr int IDC_SIZE = 32640;
constexpr int IDC_ICON = 32641;
constexpr int IDC_SIZENWSE = 32642;
constexpr int IDC_SIZENESW = 32643;
constexpr int IDC_SIZEWE = 32644;
constexpr int IDC_SIZENS = 32645;
constexpr int IDC_SIZEALL = 32646;
constexpr int IDC_NO = 32648;
constexpr int IDC_HAND = 32649;
constexpr int IDC_APPSTARTING = 32650;
constexpr int IDC_HELP = 32651;

// The system metrics SM_CXICON / SM_CXSMICON of the emulated screen.
constexpr int kLargeIconSide = 32;
constexpr int kSmallIconSide = 16;

// Negative results of ExtractIconA and ExtractIconExA: why the file gave no icon at all (callers
// show the no-icon picture), as opposed to 0, "the file holds no icon at that index".
constexpr int kExtractUnreadable = -1;      // missing, unreadable, or too large for its content
constexpr int kExtractNotIconContainer = -2; // not an executable, icon library, .ico, .cur or .ani

// One icon or cursor picture. A null image is "no icon".
struct Icon {
    QImage image;          // Format_ARGB32, straight alpha
    int hotspotX = 0;      // cursors: as stored; icons: the centre
    int hotspotY = 0;
    int bitsPerPixel = 0;  // depth of the image it was made from
    bool isCursor = false;

    bool isNull() const { return image.isNull(); }
    int width() const { return image.width(); }
    int height() const { return image.height(); }
};

// What LoadImageA returns: one icon, or the frames and steps of an animated cursor. Null when the
// load failed.
class LoadedIcon {
public:
    LoadedIcon() = default;
    explicit LoadedIcon(Icon single);
    LoadedIcon(std::vector<Icon> frames, std::vector<formats::AniStep> steps);

    bool isNull() const { return frames_.empty(); }
    bool isAnimated() const { return animated_; }
    int frameCount() const { return static_cast<int>(frames_.size()); }
    // Steps of one animation cycle, following its 'seq ' chunk; 1 for a single icon.
    int stepCount() const { return animated_ ? static_cast<int>(steps_.size()) : (isNull() ? 0 : 1); }
    const std::vector<Icon>& frames() const { return frames_; }
    const std::vector<formats::AniStep>& steps() const { return steps_; }

    // The picture shown at a step: nullptr past the last step of an animation (or for a null
    // handle). A single icon ignores the step, as DrawIconEx does.
    const Icon* iconAtStep(int step) const;
    // Display time of a step in jiffies (1/60 s) and in milliseconds; 0 past the last step.
    std::uint32_t jiffiesAtStep(int step) const;
    int millisecondsAtStep(int step) const;

private:
    std::vector<Icon> frames_;
    std::vector<formats::AniStep> steps_;
    bool animated_ = false;
};

// ExtractIconA's HICON, with the count and failure cases it folds into the same number made explicit.
struct ExtractResult {
    // Index -1: the number of icons in the file (>= 0). Other indexes: 1 with `icon` set, 0 when the
    // file has no icon at that index. Negative (kExtract*) when the file cannot be read as an icon
    // container at all.
    int status = 0;
    Icon icon;
};

// The colour and mask bitmaps of an icon, at the icon's size (GetIconInfo).
struct IconInfo {
    QImage colour; // Format_RGB32: the picture, black where transparent
    QImage mask;   // Format_RGB32: white where transparent, black where opaque
    int hotspotX = 0;
    int hotspotY = 0;
    bool isIcon = true;
};

class IconFunctions {
public:
    explicit IconFunctions(const WindowsPaths& paths);
    ~IconFunctions();
    IconFunctions(const IconFunctions&) = delete;
    IconFunctions& operator=(const IconFunctions&) = delete;

    // Containers are told apart by content, not extension: "MZ" executables (PE or NE, which
    // covers .exe, .dll and .icl), .ico and .cur directories, and RIFF 'ACON' animations.
    //  index -1: the icon count: icon groups of an executable, 1 for a readable .ico, .cur or .ani
    //            (Windows extracts a cursor file's picture, an animation's first frame, as its icon);
    //  index n >= 0: the n-th group in ExtractIcon order, as a 32 x 32 icon (the group's image
    //            chosen for 32 x 32, scaled when it has another size); single-image files have index 0;
    //  index n < -1: the executable's group whose resource id is -n (single-image files: none).
    ExtractResult ExtractIconA(const QString& file, int index);

    // Index -1 with no arrays: the icon count. Otherwise extracts up to `count` icons from `index` on
    // (one, by resource id, for a negative index; -1 with arrays is id 1, which ExtractIconA cannot
    // reach) into the arrays given, large 32 x 32 and small 16 x 16, and returns how many icons were
    // extracted (0 past the end). Negative (kExtract*) when the file cannot be read as an icon container.
    int ExtractIconExA(const QString& file, int index, Icon* large, Icon* small, int count);

    // IMAGE_ICON or IMAGE_CURSOR with LR_LOADFROMFILE, for .ico, .cur and .ani files (told apart by
    // content). cx/cy 0 without LR_DEFAULTSIZE take the file's first image size (animations: each
    // frame's 32 x 32 image); otherwise the image chosen for cx x cy, scaled to it. Null on failure,
    // for other image types, and without LR_LOADFROMFILE (there are no modules to load from).
    LoadedIcon LoadImageA(const QString& file, unsigned type, int cx, int cy, unsigned flags);

    // Not a Windows call: the whole icon at an ExtractIcon index, every image of it, as .ico bytes
    // (an .ico file's own bytes, an executable's group converted). nullopt for cursors, animations,
    // unreadable files and indexes with nothing there.
    std::optional<formats::ByteVector> iconGroupFile(const QString& file, int index);

    // Not a Windows call: the icon at an ExtractIcon index drawn at side x side pixels from the
    // smallest image that reaches that side, else the largest, for screens denser than the 32 px
    // Windows draws at. Null when the index holds no icon that decodes.
    Icon extractSharpIcon(const QString& file, int index, int side);

    // What decoding one file may cost (pixels, time); past it the file yields what it has.
    void setDecodeLimits(const formats::DecodeBudget& limits);
    // True when the file's decoding so far stopped at those limits, so that some of its pictures are missing.
    bool wasCutShort(const QString& file);

    // Drops the cached bytes of the last file read (they are also dropped when its size or time changes).
    void forgetCachedFile();

private:
    struct Container;
    std::shared_ptr<const Container> open(const QString& file, int* failure);
    static int iconCount(const Container& container);
    static int positionOf(const Container& container, std::int64_t index);
    static Icon extractOne(const Container& container, int position, int side,
        formats::ImageChoice choice = formats::ImageChoice::AsWindows);

    const WindowsPaths& paths_;
    QString cachedWindowsPath_;
    QString cachedHostPath_;
    qint64 cachedSize_ = -1;
    qint64 cachedTime_ = -1;
    std::shared_ptr<const Container> cached_;
    formats::DecodeBudget limits_;
};

// DrawIconEx: cx/cy 0 draw at the icon's own size (32 x 32 with DI_DEFAULTSIZE). DI_NORMAL blends
// the picture; DI_IMAGE alone draws the colour bitmap, DI_MASK alone the mask (see IconInfo). For an
// animation `step` selects the step, and drawing fails past the last one; a single icon ignores it.
// False, drawing nothing, for a null icon or no DI_NORMAL bit.
bool DrawIconEx(QPainter& target, int x, int y, const Icon& icon, int cx, int cy, int step, unsigned flags);
bool DrawIconEx(QPainter& target, int x, int y, const LoadedIcon& icon, int cx, int cy, int step, unsigned flags);
bool DrawIconEx(QImage& target, int x, int y, const Icon& icon, int cx, int cy, int step, unsigned flags);
bool DrawIconEx(QImage& target, int x, int y, const LoadedIcon& icon, int cx, int cy, int step, unsigned flags);
// DrawIcon: the icon at 32 x 32, its upper left corner at (x, y).
bool DrawIcon(QPainter& target, int x, int y, const Icon& icon);

// GetIconInfo; both bitmaps null for a null icon.
IconInfo GetIconInfo(const Icon& icon);

// LoadCursorA(NULL, id) for the built-in cursor ids (IDC_* above); a null icon for any other id.
// The pictures are our own drawings (BuiltInCursors.h).
Icon LoadCursorA(int id);

// Nothing to free; the values are cleared so that a later use sees no icon, as with a destroyed handle.
inline bool DestroyIcon(Icon& icon)
{
    icon = {};
    return true;
}
inline bool DestroyIcon(LoadedIcon& icon)
{
    icon = {};
    return true;
}

} // namespace glyphary::platform
