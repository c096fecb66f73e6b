#include "Imgfocus.h"

#include "codecs/picture.h"
#include "codecs/png.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace quadrela {

namespace {

// Every opaque pixel of the colour becomes fully transparent. The result is premultiplied,
// the layout smooth scaling works in, so scaling it makes no second full-size copy.
QImage keyedOut(const QImage& source, QRgb key)
{
    QImage out = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb opaqueKey = key | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (row[x] == opaqueKey)
                row[x] = 0;
        }
    }
    return out;
}

// The picture's own bitmap when drawing it on white would give the same pixels: it has
// no alpha and no transparent colour. Null otherwise.
QImage opaqueBitmapOf(const TPicture& picture)
{
    QImage bitmap;
    if (const TPNGObject* png = picture.png()) {
        if (!png->hasAlphaChannel() && !png->transparentColor())
            bitmap = png->toBitmap();
    } else {
        bitmap = picture.raster();
    }
    if (bitmap.isNull() || bitmap.hasAlphaChannel())
        return QImage();
    return bitmap.convertToFormat(QImage::Format_RGB32);  // shared when it is RGB32 already
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
    m_ownTransparent.reset();
    // A photo is kept as decoded: one bitmap, not a converted copy drawn onto another.
    if (QImage opaque = opaqueBitmapOf(picture); !opaque.isNull()) {
        m_bitmap = std::move(opaque);
        resize(m_bitmap.size());
        invalidate();
        return;
    }
    const QImage image = picture.toImage();
    if (image.hasAlphaChannel() && picture.png() && picture.png()->hasAlphaChannel()) {
        m_bitmap = image.convertToFormat(QImage::Format_ARGB32);
    } else {
        m_bitmap = QImage(image.size(), QImage::Format_RGB32);
        m_bitmap.fill(Qt::white);
        QPainter p(&m_bitmap);
        p.drawImage(0, 0, image);
    }
    resize(m_bitmap.size());
    invalidate();
}

void TFocusImage::setPng(const TPNGObject& png)
{
    m_bitmap = png.toBitmap().convertToFormat(QImage::Format_ARGB32);
    m_ownTransparent = png.transparentColor();
    if (png.hasAlphaChannel())
        m_bitmap = png.toImage().convertToFormat(QImage::Format_ARGB32);
    invalidate();
}

void TFocusImage::setImage(const QImage& image)
{
    m_bitmap = image.convertToFormat(QImage::Format_ARGB32);
    m_ownTransparent.reset();
    invalidate();
}

void TFocusImage::clearPicture()
{
    m_bitmap = QImage();
    m_ownTransparent.reset();
    invalidate();
}

QImage& TFocusImage::canvas()
{
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
        return m_bitmap;  // per-pixel alpha already says what shows through
    return keyedOut(m_bitmap, m_bitmap.pixel(0, m_bitmap.height() - 1));
}

void TFocusImage::invalidate()
{
    m_cache = QPixmap();
    update();
}

void TFocusImage::paintEvent(QPaintEvent*)
{
    if (m_bitmap.isNull())
        return;
    const QSize target = m_stretch ? size() : m_bitmap.size();
    if (target.isEmpty())
        return;
    QPainter p(this);
    // An item stretched far beyond the screen (a hand-made record) is drawn straight from
    // its bitmap, clipped to what shows, instead of being scaled whole into memory.
    constexpr qint64 kMaxCachedPixels = 4096LL * 4096;
    if (qint64(target.width()) * target.height() > kMaxCachedPixels) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(QPoint(0, 0), target), displayImage());
        return;
    }
    if (m_cache.isNull() || m_cache.size() != target) {
        // Key out first, then scale: scaling first would leave fringes of the keyed colour.
        const QImage shown = displayImage();
        m_cache = QPixmap::fromImage(
            shown.size() == target
                ? shown
                : shown.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    p.drawPixmap(0, 0, m_cache);
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
