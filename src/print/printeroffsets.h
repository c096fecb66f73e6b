// The offsets the user measured for each printer, kept in the user's settings so they
// outlive the run and follow the printer, not the project.
#pragma once

#include "printsheet.h"

#include <QString>

class QSettings;

namespace quadrela {

// The offset stored for the printer; none when nothing is stored. When the settings
// cannot be read, or the stored entry is not a pair of numbers within the range, the
// offset is none and problem (when given) receives a message saying so.
PrintOffset loadPrinterOffset(QSettings& settings, const QString& printerName,
                              QString* problem = nullptr);

// Stores the offset for the printer, to a tenth of a millimetre. False, with the reason
// in problem, for an offset out of range, a printer without a name, or settings that
// cannot be written.
bool savePrinterOffset(QSettings& settings, const QString& printerName, const PrintOffset& offset,
                       QString* problem = nullptr);

} // namespace quadrela
