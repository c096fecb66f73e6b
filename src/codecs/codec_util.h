// Helpers shared by the codecs; not part of the library's interface.
#pragma once

#include <QByteArray>
#include <QString>

namespace quadrela::codec {

// Throws unless a picture of this size stays within the program's bounds. Called with the
// size a header declares, before any pixel memory is reserved.
void checkPictureSize(qint64 width, qint64 height);

// The whole file, or quadrela::cannotOpenFile(path).
QByteArray readFile(const QString& path);

// Writes the file whole or not at all, so a failure leaves an earlier file intact.
void writeFile(const QString& path, const QByteArray& bytes);

} // namespace quadrela::codec
