#include "runlock.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quadrela {

namespace {

// What to tell the user when the file at path cannot be the lock, given the errno of
// opening it or, for an open file that is not a regular one, 0.
QString lockFileFault(const QString& path, int error)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (error) {
    case ELOOP:
        return QStringLiteral("O arquivo de trava %1 é um link simbólico, que o Quadrela não "
                              "segue.\n\rApague o link e abra o programa de novo.")
            .arg(shown);
    case EISDIR:
        return QStringLiteral("No lugar do arquivo de trava %1 há uma pasta.\n\rApague a pasta "
                              "ou mude o nome dela e abra o programa de novo.")
            .arg(shown);
    case 0:
        return QStringLiteral("O arquivo de trava %1 não é um arquivo comum.\n\rApague-o e "
                              "abra o programa de novo.")
            .arg(shown);
    default:
        return QStringLiteral("O arquivo de trava %1 não pôde ser aberto para gravação: %2.")
            .arg(shown, QString::fromLocal8Bit(std::strerror(error)));
    }
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
    m_problem.clear();
    const QByteArray name = QFile::encodeName(m_path);
    // A link is never followed, so the lock can neither truncate nor write a file of the
    // user's elsewhere; a FIFO must not hold up the start.
    int fd;
    do
        fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK,
                    0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        m_problem = lockFileFault(m_path, errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        m_problem = lockFileFault(m_path, 0);
        return false;
    }
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
    return true;
}

} // namespace quadrela
