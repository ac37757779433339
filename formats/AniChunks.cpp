#include "formats/AniChunks.h"

#include "formats/IconDecoding.h"

#include <algorithm>
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

std::string infoText(const ByteReader& reader, const std::vector<Chunk>& info, std::string_view id)
{
    const Chunk* chunk = findChunk(info, id);
    if (!chunk)
        return {};
    std::string text = *reader.ascii(chunk->data, chunk->size);
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

AniHeader readHeader(const ByteReader& reader, std::uint64_t at)
{
    const auto field = [&](std::uint64_t index) { return *reader.u32le(at + 4 * index); };
    return {field(0), field(1), field(2), field(3), field(4), field(5), field(6), field(7), field(8)};
}

} // namespace

IconCodecResult<AniChunks> readAniChunks(Bytes bytes)
{
    using Result = IconCodecResult<AniChunks>;
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
    AniChunks found;
    found.header = readHeader(reader, anih->data);
    if ((found.header.flags & kAniFlagIcon) == 0)
        return Result::failure(IconCodecError::RawFramesUnsupported, anih->data + kAnihFlags);

    const std::uint32_t declared = found.header.frames;
    const std::size_t limit = declared == 0 ? kMaxAniFrames : std::min<std::size_t>(declared, kMaxAniFrames);
    for (const Chunk& chunk : listChildren(reader, chunks, "fram"))
        if (chunk.id == "icon" && found.frames.size() < limit)
            found.frames.push_back(*reader.sub(chunk.data, chunk.size));
    if (const Chunk* rate = findChunk(chunks, "rate"))
        found.rates = u32Array(reader, *rate);
    if (const Chunk* seq = findChunk(chunks, "seq ")) {
        found.sequence = u32Array(reader, *seq);
        found.hasSequence = true;
        found.sequenceOffset = seq->data;
    }
    const std::vector<Chunk> info = listChildren(reader, chunks, "INFO");
    found.title = infoText(reader, info, "INAM");
    found.author = infoText(reader, info, "IART");
    return {std::move(found)};
}

std::vector<AniStep> aniSteps(const AniChunks& chunks, std::size_t frameCount)
{
    const AniHeader& header = chunks.header;
    const auto rateOf = [&](std::size_t step) { return step < chunks.rates.size() ? chunks.rates[step] : header.jifRate; };
    std::vector<AniStep> steps;
    if (chunks.hasSequence) {
        const std::vector<std::uint32_t>& sequence = chunks.sequence;
        const std::size_t count = header.steps == 0 ? sequence.size() : std::min<std::size_t>(header.steps, sequence.size());
        for (std::size_t step = 0; step < count; ++step)
            if (sequence[step] < frameCount)
                steps.push_back({sequence[step], rateOf(step)});
        return steps;
    }
    // Without 'seq ' the steps are the frames in order; Wine ignores cSteps when AF_SEQUENCE
    // promises a sequence that is not there.
    const bool useSteps = header.steps != 0 && (header.flags & kAniFlagSequence) == 0;
    const std::size_t count = useSteps ? std::min<std::size_t>(header.steps, frameCount) : frameCount;
    for (std::size_t step = 0; step < count; ++step)
        steps.push_back({static_cast<std::uint32_t>(step), rateOf(step)});
    return steps;
}

std::optional<Bytes> aniFirstStepFrame(Bytes file)
{
    const auto chunks = readAniChunks(file);
    if (!chunks)
        return std::nullopt;
    std::size_t usable = 0;
    while (usable < chunks.value->frames.size() && parseIcoDirectory(chunks.value->frames[usable]))
        ++usable;
    const std::vector<AniStep> steps = aniSteps(*chunks.value, usable);
    if (steps.empty())
        return std::nullopt;
    return chunks.value->frames[steps.front().frame];
}

} // namespace glyphary::formats
