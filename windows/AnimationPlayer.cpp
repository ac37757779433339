#include "windows/AnimationPlayer.h"

#include <QPainter>
#include <algorithm>

namespace glyphary {
namespace {

constexpr int kDisplayMargin = 8;

} // namespace

int frameInterval(int framesPerSecond)
{
    return 1000 / std::clamp(framesPerSecond, kSlowestSpeed, kFastestSpeed);
}

QString speedToolTip(int framesPerSecond)
{
    return QStringLiteral("animation speed: ") + QString::number(framesPerSecond)
        + (framesPerSecond == 1 ? QStringLiteral(" frame per second") : QStringLiteral(" frames per second"));
}

QString frameCountToolTip(int frameCount)
{
    return QString::number(frameCount) + QStringLiteral(" frames");
}

QPoint centredOffset(QSize box, QSize frame)
{
    return {(box.width() - frame.width()) / 2, (box.height() - frame.height()) / 2};
}

void AnimationPlayer::load(std::vector<QImage> frames)
{
    frames_ = std::move(frames);
    // Converted once, so that a tick only blends.
    for (QImage& frame : frames_)
        if (!frame.isNull())
            frame.convertTo(QImage::Format_ARGB32_Premultiplied);
    current_ = 1;
    reversing_ = false;
}

void AnimationPlayer::setOrder(PlayOrder order)
{
    if (order != order_)
        reversing_ = false;
    order_ = order;
}

QSize AnimationPlayer::displaySize() const
{
    QSize size(kMinimumDisplay, kMinimumDisplay);
    for (const QImage& frame : frames_)
        size = size.expandedTo(frame.deviceIndependentSize().toSize() + QSize(2 * kDisplayMargin, 2 * kDisplayMargin));
    return size;
}

qreal AnimationPlayer::pixelRatio() const
{
    qreal ratio = 1;
    for (const QImage& frame : frames_)
        ratio = std::max(ratio, frame.devicePixelRatio());
    return ratio;
}

int AnimationPlayer::tick(QImage& display)
{
    display.fill(backColor_);
    if (frames_.empty())
        return -1;
    const int shown = current_ - 1;
    const QImage& frame = frames_[static_cast<std::size_t>(shown)];
    if (!frame.isNull() && !display.isNull()) {
        QPainter painter(&display);
        // In the display's own units, so that frames drawn for a dense screen keep their place.
        const QPoint at = centredOffset(display.deviceIndependentSize().toSize(), frame.deviceIndependentSize().toSize());
        painter.drawImage(at, frame);
    }
    step();
    return shown;
}

void AnimationPlayer::step()
{
    const int count = frameCount();
    if (order_ == PlayOrder::Sequential) {
        ++current_;
        if (current_ > count)
            current_ = 1;
        return;
    }
    // Back and forth turns at both ends: the last frame is shown twice in a row, the first once.
    if (!reversing_) {
        ++current_;
        if (current_ > count)
            reversing_ = true;
    }
    if (reversing_) {
        if (current_ > 1)
            --current_;
        if (current_ <= 1)
            reversing_ = false;
    }
}

} // namespace glyphary
