// The cliparts and borders shipped in the data folder, read back with the program's own
// codecs and catalogue readers, and the generator that renders them from their drawings.
#include "catalogue/catalogue.h"
#include "codecs/picture.h"
#include "core/errors.h"
#include "core/textfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>

using namespace quadrela;

namespace {

const QString kData = QStringLiteral(QUADRELA_BUILT_DATA);
const QString kArtgen = QStringLiteral(QUADRELA_ARTGEN);

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Loads with the program's picture holder; a codec failure fails the calling test.
QImage decoded(const QString& path)
{
    TPicture picture;
    try {
        picture.LoadFromFile(path);
    } catch (const Error& e) {
        qWarning("%s: %s", qPrintable(path), qPrintable(e.message()));
        return {};
    }
    return picture.toImage();
}

int alphaAt(const QImage& image, double fx, double fy)
{
    const int x = std::clamp(int(fx * (image.width() - 1)), 0, image.width() - 1);
    const int y = std::clamp(int(fy * (image.height() - 1)), 0, image.height() - 1);
    return qAlpha(image.pixel(x, y));
}

bool hasOpaquePixelInBand(const QImage& image, int band)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool inBand =
                x < band || y < band || x >= image.width() - band || y >= image.height() - band;
            if (inBand && qAlpha(image.pixel(x, y)) == 255)
                return true;
        }
    return false;
}

bool fullyOpaque(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 255)
                return false;
    return true;
}

// The bits per pixel field of a BMP's info header.
int bmpBitCount(const QByteArray& bytes)
{
    if (bytes.size() < 30 || !bytes.startsWith("BM"))
        return -1;
    return qFromLittleEndian<quint16>(bytes.constData() + 28);
}

// Ordinary string literals: moc does not read raw ones.
const QByteArray kDrawing =
    "<svg xmlns='http://www.w3.org/2000/svg' version='1.2' baseProfile='tiny' width='100' "
    "height='100' viewBox='0 0 100 100'><circle cx='50' cy='50' r='30' fill='#1f7a8c'/></svg>";

const QByteArray kBrokenReference =
    "<svg xmlns='http://www.w3.org/2000/svg' version='1.2' baseProfile='tiny' width='100' "
    "height='100' viewBox='0 0 100 100'><circle cx='50' cy='50' r='30' "
    "fill='url(#missing)'/></svg>";

struct Run
{
    int exitCode = -1;
    QByteArray errors;
};

Run artgen(const QStringList& arguments)
{
    QProcess process;
    process.start(kArtgen, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardError()};
}

} // namespace

class TestShippedArt : public QObject
{
    Q_OBJECT

private slots:
    void clipartCollection();
    void cliparts_data();
    void cliparts();
    void borderList();
    void borders_data();
    void borders();
    void generatorOutput_data();
    void generatorOutput();
    void generatorRefuses_data();
    void generatorRefuses();
};

void TestShippedArt::clipartCollection()
{
    const QStringList files = filesIn(kData + "cliparts");
    QVERIFY2(files.size() >= 40, qPrintable(QString::number(files.size())));
    QSet<QString> extensions;
    for (const QString& file : files)
        extensions.insert(pictureExtension(file).toLower());
    // The picture dialog opens on this folder: every format it reads should show up there.
    for (const char* ext : {"png", "jpg", "bmp"})
        QVERIFY2(extensions.contains(QLatin1String(ext)), ext);
}

void TestShippedArt::cliparts_data()
{
    QTest::addColumn<QString>("file");
    for (const QString& file : filesIn(kData + "cliparts"))
        QTest::newRow(qPrintable(file)) << file;
}

void TestShippedArt::cliparts()
{
    QFETCH(QString, file);
    // Names must survive archives made on other systems and the record files' code page.
    static const QRegularExpression plain(QStringLiteral("^[a-z0-9-]+\\.(png|jpg|bmp)$"));
    QVERIFY2(plain.match(file).hasMatch(), qPrintable(file));

    const QString path = kData + "cliparts/" + file;
    const QImage image = decoded(path);
    QVERIFY(!image.isNull());
    const int longSide = std::max(image.width(), image.height());
    QVERIFY2(longSide >= 500 && longSide <= 1000, qPrintable(QString::number(longSide)));

    switch (formatForExtension(pictureExtension(file))) {
    case PictureFormat::Png:
        // Placed over other items, a clipart must not bring a box of background with it.
        QCOMPARE(alphaAt(image, 0, 0), 0);
        QCOMPARE(alphaAt(image, 1, 1), 0);
        QVERIFY(!fullyOpaque(image));
        QVERIFY(hasOpaquePixelInBand(image, image.width() / 2));
        break;
    case PictureFormat::Bmp:
        QCOMPARE(bmpBitCount(readAll(path)), 24);
        QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 255));
        break;
    case PictureFormat::Jpeg:
        QVERIFY(fullyOpaque(image));
        break;
    default:
        QFAIL("unexpected format");
    }
}

