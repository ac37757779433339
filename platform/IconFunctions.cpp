#include "platform/IconFunctions.h"

#include "formats/IconResources.h"
#include "platform/BuiltInCursors.h"
#include "platform/IconFileBytes.h"

#include <QFile>

#include <algorithm>
#include <limits>
#include <optional>

#include <sys/stat.h>

namespace glyphary::platform {

using formats::AniFile;
using formats::AniStep;
using formats::ByteReader;
using formats::ByteVector;
using formats::GroupKind;
using formats::IcoDirectory;
using formats::IconImage;
using formats::IconResources;

// One file read and parsed as whatever icon container its content says it is.
struct IconFunctions::Container {
    IconFileBytes file;
    formats::Bytes bytes;                    // of `file`; IconResources keeps spans into these
    std::optional<IconResources> executable; // "MZ": PE or NE
    std::optional<IcoDirectory> iconFile;    // ICONDIR with type 1 or 2, decoded image by image
    std::optional<AniFile> animation;        // RIFF 'ACON'
    mutable formats::DecodeBudget budget;    // what decoding this file may still cost
};

namespace {

constexpr int kMaxDrawSide = 32767; // GDI's coordinate range

enum class Content { Executable, IconFile, Animation, Other };

Content sniff(const ByteReader& reader)
{
    if (reader.ascii(0, 2) == "MZ")
        return Content::Executable;
    if (reader.ascii(0, 4) == "RIFF" && reader.ascii(8, 4) == "ACON")
        return Content::Animation;
    const auto reserved = reader.u16le(0);
    const auto type = reader.u16le(2);
    if (reserved == 0 && (type == 1 || type == 2))
        return Content::IconFile;
    return Content::Other;
}

bool isCursorFile(formats::Bytes bytes) { return ByteReader(bytes).u16le(2) == std::uint16_t{2}; }

Icon toIcon(const IconImage& source, bool isCursor, int width, int height)
{
    Icon icon;
    icon.bitsPerPixel = source.bitsPerPixel;
    icon.isCursor = isCursor;
    icon.hotspotX = source.hotspotX;
    icon.hotspotY = source.hotspotY;
    if (source.width() == width && source.height() == height) {
        icon.image = source.image;
        return icon;
    }
    icon.image = source.image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_ARGB32);
    icon.hotspotX = std::min(width - 1, source.hotspotX * width / std::max(1, source.width()));
    icon.hotspotY = std::min(height - 1, source.hotspotY * height / std::max(1, source.height()));
    return icon;
}

// The image chosen for width x height (as Windows chooses, unless told otherwise), scaled to it;
// null when none decodes.
Icon bestIcon(std::span<const formats::IconImageSource> sources, bool cursor, int width, int height,
    formats::DecodeBudget& budget, formats::ImageChoice choice = formats::ImageChoice::AsWindows)
{
    const auto chosen = formats::decodeChosenIconImage(sources, cursor, width, height, budget, choice);
    return chosen ? toIcon(*chosen.value, cursor, width, height) : Icon{};
}

Icon bestIcon(formats::Bytes icoBytes, const IcoDirectory& directory, int width, int height, formats::DecodeBudget& budget,
    formats::ImageChoice choice = formats::ImageChoice::AsWindows)
{
    const auto sources = formats::iconImageSources(icoBytes, directory);
    return bestIcon(sources, directory.type == formats::IconFileType::Cursor, width, height, budget, choice);
}

Icon bestIcon(formats::Bytes icoBytes, int width, int height, formats::DecodeBudget& budget,
    formats::ImageChoice choice = formats::ImageChoice::AsWindows)
{
    const auto directory = formats::parseIcoDirectory(icoBytes);
    return directory ? bestIcon(icoBytes, *directory.value, width, height, budget, choice) : Icon{};
}

// Pixels of the two GetIconInfo bitmaps: transparent is alpha 0, as the icon writers mask it.
QImage plane(const QImage& argb, bool mask)
{
    QImage out(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const bool transparent = qAlpha(in[x]) == 0;
            if (mask)
                row[x] = transparent ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            else
                row[x] = transparent ? qRgb(0, 0, 0) : qRgb(qRed(in[x]), qGreen(in[x]), qBlue(in[x]));
        }
    }
    return out;
}

int drawSide(int asked, unsigned flags, int own)
{
    if (asked != 0)
        return asked;
    return (flags & DI_DEFAULTSIZE) != 0 ? kLargeIconSide : own;
}

} // namespace

