#include "export/CopyPicture.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>

namespace glyphary::exporting {

QColor copyBackground(bool useMask, const QColor& maskColour, const QColor& viewBackground)
{
    return useMask && maskColour.isValid() ? maskColour : viewBackground;
}

QImage flattenedPicture(const QImage& picture, const QColor& background)
{
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(background);
    QPainter painter(&flat);
    painter.drawImage(0, 0, picture);
    return flat;
}

QMimeData* clipboardData(const QImage& picture, const QColor& background)
{
    auto* data = new QMimeData;
    data->setImageData(flattenedPicture(picture, background));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    data->setData(QStringLiteral("image/png"), png);
    return data;
}

void putOnClipboard(const QImage& picture, const QColor& background)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    clipboard->setMimeData(clipboardData(picture, background));
}

} // namespace glyphary::exporting
