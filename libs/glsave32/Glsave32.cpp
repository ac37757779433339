#include "libs/glsave32/Glsave32.h"

#include "formats/AniCodec.h"
#include "formats/Cp1252.h"
#include "formats/IcoCodec.h"
#include "libs/glsave32/FrameAsCursor.h"
#include "libs/glsave32/IconPlanes.h"
#include "platform/AtomicFile.h"

#include <QFile>

#include <string_view>
#include <variant>

namespace glyphary {
namespace {

// Callers hand C strings: whatever follows a NUL in the buffer is not part of the argument.
QString fromAnsi(const std::string& text)
{
    return formats::fromCp1252(std::string_view(text.c_str()));
}

// A frame file's bytes, or why they could not be had.
std::variant<formats::ByteVector, Glsave32::AniStatus> readFrameFile(const QString& hostPath)
{
    QFile file(hostPath);
    if (hostPath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return Glsave32::AniFrameUnreadable;
    const QByteArray bytes = file.read(Glsave32::kMaxFrameFileSize + 1);
    if (bytes.size() > Glsave32::kMaxFrameFileSize)
        return Glsave32::AniTooLarge;
    return formats::ByteVector(bytes.begin(), bytes.end());
}

QString aniStatusText(Glsave32::AniStatus status)
{
    switch (status) {
    case Glsave32::AniOk: return {};
    case Glsave32::AniNoFrames: return QStringLiteral("The animation has no frames.");
    case Glsave32::AniBadRates: return QStringLiteral("The animation's display rates do not fit its frames.");
    case Glsave32::AniFrameUnreadable: return QStringLiteral("A frame file could not be read.");
    case Glsave32::AniTooLarge: return QStringLiteral("The animation is too large.");
    case Glsave32::AniTargetUnwritable: return QStringLiteral("The file could not be written.");
    }
    return {};
}

} // namespace

Glsave32::Glsave32(const platform::WindowsPaths& paths, Durability durability) : paths_(paths), durability_(durability) {}

std::int16_t Glsave32::SaveAsIcon(const QImage& colorPlane, const QImage& maskPlane, int width, int height,
    int bitsPerPixel, const std::string& fileName)
{
    return saveImage(colorPlane, maskPlane, width, height, bitsPerPixel, std::nullopt, fileName);
}

std::int16_t Glsave32::SaveAsCursor(const QImage& colorPlane, const QImage& maskPlane, int width, int height,
    int bitsPerPixel, int hotSpotX, int hotSpotY, const std::string& fileName)
{
    return saveImage(colorPlane, maskPlane, width, height, bitsPerPixel, QPoint(hotSpotX, hotSpotY), fileName);
}

std::int16_t Glsave32::SaveAsANI(const std::vector<std::string>& frameFileNames,
    const std::vector<std::int32_t>& rates, std::string& fileName, std::int16_t& reserved)
{
    lastError_.clear();
    reserved = writeAnimation(frameFileNames, rates, fileName);
    if (reserved != AniOk && lastError_.isEmpty())
        lastError_ = aniStatusText(static_cast<AniStatus>(reserved));
    return reserved == AniOk ? kSaved : kNotSaved;
}

std::int16_t Glsave32::saveImage(const QImage& colorPlane, const QImage& maskPlane, int width, int height,
    int bitsPerPixel, std::optional<QPoint> hotSpot, const std::string& fileName) const
{
    lastError_.clear();
    if (width != kIconSide || height != kIconSide) {
        lastError_ = QStringLiteral("Only 32 x 32 pictures are written.");
        return kNotSaved;
    }
    const std::optional<QImage> picture = joinPlanes(colorPlane, maskPlane, width, height);
    if (!picture) {
        lastError_ = QStringLiteral("The picture is empty.");
        return kNotSaved;
    }
    const int depth = fileDepthFor(bitsPerPixel);
    const auto file = hotSpot ? formats::writeCur(*picture, depth, hotSpot->x(), hotSpot->y())
                              : formats::writeIco(*picture, depth);
    if (!file) {
        lastError_ = QStringLiteral("The picture could not be encoded.");
        return kNotSaved;
    }
    return writeWhole(fileName, *file.value) ? kSaved : kNotSaved;
}

Glsave32::AniStatus Glsave32::writeAnimation(const std::vector<std::string>& frameFileNames,
    const std::vector<std::int32_t>& rates, const std::string& fileName) const
{
    if (frameFileNames.empty())
        return AniNoFrames;
    if (frameFileNames.size() > formats::kMaxAniFrames)
        return AniTooLarge;
    if (rates.size() != frameFileNames.size())
        return AniBadRates;

    formats::AniOptions options;
    for (const std::int32_t rate : rates) {
        if (rate < 1)
            return AniBadRates;
        options.rates.push_back(static_cast<std::uint32_t>(rate));
    }

    std::vector<formats::ByteVector> frames;
    for (const std::string& name : frameFileNames) {
        auto read = readFrameFile(hostPath(name));
        if (const auto* failure = std::get_if<AniStatus>(&read))
            return *failure;
        std::optional<formats::ByteVector> frame = iconFileAsCursor(std::get<formats::ByteVector>(read));
        if (!frame)
            return AniFrameUnreadable;
        frames.push_back(std::move(*frame));
    }

    const auto animation = formats::writeAni(frames, options);
    if (!animation)
        return animation.error == formats::IconCodecError::BadFrame ? AniFrameUnreadable : AniTooLarge;
    return writeWhole(fileName, *animation.value) ? AniOk : AniTargetUnwritable;
}

QString Glsave32::hostPath(const std::string& ansiName) const
{
    const QString windowsPath = fromAnsi(ansiName);
    return windowsPath.isEmpty() ? QString() : paths_.toHost(windowsPath);
}

bool Glsave32::writeWhole(const std::string& ansiName, formats::Bytes bytes) const
{
    const QString path = hostPath(ansiName);
    if (path.isEmpty()) {
        lastError_ = QStringLiteral("The drive does not exist.");
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (durability_ == Durability::Scratch) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(reinterpret_cast<const char*>(bytes.data()), size) == size && file.flush())
            return true;
        lastError_ = file.errorString();
        file.close();
        QFile::remove(path);
        return false;
    }
    const platform::FileWriteResult written = platform::writeFileAtomically(path, bytes);
    if (!written.ok)
        lastError_ = written.errorString;
    return written.ok;
}

} // namespace glyphary
