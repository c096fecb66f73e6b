#include "pageharness.h"

#include "page/screencursor.h"

#include <QTest>

namespace quadrela::test {

PageHarness::PageHarness(Workspace& ws, QSize pageSize) : workspace(ws)
{
    window.resize(pageSize + QSize(100, 100));
    page = new QWidget(&window);
    page->setGeometry(QRect(QPoint(50, 50), pageSize));
    page->setMouseTracking(true);
    background = new TFocusImage(page);
    background->setGeometry(1, 1, pageSize.width() - 2, pageSize.height() - 2);
    menu = new QMenu(&window);

    PageContext context;
    context.state = &workspace.state;
    context.page = page;
    context.background = background;
    context.itemMenu = menu;
    context.wire = [this](TImg& item) { handlers->wire(item); };
    context.renderFailed = [this](const QString& message) { renderFailures.append(message); };
    items = std::make_unique<TCampos>(std::move(context));
    handlers = std::make_unique<ItemHandlers>(*items, workspace.state, page, menu);
    resetScreenCursor();
}

PageHarness::~PageHarness()
{
    handlers.reset();
    items.reset();
    resetScreenCursor();
}

bool PageHarness::show()
{
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

int PageHarness::addPicture(const QString& name, QRect geometry)
{
    const QString path = writePicture(workspace.state.workingFolder + name, QSize(40, 30));
    const int index = items->Add(PictureItem, path);
    TDesc attributes;
    attributes.FileName = path;
    items->Items(index).SetAttributes(attributes);
    control(index)->setGeometry(geometry);
    return index;
}

int PageHarness::addText(const QString& text, QRect geometry)
{
    const int index = items->Add(TextItem, text);
    TDesc attributes;
    attributes.Text = text;
    attributes.FontName = workspace.state.text.FontName;
    attributes.FontSize = workspace.state.text.FontSize;
    items->Items(index).SetAttributes(attributes);
    if (geometry.isValid())
        control(index)->setGeometry(geometry);
    return index;
}

int PageHarness::addBorder(const QString& name)
{
    const QString path = writePicture(workspace.state.workingFolder + name, QSize(60, 80), Qt::green);
    const int index = items->Add(BorderItem, path);
    TDesc attributes;
    attributes.FileName = path;
    items->Items(index).SetAttributes(attributes);
    return index;
}

int stackIndex(const QWidget* page, const QWidget* control)
{
    int index = 0;
    for (const QObject* child : page->children()) {
        if (!child->isWidgetType())
            continue;
        if (child == control)
            return index;
        ++index;
    }
    return -1;
}

} // namespace quadrela::test
