#include "builder/ZipWriter.h"

#include "formats/Cp1252.h"
#include "libs/glread32/MemberName.h"
#include "libs/glread32/ZipHandles.h"

#include <QSaveFile>
#include <QStringList>

namespace glyphary {
namespace {

zip_uint16_t methodOf(ZipEncryption encryption)
{
    return encryption == ZipEncryption::TraditionalPkware ? ZIP_EM_TRAD_PKWARE : ZIP_EM_AES_256;
}

void setError(QString* error, const QString& text)
{
    if (error != nullptr)
        *error = text;
}

// Names become output file names on extraction, so the reader's rules apply here too.
bool checkNames(const std::vector<ZipMember>& members, QString* error)
{
    QStringList seen;
    for (const ZipMember& member : members) {
        const QString name = formats::fromCp1252(member.name);
        if (!isPlainFileName(name)) {
            setError(error, QStringLiteral("not a plain file name: \"%1\"").arg(name));
            return false;
        }
        if (seen.contains(name, Qt::CaseInsensitive)) {
            setError(error, QStringLiteral("duplicate member name: \"%1\"").arg(name));
            return false;
        }
        seen.append(name);
    }
    return true;
}

bool addMember(zip_t* archive, const ZipMember& member, const std::string& password, zip_uint16_t method)
{
    // The buffer source stamps the current time; zip_file_set_mtime must not be used on encrypted
    // entries with libzip 1.7.3, which then writes a check byte that no reader accepts.
    zip_source_t* source = zip_source_buffer(archive, member.bytes.constData(),
                                             static_cast<zip_uint64_t>(member.bytes.size()), 0);
    if (source == nullptr)
        return false;
    const QByteArray utf8Name = formats::fromCp1252(member.name).toUtf8();
    const zip_int64_t index = zip_file_add(archive, utf8Name.constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    const auto entry = static_cast<zip_uint64_t>(index);
    return zip_set_file_compression(archive, entry, ZIP_CM_DEFLATE, 0) == 0
        && zip_file_set_encryption(archive, entry, method, password.c_str()) == 0;
}

// The bytes that zip_close left in the buffer source.
std::optional<QByteArray> readSource(zip_source_t* source)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(source, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0)
        return std::nullopt;
    if (zip_source_open(source) != 0)
        return std::nullopt;
    QByteArray bytes(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
    const zip_int64_t read = zip_source_read(source, bytes.data(), stat.size);
    zip_source_close(source);
    if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size)
        return std::nullopt;
    return bytes;
}

quint16 get16(const QByteArray& bytes, qsizetype at)
{
    return static_cast<quint16>(static_cast<quint8>(bytes[at]) | static_cast<quint8>(bytes[at + 1]) << 8);
}

quint32 get32(const QByteArray& bytes, qsizetype at) { return get16(bytes, at) | quint32{get16(bytes, at + 2)} << 16; }

// Sets the vendor version of the WinZip AES extra field (id 0x9901) among `length` bytes at `at`.
bool markAe2(QByteArray& bytes, qsizetype at, qsizetype length)
{
    for (qsizetype field = at; field + 4 <= at + length;) {
        const quint16 id = get16(bytes, field);
        const quint16 size = get16(bytes, field + 2);
        if (id == 0x9901 && size >= 2 && field + 6 <= bytes.size()) {
            bytes[field + 4] = 2;
            bytes[field + 5] = 0;
            return true;
        }
        field += 4 + size;
    }
    return false;
}

// Rewrites libzip's AE-1 entries as AE-2 ones: version 2 in both copies of the AES field, CRC 0
// in the local and the central header (libzip writes no data descriptors to a seekable buffer).
bool rewriteAsAe2(QByteArray& bytes)
{
    constexpr qsizetype kEndRecord = 22;
    const qsizetype end = bytes.lastIndexOf(QByteArrayView("PK\x05\x06", 4));
    if (end < 0 || end + kEndRecord > bytes.size())
        return false;
    const quint16 entries = get16(bytes, end + 10);
    qsizetype central = get32(bytes, end + 16);
    for (quint16 i = 0; i < entries; ++i) {
        if (central + 46 > bytes.size() || get32(bytes, central) != 0x02014b50)
            return false;
        const quint16 nameLength = get16(bytes, central + 28);
        const quint16 extraLength = get16(bytes, central + 30);
        const quint16 commentLength = get16(bytes, central + 32);
        const qsizetype local = get32(bytes, central + 42);
        if (local + 30 > bytes.size() || get32(bytes, local) != 0x04034b50)
            return false;
        if (!markAe2(bytes, central + 46 + nameLength, extraLength)
            || !markAe2(bytes, local + 30 + get16(bytes, local + 26), get16(bytes, local + 28)))
            return false;
        bytes.replace(central + 16, 4, QByteArray(4, '\0'));
        bytes.replace(local + 14, 4, QByteArray(4, '\0'));
        central += 46 + nameLength + extraLength + commentLength;
    }
    return true;
}

} // namespace

std::optional<QByteArray> buildEncryptedZip(const std::vector<ZipMember>& members, const std::string& password,
                                            QString* error, ZipEncryption encryption)
{
    const zip_uint16_t method = methodOf(encryption);
    if (password.empty()) {
        setError(error, QStringLiteral("an encrypted archive needs a password"));
        return std::nullopt;
    }
    if (zip_encryption_method_supported(method, 1) == 0) {
        setError(error, QStringLiteral("this libzip cannot write encryption method %1").arg(method));
        return std::nullopt;
    }
    if (members.empty()) {
        setError(error, QStringLiteral("an archive needs at least one member")); // libzip writes nothing for none
        return std::nullopt;
    }
    if (!checkNames(members, error))
        return std::nullopt;

    zip_error_t zipError;
    zip_error_init(&zipError);
    const zip_handles::Source source(zip_source_buffer_create(nullptr, 0, 0, &zipError));
    if (!source) {
        zip_error_fini(&zipError);
        setError(error, QStringLiteral("out of memory"));
        return std::nullopt;
    }
    zip_handles::Archive archive(zip_open_from_source(source.get(), ZIP_TRUNCATE, &zipError));
    if (!archive) {
        setError(error, QString::fromUtf8(zip_error_strerror(&zipError)));
        zip_error_fini(&zipError);
        return std::nullopt;
    }
    zip_error_fini(&zipError);
    zip_source_keep(source.get()); // the archive owns one reference, the bytes are read after it closes

    for (const ZipMember& member : members) {
        if (!addMember(archive.get(), member, password, method)) {
            setError(error, QStringLiteral("cannot add \"%1\": %2")
                                .arg(formats::fromCp1252(member.name), QString::fromUtf8(zip_strerror(archive.get()))));
            return std::nullopt;
        }
    }
    if (zip_close(archive.get()) != 0) {
        setError(error, QString::fromUtf8(zip_strerror(archive.get())));
        return std::nullopt;
    }
    (void)archive.release(); // zip_close freed it

    std::optional<QByteArray> bytes = readSource(source.get());
    if (!bytes) {
        setError(error, QStringLiteral("cannot read the archive built in memory"));
        return std::nullopt;
    }
    if (encryption == ZipEncryption::Aes256Ae2 && !rewriteAsAe2(*bytes)) {
        setError(error, QStringLiteral("cannot mark the AES entries AE-2"));
        return std::nullopt;
    }
    return bytes;
}

bool writeEncryptedZip(const QString& hostPath, const std::vector<ZipMember>& members, const std::string& password,
                       QString* error, ZipEncryption encryption)
{
    const std::optional<QByteArray> bytes = buildEncryptedZip(members, password, error, encryption);
    if (!bytes)
        return false;
    QSaveFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        setError(error, QStringLiteral("cannot write %1: %2").arg(hostPath, file.errorString()));
        return false;
    }
    return true;
}

} // namespace glyphary
