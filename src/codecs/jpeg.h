// The JPEG decoder (libjpeg API through libjpeg-turbo).
#pragma once

#include <QByteArray>
#include <QImage>

namespace quadrela {

// Decodes a JPEG into an RGB32 bitmap. Throws quadrela::Error for damaged, truncated or
// unsupported files and for pictures beyond the program's size bounds; a file that the
// decoder could only read in part is refused rather than shown with made-up pixels.
QImage decodeJpeg(const QByteArray& bytes);

} // namespace quadrela
