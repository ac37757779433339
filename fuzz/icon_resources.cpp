// PE and NE executables: headers, resource trees and tables, icon and cursor groups turned into
// .ico/.cur files, and those files read back. This is the main target of the PE, NE and resource
// directory readers; executable.cpp adds their lower-level calls.
#include "formats/IcoCodec.h"
#include "formats/IconResources.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace glyphary::formats;
    const auto resources = parseIconResources(Bytes(data, size));
    if (!resources)
        return 0;
    for (const GroupKind kind : {GroupKind::Icon, GroupKind::Cursor}) {
        const auto& groups = resources->groups(kind);
        for (std::size_t i = 0; i < groups.size(); ++i) {
            (void)resources->findGroup(kind, groups[i].name);
            const auto file = resources->groupFile(kind, i);
            if (file)
                (void)parseIco(file.value());
        }
    }
    return 0;
}
