// Merged printing from the program: every sheet into one print job or one PDF, with a
// progress dialog that can cancel, and a question when a row cannot be printed.
#pragma once

#include "mergeprint.h"

#include <QPageLayout>
#include <QPoint>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace quadrela {

class ModalDialogs;
struct PrintCommandContext;

struct MergeCommandContext
{
    QWidget* owner; // owns the progress dialog and the messages
    ModalDialogs& dialogs;
    MergedSheets& sheets;
    QPoint shift; // device pixels the composition is moved by on this output
};

// The question asked for the first row at fault: going on leaves it and every later row
// at fault out, and they are listed at the end. saving asks about a PDF, not a print job.
QString mergeFaultQuestion(const MergeFault& fault, bool saving);

// Prints every sheet onto the printer as one job. Cancelling or stopping withdraws the
// job. The outcome is told to the user unless everything printed.
MergeOutcome printMergedJob(const MergeCommandContext& ctx, QPrinter& printer);

// "Imprimir..." with a spreadsheet: the business-card notice, the print dialog, then every
// sheet as one job on the chosen printer, moved by its offset. Cancelled when the user
// cancels the print dialog.
MergeOutcome printMergedCommand(const PrintCommandContext& ctx, MergedSheets& sheets);

// Writes every sheet into one PDF at path, replacing it only when the whole file is
// written: cancelling, stopping or a failure leave an earlier file as it was.
MergeOutcome writeMergedPdf(const MergeCommandContext& ctx, const QString& path,
                            const QPageLayout& layout, int dpi);

} // namespace quadrela
