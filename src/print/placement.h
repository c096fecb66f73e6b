// Where each item lands on the printed sheet. Plain arithmetic on page pixels and the
// printer's device pixels, so it is checked without a printer.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QtGlobal>

#include <optional>

namespace quadrela {

// A business card's items are placed on a card of this size in pixels, which is then
// mapped onto each of the card's places on the sheet.
inline constexpr int kCardBitmapWidth = 1050;
inline constexpr int kCardBitmapHeight = 600;

enum class PrintTarget { Sheet, CardBitmap };

struct ItemPlacement
{
    QRect rect;           // on the sheet, or on the card bitmap
    PrintTarget target = PrintTarget::Sheet;
    bool turn = false;    // the picture is drawn turned by 180 degrees
};

// Placement of an item of a kind with its control's geometry on a page of pageSize
// (DW x DH), for a printable area of printable (PW x PH) device pixels:
// - full page: every coordinate scaled to the printable area;
// - folded card: widths scaled to the whole sheet, heights to its top or bottom half;
//   the front (Left < DW div 2) goes turned into the top half, pictures and texts with
//   their vertical position mirrored inside it, borders not; the inside goes upright
//   into the bottom half;
// - business card: scaled to the card bitmap, never turned.
// Nothing for a kind or a page layout outside the tables, or a page without area.
// Coordinates are products of integers divided as reals and rounded half to even.
std::optional<ItemPlacement> placeItem(int layout, quint8 kind, const QRect& geometry,
                                       QSize pageSize, QSize printable);

// The resolution the card places below are given in.
inline constexpr int kCardSheetDpi = 600;

// The ten fixed rectangles that the card bitmap is stretched into, in device pixels at dpi:
// the left column top to bottom, then the right one. They fit a Letter sheet; at 600 dpi
// the right column is 5 pixels narrower than the left.
QList<QRect> cardSheetRects(int dpi = kCardSheetDpi);

} // namespace quadrela
