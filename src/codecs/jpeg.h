// The JPEG decoder (libjpeg API through libjpeg-turbo).
#pragma once

#include <QByteArray>
#include <QImage>

namespace quadrela {

// Decodes a JPEG into an RGB32 bitmap. Throws quadrela::Error for damaged, truncated or
// unsupported files and for pictures beyond the program's size bounds; a file that the
// decoder could only read in part is refused rather than shown with made-up pixels.
QImage decodeJpeg(const QByteArray& bytes);

// The pixel size the file's header declares, without decoding any pixel. Throws like
// decodeJpeg for a file whose header cannot be read.
QSize jpegPictureSize(const QByteArray& bytes);

// Decodes at 1/denominator of the full size (1, 2, 4 or 8; others are taken as 1) straight
// from the DCT coefficients, so the full-size frame never exists. Fails like decodeJpeg.
QImage decodeJpegScaled(const QByteArray& bytes, int denominator);

} // namespace quadrela
