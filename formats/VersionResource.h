#pragma once
// The fixed part of a version resource (VS_FIXEDFILEINFO), from PE (UTF-16 keys) and NE (ANSI keys)
// executables: what GetFileVersionInfo and VerQueryValue with "\" give.

#include "formats/ByteReader.h"
#include "formats/ResourceTable.h"

#include <cstdint>
#include <optional>

namespace glyphary::formats {

inline constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

// VS_FIXEDFILEINFO without its signature; MS = most significant 32 bits (major, minor), LS = build,
// revision.
struct FixedFileInfo {
    std::uint32_t structureVersion = 0;
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
    std::uint32_t fileFlagsMask = 0;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    std::uint32_t fileDateMS = 0;
    std::uint32_t fileDateLS = 0;

    std::uint16_t productMajorVersion() const { return static_cast<std::uint16_t>(productVersionMS >> 16); }
};

// From the bytes of one version resource: the fixed block sits after the "VS_VERSION_INFO" key
// (offset 40 in PE, 20 in NE); when it is not there, the first signature found is taken.
std::optional<FixedFileInfo> parseFixedFileInfo(Bytes versionResource, ExecutableFormat format);

// From a whole executable: its version resource with id 1; nullopt when there is none.
std::optional<FixedFileInfo> readFixedFileInfo(Bytes file);

// HIWORD of dwProductVersionMS, or nullopt when the file has no version information.
std::optional<std::uint16_t> productMajorVersion(Bytes file);

} // namespace glyphary::formats
