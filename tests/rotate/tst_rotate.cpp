#include "core/errors.h"
#include "imaging/RotateBmp.h"

#include <QImage>
#include <QRandomGenerator>
#include <QTest>

#include <cstring>
#include <functional>

using namespace quadrela;

namespace {

constexpr uchar kSentinel = 0xA5;
constexpr int kGuard = 64;  // bytes before the first and after the last row

int bytesFor(int bpp)
{
    return bpp == 8 ? 1 : bpp == 16 ? 2 : bpp == 24 ? 3 : bpp == 32 ? 4 : 0;
}

// A bitmap in a buffer of its own, with guard bytes around the rows and padding at
// the end of each row, all of them holding a sentinel that no pixel byte takes.
// Pixels are addressed by their place in the picture (row 0 on top), whichever way
// the rows are stored.
class TestBitmap
{
public:
    TestBitmap(int bpp, int width, int height, int padding, bool bottomUp, quint32 seed)
        : m_width(width), m_height(height), m_bottomUp(bottomUp)
    {
        m_pixelBytes = bpp % 8 == 0 ? width * (bpp / 8) : (width * bpp + 7) / 8;
        m_rowBytes = m_pixelBytes + padding;
        const int rows = qMax(height, 1);
        m_buffer = QByteArray(2 * kGuard + rows * m_rowBytes, char(kSentinel));
        QRandomGenerator random(seed);
        for (int y = 0; y < height; ++y) {
            uchar* row = rowAddress(y);
            for (int i = 0; i < m_pixelBytes; ++i) {
                uchar b = uchar(random.bounded(256));
                row[i] = b == kSentinel ? 0 : b;
            }
        }
        view.bits = height > 0 ? rowAddress(0) : base();
        view.width = width;
        view.height = height;
        view.bitsPerPixel = bpp;
        view.rowDistance = bottomUp ? -qptrdiff(m_rowBytes) : qptrdiff(m_rowBytes);
    }

    // The pixel bytes, row 0 first.
    QByteArray picture() const
    {
        QByteArray out;
        for (int y = 0; y < m_height; ++y)
            out.append(reinterpret_cast<const char*>(rowAddress(y)), m_pixelBytes);
        return out;
    }

    // Offsets of every byte outside the pixels that no longer holds the sentinel.
    QList<int> touchedOutsidePixels() const
    {
        QList<bool> isPixel(m_buffer.size(), false);
        for (int y = 0; y < m_height; ++y) {
            const int start = int(rowAddress(y) - base());
            for (int i = 0; i < m_pixelBytes; ++i)
                isPixel[start + i] = true;
        }
        QList<int> touched;
        for (int i = 0; i < m_buffer.size(); ++i)
            if (!isPixel[i] && uchar(m_buffer[i]) != kSentinel)
                touched.append(i);
        return touched;
    }

    const QByteArray& buffer() const { return m_buffer; }

    BitmapView view;

private:
    uchar* base() { return reinterpret_cast<uchar*>(m_buffer.data()); }
    const uchar* base() const { return reinterpret_cast<const uchar*>(m_buffer.constData()); }
    int storedRow(int y) const { return m_bottomUp ? m_height - 1 - y : y; }
    uchar* rowAddress(int y) { return base() + kGuard + storedRow(y) * m_rowBytes; }
    const uchar* rowAddress(int y) const { return base() + kGuard + storedRow(y) * m_rowBytes; }

    int m_width;
    int m_height;
    bool m_bottomUp;
    int m_pixelBytes = 0;
    int m_rowBytes = 0;
    QByteArray m_buffer;
};

// The turned picture, one pixel at a time: (x, y) goes to (W-1-x, H-1-y).
QByteArray referenceTurn(const QByteArray& picture, int width, int height, int n)
{
    QByteArray out(picture.size(), '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::memcpy(out.data() + ((height - 1 - y) * width + (width - 1 - x)) * n,
                        picture.constData() + (y * width + x) * n, n);
    return out;
}

QString failureMessage(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Error& e) {
        return e.message();
    }
    return QStringLiteral("<no failure>");
}

QString assertionAt(int line)
{
    return QStringLiteral("Assertion failure (src/imaging/RotateBmp.cpp, line %1)").arg(line);
}

} // namespace

class TestRotate : public QObject
{
    Q_OBJECT
private slots:
    void turnsEveryPixel_data();
    void turnsEveryPixel();
    void turningTwiceRestores_data() { turnsEveryPixel_data(); }
    void turningTwiceRestores();
    void formatTurnsCheckTheirBitmap_data();
    void formatTurnsCheckTheirBitmap();
    void refusedBitmapsStayUnturned_data();
    void refusedBitmapsStayUnturned();
    void imageMatchesMirrored_data();
    void imageMatchesMirrored();
    void imageRefused_data();
    void imageRefused();
    void sharedImageIsDetached();
};

