#include "textfile.h"
#include "convert.h"
#include "errors.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quadrela {

QByteArray readRegularFile(const QString& path, qint64 maxBytes)
{
    // O_NONBLOCK: opening a FIFO waits for a writer otherwise. Whether it is a regular
    // file is asked of what was opened, so nothing can be put in its place in between.
    int fd;
    do
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw cannotOpenFile(path);
    QFile file;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw cannotOpenFile(path);
    }
    if (st.st_size > maxBytes)
        throw Error(QStringLiteral("O arquivo %1 é grande demais: passa de %2 bytes.")
                        .arg(QDir::toNativeSeparators(path))
                        .arg(maxBytes));
    // What it held when opened: whatever is added meanwhile is not read.
    const QByteArray bytes = file.read(qint64(st.st_size));
    if (file.error() != QFileDevice::NoError)
        throw cannotOpenFile(path);
    return bytes;
}

QString readCp1252File(const QString& path)
{
    return fromCp1252(readRegularFile(path, kMaxRecordFileBytes));
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

bool sameFile(const QString& a, const QString& b)
{
    struct stat sa;
    struct stat sb;
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
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
