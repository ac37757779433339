#include "formats/IcoCodec.h"
#include "formats/IconResources.h"
#include "formats/PeImage.h"
#include "support/PeBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace glyphary::formats {
namespace {

using testing::CursorImage;
using testing::curFile;
using testing::dibImage;
using testing::icoFile;
using testing::hasSkipped;
using testing::ResourceBuilder;
namespace layout = testing::pe_layout;


std::vector<ResourceName> groupNames(const IconResources& resources, GroupKind kind)
{
    std::vector<ResourceName> names;
    for (const IconGroup& group : resources.groups(kind))
        names.push_back(group.name);
    return names;
}

// A produced .ico/.cur must be self-consistent: entries inside the file, images back to back.
void expectWellFormedFile(const ByteVector& file)
{
    const ByteReader in(file);
    const std::uint16_t count = in.u16le(4).value_or(0);
    ASSERT_GE(count, 1);
    std::uint64_t expectedOffset = 6 + 16u * count;
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint64_t entry = 6 + 16u * i;
        ASSERT_EQ(in.u32le(entry + 12), expectedOffset);
        expectedOffset += *in.u32le(entry + 8);
    }
    EXPECT_EQ(expectedOffset, file.size());
}

// The groups of the Wine test DLL: .rc order ZETA, 7, ALPHA, 3, each with its own image.
ResourceBuilder wineExample()
{
    ResourceBuilder builder;
    builder.iconGroup(ResourceName::byName(u"ZETA"), {dibImage(4, 32, 1)})
        .iconGroup(ResourceName::byId(7), {dibImage(4, 32, 2)})
        .iconGroup(ResourceName::byName(u"ALPHA"), {dibImage(4, 32, 3)})
        .iconGroup(ResourceName::byId(3), {dibImage(4, 32, 4)});
    return builder;
}

class PeIconGroups : public ::testing::TestWithParam<bool> {
protected:
    ByteVector build(const ResourceBuilder& builder) const { return GetParam() ? builder.pe32Plus() : builder.pe32(); }
};

TEST_P(PeIconGroups, ListsNamedGroupsFirstThenIdsAscending)
{
    const ByteVector file = build(wineExample());
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok()) << describe(resources.error());

    EXPECT_EQ(groupNames(*resources, GroupKind::Icon),
        (std::vector<ResourceName>{ResourceName::byName(u"ALPHA"), ResourceName::byName(u"ZETA"), ResourceName::byId(3),
            ResourceName::byId(7)}));
    // Index n gives the n-th group's own image.
    const std::array<std::uint8_t, 4> shades = {3, 1, 4, 2};
    for (std::size_t i = 0; i < shades.size(); ++i) {
        const auto ico = resources->groupFile(GroupKind::Icon, i);
        ASSERT_TRUE(ico.ok()) << describe(ico.error());
        EXPECT_EQ(ico.value(), icoFile({dibImage(4, 32, shades[i])})) << "group " << i;
    }
    EXPECT_TRUE(resources->groups(GroupKind::Cursor).empty());
    EXPECT_TRUE(resources->skipped().empty());
}

TEST_P(PeIconGroups, FindsGroupsByIdForNegativeIndexesAndByNameIgnoringCase)
{
    const ByteVector file = build(wineExample());
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());

    EXPECT_EQ(resources->findGroup(GroupKind::Icon, ResourceName::byId(7)), 3u);
    EXPECT_EQ(resources->findGroup(GroupKind::Icon, ResourceName::byId(3)), 2u);
    EXPECT_EQ(resources->findGroup(GroupKind::Icon, ResourceName::byName(u"alpha")), 0u);
    EXPECT_EQ(resources->findGroup(GroupKind::Icon, ResourceName::byId(1)), std::nullopt);
    EXPECT_EQ(resources->findGroup(GroupKind::Cursor, ResourceName::byId(7)), std::nullopt);
}

