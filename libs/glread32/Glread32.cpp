#include "libs/glread32/Glread32.h"

#include "formats/Cp1252.h"
#include "libs/glread32/MemberName.h"
#include "libs/glread32/ZipHandles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <zlib.h>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace glyphary {
namespace {

// Callers hand C strings: whatever follows a NUL in the buffer is not part of the argument.
std::string_view cString(const std::string& text)
{
    return std::string_view(text.c_str());
}

QString fromAnsi(const std::string& text)
{
    return formats::fromCp1252(cString(text));
}

std::filesystem::path hostFsPath(const QString& hostPath)
{
    return std::filesystem::path(QFile::encodeName(hostPath).toStdString());
}

Glread32::Status statusOfZipError(int zipError)
{
    switch (zipError) {
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
        return Glread32::WrongPassword;
    default:
        return Glread32::MemberUnreadable;
    }
}

// The exact name wins; otherwise the first that differs only in case, as Windows would pick.
std::optional<zip_uint64_t> findMember(zip_t* archive, const QString& name)
{
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    std::optional<zip_uint64_t> caseless;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char* raw = zip_get_name(archive, index, ZIP_FL_ENC_GUESS); // UTF-8 after guessing
        if (raw == nullptr)
            continue;
        const QString entry = QString::fromUtf8(raw);
        if (entry == name)
            return index;
        if (!caseless && entry.compare(name, Qt::CaseInsensitive) == 0)
            caseless = index;
    }
    return caseless;
}

bool isAes(const zip_stat_t& stat)
{
    return (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0
        && (stat.encryption_method == ZIP_EM_AES_128 || stat.encryption_method == ZIP_EM_AES_192
            || stat.encryption_method == ZIP_EM_AES_256);
}

// Reads `file` to its end, handing every chunk to `sink` (which returns a status, Ok to go on).
// Reading to the end matters: libzip checks the CRC, the size and the AES MAC only when it reaches it.
template <typename Sink>
Glread32::Status readToEnd(zip_file_t* file, std::vector<char>& buffer, Sink&& sink)
{
    for (;;) {
        const zip_int64_t count = zip_fread(file, buffer.data(), buffer.size());
        if (count < 0)
            return statusOfZipError(zip_error_code_zip(zip_file_get_error(file)));
        if (count == 0)
            return Glread32::Ok;
        const Glread32::Status status = sink(count);
        if (status != Glread32::Ok)
            return status;
    }
}

// AES members are read decrypted but still compressed and inflated here. libzip 1.7.3 checks
// the CRC of every member, which refuses the AE-2 members 7-Zip writes (they store CRC 0 and rely
// on the authentication code); and its inflater stops at the end of the deflated data without
// asking for the rest, so the code would go unchecked. Reading the raw stream to its end checks
// the code; the CRC is checked here when one is stored.
template <typename Sink>
Glread32::Status readAesMember(zip_t* archive, zip_uint64_t index, const zip_stat_t& stat, const char* key,
                               std::vector<char>& buffer, Sink&& sink)
{
    const bool deflated = stat.comp_method == ZIP_CM_DEFLATE;
    if (!deflated && stat.comp_method != ZIP_CM_STORE)
        return Glread32::MemberUnreadable;
    const zip_handles::File raw(zip_fopen_index_encrypted(archive, index, ZIP_FL_COMPRESSED, key));
    if (!raw)
        return statusOfZipError(zip_error_code_zip(zip_get_error(archive)));

    z_stream inflater{};
    if (deflated && inflateInit2(&inflater, -MAX_WBITS) != Z_OK)
        return Glread32::MemberUnreadable;
    std::vector<char> out(buffer.size());
    uLong crc = crc32(0, nullptr, 0);
    bool ended = !deflated;
    const auto pass = [&](const char* data, zip_int64_t count) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(count));
        return sink(data, count);
    };
    Glread32::Status status = readToEnd(raw.get(), buffer, [&](zip_int64_t count) {
        if (!deflated)
            return pass(buffer.data(), count);
        inflater.next_in = reinterpret_cast<Bytef*>(buffer.data());
        inflater.avail_in = static_cast<uInt>(count);
        while (inflater.avail_in > 0 && !ended) {
            inflater.next_out = reinterpret_cast<Bytef*>(out.data());
            inflater.avail_out = static_cast<uInt>(out.size());
            const int result = inflate(&inflater, Z_NO_FLUSH);
            if (result != Z_OK && result != Z_STREAM_END)
                return Glread32::MemberUnreadable;
            ended = result == Z_STREAM_END;
            const auto produced = static_cast<zip_int64_t>(out.size() - inflater.avail_out);
            if (produced > 0)
                if (const Glread32::Status passed = pass(out.data(), produced); passed != Glread32::Ok)
                    return passed;
        }
        return Glread32::Ok;
    });
    if (deflated)
        inflateEnd(&inflater);
    if (status != Glread32::Ok)
        return status;
    if (!ended || ((stat.valid & ZIP_STAT_CRC) != 0 && stat.crc != 0 && stat.crc != crc))
        return Glread32::MemberUnreadable;
    return Glread32::Ok;
}

