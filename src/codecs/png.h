// The PNG codec. Unlike Qt's reader it keeps what the program relies on: the palette, the
// bit depth and the single transparent colour (tRNS) of a PNG without per-pixel alpha.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QString>

#include <optional>

class QPainter;
class QPoint;
class QRect;

namespace quadrela {

// How hard the encoder works: Default is zlib's usual level with libpng's choice of row
// filters; Fast is for pictures read back at once (the text renderer's scratch file),
// where a bigger file costs less than the time spent making it smaller; Unfiltered is
// zlib's usual level without row filters, for pictures read far more often than written
// (the template previews): reading them skips undoing the filters, and drawings come out
// no larger.
enum class PngCompression { Default, Fast, Unfiltered };

class TPNGObject
{
public:
    // Colour types as written in the PNG header.
    static constexpr int kColorGray = 0;
    static constexpr int kColorRgb = 2;
    static constexpr int kColorPalette = 3;
    static constexpr int kColorGrayAlpha = 4;
    static constexpr int kColorRgba = 6;

    TPNGObject() = default;

    // Both throw quadrela::Error with a readable message for files that are damaged,
    // truncated, not PNG at all or larger than the program's picture bounds.
    void LoadFromFile(const QString& path);
    void LoadFromData(const QByteArray& bytes);

    // Builds a PNG from a bitmap: Indexed8 becomes a palette PNG, Grayscale8 a grey one,
    // formats with alpha an RGBA one, everything else RGB.
    static TPNGObject fromBitmap(const QImage& bitmap);

    // Writes the bytes as read when the picture is unchanged since loading, otherwise encodes.
    void SaveToFile(const QString& path) const;
    QByteArray encode(PngCompression compression = PngCompression::Default) const;

    bool isEmpty() const { return m_bitmap.isNull(); }
    int width() const { return m_bitmap.width(); }
    int height() const { return m_bitmap.height(); }
    int bitDepth() const { return m_bitDepth; }
    int colorType() const { return m_colorType; }
    bool hasAlphaChannel() const;

    // Makes every pixel of this colour transparent and all others opaque. Refused with
    // quadrela::pngAlphaTransparencyRefused() for PNGs that carry an alpha channel.
    void setTransparentColor(QRgb rgb);
    std::optional<QRgb> transparentColor() const;

    // The picture as a bitmap that keeps its palette: Indexed8 with the palette (or a grey
    // ramp) for palette and grey pictures, 1, 2 and 4 bits per pixel widened to one byte per
    // pixel; RGB32 for colour; ARGB32 when the PNG has an alpha channel. Palette entries made
    // transparent by tRNS carry their alpha in the colour table.
    QImage toBitmap() const { return m_bitmap; }

    // The picture for drawing: premultiplied ARGB32 with the transparent colour left out and
    // per-pixel alpha honoured.
    QImage toImage() const;

    void draw(QPainter& p, QPoint at) const;
    void stretchDraw(QPainter& p, const QRect& r) const;

private:
    // Palette and grey pictures keep their tRNS as the alpha of their colour table entries;
    // RGB pictures keep it in m_transparent.
    QImage m_bitmap;
    int m_bitDepth = 0;
    int m_colorType = kColorRgb;
    std::optional<QRgb> m_transparent;
    QByteArray m_original; // the bytes as read, while the picture is unchanged
    mutable QImage m_drawCache;
};

} // namespace quadrela
