#include "codecs/metafile.h"
#include "codecs/picture.h"
#include "codecs/png.h"
#include "core/errors.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <zlib.h>

using namespace quadrela;

namespace {

const QString kCorpus = QStringLiteral(QUADRELA_CORPUS_DIR);

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Largest difference of any channel between two pictures of the same size, compared
// premultiplied so that the colour of (nearly) transparent pixels counts as little as it shows.
int maxChannelDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            worst = std::max(worst, std::abs(qAlpha(p[col]) - qAlpha(q[col])));
            if (qAlpha(p[col]) == 0 && qAlpha(q[col]) == 0)
                continue;
            worst = std::max({worst, std::abs(qRed(p[col]) - qRed(q[col])),
                              std::abs(qGreen(p[col]) - qGreen(q[col])),
                              std::abs(qBlue(p[col]) - qBlue(q[col]))});
        }
    }
    return worst;
}

// The rendering that a corpus folder offers for a file, and how far a correct decoder may
// differ from it: JPEG references come from another IDCT, the rest must match.
QString referenceFor(const QString& folder, const QString& file, int* tolerance)
{
    QString ref;
    if (folder == u"jpeg") {
        ref = QStringLiteral("reference/") + QFileInfo(file).completeBaseName() + ".png";
        *tolerance = 24;
    } else if (folder == u"ico") {
        ref = QStringLiteral("reference/") + QFileInfo(file).fileName() + ".png";
        *tolerance = 1;
    } else if (folder == u"bmpsuite" && file.startsWith(u"g/")) {
        ref = QStringLiteral("html/") + QFileInfo(file).completeBaseName() + ".png";
        // Qt widens 5-bit samples by shifting (31 -> 248), the reference by scaling (-> 255).
        *tolerance = file.startsWith(u"g/rgb16") ? 7 : 1;
    }
    return !ref.isEmpty() && QFileInfo::exists(kCorpus + "/" + folder + "/" + ref) ? ref : QString();
}

QByteArray pngChunk(const char* type, const QByteArray& data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    const QByteArray body = QByteArray(type, 4) + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(
        quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))),
        crc.data());
    return chunk + body + crc;
}

// A PNG whose header declares the given size, with a token of image data after it.
QByteArray pngDeclaring(quint32 width, quint32 height)
{
    QByteArray ihdr(13, '\0');
    qToBigEndian<quint32>(width, ihdr.data());
    qToBigEndian<quint32>(height, ihdr.data() + 4);
    ihdr[8] = 8; // bit depth
    ihdr[9] = 2; // RGB
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) +
           pngChunk("IDAT", QByteArray::fromHex("789c030000000001")) + pngChunk("IEND", {});
}

// The number of palette entries in a PNG file's PLTE chunk.
int plteEntries(const QByteArray& png)
{
    qsizetype pos = 8;
    while (pos + 8 <= png.size()) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + pos);
        if (png.mid(pos + 4, 4) == "PLTE")
            return int(length / 3);
        pos += 12 + length;
    }
    return 0;
}

QString expectedMessage(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& e) {
        return e.message();
    }
    return QString();
}

} // namespace

class TestCodecs : public QObject
{
    Q_OBJECT
private slots:
    void corpus_data();
    void corpus();
    void pngMatchesQtReader_data();
    void pngMatchesQtReader();
    void png16BitTransparentColor_data();
    void png16BitTransparentColor();
    void pngRoundTripWithTransparentWhite_data();
    void pngRoundTripWithTransparentWhite();
    void pngAlphaRefusesTransparentColor_data();
    void pngAlphaRefusesTransparentColor();
    void pngPaletteKept_data();
    void pngPaletteKept();
    void saveWritesBytesAsRead_data();
    void saveWritesBytesAsRead();
    void unknownExtension_data();
    void unknownExtension();
    void extensionAnyCase_data();
    void extensionAnyCase();
    void oversizedPictureRefused_data();
    void oversizedPictureRefused();
    void metafileFrameAt96Dpi_data();
    void metafileFrameAt96Dpi();
    void failedLoadKeepsPicture();
    void wmfNeedsItsFonts_data();
    void wmfNeedsItsFonts();
    void cliDecode_data();
    void cliDecode();
};

