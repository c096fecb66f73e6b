// One running copy per data folder.
#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace quadrela {

// An advisory lock (flock) on a file of the data folder, held while the object lives.
// The system lets go of it however the process ends, so taking it never has to judge an
// old lock stale, and it waits for no disk. The file stays after the run; nothing is
// written into it. On a file system without flock (an NFS mount with no lock daemon answers
// ENOLCK) QLockFile's own protocol, which needs no system lock, guards a file of its own
// beside it.
class RunLock
{
public:
    explicit RunLock(const QString& path);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // False when another holder has the lock, or when the file itself is at fault (a
    // folder, a symbolic link, not a regular file, not writable), which problem() says.
    bool tryLock();
    // Why the last tryLock() failed when no other holder was the cause; else empty.
    const QString& problem() const { return m_problem; }

private:
    QString m_path;
    QString m_problem;
    int m_fd = -1;
    std::unique_ptr<QLockFile> m_withoutFlock;
};

} // namespace quadrela
