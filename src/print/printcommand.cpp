#include "printcommand.h"

#include "composition.h"
#include "core/dialogs.h"
#include "core/state.h"

#include <QDir>
#include <QPainter>
#include <QPrinter>

#include <exception>

namespace quadrela {

namespace {

const QString kJobTitle = QStringLiteral("Quadrela");
constexpr int kPrintResolution = 600;

QString jobFailedMessage(const QPrinter& printer)
{
    if (!printer.outputFileName().isEmpty())
        return QStringLiteral("A impressão falhou: não foi possível gravar o arquivo %1.")
            .arg(QDir::toNativeSeparators(printer.outputFileName()));
    if (!printer.printerName().isEmpty())
        return QStringLiteral("A impressão falhou: a impressora %1 não aceitou o trabalho.")
            .arg(printer.printerName());
    return QStringLiteral("A impressão falhou: a impressora não aceitou o trabalho.");
}

} // namespace

QString textFailuresMessage(QStringList failures)
{
    failures.removeDuplicates();
    return QStringLiteral("Alguns textos não puderam ser preparados para a impressão e "
                          "ficaram em branco:\n\r%1")
        .arg(failures.join(QStringLiteral("\n")));
}

QString businessCardNotice()
{
    return QStringLiteral("Para imprimir Cartões de Visita é necessario\n\r"
                          "configurar a sua impressora para Papel Carta (215 x 279 mm)");
}

QPageLayout printedLayout(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty())
        return printer.pageLayout();
    return QPageLayout(printer.pageLayout().pageSize(), QPageLayout::Portrait, QMarginsF());
}

QPoint printerShift(const PrintCommandContext& ctx, const QPrinter& printer)
{
    if (!ctx.offsetFor || printer.outputFormat() != QPrinter::NativeFormat ||
        printer.printerName().isEmpty())
        return QPoint();
    return offsetPixels(ctx.offsetFor(printer.printerName()), printer.resolution());
}

CardSheet printerCardSheet(const PrintCommandContext& ctx, const QPrinter& printer)
{
    const bool named =
        printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty();
    CardSheet cards = ctx.cardSheetFor ? ctx.cardSheetFor(named ? printer.printerName() : QString())
                                       : CardSheet();
    cards.paperCorner = -printer.pageLayout().paintRectPixels(printer.resolution()).topLeft();
    return cards;
}

PrintOutcome btImprimirClick(const PrintCommandContext& ctx)
{
    if (ctx.state.pageLayout == BusinessCard)
        ctx.dialogs.message(ctx.owner, businessCardNotice(), Buttons::Ok);
    if (!ctx.dialogs.choosePrinter(ctx.owner, ctx.printer))
        return PrintOutcome::Cancelled;

    QPrinter& printer = ctx.printer;
    printer.setDocName(kJobTitle);
    printer.setResolution(kPrintResolution);
    printer.setPageLayout(printedLayout(printer));
    PrintJob job = printJobFor(ctx.state, ctx.items, ctx.page);
    job.resolution = printer.resolution();
    job.cards = printerCardSheet(ctx, printer);

    QPainter painter;
    if (!painter.begin(&printer)) {
        ctx.dialogs.message(ctx.owner, jobFailedMessage(printer), Buttons::Ok);
        return PrintOutcome::Failed;
    }
    CompositionReport report;
    bool composed = true;
    try {
        report = composeSheet(painter, QSize(printer.width(), printer.height()), job,
                              printerShift(ctx, printer));
    } catch (const std::exception&) {
        // Half a sheet is no print: the job is withdrawn.
        composed = false;
        printer.abort();
    }
    const bool ended = painter.end();
    if (!composed || !ended || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted) {
        ctx.dialogs.message(ctx.owner, jobFailedMessage(printer), Buttons::Ok);
        return PrintOutcome::Failed;
    }
    if (!report.textFailures.isEmpty())
        ctx.dialogs.message(ctx.owner, textFailuresMessage(report.textFailures), Buttons::Ok);
    return PrintOutcome::Printed;
}

} // namespace quadrela
