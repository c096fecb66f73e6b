// One pointer move while an item is dragged: the handlers place the item where the release
// would put it and the window paints what changed. On a page of twenty 12-megapixel photos,
// against the same move on a page that holds only the dragged item.
#include "core/paths.h"
#include "core/state.h"
#include "fixtures.h"
#include "page/Imgfocus.h"
#include "page/handlers.h"
#include "page/items.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace quadrela;

constexpr int kPhotoCount = 20;
const QSize kItemSize(120, 90);

// The page in a window as the main window holds it, wired to the item handlers.
class DragPage
{
public:
    explicit DragPage(const QStringList& photos)
    {
        state.dataFolder = bench::scratchFolder() + QStringLiteral("/drag-") +
                           QString::number(photos.size()) + u'/';
        state.workingFolder = workingFolderFor(state.dataFolder);
        QDir().mkpath(state.workingFolder);
        state.printerPageSize = [] { return QSize(5100, 6600); };
        window.resize(600, 800);
        page = new QWidget(&window);
        page->setGeometry(50, 50, 496, 702);
        page->setAutoFillBackground(true);
        background = new TFocusImage(page);
        background->setGeometry(1, 1, 494, 700);
        menu = new QMenu(&window);
        PageContext context;
        context.state = &state;
        context.page = page;
        context.background = background;
        context.itemMenu = menu;
        context.wire = [this](TImg& item) { handlers->wire(item); };
        items = std::make_unique<TCampos>(std::move(context));
        handlers = std::make_unique<ItemHandlers>(*items, state, page, menu);
        for (int i = 0; i < photos.size(); ++i) {
            const int index = items->Add(PictureItem, photos.at(i), TCampos::LoadPicture, kItemSize);
            items->Items(index).Image()->setGeometry(
                QRect(QPoint(4 + 122 * (i % 4), 4 + 140 * (i / 4)), kItemSize));
        }
        window.show();
        QCoreApplication::processEvents();
    }

    // A mouse event at a point of the page, to the dragged item wherever it lies.
    void send(QEvent::Type type, QPoint onPage)
    {
        const QPoint at = onPage - dragged()->pos();
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease || !m_pressed ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, dragged()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : held, Qt::NoModifier);
        m_pressed = type == QEvent::MouseButtonPress || (m_pressed && type == QEvent::MouseMove);
        QApplication::sendEvent(dragged(), &event);
    }

    TFocusImage* dragged() const { return items->Items(0).Image(); }

    AppState state;
    QWidget window;
    QWidget* page = nullptr;
    TFocusImage* background = nullptr;
    QMenu* menu = nullptr;
    std::unique_ptr<TCampos> items;
    std::unique_ptr<ItemHandlers> handlers;

private:
    bool m_pressed = false;
};

void runDrag(benchmark::State& st, const QStringList& photos)
{
    DragPage p(photos);
    // The pointer rests on the item first: the press then starts a move.
    p.send(QEvent::MouseMove, QPoint(64, 49));
    p.send(QEvent::MouseButtonPress, QPoint(64, 49));
    if (p.handlers->gesture() != GestureMove)
        st.SkipWithError("the press started no move");
    int step = 0;
    for (auto _ : st) {
        // Back and forth across the page, through the other photos.
        step = (step + 1) % 40;
        const QRect before = p.dragged()->geometry();
        p.send(QEvent::MouseMove, QPoint(64 + 8 * (step < 20 ? step : 40 - step), 49 + 15 * step));
        // The frame: where the item was and where it is now, painted at once.
        p.page->repaint(before.united(p.dragged()->geometry()));
    }
    p.send(QEvent::MouseButtonRelease, p.dragged()->pos());
}

void BM_DragOverPhotos(benchmark::State& st)
{
    runDrag(st, bench::writePhotos(QStringLiteral("drag"), kPhotoCount, 4000, 3000, 90));
}

void BM_DragOnEmptyPage(benchmark::State& st)
{
    runDrag(st, bench::writePhotos(QStringLiteral("drag"), 1, 4000, 3000, 90));
}

} // namespace

BENCHMARK(BM_DragOverPhotos)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragOnEmptyPage)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return quadrela::bench::runWithApplication(argc, argv);
}
