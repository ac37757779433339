#include "formats/IconImage.h"

#include <vector>

namespace glyphary::formats {

std::optional<std::size_t> chooseIconImage(std::span<const IconImage> images, int wantedSize, int screenBitsPerPixel)
{
    std::vector<IconCandidate> candidates;
    candidates.reserve(images.size());
    for (const IconImage& image : images)
        candidates.push_back({image.width(), image.height(), image.bitsPerPixel});
    return chooseIconImage(candidates, wantedSize, wantedSize, screenBitsPerPixel);
}

QImage toImage(ArgbPixels pixels)
{
    const int width = pixels.width();
    const int height = pixels.height();
    if (pixels.isNull())
        return {};
    auto* data = new std::vector<std::uint32_t>(std::move(pixels).release());
    return QImage(reinterpret_cast<uchar*>(data->data()), width, height, width * 4, QImage::Format_ARGB32,
        [](void* owned) { delete static_cast<std::vector<std::uint32_t>*>(owned); }, data);
}

} // namespace glyphary::formats
