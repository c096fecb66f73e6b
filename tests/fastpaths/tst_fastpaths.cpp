// The shortcuts that keep pictures cheap must give exactly what the long way gives: PNGs
// written from the bitmap's own rows at either compression, photos kept as decoded
// instead of drawn onto white, and the print bitmap of an opaque picture taken as is.
#include "codecs/picture.h"
#include "codecs/png.h"
#include "core/errors.h"
#include "core/state.h"
#include "imaging/picload.h"
#include "imaging/textrender.h"
#include "page/Imgfocus.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using namespace quadrela;

namespace {

// A picture whose every channel differs, so a swapped or shifted byte shows.
QImage pattern(QImage::Format format, int w = 37, int h = 11)
{
    QImage image(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int alpha = format == QImage::Format_ARGB32 ? (x * 29 + y * 7) % 256 : 255;
            image.setPixel(x, y, qRgba((x * 7) % 256, (y * 23) % 256, (x * y * 5) % 256, alpha));
        }
    return image;
}

QImage asArgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

// What drawing the picture at (0, 0) onto a white bitmap of its size gives.
QImage composedOnWhite(const TPicture& picture)
{
    QImage white(picture.width(), picture.height(), QImage::Format_RGB32);
    white.fill(Qt::white);
    QPainter p(&white);
    p.drawImage(0, 0, picture.toImage());
    p.end();
    return white;
}

QByteArray encodedAs(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(95);
    if (!writer.write(image))
        qFatal("cannot encode a test picture as %s", format);
    return bytes;
}

QImage grey16Palette()
{
    QImage image(9, 5, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 16; ++i)
        table.append(qRgb(i * 16, 255 - i * 16, i * 8));
    image.setColorTable(table);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x)
            image.setPixel(x, y, uint((x + y) % 16));
    return image;
}

} // namespace

class TestFastPaths : public QObject
{
    Q_OBJECT

private slots:
    void pngRoundTrip_data();
    void pngRoundTrip();
    void fastPngIsSmallerWorkNotDifferentPixels();
    void renderedScratchPicture();
    void scratchPictureThatCannotBeWritten();
    void drawPictureSameAsOnWhite_data();
    void drawPictureSameAsOnWhite();
    void photoKeptWithoutCopy();
    void shownWithKeyLeftOut_data();
    void shownWithKeyLeftOut();
    void printBitmapOfPhoto_data();
    void printBitmapOfPhoto();
    void drawableImageKeysOnlyWithColour();
};

void TestFastPaths::pngRoundTrip_data()
{
    QTest::addColumn<QImage>("bitmap");
    QTest::addColumn<bool>("keyWhite");
    QTest::addColumn<int>("compression");

    for (const auto& [name, compression] :
         {std::pair{"default", int(PngCompression::Default)}, std::pair{"fast", int(PngCompression::Fast)}}) {
        QTest::addRow("rgb, %s", name) << pattern(QImage::Format_RGB32) << false << compression;
        QTest::addRow("rgb keyed white, %s", name) << pattern(QImage::Format_RGB32) << true << compression;
        QTest::addRow("argb, %s", name) << pattern(QImage::Format_ARGB32) << false << compression;
        QTest::addRow("rgb888 source, %s", name) << pattern(QImage::Format_RGB888) << false << compression;
        QTest::addRow("one pixel, %s", name) << pattern(QImage::Format_RGB32, 1, 1) << false << compression;
        QTest::addRow("palette, %s", name) << grey16Palette() << false << compression;
    }
}

void TestFastPaths::pngRoundTrip()
{
    QFETCH(QImage, bitmap);
    QFETCH(bool, keyWhite);
    QFETCH(int, compression);

    TPNGObject png = TPNGObject::fromBitmap(bitmap);
    if (keyWhite)
        png.setTransparentColor(qRgb(255, 255, 255));
    TPNGObject read;
    read.LoadFromData(png.encode(PngCompression(compression)));

    QCOMPARE(read.colorType(), png.colorType());
    QCOMPARE(read.transparentColor(), png.transparentColor());
    QCOMPARE(asArgb(read.toBitmap()), asArgb(png.toBitmap()));
}

