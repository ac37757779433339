#include "export/AnimationFrames.h"

#include "core/MainSession.h"
#include "core/ResultItem.h"
#include "platform/IconFunctions.h"

#include <algorithm>

namespace glyphary::exporting {
namespace {

// What ties the frames of one animation together: the catalogue member, or the file.
QString animationKey(const QString& item)
{
    if (kindOf(item) == ResultKind::Book) {
        const auto token = catalogueTokenOf(item);
        return token ? token->member : QString();
    }
    const auto fields = fieldsOf(item);
    return fields ? fields->file.toLower() : QString();
}

} // namespace

bool canHoldFrames(const QString& item)
{
    switch (kindOf(item)) {
    case ResultKind::Book:
    case ResultKind::Open:
    case ResultKind::User:
    case ResultKind::SystemCursor:
    case ResultKind::ThemeCursor: return true;
    default: return false;
    }
}

bool sameAnimation(const QString& item, const QString& candidate)
{
    if (kindOf(item) != kindOf(candidate) || typeCodeOf(item) != typeCodeOf(candidate))
        return false;
    const QString key = animationKey(item);
    return !key.isEmpty() && key == animationKey(candidate);
}

AnimationFrames collectAnimationFrames(MainSession& session, platform::IconFunctions& icons, const SelectedRow& row,
                                       int pictureScale)
{
    AnimationFrames result;
    if (!canHoldFrames(row.item))
        return result;
    const auto fields = kindOf(row.item) == ResultKind::Book ? std::nullopt : fieldsOf(row.item);
    const bool fromFile = fields && fields->file.right(3).toLower() == u"ani";
    const int scale = std::max(pictureScale, 1);
    // At scale 1 each frame keeps its own size, as Windows draws it; above, every frame fills the square.
    const int side = scale > 1 ? platform::kLargeIconSide * scale : 0;
    platform::LoadedIcon animation;
    if (fromFile)
        animation = icons.LoadImageA(fields->file, platform::IMAGE_ICON, side, side, platform::LR_LOADFROMFILE);

    const ItemList& items = session.cmbResult;
    for (int i = 0; i < items.count(); ++i) {
        if (!sameAnimation(row.item, items.text(i)))
            continue;
        QImage frame;
        if (fromFile) {
            bool isNumber = false;
            const int step = fieldsOf(items.text(i))->number.toInt(&isNumber);
            QImage surface(platform::kLargeIconSide * scale, platform::kLargeIconSide * scale, QImage::Format_ARGB32);
            surface.fill(Qt::transparent);
            if (isNumber && platform::DrawIconEx(surface, 0, 0, animation, side, side, step, platform::DI_NORMAL)) {
                surface.setDevicePixelRatio(scale);
                frame = surface;
            }
        } else if (const std::optional<RowResult> drawn = session.drawItem(items.text(i), items.itemData(i))) {
            frame = scale > 1 && !drawn->sharpImage.isNull() ? drawn->sharpImage : drawn->image;
        }
        if (frame.isNull())
            ++result.skipped;
        else
            result.frames.push_back(frame);
    }
    return result;
}

} // namespace glyphary::exporting
