#pragma once
// A file's bytes for the icon readers, as one span of its full length. Small files are read whole;
// of a large program only the headers and the resource section are read, of a large .ico or .cur
// only the directory and its images: the rest stays zero and costs neither reading nor memory.

#include "formats/ByteReader.h"
#include "formats/ResourceTable.h"

#include <QString>

#include <memory>
#include <optional>

namespace glyphary::platform {

class IconFileBytes {
public:
    // Nullopt when the file cannot be opened, or is larger than kMaxWholeBytes and neither a
    // program nor an icon file.
    static std::optional<IconFileBytes> read(const QString& hostPath, qint64 size);

    formats::Bytes bytes() const { return view_; }
    // The resource table of a large program, read on the way (its spans point into bytes()).
    const std::optional<formats::ResourceTable>& resources() const { return resources_; }

    IconFileBytes(IconFileBytes&&) = default;
    IconFileBytes& operator=(IconFileBytes&&) = default;
    ~IconFileBytes() = default;

    // Files up to this size are read whole.
    static constexpr qint64 kSmallBytes = qint64{64} << 10;
    // Other content (animations, NE libraries) is read whole up to this size, and refused above it.
    static constexpr qint64 kMaxWholeBytes = qint64{64} << 20;

private:
    IconFileBytes() = default;

    // A large file's buffer, anonymous memory of its size: zero pages that cost nothing until written.
    struct Unmap {
        std::size_t size;
        void operator()(std::uint8_t* data) const;
    };
    formats::ByteVector small_;
    std::unique_ptr<std::uint8_t[], Unmap> large_;
    formats::Bytes view_;
    std::optional<formats::ResourceTable> resources_;
};

} // namespace glyphary::platform
