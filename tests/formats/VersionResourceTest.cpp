#include "formats/VersionResource.h"
#include "support/PeBuilder.h"

#include <gtest/gtest.h>

namespace glyphary::formats {
namespace {

using testing::dibImage;
using testing::ResourceBuilder;
using testing::versionResource;

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
    const auto info = readFixedFileInfo(browserWithVersion(4, 72).pe32());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->structureVersion, 0x00010000u);
    EXPECT_EQ(info->fileVersionMS, 0x00040048u);
    EXPECT_EQ(info->productVersionMS, 0x00040048u);
    EXPECT_EQ(info->fileOS, 0x40004u);
    EXPECT_EQ(info->fileType, 1u);
    EXPECT_EQ(readFixedFileInfo(browserWithVersion(3, 10).ne())->fileOS, 0x10001u);
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

TEST(VersionResource, FindsAMovedFixedBlockByItsSignature)
{
    ByteVector resource = versionResource(ExecutableFormat::Pe, 7, 1);
    resource.insert(resource.begin() + 38, 4, 0); // the key padded to 44 instead of 40
    ASSERT_EQ(*ByteReader(resource).u32le(44), kFixedFileInfoSignature);
    EXPECT_EQ(parseFixedFileInfo(resource, ExecutableFormat::Pe)->productMajorVersion(), 7);

    ResourceBuilder builder;
    builder.raw(ResourceName::byId(resource_type::kVersion), ResourceName::byId(1), resource);
    EXPECT_EQ(productMajorVersion(builder.pe32()), 7);
}

TEST(VersionResource, RejectsBlocksWithoutACompleteFixedPart)
{
    const ByteVector resource = versionResource(ExecutableFormat::Pe, 7, 1);
    EXPECT_FALSE(parseFixedFileInfo(Bytes(resource).first(40 + 51), ExecutableFormat::Pe));
    EXPECT_TRUE(parseFixedFileInfo(Bytes(resource).first(40 + 52), ExecutableFormat::Pe));
    ByteVector unsigned_ = resource;
    unsigned_[40] = 0;
    EXPECT_FALSE(parseFixedFileInfo(unsigned_, ExecutableFormat::Pe));
}

TEST(VersionResource, GivesTheVersionOrNothingForEveryTruncation)
{
    for (const ByteVector& file : {browserWithVersion(9, 2).pe32(), browserWithVersion(9, 2).ne()}) {
        for (std::size_t length = 0; length < file.size(); ++length) {
            const auto major = productMajorVersion(Bytes(file).first(length));
            if (major) {
                EXPECT_EQ(*major, 9) << "length " << length;
            }
        }
        EXPECT_EQ(productMajorVersion(file), 9);
    }
}

} // namespace
} // namespace glyphary::formats