void TestCodecs::corpus_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expect");
    for (const QString folder : {"pngsuite", "jpeg", "bmpsuite", "ico", "wmf_emf"}) {
        const QList<QByteArray> lines = readAll(kCorpus + "/" + folder + "/MANIFEST.tsv").split('\n');
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QList<QByteArray> cols = lines[i].split('\t');
            if (cols.size() < 7 || cols[6] == "reference" || cols[0].endsWith(".txt"))
                continue;
            const QString file = QString::fromUtf8(cols[0]);
            QTest::addRow("%s/%s", qPrintable(folder), qPrintable(file))
                << folder << file << QString::fromUtf8(cols[6]);
        }
    }
}

void TestCodecs::corpus()
{
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QFETCH(QString, expect);
    const QString path = kCorpus + "/" + folder + "/" + file;

    TPicture picture;
    QString error;
    try {
        picture.LoadFromFile(path);
    } catch (const Error& e) {
        error = e.message();
        QVERIFY2(!error.trimmed().isEmpty(), "a failure must carry a message");
    }

    const bool mustLoad = expect == u"decode" || expect == u"render";
    if (expect == u"fail") {
        QVERIFY2(!error.isEmpty(), "a damaged file was accepted");
        return;
    }
    if (mustLoad) {
        QEXPECT_FAIL("wmf_emf/wmf/valid/test_libuemf_ref.wmf",
                     "libwmf rejects some of the record types this file exercises", Abort);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    if (!error.isEmpty())
        return; // an acceptable refusal

    QVERIFY(!picture.isEmpty());
    QVERIFY(picture.width() > 0 && picture.height() > 0);
    const QImage image = picture.toImage();
    QCOMPARE(image.size(), QSize(picture.width(), picture.height()));
    QVERIFY(image.format() == QImage::Format_ARGB32_Premultiplied ||
            image.format() == QImage::Format_ARGB32);

    int tolerance = 0;
    const QString ref = referenceFor(folder, file, &tolerance);
    if (mustLoad && !ref.isEmpty()) {
        const QImage expected(kCorpus + "/" + folder + "/" + ref);
        QVERIFY(!expected.isNull());
        QCOMPARE(image.size(), expected.size());
        const int difference = maxChannelDifference(image, expected);
        QVERIFY2(difference <= tolerance, qPrintable(QStringLiteral("differs by %1").arg(difference)));
    }
}

// Qt's own PNG reader, which applies no gamma either, is an independent check of every
// colour type, bit depth, interlacing and tRNS variant in the suite. Qt 6.4 misplaces the
// transparency of 16-bit colour pictures with a transparent colour; those two files are
// checked against their known shape in png16BitTransparentColor instead.
void TestCodecs::pngMatchesQtReader_data()
{
    QTest::addColumn<QString>("file");
    const QList<QByteArray> lines = readAll(kCorpus + "/pngsuite/MANIFEST.tsv").split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> cols = line.split('\t');
        if (cols.size() >= 7 && cols[6] == "decode" && cols[0] != "tbbn2c16.png" &&
            cols[0] != "tbgn2c16.png")
            QTest::newRow(cols[0].constData()) << QString::fromUtf8(cols[0]);
    }
}

void TestCodecs::pngMatchesQtReader()
{
    QFETCH(QString, file);
    const QString path = kCorpus + "/pngsuite/" + file;
    TPNGObject png;
    png.LoadFromFile(path);
    QImageReader reader(path, "png");
    const QImage expected = reader.read();
    QVERIFY(!expected.isNull());
    QCOMPARE(png.toImage().size(), expected.size());
    // 16-bit samples are cut to 8 bits here and rounded there.
    const int tolerance = png.bitDepth() == 16 ? 1 : 0;
    const int difference = maxChannelDifference(png.toImage(), expected);
    QVERIFY2(difference <= tolerance, qPrintable(QStringLiteral("differs by %1").arg(difference)));
}

