// Loading picture files into plain bitmaps at their full resolution, for printing.
#pragma once

#include <QImage>
#include <QRgb>
#include <QString>

#include <optional>

namespace quadrela {

// A bitmap as printing uses it: the pixels and, when the picture brought one, the
// single colour that is left out when the bitmap is drawn.
struct TBitmap
{
    QImage pixels;
    std::optional<QRgb> transparentColor;  // opaque RGB; unset draws every pixel

    bool isEmpty() const { return pixels.isNull(); }
    // Drops the pixels and the transparent colour together, so a picture loaded later
    // never inherits the colour an earlier one was drawn without.
    void clear();
};

// Reads the picture file at path into bitmap and, when turn is set, turns it by 180
// degrees. Returns false when there is no file at path (the bitmap is then untouched) or
// when decoding or turning fails (the bitmap keeps what was loaded before the failure).
// Never throws, never tells the user.
//
// A path ending in ".png" in any case goes through the PNG codec and keeps its layout:
// palette pictures of any depth come at one byte per pixel with their palette, colour
// pictures at 32 bits per pixel; a transparency chunk becomes the bitmap's transparent
// colour (palette and grey pictures carry it in the palette), per-pixel alpha stays
// alpha. Every other path goes through the generic picture holder and comes at 32 bits
// per pixel on white, so transparent parts of icons and metafiles come out white.
bool LoadPictureBitmap(TBitmap& bitmap, const QString& path, bool turn);

// The bitmap as it is drawn: ARGB32 with the transparent colour left out and per-pixel
// alpha (or palette alpha) honoured; an RGB32 bitmap without a transparent colour is
// returned as it is. Keying happens before any scaling, so scaled drawings show no
// fringes of the left-out colour.
QImage drawableImage(const TBitmap& bitmap);

// Makes every pixel of a 32-bit image (ARGB32 or premultiplied) that shows the colour key,
// taken as opaque, fully transparent.
void leaveOutColour(QImage& image, QRgb key);

} // namespace quadrela
