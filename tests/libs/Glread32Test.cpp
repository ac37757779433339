#include "libs/glread32/Glread32.h"
#include "builder/ZipWriter.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zip.h>

#include <optional>

namespace glyphary {
namespace {

const std::string kPassword = "Quenchbarrow";
const std::string kArchive = "C:\\Glyphary\\Iconlib.res";
const std::string kTemp = "C:\\WINDOWS\\TEMP\\";

// Local header fields (offsets from its start).
constexpr qsizetype kLocalFlags = 6, kLocalMethod = 8, kLocalCompressedSize = 18, kLocalNameLength = 26,
                    kLocalExtraLength = 28, kLocalHeaderSize = 30;
constexpr qsizetype kCentralUncompressedSize = 24; // in a central directory header

// Part repeating, part noise, so deflate has work to do and the bytes still tell members apart.
QByteArray sampleBytes(int size, std::uint32_t seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bytes[i] = (i / 64) % 2 == 0 ? static_cast<char>(i % 7) : static_cast<char>(seed >> 24);
    }
    return bytes;
}

std::uint32_t u32At(const QByteArray& bytes, qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }
std::uint16_t u16At(const QByteArray& bytes, qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); }

bool aesSupported() { return zip_encryption_method_supported(ZIP_EM_AES_256, 1) != 0; }

// The encryptions this libzip can write; AE-2 (as 7-Zip writes it) stores no CRC, the MAC is its only guard.
std::vector<std::pair<const char*, ZipEncryption>> encryptions()
{
    std::vector<std::pair<const char*, ZipEncryption>> all = {{"pkware", ZipEncryption::TraditionalPkware}};
    if (aesSupported()) {
        all.emplace_back("aes", ZipEncryption::Aes256);
        all.emplace_back("ae2", ZipEncryption::Aes256Ae2);
    }
    return all;
}

