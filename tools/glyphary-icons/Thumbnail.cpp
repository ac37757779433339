#include "tools/glyphary-icons/Thumbnail.h"

#include "formats/AniCodec.h"
#include "formats/IcoCodec.h"
#include "formats/IconResources.h"

#include <algorithm>
#include <vector>

namespace glyphary::tools {
namespace {

using namespace formats;

// The undecoded images of the file's main icon; empty, with the reason, when it has none.
// An animation's frame is a file of its own, kept in `frame` for the spans to point into.
std::vector<IconImageSource> mainIconImages(Bytes file, ByteVector& frame, QString* problem)
{
    const ByteReader reader(file);
    if (reader.ascii(0, 2) == "MZ") {
        const auto resources = parseIconResources(file);
        if (!resources) {
            *problem = QString::fromStdString(describe(resources.error()));
            return {};
        }
        if (resources->groups(GroupKind::Icon).empty()) {
            *problem = QStringLiteral("the program holds no icon");
            return {};
        }
        const auto images = resources->groupImages(GroupKind::Icon, 0);
        if (!images) {
            *problem = QString::fromStdString(describe(images.error()));
            return {};
        }
        std::vector<IconImageSource> sources;
        for (const GroupImage& image : images.value())
            sources.push_back({image.data});
        return sources;
    }
    if (reader.ascii(0, 4) == "RIFF" && reader.ascii(8, 4) == "ACON") {
        const auto animation = parseAni(file);
        if (!animation) {
            const std::string_view name = errorName(animation.error);
            *problem = QStringLiteral("not an animated cursor Glyphary can read (%1)")
                           .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
            return {};
        }
        frame = animation.value->frames[animation.value->steps.front().frame].fileBytes;
        file = frame;
    }
    const auto directory = parseIcoDirectory(file);
    if (!directory) {
        *problem = QStringLiteral("not an icon, cursor, animated cursor, icon library or program");
        return {};
    }
    std::vector<IconImageSource> sources = iconImageSources(file, *directory.value);
    if (sources.empty())
        *problem = QStringLiteral("every image of the icon lies past the end of the file");
    return sources;
}

} // namespace

Thumbnail thumbnailOf(Bytes file, int size)
{
    Thumbnail result;
    ByteVector frame;
    const std::vector<IconImageSource> sources = mainIconImages(file, frame, &result.problem);
    if (sources.empty())
        return result;
    DecodeBudget budget;
    const auto decoded = decodeChosenIconImage(sources, false, size, size, budget, ImageChoice::Sharpest);
    if (!decoded) {
        result.problem = QStringLiteral("no image of the icon can be decoded");
        return result;
    }
    const QImage& image = decoded.value->image;
    result.picture = std::max(image.width(), image.height()) > size
        ? image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        : image;
    return result;
}

} // namespace glyphary::tools
