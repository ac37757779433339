#include "formats/WineRegistryFile.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace glyphary::formats {
namespace {

constexpr std::string_view kVersionLine = "WINE REGISTRY Version 2";
constexpr std::size_t kMaxKeyNameUnits = 255;   // per component
constexpr std::size_t kMaxKeyDepth = 512;
constexpr std::size_t kHexWrapColumn = 76;      // Wine breaks hex data after this column

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

// ---------------------------------------------------------------------------------------------
// Text helpers

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool isOctal(char c) { return c >= '0' && c <= '7'; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::size_t skipSpaces(std::string_view text, std::size_t pos)
{
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    return pos;
}

bool onlySpacesFrom(std::string_view text, std::size_t pos) { return skipSpaces(text, pos) == text.size(); }

char16_t foldUnit(char16_t unit)
{
    if (unit < 0x80)
        return (unit >= 'A' && unit <= 'Z') ? static_cast<char16_t>(unit + 32) : unit;
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return unit;
    return static_cast<char16_t>(QChar::toLower(static_cast<char32_t>(unit)));
}

std::u16string folded(std::u16string_view name)
{
    std::u16string out(name);
    for (char16_t& unit : out)
        unit = foldUnit(unit);
    return out;
}

std::vector<std::u16string_view> splitPath(std::u16string_view path)
{
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

ByteVector utf16Bytes(std::u16string_view text)
{
    ByteVector out;
    out.reserve(text.size() * 2);
    for (const char16_t unit : text)
        putU16le(out, unit);
    return out;
}

std::u16string utf16Units(const ByteVector& data)
{
    ByteReader reader(data);
    std::u16string out;
    out.reserve(data.size() / 2);
    for (std::size_t at = 0; at + 1 < data.size(); at += 2)
        out.push_back(static_cast<char16_t>(*reader.u16le(at)));
    return out;
}

// One character of raw UTF-8 at `pos` (first byte >= 0x80), appended as UTF-16. False for
// malformed, overlong, surrogate or out-of-range sequences.
bool decodeUtf8(std::string_view text, std::size_t& pos, std::u16string& out)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t extra = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        code = lead & 0x1Fu;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        code = lead & 0x0Fu;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        code = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return false;
    }
    if (text.size() - pos <= extra)
        return false;
    for (std::size_t i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0u) != 0x80u)
            return false;
        code = (code << 6) | (next & 0x3Fu);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return false;
    if (code <= 0xFFFF) {
        out.push_back(static_cast<char16_t>(code));
    } else {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 | (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 | (code & 0x3FF)));
    }
    pos += extra + 1;
    return true;
}

struct Unescaped {
    std::u16string text;
    std::size_t end = 0; // position after the closing delimiter
};

// Reads an escaped string from `pos` up to the unescaped `delimiter` (Wine's parse_strW): C escapes,
// 1-3 octal digits, \x with 1-4 hex digits, any other escaped character stands for itself, raw
// UTF-8 is decoded. nullopt when the delimiter is missing or the text is not valid UTF-8.
std::optional<Unescaped> unescape(std::string_view line, std::size_t pos, char delimiter)
{
    Unescaped result;
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == delimiter) {
            result.end = pos + 1;
            return result;
        }
        if (c == '\0')
            return std::nullopt;
        if (static_cast<unsigned char>(c) >= 0x80) {
            if (!decodeUtf8(line, pos, result.text))
                return std::nullopt;
            continue;
        }
        if (c != '\\') {
            result.text.push_back(static_cast<char16_t>(c));
            ++pos;
            continue;
        }
        if (++pos >= line.size())
            return std::nullopt;
        const char e = line[pos];
        static constexpr std::string_view kLetters = "abtnvfre";
        static constexpr std::array<char16_t, 8> kCodes = {7, 8, 9, 10, 11, 12, 13, 27};
        if (const auto letter = kLetters.find(e); letter != std::string_view::npos) {
            result.text.push_back(kCodes[letter]);
            ++pos;
        } else if (e == 'x') {
            ++pos;
            unsigned value = 0;
            std::size_t digits = 0;
            while (digits < 4 && pos < line.size() && hexDigit(line[pos]) >= 0) {
                value = value * 16 + static_cast<unsigned>(hexDigit(line[pos++]));
                ++digits;
            }
            result.text.push_back(digits == 0 ? u'x' : static_cast<char16_t>(value));
        } else if (isOctal(e)) {
            unsigned value = 0;
            std::size_t digits = 0;
            while (digits < 3 && pos < line.size() && isOctal(line[pos])) {
                value = value * 8 + static_cast<unsigned>(line[pos++] - '0');
                ++digits;
            }
            result.text.push_back(static_cast<char16_t>(value));
        } else if (static_cast<unsigned char>(e) >= 0x80) {
            if (!decodeUtf8(line, pos, result.text))
                return std::nullopt;
        } else {
            result.text.push_back(static_cast<char16_t>(e));
            ++pos;
        }
    }
    return std::nullopt;
}

