#include "entryname.h"
#include "core/convert.h"

#include <QStringDecoder>

#include <algorithm>

namespace quadrela {

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    return !decoder.hasError();
}

EncodedEntryName encodeEntryName(const QString& name)
{
    bool ok = false;
    const QByteArray cp1252 = toCp1252(name, &ok);
    // Pure ASCII reads the same either way. Otherwise Windows-1252 bytes that happen to
    // form valid UTF-8 ("Ã©") would be read back as a different name, so those go as UTF-8.
    const bool ascii = std::all_of(cp1252.begin(), cp1252.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ok && (ascii || !isValidUtf8(cp1252)))
        return {cp1252, false};
    return {name.toUtf8(), true};
}

QString decodeEntryName(const QByteArray& raw, bool utf8Flag)
{
    if (utf8Flag || isValidUtf8(raw))
        return QString::fromUtf8(raw);
    return fromCp1252(raw);
}

QString entryBareName(const QString& name)
{
    const qsizetype cut = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    return name.mid(cut + 1);
}

} // namespace quadrela
