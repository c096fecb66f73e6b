// "Exportar imagem": the page as a PNG or JPEG picture for sending by message or e-mail.
// The picture is what prints, drawn by the print composition, without the sheet around it.
#pragma once

#include "composition.h"
#include "core/dialogs.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QWidget;

namespace quadrela {

inline constexpr int kExportResolutions[] = {150, 300, 600};
// The resolution meant for messages, where a JPEG is kept within kMessageJpegBytes.
inline constexpr int kMessageResolution = 150;
inline constexpr qint64 kMessageJpegBytes = 2 * 1024 * 1024;

// The picture's size in pixels: a full page or a folded card as an A4 portrait sheet (a
// folded card's front as the sheet's top-left quarter), a business card as one card of
// 3.5 x 2 inches.
QSize exportedSize(int layout, const PictureExportChoice& choice);

// The picture of the job at the chosen resolution. The front of a folded card prints
// turned in the sheet's top-left quarter; it is given upright, as the card shows it.
QImage exportedPicture(const PrintJob& job, const PictureExportChoice& choice,
                       CompositionReport* report = nullptr);

// "PNG" or "JPEG" by the path's extension; empty for any other.
QByteArray exportFormatFor(const QString& path);

// The picture encoded in the format. A JPEG at the resolution for messages is lowered in
// quality step by step until it fits in kMessageJpegBytes.
QByteArray encodeExportedPicture(const QImage& picture, const QByteArray& format, int dpi);

// Writes the picture of the job to path, in the format of its extension, whole or not at
// all. Throws Error naming the file when it cannot be written; an earlier file is then
// left as it was.
CompositionReport writeExportedPicture(const QString& path, const PrintJob& job,
                                       const PictureExportChoice& choice);

// Asks for the options and the file, then writes the picture and notes where it went.
// Returns the path written, or nothing when the user cancelled or the file could not be
// written (which is told).
QString exportPictureCommand(QWidget* owner, ModalDialogs& dialogs, const PrintJob& job);

} // namespace quadrela
