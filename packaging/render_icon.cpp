// Build-time helper: renders the program's SVG icon into the hicolor theme's PNG sizes.
//   render_icon SVG OUT NAME SIZE...   writes OUT/SIZExSIZE/apps/NAME.png for each SIZE

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 4) {
        std::fputs("usage: render_icon SVG OUT NAME SIZE...\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(args[0]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render_icon: %s is not a valid SVG file\n", qPrintable(args[0]));
        return 1;
    }
    for (const QString& sizeText : args.mid(3)) {
        bool number = false;
        const int size = sizeText.toInt(&number);
        if (!number || size < 1 || size > 1024) {
            std::fprintf(stderr, "render_icon: bad size %s\n", qPrintable(sizeText));
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();

        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[1]).arg(size);
        QSaveFile file(folder + u'/' + args[2] + QStringLiteral(".png"));
        if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
            std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
