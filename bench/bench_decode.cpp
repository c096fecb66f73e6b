// Decoding a 12-megapixel photo through the generic picture holder, against the codec
// libraries decoding the same file into a buffer of the same pixel layout (the limit) and
// against QImage loading it (the peer).
#include "codecs/picture.h"
#include "fixtures.h"

#include <QFile>
#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <jpeglib.h>
#include <png.h>
#include <vector>

namespace {

using namespace quadrela;

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

const QString& jpegFile()
{
    static const QString path =
        bench::writePicture(bench::makePhoto(kWidth, kHeight, 7), QStringLiteral("photo.jpg"), 90);
    return path;
}

const QString& pngFile()
{
    static const QString path =
        bench::writePicture(bench::makePhoto(kWidth, kHeight, 7), QStringLiteral("photo.png"), 50);
    return path;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void BM_PictureJpeg(benchmark::State& state)
{
    const QString path = jpegFile();
    for (auto _ : state) {
        TPicture picture;
        picture.LoadFromFile(path);
        benchmark::DoNotOptimize(picture.width());
    }
}

// libjpeg-turbo straight into four-byte pixels, the layout the program's bitmaps use.
void BM_LibjpegDecode(benchmark::State& state)
{
    const QString path = jpegFile();
    for (auto _ : state) {
        const QByteArray bytes = readAll(path);
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr errors;
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                     static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGRX;
        jpeg_start_decompress(&cinfo);
        const size_t stride = size_t(cinfo.output_width) * 4;
        std::vector<unsigned char> pixels(stride * cinfo.output_height);
        std::vector<JSAMPROW> rows(cinfo.output_height);
        for (size_t y = 0; y < rows.size(); ++y)
            rows[y] = pixels.data() + stride * y;
        while (cinfo.output_scanline < cinfo.output_height)
            jpeg_read_scanlines(&cinfo, rows.data() + cinfo.output_scanline,
                                cinfo.output_height - cinfo.output_scanline);
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(pixels.data());
    }
}

void BM_QImageLoadJpeg(benchmark::State& state)
{
    const QString path = jpegFile();
    for (auto _ : state) {
        QImage image(path);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PicturePng(benchmark::State& state)
{
    const QString path = pngFile();
    for (auto _ : state) {
        TPicture picture;
        picture.LoadFromFile(path);
        benchmark::DoNotOptimize(picture.width());
    }
}

struct MemorySource
{
    const QByteArray* bytes;
    qsizetype pos;
};

extern "C" void readFromMemory(png_structp png, png_bytep out, size_t count)
{
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (qsizetype(count) > source->bytes->size() - source->pos)
        png_error(png, "short file");
    std::memcpy(out, source->bytes->constData() + source->pos, count);
    source->pos += qsizetype(count);
}

// libpng straight into four-byte pixels (blue, green, red, filler), as the program needs.
void BM_LibpngDecode(benchmark::State& state)
{
    const QString path = pngFile();
    for (auto _ : state) {
        const QByteArray bytes = readAll(path);
        MemorySource source{&bytes, 0};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_read_fn(png, &source, readFromMemory);
        png_read_info(png, info);
        png_set_bgr(png);
        png_set_filler(png, 0xff, PNG_FILLER_AFTER);
        png_read_update_info(png, info);
        const png_uint_32 height = png_get_image_height(png, info);
        const size_t stride = png_get_rowbytes(png, info);
        std::vector<png_byte> pixels(stride * height);
        std::vector<png_bytep> rows(height);
        for (png_uint_32 y = 0; y < height; ++y)
            rows[y] = pixels.data() + stride * y;
        png_read_image(png, rows.data());
        png_read_end(png, info);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(pixels.data());
    }
}

} // namespace

BENCHMARK(BM_PictureJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibjpegDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QImageLoadJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PicturePng)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibpngDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return quadrela::bench::runWithApplication(argc, argv);
}
