#include "wheelhook.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

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
    if (!widget || widget->window() != m_window)
        return false;  // a dialog's own lists and text boxes scroll as usual
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const int dy = wheel->angleDelta().y();
    if (dy == 0)
        return false;
    if (!m_scroll->hasFocus())
        m_scroll->setFocus(Qt::MouseFocusReason);
    QScrollBar* bar = m_scroll->verticalScrollBar();
    bar->setValue(bar->value() + consume(dy));
    return true;
}

} // namespace quadrela
