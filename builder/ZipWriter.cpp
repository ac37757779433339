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
    return encryption == ZipEncryption::Aes256 ? ZIP_EM_AES_256 : ZIP_EM_TRAD_PKWARE;
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
    if (!bytes)
        setError(error, QStringLiteral("cannot read the archive built in memory"));
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
