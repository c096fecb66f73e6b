// The memory a page of twenty 12-megapixel photos takes: the peak resident size of a
// process that adds them as picture items, above what it held before the first one,
// against the sum of the photos' 32-bit bitmaps. And the memory printing a page of ten
// such photos into a PDF takes above the open page, against one photo's bitmap. All are
// reported in the counter "peak_bytes" (the time figures of this program mean nothing).
#include "core/dialogs.h"
#include "core/paths.h"
#include "core/state.h"
#include "fixtures.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "print/composition.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace quadrela;

constexpr int kPhotoCount = 20;
constexpr int kPrintedPhotos = 10;

const QStringList& photos()
{
    static const QStringList files =
        bench::writePhotos(QStringLiteral("memory"), kPhotoCount, 4000, 3000, 90);
    return files;
}

// The resident size now and the peak since the last reset, from the kernel's own figures.
qint64 statusBytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(field))
            return line.mid(qsizetype(strlen(field)))
                       .simplified()
                       .split(' ')
                       .value(0)
                       .toLongLong() *
                   1024;
    }
    return -1;
}

bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

qint64 peakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

enum class Measure
{
    Page,
    Printing
};

// Runs in the forked child: everything Qt is created here, so the parent stays small and
// the child starts from the same state on every repetition.
[[noreturn]] void buildPageAndReport(int out, Measure measure)
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

    qint64 growth = -1;
    if (measure == Measure::Page) {
        const qint64 before = peakResidentBytes();
        for (const QString& photo : photos())
            items.Add(PictureItem, photo);
        app.processEvents(); // the items are shown once
        growth = items.Count() == kPhotoCount ? peakResidentBytes() - before : -1;
    } else {
        // Ten photos in two columns of five, in the working folder as a project has them.
        for (int i = 0; i < kPrintedPhotos; ++i) {
            const QString copy = state.workingFolder + QFileInfo(photos().at(i)).fileName();
            QFile::remove(copy);
            QFile::copy(photos().at(i), copy);
            items.Add(PictureItem, copy);
            TImg& item = items.Items(i);
            TDesc attributes;
            attributes.FileName = copy;
            item.SetAttributes(attributes);
            item.Image()->setGeometry(8 + 244 * (i % 2), 8 + 138 * (i / 2), 236, 130);
        }
        app.processEvents();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(bench::scratchFolder() + QStringLiteral("memory.pdf"));
        printer.setResolution(600);
        printer.setFullPage(true);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                          QMarginsF(0, 0, 0, 0)));
        const qint64 open = statusBytes("VmRSS:");
        if (resetPeak() && open > 0) {
            QPainter painter(&printer);
            const CompositionReport report =
                ComposePage(painter, QSize(printer.width(), printer.height()),
                            printJobFor(state, items, &page));
            painter.end();
            if (report.itemsDrawn == kPrintedPhotos)
                growth = statusBytes("VmHWM:") - open;
        }
    }
    bench::reportAndExit(out, growth);
}

void measureInChild(benchmark::State& state, Measure measure)
{
    photos();
    qint64 growth = -1;
    for (auto _ : state) {
        growth = bench::numberFromChild([measure](int fd) { buildPageAndReport(fd, measure); });
        if (growth < 0) {
            state.SkipWithError("the child could not build the page");
            break;
        }
    }
    state.counters["peak_bytes"] = double(growth);
}

void BM_PagePeakMemory(benchmark::State& state)
{
    measureInChild(state, Measure::Page);
}

void BM_PrintPeakMemory(benchmark::State& state)
{
    measureInChild(state, Measure::Printing);
}

void BM_OnePhotoBitmap(benchmark::State& state)
{
    qint64 bytes = 0;
    for (auto _ : state) {
        const QSize size = QImageReader(photos().first()).size();
        bytes = qint64(size.width()) * size.height() * 4;
    }
    state.counters["peak_bytes"] = double(bytes);
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
BENCHMARK(BM_PrintPeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_OnePhotoBitmap)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

BENCHMARK_MAIN();
