#include "formats/IconResources.h"
#include "formats/NeImage.h"
#include "formats/PeImage.h"
#include "support/PeBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace glyphary::formats {
namespace {

using testing::CursorImage;
using testing::curFile;
using testing::dibImage;
using testing::icoFile;
using testing::hasSkipped;
using testing::ResourceBuilder;
namespace layout = testing::ne_layout;


// An .icl as an icon editor writes it: named and numbered groups in no particular order.
ResourceBuilder iconLibrary()
{
    ResourceBuilder builder;
    builder.iconGroup(ResourceName::byName(u"ZETA"), {dibImage(4, 32, 1)})
        .iconGroup(ResourceName::byId(7), {dibImage(4, 32, 2), dibImage(8, 32, 2)})
        .iconGroup(ResourceName::byName(u"ALPHA"), {dibImage(4, 32, 3)})
        .iconGroup(ResourceName::byId(3), {dibImage(8, 32, 4)});
    return builder;
}

TEST(NeIconLibrary, ListsGroupsInFileOrder)
{
    const ByteVector file = iconLibrary().ne();
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok()) << describe(resources.error());
    EXPECT_EQ(resources->format(), ExecutableFormat::Ne);

    std::vector<ResourceName> names;
    for (const IconGroup& group : resources->groups(GroupKind::Icon))
        names.push_back(group.name);
    EXPECT_EQ(names, (std::vector<ResourceName>{ResourceName::byName(u"ZETA"), ResourceName::byId(7),
                         ResourceName::byName(u"ALPHA"), ResourceName::byId(3)}));
    EXPECT_EQ(resources->findGroup(GroupKind::Icon, ResourceName::byId(3)), 3u);
    EXPECT_TRUE(resources->skipped().empty());
}

TEST(NeIconLibrary, ConvertsGroupsToIcoFilesOfTheOriginalLength)
{
    const ByteVector file = iconLibrary().ne();
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());

    // NE stores lengths rounded up to 16 bytes; the produced files are still exact.
    const auto zeta = resources->groupFile(GroupKind::Icon, 0);
    ASSERT_TRUE(zeta.ok());
    EXPECT_EQ(zeta->size(), 766u);
    EXPECT_EQ(zeta.value(), icoFile({dibImage(4, 32, 1)}));
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 1).value(), icoFile({dibImage(4, 32, 2), dibImage(8, 32, 2)}));
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 3)->size(), 2238u);
}

TEST(NeIconLibrary, ReadsTheHeaderOfAResourceOnlyLibrary)
{
    const ByteVector file = iconLibrary().ne();
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
    EXPECT_EQ(readResourceTable(iconLibrary().pe32())->format, ExecutableFormat::Pe);
}

TEST(NeIconLibrary, ConvertsCursorGroupsWithHotSpots)
{
    const CursorImage arrow{dibImage(1), 5, 7};
    ResourceBuilder builder;
    builder.iconGroup(ResourceName::byId(1), {dibImage(4)}).cursorGroup(ResourceName::byId(2), {arrow});
    const ByteVector file = builder.ne();
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    ASSERT_EQ(resources->groups(GroupKind::Cursor).size(), 1u);
    const auto cur = resources->groupFile(GroupKind::Cursor, 0);
    ASSERT_TRUE(cur.ok());
    EXPECT_EQ(cur.value(), curFile({arrow}));
}

TEST(NeIconLibrary, UsesALargerAlignmentForMoreThanOneMebibyteOfImages)
{
    ResourceBuilder builder;
    for (std::uint16_t id = 1; id <= 500; ++id)
        builder.iconGroup(ResourceName::byId(id), {dibImage(8, 32, static_cast<std::uint8_t>(id))});
    const ByteVector file = builder.ne();
    EXPECT_GT(*ByteReader(file).u16le(layout::kResourceTable), layout::kAlignShift);
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    ASSERT_EQ(resources->groups(GroupKind::Icon).size(), 500u);
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 499).value(), icoFile({dibImage(8, 32, static_cast<std::uint8_t>(500))}));
}

TEST(NeIconLibrary, HasNoGroupsWhenTheResourceTableIsEmpty)
{
    ByteVector file = iconLibrary().ne();
    setU16le(file, layout::kNeHeader + 0x26, 0x40 + 8); // resident names right after 8 table bytes
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_TRUE(resources->groups(GroupKind::Icon).empty());
}

// One valid .icl; each case breaks one field.
class NeCorruption : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResourceBuilder builder;
        builder.iconGroup(ResourceName::byName(u"MAIN"), {dibImage(4, 32, 1)}).iconGroup(ResourceName::byId(2), {dibImage(4, 32, 2)});
        file = builder.ne();
    }

    // The builder writes RT_ICON's TYPEINFO first, with its two NAMEINFOs; then RT_GROUP_ICON's.
    static constexpr std::size_t kIconTypeInfo = layout::kResourceTable + 2;
    static constexpr std::size_t kFirstIconNameInfo = kIconTypeInfo + 8;
    static constexpr std::size_t kGroupTypeInfo = kIconTypeInfo + 8 + 2 * 12;

    ByteVector file;
};

