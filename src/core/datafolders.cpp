#include "datafolders.h"

#include "paths.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace quadrela {

namespace {

QString withSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

bool folderWritable(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("gravavel-XXXXXX"));
    return probe.open();
}

bool folderReadable(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

QString shown(const QString& folder)
{
    return QDir::toNativeSeparators(folder);
}

} // namespace

QString installedDataFolderFor(const QString& executableFolder)
{
    return withSlash(
        QDir::cleanPath(withSlash(executableFolder) + QStringLiteral("../share/quadrela/dados")));
}

QString userDataFolderFor(const QString& xdgDataHome, const QString& home)
{
    // A relative value is invalid and must be ignored, so a program started from some
    // folder never scatters its files there.
    const QString base = QDir::isAbsolutePath(xdgDataHome)
                             ? xdgDataHome
                             : withSlash(home) + QStringLiteral(".local/share");
    return withSlash(QDir::cleanPath(withSlash(base) + QStringLiteral("quadrela")));
}

DataFolders chooseDataFolders(const FolderFacts& facts)
{
    DataFolders folders;
    folders.beside = dataFolderFor(facts.executableFolder);
    if (facts.besideWritable) {
        folders.shipped = folders.user = folders.beside;
        return folders;
    }
    folders.shipped =
        facts.besideExists ? folders.beside : installedDataFolderFor(facts.executableFolder);
    folders.user = userDataFolderFor(facts.xdgDataHome, facts.home);
    return folders;
}

FolderFacts folderFactsFor(const QString& executableFolder)
{
    FolderFacts facts;
    facts.executableFolder = executableFolder;
    const QString beside = dataFolderFor(executableFolder);
    facts.besideExists = QFileInfo(beside).isDir();
    facts.besideWritable = facts.besideExists && folderWritable(beside);
    facts.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    facts.home = QDir::homePath();
    return facts;
}

bool makePrivateFolder(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    if (QFileInfo(clean).isDir())
        return true;
    const QString parent = QFileInfo(clean).path();
    if (parent == clean || !makePrivateFolder(parent))
        return false;
    return QDir().mkdir(clean, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
           QFileInfo(clean).isDir();
}

QString shippedDataFault(const DataFolders& folders)
{
    if (!folders.separate() || folderReadable(folders.shipped))
        return {};
    if (folders.shipped != folders.beside && !QFileInfo::exists(folders.beside))
        return QStringLiteral("A pasta de dados não foi encontrada em %1 nem em %2.\n\r"
                              "O programa precisa ser reinstalado.")
            .arg(shown(folders.shipped), shown(folders.beside));
    return QStringLiteral("A pasta de dados %1 não pode ser lida.\n\r"
                          "O programa precisa ser reinstalado.")
        .arg(shown(folders.shipped));
}

QString prepareUserFolder(const DataFolders& folders)
{
    if (!folders.separate()) {
        if (folderWritable(folders.user))
            return {};
        return QStringLiteral("A pasta de dados %1 não existe ou não pode ser gravada.\n\r"
                              "O programa precisa ser reinstalado.")
            .arg(shown(folders.user));
    }
    if (!makePrivateFolder(folders.user + QStringLiteral("project")) ||
        !folderWritable(folders.user))
        return QStringLiteral("Não foi possível criar ou gravar a pasta %1.\n\r"
                              "Verifique as permissões da sua pasta pessoal.")
            .arg(shown(folders.user));
    // Where the user's own cliparts go, so the picture dialog can offer it.
    makePrivateFolder(folders.user + QStringLiteral("cliparts"));
    return {};
}

QString linkedEntryFault(const QString& userFolder)
{
    // What the program empties, truncates or replaces beside its working folder: through a
    // link it would do that to whatever the link points at.
    for (const char* name : {"project", "project.lock", "project.running"}) {
        const QString path = userFolder + QLatin1String(name);
        if (QFileInfo(path).isSymLink())
            return QStringLiteral("%1 é um link simbólico, e o Quadrela não grava nem apaga "
                                  "nada através de links.\n\rApague o link e abra o programa "
                                  "de novo.")
                .arg(shown(path));
    }
    return {};
}

QString prepareDataFolders(const DataFolders& folders)
{
    QString fault = shippedDataFault(folders);
    if (fault.isEmpty())
        fault = linkedEntryFault(folders.user);
    return fault.isEmpty() ? prepareUserFolder(folders) : fault;
}

} // namespace quadrela
