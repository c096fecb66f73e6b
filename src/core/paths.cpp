#include "paths.h"

#include <QFileInfo>

namespace quadrela {

QString dataFolderFor(const QString& executableFolder)
{
    QString folder = executableFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + QStringLiteral("dados/");
}

QString workingFolderFor(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("project/");
}

QString fileNamePart(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

QString extensionOf(const QString& path)
{
    const QString name = fileNamePart(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

bool fileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace quadrela
