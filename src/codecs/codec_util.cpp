#include "codecs/codec_util.h"

#include "core/errors.h"
#include "core/limits.h"
#include "core/textfile.h"

#include <QFile>
#include <QFileInfo>

namespace quadrela::codec {

void checkPictureSize(qint64 width, qint64 height)
{
    if (width <= 0 || height <= 0)
        throw Error(QStringLiteral("Tamanho de imagem inválido (%1 x %2 pixels)").arg(width).arg(height));
    if (!pictureSizeAllowed(width, height))
        throw Error(QStringLiteral("Imagem grande demais (%1 x %2 pixels; no máximo %3 pixels de "
                                   "lado e %4 milhões de pixels no total)")
                        .arg(width)
                        .arg(height)
                        .arg(kMaxPictureSide)
                        .arg(kMaxPicturePixels / 1000000));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw cannotOpenFile(path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw cannotOpenFile(path);
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QString reason;
    if (!writeWholeFile(path, bytes, &reason))
        throw Error(QStringLiteral("Não foi possível criar o arquivo %1: %2").arg(path, reason));
}

} // namespace quadrela::codec
