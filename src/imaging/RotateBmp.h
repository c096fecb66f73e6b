// Turning a bitmap by 180 degrees in place.
//
// Printing the front of a folded card puts it upside down in the top half of the
// sheet, so the picture loader turns those pictures before they are drawn. Pixels
// are swapped whole and never decoded: the palette of an 8-bit picture and the
// channel order of any supported layout stay as they are.
#pragma once

#include <QImage>
#include <QtGlobal>

namespace quadrela {

// Pixel layouts by their bits per pixel. 16 is the 5-6-5 layout; 15 stands for the
// 5-5-5 layout (which also takes two bytes) and is refused, as are 1 and 4 bits per
// pixel and kCustomLayout (device-dependent or otherwise unknown pixels).
inline constexpr int kCustomLayout = 0;

// A bitmap reached through its scan lines. `bits` is the first byte of row 0, the
// top row of the picture; `rowDistance` is the signed number of bytes from one row
// to the next, negative when the rows are stored bottom-up. Rows may end in padding
// bytes, which the turn never touches. The view does not own the pixels.
//
// The caller guarantees that every row's width * bytes-per-pixel bytes are
// addressable and that rows do not overlap (|rowDistance| >= the row's pixel bytes
// whenever height > 1).
struct BitmapView
{
    uchar* bits = nullptr;
    int width = 0;
    int height = 0;
    int bitsPerPixel = kCustomLayout;
    qptrdiff rowDistance = 0;
};

// Address of the first byte of row `row` (0 = top).
inline uchar* scanLine(const BitmapView& bmp, int row)
{
    return bmp.bits + qptrdiff(row) * bmp.rowDistance;
}

// 1, 2, 3 or 4 for the supported layouts (8, 16 (5-6-5), 24, 32 bits per pixel),
// 0 for every other one.
int BytesPerPixel(const BitmapView& bmp);

// Address of row 1 minus address of row 0; 0 when the bitmap has fewer than 2 rows.
qptrdiff RowStride(const BitmapView& bmp);

// The turn for one pixel size. Each checks first that the bitmap has that pixel size
// and then that it has at least one row, and throws quadrela::Error
// "Assertion failure (src/imaging/RotateBmp.cpp, line N)" before any pixel moves.
void Rotate180Bpp8(const BitmapView& bmp);
void Rotate180Bpp16(const BitmapView& bmp);
void Rotate180Bpp24(const BitmapView& bmp);
void Rotate180Bpp32(const BitmapView& bmp);

// Picks the turn by the pixel layout; any layout other than 8, 16 (5-6-5), 24 or 32
// bits per pixel throws the assertion failure of line 656 and leaves the bitmap as
// it was. The pixel at column x of row y moves to column W-1-x of row H-1-y.
void Rotate180(const BitmapView& bmp);

// The layout code a QImage format stands for: 8 for the one-byte formats, 16 for
// RGB16 (5-6-5), 15 for RGB555, 24 and 32 for the three- and four-byte formats,
// 1 for the monochrome ones and kCustomLayout for every other 16-bit or wider layout.
int bitmapLayoutOf(QImage::Format format);

// A view of the image's own pixels (detaching it first if it is shared).
BitmapView bitmapViewOf(QImage& image);

// Rotate180 on a QImage. A null image is refused like an unsupported layout.
void Rotate180(QImage& image);

} // namespace quadrela
