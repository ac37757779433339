#include "platform/BuiltInCursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <array>

namespace glyphary::platform {
namespace {

constexpr int kSide = 32;
constexpr QPointF kCentre(16, 16);

// A shape filled white with a black outline, the look of the classic monochrome pointers.
void outlined(QPainter& painter, const QPainterPath& shape)
{
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPath(shape);
}

// Black strokes with a white halo, so that thin pointers show on any background.
void haloed(QPainter& painter, const QPainterPath& strokes, qreal width)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, width + 2, Qt::SolidLine, Qt::SquareCap));
    painter.drawPath(strokes);
    painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::SquareCap));
    painter.drawPath(strokes);
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath arrow(qreal scale = 1.0)
{
    const QPainterPath shape = polygon({{0, 0}, {0, 17}, {4, 13}, {7, 20}, {10, 19}, {7, 12}, {12, 12}});
    return QTransform::fromScale(scale, scale).map(shape);
}

// A double-headed arrow through the centre, horizontal before turning by `degrees`.
QPainterPath doubleArrow(qreal degrees)
{
    const QPainterPath shape = polygon({{-12, 0}, {-7, -5}, {-7, -2}, {7, -2}, {7, -5}, {12, 0}, {7, 5}, {7, 2},
        {-7, 2}, {-7, 5}});
    QTransform turn;
    turn.translate(kCentre.x(), kCentre.y());
    turn.rotate(degrees);
    return turn.map(shape);
}

QPainterPath hourglass(const QRectF& box)
{
    const QPainterPath unit = polygon({{0, 0}, {1, 0}, {1, 0.12}, {0.58, 0.45}, {0.58, 0.55}, {1, 0.88}, {1, 1},
        {0, 1}, {0, 0.88}, {0.42, 0.55}, {0.42, 0.45}, {0, 0.12}});
    QTransform place;
    place.translate(box.x(), box.y());
    place.scale(box.width(), box.height());
    return place.map(unit);
}

void drawHourglass(QPainter& painter, const QRectF& box)
{
    outlined(painter, hourglass(box));
    // Sand settled in the lower bulb.
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const qreal w = box.width();
    const qreal h = box.height();
    painter.drawPolygon(QPolygonF({{box.x() + 0.2 * w, box.y() + 0.85 * h}, {box.x() + 0.8 * w, box.y() + 0.85 * h},
        {box.x() + 0.5 * w, box.y() + 0.62 * h}}));
}

void drawArrow(QPainter& painter) { outlined(painter, arrow()); }

void drawIBeam(QPainter& painter)
{
    QPainterPath strokes;
    strokes.moveTo(12, 6);
    strokes.lineTo(15, 6);
    strokes.moveTo(17, 6);
    strokes.lineTo(20, 6);
    strokes.moveTo(16, 7);
    strokes.lineTo(16, 25);
    strokes.moveTo(12, 26);
    strokes.lineTo(15, 26);
    strokes.moveTo(17, 26);
    strokes.lineTo(20, 26);
    haloed(painter, strokes, 1);
}

void drawWait(QPainter& painter) { drawHourglass(painter, QRectF(9, 3, 14, 26)); }

void drawCross(QPainter& painter)
{
    QPainterPath strokes;
    strokes.moveTo(16, 3);
    strokes.lineTo(16, 29);
    strokes.moveTo(3, 16);
    strokes.lineTo(29, 16);
    haloed(painter, strokes, 1);
}

void drawUpArrow(QPainter& painter)
{
    outlined(painter, polygon({{16, 0}, {25, 9}, {19, 9}, {19, 26}, {13, 26}, {13, 9}, {7, 9}}));
}

void drawNwPen(QPainter& painter)
{
    // A pen lying from lower right to its nib at the upper left.
    QTransform lie;
    lie.translate(1, 1);
    lie.rotate(45);
    outlined(painter, lie.map(polygon({{0, 0}, {6, -3}, {30, -3}, {30, 3}, {6, 3}})));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(lie.map(QLineF(24, -3, 24, 3)));
}

void drawSizeAll(QPainter& painter) { outlined(painter, doubleArrow(0).united(doubleArrow(90)).simplified()); }

void drawIcon(QPainter& painter)
{
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(8, 8, 16, 16));
    painter.drawRect(QRectF(10, 10, 12, 12));
}

