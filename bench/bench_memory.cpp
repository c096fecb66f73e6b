// The memory a page of twenty 12-megapixel photos takes: the peak resident size of a
// process that adds them as picture items, above what it held before the first one,
// against the sum of the photos' 32-bit bitmaps. Both are reported in the counter
// "peak_bytes" (the time figures of this program mean nothing).
#include "core/dialogs.h"
#include "core/paths.h"
#include "core/state.h"
#include "fixtures.h"
#include "page/Imgfocus.h"
#include "page/items.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace quadrela;

constexpr int kPhotoCount = 20;

const QStringList& photos()
{
    static const QStringList files =
        bench::writePhotos(QStringLiteral("memory"), kPhotoCount, 4000, 3000, 90);
    return files;
}

qint64 peakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

// Runs in the forked child: everything Qt is created here, so the parent stays small and
// the child starts from the same state on every repetition.
[[noreturn]] void buildPageAndReport(int out)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "bench_memory";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    AppState state;
    state.dataFolder = bench::scratchFolder() + QStringLiteral("memory-data/");
    state.workingFolder = workingFolderFor(state.dataFolder);
    QDir().mkpath(state.workingFolder);
    state.printerPageSize = [] { return QSize(5100, 6600); };
    QWidget page;
    page.setAttribute(Qt::WA_DontShowOnScreen);
    page.resize(496, 702);
    auto* background = new TFocusImage(&page);
    background->setGeometry(1, 1, 494, 700);
    page.show();
    PageContext context;
    context.state = &state;
    context.page = &page;
    context.background = background;
    TCampos items(context);

    const qint64 before = peakResidentBytes();
    for (const QString& photo : photos())
        items.Add(PictureItem, photo);
    app.processEvents();  // the items are shown once
    const qint64 growth = items.Count() == kPhotoCount ? peakResidentBytes() - before : -1;
    const ssize_t written = write(out, &growth, sizeof growth);
    _exit(written == sizeof growth ? 0 : 1);
}

void BM_PagePeakMemory(benchmark::State& state)
{
    photos();
    qint64 growth = -1;
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        const pid_t child = fork();
        if (child == 0) {
            close(fds[0]);
            buildPageAndReport(fds[1]);
        }
        close(fds[1]);
        growth = -1;
        if (read(fds[0], &growth, sizeof growth) != sizeof growth)
            growth = -1;
        close(fds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        if (growth < 0) {
            state.SkipWithError("the child could not build the page");
            break;
        }
    }
    state.counters["peak_bytes"] = double(growth);
}

void BM_PhotoBitmapsSum(benchmark::State& state)
{
    qint64 sum = 0;
    for (auto _ : state) {
        sum = 0;
        for (const QString& photo : photos()) {
            const QSize size = QImageReader(photo).size();
            sum += qint64(size.width()) * size.height() * 4;
        }
    }
    state.counters["peak_bytes"] = double(sum);
}

} // namespace

BENCHMARK(BM_PagePeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_PhotoBitmapsSum)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

BENCHMARK_MAIN();
