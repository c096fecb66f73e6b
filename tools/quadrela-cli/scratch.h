// Private scratch folders that do not outlive their run: removed when the object goes,
// when the run is stopped by SIGTERM, SIGINT or SIGHUP, and otherwise by the next run,
// which tells a dead run's folder by the lock nobody holds any more.
#pragma once

#include <QString>

#include <memory>

namespace quadrela::cli {

class ScratchFolder
{
public:
    // A new folder PARENT/PREFIXxxxxxx, after removing the folders of that prefix that dead
    // runs left in parent. Throws Error when it cannot be made.
    static std::unique_ptr<ScratchFolder> create(const QString& parent, const QString& prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const QString& path() const { return m_path; }

private:
    ScratchFolder(QString path, int lock) : m_path(std::move(path)), m_lock(lock) {}

    QString m_path;
    int m_lock; // the folder opened and flocked for as long as the run uses it
};

// Called first thing in main, before any thread starts: from then on those signals are
// taken by a thread of their own, which removes the scratch folders and ends the run
// with the signal.
void removeScratchOnSignals();

} // namespace quadrela::cli
