#include "changer/IconFromFile.h"

#include "platform/Win32Types.h"

namespace glyphary::changer {

using namespace platform;

std::optional<IconFromFile> iconFromFile(IconFunctions& icons, const QString& file, int index, bool forCursor, QString& error)
{
    IconFromFile result;
    if (forCursor) {
        const LoadedIcon loaded = icons.LoadImageA(file, IMAGE_CURSOR, 32, 32, LR_LOADFROMFILE);
        if (loaded.isAnimated()) {
            for (const Icon& frame : loaded.frames())
                result.icon.frames.push_back(frame.image);
            result.icon.animated = true;
            return result;
        }
    }
    Icon large;
    Icon small;
    const int extracted = icons.ExtractIconExA(file, index, &large, &small, 1);
    if (extracted <= 0 || large.isNull()) {
        error = extracted < 0 ? QStringLiteral("%1 cannot be read as an icon file.").arg(file)
                              : QStringLiteral("%1 holds no icon at index %2.").arg(file).arg(index);
        return std::nullopt;
    }
    result.icon.frames.push_back(large.image);
    if (large.isCursor) {
        result.hotspotX = large.hotspotX;
        result.hotspotY = large.hotspotY;
    }
    return result;
}

} // namespace glyphary::changer
