// Names of archive entries. Archives travel between this program, Windows tools and
// Unix tools, so a name is written in Windows-1252 (the code page of the record files
// that refer to pictures by name) whenever it can be, and in flagged UTF-8 otherwise.
#pragma once

#include <QByteArray>
#include <QString>

namespace quadrela {

struct EncodedEntryName
{
    QByteArray bytes;
    bool utf8 = false; // true: the entry must carry the UTF-8 flag
};

// Windows-1252 without the flag when the name can be encoded so and its bytes cannot
// be mistaken for UTF-8 by a reader; flagged UTF-8 otherwise.
EncodedEntryName encodeEntryName(const QString& name);

// A flagged name is UTF-8; an unflagged name is UTF-8 when its bytes are valid UTF-8
// (what Unix tools write), Windows-1252 otherwise.
QString decodeEntryName(const QByteArray& raw, bool utf8Flag);

bool isValidUtf8(const QByteArray& bytes);

// What follows the last "/" or "\": entries unpack flat, whatever tool made them.
QString entryBareName(const QString& name);

} // namespace quadrela
