#include "wheelhook.h"

#include "page/pageview.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace quadrela {

WheelHook::WheelHook(QWidget* mainWindow, QScrollArea* scroll)
    : QObject(mainWindow), m_window(mainWindow), m_scroll(scroll)
{
}

int WheelHook::consume(int verticalDelta)
{
    // Touchpads send small deltas: they add up until they make a notch.
    if ((m_pending > 0 && verticalDelta < 0) || (m_pending < 0 && verticalDelta > 0))
        m_pending = 0;
    m_pending += verticalDelta;
    int change = 0;
    while (m_pending >= kNotch) {
        m_pending -= kNotch;
        change -= kStep;
    }
    while (m_pending <= -kNotch) {
        m_pending += kNotch;
        change += kStep;
    }
    return change;
}

bool WheelHook::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel || !m_window || !m_scroll)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || shownWindow(widget) != m_window)
        return false;  // a dialog's own lists and text boxes scroll as usual
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const int dy = wheel->angleDelta().y();
    if (dy == 0)
        return false;
    if (!m_scroll->hasFocus())
        m_scroll->setFocus(Qt::MouseFocusReason);
    if (m_zoom && (wheel->modifiers() & Qt::ControlModifier)) {
        m_zoomPending += dy;
        const int notches = m_zoomPending / kNotch;
        m_zoomPending -= notches * kNotch;
        if (notches != 0)
            m_zoom(notches, wheel->globalPosition().toPoint());
        return true;
    }
    const double scale = m_scale ? m_scale() : 1.0;
    QScrollBar* bar = m_scroll->verticalScrollBar();
    bar->setValue(bar->value() + int(std::lround(consume(dy) * scale)));
    return true;
}

} // namespace quadrela
