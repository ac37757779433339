#include "formats/AniCodec.h"

#include "formats/Cp1252.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace glyphary::formats {
namespace {

// "RIFF" u32 size "ACON", then chunks: FOURCC id | u32 size | data | pad byte when size is odd.
constexpr std::uint64_t kRiffSize = 4;
constexpr std::uint64_t kRiffForm = 8;
constexpr std::uint64_t kRiffChunks = 12;
constexpr std::uint64_t kChunkHeader = 8;
constexpr std::uint64_t kListType = 4; // LIST data starts with its type

// ANIHEADER, u32 fields
constexpr std::uint64_t kAniHeaderSize = 36;
constexpr std::uint64_t kAnihFlags = 32;

struct Chunk {
    std::string id;
    std::uint64_t data = 0;
    std::uint64_t size = 0; // cut to the end of its parent
};

// A printable FOURCC whose data fits before `end`.
bool looksLikeChunk(const ByteReader& reader, std::uint64_t at, std::uint64_t end)
{
    if (at > end || end - at < kChunkHeader)
        return false;
    for (std::uint64_t i = 0; i < 4; ++i) {
        const std::uint8_t byte = *reader.u8(at + i);
        if (byte < 0x20 || byte > 0x7E)
            return false;
    }
    return *reader.u32le(at + 4) <= end - at - kChunkHeader;
}

// The chunks between begin and end. An odd chunk is normally followed by a pad byte; some writers
// leave it out, which shows as a chunk starting right at the end of the data instead of one byte later.
// Every chunk moves on by at least 8 bytes, so zero-sized chunks cannot loop.
std::vector<Chunk> chunksIn(const ByteReader& reader, std::uint64_t begin, std::uint64_t end)
{
    std::vector<Chunk> chunks;
    std::uint64_t at = begin;
    while (at <= end && end - at >= kChunkHeader) {
        const std::uint64_t data = at + kChunkHeader;
        const std::uint64_t size = *reader.u32le(at + 4);
        if (size > end - data) {
            chunks.push_back({*reader.ascii(at, 4), data, end - data});
            break;
        }
        chunks.push_back({*reader.ascii(at, 4), data, size});
        at = data + size;
        if (size % 2 == 1 && !(looksLikeChunk(reader, at, end) && !looksLikeChunk(reader, at + 1, end)))
            ++at;
    }
    return chunks;
}

const Chunk* findChunk(const std::vector<Chunk>& chunks, std::string_view id)
{
    const auto found = std::find_if(chunks.begin(), chunks.end(), [&](const Chunk& c) { return c.id == id; });
    return found == chunks.end() ? nullptr : &*found;
}

// The children of the first LIST of the given type, or nothing.
std::vector<Chunk> listChildren(const ByteReader& reader, const std::vector<Chunk>& chunks, std::string_view type)
{
    for (const Chunk& chunk : chunks)
        if (chunk.id == "LIST" && chunk.size >= kListType && reader.ascii(chunk.data, 4) == type)
            return chunksIn(reader, chunk.data + kListType, chunk.data + chunk.size);
    return {};
}

std::vector<std::uint32_t> u32Array(const ByteReader& reader, const Chunk& chunk)
{
    const std::uint64_t count = std::min<std::uint64_t>(chunk.size / 4, kMaxAniSteps);
    std::vector<std::uint32_t> values;
    values.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i)
        values.push_back(*reader.u32le(chunk.data + 4 * i));
    return values;
}

QString infoText(const ByteReader& reader, const std::vector<Chunk>& info, std::string_view id)
{
    const Chunk* chunk = findChunk(info, id);
    if (!chunk)
        return {};
    std::string text = *reader.ascii(chunk->data, chunk->size);
    text.resize(std::min(text.size(), text.find('\0')));
    return fromCp1252(text);
}

AniHeader readHeader(const ByteReader& reader, std::uint64_t at)
{
    const auto field = [&](std::uint64_t index) { return *reader.u32le(at + 4 * index); };
    return {field(0), field(1), field(2), field(3), field(4), field(5), field(6), field(7), field(8)};
}

