#include "export/ZoomView.h"

#include "core/AppContext.h"
#include "core/Command.h"
#include "core/SelectionDispatch.h"
#include "core/TypeTexts.h"

#include <QPainter>
#include <algorithm>
#include <array>

namespace glyphary::exporting {
namespace {

constexpr std::array<int, 5> kMenuFactors{2, 3, 4, 5, 10};
constexpr int kLargestFactor = 10;
constexpr std::int32_t kResetHotSpotX = 16;

// The type codes of "16 Color Cursor", "256 Color Cursor", "Hi-Color Cursor", "Current Cursor"
// and "Theme Cursor".
constexpr std::array<char16_t, 5> kStaticCursorCodes{u'6', u'7', u'8', u'c', u't'};

int pixelUnder(int pointer, int factor)
{
    return std::clamp(roundHalfToEven(pointer, factor), 0, kZoomedSide - 1);
}

} // namespace

int zoomFactorFor(int argument, int doubleClickLevel)
{
    if (std::find(kMenuFactors.begin(), kMenuFactors.end(), argument) != kMenuFactors.end())
        return argument;
    // The level names the menu entry the tool bar button runs; that entry carries the factor.
    const auto call = commandForEntry(zoomCommandFor(doubleClickLevel));
    return call ? call->argument : kMenuFactors.back();
}

bool isStaticCursorType(const QString& typeText)
{
    return !typeText.isEmpty()
        && std::any_of(kStaticCursorCodes.begin(), kStaticCursorCodes.end(),
                       [&typeText](char16_t code) { return TypeText(QChar(code)) == typeText; });
}

int roundHalfToEven(int numerator, int denominator)
{
    if (denominator < 1)
        return 0;
    // Floor division, so that the remainder is never negative.
    int quotient = numerator / denominator;
    int remainder = numerator % denominator;
    if (remainder < 0) {
        --quotient;
        remainder += denominator;
    }
    const int twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

ZoomView::ZoomView(AppContext& context, std::optional<SelectedRow> row, QColor background, ZoomPurpose purpose)
    : context_(&context), row_(std::move(row)), background_(background.isValid() ? background : QColor(Qt::white)),
      purpose_(purpose), factor_(std::clamp<int>(context.ZoomFactor, 1, kLargestFactor))
{
}

QString ZoomView::caption() const
{
    return QStringLiteral("Zoom ") + QString::number(factor_) + QStringLiteral(":1");
}

QRect ZoomView::pictureRect() const
{
    return {kZoomMargin, kZoomMargin, kZoomedSide * factor_, kZoomedSide * factor_};
}

bool ZoomView::placesHotSpot() const
{
    return purpose_ == ZoomPurpose::PlaceHotSpot || (row_ && isStaticCursorType(row_->type));
}

QImage ZoomView::enlarged() const
{
    const int side = kZoomedSide * factor_;
    QImage picture(side, side, QImage::Format_RGB32);
    picture.fill(background_);
    if (row_ && !row_->image.isNull()) {
        QPainter painter(&picture);
        painter.drawImage(0, 0, row_->image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    return picture;
}

void ZoomView::load()
{
    if (placesHotSpot())
        context_->HotSpotX = kResetHotSpotX;
}

void ZoomView::release(QPoint pointer)
{
    context_->HotSpotX = pixelUnder(pointer.x(), factor_);
    context_->HotSpotY = pixelUnder(pointer.y(), factor_);
}

} // namespace glyphary::exporting
