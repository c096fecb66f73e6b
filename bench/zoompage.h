// A page of photos shown through the zoom view inside a scroll box, laid out as the main
// window lays them out, for the zoom benchmarks.
#pragma once

#include "core/state.h"
#include "page/items.h"

#include <QScrollArea>
#include <QStringList>

#include <memory>

namespace quadrela {
class PageView;
class TFocusImage;
}

namespace quadrela::bench {

class ZoomPage
{
public:
    // The photos go four in a row, 120 × 90 page pixels each, on a 496 × 702 page.
    explicit ZoomPage(const QStringList& photos);
    ~ZoomPage();

    // Shows the page at `zoom` with the page point `centre` in the middle of the box, and
    // paints the frame the user sees at once.
    void setZoom(double zoom, QPoint centre);
    // Processes events until no item is still reading a sharper bitmap for what the box
    // shows, then paints the frame. Returns the number of items that were reading.
    int waitUntilSharp();
    // Lets go of every bitmap made for a zoom, as if the page had never been zoomed.
    void releaseZoomed();

private:
    AppState m_state;
    QScrollArea m_scroll;
    QWidget* m_content = nullptr;
    QWidget* m_page = nullptr; // owned by the view
    PageView* m_view = nullptr;
    std::unique_ptr<TCampos> m_items;
};

} // namespace quadrela::bench
