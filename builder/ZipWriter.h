#pragma once
// Writes password-protected zip archives of in-memory members, as the catalogue builder packs the
// library pictures. Traditional PKWARE encryption is what Info-ZIP, 7-Zip and Windows itself open.

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace glyphary {

struct ZipMember {
    std::string name; // ANSI (Windows-1252) plain file name, stored as UTF-8
    QByteArray bytes;
};

// Aes256Ae2 marks the AES entries AE-2 and stores no CRC, as 7-Zip writes them: only the AES
// authentication code then guards the data.
enum class ZipEncryption { TraditionalPkware, Aes256, Aes256Ae2 };

// The whole archive, every member deflated and encrypted with `password` (raw bytes, not empty).
// nullopt with `error` set when a name is not a plain file name, two names differ only in case,
// or libzip refuses.
std::optional<QByteArray> buildEncryptedZip(const std::vector<ZipMember>& members, const std::string& password,
                                            QString* error = nullptr,
                                            ZipEncryption encryption = ZipEncryption::TraditionalPkware);

// Builds the archive and replaces `hostPath` with it atomically (temporary file, then rename):
// on failure an existing file there is left untouched.
bool writeEncryptedZip(const QString& hostPath, const std::vector<ZipMember>& members, const std::string& password,
                       QString* error = nullptr, ZipEncryption encryption = ZipEncryption::TraditionalPkware);

} // namespace glyphary
