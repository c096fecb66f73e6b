#include "workfolder.h"

#include <QDir>
#include <QFile>

namespace quadrela {

void EmptyWorkingFolder(const QString& workingFolder)
{
    QDir dir(workingFolder);
    if (!dir.exists())
        return;
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : files)
        QFile::remove(dir.filePath(name));
}

} // namespace quadrela