TEST_P(PeIconGroups, ConvertsMultiImageGroupsToIcoFiles)
{
    const ByteVector small = dibImage(4);
    const ByteVector rich = dibImage(8);
    ResourceBuilder builder;
    builder.iconGroup(ResourceName::byId(1), {small, rich});
    const ByteVector file = build(builder);
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());

    const auto ico = resources->groupFile(GroupKind::Icon, 0);
    ASSERT_TRUE(ico.ok());
    EXPECT_EQ(ico->size(), 6u + 2 * 16 + 744 + 2216);
    EXPECT_EQ(ico.value(), icoFile({small, rich}));
}

TEST_P(PeIconGroups, CountsAnExeWithTwelveIconsAndADllWithThreeHundred)
{
    for (const std::uint16_t count : {std::uint16_t{12}, std::uint16_t{300}}) {
        ResourceBuilder builder;
        for (std::uint16_t id = count; id >= 1; --id) // added backwards: order comes from the ids
            builder.iconGroup(ResourceName::byId(id), {dibImage(4, 32, static_cast<std::uint8_t>(id))});
        const ByteVector file = build(builder);
        const auto resources = parseIconResources(file);
        ASSERT_TRUE(resources.ok());
        const auto& groups = resources->groups(GroupKind::Icon);
        ASSERT_EQ(groups.size(), count);
        EXPECT_EQ(groups.front().name, ResourceName::byId(1));
        EXPECT_EQ(groups.back().name, ResourceName::byId(count));
        const auto last = resources->groupFile(GroupKind::Icon, count - 1u);
        ASSERT_TRUE(last.ok());
        EXPECT_EQ(last.value(), icoFile({dibImage(4, 32, static_cast<std::uint8_t>(count))}));
    }
}

TEST_P(PeIconGroups, ConvertsCursorGroupsWithHotSpotsFromTheImages)
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
    const auto cur = resources->groupFile(GroupKind::Cursor, 1);
    ASSERT_TRUE(cur.ok());
    EXPECT_EQ(cur.value(), curFile({arrow}));
    EXPECT_EQ(cur->size(), 326u);
    EXPECT_EQ(ByteReader(cur.value()).u16le(10), 5); // xHotspot
    EXPECT_EQ(ByteReader(cur.value()).u16le(12), 7); // yHotspot
    EXPECT_EQ(resources->groupFile(GroupKind::Cursor, 0).value(), curFile({hand}));
    EXPECT_EQ(resources->groupFile(GroupKind::Cursor, 2).error().kind, ImageErrorKind::GroupIndexOutOfRange);
}