void TestFastPaths::fastPngIsSmallerWorkNotDifferentPixels()
{
    // A text-like picture: mostly white, a few dark strokes.
    QImage text(400, 120, QImage::Format_RGB32);
    text.fill(Qt::white);
    QPainter p(&text);
    p.setPen(Qt::darkBlue);
    p.setFont(QFont(QStringLiteral("Arial"), 40));
    p.drawText(10, 90, QStringLiteral("Parabéns!"));
    p.end();
    TPNGObject png = TPNGObject::fromBitmap(text);
    png.setTransparentColor(qRgb(255, 255, 255));

    const QByteArray usual = png.encode();
    const QByteArray fast = png.encode(PngCompression::Fast);
    TPNGObject a, b;
    a.LoadFromData(usual);
    b.LoadFromData(fast);
    QCOMPARE(asArgb(b.toBitmap()), asArgb(a.toBitmap()));
    QCOMPARE(b.transparentColor(), a.transparentColor());
    // Light compression still compresses: far below the raw three bytes a pixel.
    QVERIFY2(fast.size() < text.width() * text.height() * 3 / 4,
             qPrintable(QString::number(fast.size())));
}

void TestFastPaths::renderedScratchPicture()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("temp.png"));
    TextAttributes a;
    a.FontSize = 30;
    a.Color = 0x000000FF;  // red
    a.Alignment = 1;
    const QString text = QStringLiteral("Feliz\r\nAniversário");
    RenderTextPicture(a, text, out);

    TPNGObject png;
    png.LoadFromFile(out);
    QCOMPARE(png.transparentColor(), std::optional<QRgb>(qRgb(255, 255, 255)));
    QCOMPARE(asArgb(png.toBitmap()), asArgb(RenderTextBitmap(a, text)));
}

void TestFastPaths::scratchPictureThatCannotBeWritten()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("missing-folder/temp.png"));
    TextAttributes a;
    try {
        RenderTextPicture(a, QStringLiteral("Olá"), out);
        QFAIL("writing into a missing folder succeeded");
    } catch (const Error& e) {
        QCOMPARE(e.message(), QStringLiteral("Cannot create file %1: %2")
                                  .arg(out, QString::fromLocal8Bit(std::strerror(ENOENT))));
    }
    QVERIFY(!QFile::exists(out));
}

void TestFastPaths::drawPictureSameAsOnWhite_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("format");

    const QImage photo = pattern(QImage::Format_RGB32, 48, 32);
    QTest::newRow("jpeg") << encodedAs(photo, "jpg") << int(PictureFormat::Jpeg);
    QTest::newRow("opaque png") << TPNGObject::fromBitmap(photo).encode() << int(PictureFormat::Png);
    QTest::newRow("palette png") << TPNGObject::fromBitmap(grey16Palette()).encode()
                                 << int(PictureFormat::Png);
    TPNGObject keyed = TPNGObject::fromBitmap(photo);
    keyed.setTransparentColor(photo.pixel(3, 2));
    QTest::newRow("png with a transparent colour") << keyed.encode() << int(PictureFormat::Png);
    QTest::newRow("png with alpha") << TPNGObject::fromBitmap(pattern(QImage::Format_ARGB32)).encode()
                                    << int(PictureFormat::Png);
    QTest::newRow("bmp, 8 bits") << encodedAs(grey16Palette(), "bmp") << int(PictureFormat::Bmp);
    QTest::newRow("bmp, 24 bits") << encodedAs(photo.convertToFormat(QImage::Format_RGB888), "bmp")
                                  << int(PictureFormat::Bmp);
}

void TestFastPaths::drawPictureSameAsOnWhite()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, format);

    TPicture picture;
    picture.LoadFromData(bytes, PictureFormat(format));
    TFocusImage control;
    control.drawPicture(picture);

    QCOMPARE(control.size(), QSize(picture.width(), picture.height()));
    const bool alpha = picture.png() && picture.png()->hasAlphaChannel();
    if (alpha) {
        QCOMPARE(control.bitmap(), picture.toImage().convertToFormat(QImage::Format_ARGB32));
    } else {
        QCOMPARE(control.bitmap().format(), QImage::Format_RGB32);
        QCOMPARE(control.bitmap(), composedOnWhite(picture));
    }
}

