#include "platform/DosAttributes.h"

#include <QFile>

#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace glyphary::platform {

namespace {
constexpr const char* kName = "user.DOSATTRIB";
}

std::uint32_t dosAttributes(const QString& hostPath)
{
    const QByteArray path = QFile::encodeName(hostPath);
    char buffer[64] = {};
    const ssize_t size = getxattr(path.constData(), kName, buffer, sizeof buffer - 1);
    if (size <= 0)
        return 0;
    buffer[size] = '\0';
    char* end = nullptr;
    const unsigned long value = std::strtoul(buffer, &end, 16);
    return end == buffer ? 0 : static_cast<std::uint32_t>(value & 0xffffffffu);
}

bool setDosAttributes(const QString& hostPath, std::uint32_t attributes)
{
    const QByteArray path = QFile::encodeName(hostPath);
    if (attributes == 0)
        return removexattr(path.constData(), kName) == 0 || errno == ENODATA;
    char text[16];
    const int length = std::snprintf(text, sizeof text, "0x%x", attributes);
    return setxattr(path.constData(), kName, text, static_cast<std::size_t>(length), 0) == 0;
}

} // namespace glyphary::platform
