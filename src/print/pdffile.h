// Every PDF the program writes (the sheet, the merged sheets, the calibration sheet) goes
// through here, so a full disk can never leave a cut-short file in place of a good one.
#pragma once

#include <QPageLayout>
#include <QString>

#include <functional>

class QPainter;
class QPdfWriter;

namespace quadrela {

// Draws a PDF of the page layout at dpi with draw and puts it at path whole. The bytes go
// to a temporary file beside path that replaces it only when every one of them was
// written; a symbolic link at path is not followed and anything there that is not a
// regular file is refused. Returns false, without touching path, when draw returns false
// (the drawing was given up). Throws cannotWriteFile with the system's reason when the
// file cannot be written; an earlier file is then left
// as it was.
bool writePdf(const QString& path, const QPageLayout& layout, int dpi,
              const std::function<bool(QPainter&, QPdfWriter&)>& draw);

} // namespace quadrela
