#include "turnpicture.h"

#include "codecs/jpeg.h"
#include "codecs/png.h"
#include "core/errors.h"

#include <QTransform>
#include <turbojpeg.h>

#include <memory>

namespace quadrela {

namespace {

using TurboHandle = std::unique_ptr<void, decltype(&tjDestroy)>;

TurboHandle turboHandle(tjhandle handle)
{
    if (!handle)
        throw Error(QStringLiteral("Memória insuficiente para girar a imagem"));
    return TurboHandle(handle, &tjDestroy);
}

// Takes the buffer the library allocated.
QByteArray takeTurboBuffer(unsigned char* buffer, unsigned long size)
{
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    tjFree(buffer);
    return bytes;
}

QImage turned(const QImage& image, PictureTurn turn)
{
    // Quarter turns of a QTransform are exact: Qt moves the pixels without resampling.
    switch (turn) {
    case PictureTurn::Right:
        return image.transformed(QTransform().rotate(90));
    case PictureTurn::Left:
        return image.transformed(QTransform().rotate(-90));
    case PictureTurn::MirrorHorizontal:
        return image.mirrored(true, false);
    case PictureTurn::MirrorVertical:
        return image.mirrored(false, true);
    }
    return image;
}

// The coded blocks moved as they stand, or nothing when a partial block at an edge would
// have to be cut off or left where it is.
QByteArray losslessJpeg(const QByteArray& bytes, PictureTurn turn)
{
    const TurboHandle handle = turboHandle(tjInitTransform());
    tjtransform transform{};
    transform.op = turn == PictureTurn::Right              ? TJXOP_ROT90
                   : turn == PictureTurn::Left             ? TJXOP_ROT270
                   : turn == PictureTurn::MirrorHorizontal ? TJXOP_HFLIP
                                                           : TJXOP_VFLIP;
    transform.options = TJXOPT_PERFECT;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    if (tjTransform(handle.get(), reinterpret_cast<const unsigned char*>(bytes.constData()),
                    static_cast<unsigned long>(bytes.size()), 1, &out, &outSize, &transform,
                    0) != 0) {
        tjFree(out);
        return QByteArray();
    }
    return takeTurboBuffer(out, outSize);
}

QByteArray reencodedJpeg(const QByteArray& bytes, PictureTurn turn)
{
    const QImage image = turned(decodeJpeg(bytes), turn);
    if (image.isNull())
        throw Error(QStringLiteral("Memória insuficiente para girar a imagem"));
    const TurboHandle handle = turboHandle(tjInitCompress());
    // A grey photo stays grey; colour keeps every chroma sample.
    int width = 0, height = 0, subsampling = TJSAMP_444, colorspace = TJCS_RGB;
    tjDecompressHeader3(turboHandle(tjInitDecompress()).get(),
                        reinterpret_cast<const unsigned char*>(bytes.constData()),
                        static_cast<unsigned long>(bytes.size()), &width, &height, &subsampling,
                        &colorspace);
    const int outSampling = colorspace == TJCS_GRAY ? TJSAMP_GRAY : TJSAMP_444;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    const int pixelFormat = TJPF_BGRX;
#else
    const int pixelFormat = TJPF_XRGB;
#endif
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    if (tjCompress2(handle.get(), image.constBits(), image.width(), int(image.bytesPerLine()),
                    image.height(), pixelFormat, &out, &outSize, outSampling, 100,
                    TJFLAG_ACCURATEDCT) != 0) {
        const QString reason = QString::fromLocal8Bit(tjGetErrorStr2(handle.get()));
        tjFree(out);
        throw Error(QStringLiteral("Não foi possível gravar a imagem girada: %1").arg(reason));
    }
    return takeTurboBuffer(out, outSize);
}

QByteArray turnedPng(const QByteArray& bytes, PictureTurn turn)
{
    TPNGObject source;
    source.LoadFromData(bytes);
    TPNGObject png = TPNGObject::fromBitmap(turned(source.toBitmap(), turn));
    if (const auto key = source.transparentColor(); key && !png.hasAlphaChannel())
        png.setTransparentColor(*key);
    return png.encode();
}

} // namespace

TurnedPicture turnPicture(const QByteArray& bytes, PictureFormat format, PictureTurn turn)
{
    TurnedPicture result;
    if (format == PictureFormat::Jpeg) {
        jpegPictureSize(bytes); // refuses what the decoder would refuse
        result.extension = QStringLiteral("jpg");
        result.bytes = losslessJpeg(bytes, turn);
        if (result.bytes.isEmpty())
            result.bytes = reencodedJpeg(bytes, turn);
        return result;
    }
    result.extension = QStringLiteral("png");
    if (format == PictureFormat::Png) {
        result.bytes = turnedPng(bytes, turn);
        return result;
    }
    // Bitmaps and icons as decoded, metafiles drawn at their own size.
    TPicture picture;
    picture.LoadFromData(bytes, format);
    const QImage image = picture.raster().isNull() ? picture.toImage() : picture.raster();
    result.bytes = TPNGObject::fromBitmap(turned(image, turn)).encode();
    return result;
}

} // namespace quadrela
