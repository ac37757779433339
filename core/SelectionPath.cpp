#include "core/SelectionPath.h"

namespace glyphary {

namespace {

constexpr QStringView kEllipsis = u"...\\";

} // namespace

int characterCount(QStringView text)
{
    return static_cast<int>(text.size());
}

QString longPathOfItem(const QString& item, const LongNameFunction& longName)
{
    const qsizetype end = item.indexOf(u';');
    if (end < 0)
        return {};
    const QString path = item.left(end);
    if (path.startsWith(u"\\\\") || !longName)
        return path;
    return longName(path);
}

QString pathForPanel(const QString& path, int panelWidth, const TextWidthFunction& width)
{
    const qsizetype lastSlash = path.lastIndexOf(u'\\');
    if (lastSlash < 0 || !width || width(path) <= panelWidth)
        return path;
    const QStringView folder = QStringView(path).left(lastSlash);
    const QStringView name = QStringView(path).mid(lastSlash + 1);
    const auto shortened = [&](qsizetype kept) {
        QString text;
        text.reserve(kept + kEllipsis.size() + name.size());
        text.append(folder.left(kept)).append(kEllipsis).append(name);
        return text;
    };
    // The widest leading part of the folder that still fits; widths grow with every character
    // kept, so a binary search finds it.
    qsizetype fits = 0;
    qsizetype low = 1;
    qsizetype high = folder.size();
    while (low <= high) {
        const qsizetype middle = low + (high - low) / 2;
        if (width(shortened(middle)) <= panelWidth) {
            fits = middle;
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    // Never keep half of a surrogate pair.
    if (fits > 0 && folder.at(fits - 1).isHighSurrogate())
        --fits;
    return shortened(fits);
}

} // namespace glyphary
