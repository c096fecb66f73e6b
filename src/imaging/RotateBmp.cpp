#include "imaging/RotateBmp.h"

#include "core/errors.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace quadrela {

namespace {

// A failed check names this file and a line number of its own. Both are fixed
// texts, so the message stays the same whatever edits move the code around.
constexpr const char* kSourcePath = "src/imaging/RotateBmp.cpp";
constexpr int kLine8BytesPerPixel = 379;
constexpr int kLine8Height = 380;
constexpr int kLine16BytesPerPixel = 429;
constexpr int kLine16Height = 430;
constexpr int kLine24BytesPerPixel = 479;
constexpr int kLine24Height = 480;
constexpr int kLine32BytesPerPixel = 529;
constexpr int kLine32Height = 530;
constexpr int kLineUnsupportedLayout = 656;

[[noreturn]] void fail(int line)
{
    throw assertionFailed(QStringLiteral("Assertion failure"), QString::fromLatin1(kSourcePath),
                          line);
}

inline std::uint64_t load64(const uchar* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store64(uchar* p, std::uint64_t v)
{
    std::memcpy(p, &v, sizeof v);
}

inline std::uint64_t rotate32(std::uint64_t v)
{
    return (v << 32) | (v >> 32);
}

// Reverses the order of the N-byte pixels held in one 64-bit word, keeping the
// bytes inside each pixel in place. The lane swaps are symmetric, so the result
// does not depend on the machine's byte order.
template <int N>
inline std::uint64_t reversePixels(std::uint64_t v)
{
    if constexpr (N == 1) {
        return __builtin_bswap64(v);
    } else if constexpr (N == 2) {
        v = rotate32(v);
        constexpr std::uint64_t low = 0x0000FFFF0000FFFFull;
        return ((v >> 16) & low) | ((v & low) << 16);
    } else {
        static_assert(N == 4);
        return rotate32(v);
    }
}

// Reads eight three-byte pixels at `in` and writes them in reverse order at `out`
// (which may be `in`). The shifts take the low byte as the first one in memory, so
// other machines take the slow road of three-byte copies.
inline void reverse8Pixels24(const uchar* in, uchar* out)
{
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t m = 0xFFFFFF;
        const std::uint64_t w0 = load64(in);
        const std::uint64_t w1 = load64(in + 8);
        const std::uint64_t w2 = load64(in + 16);
        const std::uint64_t p0 = w0 & m;
        const std::uint64_t p1 = (w0 >> 24) & m;
        const std::uint64_t p2 = ((w0 >> 48) | (w1 << 16)) & m;
        const std::uint64_t p3 = (w1 >> 8) & m;
        const std::uint64_t p4 = (w1 >> 32) & m;
        const std::uint64_t p5 = ((w1 >> 56) | (w2 << 8)) & m;
        const std::uint64_t p6 = (w2 >> 16) & m;
        const std::uint64_t p7 = w2 >> 40;
        store64(out, p7 | (p6 << 24) | (p5 << 48));
        store64(out + 8, (p5 >> 16) | (p4 << 8) | (p3 << 32) | (p2 << 56));
        store64(out + 16, (p2 >> 8) | (p1 << 16) | (p0 << 40));
    } else {
        uchar t[24];
        for (int i = 0; i < 8; ++i)
            std::memcpy(t + 3 * i, in + 3 * (7 - i), 3);
        std::memcpy(out, t, sizeof t);
    }
}

template <int N>
inline void swapPixel(uchar* a, uchar* b)
{
    uchar t[N];
    std::memcpy(t, a, N);
    std::memcpy(a, b, N);
    std::memcpy(b, t, N);
}

// Swaps pixel p + j*N with pixel q - j*N for j in [0, count). With p and q in two
// different rows and count = W, row p gets row q reversed and the other way round;
// with p at the start and q at the end of one row and count = W div 2 the row is
// reversed in place (the blocks taken from both ends then never overlap, because a
// block is only taken while it ends at or before the middle).
template <int N>
void swapReversed(uchar* p, uchar* q, qsizetype count)
{
    qsizetype j = 0;
    if constexpr (N == 3) {
        // Eight three-byte pixels make three words.
        constexpr int K = 8;
        for (; j + K <= count; j += K) {
            uchar* a = p + j * N;
            uchar* b = q - (j + K - 1) * N;
            uchar ta[K * N];
            reverse8Pixels24(a, ta);
            reverse8Pixels24(b, a);
            std::memcpy(b, ta, sizeof ta);
        }
    } else {
        // Two words from each end at a time.
        constexpr int K = 16 / N;
        for (; j + K <= count; j += K) {
            uchar* a = p + j * N;
            uchar* b = q - (j + K - 1) * N;
            const std::uint64_t a0 = load64(a);
            const std::uint64_t a1 = load64(a + 8);
            const std::uint64_t b0 = load64(b);
            const std::uint64_t b1 = load64(b + 8);
            store64(a, reversePixels<N>(b1));
            store64(a + 8, reversePixels<N>(b0));
            store64(b, reversePixels<N>(a1));
            store64(b + 8, reversePixels<N>(a0));
        }
    }
    for (; j < count; ++j)
        swapPixel<N>(p + j * N, q - j * N);
}

template <int N>
void turn(const BitmapView& bmp, int bytesPerPixelLine, int heightLine)
{
    if (BytesPerPixel(bmp) != N)
        fail(bytesPerPixelLine);
    if (bmp.height <= 0)
        fail(heightLine);
    if (bmp.width <= 0)
        return;
    Q_ASSERT(bmp.bits);

    const qptrdiff s = RowStride(bmp);
    const qsizetype w = bmp.width;
    const qsizetype lastPixel = (w - 1) * N;
    uchar* p = scanLine(bmp, 0);
    uchar* q = scanLine(bmp, bmp.height - 1) + lastPixel;
    for (int i = 0; i < bmp.height / 2; ++i) {
        swapReversed<N>(p, q, w);
        p += s;
        q -= s;
    }
    // The middle row of an odd height: p is at its first pixel, q at its last. The
    // centre pixel of an odd width stays where it is.
    if (bmp.height % 2 != 0)
        swapReversed<N>(p, q, w / 2);
}

} // namespace

