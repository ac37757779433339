#include "core/FrameFiles.h"

#include "core/AppContext.h"
#include "core/IconPlanes.h"
#include "formats/Cp1252.h"

#include <QFile>

namespace glyphary {

std::optional<std::string> ansiName(const QString& windowsPath)
{
    std::string ansi = formats::toCp1252(windowsPath);
    if (formats::fromCp1252(std::string_view(ansi)) != windowsPath)
        return std::nullopt;
    return ansi;
}

platform::Icon iconOf(const QImage& picture)
{
    platform::Icon icon;
    icon.image = picture.convertToFormat(QImage::Format_ARGB32);
    return icon;
}

FrameFiles::FrameFiles(AppContext& context)
    : context_(context), scratch_(context.platform.paths(), Glsave32::Durability::Scratch)
{
}

FrameFiles::~FrameFiles()
{
    for (const QString& host : hosts_)
        QFile::remove(host);
}

QString FrameFiles::write(const std::vector<QImage>& frames, int colourDepth)
{
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const QString frameFile = context_.TempFolder + QString::number(n) + QStringLiteral(".ico");
        const auto ansi = ansiName(frameFile);
        const IconPlanes planes = procMask(iconOf(frames[n]));
        if (!ansi || scratch_.SaveAsIcon(planes.colour, planes.mask, 32, 32, colourDepth, *ansi) != Glsave32::kSaved)
            return QStringLiteral("The frames could not be written to %1: %2").arg(context_.TempFolder, scratch_.lastError());
        names_.push_back(*ansi);
        hosts_ << context_.platform.paths().toHost(frameFile);
    }
    return {};
}

QString FrameFiles::joinInto(Glsave32& writer, const QString& aniFile, int jiffies) const
{
    std::string name = ansiName(aniFile).value_or(std::string());
    if (name.empty())
        return QStringLiteral("The name holds characters that Windows file names here cannot hold.");
    std::int16_t status = 0;
    const std::vector<std::int32_t> rates(names_.size(), jiffies);
    if (writer.SaveAsANI(names_, rates, name, status) != Glsave32::kSaved)
        return writer.lastError();
    return {};
}

} // namespace glyphary
