// A page as the main window holds it, in a private data folder, for the two catalogue
// dialogs: the page panel with its background, the item list, scripted message boxes that
// also receive the application's error report, and a count of page re-centrings.
#pragma once

#include "catalogue/form_Novo.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "scripteddialogs.h"
#include "storage/project.h"
#include "workspace.h"

#include <QByteArray>
#include <QImage>
#include <QListWidget>
#include <QStringList>
#include <QWidget>
#include <memory>

namespace quadrela::test {

class Desk
{
public:
    // The page starts at this size with this page layout.
    explicit Desk(QSize pageSize = QSize(496, 702), int layout = FullPage);
    ~Desk();
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;

    ProjectContext context();
    TformNovo::MainWindowLink link();

    // A path inside the data folder.
    QString data(const QString& name) const { return ws.state.dataFolder + name; }
    QStringList workingFiles() const;

    Workspace ws;
    ScriptedDialogs dialogs;
    QWidget window;
    QWidget* page = nullptr;
    TFocusImage* background = nullptr;
    std::unique_ptr<TCampos> items;
    int scrollResizes = 0;
};

// Delivers what the dialogs queued for the event loop (their OK and list handlers).
void settle();

QStringList captions(const QListWidget* list);
// Clicks a row of a list with the mouse, as the user does.
void clickRow(QListWidget* list, int row);

// A PNG of the size whose left half is fully transparent and whose right half is `fill`.
QString writeHalfTransparentPng(const QString& path, QSize size, QColor fill);

} // namespace quadrela::test
