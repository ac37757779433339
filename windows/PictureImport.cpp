#include "windows/PictureImport.h"

#include "core/AppContext.h"
#include "core/FrameFiles.h"
#include "core/HotspotNotice.h"
#include "core/IconPlanes.h"
#include "core/MainSession.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "libs/glsave32/Glsave32.h"
#include "platform/Platform.h"
#include "platform/Win32Types.h"
#include "windows/PictureDecoder.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <array>

namespace glyphary {
namespace {

const QString kTitle = QStringLiteral("Pictoforge");

// Formats beyond the classic six, offered when a reader for them is there.
struct ExtraFormat {
    const char* format;
    const char* patterns;
};
constexpr std::array kExtraFormats{ExtraFormat{"png", "*.png"}, ExtraFormat{"svg", "*.svg"},
                                   ExtraFormat{"webp", "*.webp"}, ExtraFormat{"tiff", "*.tif;*.tiff"}};

QString readError(const QString& file, const QString& why)
{
    return QStringLiteral("%1\n\n%2").arg(file, why);
}

} // namespace

PictureImport::PictureImport(MainSession& session) : session_(session) {}

QString PictureImport::openFilter()
{
    QString filter = QStringLiteral(
        "All picture files|*.bmp;*.dib;*.dib;*.gif;*.jpg;*.wmf;*.emf|Bitmaps (*.bmp;*.dib)|*.bmp;*.dib|"
        "Compuserve Graphics Interchange (*.gif)|*.gif|JPEG Images (*.jpg)|*.jpg|Metafiles (*.wmf;*.emf)|*.wmf;*emf");
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    QStringList patterns;
    for (const ExtraFormat& extra : kExtraFormats)
        if (readable.contains(QByteArray(extra.format)))
            patterns << QString::fromLatin1(extra.patterns);
    if (!patterns.isEmpty()) {
        const QString joined = patterns.join(u';');
        filter += QStringLiteral("|Other pictures (%1)|%1").arg(joined);
    }
    return filter;
}

QString PictureImport::saveFilter()
{
    return QStringLiteral("16 Color Icon (*.ico)|*.ico|256 Color Icon (*.ico)|*.ico|Hi-color Icon (*.ico)|*.ico|"
                          "16 Color Cursor (*.cur)|*.cur|256 Color Cursor (*.cur)|*.cur|Hi-color Icon (*.cur)|*.cur");
}

int PictureImport::depthOfEntry(int entry)
{
    constexpr std::array depths{4, 8, 16};
    return depths[static_cast<std::size_t>((std::clamp(entry, 1, 6) - 1) % 3)];
}

QString PictureImport::iconNameOf(const QString& windowsPath)
{
    const QString name = windowsPath.mid(windowsPath.lastIndexOf(u'\\') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString PictureImport::folderOf(const QString& windowsPath)
{
    const qsizetype slash = windowsPath.lastIndexOf(u'\\');
    return slash < 0 ? QString() : windowsPath.left(slash);
}

QString PictureImport::loadBytes(formats::Bytes file)
{
    DecodeLimits limits;
    limits.wanted = QSize(kBoxSide, kBoxSide) * 2;
    DecodedPicture decoded = decodePicture(file, limits);
    if (decoded.image.isNull())
        return decoded.error;
    setPicture(decoded.image);
    return QString();
}

QString PictureImport::loadFile(const QString& windowsPath)
{
    const QString host = session_.context().platform.paths().toHost(windowsPath);
    QFile file(host);
    if (host.isEmpty() || !file.open(QIODevice::ReadOnly))
        return readError(windowsPath, QStringLiteral("The file could not be opened."));
    if (file.size() > kMaxFileSize)
        return readError(windowsPath, QStringLiteral("The file is too large."));
    const QByteArray bytes = file.readAll();
    const QString error = loadBytes(formats::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                                   static_cast<std::size_t>(bytes.size())));
    if (!error.isEmpty())
        return readError(windowsPath, error);
    iconName_ = iconNameOf(windowsPath);
    session_.settings().write(setting::ImportDirectory, folderOf(windowsPath));
    return QString();
}

void PictureImport::setPicture(const QImage& picture)
{
    if (picture.isNull())
        return;
    picture_ = picture.convertToFormat(QImage::Format_RGB32);
    transparency_ = kDefaultTransparency;
    build();
}

QString PictureImport::paste(const QMimeData* data)
{
    const QString none = QStringLiteral("The Clipboard holds no picture");
    if (!data)
        return none;
    if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (!image.isNull()) {
            setPicture(image);
            return QString();
        }
    }
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        QFile file(url.toLocalFile());
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
            continue;
        const QByteArray bytes = file.readAll();
        if (loadBytes(formats::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                     static_cast<std::size_t>(bytes.size())))
                .isEmpty()) {
            iconName_ = QFileInfo(url.fileName()).completeBaseName();
            return QString();
        }
    }
    return none;
}

