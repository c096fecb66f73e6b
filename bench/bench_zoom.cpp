// Changing the zoom from 100 % to 200 % or 400 % on a page of twenty 12-megapixel photos,
// until every photo the scroll box shows is drawn sharp: the pictures read again at the
// shown size in the background and the frame painted. Against the same change on an empty
// page. A photo is kept with room for twice its size, so only 400 % reads files again; the
// counter "rereads" tells how many.
#include "fixtures.h"
#include "zoompage.h"

#include <benchmark/benchmark.h>

namespace {

using namespace quadrela;

constexpr int kPhotoCount = 20;

void runZoom(benchmark::State& st, const QStringList& photos)
{
    const double zoom = double(st.range(0)) / 100;
    bench::ZoomPage page(photos);
    const QPoint centre(248, 200);
    int rereads = 0;
    for (auto _ : st) {
        st.PauseTiming();
        // Each change is the first at that zoom: nothing kept from the change before.
        page.setZoom(1.0, centre);
        page.releaseZoomed();
        page.waitUntilSharp();
        st.ResumeTiming();
        page.setZoom(zoom, centre);
        rereads = page.waitUntilSharp();
    }
    st.counters["rereads"] = rereads;
}

void BM_ZoomPhotosToSharp(benchmark::State& st)
{
    runZoom(st, bench::writePhotos(QStringLiteral("zoom"), kPhotoCount, 4000, 3000, 90));
}

void BM_ZoomEmptyPageToSharp(benchmark::State& st)
{
    runZoom(st, {});
}

} // namespace

BENCHMARK(BM_ZoomPhotosToSharp)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZoomEmptyPageToSharp)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return quadrela::bench::runWithApplication(argc, argv);
}
