#include "picturecommand.h"

#include "codecs/picture.h"
#include "core/convert.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/state.h"
#include "items.h"
#include "storage/records.h"

#include <QFile>
#include <QFileInfo>

namespace quadrela {

FileDialogRequest pictureDialogRequest(const AppState& state)
{
    FileDialogRequest r;
    r.kind = FileDialogRequest::OpenPicture;
    r.title = QStringLiteral("Abrir...");
    r.startFolder = state.shippedFolder() + QStringLiteral("cliparts");
    if (state.shippedFolder() != state.dataFolder)
        r.places = {
            {QStringLiteral("Cliparts do Quadrela"), r.startFolder},
            {QStringLiteral("Meus cliparts"), state.dataFolder + QStringLiteral("cliparts")}};
    r.filters = {
        {QStringLiteral("All (*.png;*.jpg;*.jpeg;*.bmp;*.ico;*.wmf)"),
         {"*.png", "*.jpg", "*.jpeg", "*.bmp", "*.ico", "*.wmf"}},
        {QStringLiteral("Portable Network Graphics (*.png)"), {"*.png"}},
        {QStringLiteral("JPEG Image File (*.jpg)"), {"*.jpg"}},
        {QStringLiteral("JPEG Image File (*.jpeg)"), {"*.jpeg"}},
        {QStringLiteral("Bitmaps (*.bmp)"), {"*.bmp"}},
        {QStringLiteral("Icons (*.ico)"), {"*.ico"}},
        {QStringLiteral("Metafiles (*.wmf)"), {"*.wmf"}},
    };
    return r;
}

QString workingCopyPath(const QString& workingFolder, const QString& sourceName,
                        const QByteArray& contents, bool* exists)
{
    const QString safe = recordSafeFileName(sourceName);
    const qsizetype dot = safe.lastIndexOf(u'.');
    const QString stem = dot > 0 ? safe.left(dot) : safe;
    const QString suffix = dot > 0 ? safe.mid(dot) : QString();
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? safe : QStringLiteral("%1_%2%3").arg(stem, QString::number(n), suffix);
        const QString path = workingFolder + name;
        const QFileInfo info(path);
        if (!info.exists()) {
            if (exists)
                *exists = false;
            return path;
        }
        if (info.isFile() && info.size() == contents.size()) {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly) && f.readAll() == contents) {
                if (exists)
                    *exists = true;
                return path;
            }
        }
    }
}

int addPictureItem(TCampos& items, const AppState& state, const QString& chosenFile)
{
    TPicture picture;
    picture.LoadFromFile(chosenFile);
    bool exists = false;
    const QString copy = workingCopyPath(state.workingFolder, fileNamePart(chosenFile), picture.data(),
                                         &exists);
    if (!exists)
        picture.SaveToFile(copy);
    const int index = items.Add(PictureItem, copy);
    TDesc attributes;
    attributes.FileName = copy;
    items.Items(items.Count() - 1).SetAttributes(attributes);
    return index;
}

} // namespace quadrela