void TestCodecs::png16BitTransparentColor_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("black background") << "tbbn2c16.png";
    QTest::newRow("grey background") << "tbgn2c16.png";
}

// The transparent colour of a 16-bit picture is matched on all 16 bits: the corners are the
// transparent white, the middle is opaque although its 8-bit values may equal it.
void TestCodecs::png16BitTransparentColor()
{
    QFETCH(QString, file);
    TPNGObject png;
    png.LoadFromFile(kCorpus + "/pngsuite/" + file);
    QCOMPARE(png.colorType(), TPNGObject::kColorRgb);
    QCOMPARE(png.bitDepth(), 16);
    QCOMPARE(png.transparentColor(), std::optional<QRgb>(qRgb(255, 255, 255)));
    const QImage image = png.toImage();
    int transparent = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            transparent += qAlpha(image.pixel(x, y)) == 0;
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(31, 31)), 0);
    QCOMPARE(qAlpha(image.pixel(16, 16)), 255);
    QVERIFY(transparent > 100 && transparent < 900);
}

void TestCodecs::pngRoundTripWithTransparentWhite_data()
{
    QTest::addColumn<QImage>("bitmap");
    QTest::addColumn<int>("colorType");

    QImage rgb(17, 5, QImage::Format_RGB32);
    rgb.fill(Qt::white);
    rgb.setPixel(3, 2, qRgb(10, 20, 30));
    rgb.setPixel(4, 2, qRgb(254, 255, 255)); // almost white stays opaque
    QTest::newRow("RGB32 (rendered text)") << rgb << TPNGObject::kColorRgb;
    QTest::newRow("RGB888") << rgb.convertToFormat(QImage::Format_RGB888) << TPNGObject::kColorRgb;

    QImage indexed(9, 3, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 0, 255)});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x)
            indexed.setPixel(x, y, uint((x + y) % 3));
    QTest::newRow("Indexed8") << indexed << TPNGObject::kColorPalette;

    QImage grey(6, 6, QImage::Format_Grayscale8);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            grey.scanLine(y)[x] = uchar(x == y ? 255 : x * 40);
    QTest::newRow("Grayscale8") << grey << TPNGObject::kColorGray;
}

void TestCodecs::pngRoundTripWithTransparentWhite()
{
    QFETCH(QImage, bitmap);
    QFETCH(int, colorType);
    QTemporaryDir dir;
    const QString path = dir.filePath("temp.png");

    TPNGObject written = TPNGObject::fromBitmap(bitmap);
    written.setTransparentColor(qRgb(255, 255, 255));
    written.SaveToFile(path);

    TPNGObject read;
    read.LoadFromFile(path);
    QCOMPARE(read.colorType(), colorType);
    QCOMPARE(read.width(), bitmap.width());
    QCOMPARE(read.height(), bitmap.height());
    QVERIFY(read.transparentColor().has_value());
    QCOMPARE(*read.transparentColor(), qRgb(255, 255, 255));

    const QImage image = read.toImage();
    const QImage source = bitmap.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) {
            const QRgb original = source.pixel(x, y);
            const QRgb drawn = image.pixel(x, y);
            if (original == qRgb(255, 255, 255))
                QCOMPARE(qAlpha(drawn), 0);
            else
                QCOMPARE(drawn, original);
            QCOMPARE(read.toBitmap().pixel(x, y) | 0xff000000, original);
        }
}

void TestCodecs::pngAlphaRefusesTransparentColor_data()
{
    QTest::addColumn<QString>("file"); // empty: built from an ARGB32 bitmap
    QTest::newRow("RGBA from bitmap") << QString();
    QTest::newRow("RGBA file") << "basn6a08.png";
    QTest::newRow("grey+alpha file") << "basn4a08.png";
}

