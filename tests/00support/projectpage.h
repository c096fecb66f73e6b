// The page as the main window holds it: a panel with its background picture, the item
// list on it, and the modal dialogs answered from a script, all on a private workspace.
#pragma once

#include "scripteddialogs.h"
#include "workspace.h"

#include "core/state.h"
#include "storage/project.h"

#include <QStringList>
#include <QWidget>
#include <memory>

namespace quadrela {
class TCampos;
class TFocusImage;
}

namespace quadrela::test {

class ProjectPage
{
public:
    // Sets the page up for the layout, as opening a project would.
    explicit ProjectPage(int layout = FullPage);
    ~ProjectPage();
    ProjectPage(const ProjectPage&) = delete;
    ProjectPage& operator=(const ProjectPage&) = delete;

    ProjectContext ctx();
    QString work(const QString& name) const { return ws.state.workingFolder + name; }

    Workspace ws;
    QWidget window;
    QWidget* page = nullptr;
    TFocusImage* background = nullptr;
    std::unique_ptr<TCampos> items;  // goes before the window that parents its controls
    ScriptedDialogs dialogs;
    QStringList renderFailures;      // what the text renderer told the user
};

} // namespace quadrela::test