std::vector<AniFrame> readFrames(const ByteReader& reader, const std::vector<Chunk>& fram, std::uint32_t declared,
    DecodeBudget& budget)
{
    const std::size_t limit = declared == 0 ? kMaxAniFrames : std::min<std::size_t>(declared, kMaxAniFrames);
    std::vector<AniFrame> frames;
    for (const Chunk& chunk : fram) {
        if (frames.size() >= limit)
            break;
        if (chunk.id != "icon")
            continue;
        const Bytes bytes = *reader.sub(chunk.data, chunk.size);
        const auto directory = parseIcoDirectory(bytes);
        if (!directory)
            break;
        const auto sources = iconImageSources(bytes, *directory.value);
        auto image = decodeChosenIconImage(sources, directory.value->type == IconFileType::Cursor, kLargeIconSize,
            kLargeIconSize, budget);
        if (!image)
            break;
        frames.push_back({std::move(*image.value), ByteVector(bytes.begin(), bytes.end())});
    }
    return frames;
}

// ---- writing ----

void putChunk(ByteVector& out, std::string_view id, Bytes data)
{
    putText(out, id);
    putU32le(out, static_cast<std::uint32_t>(data.size()));
    putBytes(out, data);
    if (data.size() % 2 == 1)
        putU8(out, 0);
}

void putList(ByteVector& out, std::string_view type, const ByteVector& children)
{
    ByteVector data;
    putText(data, type);
    putBytes(data, children);
    putChunk(out, "LIST", data);
}

ByteVector u32Bytes(const std::vector<std::uint32_t>& values)
{
    ByteVector bytes;
    for (const std::uint32_t value : values)
        putU32le(bytes, value);
    return bytes;
}

void putInfoText(ByteVector& out, std::string_view id, const QString& text)
{
    if (text.isEmpty())
        return;
    ByteVector bytes;
    putText(bytes, toCp1252(text));
    putU8(bytes, 0); // the size counts the NUL
    putChunk(out, id, bytes);
}

} // namespace

IconCodecResult<AniFile> parseAni(Bytes bytes)
{
    DecodeBudget budget;
    return parseAni(bytes, budget);
}

IconCodecResult<AniFile> parseAni(Bytes bytes, DecodeBudget& budget)
{
    using Result = IconCodecResult<AniFile>;
    const ByteReader reader(bytes);
    if (!reader.has(0, kRiffChunks))
        return Result::failure(IconCodecError::TooShort, 0);
    if (reader.ascii(0, 4) != "RIFF" || reader.ascii(kRiffForm, 4) != "ACON")
        return Result::failure(IconCodecError::NotRiff, 0);
    // A RIFF size larger than the file is common; the file's end wins.
    const std::uint64_t end = std::min<std::uint64_t>(kRiffForm + *reader.u32le(kRiffSize), reader.size());
    const std::vector<Chunk> chunks = chunksIn(reader, kRiffChunks, end);

    const Chunk* anih = findChunk(chunks, "anih");
    if (!anih || anih->size < kAniHeaderSize)
        return Result::failure(IconCodecError::MissingAniHeader, anih ? anih->data : kRiffChunks);
    AniFile file;
    file.header = readHeader(reader, anih->data);
    if ((file.header.flags & kAniFlagIcon) == 0)
        return Result::failure(IconCodecError::RawFramesUnsupported, anih->data + kAnihFlags);

    file.frames = readFrames(reader, listChildren(reader, chunks, "fram"), file.header.frames, budget);
    file.cutShort = budget.cutShort;
    if (file.frames.empty())
        return Result::failure(IconCodecError::NoFrames, kRiffChunks);

    const Chunk* rateChunk = findChunk(chunks, "rate");
    const std::vector<std::uint32_t> rates = rateChunk ? u32Array(reader, *rateChunk) : std::vector<std::uint32_t>{};
    const auto rateOf = [&](std::size_t step) { return step < rates.size() ? rates[step] : file.header.jifRate; };
    const std::size_t frameCount = file.frames.size();
    if (const Chunk* seqChunk = findChunk(chunks, "seq ")) {
        const std::vector<std::uint32_t> sequence = u32Array(reader, *seqChunk);
        const std::size_t count = file.header.steps == 0 ? sequence.size() : std::min<std::size_t>(file.header.steps, sequence.size());
        for (std::size_t step = 0; step < count; ++step)
            if (sequence[step] < frameCount)
                file.steps.push_back({sequence[step], rateOf(step)});
        if (file.steps.empty())
            return Result::failure(IconCodecError::BadSequence, seqChunk->data);
    } else {
        // Without 'seq ' the steps are the frames in order; Wine ignores cSteps when AF_SEQUENCE
        // promises a sequence that is not there.
        const bool useSteps = file.header.steps != 0 && (file.header.flags & kAniFlagSequence) == 0;
        const std::size_t count = useSteps ? std::min<std::size_t>(file.header.steps, frameCount) : frameCount;
        for (std::size_t step = 0; step < count; ++step)
            file.steps.push_back({static_cast<std::uint32_t>(step), rateOf(step)});
    }

    const std::vector<Chunk> info = listChildren(reader, chunks, "INFO");
    file.title = infoText(reader, info, "INAM");
    file.author = infoText(reader, info, "IART");
    return {std::move(file)};
}

