#include "changer/NumberedIcon.h"

#include "core/AppContext.h"
#include "core/FrameFiles.h"
#include "core/IconPlanes.h"
#include "platform/AtomicFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace glyphary::changer {

namespace {

bool sameFile(const QString& a, const QString& b)
{
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

bool renameOver(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

NumberedIconWriter::NumberedIconWriter(AppContext& context)
    : context_(context), icons_(context.platform.paths(), context.WindowsFolder), writer_(context.platform.paths())
{
}

QString NumberedIconWriter::pngOf(const QString& file) const
{
    if (!icons_.isOwnFile(file) || !file.endsWith(QStringLiteral(".ico"), Qt::CaseInsensitive))
        return {};
    return file.left(file.size() - 3) + QStringLiteral("png");
}

NumberedIcon NumberedIconWriter::write(const QImage& image, int depth, const QString& previous, bool png)
{
    NumberedIcon result;
    if (image.isNull()) {
        result.error = QStringLiteral("The selected icon has no picture to write.");
        return result;
    }
    if (!icons_.make()) {
        result.error = QStringLiteral("The folder %1 cannot be made.").arg(icons_.path());
        return result;
    }
    const std::optional<QString> name = icons_.nextFreeName(QStringLiteral("ico"), previous);
    if (!name) {
        result.full = true;
        result.error = QStringLiteral("All %1 numbers for icons in %2 are taken. Delete icons there that no longer "
                                      "serve, then try again.")
                           .arg(IconsFolder::kHighestNumber)
                           .arg(icons_.path());
        return result;
    }
    const platform::WindowsPaths& paths = context_.platform.paths();
    const QString host = paths.toHost(*name);
    // The previous icon of that name stays whole until the new one is complete.
    const bool replacing = QFileInfo::exists(host);
    const QString written = replacing ? *name + QStringLiteral(".new") : *name;
    const auto ansi = ansiName(written);
    const IconPlanes planes = procMask(iconOf(image));
    if (!ansi || writer_.SaveAsIcon(planes.colour, planes.mask, 32, 32, depth, *ansi) != Glsave32::kSaved) {
        result.error = QStringLiteral("The icon could not be written to %1: %2").arg(*name, writer_.lastError());
        QFile::remove(paths.toHost(written));
        return result;
    }
    if (replacing && !renameOver(paths.toHost(written), host)) {
        QFile::remove(paths.toHost(written));
        result.error = QStringLiteral("%1 could not be replaced.").arg(*name);
        return result;
    }
    if (png) {
        const QString pngHost = paths.toHost(pngOf(*name));
        const QImage scaled = image.width() == 32 && image.height() == 32
            ? image
            : image.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        // Encoded first and written whole: a PNG saved in place could be left half-written beside
        // an icon that replaced its predecessor.
        QByteArray encoded;
        QBuffer buffer(&encoded);
        const bool made = buffer.open(QIODevice::WriteOnly) && scaled.save(&buffer, "PNG");
        if (!made || pngHost.isEmpty()
            || !platform::writeFileAtomically(pngHost, formats::Bytes(reinterpret_cast<const std::uint8_t*>(encoded.constData()),
                                                                      static_cast<std::size_t>(encoded.size())))
                    .ok) {
            if (!replacing)
                QFile::remove(host);
            result.error = QStringLiteral("The picture %1 could not be written.").arg(pngOf(*name));
            return result;
        }
    }
    result.file = *name;
    result.samePath = sameFile(*name, previous);
    return result;
}

bool NumberedIconWriter::retire(const QString& previous, const QString& kept)
{
    if (!icons_.isOwnFile(previous) || sameFile(previous, kept))
        return false;
    const platform::WindowsPaths& paths = context_.platform.paths();
    const QString png = pngOf(previous);
    if (!png.isEmpty())
        QFile::remove(paths.toHost(png));
    return QFile::remove(paths.toHost(previous));
}

void NumberedIconWriter::discard(const NumberedIcon& written)
{
    if (written.file.isEmpty() || written.samePath)
        return;
    retire(written.file);
}

} // namespace glyphary::changer
