// The data folder beside the executable and the working folder inside it.
#pragma once

#include <QString>

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

} // namespace quadrela
