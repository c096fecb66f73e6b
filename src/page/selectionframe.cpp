#include "selectionframe.h"

#include "pageview.h"

#include <QEvent>
#include <QPainter>

namespace quadrela {

SelectionFrame::SelectionFrame(QWidget* page, PageView* view)
    : QWidget(view->parentWidget()), m_page(page), m_view(view)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    page->installEventFilter(this);
    view->installEventFilter(this);
    hide();
}

void SelectionFrame::follow(QWidget* control)
{
    if (m_control == control)
        return place();
    if (m_control) {
        m_control->removeEventFilter(this);
        disconnect(m_control, nullptr, this, nullptr);
    }
    m_control = control;
    if (m_control) {
        m_control->installEventFilter(this);
        connect(m_control, &QObject::destroyed, this, &QWidget::hide);
    }
    place();
}

void SelectionFrame::place()
{
    if (!m_control || !m_page || !m_view || !m_control->isVisible()) {
        hide();
        return;
    }
    setGeometry(m_view->mapFromPage(m_control->geometry()));
    raise();
    show();
    update();
}

bool SelectionFrame::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        place();
        break;
    default:
        break;
    }
    return false;
}

void SelectionFrame::paintEvent(QPaintEvent*)
{
    // Dark dashes over white show on any picture.
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(r);
    QPen dashes(QColor(0, 90, 200), 1, Qt::DashLine);
    p.setPen(dashes);
    p.drawRect(r);
}

} // namespace quadrela