TEST_P(PeIconGroups, ProducesFilesTheIcoDecoderReads)
{
    ResourceBuilder builder;
    builder.iconGroup(ResourceName::byId(1), {dibImage(4), dibImage(8)})
        .cursorGroup(ResourceName::byId(2), {CursorImage{dibImage(1), 5, 7}});
    const ByteVector file = build(builder);
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());

    const auto icon = parseIco(resources->groupFile(GroupKind::Icon, 0).value());
    ASSERT_TRUE(icon);
    const std::vector<IconImage> images = icon.value->images();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].bitsPerPixel, 4);
    EXPECT_EQ(images[1].bitsPerPixel, 8);
    EXPECT_EQ(qAlpha(images[0].image.pixel(0, 0)), 0);   // the builder's transparent columns
    EXPECT_EQ(qAlpha(images[0].image.pixel(16, 16)), 255);

    const auto cursor = parseIco(resources->groupFile(GroupKind::Cursor, 0).value());
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor.value->type, IconFileType::Cursor);
    const std::vector<IconImage> frames = cursor.value->images();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].hotspotX, 5);
    EXPECT_EQ(frames[0].hotspotY, 7);
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, PeIconGroups, ::testing::Bool(),
    [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Pe32Plus" : "Pe32"; });

TEST(PeImageHeaders, ReadsPe32PlusFields)
{
    const ByteVector file = wineExample().pe32Plus();
    const auto image = parsePeImage(file);
    ASSERT_TRUE(image.ok());
    EXPECT_TRUE(image->isPe32Plus);
    EXPECT_EQ(image->machine, 0x8664);
    EXPECT_EQ(image->imageBase, 0x180000000u);
    EXPECT_EQ(image->resourceDirectory.rva, layout::kResourceRva);
    ASSERT_EQ(image->sections.size(), 2u);
    EXPECT_EQ(image->fileOffsetOf(layout::kResourceRva + 0x10, 4).value(), layout::kResourceRoot + 0x10);
}

TEST(PeImageHeaders, MapsRvasAsTheLoaderDoes)
{
    ByteVector file = wineExample().pe32();
    const std::size_t resourceSection = layout::resourceSectionHeader(false);
    auto image = parsePeImage(file);
    ASSERT_TRUE(image.ok());
    EXPECT_EQ(image->fileOffsetOf(0x40, 4).value(), 0x40u); // inside SizeOfHeaders
    EXPECT_EQ(image->fileOffsetOf(0x1000, 4).value(), 0x200u);
    EXPECT_EQ(image->fileOffsetOf(0x11F0, 0x20).error(), (ImageError{ImageErrorKind::RvaBeyondRawData, 0x11F0}));
    EXPECT_EQ(image->fileOffsetOf(0x9000, 4).error(), (ImageError{ImageErrorKind::RvaInNoSection, 0x9000}));

    // PointerToRawData is rounded down to 512 when FileAlignment allows it.
    setU32le(file, resourceSection + 20, layout::kResourceRoot + 0x1F);
    image = parsePeImage(file);
    EXPECT_EQ(image->fileOffsetOf(layout::kResourceRva, 4).value(), layout::kResourceRoot);
    EXPECT_EQ(parseIconResources(file)->groups(GroupKind::Icon).size(), 4u);

    // Below page alignment, RVAs are file offsets.
    setU32le(file, layout::kOptionalHeader + 32, 0x200);
    image = parsePeImage(file);
    EXPECT_EQ(image->fileOffsetOf(0x1000, 4).value(), 0x1000u);
}

// Groups whose directories disagree with their images: the images win.
class PeGroupContents : public ::testing::Test {
protected:
    // A group directory with the given (nId, dwBytesInRes) entries and a stored count.
    static ByteVector groupDirectory(std::uint16_t count, const std::vector<std::pair<std::uint16_t, std::uint32_t>>& entries)
    {
        ByteVector out;
        putU16le(out, 0);
        putU16le(out, 1);
        putU16le(out, count);
        for (const auto& [id, size] : entries) {
            putBytes(out, std::array<std::uint8_t, 8>{32, 32, 16, 0, 1, 0, 4, 0});
            putU32le(out, size);
            putU16le(out, id);
        }
        return out;
    }

    static ImageResult<ByteVector> convertOnlyGroup(const ByteVector& group, const ByteVector& image)
    {
        ResourceBuilder builder;
        builder.raw(ResourceName::byId(resource_type::kIcon), ResourceName::byId(1), image)
            .raw(ResourceName::byId(resource_type::kGroupIcon), ResourceName::byId(1), group);
        const ByteVector file = builder.pe32();
        const auto resources = parseIconResources(file);
        if (!resources.ok())
            return resources.error();
        return resources->groupFile(GroupKind::Icon, 0);
    }
};

TEST_F(PeGroupContents, SkipsMissingImageIdsAndUsesActualImageSizes)
{
    const ByteVector image = dibImage(4);
    const auto ico = convertOnlyGroup(groupDirectory(3, {{50, 744}, {1, 9999}, {51, 744}}), image);
    ASSERT_TRUE(ico.ok());
    EXPECT_EQ(ico.value(), icoFile({image}));
}

TEST_F(PeGroupContents, KeepsTheEntriesPresentWhenTheCountIsTooLarge)
{
    const ByteVector image = dibImage(4);
    const auto ico = convertOnlyGroup(groupDirectory(65535, {{1, 744}}), image);
    ASSERT_TRUE(ico.ok());
    EXPECT_EQ(ico.value(), icoFile({image}));
}

TEST_F(PeGroupContents, RefusesGroupsThatRepeatAnImageBeyondTheSizeCap)
{
    const std::vector<std::pair<std::uint16_t, std::uint32_t>> repeated(65535, {1, 2216});
    const auto ico = convertOnlyGroup(groupDirectory(65535, repeated), dibImage(8));
    ASSERT_FALSE(ico.ok());
    EXPECT_EQ(ico.error().kind, ImageErrorKind::OutputTooLarge);
}

TEST_F(PeGroupContents, ReportsGroupsWithoutReadableImages)
{
    EXPECT_EQ(convertOnlyGroup(groupDirectory(1, {{9, 744}}), dibImage(4)).error().kind, ImageErrorKind::GroupHasNoImages);
    EXPECT_EQ(convertOnlyGroup(ByteVector{0, 0, 1}, dibImage(4)).error().kind, ImageErrorKind::GroupTruncated);
}

TEST(PeIconCounting, CountsEachGroupOnceAndUsesItsFirstLanguage)
{
    const ByteVector english = dibImage(4, 32, 1);
    const ByteVector french = dibImage(4, 32, 2);
    ResourceBuilder builder;
    builder.iconGroup(ResourceName::byId(1), {english}) // language 0x409
        .raw(ResourceName::byId(resource_type::kIcon), ResourceName::byId(1), french, 0x40C)
        .raw(ResourceName::byId(resource_type::kGroupIcon), ResourceName::byId(1), ByteVector{0, 0, 1, 0, 0, 0}, 0x40C);
    const ByteVector file = builder.pe32();
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    ASSERT_EQ(resources->groups(GroupKind::Icon).size(), 1u);
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 0).value(), icoFile({english}));
}

