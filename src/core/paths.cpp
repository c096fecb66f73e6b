#include "paths.h"

#include <QDir>
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

QString FolderFiles::path(const QString& name)
{
    const QString exact = m_folder + name;
    if (name.isEmpty() || fileExists(exact))
        return exact;
    if (!m_byFoldedName) {
        m_byFoldedName.emplace();
        // Sorted, so of several names that differ only in case the same one always wins.
        const QStringList names =
            QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString& n : names) {
            const QString folded = n.toCaseFolded();
            if (!m_byFoldedName->contains(folded))
                m_byFoldedName->insert(folded, n);
        }
    }
    const auto found = m_byFoldedName->constFind(name.toCaseFolded());
    return found == m_byFoldedName->cend() ? exact : m_folder + *found;
}

QString fileInFolder(const QString& folder, const QString& name)
{
    return FolderFiles(folder).path(name);
}

} // namespace quadrela
