#include "placement.h"

#include "core/convert.h"
#include "core/state.h"

namespace quadrela {

namespace {

// R(a * b / c): the product in 64 bits (no overflow for any widget size), the quotient
// as a real, rounded half to even.
int scale(int a, int b, int c)
{
    return roundHalfEven(double(qint64(a) * qint64(b)) / double(c));
}

QRect fromCorners(int left, int top, int right, int bottom)
{
    // A rectangle from (left, top) to (right, bottom), right and bottom exclusive.
    return QRect(left, top, right - left, bottom - top);
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
    const int left = geometry.x();
    const int top = geometry.y();
    const int width = geometry.width();
    const int height = geometry.height();

    ItemPlacement placed;
    switch (layout) {
    case FullPage: {
        const int x = scale(left, pw, dw);
        const int y = scale(top, ph, dh);
        placed.rect = fromCorners(x, y, x + scale(width, pw, dw), y + scale(height, ph, dh));
        return placed;
    }
    case FoldedCard: {
        const int half = div2(ph);
        const int x = scale(left, pw, dw);
        const int w = scale(width, pw, dw);
        const int t = scale(top, half, dh);
        const int h = scale(height, half, dh);
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
        const int x = scale(left, kCardBitmapWidth, dw);
        const int y = scale(top, kCardBitmapHeight, dh);
        placed.target = PrintTarget::CardBitmap;
        placed.rect = fromCorners(x, y, x + scale(width, kCardBitmapWidth, dw),
                                  y + scale(height, kCardBitmapHeight, dh));
        return placed;
    }
    default:
        return std::nullopt;
    }
}

const QList<QRect>& cardSheetRects()
{
    static const QList<QRect> rects = [] {
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
    return rects;
}

} // namespace quadrela
