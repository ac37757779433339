#include "support/HostileIcons.h"

#include "support/IconBytes.h"
#include "support/PeBuilder.h"

#include <QImage>

namespace glyphary::testing {
namespace {

using formats::ResourceName;
namespace resource_type = formats::resource_type;

ByteVector sharedPng(int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(qRgb(200, 10, 10));
    return test::pngBytes(image);
}

ByteVector chosenDib()
{
    return test::join({test::bitmapInfoHeader(32, 64, 32),
        test::packedRows(32, 32, 32, [](int, int) { return std::uint32_t{kChosenColour}; }), ByteVector(4 * 32, 0)});
}

// ICONDIR | entries x ICONDIRENTRY (all but the last naming `shared`) | shared | chosen.
ByteVector sharedFile(std::uint16_t type, int entries, const ByteVector& shared)
{
    const std::uint16_t planes = type == 2 ? 0 : 1;
    const std::uint16_t bits = type == 2 ? 0 : 32;
    std::vector<test::IcoImageEntry> images(static_cast<std::size_t>(entries), {0, 0, 0, planes, bits, {}});
    images.back().data = shared; // laid out first, right after the directory, as the others will name it
    images.push_back({32, 32, 0, planes, bits, chosenDib()});
    ByteVector out = test::iconFile(type, images);
    for (std::size_t i = 0; i + 2 < images.size(); ++i)
        formats::setU32le(out, test::icoEntryAt(i) + test::kIcoEntryBytesInRes, static_cast<std::uint32_t>(shared.size()));
    return out;
}

} // namespace

ByteVector sharedEntryIcon(int entries, int side)
{
    return sharedFile(1, entries, sharedPng(side));
}

ByteVector sharedEntryAnimation(int frames, int entries, int side)
{
    const ByteVector frame = test::riffChunk("icon", sharedFile(2, entries, sharedPng(side)));
    ByteVector icons;
    for (int i = 0; i < frames; ++i)
        formats::putBytes(icons, frame);
    const auto count = static_cast<std::uint32_t>(frames);
    return test::riffFile("ACON", test::join({test::riffChunk("anih", test::aniHeader(count, count, 6, 1)),
                                      test::riffList("fram", icons)}));
}

ByteVector sharedEntryLibrary(int groups, int entries, int side, bool withChosen)
{
    ResourceBuilder builder;
    const bool png = side > 0;
    builder.raw(ResourceName::byId(resource_type::kIcon), ResourceName::byId(1), png ? sharedPng(side) : dibImage(8, 32));
    builder.raw(ResourceName::byId(resource_type::kIcon), ResourceName::byId(2), chosenDib());
    std::vector<GroupEntry> directory(static_cast<std::size_t>(entries),
        png ? GroupEntry{0, 0, 32, 0, 1} : GroupEntry{32, 32, 8, 0, 1});
    if (withChosen)
        directory.push_back({32, 32, 32, 0, 2});
    const ByteVector group = iconGroupDirectory(directory);
    for (int id = 1; id <= groups; ++id)
        builder.raw(ResourceName::byId(resource_type::kGroupIcon), ResourceName::byId(static_cast<std::uint16_t>(id)), group);
    return builder.pe32();
}

} // namespace glyphary::testing
