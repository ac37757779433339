#include "formats/IconResources.h"
#include "support/PeBuilder.h"

#include <gtest/gtest.h>

#include <set>

namespace glyphary::formats {
namespace {

using testing::CursorImage;
using testing::curFile;
using testing::dibImage;
using testing::icoFile;
using testing::ResourceBuilder;

enum class Layout { Pe32, Pe32Plus, Ne };
constexpr const char* kLayoutNames[] = {"Pe32", "Pe32Plus", "Ne"};

// Converts every group and checks each file: entries inside it, images back to back, each one of
// `wholeSizes` when given. Gives the number of files made.
std::size_t expectWellFormedFiles(const IconResources& resources, const std::set<std::uint32_t>& wholeSizes = {})
{
    std::size_t files = 0;
    for (const GroupKind kind : {GroupKind::Icon, GroupKind::Cursor})
        for (std::size_t i = 0; i < resources.groups(kind).size(); ++i) {
            const auto converted = resources.groupFile(kind, i);
            if (!converted.ok())
                continue;
            const ByteReader in(converted.value());
            const std::uint16_t count = in.u16le(4).value_or(0);
            EXPECT_GE(count, 1);
            std::uint64_t offset = 6 + 16u * count;
            for (std::uint16_t entry = 0; entry < count; ++entry) {
                const std::uint32_t size = in.u32le(6 + 16u * entry + 8).value_or(0);
                EXPECT_EQ(in.u32le(6 + 16u * entry + 12), offset);
                EXPECT_TRUE(wholeSizes.empty() || wholeSizes.contains(size)) << size;
                offset += size;
            }
            EXPECT_EQ(offset, converted->size());
            ++files;
        }
    return files;
}

// What PE, PE32+ and NE files share: the groups, their files, and how truncation spoils them.
class IconGroups : public ::testing::TestWithParam<Layout> {
protected:
    ByteVector build(const ResourceBuilder& builder) const
    {
        return GetParam() == Layout::Ne ? builder.ne() : GetParam() == Layout::Pe32Plus ? builder.pe32Plus() : builder.pe32();
    }
    bool ne() const { return GetParam() == Layout::Ne; }
};

TEST_P(IconGroups, ListsFindsAndConvertsGroups)
{
    // Added as an .rc file or an icon editor would: named and numbered groups in no order.
    const std::vector<std::pair<ResourceName, std::vector<ByteVector>>> added = {
        {ResourceName::byName(u"ZETA"), {dibImage(4, 32, 1)}},
        {ResourceName::byId(7), {dibImage(4, 32, 2), dibImage(8, 32, 2)}},
        {ResourceName::byName(u"ALPHA"), {dibImage(4, 32, 3)}},
        {ResourceName::byId(3), {dibImage(8, 32, 4)}}};
    ResourceBuilder builder;
    for (const auto& [name, dibs] : added)
        builder.iconGroup(name, dibs);
    const ByteVector file = build(builder);
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok()) << describe(resources.error());
    EXPECT_EQ(resources->format(), ne() ? ExecutableFormat::Ne : ExecutableFormat::Pe);

    // PE: named groups first, then ids ascending, as a linker sorts them; NE: file order.
    const std::vector<std::size_t> order = ne() ? std::vector<std::size_t>{0, 1, 2, 3} : std::vector<std::size_t>{2, 0, 3, 1};
    ASSERT_EQ(resources->groups(GroupKind::Icon).size(), 4u);
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(resources->groups(GroupKind::Icon)[i].name, added[order[i]].first) << i;
        EXPECT_EQ(resources->groupFile(GroupKind::Icon, i).value(), icoFile(added[order[i]].second)) << i;
        EXPECT_EQ(resources->findGroup(GroupKind::Icon, added[order[i]].first), i);
    }
    EXPECT_EQ(resources->findGroup(GroupKind::Icon, ResourceName::byName(u"alpha")), ne() ? 2u : 0u);
    EXPECT_EQ(resources->findGroup(GroupKind::Icon, ResourceName::byId(1)), std::nullopt);
    EXPECT_EQ(resources->findGroup(GroupKind::Cursor, ResourceName::byId(7)), std::nullopt);
    EXPECT_TRUE(resources->groups(GroupKind::Cursor).empty());
    EXPECT_TRUE(resources->skipped().empty());
}

