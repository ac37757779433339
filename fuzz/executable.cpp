// PE and NE executables below the icon groups: the DOS, PE and NE headers, every section's RVA
// mapping, and the resource tree read by each reader directly. icon_resources runs the same readers
// through the group conversion; this target also reaches the RVA lookups and the NE reader at any
// header offset.
#include "formats/NeImage.h"
#include "formats/PeImage.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace glyphary::formats;

// Reads every byte a table item claims, so that a span reaching past the file shows.
void touch(const ResourceTable& table)
{
    unsigned sum = 0;
    for (const ResourceType& type : table.types)
        for (const ResourceItem& item : type.items)
            for (const std::uint8_t byte : item.data)
                sum += byte;
    (void)sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes file(data, size);
    if (const auto table = readResourceTable(file))
        touch(table.value());
    const auto dos = readDosHeader(file);
    if (!dos)
        return 0;
    if (dos->format == ExecutableFormat::Ne) {
        if (const auto header = readNeHeader(file, dos->newHeaderOffset); header && header->hasResources())
            if (const auto table = readNeResources(file, dos->newHeaderOffset))
                touch(table.value());
        return 0;
    }
    const auto image = parsePeImage(file);
    if (!image)
        return 0;
    for (const PeSection& section : image->sections) {
        // Both ends of each section, and a range reaching past its raw data.
        for (const std::uint32_t size : {1u, section.virtualSize, section.sizeOfRawData + 1u}) {
            if (const auto bytes = image->bytesAt(section.virtualAddress, size); bytes && !bytes->empty())
                (void)bytes->back();
            if (section.virtualSize > 0)
                (void)image->bytesAt(section.virtualAddress + section.virtualSize - 1, size);
        }
    }
    if (const auto table = readPeResources(image.value()))
        touch(table.value());
    return 0;
}
