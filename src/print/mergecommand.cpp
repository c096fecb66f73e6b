#include "mergecommand.h"

#include "core/dialogs.h"
#include "core/errors.h"
#include "core/state.h"
#include "pdffile.h"
#include "printcommand.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProgressDialog>

namespace quadrela {

namespace {

constexpr int kMaxListedFaults = 20;

// Runs the sheets with a progress dialog; the painter is begun on device.
MergeOutcome runSheets(const MergeCommandContext& ctx, QPainter& painter, QPagedPaintDevice& device,
                       QSize printable)
{
    ctx.sheets.rewind();
    QProgressDialog progress(QStringLiteral("Imprimindo a mala direta..."),
                             QStringLiteral("Cancelar"), 0, ctx.sheets.sheetCount(), ctx.owner);
    progress.setWindowTitle(QStringLiteral("Quadrela"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    bool goingOn = false;
    const auto goOn = [&](const MergeFault& fault) {
        if (!goingOn)
            goingOn = ctx.dialogs.message(ctx.owner, mergeFaultQuestion(fault), Buttons::YesNo) ==
                      Answer::Yes;
        return goingOn;
    };
    const auto step = [&](int sheets, int rows) {
        progress.setValue(std::min(sheets, progress.maximum()));
        progress.setLabelText(QStringLiteral("Imprimindo a mala direta: folha %1 de %2 "
                                             "(%3 linhas)")
                                  .arg(sheets)
                                  .arg(progress.maximum())
                                  .arg(rows));
        return !progress.wasCanceled();
    };
    painter.save();
    painter.translate(ctx.shift);
    const MergeOutcome outcome =
        PrintMergedSheets(painter, device, printable, ctx.sheets, goOn, step);
    painter.restore();
    return outcome;
}

void tellOutcome(const MergeCommandContext& ctx, const MergeOutcome& outcome)
{
    if (outcome.kind == MergeOutcome::NothingToPrint) {
        ctx.dialogs.message(
            ctx.owner, QStringLiteral("Nenhuma linha da planilha pôde ser impressa."), Buttons::Ok);
        return;
    }
    const QList<MergeFault>& leftOut = ctx.sheets.leftOut();
    if (outcome.kind != MergeOutcome::Printed || leftOut.isEmpty())
        return;
    QStringList lines;
    for (const MergeFault& fault : leftOut.mid(0, kMaxListedFaults))
        lines.append(fault.text());
    if (leftOut.size() > kMaxListedFaults)
        lines.append(QStringLiteral("... e mais %1.").arg(leftOut.size() - kMaxListedFaults));
    ctx.dialogs.message(ctx.owner,
                        QStringLiteral("%1 linhas ficaram de fora:\n\r%2")
                            .arg(leftOut.size())
                            .arg(lines.join(u'\n')),
                        Buttons::Ok);
}

} // namespace

QString mergeFaultQuestion(const MergeFault& fault)
{
    return QStringLiteral("%1\n\rImprimir as outras linhas, deixando de fora esta e as que "
                          "tiverem problemas?")
        .arg(fault.text());
}

MergeOutcome printMergedJob(const MergeCommandContext& ctx, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        throw Error(QStringLiteral("Não foi possível começar a impressão."));
    const MergeOutcome outcome =
        runSheets(ctx, painter, printer, QSize(printer.width(), printer.height()));
    if (outcome.kind != MergeOutcome::Printed)
        printer.abort();
    painter.end();
    tellOutcome(ctx, outcome);
    return outcome;
}

MergeOutcome printMergedCommand(const PrintCommandContext& ctx, MergedSheets& sheets)
{
    if (ctx.state.pageLayout == BusinessCard)
        ctx.dialogs.message(ctx.owner, businessCardNotice(), Buttons::Ok);
    if (!ctx.dialogs.choosePrinter(ctx.owner, ctx.printer))
        return MergeOutcome{MergeOutcome::Cancelled, 0, 0};
    ctx.printer.setDocName(QStringLiteral("Quadrela"));
    ctx.printer.setResolution(600); // the card rectangles are 600-dpi device pixels
    const MergeCommandContext merge{ctx.owner, ctx.dialogs, sheets, printerShift(ctx, ctx.printer)};
    try {
        return printMergedJob(merge, ctx.printer);
    } catch (const Error& e) {
        ctx.dialogs.message(ctx.owner, e.message(), Buttons::Ok);
        return MergeOutcome{MergeOutcome::Stopped, 0, 0};
    }
}

MergeOutcome writeMergedPdf(const MergeCommandContext& ctx, const QString& path,
                            const QPageLayout& layout, int dpi)
{
    MergeOutcome outcome;
    writePdf(path, layout, dpi, [&](QPainter& painter, QPdfWriter& pdf) {
        outcome = runSheets(ctx, painter, pdf, QSize(pdf.width(), pdf.height()));
        return outcome.kind == MergeOutcome::Printed;
    });
    if (outcome.kind == MergeOutcome::Printed)
        ctx.dialogs.notify(ctx.owner, savedNotice(path));
    tellOutcome(ctx, outcome);
    return outcome;
}

} // namespace quadrela