void TestCodecs::pngAlphaRefusesTransparentColor()
{
    QFETCH(QString, file);
    TPNGObject png;
    if (file.isEmpty()) {
        QImage argb(4, 4, QImage::Format_ARGB32);
        argb.fill(qRgba(1, 2, 3, 128));
        png = TPNGObject::fromBitmap(argb);
    } else {
        png.LoadFromFile(kCorpus + "/pngsuite/" + file);
    }
    QVERIFY(png.hasAlphaChannel());
    const QString message = expectedMessage([&] { png.setTransparentColor(qRgb(255, 255, 255)); });
    QCOMPARE(message, pngAlphaTransparencyRefused().message());
    QVERIFY(message.contains("COLOR_RGBALPHA and COLOR_GRAYSCALEALPHA"));
    QVERIFY(!png.transparentColor().has_value());
}

void TestCodecs::pngPaletteKept_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("bitDepth");
    QTest::newRow("1 bit") << "basn3p01.png" << 1;
    QTest::newRow("2 bits, interlaced") << "basi3p02.png" << 2;
    QTest::newRow("4 bits") << "basn3p04.png" << 4;
    QTest::newRow("8 bits") << "basn3p08.png" << 8;
    QTest::newRow("4 bits, interlaced") << "basi3p04.png" << 4;
}

void TestCodecs::pngPaletteKept()
{
    QFETCH(QString, file);
    QFETCH(int, bitDepth);
    const QString path = kCorpus + "/pngsuite/" + file;
    TPNGObject png;
    png.LoadFromFile(path);
    QCOMPARE(png.bitDepth(), bitDepth);
    QCOMPARE(png.colorType(), TPNGObject::kColorPalette);

    const QImage bitmap = png.toBitmap();
    QCOMPARE(bitmap.format(), QImage::Format_Indexed8);
    QCOMPARE(bitmap.colorCount(), plteEntries(readAll(path)));
    const QImage expected(path);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) {
            QVERIFY(bitmap.pixelIndex(x, y) < bitmap.colorCount());
            QCOMPARE(bitmap.pixel(x, y), expected.pixel(x, y));
        }
}

void TestCodecs::saveWritesBytesAsRead_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("JPEG") << "jpeg/valid/testorig.jpg";
    QTest::newRow("CMYK JPEG") << "jpeg/valid/jpg-cmyk-2.jpg";
    QTest::newRow("PNG") << "pngsuite/basn3p04.png";
    QTest::newRow("BMP") << "bmpsuite/g/rgb24.bmp";
    QTest::newRow("ICO") << "ico/valid/smile.ico";
    QTest::newRow("WMF") << "wmf_emf/wmf/valid/arrow01.wmf";
}

void TestCodecs::saveWritesBytesAsRead()
{
    QFETCH(QString, file);
    QTemporaryDir dir;
    const QString source = kCorpus + "/" + file;
    const QString copy = dir.filePath("copy." + QFileInfo(file).suffix());
    TPicture picture;
    picture.LoadFromFile(source);
    picture.SaveToFile(copy);
    QCOMPARE(readAll(copy), readAll(source));
    if (picture.png()) {
        const QString pngCopy = dir.filePath("png-copy.png");
        picture.png()->SaveToFile(pngCopy);
        QCOMPARE(readAll(pngCopy), readAll(source));
    }
}

void TestCodecs::unknownExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("gif") << "picture.gif" << "Unknown picture file extension (.gif)";
    QTest::newRow("as written") << "PICTURE.Tiff" << "Unknown picture file extension (.Tiff)";
    QTest::newRow("cursor") << "arrow.cur" << "Unknown picture file extension (.cur)";
    QTest::newRow("no extension") << "picture" << "Unknown picture file extension (.)";
    QTest::newRow("dot in folder only") << "my.pictures/photo" << "Unknown picture file extension (.)";
}

void TestCodecs::unknownExtension()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeAll(path, readAll(kCorpus + "/pngsuite/basn2c08.png"));
    TPicture picture;
    QCOMPARE(expectedMessage([&] { picture.LoadFromFile(path); }), message);
    QVERIFY(picture.isEmpty());
}