void TestRotate::turnsEveryPixel_data()
{
    QTest::addColumn<int>("bpp");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("padding");
    QTest::addColumn<bool>("bottomUp");

    struct Size
    {
        const char* name;
        int width;
        int height;
    };
    // Widths around the word-sized blocks (16 bytes from each end) leave leftovers
    // both in the row pairs and in the middle row of an odd height.
    const Size sizes[] = {
        {"1x1", 1, 1},          {"one row", 9, 1},        {"one column", 1, 8},
        {"one column odd", 1, 7}, {"3x3", 3, 3},          {"even by even", 4, 6},
        {"odd by even", 5, 4},  {"even by odd", 6, 5},    {"two rows", 33, 2},
        {"odd middle row", 37, 5}, {"wide odd", 71, 3},   {"wide even", 64, 9},
        {"single wide row", 100, 1},
    };
    for (int bpp : {8, 16, 24, 32}) {
        for (const Size& size : sizes) {
            QTest::addRow("%dbpp %s top-down", bpp, size.name)
                << bpp << size.width << size.height << 0 << false;
            QTest::addRow("%dbpp %s bottom-up padded", bpp, size.name)
                << bpp << size.width << size.height << 3 << true;
        }
        QTest::addRow("%dbpp 3x3 top-down padded", bpp) << bpp << 3 << 3 << 1 << false;
        QTest::addRow("%dbpp 5x5 bottom-up", bpp) << bpp << 5 << 5 << 0 << true;
    }
}

void TestRotate::turnsEveryPixel()
{
    QFETCH(int, bpp);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, padding);
    QFETCH(bool, bottomUp);

    TestBitmap bmp(bpp, width, height, padding, bottomUp, quint32(bpp * 1000 + width * 31 + height));
    const QByteArray expected = referenceTurn(bmp.picture(), width, height, bytesFor(bpp));
    Rotate180(bmp.view);
    QCOMPARE(bmp.picture(), expected);
    QCOMPARE(bmp.touchedOutsidePixels(), QList<int>());
}

void TestRotate::turningTwiceRestores()
{
    QFETCH(int, bpp);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, padding);
    QFETCH(bool, bottomUp);

    TestBitmap bmp(bpp, width, height, padding, bottomUp, quint32(width * 7 + height));
    const QByteArray before = bmp.buffer();
    Rotate180(bmp.view);
    Rotate180(bmp.view);
    QCOMPARE(bmp.buffer(), before);
}

void TestRotate::formatTurnsCheckTheirBitmap_data()
{
    QTest::addColumn<int>("turn");  // the format turn called: 8, 16, 24 or 32
    QTest::addColumn<int>("bpp");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("line");

    QTest::newRow("8-bit turn on 32 bpp") << 8 << 32 << 3 << 379;
    QTest::newRow("8-bit turn on 4 bpp") << 8 << 4 << 3 << 379;
    QTest::newRow("8-bit turn empty") << 8 << 8 << 0 << 380;
    QTest::newRow("8-bit turn negative height") << 8 << 8 << -2 << 380;
    QTest::newRow("8-bit turn wrong and empty") << 8 << 24 << 0 << 379;
    QTest::newRow("16-bit turn on 5-5-5") << 16 << 15 << 3 << 429;
    QTest::newRow("16-bit turn on 8 bpp") << 16 << 8 << 3 << 429;
    QTest::newRow("16-bit turn empty") << 16 << 16 << 0 << 430;
    QTest::newRow("24-bit turn on 32 bpp") << 24 << 32 << 3 << 479;
    QTest::newRow("24-bit turn empty") << 24 << 24 << 0 << 480;
    QTest::newRow("32-bit turn on 24 bpp") << 32 << 24 << 3 << 529;
    QTest::newRow("32-bit turn on custom") << 32 << kCustomLayout << 3 << 529;
    QTest::newRow("32-bit turn empty") << 32 << 32 << 0 << 530;
}

void TestRotate::formatTurnsCheckTheirBitmap()
{
    QFETCH(int, turn);
    QFETCH(int, bpp);
    QFETCH(int, height);
    QFETCH(int, line);

    TestBitmap bmp(bpp, 4, height, 2, false, 7);
    const QByteArray before = bmp.buffer();
    const QString message = failureMessage([&] {
        switch (turn) {
        case 8: Rotate180Bpp8(bmp.view); break;
        case 16: Rotate180Bpp16(bmp.view); break;
        case 24: Rotate180Bpp24(bmp.view); break;
        default: Rotate180Bpp32(bmp.view); break;
        }
    });
    QCOMPARE(message, assertionAt(line));
    QCOMPARE(bmp.buffer(), before);
}

void TestRotate::refusedBitmapsStayUnturned_data()
{
    QTest::addColumn<int>("bpp");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("line");

    QTest::newRow("4 bpp") << 4 << 3 << 656;
    QTest::newRow("1 bpp") << 1 << 3 << 656;
    QTest::newRow("5-5-5") << 15 << 3 << 656;
    QTest::newRow("custom layout") << kCustomLayout << 3 << 656;
    QTest::newRow("64 bpp") << 64 << 3 << 656;
    QTest::newRow("empty 4 bpp") << 4 << 0 << 656;
    QTest::newRow("empty 8 bpp") << 8 << 0 << 380;
    QTest::newRow("empty 16 bpp") << 16 << 0 << 430;
    QTest::newRow("empty 24 bpp") << 24 << 0 << 480;
    QTest::newRow("empty 32 bpp") << 32 << 0 << 530;
}