void TestShippedArt::borderList()
{
    const QString listPath = borderListPath(kData);
    const QByteArray raw = readAll(listPath);
    QVERIFY(!raw.isEmpty());
    // Line ends are CR LF throughout, and the text is plain Windows-1252.
    QVERIFY(raw.endsWith("\r\n"));
    QCOMPARE(raw.count('\n'), raw.count("\r\n"));
    QCOMPARE(raw.count('\r'), raw.count("\r\n"));
    QVERIFY(!raw.contains("\xc3")); // UTF-8 written by mistake starts its accents with C3

    const QStringList lines = borderListLines(readCp1252File(listPath));
    const QStringList previews = borderPreviewFiles(borderPreviewFolder(kData));
    QVERIFY2(lines.size() >= 12, qPrintable(QString::number(lines.size())));
    // One name per preview: extra names would be dropped, extra previews never offered.
    QCOMPARE(lines.size(), previews.size());
    QCOMPARE(offeredBorderNames(lines, int(previews.size())), lines);
    for (const QString& name : lines)
        QVERIFY(!name.trimmed().isEmpty());
    QVERIFY(lines.contains(QStringLiteral("Aniversário (meia página)")));
}

void TestShippedArt::borders_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");
    const QStringList lines = borderListLines(readCp1252File(borderListPath(kData)));
    const QStringList previews = borderPreviewFiles(borderPreviewFolder(kData));
    for (qsizetype i = 0; i < previews.size(); ++i)
        QTest::newRow(qPrintable(previews.at(i)))
            << previews.at(i) << (i < lines.size() ? lines.at(i) : QString());
}

void TestShippedArt::borders()
{
    QFETCH(QString, file);
    QFETCH(QString, name);

    const QImage preview = decoded(borderPreviewFolder(kData) + file);
    QVERIFY(!preview.isNull());
    // The dialog draws a new preview over the old one without clearing it first.
    QVERIFY(fullyOpaque(preview));
    QVERIFY(preview.width() <= 400 && preview.height() <= 400);

    const QString picturePath = borderPictureFolder(kData) + file;
    QVERIFY2(QFileInfo(picturePath).isFile(), qPrintable(picturePath));
    const QImage border = decoded(picturePath);
    QVERIFY(!border.isNull());
    // The page and the items behind show through the middle; the frame itself is solid.
    QCOMPARE(alphaAt(border, 0.5, 0.5), 0);
    QCOMPARE(alphaAt(border, 0.3, 0.4), 0);
    QVERIFY(hasOpaquePixelInBand(border, border.width() / 20));

    // The name says which page the border is for; its shape and size must agree, since the
    // border is stretched over that page and printed at the printer's resolution.
    struct Page
    {
        const char* suffix;
        double width, height;
        int minWidth;
    };
    const Page pages[] = {{"(página inteira)", 496, 702, 1650},
                          {"(meia página)", 270, 382, 1200},
                          {"(cartão de visita)", 380, 217, 1800}};
    const Page* page = nullptr;
    for (const Page& p : pages)
        if (name.endsWith(QString::fromUtf8(p.suffix)))
            page = &p;
    QVERIFY2(page, qPrintable(name));
    QVERIFY2(border.width() >= page->minWidth, qPrintable(QString::number(border.width())));
    const double aspect = double(border.width()) / border.height();
    QVERIFY2(std::abs(aspect / (page->width / page->height) - 1.0) < 0.01,
             qPrintable(QString::number(aspect)));
}

