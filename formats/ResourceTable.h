#pragma once
// What the PE and NE readers have in common: the error kinds they report, a value-or-error result,
// resource names, and the flat table of resources both produce. The table holds spans into the file
// bytes it was read from, so those bytes must outlive it.

#include "formats/ByteReader.h"

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace glyphary::formats {

enum class ImageErrorKind {
    TruncatedDosHeader,        // fewer than 64 bytes
    NotMzExecutable,           // e_magic is not "MZ"
    NewHeaderOutOfRange,       // e_lfanew points past the end
    UnknownSignature,          // neither "PE\0\0" nor "NE" at e_lfanew
    TruncatedCoffHeader,
    TooManySections,           // NumberOfSections above the loader's limit
    TruncatedOptionalHeader,   // SizeOfOptionalHeader too small for its magic, or past the end
    UnknownOptionalHeaderMagic,
    SectionTableOutOfRange,
    RvaInNoSection,
    RvaBeyondRawData,          // inside a section, but in its zero-filled tail
    RangePastEndOfFile,
    ResourceDirectoryTruncated,
    ResourceLoop,              // a sub-directory already walked
    ResourceTooDeep,           // a sub-directory below the language level
    MisplacedResourceData,     // a data entry above the language level
    ResourceNameOutOfRange,    // name string past the end or longer than the cap
    TooManyResources,
    TruncatedNeHeader,
    BadAlignShift,
    ResourceTableTruncated,
    ResourceDataOutOfRange,
    GroupTruncated,            // icon/cursor group shorter than its 6-byte header
    GroupHasNoImages,          // no image of the group could be found
    GroupIndexOutOfRange,
    OutputTooLarge,
};

// `offset` is the file offset of the offending field, or the RVA for the RVA kinds. Places in a PE
// resource tree are reckoned from the root directory's file offset.
struct ImageError {
    ImageErrorKind kind;
    std::uint64_t offset = 0;
    bool operator==(const ImageError&) const = default;
};

// One line for logs and messages, e.g. "section table runs past the end of the file (offset 0x178)".
std::string describe(const ImageError& error);

template <typename T>
class ImageResult {
public:
    ImageResult(T value) : state_(std::move(value)) {}
    ImageResult(ImageError error) : state_(error) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<T>(state_); }
    T& value() & { return std::get<T>(state_); }
    T&& value() && { return std::get<T>(std::move(state_)); }
    const T* operator->() const { return &value(); }
    const T& operator*() const& { return value(); }
    const ImageError& error() const { return std::get<ImageError>(state_); }

private:
    std::variant<T, ImageError> state_;
};

// A resource type or name: an integer id or a counted string (NE names are converted from ANSI).
struct ResourceName {
    bool isNamed = false;
    std::uint16_t id = 0;
    std::u16string text;

    static ResourceName byId(std::uint16_t value) { return {false, value, {}}; }
    static ResourceName byName(std::u16string value) { return {true, 0, std::move(value)}; }
    bool operator==(const ResourceName&) const = default;
};

// Names compare case-insensitively (ASCII letters), as Windows compares resource names.
bool sameResourceName(const ResourceName& a, const ResourceName& b);
// Directory order: names first, ordered case-insensitively, then ids ascending.
bool resourceNameLess(const ResourceName& a, const ResourceName& b);

// Windows resource type ids; NE ids are stored with the 0x8000 bit removed.
namespace resource_type {
inline constexpr std::uint16_t kCursor = 1;
inline constexpr std::uint16_t kIcon = 3;
inline constexpr std::uint16_t kGroupCursor = 12;
inline constexpr std::uint16_t kGroupIcon = 14;
inline constexpr std::uint16_t kVersion = 16;
} // namespace resource_type

enum class ExecutableFormat { Pe, Ne };

// Readers stop after this many resources (a large system DLL holds a few thousand).
inline constexpr std::size_t kMaxResources = 65536;

struct ResourceItem {
    ResourceName name;
    std::uint16_t language = 0; // always 0 for NE
    std::uint64_t fileOffset = 0;
    Bytes data;                 // NE: the stored length, rounded up to the alignment unit
};

struct ResourceType {
    ResourceName type;
    std::vector<ResourceItem> items; // in directory (PE) or file (NE) order, every language
};

struct ResourceTable {
    ExecutableFormat format = ExecutableFormat::Pe;
    std::vector<ResourceType> types;
    // Parts that could not be read and were left out; the rest of the table is still valid.
    std::vector<ImageError> skipped;
    // PE: the file offset past the furthest directory, data entry or name the walk read, so that a
    // reader of part of a file can tell whether it read the whole tree.
    std::uint64_t treeEnd = 0;

    // The first type with this id, or nullptr.
    const ResourceType* find(std::uint16_t typeId) const;
};

} // namespace glyphary::formats
