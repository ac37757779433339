#pragma once
// Wine's registry hive files ("WINE REGISTRY Version 2": system.reg, user.reg, userdef.reg).
//
// The document keeps the text it was read from. Serialising writes every untouched key section
// byte for byte as it was read (comments, blank lines, #time/#class/#link and unknown options, odd
// spacing, CR LF line ends); a key that was changed gets a new header and #time line, and only its
// changed values are written again, in Wine's own style. Key sections are written in file order,
// new keys at the end. A key that appears in several sections is one key (Wine merges them too).
//
// Key paths are relative to the hive root, components separated by one backslash, e.g.
// u"Software\\Wine"; empty components are ignored. Key and value names are compared
// case-insensitively and keep the case they were first stored with. String data is UTF-16LE as
// Windows holds it: REG_SZ data includes its terminating NUL.

#include "formats/ByteReader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace glyphary::formats {

struct WineRegistryValue {
    std::u16string name; // empty: the default value, written "@"
    std::uint32_t type = 0;
    ByteVector data;
    bool operator==(const WineRegistryValue&) const = default;
};

enum class WineRegistryProblemKind {
    TooLarge,            // the input exceeds a cap: nothing was read past the line given (0: at all)
    NotARegistryFile,    // line 1 is not "WINE REGISTRY Version 2"; nothing was read
    UnknownArchitecture, // "#arch=" other than win32 / win64; nothing after it was read
    MalformedKey,        // a "[...]" line that does not parse, or a name over the length limits
    MalformedValue,
    MalformedOption,     // "#time=" or "#class=" that does not parse
    ValueWithoutKey,     // a value line before the first key
    UnrecognizedLine,
};

struct WineRegistryProblem {
    WineRegistryProblemKind kind;
    std::size_t line = 0; // 1-based
    bool operator==(const WineRegistryProblem&) const = default;
};

class WineRegistryDocument {
public:
    // An empty hive with no header at all (what an empty file holds).
    WineRegistryDocument();
    ~WineRegistryDocument();
    WineRegistryDocument(WineRegistryDocument&&) noexcept;
    WineRegistryDocument& operator=(WineRegistryDocument&&) noexcept;
    WineRegistryDocument(const WineRegistryDocument&) = delete;
    WineRegistryDocument& operator=(const WineRegistryDocument&) = delete;

    // A new hive file as Wine starts one: the version line, ";; All keys relative to <relativeTo>"
    // and "#arch=<arch>". `relativeTo` is written as given, e.g. "REGISTRY\\\\Machine".
    static WineRegistryDocument createNew(std::string_view relativeTo, std::string_view arch);

    bool hasHeader() const;
    ByteVector serialize() const;

    // A key exists when it has a section of its own or is the parent of one; the root always exists.
    bool keyExists(std::u16string_view path) const;
    // Immediate subkeys in stored order (the order their names first appeared).
    std::size_t subkeyCount(std::u16string_view path) const;
    const std::u16string* subkeyName(std::u16string_view path, std::size_t index) const;
    // The key's values in stored order; empty for a missing key.
    std::span<const WineRegistryValue> values(std::u16string_view path) const;
    const WineRegistryValue* findValue(std::u16string_view path, std::u16string_view name) const;
    std::optional<std::u16string> keyClass(std::u16string_view path) const;
    bool isLink(std::u16string_view path) const;
    // FILETIME of the key's last change (from "#time=", else from the seconds after the key name).
    std::optional<std::uint64_t> lastWriteTime(std::u16string_view path) const;
    // The path with the stored case of every existing component (new components as given).
    std::u16string storedPath(std::u16string_view path) const;

    // Windows' limits: at most 512 levels of at most 255 characters each.
    static bool isValidKeyPath(std::u16string_view path);
    // The components of a key path, empty ones (doubled or outer backslashes) left out.
    static std::vector<std::u16string_view> splitKeyPath(std::u16string_view path);

    // Changes. `now` is a FILETIME stamped on the keys they touch.
    // Creates the key (its parents stay implied, as in Wine's files); false when it already existed
    // or the path is not valid.
    bool createKey(std::u16string_view path, std::uint64_t now);
    // Removes the key and everything below it; its parent keeps existing. False for a missing key
    // or the root.
    bool removeTree(std::u16string_view path, std::uint64_t now);
    // Adds or replaces a value (an existing value keeps its stored name), creating the key. False
    // when nothing changed (same type and data) or the path is not valid.
    bool setValue(std::u16string_view path, WineRegistryValue value, std::uint64_t now);
    bool removeValue(std::u16string_view path, std::u16string_view name, std::uint64_t now);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    friend struct WineRegistryParser;
};

struct WineRegistryParse {
    WineRegistryDocument document;
    std::vector<WineRegistryProblem> problems; // at most kMaxReportedProblems, in line order
    bool complete = true;                      // false when any line was not understood
};

inline constexpr std::size_t kMaxWineRegistryBytes = 64u * 1024u * 1024u;
inline constexpr std::size_t kMaxValueNameUnits = 16383; // Windows' limit
inline constexpr std::size_t kMaxReportedProblems = 20;

// A few bytes of hive text can cost a few hundred bytes in memory, so counts are capped as well as
// the size. Large Wine prefixes stay well below these.
struct WineRegistryLimits {
    std::size_t maxBytes = kMaxWineRegistryBytes;
    std::size_t maxKeys = 250000;    // key names (implied parents included) plus key sections
    std::size_t maxValues = 1000000;
};

// Never fails: what could be read is in the document. An empty input is a complete empty hive.
WineRegistryParse parseWineRegistry(Bytes bytes, const WineRegistryLimits& limits = {});

// One line for logs, e.g. "line 12: malformed value".
std::string describe(const WineRegistryProblem& problem);

// Wine's string escaping (dump_strW) of `text`; `quotes` are the extra characters escaped with a
// backslash besides the backslash itself ("\"" in strings and value names, "[]" in key names).
std::string escapeRegistryText(std::u16string_view text, std::string_view quotes);

// Case-insensitive equality of names, as the registry compares them.
bool registryNamesEqual(std::u16string_view a, std::u16string_view b);

// FILETIME <-> the Unix seconds on a key line.
inline constexpr std::uint64_t kFileTimeUnixEpoch = 116444736000000000ull;
inline constexpr std::uint64_t kFileTimeTicksPerSecond = 10000000ull;

} // namespace glyphary::formats
