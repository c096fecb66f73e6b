// Turning a 6000 x 4000 picture in place, against Qt's own turned copy and against
// copying the same bytes once. Each benchmark takes the bits per pixel as argument.
#include "imaging/RotateBmp.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

QImage::Format formatFor(int bpp)
{
    switch (bpp) {
    case 8:
        return QImage::Format_Indexed8;
    case 24:
        return QImage::Format_RGB888;
    default:
        return QImage::Format_RGB32;
    }
}

QImage makePicture(int bpp)
{
    QImage image(kWidth, kHeight, formatFor(bpp));
    if (bpp == 8) {
        QList<QRgb> grey;
        for (int i = 0; i < 256; ++i)
            grey.append(qRgb(i, i, i));
        image.setColorTable(grey);
    }
    for (int y = 0; y < kHeight; ++y) {
        uchar* row = image.scanLine(y);
        for (qsizetype i = 0; i < image.bytesPerLine(); ++i)
            row[i] = uchar(i * 7 + y);
    }
    return image;
}

void setBytes(benchmark::State& state, const QImage& image)
{
    state.SetBytesProcessed(qint64(state.iterations()) * image.sizeInBytes());
}

void BM_Rotate180(benchmark::State& state)
{
    QImage image = makePicture(int(state.range(0)));
    for (auto _ : state) {
        quadrela::Rotate180(image);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
    setBytes(state, image);
}

void BM_QImageMirrored(benchmark::State& state)
{
    const QImage image = makePicture(int(state.range(0)));
    for (auto _ : state) {
        QImage turned = image.mirrored(true, true);
        benchmark::DoNotOptimize(turned.constBits());
    }
    setBytes(state, image);
}

void BM_Memcpy(benchmark::State& state)
{
    const QImage image = makePicture(int(state.range(0)));
    std::vector<uchar> target(size_t(image.sizeInBytes()), 0);
    for (auto _ : state) {
        std::memcpy(target.data(), image.constBits(), target.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    setBytes(state, image);
}

} // namespace

BENCHMARK(BM_Rotate180)->Arg(32)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QImageMirrored)->Arg(32)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Memcpy)->Arg(32)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