std::string hexText(unsigned value, int minDigits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*x", minDigits, value);
    return buffer;
}

// ---------------------------------------------------------------------------------------------
// Document structures

enum class LineKind : std::uint8_t { Trivia, Time, Class, Link, Option, Value, Invalid };

struct Key;

struct BodyLine {
    LineKind kind = LineKind::Trivia;
    std::uint32_t begin = 0; // offset in the section's text
    std::uint32_t size = 0;  // with its line end(s)
    std::uint32_t valueId = 0;
};

// One "[key]" block of the file as read, or a block for a key we created (empty text). Blocks
// without a key hold lines under a malformed key line; they are written back as they were.
struct Section {
    Key* key = nullptr;
    std::string text;
    std::uint32_t headerSize = 0;
    std::vector<BodyLine> lines;
};

// Where a value was read from; `section` is cleared when the value changes.
struct ValueOrigin {
    std::uint32_t id = 0; // 0: not from the file
    const Section* section = nullptr;
    std::uint32_t begin = 0;
    std::uint32_t size = 0;
};

struct Node;

struct Key {
    Node* node = nullptr;
    Section* primary = nullptr; // the first section: a rewrite puts new values there
    std::optional<std::u16string> keyClass;
    bool link = false;
    std::uint64_t writeTime = 0;
    bool timeFromOption = false;
    std::vector<WineRegistryValue> values;
    std::vector<ValueOrigin> origins; // parallel to values
    std::uint32_t nextValueId = 1;
    bool modified = false;

    std::optional<std::size_t> valueIndex(std::u16string_view name) const
    {
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (registryNamesEqual(values[i].name, name))
                return i;
        }
        return std::nullopt;
    }
};

// Invariant: every node but the root has a key or children, so a node in the tree is a key that
// exists.
struct Node {
    std::u16string name;
    Node* parent = nullptr;
    std::unique_ptr<Key> key;
    std::vector<std::unique_ptr<Node>> children;
    std::unordered_map<std::u16string, Node*> childIndex; // by folded name

    Node* child(std::u16string_view childName) const
    {
        const auto found = childIndex.find(folded(childName));
        return found == childIndex.end() ? nullptr : found->second;
    }
};

std::string escapedPath(const Node* node)
{
    std::vector<const Node*> chain;
    for (; node && node->parent; node = node->parent)
        chain.push_back(node);
    std::string out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!out.empty())
            out += "\\\\";
        out += escapeRegistryText((*it)->name, "[]");
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Writing values in Wine's style (dump_value)

bool isTerminatedString(const WineRegistryValue& value)
{
    if (value.type != kRegSz && value.type != kRegExpandSz && value.type != kRegMultiSz)
        return false;
    const std::size_t size = value.data.size();
    return size >= 2 && size % 2 == 0 && value.data[size - 1] == 0 && value.data[size - 2] == 0;
}

void writeValue(std::string& out, const WineRegistryValue& value, std::string_view eol)
{
    const std::size_t lineStart = out.size();
    if (value.name.empty()) {
        out += "@=";
    } else {
        out += '"';
        out += escapeRegistryText(value.name, "\"");
        out += "\"=";
    }
    if (isTerminatedString(value)) {
        if (value.type != kRegSz)
            out += "str(" + hexText(value.type, 1) + "):";
        std::u16string text = utf16Units(value.data);
        text.pop_back(); // the terminator is implied
        out += '"';
        out += escapeRegistryText(text, "\"");
        out += '"';
        out += eol;
        return;
    }
    if (value.type == kRegDword && value.data.size() == 4) {
        out += "dword:" + hexText(*ByteReader(value.data).u32le(0), 8);
        out += eol;
        return;
    }
    out += value.type == kRegBinary ? std::string("hex:") : "hex(" + hexText(value.type, 1) + "):";
    std::size_t column = out.size() - lineStart;
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        out += hexText(value.data[i], 2);
        column += 2;
        if (i + 1 < value.data.size()) {
            out += ',';
            if (++column > kHexWrapColumn) {
                out += '\\';
                out += eol;
                out += "  ";
                column = 2;
            }
        }
    }
    out += eol;
}

void writeTimeOption(std::string& out, std::uint64_t fileTime, std::string_view eol)
{
    out += "#time=" + hexText(static_cast<unsigned>(fileTime >> 32), 1)
        + hexText(static_cast<unsigned>(fileTime & 0xFFFFFFFFu), 8);
    out += eol;
}

std::uint32_t unixSeconds(std::uint64_t fileTime)
{
    if (fileTime < kFileTimeUnixEpoch)
        return 0;
    return static_cast<std::uint32_t>((fileTime - kFileTimeUnixEpoch) / kFileTimeTicksPerSecond);
}

