#include "builder/InstallationIcons.h"

#include "builder/pe/PeResourceWriter.h"
#include "formats/IcoCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <array>

namespace glyphary {
namespace {

const QString kGapArtwork = QStringLiteral("application-x-executable");

// A rounded square in a colour taken from the name, for names the theme does not have.
QImage drawnPicture(const QString& name, int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor::fromHsv(static_cast<int>(qHash(name) % 360), 160, 220));
    painter.drawRoundedRect(QRectF(0.5, 0.5, side - 1.0, side - 1.0), side / 6.0, side / 6.0);
    return image;
}

} // namespace

InstallationArtwork::InstallationArtwork(QString themeFolder) : themeFolder_(std::move(themeFolder)) {}

QImage InstallationArtwork::picture(const QString& name, int side) const
{
    const QDir sizeFolder(themeFolder_ + QStringLiteral("/%1x%1").arg(side));
    for (const QString& context : sizeFolder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QImage image(sizeFolder.filePath(context + u'/' + name + QStringLiteral(".png")));
        if (!image.isNull() && image.width() == side && image.height() == side)
            return image.convertToFormat(QImage::Format_ARGB32);
    }
    return drawnPicture(name, side);
}

bool InstallationArtwork::foundInTheme(const QString& name) const
{
    const QDir sizeFolder(themeFolder_ + QStringLiteral("/32x32"));
    for (const QString& context : sizeFolder.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (QFileInfo::exists(sizeFolder.filePath(context + u'/' + name + QStringLiteral(".png"))))
            return true;
    return false;
}

formats::ByteVector InstallationArtwork::icoFile(const QString& name) const
{
    const QImage small = picture(name, 16);
    const QImage large = picture(name, 32);
    const std::array<formats::IconToWrite, 3> images = {{{small, 32, false, 0, 0}, {large, 32, false, 0, 0}, {large, 8, false, 0, 0}}};
    auto written = formats::writeIco(images);
    return written ? std::move(*written.value) : formats::ByteVector{};
}

void IconExecutableSet::name(const QString& file, int index, const QString& artwork)
{
    if (index >= 0)
        icons_[file.toLower()].emplace(index, artwork);
}

bool IconExecutableSet::nameLocation(const QString& location, const QString& artwork)
{
    const qsizetype comma = location.lastIndexOf(u',');
    bool isNumber = false;
    const int index = comma < 0 ? 0 : location.mid(comma + 1).trimmed().toInt(&isNumber);
    if (comma >= 0 && !isNumber)
        return false;
    QString file = comma < 0 ? location : location.left(comma);
    file.remove(u'"');
    name(file, index, artwork);
    return true;
}

std::vector<IconExecutable> IconExecutableSet::executables() const
{
    std::vector<IconExecutable> out;
    for (const auto& [file, byIndex] : icons_) {
        IconExecutable executable{file, {}};
        const int last = byIndex.rbegin()->first;
        for (int index = 0; index <= last; ++index) {
            const auto named = byIndex.find(index);
            executable.icons.push_back(named == byIndex.end() ? kGapArtwork : named->second);
        }
        out.push_back(std::move(executable));
    }
    return out;
}

formats::ByteVector iconExecutableBytes(const IconExecutable& executable, const InstallationArtwork& artwork)
{
    std::vector<PeResource> resources;
    std::map<QString, formats::ByteVector> directories; // artwork -> its group directory
    std::uint16_t nextImageId = 1;
    for (std::size_t index = 0; index < executable.icons.size(); ++index) {
        // Group ids from 1 in index order: ExtractIcon counts groups in id order.
        const auto name = formats::ResourceName::byId(static_cast<std::uint16_t>(index + 1));
        const QString& picture = executable.icons[index];
        if (const auto known = directories.find(picture); known != directories.end()) {
            resources.push_back({formats::ResourceName::byId(formats::resource_type::kGroupIcon), name, 0x409, known->second});
            continue;
        }
        if (addIconGroup(resources, name, artwork.icoFile(picture), nextImageId))
            directories.emplace(picture, resources.back().data);
    }
    return writeResourcePe(resources);
}

} // namespace glyphary
