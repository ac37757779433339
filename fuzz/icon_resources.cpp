// PE and NE executables: headers, resource trees and tables, icon and cursor groups turned into
// .ico/.cur files, and those files read back. This is the main target of the PE, NE and resource
// directory readers; executable.cpp adds their lower-level calls.
#include "formats/IcoCodec.h"
#include "formats/IconResources.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace glyphary::formats;

// A converted group is a file other programs will read: one or more entries whose images follow the
// directory back to back and end exactly at the end of the file.
bool wellFormed(Bytes file)
{
    const ByteReader in(file);
    const std::uint16_t count = in.u16le(4).value_or(0);
    std::uint64_t offset = 6 + 16u * count;
    for (std::uint16_t entry = 0; entry < count; ++entry) {
        if (in.u32le(6 + 16u * entry + 12) != offset)
            return false;
        offset += in.u32le(6 + 16u * entry + 8).value_or(0);
    }
    return count >= 1 && offset == file.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto resources = parseIconResources(Bytes(data, size));
    if (!resources)
        return 0;
    for (const GroupKind kind : {GroupKind::Icon, GroupKind::Cursor}) {
        const auto& groups = resources->groups(kind);
        for (std::size_t i = 0; i < groups.size(); ++i) {
            (void)resources->findGroup(kind, groups[i].name);
            const auto file = resources->groupFile(kind, i);
            if (!file)
                continue;
            if (!wellFormed(file.value()))
                std::abort();
            (void)parseIco(file.value());
        }
    }
    return 0;
}
