#include "pageview.h"

#include <QEvent>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QScrollBar>

#include <cmath>

namespace quadrela {

QWidget* shownWindow(QWidget* widget)
{
    QWidget* window = widget ? widget->window() : nullptr;
    while (window && window->graphicsProxyWidget()) {
        const auto views = window->graphicsProxyWidget()->scene()->views();
        if (views.isEmpty())
            break;
        window = views.first()->window();
    }
    return window;
}

PageView::PageView(QWidget* page, QWidget* parent) : QGraphicsView(parent), m_page(page)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTransformationAnchor(QGraphicsView::NoAnchor);
    setResizeAnchor(QGraphicsView::NoAnchor);
    // The items draw themselves for the scale they are shown at.
    setRenderHint(QPainter::SmoothPixmapTransform);
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    // The wheel scrolls the page's scroll box, not this view.
    setAttribute(Qt::WA_NoSystemBackground);

    auto* scene = new QGraphicsScene(this);
    m_proxy = scene->addWidget(page);
    m_proxy->setPos(0, 0);
    setScene(scene);
    page->installEventFilter(this);
    fitToPage();
}

void PageView::setZoom(double zoom)
{
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    setTransform(QTransform::fromScale(zoom, zoom));
    fitToPage();
    emit zoomChanged(zoom);
}

QRect PageView::mapFromPage(const QRect& rect) const
{
    const auto at = [this](int v) { return int(std::lround(v * m_zoom)); };
    return QRect(QPoint(at(rect.left()), at(rect.top())),
                 QPoint(at(rect.left() + rect.width()) - 1, at(rect.top() + rect.height()) - 1))
        .translated(pos());
}

void PageView::fitToPage()
{
    if (!m_page)
        return;
    const QSize page = m_page->size();
    scene()->setSceneRect(0, 0, page.width(), page.height());
    resize(int(std::ceil(page.width() * m_zoom)), int(std::ceil(page.height() * m_zoom)));
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
    verticalScrollBar()->setValue(verticalScrollBar()->minimum());
}

bool PageView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_page && event->type() == QEvent::Resize)
        fitToPage();
    return QGraphicsView::eventFilter(watched, event);
}

} // namespace quadrela
