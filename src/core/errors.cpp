#include "errors.h"

#include <QDir>

namespace quadrela {

Error::Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

Error conversionError(const QString& value)
{
    return Error(QStringLiteral("'%1' is not a valid integer value").arg(value));
}

Error cannotOpenFile(const QString& path)
{
    return Error(QStringLiteral("Cannot open file %1").arg(path));
}

Error listIndexError(qint64 index)
{
    return Error(QStringLiteral("List index out of bounds (%1)").arg(index));
}

Error unknownExtension(const QString& extension)
{
    return Error(QStringLiteral("Unknown picture file extension (.%1)").arg(extension));
}

Error pngAlphaTransparencyRefused()
{
    return Error(QStringLiteral(
        "Setting bit transparency color is not allowed for png images containing alpha value "
        "for each pixel (COLOR_RGBALPHA and COLOR_GRAYSCALEALPHA)"));
}

Error cannotWriteFile(const QString& path, const QString& reason)
{
    const QString file = QDir::toNativeSeparators(path);
    if (reason.isEmpty())
        return Error(QStringLiteral("Não foi possível gravar o arquivo %1.").arg(file));
    return Error(QStringLiteral("Não foi possível gravar o arquivo %1: %2.").arg(file, reason));
}

Error assertionFailed(const QString& condition, const QString& file, int line)
{
    return Error(QStringLiteral("%1 (%2, line %3)").arg(condition, file).arg(line));
}

} // namespace quadrela
