#pragma once

#include <QString>

namespace quadrela {

// Deletes every regular file of the folder; subfolders stay, a file that cannot be
// deleted stays and the others still go, a missing folder or a symbolic link to one is
// left alone. Never reports.
void EmptyWorkingFolder(const QString& workingFolder);

} // namespace quadrela
