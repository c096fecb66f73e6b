#include "picload.h"

#include "codecs/picture.h"
#include "codecs/png.h"
#include "core/paths.h"
#include "imaging/RotateBmp.h"

#include <QPainter>

#include <exception>

namespace quadrela {

namespace {

bool takesPngRoad(const QString& path)
{
    return path.right(4).toUpper() == QLatin1String(".PNG");
}

void loadPng(TBitmap& bitmap, const QString& path)
{
    TPNGObject png;
    png.LoadFromFile(path);
    bitmap.pixels = png.toBitmap();
    // Palette and grey pictures keep their transparency in the palette; the colour is
    // still named so the bitmap says which colour it leaves out. A PNG without one leaves
    // the mark as it was: clearing it between pictures is the caller's business.
    if (const std::optional<QRgb> transparent = png.transparentColor())
        bitmap.transparentColor = transparent;
}

void loadOther(TBitmap& bitmap, const QString& path)
{
    TPicture picture;
    picture.LoadFromFile(path);
    // An opaque bitmap drawn on white is itself: a photo is taken as decoded, without a
    // second bitmap of its size.
    const QImage& raster = picture.raster();
    if (!raster.isNull() && !raster.hasAlphaChannel()) {
        bitmap.pixels = raster.convertToFormat(QImage::Format_RGB32);
        if (bitmap.pixels.isNull())
            throw std::bad_alloc();
        return;
    }
    QImage canvas(picture.width(), picture.height(), QImage::Format_RGB32);
    if (canvas.isNull())
        throw std::bad_alloc();
    canvas.fill(Qt::white);
    bitmap.pixels = canvas;
    QPainter painter(&bitmap.pixels);
    picture.draw(painter, QPoint(0, 0));
}

} // namespace

void TBitmap::clear()
{
    pixels = QImage();
    transparentColor.reset();
}

bool LoadPictureBitmap(TBitmap& bitmap, const QString& path, bool turn)
{
    if (!fileExists(path))
        return false;
    try {
        if (takesPngRoad(path))
            loadPng(bitmap, path);
        else
            loadOther(bitmap, path);
        if (turn)
            Rotate180(bitmap.pixels);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QImage drawableImage(const TBitmap& bitmap)
{
    if (bitmap.isEmpty())
        return QImage();
    // Nothing to leave out: the pixels are drawn as they are, not through an ARGB32 copy.
    if (!bitmap.transparentColor && bitmap.pixels.format() == QImage::Format_RGB32)
        return bitmap.pixels;
    QImage image = bitmap.pixels.convertToFormat(QImage::Format_ARGB32);
    if (bitmap.transparentColor)
        leaveOutColour(image, *bitmap.transparentColor);
    return image;
}

void leaveOutColour(QImage& image, QRgb key)
{
    const QRgb opaqueKey = key | 0xFF000000u;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (row[x] == opaqueKey)
                row[x] = 0;
        }
    }
}

} // namespace quadrela
