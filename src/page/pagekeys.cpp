#include "pagekeys.h"

#include "pageview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace quadrela {

PageKeyCommand pageKeyCommand(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers m = modifiers & ~Qt::KeypadModifier;
    const int step = m == Qt::ShiftModifier ? 10 : 1;
    if (m == Qt::NoModifier || m == Qt::ShiftModifier) {
        switch (key) {
        case Qt::Key_Left:
            return {PageKey::Nudge, QPoint(-step, 0)};
        case Qt::Key_Right:
            return {PageKey::Nudge, QPoint(step, 0)};
        case Qt::Key_Up:
            return {PageKey::Nudge, QPoint(0, -step)};
        case Qt::Key_Down:
            return {PageKey::Nudge, QPoint(0, step)};
        default:
            break;
        }
    }
    if (m == Qt::NoModifier && key == Qt::Key_Delete)
        return {PageKey::Delete, {}};
    if (m == Qt::NoModifier && key == Qt::Key_Escape)
        return {PageKey::ClearSelection, {}};
    if (m == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_Z)
        return {PageKey::Redo, {}};
    if (m == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_S)
        return {PageKey::SaveAs, {}};
    if (m != Qt::ControlModifier)
        return {};
    switch (key) {
    case Qt::Key_Z:
        return {PageKey::Undo, {}};
    case Qt::Key_Y:
        return {PageKey::Redo, {}};
    case Qt::Key_C:
        return {PageKey::Copy, {}};
    case Qt::Key_N:
        return {PageKey::New, {}};
    case Qt::Key_O:
        return {PageKey::Open, {}};
    case Qt::Key_S:
        return {PageKey::Save, {}};
    default:
        return {};
    }
}

PageKeys::PageKeys(QWidget* window, std::function<bool(const PageKeyCommand&)> act, QObject* parent)
    : QObject(parent), m_window(window), m_act(std::move(act))
{
    qApp->installEventFilter(this);
}

bool PageKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    // Dialogs are windows of their own; a modal box or an open menu has the keyboard.
    if (shownWindow(static_cast<QWidget*>(watched)) != m_window || QApplication::activeModalWidget() ||
        QApplication::activePopupWidget())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const PageKeyCommand command = pageKeyCommand(key->key(), key->modifiers());
    return command.key != PageKey::None && m_act(command);
}

} // namespace quadrela
