// Picture import's decoding: the truncated-JPEG check, the size caps read before decoding, Qt's
// readers and the metafile path, at limits small enough that a hostile size is refused quickly.
#include "windows/PictureDecoder.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace glyphary;
    const formats::Bytes file(data, size);
    (void)isTruncatedJpeg(file);
    DecodeLimits limits;
    limits.maxPixels = 1'000'000;
    limits.maxSide = 2'000;
    limits.wanted = QSize(32, 32);
    const DecodedPicture picture = decodePicture(file, limits);
    if (picture.image.isNull() == picture.error.isEmpty())
        std::abort(); // an image comes without an error, a failure always with one
    return 0;
}
