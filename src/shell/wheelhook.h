// Turns mouse-wheel turns over the main window into scrolling of the page's scroll box:
// one notch moves the vertical bar by exactly 8, and the scroll box does not scroll as
// well. Wheel turns over dialogs are left alone.
#pragma once

#include <QObject>
#include <QPointer>

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    QPointer<QScrollArea> m_scroll;
    int m_pending = 0;
};

} // namespace quadrela
