// Start-up: the program run on the offscreen platform until its first event-loop turn,
// when the main window and the new-project dialog have been shown (QUADRELA_QUIT_WHEN_SHOWN
// makes it quit then, which is all it changes), against a minimal Qt Widgets program that
// shows one window and quits in the same way. Left out: what a real display adds (the
// X11 connection, the window manager, the fonts of the desktop), the same for both.
#include "fixtures.h"

#include <benchmark/benchmark.h>

namespace {

using namespace quadrela;

void runUntilShown(benchmark::State& state, const QString& program)
{
    const QStringList environment{QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                                  QStringLiteral("QUADRELA_QUIT_WHEN_SHOWN=1")};
    for (auto _ : state) {
        // A program that waits on a message box never quits by itself.
        if (bench::runProgram({program}, environment, 30) != 0) {
            state.SkipWithError("the program did not start and quit cleanly");
            break;
        }
    }
}

void BM_StartUp(benchmark::State& state)
{
    runUntilShown(state, QStringLiteral(QUADRELA_PROGRAM));
}

void BM_MinimalWindow(benchmark::State& state)
{
    runUntilShown(state, QStringLiteral(QUADRELA_MINIMAL_WINDOW));
}

} // namespace

BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MinimalWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
