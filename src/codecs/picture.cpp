#include "codecs/picture.h"

#include "codecs/codec_util.h"
#include "codecs/jpeg.h"
#include "codecs/metafile.h"
#include "core/errors.h"
#include "core/limits.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstring>

namespace quadrela {

namespace {

// Qt's readers refuse to allocate more than this many megabytes; it is raised to what the
// program's own picture bound needs (four bytes a pixel), which is checked first anyway.
void raiseReaderAllocationLimit()
{
    const int megabytes = int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1;
    if (QImageReader::allocationLimit() < megabytes)
        QImageReader::setAllocationLimit(megabytes);
}

struct IconEntry
{
    qint64 offset;
    qint64 size;
    bool png;
};

// The directory of an icon file, with each entry's data checked to lie inside the file and,
// for bitmap entries, to be as long as the picture it declares (header, palette, colour
// rows and mask rows). Qt's reader reads past a too-short entry into whatever follows.
QList<IconEntry> checkIconDirectory(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 fileSize = bytes.size();
    if (fileSize < 6 || qFromLittleEndian<quint16>(p) != 0 || qFromLittleEndian<quint16>(p + 2) != 1)
        throw Error(QStringLiteral("Ícone inválido: falta o cabeçalho do ícone"));
    const int count = qFromLittleEndian<quint16>(p + 4);
    if (count == 0 || 6 + 16LL * count > fileSize)
        throw Error(QStringLiteral("Ícone inválido: o diretório do ícone está danificado"));
    QList<IconEntry> entries;
    for (int i = 0; i < count; ++i) {
        const uchar* e = p + 6 + 16 * i;
        IconEntry entry{qFromLittleEndian<quint32>(e + 12), qFromLittleEndian<quint32>(e + 8),
                        false};
        if (entry.offset + entry.size > fileSize || entry.size < 16)
            throw Error(QStringLiteral("Ícone inválido: a imagem %1 fica fora do arquivo")
                            .arg(i + 1));
        const uchar* d = p + entry.offset;
        entry.png = std::memcmp(d, "\x89PNG", 4) == 0;
        if (!entry.png && entry.size >= 40) {
            const qint64 headerSize = qFromLittleEndian<quint32>(d);
            const qint64 w = qFromLittleEndian<qint32>(d + 4);
            const qint64 h = qFromLittleEndian<qint32>(d + 8) / 2;
            const int bpp = qFromLittleEndian<quint16>(d + 14);
            const quint32 compression = qFromLittleEndian<quint32>(d + 16);
            const qint64 colorsUsed = qFromLittleEndian<quint32>(d + 32);
            if (compression == 0 && w > 0 && h > 0 && w <= kMaxPictureSide && h <= kMaxPictureSide &&
                bpp > 0 && bpp <= 32) {
                const qint64 paletteSize = colorsUsed ? colorsUsed : (bpp <= 8 ? 1 << bpp : 0);
                const qint64 colourRow = (w * bpp + 31) / 32 * 4;
                const qint64 maskRow = (w + 31) / 32 * 4;
                const qint64 needed = headerSize + paletteSize * 4 + colourRow * h + maskRow * h;
                // 32-bit entries often leave out the mask: their alpha is the mask.
                const qint64 neededWithoutMask = needed - (bpp == 32 ? maskRow * h : 0);
                if (entry.size < neededWithoutMask)
                    throw Error(QStringLiteral("Ícone inválido: a imagem %1 é mais curta do que "
                                               "o seu tamanho indica")
                                    .arg(i + 1));
            }
        }
        entries.append(entry);
    }
    return entries;
}

// Some icon writers put a size in the directory that differs from the bitmap's own; the
// bitmap's header is the one that describes the pixels.
QByteArray withDirectorySizesFromBitmaps(QByteArray bytes, const QList<IconEntry>& entries)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].png || entries[i].size < 40)
            continue;
        const auto* d = reinterpret_cast<const uchar*>(bytes.constData()) + entries[i].offset;
        const qint32 w = qFromLittleEndian<qint32>(d + 4);
        const qint32 h = qFromLittleEndian<qint32>(d + 8) / 2;
        if (w > 0 && h > 0 && w <= 256 && h <= 256) {
            bytes[6 + 16 * i] = char(w & 0xff);
            bytes[6 + 16 * i + 1] = char(h & 0xff);
        }
    }
    return bytes;
}

