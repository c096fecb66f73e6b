#include "fields.h"

#include <QSet>

#include <algorithm>

namespace quadrela {

namespace {

// Headers hold signs ("E-mail", "Nº"), so a name may too; it needs a letter or a digit
// and stays on one line.
bool isName(QStringView name)
{
    const bool hasWord =
        std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLetterOrNumber(); });
    const bool oneLine = std::none_of(name.begin(), name.end(),
                                      [](QChar c) { return c.category() == QChar::Other_Control; });
    return hasWord && oneLine;
}

void appendLiteral(QList<TextPart>& parts, QStringView text)
{
    if (!parts.isEmpty() && !parts.last().field)
        parts.last().text += text;
    else
        parts.append(TextPart{false, text.toString()});
}

} // namespace

QList<TextPart> parseFields(const QString& text)
{
    QList<TextPart> parts;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        const bool doubled = i + 1 < n && text.at(i + 1) == c;
        if ((c == u'{' || c == u'}') && doubled) {
            appendLiteral(parts, QStringView(text).mid(i, 1));
            i += 2;
            continue;
        }
        if (c == u'{') {
            const qsizetype close = text.indexOf(u'}', i + 1);
            const QStringView name =
                close < 0 ? QStringView() : QStringView(text).mid(i + 1, close - i - 1);
            if (close >= 0 && isName(name)) {
                parts.append(TextPart{true, name.toString()});
                i = close + 1;
                continue;
            }
        }
        appendLiteral(parts, QStringView(text).mid(i, 1));
        ++i;
    }
    return parts;
}

QStringList fieldNames(const QString& text)
{
    QStringList names;
    QSet<QString> keys;
    for (const TextPart& part : parseFields(text)) {
        if (part.field && !keys.contains(fieldKey(part.text))) {
            keys.insert(fieldKey(part.text));
            names.append(part.text);
        }
    }
    return names;
}

QString fieldKey(const QString& name)
{
    const QString decomposed = name.normalized(QString::NormalizationForm_KD);
    QString key;
    key.reserve(decomposed.size());
    for (QChar c : decomposed) {
        // Signs a field name cannot hold are dropped too, so {Email} finds "E-mail".
        if (c.isLetterOrNumber() || c.isSpace())
            key.append(c);
    }
    return key.toCaseFolded().simplified();
}

FieldMatch matchFields(const QStringList& fields, const QStringList& header)
{
    FieldMatch match;
    QHash<QString, int> firstColumn;
    QSet<QString> duplicated;
    for (int column = 0; column < header.size(); ++column) {
        const QString key = fieldKey(header.at(column));
        if (key.isEmpty())
            continue;
        if (firstColumn.contains(key))
            duplicated.insert(key);
        else
            firstColumn.insert(key, column);
    }
    QSet<int> used;
    for (const QString& field : fields) {
        const QString key = fieldKey(field);
        if (match.columnOf.contains(key))
            continue;
        const auto found = firstColumn.constFind(key);
        if (found == firstColumn.cend()) {
            if (!match.unmatchedFields.contains(field))
                match.unmatchedFields.append(field);
            continue;
        }
        match.columnOf.insert(key, found.value());
        used.insert(found.value());
        if (duplicated.contains(key))
            match.ambiguousFields.append(field);
    }
    for (int column = 0; column < header.size(); ++column) {
        if (!used.contains(column) && !fieldKey(header.at(column)).isEmpty())
            match.unusedColumns.append(header.at(column));
    }
    return match;
}

QString fillFields(const QString& text, const FieldMatch& match, const QStringList& row)
{
    QString filled;
    for (const TextPart& part : parseFields(text)) {
        if (!part.field) {
            filled += part.text;
            continue;
        }
        const auto column = match.columnOf.constFind(fieldKey(part.text));
        if (column == match.columnOf.cend())
            filled += u'{' + part.text + u'}';
        else
            filled += row.value(column.value());
    }
    return filled;
}

} // namespace quadrela
