#pragma once
// The zoom window apart from its widgets: the selected icon enlarged pixel by pixel, and, where a
// cursor's hot spot is wanted, the pixel a mouse release on the enlarged picture names.

#include "core/Selection.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

namespace glyphary {
struct AppContext;
}

namespace glyphary::exporting {

// The enlarged picture's distance from the window's left and top edges.
inline constexpr int kZoomMargin = 13;
// The result list's pictures are 32 x 32; so is the image a hot spot lies in.
inline constexpr int kZoomedSide = 32;
inline const QString kHotSpotLabel = QStringLiteral("Set the Cursor's Hotspot");

// The factor a Zoom command opens at: 2, 3, 4, 5 or 10 as given; 0, and any other number, the
// factor of the "DCZoom" level.
int zoomFactorFor(int argument, int doubleClickLevel);

// The Type texts of the cursors a hot spot is written for (animated cursors keep none of their own).
bool isStaticCursorType(const QString& typeText);

// numerator / denominator rounded to the nearest integer, halves to the even neighbour; 0 for a
// denominator below 1.
int roundHalfToEven(int numerator, int denominator);

// Why the window is open: to look at the icon (the Zoom command), or so that the person places the
// hot spot of a cursor about to be written.
enum class ZoomPurpose { Look, PlaceHotSpot };

class ZoomView {
public:
    // At the context's ZoomFactor, kept within 1 to 10 so that no picture is empty and no release divides by zero.
    ZoomView(AppContext& context, std::optional<SelectedRow> row, QColor background, ZoomPurpose purpose);

    int factor() const { return factor_; }
    // "Zoom 4:1".
    QString caption() const;
    // picZoom inside the window.
    QRect pictureRect() const;
    // The label, the cross pointer and the reset of the hot spot: for a cursor row, and whenever
    // the hot spot is to be placed.
    bool placesHotSpot() const;
    // The row's picture scaled by the factor without smoothing, over the background colour; the
    // background alone without a row.
    QImage enlarged() const;

    // On load: where the hot spot is placed, it starts again from x = 16 (y stays).
    void load();
    // A release `pointer` pixels from picZoom's top-left corner: the hot spot becomes the pixel
    // under it, kept inside the 32 x 32 image however far outside the picture the button went up.
    void release(QPoint pointer);

private:
    AppContext* context_; // a pointer, so that a window can be shown another view
    std::optional<SelectedRow> row_;
    QColor background_;
    ZoomPurpose purpose_;
    int factor_;
};

} // namespace glyphary::exporting