// Qt's icon reader leaves out the AND mask of bitmaps without alpha; the mask's set bits
// are the icon's transparent pixels.
void applyIconMask(QImage& image, const QByteArray& bytes, const IconEntry& entry)
{
    if (entry.png || entry.size < 40)
        return;
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData()) + entry.offset;
    const qint64 headerSize = qFromLittleEndian<quint32>(d);
    const qint64 w = qFromLittleEndian<qint32>(d + 4);
    const qint64 h = qFromLittleEndian<qint32>(d + 8) / 2;
    const int bpp = qFromLittleEndian<quint16>(d + 14);
    const qint64 colorsUsed = qFromLittleEndian<quint32>(d + 32);
    if (bpp >= 32 || bpp <= 0 || qFromLittleEndian<quint32>(d + 16) != 0 || w != image.width() ||
        h != image.height())
        return;
    const qint64 paletteSize = colorsUsed ? colorsUsed : (bpp <= 8 ? 1 << bpp : 0);
    const qint64 colourRow = (w * bpp + 31) / 32 * 4;
    const qint64 maskRow = (w + 31) / 32 * 4;
    const qint64 maskStart = headerSize + paletteSize * 4 + colourRow * h;
    if (maskStart + maskRow * h > entry.size)
        return;
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (qint64 y = 0; y < h; ++y) {
        const uchar* mask = d + maskStart + (h - 1 - y) * maskRow; // rows stored bottom-up
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (qint64 x = 0; x < w; ++x)
            if (mask[x / 8] & (0x80 >> (x % 8)))
                line[x] = 0;
    }
}

// The size a BMP header declares. Qt's reader does not report it before reading, so the
// program's bound is checked here, ahead of any pixel allocation.
void checkBmpHeader(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    if (bytes.size() < 26 || p[0] != 'B' || p[1] != 'M')
        throw Error(QStringLiteral("Bitmap inválido: falta o cabeçalho do bitmap"));
    const quint32 headerSize = qFromLittleEndian<quint32>(p + 14);
    qint64 w = 0, h = 0;
    if (headerSize == 12) {
        w = qFromLittleEndian<quint16>(p + 18);
        h = qFromLittleEndian<quint16>(p + 20);
    } else {
        w = qFromLittleEndian<qint32>(p + 18);
        h = std::abs(qint64(qFromLittleEndian<qint32>(p + 22))); // negative: stored top-down
    }
    codec::checkPictureSize(w, h);
}

// Qt's readers can leave pixels whose palette index lies beyond the file's palette (a
// run-length bitmap with a short palette), and drawing such a bitmap reads past its colour
// table. The table is completed with black up to every index the pixel depth can hold.
void completeColorTable(QImage& image)
{
    int needed = 0;
    switch (image.format()) {
    case QImage::Format_Indexed8:
        needed = 256;
        break;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        needed = 2;
        break;
    default:
        return;
    }
    QList<QRgb> table = image.colorTable();
    if (table.size() >= needed)
        return;
    while (table.size() < needed)
        table.append(qRgb(0, 0, 0));
    image.setColorTable(table);
}

// BMP and ICO go through Qt's readers. An icon file holds several pictures; the largest
// one (then the deepest) is taken, as an icon is shown at its best.
QImage readWithQt(const QByteArray& bytes, PictureFormat format, bool retrying = false)
{
    raiseReaderAllocationLimit();
    const QByteArray qtFormat = format == PictureFormat::Bmp ? "bmp" : "ico";
    const QString typeName = format == PictureFormat::Bmp ? QStringLiteral("bitmap")
                                                          : QStringLiteral("icon");
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, qtFormat);
    reader.setAutoTransform(false);
    if (!reader.canRead())
        throw Error(QStringLiteral("Imagem %1 inválida: %2").arg(typeName, reader.errorString()));

    int best = 0;
    if (format == PictureFormat::Ico) {
        const int count = reader.imageCount();
        if (count <= 0)
            throw Error(QStringLiteral("Ícone inválido: o arquivo não contém nenhuma imagem"));
        qint64 bestArea = -1;
        int bestDepth = -1;
        for (int i = 0; i < count; ++i) {
            if (!reader.jumpToImage(i))
                continue;
            const QSize s = reader.size();
            if (!s.isValid())
                continue;
            const qint64 area = qint64(s.width()) * s.height();
            const int depth = reader.imageFormat() == QImage::Format_Invalid
                                  ? 0
                                  : QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel();
            if (area > bestArea || (area == bestArea && depth > bestDepth)) {
                best = i;
                bestArea = area;
                bestDepth = depth;
            }
        }
        reader.jumpToImage(best);
    }
    const QSize declared = reader.size();
    if (declared.isValid())
        codec::checkPictureSize(declared.width(), declared.height());
    QImage image = reader.read();
    if (image.isNull() && format == PictureFormat::Ico && !retrying) {
        const QByteArray repaired = withDirectorySizesFromBitmaps(bytes, checkIconDirectory(bytes));
        if (repaired != bytes)
            return readWithQt(repaired, format, true);
    }
    if (image.isNull())
        throw Error(QStringLiteral("Imagem %1 inválida: %2").arg(typeName, reader.errorString()));
    codec::checkPictureSize(image.width(), image.height());
    completeColorTable(image);
    if (format == PictureFormat::Ico) {
        const QList<IconEntry> entries = checkIconDirectory(bytes);
        if (best < entries.size())
            applyIconMask(image, bytes, entries[best]);
    }
    return image;
}

} // namespace

