#include "recentprojects.h"

#include <QFileInfo>
#include <QSettings>

namespace quadrela {

namespace {

const QString kKey = QStringLiteral("recentProjects");

} // namespace

QStringList recentProjects(const QSettings& settings)
{
    QStringList present;
    for (const QString& path : settings.value(kKey).toStringList()) {
        if (QFileInfo(path).isFile())
            present.append(path);
    }
    return present.mid(0, kRecentProjectCount);
}

void rememberProject(QSettings& settings, const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = settings.value(kKey).toStringList();
    list.removeAll(absolute);
    list.prepend(absolute);
    // Room for the ones that are gone and may come back, but not without end.
    settings.setValue(kKey, list.mid(0, 2 * kRecentProjectCount));
}

} // namespace quadrela
