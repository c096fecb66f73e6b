#include "Imgfocus.h"

#include "codecs/picture.h"
#include "codecs/png.h"
#include "keptpicture.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include <cmath>
#include <functional>

namespace quadrela {

namespace {

// Scaled bitmaps are shared through the pixmap cache: many items showing the same bitmap
// at the same size (borders of a page) hold one.
constexpr int kPixmapCacheKilobytes = 64 * 1024;

// What a picture is read again from, and what it must still be.
struct RereadSource
{
    QString path;
    QString identity; // the file as it was when the picture was first read
    QSize fullSize;
    bool keyed;
};

// Reads the picture again on Qt's thread pool, asked for at the given size, and hands the
// bitmap to done on the window's thread while item lives. A large photo takes a while; the
// window goes on meanwhile and the item shows what it has. A file replaced behind the
// program's back, or one that fails to read, gives nothing: the item keeps what it shows.
// With keyWhole a picture read whole is keyed here, as the reader keys only what it reduces.
void rereadInBackground(QObject* item, const RereadSource& from, QSize asked, qreal dpr,
                        bool keyWhole, std::function<void(QImage)> done)
{
    QPointer<QObject> alive(item);
    QThreadPool::globalInstance()->start([=] {
        KeptPicture sharper;
        try {
            if (fileIdentity(from.path) != from.identity)
                return;
            sharper = loadKeptPicture(
                from.path, [asked](QSize) { return asked; }, dpr, from.keyed);
        } catch (const std::exception&) {
            return;
        }
        if (sharper.fullSize != from.fullSize)
            return;
        if (keyWhole && from.keyed && !sharper.bitmap.hasAlphaChannel() &&
            !sharper.bitmap.isNull())
            sharper.bitmap = keyedOut(std::move(sharper.bitmap),
                                      sharper.bitmap.pixel(0, sharper.bitmap.height() - 1));
        QMetaObject::invokeMethod(
            qApp,
            [alive, done, bitmap = std::move(sharper.bitmap)] {
                if (alive)
                    done(bitmap);
            },
            Qt::QueuedConnection);
    });
}

} // namespace

TFocusImage::TFocusImage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

void TFocusImage::setTransparent(bool on)
{
    if (m_transparent != on) {
        m_transparent = on;
        invalidate();
    }
}

void TFocusImage::setStretch(bool on)
{
    if (m_stretch != on) {
        m_stretch = on;
        invalidate();
    }
}

void TFocusImage::drawPicture(const TPicture& picture)
{
    forgetSource();
    m_ownTransparent.reset();
    // A photo is kept as decoded: one bitmap, not a converted copy drawn onto another.
    m_bitmap = bitmapOnWhite(picture);
    resize(m_bitmap.size());
    invalidate();
}

void TFocusImage::setKeptPicture(const KeptPicture& picture, const QString& source)
{
    m_ownTransparent.reset();
    m_bitmap = picture.bitmap;
    m_fullSize = picture.fullSize;
    m_source = source;
    m_sourceIdentity = fileIdentity(source);
    m_keyed = m_transparent;
    ++m_generation;
    invalidate();
}

QSize TFocusImage::pictureSize() const
{
    return m_fullSize.isValid() ? m_fullSize : m_bitmap.size();
}

void TFocusImage::forgetSource()
{
    m_source.clear();
    m_sourceIdentity.clear();
    m_fullSize = QSize();
    m_keyed = false;
    ++m_generation;
}

QImage TFocusImage::fullBitmap() const
{
    if (m_source.isEmpty() || m_bitmap.size() == m_fullSize ||
        fileIdentity(m_source) != m_sourceIdentity)
        return m_bitmap;
    try {
        const QSize full = m_fullSize;
        return loadKeptPicture(
                   m_source, [full](QSize) { return full; }, 1.0, m_keyed)
            .bitmap;
    } catch (const std::exception&) {
        return m_bitmap;
    }
}

bool TFocusImage::needsSharperPicture() const
{
    return !m_source.isEmpty() && !m_bitmap.isNull() &&
           !showsSharply(m_bitmap.size(), m_fullSize, neededPixels(size(), devicePixelRatioF()));
}

void TFocusImage::resizeEvent(QResizeEvent*)
{
    if (m_sharpenPending || !needsSharperPicture())
        return;
    // Width and height are often set one after the other: one decode for both.
    m_sharpenPending = true;
    QTimer::singleShot(0, this, &TFocusImage::startSharperDecode);
}

void TFocusImage::startSharperDecode()
{
    m_sharpenPending = false;
    if (!needsSharperPicture())
        return;
    const int generation = ++m_generation;
    rereadInBackground(this, {m_source, m_sourceIdentity, m_fullSize, m_keyed}, size(),
                       devicePixelRatioF(), false, [this, generation](const QImage& bitmap) {
                           if (m_generation == generation) {
                               m_bitmap = bitmap;
                               invalidate();
                           }
                       });
}

void TFocusImage::setPng(const TPNGObject& png)
{
    forgetSource();
    m_bitmap = png.toBitmap().convertToFormat(QImage::Format_ARGB32);
    m_ownTransparent = png.transparentColor();
    if (png.hasAlphaChannel())
        m_bitmap = png.toImage().convertToFormat(QImage::Format_ARGB32);
    invalidate();
}

void TFocusImage::setImage(const QImage& image)
{
    forgetSource();
    m_bitmap = image.convertToFormat(QImage::Format_ARGB32);
    m_ownTransparent.reset();
    invalidate();
}

void TFocusImage::clearPicture()
{
    forgetSource();
    m_bitmap = QImage();
    m_ownTransparent.reset();
    invalidate();
}

QImage& TFocusImage::canvas()
{
    forgetSource();
    if (m_bitmap.isNull()) {
        m_bitmap = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        m_bitmap.fill(Qt::white);
        m_ownTransparent.reset();
    }
    return m_bitmap;
}

void TFocusImage::canvasChanged()
{
    invalidate();
}

QImage TFocusImage::displayImage() const
{
    if (m_bitmap.isNull())
        return m_bitmap;
    if (!m_transparent)
        return m_bitmap;
    if (m_ownTransparent)
        return keyedOut(m_bitmap, *m_ownTransparent);
    if (m_bitmap.hasAlphaChannel())
        return m_bitmap; // per-pixel alpha (or the key left out already) says what shows through
    return keyedOut(m_bitmap, m_bitmap.pixel(0, m_bitmap.height() - 1));
}

void TFocusImage::invalidate()
{
    releaseZoomed();
    update();
}

void TFocusImage::releaseZoomed()
{
    m_zoomed = QImage();
    m_zoomedFor = QSize();
    m_zoomedPending = QSize();
    ++m_zoomedGeneration;
}

void TFocusImage::paintZoomed(QPainter& p, QSize target, double scale)
{
    const QRect shown(QPoint(0, 0), target);
    const QSize device(int(std::ceil(target.width() * scale)), int(std::ceil(target.height() * scale)));
    if (!m_zoomed.isNull() && m_zoomedFor == device) {
        p.drawImage(shown, m_zoomed);
        return;
    }
    // What was made, or is being read, for another zoom is never drawn at this one.
    if (m_zoomedPending != device)
        releaseZoomed();
    m_zoomed = QImage();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_sharperRender) {
        // A text is laid out again at the shown size: sharp glyphs, not magnified pixels.
        try {
            const QImage bitmap = m_sharperRender(scale);
            if (!bitmap.isNull()) {
                m_zoomed = m_transparent && m_ownTransparent ? keyedOut(bitmap, *m_ownTransparent)
                                                             : bitmap;
                m_zoomedFor = device;
                p.drawImage(shown, m_zoomed);
                return;
            }
        } catch (const std::exception&) {
            // shown from the bitmap as kept
        }
    }
    p.drawImage(shown, displayImage());
    if (!m_source.isEmpty() && !showsSharply(m_bitmap.size(), m_fullSize, device * kShownHeadroom) &&
        m_zoomedPending != device)
        startZoomedDecode(device);
}

