#include "tools/glyphary-icons/Thumbnail.h"

#include "formats/AniCodec.h"
#include "formats/IcoCodec.h"
#include "formats/IconResources.h"

#include <algorithm>
#include <vector>

namespace glyphary::tools {
namespace {

using namespace formats;

int longerSide(const IconCandidate& candidate) { return std::max(candidate.width, candidate.height); }

// The undecoded images of the file's main icon; empty, with the reason, when it has none.
// An animation's frame is a file of its own, kept in `frame` for the spans to point into.
std::vector<Bytes> mainIconImages(Bytes file, ByteVector& frame, QString* problem)
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
        std::vector<Bytes> data;
        for (const GroupImage& image : images.value())
            data.push_back(image.data);
        return data;
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
    std::vector<Bytes> data;
    for (const IconImageSource& source : iconImageSources(file, *directory.value))
        data.push_back(source.data);
    if (data.empty())
        *problem = QStringLiteral("every image of the icon lies past the end of the file");
    return data;
}

} // namespace

std::optional<std::size_t> chooseThumbnailImage(std::span<const IconCandidate> candidates, int size)
{
    // True when a is strictly the better source: ties keep the earlier image.
    const auto better = [size](const IconCandidate& a, const IconCandidate& b) {
        const bool aReaches = longerSide(a) >= size;
        if (aReaches != (longerSide(b) >= size))
            return aReaches;
        if (longerSide(a) != longerSide(b))
            return aReaches ? longerSide(a) < longerSide(b) : longerSide(a) > longerSide(b);
        return a.bitsPerPixel > b.bitsPerPixel;
    };
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (!best || better(candidates[i], candidates[*best]))
            best = i;
    return best;
}

Thumbnail thumbnailOf(Bytes file, int size)
{
    Thumbnail result;
    ByteVector frame;
    std::vector<Bytes> images = mainIconImages(file, frame, &result.problem);
    if (images.empty())
        return result;

    std::vector<IconCandidate> candidates;
    std::vector<Bytes> probed;
    for (const Bytes& data : images)
        if (const auto candidate = probeIconImage(data)) {
            candidates.push_back(*candidate.value);
            probed.push_back(data);
        }
    DecodeBudget budget;
    while (const auto chosen = chooseThumbnailImage(candidates, size)) {
        const IconCandidate& candidate = candidates[*chosen];
        if (!budget.take(static_cast<std::uint64_t>(candidate.width) * static_cast<std::uint64_t>(candidate.height)))
            break;
        if (const auto decoded = decodeIconImage(probed[*chosen])) {
            const QImage& image = decoded.value->image;
            result.picture = std::max(image.width(), image.height()) > size
                ? image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                : image;
            return result;
        }
        // Entries sharing the data that failed would fail the same way.
        const std::uint8_t* failed = probed[*chosen].data();
        for (std::size_t i = probed.size(); i-- > 0;)
            if (probed[i].data() == failed) {
                probed.erase(probed.begin() + static_cast<std::ptrdiff_t>(i));
                candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(i));
            }
    }
    result.problem = QStringLiteral("no image of the icon can be decoded");
    return result;
}

} // namespace glyphary::tools
