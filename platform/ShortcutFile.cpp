#include "platform/ShortcutFile.h"

#include "formats/ShellLink.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>

namespace glyphary::platform {
namespace {

QString fromUtf16(const std::u16string& text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string toUtf16(const QString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

// "..\x.exe" from C:\windows\Desktop\a.lnk is C:\windows\x.exe.
QString resolvedRelative(const QString& lnkFile, const QString& relative)
{
    QString folder = lnkFile;
    folder.replace(u'\\', u'/');
    folder = folder.left(folder.lastIndexOf(u'/') + 1);
    QString target = relative;
    target.replace(u'\\', u'/');
    return QDir::cleanPath(folder + target).replace(u'/', u'\\');
}

std::optional<formats::ByteVector> readLinkBytes(const QString& hostPath)
{
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > static_cast<qint64>(formats::kMaxShellLinkBytes))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    return formats::ByteVector(bytes.begin(), bytes.end());
}

std::optional<ShortcutFields> fieldsOf(const QString& lnkFile, const formats::ByteVector& bytes)
{
    const auto link = formats::readShellLink(bytes);
    if (!link)
        return std::nullopt;
    ShortcutFields fields;
    fields.ExeFile = fromUtf16(link->exeFile);
    if (link->exeFileRelative)
        fields.ExeFile = resolvedRelative(lnkFile, fields.ExeFile);
    fields.WorkDir = fromUtf16(link->workDir);
    fields.ExeArgs = fromUtf16(link->exeArgs);
    fields.IconFile = fromUtf16(link->iconFile);
    fields.IconIdx = link->iconIndex;
    fields.ShowCmd = link->showCmd;
    return fields;
}

bool sameButIcon(const ShortcutFields& a, const ShortcutFields& b)
{
    return a.ExeFile == b.ExeFile && a.WorkDir == b.WorkDir && a.ExeArgs == b.ExeArgs && a.ShowCmd == b.ShowCmd;
}

} // namespace

std::optional<ShortcutFields> readShortcut(const WindowsPaths& paths, const QString& lnkFile)
{
    const QString host = paths.toHost(lnkFile);
    if (host.isEmpty())
        return std::nullopt;
    const auto bytes = readLinkBytes(host);
    return bytes ? fieldsOf(lnkFile, *bytes) : std::nullopt;
}

bool writeShortcut(const WindowsPaths& paths, const QString& lnkFile, const ShortcutFields& fields)
{
    const QString host = paths.toHost(lnkFile);
    if (host.isEmpty())
        return false;
    std::optional<formats::ByteVector> bytes;
    if (const auto existing = readLinkBytes(host)) {
        const auto stored = fieldsOf(lnkFile, *existing);
        if (stored && sameButIcon(*stored, fields))
            bytes = formats::replaceShellLinkIcon(*existing, toUtf16(fields.IconFile), fields.IconIdx);
    }
    if (!bytes) {
        formats::ShellLinkFields link;
        link.exeFile = toUtf16(fields.ExeFile);
        link.workDir = toUtf16(fields.WorkDir);
        link.exeArgs = toUtf16(fields.ExeArgs);
        link.iconFile = toUtf16(fields.IconFile);
        link.iconIndex = fields.IconIdx;
        link.showCmd = fields.ShowCmd;
        bytes = formats::writeShellLink(link);
    }
    return writeFileAtomically(host, *bytes).ok;
}

} // namespace glyphary::platform
