#include "exportimage.h"

#include "core/errors.h"
#include "core/textfile.h"
#include "printcommand.h"
#include "printsheet.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>

namespace quadrela {

namespace {

constexpr double kCardWidthInches = 3.5;
constexpr double kCardHeightInches = 2.0;
constexpr int kFirstJpegQuality = 95;
constexpr int kJpegQualityStep = 5;
constexpr int kLowestJpegQuality = 10;
constexpr double kInchesPerMetre = 1000 / 25.4;

SheetGeometry a4Sheet(int dpi)
{
    return sheetGeometry(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()),
                         dpi);
}

// The front's quarter: the left half of the sheet's width by the top half of its height,
// as the folded card is placed.
QRect frontQuarter(QSize sheet)
{
    return QRect(0, 0, sheet.width() / 2, sheet.height() / 2);
}

bool encode(const QImage& picture, const QByteArray& format, int quality, QByteArray& bytes)
{
    bytes.clear();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (format == "PNG")
        writer.setCompression(9);
    return writer.write(picture);
}

} // namespace

QSize exportedSize(int layout, const PictureExportChoice& choice)
{
    if (layout == BusinessCard)
        return QSize(qRound(kCardWidthInches * choice.dpi), qRound(kCardHeightInches * choice.dpi));
    const QSize sheet = a4Sheet(choice.dpi).paper.size();
    return layout == FoldedCard && choice.frontOnly ? frontQuarter(sheet).size() : sheet;
}

QImage exportedPicture(const PrintJob& job, const PictureExportChoice& choice,
                       CompositionReport* report)
{
    PrintJob atDpi = job;
    atDpi.resolution = choice.dpi;
    const SheetGeometry sheet = a4Sheet(choice.dpi);
    if (job.layout == BusinessCard) {
        // The card as the composition draws it into each of its places.
        const PreparedPage page = preparePage(atDpi, sheet.printable.size());
        if (report)
            *report = page.report;
        return composeCard(page, exportedSize(job.layout, choice));
    }
    QImage picture(sheet.paper.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    const CompositionReport made = composeSheet(painter, sheet.printable.size(), atDpi, QPoint());
    painter.end();
    if (report)
        *report = made;
    if (job.layout == FoldedCard && choice.frontOnly)
        return picture.copy(frontQuarter(picture.size())).mirrored(true, true);
    return picture;
}

QByteArray exportFormatFor(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"png")
        return "PNG";
    if (suffix == u"jpg" || suffix == u"jpeg")
        return "JPEG";
    return QByteArray();
}

QByteArray encodeExportedPicture(const QImage& picture, const QByteArray& format, int dpi)
{
    QImage stamped = picture;
    stamped.setDotsPerMeterX(qRound(dpi * kInchesPerMetre));
    stamped.setDotsPerMeterY(qRound(dpi * kInchesPerMetre));
    QByteArray bytes;
    const bool limited = format == "JPEG" && dpi <= kMessageResolution;
    for (int quality = kFirstJpegQuality;; quality -= kJpegQualityStep) {
        if (!encode(stamped, format, quality, bytes))
            return QByteArray();
        if (!limited || bytes.size() <= kMessageJpegBytes || quality <= kLowestJpegQuality)
            return bytes;
    }
}

CompositionReport writeExportedPicture(const QString& path, const PrintJob& job,
                                       const PictureExportChoice& choice)
{
    const QByteArray format = exportFormatFor(path);
    if (format.isEmpty())
        throw cannotWriteFile(path, QStringLiteral("a imagem é gravada como .png, .jpg ou .jpeg"));
    // Refused before the work: the picture takes a while to compose.
    if (const QString refused = unwritableDestination(path); !refused.isEmpty())
        throw cannotWriteFile(path, refused);
    CompositionReport report;
    const QByteArray bytes =
        encodeExportedPicture(exportedPicture(job, choice, &report), format, choice.dpi);
    QString reason;
    if (bytes.isEmpty() || !writeWholeFile(path, bytes, &reason))
        throw cannotWriteFile(path, reason);
    return report;
}

QString exportPictureCommand(QWidget* owner, ModalDialogs& dialogs, const PrintJob& job)
{
    PictureExportChoice choice;
    if (!dialogs.choosePictureExport(owner, job.layout == FoldedCard, choice))
        return QString();
    FileDialogRequest request;
    request.kind = FileDialogRequest::SaveDocument;
    request.title = QStringLiteral("Exportar imagem");
    request.filters = {{QStringLiteral("Imagem PNG"), {QStringLiteral("*.png")}},
                       {QStringLiteral("Imagem JPEG"),
                        {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}}};
    request.startFolder = QDir::homePath();
    request.defaultSuffix = QStringLiteral("png");
    const QString path = dialogs.chooseFile(owner, request);
    if (path.isEmpty())
        return QString();
    CompositionReport report;
    try {
        report = writeExportedPicture(path, job, choice);
    } catch (const Error& e) {
        dialogs.message(owner, e.message(), Buttons::Ok);
        return QString();
    }
    if (!report.textFailures.isEmpty())
        dialogs.message(owner, textFailuresMessage(report.textFailures), Buttons::Ok);
    dialogs.notify(owner, savedNotice(path));
    return path;
}

} // namespace quadrela