// ---- LoadedIcon ----

LoadedIcon::LoadedIcon(Icon single)
{
    if (!single.isNull())
        frames_.push_back(std::move(single));
}

LoadedIcon::LoadedIcon(std::vector<Icon> frames, std::vector<AniStep> steps)
    : frames_(std::move(frames)), steps_(std::move(steps)), animated_(true)
{
    // Steps naming a missing frame are dropped, so that every step can be drawn.
    const auto count = frames_.size();
    steps_.erase(std::remove_if(steps_.begin(), steps_.end(), [count](const AniStep& s) { return s.frame >= count; }),
        steps_.end());
    if (steps_.empty())
        frames_.clear();
}

const Icon* LoadedIcon::iconAtStep(int step) const
{
    if (isNull())
        return nullptr;
    if (!animated_)
        return &frames_.front();
    if (step < 0 || static_cast<std::size_t>(step) >= steps_.size())
        return nullptr;
    return &frames_[steps_[static_cast<std::size_t>(step)].frame];
}

std::uint32_t LoadedIcon::jiffiesAtStep(int step) const
{
    if (!animated_ || step < 0 || static_cast<std::size_t>(step) >= steps_.size())
        return 0;
    return steps_[static_cast<std::size_t>(step)].jiffies;
}

int LoadedIcon::millisecondsAtStep(int step) const
{
    const std::uint64_t ms = std::uint64_t{jiffiesAtStep(step)} * 1000 / 60;
    return static_cast<int>(std::min<std::uint64_t>(ms, std::numeric_limits<int>::max()));
}

// ---- IconFunctions ----

IconFunctions::IconFunctions(const WindowsPaths& paths) : paths_(paths) {}