TEST(PeIconCounting, HasNoIconGroupsWithoutAnyIconImages)
{
    ResourceBuilder builder;
    builder.raw(ResourceName::byId(resource_type::kGroupIcon), ResourceName::byId(1), ByteVector{0, 0, 1, 0, 0, 0});
    const ByteVector file = builder.pe32();
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_TRUE(resources->groups(GroupKind::Icon).empty());
}

TEST(PeIconCounting, GivesEmptyListsForAnImageWithoutResources)
{
    const ByteVector file = ResourceBuilder().pe32();
    ByteVector noDirectory = file;
    setU32le(noDirectory, layout::kOptionalHeader + 112, 0);
    for (const ByteVector& bytes : {file, noDirectory}) {
        const auto resources = parseIconResources(bytes);
        ASSERT_TRUE(resources.ok());
        EXPECT_TRUE(resources->groups(GroupKind::Icon).empty());
    }
}

TEST(PeIconCounting, RejectsFilesThatAreNotExecutables)
{
    EXPECT_EQ(parseIconResources(ByteVector{}).error().kind, ImageErrorKind::TruncatedDosHeader);
    EXPECT_EQ(parseIconResources(icoFile({dibImage(4)})).error().kind, ImageErrorKind::NotMzExecutable);
}

// One valid PE32 with two groups; each case breaks one field.
class PeCorruption : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResourceBuilder builder;
        builder.iconGroup(ResourceName::byName(u"MAIN"), {dibImage(4, 32, 1)}).iconGroup(ResourceName::byId(2), {dibImage(4, 32, 2)});
        file = builder.pe32();
    }

    ImageError fatalError() const
    {
        const auto resources = parseIconResources(file);
        EXPECT_FALSE(resources.ok());
        return resources.ok() ? ImageError{} : resources.error();
    }

    // The resource section layout: root (2 types: RT_ICON 3, RT_GROUP_ICON 14), RT_ICON's directory.
    static constexpr std::size_t kRoot = layout::kResourceRoot;
    static constexpr std::size_t kIconTypeDirectory = kRoot + 16 + 2 * 8;
    static constexpr std::size_t kSectionHeader = layout::resourceSectionHeader(false);
    std::size_t firstDataEntry() const
    {
        // Language directory of RT_ICON id 1 -> its data entry.
        const std::size_t nameDirectory = kRoot + (*ByteReader(file).u32le(kIconTypeDirectory + 16 + 4) & 0x7FFFFFFF);
        return kRoot + *ByteReader(file).u32le(nameDirectory + 16 + 4);
    }

    ByteVector file;
};

