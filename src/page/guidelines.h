// The thin lines that show, while an item is dragged, what it snapped to. Like the
// selection frame they lie over the page as a sibling of the page panel, so nothing that
// draws the page itself sees them, and they never take a mouse event.
#pragma once

#include <QPointer>
#include <QWidget>
#include <optional>

namespace quadrela {

class GuideLines : public QWidget
{
    Q_OBJECT
public:
    // `page` is the page panel; the lines are made a child of the page's parent.
    explicit GuideLines(QWidget* page);

    // A vertical line at page x and a horizontal one at page y, for the page shown at
    // `zoom`; none hides them.
    void showGuides(std::optional<int> x, std::optional<int> y, double zoom);

    std::optional<int> guideX() const { return m_x; }
    std::optional<int> guideY() const { return m_y; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QWidget> m_page;
    std::optional<int> m_x;
    std::optional<int> m_y;
    double m_zoom = 1.0;
};

} // namespace quadrela