int BytesPerPixel(const BitmapView& bmp)
{
    switch (bmp.bitsPerPixel) {
    case 8:
        return 1;
    case 16:
        return 2;
    case 24:
        return 3;
    case 32:
        return 4;
    default:
        return 0;
    }
}

qptrdiff RowStride(const BitmapView& bmp)
{
    return bmp.height < 2 ? 0 : bmp.rowDistance;
}

void Rotate180Bpp8(const BitmapView& bmp)
{
    turn<1>(bmp, kLine8BytesPerPixel, kLine8Height);
}

void Rotate180Bpp16(const BitmapView& bmp)
{
    turn<2>(bmp, kLine16BytesPerPixel, kLine16Height);
}

void Rotate180Bpp24(const BitmapView& bmp)
{
    turn<3>(bmp, kLine24BytesPerPixel, kLine24Height);
}

void Rotate180Bpp32(const BitmapView& bmp)
{
    turn<4>(bmp, kLine32BytesPerPixel, kLine32Height);
}

void Rotate180(const BitmapView& bmp)
{
    switch (bmp.bitsPerPixel) {
    case 8:
        Rotate180Bpp8(bmp);
        break;
    case 16:
        Rotate180Bpp16(bmp);
        break;
    case 24:
        Rotate180Bpp24(bmp);
        break;
    case 32:
        Rotate180Bpp32(bmp);
        break;
    default:
        fail(kLineUnsupportedLayout);
    }
}

int bitmapLayoutOf(QImage::Format format)
{
    switch (format) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_RGB16:
        return 16;
    case QImage::Format_RGB555:
        return 15;
    case QImage::Format_Invalid:
        return kCustomLayout;
    default:
        break;
    }
    // Pixels are moved whole and never read as colours, so every one-, three- or
    // four-byte layout turns alike. The two-byte layouts other than 5-6-5 have no
    // counterpart among the bitmaps the program turns and stay refused.
    const int bits = QImage::toPixelFormat(format).bitsPerPixel();
    return bits == 8 || bits == 24 || bits == 32 ? bits : kCustomLayout;
}

BitmapView bitmapViewOf(QImage& image)
{
    BitmapView view;
    view.bitsPerPixel = bitmapLayoutOf(image.format());
    if (image.isNull())
        return view;
    view.bits = image.bits();
    view.width = image.width();
    view.height = image.height();
    view.rowDistance = image.bytesPerLine();
    return view;
}

void Rotate180(QImage& image)
{
    // Refuse before bitmapViewOf detaches a shared image, so a refusal costs no copy
    // and leaves every sharer alone. A null image has no format and lands here too.
    BitmapView layout;
    layout.bitsPerPixel = bitmapLayoutOf(image.format());
    if (BytesPerPixel(layout) == 0)
        fail(kLineUnsupportedLayout);
    Rotate180(bitmapViewOf(image));
}

} // namespace quadrela
