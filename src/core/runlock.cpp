#include "runlock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quadrela {

namespace {

// QLockFile's record of its holder, a line each.
QByteArray holderRecord()
{
    const QString program =
        QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).fileName();
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n' + program.toUtf8() + '\n' +
           QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n' +
           QSysInfo::bootUniqueId() + '\n';
}

} // namespace

RunLock::RunLock(const QString& path) : m_path(path) {}

RunLock::~RunLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool RunLock::tryLock()
{
    if (m_fd >= 0 || m_withoutFlock)
        return true;
    const QByteArray name = QFile::encodeName(m_path);
    int fd;
    do
        fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    int locked;
    do
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    while (locked < 0 && errno == EINTR);
    if (locked < 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return false;
        auto fallback = std::make_unique<QLockFile>(m_path + QStringLiteral(".qt"));
        fallback->setStaleLockTime(0);
        if (!fallback->tryLock(0))
            return false;
        m_withoutFlock = std::move(fallback);
        return true;
    }
    m_fd = fd;
    // Only for copies that judge the file by its contents; the lock itself is held. Written
    // over the last run's record and then cut to length, never emptied first: emptying
    // frees the file's block, and a file system mounted with online discard waits for the
    // device to discard it.
    const QByteArray record = holderRecord();
    qsizetype done = 0;
    while (done < record.size()) {
        const ssize_t written =
            ::pwrite(fd, record.constData() + done, size_t(record.size() - done), done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        done += written;
    }
    if (done == record.size())
        (void)::ftruncate(fd, record.size());
    return true;
}

} // namespace quadrela
