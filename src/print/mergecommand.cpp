#include "mergecommand.h"

#include "core/dialogs.h"
#include "core/errors.h"
#include "core/state.h"
#include "pdffile.h"
#include "printcommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProgressDialog>

#include <limits>

namespace quadrela {

namespace {

constexpr int kMaxListedFaults = 20;
constexpr int kShowProgressAfterMs = 500;

// Runs the sheets with a progress box; the painter is begun on device. saving tells a PDF
// from a print job, in the box and in the question.
MergeOutcome runSheets(const MergeCommandContext& ctx, QPainter& painter, QPagedPaintDevice& device,
                       QSize printable, bool saving)
{
    ctx.sheets.rewind();
    QProgressDialog progress(saving ? QStringLiteral("Salvando a mala direta...")
                                    : QStringLiteral("Imprimindo a mala direta..."),
                             QStringLiteral("Cancelar"), 0, ctx.sheets.sheetCount(), ctx.owner);
    progress.setWindowTitle(QStringLiteral("Quadrela"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoReset(false);
    // The box is shown between sheets below, never by its own timer: a timer can fire
    // while a question about a row waits, and the window-modal box then takes the input
    // the question needs.
    progress.setMinimumDuration(std::numeric_limits<int>::max());
    progress.setValue(0);
    QElapsedTimer clock;
    clock.start();
    bool goingOn = false;
    const auto goOn = [&](const MergeFault& fault) {
        if (!goingOn && !progress.wasCanceled()) {
            const bool shown = progress.isVisible();
            progress.hide();
            goingOn = ctx.dialogs.message(ctx.owner, mergeFaultQuestion(fault, saving),
                                          Buttons::YesNo) == Answer::Yes;
            if (shown && goingOn)
                progress.show();
        }
        return goingOn && !progress.wasCanceled();
    };
    const auto step = [&](int sheets, int rows) {
        if (!progress.isVisible() && !progress.wasCanceled() &&
            clock.elapsed() >= kShowProgressAfterMs)
            progress.show();
        progress.setValue(std::min(sheets, progress.maximum()));
        progress.setLabelText(
            QStringLiteral("%1 a mala direta: folha %2 de %3 (%4)")
                .arg(saving ? QStringLiteral("Salvando") : QStringLiteral("Imprimindo"))
                .arg(sheets)
                .arg(progress.maximum())
                .arg(countOf(rows, QStringLiteral("linha"), QStringLiteral("linhas"))));
        // The box was shown here, not by itself, so it leaves the events to us: "Cancelar".
        if (progress.isVisible())
            QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    painter.save();
    // As for one sheet: nothing reaches the margins a printer cannot print in.
    painter.setClipRect(QRect(QPoint(0, 0), printable), Qt::IntersectClip);
    painter.translate(ctx.shift);
    MergeOutcome outcome = PrintMergedSheets(painter, device, printable, ctx.sheets, goOn, step);
    painter.restore();
    // A cancel seen at a question, or during the last sheet, cancels all the same.
    if (progress.wasCanceled())
        outcome.kind = MergeOutcome::Cancelled;
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
    const QString left = leftOut.size() == 1
                             ? QStringLiteral("1 linha ficou de fora:")
                             : QStringLiteral("%1 linhas ficaram de fora:").arg(leftOut.size());
    ctx.dialogs.message(ctx.owner, QStringLiteral("%1\n\r%2").arg(left, lines.join(u'\n')),
                        Buttons::Ok);
}

} // namespace

QString mergeFaultQuestion(const MergeFault& fault, bool saving)
{
    return QStringLiteral("%1\n\r%2 as outras linhas, deixando de fora esta e as que "
                          "tiverem problemas?")
        .arg(fault.text(), saving ? QStringLiteral("Salvar") : QStringLiteral("Imprimir"));
}

MergeOutcome printMergedJob(const MergeCommandContext& ctx, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        throw Error(QStringLiteral("Não foi possível começar a impressão."));
    const MergeOutcome outcome =
        runSheets(ctx, painter, printer, QSize(printer.width(), printer.height()), false);
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
    ctx.printer.setResolution(600);
    ctx.printer.setPageLayout(printedLayout(ctx.printer));
    sheets.setCardSheet(printerCardSheet(ctx, ctx.printer));
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
        outcome = runSheets(ctx, painter, pdf, QSize(pdf.width(), pdf.height()), true);
        return outcome.kind == MergeOutcome::Printed;
    });
    if (outcome.kind == MergeOutcome::Printed)
        ctx.dialogs.notify(ctx.owner, savedNotice(path));
    tellOutcome(ctx, outcome);
    return outcome;
}

} // namespace quadrela
