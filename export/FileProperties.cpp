#include "export/FileProperties.h"

#include "formats/ByteReader.h"
#include "formats/IcoCodec.h"
#include "platform/IconFunctions.h"
#include "platform/WindowsPaths.h"

#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <array>

namespace glyphary::exporting {
namespace {

constexpr int kPictureSide = 32;

struct ExtensionType {
    QLatin1StringView extension;
    QLatin1StringView type;
};

constexpr std::array kExtensionTypes{
    ExtensionType{QLatin1StringView("ico"), QLatin1StringView("Icon")},
    ExtensionType{QLatin1StringView("cur"), QLatin1StringView("Cursor")},
    ExtensionType{QLatin1StringView("ani"), QLatin1StringView("Animated Cursor")},
    ExtensionType{QLatin1StringView("icl"), QLatin1StringView("Icon Library")},
    ExtensionType{QLatin1StringView("exe"), QLatin1StringView("Application")},
    ExtensionType{QLatin1StringView("dll"), QLatin1StringView("Application Extension")},
    ExtensionType{QLatin1StringView("lnk"), QLatin1StringView("Shortcut")},
    ExtensionType{QLatin1StringView("bmp"), QLatin1StringView("Bitmap Image")},
};

QLocale englishLocale()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

QString extensionOf(const QString& windowsPath)
{
    const QString name = windowsPath.mid(windowsPath.lastIndexOf(u'\\') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

// The images of one icon as its .ico directory lists them; each image's own header says its size
// and depth where the directory may not.
FileIcon iconOfGroupFile(const formats::ByteVector& file)
{
    FileIcon icon;
    const formats::Bytes bytes(file.data(), file.size());
    const auto directory = formats::parseIcoDirectory(bytes);
    if (!directory)
        return icon;
    const formats::ByteReader reader(bytes);
    for (const formats::IcoDirectoryEntry& entry : directory.value->entries) {
        const auto probed = formats::probeIconImage(reader.tail(entry.imageOffset));
        if (probed)
            icon.images.push_back({probed.value->width, probed.value->height, probed.value->bitsPerPixel});
        else
            icon.images.push_back({entry.pixelWidth(), entry.pixelHeight(), 0});
    }
    return icon;
}

// Cursors and animated cursors have no icon group: their pictures as the cursor loader reads them.
void readCursorFrames(platform::IconFunctions& icons, const QString& windowsPath, FileProperties& properties)
{
    const platform::LoadedIcon loaded
        = icons.LoadImageA(windowsPath, platform::IMAGE_CURSOR, 0, 0, platform::LR_LOADFROMFILE);
    properties.animation = loaded.isAnimated();
    for (const platform::Icon& frame : loaded.frames()) {
        if (static_cast<int>(properties.icons.size()) == kListedIcons)
            break;
        properties.icons.push_back(FileIcon{{{frame.width(), frame.height(), frame.bitsPerPixel}}});
    }
}

// Above a pixel ratio of 1, drawn from the image that best fills the larger square, so that it is
// sharp on a dense screen.
QImage firstPicture(platform::IconFunctions& icons, const QString& windowsPath, int pictureScale)
{
    if (pictureScale > 1) {
        QImage sharp = icons.extractSharpIcon(windowsPath, 0, kPictureSide * pictureScale).image;
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(pictureScale);
            return sharp;
        }
    }
    return icons.ExtractIconA(windowsPath, 0).icon.image;
}

void readIcons(platform::IconFunctions& icons, const QString& windowsPath, int pictureScale, FileProperties& properties)
{
    properties.iconsRead = true;
    properties.iconCount = icons.ExtractIconA(windowsPath, -1).status;
    if (properties.iconCount <= 0)
        return;
    properties.picture = firstPicture(icons, windowsPath, pictureScale);
    const int listed = std::min(properties.iconCount, kListedIcons);
    for (int index = 0; index < listed; ++index) {
        const auto group = icons.iconGroupFile(windowsPath, index);
        if (!group) {
            if (index == 0)
                readCursorFrames(icons, windowsPath, properties);
            return;
        }
        properties.icons.push_back(iconOfGroupFile(*group));
    }
}

QString imageText(const ImageSize& image)
{
    QString text = QString::number(image.width) + QStringLiteral(" x ") + QString::number(image.height);
    if (image.bitsPerPixel > 0)
        text += QStringLiteral(", ") + QString::number(image.bitsPerPixel) + QStringLiteral(" bits");
    return text;
}

} // namespace

FileProperties readFileProperties(const platform::WindowsPaths& paths, platform::IconFunctions& icons,
                                  const QString& windowsPath, bool readIconsToo, int pictureScale)
{
    FileProperties properties;
    properties.path = windowsPath;
    const QString host = windowsPath.isEmpty() ? QString() : paths.toHost(windowsPath);
    const QFileInfo info(host);
    if (host.isEmpty() || !info.exists())
        return properties;
    properties.exists = true;
    properties.folder = info.isDir();
    properties.type = properties.folder ? QStringLiteral("File Folder") : fileTypeText(windowsPath);
    properties.size = properties.folder ? 0 : info.size();
    properties.created = info.birthTime();
    properties.modified = info.lastModified();
    if (readIconsToo && !properties.folder)
        readIcons(icons, windowsPath, pictureScale, properties);
    return properties;
}

QString fileTypeText(const QString& windowsPath)
{
    const QString extension = extensionOf(windowsPath);
    if (extension.isEmpty())
        return QStringLiteral("File");
    for (const ExtensionType& known : kExtensionTypes)
        if (extension.compare(known.extension, Qt::CaseInsensitive) == 0)
            return known.type;
    return extension.toUpper() + QStringLiteral(" File");
}

QString fileSizeText(qint64 bytes)
{
    const QString exact = englishLocale().toString(bytes) + QStringLiteral(" bytes");
    if (bytes < 1024)
        return exact;
    const bool megabytes = bytes >= 1024 * 1024;
    const double scaled = static_cast<double>(bytes) / (megabytes ? 1024.0 * 1024.0 : 1024.0);
    return QString::number(scaled, 'f', 2) + (megabytes ? QStringLiteral(" MB (") : QStringLiteral(" KB (")) + exact
        + u')';
}

QString fileTimeText(const QDateTime& time)
{
    if (!time.isValid())
        return QStringLiteral("Unknown");
    return englishLocale().toString(time, QStringLiteral("dddd, MMMM d, yyyy h:mm:ss AP"));
}

QString iconCountText(const FileProperties& properties)
{
    if (!properties.iconsRead)
        return {};
    if (properties.iconCount < 0)
        return QStringLiteral("Not an icon file");
    if (properties.iconCount == 0)
        return QStringLiteral("None");
    QString text = QString::number(properties.iconCount);
    if (properties.animation)
        text += QStringLiteral(" (") + QString::number(properties.icons.size()) + QStringLiteral(" frames)");
    else if (properties.iconCount > kListedIcons)
        text += QStringLiteral(" (") + QString::number(kListedIcons) + QStringLiteral(" listed)");
    return text;
}

QStringList imageSizeLines(const FileProperties& properties)
{
    QStringList lines;
    const QString label = properties.animation ? QStringLiteral("Frame ") : QStringLiteral("Icon ");
    for (std::size_t i = 0; i < properties.icons.size(); ++i) {
        QStringList images;
        for (const ImageSize& image : properties.icons[i].images)
            images << imageText(image);
        lines << label + QString::number(i + 1) + QStringLiteral(": ") + images.join(QStringLiteral("; "));
    }
    return lines;
}

QString missingFileText(const FileProperties& properties)
{
    if (properties.exists)
        return {};
    return properties.path.isEmpty() ? QStringLiteral("This icon is not kept in a file.")
                                     : QStringLiteral("The file does not exist.");
}

} // namespace glyphary::exporting
