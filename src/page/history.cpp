#include "history.h"

#include "Imgfocus.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/state.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QUndoCommand>

namespace quadrela {

namespace {

const QString kFolderPrefix = QStringLiteral("historico-");

// Same folder, so a rename; a copy and a removal otherwise. Never replaces a file.
bool moveFile(const QString& from, const QString& to)
{
    if (!QFileInfo(from).isFile() || QFileInfo::exists(to))
        return false;
    QDir().mkpath(QFileInfo(to).absolutePath());
    if (QFile::rename(from, to))
        return true;
    return QFile::copy(from, to) && QFile::remove(from);
}

class PageStepCommand : public QUndoCommand
{
public:
    PageStepCommand(PageHistory& history, const QString& label,
                    std::shared_ptr<const PageState> before, std::shared_ptr<const PageState> after,
                    QString asideFolder, QString mergeKey)
        : QUndoCommand(label), m_history(history), m_before(std::move(before)),
          m_after(std::move(after)), m_aside(std::move(asideFolder)),
          m_mergeKey(std::move(mergeKey))
    {
    }

    ~PageStepCommand() override
    {
        // The step leaves the history: what it kept aside goes with it.
        if (!m_aside.isEmpty())
            QDir(m_aside).removeRecursively();
    }

    // The step has been done already when it is recorded.
    void redo() override
    {
        if (std::exchange(m_recorded, false))
            return;
        m_history.apply(*m_after, m_aside);
    }

    void undo() override { m_history.apply(*m_before, m_aside); }

    int id() const override { return m_mergeKey.isEmpty() ? -1 : 1; }

    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const PageStepCommand*>(other);
        if (next->m_mergeKey != m_mergeKey)
            return false;
        m_after = next->m_after;
        setObsolete(*m_after == *m_before);
        return true;
    }

private:
    PageHistory& m_history;
    std::shared_ptr<const PageState> m_before;
    std::shared_ptr<const PageState> m_after;
    QString m_aside;
    QString m_mergeKey;
    bool m_recorded = true;
};

} // namespace

PageHistory::PageHistory(TCampos& items, AppState& state, QObject* parent)
    : QObject(parent), m_items(items), m_state(state)
{
    m_stack.setUndoLimit(kUndoLimit);
}

PageHistory::~PageHistory()
{
    // The commands remove their folders before the history's own goes; whoever listens
    // to the stack may be gone already.
    m_stack.blockSignals(true);
    m_stack.clear();
}

StepRunner PageHistory::runner()
{
    return [this](const QString& label, const std::function<void()>& step) { record(label, step); };
}

std::shared_ptr<const PageState> PageHistory::currentState()
{
    auto now = std::make_shared<const PageState>(snapshot());
    if (m_last && *m_last == *now)
        return m_last;
    return now;
}