IconCodecResult<ByteVector> writeAni(std::span<const ByteVector> frameFiles, const AniOptions& options)
{
    using Result = IconCodecResult<ByteVector>;
    if (frameFiles.empty())
        return Result::failure(IconCodecError::NothingToWrite, 0);
    if (frameFiles.size() > kMaxAniFrames)
        return Result::failure(IconCodecError::TooManyImages, kMaxAniFrames);
    for (std::size_t i = 0; i < frameFiles.size(); ++i)
        if (!parseIco(frameFiles[i]))
            return Result::failure(IconCodecError::BadFrame, i);
    const std::size_t steps = options.sequence.empty() ? frameFiles.size() : options.sequence.size();
    if (steps > kMaxAniSteps)
        return Result::failure(IconCodecError::BadSequence, kMaxAniSteps);
    for (std::size_t i = 0; i < options.sequence.size(); ++i)
        if (options.sequence[i] >= frameFiles.size())
            return Result::failure(IconCodecError::BadSequence, i);
    if (!options.rates.empty() && options.rates.size() != steps)
        return Result::failure(IconCodecError::BadSequence, options.rates.size());

    ByteVector body;
    putText(body, "ACON");
    if (!options.title.isEmpty() || !options.author.isEmpty()) {
        ByteVector info;
        putInfoText(info, "INAM", options.title);
        putInfoText(info, "IART", options.author);
        putList(body, "INFO", info);
    }
    ByteVector header;
    putU32le(header, static_cast<std::uint32_t>(kAniHeaderSize));
    putU32le(header, static_cast<std::uint32_t>(frameFiles.size()));
    putU32le(header, static_cast<std::uint32_t>(steps));
    for (int unused = 0; unused < 4; ++unused)
        putU32le(header, 0); // cx, cy, cBitCount, cPlanes: 0 with AF_ICON
    putU32le(header, options.rates.empty() ? options.defaultRate : options.rates.front());
    putU32le(header, kAniFlagIcon | (options.sequence.empty() ? 0 : kAniFlagSequence));
    putChunk(body, "anih", header);
    if (!options.rates.empty())
        putChunk(body, "rate", u32Bytes(options.rates));
    if (!options.sequence.empty())
        putChunk(body, "seq ", u32Bytes(options.sequence));

    ByteVector frames;
    for (const ByteVector& frame : frameFiles) {
        if (frame.size() % 2 == 0) {
            putChunk(frames, "icon", frame);
            continue;
        }
        ByteVector even = frame;
        even.push_back(0);
        putChunk(frames, "icon", even);
    }
    putList(body, "fram", frames);

    if (body.size() > UINT32_MAX)
        return Result::failure(IconCodecError::TooLarge, 0);
    ByteVector out;
    out.reserve(kChunkHeader + body.size());
    putChunk(out, "RIFF", body);
    return {std::move(out)};
}

IconCodecResult<ByteVector> writeAni(std::span<const IconImage> frames, int bitsPerPixel, const AniOptions& options)
{
    std::vector<ByteVector> files;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        auto file = writeCur(frames[i].image, bitsPerPixel, frames[i].hotspotX, frames[i].hotspotY);
        if (!file)
            return IconCodecResult<ByteVector>::failure(file.error == IconCodecError::UnsupportedDepth ? file.error : IconCodecError::BadFrame, i);
        files.push_back(std::move(*file.value));
    }
    return writeAni(files, options);
}

} // namespace glyphary::formats
