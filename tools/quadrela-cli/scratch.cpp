#include "scratch.h"

#include "core/errors.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace quadrela::cli {

namespace {

// Made inside a folder once its lock is held. A folder whose lock is free but that has no
// mark is being made right now by another run, between mkdtemp and flock.
const char kHeldMark[] = ".em-uso";

std::mutex liveMutex;
std::vector<QString> liveFolders;

int openFolder(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(),
                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// QDir::removeRecursively removes a symbolic link, not what it points to.
void removeFolder(const QString& path)
{
    QDir(path).removeRecursively();
}

void sweepDeadRuns(const QString& parent, const QString& prefix)
{
    const QStringList names = QDir(parent).entryList(
        {prefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString path = parent + u'/' + name;
        const int fd = openFolder(path);
        if (fd < 0)
            continue; // another user's, or gone
        struct stat mark;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(fd, kHeldMark, &mark, AT_SYMLINK_NOFOLLOW) == 0)
            removeFolder(path);
        ::close(fd);
    }
}

} // namespace

std::unique_ptr<ScratchFolder> ScratchFolder::create(const QString& parent,
                                                     const QString& prefix)
{
    sweepDeadRuns(parent, prefix);
    QByteArray name = QFile::encodeName(parent + u'/' + prefix + QStringLiteral("XXXXXX"));
    const auto fail = [&](int error) {
        return Error(QStringLiteral("Não foi possível criar uma pasta temporária em %1: %2")
                         .arg(QDir::toNativeSeparators(parent),
                              QString::fromLocal8Bit(std::strerror(error))));
    };
    const std::lock_guard guard(liveMutex);
    if (!::mkdtemp(name.data()))
        throw fail(errno);
    const QString path = QFile::decodeName(name);
    const int fd = openFolder(path);
    // Blocking: a run sweeping at this moment holds the lock only while it looks.
    if (fd < 0 || ::flock(fd, LOCK_EX) != 0 ||
        ::mknodat(fd, kHeldMark, S_IFREG | 0600, 0) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        removeFolder(path);
        throw fail(error);
    }
    liveFolders.push_back(path);
    return std::unique_ptr<ScratchFolder>(new ScratchFolder(path, fd));
}

ScratchFolder::~ScratchFolder()
{
    const std::lock_guard guard(liveMutex);
    std::erase(liveFolders, m_path);
    removeFolder(m_path);
    ::close(m_lock);
}

void removeScratchOnSignals()
{
    sigset_t stopping;
    sigemptyset(&stopping);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&stopping, signal);
    // Every thread started later inherits the mask, so only sigwait below sees them.
    pthread_sigmask(SIG_BLOCK, &stopping, nullptr);
    std::thread([stopping] {
        int signal = 0;
        if (sigwait(&stopping, &signal) != 0)
            return;
        // Held to the end, so the run makes no new folder after these are gone.
        liveMutex.lock();
        for (const QString& path : liveFolders)
            removeFolder(path);
        // Ended by the signal itself, as the caller expects of a stopped run.
        std::signal(signal, SIG_DFL);
        sigset_t one;
        sigemptyset(&one);
        sigaddset(&one, signal);
        pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
        ::raise(signal);
        std::_Exit(128 + signal);
    }).detach();
}

} // namespace quadrela::cli
