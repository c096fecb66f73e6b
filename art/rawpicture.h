// The form the program's artwork is compiled in: its pixels as they are drawn, so showing
// a picture costs no decoding and no conversion. "QDRLARGP", the width and the height
// (32-bit little-endian), then the rows of 32-bit pixels in
// QImage::Format_ARGB32_Premultiplied layout (this machine's byte order: the pictures are
// made when the program is built), without padding. Every part is a multiple of four
// bytes long, so pictures stored one after another keep their pixels 32-bit aligned.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QtEndian>

#include <cstring>

namespace quadrela::rawpicture {

inline constexpr char kMagic[] = "QDRLARGP";
inline constexpr qsizetype kHeaderSize = 16;
inline constexpr quint32 kMaxSide = 8000;

inline QByteArray encode(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const qsizetype rowBytes = qsizetype(image.width()) * 4;
    QByteArray bytes(kHeaderSize + rowBytes * image.height(), Qt::Uninitialized);
    std::memcpy(bytes.data(), kMagic, 8);
    qToLittleEndian<quint32>(quint32(image.width()), bytes.data() + 8);
    qToLittleEndian<quint32>(quint32(image.height()), bytes.data() + 12);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(bytes.data() + kHeaderSize + y * rowBytes, image.constScanLine(y),
                    size_t(rowBytes));
    return bytes;
}

// The size a header states; invalid when `bytes` do not start with one.
inline QSize headerSize(const QByteArray& bytes)
{
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.constData(), kMagic, 8) != 0)
        return {};
    const quint32 width = qFromLittleEndian<quint32>(bytes.constData() + 8);
    const quint32 height = qFromLittleEndian<quint32>(bytes.constData() + 12);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return {};
    return QSize(int(width), int(height));
}

// The picture, sharing the pixels of `bytes` (which may be a resource compiled into the
// program) until it is changed; a null image when the bytes are not a whole picture.
inline QImage decode(const QByteArray& bytes)
{
    const QSize size = headerSize(bytes);
    if (!size.isValid() ||
        bytes.size() != kHeaderSize + qsizetype(size.width()) * size.height() * 4)
        return {};
    auto* kept = new QByteArray(bytes);
    const auto* pixels = reinterpret_cast<const uchar*>(kept->constData() + kHeaderSize);
    QImage image(
        pixels, size.width(), size.height(), qsizetype(size.width()) * 4,
        QImage::Format_ARGB32_Premultiplied,
        [](void* data) { delete static_cast<QByteArray*>(data); }, kept);
    // QImage reads its rows as 32-bit words.
    if (reinterpret_cast<quintptr>(pixels) % alignof(quint32) != 0)
        return image.copy();
    return image;
}

} // namespace quadrela::rawpicture