bool endsWithBlankLine(std::string_view out)
{
    if (!out.ends_with('\n'))
        return false;
    out.remove_suffix(1);
    if (out.ends_with('\r'))
        out.remove_suffix(1);
    return out.ends_with('\n');
}

void ensureLineEnd(std::string& out, std::string_view eol)
{
    if (!out.empty() && out.back() != '\n')
        out += eol;
}

} // namespace

// ---------------------------------------------------------------------------------------------

struct WineRegistryDocument::Impl {
    std::string preamble; // the version line and everything before the first key, as read
    std::string eol = "\n";
    Node root;
    std::vector<std::unique_ptr<Section>> sections; // file order
    std::size_t nodesCreated = 0;                    // for the reader's cap

    Node* findNode(std::u16string_view path)
    {
        Node* node = &root;
        for (const auto part : splitPath(path)) {
            node = node->child(part);
            if (!node)
                return nullptr;
        }
        return node;
    }
    const Node* findNode(std::u16string_view path) const { return const_cast<Impl*>(this)->findNode(path); }

    Node* ensureNode(std::u16string_view path)
    {
        Node* node = &root;
        for (const auto part : splitPath(path)) {
            Node* next = node->child(part);
            if (!next) {
                auto created = std::make_unique<Node>();
                created->name = std::u16string(part);
                created->parent = node;
                next = created.get();
                node->childIndex.emplace(folded(part), next);
                node->children.push_back(std::move(created));
                ++nodesCreated;
            }
            node = next;
        }
        return node;
    }

    // Gives `node` a key with a section of its own, placed at the end of the file.
    Key* attachKey(Node* node)
    {
        node->key = std::make_unique<Key>();
        Key* key = node->key.get();
        key->node = node;
        auto section = std::make_unique<Section>();
        section->key = key;
        key->primary = section.get();
        sections.push_back(std::move(section));
        return key;
    }

    void dropSectionsOf(const std::unordered_set<const Key*>& keys)
    {
        std::erase_if(sections, [&](const std::unique_ptr<Section>& section) {
            return section->key && keys.contains(section->key);
        });
    }

    void collectKeys(const Node* node, std::unordered_set<const Key*>& keys) const
    {
        if (node->key)
            keys.insert(node->key.get());
        for (const auto& child : node->children)
            collectKeys(child.get(), keys);
    }

    void detach(Node* node)
    {
        Node* parent = node->parent;
        parent->childIndex.erase(folded(node->name));
        std::erase_if(parent->children, [&](const std::unique_ptr<Node>& child) { return child.get() == node; });
    }

    // A key we created that holds nothing is implied by its new subkey (Wine does not save it).
    static bool isDisposable(const Key& key)
    {
        return key.primary && key.primary->text.empty() && key.values.empty() && !key.keyClass && !key.link;
    }

    std::string serialize() const;
    void writeModifiedSection(std::string& out, const Section& section,
                              std::unordered_map<const Key*, std::vector<bool>>& written) const;
};

WineRegistryDocument::WineRegistryDocument() : impl_(std::make_unique<Impl>()) {}
WineRegistryDocument::~WineRegistryDocument() = default;
WineRegistryDocument::WineRegistryDocument(WineRegistryDocument&&) noexcept = default;
WineRegistryDocument& WineRegistryDocument::operator=(WineRegistryDocument&&) noexcept = default;

WineRegistryDocument WineRegistryDocument::createNew(std::string_view relativeTo, std::string_view arch)
{
    WineRegistryDocument document;
    std::string& preamble = document.impl_->preamble;
    preamble = std::string(kVersionLine) + "\n;; All keys relative to ";
    preamble += relativeTo;
    preamble += "\n\n#arch=";
    preamble += arch;
    preamble += '\n';
    return document;
}

bool WineRegistryDocument::hasHeader() const { return !impl_->preamble.empty(); }

ByteVector WineRegistryDocument::serialize() const
{
    const std::string text = impl_->serialize();
    return ByteVector(text.begin(), text.end());
}

std::string WineRegistryDocument::Impl::serialize() const
{
    std::string out = preamble;
    if (out.empty() && !sections.empty()) {
        out = kVersionLine;
        out += eol;
    }
    std::size_t total = out.size();
    for (const auto& section : sections)
        total += section->text.size();
    out.reserve(total + total / 16);

    std::unordered_map<const Key*, std::vector<bool>> written;
    for (const auto& section : sections) {
        if (!section->key || !section->key->modified)
            out += section->text;
        else
            writeModifiedSection(out, *section, written);
    }
    return out;
}

