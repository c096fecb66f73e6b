#include "convert.h"
#include "errors.h"

#include <QStringDecoder>
#include <QStringEncoder>
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

QString fromCp1252(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QByteArray toCp1252(const QString& text, bool* ok)
{
    QStringEncoder encoder("windows-1252");
    QByteArray out = encoder.encode(text);
    if (ok)
        *ok = !encoder.hasError();
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
