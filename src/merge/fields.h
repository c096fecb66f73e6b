// Fields in texts: "{Nome}" stands for the value of the spreadsheet column whose name
// matches, ignoring case, accents, punctuation and extra blanks; "{{" and "}}" are literal braces.
// A name holds a letter or a digit and stays on one line; a brace that opens no name is
// kept as it is typed.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace quadrela {

struct TextPart
{
    bool field = false;
    QString text; // literal text, or the field's name as typed

    bool operator==(const TextPart&) const = default;
};

// The text split into literal runs and fields, in order; adjacent literals are joined.
QList<TextPart> parseFields(const QString& text);

// The fields a text names, each once (by key), in order of first appearance.
QStringList fieldNames(const QString& text);

// The name as matching compares it: accents and signs other than letters and digits
// dropped, case folded, blanks collapsed.
QString fieldKey(const QString& name);

struct FieldMatch
{
    QHash<QString, int> columnOf; // field key -> column of the header
    QStringList unmatchedFields;  // fields with no column, as typed
    QStringList unusedColumns;    // columns no field names, as the header has them
    // Fields that more than one column matches; the first such column is taken.
    QStringList ambiguousFields;
};

FieldMatch matchFields(const QStringList& fields, const QStringList& header);

// The text with every matched field replaced by the row's value of its column and the
// doubled braces made single. Fields without a column stay as typed, so they show.
QString fillFields(const QString& text, const FieldMatch& match, const QStringList& row);

} // namespace quadrela
