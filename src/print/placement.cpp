#include "placement.h"

#include "core/convert.h"
#include "core/state.h"

#include <algorithm>
#include <cmath>

namespace quadrela {

namespace {

// R(a * b / c): the product in 64 bits, the quotient as a real, rounded half to even.
// Sums of these stay in 64 bits too: an item far off the page must not overflow them.
qint64 scale(qint64 a, qint64 b, qint64 c)
{
    return qint64(std::nearbyint(double(a * b) / double(c)));
}

// Far beyond any sheet, and small enough that no corner or size of the rectangle can
// overflow an int.
constexpr qint64 kFarAway = qint64(1) << 29;

int nearby(qint64 v)
{
    return int(std::clamp(v, -kFarAway, kFarAway));
}

QRect fromCorners(qint64 left, qint64 top, qint64 right, qint64 bottom)
{
    // A rectangle from (left, top) to (right, bottom), right and bottom exclusive.
    const int l = nearby(left);
    const int t = nearby(top);
    return QRect(l, t, nearby(right) - l, nearby(bottom) - t);
}

} // namespace

std::optional<ItemPlacement> placeItem(int layout, quint8 kind, const QRect& geometry,
                                       QSize pageSize, QSize printable)
{
    if (kind > TextItem)
        return std::nullopt;
    const int dw = pageSize.width();
    const int dh = pageSize.height();
    if (dw <= 0 || dh <= 0)
        return std::nullopt;
    const int pw = printable.width();
    const int ph = printable.height();
    const qint64 left = geometry.x();
    const qint64 top = geometry.y();
    const qint64 width = geometry.width();
    const qint64 height = geometry.height();

    ItemPlacement placed;
    switch (layout) {
    case FullPage: {
        const qint64 x = scale(left, pw, dw);
        const qint64 y = scale(top, ph, dh);
        placed.rect = fromCorners(x, y, x + scale(width, pw, dw), y + scale(height, ph, dh));
        return placed;
    }
    case FoldedCard: {
        const qint64 half = div2(ph);
        const qint64 x = scale(left, pw, dw);
        const qint64 w = scale(width, pw, dw);
        const qint64 t = scale(top, half, dh);
        const qint64 h = scale(height, half, dh);
        if (left >= div2(dw)) {
            placed.rect = fromCorners(x, half + t, x + w, half + t + h);
            return placed;
        }
        placed.turn = true;
        if (kind == BorderItem)
            placed.rect = fromCorners(x, t, x + w, t + h);
        else
            placed.rect = fromCorners(x, half - t - h, x + w, half - t);
        return placed;
    }
    case BusinessCard: {
        const qint64 x = scale(left, kCardBitmapWidth, dw);
        const qint64 y = scale(top, kCardBitmapHeight, dh);
        placed.target = PrintTarget::CardBitmap;
        placed.rect = fromCorners(x, y, x + scale(width, kCardBitmapWidth, dw),
                                  y + scale(height, kCardBitmapHeight, dh));
        return placed;
    }
    default:
        return std::nullopt;
    }
}

QList<QRect> cardSheetRects(int dpi)
{
    static const QList<QRect> rects600 = [] {
        struct Column
        {
            int left;
            int right;
        };
        const Column columns[] = {{300, 2365}, {2380, 4440}};
        const int tops[] = {110, 1320, 2530, 3740, 4950};
        constexpr int kRowHeight = 1190;
        QList<QRect> list;
        for (const Column& c : columns)
            for (int top : tops)
                list.append(fromCorners(c.left, top, c.right, top + kRowHeight));
        return list;
    }();
    if (dpi == kCardSheetDpi)
        return rects600;
    QList<QRect> rects;
    for (const QRect& r : rects600)
        rects.append(fromCorners(scale(r.left(), dpi, kCardSheetDpi),
                                 scale(r.top(), dpi, kCardSheetDpi),
                                 scale(r.left() + r.width(), dpi, kCardSheetDpi),
                                 scale(r.top() + r.height(), dpi, kCardSheetDpi)));
    return rects;
}

} // namespace quadrela
