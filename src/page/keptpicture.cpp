#include "keptpicture.h"

#include "codecs/codec_util.h"
#include "codecs/jpeg.h"
#include "codecs/picture.h"
#include "codecs/png.h"
#include "core/errors.h"
#include "imaging/picload.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QThreadPool>

#include <cmath>

namespace quadrela {

namespace {

int ceilToInt(double v)
{
    return int(std::min(std::ceil(v - 1e-9), 1e9));
}

QImage reducedTo(QImage image, QSize size)
{
    if (image.size() == size || size.isEmpty())
        return image;
    QImage reduced = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (reduced.isNull())
        throw std::bad_alloc();
    return reduced;
}

QImage keyedIf(QImage image, bool keyBottomLeft)
{
    if (!keyBottomLeft || image.isNull() || image.hasAlphaChannel())
        return image;
    const QRgb key = image.pixel(0, image.height() - 1);
    return keyedOut(std::move(image), key);
}

KeptPicture loadJpeg(const QString& path, const std::function<QSize(QSize)>& shownFor, qreal dpr,
                     bool keyBottomLeft)
{
    const QByteArray bytes = codec::readFile(path);
    KeptPicture kept;
    kept.fullSize = jpegPictureSize(bytes);
    const QSize needed = neededPixels(shownFor(kept.fullSize), dpr);
    QImage decoded = decodeJpegScaled(bytes, jpegScaleDenominator(kept.fullSize, needed));
    // The decoder reduces to an eighth at most; a picture shown smaller still is halved on.
    decoded = keyedIf(std::move(decoded), keyBottomLeft && decoded.size() != kept.fullSize);
    kept.bitmap = reducedTo(std::move(decoded), keptSize(kept.fullSize, needed));
    return kept;
}

} // namespace

QSize neededPixels(QSize shown, qreal dpr)
{
    const double f = std::max(1.0, double(dpr)) * kShownHeadroom;
    return QSize(ceilToInt(std::max(0, shown.width()) * f),
                 ceilToInt(std::max(0, shown.height()) * f));
}

int jpegScaleDenominator(QSize full, QSize needed)
{
    for (int d : {8, 4, 2}) {
        // libjpeg rounds a reduced side up.
        if ((full.width() + d - 1) / d >= needed.width() &&
            (full.height() + d - 1) / d >= needed.height())
            return d;
    }
    return 1;
}

QSize keptSize(QSize full, QSize needed)
{
    // Halving only: each kept pixel is then the plain mean of a block of the picture's own,
    // and scaling that to the screen gives what scaling the whole picture would give.
    int d = 1;
    while (d < (1 << 20) && (full.width() + 2 * d - 1) / (2 * d) >= std::max(1, needed.width()) &&
           (full.height() + 2 * d - 1) / (2 * d) >= std::max(1, needed.height()))
        d *= 2;
    return QSize((full.width() + d - 1) / d, (full.height() + d - 1) / d);
}

qint64 keptBytes(QSize full, QSize shown, qreal dpr)
{
    const QSize kept = keptSize(full, neededPixels(shown, dpr));
    return qint64(kept.width()) * kept.height() * 4;
}

bool showsSharply(QSize kept, QSize full, QSize needed)
{
    if (kept.width() >= full.width() && kept.height() >= full.height())
        return true;
    // Without headroom: what is kept is sharp until the control outgrows it.
    const QSize shownPixels(ceilToInt(needed.width() / kShownHeadroom),
                            ceilToInt(needed.height() / kShownHeadroom));
    return kept.width() >= shownPixels.width() && kept.height() >= shownPixels.height();
}

QImage bitmapOnWhite(const TPicture& picture)
{
    QImage opaque;
    if (const TPNGObject* png = picture.png()) {
        if (!png->hasAlphaChannel() && !png->transparentColor())
            opaque = png->toBitmap();
    } else {
        opaque = picture.raster();
    }
    if (!opaque.isNull() && !opaque.hasAlphaChannel())
        return opaque.convertToFormat(QImage::Format_RGB32); // shared when RGB32 already

    const QImage image = picture.toImage();
    if (image.hasAlphaChannel() && picture.png() && picture.png()->hasAlphaChannel())
        return image.convertToFormat(QImage::Format_ARGB32);
    QImage onWhite(image.size(), QImage::Format_RGB32);
    if (onWhite.isNull() && !image.size().isEmpty())
        throw std::bad_alloc();
    onWhite.fill(Qt::white);
    QPainter p(&onWhite);
    p.drawImage(0, 0, image);
    return onWhite;
}

QImage keyedOut(QImage source, QRgb key)
{
    // In place when nothing else holds the pixels: opaque RGB32 already is premultiplied.
    QImage out = std::move(source).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    leaveOutColour(out, key);
    return out;
}

KeptPicture loadKeptPicture(const QString& path, const std::function<QSize(QSize)>& shownFor,
                            qreal dpr, bool keyBottomLeft)
{
    const PictureFormat format = formatForExtension(pictureExtension(path));
    if (format == PictureFormat::Jpeg)
        return loadJpeg(path, shownFor, dpr, keyBottomLeft);

    TPicture picture;
    picture.LoadFromFile(path);
    KeptPicture kept;
    kept.fullSize = QSize(picture.width(), picture.height());
    const QSize target = keptSize(kept.fullSize, neededPixels(shownFor(kept.fullSize), dpr));
    if ((format == PictureFormat::Wmf || format == PictureFormat::Emf) && target != kept.fullSize &&
        !keyBottomLeft) {
        // Vectors are drawn straight at the size kept.
        QImage onWhite(target, QImage::Format_RGB32);
        onWhite.fill(Qt::white);
        QPainter p(&onWhite);
        picture.stretchDraw(p, QRect(QPoint(0, 0), target));
        p.end();
        kept.bitmap = std::move(onWhite);
        return kept;
    }
    QImage full = keyedIf(bitmapOnWhite(picture), keyBottomLeft && target != kept.fullSize);
    picture = TPicture(); // the decoded picture goes before the reduced copy is made
    kept.bitmap = reducedTo(std::move(full), target);
    return kept;
}

QString fileIdentity(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return QString();
    return QStringLiteral("%1|%2|%3")
        .arg(info.absoluteFilePath())
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch());
}

