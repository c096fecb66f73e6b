// Adding pictures and cliparts to the page, and the working copies they live in.
#pragma once

#include "core/dialogs.h"

#include <QByteArray>
#include <QString>

namespace quadrela {

struct AppState;
class TCampos;

// The picture dialog: title, the seven filters in order, starting in the shipped cliparts
// folder, and offering the user's own cliparts folder when that lies elsewhere.
FileDialogRequest pictureDialogRequest(const AppState& state);

// The working copy for a picture of that name and contents, under a name the record file
// can carry back (recordSafeFileName). A file of that name with
// the same contents is shared; one with other contents is never overwritten: the copy
// takes a free name (IMG_0001_2.jpg). `exists` receives whether the file is there already.
QString workingCopyPath(const QString& workingFolder, const QString& sourceName,
                        const QByteArray& contents, bool* exists = nullptr);

// Loads the picture, writes its working copy in its own format, and adds a picture item
// for it on top of the page. Returns the item's index. Throws on a picture that cannot be
// read or a working folder that cannot be written; nothing is added then.
int addPictureItem(TCampos& items, const AppState& state, const QString& chosenFile);

} // namespace quadrela