TEST_F(NeCorruption, RejectsBrokenHeadersWithTheirPlace)
{
    const ByteVector valid = file;
    setU32le(file, 0x3C, static_cast<std::uint32_t>(valid.size() - 0x20));
    file[valid.size() - 0x20] = 'N';
    file[valid.size() - 0x1F] = 'E';
    EXPECT_EQ(parseIconResources(file).error(), (ImageError{ImageErrorKind::TruncatedNeHeader, valid.size() - 0x20}));

    file = valid;
    file[layout::kResourceTable] = 40;
    EXPECT_EQ(parseIconResources(file).error(), (ImageError{ImageErrorKind::BadAlignShift, layout::kResourceTable}));

    file = valid;
    setU16le(file, layout::kNeHeader + 0x24, 0xF000); // resource table far past the end
    setU16le(file, layout::kNeHeader + 0x26, 0xF100);
    EXPECT_EQ(parseIconResources(file).error().kind, ImageErrorKind::ResourceTableTruncated);
}

TEST_F(NeCorruption, LeavesOutImagesPastTheEnd)
{
    setU16le(file, kFirstIconNameInfo, 0xFFFF); // rnOffset
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_EQ(resources->skipped(), std::vector<ImageError>{(ImageError{ImageErrorKind::ResourceDataOutOfRange, kFirstIconNameInfo})});
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 0).error().kind, ImageErrorKind::GroupHasNoImages);
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 1).value(), icoFile({dibImage(4, 32, 2)}));
}

TEST_F(NeCorruption, CutsLengthsPastTheEndAtTheEnd)
{
    setU16le(file, kFirstIconNameInfo + 2, 0xFFFF); // rnLength
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 0).value(), icoFile({dibImage(4, 32, 1)}));
}

TEST_F(NeCorruption, SurvivesCountsOf65535AndNamesPastTheEnd)
{
    const ByteVector valid = file;
    setU16le(file, kGroupTypeInfo + 2, 65535);
    auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_TRUE(hasSkipped(*resources, ImageErrorKind::ResourceTableTruncated));
    // The rest of the file is read as NAMEINFOs, up to its end; the real groups come first.
    ASSERT_GE(resources->groups(GroupKind::Icon).size(), 2u);
    EXPECT_EQ(resources->groups(GroupKind::Icon)[0].name, ResourceName::byName(u"MAIN"));
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 1).value(), icoFile({dibImage(4, 32, 2)}));

    file = valid;
    setU16le(file, kGroupTypeInfo + 8 + 6, 0x7FFF); // rnID of the first group: a name offset past the end
    resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_TRUE(hasSkipped(*resources, ImageErrorKind::ResourceNameOutOfRange));
    ASSERT_EQ(resources->groups(GroupKind::Icon).size(), 1u);
    EXPECT_EQ(resources->groups(GroupKind::Icon)[0].name, ResourceName::byId(2));
}

TEST_F(NeCorruption, GivesAnErrorOrASubsetForEveryTruncation)
{
    file = ResourceBuilder()
               .iconGroup(ResourceName::byName(u"MAIN"), {dibImage(4), dibImage(1, 16)})
               .iconGroup(ResourceName::byId(2), {dibImage(4, 16)})
               .cursorGroup(ResourceName::byId(3), {CursorImage{dibImage(1, 16), 3, 4}})
               .ne();
    const std::set<std::uint32_t> wholeImageSizes = {744, 176, 296}; // 32x32x4, 16x16x1, 16x16x4
    std::size_t readable = 0;
    for (std::size_t length = 0; length <= file.size(); ++length) {
        const auto resources = parseIconResources(Bytes(file).first(length));
        if (!resources.ok())
            continue;
        ASSERT_LE(resources->groups(GroupKind::Icon).size(), 2u);
        for (const GroupKind kind : {GroupKind::Icon, GroupKind::Cursor})
            for (std::size_t i = 0; i < resources->groups(kind).size(); ++i) {
                const auto converted = resources->groupFile(kind, i);
                if (!converted.ok())
                    continue;
                // Images come whole or not at all.
                const ByteReader in(converted.value());
                const std::uint16_t count = in.u16le(4).value_or(0);
                ASSERT_GE(count, 1);
                for (std::uint16_t entry = 0; entry < count; ++entry)
                    EXPECT_TRUE(wholeImageSizes.contains(*in.u32le(6 + 16u * entry + 8))) << "length " << length;
                ++readable;
            }
    }
    EXPECT_GT(readable, 0u);
}

} // namespace
} // namespace glyphary::formats