void TestFastPaths::photoKeptWithoutCopy()
{
    TPicture picture;
    picture.LoadFromData(encodedAs(pattern(QImage::Format_RGB32, 64, 40), "jpg"), PictureFormat::Jpeg);
    TFocusImage control;
    control.drawPicture(picture);
    QCOMPARE(control.bitmap().constBits(), picture.raster().constBits());
    // Drawing a picture again replaces the bitmap; the earlier picture is left alone.
    const QImage before = picture.raster().copy();
    TPicture other;
    other.LoadFromData(TPNGObject::fromBitmap(pattern(QImage::Format_ARGB32)).encode(),
                       PictureFormat::Png);
    control.drawPicture(other);
    QCOMPARE(picture.raster(), before);
    QCOMPARE(control.bitmap().format(), QImage::Format_ARGB32);
}

void TestFastPaths::shownWithKeyLeftOut_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ownColour");  // the PNG names its transparent colour

    QImage photo = pattern(QImage::Format_RGB32, 30, 20);
    photo.setPixel(4, 4, photo.pixel(0, 19));  // the bottom-left colour once more inside
    QTest::newRow("photo, bottom-left colour") << encodedAs(photo, "bmp") << false;
    TPNGObject keyed = TPNGObject::fromBitmap(photo);
    keyed.setTransparentColor(photo.pixel(7, 3));
    QTest::newRow("png, its own colour") << keyed.encode() << true;
}

void TestFastPaths::shownWithKeyLeftOut()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ownColour);

    TFocusImage control;
    control.setTransparent(true);
    TPNGObject png;
    if (ownColour) {
        png.LoadFromData(bytes);
        control.setPng(png);
    } else {
        TPicture picture;
        picture.LoadFromData(bytes, PictureFormat::Bmp);
        control.drawPicture(picture);
    }
    const QImage& bitmap = control.bitmap();
    const QRgb key = ownColour ? *png.transparentColor() : bitmap.pixel(0, bitmap.height() - 1);
    const QImage shown = control.displayImage();
    QCOMPARE(shown.size(), bitmap.size());
    int keyed = 0;
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) {
            const QRgb source = bitmap.pixel(x, y);
            if ((source | 0xFF000000u) == (key | 0xFF000000u) && qAlpha(source) == 255) {
                QCOMPARE(qAlpha(shown.pixel(x, y)), 0);
                ++keyed;
            } else {
                QCOMPARE(shown.pixel(x, y), source);
            }
        }
    QVERIFY(keyed >= 1);
}

void TestFastPaths::printBitmapOfPhoto_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("turn");

    const QImage photo = pattern(QImage::Format_RGB32, 40, 25);
    QTest::newRow("jpeg") << "photo.jpg" << encodedAs(photo, "jpg") << false;
    QTest::newRow("jpeg turned") << "photo.jpeg" << encodedAs(photo, "jpg") << true;
    QTest::newRow("bmp, 8 bits turned") << "palette.bmp" << encodedAs(grey16Palette(), "bmp") << true;
}

void TestFastPaths::printBitmapOfPhoto()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, turn);

    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    TPicture picture;
    picture.LoadFromFile(path);
    QImage expected = composedOnWhite(picture);
    if (turn)
        expected = expected.mirrored(true, true);

    TBitmap bitmap;
    QVERIFY(LoadPictureBitmap(bitmap, path, turn));
    QCOMPARE(bitmap.pixels.format(), QImage::Format_RGB32);
    QCOMPARE(bitmap.pixels, expected);
    QVERIFY(!bitmap.transparentColor);
}

void TestFastPaths::drawableImageKeysOnlyWithColour()
{
    TBitmap bitmap;
    bitmap.pixels = pattern(QImage::Format_RGB32);
    const QImage plain = drawableImage(bitmap);
    QCOMPARE(plain.constBits(), bitmap.pixels.constBits());  // drawn as it is

    const QRgb key = bitmap.pixels.pixel(5, 5);
    bitmap.transparentColor = key;
    const QImage keyed = drawableImage(bitmap);
    QCOMPARE(keyed.format(), QImage::Format_ARGB32);
    QCOMPARE(qAlpha(keyed.pixel(5, 5)), 0);
    QCOMPARE(keyed.pixel(6, 5), bitmap.pixels.pixel(6, 5));
}

QTEST_MAIN(TestFastPaths)
#include "tst_fastpaths.moc"
