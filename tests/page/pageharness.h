// A page as the main window holds it, in a top-level test window: the page panel with its
// background, the item menu, the item list and the item handlers, wired as the program
// wires them.
#pragma once

#include "page/Imgfocus.h"
#include "page/handlers.h"
#include "page/items.h"
#include "workspace.h"

#include <QMenu>
#include <QStringList>
#include <QWidget>
#include <memory>

namespace quadrela::test {

class PageHarness
{
public:
    explicit PageHarness(Workspace& workspace, QSize pageSize = QSize(496, 702));
    ~PageHarness();

    // Shows the window and waits until it can take mouse events.
    bool show();

    TFocusImage* control(int index) const { return items->Items(index).Image(); }
    // A picture item of that size: a picture file is made and added, then the control is
    // put at the geometry given.
    int addPicture(const QString& name, QRect geometry);
    int addText(const QString& text, QRect geometry);
    int addBorder(const QString& name);

    Workspace& workspace;
    QWidget window;
    QWidget* page = nullptr;
    TFocusImage* background = nullptr;
    QMenu* menu = nullptr;
    std::unique_ptr<TCampos> items;
    std::unique_ptr<ItemHandlers> handlers;
    QStringList renderFailures;
};

// Index of the control among the page's widget children, bottom first; -1 if absent.
int stackIndex(const QWidget* page, const QWidget* control);

} // namespace quadrela::test
