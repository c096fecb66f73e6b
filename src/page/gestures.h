// The arithmetic of moving and resizing items with the mouse, on plain values.
// Nothing moves while the mouse is dragged: a press records what was grabbed, pointer
// moves change the pointer shape and remember the position, the release applies it.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

namespace quadrela {

enum Gesture : quint16 {
    GestureNone = 0,
    GestureMove = 1 << 0,
    GestureTopLeft = 1 << 1,
    GestureTop = 1 << 2,
    GestureTopRight = 1 << 3,
    GestureRight = 1 << 4,
    GestureBottomRight = 1 << 5,
    GestureBottom = 1 << 6,
    GestureBottomLeft = 1 << 7,
    GestureLeft = 1 << 8,
};
using Gestures = quint16;

inline constexpr int kHandleBand = 6;
inline constexpr int kMinResizedSize = 10;

struct HandleZone
{
    bool nearLeft = false;
    bool nearRight = false;
    bool nearTop = false;
    bool nearBottom = false;
};

HandleZone handleZone(QSize control, QPoint pointer);

Qt::CursorShape shapeForGesture(Gesture gesture);

// The handle a press on a picture item picks. `currentShape` is the pointer shape in force
// at the press: the move only starts when it is the four-way shape. `shape` receives the
// shape of the gestures set (unchanged when none is set).
Gestures pickHandle(QSize control, QPoint pointer, bool leftHeld, Qt::CursorShape currentShape,
                    Qt::CursorShape& shape);

// The shape while a gesture is pending: that of the first pending gesture in the order
// move, top-left, top, top-right, right, bottom-right, bottom, bottom-left, left.
Qt::CursorShape pendingShape(Gestures gestures);

// The shape over a control when nothing is pending.
Qt::CursorShape shapeForPosition(QSize control, QPoint pointer);

// The control's geometry after the release: the first pending gesture in the order
// top-left, bottom-right, bottom-left, top-right, left, right, top, bottom, move is applied
// with the last pointer position; after a resize the size is at least 10 x 10. Computed
// without overflow and kept within the widget size limit.
QRect applyRelease(Gestures gestures, QRect geometry, QPoint lastPointer, QPoint pressPoint);

} // namespace quadrela