TEST_P(IconGroups, ConvertsCursorGroupsWithHotSpotsFromTheImages)
{
    const CursorImage arrow{dibImage(1), 5, 7};
    const CursorImage hand{dibImage(4), 12, 0};
    ResourceBuilder builder;
    builder.iconGroup(ResourceName::byId(1), {dibImage(4)})
        .cursorGroup(ResourceName::byName(u"HAND"), {hand})
        .cursorGroup(ResourceName::byId(100), {arrow});
    const ByteVector file = build(builder);
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    ASSERT_EQ(resources->groups(GroupKind::Cursor).size(), 2u);
    EXPECT_EQ(resources->groups(GroupKind::Icon).size(), 1u);
    EXPECT_EQ(resources->groupFile(GroupKind::Cursor, 0).value(), curFile({hand}));
    const auto cur = resources->groupFile(GroupKind::Cursor, 1);
    ASSERT_TRUE(cur.ok());
    EXPECT_EQ(cur.value(), curFile({arrow}));
    EXPECT_EQ(cur->size(), 326u);
    EXPECT_EQ(ByteReader(cur.value()).u16le(10), 5); // xHotspot
    EXPECT_EQ(ByteReader(cur.value()).u16le(12), 7); // yHotspot
    EXPECT_EQ(resources->groupFile(GroupKind::Cursor, 2).error().kind, ImageErrorKind::GroupIndexOutOfRange);
}

TEST_P(IconGroups, CountsALibraryWithFiveHundredGroups)
{
    constexpr std::uint16_t count = 500;
    ResourceBuilder builder;
    for (std::uint16_t id = count; id >= 1; --id) // added backwards: PE order comes from the ids
        builder.iconGroup(ResourceName::byId(id), {dibImage(8, 32, static_cast<std::uint8_t>(id))});
    const ByteVector file = build(builder);
    if (ne()) { // more than 1 MiB of images: a larger alignment
        EXPECT_GT(*ByteReader(file).u16le(testing::ne_layout::kResourceTable), testing::ne_layout::kAlignShift);
    }
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    const auto& groups = resources->groups(GroupKind::Icon);
    ASSERT_EQ(groups.size(), count);
    const std::uint16_t last = ne() ? 1 : count;
    EXPECT_EQ(groups.front().name, ResourceName::byId(ne() ? count : 1));
    EXPECT_EQ(groups.back().name, ResourceName::byId(last));
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, count - 1u).value(), icoFile({dibImage(8, 32, static_cast<std::uint8_t>(last))}));
}

