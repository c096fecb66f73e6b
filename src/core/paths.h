// The data folder beside the executable and the working folder inside it.
#pragma once

#include <QHash>
#include <QString>
#include <optional>

namespace quadrela {

// Folder of the executable with a trailing "/" ensured, followed by "dados/".
QString dataFolderFor(const QString& executableFolder);
// Data folder + "project/".
QString workingFolderFor(const QString& dataFolder);
// What follows the last "/" or "\": names stored on Windows work here and ours there.
QString fileNamePart(const QString& path);
// The extension after the last dot of the file-name part, lower-cased; empty if none.
QString extensionOf(const QString& path);
// True when a regular file exists at path (a folder is not a file).
bool fileExists(const QString& path);

// The files of one folder, found by name the way Windows finds them: a file of exactly
// that name when there is one, otherwise one whose name differs only in letter case, so
// archives made there ("FOTO.PNG" for a record's "foto.png") open here. The folder is
// listed once, at the first name that has no exact match.
class FolderFiles
{
public:
    explicit FolderFiles(const QString& folder) : m_folder(folder) {}
    // folder + the name found, or folder + name when no file matches at all.
    QString path(const QString& name);

private:
    QString m_folder; // ends in "/"
    std::optional<QHash<QString, QString>> m_byFoldedName;
};

// FolderFiles(folder).path(name), for a single look-up.
QString fileInFolder(const QString& folder, const QString& name);

} // namespace quadrela
