// The picture control of placed items, the page background, the logo and the spare
// control: shows one bitmap, stretched to its bounds, leaving out a transparent colour.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <optional>

class QMenu;

namespace quadrela {

class TPicture;
struct KeptPicture;
class TPNGObject;

class TFocusImage : public QWidget
{
    Q_OBJECT
public:
    explicit TFocusImage(QWidget* parent = nullptr);

    QString hint() const { return m_hint; }
    void setHint(const QString& hint) { m_hint = hint; }

    bool transparent() const { return m_transparent; }
    void setTransparent(bool on);
    bool stretch() const { return m_stretch; }
    void setStretch(bool on);

    // Sizes the control to the picture and draws the picture at (0, 0) onto a white
    // bitmap of that size. A picture with per-pixel alpha keeps its alpha.
    void drawPicture(const TPicture& picture);
    // Shows a picture kept at the size it is shown, read from source. When the control
    // grows beyond what the bitmap shows sharply, the file is read again, off the window's
    // thread, at the new size.
    void setKeptPicture(const KeptPicture& picture, const QString& source);
    // The picture's own pixel size (the file's), whatever size is kept of it.
    QSize pictureSize() const;
    // The picture at its own size: read again from its file when less is kept.
    QImage fullBitmap() const;
    // Shows the PNG itself; when transparent, its own transparent colour is left out.
    void setPng(const TPNGObject& png);
    // Shows an image as it is (alpha honoured).
    void setImage(const QImage& image);
    void clearPicture();

    // The bitmap as kept (for a picture read from a file, at about the size shown).
    const QImage& bitmap() const { return m_bitmap; }
    bool hasPicture() const { return !m_bitmap.isNull(); }

    // The control's own canvas: the bitmap, created white at the control's size when the
    // control has none. Call canvasChanged() after drawing on it.
    QImage& canvas();
    void canvasChanged();

    QMenu* popupMenu() const { return m_popup; }
    void setPopupMenu(QMenu* menu) { m_popup = menu; }

    // The image as painted at native size: the transparent colour left out.
    QImage displayImage() const;

    // Draws the control's own content again at a scale (a text rendered anew), for a page
    // shown zoomed; unset, a zoomed control shows its bitmap scaled, or a kept picture
    // read again at the shown size.
    void setSharperRenderer(std::function<QImage(double scale)> render)
    {
        m_sharperRender = std::move(render);
    }
    // Lets go of what was made for a zoom (the control is out of sight, or the zoom changed).
    void releaseZoomed();
    // A sharper bitmap for the zoom shown last is still being read.
    bool zoomedPending() const { return m_zoomedPending.isValid(); }
    // Bytes held for the zoom, beside the bitmap.
    qint64 zoomedBytes() const { return m_zoomed.sizeInBytes(); }

signals:
    void mouseEntered(TFocusImage* sender);
    void mouseLeft(TFocusImage* sender);
    void mousePressed(TFocusImage* sender, Qt::MouseButton button, Qt::MouseButtons buttons,
                      QPoint pos);
    void mouseMoved(TFocusImage* sender, Qt::MouseButtons buttons, QPoint pos);
    void mouseReleased(TFocusImage* sender, Qt::MouseButton button, QPoint pos);
    void clicked(TFocusImage* sender);
    void doubleClicked(TFocusImage* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void invalidate();
    void forgetSource();
    bool needsSharperPicture() const;
    void startSharperDecode();
    // What paints the control at a scale other than the screen's: the bitmap made for that
    // many device pixels, or the kept bitmap scaled while a sharper one is made.
    void paintZoomed(QPainter& p, QSize target, double scale);
    void startZoomedDecode(QSize device);

    QString m_hint;
    bool m_transparent = false;
    bool m_stretch = false;
    QImage m_bitmap;
    std::optional<QRgb> m_ownTransparent;  // the PNG's own transparent colour
    QMenu* m_popup = nullptr;
    QString m_source;         // the file a kept picture was read from
    QString m_sourceIdentity; // that file as it was then
    QSize m_fullSize;         // its own pixel size
    bool m_keyed = false;     // the transparent colour is left out in the bitmap already
    int m_generation = 0;     // a sharper bitmap is taken only for the picture it was read for
    bool m_sharpenPending = false;
    std::function<QImage(double)> m_sharperRender;
    QImage m_zoomed;          // ready to draw, made for m_zoomedFor device pixels
    QSize m_zoomedFor;
    QSize m_zoomedPending;    // a read under way for these device pixels
    int m_zoomedGeneration = 0;
    bool m_pressedInside = false;
    bool m_doubleClicked = false;
};

} // namespace quadrela