void TestShippedArt::generatorOutput_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<int>("cornerAlpha");
    QTest::addColumn<QRgb>("cornerColour");
    QTest::addColumn<int>("bmpBits");
    QTest::addColumn<int>("tolerance"); // JPEG's chroma subsampling shifts colours a little

    QTest::newRow("png keeps transparency") << "o.png" << QStringList() << 0 << QRgb(0) << -1 << 0;
    QTest::newRow("png on a background") << "o.png" << QStringList{"--background", "#336699"} << 255
                                         << qRgb(0x33, 0x66, 0x99) << -1 << 0;
    QTest::newRow("bmp is 24-bit on white")
        << "o.bmp" << QStringList() << 255 << qRgb(255, 255, 255) << 24 << 0;
    QTest::newRow("bmp on a background")
        << "o.BMP" << QStringList{"--background", "#ff0000"} << 255 << qRgb(255, 0, 0) << 24 << 0;
    QTest::newRow("jpeg on white")
        << "o.jpg" << QStringList() << 255 << qRgb(255, 255, 255) << -1 << 16;
    QTest::newRow("jpeg extension")
        << "o.jpeg" << QStringList{"--background", "#00ff00"} << 255 << qRgb(0, 255, 0) << -1 << 16;
}

void TestShippedArt::generatorOutput()
{
    QFETCH(QString, output);
    QFETCH(QStringList, extra);
    QFETCH(int, cornerAlpha);
    QFETCH(QRgb, cornerColour);
    QFETCH(int, bmpBits);
    QFETCH(int, tolerance);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString svg = dir.filePath("d.svg");
    QVERIFY(writeAll(svg, kDrawing));
    const QString out = dir.filePath(output);
    const Run run = artgen(QStringList{svg, out, "40", "30"} + extra);
    QVERIFY2(run.exitCode == 0, run.errors.constData());

    const QImage image = decoded(out);
    QCOMPARE(image.size(), QSize(40, 30)); // stretched to exactly the size asked for
    const QRgb corner = image.pixel(0, 0);
    QCOMPARE(qAlpha(corner), cornerAlpha);
    if (cornerAlpha == 255) {
        QVERIFY(std::abs(qRed(corner) - qRed(cornerColour)) <= tolerance);
        QVERIFY(std::abs(qGreen(corner) - qGreen(cornerColour)) <= tolerance);
        QVERIFY(std::abs(qBlue(corner) - qBlue(cornerColour)) <= tolerance);
    }
    // The drawing itself is there, in its colour, in the middle.
    const QRgb middle = image.pixel(20, 15);
    QCOMPARE(qAlpha(middle), 255);
    QVERIFY(std::abs(qRed(middle) - 0x1f) <= tolerance + 1 &&
            std::abs(qGreen(middle) - 0x7a) <= tolerance + 1 &&
            std::abs(qBlue(middle) - 0x8c) <= tolerance + 1);
    if (bmpBits > 0)
        QCOMPARE(bmpBitCount(readAll(out)), bmpBits);
}

void TestShippedArt::generatorRefuses_data()
{
    QTest::addColumn<QByteArray>("drawing");
    QTest::addColumn<QStringList>("arguments"); // IN and OUT are prepended
    QTest::addColumn<int>("exitCode");

    QTest::newRow("zero width") << kDrawing << QStringList{"0", "10"} << 2;
    QTest::newRow("signed size") << kDrawing << QStringList{"+10", "10"} << 2;
    QTest::newRow("huge size") << kDrawing << QStringList{"100000", "10"} << 2;
    QTest::newRow("size not a number") << kDrawing << QStringList{"ten", "10"} << 2;
    QTest::newRow("missing height") << kDrawing << QStringList{"10"} << 2;
    QTest::newRow("background by name")
        << kDrawing << QStringList{"10", "10", "--background", "red"} << 2;
    QTest::newRow("background without value")
        << kDrawing << QStringList{"10", "10", "--background"} << 2;
    QTest::newRow("unknown option") << kDrawing << QStringList{"10", "10", "--bg", "#ffffff"} << 2;
    QTest::newRow("not svg") << QByteArray("not a drawing") << QStringList{"10", "10"} << 1;
    QTest::newRow("renderer warning") << kBrokenReference << QStringList{"10", "10"} << 1;
}

void TestShippedArt::generatorRefuses()
{
    QFETCH(QByteArray, drawing);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString svg = dir.filePath("d.svg");
    QVERIFY(writeAll(svg, drawing));
    // A failed run leaves an earlier picture as it was: the build must not take a damaged
    // or stale file for a fresh one, nor lose the old one.
    const QString out = dir.filePath("o.png");
    QVERIFY(writeAll(out, "earlier"));
    const Run run = artgen(QStringList{svg, out} + arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(!run.errors.isEmpty());
    QCOMPARE(readAll(out), QByteArray("earlier"));
}

QTEST_GUILESS_MAIN(TestShippedArt)
#include "tst_shipped_art.moc"
