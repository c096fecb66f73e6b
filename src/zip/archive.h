// The project archive container: a plain ZIP archive whose entries are bare file names.
#pragma once

#include "core/limits.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace quadrela {

// Unpacking stops with an error beyond these, so a damaged or hostile archive cannot
// fill the disk or run for hours. Bytes are counted as they are written.
struct UnpackLimits
{
    qint64 maxEntries = kMaxArchiveEntries;
    qint64 maxBytes = kMaxUnpackedBytes;
};

// Packs each listed file as an entry under its bare file name, deflated at level 6.
// When archivePath already holds an archive it is updated: a listed file always replaces
// the entry that would unpack to the same name (also one stored under a folder or in
// another letter case), entries
// matching no listed file stay, new ones are added. Listed paths that are not regular
// files are skipped. A name listed twice is packed once, from its last listed path, as if
// the files had been copied into one folder in list order.
// Returns the number of files packed. Failures throw Error; the archive then stays as it
// was (the new archive is written to a temporary file and renamed over the old one).
int PackArchive(const QString& archivePath, const QStringList& files);

// Extracts every file entry into destFolder (created when missing) under its bare name,
// replacing files of the same name. Only regular files are created: directory entries,
// symbolic links, devices and entries named "." or ".." are skipped, and a symbolic link
// already in destFolder is replaced, never written through. Files get the owner's
// read and write permission, plus execute when the entry stored it.
// Failures (unreadable archive, password, unsupported method, CRC or data errors, limits)
// throw Error with a message for the user; the entry being written is not left behind.
// fileWritten, when given, is told the bare name and the path of each file as soon as it
// is complete under its name and no later entry replaces it, so work on it can start while
// the rest is unpacked.
void UnpackArchive(
    const QString& archivePath, const QString& destFolder, const UnpackLimits& limits = {},
    const std::function<void(const QString& bareName, const QString& path)>& fileWritten = {});

// The contents of the file entries that would unpack under bareNames, in their order (for
// each the last such entry; when no name matches exactly, one that differs only in letter
// case), read without unpacking anything. An entry is empty when there is none, it is
// larger than maxBytes, or it cannot be read: for looking ahead only, never in place of
// unpacking.
QList<QByteArray> peekArchiveEntries(const QString& archivePath, const QStringList& bareNames,
                                     qint64 maxBytes);

} // namespace quadrela
