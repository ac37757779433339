#pragma once
// The one bounds-checked little-endian reader over a byte span. Every codec reads through it, so no
// other code does pointer arithmetic on file bytes. Offsets and widths are checked in 64-bit
// arithmetic; a read that would leave the span yields nullopt.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace glyphary::formats {

using Bytes = std::span<const std::uint8_t>;
using ByteVector = std::vector<std::uint8_t>;

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(Bytes bytes) : data_(bytes) {}

    std::size_t size() const { return data_.size(); }
    Bytes bytes() const { return data_; }

    bool has(std::uint64_t offset, std::uint64_t width) const
    {
        return offset <= data_.size() && width <= data_.size() - offset;
    }

    std::optional<std::uint8_t> u8(std::uint64_t offset) const
    {
        if (!has(offset, 1))
            return std::nullopt;
        return data_[static_cast<std::size_t>(offset)];
    }

    std::optional<std::uint16_t> u16le(std::uint64_t offset) const
    {
        if (!has(offset, 2))
            return std::nullopt;
        const auto at = static_cast<std::size_t>(offset);
        return static_cast<std::uint16_t>(data_[at] | (data_[at + 1] << 8));
    }

    std::optional<std::int16_t> i16le(std::uint64_t offset) const
    {
        const auto value = u16le(offset);
        if (!value)
            return std::nullopt;
        return static_cast<std::int16_t>(*value);
    }

    std::optional<std::uint32_t> u32le(std::uint64_t offset) const
    {
        if (!has(offset, 4))
            return std::nullopt;
        const auto at = static_cast<std::size_t>(offset);
        return static_cast<std::uint32_t>(data_[at]) | (static_cast<std::uint32_t>(data_[at + 1]) << 8)
            | (static_cast<std::uint32_t>(data_[at + 2]) << 16)
            | (static_cast<std::uint32_t>(data_[at + 3]) << 24);
    }

    std::optional<std::int32_t> i32le(std::uint64_t offset) const
    {
        const auto value = u32le(offset);
        if (!value)
            return std::nullopt;
        return static_cast<std::int32_t>(*value);
    }

    std::optional<std::uint64_t> u64le(std::uint64_t offset) const
    {
        const auto low = u32le(offset);
        const auto high = u32le(offset + 4);
        if (!low || !high)
            return std::nullopt;
        return (static_cast<std::uint64_t>(*high) << 32) | *low;
    }

    // A sub-span of `width` bytes at `offset`, or nullopt when it does not fit.
    std::optional<Bytes> sub(std::uint64_t offset, std::uint64_t width) const
    {
        if (!has(offset, width))
            return std::nullopt;
        return data_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(width));
    }

    // Everything from `offset` to the end (empty when offset is past the end).
    Bytes tail(std::uint64_t offset) const
    {
        if (offset >= data_.size())
            return {};
        return data_.subspan(static_cast<std::size_t>(offset));
    }

    // `width` bytes at `offset` as text (no conversion), or nullopt when it does not fit.
    std::optional<std::string> ascii(std::uint64_t offset, std::uint64_t width) const
    {
        const auto part = sub(offset, width);
        if (!part)
            return std::nullopt;
        return std::string(part->begin(), part->end());
    }

private:
    Bytes data_;
};

// Little-endian writers for building files in memory.
inline void putU8(ByteVector& out, std::uint8_t value) { out.push_back(value); }
inline void putU16le(ByteVector& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void putU32le(ByteVector& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}
inline void putBytes(ByteVector& out, Bytes bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }
inline void putText(ByteVector& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

// Overwrites at a fixed offset of an already sized buffer (for size fields known only at the end).
inline void setU16le(ByteVector& out, std::size_t offset, std::uint16_t value)
{
    out.at(offset) = static_cast<std::uint8_t>(value & 0xFF);
    out.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}
inline void setU32le(ByteVector& out, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        out.at(offset + i) = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

} // namespace glyphary::formats
