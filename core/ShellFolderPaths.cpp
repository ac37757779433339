#include "core/ShellFolderPaths.h"

#include "platform/ShellFolders.h"

namespace glyphary {

QString cSpecialFolders::path(int csidl) const
{
    QString folder = platform::specialFolderPath(registry_, csidl);
    // SHGetPathFromIDListA fills a buffer of 255 characters; a longer path is a failure.
    constexpr int kBufferLength = 255;
    if (folder.isEmpty() || folder.size() >= kBufferLength)
        return {};
    if (!folder.endsWith(u'\\'))
        folder += u'\\';
    return folder;
}

} // namespace glyphary
