// Conversions shared by every reader of the program's own text files.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace quadrela {

// Removes characters whose code is 32 or below from both ends, nothing else
// (a no-break space U+00A0 stays).
QString trimControl(const QString& s);

// Decimal integer with an optional sign, after trimControl. Anything else, or a value
// outside the signed 32-bit range, throws conversionError with the trimmed value.
int strToInt(const QString& s);

// Splits at CR LF, LF or CR. A line end at the very end adds no empty line.
QStringList splitLines(const QString& text);

// Windows-1252, the code page of the record files and catalogues.
QString fromCp1252(QByteArrayView bytes);
// Returns false in *ok (when given) if a character cannot be encoded.
QByteArray toCp1252(const QString& text, bool* ok = nullptr);
bool isCp1252Encodable(const QString& text);

// Integer halving as the layout rules use it: truncates toward zero.
constexpr int div2(int v) { return v / 2; }
// Rounds to the nearest integer, halves to the even neighbour; saturates at the int range.
int roundHalfEven(double v);

} // namespace quadrela