PictureFormat formatForExtension(const QString& ext)
{
    const QString e = ext.toLower();
    if (e == u"png")
        return PictureFormat::Png;
    if (e == u"jpg" || e == u"jpeg")
        return PictureFormat::Jpeg;
    if (e == u"bmp")
        return PictureFormat::Bmp;
    if (e == u"ico")
        return PictureFormat::Ico;
    if (e == u"wmf")
        return PictureFormat::Wmf;
    if (e == u"emf")
        return PictureFormat::Emf;
    return PictureFormat::None;
}

QString pictureExtension(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;
TPicture::TPicture(TPicture&&) noexcept = default;
TPicture& TPicture::operator=(TPicture&&) noexcept = default;

void TPicture::LoadFromFile(const QString& path)
{
    const QString ext = pictureExtension(path);
    const PictureFormat format = formatForExtension(ext);
    if (format == PictureFormat::None)
        throw unknownExtension(ext);
    LoadFromData(codec::readFile(path), format);
}

void TPicture::LoadFromData(const QByteArray& bytes, PictureFormat format)
{
    TPicture loaded;
    switch (format) {
    case PictureFormat::None:
        throw Error(QStringLiteral("Nenhum formato de imagem indicado"));
    case PictureFormat::Png: {
        TPNGObject png;
        png.LoadFromData(bytes);
        loaded.m_size = QSize(png.width(), png.height());
        loaded.m_png = std::move(png);
        break;
    }
    case PictureFormat::Jpeg:
        loaded.m_raster = decodeJpeg(bytes);
        break;
    case PictureFormat::Bmp:
        checkBmpHeader(bytes);
        loaded.m_raster = readWithQt(bytes, format);
        break;
    case PictureFormat::Ico:
        checkIconDirectory(bytes);
        loaded.m_raster = readWithQt(bytes, format);
        break;
    case PictureFormat::Wmf:
    case PictureFormat::Emf: {
        const MetafileSvg metafile =
            format == PictureFormat::Wmf ? convertWmf(bytes) : convertEmf(bytes);
        auto renderer = std::make_unique<QSvgRenderer>(metafile.svg);
        if (!renderer->isValid())
            throw Error(QStringLiteral("Metarquivo inválido: não é possível desenhar o seu conteúdo"));
        loaded.m_svg = std::move(renderer);
        loaded.m_size = metafile.size;
        break;
    }
    }
    if (!loaded.m_raster.isNull())
        loaded.m_size = loaded.m_raster.size();
    loaded.m_format = format;
    loaded.m_data = bytes;
    *this = std::move(loaded);
}

void TPicture::SaveToFile(const QString& path) const
{
    if (isEmpty())
        throw Error(QStringLiteral("Não é possível salvar uma imagem vazia"));
    codec::writeFile(path, m_data);
}

QImage TPicture::toImage() const
{
    if (m_png)
        return m_png->toImage();
    if (m_svg) {
        QImage image(m_size, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            throw Error(QStringLiteral("Memória insuficiente para uma imagem de %1 x %2 pixels")
                            .arg(m_size.width())
                            .arg(m_size.height()));
        image.fill(Qt::transparent);
        QPainter p(&image);
        m_svg->render(&p, QRectF(QPointF(0, 0), QSizeF(m_size)));
        return image;
    }
    if (m_raster.isNull())
        return QImage();
    return m_raster.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void TPicture::draw(QPainter& p, QPoint at) const
{
    stretchDraw(p, QRect(at, m_size));
}

void TPicture::stretchDraw(QPainter& p, const QRect& r) const
{
    if (m_png)
        m_png->stretchDraw(p, r);
    else if (m_svg)
        m_svg->render(&p, QRectF(r));
    else if (!m_raster.isNull())
        p.drawImage(r, m_raster);
}

} // namespace quadrela
