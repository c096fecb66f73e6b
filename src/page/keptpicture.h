// What the page keeps of a picture: a bitmap at the resolution its control shows it, not
// the file's. A 12-megapixel photo shown a few hundred pixels wide is kept at about that
// size; printing reads the file again at full resolution.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <future>
#include <map>
#include <optional>

namespace quadrela {

class TPicture;

// Kept bitmaps are this much larger than what the control shows, so that small resizes
// stay sharp without reading the file again.
inline constexpr double kShownHeadroom = 2.0;

// Device pixels a control of `shown` page pixels needs on a screen of ratio dpr, with headroom.
QSize neededPixels(QSize shown, qreal dpr);

// The largest JPEG reduction (1, 2, 4 or 8) whose decode of a `full` picture still covers
// `needed` in both directions.
int jpegScaleDenominator(QSize full, QSize needed);

// The size kept of a `full` picture: its proportions, just covering `needed`, never above full.
QSize keptSize(QSize full, QSize needed);

// Whether a bitmap of `kept` pixels taken from a `full` picture shows `needed` sharply:
// it covers it, or it is the whole picture already.
bool showsSharply(QSize kept, QSize full, QSize needed);

// The bytes kept of a `full` picture shown at `shown` page pixels (32 bits a pixel).
qint64 keptBytes(QSize full, QSize shown, qreal dpr);

struct KeptPicture
{
    // On white (RGB32), or with the picture's own alpha (a PNG with per-pixel alpha), or,
    // keyed when reduced, with the bottom-left pixel's colour left out (premultiplied ARGB32).
    QImage bitmap;
    QSize fullSize; // the picture's own pixel size
};

// The picture drawn at (0, 0) onto a white bitmap of its size; a PNG with per-pixel alpha
// keeps its alpha. An opaque decoded bitmap is taken as it is, without a copy.
QImage bitmapOnWhite(const TPicture& picture);

// Every opaque pixel of the colour becomes fully transparent; premultiplied.
QImage keyedOut(QImage source, QRgb key);

// Loads a picture file for the page. `shownFor` gives the control's size in page pixels
// for the picture's own size. With keyBottomLeft, a picture kept smaller than its own size
// has the colour of its bottom-left pixel left out at the file's resolution, before the
// reduction, so the keyed areas stay those of the full picture (a JPEG is keyed at the
// scale it is decoded at); one kept whole is keyed when shown, like any bitmap. Throws what
// the codecs and shownFor throw.
KeptPicture loadKeptPicture(const QString& path, const std::function<QSize(QSize)>& shownFor,
                            qreal dpr, bool keyBottomLeft);

// The file as it is on disk now: path, size and modification time; empty when missing.
QString fileIdentity(const QString& path);

// Bitmaps that items showing the same thing share: a picture file as it is on disk, or the
// missing-picture notice in one set of text attributes. An entry lives while an item
// holds its bitmap.
class SharedBitmaps
{
public:
    // A kept picture under key that `fits`, else what `load` gives, which is kept under key.
    KeptPicture obtain(const QString& key, const std::function<bool(const KeptPicture&)>& fits,
                       const std::function<KeptPicture()>& load);
    qsizetype size() const { return qsizetype(m_entries.size()); }
    // Lets go of what no item shows any more.
    void prune();

    // Starts `load` on a worker thread, so that pictures are read side by side; the result
    // is kept under key until taken.
    void prefetch(const QString& key, std::function<KeptPicture()> load);
    // The result of a prefetch under key, waiting for it; throws what the read threw.
    std::optional<KeptPicture> takePrefetched(const QString& key);
    // Lets go of reads nobody took (a read still running finishes unseen).
    void dropPrefetched();

private:
    std::map<QString, std::shared_future<KeptPicture>> m_prefetched;
    std::multimap<QString, KeptPicture> m_entries;
    size_t m_pruneAt = 64;
};

} // namespace quadrela
