// The arithmetic of moving and resizing items with the mouse, on plain values.
// A press records what was grabbed; every pointer move computes where the release would
// put the item, which the page shows at once; the release applies the last of these.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>
#include <optional>

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

// How near, in screen pixels, an edge or centre must come to a line to snap to it.
inline constexpr int kSnapDistance = 6;

// The lines a dragged item snaps to, in page pixels: vertical lines at `xs`, horizontal
// ones at `ys`.
struct SnapLines
{
    QList<int> xs;
    QList<int> ys;
};

// The page's edges and centre lines (each half of a folded card counts as a page) and the
// edges and centres of `others`.
SnapLines snapLines(QSize page, int pageLayout, const QList<QRect>& others);

struct GestureOptions
{
    bool keepRatio = false;            // a corner keeps the width-to-height ratio
    const SnapLines* snap = nullptr;   // null: nothing snaps
    double tolerance = kSnapDistance;  // page pixels
};

// Where a gesture puts the item, and the lines it snapped to.
struct GestureOutcome
{
    QRect geometry;
    std::optional<int> guideX;
    std::optional<int> guideY;

    bool operator==(const GestureOutcome&) const = default;
};

// applyRelease, then a kept ratio on a corner, then snapping: a move snaps the item's
// edges and centre, a resize the edges it moves. A snap that would make the item smaller
// than the resize minimum is not taken.
GestureOutcome gestureOutcome(Gestures gestures, QRect original, QPoint lastPointer,
                              QPoint pressPoint, const GestureOptions& options);

} // namespace quadrela
