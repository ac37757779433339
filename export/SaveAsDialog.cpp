#include "export/SaveAsDialog.h"

#include <array>

namespace glyphary::exporting {
namespace {

constexpr std::array<const char*, 5> kAnimationTypes{
    "16 Color Animation", "256 Color Animation", "Hi-Color Animation", "Animated Icon", "Animated Cursor"};
constexpr std::array<const char*, 5> kCursorTypes{
    "16 Color Cursor", "256 Color Cursor", "Hi-Color Cursor", "Current Cursor", "Theme Cursor"};

template <std::size_t N>
bool isOneOf(const QString& text, const std::array<const char*, N>& texts)
{
    for (const char* candidate : texts)
        if (text == QLatin1StringView(candidate))
            return true;
    return false;
}

} // namespace

bool isAnimationType(const QString& typeText)
{
    return isOneOf(typeText, kAnimationTypes);
}

bool isCursorType(const QString& typeText)
{
    return isOneOf(typeText, kCursorTypes);
}

platform::FileDialogRequest saveAsRequest(const QString& typeText, const QString& rowName)
{
    platform::FileDialogRequest request;
    request.flags = kSaveAsFlags;
    request.fileName = rowName;
    if (isAnimationType(typeText)) {
        request.filter = kAnimationFilter;
        request.defaultExtension = QStringLiteral("ani");
        request.filterIndex = EntryAnimation;
    } else if (isCursorType(typeText)) {
        request.filter = kImageFilter;
        request.defaultExtension = QStringLiteral("cur");
        request.filterIndex = EntryCursor;
    } else {
        request.filter = kImageFilter;
        request.defaultExtension = QStringLiteral("ico");
        request.filterIndex = EntryIcon;
    }
    return request;
}

QString extensionOfEntry(int filterIndex)
{
    switch (filterIndex) {
    case EntryIcon:
    case EntrySeparateIcons: return QStringLiteral(".ico");
    case EntryCursor: return QStringLiteral(".cur");
    case EntryBitmap: return QStringLiteral(".bmp");
    case EntryAnimation: return QStringLiteral(".ani");
    default: return {};
    }
}

QString withForcedExtension(const QString& fileName, int filterIndex)
{
    const QString extension = extensionOfEntry(filterIndex);
    if (fileName.right(4).toLower() == extension)
        return fileName;
    return fileName + extension;
}

bool isLegalFavoriteName(const QString& name)
{
    static const QString illegal = QStringLiteral("?\u201D/\\<>*|:");
    for (const QChar c : name)
        if (illegal.contains(c))
            return false;
    return true;
}

} // namespace glyphary::exporting
