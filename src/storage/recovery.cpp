#include "recovery.h"

#include "core/errors.h"
#include "core/paths.h"
#include "core/state.h"
#include "core/textfile.h"
#include "core/workfolder.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "records.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quadrela {

namespace {

const QString kProjectFile = QStringLiteral("project.txt");
const QString kItemFile = QStringLiteral("item.txt");

// Records that the writer made read back without a single fallback record; anything
// else has been damaged since. The writer puts "item.txt" down first, so a run stopped
// between the two files leaves "project.txt" one write behind: the records themselves
// say how many there are, and the count is set right before the page is built.
bool recordsReadable(const AppState& state)
{
    const QString projectText = readCp1252File(state.workingFolder + kProjectFile);
    if (!hasProjectMagic(projectText))
        return false;
    const ProjectRecord project = ReadProjectRecord(projectText);
    const QString itemText = readCp1252File(state.workingFolder + kItemFile);
    int count = 0;
    while (itemText.contains(QStringLiteral("[%1]").arg(count))) // texts never hold a "["
        ++count;
    if (!project.layout || count == 0)
        return false;
    if (count != project.itemCount && !writeWholeFile(state.workingFolder + kProjectFile,
                                                      ProjectRecordBytes(count, *project.layout)))
        return false;
    return !ReadItemRecords(itemText, count, state.dataFolder).contains(fallbackItemRecord());
}

} // namespace

QString runMarkerPath(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("project.running");
}

bool lastRunEndedAbnormally(const QString& dataFolder)
{
    return QFileInfo::exists(runMarkerPath(dataFolder));
}

void markRunStarted(const QString& dataFolder)
{
    // Only its being there counts: written plainly, not through a save file, whose commit
    // waits for the disk at every start. Never through a link, which would cut short a
    // file of the user's elsewhere, and only into a regular file.
    const int fd = ::open(QFile::encodeName(runMarkerPath(dataFolder)).constData(),
                          O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (fd < 0)
        return;
    struct stat st;
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) == 0)
        (void)!::write(fd, pid.constData(), size_t(pid.size()));
    ::close(fd);
}

void markRunEnded(const QString& dataFolder)
{
    QFile::remove(runMarkerPath(dataFolder));
}

RecoveryWriter::RecoveryWriter(AppState& state, TCampos& items, QWidget* page,
                               std::function<void(const QString&)> refused, QObject* parent)
    : QObject(parent), m_state(state), m_items(items), m_page(page), m_refused(std::move(refused))
{
    m_pool.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryWriter::write);
}

RecoveryWriter::~RecoveryWriter()
{
    stop();
}

void RecoveryWriter::pageChanged()
{
    // Not restarted by later changes: a steady stream of them still gets written.
    if (!m_stopped && !m_timer.isActive())
        m_timer.start();
}

void RecoveryWriter::writeNow()
{
    m_timer.stop();
    write();
    m_pool.waitForDone();
}

void RecoveryWriter::stop()
{
    m_stopped = true;
    m_timer.stop();
    m_pool.waitForDone();
}

void RecoveryWriter::write()
{
    if (m_stopped)
        return;
    const QString folder = m_state.workingFolder;
    const int count = m_items.Count();
    QByteArray project;
    QByteArray items;
    if (count > 0) {
        project = ProjectRecordBytes(count, m_state.pageLayout);
        items = itemRecordFileFor(m_items, m_page);
    }
    m_pool.start([this, folder, count, project, items] {
        bool written = true;
        if (count == 0) {
            QFile::remove(folder + kProjectFile);
            QFile::remove(folder + kItemFile);
        } else {
            written = writeWholeFile(folder + kItemFile, items) &&
                      writeWholeFile(folder + kProjectFile, project);
        }
        QMetaObject::invokeMethod(
            this, [this, written] { written ? void(m_told = false) : writeFailed(); },
            Qt::QueuedConnection);
    });
}

void RecoveryWriter::writeFailed()
{
    if (std::exchange(m_told, true) || !m_refused)
        return;
    m_refused(
        QStringLiteral("Não foi possível gravar a cópia de segurança do projeto na pasta %1.\n\r"
                       "Se o programa for interrompido, o trabalho feito desde o último "
                       "\"Salvar\" será perdido.")
            .arg(QDir::toNativeSeparators(m_state.workingFolder)));
}

Recovery offerRecovery(const ProjectContext& ctx)
{
    const QString folder = ctx.state.workingFolder;
    if (!fileExists(folder + kProjectFile))
        return Recovery::Nothing;
    const Answer answer =
        ctx.dialogs.message(ctx.owner,
                            QStringLiteral("O Quadrela não foi fechado corretamente. Deseja "
                                           "recuperar o projeto que estava aberto?"),
                            Buttons::YesNo);
    if (answer != Answer::Yes) {
        EmptyWorkingFolder(folder);
        return Recovery::Declined;
    }
    try {
        if (!recordsReadable(ctx.state))
            throw Error(QString());
        LoadWorkingFolder(ctx);
        // Item i was made for record i, and the records are in stacking order; opening
        // alone would put the borders back in an order of its own.
        for (int i = 0; i < ctx.items.Count(); ++i)
            ctx.items.Items(i).Image()->raise();
        return Recovery::Recovered;
    } catch (...) {
        ctx.items.Clear();
        EmptyWorkingFolder(folder);
        ctx.dialogs.message(
            ctx.owner,
            QStringLiteral("O projeto não pôde ser recuperado: os registros dele na "
                           "pasta de trabalho estão danificados.\n\rUm projeto novo "
                           "será iniciado."),
            Buttons::Ok);
        return Recovery::Damaged;
    }
}

} // namespace quadrela
