#include "workfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quadrela {

void EmptyWorkingFolder(const QString& workingFolder)
{
    QDir dir(workingFolder);
    // Through a link the files of some other folder would go.
    if (!dir.exists() || QFileInfo(QDir::cleanPath(workingFolder)).isSymLink())
        return;
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : files)
        QFile::remove(dir.filePath(name));
}

} // namespace quadrela
