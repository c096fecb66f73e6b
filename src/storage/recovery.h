// Nothing lost in a crash: while the user works, the page's record files are kept current
// in the working folder, and a marker beside that folder tells a run that ended normally
// from one that did not. The next start after one that did not offers the page again.
#pragma once

#include "project.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <functional>

namespace quadrela {

// The marker lies beside the working folder, so emptying that folder leaves it alone.
QString runMarkerPath(const QString& dataFolder);
// True when the run before this one did not end normally (its marker is still there).
bool lastRunEndedAbnormally(const QString& dataFolder);
void markRunStarted(const QString& dataFolder);
void markRunEnded(const QString& dataFolder);

// Writes "project.txt" and "item.txt" of the page into the working folder shortly after
// a change, each whole or not at all, on a thread of its own so the window never waits
// for the disk. An empty page leaves no record files.
class RecoveryWriter : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDelayMs = 1000;

    // `refused` is told, once until a write succeeds again, when the disk refuses one.
    RecoveryWriter(AppState& state, TCampos& items, QWidget* page,
                   std::function<void(const QString& message)> refused, QObject* parent = nullptr);
    ~RecoveryWriter() override;

    // The page changed: the records follow within kDelayMs.
    void pageChanged();
    // Writes at once and waits until the files are there.
    void writeNow();
    // No more writes (the working folder is about to be emptied); waits for one under way.
    void stop();

private:
    void write();
    void writeFailed();

    AppState& m_state;
    TCampos& m_items;
    QWidget* m_page;
    std::function<void(const QString&)> m_refused;
    QTimer m_timer;
    QThreadPool m_pool; // one thread: the writes land in the order they were made
    bool m_stopped = false;
    bool m_told = false;
};

enum class Recovery
{
    Nothing,
    Declined,
    Recovered,
    Damaged
};

// At start after a run that did not end normally: when the working folder holds a page's
// records, asks whether to bring it back. Yes rebuilds the page as it was (items, their
// stacking, texts, page layout); No, or records that cannot be read (which the user is
// told), empty the working folder.
Recovery offerRecovery(const ProjectContext& ctx);

} // namespace quadrela
