#include "support/HostileIcons.h"

#include "support/IconBytes.h"
#include "support/PeBuilder.h"

#include <QImage>

namespace glyphary::testing {
namespace {

using formats::putU16le;
using formats::putU32le;
using formats::ResourceName;

constexpr std::uint16_t kRtIcon = 3;
constexpr std::uint16_t kRtGroupIcon = 14;

ByteVector sharedPng(int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(qRgb(200, 10, 10));
    return test::pngBytes(image);
}

ByteVector chosenDib()
{
    return test::join({test::bitmapInfoHeader(32, 64, 32),
        test::packedRows(32, 32, 32, [](int, int) { return std::uint32_t{kChosenColour}; }),
        ByteVector(4 * 32, 0)});
}

// ICONDIR | entries x ICONDIRENTRY (all but the last naming `shared`) | shared | chosen.
ByteVector sharedFile(std::uint16_t type, int entries, const ByteVector& shared)
{
    const ByteVector chosen = chosenDib();
    const auto count = static_cast<std::uint16_t>(entries + 1);
    const std::uint32_t sharedAt = 6 + 16u * count;
    const auto chosenAt = static_cast<std::uint32_t>(sharedAt + shared.size());
    ByteVector out;
    putU16le(out, 0);
    putU16le(out, type);
    putU16le(out, count);
    const auto entry = [&](std::uint8_t side, std::uint16_t bits, std::size_t size, std::uint32_t at) {
        out.insert(out.end(), {side, side, 0, 0});
        putU16le(out, type == 2 ? 0 : 1);
        putU16le(out, type == 2 ? 0 : bits);
        putU32le(out, static_cast<std::uint32_t>(size));
        putU32le(out, at);
    };
    for (int i = 0; i < entries; ++i)
        entry(0, 32, shared.size(), sharedAt);
    entry(32, 32, chosen.size(), chosenAt);
    out.insert(out.end(), shared.begin(), shared.end());
    out.insert(out.end(), chosen.begin(), chosen.end());
    return out;
}

ByteVector groupDirectory(int entries, std::uint16_t sharedId, std::uint16_t chosenId, bool sharedIsPng, bool withChosen)
{
    ByteVector out;
    putU16le(out, 0);
    putU16le(out, 1);
    putU16le(out, static_cast<std::uint16_t>(entries + (withChosen ? 1 : 0)));
    const auto entry = [&](std::uint8_t side, std::uint16_t bits, std::uint16_t id) {
        out.insert(out.end(), {side, side, 0, 0});
        putU16le(out, 1);
        putU16le(out, bits);
        putU32le(out, 0);
        putU16le(out, id);
    };
    for (int i = 0; i < entries; ++i)
        entry(sharedIsPng ? 0 : 32, sharedIsPng ? 32 : 8, sharedId);
    if (withChosen)
        entry(32, 32, chosenId);
    return out;
}

} // namespace

ByteVector sharedEntryIcon(int entries, int side)
{
    return sharedFile(1, entries, sharedPng(side));
}

ByteVector sharedEntryAnimation(int frames, int entries, int side)
{
    const ByteVector frame = sharedFile(2, entries, sharedPng(side));
    ByteVector icons;
    for (int i = 0; i < frames; ++i) {
        const ByteVector chunk = test::riffChunk("icon", frame);
        icons.insert(icons.end(), chunk.begin(), chunk.end());
    }
    const auto count = static_cast<std::uint32_t>(frames);
    return test::riffFile("ACON", test::join({test::riffChunk("anih", test::aniHeader(count, count, 6, 1)),
                                      test::riffList("fram", icons)}));
}

ByteVector sharedEntryLibrary(int groups, int entries, int side, bool withChosen)
{
    ResourceBuilder builder;
    const bool png = side > 0;
    builder.raw(ResourceName::byId(kRtIcon), ResourceName::byId(1), png ? sharedPng(side) : dibImage(8, 32));
    builder.raw(ResourceName::byId(kRtIcon), ResourceName::byId(2), chosenDib());
    for (int group = 1; group <= groups; ++group)
        builder.raw(ResourceName::byId(kRtGroupIcon), ResourceName::byId(static_cast<std::uint16_t>(group)),
            groupDirectory(entries, 1, 2, png, withChosen));
    return builder.pe32();
}

} // namespace glyphary::testing