void drawSizeNwse(QPainter& painter) { outlined(painter, doubleArrow(45)); }
void drawSizeNesw(QPainter& painter) { outlined(painter, doubleArrow(-45)); }
void drawSizeWe(QPainter& painter) { outlined(painter, doubleArrow(0)); }
void drawSizeNs(QPainter& painter) { outlined(painter, doubleArrow(90)); }

void drawNo(QPainter& painter)
{
    QPainterPath strokes;
    strokes.addEllipse(kCentre, 10, 10);
    strokes.moveTo(9, 9);
    strokes.lineTo(23, 23);
    haloed(painter, strokes, 3);
}

void drawHand(QPainter& painter)
{
    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill); // overlapping parts join into one outline
    hand.addRoundedRect(QRectF(5, 0, 5, 18), 2.5, 2.5); // the pointing finger
    for (int finger = 0; finger < 3; ++finger)
        hand.addRoundedRect(QRectF(9 + 4 * finger, 9, 5, 10), 2.5, 2.5);
    hand.addRoundedRect(QRectF(1, 13, 6, 9), 3, 3); // thumb
    hand.addRoundedRect(QRectF(3, 14, 19, 14), 4, 4);
    outlined(painter, hand.simplified());
}

void drawAppStarting(QPainter& painter)
{
    drawArrow(painter);
    drawHourglass(painter, QRectF(15, 14, 10, 16));
}

void drawHelp(QPainter& painter)
{
    drawArrow(painter);
    QPainterPath mark;
    mark.moveTo(16, 9);
    mark.cubicTo(16, 4, 25, 4, 25, 9);
    mark.cubicTo(25, 13, 20, 12, 20, 17);
    mark.moveTo(20, 21);
    mark.lineTo(20, 22);
    haloed(painter, mark, 2);
}

struct CursorDrawing {
    int id;
    int hotspotX;
    int hotspotY;
    void (*draw)(QPainter&);
};

constexpr std::array kCursors = {
    CursorDrawing{IDC_ARROW, 0, 0, drawArrow},
    CursorDrawing{IDC_IBEAM, 16, 16, drawIBeam},
    CursorDrawing{IDC_WAIT, 16, 16, drawWait},
    CursorDrawing{IDC_CROSS, 16, 16, drawCross},
    CursorDrawing{IDC_UPARROW, 16, 0, drawUpArrow},
    CursorDrawing{IDC_NWPEN, 1, 1, drawNwPen},
    CursorDrawing{IDC_SIZE, 16, 16, drawSizeAll},
    CursorDrawing{IDC_ICON, 16, 16, drawIcon},
    CursorDrawing{IDC_SIZENWSE, 16, 16, drawSizeNwse},
    CursorDrawing{IDC_SIZENESW, 16, 16, drawSizeNesw},
    CursorDrawing{IDC_SIZEWE, 16, 16, drawSizeWe},
    CursorDrawing{IDC_SIZENS, 16, 16, drawSizeNs},
    CursorDrawing{IDC_SIZEALL, 16, 16, drawSizeAll},
    CursorDrawing{IDC_NO, 16, 16, drawNo},
    CursorDrawing{IDC_HAND, 7, 0, drawHand},
    CursorDrawing{IDC_APPSTARTING, 0, 0, drawAppStarting},
    CursorDrawing{IDC_HELP, 0, 0, drawHelp},
};

constexpr auto kIds = [] {
    std::array<int, kCursors.size()> ids{};
    for (std::size_t i = 0; i < kCursors.size(); ++i)
        ids[i] = kCursors[i].id;
    return ids;
}();

} // namespace

std::span<const int> builtInCursorIds() { return kIds; }

Icon drawBuiltInCursor(int id)
{
    for (const CursorDrawing& cursor : kCursors) {
        if (cursor.id != id)
            continue;
        Icon icon;
        icon.image = QImage(kSide, kSide, QImage::Format_ARGB32);
        icon.image.fill(Qt::transparent);
        {
            QPainter painter(&icon.image);
            // Crisp pixels: these stand in for monochrome cursors.
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.translate(0.5, 0.5);
            cursor.draw(painter);
        }
        icon.hotspotX = cursor.hotspotX;
        icon.hotspotY = cursor.hotspotY;
        icon.bitsPerPixel = 32;
        icon.isCursor = true;
        return icon;
    }
    return {};
}

} // namespace glyphary::platform