void TestRotate::refusedBitmapsStayUnturned()
{
    QFETCH(int, bpp);
    QFETCH(int, height);
    QFETCH(int, line);

    TestBitmap bmp(bpp, 6, height, 2, true, 11);
    const QByteArray before = bmp.buffer();
    QCOMPARE(failureMessage([&] { Rotate180(bmp.view); }), assertionAt(line));
    QCOMPARE(bmp.buffer(), before);
}

namespace {

// An image whose pixel bytes are random and whose row padding holds the sentinel.
QImage randomImage(QImage::Format format, int width, int height, quint32 seed)
{
    QImage image(width, height, format);
    if (format == QImage::Format_Indexed8) {
        QList<QRgb> colours;
        for (int i = 0; i < 256; ++i)
            colours.append(qRgb(i, 255 - i, i / 2));
        image.setColorTable(colours);
    }
    std::memset(image.bits(), kSentinel, size_t(image.sizeInBytes()));
    const int pixelBytes = (width * image.depth() + 7) / 8;
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int i = 0; i < pixelBytes; ++i) {
            const uchar b = uchar(random.bounded(256));
            row[i] = b == kSentinel ? 0 : b;
        }
    }
    return image;
}

int paddingBytesChanged(const QImage& image)
{
    const int pixelBytes = (image.width() * image.depth() + 7) / 8;
    int changed = 0;
    for (int y = 0; y < image.height(); ++y)
        for (qsizetype i = pixelBytes; i < image.bytesPerLine(); ++i)
            changed += image.constScanLine(y)[i] != kSentinel;
    return changed;
}

} // namespace

void TestRotate::imageMatchesMirrored_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    const QList<QPair<const char*, QImage::Format>> formats = {
        {"Indexed8", QImage::Format_Indexed8}, {"Grayscale8", QImage::Format_Grayscale8},
        {"RGB16", QImage::Format_RGB16},       {"RGB888", QImage::Format_RGB888},
        {"BGR888", QImage::Format_BGR888},     {"RGB32", QImage::Format_RGB32},
        {"ARGB32", QImage::Format_ARGB32},     {"RGBA8888", QImage::Format_RGBA8888},
    };
    for (const auto& [name, format] : formats) {
        QTest::addRow("%s 1x1", name) << format << 1 << 1;
        QTest::addRow("%s 5x3", name) << format << 5 << 3;
        QTest::addRow("%s 6x4", name) << format << 6 << 4;
        QTest::addRow("%s 33x17", name) << format << 33 << 17;
    }
}

void TestRotate::imageMatchesMirrored()
{
    QFETCH(QImage::Format, format);
    QFETCH(int, width);
    QFETCH(int, height);

    QImage image = randomImage(format, width, height, quint32(width * height));
    const QImage expected = image.mirrored(true, true);
    const QList<QRgb> colours = image.colorTable();
    Rotate180(image);
    QCOMPARE(image.format(), format);
    QCOMPARE(image.colorTable(), colours);
    const int pixelBytes = (width * image.depth() + 7) / 8;
    for (int y = 0; y < height; ++y)
        QVERIFY2(std::memcmp(image.constScanLine(y), expected.constScanLine(y), pixelBytes) == 0,
                 qPrintable(QStringLiteral("row %1").arg(y)));
    QCOMPARE(paddingBytesChanged(image), 0);
}

void TestRotate::imageRefused_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<int>("size");

    QTest::newRow("null image") << QImage::Format_Invalid << 0;
    QTest::newRow("Mono") << QImage::Format_Mono << 9;
    QTest::newRow("MonoLSB") << QImage::Format_MonoLSB << 9;
    QTest::newRow("RGB555") << QImage::Format_RGB555 << 5;
    QTest::newRow("RGB444") << QImage::Format_RGB444 << 5;
    QTest::newRow("Grayscale16") << QImage::Format_Grayscale16 << 5;
    QTest::newRow("RGBA64") << QImage::Format_RGBA64 << 5;
}

void TestRotate::imageRefused()
{
    QFETCH(QImage::Format, format);
    QFETCH(int, size);

    QImage image = format == QImage::Format_Invalid ? QImage()
                                                    : randomImage(format, size, size, 5);
    const QImage before = image.copy();
    QCOMPARE(failureMessage([&] { Rotate180(image); }), assertionAt(656));
    QCOMPARE(image, before);
}

void TestRotate::sharedImageIsDetached()
{
    const QImage original = randomImage(QImage::Format_RGB32, 7, 5, 9);
    const QImage untouched = original.copy();
    QImage turned = original;
    Rotate180(turned);
    QCOMPARE(original, untouched);
    QCOMPARE(turned, untouched.mirrored(true, true));
}

QTEST_GUILESS_MAIN(TestRotate)
#include "tst_rotate.moc"
