#include "core/IconPlanes.h"

namespace glyphary {
namespace {

constexpr int kPlaneSide = platform::kLargeIconSide;

QImage blankPlane(QRgb colour)
{
    QImage plane(kPlaneSide, kPlaneSide, QImage::Format_RGB32);
    plane.fill(colour);
    return plane;
}

} // namespace

PlaneSource ChoosePlaneSource(bool animationFrameFlag, bool importFlag, bool changeFlag)
{
    PlaneSource source = PlaneSource::SelectedResult;
    if (animationFrameFlag)
        source = PlaneSource::AnimationFrame;
    if (importFlag)
        source = PlaneSource::ImportPicture;
    if (changeFlag)
        source = PlaneSource::ChangePreview;
    return source;
}

IconPlanes procMask(const platform::Icon& picSave)
{
    if (picSave.isNull())
        return {blankPlane(qRgb(0, 0, 0)), blankPlane(qRgb(255, 255, 255))};
    platform::Icon sized = picSave;
    if (sized.width() != kPlaneSide || sized.height() != kPlaneSide) {
        // Nearest-pixel scaling keeps the mask's edges: a blended edge would turn half-transparent
        // pixels into opaque ones.
        sized.image = picSave.image.scaled(kPlaneSide, kPlaneSide, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    const platform::IconInfo info = platform::GetIconInfo(sized);
    return {info.colour.copy(0, 0, kPlaneSide, kPlaneSide), info.mask.copy(0, 0, kPlaneSide, kPlaneSide)};
}

} // namespace glyphary
