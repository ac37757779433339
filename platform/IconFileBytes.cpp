#include "platform/IconFileBytes.h"

#include "formats/IcoCodec.h"
#include "formats/PeImage.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace glyphary::platform {
namespace {

using formats::ByteReader;

// The first part of a resource section read, in which its tree lies in most programs.
constexpr qint64 kTreeBytes = qint64{4} << 10;

bool isIconResource(std::uint16_t type)
{
    namespace t = formats::resource_type;
    return type == t::kIcon || type == t::kGroupIcon || type == t::kCursor || type == t::kGroupCursor || type == t::kVersion;
}

// Enough for the DOS stub and, in almost every program, the PE headers with the section table.
constexpr qint64 kHeadBytes = 4096;

// Reads [offset, offset + length) of the file into the buffer; a file cut meanwhile leaves zeros.
void readRange(QFile& file, std::uint8_t* buffer, qint64 size, qint64 offset, qint64 length)
{
    length = std::min(length, size - offset);
    if (offset < 0 || length <= 0)
        return;
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(file.handle(), buffer + offset + done, static_cast<std::size_t>(length - done), offset + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        done += got;
    }
}

struct Range {
    qint64 begin = 0;
    qint64 end = 0;
};

// Reads each range, neighbours less than a page apart in one read: resources lie side by side.
void readRanges(QFile& file, std::uint8_t* buffer, qint64 size, std::vector<Range> ranges)
{
    constexpr qint64 kJoinGap = 4096;
    std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.begin < b.begin; });
    for (std::size_t i = 0; i < ranges.size();) {
        Range joined = ranges[i];
        for (++i; i < ranges.size() && ranges[i].begin <= joined.end + kJoinGap; ++i)
            joined.end = std::max(joined.end, ranges[i].end);
        readRange(file, buffer, size, joined.begin, joined.end - joined.begin);
    }
}

// Where a PE file's section table ends, from its DOS and COFF headers; nullopt when it is not PE.
std::optional<std::uint64_t> peHeadersEnd(const ByteReader& file)
{
    const auto dos = formats::readDosHeader(file.bytes());
    if (!dos || dos->format != formats::ExecutableFormat::Pe)
        return std::nullopt;
    const std::uint64_t peHeader = dos->newHeaderOffset;
    const auto sections = file.u16le(peHeader + 6);
    const auto optionalHeader = file.u16le(peHeader + 20);
    if (!sections || !optionalHeader)
        return std::nullopt;
    return peHeader + 24 + *optionalHeader + std::uint64_t{40} * *sections;
}

// Reads what listing a large program needs: the headers, the resource tree and the icon, cursor
// and version resources, and keeps the tree. False when the layout is not understood and the file
// must be read whole.
bool readProgram(QFile& file, std::uint8_t* buffer, qint64 size, std::optional<formats::ResourceTable>& resources)
{
    const formats::Bytes all(buffer, static_cast<std::size_t>(size));
    const auto headersEnd = peHeadersEnd(ByteReader(all));
    if (!headersEnd)
        return false;
    if (*headersEnd > static_cast<std::uint64_t>(kHeadBytes))
        readRange(file, buffer, size, kHeadBytes, static_cast<qint64>(std::min<std::uint64_t>(*headersEnd, size)) - kHeadBytes);
    const auto image = formats::parsePeImage(all);
    if (!image)
        return false;
    const std::uint32_t rva = image->resourceDirectory.rva;
    if (rva == 0)
        return true; // no resources: nothing else is read
    const auto section = std::find_if(image->sections.begin(), image->sections.end(), [rva](const formats::PeSection& s) {
        return s.virtualAddress <= rva && rva < std::uint64_t{s.virtualAddress} + std::max(s.virtualSize, s.sizeOfRawData);
    });
    if (section == image->sections.end())
        return false;
    const auto offset = image->fileOffsetOf(section->virtualAddress, section->sizeOfRawData);
    if (!offset)
        return false;
    const auto start = static_cast<qint64>(*offset);
    const qint64 end = start + section->sizeOfRawData;
    // The tree lies at the start of the section, the data after it: read the tree, growing the
    // part read until the walk stays inside it, then only the data of the icon resources.
    qint64 readEnd = std::min(end, start + kTreeBytes);
    readRange(file, buffer, size, start, readEnd - start);
    for (;;) {
        auto table = formats::readPeResources(*image);
        if (!table)
            return true; // nothing of it can be listed
        if (static_cast<qint64>(table->treeEnd) <= readEnd) {
            std::vector<Range> ranges;
            for (const formats::ResourceType& type : table->types)
                if (!type.type.isNamed && isIconResource(type.type.id))
                    for (const formats::ResourceItem& item : type.items)
                        ranges.push_back({static_cast<qint64>(item.fileOffset), static_cast<qint64>(item.fileOffset + item.data.size())});
            readRanges(file, buffer, size, std::move(ranges));
            resources = std::move(table.value());
            return true;
        }
        if (readEnd == end || static_cast<qint64>(table->treeEnd) > end)
            return false; // a tree outside its section: read everything
        const qint64 grown = std::min(end, std::max<qint64>(static_cast<qint64>(table->treeEnd), start + 2 * (readEnd - start)));
        readRange(file, buffer, size, readEnd, grown - readEnd);
        readEnd = grown;
    }
}

// Reads the images a large .ico or .cur file's directory names. False when it has no sound directory.
bool readIconFile(QFile& file, std::uint8_t* buffer, qint64 size)
{
    const auto count = ByteReader(formats::Bytes(buffer, kHeadBytes)).u16le(4);
    const qint64 directoryEnd = 6 + 16 * qint64{count.value_or(0)};
    if (directoryEnd > kHeadBytes)
        readRange(file, buffer, size, kHeadBytes, directoryEnd - kHeadBytes);
    const auto directory = formats::parseIcoDirectory(formats::Bytes(buffer, static_cast<std::size_t>(size)));
    if (!directory)
        return false;
    std::vector<Range> ranges;
    for (const formats::IcoDirectoryEntry& entry : directory.value->entries)
        ranges.push_back({entry.imageOffset, qint64{entry.imageOffset} + entry.bytesInRes});
    readRanges(file, buffer, size, std::move(ranges));
    return true;
}

} // namespace

void IconFileBytes::Unmap::operator()(std::uint8_t* data) const { ::munmap(data, size); }

std::optional<IconFileBytes> IconFileBytes::read(const QString& hostPath, qint64 size)
{
    QFile file(hostPath);
    if (size < 0 || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    IconFileBytes bytes;
    if (size <= kSmallBytes) {
        bytes.small_.resize(static_cast<std::size_t>(size));
        readRange(file, bytes.small_.data(), size, 0, size);
        bytes.view_ = bytes.small_;
        return bytes;
    }
    void* memory = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED)
        return std::nullopt;
    bytes.large_ = std::unique_ptr<std::uint8_t[], Unmap>(static_cast<std::uint8_t*>(memory), Unmap{static_cast<std::size_t>(size)});
    std::uint8_t* buffer = bytes.large_.get();
    bytes.view_ = formats::Bytes(buffer, static_cast<std::size_t>(size));
    readRange(file, buffer, size, 0, kHeadBytes);
    if (readProgram(file, buffer, size, bytes.resources_) || readIconFile(file, buffer, size))
        return bytes;
    if (size > kMaxWholeBytes)
        return std::nullopt;
    readRange(file, buffer, size, kHeadBytes, size - kHeadBytes);
    return bytes;
}

} // namespace glyphary::platform