void PictureImport::open()
{
    platform::DialogsPort& dialogs = session_.context().platform.dialogs();
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Open Graphic File");
    request.filter = openFilter();
    request.initialFolder = session_.settings().readText(setting::ImportDirectory);
    const auto answer = dialogs.openFile(request);
    if (answer && !answer->fileNames.isEmpty())
        openPath(answer->fileNames.front());
}

void PictureImport::openPath(const QString& windowsPath)
{
    platform::DialogsPort& dialogs = session_.context().platform.dialogs();
    dialogs.setMousePointer(platform::MousePointerHourglass);
    const QString error = loadFile(windowsPath);
    dialogs.setMousePointer(0);
    if (!error.isEmpty())
        showError(error);
}

void PictureImport::saveAs()
{
    if (icon_.isNull())
        return;
    AppContext& context = session_.context();
    platform::DialogsPort& dialogs = context.platform.dialogs();
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Save As");
    request.filter = saveFilter();
    request.fileName = iconName_;
    request.defaultExtension = QStringLiteral("ico");
    const auto answer = dialogs.saveFile(request);
    if (!answer || answer->fileNames.isEmpty())
        return;
    const QString fileName = answer->fileNames.front();
    const auto ansi = ansiName(fileName);
    const int depth = depthOfEntry(answer->filterIndex);
    context.ColourDepth = depth;
    const IconPlanes planes = procMask(iconOf(icon_));
    Glsave32 writer(context.platform.paths());
    std::int16_t saved = Glsave32::kNotSaved;
    if (entryIsCursor(answer->filterIndex)) {
        HotspotNotice(session_, icon_);
        // The zoom window may leave any value; the writer wants a point inside the image.
        const int x = std::clamp<int>(context.HotSpotX, 0, kIconSide - 1);
        const int y = std::clamp<int>(context.HotSpotY, 0, kIconSide - 1);
        if (ansi)
            saved = writer.SaveAsCursor(planes.colour, planes.mask, kIconSide, kIconSide, depth, x, y, *ansi);
    } else if (ansi) {
        saved = writer.SaveAsIcon(planes.colour, planes.mask, kIconSide, kIconSide, depth, *ansi);
    }
    if (saved == Glsave32::kNotSaved)
        dialogs.messageBox(QStringLiteral("An error occured while saving."), QStringLiteral("Error"),
                           platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void PictureImport::copy() const
{
    if (icon_.isNull())
        return;
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        auto* data = new QMimeData;
        QImage flat(icon_.size(), QImage::Format_RGB32);
        flat.fill(backColor_);
        for (int y = 0; y < icon_.height(); ++y)
            for (int x = 0; x < icon_.width(); ++x)
                if (qAlpha(icon_.pixel(x, y)) != 0)
                    flat.setPixel(x, y, icon_.pixel(x, y));
        data->setImageData(flat);
        clipboard->setMimeData(data);
    }
}

void PictureImport::chooseBackColor()
{
    if (const auto colour = session_.context().platform.dialogs().chooseColor(backColor_))
        backColor_ = *colour;
}

void PictureImport::clickAt(QPoint point)
{
    if (box_.isNull() || !box_.rect().contains(point))
        return;
    transparency_ = QColor(box_.pixel(point));
    build();
}

void PictureImport::build()
{
    box_ = picture_.scaled(kBoxSide, kBoxSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
               .convertToFormat(QImage::Format_RGB32);
    icon_ = QImage(kIconSide, kIconSide, QImage::Format_ARGB32);
    const QRgb clear = transparency_.rgb() & RGB_MASK;
    for (int y = 0; y < kIconSide; ++y)
        for (int x = 0; x < kIconSide; ++x) {
            const QRgb pixel = box_.pixel(x * kCell + kCell / 2, y * kCell + kCell / 2);
            icon_.setPixel(x, y, (pixel & RGB_MASK) == clear ? qRgba(0, 0, 0, 0) : (pixel | 0xFF000000u));
        }
}

void PictureImport::showError(const QString& text) const
{
    session_.context().platform.dialogs().messageBox(text, kTitle, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

} // namespace glyphary
