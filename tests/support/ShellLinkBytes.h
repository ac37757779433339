#pragma once
// Shortcut files put together part by part, independently of the program's writer, so that tests
// can build every variant readers meet and break any field.

#include "formats/ByteReader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace glyphary::testing {

using formats::ByteVector;

struct LinkParts {
    bool unicode = true;              // IsUnicode: string data in UTF-16LE, else Windows-1252
    std::uint32_t moreFlags = 0;      // ORed into the flags the parts imply
    std::optional<ByteVector> idList; // the items, without IDListSize and terminator
    std::optional<ByteVector> linkInfo;
    std::optional<std::u16string> name, relativePath, workingDir, arguments, iconLocation;
    bool nulInCounts = false;         // count and store a trailing NUL, as Wine does
    std::int32_t iconIndex = 0;
    std::int32_t showCommand = 1;
    std::vector<ByteVector> extraBlocks;
    bool terminalBlock = true;
};

// Header flags follow the parts present (plus moreFlags).
ByteVector linkBytes(const LinkParts& parts);

// The items Windows writes for a local path: My Computer, the drive, one file entry per component
// (folders 0x31, the last a file 0x32), ANSI names.
ByteVector idListItems(std::string_view path);

// A LinkInfo with a VolumeID; a Unicode path adds the 0x24 header and both Unicode offsets.
ByteVector linkInfoBytes(std::string_view ansiPath, std::string_view suffix = {}, std::u16string_view unicodePath = {});

// An extra data block: size, signature, data.
ByteVector extraBlock(std::uint32_t signature, const ByteVector& data);
// An environment or icon environment block (0x314 bytes) holding the path in both forms.
ByteVector pathBlock(std::uint32_t signature, std::u16string_view path);

inline constexpr std::uint32_t kEnvironmentBlock = 0xA0000001;
inline constexpr std::uint32_t kTrackerBlock = 0xA0000003;
inline constexpr std::uint32_t kIconEnvironmentBlock = 0xA0000007;

} // namespace glyphary::testing
