#include "gestures.h"

#include "core/limits.h"

#include <algorithm>
#include <limits>

namespace quadrela {

namespace {

int clampCoordinate(qint64 v)
{
    return int(std::clamp<qint64>(v, -kMaxWidgetSize, kMaxWidgetSize));
}

} // namespace

HandleZone handleZone(QSize control, QPoint pointer)
{
    HandleZone zone;
    zone.nearLeft = pointer.x() <= kHandleBand;
    zone.nearRight = pointer.x() >= control.width() - kHandleBand;
    zone.nearTop = pointer.y() <= kHandleBand;
    zone.nearBottom = pointer.y() >= control.height() - kHandleBand;
    return zone;
}

Qt::CursorShape shapeForGesture(Gesture gesture)
{
    switch (gesture) {
    case GestureMove:
        return Qt::SizeAllCursor;
    case GestureTopLeft:
    case GestureBottomRight:
        return Qt::SizeFDiagCursor;
    case GestureTop:
    case GestureBottom:
        return Qt::SizeVerCursor;
    case GestureTopRight:
    case GestureBottomLeft:
        return Qt::SizeBDiagCursor;
    case GestureRight:
    case GestureLeft:
        return Qt::SizeHorCursor;
    default:
        return Qt::ArrowCursor;
    }
}

Gestures pickHandle(QSize control, QPoint pointer, bool leftHeld, Qt::CursorShape currentShape,
                    Qt::CursorShape& shape)
{
    const HandleZone z = handleZone(control, pointer);
    Gestures g = GestureNone;
    auto set = [&](Gesture one) {
        g |= one;
        shape = shapeForGesture(one);
    };
    if ((z.nearLeft && z.nearTop) || (z.nearBottom && z.nearRight)) {
        if (z.nearLeft && z.nearTop)
            set(GestureTopLeft);
        if (z.nearBottom && z.nearRight)
            set(GestureBottomRight);
    } else if ((z.nearRight && z.nearTop) || (z.nearBottom && z.nearLeft)) {
        if (z.nearBottom && z.nearLeft)
            set(GestureBottomLeft);
        if (z.nearRight && z.nearTop && leftHeld)
            set(GestureTopRight);
    } else if (z.nearLeft || z.nearRight) {
        if (z.nearLeft)
            set(GestureLeft);
        if (z.nearRight)
            set(GestureRight);
    } else if (z.nearTop || z.nearBottom) {
        if (z.nearTop && leftHeld)
            set(GestureTop);
        if (z.nearBottom && leftHeld)
            set(GestureBottom);
    } else if (currentShape == Qt::SizeAllCursor) {
        set(GestureMove);
    }
    return g;
}

Qt::CursorShape pendingShape(Gestures gestures)
{
    for (Gesture g : {GestureMove, GestureTopLeft, GestureTop, GestureTopRight, GestureRight,
                      GestureBottomRight, GestureBottom, GestureBottomLeft, GestureLeft}) {
        if (gestures & g)
            return shapeForGesture(g);
    }
    return Qt::ArrowCursor;
}

Qt::CursorShape shapeForPosition(QSize control, QPoint pointer)
{
    const HandleZone z = handleZone(control, pointer);
    if ((z.nearLeft && z.nearTop) || (z.nearBottom && z.nearRight))
        return Qt::SizeFDiagCursor;
    if ((z.nearRight && z.nearTop) || (z.nearBottom && z.nearLeft))
        return Qt::SizeBDiagCursor;
    if (z.nearLeft || z.nearRight)
        return Qt::SizeHorCursor;
    if (z.nearTop || z.nearBottom)
        return Qt::SizeVerCursor;
    return Qt::SizeAllCursor;
}

QRect applyRelease(Gestures gestures, QRect geometry, QPoint lastPointer, QPoint pressPoint)
{
    qint64 left = geometry.x();
    qint64 top = geometry.y();
    qint64 width = geometry.width();
    qint64 height = geometry.height();
    const qint64 mx = lastPointer.x();
    const qint64 my = lastPointer.y();

    Gesture applied = GestureNone;
    for (Gesture g : {GestureTopLeft, GestureBottomRight, GestureBottomLeft, GestureTopRight,
                      GestureLeft, GestureRight, GestureTop, GestureBottom, GestureMove}) {
        if (gestures & g) {
            applied = g;
            break;
        }
    }
    switch (applied) {
    case GestureTopLeft:
        left += mx;
        top += my;
        width -= mx;
        height -= my;
        break;
    case GestureBottomRight:
        width = mx;
        height = my;
        break;
    case GestureBottomLeft:
        left += mx;
        width -= mx;
        height = my;
        break;
    case GestureTopRight:
        top += my;
        width = mx;
        height -= my;
        break;
    case GestureLeft:
        left += mx;
        width -= mx;
        break;
    case GestureRight:
        width = mx;
        break;
    case GestureTop:
        top += my;
        height -= my;
        break;
    case GestureBottom:
        height = my;
        break;
    case GestureMove:
        left += mx - pressPoint.x();
        top += my - pressPoint.y();
        break;
    default:
        return geometry;
    }
    if (applied != GestureMove) {
        height = std::max<qint64>(height, kMinResizedSize);
        width = std::max<qint64>(width, kMinResizedSize);
    }
    width = std::min<qint64>(width, kMaxWidgetSize);
    height = std::min<qint64>(height, kMaxWidgetSize);
    return QRect(clampCoordinate(left), clampCoordinate(top), int(width), int(height));
}

} // namespace quadrela
