// The frame that marks the selected item on screen. It lies over the page as a sibling of
// the page panel, so nothing that draws the page itself (rendering, printing, the
// clipboard) ever sees it, and it never takes a mouse event from the items below.
#pragma once

#include <QPointer>
#include <QWidget>

namespace quadrela {

class PageView;

class SelectionFrame : public QWidget
{
    Q_OBJECT
public:
    // `page` is the page panel, shown by `view`; the frame is made a child of the
    // view's parent and drawn at the view's zoom.
    SelectionFrame(QWidget* page, PageView* view);

    // Frames the control (a child of the page), following its moves; null hides it.
    void follow(QWidget* control);
    QWidget* followed() const { return m_control; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QPointer<QWidget> m_page;
    QPointer<PageView> m_view;
    QPointer<QWidget> m_control;
};

} // namespace quadrela
