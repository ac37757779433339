#include "formats/ResourceTable.h"

#include <algorithm>
#include <cstdio>

namespace glyphary::formats {
namespace {

const char* textOf(ImageErrorKind kind)
{
    switch (kind) {
    case ImageErrorKind::TruncatedDosHeader: return "file is shorter than a DOS header";
    case ImageErrorKind::NotMzExecutable: return "DOS header does not start with MZ";
    case ImageErrorKind::NewHeaderOutOfRange: return "e_lfanew points past the end of the file";
    case ImageErrorKind::UnknownSignature: return "no PE or NE signature at e_lfanew";
    case ImageErrorKind::TruncatedCoffHeader: return "COFF header runs past the end of the file";
    case ImageErrorKind::TooManySections: return "NumberOfSections is above the loader limit";
    case ImageErrorKind::TruncatedOptionalHeader: return "optional header is truncated";
    case ImageErrorKind::UnknownOptionalHeaderMagic: return "optional header magic is neither PE32 nor PE32+";
    case ImageErrorKind::SectionTableOutOfRange: return "section table runs past the end of the file";
    case ImageErrorKind::RvaInNoSection: return "RVA lies in no section";
    case ImageErrorKind::RvaBeyondRawData: return "RVA lies beyond the section's raw data";
    case ImageErrorKind::RangePastEndOfFile: return "data runs past the end of the file";
    case ImageErrorKind::ResourceDirectoryTruncated: return "resource directory runs past the end of the file";
    case ImageErrorKind::ResourceLoop: return "resource directory refers back to a directory already read";
    case ImageErrorKind::ResourceTooDeep: return "resource directory nested deeper than three levels";
    case ImageErrorKind::MisplacedResourceData: return "resource data entry above the language level";
    case ImageErrorKind::ResourceNameOutOfRange: return "resource name is out of range or too long";
    case ImageErrorKind::TooManyResources: return "too many resources";
    case ImageErrorKind::TruncatedNeHeader: return "NE header runs past the end of the file";
    case ImageErrorKind::BadAlignShift: return "resource alignment shift is too large";
    case ImageErrorKind::ResourceTableTruncated: return "resource table runs past the end of the file";
    case ImageErrorKind::ResourceDataOutOfRange: return "resource data lies past the end of the file";
    case ImageErrorKind::GroupTruncated: return "icon group is shorter than its header";
    case ImageErrorKind::GroupHasNoImages: return "icon group has no readable image";
    case ImageErrorKind::GroupIndexOutOfRange: return "icon group index is out of range";
    case ImageErrorKind::OutputTooLarge: return "icon group is too large to convert";
    }
    return "unknown error";
}

char16_t foldCase(char16_t ch) { return (ch >= u'a' && ch <= u'z') ? static_cast<char16_t>(ch - u'a' + u'A') : ch; }

int compareFolded(const std::u16string& a, const std::u16string& b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const char16_t x = foldCase(a[i]);
        const char16_t y = foldCase(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

std::string describe(const ImageError& error)
{
    char where[32];
    std::snprintf(where, sizeof where, " (offset 0x%llx)", static_cast<unsigned long long>(error.offset));
    return textOf(error.kind) + std::string(where);
}

bool sameResourceName(const ResourceName& a, const ResourceName& b)
{
    if (a.isNamed != b.isNamed)
        return false;
    return a.isNamed ? compareFolded(a.text, b.text) == 0 : a.id == b.id;
}

bool resourceNameLess(const ResourceName& a, const ResourceName& b)
{
    if (a.isNamed != b.isNamed)
        return a.isNamed;
    return a.isNamed ? compareFolded(a.text, b.text) < 0 : a.id < b.id;
}

const ResourceType* ResourceTable::find(std::uint16_t typeId) const
{
    const auto found = std::find_if(types.begin(), types.end(),
        [typeId](const ResourceType& type) { return !type.type.isNamed && type.type.id == typeId; });
    return found == types.end() ? nullptr : &*found;
}

} // namespace glyphary::formats
