// The two record files of a project: "project.txt" with the page-wide facts and
// "item.txt" with one 13-line record per placed item, both Windows-1252 text with
// CR LF line ends. Readers take the whole file as one string; writers produce the
// file's bytes and leave storing them to the caller.
#pragma once

#include "core/errors.h"
#include "core/state.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace quadrela {

inline constexpr char kProjectMagic[] = "####vimel";

// The open routine refuses a project whose "[ItemCount]" is above this: every record
// becomes an item with a control, and a damaged count must not exhaust memory.
inline constexpr int kMaxItemCount = 10000;
Error tooManyItemsError(int itemCount);

// What "project.txt" says. A layout code outside the table gives no layout: the page
// and the page layout then stay as they were.
struct ProjectRecord
{
    int itemCount = 0;
    std::optional<int> layout;
};

// True when text is a project record file: it holds the magic anywhere.
bool hasProjectMagic(const QString& text);

// Reads "[ItemCount]", then "[Impressao]", of the project record file. Throws the
// conversion error of the first that is missing or not an integer, and
// tooManyItemsError for an item count above kMaxItemCount. A negative count stands:
// it reads no records.
ProjectRecord ReadProjectRecord(const QString& text);

// One item as read back from the item record file. A default-constructed TItem is
// the fallback record that replaces a record that cannot be read.
struct TItem
{
    quint8 Kind = BorderItem;
    QString FileName;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    QString Text;
    QString FontName = QStringLiteral("Arial");
    ColorRef Color = 0;
    quint8 Alignment = 0;
    quint8 Style = 0;
    int FontSize = 10;

    bool operator==(const TItem&) const = default;
};

TItem fallbackItemRecord();

// The integer under the section "[name]" of text. When the key is missing the
// value is taken from the start of text. Throws conversionError when the value is
// not an integer.
int ReadSectionInt(const QString& name, const QString& text);

// Fills record with record number of text, the whole item record file. Never fails:
// a missing or unreadable record gives the fallback record. An empty file-name line
// reads as dataFolder.
void ReadItemRecord(int number, const QString& text, const QString& dataFolder, TItem& record);

// Records 0 .. count - 1 of text, each exactly as ReadItemRecord reads it, with one
// pass over the text instead of one search per record. Empty for count <= 0.
QList<TItem> ReadItemRecords(const QString& text, int count, const QString& dataFolder);

// The text between the first "#T#" and the first "#/T#" after it, trimmed of
// characters up to code 32 at both ends; inner line breaks stay.
QString ExtractTaggedText(const QString& chunk);

// "project.txt": the magic, "[ItemCount]", itemCount, "[Impressao]", the layout code.
QByteArray ProjectRecordBytes(int itemCount, int layout);

// "item.txt": one record per item, numbered from 0 in the order given (the stacking
// order, back-most first). No items give no bytes. Values that pass the checks
// below are written byte for byte; others are first made safe with the
// recordSafe... functions, so that everything written can be read back.
QByteArray ItemRecordsBytes(const QList<TItem>& itemsInStackingOrder);

// The record files have no escapes: a "[" starts a section wherever it stands and
// "#/T#" ends a text. A text is safe when it is Windows-1252 and holds neither.
// (A "#T#" inside a text is harmless: the reader takes the first one of the record.)
bool isRecordSafeText(const QString& text);
// A one-line value (file name, font name) is safe when it is safe text, holds no
// line end and no "#T#", and has no character up to code 32 at either end (the
// reader trims them).
bool isRecordSafeLine(const QString& value);
// A bare file name is safe when it is a safe line without "/" or "\".
bool isRecordSafeFileName(const QString& name);

// Safe versions, unchanged when already safe. "[" becomes "(", a character outside
// Windows-1252 becomes "?" in texts and "_" elsewhere, the "#" that starts a "#/T#",
// a final "#/T" of a text or, outside texts, a "#T#", becomes "_".
QString recordSafeText(const QString& text);
// For a bare file name, such as the name of a picture's copy in the working folder:
// besides the above, "/", "\", line ends and blanks at either end become "_", so the
// name survives the record and the file-name part of its path is the name itself.
QString recordSafeFileName(const QString& name);
// For a whole stored path: as recordSafeFileName but keeping the separators.
QString recordSafePath(const QString& path);
// For a font name: blanks at the ends are dropped, other characters as above.
QString recordSafeFontName(const QString& name);

} // namespace quadrela
