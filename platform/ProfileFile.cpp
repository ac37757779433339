#include "platform/ProfileFile.h"

#include "formats/ProfileText.h"

#include <QFile>
#include <QFileInfo>

namespace glyphary::platform {

namespace {

constexpr qint64 kMaxProfileBytes = 1 << 20; // larger is no profile the shell would read either

formats::ByteVector contentOf(const QString& hostPath)
{
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(kMaxProfileBytes);
    return formats::ByteVector(bytes.begin(), bytes.end());
}

} // namespace

std::optional<std::string> readProfileValue(const QString& hostPath, std::string_view section, std::string_view key)
{
    return formats::profileValue(contentOf(hostPath), section, key);
}

FileWriteResult writeProfileValue(const QString& hostPath, std::string_view section, std::string_view key,
                                  const std::optional<std::string>& value)
{
    const bool exists = QFileInfo(hostPath).exists() || QFileInfo(hostPath).isSymLink();
    if (!QFileInfo(hostPath).isSymLink() && QFileInfo(hostPath).size() > kMaxProfileBytes)
        return {false, false, QStringLiteral("%1 is too large to be a settings file; it was left unchanged.").arg(hostPath)};
    if (!value && !exists)
        return {true, false, {}};
    const formats::ByteVector before = exists && !QFileInfo(hostPath).isSymLink() ? contentOf(hostPath)
                                                                                 : formats::ByteVector{};
    const formats::ByteVector after = formats::withProfileValue(before, section, key, value);
    if (exists && after == before && !QFileInfo(hostPath).isSymLink())
        return {true, false, {}};
    // QSaveFile writes through a link; dropping the link first keeps its target out of reach.
    if (QFileInfo(hostPath).isSymLink() && !QFile::remove(hostPath))
        return {false, true, QStringLiteral("%1 is a link that could not be replaced.").arg(hostPath)};
    return writeFileAtomically(hostPath, after, FileSync::NoSync);
}

} // namespace glyphary::platform
