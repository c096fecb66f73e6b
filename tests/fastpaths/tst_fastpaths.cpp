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
#include "page/keptpicture.h"

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
    void keptSizeRule_data();
    void keptSizeRule();
    void keptShownLikeFullDecode_data();
    void keptShownLikeFullDecode();
    void grownItemReadSharper();
};

void TestFastPaths::pngRoundTrip_data()
{
    QTest::addColumn<QImage>("bitmap");
    QTest::addColumn<bool>("keyWhite");
    QTest::addColumn<int>("compression");

    for (const auto& [name, compression] :
         {std::pair{"default", int(PngCompression::Default)}, std::pair{"fast", int(PngCompression::Fast)},
          std::pair{"unfiltered", int(PngCompression::Unfiltered)}}) {
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
        QCOMPARE(e.message(), QStringLiteral("Não foi possível criar o arquivo %1: %2")
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

void TestFastPaths::keptSizeRule_data()
{
    QTest::addColumn<QSize>("full");
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<QSize>("kept");
    QTest::addColumn<QSize>("grown");  // the control resized to this afterwards
    QTest::addColumn<bool>("sharp");   // ... still shown sharply by what is kept

    const QSize photo(4000, 3000);
    QTest::newRow("photo on a page, 1/8") << photo << QSize(236, 130) << 1.0 << 8 << QSize(500, 375)
                                          << QSize(290, 160) << true;
    QTest::newRow("same on a 2x screen, 1/4") << photo << QSize(236, 130) << 2.0 << 4
                                              << QSize(1000, 750) << QSize(520, 130) << false;
    QTest::newRow("thumbnail: 1/8, then halved on") << photo << QSize(40, 30) << 1.0 << 8
                                                    << QSize(125, 94) << QSize(60, 40) << true;
    QTest::newRow("stretched tall, the height decides")
        << photo << QSize(100, 400) << 1.0 << 2 << QSize(2000, 1500) << QSize(100, 900) << true;
    QTest::newRow("exactly half with headroom") << QSize(1000, 800) << QSize(250, 200) << 1.0 << 2
                                                << QSize(500, 400) << QSize(501, 200) << false;
    QTest::newRow("odd side rounds up") << QSize(1001, 801) << QSize(250, 200) << 1.0 << 2
                                        << QSize(501, 401) << QSize(500, 400) << true;
    QTest::newRow("grown a row taller than kept") << photo << QSize(236, 130) << 1.0 << 8 << QSize(500, 375) << QSize(500, 376) << false;
    QTest::newRow("shown beyond the picture: whole")
        << QSize(400, 300) << QSize(600, 450) << 1.0 << 1 << QSize(400, 300) << QSize(9000, 9000)
        << true;
}

void TestFastPaths::keptSizeRule()
{
    QFETCH(QSize, full);
    QFETCH(QSize, shown);
    QFETCH(qreal, dpr);
    QFETCH(int, denominator);
    QFETCH(QSize, kept);
    QFETCH(QSize, grown);
    QFETCH(bool, sharp);
    QCOMPARE(jpegScaleDenominator(full, neededPixels(shown, dpr)), denominator);
    QCOMPARE(keptSize(full, neededPixels(shown, dpr)), kept);
    QCOMPARE(showsSharply(kept, full, neededPixels(grown, dpr)), sharp);
}

namespace {

// What a control shows at `shown` when it keeps the whole picture: drawn on white, keyed
// on its bottom-left pixel, scaled smoothly.
QImage shownFromFullDecode(const QString& path, QSize shown)
{
    TPicture picture;
    picture.LoadFromFile(path);
    QImage full = bitmapOnWhite(picture);
    full = keyedOut(full, full.pixel(0, full.height() - 1));
    return full.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// What the page shows: the picture over its white background.
QImage onWhitePage(const QImage& shown)
{
    QImage page(shown.size(), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    p.drawImage(0, 0, shown);
    return page;
}

// A photo-like picture: shading, edges and grain.
QString writePhoto(const QString& path)
{
    QImage photo(1632, 1224, QImage::Format_RGB32);
    quint32 noise = 7;
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28) - 8;
            const int wave = int(90 * std::sin(x / 37.0) * std::cos(y / 39.0));
            const int edge = (x / 40 + y / 30) % 7 == 0 ? 40 : 0;
            photo.setPixel(x, y, qRgb(std::clamp(128 + wave + grain + edge, 0, 255),
                                      std::clamp(110 - wave / 2 + grain, 0, 255),
                                      std::clamp(90 + wave / 2 - grain, 0, 255)));
        }
    QImageWriter writer(path);
    writer.setQuality(90);
    return writer.write(photo) ? path : QString();
}

double psnr(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int shift : {0, 8, 16, 24}) {
                const double d = int((p >> shift) & 0xff) - int((q >> shift) & 0xff);
                sum += d * d;
            }
        }
    const double mse = sum / (4.0 * a.width() * a.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

} // namespace

void TestFastPaths::keptShownLikeFullDecode_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<bool>("flat");  // flat colours: the keyed areas must be the same

    const QString corpus = QStringLiteral(QUADRELA_CORPUS_DIR);
    static QTemporaryDir dir;
    const QString photo = writePhoto(dir.filePath(QStringLiteral("foto.jpg")));
    QTest::newRow("photo, jpeg 1/8 halved on") << photo << QSize(40, 30) << false;
    QTest::newRow("photo, jpeg 1/4") << photo << QSize(160, 120) << false;
    QTest::newRow("photo, jpeg 1/2") << photo << QSize(240, 180) << false;
    QTest::newRow("cmyk jpeg 1/4") << corpus + "/jpeg/valid/jpg-cmyk-2.jpg" << QSize(40, 30) << false;
    QTest::newRow("photo, icon") << corpus + "/ico/valid/hopper_256x256.ico" << QSize(40, 30) << false;
    QTest::newRow("drawing, 8-bit bmp") << corpus + "/bmpsuite/g/pal8.bmp" << QSize(20, 10) << true;
    QTest::newRow("clipart, icon") << corpus + "/ico/valid/smile.ico" << QSize(6, 6) << true;
    QTest::newRow("clipart, png") << corpus + "/pngsuite/basn3p08.png" << QSize(6, 6) << true;
}

void TestFastPaths::keptShownLikeFullDecode()
{
    QFETCH(QString, file);
    QFETCH(QSize, shown);
    QFETCH(bool, flat);

    TFocusImage control;
    control.setTransparent(true);
    control.setKeptPicture(loadKeptPicture(file, [shown](QSize) { return shown; }, 1.0, true), file);
    QVERIFY(control.bitmap().width() < control.pictureSize().width());
    const QImage ours = control.displayImage().scaled(shown, Qt::IgnoreAspectRatio,
                                                      Qt::SmoothTransformation);
    const QImage full = shownFromFullDecode(file, shown);
    if (!flat) {
        const double db = psnr(onWhitePage(ours), onWhitePage(full));
        QVERIFY2(db >= 40, qPrintable(QString::number(db)));
    }
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            QVERIFY(std::abs(qAlpha(ours.pixel(x, y)) - qAlpha(full.pixel(x, y))) < 128);
}

// A control grown beyond its kept picture reads the file again, off the window's thread.
void TestFastPaths::grownItemReadSharper()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("foto.jpg"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(encodedAs(pattern(QImage::Format_RGB32, 800, 600), "jpg"));
    file.close();
    TFocusImage control;
    control.setKeptPicture(loadKeptPicture(path, [](QSize) { return QSize(80, 60); }, 1.0, false),
                           path);
    control.resize(80, 60);
    control.show();
    QCOMPARE(control.bitmap().size(), QSize(200, 150));
    control.resize(190, 140);  // sharp still: nothing read
    QTest::qWait(50);
    QCOMPARE(control.bitmap().size(), QSize(200, 150));
    control.resize(240, 180);
    QTRY_COMPARE(control.bitmap().size(), QSize(800, 600));
    QCOMPARE(control.fullBitmap().size(), QSize(800, 600));
}

#include "tst_fastpaths.moc"