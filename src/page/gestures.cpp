#include "gestures.h"

#include "core/limits.h"
#include "core/state.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quadrela {

namespace {

int clampCoordinate(qint64 v)
{
    return int(std::clamp<qint64>(v, -kMaxWidgetSize, kMaxWidgetSize));
}

// The one gesture a release applies when several are pending.
Gesture appliedGesture(Gestures gestures)
{
    for (Gesture g : {GestureTopLeft, GestureBottomRight, GestureBottomLeft, GestureTopRight,
                      GestureLeft, GestureRight, GestureTop, GestureBottom, GestureMove}) {
        if (gestures & g)
            return g;
    }
    return GestureNone;
}

struct Snap
{
    qint64 delta = 0; // from the item's position to the line
    int line = 0;
};

// The line nearest to any of the item's positions `at`, when within the tolerance.
std::optional<Snap> nearestSnap(const QList<int>& lines, std::initializer_list<qint64> at,
                                double tolerance)
{
    std::optional<Snap> best;
    for (const qint64 position : at) {
        for (const int line : lines) {
            const qint64 delta = line - position;
            if (std::abs(delta) <= tolerance && (!best || std::abs(delta) < std::abs(best->delta)))
                best = Snap{delta, line};
        }
    }
    return best;
}

GestureOutcome snapMove(QRect r, const SnapLines& lines, double tolerance)
{
    GestureOutcome out;
    const qint64 x = r.x(), y = r.y();
    if (auto s = nearestSnap(lines.xs, {x, x + r.width() / 2, x + r.width()}, tolerance)) {
        r.moveLeft(clampCoordinate(x + s->delta));
        out.guideX = s->line;
    }
    if (auto s = nearestSnap(lines.ys, {y, y + r.height() / 2, y + r.height()}, tolerance)) {
        r.moveTop(clampCoordinate(y + s->delta));
        out.guideY = s->line;
    }
    out.geometry = r;
    return out;
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

    const Gesture applied = appliedGesture(gestures);
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

SnapLines snapLines(QSize page, int pageLayout, const QList<QRect>& others)
{
    SnapLines lines;
    const int w = page.width();
    const int h = page.height();
    if (pageLayout == FoldedCard) {
        // The fold is the dashed line of the card's background; each half is a page.
        const int fold = (w + 1) / 2;
        lines.xs = {0, fold / 2, fold, fold + (w - fold) / 2, w};
    } else {
        lines.xs = {0, w / 2, w};
    }
    lines.ys = {0, h / 2, h};
    for (const QRect& r : others) {
        lines.xs << r.x() << r.x() + r.width() / 2 << r.x() + r.width();
        lines.ys << r.y() << r.y() + r.height() / 2 << r.y() + r.height();
    }
    return lines;
}

GestureOutcome gestureOutcome(Gestures gestures, QRect original, QPoint lastPointer,
                              QPoint pressPoint, const GestureOptions& options)
{
    const QRect released = applyRelease(gestures, original, lastPointer, pressPoint);
    const Gesture g = appliedGesture(gestures);
    // A press that changes nothing (a click) leaves the item where it is.
    if (g == GestureNone || released == original)
        return {released, {}, {}};
    if (g == GestureMove)
        return options.snap ? snapMove(released, *options.snap, options.tolerance)
                            : GestureOutcome{released, {}, {}};

    const bool left = g == GestureTopLeft || g == GestureBottomLeft || g == GestureLeft;
    const bool right = g == GestureTopRight || g == GestureBottomRight || g == GestureRight;
    const bool top = g == GestureTopLeft || g == GestureTopRight || g == GestureTop;
    const bool bottom = g == GestureBottomLeft || g == GestureBottomRight || g == GestureBottom;
    const bool corner = (left || right) && (top || bottom);
    qint64 x0 = released.x(), x1 = x0 + released.width();
    qint64 y0 = released.y(), y1 = y0 + released.height();

    const double w0 = original.width();
    const double h0 = original.height();
    const bool ratio = options.keepRatio && corner && w0 > 0 && h0 > 0;
    // Sets the size keeping the corner opposite the grabbed one where it was.
    const auto placeSized = [&](qint64 w, qint64 h) {
        x0 = left ? qint64(original.x()) + original.width() - w : original.x();
        x1 = x0 + w;
        y0 = top ? qint64(original.y()) + original.height() - h : original.y();
        y1 = y0 + h;
    };
    const auto ratioHeight = [&](qint64 w) { return qint64(std::nearbyint(h0 * (w / w0))); };
    const auto ratioWidth = [&](qint64 h) { return qint64(std::nearbyint(w0 * (h / h0))); };
    if (ratio) {
        // The axis the pointer changed more leads; the other follows.
        const double sx = released.width() / w0;
        const double sy = released.height() / h0;
        double s = std::abs(sx - 1) >= std::abs(sy - 1) ? sx : sy;
        s = std::max({s, kMinResizedSize / w0, kMinResizedSize / h0});
        s = std::min({s, kMaxWidgetSize / w0, kMaxWidgetSize / h0});
        placeSized(qint64(std::nearbyint(w0 * s)), qint64(std::nearbyint(h0 * s)));
    }

    GestureOutcome out;
    if (options.snap) {
        const double tol = options.tolerance;
        auto sx = nearestSnap(options.snap->xs, {left ? x0 : x1}, tol);
        auto sy = nearestSnap(options.snap->ys, {top ? y0 : y1}, tol);
        if (!left && !right)
            sx.reset();
        if (!top && !bottom)
            sy.reset();
        if (ratio) {
            // One edge snaps; the other follows the ratio. The nearer snap is tried first.
            const bool xFirst = sx && (!sy || std::abs(sx->delta) <= std::abs(sy->delta));
            for (int attempt = 0; attempt < 2; ++attempt) {
                const bool useX = (attempt == 0) == xFirst;
                const auto& s = useX ? sx : sy;
                if (!s)
                    continue;
                qint64 w = 0, h = 0;
                if (useX) {
                    w = left ? x1 - s->line : s->line - x0;
                    h = ratioHeight(w);
                } else {
                    h = top ? y1 - s->line : s->line - y0;
                    w = ratioWidth(h);
                }
                if (w < kMinResizedSize || h < kMinResizedSize)
                    continue;
                placeSized(w, h);
                (useX ? out.guideX : out.guideY) = s->line;
                break;
            }
        } else {
            if (sx && (left ? x1 - sx->line : sx->line - x0) >= kMinResizedSize) {
                (left ? x0 : x1) = sx->line;
                out.guideX = sx->line;
            }
            if (sy && (top ? y1 - sy->line : sy->line - y0) >= kMinResizedSize) {
                (top ? y0 : y1) = sy->line;
                out.guideY = sy->line;
            }
        }
    }
    out.geometry = QRect(clampCoordinate(x0), clampCoordinate(y0),
                         int(std::clamp<qint64>(x1 - x0, 0, kMaxWidgetSize)),
                         int(std::clamp<qint64>(y1 - y0, 0, kMaxWidgetSize)));
    return out;
}

} // namespace quadrela