// Unpacks the member into a temporary file beside `outputPath` and renames it into place only once
// every check has passed.
Glread32::Status extractMember(zip_t* archive, zip_uint64_t index, const std::string& password,
                               const QString& hostFolder, const QString& outputPath)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0)
        return Glread32::MemberUnreadable;
    if ((stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > Glread32::kMaxMemberSize)
        return Glread32::MemberTooLarge;
    // Refused before opening: libzip 1.7.3 leaks the member's source when zip_fopen fails on an
    // unsupported cipher (a "strong encryption" flag, say) or compression method.
    if (((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE
         && !zip_encryption_method_supported(stat.encryption_method, 0))
        || ((stat.valid & ZIP_STAT_COMP_METHOD) != 0 && !zip_compression_method_supported(stat.comp_method, 0)))
        return Glread32::MemberUnreadable;

    const char* key = password.empty() ? nullptr : password.c_str();
    QTemporaryFile temp(hostFolder + QStringLiteral("/.glread32-XXXXXX.tmp"));
    std::vector<char> buffer(64 * 1024);
    std::uint64_t total = 0;
    const auto write = [&](const char* data, zip_int64_t count) {
        total += static_cast<std::uint64_t>(count);
        if (total > Glread32::kMaxMemberSize)
            return Glread32::MemberTooLarge; // the directory may understate the size
        return temp.write(data, count) == count ? Glread32::Ok : Glread32::WriteFailed;
    };

    Glread32::Status status = Glread32::Ok;
    if (isAes(stat)) {
        if (!temp.open())
            return Glread32::WriteFailed;
        status = readAesMember(archive, index, stat, key, buffer, write);
    } else {
        const zip_handles::File file(zip_fopen_index_encrypted(archive, index, 0, key));
        if (!file)
            return statusOfZipError(zip_error_code_zip(zip_get_error(archive)));
        if (!temp.open())
            return Glread32::WriteFailed;
        status = readToEnd(file.get(), buffer, [&](zip_int64_t count) { return write(buffer.data(), count); });
    }
    if (status != Glread32::Ok)
        return status;
    if (!temp.flush())
        return Glread32::WriteFailed;
    temp.close();

    // A plain rename replaces a symbolic link at the target instead of writing through it.
    std::error_code error;
    std::filesystem::rename(hostFsPath(temp.fileName()), hostFsPath(outputPath), error);
    if (error)
        return Glread32::WriteFailed;
    temp.setAutoRemove(false);
    return Glread32::Ok;
}

} // namespace

Glread32::Glread32(const platform::WindowsPaths& paths) : paths_(paths) {}

int Glread32::addUNZIP_ArchiveName(std::string& archivePath)
{
    archivePath_ = fromAnsi(archivePath);
    const QString host = paths_.toHost(archivePath_);
    return !host.isEmpty() && QFileInfo(host).isFile() ? Ok : ArchiveUnreadable;
}

int Glread32::addUNZIP_Decrypt(const std::string& password)
{
    password_ = std::string(cString(password));
    return Ok;
}

int Glread32::addUNZIP_Include(const std::string& memberName)
{
    memberName_ = fromAnsi(memberName);
    return isPlainFileName(memberName_) ? Ok : BadMemberName;
}

int Glread32::addUNZIP_ExtractTo(std::string& folder)
{
    std::string normalised(cString(folder));
    if (!normalised.empty()) {
        while (!normalised.empty() && (normalised.back() == '\\' || normalised.back() == '/'))
            normalised.pop_back();
        normalised += '\\';
    }
    folder = normalised;
    targetFolder_ = formats::fromCp1252(normalised);
    const QString host = paths_.toHost(targetFolder_);
    return !host.isEmpty() && QFileInfo(host).isDir() ? Ok : WriteFailed;
}

int Glread32::addUNZIP_Overwrite(int mode)
{
    overwrite_ = mode == kOverwriteExisting;
    return Ok;
}

int Glread32::addUNZIP()
{
    if (!isPlainFileName(memberName_))
        return BadMemberName;
    const QString hostFolder = paths_.toHost(targetFolder_); // "" for nothing chosen or no such drive
    if (hostFolder.isEmpty() || !QFileInfo(hostFolder).isDir())
        return WriteFailed;
    const QString hostArchive = paths_.toHost(archivePath_);
    if (hostArchive.isEmpty() || !QFileInfo(hostArchive).isFile())
        return ArchiveUnreadable;

    int openError = 0;
    const zip_handles::Archive archive(zip_open(QFile::encodeName(hostArchive).constData(), ZIP_RDONLY, &openError));
    if (!archive)
        return ArchiveUnreadable;
    const std::optional<zip_uint64_t> index = findMember(archive.get(), memberName_);
    if (!index)
        return MemberNotFound;

    // Resolved through the paths so that an existing file differing in case is the one replaced.
    const QString outputPath = paths_.toHost(targetFolder_ + memberName_);
    if (QDir::cleanPath(QFileInfo(outputPath).absolutePath()) != QDir::cleanPath(QFileInfo(hostFolder).absoluteFilePath()))
        return BadMemberName;
    if (!overwrite_ && QFileInfo(outputPath).exists())
        return TargetExists;
    return extractMember(archive.get(), *index, password_, hostFolder, outputPath);
}

} // namespace glyphary
