// Shows the page at a zoom. The page widget and its item controls keep their geometry in
// page pixels; the view draws them scaled and hands them mouse events in page pixels, so
// a drag of 100 screen pixels at 200 % reaches an item as 50.
#pragma once

#include <QGraphicsView>
#include <QPointer>

class QGraphicsProxyWidget;

namespace quadrela {

class PageView : public QGraphicsView
{
    Q_OBJECT
public:
    // Takes `page` (a widget without parent) into the view.
    PageView(QWidget* page, QWidget* parent);

    QWidget* page() const { return m_page; }
    double zoom() const { return m_zoom; }
    // Sizes the view to the page at `zoom`.
    void setZoom(double zoom);
    // A rectangle of the page, in page pixels, as it lies in the view's parent.
    QRect mapFromPage(const QRect& rect) const;

signals:
    void zoomChanged(double zoom);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitToPage();

    QPointer<QWidget> m_page;
    QGraphicsProxyWidget* m_proxy = nullptr;
    double m_zoom = 1.0;
};

// The window a widget is seen in: for the page and its items, the window of the view
// that shows them.
QWidget* shownWindow(QWidget* widget);

} // namespace quadrela
