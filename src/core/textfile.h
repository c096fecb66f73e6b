// Whole-file access for the program's own 8-bit text files.
#pragma once

#include <QByteArray>
#include <QString>

namespace quadrela {

// Reads the file at path whole and decodes it as Windows-1252. Line ends are left
// as they are. Throws cannotOpenFile(path) when the file cannot be opened (also
// when path names a folder).
QString readCp1252File(const QString& path);

// Replaces the file at path with bytes, all or nothing: the bytes go to a temporary
// file beside it that is renamed over the old one only when everything was written.
// Returns false, leaving any earlier file untouched, when that fails.
bool writeWholeFile(const QString& path, const QByteArray& bytes);

} // namespace quadrela