void TFocusImage::startZoomedDecode(QSize device)
{
    m_zoomedPending = device;
    const int generation = ++m_zoomedGeneration;
    // A zoomed view shows no more than it asks for: no headroom beyond the shown size (the
    // reader doubles what it is told).
    const QSize half((device.width() + 1) / 2, (device.height() + 1) / 2);
    rereadInBackground(this, {m_source, m_sourceIdentity, m_fullSize, m_keyed}, half, 1.0, true,
                       [this, generation, device](const QImage& bitmap) {
                           if (m_zoomedGeneration == generation) {
                               m_zoomed = bitmap;
                               m_zoomedFor = device;
                               m_zoomedPending = QSize();
                               update();
                           }
                       });
}

void TFocusImage::paintEvent(QPaintEvent*)
{
    if (m_bitmap.isNull())
        return;
    const QSize target = m_stretch ? size() : m_bitmap.size();
    if (target.isEmpty())
        return;
    QPainter p(this);
    // Shown on a zoomed page: the painter scales, and the control draws for the device
    // pixels it covers.
    const double scale = p.deviceTransform().m11();
    if (std::abs(scale - devicePixelRatioF()) > 1e-3 && scale > 0) {
        paintZoomed(p, target, scale);
        return;
    }
    // Back at the screen's own scale, nothing made for a zoom is drawn.
    if (!m_zoomed.isNull() || m_zoomedPending.isValid())
        releaseZoomed();
    // An item stretched far beyond the screen (a hand-made record) is drawn straight from
    // its bitmap, clipped to what shows, instead of being scaled whole into memory.
    constexpr qint64 kMaxCachedPixels = 4096LL * 4096;
    if (qint64(target.width()) * target.height() > kMaxCachedPixels) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(QPoint(0, 0), target), displayImage());
        return;
    }
    static const bool cacheSized = [] {
        QPixmapCache::setCacheLimit(std::max(QPixmapCache::cacheLimit(), kPixmapCacheKilobytes));
        return true;
    }();
    Q_UNUSED(cacheSized);
    // Scaled to the screen's own pixels, so a high-density screen shows what is kept.
    const qreal dpr = devicePixelRatioF();
    const QSize device = dpr == 1.0 ? target : (QSizeF(target) * dpr).toSize();
    const QString key = QStringLiteral("quadrela-item/%1/%2x%3/%4/%5")
                            .arg(m_bitmap.cacheKey())
                            .arg(device.width())
                            .arg(device.height())
                            .arg(m_transparent ? 1 : 0)
                            .arg(m_ownTransparent ? qint64(*m_ownTransparent) : -1);
    QPixmap scaled;
    if (!QPixmapCache::find(key, &scaled)) {
        // Key out first, then scale: scaling first would leave fringes of the keyed colour.
        const QImage shown = displayImage();
        scaled =
            QPixmap::fromImage(shown.size() == device ? shown
                                                      : shown.scaled(device, Qt::IgnoreAspectRatio,
                                                                     Qt::SmoothTransformation));
        scaled.setDevicePixelRatio(dpr);
        QPixmapCache::insert(key, scaled);
    }
    p.drawPixmap(0, 0, scaled);
}

