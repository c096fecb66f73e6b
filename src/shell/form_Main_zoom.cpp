// The main window's zoom: the control in the bottom panel, the keys and Ctrl+wheel. The
// page and its items stay in page pixels; only the view that shows them scales.
#include "form_Main.h"

#include "page/Imgfocus.h"
#include "page/items.h"
#include "page/pageview.h"
#include "page/selectionframe.h"
#include "page/zoom.h"
#include "wheelhook.h"

#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>

#include <cmath>

namespace quadrela {

namespace {

// The control's entry for "Página inteira" carries no zoom of its own.
constexpr double kFitEntry = 0.0;

} // namespace

void TformMain::createZoom()
{
    cbZoom = new QComboBox(panelBottom);
    cbZoom->setFocusPolicy(Qt::NoFocus);
    cbZoom->setToolTip(QStringLiteral("Zoom"));
    for (double step : zoomSteps())
        cbZoom->addItem(zoomCaption(step), step);
    cbZoom->addItem(QStringLiteral("Página inteira"), kFitEntry);
    cbZoom->setGeometry(0, 9, 150, 25);
    connect(cbZoom, &QComboBox::activated, this, [this](int index) {
        const double zoom = cbZoom->itemData(index).toDouble();
        if (zoom == kFitEntry)
            fitPage();
        else
            setZoom(zoom);
    });
    showZoom();
    panelBottomResize();

    const auto addKey = [this](QKeySequence keys, auto act) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, act);
    };
    const auto in = [this] { setZoom(zoomIn(pageView->zoom())); };
    const auto out = [this] { setZoom(zoomOut(pageView->zoom())); };
    addKey(QKeySequence(Qt::CTRL | Qt::Key_Equal), in);
    addKey(QKeySequence(Qt::CTRL | Qt::Key_Plus), in);
    addKey(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus), in);
    addKey(QKeySequence(Qt::CTRL | Qt::Key_Minus), out);
    addKey(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { setZoom(1.0); });

    wheelHook->setZoomer([this](int notches, QPoint global) {
        double zoom = pageView->zoom();
        for (int i = 0; i < std::abs(notches); ++i)
            zoom = notches > 0 ? zoomIn(zoom) : zoomOut(zoom);
        setZoom(zoom, scroll->viewport()->mapFromGlobal(global));
    });
    wheelHook->setStepScale([this] { return pageView->zoom(); });
    connect(scroll->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TformMain::releaseHiddenZoomed);
    connect(scroll->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &TformMain::releaseHiddenZoomed);
}

void TformMain::setZoom(double zoom, std::optional<QPoint> anchor)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    m_fitted = false;
    const QPoint pointer = anchor.value_or(scroll->viewport()->rect().center());
    const QPoint before(scroll->horizontalScrollBar()->value(), scroll->verticalScrollBar()->value());
    const QPoint oldPageAt = pageView->pos();
    const double oldZoom = pageView->zoom();
    pageView->setZoom(zoom);
    m_state.zoom = zoom;
    scrollResize();
    const QPoint after =
        scrollKeepingPoint(before, pointer, oldPageAt, oldZoom, pageView->pos(), zoom);
    scroll->horizontalScrollBar()->setValue(after.x());
    scroll->verticalScrollBar()->setValue(after.y());
    showZoom();
    releaseHiddenZoomed();
    refreshSelectionFrame();
}

void TformMain::fitPage()
{
    constexpr int kMargin = 8;
    const QSize box = scroll->viewport()->size() - QSize(2 * kMargin, 2 * kMargin);
    const double zoom = fitZoom(panelDraw->size(), box);
    pageView->setZoom(zoom);
    m_state.zoom = zoom;
    m_fitted = true;
    const QSize viewport = scroll->viewport()->size();
    pageView->move(std::max(kMargin, (viewport.width() - pageView->width()) / 2),
                   std::max(kMargin, (viewport.height() - pageView->height()) / 2));
    updateScrollExtent();
    scroll->horizontalScrollBar()->setValue(0);
    scroll->verticalScrollBar()->setValue(0);
    showZoom();
    releaseHiddenZoomed();
    refreshSelectionFrame();
}

void TformMain::showZoom()
{
    if (!cbZoom)
        return;
    const QSignalBlocker blocker(cbZoom);
    const double zoom = pageView->zoom();
    int index = m_fitted ? cbZoom->count() - 1 : cbZoom->findData(zoom);
    if (index < 0) {
        index = cbZoom->count() - 1;
    }
    cbZoom->setCurrentIndex(index);
    cbZoom->setItemText(cbZoom->count() - 1, m_fitted ? QStringLiteral("Página inteira (%1)")
                                                            .arg(zoomCaption(zoom))
                                                      : QStringLiteral("Página inteira"));
}

void TformMain::releaseHiddenZoomed()
{
    // What the box shows, in the scroll content's coordinates.
    const QRect visible(QPoint(scroll->horizontalScrollBar()->value(),
                               scroll->verticalScrollBar()->value()),
                        scroll->viewport()->size());
    for (int i = 0; i < m_items->Count(); ++i) {
        TFocusImage* control = m_items->Items(i).Image();
        if (!pageView->mapFromPage(control->geometry()).intersects(visible))
            control->releaseZoomed();
    }
}

} // namespace quadrela
