// The project routines: open a project archive into the working folder and rebuild the
// page from its records, save the page as an archive, ask before a project is replaced,
// and set the page up for a page layout.
#pragma once

#include "core/dialogs.h"

#include <QHash>
#include <QString>

class QWidget;

namespace quadrela {

struct AppState;
class TCampos;
class TFocusImage;
class TImg;

struct ProjectContext
{
    AppState& state;
    TCampos& items;
    QWidget* page;            // the page panel
    TFocusImage* background;  // the page background, drawn by SetUpPage
    ModalDialogs& dialogs;
    QWidget* owner;           // owns the message boxes
};

FileDialogRequest openProjectRequest();
FileDialogRequest saveProjectRequest();

// Sizes the page and paints its background for a page layout; any other value changes
// nothing.
void SetUpPage(const ProjectContext& ctx, int layout);

// Asks whether to save a page that holds items. Returns true to go on (the page is then
// empty), false when the user cancelled or the save failed.
bool AskToSaveProject(const ProjectContext& ctx);
// The same question and save, but the page stays as it is: for a caller that replaces it
// only later, if at all.
bool OfferToSaveProject(const ProjectContext& ctx);

// Opens the project archive at path. Failures that end the open are thrown with the
// message the user reads; the recognition failures are shown here. True when the page
// now holds the project.
bool OpenProject(const ProjectContext& ctx, const QString& path);

// Rebuilds the page from the record files and pictures of the working folder, as opening
// does once the archive is unpacked there. False when it was not a project, or too big.
bool LoadWorkingFolder(const ProjectContext& ctx);

// Writes the records and packs the archive. A failure is shown in a message box and
// gives false; the page, its items and the working folder stay as they were.
bool SaveProject(const ProjectContext& ctx, const QString& path);

// The records of the page as they would be written, in stacking order; fileNames gives
// the items whose record names another file than their FileName attribute.
QByteArray itemRecordFileFor(const TCampos& items, const QWidget* page,
                             const QHash<const TImg*, QString>& fileNames = {});

} // namespace quadrela