void TestCodecs::extensionAnyCase_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<PictureFormat>("format");
    QTest::newRow("PNG") << "pngsuite/basn2c08.png" << "PNG" << PictureFormat::Png;
    QTest::newRow("Png") << "pngsuite/basn2c08.png" << "Png" << PictureFormat::Png;
    QTest::newRow("JPEG") << "jpeg/valid/testorig.jpg" << "JPEG" << PictureFormat::Jpeg;
    QTest::newRow("jPg") << "jpeg/valid/testorig.jpg" << "jPg" << PictureFormat::Jpeg;
    QTest::newRow("BMP") << "bmpsuite/g/pal8.bmp" << "BMP" << PictureFormat::Bmp;
    QTest::newRow("Ico") << "ico/valid/smile.ico" << "Ico" << PictureFormat::Ico;
    QTest::newRow("WMF") << "wmf_emf/wmf/valid/arrow01.wmf" << "WMF" << PictureFormat::Wmf;
    QTest::newRow("Emf") << "wmf_emf/emf/valid/drawing.emf" << "Emf" << PictureFormat::Emf;
}

void TestCodecs::extensionAnyCase()
{
    QFETCH(QString, source);
    QFETCH(QString, extension);
    QFETCH(PictureFormat, format);
    QTemporaryDir dir;
    const QString path = dir.filePath("picture.name." + extension);
    writeAll(path, readAll(kCorpus + "/" + source));
    TPicture picture;
    picture.LoadFromFile(path);
    QCOMPARE(picture.format(), format);
    QCOMPARE(picture.png() != nullptr, format == PictureFormat::Png);
    QVERIFY(picture.width() > 0);
}

void TestCodecs::oversizedPictureRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("PNG wider than a side may be") << "wide.png" << pngDeclaring(30001, 10);
    QTest::newRow("PNG with too many pixels") << "big.png" << pngDeclaring(20000, 20000);
    QTest::newRow("PNG just over the pixel bound") << "over.png" << pngDeclaring(8001, 8000);

    // A real JPEG whose frame header is changed to claim 40000 x 40000.
    QByteArray jpeg = readAll(kCorpus + "/jpeg/valid/testorig.jpg");
    const qsizetype sof = jpeg.indexOf("\xff\xc0");
    qToBigEndian<quint16>(40000, jpeg.data() + sof + 5);
    qToBigEndian<quint16>(40000, jpeg.data() + sof + 7);
    QTest::newRow("JPEG") << "big.jpg" << jpeg;

    // A BMP header claiming 40000 x 40000 at 24 bits, with a few bytes of pixels.
    QByteArray bmp(54 + 64, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<quint32>(quint32(bmp.size()), bmp.data() + 2);
    qToLittleEndian<quint32>(54, bmp.data() + 10);
    qToLittleEndian<quint32>(40, bmp.data() + 14);
    qToLittleEndian<qint32>(40000, bmp.data() + 18);
    qToLittleEndian<qint32>(40000, bmp.data() + 22);
    qToLittleEndian<quint16>(1, bmp.data() + 26);
    qToLittleEndian<quint16>(24, bmp.data() + 28);
    QTest::newRow("BMP") << "big.bmp" << bmp;
}

void TestCodecs::oversizedPictureRefused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    writeAll(path, bytes);
    TPicture picture;
    const QString message = expectedMessage([&] { picture.LoadFromFile(path); });
    QVERIFY2(message.startsWith("Imagem grande demais"), qPrintable(message));
}

void TestCodecs::metafileFrameAt96Dpi_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("fillsFrame");
    // EMF frames in 0.01 mm: 2899 -> 109.6 px; 29699 x 20999 -> 1122.5 (even: 1122) x 793.7.
    QTest::newRow("EMF") << "emf/valid/drawing.emf" << QSize(110, 110) << false;
    QTest::newRow("EMF, negative frame") << "emf/valid/test_mm_lometric_ref.emf" << QSize(1122, 794)
                                         << true;
    // Placeable WMF: bounding box in units per inch.
    QTest::newRow("placeable WMF") << "wmf/valid/drawing.wmf" << QSize(110, 110) << false;
}

