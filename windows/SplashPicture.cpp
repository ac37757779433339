#include "windows/SplashPicture.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

namespace glyphary {

QImage splashPicture()
{
    QImage picture(256, 187, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 187);
    sky.setColorAt(0, QColor(24, 52, 110));
    sky.setColorAt(1, QColor(8, 20, 48));
    painter.fillRect(picture.rect(), sky);

    // A small shelf of "icons": rounded tiles in the colours of a 16-colour palette.
    const QColor tiles[] = {QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 255, 0), QColor(0, 255, 255),
                            QColor(0, 0, 255), QColor(255, 0, 255), QColor(255, 128, 0), QColor(192, 192, 192)};
    for (int i = 0; i < 8; ++i) {
        const QRectF tile(20 + i * 28, 30 + (i % 2) * 6, 22, 22);
        painter.setPen(QPen(QColor(255, 255, 255, 160), 1));
        painter.setBrush(tiles[i]);
        painter.drawRoundedRect(tile, 4, 4);
    }

    QFont title(QStringLiteral("Sans Serif"));
    title.setPixelSize(34);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 80, 256, 44), Qt::AlignCenter, QStringLiteral("Glyphary"));

    QFont line(QStringLiteral("Sans Serif"));
    line.setPixelSize(12);
    painter.setFont(line);
    painter.setPen(QColor(200, 214, 240));
    painter.drawText(QRect(0, 126, 256, 20), Qt::AlignCenter, QStringLiteral("Icons, cursors and animations"));
    painter.drawText(QRect(0, 160, 256, 16), Qt::AlignCenter, QStringLiteral("Loading..."));
    painter.end();
    return picture;
}

} // namespace glyphary
