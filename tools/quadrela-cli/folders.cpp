// The companion keeps its scratch files where the program keeps its own: in the data folder
// beside the executable when that is writable, else in the user's folder.
#include "verbs.h"
#include "scratch.h"

#include "core/datafolders.h"
#include "core/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quadrela::cli {

const DataFolders& cliDataFolders()
{
    static const DataFolders folders = [] {
        const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
        const DataFolders chosen = chooseDataFolders(folderFactsFor(QFileInfo(exe).absolutePath()));
        if (const QString fault = prepareUserFolder(chosen); !fault.isEmpty())
            throw Error(QString(fault).replace(QStringLiteral("\n\r"), QStringLiteral("\n")));
        return chosen;
    }();
    return folders;
}

std::unique_ptr<ScratchFolder> scratchFolder()
{
    return ScratchFolder::create(QDir::cleanPath(cliDataFolders().user), QStringLiteral("cli-"));
}

} // namespace quadrela::cli
