// The scale the page is shown at. Everything the page holds stays in page pixels; the
// zoom only says how large a page pixel is drawn on screen.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <vector>

namespace quadrela {

inline constexpr double kMinZoom = 0.25;
inline constexpr double kMaxZoom = 4.0;

// The steps the zoom keys and the zoom control go through, smallest first.
const std::vector<double>& zoomSteps();

// The next step above (or below) `zoom`; the largest (smallest) step when there is none.
// A zoom between steps ("Página inteira") goes to the neighbouring step.
double zoomIn(double zoom);
double zoomOut(double zoom);

// The zoom at which the whole page fits the box, between the smallest and largest step.
double fitZoom(QSize page, QSize box);

// "150 %": the zoom as the user reads it.
QString zoomCaption(double zoom);

// The scroll position that keeps the page point under `pointer` (viewport coordinates)
// under it after the zoom changes. `pageAt` is where the page's top-left corner lies in the
// scroll box's content, before (`oldPageAt`) and after (`newPageAt`) the change.
QPoint scrollKeepingPoint(QPoint scroll, QPoint pointer, QPoint oldPageAt, double oldZoom,
                          QPoint newPageAt, double newZoom);

} // namespace quadrela
