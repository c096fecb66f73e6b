#include "textfile.h"
#include "convert.h"
#include "errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quadrela {

QString readCp1252File(const QString& path)
{
    // QFile opens a folder for reading on some systems and then reads nothing;
    // a folder is not one of our files.
    if (QFileInfo(path).isDir())
        throw cannotOpenFile(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw cannotOpenFile(path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw cannotOpenFile(path);
    return fromCp1252(bytes);
}

bool writeWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The write is buffered: only a flush tells whether the disk took the bytes, and
    // commit() would otherwise replace the old file with a cut-short one.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace quadrela
