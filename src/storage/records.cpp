#include "records.h"
#include "codemaps.h"
#include "core/convert.h"

#include <QHash>

namespace quadrela {

namespace {

const QString kTextOpen = QStringLiteral("#T#");
const QString kTextClose = QStringLiteral("#/T#");
// A text ending in this would end one character early, at its own "#" followed by
// the closing tag's "#/T#".
const QString kTextCloseHead = QStringLiteral("#/T");
const QString kLineEnd = QStringLiteral("\r\n");

// Only the thirteen lines of the record are fields; the text may go on over more.
constexpr int kFieldLines = 11;

// Reads one line as an integer; an empty line gives fallback.
int intOrDefault(const QString& line, int fallback)
{
    return line.isEmpty() ? fallback : strToInt(line);
}

// Fills record from the raw chunk of one record (the text after its header up to the
// next "["). Throws when a field line is missing or not readable.
void parseRecordChunk(const QString& rawChunk, const QString& dataFolder, TItem& record)
{
    const QStringList lines = splitLines(trimControl(rawChunk));
    if (lines.size() < kFieldLines)
        throw conversionError(QString());
    QString field[kFieldLines];
    for (int i = 0; i < kFieldLines; ++i)
        field[i] = trimControl(lines.at(i));

    TItem r;
    if (!field[0].isEmpty()) {
        const std::optional<quint8> kind = CodeToKind(strToInt(field[0]));
        if (!kind)
            throw conversionError(field[0]);
        r.Kind = *kind;
    }
    r.FileName = field[1].isEmpty() ? dataFolder : field[1];
    r.Left = intOrDefault(field[2], 0);
    r.Top = intOrDefault(field[3], 0);
    r.Width = intOrDefault(field[4], 100);
    r.Height = intOrDefault(field[5], 100);
    r.FontName = field[6].isEmpty() ? QStringLiteral("Arial") : field[6];
    r.Color = field[7].isEmpty() ? IndexToColor(1) : IndexToColor(strToInt(field[7]));
    r.Alignment = field[8].isEmpty() ? quint8(0) : CodeToAlignment(strToInt(field[8]));
    r.Style = field[9].isEmpty() ? quint8(0) : CodeToStyle(strToInt(field[9]));
    r.FontSize = intOrDefault(field[10], 16);
    r.Text = ExtractTaggedText(rawChunk);
    record = std::move(r);
}

void readChunkOrFallback(const QString& text, qsizetype bodyStart, const QString& dataFolder,
                         TItem& record)
{
    qsizetype end = text.indexOf(u'[', bodyStart);
    if (end < 0)
        end = text.size();
    try {
        parseRecordChunk(text.mid(bodyStart, end - bodyStart), dataFolder, record);
    } catch (const Error&) {
        record = fallbackItemRecord();
    }
}

bool isCp1252Char(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return true;
    if (c > 0xFFFF)
        return false;
    return isCp1252Encodable(QString(QChar(char16_t(c))));
}

enum class Kind
{
    Text,
    FileName,
    Path,
    Font
};

QString makeSafe(const QString& value, Kind kind)
{
    const bool isText = kind == Kind::Text;
    const bool fileLike = kind == Kind::FileName || kind == Kind::Path;
    const QChar unencodable = isText ? u'?' : u'_';

    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, value.at(i + 1));
            ++i;
        } else if (c.isSurrogate()) {
            code = 0x110000; // a lone half of a pair: not encodable either
        }
        if (code == u'[')
            out += u'(';
        else if (!isText && (code == u'\r' || code == u'\n'))
            out += u'_';
        else if (kind == Kind::FileName && code < 32)
            out += u'_';  // a control character has no business in a file name
        else if (kind == Kind::FileName && (code == u'/' || code == u'\\'))
            out += u'_';
        else if (!isCp1252Char(code))
            out += unencodable;
        else
            out += QChar(char16_t(code));
    }

    // Replacing a "#" never makes a new marker, so this ends.
    const QString& marker = isText ? kTextClose : kTextOpen;
    for (qsizetype at = out.indexOf(marker); at >= 0; at = out.indexOf(marker, at))
        out[at] = u'_';
    if (!isText) {
        for (qsizetype at = out.indexOf(kTextClose); at >= 0; at = out.indexOf(kTextClose, at))
            out[at] = u'_';
    } else if (out.endsWith(kTextCloseHead)) {
        out[out.size() - kTextCloseHead.size()] = u'_';
    }

    if (kind == Kind::Font) {
        out = trimControl(out);
    } else if (fileLike) {
        for (qsizetype i = 0; i < out.size() && out.at(i).unicode() <= 32; ++i)
            out[i] = u'_';
        for (qsizetype i = out.size() - 1; i >= 0 && out.at(i).unicode() <= 32; --i)
            out[i] = u'_';
    }
    return out;
}

} // namespace

Error tooManyItemsError(int itemCount)
{
    return Error(QStringLiteral("O projeto tem %1 itens; o limite é de %2 itens.")
                     .arg(itemCount)
                     .arg(kMaxItemCount));
}

TItem fallbackItemRecord()
{
    return TItem();
}

