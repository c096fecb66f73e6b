// Whole-file access for the program's own 8-bit text files.
#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace quadrela {

// The most a record or catalogue file of ours may hold. A project holds at most ten
// thousand items, whose records take some two hundred bytes each besides their texts;
// this leaves every one of them a text of over 600 characters, far beyond anything a
// card's page shows legibly, while a damaged or hostile file is refused before it is
// read rather than taking gigabytes on its way to the record reader.
inline constexpr qint64 kMaxRecordFileBytes = 8LL * 1024 * 1024;

// Reads the regular file at path whole, when it holds at most maxBytes. Throws
// cannotOpenFile(path) when it cannot be opened or is not a regular file (a folder, a
// FIFO, a device: none is opened in a way that could block), and a message naming it
// when it is larger.
QByteArray readRegularFile(const QString& path, qint64 maxBytes);

// Reads the file at path whole (see readRegularFile, with kMaxRecordFileBytes) and
// decodes it as Windows-1252. Line ends are left as they are.
QString readCp1252File(const QString& path);

// Why the file at path must not be replaced, or nothing when it may: a symbolic link is
// not followed, and what exists there must be a regular file (a device or a pipe would
// otherwise be swapped for a file of that name).
QString unwritableDestination(const QString& path);

// Whether both paths name one existing file, under any name (a hard link included).
bool sameFile(const QString& a, const QString& b);

// Replaces the file at path with bytes, all or nothing: the bytes go to a temporary
// file beside it that is renamed over the old one only when everything was written.
// Returns false, leaving any earlier file untouched, when that fails or the destination is
// refused (see unwritableDestination); reason then receives the system's reason ("No space
// left on device").
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

// The system's reason for the call on file that just failed, given the errno it left:
// Qt's own text says only "Unknown error" for some failures (a buffer that could not be
// written out, a temporary file that could not be renamed).
QString failureReason(const QFileDevice& file, int error);

} // namespace quadrela
