#include "convert.h"
#include "errors.h"

#include <cmath>
#include <limits>

namespace quadrela {

QString trimControl(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b).unicode() <= 32)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

int strToInt(const QString& s)
{
    const QString t = trimControl(s);
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == u'-' || t.at(i) == u'+')) {
        negative = t.at(i) == u'-';
        ++i;
    }
    if (i == t.size())
        throw conversionError(t);
    qint64 value = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t.at(i).unicode();
        if (c < u'0' || c > u'9')
            throw conversionError(t);
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            throw conversionError(t);
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        throw conversionError(t);
    return int(value);
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    QString current;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(current);
            current.clear();
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines;
}

namespace {

// Windows-1252 from 0x80 to 0x9F. The five bytes the code page leaves undefined stand for
// the C1 controls of the same value, as in the common converters; the rest of the code page
// is Latin-1. The program's record files use no other code page, so it needs no converter
// library for them.
constexpr char16_t kCp1252From80[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The byte for c, or -1 when the code page has none.
int cp1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kCp1252From80[i] == c)
            return 0x80 + i;
    return -1;
}

// Written for each character outside the code page, so none of them vanishes unnoticed.
constexpr char kSubstitute = '\x1A';

} // namespace

QString fromCp1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = uchar(bytes[i]);
        out[i] = b >= 0x80 && b < 0xA0 ? kCp1252From80[b - 0x80] : char16_t(b);
    }
    return text;
}

QByteArray toCp1252(const QString& text, bool* ok)
{
    QByteArray out;
    out.reserve(text.size());
    bool encodable = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const int byte = cp1252Byte(c);
        if (byte >= 0) {
            out += char(byte);
            continue;
        }
        // A surrogate pair is one character.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        encodable = false;
        out += kSubstitute;
    }
    if (ok)
        *ok = encodable;
    return out;
}

bool isCp1252Encodable(const QString& text)
{
    bool ok = false;
    toCp1252(text, &ok);
    return ok;
}

int roundHalfEven(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(v);
    if (r >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(r);
}

} // namespace quadrela