int ReadSectionInt(const QString& name, const QString& text)
{
    const QString key = u'[' + name + u']';
    const qsizetype at = text.indexOf(key);
    const qsizetype start = at < 0 ? 0 : at + key.size();
    qsizetype end = text.indexOf(u'[', start);
    if (end < 0)
        end = text.size();
    return strToInt(text.mid(start, end - start));
}

bool hasProjectMagic(const QString& text)
{
    return text.contains(QLatin1String(kProjectMagic));
}

ProjectRecord ReadProjectRecord(const QString& text)
{
    ProjectRecord project;
    project.itemCount = ReadSectionInt(QStringLiteral("ItemCount"), text);
    if (project.itemCount > kMaxItemCount)
        throw tooManyItemsError(project.itemCount);
    project.layout = CodeToLayout(ReadSectionInt(QStringLiteral("Impressao"), text));
    return project;
}

void ReadItemRecord(int number, const QString& text, const QString& dataFolder, TItem& record)
{
    const QString key = u'[' + QString::number(number) + u']';
    const qsizetype at = text.indexOf(key);
    if (at < 0) {
        record = fallbackItemRecord();
        return;
    }
    readChunkOrFallback(text, at + key.size(), dataFolder, record);
}

QList<TItem> ReadItemRecords(const QString& text, int count, const QString& dataFolder)
{
    QList<TItem> records;
    if (count <= 0)
        return records;

    // Every occurrence of a header "[n]" starts at some "[", so looking at each "[" in
    // order finds the first occurrence of every header, as a search for it would.
    QHash<int, qsizetype> bodyStart;
    for (qsizetype at = text.indexOf(u'['); at >= 0; at = text.indexOf(u'[', at + 1)) {
        qsizetype i = at + 1;
        qint64 number = 0;
        while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9' && number < count) {
            number = number * 10 + (text.at(i).unicode() - u'0');
            ++i;
        }
        const qsizetype digits = i - at - 1;
        if (digits == 0 || i >= text.size() || text.at(i) != u']')
            continue;
        if (number >= count || (digits > 1 && text.at(at + 1) == u'0'))
            continue; // no record asked for, or not how a header is written
        if (!bodyStart.contains(int(number)))
            bodyStart.insert(int(number), i + 1);
    }

    records.reserve(count);
    for (int n = 0; n < count; ++n) {
        TItem record;
        const auto found = bodyStart.constFind(n);
        if (found != bodyStart.cend())
            readChunkOrFallback(text, found.value(), dataFolder, record);
        records.append(std::move(record));
    }
    return records;
}

QString ExtractTaggedText(const QString& chunk)
{
    const qsizetype open = chunk.indexOf(kTextOpen);
    const qsizetype start = open < 0 ? 0 : open + kTextOpen.size();
    qsizetype end = chunk.indexOf(kTextClose, start);
    if (end < 0)
        end = chunk.size();
    return trimControl(chunk.mid(start, end - start));
}

QByteArray ProjectRecordBytes(int itemCount, int layout)
{
    const QString text = QString::fromLatin1(kProjectMagic) + kLineEnd +
                         QStringLiteral("[ItemCount]") + kLineEnd + QString::number(itemCount) +
                         kLineEnd + QStringLiteral("[Impressao]") + kLineEnd +
                         QString::number(LayoutToCode(layout)) + kLineEnd;
    return toCp1252(text);
}

QByteArray ItemRecordsBytes(const QList<TItem>& itemsInStackingOrder)
{
    QString text;
    int counter = 0;
    for (const TItem& item : itemsInStackingOrder) {
        const QString lines[] = {
            u'[' + QString::number(counter) + u']',
            QString::number(KindToCode(item.Kind)),
            recordSafePath(item.FileName),
            QString::number(item.Left),
            QString::number(item.Top),
            QString::number(item.Width),
            QString::number(item.Height),
            recordSafeFontName(item.FontName),
            QString::number(ColorToIndex(item.Color)),
            QString::number(AlignmentToCode(item.Alignment)),
            QString::number(StyleToCode(item.Style)),
            QString::number(item.FontSize),
            kTextOpen + recordSafeText(item.Text) + kTextClose,
        };
        for (const QString& line : lines)
            text += line + kLineEnd;
        ++counter;
    }
    return toCp1252(text);
}

bool isRecordSafeText(const QString& text)
{
    return !text.contains(u'[') && !text.contains(kTextClose) && !text.endsWith(kTextCloseHead) &&
           isCp1252Encodable(text);
}

bool isRecordSafeLine(const QString& value)
{
    if (!isRecordSafeText(value) || value.contains(kTextOpen))
        return false;
    if (value.contains(u'\r') || value.contains(u'\n'))
        return false;
    return trimControl(value).size() == value.size();
}

// Safe exactly when making it safe would change nothing, so the two never disagree.
bool isRecordSafeFileName(const QString& name)
{
    return isRecordSafeLine(name) && recordSafeFileName(name) == name;
}

QString recordSafeText(const QString& text)
{
    return makeSafe(text, Kind::Text);
}

QString recordSafeFileName(const QString& name)
{
    return makeSafe(name, Kind::FileName);
}

QString recordSafePath(const QString& path)
{
    return makeSafe(path, Kind::Path);
}

QString recordSafeFontName(const QString& name)
{
    return makeSafe(name, Kind::Font);
}

} // namespace quadrela
