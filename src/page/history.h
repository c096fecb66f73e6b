// The undo history of the page. Each user step is kept as the page's state before and
// after it, in plain values; undoing or redoing makes the page one of those states again.
#pragma once

#include "items.h"
#include "steprunner.h"

#include <QList>
#include <QObject>
#include <QRect>
#include <QStringList>
#include <QUndoStack>
#include <memory>

class QTemporaryDir;

namespace quadrela {

// One item as a step leaves it. `name` is its control's object name, which an item
// brought back gets again, so later steps still find it.
struct ItemState
{
    QString name;
    quint8 kind = 0;
    TDesc attributes;
    QRect geometry;

    bool operator==(const ItemState&) const = default;
};

struct PageState
{
    QList<ItemState> items; // list order
    QStringList stacking;   // the items' names, back-most first

    bool operator==(const PageState&) const = default;
};

class PageHistory : public QObject
{
    Q_OBJECT
public:
    static constexpr int kUndoLimit = 100;

    // Working copies that steps take off the page are kept in a private folder of the
    // data folder until the step leaves the history.
    PageHistory(TCampos& items, AppState& state, QObject* parent = nullptr);
    ~PageHistory() override;

    QUndoStack& stack() { return m_stack; }

    // Runs the step and records it when it changed the page; a step that throws is
    // recorded as far as it went. Steps that follow each other with the same non-empty
    // `mergeKey` become one.
    void record(const QString& label, const std::function<void()>& step,
                const QString& mergeKey = QString());
    StepRunner runner();

    // A working copy the page no longer shows: kept aside while the step that took it
    // can be undone, removed at once outside a step.
    void discardWorkingCopy(const QString& path);

    // Starts a new history ("Novo", opening a project).
    void clear();

    // The name by which steps know the item of this control; given now if it has none.
    QString itemName(QWidget* control);
    // The page as it is; controls without a name get one.
    PageState snapshot();
    // Makes the page what `target` says. Items that go take their working copies into
    // `asideFolder` unless another item still shows them; items that come back take
    // theirs from there. A copy that is gone shows the missing-picture notice.
    void apply(const PageState& target, const QString& asideFolder);

private:
    std::shared_ptr<const PageState> currentState();
    TFocusImage* recreate(const ItemState& item);

    TCampos& m_items;
    AppState& m_state;
    QUndoStack m_stack;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::shared_ptr<const PageState> m_last; // after the last step, shared with its command
    QString m_pendingAside;                  // the folder of the step being recorded
    bool m_recording = false;
    quint64 m_serial = 0;
};

// Removes the folders that histories of runs that did not end left in the data folder.
void removeStaleHistoryFolders(const QString& dataFolder);

} // namespace quadrela