// A changed key's section: the first section gets a new header and #time line and the new values;
// every section keeps its other lines and unchanged values as read, and writes changed values anew.
void WineRegistryDocument::Impl::writeModifiedSection(std::string& out, const Section& section,
                                                      std::unordered_map<const Key*, std::vector<bool>>& written) const
{
    const Key& key = *section.key;
    const bool primary = key.primary == &section;
    std::vector<bool>& done = written[&key];
    done.resize(key.nextValueId, false);
    std::vector<std::size_t> indexOfId(key.nextValueId, key.values.size());
    for (std::size_t i = 0; i < key.origins.size(); ++i) {
        if (key.origins[i].id != 0)
            indexOfId[key.origins[i].id] = i;
    }

    auto writeOne = [&](std::size_t index) {
        const ValueOrigin& origin = key.origins[index];
        ensureLineEnd(out, eol);
        if (origin.section)
            out.append(origin.section->text, origin.begin, origin.size);
        else
            writeValue(out, key.values[index], eol);
    };
    auto writeNewValues = [&] {
        for (std::size_t i = 0; i < key.values.size(); ++i) {
            if (key.origins[i].id == 0)
                writeOne(i);
        }
    };

    const bool hasTimeLine = std::any_of(section.lines.begin(), section.lines.end(),
                                         [](const BodyLine& line) { return line.kind == LineKind::Time; });
    std::size_t insertAt = 0;
    for (std::size_t i = 0; i < section.lines.size(); ++i) {
        if (section.lines[i].kind != LineKind::Trivia && section.lines[i].kind != LineKind::Invalid)
            insertAt = i + 1;
    }

    if (primary) {
        ensureLineEnd(out, eol);
        if (section.text.empty() && !endsWithBlankLine(out))
            out += eol; // Wine puts a blank line before every key
        out += '[' + escapedPath(key.node) + "] " + std::to_string(unixSeconds(key.writeTime));
        out += eol;
        if (!hasTimeLine)
            writeTimeOption(out, key.writeTime, eol);
    } else {
        out.append(section.text, 0, section.headerSize);
    }

    for (std::size_t i = 0; i < section.lines.size(); ++i) {
        if (primary && i == insertAt)
            writeNewValues();
        const BodyLine& line = section.lines[i];
        if (line.kind == LineKind::Value) {
            const std::size_t index = indexOfId[line.valueId];
            if (index < key.values.size() && !done[line.valueId]) {
                done[line.valueId] = true;
                writeOne(index);
            }
        } else if (line.kind == LineKind::Time && primary) {
            ensureLineEnd(out, eol);
            writeTimeOption(out, key.writeTime, eol);
        } else {
            out.append(section.text, line.begin, line.size);
        }
    }
    if (primary && insertAt == section.lines.size())
        writeNewValues();
}

bool WineRegistryDocument::keyExists(std::u16string_view path) const { return impl_->findNode(path) != nullptr; }

std::size_t WineRegistryDocument::subkeyCount(std::u16string_view path) const
{
    const Node* node = impl_->findNode(path);
    return node ? node->children.size() : 0;
}

const std::u16string* WineRegistryDocument::subkeyName(std::u16string_view path, std::size_t index) const
{
    const Node* node = impl_->findNode(path);
    if (!node || index >= node->children.size())
        return nullptr;
    return &node->children[index]->name;
}

std::span<const WineRegistryValue> WineRegistryDocument::values(std::u16string_view path) const
{
    const Node* node = impl_->findNode(path);
    if (!node || !node->key)
        return {};
    return node->key->values;
}

const WineRegistryValue* WineRegistryDocument::findValue(std::u16string_view path, std::u16string_view name) const
{
    const Node* node = impl_->findNode(path);
    if (!node || !node->key)
        return nullptr;
    const auto index = node->key->valueIndex(name);
    return index ? &node->key->values[*index] : nullptr;
}

std::optional<std::u16string> WineRegistryDocument::keyClass(std::u16string_view path) const
{
    const Node* node = impl_->findNode(path);
    return node && node->key ? node->key->keyClass : std::nullopt;
}

bool WineRegistryDocument::isLink(std::u16string_view path) const
{
    const Node* node = impl_->findNode(path);
    return node && node->key && node->key->link;
}

std::optional<std::uint64_t> WineRegistryDocument::lastWriteTime(std::u16string_view path) const
{
    const Node* node = impl_->findNode(path);
    if (!node || !node->key)
        return std::nullopt;
    return node->key->writeTime;
}

std::u16string WineRegistryDocument::storedPath(std::u16string_view path) const
{
    std::u16string out;
    const Node* node = &impl_->root;
    for (const auto part : splitPath(path)) {
        node = node ? node->child(part) : nullptr;
        if (!out.empty())
            out += u'\\';
        out += node ? std::u16string_view(node->name) : part;
    }
    return out;
}

std::vector<std::u16string_view> WineRegistryDocument::splitKeyPath(std::u16string_view path)
{
    return splitPath(path);
}

