#include "formats/AniCodec.h"

#include "formats/Cp1252.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace glyphary::formats {
namespace {

// "RIFF" u32 size "ACON", then chunks: FOURCC id | u32 size | data | pad byte when size is odd.
constexpr std::uint64_t kRiffChunks = 12;
constexpr std::uint64_t kChunkHeader = 8;
constexpr std::uint64_t kAniHeaderSize = 36;

// Frames in order up to the first that does not decode.
std::vector<AniFrame> readFrames(const std::vector<Bytes>& files, DecodeBudget& budget)
{
    std::vector<AniFrame> frames;
    for (const Bytes bytes : files) {
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
    const auto chunks = readAniChunks(bytes);
    if (!chunks)
        return Result::failure(chunks.error, chunks.offset);
    AniFile file;
    file.header = chunks.value->header;
    file.frames = readFrames(chunks.value->frames, budget);
    file.cutShort = budget.cutShort;
    if (file.frames.empty())
        return Result::failure(IconCodecError::NoFrames, kRiffChunks);
    file.steps = aniSteps(*chunks.value, file.frames.size());
    if (file.steps.empty())
        return Result::failure(IconCodecError::BadSequence, chunks.value->sequenceOffset);
    file.title = fromCp1252(chunks.value->title);
    file.author = fromCp1252(chunks.value->author);
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
