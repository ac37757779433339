#include "formats/IconResources.h"
#include "formats/NeImage.h"
#include "formats/PeImage.h"
#include "formats/VersionResource.h"
#include "support/PeBuilder.h"

#include <gtest/gtest.h>

#include <optional>

namespace glyphary::formats {
namespace {

using testing::dibImage;
using testing::icoFile;
using testing::ResourceBuilder;
using testing::versionResource;
namespace layout = testing::pe_layout;
namespace ne_layout = testing::ne_layout;

ResourceBuilder fourGroups()
{
    ResourceBuilder builder;
    for (std::uint16_t id = 1; id <= 4; ++id)
        builder.iconGroup(ResourceName::byId(id), {dibImage(4, 32, static_cast<std::uint8_t>(id))});
    return builder;
}

TEST(PeImageHeaders, MapsRvasAsTheLoaderDoes)
{
    ByteVector file = fourGroups().pe32();
    auto image = parsePeImage(file);
    ASSERT_TRUE(image.ok());
    EXPECT_EQ(image->fileOffsetOf(0x40, 4).value(), 0x40u); // inside SizeOfHeaders
    EXPECT_EQ(image->fileOffsetOf(0x1000, 4).value(), 0x200u);
    EXPECT_EQ(image->fileOffsetOf(0x11F0, 0x20).error(), (ImageError{ImageErrorKind::RvaBeyondRawData, 0x11F0}));
    EXPECT_EQ(image->fileOffsetOf(0x9000, 4).error(), (ImageError{ImageErrorKind::RvaInNoSection, 0x9000}));

    // PointerToRawData is rounded down to 512 when FileAlignment allows it.
    setU32le(file, layout::resourceSectionHeader(false) + 20, layout::kResourceRoot + 0x1F);
    image = parsePeImage(file);
    EXPECT_EQ(image->fileOffsetOf(layout::kResourceRva, 4).value(), layout::kResourceRoot);
    EXPECT_EQ(parseIconResources(file)->groups(GroupKind::Icon).size(), 4u);

    // Below page alignment, RVAs are file offsets.
    setU32le(file, layout::kOptionalHeader + 32, 0x200);
    image = parsePeImage(file);
    EXPECT_EQ(image->fileOffsetOf(0x1000, 4).value(), 0x1000u);
}

// One valid PE32 with the groups MAIN and 2; each case breaks some fields.
class PeCorruption : public ::testing::Test {
protected:
    struct Patch {
        std::size_t at;
        std::uint32_t value;
        int width = 4;
    };

    ByteVector patched(const std::vector<Patch>& patches) const
    {
        ByteVector bytes = file;
        for (const Patch& patch : patches) {
            if (patch.width == 1)
                bytes[patch.at] = static_cast<std::uint8_t>(patch.value);
            else if (patch.width == 2)
                setU16le(bytes, patch.at, static_cast<std::uint16_t>(patch.value));
            else
                setU32le(bytes, patch.at, patch.value);
        }
        return bytes;
    }

    // The resource section: root (RT_ICON 3, RT_GROUP_ICON 14), then RT_ICON's directory.
    static constexpr std::size_t kRoot = layout::kResourceRoot;
    static constexpr std::size_t kIconTypeDirectory = kRoot + 16 + 2 * 8;
    static constexpr std::size_t kSectionHeader = layout::resourceSectionHeader(false);
    std::size_t at(std::size_t field) const { return kRoot + (*ByteReader(file).u32le(field) & 0x7FFFFFFF); }
    // RT_ICON id 1's language directory, its data entry; RT_GROUP_ICON's directory (MAIN first).
    std::size_t iconNameDirectory() const { return at(kIconTypeDirectory + 16 + 4); }
    std::size_t firstDataEntry() const { return at(iconNameDirectory() + 16 + 4); }
    std::size_t groupTypeDirectory() const { return at(kRoot + 16 + 8 + 4); }