void TestCodecs::metafileFrameAt96Dpi()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(bool, fillsFrame);
    TPicture picture;
    picture.LoadFromFile(kCorpus + "/wmf_emf/" + file);
    QCOMPARE(QSize(picture.width(), picture.height()), size);

    // Drawn on a transparent background: some pixels are painted, the rest stay clear.
    const QImage image = picture.toImage();
    QCOMPARE(image.size(), size);
    if (fillsFrame)
        return;
    int clear = 0, painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            (qAlpha(image.pixel(x, y)) == 0 ? clear : painted)++;
    QVERIFY(clear > 0);
    QVERIFY(painted > 0);
}

void TestCodecs::failedLoadKeepsPicture()
{
    TPicture picture;
    picture.LoadFromFile(kCorpus + "/pngsuite/basn2c08.png");
    const QString error =
        expectedMessage([&] { picture.LoadFromFile(kCorpus + "/pngsuite/xcsn0g01.png"); });
    QVERIFY(!error.isEmpty());
    QCOMPARE(picture.format(), PictureFormat::Png);
    QCOMPARE(picture.width(), 32);
    QCOMPARE(picture.data(), readAll(kCorpus + "/pngsuite/basn2c08.png"));
}

void TestCodecs::wmfNeedsItsFonts_data()
{
    QTest::addColumn<QString>("fontFolder"); // empty: where the package installs them
    QTest::newRow("installed fonts") << QString();
    QTest::newRow("empty font folder") << ".";
    QTest::newRow("no font folder") << "nenhuma";
}

void TestCodecs::wmfNeedsItsFonts()
{
    QFETCH(QString, fontFolder);
    QTemporaryDir dir;
    const QByteArray wmf = readAll(kCorpus + "/wmf_emf/wmf/valid/arrow01.wmf");
    const QString message = expectedMessage([&] {
        convertWmf(wmf, fontFolder.isEmpty() ? wmfFontFolder() : dir.filePath(fontFolder));
    });
    QVERIFY2(message.contains("fonts-urw-base35") != fontFolder.isEmpty(), qPrintable(message));
    QVERIFY2(message.isEmpty() == fontFolder.isEmpty(), qPrintable(message));
}

void TestCodecs::cliDecode_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrStart");
    QTest::newRow("icon with mask") << QStringList{"ico/valid/bmp-24bpp-mask.ico"} << 0 << "";
    QTest::newRow("metafile") << QStringList{"wmf_emf/emf/valid/drawing.emf"} << 0 << "";
    QTest::newRow("damaged") << QStringList{"pngsuite/xcsn0g01.png"} << 1 << "Imagem PNG inválida";
    QTest::newRow("JPEG cut short") << QStringList{"jpeg/broken/truncated_jpeg.jpg"} << 0 << "";
    QTest::newRow("unknown extension")
        << QStringList{"jpeg/README.ijg"} << 1 << "Unknown picture file extension (.ijg)";
    QTest::newRow("missing output") << QStringList{} << 2 << "usage";
}

void TestCodecs::cliDecode()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrStart);
    QTemporaryDir dir;
    const QString out = dir.filePath("out.png");
    QStringList arguments{"decode"};
    if (!args.isEmpty())
        arguments << kCorpus + "/" + args.first() << out;
    QProcess cli;
    cli.start(QStringLiteral(QUADRELA_CLI), arguments);
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), exitCode);
    // Only the program's own message: Qt's diagnostics about the environment are not ours.
    QStringList lines = QString::fromUtf8(cli.readAllStandardError()).split('\n');
    lines.removeIf([](const QString& l) { return l.startsWith("QStandardPaths:"); });
    const QString err = lines.join('\n');
    if (exitCode != 0) {
        QVERIFY2(err.startsWith(stderrStart), qPrintable(err));
        QVERIFY(err.endsWith('\n'));
        QVERIFY(!QFileInfo::exists(out));
        return;
    }
    TPicture source;
    source.LoadFromFile(kCorpus + "/" + args.first());
    TPNGObject written;
    written.LoadFromFile(out);
    QVERIFY(written.hasAlphaChannel());
    QCOMPARE(maxChannelDifference(written.toImage(), source.toImage()), 0);
}

QTEST_MAIN(TestCodecs)
#include "tst_codecs.moc"
