#include "windows/MetafileRender.h"

#include "windows/MetafileCheck.h"

#include <QByteArray>
#include <QPainter>
#include <QSvgRenderer>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

#include <cstdlib>
#include <vector>

namespace glyphary {
namespace {

MetafilePicture failure(const QString& why)
{
    return {QImage(), why};
}

// libwmf keeps everything it allocates on the API object; destroying it frees all of that.
class WmfApi {
public:
    WmfApi()
    {
        wmfAPI_Options options{};
        options.function = wmf_svg_function;
        const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&api_, flags, &options) != wmf_E_None)
            api_ = nullptr;
    }
    ~WmfApi()
    {
        if (api_)
            wmf_api_destroy(api_);
    }
    WmfApi(const WmfApi&) = delete;
    WmfApi& operator=(const WmfApi&) = delete;
    wmfAPI* get() const { return api_; }

private:
    wmfAPI* api_ = nullptr;
};

QByteArray wmfToSvg(formats::Bytes file, QString& error)
{
    WmfApi api;
    if (!api.get()) {
        error = QStringLiteral("The metafile library could not be started.");
        return {};
    }
    // libwmf reads through a non-const pointer but does not write the buffer; a copy keeps that promise.
    std::vector<unsigned char> copy(file.begin(), file.end());
    wmfD_Rect box{};
    if (wmf_mem_open(api.get(), copy.data(), static_cast<long>(copy.size())) != wmf_E_None
        || wmf_scan(api.get(), 0, &box) != wmf_E_None) {
        error = QStringLiteral("The metafile could not be read.");
        return {};
    }
    unsigned int width = 0, height = 0;
    if (wmf_display_size(api.get(), &width, &height, 96, 96) != wmf_E_None || width == 0 || height == 0) {
        error = QStringLiteral("The metafile declares an empty picture.");
        return {};
    }
    wmf_svg_t* device = WMF_SVG_GetData(api.get());
    device->out = wmf_stream_create(api.get(), nullptr);
    device->Description = const_cast<char*>("Glyphary");
    device->bbox = box;
    device->width = width;
    device->height = height;
    const wmf_error_t played = wmf_play(api.get(), 0, &box);
    char* text = nullptr;
    unsigned long length = 0;
    wmf_stream_destroy(api.get(), device->out, &text, &length);
    QByteArray svg = text ? QByteArray(text, static_cast<qsizetype>(length)) : QByteArray();
    if (played != wmf_E_None || svg.isEmpty()) {
        error = QStringLiteral("The metafile holds records that could not be drawn.");
        return {};
    }
    return svg;
}

QByteArray emfToSvg(formats::Bytes file, QSize frame, QString& error)
{
    std::vector<char> copy(file.begin(), file.end());
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("");
    options.svgDelimiter = true;
    options.imgWidth = frame.width();
    options.imgHeight = frame.height();
    char* text = nullptr;
    size_t length = 0;
    const int converted = emf2svg(copy.data(), copy.size(), &text, &length, &options);
    QByteArray svg = text ? QByteArray(text, static_cast<qsizetype>(length)) : QByteArray();
    std::free(text);
    if (!converted || svg.isEmpty()) {
        error = QStringLiteral("The enhanced metafile holds records that could not be drawn.");
        return {};
    }
    return svg;
}

} // namespace

MetafilePicture renderMetafile(formats::Bytes file, int maxSide)
{
    const MetafileKind kind = metafileKind(file);
    if (kind == MetafileKind::None)
        return failure(QStringLiteral("The file is not a metafile."));
    const MetafileCheck check = kind == MetafileKind::Wmf ? checkWmf(file) : checkEmf(file);
    if (!check.error.isEmpty())
        return failure(check.error);
    QString error;
    const QByteArray svg = kind == MetafileKind::Wmf ? wmfToSvg(file, error) : emfToSvg(file, check.frame, error);
    if (svg.isEmpty())
        return failure(error);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return failure(QStringLiteral("The metafile's drawing could not be rendered."));
    // The converter's own size for a plain WMF, whose header declares none.
    QSize size = check.frame.width() > 1 || check.frame.height() > 1 ? check.frame : renderer.defaultSize();
    if (size.isEmpty())
        size = QSize(maxSide, maxSide);
    size = size.scaled(QSize(maxSide, maxSide), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return {image, QString()};
}

} // namespace glyphary