namespace {

struct FileStamp {
    qint64 size = 0;
    qint64 time = 0; // modification time, ns
};

// A regular file's size and time; nullopt for anything else. A raw stat: QFileInfo's local times
// would look at the time zone on every call.
std::optional<FileStamp> fileStamp(const QString& host)
{
    struct stat status {};
    if (host.isEmpty() || ::stat(QFile::encodeName(host).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return FileStamp{static_cast<qint64>(status.st_size),
                     static_cast<qint64>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

} // namespace

IconFunctions::~IconFunctions() = default;

void IconFunctions::setDecodeLimits(const formats::DecodeBudget& limits)
{
    limits_ = limits;
    forgetCachedFile();
}

bool IconFunctions::wasCutShort(const QString& file)
{
    int failure = 0;
    const auto container = open(file, &failure);
    return container && container->budget.cutShort;
}

void IconFunctions::forgetCachedFile()
{
    cached_.reset();
    cachedWindowsPath_.clear();
    cachedHostPath_.clear();
}

std::shared_ptr<const IconFunctions::Container> IconFunctions::open(const QString& file, int* failure)
{
    *failure = kExtractUnreadable;
    // The page filler extracts icon after icon from one file; read and parse it once, and look at
    // it once per call: one stat, no path lookup.
    QString host = cached_ && file == cachedWindowsPath_ ? cachedHostPath_ : paths_.toHost(file);
    auto stamp = fileStamp(host);
    if (!stamp && host == cachedHostPath_) {
        host = paths_.toHost(file); // the name may now name another file of another case
        stamp = fileStamp(host);
    }
    if (!stamp)
        return nullptr;
    if (cached_ && host == cachedHostPath_ && stamp->size == cachedSize_ && stamp->time == cachedTime_)
        return cached_;

    auto read = IconFileBytes::read(host, stamp->size);
    if (!read)
        return nullptr;
    auto container = std::make_shared<Container>(Container{std::move(*read)});
    container->bytes = container->file.bytes();
    *failure = kExtractNotIconContainer;
    container->budget = limits_;
    const ByteReader reader(container->bytes);
    switch (sniff(reader)) {
    case Content::Executable: {
        if (const auto& table = container->file.resources()) {
            container->executable.emplace(formats::iconResourcesOf(*table));
            break;
        }
        auto parsed = formats::parseIconResources(container->bytes);
        if (!parsed)
            return nullptr;
        container->executable.emplace(std::move(parsed).value());
        break;
    }
    case Content::IconFile: {
        auto parsed = formats::parseIcoDirectory(container->bytes);
        // Readable means one image decodes: the one shown is tried first.
        if (!parsed || bestIcon(container->bytes, *parsed.value, kLargeIconSide, kLargeIconSide, container->budget).isNull())
            return nullptr;
        container->iconFile = std::move(parsed.value);
        break;
    }
    case Content::Animation: {
        auto parsed = formats::parseAni(container->bytes, container->budget);
        if (!parsed)
            return nullptr;
        container->animation = std::move(parsed.value);
        break;
    }
    case Content::Other:
        return nullptr;
    }
    cachedWindowsPath_ = file;
    cachedHostPath_ = host;
    cachedSize_ = stamp->size;
    cachedTime_ = stamp->time;
    cached_ = std::move(container);
    return cached_;
}

int IconFunctions::iconCount(const Container& container)
{
    if (container.executable)
        return static_cast<int>(container.executable->groups(GroupKind::Icon).size());
    return 1;
}

// The index rules both extract calls share: n >= 0 is a position, a negative n names resource id -n
// (executables only). -1 when there is no such icon.
int IconFunctions::positionOf(const Container& container, std::int64_t index)
{
    if (index >= 0)
        return index < iconCount(container) ? static_cast<int>(index) : -1;
    if (!container.executable || -index > std::numeric_limits<std::uint16_t>::max())
        return -1;
    const auto found = container.executable->findGroup(GroupKind::Icon,
        formats::ResourceName::byId(static_cast<std::uint16_t>(-index)));
    return found ? static_cast<int>(*found) : -1;
}

// The icon at a position at side x side; null when its images do not decode.
Icon IconFunctions::extractOne(const Container& container, int position, int side, formats::ImageChoice choice)
{
    if (container.executable) {
        const auto& groups = container.executable->groups(GroupKind::Icon);
        if (position < 0 || static_cast<std::size_t>(position) >= groups.size())
            return {};
        const auto images = container.executable->groupImages(GroupKind::Icon, static_cast<std::size_t>(position));
        return images ? bestIcon(formats::groupImageSources(images.value()), false, side, side, container.budget, choice) : Icon{};
    }
    if (position != 0)
        return {};
    if (container.iconFile)
        return bestIcon(container.bytes, *container.iconFile, side, side, container.budget, choice);
    if (container.animation)
        return bestIcon(container.animation->frames.front().fileBytes, side, side, container.budget, choice);
    return {};
}

ExtractResult IconFunctions::ExtractIconA(const QString& file, int index)
{
    int failure = 0;
    const auto container = open(file, &failure);
    if (!container)
        return {failure, {}};
    if (index == -1)
        return {iconCount(*container), {}};
    const int position = positionOf(*container, index);
    if (position < 0)
        return {0, {}};
    Icon icon = extractOne(*container, position, kLargeIconSide);
    const int status = icon.isNull() ? 0 : 1;
    return {status, std::move(icon)};
}

Icon IconFunctions::extractSharpIcon(const QString& file, int index, int side)
{
    int failure = 0;
    const auto container = open(file, &failure);
    const int position = container ? positionOf(*container, index) : -1;
    return position < 0 ? Icon{} : extractOne(*container, position, side, formats::ImageChoice::Sharpest);
}

int IconFunctions::ExtractIconExA(const QString& file, int index, Icon* large, Icon* small, int count)
{
    int failure = 0;
    const auto container = open(file, &failure);
    if (!container)
        return failure;
    if (index == -1 && !large && !small)
        return iconCount(*container);
    if (count <= 0)
        return 0;
    // A resource id names one group; positions run on from the index.
    const int wanted = index < 0 ? 1 : count;
    const int first = positionOf(*container, index);
    if (first < 0)
        return 0;
    int extracted = 0;
    for (int i = 0; i < wanted && first + i < iconCount(*container); ++i) {
        const int position = first + i;
        Icon big = large ? extractOne(*container, position, kLargeIconSide) : Icon{};
        Icon little = small ? extractOne(*container, position, kSmallIconSide) : Icon{};
        if (big.isNull() && little.isNull())
            break;
        if (large)
            large[i] = std::move(big);
        if (small)
            small[i] = std::move(little);
        ++extracted;
    }
    return extracted;
}

std::optional<ByteVector> IconFunctions::iconGroupFile(const QString& file, int index)
{
    int failure = 0;
    const auto container = open(file, &failure);
    if (!container || index == -1)
        return std::nullopt;
    const int position = positionOf(*container, index);
    if (position < 0)
        return std::nullopt;
    if (container->iconFile && container->iconFile->type == formats::IconFileType::Icon)
        return ByteVector(container->bytes.begin(), container->bytes.end());
    if (container->executable) {
        auto group = container->executable->groupFile(GroupKind::Icon, static_cast<std::size_t>(position));
        if (group)
            return std::move(group).value();
    }
    return std::nullopt;
}

LoadedIcon IconFunctions::LoadImageA(const QString& file, unsigned type, int cx, int cy, unsigned flags)
{
    if ((flags & LR_LOADFROMFILE) == 0 || (type != IMAGE_ICON && type != IMAGE_CURSOR) || cx < 0 || cy < 0
        || cx > formats::kMaxPngIconSide || cy > formats::kMaxPngIconSide)
        return {};
    int failure = 0;
    const auto container = open(file, &failure);
    if (!container)
        return {};
    const bool defaultSize = (flags & LR_DEFAULTSIZE) != 0;

    if (container->iconFile) {
        const IcoDirectory& ico = *container->iconFile;
        const auto& first = ico.entries.front();
        const int width = cx != 0 ? cx : (defaultSize ? kLargeIconSide : first.pixelWidth());
        const int height = cy != 0 ? cy : (defaultSize ? kLargeIconSide : first.pixelHeight());
        return LoadedIcon(bestIcon(container->bytes, ico, width, height, container->budget));
    }
    if (container->animation) {
        const bool ownSize = cx == 0 && cy == 0 && !defaultSize;
        const int width = cx != 0 ? cx : kLargeIconSide;
        const int height = cy != 0 ? cy : kLargeIconSide;
        std::vector<Icon> frames;
        for (const formats::AniFrame& frame : container->animation->frames) {
            const bool cursor = isCursorFile(frame.fileBytes);
            Icon icon = ownSize ? toIcon(frame.image, cursor, frame.image.width(), frame.image.height())
                                : bestIcon(frame.fileBytes, width, height, container->budget);
            if (icon.isNull())
                break;
            frames.push_back(std::move(icon));
        }
        return LoadedIcon(std::move(frames), container->animation->steps);
    }
    return {}; // executables are modules, not image files
}

// ---- drawing ----

bool DrawIconEx(QPainter& target, int x, int y, const Icon& icon, int cx, int cy, int /*step*/, unsigned flags)
{
    const unsigned parts = flags & DI_NORMAL;
    if (icon.isNull() || parts == 0)
        return false;
    const int width = drawSide(cx, flags, icon.width());
    const int height = drawSide(cy, flags, icon.height());
    if (width <= 0 || height <= 0 || width > kMaxDrawSide || height > kMaxDrawSide)
        return false;
    const QRect area(x, y, width, height);
    target.save();
    target.setRenderHint(QPainter::SmoothPixmapTransform);
    target.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (parts == DI_NORMAL)
        target.drawImage(area, icon.image);
    else
        target.drawImage(area, plane(icon.image, parts == DI_MASK));
    target.restore();
    return true;
}

bool DrawIconEx(QPainter& target, int x, int y, const LoadedIcon& icon, int cx, int cy, int step, unsigned flags)
{
    const Icon* shown = icon.iconAtStep(step);
    return shown && DrawIconEx(target, x, y, *shown, cx, cy, step, flags);
}

bool DrawIconEx(QImage& target, int x, int y, const Icon& icon, int cx, int cy, int step, unsigned flags)
{
    QPainter painter(&target);
    return DrawIconEx(painter, x, y, icon, cx, cy, step, flags);
}

bool DrawIconEx(QImage& target, int x, int y, const LoadedIcon& icon, int cx, int cy, int step, unsigned flags)
{
    QPainter painter(&target);
    return DrawIconEx(painter, x, y, icon, cx, cy, step, flags);
}

bool DrawIcon(QPainter& target, int x, int y, const Icon& icon)
{
    return DrawIconEx(target, x, y, icon, kLargeIconSide, kLargeIconSide, 0, DI_NORMAL);
}

IconInfo GetIconInfo(const Icon& icon)
{
    IconInfo info;
    if (icon.isNull())
        return info;
    const QImage argb = icon.image.convertToFormat(QImage::Format_ARGB32);
    info.colour = plane(argb, false);
    info.mask = plane(argb, true);
    info.hotspotX = icon.hotspotX;
    info.hotspotY = icon.hotspotY;
    info.isIcon = !icon.isCursor;
    return info;
}

Icon LoadCursorA(int id)
{
    return drawBuiltInCursor(id);
}

} // namespace glyphary::platform
