#include "textfile.h"
#include "convert.h"
#include "errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

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

QString failureReason(const QFileDevice& file, int error)
{
    if (error != 0)
        return QString::fromLocal8Bit(std::strerror(error));
    return file.errorString();
}

QString unwritableDestination(const QString& path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QString(); // a new file
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("é um link simbólico");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("não é um arquivo comum");
    return QString();
}

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* reason)
{
    if (const QString refused = unwritableDestination(path); !refused.isEmpty()) {
        if (reason)
            *reason = refused;
        return false;
    }
    QSaveFile file(path);
    const auto fail = [&] {
        if (reason)
            *reason = failureReason(file, errno);
        return false;
    };
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    // The write is buffered: only a flush tells whether the disk took the bytes, and
    // commit() would otherwise replace the old file with a cut-short one.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const bool failed = fail();
        file.cancelWriting();
        return failed;
    }
    errno = 0;
    return file.commit() || fail();
}

} // namespace quadrela
