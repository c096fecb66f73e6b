// The memory a page of twenty 12-megapixel photos takes shown at 400 %, scrolled to its
// middle, once every photo in sight is sharp, against the same page at 100 %. Reported
// above what the process held before the first photo, in two counters (the time figures
// of this program mean nothing): "resident_bytes", what the page holds once sharp, and
// "peak_bytes", the most it took on the way, file reads under way included.
#include "fixtures.h"
#include "zoompage.h"

#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstring>

namespace {

using namespace quadrela;

const QStringList& photos()
{
    static const QStringList files =
        bench::writePhotos(QStringLiteral("zoommemory"), 20, 4000, 3000, 90);
    return files;
}

qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).simplified().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

qint64 peakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

enum class Measure
{
    Resident,
    Peak
};

// Runs in a forked child, so every zoom starts from the same fresh process.
[[noreturn]] void showPageAndReport(int out, double zoom, Measure measure)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "bench_zoommemory";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    const auto bytes = measure == Measure::Peak ? peakResidentBytes : residentBytes;
    const qint64 before = bytes();
    bench::ZoomPage page(photos());
    page.waitUntilSharp();
    page.setZoom(zoom, QPoint(248, 351));
    page.waitUntilSharp();
    bench::reportAndExit(out, before > 0 ? bytes() - before : -1);
}

void measureInChild(benchmark::State& state, Measure measure, const char* counter)
{
    photos();
    const double zoom = double(state.range(0)) / 100;
    qint64 growth = -1;
    for (auto _ : state) {
        growth = bench::numberFromChild(
            [zoom, measure](int fd) { showPageAndReport(fd, zoom, measure); });
        if (growth <= 0) {
            state.SkipWithError("the child could not show the page");
            break;
        }
    }
    state.counters[counter] = double(growth);
}

void BM_ZoomResidentMemory(benchmark::State& state)
{
    measureInChild(state, Measure::Resident, "resident_bytes");
}

void BM_ZoomPeakMemory(benchmark::State& state)
{
    measureInChild(state, Measure::Peak, "peak_bytes");
}

} // namespace

BENCHMARK(BM_ZoomResidentMemory)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ZoomPeakMemory)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

BENCHMARK_MAIN();