    const ByteVector file = ResourceBuilder()
                                .iconGroup(ResourceName::byName(u"MAIN"), {dibImage(4, 32, 1)})
                                .iconGroup(ResourceName::byId(2), {dibImage(4, 32, 2)})
                                .pe32();
};

TEST_F(PeCorruption, RejectsBrokenHeadersWithTheirPlace)
{
    const struct {
        Patch patch;
        ImageError error;
    } cases[] = {
        {{0x3C, static_cast<std::uint32_t>(file.size())}, {ImageErrorKind::NewHeaderOutOfRange, 0x3C}},
        {{layout::kPeHeader + 1, 'X', 1}, {ImageErrorKind::UnknownSignature, layout::kPeHeader}},
        {{layout::kCoffHeader + 2, 65535, 2}, {ImageErrorKind::TooManySections, layout::kCoffHeader + 2}},
        {{layout::kCoffHeader + 2, kMaxPeSections, 2}, {ImageErrorKind::SectionTableOutOfRange, layout::sectionTable(false)}},
        {{layout::kCoffHeader + 16, 0xF000, 2}, {ImageErrorKind::SectionTableOutOfRange, layout::kOptionalHeader + 0xF000}},
        {{layout::kCoffHeader + 16, 64, 2}, {ImageErrorKind::TruncatedOptionalHeader, layout::kCoffHeader + 16}},
        {{layout::kOptionalHeader, 0x107, 2}, {ImageErrorKind::UnknownOptionalHeaderMagic, layout::kOptionalHeader}},
        {{layout::kOptionalHeader + 112, 0x9000}, {ImageErrorKind::RvaInNoSection, 0x9000}}, // the resource directory
        {{kSectionHeader + 20, 0x7FFFF000}, {ImageErrorKind::RangePastEndOfFile, 0x7FFFF000}},
    };
    for (const auto& [patch, error] : cases) {
        const ByteVector bytes = patched({patch});
        const auto resources = parseIconResources(bytes);
        ASSERT_FALSE(resources.ok()) << patch.at;
        EXPECT_EQ(resources.error(), error) << patch.at;
    }
}

TEST_F(PeCorruption, LeavesOutWhatPointsNowhereAndKeepsTheRest)
{
    enum Main { Kept, NoImages, Gone };
    const struct {
        const char* what;
        std::vector<Patch> patches;
        ImageErrorKind kind;
        std::optional<std::uint64_t> onlyAt; // the one part left out, where given
        Main main;
    } cases[] = {
        {"RT_ICON's directory is the root", {{kRoot + 16 + 4, 0x80000000}}, ImageErrorKind::ResourceLoop, kRoot, NoImages},
        {"a language entry points back up",
            {{iconNameDirectory() + 16 + 4, 0x80000000 | static_cast<std::uint32_t>(kIconTypeDirectory - kRoot)}},
            ImageErrorKind::ResourceTooDeep, std::nullopt, NoImages},
        {"MAIN's name string far away", {{groupTypeDirectory() + 16, 0xFFFFFF00}}, ImageErrorKind::ResourceNameOutOfRange,
            std::nullopt, Gone},
        {"MAIN's name 1000 long", {{at(groupTypeDirectory() + 16), 1000, 2}}, ImageErrorKind::ResourceNameOutOfRange,
            std::nullopt, Gone},
        {"data RVA in no section", {{firstDataEntry(), 0x00700000}}, ImageErrorKind::RvaInNoSection, 0x00700000, NoImages},
        {"data past the raw data", {{firstDataEntry() + 4, 0x100000}}, ImageErrorKind::RvaBeyondRawData, std::nullopt, NoImages},
        {"data past the file", {{firstDataEntry() + 4, 0x100000}, {kSectionHeader + 16, 0xFFFFFF00}},
            ImageErrorKind::RangePastEndOfFile, std::nullopt, NoImages},
        {"data in the zero-filled tail", {{kSectionHeader + 8, 0x10000}, {firstDataEntry(), layout::kResourceRva + 0x8000}},
            ImageErrorKind::RvaBeyondRawData, layout::kResourceRva + 0x8000, NoImages},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ByteVector bytes = patched(c.patches);
        const auto resources = parseIconResources(bytes);
        ASSERT_TRUE(resources.ok());
        if (c.onlyAt) {
            EXPECT_EQ(resources->skipped(), std::vector<ImageError>{(ImageError{c.kind, *c.onlyAt})});
        }
        EXPECT_TRUE(testing::hasSkipped(*resources, c.kind));
        const auto main = resources->findGroup(GroupKind::Icon, ResourceName::byName(u"MAIN"));
        ASSERT_EQ(main.has_value(), c.main != Gone);
        if (main) {
            EXPECT_EQ(resources->groupFile(GroupKind::Icon, *main).error().kind, ImageErrorKind::GroupHasNoImages);
        }
        EXPECT_EQ(resources->groups(GroupKind::Icon).size(), c.main == Gone ? 1u : 2u);
        const auto second = resources->findGroup(GroupKind::Icon, ResourceName::byId(2));
        ASSERT_TRUE(second);
        if (c.kind == ImageErrorKind::ResourceLoop) // every image is lost
            EXPECT_EQ(resources->groupFile(GroupKind::Icon, *second).error().kind, ImageErrorKind::GroupHasNoImages);
        else
            EXPECT_EQ(resources->groupFile(GroupKind::Icon, *second).value(), icoFile({dibImage(4, 32, 2)}));
    }
    const auto loop = parseIconResources(patched({{kRoot + 16 + 4, 0x80000000}}));
    EXPECT_EQ(describe(loop->skipped()[0]), "resource directory refers back to a directory already read (offset 0x400)");
}

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
    static constexpr std::size_t kIconTypeInfo = ne_layout::kResourceTable + 2;
    static constexpr std::size_t kFirstIconNameInfo = kIconTypeInfo + 8;
    static constexpr std::size_t kGroupTypeInfo = kIconTypeInfo + 8 + 2 * 12;