bool WineRegistryDocument::isValidKeyPath(std::u16string_view path)
{
    const auto parts = splitPath(path);
    return parts.size() <= kMaxKeyDepth
        && std::all_of(parts.begin(), parts.end(), [](auto part) { return part.size() <= kMaxKeyNameUnits; });
}

bool WineRegistryDocument::createKey(std::u16string_view path, std::uint64_t now)
{
    if (!isValidKeyPath(path) || impl_->findNode(path))
        return false;
    Node* node = impl_->ensureNode(path);
    Key* key = impl_->attachKey(node);
    key->modified = true;
    key->writeTime = now;
    Node* parent = node->parent;
    if (parent != &impl_->root && parent->key && Impl::isDisposable(*parent->key)) {
        impl_->dropSectionsOf({parent->key.get()});
        parent->key.reset();
    }
    return true;
}

bool WineRegistryDocument::removeTree(std::u16string_view path, std::uint64_t now)
{
    Node* node = impl_->findNode(path);
    if (!node || node == &impl_->root)
        return false;
    std::unordered_set<const Key*> keys;
    impl_->collectKeys(node, keys);
    impl_->dropSectionsOf(keys);
    Node* parent = node->parent;
    impl_->detach(node);
    // The parent was implied by what was just removed; it keeps existing with a line of its own.
    if (parent != &impl_->root && !parent->key && parent->children.empty()) {
        Key* key = impl_->attachKey(parent);
        key->modified = true;
        key->writeTime = now;
    }
    return true;
}

bool WineRegistryDocument::setValue(std::u16string_view path, WineRegistryValue value, std::uint64_t now)
{
    if (!isValidKeyPath(path) || value.name.size() > kMaxValueNameUnits)
        return false;
    if (!impl_->findNode(path))
        createKey(path, now);
    Node* node = impl_->findNode(path);
    if (!node->key)
        impl_->attachKey(node);
    Key& key = *node->key;
    if (const auto index = key.valueIndex(value.name)) {
        WineRegistryValue& stored = key.values[*index];
        if (stored.type == value.type && stored.data == value.data)
            return false;
        stored.type = value.type;
        stored.data = std::move(value.data);
        key.origins[*index].section = nullptr;
    } else {
        key.values.push_back(std::move(value));
        key.origins.emplace_back();
    }
    key.modified = true;
    key.writeTime = now;
    return true;
}

