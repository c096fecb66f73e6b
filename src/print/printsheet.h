// The printed sheet as a whole: the composition placed in the printable area of a paper,
// optionally shifted to make up for a printer that does not print where it is told. The
// printer, the preview, "Salvar PDF..." and the command line all go through here, so they
// cannot disagree about where anything lands.
#pragma once

#include "composition.h"

#include <QPageLayout>
#include <QPicture>
#include <QPoint>
#include <QRect>

#include <optional>

class QImage;

namespace quadrela {

// How far a printer's output must be moved, in millimetres: right and down are positive.
struct PrintOffset
{
    double horizontalMm = 0;
    double verticalMm = 0;
    bool operator==(const PrintOffset&) const = default;
};

inline constexpr double kMaxOffsetMm = 10.0;

bool offsetInRange(double mm);

// "X,Y" in millimetres, a decimal point and an optional sign each; nothing for any other
// text or a value outside the range.
std::optional<PrintOffset> parsePrintOffset(const QString& text);

// The offset in device pixels at the resolution, rounded to the nearest pixel.
QPoint offsetPixels(const PrintOffset& offset, int dpi);

// Where the paper and its printable area lie, in device pixels from the paper's corner.
struct SheetGeometry
{
    QRect paper;
    QRect printable;
    int resolution = 600;
};

SheetGeometry sheetGeometry(const QPageLayout& layout, int resolution);

// The composition drawn onto a painter whose origin is the printable area's corner, moved
// by shift device pixels.
CompositionReport composeSheet(QPainter& painter, QSize printable, const PrintJob& job,
                               QPoint shift);

// The composition recorded once, in device pixels of the printable area, so a preview
// can draw it at any zoom without loading the pictures again.
QPicture recordSheet(const SheetGeometry& sheet, const PrintJob& job, QPoint shift,
                     CompositionReport* report = nullptr);

// Draws the white paper with the recorded composition, clipped to the printable area as
// a printer clips it, scaled so that one device pixel is `scale` painter units.
void paintSheet(QPainter& painter, const SheetGeometry& sheet, const QPicture& recorded,
                double scale);

// The sheet as the printer gets it, rendered at dpi.
QImage renderSheet(const SheetGeometry& sheet, const PrintJob& job, QPoint shift, double dpi);

// Writes the sheet as a one-page PDF with the page layout at dpi (the paper's printable
// area is the layout's paint rectangle). Throws Error naming the file when it cannot be
// written; an earlier file of that name is then left as it was.
CompositionReport writeSheetPdf(const QString& path, const QPageLayout& layout, int dpi,
                                const PrintJob& job, QPoint shift);

// The calibration sheet, drawn in device pixels of the printable area: rulers along the
// sheet's centre lines from each edge of the printable area, numbered in millimetres
// from the sheet's centre, a crosshair at that centre, the outlines of the ten business
// cards, and how to read the offset off the printed sheet. `applied` is the offset this
// sheet is printed with (the reading adds to it).
void drawCalibrationSheet(QPainter& painter, const SheetGeometry& sheet,
                          const PrintOffset& applied);

} // namespace quadrela