class Glread32Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"C:\\WINDOWS\\TEMP", "C:\\Glyphary", "C:\\work"})
            ASSERT_TRUE(QDir().mkpath(host(folder)));
    }

    QString host(const std::string& windowsPath) const { return root.host(QString::fromStdString(windowsPath)); }
    QByteArray extracted(const std::string& name) const { return root.readFile(QString::fromStdString(kTemp + name)); }
    QStringList inTemp() const { return QDir(host(kTemp)).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    void clearTemp() const
    {
        for (const QString& name : inTemp())
            QFile::remove(QDir(host(kTemp)).filePath(name));
    }
    // Every file under the root, hidden ones included.
    QSet<QString> filesUnderRoot() const
    {
        QSet<QString> files;
        QDirIterator it(root.rootPath(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.insert(it.next());
        return files;
    }

    static QByteArray archive(const std::vector<ZipMember>& members,
                              ZipEncryption encryption = ZipEncryption::TraditionalPkware)
    {
        QString error;
        const std::optional<QByteArray> bytes = buildEncryptedZip(members, kPassword, &error, encryption);
        EXPECT_TRUE(bytes.has_value()) << error.toStdString();
        return bytes.value_or(QByteArray());
    }
    void useArchive(const QByteArray& bytes) const { root.writeFile(QString::fromStdString(kArchive), bytes); }

    // The six calls in the order the program makes them; the status of addUNZIP.
    int extract(const std::string& member, const std::string& password = kPassword, int overwrite = 11,
                std::string folder = kTemp)
    {
        std::string archivePath = kArchive;
        reader.addUNZIP_ArchiveName(archivePath);
        reader.addUNZIP_Decrypt(password);
        reader.addUNZIP_Include(member);
        reader.addUNZIP_ExtractTo(folder);
        reader.addUNZIP_Overwrite(overwrite);
        return reader.addUNZIP();
    }

    // An Info-ZIP tool run in C:\work: its output, or nothing when it failed.
    std::optional<QByteArray> infoZip(const QString& program, const QStringList& arguments) const
    {
        QProcess process;
        process.setWorkingDirectory(host("C:\\work"));
        process.start(program, arguments);
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return std::nullopt;
        return process.readAllStandardOutput();
    }

    testing::TempRoot root;
    Glread32 reader{root.platform().paths()};
    const QByteArray member12 = sampleBytes(5000, 12);
    const QByteArray member13 = sampleBytes(3000, 13);
};

TEST_F(Glread32Test, WriterArchivesAreEncryptedAndDeflatedAndExtractExactBytes)
{
    const QByteArray pkware = archive({{"12.lib", member12}, {"13.lib", member13}});
    ASSERT_GE(pkware.size(), kLocalHeaderSize);
    EXPECT_EQ(u16At(pkware, kLocalFlags) & 1, 1);   // encrypted
    EXPECT_EQ(u16At(pkware, kLocalMethod), 8);      // deflated, not AES (99): what old readers open
    for (const auto& [kind, encryption] : encryptions()) {
        useArchive(archive({{"12.lib", member12}, {"13.lib", member13}}, encryption));
        EXPECT_EQ(extract("13.lib"), Glread32::Ok) << kind;
        EXPECT_EQ(extracted("13.lib"), member13) << kind;
        EXPECT_EQ(inTemp(), QStringList{"13.lib"}) << kind;
        clearTemp();
    }
}

TEST_F(Glread32Test, Ae2ArchivesStoreNoCrcAndAreGuardedByTheirAuthenticationCode)
{
    if (!aesSupported())
        GTEST_SKIP() << "this libzip was built without AES";
    const QByteArray ae2 = archive({{"12.lib", member12}, {"empty.lib", {}}}, ZipEncryption::Aes256Ae2);
    ASSERT_EQ(u32At(ae2, 0), 0x04034b50u);
    EXPECT_EQ(u32At(ae2, 14), 0u) << "local CRC";
    const qsizetype central = ae2.indexOf(QByteArray("PK\x01\x02", 4));
    ASSERT_GT(central, 0);
    EXPECT_EQ(u32At(ae2, central + 16), 0u) << "central CRC";
    EXPECT_GT(ae2.indexOf(QByteArray("\x01\x99\x07\x00\x02\x00", 6), central), central) << "AES field, vendor version 2";
    // The last ten bytes of the member's data are its authentication code; before them the encrypted data.
    const qsizetype dataEnd = ae2.indexOf(QByteArray("PK\x03\x04", 4), 4);
    for (const qsizetype at : {dataEnd - 1, dataEnd - 11, dataEnd - 200}) {
        QByteArray broken = ae2;
        broken[at] = static_cast<char>(broken[at] ^ 0x20);
        useArchive(broken);
        EXPECT_EQ(extract("12.lib"), Glread32::MemberUnreadable) << at;
    }
    useArchive(ae2);
    EXPECT_EQ(extract("12.lib", "quenchbarrow"), Glread32::WrongPassword);
    EXPECT_TRUE(inTemp().isEmpty());
    EXPECT_EQ(extract("empty.lib"), Glread32::Ok);
    EXPECT_EQ(inTemp(), QStringList{"empty.lib"});
    EXPECT_EQ(extracted("empty.lib"), QByteArray());
}

TEST_F(Glread32Test, InfoZipArchivesStoredAndDeflatedExtractExactBytesAndUnzipOpensOurs)
{
    const QString zip = QStandardPaths::findExecutable("zip");
    const QString unzip = QStandardPaths::findExecutable("unzip");
    if (zip.isEmpty() && unzip.isEmpty())
        GTEST_SKIP() << "Info-ZIP zip and unzip are not installed (apt-get install zip unzip)";
    root.writeFile(QStringLiteral("C:\\work\\12.lib"), member12);
    for (const char* level : {"-0", "-9"}) {
        if (zip.isEmpty())
            break;
        QFile::remove(host(kArchive));
        ASSERT_TRUE(infoZip(zip, {"-q", "-j", level, "-P", QString::fromStdString(kPassword), host(kArchive), "12.lib"}));
        EXPECT_EQ(extract("12.lib"), Glread32::Ok) << level;
        EXPECT_EQ(extracted("12.lib"), member12) << level;
        clearTemp();
        EXPECT_NE(extract("12.lib", "Quenchbarrov"), Glread32::Ok) << level;
        EXPECT_TRUE(inTemp().isEmpty()) << level;
    }
    if (!unzip.isEmpty()) {
        useArchive(archive({{"12.lib", member12}}));
        EXPECT_EQ(infoZip(unzip, {"-p", "-P", QString::fromStdString(kPassword), host(kArchive), "12.lib"}), member12);
    }
}

TEST_F(Glread32Test, WrongOrMissingPasswordLeavesNoFile)
{
    for (const auto& [kind, encryption] : encryptions()) {
        useArchive(archive({{"12.lib", member12}}, encryption));
        // One wrong key in 256 passes the ZipCrypto check byte and is caught by the CRC instead.
        for (const char* wrong : {"quenchbarrow", "Quenchbarro", "x"}) {
            const int status = extract("12.lib", wrong);
            EXPECT_TRUE(status == Glread32::WrongPassword || status == Glread32::MemberUnreadable) << kind << status;
            EXPECT_TRUE(inTemp().isEmpty()) << kind;
        }
        EXPECT_EQ(extract("12.lib", ""), Glread32::WrongPassword) << kind;
        EXPECT_TRUE(inTemp().isEmpty()) << kind;
    }
}

TEST_F(Glread32Test, FlippedBytesGiveExactMemberOrNoFileAndTruncatedArchivesNothing)
{
    for (const auto& [kind, encryption] : encryptions()) {
        const QByteArray good = archive({{"13.lib", member13}}, encryption);
        const qsizetype dataStart = kLocalHeaderSize + u16At(good, kLocalNameLength) + u16At(good, kLocalExtraLength);
        const qsizetype dataEnd = dataStart + u32At(good, kLocalCompressedSize);
        ASSERT_LE(dataEnd, good.size());
        for (qsizetype at = 0; at < good.size(); ++at) {
            QByteArray broken = good;
            broken[at] = static_cast<char>(broken[at] ^ 0x5A);
            useArchive(broken);
            const std::string what = std::string(kind) + " flipped at " + std::to_string(at);
            if (extract("13.lib") == Glread32::Ok) {
                // Encrypted data is covered by the CRC or the MAC: any change there must be refused.
                EXPECT_FALSE(at >= dataStart && at < dataEnd) << what;
                EXPECT_EQ(extracted("13.lib"), member13) << what;
                clearTemp();
            } else {
                EXPECT_TRUE(inTemp().isEmpty()) << what;
            }
        }
    }
    const QByteArray good = archive({{"12.lib", member12}});
    for (qsizetype length = 0; length < good.size(); ++length) {
        useArchive(good.left(length));
        EXPECT_EQ(extract("12.lib"), Glread32::ArchiveUnreadable) << "length " << length;
        ASSERT_TRUE(inTemp().isEmpty()) << "length " << length;
    }
}

TEST_F(Glread32Test, MissingArchiveOrMemberIsReported)
{
    std::string archivePath = kArchive;
    EXPECT_EQ(reader.addUNZIP_ArchiveName(archivePath), Glread32::ArchiveUnreadable);
    EXPECT_EQ(extract("12.lib"), Glread32::ArchiveUnreadable);

    Glread32 fresh(root.platform().paths());
    std::string folder = kTemp;
    fresh.addUNZIP_Include("12.lib");
    fresh.addUNZIP_ExtractTo(folder);
    EXPECT_EQ(fresh.addUNZIP(), Glread32::ArchiveUnreadable); // no archive chosen yet

    useArchive("not a zip archive at all, just text that is long enough to look for a directory");
    EXPECT_EQ(extract("12.lib"), Glread32::ArchiveUnreadable);
    useArchive(archive({{"12.lib", member12}}));
    EXPECT_EQ(extract("14.lib"), Glread32::MemberNotFound);
    EXPECT_EQ(extract("12"), Glread32::MemberNotFound);
    EXPECT_TRUE(inTemp().isEmpty());

    // A member in a folder does not match its bare name (our writer refuses such names: patched in).
    QByteArray nested = archive({{"xxx12.lib", member12}});
    ASSERT_EQ(nested.count("xxx12.lib"), 2);
    useArchive(nested.replace("xxx12.lib", "../12.lib"));
    const QSet<QString> before = filesUnderRoot();
    EXPECT_EQ(extract("12.lib"), Glread32::MemberNotFound);
    EXPECT_EQ(filesUnderRoot(), before);
}

TEST_F(Glread32Test, NamesThatAreNotPlainFileNamesAreRefused)
{
    useArchive(archive({{"12.lib", member12}}));
    const QSet<QString> before = filesUnderRoot();
    for (const std::string& name :
         {std::string("..\\12.lib"), std::string(".."), std::string("..\\..\\Glyphary\\Iconlib.res"),
          std::string("a\\12.lib"), std::string("a/12.lib"), std::string("/12.lib"), std::string("\\12.lib"),
          std::string("C:12.lib"), std::string("C:\\12.lib"), std::string(""), std::string("12.lib."),
          std::string("12.lib\n"), std::string("*.lib")}) {
        EXPECT_EQ(reader.addUNZIP_Include(name), Glread32::BadMemberName) << name;
        EXPECT_EQ(extract(name), Glread32::BadMemberName) << name;
    }
    EXPECT_EQ(filesUnderRoot(), before);
}

TEST_F(Glread32Test, NamesMatchIgnoringCaseAndOverwriteOnlyInMode11)
{
    useArchive(archive({{"Abc.Lib", member12}}));
    EXPECT_EQ(extract("ABC.LIB"), Glread32::Ok);
    EXPECT_EQ(inTemp(), QStringList{"ABC.LIB"}); // the include name is the file's
    EXPECT_EQ(extracted("ABC.LIB"), member12);

    useArchive(archive({{"12.lib", member12}}));
    root.writeFile(QString::fromStdString(kTemp + "12.lib"), QByteArray("old"));
    for (const int mode : {0, 1}) {
        EXPECT_EQ(extract("12.lib", kPassword, mode), Glread32::TargetExists) << mode;
        EXPECT_EQ(extracted("12.lib"), QByteArray("old")) << mode;
    }
    EXPECT_EQ(extract("12.lib", kPassword, 11), Glread32::Ok);
    EXPECT_EQ(extracted("12.lib"), member12);

    // Overwriting replaces the file that differs only in case.
    clearTemp();
    root.writeFile(QString::fromStdString(kTemp + "12.LIB"), QByteArray("old"));
    EXPECT_EQ(extract("12.lib"), Glread32::Ok);
    EXPECT_EQ(inTemp(), QStringList{"12.LIB"});
    EXPECT_EQ(extracted("12.LIB"), member12);
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
        EXPECT_EQ(reader.addUNZIP_ExtractTo(buffer), Glread32::Ok);
        EXPECT_EQ(buffer, expected);
    }
    std::string missing = "C:\\NOWHERE";
    EXPECT_EQ(reader.addUNZIP_ExtractTo(missing), Glread32::WriteFailed);
    EXPECT_EQ(missing, "C:\\NOWHERE\\");

    useArchive(archive({{"12.lib", member12}}));
    EXPECT_EQ(extract("12.lib", kPassword, 11, "c:\\windows\\temp"), Glread32::Ok);
    EXPECT_EQ(extracted("12.lib"), member12);
    EXPECT_EQ(extract("12.lib", kPassword, 11, "C:\\NOWHERE\\"), Glread32::WriteFailed);
}

TEST_F(Glread32Test, OversizedMemberIsRefusedEvenWhenTheDirectoryUnderstatesIt)
{
    QByteArray huge = archive({{"12.lib", QByteArray(static_cast<qsizetype>(Glread32::kMaxMemberSize) + 1, '\0')}});
    useArchive(huge);
    EXPECT_EQ(extract("12.lib"), Glread32::MemberTooLarge);
    EXPECT_TRUE(inTemp().isEmpty());

    const qsizetype central = huge.indexOf(QByteArray("PK\x01\x02", 4));
    ASSERT_GT(central, 0);
    qToLittleEndian<quint32>(100, huge.data() + central + kCentralUncompressedSize);
    useArchive(huge);
    EXPECT_EQ(extract("12.lib"), Glread32::MemberTooLarge);
    EXPECT_TRUE(inTemp().isEmpty());
}

// Found by fuzzing: libzip leaked what it had opened when it met the "strong encryption" flag.
TEST_F(Glread32Test, StrongEncryptionFlagIsRefusedAsUnreadable)
{
    QByteArray strong = archive({{"12.lib", member12}});
    const qsizetype central = strong.indexOf(QByteArray("PK\x01\x02", 4));
    ASSERT_GT(central, 0);
    constexpr qsizetype kCentralFlags = 8;
    constexpr quint16 kStrongEncryption = 0x40;
    qToLittleEndian<quint16>(u16At(strong, kLocalFlags) | kStrongEncryption, strong.data() + kLocalFlags);
    qToLittleEndian<quint16>(u16At(strong, central + kCentralFlags) | kStrongEncryption, strong.data() + central + kCentralFlags);
    useArchive(strong);
    EXPECT_EQ(extract("12.lib"), Glread32::MemberUnreadable);
    EXPECT_TRUE(inTemp().isEmpty());
}

TEST_F(Glread32Test, ZipWriterRefusesBadMembersAndReplacesTheFileOnlyOnSuccess)
{
    QString error;
    EXPECT_FALSE(buildEncryptedZip({{"..\\12.lib", "x"}}, kPassword, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(buildEncryptedZip({{"12.lib", "x"}, {"12.LIB", "y"}}, kPassword, &error));
    EXPECT_FALSE(buildEncryptedZip({{"12.lib", "x"}}, "", &error));
    EXPECT_FALSE(buildEncryptedZip({}, kPassword, &error));

    useArchive("previous");
    const QString path = host(kArchive);
    const QString archive = QString::fromStdString(kArchive);
    EXPECT_FALSE(writeEncryptedZip(path, {{"a/b.lib", "x"}}, kPassword, &error));
    EXPECT_EQ(root.readFile(archive), QByteArray("previous"));
    EXPECT_TRUE(writeEncryptedZip(path, {{"1.lib", "one"}}, kPassword, &error)) << error.toStdString();
    EXPECT_TRUE(root.readFile(archive).startsWith("PK\x03\x04"));
    EXPECT_EQ(QDir(host("C:\\Glyphary")).entryList(QDir::Files | QDir::Hidden), QStringList{"Iconlib.res"});
    error.clear();
    EXPECT_FALSE(writeEncryptedZip(host("C:\\Glyphary\\missing\\Iconlib.res"), {{"1.lib", "one"}}, kPassword, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace glyphary
