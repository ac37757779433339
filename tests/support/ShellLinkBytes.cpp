#include "support/ShellLinkBytes.h"

#include <algorithm>

namespace glyphary::testing {
namespace {

using formats::putBytes;
using formats::putText;
using formats::putU16le;
using formats::putU32le;
using formats::putU8;
using formats::setU32le;

void putString(ByteVector& out, const LinkParts& parts, std::u16string text)
{
    if (parts.nulInCounts)
        text.push_back(u'\0');
    putU16le(out, static_cast<std::uint16_t>(text.size()));
    for (const char16_t unit : text) {
        if (parts.unicode)
            putU16le(out, unit);
        else
            putU8(out, static_cast<std::uint8_t>(unit));
    }
}

} // namespace

ByteVector linkBytes(const LinkParts& parts)
{
    std::uint32_t flags = parts.moreFlags;
    const auto set = [&flags](bool present, std::uint32_t bit) {
        if (present)
            flags |= bit;
    };
    set(parts.idList.has_value(), 0x1);
    set(parts.linkInfo.has_value(), 0x2);
    set(parts.name.has_value(), 0x4);
    set(parts.relativePath.has_value(), 0x8);
    set(parts.workingDir.has_value(), 0x10);
    set(parts.arguments.has_value(), 0x20);
    set(parts.iconLocation.has_value(), 0x40);
    set(parts.unicode, 0x80);

    ByteVector out(0x4C, 0);
    setU32le(out, 0, 0x4C);
    const std::uint8_t clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    std::copy(std::begin(clsid), std::end(clsid), out.begin() + 4);
    setU32le(out, 0x14, flags);
    setU32le(out, 0x18, 0x20);
    setU32le(out, 0x38, static_cast<std::uint32_t>(parts.iconIndex));
    setU32le(out, 0x3C, static_cast<std::uint32_t>(parts.showCommand));
    if (parts.idList) {
        putU16le(out, static_cast<std::uint16_t>(parts.idList->size() + 2));
        putBytes(out, *parts.idList);
        putU16le(out, 0);
    }
    if (parts.linkInfo)
        putBytes(out, *parts.linkInfo);
    for (const auto* text : {&parts.name, &parts.relativePath, &parts.workingDir, &parts.arguments, &parts.iconLocation})
        if (*text)
            putString(out, parts, **text);
    for (const ByteVector& block : parts.extraBlocks)
        putBytes(out, block);
    if (parts.terminalBlock)
        putU32le(out, 0);
    return out;
}

ByteVector idListItems(std::string_view path)
{
    ByteVector out = {0x14, 0x00, 0x1F, 0x50, 0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10, 0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
    ByteVector drive(25, 0);
    drive[0] = 25;
    drive[2] = 0x2F;
    std::copy(path.begin(), path.begin() + 3, drive.begin() + 3);
    putBytes(out, drive);
    std::string_view rest = path.substr(3);
    while (!rest.empty()) {
        const auto slash = rest.find('\\');
        const std::string_view name = rest.substr(0, slash);
        ByteVector item(14, 0);
        item[2] = slash == std::string_view::npos ? 0x32 : 0x31;
        putText(item, name);
        putU8(item, 0);
        if (item.size() % 2 != 0)
            putU8(item, 0);
        item[0] = static_cast<std::uint8_t>(item.size());
        putBytes(out, item);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    return out;
}

ByteVector linkInfoBytes(std::string_view ansiPath, std::string_view suffix, std::u16string_view unicodePath)
{
    const bool unicode = !unicodePath.empty();
    const std::uint32_t headerSize = unicode ? 0x24 : 0x1C;
    ByteVector out(headerSize, 0);
    setU32le(out, 4, headerSize);
    setU32le(out, 8, 1);
    setU32le(out, 12, headerSize);
    for (const std::uint32_t field : {0x11u, 3u, 0x1234ABCDu, 0x10u})
        putU32le(out, field);
    putU8(out, 0);
    setU32le(out, 16, static_cast<std::uint32_t>(out.size()));
    putText(out, ansiPath);
    putU8(out, 0);
    setU32le(out, 24, static_cast<std::uint32_t>(out.size()));
    putText(out, suffix);
    putU8(out, 0);
    if (unicode) {
        setU32le(out, 28, static_cast<std::uint32_t>(out.size()));
        for (const char16_t unit : unicodePath)
            putU16le(out, unit);
        putU16le(out, 0);
        setU32le(out, 32, static_cast<std::uint32_t>(out.size()));
        for (const char unit : suffix)
            putU16le(out, static_cast<std::uint8_t>(unit));
        putU16le(out, 0);
    }
    setU32le(out, 0, static_cast<std::uint32_t>(out.size()));
    return out;
}

ByteVector extraBlock(std::uint32_t signature, const ByteVector& data)
{
    ByteVector out;
    putU32le(out, static_cast<std::uint32_t>(8 + data.size()));
    putU32le(out, signature);
    putBytes(out, data);
    return out;
}

ByteVector pathBlock(std::uint32_t signature, std::u16string_view path)
{
    ByteVector data(260 + 520, 0);
    for (std::size_t i = 0; i < path.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(path[i]);
        data[260 + 2 * i] = static_cast<std::uint8_t>(path[i] & 0xFF);
        data[260 + 2 * i + 1] = static_cast<std::uint8_t>(path[i] >> 8);
    }
    return extraBlock(signature, data);
}

} // namespace glyphary::testing