    const ByteVector file = ResourceBuilder()
                                .iconGroup(ResourceName::byName(u"MAIN"), {dibImage(4, 32, 1)})
                                .iconGroup(ResourceName::byId(2), {dibImage(4, 32, 2)})
                                .ne();
    ByteVector bytes;
};

TEST_F(NeLibrary, RejectsBrokenHeadersWithTheirPlace)
{
    bytes = file;
    setU32le(bytes, 0x3C, static_cast<std::uint32_t>(file.size() - 0x20));
    bytes[file.size() - 0x20] = 'N';
    bytes[file.size() - 0x1F] = 'E';
    EXPECT_EQ(parseIconResources(bytes).error(), (ImageError{ImageErrorKind::TruncatedNeHeader, file.size() - 0x20}));
    EXPECT_EQ(readWith(ne_layout::kResourceTable, 40).error(), (ImageError{ImageErrorKind::BadAlignShift, ne_layout::kResourceTable}));
    bytes = file;
    setU16le(bytes, ne_layout::kNeHeader + 0x24, 0xF000); // resource table far past the end
    setU16le(bytes, ne_layout::kNeHeader + 0x26, 0xF100);
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

ResourceBuilder browserWithVersion(std::uint16_t major, std::uint16_t minor)
{
    ResourceBuilder builder;
    builder.iconGroup(ResourceName::byId(1), {dibImage(4)}).version(major, minor);
    return builder;
}

TEST(VersionResource, ReadsTheFixedBlockOfPeAndNeFiles)
{
    EXPECT_EQ(productMajorVersion(browserWithVersion(5, 50).pe32()), 5);
    EXPECT_EQ(productMajorVersion(browserWithVersion(11, 0).pe32Plus()), 11);
    EXPECT_EQ(productMajorVersion(browserWithVersion(3, 10).ne()), 3);
}

TEST(VersionResource, GivesNothingWithoutVersionInformation)
{
    ResourceBuilder iconsOnly;
    iconsOnly.iconGroup(ResourceName::byId(1), {dibImage(4)});
    ResourceBuilder wrongId; // only id 1 is the version resource
    wrongId.raw(ResourceName::byId(resource_type::kVersion), ResourceName::byId(2), versionResource(ExecutableFormat::Pe, 6, 0));
    for (const ByteVector& file : {iconsOnly.pe32(), iconsOnly.ne(), ByteVector{}, testing::icoFile({dibImage(4)}), wrongId.pe32()})
        EXPECT_EQ(productMajorVersion(file), std::nullopt) << file.size();
}

TEST(VersionResource, FindsAMovedFixedBlockByItsSignatureAndNeedsAllOfIt)
{
    ByteVector resource = versionResource(ExecutableFormat::Pe, 7, 1);
    resource.insert(resource.begin() + 38, 4, 0); // the key padded to 44 instead of 40
    ASSERT_EQ(*ByteReader(resource).u32le(44), kFixedFileInfoSignature);
    EXPECT_EQ(parseFixedFileInfo(resource, ExecutableFormat::Pe)->productMajorVersion(), 7);

    ResourceBuilder builder;
    builder.raw(ResourceName::byId(resource_type::kVersion), ResourceName::byId(1), resource);
    EXPECT_EQ(productMajorVersion(builder.pe32()), 7);

    // Without its signature or a complete fixed part there is no block.
    const ByteVector plain = versionResource(ExecutableFormat::Pe, 7, 1);
    EXPECT_FALSE(parseFixedFileInfo(Bytes(plain).first(40 + 51), ExecutableFormat::Pe));
    EXPECT_TRUE(parseFixedFileInfo(Bytes(plain).first(40 + 52), ExecutableFormat::Pe));
    ByteVector unsigned_ = plain;
    unsigned_[40] = 0;
    EXPECT_FALSE(parseFixedFileInfo(unsigned_, ExecutableFormat::Pe));
}

} // namespace
} // namespace glyphary::formats
