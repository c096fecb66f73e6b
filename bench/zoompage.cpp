#include "zoompage.h"

#include "core/paths.h"
#include "fixtures.h"
#include "page/Imgfocus.h"
#include "page/pageview.h"

#include <QApplication>
#include <QDir>
#include <QScrollBar>

#include <cmath>

namespace quadrela::bench {

namespace {

const QSize kItemSize(120, 90);
constexpr int kMargin = 8;

} // namespace

ZoomPage::ZoomPage(const QStringList& photos)
{
    m_state.dataFolder = scratchFolder() + QStringLiteral("/zoom-") +
                         QString::number(photos.size()) + u'/';
    m_state.workingFolder = workingFolderFor(m_state.dataFolder);
    QDir().mkpath(m_state.workingFolder);
    m_state.printerPageSize = [] { return QSize(5100, 6600); };
    m_scroll.setWidgetResizable(false);
    m_scroll.resize(1000, 700);
    m_content = new QWidget;
    m_scroll.setWidget(m_content);
    m_page = new QWidget;
    m_page->resize(496, 702);
    m_page->setAutoFillBackground(true);
    auto* background = new TFocusImage(m_page);
    background->setGeometry(1, 1, 494, 700);
    PageContext context;
    context.state = &m_state;
    context.page = m_page;
    context.background = background;
    m_items = std::make_unique<TCampos>(std::move(context));
    for (int i = 0; i < photos.size(); ++i) {
        const int index = m_items->Add(PictureItem, photos.at(i), TCampos::LoadPicture, kItemSize);
        m_items->Items(index).Image()->setGeometry(
            QRect(QPoint(4 + 122 * (i % 4), 4 + 140 * (i / 4)), kItemSize));
    }
    m_view = new PageView(m_page, m_content);
    m_view->move(kMargin, kMargin);
    setZoom(1.0, QPoint(248, 351));
    m_scroll.show();
    QCoreApplication::processEvents();
}

// The items live on the page the view owns; they go before it.
ZoomPage::~ZoomPage()
{
    m_items.reset();
}

void ZoomPage::setZoom(double zoom, QPoint centre)
{
    m_view->setZoom(zoom);
    m_content->resize(m_view->width() + 2 * kMargin, m_view->height() + 2 * kMargin);
    const QSize box = m_scroll.viewport()->size();
    m_scroll.horizontalScrollBar()->setValue(
        kMargin + int(std::lround(centre.x() * zoom)) - box.width() / 2);
    m_scroll.verticalScrollBar()->setValue(
        kMargin + int(std::lround(centre.y() * zoom)) - box.height() / 2);
    m_scroll.viewport()->repaint();
}

int ZoomPage::waitUntilSharp()
{
    const auto reading = [this] {
        int count = 0;
        for (int i = 0; i < m_items->Count(); ++i)
            count += m_items->Items(i).Image()->zoomedPending() ? 1 : 0;
        return count;
    };
    const int started = reading();
    while (reading() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    m_scroll.viewport()->repaint();
    return started;
}

void ZoomPage::releaseZoomed()
{
    for (int i = 0; i < m_items->Count(); ++i)
        m_items->Items(i).Image()->releaseZoomed();
}

} // namespace quadrela::bench
