#include "libs/glread32/Glread32.h"
#include "builder/ZipWriter.h"
#include "platform/WindowsPaths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zip.h>

#include <cstdint>
#include <optional>

namespace glyphary {
namespace {

const std::string kPassword = "Quenchbarrow";
const std::string kArchive = "C:\\Glyphary\\Iconlib.res";
const std::string kTemp = "C:\\WINDOWS\\TEMP\\";

// Part repeating, part noise, so deflate has work to do and the bytes still tell members apart.
QByteArray sampleBytes(int size, std::uint32_t seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    std::uint32_t state = seed;
    for (int i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = (i / 64) % 2 == 0 ? static_cast<char>(i % 7) : static_cast<char>(state >> 24);
    }
    return bytes;
}

std::uint32_t get32(const QByteArray& bytes, qsizetype at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}
std::uint16_t get16(const QByteArray& bytes, qsizetype at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8);
}
void put32(QByteArray& bytes, qsizetype at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Local header fields (offsets from its start).
constexpr qsizetype kLocalFlags = 6;
constexpr qsizetype kLocalCompressedSize = 18;
constexpr qsizetype kLocalNameLength = 26;
constexpr qsizetype kLocalExtraLength = 28;
constexpr qsizetype kLocalHeaderSize = 30;
// Central directory header fields.
constexpr std::uint32_t kCentralSignature = 0x02014B50;
constexpr qsizetype kCentralUncompressedSize = 24;

class Glread32Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.isValid());
        ASSERT_TRUE(QDir().mkpath(host("drive_c/windows/temp")));
        ASSERT_TRUE(QDir().mkpath(host("drive_c/Glyphary")));
        ASSERT_TRUE(QDir().mkpath(host("work")));
    }

    QString host(const QString& relative) const { return root_.filePath(relative); }
    QString tempFolder() const { return host("drive_c/windows/temp"); }
    QString archiveFile() const { return host("drive_c/Glyphary/Iconlib.res"); }

    static void writeHost(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    static QByteArray readHost(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Every file under the root, hidden ones included, relative to it.
    QSet<QString> filesUnderRoot() const
    {
        QSet<QString> files;
        QDirIterator it(root_.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.insert(QDir(root_.path()).relativeFilePath(it.next()));
        return files;
    }
    QStringList filesInTemp() const
    {
        return QDir(tempFolder()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    void clearTemp() const
    {
        for (const QString& name : filesInTemp())
            QFile::remove(QDir(tempFolder()).filePath(name));
    }

    QByteArray buildArchive(const std::vector<ZipMember>& members,
                            ZipEncryption encryption = ZipEncryption::TraditionalPkware) const
    {
        QString error;
        const std::optional<QByteArray> bytes = buildEncryptedZip(members, kPassword, &error, encryption);
        EXPECT_TRUE(bytes.has_value()) << error.toStdString();
        return bytes.value_or(QByteArray());
    }

    // The six calls in the order the program makes them; the status of addUNZIP.
    int extract(const std::string& member, const std::string& password = kPassword, int overwrite = 11,
                std::string folder = kTemp)
    {
        std::string archive = kArchive;
        reader_.addUNZIP_ArchiveName(archive);
        reader_.addUNZIP_Decrypt(password);
        reader_.addUNZIP_Include(member);
        reader_.addUNZIP_ExtractTo(folder);
        reader_.addUNZIP_Overwrite(overwrite);
        return reader_.addUNZIP();
    }

    // A damaged archive either still yields the exact member or fails and leaves no file.
    int expectExactOrNothing(const QByteArray& archive, const QByteArray& expected, const std::string& what)
    {
        writeHost(archiveFile(), archive);
        const int status = extract("13.lib");
        if (status == Glread32::Ok) {
            EXPECT_EQ(readHost(QDir(tempFolder()).filePath("13.lib")), expected) << what;
            clearTemp();
        } else {
            EXPECT_TRUE(filesInTemp().isEmpty()) << what << " status " << status;
        }
        return status;
    }

    bool infoZip(const QStringList& arguments) const
    {
        QProcess zip;
        zip.setWorkingDirectory(host("work"));
        zip.start(QStandardPaths::findExecutable("zip"), arguments);
        return zip.waitForFinished(30000) && zip.exitStatus() == QProcess::NormalExit && zip.exitCode() == 0;
    }

    QTemporaryDir root_;
    platform::WindowsPaths paths_{root_.path()};
    Glread32 reader_{paths_};
    const QByteArray member12_ = sampleBytes(5000, 12);
    const QByteArray member13_ = sampleBytes(3000, 13);
};

TEST_F(Glread32Test, WriterArchiveIsTraditionallyEncryptedAndExtractsExactBytes)
{
    const QByteArray archive = buildArchive({{"12.lib", member12_}, {"13.lib", member13_}});
    ASSERT_GE(archive.size(), kLocalHeaderSize);
    EXPECT_EQ(get16(archive, kLocalFlags) & 0x0001, 0x0001); // encrypted
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(archive.constData(), static_cast<zip_uint64_t>(archive.size()), 0, &error);
    ASSERT_NE(source, nullptr);
    zip_t* opened = zip_open_from_source(source, ZIP_RDONLY, &error);
    ASSERT_NE(opened, nullptr);
    zip_stat_t stat;
    ASSERT_EQ(zip_stat_index(opened, 0, 0, &stat), 0);
    EXPECT_EQ(stat.encryption_method, ZIP_EM_TRAD_PKWARE);
    EXPECT_EQ(stat.comp_method, ZIP_CM_DEFLATE);
    zip_discard(opened);
    zip_error_fini(&error);

    writeHost(archiveFile(), archive);
    EXPECT_EQ(extract("13.lib"), Glread32::Ok);
    EXPECT_EQ(readHost(QDir(tempFolder()).filePath("13.lib")), member13_);
    EXPECT_EQ(filesInTemp(), QStringList{"13.lib"});
}

TEST_F(Glread32Test, AesArchiveExtractsExactBytes)
{
    if (zip_encryption_method_supported(ZIP_EM_AES_256, 1) == 0)
        GTEST_SKIP() << "this libzip was built without AES";
    writeHost(archiveFile(), buildArchive({{"12.lib", member12_}}, ZipEncryption::Aes256));
    EXPECT_EQ(extract("12.lib"), Glread32::Ok);
    EXPECT_EQ(readHost(QDir(tempFolder()).filePath("12.lib")), member12_);
}

TEST_F(Glread32Test, InfoZipArchivesStoredAndDeflatedExtractExactBytes)
{
    if (QStandardPaths::findExecutable("zip").isEmpty())
        GTEST_SKIP() << "Info-ZIP zip is not installed (apt-get install zip)";
    writeHost(host("work/12.lib"), member12_);
    for (const char* level : {"-0", "-9"}) {
        QFile::remove(archiveFile());
        ASSERT_TRUE(infoZip({"-q", "-j", level, "-P", QString::fromStdString(kPassword), archiveFile(), "12.lib"}));
        EXPECT_EQ(extract("12.lib"), Glread32::Ok) << level;
        EXPECT_EQ(readHost(QDir(tempFolder()).filePath("12.lib")), member12_) << level;
        clearTemp();
        EXPECT_NE(extract("12.lib", "Quenchbarrov"), Glread32::Ok) << level;
        EXPECT_TRUE(filesInTemp().isEmpty()) << level;
    }
}

TEST_F(Glread32Test, InfoZipUnzipOpensWriterArchive)
{
    const QString unzip = QStandardPaths::findExecutable("unzip");
    if (unzip.isEmpty())
        GTEST_SKIP() << "Info-ZIP unzip is not installed";
    writeHost(archiveFile(), buildArchive({{"12.lib", member12_}}));
    QProcess process;
    process.start(unzip, {"-p", "-P", QString::fromStdString(kPassword), archiveFile(), "12.lib"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardOutput(), member12_);
}

TEST_F(Glread32Test, WrongOrMissingPasswordLeavesNoFile)
{
    std::vector<std::pair<const char*, QByteArray>> archives = {{"pkware", buildArchive({{"12.lib", member12_}})}};
    if (zip_encryption_method_supported(ZIP_EM_AES_256, 1) != 0)
        archives.emplace_back("aes", buildArchive({{"12.lib", member12_}}, ZipEncryption::Aes256));
    for (const auto& [kind, archive] : archives) {
        writeHost(archiveFile(), archive);
        // One wrong key in 256 passes the ZipCrypto check byte and is caught by the CRC instead.
        for (const std::string& wrong : {std::string("quenchbarrow"), std::string("Quenchbarro"), std::string("x")}) {
            const int status = extract("12.lib", wrong);
            EXPECT_TRUE(status == Glread32::WrongPassword || status == Glread32::MemberUnreadable) << kind << status;
            EXPECT_TRUE(filesInTemp().isEmpty()) << kind;
        }
        EXPECT_EQ(extract("12.lib", ""), Glread32::WrongPassword) << kind;
        EXPECT_TRUE(filesInTemp().isEmpty()) << kind;
    }
}

TEST_F(Glread32Test, FlippedBytesGiveExactMemberOrNoFile)
{
    std::vector<std::pair<const char*, QByteArray>> archives = {{"pkware", buildArchive({{"13.lib", member13_}})}};
    if (zip_encryption_method_supported(ZIP_EM_AES_256, 1) != 0)
        archives.emplace_back("aes", buildArchive({{"13.lib", member13_}}, ZipEncryption::Aes256));
    for (const auto& [kind, archive] : archives) {
        const qsizetype dataStart = kLocalHeaderSize + get16(archive, kLocalNameLength) + get16(archive, kLocalExtraLength);
        const qsizetype dataEnd = dataStart + get32(archive, kLocalCompressedSize);
        ASSERT_LE(dataEnd, archive.size());
        for (qsizetype at = 0; at < archive.size(); ++at) {
            QByteArray broken = archive;
            broken[at] = static_cast<char>(broken[at] ^ 0x5A);
            const std::string what = std::string(kind) + " flipped at " + std::to_string(at);
            const int status = expectExactOrNothing(broken, member13_, what);
            // Encrypted data is covered by the CRC or the MAC: any change there must be refused.
            if (at >= dataStart && at < dataEnd) {
                EXPECT_NE(status, Glread32::Ok) << what;
            }
        }
    }
}

TEST_F(Glread32Test, TruncatedArchiveIsUnreadableAtEveryLength)
{
    const QByteArray archive = buildArchive({{"12.lib", member12_}});
    for (qsizetype length = 0; length < archive.size(); ++length) {
        writeHost(archiveFile(), archive.left(length));
        const int status = extract("12.lib");
        EXPECT_EQ(status, Glread32::ArchiveUnreadable) << "length " << length;
        ASSERT_TRUE(filesInTemp().isEmpty()) << "length " << length;
    }
}

TEST_F(Glread32Test, MissingArchiveOrMemberIsReported)
{
    std::string archive = kArchive;
    EXPECT_EQ(reader_.addUNZIP_ArchiveName(archive), Glread32::ArchiveUnreadable);
    EXPECT_EQ(extract("12.lib"), Glread32::ArchiveUnreadable);

    Glread32 fresh(paths_);
    std::string folder = kTemp;
    fresh.addUNZIP_Include("12.lib");
    fresh.addUNZIP_ExtractTo(folder);
    EXPECT_EQ(fresh.addUNZIP(), Glread32::ArchiveUnreadable); // no archive chosen yet

    writeHost(archiveFile(), "not a zip archive at all, just text that is long enough to look for a directory");
    EXPECT_EQ(extract("12.lib"), Glread32::ArchiveUnreadable);

    writeHost(archiveFile(), buildArchive({{"12.lib", member12_}}));
    EXPECT_EQ(extract("14.lib"), Glread32::MemberNotFound);
    EXPECT_EQ(extract("12"), Glread32::MemberNotFound);
    EXPECT_TRUE(filesInTemp().isEmpty());
}

TEST_F(Glread32Test, IncludeMatchesMemberIgnoringCaseAndWritesTheIncludeName)
{
    writeHost(archiveFile(), buildArchive({{"Abc.Lib", member12_}}));
    EXPECT_EQ(extract("ABC.LIB"), Glread32::Ok);
    EXPECT_EQ(filesInTemp(), QStringList{"ABC.LIB"});
    EXPECT_EQ(readHost(QDir(tempFolder()).filePath("ABC.LIB")), member12_);
}

TEST_F(Glread32Test, NamesThatAreNotPlainFileNamesAreRefused)
{
    writeHost(archiveFile(), buildArchive({{"12.lib", member12_}}));
    const QSet<QString> before = filesUnderRoot();
    for (const std::string& name :
         {std::string("..\\12.lib"), std::string(".."), std::string("..\\..\\Glyphary\\Iconlib.res"),
          std::string("a\\12.lib"), std::string("a/12.lib"), std::string("/12.lib"), std::string("\\12.lib"),
          std::string("C:12.lib"), std::string("C:\\12.lib"), std::string(""), std::string("12.lib."),
          std::string("12.lib\n"), std::string("*.lib")}) {
        EXPECT_EQ(reader_.addUNZIP_Include(name), Glread32::BadMemberName) << name;
        EXPECT_EQ(extract(name), Glread32::BadMemberName) << name;
    }
    EXPECT_EQ(filesUnderRoot(), before);
}

TEST_F(Glread32Test, MemberInASubfolderDoesNotMatchItsBareName)
{
    // Built with libzip directly: our writer refuses such names.
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    zip_source_t* data = zip_source_buffer(archive, member12_.constData(), static_cast<zip_uint64_t>(member12_.size()), 0);
    ASSERT_GE(zip_file_add(archive, "../12.lib", data, 0), 0);
    ASSERT_EQ(zip_close(archive), 0);
    zip_stat_t stat;
    ASSERT_EQ(zip_source_stat(buffer, &stat), 0);
    QByteArray bytes(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
    ASSERT_EQ(zip_source_open(buffer), 0);
    ASSERT_EQ(zip_source_read(buffer, bytes.data(), stat.size), static_cast<zip_int64_t>(stat.size));
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);

    writeHost(archiveFile(), bytes);
    const QSet<QString> before = filesUnderRoot();
    EXPECT_EQ(extract("12.lib"), Glread32::MemberNotFound);
    EXPECT_EQ(filesUnderRoot(), before);
}

TEST_F(Glread32Test, OverwriteOnlyInMode11)
{
    writeHost(archiveFile(), buildArchive({{"12.lib", member12_}}));
    const QString target = QDir(tempFolder()).filePath("12.lib");
    writeHost(target, "old");
    EXPECT_EQ(extract("12.lib", kPassword, 0), Glread32::TargetExists);
    EXPECT_EQ(readHost(target), QByteArray("old"));
    EXPECT_EQ(extract("12.lib", kPassword, 1), Glread32::TargetExists);
    EXPECT_EQ(readHost(target), QByteArray("old"));
    EXPECT_EQ(extract("12.lib", kPassword, 11), Glread32::Ok);
    EXPECT_EQ(readHost(target), member12_);
    EXPECT_EQ(filesInTemp(), QStringList{"12.lib"});
}

TEST_F(Glread32Test, OverwriteReplacesTheFileThatDiffersOnlyInCase)
{
    writeHost(archiveFile(), buildArchive({{"12.lib", member12_}}));
    writeHost(QDir(tempFolder()).filePath("12.LIB"), "old");
    EXPECT_EQ(extract("12.lib"), Glread32::Ok);
    EXPECT_EQ(filesInTemp(), QStringList{"12.LIB"});
    EXPECT_EQ(readHost(QDir(tempFolder()).filePath("12.LIB")), member12_);
}

TEST_F(Glread32Test, ExtractToRewritesTheFolderToEndInOneBackslash)
{
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\WINDOWS\\TEMP", "C:\\WINDOWS\\TEMP\\"},
        {"C:\\WINDOWS\\TEMP\\", "C:\\WINDOWS\\TEMP\\"},
        {"C:\\WINDOWS\\TEMP\\\\\\", "C:\\WINDOWS\\TEMP\\"},
        {"c:\\windows\\temp/", "c:\\windows\\temp\\"},
        {std::string("C:\\WINDOWS\\TEMP\\\0\0\0\0", 20), "C:\\WINDOWS\\TEMP\\"},
    };
    for (const auto& [given, expected] : cases) {
        std::string buffer = given;
        EXPECT_EQ(reader_.addUNZIP_ExtractTo(buffer), Glread32::Ok);
        EXPECT_EQ(buffer, expected);
    }
    std::string missing = "C:\\NOWHERE";
    EXPECT_EQ(reader_.addUNZIP_ExtractTo(missing), Glread32::WriteFailed);
    EXPECT_EQ(missing, "C:\\NOWHERE\\");

    writeHost(archiveFile(), buildArchive({{"12.lib", member12_}}));
    EXPECT_EQ(extract("12.lib", kPassword, 11, "c:\\windows\\temp"), Glread32::Ok);
    EXPECT_EQ(readHost(QDir(tempFolder()).filePath("12.lib")), member12_);
    EXPECT_EQ(extract("12.lib", kPassword, 11, "C:\\NOWHERE\\"), Glread32::WriteFailed);
}

TEST_F(Glread32Test, OversizedMemberIsRefusedEvenWhenTheDirectoryUnderstatesIt)
{
    const QByteArray huge(static_cast<qsizetype>(Glread32::kMaxMemberSize) + 1, '\0');
    QByteArray archive = buildArchive({{"12.lib", huge}});
    writeHost(archiveFile(), archive);
    EXPECT_EQ(extract("12.lib"), Glread32::MemberTooLarge);
    EXPECT_TRUE(filesInTemp().isEmpty());

    const qsizetype central = archive.indexOf(QByteArray("PK\x01\x02", 4));
    ASSERT_GT(central, 0);
    ASSERT_EQ(get32(archive, central), kCentralSignature);
    put32(archive, central + kCentralUncompressedSize, 100);
    writeHost(archiveFile(), archive);
    EXPECT_EQ(extract("12.lib"), Glread32::MemberTooLarge);
    EXPECT_TRUE(filesInTemp().isEmpty());
}

TEST(ZipWriter, RefusesNamesThatAreNotPlainOrDifferOnlyInCase)
{
    QString error;
    EXPECT_FALSE(buildEncryptedZip({{"..\\12.lib", "x"}}, kPassword, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(buildEncryptedZip({{"12.lib", "x"}, {"12.LIB", "y"}}, kPassword, &error));
    EXPECT_FALSE(buildEncryptedZip({{"12.lib", "x"}}, "", &error));
    EXPECT_FALSE(buildEncryptedZip({}, kPassword, &error));
}

TEST(ZipWriter, ReplacesTheFileOnlyOnSuccess)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("Iconlib.res");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("previous");
    }
    QString error;
    EXPECT_FALSE(writeEncryptedZip(path, {{"a/b.lib", "x"}}, kPassword, &error));
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("previous"));
    kept.close();

    EXPECT_TRUE(writeEncryptedZip(path, {{"1.lib", "one"}}, kPassword, &error)) << error.toStdString();
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("PK\x03\x04"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Iconlib.res"});

    EXPECT_FALSE(writeEncryptedZip(dir.filePath("missing/Iconlib.res"), {{"1.lib", "one"}}, kPassword, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace glyphary