TEST_F(PeCorruption, RejectsBrokenHeadersWithTheirPlace)
{
    const ByteVector valid = file;
    setU32le(file, 0x3C, static_cast<std::uint32_t>(valid.size()));
    EXPECT_EQ(fatalError(), (ImageError{ImageErrorKind::NewHeaderOutOfRange, 0x3C}));

    file = valid;
    file[layout::kPeHeader + 1] = 'X';
    EXPECT_EQ(fatalError(), (ImageError{ImageErrorKind::UnknownSignature, layout::kPeHeader}));

    file = valid;
    setU16le(file, layout::kCoffHeader + 2, 65535);
    EXPECT_EQ(fatalError(), (ImageError{ImageErrorKind::TooManySections, layout::kCoffHeader + 2}));

    file = valid;
    setU16le(file, layout::kCoffHeader + 2, kMaxPeSections);
    EXPECT_EQ(fatalError(), (ImageError{ImageErrorKind::SectionTableOutOfRange, layout::sectionTable(false)}));

    file = valid;
    setU16le(file, layout::kCoffHeader + 16, 0xF000);
    EXPECT_EQ(fatalError(), (ImageError{ImageErrorKind::SectionTableOutOfRange, layout::kOptionalHeader + 0xF000}));

    file = valid;
    setU16le(file, layout::kCoffHeader + 16, 64);
    EXPECT_EQ(fatalError().kind, ImageErrorKind::TruncatedOptionalHeader);

    file = valid;
    setU16le(file, layout::kOptionalHeader, 0x107);
    EXPECT_EQ(fatalError(), (ImageError{ImageErrorKind::UnknownOptionalHeaderMagic, layout::kOptionalHeader}));
}

TEST_F(PeCorruption, RejectsAResourceDirectoryOutsideEverySection)
{
    setU32le(file, layout::kOptionalHeader + 112, 0x9000);
    EXPECT_EQ(fatalError(), (ImageError{ImageErrorKind::RvaInNoSection, 0x9000}));
}

TEST_F(PeCorruption, RejectsARawDataPointerPastTheEnd)
{
    setU32le(file, kSectionHeader + 20, 0x7FFFF000);
    EXPECT_EQ(fatalError().kind, ImageErrorKind::RangePastEndOfFile);
}

TEST_F(PeCorruption, SurvivesADirectoryThatPointsBackToTheRoot)
{
    setU32le(file, kRoot + 16 + 4, 0x80000000); // RT_ICON's sub-directory = the root itself
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_EQ(resources->skipped(), std::vector<ImageError>{(ImageError{ImageErrorKind::ResourceLoop, kRoot})});
    EXPECT_EQ(describe(resources->skipped()[0]), "resource directory refers back to a directory already read (offset 0x400)");
    ASSERT_EQ(resources->groups(GroupKind::Icon).size(), 2u);
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 0).error().kind, ImageErrorKind::GroupHasNoImages);
}

TEST_F(PeCorruption, SurvivesLanguageEntriesThatPointBackUp)
{
    const std::size_t nameDirectory = kRoot + (*ByteReader(file).u32le(kIconTypeDirectory + 16 + 4) & 0x7FFFFFFF);
    setU32le(file, nameDirectory + 16 + 4, 0x80000000 | static_cast<std::uint32_t>(kIconTypeDirectory - kRoot));
    const auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_TRUE(hasSkipped(*resources, ImageErrorKind::ResourceTooDeep));
    // The image of the first group is gone; the second group is intact.
    ASSERT_EQ(resources->groups(GroupKind::Icon).size(), 2u);
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 0).error().kind, ImageErrorKind::GroupHasNoImages);
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 1).value(), icoFile({dibImage(4, 32, 2)}));
}

TEST_F(PeCorruption, SurvivesEntryCountsOf65535)
{
    const ByteVector valid = file;
    for (const std::size_t countField : {kRoot + 12, kRoot + 14, kIconTypeDirectory + 14}) {
        file = valid;
        setU16le(file, countField, 65535);
        const auto resources = parseIconResources(file);
        ASSERT_TRUE(resources.ok());
        EXPECT_FALSE(resources->skipped().empty()) << countField;
    }
}

