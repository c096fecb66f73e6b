#include "guidelines.h"

#include <QPainter>
#include <cmath>

namespace quadrela {

GuideLines::GuideLines(QWidget* page) : QWidget(page->parentWidget()), m_page(page)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void GuideLines::showGuides(std::optional<int> x, std::optional<int> y, double zoom)
{
    if (!m_page || (!x && !y)) {
        m_x.reset();
        m_y.reset();
        hide();
        return;
    }
    if (x == m_x && y == m_y && zoom == m_zoom && isVisible())
        return;
    m_x = x;
    m_y = y;
    m_zoom = zoom;
    // One pixel beyond the page on each side, so a line on the page's edge shows.
    setGeometry(m_page->geometry().adjusted(-1, -1, 1, 1));
    raise();
    show();
    update();
}

void GuideLines::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(QPen(QColor(230, 0, 140), 1));
    // Page coordinates shown at the zoom; the widget starts one pixel before the page.
    const auto at = [this](int v) { return int(std::floor(v * m_zoom)) + 1; };
    if (m_x)
        p.drawLine(at(*m_x), 0, at(*m_x), height());
    if (m_y)
        p.drawLine(0, at(*m_y), width(), at(*m_y));
}

} // namespace quadrela
