#pragma once
// The animation player apart from its widgets: which frame each tick shows, in sequence or back and
// forth, how fast, and how a frame is centred on the chosen background.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <vector>

namespace glyphary {

enum class PlayOrder { Sequential, BackAndForth };

// The speed slider, in frames per second.
inline constexpr int kSlowestSpeed = 1;
inline constexpr int kFastestSpeed = 30;
inline constexpr int kStartSpeed = 5;

// The timer interval in milliseconds: the integer part of 1000 / speed, the speed kept on the slider.
int frameInterval(int framesPerSecond);
// "animation speed: 5 frames per second", "animation speed: 1 frame per second".
QString speedToolTip(int framesPerSecond);
// The display box's tool tip: the frame count followed by " frames".
QString frameCountToolTip(int frameCount);
// Where a picture of `frame` size goes so that it sits in the middle of `box`.
QPoint centredOffset(QSize box, QSize frame);

class AnimationPlayer {
public:
    // A new film (the frames Play collected, each shown as it is): played from its first frame, forwards.
    void load(std::vector<QImage> frames);
    int frameCount() const { return static_cast<int>(frames_.size()); }

    // A change of order plays on from the current frame, forwards.
    void setOrder(PlayOrder order);
    PlayOrder order() const { return order_; }

    // The background of the display box and of every frame.
    void setBackColor(const QColor& colour) { backColor_ = colour; }
    QColor backColor() const { return backColor_; }

    // The 0-based frame the next tick shows; -1 without frames.
    int currentFrame() const { return frames_.empty() ? -1 : current_ - 1; }
    // Big enough for the largest frame with a margin around it, and never smaller than kMinimumDisplay.
    QSize displaySize() const;
    // The highest pixel ratio of the frames, at which the display is drawn.
    qreal pixelRatio() const;
    static constexpr int kMinimumDisplay = 64;

    // One tick of the frame timer: the display cleared to the background, the current frame painted
    // centred on it, then the next frame chosen. Returns the 0-based frame painted; -1 (the display
    // only cleared) without frames.
    int tick(QImage& display);

private:
    void step();

    std::vector<QImage> frames_;
    // 1-based, as the order rules count.
    int current_ = 1;
    bool reversing_ = false;
    PlayOrder order_ = PlayOrder::Sequential;
    QColor backColor_ = Qt::white;
};

} // namespace glyphary
