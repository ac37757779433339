#include "builder/ZipWriter.h"
#include "libs/glread32/Glread32.h"
#include "platform/WindowsPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zip.h>

namespace glyphary {
namespace {

// AES members as 7-Zip writes them: AE-2, no CRC stored, the authentication code the only guard.
class Ae2ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (zip_encryption_method_supported(ZIP_EM_AES_256, 1) == 0)
            GTEST_SKIP() << "this libzip was built without AES";
        QDir().mkpath(dir.filePath(QStringLiteral("drive_c/temp")));
        for (int i = 0; i < 40000; ++i)
            member.append(static_cast<char>(i % 251 < 128 ? i % 7 : (i * 2654435761u) >> 24));
        std::optional<QByteArray> built = buildEncryptedZip({{"12.lib", member}, {"empty.lib", {}}}, kPassword, nullptr,
                                                            ZipEncryption::Aes256Ae2);
        ASSERT_TRUE(built);
        archive = *built;
    }

    int extract(const QByteArray& bytes, const std::string& name, const std::string& password = kPassword)
    {
        QFile file(dir.filePath(QStringLiteral("drive_c/lib.res")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        Glread32 reader(paths);
        std::string archivePath = "C:\\lib.res";
        std::string folder = "C:\\temp";
        reader.addUNZIP_ArchiveName(archivePath);
        reader.addUNZIP_Decrypt(password);
        reader.addUNZIP_Include(name);
        reader.addUNZIP_ExtractTo(folder);
        reader.addUNZIP_Overwrite(Glread32::kOverwriteExisting);
        return reader.addUNZIP();
    }

    QByteArray extracted(const char* name) const
    {
        QFile file(dir.filePath(QStringLiteral("drive_c/temp/") + QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }

    static std::uint32_t get32(const QByteArray& bytes, qsizetype at)
    {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    }

    static inline const std::string kPassword = "Quenchbarrow";
    QTemporaryDir dir;
    platform::WindowsPaths paths{dir.path()};
    QByteArray member;
    QByteArray archive;
};

TEST_F(Ae2ArchiveTest, TheWriterMarksEntriesAe2WithoutCrc)
{
    ASSERT_EQ(get32(archive, 0), 0x04034b50u);
    EXPECT_EQ(get32(archive, 14), 0u) << "local CRC";
    const qsizetype central = archive.indexOf(QByteArrayView("PK\x01\x02", 4));
    ASSERT_GT(central, 0);
    EXPECT_EQ(get32(archive, central + 16), 0u) << "central CRC";
    const qsizetype aesField = archive.indexOf(QByteArrayView("\x01\x99\x07\x00\x02\x00", 6), central);
    EXPECT_GT(aesField, central) << "central AES field with vendor version 2";
}

TEST_F(Ae2ArchiveTest, MembersExtractExactlyAndABrokenCodeOrPasswordLeavesNothing)
{
    EXPECT_EQ(extract(archive, "12.lib"), Glread32::Ok);
    EXPECT_EQ(extracted("12.lib"), member);
    EXPECT_EQ(extract(archive, "empty.lib"), Glread32::Ok);
    EXPECT_EQ(extracted("empty.lib"), QByteArray());

    QDir(dir.filePath(QStringLiteral("drive_c/temp"))).removeRecursively();
    QDir().mkpath(dir.filePath(QStringLiteral("drive_c/temp")));
    EXPECT_EQ(extract(archive, "12.lib", "quenchbarrow"), Glread32::WrongPassword);
    // The last ten bytes of the member's data are its authentication code; then the encrypted data.
    const qsizetype dataEnd = archive.indexOf(QByteArrayView("PK\x03\x04", 4), 4);
    for (const qsizetype at : {dataEnd - 1, dataEnd - 11, dataEnd - 200}) {
        QByteArray broken = archive;
        broken[at] = static_cast<char>(broken[at] ^ 0x20);
        EXPECT_EQ(extract(broken, "12.lib"), Glread32::MemberUnreadable) << at;
    }
    EXPECT_EQ(extracted("12.lib"), QByteArray("<none>"));
}

} // namespace
} // namespace glyphary