TEST_F(PeCorruption, LeavesOutNamesAndDataThatPointNowhere)
{
    const ByteVector valid = file;
    // RT_GROUP_ICON's first name entry is the named group MAIN: move its string far away.
    const std::size_t groupTypeDirectory = kRoot + (*ByteReader(file).u32le(kRoot + 16 + 8 + 4) & 0x7FFFFFFF);
    setU32le(file, groupTypeDirectory + 16, 0xFFFFFF00);
    auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_TRUE(hasSkipped(*resources, ImageErrorKind::ResourceNameOutOfRange));
    EXPECT_EQ(groupNames(*resources, GroupKind::Icon), std::vector<ResourceName>{ResourceName::byId(2)});

    file = valid;
    setU16le(file, kRoot + *ByteReader(file).u32le(groupTypeDirectory + 16) - 0x80000000, 1000); // name length
    resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_TRUE(hasSkipped(*resources, ImageErrorKind::ResourceNameOutOfRange));

    file = valid;
    setU32le(file, firstDataEntry(), 0x00700000); // OffsetToData: an RVA in no section
    resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_EQ(resources->skipped(), std::vector<ImageError>{(ImageError{ImageErrorKind::RvaInNoSection, 0x00700000})});
    EXPECT_EQ(resources->groupFile(GroupKind::Icon, 1).value(), icoFile({dibImage(4, 32, 2)}));
}

TEST_F(PeCorruption, LeavesOutDataBeyondRawDataOrTheFile)
{
    const ByteVector valid = file;
    setU32le(file, firstDataEntry() + 4, 0x100000); // Size: past the section's raw data and the file
    auto resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_TRUE(hasSkipped(*resources, ImageErrorKind::RvaBeyondRawData));

    // A huge SizeOfRawData lets the RVA map, but the bytes are still not in the file.
    setU32le(file, kSectionHeader + 16, 0xFFFFFF00);
    resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_TRUE(hasSkipped(*resources, ImageErrorKind::RangePastEndOfFile));

    // An RVA in the zero-filled tail of a section (VirtualSize > SizeOfRawData).
    file = valid;
    setU32le(file, kSectionHeader + 8, 0x10000);
    setU32le(file, firstDataEntry(), layout::kResourceRva + 0x8000);
    resources = parseIconResources(file);
    ASSERT_TRUE(resources.ok());
    EXPECT_EQ(resources->skipped(), std::vector<ImageError>{(ImageError{ImageErrorKind::RvaBeyondRawData, layout::kResourceRva + 0x8000})});
}

TEST_F(PeCorruption, SurvivesAnyOneByteOfHeadersAndDirectoriesChanged)
{
    const ByteVector valid = file;
    const std::size_t directoriesEnd = kRoot + 0x100;
    for (std::size_t at = 0; at < directoriesEnd; ++at) {
        for (const int value : {0x00, 0x80, 0xFF}) {
            file = valid;
            file[at] = static_cast<std::uint8_t>(value);
            const auto resources = parseIconResources(file);
            if (!resources.ok())
                continue;
            for (std::size_t i = 0; i < resources->groups(GroupKind::Icon).size(); ++i) {
                const auto converted = resources->groupFile(GroupKind::Icon, i);
                if (converted.ok())
                    expectWellFormedFile(converted.value());
            }
        }
    }
}

TEST_F(PeCorruption, GivesAnErrorOrASubsetForEveryTruncation)
{
    file = ResourceBuilder()
               .iconGroup(ResourceName::byName(u"MAIN"), {dibImage(4), dibImage(1, 16)})
               .iconGroup(ResourceName::byId(2), {dibImage(4, 16)})
               .cursorGroup(ResourceName::byId(3), {CursorImage{dibImage(1, 16), 3, 4}})
               .pe32();
    for (std::size_t length = 0; length <= file.size(); ++length) {
        const auto resources = parseIconResources(Bytes(file).first(length));
        if (!resources.ok())
            continue;
        for (const GroupKind kind : {GroupKind::Icon, GroupKind::Cursor}) {
            ASSERT_LE(resources->groups(kind).size(), kind == GroupKind::Icon ? 2u : 1u);
            for (std::size_t i = 0; i < resources->groups(kind).size(); ++i) {
                const auto converted = resources->groupFile(kind, i);
                if (converted.ok())
                    expectWellFormedFile(converted.value());
            }
        }
    }
    EXPECT_EQ(parseIconResources(file)->groups(GroupKind::Icon).size(), 2u);
}

} // namespace
} // namespace glyphary::formats
