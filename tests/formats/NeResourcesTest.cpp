#include "formats/IconResources.h"
#include "formats/NeImage.h"
#include "formats/PeImage.h"
#include "support/PeBuilder.h"

#include <gtest/gtest.h>

namespace glyphary::formats {
namespace {

using testing::dibImage;
using testing::icoFile;
using testing::ResourceBuilder;
namespace layout = testing::ne_layout;

// One valid .icl with the groups MAIN and 2; each case breaks one field.
class NeLibrary : public ::testing::Test {
protected:
    ImageResult<IconResources> readWith(std::size_t at, std::uint16_t value)
    {
        bytes = file;
        setU16le(bytes, at, value);
        return parseIconResources(bytes);
    }
    void expectSecondGroupIntact(const IconResources& resources) const
    {
        const auto second = resources.findGroup(GroupKind::Icon, ResourceName::byId(2));
        ASSERT_TRUE(second);
        EXPECT_EQ(resources.groupFile(GroupKind::Icon, *second).value(), icoFile({dibImage(4, 32, 2)}));
    }

    // The builder writes RT_ICON's TYPEINFO first, with its two NAMEINFOs; then RT_GROUP_ICON's.
    static constexpr std::size_t kIconTypeInfo = layout::kResourceTable + 2;
    static constexpr std::size_t kFirstIconNameInfo = kIconTypeInfo + 8;
    static constexpr std::size_t kGroupTypeInfo = kIconTypeInfo + 8 + 2 * 12;

    const ByteVector file = ResourceBuilder()
                                .iconGroup(ResourceName::byName(u"MAIN"), {dibImage(4, 32, 1)})
                                .iconGroup(ResourceName::byId(2), {dibImage(4, 32, 2)})
                                .ne();
    ByteVector bytes;
};

TEST_F(NeLibrary, ReadsTheHeaderOfAResourceOnlyLibrary)
{
    const auto dos = readDosHeader(file);
    ASSERT_TRUE(dos.ok());
    EXPECT_EQ(dos->format, ExecutableFormat::Ne);
    const auto header = readNeHeader(file, dos->newHeaderOffset);
    ASSERT_TRUE(header.ok());
    EXPECT_EQ(header->segmentCount, 0);
    EXPECT_EQ(header->targetOs, 2);
    EXPECT_EQ(header->offset + header->resourceTableOffset, layout::kResourceTable);
    EXPECT_TRUE(header->hasResources());
    // The same library written as PE goes to the PE reader: the signature decides, not the name.
    EXPECT_EQ(readResourceTable(ResourceBuilder().iconGroup(ResourceName::byId(1), {dibImage(4)}).pe32())->format,
        ExecutableFormat::Pe);
}

TEST_F(NeLibrary, RejectsBrokenHeadersWithTheirPlace)
{
    bytes = file;
    setU32le(bytes, 0x3C, static_cast<std::uint32_t>(file.size() - 0x20));
    bytes[file.size() - 0x20] = 'N';
    bytes[file.size() - 0x1F] = 'E';
    EXPECT_EQ(parseIconResources(bytes).error(), (ImageError{ImageErrorKind::TruncatedNeHeader, file.size() - 0x20}));
    EXPECT_EQ(readWith(layout::kResourceTable, 40).error(), (ImageError{ImageErrorKind::BadAlignShift, layout::kResourceTable}));
    bytes = file;
    setU16le(bytes, layout::kNeHeader + 0x24, 0xF000); // resource table far past the end
    setU16le(bytes, layout::kNeHeader + 0x26, 0xF100);
    EXPECT_EQ(parseIconResources(bytes).error().kind, ImageErrorKind::ResourceTableTruncated);
}

TEST_F(NeLibrary, LeavesOutWhatPointsPastTheEndAndKeepsTheRest)
{
    auto resources = readWith(kFirstIconNameInfo, 0xFFFF); // rnOffset
    ASSERT_TRUE(resources.ok());
    EXPECT_EQ(resources->skipped(), std::vector<ImageError>{(ImageError{ImageErrorKind::ResourceDataOutOfRange, kFirstIconNameInfo})});
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 0).error().kind, ImageErrorKind::GroupHasNoImages);
    expectSecondGroupIntact(*resources);

    resources = readWith(kFirstIconNameInfo + 2, 0xFFFF); // rnLength: cut at the end
    ASSERT_TRUE(resources.ok());
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 0).value(), icoFile({dibImage(4, 32, 1)}));

    // The rest of the file is read as NAMEINFOs, up to its end; the real groups come first.
    resources = readWith(kGroupTypeInfo + 2, 65535);
    ASSERT_TRUE(resources.ok());
    EXPECT_TRUE(testing::hasSkipped(*resources, ImageErrorKind::ResourceTableTruncated));
    ASSERT_GE(resources->groups(GroupKind::Icon).size(), 2u);
    EXPECT_EQ(resources->groups(GroupKind::Icon)[0].name, ResourceName::byName(u"MAIN"));
    expectSecondGroupIntact(*resources);

    resources = readWith(kGroupTypeInfo + 8 + 6, 0x7FFF); // rnID of the first group: a name offset past the end
    ASSERT_TRUE(resources.ok());
    EXPECT_TRUE(testing::hasSkipped(*resources, ImageErrorKind::ResourceNameOutOfRange));
    ASSERT_EQ(resources->groups(GroupKind::Icon).size(), 1u);
    expectSecondGroupIntact(*resources);
}

} // namespace
} // namespace glyphary::formats