KeptPicture SharedBitmaps::obtain(const QString& key,
                                  const std::function<bool(const KeptPicture&)>& fits,
                                  const std::function<KeptPicture()>& load)
{
    if (m_entries.size() >= m_pruneAt)
        prune();
    for (auto [it, end] = m_entries.equal_range(key); it != end; ++it) {
        if (fits(it->second))
            return it->second;
    }
    KeptPicture loaded = load();
    m_entries.emplace(key, loaded);
    return loaded;
}

void SharedBitmaps::prefetch(const QString& key, std::function<KeptPicture()> load)
{
    if (m_prefetched.count(key))
        return;
    auto promise = std::make_shared<std::promise<KeptPicture>>();
    m_prefetched.emplace(key, promise->get_future().share());
    QThreadPool::globalInstance()->start([promise, load = std::move(load)] {
        try {
            promise->set_value(load());
        } catch (...) {
            promise->set_exception(std::current_exception());
        }
    });
}

std::optional<KeptPicture> SharedBitmaps::takePrefetched(const QString& key)
{
    const auto it = m_prefetched.find(key);
    if (it == m_prefetched.end())
        return std::nullopt;
    const std::shared_future<KeptPicture> result = it->second;
    m_prefetched.erase(it);
    return result.get();
}

void SharedBitmaps::dropPrefetched()
{
    m_prefetched.clear();
}

void SharedBitmaps::prune()
{
    // An entry whose bitmap nobody else holds any more shows nothing.
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->second.bitmap.isDetached())
            it = m_entries.erase(it);
        else
            ++it;
    }
    m_pruneAt = std::max<size_t>(64, 2 * m_entries.size());
}

} // namespace quadrela
