#include "projectpage.h"

#include "page/Imgfocus.h"
#include "page/items.h"
#include "page/screencursor.h"

namespace quadrela::test {

ProjectPage::ProjectPage(int layout)
{
    page = new QWidget(&window);
    page->setGeometry(QRect(QPoint(10, 10), pageSizeFor(FullPage)));
    background = new TFocusImage(page);
    background->setGeometry(1, 1, 494, 700);
    background->setTransparent(true);
    PageContext context;
    context.state = &ws.state;
    context.page = page;
    context.background = background;
    context.renderFailed = [this](const QString& m) { renderFailures.append(m); };
    items = std::make_unique<TCampos>(std::move(context));
    ws.state.pageLayout = layout;
    SetUpPage(ctx(), layout);
    resetScreenCursor();
}

ProjectPage::~ProjectPage()
{
    items.reset();
    resetScreenCursor();
}

ProjectContext ProjectPage::ctx()
{
    return ProjectContext{ws.state, *items, page, background, dialogs, &window};
}

} // namespace quadrela::test