void PageHistory::record(const QString& label, const std::function<void()>& step,
                         const QString& mergeKey)
{
    if (m_recording) {
        step(); // part of the step being recorded
        return;
    }
    m_recording = true;
    // The private folder is made for the first step: a run that records none makes none.
    if (!m_folder)
        m_folder = std::make_unique<QTemporaryDir>(m_state.dataFolder + kFolderPrefix +
                                                   QStringLiteral("XXXXXX"));
    m_pendingAside =
        m_folder->isValid() ? m_folder->path() + QStringLiteral("/%1/").arg(++m_serial) : QString();
    const auto before = currentState();
    const auto finish = [&] {
        m_recording = false;
        const QString aside = std::exchange(m_pendingAside, QString());
        auto after = std::make_shared<const PageState>(snapshot());
        if (*after == *before) {
            // Nothing changed, so nothing may stay aside either.
            for (const QString& name : QDir(aside).entryList(QDir::Files))
                moveFile(aside + name, m_state.workingFolder + name);
            QDir(aside).removeRecursively();
            return;
        }
        m_last = after;
        m_stack.push(new PageStepCommand(*this, label, before, after, aside, mergeKey));
    };
    try {
        step();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void PageHistory::discardWorkingCopy(const QString& path)
{
    if (!m_pendingAside.isEmpty() && moveFile(path, m_pendingAside + fileNamePart(path)))
        return;
    QFile::remove(path);
}

void PageHistory::clear()
{
    m_stack.clear();
    m_last.reset();
}

QString PageHistory::itemName(QWidget* control)
{
    if (control->objectName().isEmpty())
        control->setObjectName(QStringLiteral("item-%1").arg(++m_serial));
    return control->objectName();
}

PageState PageHistory::snapshot()
{
    PageState state;
    QSet<const QObject*> controls;
    for (int i = 0; i < m_items.Count(); ++i) {
        const TImg& item = m_items.Items(i);
        TFocusImage* control = item.Image();
        state.items.append(
            {itemName(control), item.Kind(), item.Attributes(), control->geometry()});
        controls.insert(control);
    }
    for (const QObject* child : m_items.Page()->children()) {
        if (controls.contains(child))
            state.stacking.append(child->objectName());
    }
    return state;
}

TFocusImage* PageHistory::recreate(const ItemState& item)
{
    const TDesc& a = item.attributes;
    const bool text = item.kind == TextItem;
    const QString place =
        text ? a.Text : fileInFolder(m_state.workingFolder, fileNamePart(a.FileName));
    // Rendering uses the current text attributes, and the missing-picture notice changes
    // them; the user's own choice stays.
    const TextAttributes saved = m_state.text;
    if (text)
        m_state.text = textAttributesOf(a);
    try {
        // A text the renderer refuses comes back as the stand-in it was before.
        m_items.Add(item.kind, place, text ? TCampos::CallerReports : TCampos::LoadPicture);
    } catch (const Error&) {
        m_state.text = saved;
        if (text)
            throw;
        m_items.Add(item.kind, place, TCampos::ShowMissingNotice);
    }
    m_state.text = saved;
    TImg& added = m_items.Items(m_items.Count() - 1);
    added.SetAttributes(a);
    added.Image()->setObjectName(item.name);
    return added.Image();
}

void PageHistory::apply(const PageState& target, const QString& asideFolder)
{
    QHash<QString, const ItemState*> wanted;
    QSet<QString> keptFiles;
    for (const ItemState& item : target.items) {
        wanted.insert(item.name, &item);
        keptFiles.insert(workingCopyName(item.kind, item.attributes));
    }

    // Items that go, and items that come back otherwise than they are.
    const PageState now = snapshot();
    for (const ItemState& item : now.items) {
        const ItemState* w = wanted.value(item.name);
        if (w && w->kind == item.kind && w->attributes == item.attributes)
            continue;
        for (int i = 0; i < m_items.Count(); ++i) {
            if (m_items.Items(i).Image()->objectName() == item.name) {
                m_items.Delete(i);
                break;
            }
        }
        const QString file = workingCopyName(item.kind, item.attributes);
        if (!file.isEmpty() && !keptFiles.contains(file) && !asideFolder.isEmpty())
            moveFile(m_state.workingFolder + file, asideFolder + file);
    }

    QHash<QString, TFocusImage*> controls;
    for (int i = 0; i < m_items.Count(); ++i)
        controls.insert(m_items.Items(i).Image()->objectName(), m_items.Items(i).Image());
    for (const ItemState& item : target.items) {
        TFocusImage* control = controls.value(item.name);
        if (!control) {
            const QString file = workingCopyName(item.kind, item.attributes);
            if (!file.isEmpty() && !asideFolder.isEmpty())
                moveFile(asideFolder + file, m_state.workingFolder + file);
            control = recreate(item);
            controls.insert(item.name, control);
        }
        if (control->geometry() != item.geometry)
            control->setGeometry(item.geometry);
    }

    for (int to = 0; to < target.items.size(); ++to) {
        const int from = m_items.IndexOf(controls.value(target.items.at(to).name));
        if (from >= 0 && from != to)
            m_items.Move(from, to);
    }
    for (const QString& name : target.stacking) {
        if (TFocusImage* control = controls.value(name))
            control->raise();
    }
}

void removeStaleHistoryFolders(const QString& dataFolder)
{
    // By the name's start, which a name filter would do through a compiled pattern. A link
    // is none of ours, and removing "through" it would empty the folder it points at.
    QDirIterator entries(dataFolder,
                         QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    while (entries.hasNext()) {
        entries.next();
        if (entries.fileName().startsWith(kFolderPrefix, Qt::CaseInsensitive))
            QDir(entries.filePath()).removeRecursively();
    }
}

} // namespace quadrela
