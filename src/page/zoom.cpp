#include "zoom.h"

#include <algorithm>
#include <cmath>

namespace quadrela {

namespace {

// Zooms that differ by less than this are the same step: a fitted zoom a hair below a step
// still goes past it.
constexpr double kSameZoom = 1e-6;

} // namespace

const std::vector<double>& zoomSteps()
{
    static const std::vector<double> steps{0.25, 0.5, 0.75, 1.0, 1.5, 2.0, 3.0, 4.0};
    return steps;
}

double zoomIn(double zoom)
{
    for (double step : zoomSteps()) {
        if (step > zoom + kSameZoom)
            return step;
    }
    return zoomSteps().back();
}

double zoomOut(double zoom)
{
    const auto& steps = zoomSteps();
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        if (*it < zoom - kSameZoom)
            return *it;
    }
    return steps.front();
}

double fitZoom(QSize page, QSize box)
{
    if (page.isEmpty() || box.isEmpty())
        return 1.0;
    const double z = std::min(double(box.width()) / page.width(),
                              double(box.height()) / page.height());
    return std::clamp(z, kMinZoom, kMaxZoom);
}

QString zoomCaption(double zoom)
{
    return QStringLiteral("%1 %").arg(std::lround(zoom * 100));
}

QPoint scrollKeepingPoint(QPoint scroll, QPoint pointer, QPoint oldPageAt, double oldZoom,
                          QPoint newPageAt, double newZoom)
{
    const QPoint content = scroll + pointer;
    const double pageX = (content.x() - oldPageAt.x()) / oldZoom;
    const double pageY = (content.y() - oldPageAt.y()) / oldZoom;
    return QPoint(int(std::lround(newPageAt.x() + pageX * newZoom)) - pointer.x(),
                  int(std::lround(newPageAt.y() + pageY * newZoom)) - pointer.y());
}

} // namespace quadrela
