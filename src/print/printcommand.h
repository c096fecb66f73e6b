// The "Imprimir" command: the print dialog, one print job titled "Quadrela" at 600 dots
// per inch, the page composed onto it, and a message when the job fails.
#pragma once

#include "printsheet.h"

#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;
class QWidget;

namespace quadrela {

struct AppState;
class ModalDialogs;
class TCampos;

struct PrintCommandContext
{
    QWidget* owner;         // owns the message boxes and the print dialog
    ModalDialogs& dialogs;
    QPrinter& printer;      // the run's printer, configured by the print dialog
    AppState& state;
    TCampos& items;
    QWidget* page;          // the page panel
    // The offset measured for a printer, by its name; none when not given. Only a real
    // printer is shifted, never a file the print dialog writes.
    std::function<PrintOffset(const QString& printerName)> offsetFor = nullptr;
    // The sheet business cards go onto for a printer, by its name (empty for a file); the
    // default sheet when not given.
    std::function<CardSheet(const QString& printerName)> cardSheetFor = nullptr;
};

enum class PrintOutcome { Printed, Cancelled, Failed };

// The business-card notice shown before the print dialog.
QString businessCardNotice();

// The one message that tells which texts printed blank, with their reasons.
QString textFailuresMessage(QStringList failures);

// Where a job on the printer is placed, as the preview shows it: a named printer's own
// layout, without the margins it cannot print in; for a file, the whole sheet, as
// "Salvar PDF..." writes it, whatever margins the print dialog set.
QPageLayout printedLayout(const QPrinter& printer);

// The shift the print command gives the composition on this printer, in device pixels.
QPoint printerShift(const PrintCommandContext& ctx, const QPrinter& printer);

// The card sheet of the job on this printer, placed from its paper's corner.
CardSheet printerCardSheet(const PrintCommandContext& ctx, const QPrinter& printer);

// Shows the business-card notice (business-card layout only), the print dialog, then
// prints the page on one sheet. A job that cannot be started or finished (a printer
// that refuses it, an output file that cannot be written) is told to the user and gives
// Failed. Texts that could not be rendered print as nothing and are told once, after
// the job. The current text attributes are never changed.
PrintOutcome btImprimirClick(const PrintCommandContext& ctx);

} // namespace quadrela
