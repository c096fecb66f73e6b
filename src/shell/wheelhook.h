// Turns mouse-wheel turns over the main window into scrolling of the page's scroll box:
// one notch moves the vertical bar by exactly 8, and the scroll box does not scroll as
// well. Wheel turns over dialogs are left alone.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>

class QScrollArea;
class QWidget;

namespace quadrela {

class WheelHook : public QObject
{
    Q_OBJECT
public:
    WheelHook(QWidget* mainWindow, QScrollArea* scroll);

    static constexpr int kStep = 8;
    static constexpr int kNotch = 120;

    // Adds a vertical wheel delta and returns the scroll-bar change it makes: -8 per
    // notch turned away from the user, +8 per notch towards the user.
    int consume(int verticalDelta);

    // With Ctrl held, wheel notches zoom instead: `zoom` gets the notches (positive away
    // from the user, zooming in) and the pointer's global position.
    void setZoomer(std::function<void(int notches, QPoint global)> zoom) { m_zoom = std::move(zoom); }
    // The zoom the page is shown at: a notch scrolls that many times 8 pixels, so it
    // moves the page by the same amount of the page at every zoom.
    void setStepScale(std::function<double()> scale) { m_scale = std::move(scale); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    QPointer<QScrollArea> m_scroll;
    int m_pending = 0;
    int m_zoomPending = 0;
    std::function<void(int, QPoint)> m_zoom;
    std::function<double()> m_scale;
};

} // namespace quadrela
