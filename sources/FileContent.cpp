#include "sources/FileContent.h"

#include "formats/ByteReader.h"
#include "formats/PeImage.h"
#include "platform/WindowsPaths.h"

#include <QFile>

namespace glyphary {
namespace {

using formats::ByteReader;

// Enough for the DOS header and the PE or NE header of any program a linker writes.
constexpr qint64 kHeadBytes = 4096;

constexpr std::uint16_t kPeLibrary = 0x2000; // IMAGE_FILE_DLL
constexpr std::uint16_t kNeLibrary = 0x8000; // the NE module flag of a library

QString executableKind(const ByteReader& head)
{
    const auto dos = formats::readDosHeader(head.bytes());
    if (!dos)
        return {};
    const bool pe = dos->format == formats::ExecutableFormat::Pe;
    const auto flags = head.u16le(std::uint64_t{dos->newHeaderOffset} + (pe ? 22 : 0x0C));
    if (!flags)
        return {};
    return (*flags & (pe ? kPeLibrary : kNeLibrary)) ? QStringLiteral("dll") : QStringLiteral("exe");
}

} // namespace

QString contentExtension(const platform::WindowsPaths& paths, const QString& windowsPath)
{
    QFile file(paths.toHost(windowsPath));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(kHeadBytes);
    const ByteReader head(formats::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                         static_cast<std::size_t>(bytes.size())));
    if (head.ascii(0, 2) == "MZ")
        return executableKind(head);
    if (head.ascii(0, 4) == "RIFF" && head.ascii(8, 4) == "ACON")
        return QStringLiteral("ani");
    if (head.u16le(0) == std::uint16_t{0} && head.u16le(4).value_or(0) > 0) {
        const auto type = head.u16le(2);
        if (type == std::uint16_t{1})
            return QStringLiteral("ico");
        if (type == std::uint16_t{2})
            return QStringLiteral("cur");
    }
    return {};
}

QString readableAs(const platform::WindowsPaths& paths, const QString& windowsPath)
{
    static constexpr QStringView kKnown[] = {u"ani", u"cur", u"dll", u"exe", u"icl", u"ico"};
    const QString extension = windowsPath.right(3).toLower();
    for (QStringView known : kKnown)
        if (extension == known)
            return extension;
    return contentExtension(paths, windowsPath);
}

} // namespace glyphary
