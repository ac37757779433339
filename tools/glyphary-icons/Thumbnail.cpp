#include "tools/glyphary-icons/Thumbnail.h"

#include "formats/AniChunks.h"
#include "formats/IconDecoding.h"
#include "formats/IconResources.h"
#include "formats/PixelScaling.h"

#include <vector>

namespace glyphary::tools {
namespace {

using namespace formats;

// The undecoded images of the file's main icon; empty, with the reason, when it has none.
std::vector<IconImageSource> mainIconImages(Bytes file, std::string& problem)
{
    const ByteReader reader(file);
    if (reader.ascii(0, 2) == "MZ") {
        const auto resources = parseIconResources(file);
        if (!resources) {
            problem = describe(resources.error());
            return {};
        }
        if (resources->groups(GroupKind::Icon).empty()) {
            problem = "the program holds no icon";
            return {};
        }
        const auto images = resources->groupImages(GroupKind::Icon, 0);
        if (!images) {
            problem = describe(images.error());
            return {};
        }
        return groupImageSources(images.value());
    }
    if (reader.ascii(0, 4) == "RIFF" && reader.ascii(8, 4) == "ACON") {
        const auto frame = aniFirstStepFrame(file);
        if (!frame) {
            problem = "not an animated cursor Glyphary can read";
            return {};
        }
        file = *frame;
    }
    const auto directory = parseIcoDirectory(file);
    if (!directory) {
        problem = "not an icon, cursor, animated cursor, icon library or program";
        return {};
    }
    std::vector<IconImageSource> sources = iconImageSources(file, *directory.value);
    if (sources.empty())
        problem = "every image of the icon lies past the end of the file";
    return sources;
}

} // namespace

Thumbnail thumbnailOf(Bytes file, int size)
{
    Thumbnail result;
    const std::vector<IconImageSource> sources = mainIconImages(file, result.problem);
    if (sources.empty())
        return result;
    DecodeBudget budget;
    const auto decoded = decodeChosenIcon(sources, false, size, size, budget, ImageChoice::Sharpest);
    if (!decoded) {
        result.problem = "no image of the icon can be decoded";
        return result;
    }
    auto shrunk = shrinkToFit(decoded.value->pixels, size);
    if (!shrunk) {
        result.problem = "not enough memory to shrink the icon";
        return result;
    }
    result.picture = std::move(*shrunk);
    return result;
}

} // namespace glyphary::tools