bool WineRegistryDocument::removeValue(std::u16string_view path, std::u16string_view name, std::uint64_t now)
{
    Node* node = impl_->findNode(path);
    if (!node || !node->key)
        return false;
    Key& key = *node->key;
    const auto index = key.valueIndex(name);
    if (!index)
        return false;
    key.values.erase(key.values.begin() + static_cast<std::ptrdiff_t>(*index));
    key.origins.erase(key.origins.begin() + static_cast<std::ptrdiff_t>(*index));
    key.modified = true;
    key.writeTime = now;
    if (Impl::isDisposable(key) && !node->children.empty()) {
        impl_->dropSectionsOf({&key});
        node->key.reset();
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Reading

namespace {

struct Line {
    std::string_view text;    // with its line end
    std::string_view content; // without "\n" / "\r\n"
    std::size_t number = 0;
};

class LineCursor {
public:
    explicit LineCursor(std::string_view input) : input_(input) {}

    std::optional<Line> next()
    {
        if (pos_ >= input_.size())
            return std::nullopt;
        const std::size_t start = pos_;
        std::size_t end = input_.find('\n', start);
        Line line;
        if (end == std::string_view::npos) {
            pos_ = input_.size();
            line.text = input_.substr(start);
            line.content = line.text;
        } else {
            pos_ = end + 1;
            line.text = input_.substr(start, pos_ - start);
            line.content = input_.substr(start, end - start);
            if (!line.content.empty() && line.content.back() == '\r')
                line.content.remove_suffix(1);
        }
        line.number = ++number_;
        return line;
    }

    std::string_view rest() const { return input_.substr(pos_); }

private:
    std::string_view input_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
};

struct ParsedValue {
    WineRegistryValue value;
    std::string_view text; // all the lines it spans
};

struct DataTag {
    std::string_view tag;
    std::uint32_t type;
    enum class Form { String, Dword, Hex, HexTyped } form;
};

constexpr std::array<DataTag, 7> kDataTags = {{
    {"\"", kRegSz, DataTag::Form::String},
    {"str:\"", kRegSz, DataTag::Form::String},
    {"str(2):\"", kRegExpandSz, DataTag::Form::String},
    {"str(7):\"", kRegMultiSz, DataTag::Form::String},
    {"hex:", kRegBinary, DataTag::Form::Hex},
    {"dword:", kRegDword, DataTag::Form::Dword},
    {"hex(", 0, DataTag::Form::HexTyped},
}};

// Comma-separated hex bytes, continued onto the next line by a trailing backslash.
bool parseHexData(std::string_view content, std::size_t pos, LineCursor& cursor, ParsedValue& parsed)
{
    for (;;) {
        while (pos < content.size() && hexDigit(content[pos]) >= 0) {
            unsigned byte = 0;
            std::size_t digits = 0;
            while (pos < content.size() && hexDigit(content[pos]) >= 0) {
                if (++digits > 2)
                    return false;
                byte = byte * 16 + static_cast<unsigned>(hexDigit(content[pos++]));
            }
            parsed.value.data.push_back(static_cast<std::uint8_t>(byte));
            pos = skipSpaces(content, pos);
            if (pos < content.size() && content[pos] == ',')
                pos = skipSpaces(content, pos + 1);
        }
        if (pos == content.size())
            return true;
        if (content[pos] != '\\' || !onlySpacesFrom(content, pos + 1))
            return false;
        const auto more = cursor.next();
        if (!more)
            return false;
        content = more->content;
        pos = skipSpaces(content, 0);
        // The value's text runs to the end of the continuation line.
        parsed.text = std::string_view(parsed.text.data(),
                                       static_cast<std::size_t>(more->text.data() + more->text.size() - parsed.text.data()));
    }
}

// A value line at its first non-blank character: `"Name"=data` or `@=data`. `parsed.text` is set to
// the lines read even when the value does not parse.
bool parseValue(const Line& line, std::size_t pos, LineCursor& cursor, ParsedValue& parsed)
{
    const std::string_view content = line.content;
    parsed.text = line.text;
    if (content[pos] == '@') {
        ++pos;
    } else {
        auto name = unescape(content, pos + 1, '"');
        if (!name || name->text.size() > kMaxValueNameUnits)
            return false;
        parsed.value.name = std::move(name->text);
        pos = name->end;
    }
    pos = skipSpaces(content, pos);
    if (pos >= content.size() || content[pos] != '=')
        return false;
    pos = skipSpaces(content, pos + 1);

    const std::string_view rest = content.substr(pos);
    const auto tag = std::find_if(kDataTags.begin(), kDataTags.end(),
                                  [&](const DataTag& candidate) { return rest.starts_with(candidate.tag); });
    if (tag == kDataTags.end())
        return false;
    pos += tag->tag.size();
    parsed.value.type = tag->type;

    switch (tag->form) {
    case DataTag::Form::String: {
        auto text = unescape(content, pos, '"');
        if (!text || !onlySpacesFrom(content, text->end))
            return false;
        text->text.push_back(u'\0');
        parsed.value.data = utf16Bytes(text->text);
        return true;
    }
    case DataTag::Form::Dword: {
        std::uint32_t value = 0;
        std::size_t digits = 0;
        while (pos < content.size() && hexDigit(content[pos]) >= 0) {
            if (++digits > 8)
                return false;
            value = value * 16 + static_cast<std::uint32_t>(hexDigit(content[pos++]));
        }
        if (digits == 0 || !onlySpacesFrom(content, pos))
            return false;
        putU32le(parsed.value.data, value);
        return true;
    }
    case DataTag::Form::HexTyped: {
        std::uint32_t type = 0;
        std::size_t digits = 0;
        while (pos < content.size() && hexDigit(content[pos]) >= 0) {
            if (++digits > 8)
                return false;
            type = type * 16 + static_cast<std::uint32_t>(hexDigit(content[pos++]));
        }
        if (digits == 0 || content.substr(pos, 2) != "):")
            return false;
        parsed.value.type = type;
        if (!parseHexData(content, pos + 2, cursor, parsed))
            return false;
        return true;
    }
    case DataTag::Form::Hex:
        if (!parseHexData(content, pos, cursor, parsed))
            return false;
        return true;
    }
    return false;
}

struct ParsedKeyLine {
    std::u16string path;
    std::optional<std::uint32_t> seconds;
};

// "[path] seconds" from its '['.
std::optional<ParsedKeyLine> parseKeyLine(std::string_view content, std::size_t pos)
{
    auto name = unescape(content, pos + 1, ']');
    if (!name || !WineRegistryDocument::isValidKeyPath(name->text))
        return std::nullopt;
    ParsedKeyLine parsed;
    parsed.path = std::move(name->text);
    pos = skipSpaces(content, name->end);
    if (pos < content.size() && content[pos] >= '0' && content[pos] <= '9') {
        std::uint64_t seconds = 0;
        while (pos < content.size() && content[pos] >= '0' && content[pos] <= '9') {
            seconds = seconds * 10 + static_cast<std::uint64_t>(content[pos++] - '0');
            if (seconds > 0xFFFFFFFFu)
                return std::nullopt;
        }
        parsed.seconds = static_cast<std::uint32_t>(seconds);
    }
    if (!onlySpacesFrom(content, pos))
        return std::nullopt;
    return parsed;
}

std::optional<std::uint64_t> parseTimeOption(std::string_view option)
{
    std::uint64_t value = 0;
    std::size_t digits = 0;
    std::size_t pos = 0;
    while (pos < option.size() && hexDigit(option[pos]) >= 0) {
        if (++digits > 16)
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint64_t>(hexDigit(option[pos++]));
    }
    if (digits == 0 || !onlySpacesFrom(option, pos))
        return std::nullopt;
    return value;
}

} // namespace

// Builds a document line by line; friends with the document to fill its sections.
struct WineRegistryParser {
    WineRegistryParse result;
    WineRegistryDocument::Impl& doc;
    const WineRegistryLimits& limits;
    Section* section = nullptr; // the block lines currently go to; null: the preamble
    std::size_t valueCount = 0;

    explicit WineRegistryParser(const WineRegistryLimits& readLimits)
        : doc(*result.document.impl_), limits(readLimits)
    {
    }

    void problem(WineRegistryProblemKind kind, std::size_t line)
    {
        result.complete = false;
        if (result.problems.size() < kMaxReportedProblems)
            result.problems.push_back({kind, line});
    }

    void append(std::string_view text, LineKind kind, std::uint32_t valueId = 0)
    {
        if (!section) {
            doc.preamble += text;
            return;
        }
        BodyLine line;
        line.kind = kind;
        line.begin = static_cast<std::uint32_t>(section->text.size());
        line.size = static_cast<std::uint32_t>(text.size());
        line.valueId = valueId;
        section->text += text;
        section->lines.push_back(line);
    }

    // False when the key caps are reached.
    bool startSection(const Line& line, std::size_t pos)
    {
        const auto parsed = parseKeyLine(line.content, pos);
        auto created = std::make_unique<Section>();
        section = created.get();
        section->text = std::string(line.text);
        section->headerSize = static_cast<std::uint32_t>(line.text.size());
        doc.sections.push_back(std::move(created));
        if (!parsed) {
            problem(WineRegistryProblemKind::MalformedKey, line.number);
            return true;
        }
        Node* node = doc.ensureNode(parsed->path);
        if (!node->key) {
            node->key = std::make_unique<Key>();
            node->key->node = node;
            node->key->primary = section;
        }
        Key* key = node->key.get();
        section->key = key;
        if (parsed->seconds && !key->timeFromOption)
            key->writeTime = kFileTimeUnixEpoch + *parsed->seconds * kFileTimeTicksPerSecond;
        if (doc.nodesCreated + doc.sections.size() > limits.maxKeys) {
            problem(WineRegistryProblemKind::TooLarge, line.number);
            return false;
        }
        return true;
    }

    // False when the value cap is reached.
    bool addValue(const ParsedValue& parsed, std::size_t lineNumber)
    {
        if (++valueCount > limits.maxValues) {
            problem(WineRegistryProblemKind::TooLarge, lineNumber);
            return false;
        }
        Key& key = *section->key;
        const auto begin = static_cast<std::uint32_t>(section->text.size());
        std::uint32_t id = 0;
        if (const auto index = key.valueIndex(parsed.value.name)) {
            key.values[*index].type = parsed.value.type;
            key.values[*index].data = parsed.value.data;
            id = key.origins[*index].id;
            key.origins[*index] = {id, section, begin, static_cast<std::uint32_t>(parsed.text.size())};
        } else {
            id = key.nextValueId++;
            key.values.push_back(parsed.value);
            key.origins.push_back({id, section, begin, static_cast<std::uint32_t>(parsed.text.size())});
        }
        append(parsed.text, LineKind::Value, id);
        return true;
    }

    void keyOption(const Line& line, std::string_view option)
    {
        Key& key = *section->key;
        if (option.starts_with("#time=")) {
            const auto time = parseTimeOption(option.substr(6));
            if (!time) {
                problem(WineRegistryProblemKind::MalformedOption, line.number);
                append(line.text, LineKind::Invalid);
                return;
            }
            key.writeTime = *time;
            key.timeFromOption = true;
            append(line.text, LineKind::Time);
        } else if (option.starts_with("#class=")) {
            auto text = option.size() > 7 && option[7] == '"' ? unescape(option, 8, '"') : std::nullopt;
            if (!text || !onlySpacesFrom(option, text->end)) {
                problem(WineRegistryProblemKind::MalformedOption, line.number);
                append(line.text, LineKind::Invalid);
                return;
            }
            key.keyClass = std::move(text->text);
            append(line.text, LineKind::Class);
        } else if (option.starts_with("#link")) {
            key.link = true;
            append(line.text, LineKind::Link);
        } else {
            append(line.text, LineKind::Option); // Wine ignores options it does not know
        }
    }

    // False when reading has to stop here (an architecture Wine refuses).
    bool globalOption(const Line& line, std::string_view option)
    {
        if (option.starts_with("#arch=")) {
            const std::string_view arch = option.substr(6);
            if (arch != "win32" && arch != "win64") {
                problem(WineRegistryProblemKind::UnknownArchitecture, line.number);
                return false;
            }
        }
        append(line.text, LineKind::Trivia);
        return true;
    }

    void parse(std::string_view input)
    {
        LineCursor cursor(input);
        const auto first = cursor.next();
        if (first->content != kVersionLine) {
            problem(WineRegistryProblemKind::NotARegistryFile, 1);
            doc.preamble = std::string(input);
            return;
        }
        if (first->text.ends_with("\r\n"))
            doc.eol = "\r\n";
        doc.preamble = std::string(first->text);

        while (auto line = cursor.next()) {
            const std::string_view content = line->content;
            const std::size_t pos = skipSpaces(content, 0);
            const char lead = pos < content.size() ? content[pos] : '\0';
            switch (lead) {
            case '[':
                if (!startSection(*line, pos)) {
                    append(cursor.rest(), LineKind::Invalid);
                    return;
                }
                break;
            case '@':
            case '"':
                if (!section || !section->key) {
                    problem(WineRegistryProblemKind::ValueWithoutKey, line->number);
                    append(line->text, LineKind::Invalid);
                } else if (ParsedValue parsed; parseValue(*line, pos, cursor, parsed)) {
                    if (!addValue(parsed, line->number)) {
                        append(std::string(parsed.text) + std::string(cursor.rest()), LineKind::Invalid);
                        return;
                    }
                } else {
                    problem(WineRegistryProblemKind::MalformedValue, line->number);
                    append(parsed.text, LineKind::Invalid);
                }
                break;
            case '#':
                if (section && section->key) {
                    keyOption(*line, content.substr(pos));
                } else if (section) {
                    append(line->text, LineKind::Invalid);
                } else if (!globalOption(*line, content.substr(pos))) {
                    doc.preamble += line->text;
                    doc.preamble += cursor.rest();
                    return;
                }
                break;
            case ';':
            case '\0':
                if (content.find('\0') != std::string_view::npos) {
                    problem(WineRegistryProblemKind::UnrecognizedLine, line->number);
                    append(line->text, LineKind::Invalid);
                } else {
                    append(line->text, LineKind::Trivia);
                }
                break;
            default:
                problem(WineRegistryProblemKind::UnrecognizedLine, line->number);
                append(line->text, LineKind::Invalid);
                break;
            }
        }
    }
};

WineRegistryParse parseWineRegistry(Bytes bytes, const WineRegistryLimits& limits)
{
    WineRegistryParser parser(limits);
    if (bytes.size() > limits.maxBytes) {
        parser.problem(WineRegistryProblemKind::TooLarge, 0);
        return std::move(parser.result);
    }
    if (!bytes.empty())
        parser.parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return std::move(parser.result);
}

std::string describe(const WineRegistryProblem& problem)
{
    static constexpr std::array<std::string_view, 8> kTexts = {
        "file too large",
        "not a Wine registry file",
        "unknown architecture",
        "malformed key",
        "malformed value",
        "malformed key option",
        "value without key",
        "unrecognized line",
    };
    const auto index = static_cast<std::size_t>(problem.kind);
    std::string text = "line " + std::to_string(problem.line) + ": ";
    text += index < kTexts.size() ? kTexts[index] : std::string_view("problem");
    return text;
}

std::string escapeRegistryText(std::u16string_view text, std::string_view quotes)
{
    // Control characters with a letter escape (7..13 and 27); '.' marks those written in octal.
    static constexpr std::string_view kControlLetters = ".......abtnvfr.............e....";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool hasNext = i + 1 < text.size();
        const char16_t next = hasNext ? text[i + 1] : u'\0';
        if (unit > 127) {
            const bool nextIsHex = hasNext && next < 128 && hexDigit(static_cast<char>(next)) >= 0;
            out += "\\x" + hexText(unit, nextIsHex ? 4 : 1);
        } else if (unit < 32) {
            out += '\\';
            if (kControlLetters[unit] != '.') {
                out += kControlLetters[unit];
            } else {
                char buffer[8];
                const bool nextIsOctal = hasNext && next >= u'0' && next <= u'7';
                std::snprintf(buffer, sizeof buffer, nextIsOctal ? "%03o" : "%o", static_cast<unsigned>(unit));
                out += buffer;
            }
        } else {
            const char c = static_cast<char>(unit);
            if (c == '\\' || quotes.find(c) != std::string_view::npos)
                out += '\\';
            out += c;
        }
    }
    return out;
}

bool registryNamesEqual(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && foldUnit(a[i]) != foldUnit(b[i]))
            return false;
    }
    return true;
}

} // namespace glyphary::formats
