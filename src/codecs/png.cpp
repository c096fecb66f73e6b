#include "codecs/png.h"

#include "codecs/codec_util.h"
#include "core/errors.h"
#include "core/limits.h"

#include <QPainter>
#include <QtEndian>

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace quadrela {

namespace {

// libpng reports errors by longjmp. Everything between a setjmp below and the longjmp is
// plain C data: the functions that call setjmp hold no object with a destructor, and the
// objects that do (the row buffers, the QImage) live in their callers.

struct PngFailure
{
    char message[256];
};

struct MemReader
{
    const unsigned char* data;
    size_t size;
    size_t pos;
};

extern "C" void pngOnError(png_structp png, png_const_charp message)
{
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s", message);
    png_longjmp(png, 1);
}

extern "C" void pngOnWarning(png_structp, png_const_charp) {}

extern "C" void pngReadData(png_structp png, png_bytep out, size_t count)
{
    auto* reader = static_cast<MemReader*>(png_get_io_ptr(png));
    if (count > reader->size - reader->pos)
        png_error(png, "the file ends before the picture does");
    std::memcpy(out, reader->data + reader->pos, count);
    reader->pos += count;
}

extern "C" void pngWriteData(png_structp png, png_bytep data, size_t count)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data),
                                                         qsizetype(count));
}

extern "C" void pngFlush(png_structp) {}

struct PngHeader
{
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colorType;
    png_color palette[256];
    int paletteCount;
    png_byte alphas[256];
    int alphaCount;
    png_color_16 transColor;
    bool hasTransColor;
    bool keyedToAlpha;
    size_t rowBytes;
};

