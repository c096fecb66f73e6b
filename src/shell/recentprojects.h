// The projects opened or saved last, kept in the user's settings for "Abrir" to offer.
#pragma once

#include <QStringList>

class QSettings;

namespace quadrela {

constexpr int kRecentProjectCount = 10;

// Newest first. Files that are gone are left out; they stay listed, for a disk that comes back.
QStringList recentProjects(const QSettings& settings);
// Puts the project first, once, and keeps the list to its length.
void rememberProject(QSettings& settings, const QString& path);

} // namespace quadrela