void TFocusImage::enterEvent(QEnterEvent*)
{
    emit mouseEntered(this);
}

void TFocusImage::leaveEvent(QEvent*)
{
    emit mouseLeft(this);
}

void TFocusImage::mousePressEvent(QMouseEvent* event)
{
    m_pressedInside = true;
    m_doubleClicked = false;
    emit mousePressed(this, event->button(), event->buttons() | event->button(),
                      event->position().toPoint());
}

void TFocusImage::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved(this, event->buttons(), event->position().toPoint());
}

void TFocusImage::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressedInside && !m_doubleClicked &&
                       event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressedInside = false;
    // A click is reported before the release, and a handler may delete this control.
    QPointer<TFocusImage> self(this);
    if (click)
        emit clicked(this);
    if (self)
        emit mouseReleased(this, event->button(), event->position().toPoint());
}

void TFocusImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_doubleClicked = true;
    m_pressedInside = true;
    if (event->button() == Qt::LeftButton)
        emit doubleClicked(this);
    // The second press of a double click is a press as well.
    QPointer<TFocusImage> self(this);
    if (self)
        emit mousePressed(this, event->button(), event->buttons() | event->button(),
                          event->position().toPoint());
}

void TFocusImage::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_popup)
        m_popup->popup(event->globalPos());
}

} // namespace quadrela