// Reads the header chunks and sets up the conversion to the bitmap's row layout.
bool pngReadHeader(png_structp png, png_infop info, PngHeader* h)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    int interlace = 0;
    png_get_IHDR(png, info, &h->width, &h->height, &h->bitDepth, &h->colorType, &interlace,
                 nullptr, nullptr);

    h->paletteCount = 0;
    png_colorp palette = nullptr;
    if (png_get_PLTE(png, info, &palette, &h->paletteCount) & PNG_INFO_PLTE) {
        h->paletteCount = std::min(h->paletteCount, 256);
        std::memcpy(h->palette, palette, sizeof(png_color) * size_t(h->paletteCount));
    }
    h->alphaCount = 0;
    h->hasTransColor = false;
    png_bytep alphas = nullptr;
    png_color_16p transColor = nullptr;
    if (png_get_tRNS(png, info, &alphas, &h->alphaCount, &transColor) & PNG_INFO_tRNS) {
        if (h->colorType == PNG_COLOR_TYPE_PALETTE && alphas) {
            h->alphaCount = std::min(h->alphaCount, 256);
            std::memcpy(h->alphas, alphas, size_t(h->alphaCount));
        } else if (transColor) {
            h->alphaCount = 0;
            h->transColor = *transColor;
            h->hasTransColor = true;
        }
    }

    // A 16-bit transparent colour must be compared at 16 bits, before the samples are cut
    // to 8: libpng turns it into alpha.
    h->keyedToAlpha = h->bitDepth == 16 && h->hasTransColor;
    if (h->keyedToAlpha) {
        png_set_tRNS_to_alpha(png);
        h->colorType |= PNG_COLOR_MASK_ALPHA;
    }
    if (h->bitDepth == 16)
        png_set_strip_16(png);
    if (h->bitDepth < 8)
        png_set_packing(png);
    if (h->colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (h->colorType & PNG_COLOR_MASK_COLOR && h->colorType != PNG_COLOR_TYPE_PALETTE) {
        // Rows go straight into QImage's RGB32/ARGB32 words.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        png_set_bgr(png);
        if (!(h->colorType & PNG_COLOR_MASK_ALPHA))
            png_set_filler(png, 0xff, PNG_FILLER_AFTER);
#else
        if (h->colorType & PNG_COLOR_MASK_ALPHA)
            png_set_swap_alpha(png);
        else
            png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
#endif
    }
    if (h->colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        png_set_bgr(png);
#else
        png_set_swap_alpha(png);
#endif
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    h->rowBytes = png_get_rowbytes(png, info);
    return true;
}

bool pngReadPixels(png_structp png, png_infop info, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

struct PngWriteLayout
{
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colorType;
    png_color palette[256];
    int paletteCount;
    png_byte alphas[256];
    int alphaCount;
    png_color_16 transColor;
    bool hasTransColor;
    // Rows come as QImage's 32-bit words: the byte order is swapped, a filler byte
    // dropped, by libpng as it writes each row.
    bool swapToRgb;
    bool swapAlpha;
    int filler;  // 0 none, else PNG_FILLER_AFTER + 1 or PNG_FILLER_BEFORE + 1
    int compressionLevel;  // -1: zlib's default
    int filters;           // 0: libpng's choice
};

bool pngWrite(png_structp png, png_infop info, const PngWriteLayout* s, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    if (s->compressionLevel >= 0)
        png_set_compression_level(png, s->compressionLevel);
    if (s->filters != 0)
        png_set_filter(png, PNG_FILTER_TYPE_BASE, s->filters);
    png_set_IHDR(png, info, s->width, s->height, s->bitDepth, s->colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (s->colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, s->palette, s->paletteCount);
    if (s->alphaCount > 0 || s->hasTransColor)
        png_set_tRNS(png, info, s->alphaCount > 0 ? s->alphas : nullptr, s->alphaCount,
                     s->hasTransColor ? &s->transColor : nullptr);
    png_write_info(png, info);
    if (s->bitDepth < 8)
        png_set_packing(png);
    if (s->swapToRgb)
        png_set_bgr(png);
    if (s->swapAlpha)
        png_set_swap_alpha(png);
    if (s->filler != 0)
        png_set_filler(png, 0, s->filler - 1);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

class ReadStruct
{
public:
    explicit ReadStruct(PngFailure* failure)
    {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, failure, pngOnError, pngOnWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
        if (!m_png || !m_info)
            throw Error(QStringLiteral("Memória insuficiente para ler uma imagem PNG"));
    }
    ~ReadStruct() { png_destroy_read_struct(&m_png, &m_info, nullptr); }
    ReadStruct(const ReadStruct&) = delete;
    ReadStruct& operator=(const ReadStruct&) = delete;
    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

class WriteStruct
{
public:
    explicit WriteStruct(PngFailure* failure)
    {
        m_png = png_create_write_struct(PNG_LIBPNG_VER_STRING, failure, pngOnError, pngOnWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
        if (!m_png || !m_info)
            throw Error(QStringLiteral("Memória insuficiente para gravar uma imagem PNG"));
    }
    ~WriteStruct() { png_destroy_write_struct(&m_png, &m_info); }
    WriteStruct(const WriteStruct&) = delete;
    WriteStruct& operator=(const WriteStruct&) = delete;
    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

Error pngError(const PngFailure& failure)
{
    return Error(QStringLiteral("Imagem PNG inválida: %1").arg(QString::fromUtf8(failure.message)));
}

QList<QRgb> greyRamp(int bitDepth)
{
    const int levels = 1 << std::min(bitDepth, 8);
    QList<QRgb> table;
    table.reserve(levels);
    for (int i = 0; i < levels; ++i) {
        const int v = i * 255 / (levels - 1);
        table.append(qRgb(v, v, v));
    }
    return table;
}

bool isIndexed(int colorType)
{
    return colorType == TPNGObject::kColorPalette || colorType == TPNGObject::kColorGray;
}

} // namespace

void TPNGObject::LoadFromFile(const QString& path)
{
    LoadFromData(codec::readFile(path));
}

void TPNGObject::LoadFromData(const QByteArray& bytes)
{
    static const unsigned char signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (bytes.size() < 8 || std::memcmp(bytes.constData(), signature, 8) != 0)
        throw Error(QStringLiteral("Imagem PNG inválida: falta a assinatura PNG"));

    PngFailure failure{};
    ReadStruct rs(&failure);
    MemReader reader{reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()),
                     0};
    png_set_read_fn(rs.png(), &reader, pngReadData);

    auto header = std::make_unique<PngHeader>();
    if (!pngReadHeader(rs.png(), rs.info(), header.get()))
        throw pngError(failure);
    // The layout of the rows follows the transformed type; the header's type is reported.
    const int fileColorType = header->keyedToAlpha ? header->colorType & ~PNG_COLOR_MASK_ALPHA
                                                   : header->colorType;
    codec::checkPictureSize(header->width, header->height);

    const int w = int(header->width);
    const int h = int(header->height);
    const bool indexed = isIndexed(header->colorType);
    const size_t expectedRowBytes = size_t(w) * (indexed ? 1 : 4);
    if (header->rowBytes != expectedRowBytes)
        throw Error(QStringLiteral("Imagem PNG inválida: disposição de linhas inesperada"));

    const QImage::Format format = indexed ? QImage::Format_Indexed8
                                  : (header->colorType & PNG_COLOR_MASK_ALPHA)
                                      ? QImage::Format_ARGB32
                                      : QImage::Format_RGB32;
    QImage bitmap(w, h, format);
    if (bitmap.isNull())
        throw Error(QStringLiteral("Memória insuficiente para uma imagem de %1 x %2 pixels").arg(w).arg(h));
    std::vector<png_bytep> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        rows[size_t(y)] = bitmap.scanLine(y);
    if (!pngReadPixels(rs.png(), rs.info(), rows.data()))
        throw pngError(failure);

    std::optional<QRgb> transparent;
    if (header->colorType == PNG_COLOR_TYPE_PALETTE) {
        QList<QRgb> table;
        for (int i = 0; i < header->paletteCount; ++i) {
            const png_color& c = header->palette[i];
            const int alpha = i < header->alphaCount ? header->alphas[i] : 255;
            table.append(qRgba(c.red, c.green, c.blue, alpha));
        }
        // A damaged file may use indexes beyond its palette; they show as opaque black
        // instead of reading past the colour table.
        uchar maxIndex = 0;
        for (int y = 0; y < h; ++y) {
            const uchar* line = bitmap.constScanLine(y);
            for (int x = 0; x < w; ++x)
                maxIndex = std::max(maxIndex, line[x]);
        }
        while (table.size() <= maxIndex)
            table.append(qRgb(0, 0, 0));
        bitmap.setColorTable(table);
    } else if (header->colorType == PNG_COLOR_TYPE_GRAY) {
        // 16-bit grey arrives as its high byte, so it takes the 8-bit ramp.
        QList<QRgb> table = greyRamp(header->bitDepth);
        if (header->hasTransColor) {
            const int index = header->bitDepth == 16 ? header->transColor.gray >> 8
                                                     : header->transColor.gray;
            if (index < table.size())
                table[index] &= 0x00ffffff;
        }
        bitmap.setColorTable(table);
    } else if (header->colorType == PNG_COLOR_TYPE_RGB && header->hasTransColor) {
        transparent = qRgb(header->transColor.red, header->transColor.green,
                           header->transColor.blue);
    } else if (header->keyedToAlpha) {
        const bool grey = fileColorType == PNG_COLOR_TYPE_GRAY;
        transparent = qRgb((grey ? header->transColor.gray : header->transColor.red) >> 8,
                           (grey ? header->transColor.gray : header->transColor.green) >> 8,
                           (grey ? header->transColor.gray : header->transColor.blue) >> 8);
    }

    m_bitmap = std::move(bitmap);
    m_bitDepth = header->bitDepth;
    m_colorType = fileColorType;
    m_transparent = transparent;
    m_original = bytes;
    m_drawCache = QImage();
}

TPNGObject TPNGObject::fromBitmap(const QImage& bitmap)
{
    if (bitmap.isNull())
        throw Error(QStringLiteral("Não é possível fazer uma imagem PNG de um bitmap vazio"));
    codec::checkPictureSize(bitmap.width(), bitmap.height());

    TPNGObject png;
    png.m_bitDepth = 8;
    if (bitmap.format() == QImage::Format_Indexed8 && !bitmap.colorTable().isEmpty()) {
        png.m_bitmap = bitmap.copy();
        png.m_colorType = kColorPalette;
    } else if (bitmap.format() == QImage::Format_Grayscale8) {
        QImage indexed(bitmap.size(), QImage::Format_Indexed8);
        for (int y = 0; y < bitmap.height(); ++y)
            std::memcpy(indexed.scanLine(y), bitmap.constScanLine(y), size_t(bitmap.width()));
        indexed.setColorTable(greyRamp(8));
        png.m_bitmap = std::move(indexed);
        png.m_colorType = kColorGray;
    } else if (bitmap.hasAlphaChannel()) {
        png.m_bitmap = bitmap.convertToFormat(QImage::Format_ARGB32);
        png.m_colorType = kColorRgba;
    } else {
        png.m_bitmap = bitmap.convertToFormat(QImage::Format_RGB32);
        png.m_colorType = kColorRgb;
    }
    if (png.m_bitmap.isNull())
        throw Error(QStringLiteral("Memória insuficiente para uma imagem de %1 x %2 pixels")
                        .arg(bitmap.width())
                        .arg(bitmap.height()));
    return png;
}

bool TPNGObject::hasAlphaChannel() const
{
    return m_colorType == kColorRgba || m_colorType == kColorGrayAlpha;
}

void TPNGObject::setTransparentColor(QRgb rgb)
{
    if (hasAlphaChannel())
        throw pngAlphaTransparencyRefused();
    if (m_bitmap.isNull())
        throw Error(QStringLiteral("Não é possível definir a cor transparente de uma imagem PNG vazia"));
    rgb = qRgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
    if (m_bitmap.format() == QImage::Format_ARGB32) {
        // A 16-bit picture whose transparent colour was applied on reading: the new colour
        // replaces it, so the picture becomes opaque first.
        m_bitmap = m_bitmap.convertToFormat(QImage::Format_RGB32);
    }
    if (m_bitmap.format() == QImage::Format_Indexed8) {
        // The tRNS of a grey picture holds one grey level, so only the first match counts.
        QList<QRgb> table = m_bitmap.colorTable();
        bool matched = false;
        for (QRgb& entry : table) {
            const bool match = (entry | 0xff000000) == rgb && !(matched && m_colorType == kColorGray);
            matched = matched || match;
            entry = match ? (entry & 0x00ffffff) : (entry | 0xff000000);
        }
        m_bitmap.setColorTable(table);
    } else {
        m_transparent = rgb;
    }
    m_original.clear();
    m_drawCache = QImage();
}

std::optional<QRgb> TPNGObject::transparentColor() const
{
    if (m_bitmap.format() == QImage::Format_Indexed8) {
        for (QRgb entry : m_bitmap.colorTable())
            if (qAlpha(entry) == 0)
                return entry | 0xff000000;
        return std::nullopt;
    }
    return hasAlphaChannel() ? std::nullopt : m_transparent;
}

QImage TPNGObject::toImage() const
{
    if (m_bitmap.isNull())
        return QImage();
    if (!m_drawCache.isNull())
        return m_drawCache;
    QImage image = m_bitmap.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (m_transparent && m_bitmap.format() == QImage::Format_RGB32) {
        const QRgb key = *m_transparent;
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (line[x] == key)
                    line[x] = 0;
        }
    }
    m_drawCache = image;
    return image;
}

void TPNGObject::draw(QPainter& p, QPoint at) const
{
    p.drawImage(at, toImage());
}

void TPNGObject::stretchDraw(QPainter& p, const QRect& r) const
{
    p.drawImage(r, toImage());
}

QByteArray TPNGObject::encode(PngCompression compression) const
{
    if (m_bitmap.isNull())
        throw Error(QStringLiteral("Não é possível gravar uma imagem PNG vazia"));

    auto layout = std::make_unique<PngWriteLayout>();
    *layout = PngWriteLayout{};
    layout->width = png_uint_32(m_bitmap.width());
    layout->height = png_uint_32(m_bitmap.height());
    layout->colorType = m_colorType;
    // Rows are kept at 8 bits a sample, so a 16-bit picture is written back at 8.
    layout->bitDepth = std::min(m_bitDepth > 0 ? m_bitDepth : 8, 8);

    const int h = m_bitmap.height();
    std::vector<png_bytep> rows(static_cast<size_t>(h));
    QImage words;  // the bitmap in 32-bit words, when it is in another layout
    if (compression == PngCompression::Fast) {
        layout->compressionLevel = 1;
        layout->filters = PNG_FILTER_SUB;
    } else {
        layout->compressionLevel = -1;
        if (compression == PngCompression::Unfiltered)
            layout->filters = PNG_FILTER_NONE;
    }
    if (m_bitmap.format() == QImage::Format_Indexed8) {
        const QList<QRgb> table = m_bitmap.colorTable();
        if (m_colorType == kColorPalette) {
            layout->paletteCount = int(std::min<qsizetype>(table.size(), 256));
            for (int i = 0; i < layout->paletteCount; ++i) {
                layout->palette[i] = {png_byte(qRed(table[i])), png_byte(qGreen(table[i])),
                                    png_byte(qBlue(table[i]))};
                layout->alphas[i] = png_byte(qAlpha(table[i]));
                if (qAlpha(table[i]) != 255)
                    layout->alphaCount = i + 1;
            }
        } else {
            for (int i = 0; i < table.size(); ++i)
                if (qAlpha(table[i]) == 0) {
                    layout->transColor.gray = png_uint_16(i);
                    layout->hasTransColor = true;
                    break;
                }
        }
        for (int y = 0; y < h; ++y)
            rows[size_t(y)] = const_cast<png_bytep>(m_bitmap.constScanLine(y));
    } else {
        // Grey pictures with alpha or a 16-bit transparent grey are kept in colour.
        const bool alpha = m_bitmap.hasAlphaChannel();
        layout->colorType = alpha ? kColorRgba : kColorRgb;
        const QImage::Format wordFormat = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        if (m_bitmap.format() != wordFormat)
            words = m_bitmap.convertToFormat(wordFormat);
        const QImage& source = words.isNull() ? m_bitmap : words;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        layout->swapToRgb = true;  // B G R A in memory
        layout->filler = alpha ? 0 : PNG_FILLER_AFTER + 1;
#else
        layout->swapAlpha = alpha;  // A R G B in memory
        layout->filler = alpha ? 0 : PNG_FILLER_BEFORE + 1;
#endif
        for (int y = 0; y < h; ++y)
            rows[size_t(y)] = const_cast<png_bytep>(source.constScanLine(y));
        if (!alpha && m_transparent) {
            layout->transColor.red = png_uint_16(qRed(*m_transparent));
            layout->transColor.green = png_uint_16(qGreen(*m_transparent));
            layout->transColor.blue = png_uint_16(qBlue(*m_transparent));
            layout->hasTransColor = true;
        }
    }

    // libpng copies each row before transforming it, so the bitmap's rows are only read.
    QByteArray out;
    PngFailure failure{};
    WriteStruct ws(&failure);
    png_set_write_fn(ws.png(), &out, pngWriteData, pngFlush);
    if (!pngWrite(ws.png(), ws.info(), layout.get(), rows.data()))
        throw Error(QStringLiteral("Não foi possível gravar a imagem PNG: %1")
                        .arg(QString::fromUtf8(failure.message)));
    return out;
}

void TPNGObject::SaveToFile(const QString& path) const
{
    codec::writeFile(path, m_original.isEmpty() ? encode() : m_original);
}

} // namespace quadrela
