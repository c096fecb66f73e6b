// The paper a job goes out on once the print dialog has been accepted.
#pragma once

#include <QList>
#include <QPageSize>

#include <optional>

namespace quadrela {

// Qt's print dialog on a system printer comes back with the printer's own default paper,
// whatever paper the printer was set to before, unless the user picks one in it. So the
// paper asked for (the preview's) stands unless the user picked another in the dialog and
// that pick is what the dialog returned, or the chosen printer does not offer it.
// `offered` is what the chosen printer offers; empty means any paper (a PDF file, a queue
// without a paper list). The result is the printer's own entry when it has one, so the
// job carries the printer's name for that paper.
QPageSize paperAfterDialog(const QPageSize& asked, const QPageSize& returned,
                           const std::optional<QPageSize>& picked, const QList<QPageSize>& offered);

} // namespace quadrela