TEST_P(IconGroups, GivesAnErrorOrWholeImagesForEveryTruncation)
{
    const ByteVector file = build(ResourceBuilder()
                                      .iconGroup(ResourceName::byName(u"MAIN"), {dibImage(4), dibImage(1, 16)})
                                      .iconGroup(ResourceName::byId(2), {dibImage(4, 16)})
                                      .cursorGroup(ResourceName::byId(3), {CursorImage{dibImage(1, 16), 3, 4}}));
    std::size_t files = 0;
    for (std::size_t length = 0; length <= file.size(); ++length) {
        const auto resources = parseIconResources(Bytes(file).first(length));
        if (!resources.ok())
            continue;
        SCOPED_TRACE(length);
        EXPECT_LE(resources->groups(GroupKind::Icon).size(), 2u);
        EXPECT_LE(resources->groups(GroupKind::Cursor).size(), 1u);
        files += expectWellFormedFiles(*resources, {744, 176, 296}); // 32x32x4, 16x16x1, 16x16x4
    }
    EXPECT_GT(files, 0u);
    EXPECT_EQ(parseIconResources(file)->groups(GroupKind::Icon).size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, IconGroups, ::testing::Values(Layout::Pe32, Layout::Pe32Plus, Layout::Ne),
    [](const ::testing::TestParamInfo<Layout>& info) { return kLayoutNames[static_cast<std::size_t>(info.param)]; });

// Groups whose directories disagree with their images: the images win.
TEST(IconGroupContents, UsesTheImagesPresentWithTheirActualSizes)
{
    using testing::GroupEntry;
    const auto convert = [](const ByteVector& group, const ByteVector& image) {
        ResourceBuilder builder;
        builder.raw(ResourceName::byId(resource_type::kIcon), ResourceName::byId(1), image)
            .raw(ResourceName::byId(resource_type::kGroupIcon), ResourceName::byId(1), group);
        const ByteVector file = builder.pe32();
        return parseIconResources(file)->groupFile(GroupKind::Icon, 0);
    };
    const ByteVector image = dibImage(4);
    const auto missingIds = convert(testing::iconGroupDirectory({{32, 32, 4, 744, 50}, {32, 32, 4, 9999, 1}, {32, 32, 4, 744, 51}}), image);
    EXPECT_EQ(missingIds.value(), icoFile({image}));
    EXPECT_EQ(convert(testing::iconGroupDirectory({{32, 32, 4, 744, 1}}, 65535), image).value(), icoFile({image}));
    const std::vector<GroupEntry> repeated(65535, GroupEntry{32, 32, 8, 2216, 1});
    EXPECT_EQ(convert(testing::iconGroupDirectory(repeated), dibImage(8)).error().kind, ImageErrorKind::OutputTooLarge);
    EXPECT_EQ(convert(testing::iconGroupDirectory({{32, 32, 4, 744, 9}}), image).error().kind, ImageErrorKind::GroupHasNoImages);
    EXPECT_EQ(convert(ByteVector{0, 0, 1}, image).error().kind, ImageErrorKind::GroupTruncated);
}

TEST(IconGroupContents, CountsEachGroupOnceAndUsesItsFirstLanguage)
{
    const ByteVector english = dibImage(4, 32, 1);
    ResourceBuilder builder;
    builder.iconGroup(ResourceName::byId(1), {english}) // language 0x409
        .raw(ResourceName::byId(resource_type::kIcon), ResourceName::byId(1), dibImage(4, 32, 2), 0x40C)
        .raw(ResourceName::byId(resource_type::kGroupIcon), ResourceName::byId(1), ByteVector{0, 0, 1, 0, 0, 0}, 0x40C);
    const ByteVector file = builder.pe32();
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    ASSERT_EQ(resources->groups(GroupKind::Icon).size(), 1u);
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 0).value(), icoFile({english}));
}

TEST(IconGroupContents, HasNoGroupsWithoutImagesResourcesOrATable)
{
    ResourceBuilder groupOnly;
    groupOnly.raw(ResourceName::byId(resource_type::kGroupIcon), ResourceName::byId(1), ByteVector{0, 0, 1, 0, 0, 0});
    ByteVector noDirectory = ResourceBuilder().pe32();
    setU32le(noDirectory, testing::pe_layout::kOptionalHeader + 112, 0);
    ByteVector emptyTable = ResourceBuilder().iconGroup(ResourceName::byId(1), {dibImage(4)}).ne();
    setU16le(emptyTable, testing::ne_layout::kNeHeader + 0x26, 0x40 + 8); // resident names right after 8 table bytes
    for (const ByteVector& file : {groupOnly.pe32(), ResourceBuilder().pe32(), noDirectory, emptyTable}) {
        const auto resources = parseIconResources(file);
        ASSERT_TRUE(resources.ok());
        EXPECT_TRUE(resources->groups(GroupKind::Icon).empty());
    }
    EXPECT_EQ(parseIconResources(ByteVector{}).error().kind, ImageErrorKind::TruncatedDosHeader);
    EXPECT_EQ(parseIconResources(icoFile({dibImage(4)})).error().kind, ImageErrorKind::NotMzExecutable);
}

} // namespace
} // namespace glyphary::formats
