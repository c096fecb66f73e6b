#include "printsheet.h"

#include "core/convert.h"
#include "core/errors.h"
#include "pdffile.h"
#include "placement.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <cmath>

namespace quadrela {

namespace {

constexpr double kMmPerInch = 25.4;

double mmToPixels(double mm, int dpi)
{
    return mm * dpi / kMmPerInch;
}

// One ruler along a centre line: a tick every millimetre from the printable area's edge on
// one side to its edge on the other, longer every 5 and numbered every 10.
void drawRuler(QPainter& painter, QPointF centre, Qt::Orientation along, double from, double to,
               int dpi)
{
    const double mm = mmToPixels(1, dpi);
    const double length = along == Qt::Horizontal ? centre.x() : centre.y();
    const int first = int(std::ceil((from - length) / mm));
    const int last = int(std::floor((to - length) / mm));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(int(2.5 * mm));
    painter.setFont(font);
    for (int k = first; k <= last; ++k) {
        const double at = length + k * mm;
        const double half = (k % 10 == 0 ? 2.0 : k % 5 == 0 ? 1.25 : 0.75) * mm;
        if (along == Qt::Horizontal) {
            painter.drawLine(QPointF(at, centre.y() - half), QPointF(at, centre.y() + half));
            if (k % 10 == 0 && k != 0)
                painter.drawText(QRectF(at - 5 * mm, centre.y() + 2.5 * mm, 10 * mm, 3 * mm),
                                 Qt::AlignHCenter | Qt::AlignTop, QString::number(k));
        } else {
            painter.drawLine(QPointF(centre.x() - half, at), QPointF(centre.x() + half, at));
            if (k % 10 == 0 && k != 0)
                painter.drawText(QRectF(centre.x() + 2.5 * mm, at - 1.5 * mm, 10 * mm, 3 * mm),
                                 Qt::AlignLeft | Qt::AlignVCenter, QString::number(k));
        }
    }
    if (along == Qt::Horizontal)
        painter.drawLine(QPointF(from, centre.y()), QPointF(to, centre.y()));
    else
        painter.drawLine(QPointF(centre.x(), from), QPointF(centre.x(), to));
}

QString mmText(double mm)
{
    return QString::number(mm, 'f', 1).replace(u'.', u',');
}

} // namespace

bool offsetInRange(double mm)
{
    return std::isfinite(mm) && std::abs(mm) <= kMaxOffsetMm + 1e-9;
}

std::optional<PrintOffset> parsePrintOffset(const QString& text)
{
    static const QRegularExpression form(QStringLiteral(
        "^([+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+)),([+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+))$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const PrintOffset offset{m.captured(1).toDouble(), m.captured(2).toDouble()};
    if (!offsetInRange(offset.horizontalMm) || !offsetInRange(offset.verticalMm))
        return std::nullopt;
    return offset;
}

QPoint offsetPixels(const PrintOffset& offset, int dpi)
{
    return QPoint(roundHalfEven(mmToPixels(offset.horizontalMm, dpi)),
                  roundHalfEven(mmToPixels(offset.verticalMm, dpi)));
}

SheetGeometry sheetGeometry(const QPageLayout& layout, int resolution)
{
    return SheetGeometry{layout.fullRectPixels(resolution), layout.paintRectPixels(resolution),
                         resolution};
}

CompositionReport composeSheet(QPainter& painter, QSize printable, const PrintJob& job,
                               QPoint shift)
{
    painter.save();
    // Nothing reaches the margins a printer cannot print in, here as in the preview.
    painter.setClipRect(QRect(QPoint(0, 0), printable), Qt::IntersectClip);
    painter.translate(shift);
    const CompositionReport report = ComposePage(painter, printable, job);
    painter.restore();
    return report;
}

QPicture recordSheet(const SheetGeometry& sheet, const PrintJob& job, QPoint shift,
                     CompositionReport* report)
{
    QPicture picture;
    QPainter painter(&picture);
    const CompositionReport made = composeSheet(painter, sheet.printable.size(), job, shift);
    painter.end();
    if (report)
        *report = made;
    return picture;
}

void paintSheet(QPainter& painter, const SheetGeometry& sheet, const QPicture& recorded,
                double scale)
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
    painter.fillRect(sheet.paper, Qt::white);
    painter.setClipRect(sheet.printable, Qt::IntersectClip);
    painter.translate(sheet.printable.topLeft());
    painter.drawPicture(0, 0, recorded);
    painter.restore();
}

QImage renderSheet(const SheetGeometry& sheet, const PrintJob& job, QPoint shift, double dpi)
{
    const double scale = dpi / sheet.resolution;
    QImage image(QSize(int(std::ceil(sheet.paper.width() * scale)),
                       int(std::ceil(sheet.paper.height() * scale))),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintSheet(painter, sheet, recordSheet(sheet, job, shift), scale);
    return image;
}

CompositionReport writeSheetPdf(const QString& path, const QPageLayout& layout, int dpi,
                                const PrintJob& job, QPoint shift)
{
    CompositionReport report;
    writePdf(path, layout, dpi, [&](QPainter& painter, QPdfWriter& writer) {
        report = composeSheet(painter, QSize(writer.width(), writer.height()), job, shift);
        return true;
    });
    return report;
}

void drawCalibrationSheet(QPainter& painter, const SheetGeometry& sheet, const PrintOffset& applied)
{
    const int dpi = sheet.resolution;
    const double mm = mmToPixels(1, dpi);
    const QRectF area(QPointF(0, 0), QSizeF(sheet.printable.size()));
    const QPointF centre = QRectF(sheet.paper).center() - QPointF(sheet.printable.topLeft());

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(0xbb, 0xbb, 0xbb), std::max(1.0, 0.1 * mm)));
    for (const QRect& card : cardSheetRects(dpi))
        painter.drawRect(card);

    painter.setPen(QPen(Qt::black, std::max(1.0, 0.12 * mm), Qt::SolidLine, Qt::FlatCap));
    drawRuler(painter, centre, Qt::Horizontal, area.left(), area.right(), dpi);
    drawRuler(painter, centre, Qt::Vertical, area.top(), area.bottom(), dpi);
    painter.drawEllipse(centre, 4 * mm, 4 * mm);

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(int(3.2 * mm));
    painter.setFont(font);
    const QString explanation =
        QStringLiteral(
            "Folha de ajuste da impressora\n\n"
            "1. Dobre a folha ao meio, juntando bem a borda esquerda com a direita, e desdobre. "
            "Dobre de novo ao meio, juntando a borda de cima com a de baixo.\n"
            "2. Na régua horizontal, leia o número por onde passa a dobra vertical: é a leitura "
            "horizontal. Na régua vertical, leia por onde passa a dobra horizontal: é a leitura "
            "vertical. Cada traço vale 1 mm; à direita e para baixo os números são positivos.\n"
            "3. Esta folha foi impressa com o ajuste horizontal %1 mm e vertical %2 mm. Some "
            "cada leitura ao ajuste correspondente e digite o resultado em \"Ajustar "
            "impressora\".\n"
            "Se as dobras passarem pelo centro da cruz, a impressora já está alinhada. Os "
            "retângulos cinza mostram onde caem os dez cartões de visita.")
            .arg(mmText(applied.horizontalMm), mmText(applied.verticalMm));
    // In the top-left quarter, clear of both rulers.
    const QRectF box(QPointF(area.left() + 10 * mm, area.top() + 15 * mm),
                     QPointF(centre.x() - 10 * mm, centre.y() - 15 * mm));
    painter.fillRect(box.adjusted(-2 * mm, -2 * mm, 2 * mm, 2 * mm), Qt::white);
    painter.drawText(box, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, explanation);
    painter.restore();
}

} // namespace quadrela
