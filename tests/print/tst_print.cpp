// Printing checked on real output: projects are printed to PDF files, which pdftoppm turns
// back into pixels, and the tests look where the pictures landed.
#include "printfixture.h"

#include "core/convert.h"
#include "imaging/picload.h"
#include "imaging/textrender.h"
#include "print/cardstock.h"
#include "print/composition.h"
#include "print/exportimage.h"
#include "print/dialogpaper.h"
#include "print/mergecommand.h"
#include "print/paper.h"
#include "print/placement.h"
#include "print/printcommand.h"
#include "print/printeroffsets.h"
#include "print/printsheet.h"
#include "storage/records.h"
#include "zip/archive.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QSettings>
#include <QUrl>
#include <QPrinter>
#include <QProgressDialog>
#include <QProcess>
#include <QRandomGenerator>
#include <QImageReader>
#include <QRegularExpression>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>

using namespace quadrela;
using namespace quadrela::test;

Q_DECLARE_METATYPE(std::optional<ItemPlacement>)
Q_DECLARE_METATYPE(PrintOffset)

namespace {

// Colour at a point of the sheet given in 600-dpi device pixels, read from a raster made
// at a lower resolution.
QRgb sheetPixel(const QImage& raster, int dpi, QPoint at600)
{
    return raster.pixel(at600.x() * dpi / 600, at600.y() * dpi / 600);
}

QPoint pointIn(const QRect& r, double fx, double fy)
{
    return QPoint(r.x() + int(r.width() * fx), r.y() + int(r.height() * fy));
}

using Runs = QList<QPair<int, int>>;
using IntPair = QPair<int, int>;

bool nearlyEqual(const Runs& got, const Runs& expected)
{
    if (got.size() != expected.size())
        return false;
    for (qsizetype i = 0; i < got.size(); ++i)
        if (std::abs(got[i].first - expected[i].first) > 1 ||
            std::abs(got[i].second - expected[i].second) > 1)
            return false;
    return true;
}

QByteArray describe(const Runs& runs)
{
    QStringList parts;
    for (const auto& r : runs)
        parts << QStringLiteral("[%1,%2)").arg(r.first).arg(r.second);
    return parts.join(u' ').toUtf8();
}

// Runs of matching pixels along a full row or column of the sheet at 600 dpi.
Runs rowRuns(const QString& pdf, int y, int width, const std::function<bool(QRgb)>& test)
{
    return runsAlong(rasterise(pdf, 600, QRect(0, y, width, 1)), test);
}
Runs columnRuns(const QString& pdf, int x, int height, const std::function<bool(QRgb)>& test)
{
    return runsAlong(rasterise(pdf, 600, QRect(x, 0, 1, height)), test);
}

QImage solid(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Prints the fixture's page through the print command into a PDF.
PrintOutcome printToPdf(PageFixture& f, const QString& pdf, RecordingDialogs& dialogs,
                        QPageSize::PageSizeId paper = QPageSize::Letter, double marginMm = 0)
{
    QPrinter printer(QPrinter::HighResolution);
    configurePdfPrinter(printer, pdf, paper, marginMm);
    return btImprimirClick(PrintCommandContext{nullptr, dialogs, printer, f.state, *f.items,
                                               &f.page});
}

TextAttributes attributesOf(const QString& font, int size, ColorRef colour = 0)
{
    TextAttributes a;
    a.FontName = font;
    a.FontSize = size;
    a.Color = colour;
    return a;
}

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void loader_data();
    void loader();
    void loaderLeavesBitmapAloneForMissingFile();

    void placement_data();
    void placement();

    void businessCardSheet();
    void printCommandTakesCardSheet_data();
    void printCommandTakesCardSheet();
    void fullPage_data();
    void fullPage();
    void stackingOrder();
    void foldedCard();
    void textPrintedAtFiveTimesItsSize_data();
    void textPrintedAtFiveTimesItsSize();
    void alphaHonoured();
    void picturesDecodedOncePerJob_data();
    void picturesDecodedOncePerJob();
    void imagesReachThePdfLosslessly_data();
    void imagesReachThePdfLosslessly();
    void picturesAtPrintedResolution_data();
    void picturesAtPrintedResolution();
    void previewMatchesPrinter_data();
    void previewMatchesPrinter();
    void calibrationRulers_data();
    void calibrationRulers();
    void storedPrinterOffsets_data();
    void storedPrinterOffsets();
    void savedPrinterOffsets_data();
    void savedPrinterOffsets();
    void transparencyDoesNotLeak_data();
    void transparencyDoesNotLeak();
    void unreadablePicturePrintsNothing_data();
    void unreadablePicturePrintsNothing();
    void failedTextPrintsNothingAndIsToldOnce();
    void unwritableOutputIsReported();
    void emptyPagePrintsOneBlankSheet_data();
    void emptyPagePrintsOneBlankSheet();
    void noticeAndCancel_data();
    void noticeAndCancel();

    void cliPrint_data();
    void cliPrint();
    void cliCardsAtAnyDpi_data();
    void cliCardsAtAnyDpi();
    void exportEqualsPrint_data();
    void exportEqualsPrint();
    void jpegForMessages_data();
    void jpegForMessages();
    void defaultPaperByLocale_data();
    void defaultPaperByLocale();
    void cliExport_data();
    void cliExport();
    void cliRender_data();
    void cliRender();
    void cliFailures_data();
    void cliFailures();
    void cliPrintToUnwritableFile();
    void cliLeavesTheOutputAlone_data();
    void cliLeavesTheOutputAlone();
    void mergedSheetIsTheTypedSheet_data();
    void mergedSheetIsTheTypedSheet();
    void mergedCardsInReadingOrder();
    void mergeFillsFromFirstCard_data();
    void mergeFillsFromFirstCard();
    void cliMerge_data();
    void cliMerge();
    void mergedPdfAndRowsAtFault_data();
    void mergedPdfAndRowsAtFault();
    void paperAfterPrintDialog_data();
    void paperAfterPrintDialog();

private:
    QString makeArchive(int layout, const QList<TItem>& records,
                        const QList<QPair<QString, QImage>>& pictures);
    QTemporaryDir m_dir;
    QString m_files;  // fixtures of the loader
};

void TestPrint::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_files = m_dir.path() + QStringLiteral("/files/");
    QVERIFY(QDir().mkpath(m_files));

    // 8 x 6 quadrants in a 4-bit and a 1-bit palette picture, red/green/blue/yellow.
    const QList<QRgb> palette{qRgb(255, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 255),
                              qRgb(255, 255, 0)};
    QList<QList<int>> quadrants;
    for (int y = 0; y < 6; ++y) {
        QList<int> row;
        for (int x = 0; x < 8; ++x)
            row << (y >= 3 ? 2 : 0) + (x >= 4 ? 1 : 0);
        quadrants << row;
    }
    const QByteArray fourBit = palettePng(quadrants, palette, 4);
    QVERIFY(writeFile(m_files + QStringLiteral("quad4.png"), fourBit));
    QVERIFY(writeFile(m_files + QStringLiteral("quad4.PNG"), fourBit));
    QVERIFY(writeFile(m_files + QStringLiteral("quad4.pNg"), fourBit));
    QList<QList<int>> halves;
    for (int y = 0; y < 6; ++y)
        halves << QList<int>(8, y >= 3 ? 1 : 0);
    QVERIFY(writeFile(m_files + QStringLiteral("half1.png"),
                      palettePng(halves, {qRgb(255, 0, 0), qRgb(0, 0, 255)}, 1)));

    QVERIFY(quadrantPicture(QSize(40, 30)).save(m_files + QStringLiteral("quad.jpeg"), "JPEG", 100));
    QVERIFY(QFile::copy(m_files + QStringLiteral("quad.jpeg"), m_files + QStringLiteral("jpeg-bytes.png")));
    QVERIFY(QFile::copy(m_files + QStringLiteral("quad4.png"), m_files + QStringLiteral("png-bytes.jpeg")));
    QVERIFY(QFile::copy(m_files + QStringLiteral("quad4.png"), m_files + QStringLiteral("quad4.xyz")));
    QVERIFY(quadrantPicture(QSize(40, 30)).save(m_files + QStringLiteral("quad.bmp")));
    QVERIFY(writeFile(m_files + QStringLiteral("damaged.png"), fourBit.left(40)));

    QImage alpha(10, 10, QImage::Format_ARGB32);
    alpha.fill(qRgba(0, 0, 255, 0));
    QVERIFY(alpha.save(m_files + QStringLiteral("alpha.png")));

    RenderTextPicture(attributesOf(QStringLiteral("Arial"), 20), QStringLiteral("Olá"),
                      m_files + QStringLiteral("temp.png"));
}

void TestPrint::loader_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("turn");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<int>("depth");              // bits per pixel of the result
    QTest::addColumn<bool>("upsideDown");        // compared with the same file upright
    QTest::addColumn<bool>("transparentWhite");  // white marked as left out

    QTest::newRow("4-bit palette PNG turned, one byte per pixel")
        << "quad4.png" << true << true << 8 << true << false;
    QTest::newRow("upper-case .PNG takes the PNG road") << "quad4.PNG" << false << true << 8 << false << false;
    QTest::newRow("mixed-case .pNg takes the PNG road") << "quad4.pNg" << true << true << 8 << true << false;
    QTest::newRow("1-bit palette PNG turned") << "half1.png" << true << true << 8 << true << false;
    QTest::newRow("JPEG turned, 32 bits per pixel") << "quad.jpeg" << true << true << 32 << true << false;
    QTest::newRow("BMP upright, 32 bits per pixel") << "quad.bmp" << false << true << 32 << false << false;
    QTest::newRow("per-pixel alpha PNG keeps its alpha") << "alpha.png" << true << true << 32 << true << false;
    QTest::newRow("rendered text picture: white left out") << "temp.png" << false << true << 32 << false << true;
    QTest::newRow("JPEG bytes named .png fail on the PNG road") << "jpeg-bytes.png" << false << false << 0 << false << false;
    QTest::newRow("PNG bytes named .jpeg fail on the other road") << "png-bytes.jpeg" << false << false << 0 << false << false;
    QTest::newRow("unknown extension") << "quad4.xyz" << false << false << 0 << false << false;
    QTest::newRow("damaged PNG") << "damaged.png" << true << false << 0 << false << false;
    QTest::newRow("missing file") << "missing.png" << false << false << 0 << false << false;
}

void TestPrint::loader()
{
    QFETCH(QString, file);
    QFETCH(bool, turn);
    QFETCH(bool, loaded);
    QFETCH(int, depth);
    QFETCH(bool, upsideDown);
    QFETCH(bool, transparentWhite);

    TBitmap bitmap;
    QCOMPARE(LoadPictureBitmap(bitmap, m_files + file, turn), loaded);
    if (!loaded) {
        QVERIFY(bitmap.isEmpty());
        return;
    }
    QCOMPARE(bitmap.pixels.depth(), depth);
    QCOMPARE(bitmap.transparentColor == std::optional<QRgb>(qRgb(255, 255, 255)), transparentWhite);
    if (!transparentWhite)
        QVERIFY(!bitmap.transparentColor);

    TBitmap upright;
    QVERIFY(LoadPictureBitmap(upright, m_files + file, false));
    const QImage a = bitmap.pixels.convertToFormat(QImage::Format_ARGB32);
    const QImage b = upright.pixels.convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(a.size(), b.size());
    const int w = a.width();
    const int h = a.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb expected = upsideDown ? b.pixel(w - 1 - x, h - 1 - y) : b.pixel(x, y);
            if (a.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) differs").arg(x).arg(y)));
        }
    if (upsideDown && file.startsWith(QStringLiteral("quad")))
        QVERIFY(isYellow(a.pixel(0, 0)) || qBlue(a.pixel(0, 0)) < 100);  // yellow corner first
}

void TestPrint::loaderLeavesBitmapAloneForMissingFile()
{
    TBitmap bitmap;
    bitmap.pixels = solid(QSize(3, 3), Qt::green);
    bitmap.transparentColor = qRgb(1, 2, 3);
    const QImage before = bitmap.pixels;
    QVERIFY(!LoadPictureBitmap(bitmap, m_files + QStringLiteral("nothing.png"), true));
    QCOMPARE(bitmap.pixels, before);
    QCOMPARE(bitmap.transparentColor, std::optional<QRgb>(qRgb(1, 2, 3)));
}

void TestPrint::placement_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<std::optional<ItemPlacement>>("expected");

    const QSize full(496, 702), folded(541, 382), card(380, 217);
    auto sheet = [](QRect r, bool turn) { return std::optional<ItemPlacement>(ItemPlacement{r, PrintTarget::Sheet, turn}); };
    auto onCard = [](QRect r) { return std::optional<ItemPlacement>(ItemPlacement{r, PrintTarget::CardBitmap, false}); };

    // 186 * 5100 / 496 = 1912.5 and 62 * 5100 / 496 = 637.5: halves go to the even side.
    QTest::newRow("full page, half rounds down to even")
        << 0 << 1 << QRect(186, 88, 124, 175) << full << sheet(QRect(1912, 827, 1275, 1645), false);
    QTest::newRow("full page, half rounds up to even")
        << 0 << 2 << QRect(62, 88, 124, 175) << full << sheet(QRect(638, 827, 1275, 1645), false);
    QTest::newRow("folded front picture: mirrored in the top half, turned")
        << 1 << 1 << QRect(20, 40, 100, 50) << folded << sheet(QRect(189, 2522, 943, 432), true);
    QTest::newRow("folded front text: mirrored like a picture")
        << 1 << 2 << QRect(269, 40, 100, 50) << folded << sheet(QRect(2536, 2522, 943, 432), true);
    QTest::newRow("folded front border keeps its vertical place")
        << 1 << 0 << QRect(0, 0, 270, 382) << folded << sheet(QRect(0, 0, 2545, 3300), true);
    QTest::newRow("folded at exactly half the width: inside, upright")
        << 1 << 1 << QRect(270, 40, 100, 50) << folded << sheet(QRect(2545, 3646, 943, 432), false);
    QTest::newRow("folded inside border fills the bottom half")
        << 1 << 0 << QRect(270, 0, 271, 382) << folded << sheet(QRect(2545, 3300, 2555, 3300), false);
    QTest::newRow("business card fills the card bitmap")
        << 2 << 1 << QRect(0, 0, 380, 217) << card << onCard(QRect(0, 0, 1050, 600));
    QTest::newRow("business card, half rounds down to even")
        << 2 << 2 << QRect(95, 54, 190, 108) << card << onCard(QRect(262, 149, 525, 299));
    // Far off the page: the corners stop short of the integer limit instead of overflowing.
    QTest::newRow("left near the integer limit")
        << 0 << 1 << QRect(2147483600, 0, 10, 10) << full << sheet(QRect(1 << 29, 0, 0, 94), false);
    QTest::newRow("unknown kind draws nothing")
        << 0 << 3 << QRect(0, 0, 10, 10) << full << std::optional<ItemPlacement>();
    QTest::newRow("unknown layout draws nothing")
        << 3 << 1 << QRect(0, 0, 10, 10) << full << std::optional<ItemPlacement>();
}

void TestPrint::placement()
{
    QFETCH(int, layout);
    QFETCH(int, kind);
    QFETCH(QRect, geometry);
    QFETCH(QSize, page);
    QFETCH(std::optional<ItemPlacement>, expected);

    const auto got = placeItem(layout, quint8(kind), geometry, page, QSize(5100, 6600));
    QCOMPARE(got.has_value(), expected.has_value());
    if (!got)
        return;
    QCOMPARE(got->rect, expected->rect);
    QCOMPARE(got->turn, expected->turn);
    QCOMPARE(got->target == PrintTarget::CardBitmap, expected->target == PrintTarget::CardBitmap);
}

void TestPrint::businessCardSheet()
{
    PageFixture f(BusinessCard);
    f.addPicture(QStringLiteral("red.png"), solid(QSize(76, 43), Qt::red), QRect(0, 0, 380, 217));
    const QString pdf = f.dir.path() + QStringLiteral("/cards.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Printed);

    // Two columns, 2065 and 2060 pixels wide, 15 pixels apart.
    const Runs columns{{300, 2365}, {2380, 4440}};
    for (int top : {110, 1320, 2530, 3740, 4950}) {
        const Runs got = rowRuns(pdf, top + 595, 5100, isRed);
        QVERIFY2(nearlyEqual(got, columns), describe(got).constData());
    }
    // Five rows of 1190 pixels, one every 1210, in both columns.
    const Runs rows{{110, 1300}, {1320, 2510}, {2530, 3720}, {3740, 4930}, {4950, 6140}};
    for (int x : {1300, 3400}) {
        const Runs got = columnRuns(pdf, x, 6600, isRed);
        QVERIFY2(nearlyEqual(got, rows), describe(got).constData());
    }
}

void TestPrint::printCommandTakesCardSheet_data()
{
    QTest::addColumn<QString>("stock");
    QTest::addColumn<int>("firstCard");
    QTest::addColumn<IntPair>("across"); // the red runs along the first row of cards, at 600 dpi
    QTest::newRow("the default from card 2") << "" << 2 << qMakePair(2380, 4440);
    QTest::newRow("3.5 x 2 in stock") << "carta-5371" << 1 << qMakePair(450, 4650);
}

void TestPrint::printCommandTakesCardSheet()
{
    QFETCH(QString, stock);
    QFETCH(int, firstCard);
    QFETCH(IntPair, across);
    PageFixture f(BusinessCard);
    f.addPicture(QStringLiteral("red.png"), solid(QSize(76, 43), Qt::red), QRect(0, 0, 380, 217));
    const QString pdf = f.dir.path() + QStringLiteral("/stock.pdf");
    RecordingDialogs dialogs;
    QPrinter printer(QPrinter::HighResolution);
    configurePdfPrinter(printer, pdf, QPageSize::Letter, 0);
    PrintCommandContext ctx{nullptr, dialogs, printer, f.state, *f.items, &f.page};
    QString asked = QStringLiteral("none");
    ctx.cardSheetFor = [&](const QString& printerName) {
        asked = printerName;
        return CardSheet{stock, firstCard, false, QPoint(50, 50)}; // the corner is the printer's
    };
    QCOMPARE(btImprimirClick(ctx), PrintOutcome::Printed);
    QCOMPARE(asked, QString()); // a file, not a printer
    const Runs got = rowRuns(pdf, 700, 5100, isRed);
    QVERIFY2(nearlyEqual(got, {across}), describe(got).constData());
}

void TestPrint::fullPage_data()
{
    QTest::addColumn<double>("marginMm");
    QTest::addColumn<QRect>("expected");  // on the sheet, 600 dpi

    QTest::newRow("Letter, no margins") << 0.0 << QRect(1912, 827, 1275, 1645);
    QTest::newRow("Letter, one-inch margins left out of a file") << 25.4 << QRect(1912, 827, 1275, 1645);
}

void TestPrint::fullPage()
{
    QFETCH(double, marginMm);
    QFETCH(QRect, expected);

    PageFixture f(FullPage);
    f.addPicture(QStringLiteral("red.png"), solid(QSize(30, 40), Qt::red), QRect(186, 88, 124, 175));
    const QString pdf = f.dir.path() + QStringLiteral("/full.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs, QPageSize::Letter, marginMm), PrintOutcome::Printed);
    QVERIFY(dialogs.messages().isEmpty());

    const Runs across = rowRuns(pdf, expected.center().y(), 5100, isRed);
    QVERIFY2(nearlyEqual(across, {{expected.left(), expected.left() + expected.width()}}),
             describe(across).constData());
    const Runs down = columnRuns(pdf, expected.center().x(), 6600, isRed);
    QVERIFY2(nearlyEqual(down, {{expected.top(), expected.top() + expected.height()}}),
             describe(down).constData());
}

void TestPrint::stackingOrder()
{
    PageFixture f(FullPage);
    // The first item goes away and the next one is made at the same list count, so the
    // two left share an identifier; each must still be drawn once, in its own place in
    // the stack.
    f.addPicture(QStringLiteral("gone.png"), solid(QSize(5, 5), Qt::green), QRect(0, 0, 5, 5));
    TImg& blue = f.addPicture(QStringLiteral("blue.png"), solid(QSize(10, 10), Qt::blue),
                              QRect(100, 100, 200, 200));
    f.items->Delete(0);
    TImg& red = f.addPicture(QStringLiteral("red.png"), solid(QSize(10, 10), Qt::red),
                             QRect(200, 200, 200, 200));
    QCOMPARE(blue.Image()->hint(), red.Image()->hint());
    blue.Image()->raise();  // blue above red

    const QString pdf = f.dir.path() + QStringLiteral("/stack.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Printed);
    const QImage sheet = rasterise(pdf, 60);
    QVERIFY(!sheet.isNull());
    auto at = [&](int x, int y) {  // page pixels to the sheet
        return sheetPixel(sheet, 60, QPoint(x * 5100 / 496, y * 6600 / 702));
    };
    QVERIFY(isBlue(at(250, 250)));  // the overlap
    QVERIFY(isBlue(at(150, 150)));
    QVERIFY(isRed(at(350, 350)));
}

void TestPrint::foldedCard()
{
    PageFixture f(FoldedCard);
    QCOMPARE(f.page.size(), QSize(541, 382));
    f.addPicture(QStringLiteral("border.png"), quadrantPicture(QSize(54, 76)), QRect(0, 0, 270, 382),
                 BorderItem);
    f.addPicture(QStringLiteral("front.png"), quadrantPicture(QSize(40, 20)), QRect(20, 40, 100, 50));
    const QString four = f.state.workingFolder + QStringLiteral("front4.png");
    QVERIFY(QFile::copy(m_files + QStringLiteral("quad4.png"), four));
    f.addPicture(QStringLiteral("front4.png"), QImage(), QRect(140, 200, 100, 50));
    f.addPicture(QStringLiteral("inside.png"), quadrantPicture(QSize(40, 20)), QRect(300, 40, 100, 50));

    const QString pdf = f.dir.path() + QStringLiteral("/folded.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Printed);
    const QImage sheet = rasterise(pdf, 60);
    QVERIFY(!sheet.isNull());

    struct Case
    {
        const char* what;
        QRect rect;
        bool turned;
        double near = 0.2;  // where the corners are sampled, clear of the other items
    };
    const Case cases[] = {
        {"front border", QRect(0, 0, 2545, 3300), true, 0.1},
        {"front picture", QRect(189, 2522, 943, 432), true},
        {"front 4-bit picture", QRect(1320, 1140, 943, 432), true},
        {"inside picture", QRect(2828, 3646, 943, 432), false},
    };
    for (const Case& c : cases) {
        const double far = 1 - c.near;
        const QRgb topLeft = sheetPixel(sheet, 60, pointIn(c.rect, c.near, c.near));
        const QRgb topRight = sheetPixel(sheet, 60, pointIn(c.rect, far, c.near));
        const QRgb bottomLeft = sheetPixel(sheet, 60, pointIn(c.rect, c.near, far));
        const QRgb bottomRight = sheetPixel(sheet, 60, pointIn(c.rect, far, far));
        if (c.turned) {
            QVERIFY2(isYellow(topLeft) && isBlue(topRight) && isGreen(bottomLeft) && isRed(bottomRight), c.what);
        } else {
            QVERIFY2(isRed(topLeft) && isGreen(topRight) && isBlue(bottomLeft) && isYellow(bottomRight), c.what);
        }
    }
    // The front picture lands exactly: mirrored inside the top half.
    // Its right half, turned, is blue over red (blended where they meet); the border
    // beneath is yellow and green there.
    const Runs inPicture = columnRuns(pdf, 189 + 700, 6600, [](QRgb c) {
        return qGreen(c) < 60 && qRed(c) + qBlue(c) > 200;
    });
    QVERIFY2(nearlyEqual(inPicture, {{2522, 2954}}), describe(inPicture).constData());
}

void TestPrint::textPrintedAtFiveTimesItsSize_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("embedded"); // empty: printed as its rendered picture
    QTest::newRow("left") << int(FullPage) << QStringLiteral("Quadrela") << QStringLiteral("Arial") << 0 << 0 << QStringLiteral("LiberationSans");
    QTest::newRow("a long line") << int(FullPage) << QStringLiteral("Avenida Brigadeiro Faria Lima, 1234, Jardim Paulistano") << QStringLiteral("DejaVu Serif") << 0 << 0 << QStringLiteral("DejaVuSerif");
    QTest::newRow("centred, bold, accents") << int(FullPage) << QStringLiteral("Convite\nde casamento\nÀs 20h, coração") << QStringLiteral("Liberation Serif") << 1 << int(StyleBold) << QStringLiteral("LiberationSerif-Bold");
    QTest::newRow("right, italic") << int(FullPage) << QStringLiteral("Rua das Flores, 12\nSão Paulo") << QStringLiteral("DejaVu Sans") << 2 << int(StyleItalic) << QStringLiteral("DejaVuSans-Oblique");
    QTest::newRow("folded front, turned") << int(FoldedCard) << QStringLiteral("Feliz\naniversário!") << QStringLiteral("Liberation Sans") << 0 << 0 << QStringLiteral("LiberationSans");
    QTest::newRow("folded inside") << int(FoldedCard) << QStringLiteral("Com carinho,\nJoana") << QStringLiteral("Liberation Serif") << 2 << 0 << QStringLiteral("LiberationSerif");
    QTest::newRow("type 1 font") << int(FullPage) << QStringLiteral("Quadrela") << QStringLiteral("Nimbus Sans Narrow") << 0 << 0 << QString();
}

// The runs of inked rows, each as the box of its ink.
static QList<QRect> inkedLines(const QImage& image)
{
    QList<QRect> lines;
    QRect line;
    for (int y = 0; y <= image.height(); ++y) {
        QRect row;
        for (int x = 0; y < image.height() && x < image.width(); ++x)
            row |= isDark(image.pixel(x, y)) ? QRect(x, y, 1, 1) : QRect();
        if (row.isNull() && !line.isNull())
            lines.append(std::exchange(line, QRect()));
        line |= row;
    }
    return lines;
}

void TestPrint::textPrintedAtFiveTimesItsSize()
{
    QFETCH(int, layout);
    QFETCH(QString, text);
    QFETCH(QString, font);
    QFETCH(int, alignment);
    QFETCH(int, style);
    QFETCH(QString, embedded);
    PageFixture f(layout);
    const TextAttributes look{font, 12, 0x000000, quint8(alignment), quint8(style)};
    f.addText(text, look, QPoint(layout == FoldedCard && alignment ? 300 : 20, 40));
    // What the text dialog would show next: printing must leave it alone.
    const TextAttributes current = attributesOf(QStringLiteral("Courier"), 33, 0x0000FF);
    f.state.text = current;

    const QString pdf = f.dir.path() + QStringLiteral("/text.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Printed);
    QCOMPARE(f.state.text, current);

    QProcess fonts, words;
    fonts.start(QStringLiteral("pdffonts"), {pdf});
    words.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(fonts.waitForFinished(60000) && words.waitForFinished(60000));
    const QString listed = QString::fromUtf8(fonts.readAllStandardOutput());
    // Embedded: the font's name, then its type and encoding, then "yes". A picture: the heading only.
    const QRegularExpression row(QStringLiteral("^%1\\s.*\\syes\\s").arg(embedded), QRegularExpression::MultilineOption);
    QVERIFY2(embedded.isEmpty() ? listed.count(u'\n') == 2 : listed.contains(row), qPrintable(listed));
    QCOMPARE(QString::fromUtf8(words.readAllStandardOutput()).simplified(), embedded.isEmpty() ? QString() : QString(text).replace(u'\n', u' '));

    // Each line's ink where the picture at five times its size, stretched into its place, had it.
    const PrintJob job = printJobFor(f.state, *f.items, &f.page);
    const ItemPlacement placed = *placeItem(layout, TextItem, job.items.first().geometry, job.pageSize, QSize(5100, 6600));
    const QImage picture = RenderTextBitmap(printTextAttributes(job.items.first().attributes), text).transformed(QTransform().rotate(placed.turn ? 180 : 0));
    const QRect area = placed.rect.adjusted(-40, -40, 40, 40);
    QImage before = solid(area.size(), Qt::white), after = before;
    QPainter old(&before), now(&after);
    old.setRenderHint(QPainter::SmoothPixmapTransform);
    old.translate(-area.topLeft());
    old.drawImage(placed.rect, picture);
    now.translate(-area.topLeft());
    ComposePage(now, QSize(5100, 6600), job);
    old.end();
    now.end();
    const QList<QRect> was = inkedLines(before), is = inkedLines(after);
    QCOMPARE(is.size(), was.size());
    for (qsizetype i = 0; i < was.size(); ++i)
        QVERIFY2(was[i].adjusted(-1, -1, 1, 1).contains(is[i]) && is[i].adjusted(-1, -1, 1, 1).contains(was[i]), qPrintable(QString::number(i)));
}

void TestPrint::alphaHonoured()
{
    PageFixture f(FullPage);
    f.addPicture(QStringLiteral("red.png"), solid(QSize(10, 10), Qt::red), QRect(100, 100, 200, 200));
    QImage clipart(20, 20, QImage::Format_ARGB32);
    clipart.fill(qRgba(0, 0, 255, 0));  // transparent pixels whose raw colour is blue
    for (int y = 0; y < 20; ++y)
        for (int x = 10; x < 20; ++x)
            clipart.setPixel(x, y, qRgba(0, 160, 0, 255));
    f.addPicture(QStringLiteral("clipart.png"), clipart, QRect(100, 100, 200, 200));

    const QString pdf = f.dir.path() + QStringLiteral("/alpha.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Printed);
    const QImage sheet = rasterise(pdf, 60);
    const QRect rect(1028, 940, 2056, 2000);  // the place, roughly
    QVERIFY(isRed(sheetPixel(sheet, 60, pointIn(rect, 0.25, 0.5))));
    QVERIFY(isGreen(sheetPixel(sheet, 60, pointIn(rect, 0.75, 0.5))));
}

void TestPrint::picturesDecodedOncePerJob_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("files"); // one letter per item; then the distinct images printed
    QTest::addColumn<int>("images");
    QTest::addColumn<int>("side"); // of each picture, in pixels
    QTest::newRow("forty items of one picture") << int(FullPage) << QString(40, u'a') << 1 << 9;
    QTest::newRow("forty items of one picture, each reduced") << int(FullPage) << QString(40, u'a') << 1 << 600;
    QTest::newRow("two pictures taking turns") << int(FullPage) << "abababab" << 2 << 9;
    QTest::newRow("folded card: turned front, upright inside") << int(FoldedCard) << "aaaaaa" << 2 << 9;
}

void TestPrint::picturesDecodedOncePerJob()
{
    QFETCH(int, layout);
    QFETCH(QString, files);
    QFETCH(int, side);
    PageFixture f(layout);
    for (int i = 0; i < files.size(); ++i)
        f.addPicture(files.at(i) + QStringLiteral(".png"), solid(QSize(side, side), QColor(files.at(i) == u'a' ? Qt::red : Qt::blue)), QRect(i * 480 / files.size(), 40 + i % 4 * 90, 12, 12));
    QFile file(f.dir.path() + QStringLiteral("/shared.pdf"));
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, file.fileName(), dialogs), PrintOutcome::Printed);
    QTEST(int(file.open(QIODevice::ReadOnly) ? file.readAll().count("/Subtype /Image") : -1), "images");
}

void TestPrint::imagesReachThePdfLosslessly_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QSize>("pictureSize");
    QTest::newRow("full page: stripes and a text") << int(FullPage) << QSize(8, 8);
    QTest::newRow("business card") << int(BusinessCard) << QSize(8, 8);
    QTest::newRow("full page: a photo larger than a band, not reduced") << int(FullPage) << QSize(1200, 1000);
}

void TestPrint::imagesReachThePdfLosslessly()
{
    QFETCH(int, layout);
    QFETCH(QSize, pictureSize);
    PageFixture f(layout);
    // Red and blue one-pixel stripes; the green (and the red stripes' blue) numbers the
    // row, so every row that comes back can be placed.
    QImage stripes(pictureSize, QImage::Format_RGB32);
    for (int y = 0; y < stripes.height(); ++y)
        for (int x = 0; x < stripes.width(); ++x)
            stripes.setPixel(x, y, x % 2 ? qRgb(0, y & 0xFF, 255) : qRgb(255, y & 0xFF, y >> 8));
    f.addPicture(QStringLiteral("stripes.png"), stripes, QRect(100, 100, 120, 120));
    f.addText(QStringLiteral("Olá"), attributesOf(QStringLiteral("Arial"), 12), QPoint(200, 30));
    const QString pdf = f.dir.path() + QStringLiteral("/lossless.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Printed);

    QProcess list;
    list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    QVERIFY(list.waitForFinished(60000));
    const QString listing = QString::fromUtf8(list.readAllStandardOutput());
    QVERIFY2(!listing.contains(QStringLiteral(" jpeg ")), qPrintable(listing));
    QVERIFY(QProcess::execute(QStringLiteral("pdfimages"),
                              {QStringLiteral("-png"), pdf, f.dir.path() + QStringLiteral("/img")}) == 0);
    QList<bool> rowBack(stripes.height(), false);
    for (const QString& name : QDir(f.dir.path()).entryList({QStringLiteral("img-*.png")})) {
        const QImage image = QImage(f.dir.path() + u'/' + name).convertToFormat(QImage::Format_RGB32);
        for (int r = 0; image.width() == stripes.width() && r < image.height(); ++r) {
            const int y = qGreen(image.pixel(0, r)) | qBlue(image.pixel(0, r)) << 8;
            if (y < stripes.height() && memcmp(image.constScanLine(r), stripes.constScanLine(y), size_t(image.bytesPerLine())) == 0)
                rowBack[y] = true;
        }
    }
    QVERIFY2(!rowBack.contains(false), "an image came back altered");
}

void TestPrint::picturesAtPrintedResolution_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<QRect>("geometry"); // 117 x 88 page pixels print 2 x 1.5 in wide
    QTest::addColumn<IntPair>("ppi");    // the least and the most any image may have
    QTest::addColumn<QString>("encoding");
    QTest::newRow("12 MP JPEG at 2 x 1.5 in: 600 ppi, still JPEG") << int(FullPage) << "photo.jpg" << QSize(4000, 3000) << QRect(40, 40, 117, 88) << IntPair(590, 601) << "jpeg";
    QTest::newRow("folded card front: turned JPEG at 600 ppi") << int(FoldedCard) << "photo.jpg" << QSize(4000, 3000) << QRect(40, 40, 117, 44) << IntPair(590, 601) << "jpeg";
    QTest::newRow("PNG reduced to 600 ppi stays lossless") << int(FullPage) << "art.png" << QSize(1600, 1200) << QRect(40, 40, 58, 44) << IntPair(590, 601) << "image";
    QTest::newRow("small picture never enlarged") << int(FullPage) << "small.jpg" << QSize(100, 75) << QRect(40, 40, 117, 88) << IntPair(48, 55) << "jpeg";
}

void TestPrint::picturesAtPrintedResolution()
{
    QFETCH(int, layout);
    QFETCH(QString, file);
    QFETCH(QSize, pixels);
    QFETCH(QRect, geometry);
    QFETCH(IntPair, ppi);
    PageFixture f(layout);
    QImage photo(pixels, QImage::Format_RGB32);
    QPainter paint(&photo);
    QLinearGradient shade(0, 0, pixels.width(), pixels.height());
    shade.setColorAt(0, Qt::darkBlue);
    shade.setColorAt(1, Qt::yellow);
    paint.fillRect(photo.rect(), shade);
    paint.end();
    f.addPicture(file, photo, geometry);
    const QString pdf = f.dir.path() + QStringLiteral("/resolution.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Printed);

    QProcess list;
    list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    QVERIFY(list.waitForFinished(60000));
    const QStringList lines = QString::fromUtf8(list.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    int most = 0;
    for (const QString& line : lines.mid(2)) {
        const QStringList c = line.split(u' ', Qt::SkipEmptyParts); // page num type w h colour comp bpc enc interp object id x-ppi y-ppi ...
        QVERIFY2(c.size() > 13 && c.at(2) == u"image", qPrintable(line));
        QTEST(c.at(8), "encoding");
        QVERIFY2(c.at(12).toInt() <= ppi.second && c.at(13).toInt() <= ppi.second, qPrintable(line));
        most = std::max({most, c.at(12).toInt(), c.at(13).toInt()});
    }
    QVERIFY2(most >= ppi.first, qPrintable(lines.join(u'\n')));
}

void TestPrint::previewMatchesPrinter_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("paper");
    QTest::addColumn<double>("marginMm");
    QTest::newRow("full page, Letter, no margins") << int(FullPage) << int(QPageSize::Letter) << 0.0;
    QTest::newRow("folded card, A4, 6 mm margins") << int(FoldedCard) << int(QPageSize::A4) << 6.0;
    QTest::newRow("business card, Letter, 5 mm margins") << int(BusinessCard) << int(QPageSize::Letter) << 5.0;
}

void TestPrint::previewMatchesPrinter()
{
    QFETCH(int, layout);
    QFETCH(int, paper);
    QFETCH(double, marginMm);
    PageFixture f(layout);
    f.addPicture(QStringLiteral("quad.png"), quadrantPicture(QSize(40, 30)), QRect(10, 20, 200, 150));
    f.addPicture(QStringLiteral("blue.png"), solid(QSize(8, 8), Qt::blue), QRect(300, 100, 60, 90));
    // Large enough to be sent to the printer in bands: no paper may show between them.
    f.addPicture(QStringLiteral("dark.png"), solid(QSize(1100, 3000), QColor(20, 20, 60)), QRect(220, 20, 70, 60));
    f.addText(QStringLiteral("Olá"), attributesOf(QStringLiteral("DejaVu Serif"), 20, 0x0000C0), QPoint(300, 10));
    const QString pdf = f.dir.path() + QStringLiteral("/printer.pdf");
    QPrinter printer(QPrinter::HighResolution);
    configurePdfPrinter(printer, pdf, QPageSize::PageSizeId(paper), marginMm);
    RecordingDialogs dialogs;
    QCOMPARE(btImprimirClick({nullptr, dialogs, printer, f.state, *f.items, &f.page}), PrintOutcome::Printed);

    const QImage printed = rasterise(pdf, 50).convertToFormat(QImage::Format_RGB32);
    const QImage preview = renderSheet(sheetGeometry(printer.pageLayout(), 600),
                                       printJobFor(f.state, *f.items, &f.page), QPoint(), 50);
    QCOMPARE(preview.size(), printed.size());
    // The two rasterisers may round an edge to the neighbouring pixel or blend it
    // differently (any blend of two colours is within 128 of one of them), nothing more.
    const auto near = [](QRgb a, QRgb b) {
        return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))}) <= 128;
    };
    int differing = 0;
    for (int y = 1; y + 1 < printed.height(); ++y)
        for (int x = 1; x + 1 < printed.width(); ++x) {
            bool matched = false;
            for (int d = 0; d < 9 && !matched; ++d)
                matched = near(printed.pixel(x, y), preview.pixel(x + d % 3 - 1, y + d / 3 - 1));
            differing += matched ? 0 : 1;
        }
    QVERIFY2(differing == 0, qPrintable(QString::number(differing)));

    // A large picture goes to the printer in bands; where they meet, a renderer that smooths
    // image edges must not let the paper show through the dark picture.
    const QImage smoothed = rasterise(pdf, 50, QRect(), QStringLiteral("pdftocairo"));
    QCOMPARE(smoothed.size(), printed.size());
    const auto isDark = [&smoothed](int x, int y) { return qGray(smoothed.pixel(x, y)) <= 26; };
    int darkPixels = 0, seams = 0;
    for (int y = 2; y + 2 < smoothed.height(); ++y)
        for (int x = 0; x < smoothed.width(); ++x) {
            darkPixels += isDark(x, y) ? 1 : 0;
            if (!isDark(x, y) && isDark(x, y - 2) && isDark(x, y + 2)) // a light line across
                ++seams;
        }
    QVERIFY(darkPixels > 1000);
    QVERIFY2(seams == 0, qPrintable(QString::number(seams)));
}

void TestPrint::calibrationRulers_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<double>("marginMm");
    QTest::addColumn<QPointF>("centreMm");  // the sheet's centre
    QTest::newRow("Letter, no margins") << int(QPageSize::Letter) << 0.0 << QPointF(107.95, 139.7);
    QTest::newRow("A4, 6.35 mm margins") << int(QPageSize::A4) << 6.35 << QPointF(105, 148.5);
}

void TestPrint::calibrationRulers()
{
    QFETCH(int, paper);
    QFETCH(double, marginMm);
    QFETCH(QPointF, centreMm);
    const QPageLayout layout(QPageSize(QPageSize::PageSizeId(paper)), QPageLayout::Portrait,
                             QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
    const QString pdf = m_dir.path() + QStringLiteral("/calibration-%1.pdf").arg(paper);
    {
        QPdfWriter writer(pdf);
        writer.setResolution(600);
        writer.setPageLayout(layout);
        QPainter painter(&writer);
        drawCalibrationSheet(painter, sheetGeometry(layout, 600), PrintOffset());
    }
    // The rulers' centimetre ticks reach 2 mm either side of the line, the others less:
    // a strip 1.7 mm off each line crosses only them (and the crosshair's circle).
    const double mm = 600 / 25.4;
    const QPointF centre = centreMm * mm;
    const Runs across = rowRuns(pdf, int(centre.y() - 40), 4950, isDark);
    const Runs down = columnRuns(pdf, int(centre.x() - 40), 6600, isDark);
    const auto hits = [](const Runs& runs, double at) {
        return std::any_of(runs.begin(), runs.end(), [at](const IntPair& r) { return r.first - 2 <= at && at < r.second + 2; });
    };
    for (int k = -9; k <= 9; ++k) {
        const QPointF tick = centre + QPointF(k, k) * 10 * mm;
        const QPointF between = centre + QPointF(k + 0.5, k + 0.5) * 10 * mm;
        QVERIFY2(hits(across, tick.x()) && !hits(across, between.x()), describe(across).constData());
        QVERIFY2(hits(down, tick.y()) && !hits(down, between.y()), describe(down).constData());
    }
}

void TestPrint::storedPrinterOffsets_data()
{
    QTest::addColumn<QString>("printer");
    QTest::addColumn<QVariant>("horizontal");  // as stored; invalid for nothing stored
    QTest::addColumn<QVariant>("vertical");
    QTest::addColumn<PrintOffset>("expected");
    QTest::addColumn<bool>("problem");
    QTest::newRow("nothing stored") << "Sala" << QVariant() << QVariant() << PrintOffset() << false;
    QTest::newRow("stored pair") << "Sala" << QVariant("1.5") << QVariant("-2.0") << PrintOffset{1.5, -2} << false;
    QTest::newRow("name with slashes") << "ipp://casa/impressora" << QVariant("-10.0") << QVariant("0.3") << PrintOffset{-10, 0.3} << false;
    QTest::newRow("text is ignored") << "Sala" << QVariant("esquerda") << QVariant("1") << PrintOffset() << true;
    QTest::newRow("out of range is ignored") << "Sala" << QVariant("1") << QVariant("12.5") << PrintOffset() << true;
    QTest::newRow("not a number is ignored") << "Sala" << QVariant("nan") << QVariant("0") << PrintOffset() << true;
}

void TestPrint::storedPrinterOffsets()
{
    QFETCH(QString, printer);
    QFETCH(QVariant, horizontal);
    QFETCH(QVariant, vertical);
    QFETCH(PrintOffset, expected);
    QFETCH(bool, problem);
    const QString file = m_dir.path() + QStringLiteral("/%1.conf").arg(QTest::currentDataTag()).replace(u' ', u'_');
    {
        QSettings settings(file, QSettings::IniFormat);
        if (horizontal.isValid())
            QVERIFY(savePrinterOffset(settings, printer, PrintOffset{1, 1}));
        const QString group = QStringLiteral("AjusteImpressora/") + QUrl::toPercentEncoding(printer);
        if (horizontal.isValid())
            settings.setValue(group + QStringLiteral("/horizontal"), horizontal);
        if (vertical.isValid())
            settings.setValue(group + QStringLiteral("/vertical"), vertical);
    }
    QSettings settings(file, QSettings::IniFormat);
    QString message;
    QCOMPARE(loadPrinterOffset(settings, printer, &message), expected);
    QCOMPARE(!message.isEmpty(), problem);
    QCOMPARE(loadPrinterOffset(settings, QStringLiteral("Outra"), &message), PrintOffset());
    // Nothing out of range is ever stored.
    QVERIFY(!savePrinterOffset(settings, printer, PrintOffset{0, 10.1}, &message));
    QCOMPARE(settings.value(QStringLiteral("AjusteImpressora/") + QUrl::toPercentEncoding(printer) + QStringLiteral("/vertical")), vertical);
    // The card stock is kept for that printer alone, and only a stock offered.
    QVERIFY(savePrinterCardStock(settings, printer, QStringLiteral("a4-c32011")));
    QVERIFY(!savePrinterCardStock(settings, printer, QStringLiteral("a4")));
    QCOMPARE(loadPrinterCardStock(settings, printer) + u'|' + loadPrinterCardStock(settings, QString()) + u'|' + loadPrinterCardStock(settings, "Outra"), QStringLiteral("a4-c32011||"));
}

void TestPrint::savedPrinterOffsets_data()
{
    QTest::addColumn<QString>("file");      // below a temporary folder that holds a file "arquivo"
    QTest::addColumn<QByteArray>("before"); // its bytes; empty for none
    QTest::addColumn<bool>("ok");
    QTest::newRow("kept to a tenth") << "a.conf" << QByteArray() << true;
    QTest::newRow("unreadable file rewritten") << "b.conf" << QByteArray("2.5,-1") << true;
    QTest::newRow("folder below a file") << "arquivo/c.conf" << QByteArray() << false;
}

void TestPrint::savedPrinterOffsets()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, before);
    QFETCH(bool, ok);
    const QTemporaryDir dir;
    QFile old(dir.filePath(before.isEmpty() ? "arquivo" : file));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write(before) == before.size());
    old.close();
    QSettings settings(dir.filePath(file), QSettings::IniFormat);
    QString message;
    QCOMPARE(savePrinterOffset(settings, "Sala", PrintOffset{1.46, -9.94}, &message), ok);
    QCOMPARE(message.isEmpty(), ok);
    QSettings again(dir.filePath(file), QSettings::IniFormat);
    QCOMPARE(loadPrinterOffset(again, "Sala"), (ok ? PrintOffset{1.5, -9.9} : PrintOffset()));
}

void TestPrint::transparencyDoesNotLeak_data()
{
    QTest::addColumn<QString>("photoFile");
    QTest::newRow("PNG photo") << "photo.png";
    QTest::newRow("BMP photo") << "photo.bmp";
}

void TestPrint::transparencyDoesNotLeak()
{
    QFETCH(QString, photoFile);
    PageFixture f(FullPage);
    f.addPicture(QStringLiteral("red.png"), solid(QSize(10, 10), Qt::red), QRect(100, 100, 300, 300));
    // A text over the red: its white is left out.
    f.addText(QStringLiteral("IIIIIIIIIIII\nI"), attributesOf(QStringLiteral("Arial"), 12), QPoint(100, 100));
    TImg& text = f.items->Items(1);
    text.Image()->setGeometry(100, 100, 300, 100);
    // Then an opaque photo with a white middle over the red: no holes in it.
    QImage photo = solid(QSize(20, 20), Qt::white);
    QPainter(&photo).fillRect(QRect(0, 0, 20, 2), Qt::black);
    f.addPicture(photoFile, photo, QRect(100, 250, 300, 150));

    const QString pdf = f.dir.path() + QStringLiteral("/leak.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Printed);
    const QImage sheet = rasterise(pdf, 60);
    auto at = [&](int x, int y) { return sheetPixel(sheet, 60, QPoint(x * 5100 / 496, y * 6600 / 702)); };
    QVERIFY2(isRed(at(350, 180)), "the text's white was printed over the picture");
    QVERIFY2(isWhite(at(250, 330)), "the photo's white let the picture beneath show through");
}

void TestPrint::unreadablePicturePrintsNothing_data()
{
    QTest::addColumn<bool>("remove");
    QTest::newRow("missing file") << true;
    QTest::newRow("damaged file") << false;
}

void TestPrint::unreadablePicturePrintsNothing()
{
    QFETCH(bool, remove);
    PageFixture f(FullPage);
    f.addPicture(QStringLiteral("red.png"), solid(QSize(10, 10), Qt::red), QRect(50, 50, 100, 100));
    f.addPicture(QStringLiteral("blue.png"), solid(QSize(10, 10), Qt::blue), QRect(300, 300, 100, 100));
    f.addPicture(QStringLiteral("green.png"), solid(QSize(10, 10), Qt::green), QRect(300, 500, 100, 100));
    const QString broken = f.state.workingFolder + QStringLiteral("blue.png");
    if (remove)
        QVERIFY(QFile::remove(broken));
    else
        QVERIFY(writeFile(broken, QByteArray("\x89PNG\r\n\x1a\n not really", 20)));

    const QString pdf = f.dir.path() + QStringLiteral("/broken.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Printed);
    QVERIFY(dialogs.messages().isEmpty());
    const QImage sheet = rasterise(pdf, 60);
    auto at = [&](int x, int y) { return sheetPixel(sheet, 60, QPoint(x * 5100 / 496, y * 6600 / 702)); };
    QVERIFY(isRed(at(100, 100)));
    QVERIFY(isWhite(at(350, 350)));
    QVERIFY(qGreen(at(350, 550)) > 100 && qRed(at(350, 550)) < 80);
}

void TestPrint::failedTextPrintsNothingAndIsToldOnce()
{
    PageFixture f(FullPage);
    f.addPicture(QStringLiteral("red.png"), solid(QSize(10, 10), Qt::red), QRect(50, 50, 100, 100));
    // Fine at 100 points on the page, wider than any picture may be at 500 for print.
    const QString wide = QString(60, u'M');
    f.addText(wide, attributesOf(QStringLiteral("Arial"), 100), QPoint(0, 300));
    f.addText(wide + u'W', attributesOf(QStringLiteral("Arial"), 100), QPoint(0, 500));
    f.items->Items(1).Image()->setGeometry(0, 300, 496, 100);
    f.items->Items(2).Image()->setGeometry(0, 500, 496, 100);
    // An earlier text's picture is still in the scratch file.
    RenderTextPicture(attributesOf(QStringLiteral("Arial"), 200), QStringLiteral("velho"),
                      f.state.tempPicturePath());

    const QString pdf = f.dir.path() + QStringLiteral("/text-failed.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Printed);
    QCOMPARE(dialogs.messages().size(), 1);
    QVERIFY(dialogs.messages().first().startsWith(QStringLiteral("Alguns textos")));

    const QImage sheet = rasterise(pdf, 60);
    QVERIFY(isRed(sheetPixel(sheet, 60, QPoint(1000, 1000))));
    for (int y = 2800; y < 6600; y += 20)
        for (int x = 0; x < 5100; x += 20)
            if (isDark(sheetPixel(sheet, 60, QPoint(x, y))))
                QFAIL(qPrintable(QStringLiteral("ink at (%1, %2)").arg(x).arg(y)));
}

void TestPrint::unwritableOutputIsReported()
{
    PageFixture f(FullPage);
    f.addPicture(QStringLiteral("red.png"), solid(QSize(10, 10), Qt::red), QRect(50, 50, 100, 100));
    const QString pdf = f.dir.path() + QStringLiteral("/no-such-folder/out.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Failed);
    QCOMPARE(dialogs.messages().size(), 1);
    QVERIFY(dialogs.messages().first().contains(QStringLiteral("out.pdf")));
    QVERIFY(!QFile::exists(pdf));
}

void TestPrint::emptyPagePrintsOneBlankSheet_data()
{
    QTest::addColumn<int>("layout");
    QTest::newRow("full page") << 0;
    QTest::newRow("business card: ten white cards") << 2;
}

void TestPrint::emptyPagePrintsOneBlankSheet()
{
    QFETCH(int, layout);
    PageFixture f(layout);
    const QString pdf = f.dir.path() + QStringLiteral("/empty.pdf");
    RecordingDialogs dialogs;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Printed);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY(info.waitForFinished(60000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b"))), qPrintable(text));
    const QImage sheet = rasterise(pdf, 30);
    QVERIFY(!sheet.isNull());
    for (int y = 0; y < sheet.height(); ++y)
        for (int x = 0; x < sheet.width(); ++x)
            if (!isWhite(sheet.pixel(x, y)))
                QFAIL(qPrintable(QStringLiteral("ink at (%1, %2)").arg(x).arg(y)));
}

void TestPrint::noticeAndCancel_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QStringList>("events");
    const QString notice = QStringLiteral("message: Para imprimir Cartões de Visita é necessario\n\r"
                                          "configurar a sua impressora para Papel Carta (215 x 279 mm)");
    QTest::newRow("full page: straight to the dialog") << 0 << QStringList{"printer"};
    QTest::newRow("folded card: straight to the dialog") << 1 << QStringList{"printer"};
    QTest::newRow("business card: the notice first") << 2 << QStringList{notice, "printer"};
}

void TestPrint::noticeAndCancel()
{
    QFETCH(int, layout);
    QFETCH(QStringList, events);
    PageFixture f(layout);
    f.addPicture(QStringLiteral("red.png"), solid(QSize(10, 10), Qt::red), QRect(0, 0, 50, 50));
    const QString pdf = f.dir.path() + QStringLiteral("/cancelled.pdf");
    RecordingDialogs dialogs;
    dialogs.acceptPrinter = false;
    QCOMPARE(printToPdf(f, pdf, dialogs), PrintOutcome::Cancelled);
    QCOMPARE(dialogs.events, events);
    QVERIFY(!QFile::exists(pdf));
}

QString TestPrint::makeArchive(int layout, const QList<TItem>& records,
                               const QList<QPair<QString, QImage>>& pictures)
{
    static int counter = 0;
    const QString folder = m_dir.path() + QStringLiteral("/archive%1/").arg(++counter);
    QDir().mkpath(folder);
    QStringList files;
    for (const auto& [name, image] : pictures) {
        image.save(folder + name);
        files << folder + name;
    }
    writeFile(folder + QStringLiteral("project.txt"), ProjectRecordBytes(int(records.size()), layout));
    writeFile(folder + QStringLiteral("item.txt"), ItemRecordsBytes(records));
    files << folder + QStringLiteral("project.txt") << folder + QStringLiteral("item.txt");
    const QString archive = folder + QStringLiteral("project.vimel");
    PackArchive(archive, files);
    return archive;
}

namespace {

TItem pictureRecord(const QString& name, QRect g, quint8 kind = PictureItem)
{
    TItem r;
    r.Kind = kind;
    r.FileName = QStringLiteral("C:\\Users\\fulano\\") + name;
    r.Left = g.x();
    r.Top = g.y();
    r.Width = g.width();
    r.Height = g.height();
    return r;
}

struct Run
{
    int exitCode = -1;
    QString err;
};

// fileSizeLimit > 0: the run can write no file past that many bytes, as on a full disk.
Run runCli(const QStringList& args, rlim_t fileSizeLimit = 0,
           const QString& paperLocale = QStringLiteral("C"))
{
    QProcess p;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LC_ALL"));
    environment.insert(QStringLiteral("LC_PAPER"), paperLocale);
    p.setProcessEnvironment(environment);
    if (fileSizeLimit > 0)
        p.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    p.start(QStringLiteral(QUADRELA_CLI), args);
    Run r;
    if (!p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

void TestPrint::cliPrint_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("pageSize");  // as pdfinfo reports it, in points
    QTest::addColumn<IntPair>("across");  // the picture's run at that dpi
    QTest::addColumn<QString>("paperLocale");

    QTest::newRow("default: Letter in the US, 600 dpi") << QStringList() << 600 << "612 x 792" << qMakePair(1912, 3187) << "en_US.UTF-8";
    QTest::newRow("default: A4 in Brazil") << QStringList() << 600 << "595" << qMakePair(1860, 3100) << "pt_BR.UTF-8";
    QTest::newRow("A4 paper") << QStringList{"--paper", "a4"} << 600 << "595" << qMakePair(1860, 3100) << "en_US.UTF-8";
    QTest::newRow("300 dpi") << QStringList{"--dpi", "300"} << 300 << "612 x 792" << qMakePair(956, 1594) << "en_US.UTF-8";
    // 2.5 mm at 600 dpi is 59 pixels.
    QTest::newRow("offset 2.5 mm right, 1 mm up") << QStringList{"--offset", "2.5,-1"} << 600 << "612 x 792" << qMakePair(1912 + 59, 3187 + 59) << "en_US.UTF-8";
    QTest::newRow("offset 0.5 mm left at 300 dpi") << QStringList{"--offset", "-.5,+0.0", "--dpi", "300"} << 300 << "612 x 792" << qMakePair(956 - 6, 1594 - 6) << "en_US.UTF-8";
}

void TestPrint::cliPrint()
{
    QFETCH(QStringList, options);
    QFETCH(int, dpi);
    QFETCH(QString, pageSize);
    QFETCH(IntPair, across);
    QFETCH(QString, paperLocale);

    const QString archive = makeArchive(FullPage, {pictureRecord("red.png", QRect(186, 88, 124, 175))},
                                        {{"red.png", solid(QSize(30, 40), Qt::red)}});
    const QString pdf = m_dir.path() + QStringLiteral("/cli-%1.pdf").arg(QTest::currentDataTag()).replace(u' ', u'_');
    const Run run = runCli(QStringList{"print"} + options + QStringList{archive, pdf}, 0, paperLocale);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY(info.waitForFinished(60000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Page size:\\s+") + QRegularExpression::escape(pageSize))),
             qPrintable(text));
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b"))), qPrintable(text));

    const int row = (88 + 80) * 6600 / 702 * dpi / 600;
    const Runs got = runsAlong(rasterise(pdf, dpi, QRect(0, row, 5100 * dpi / 600 + 200, 1)), isRed);
    QVERIFY2(nearlyEqual(got, {across}), describe(got).constData());
}

void TestPrint::cliCardsAtAnyDpi_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QRect>("first"); // the first card printed and the bottom-right one, at that dpi
    QTest::addColumn<QRect>("last");
    QTest::newRow("150 dpi") << 150 << QStringList() << QRect(75, 28, 516, 297) << QRect(595, 1238, 515, 297);
    QTest::newRow("300 dpi") << 300 << QStringList() << QRect(150, 55, 1032, 595) << QRect(1190, 2475, 1030, 595);
    QTest::newRow("600 dpi") << 600 << QStringList() << QRect(300, 110, 2065, 1190) << QRect(2380, 4950, 2060, 1190);
    QTest::newRow("1200 dpi") << 1200 << QStringList() << QRect(600, 220, 4130, 2380) << QRect(4760, 9900, 4120, 2380);
    QTest::newRow("600 dpi from card 2, cut marks") << 600 << QStringList{"--start", "2", "--cut-marks"} << QRect(2380, 110, 2060, 1190) << QRect(2380, 4950, 2060, 1190);
    // Published: 3.5 x 2 in cards from 0.75 in / 0.5 in, edge to edge.
    QTest::newRow("Letter 3.5 x 2 in stock") << 600 << QStringList{"--sheet", "carta-5371"} << QRect(450, 300, 2100, 1200) << QRect(2550, 5100, 2100, 1200);
    // Published: 85 x 54 mm cards from 15 mm / 13.5 mm, 95 mm apart across; the card, 1.75 times
    // as wide as high, fills their width and is centred down: 48.57 mm high, 2.71 mm from the top.
    const auto mm = [](double x, double y) { return QRect(QPoint(std::lround(x * 600 / 25.4), std::lround(y * 600 / 25.4)), QSize(std::lround(85 * 600 / 25.4), std::lround(85 / 1.75 * 600 / 25.4))); };
    QTest::newRow("A4 85 x 54 mm stock, cut marks") << 600 << QStringList{"--sheet", "a4-c32011", "--cut-marks"} << mm(15, 13.5 + 2.714) << mm(110, 13.5 + 4 * 54 + 2.714);
}

void TestPrint::cliCardsAtAnyDpi()
{
    QFETCH(int, dpi);
    QFETCH(QStringList, options);
    QFETCH(QRect, first);
    QFETCH(QRect, last);
    const QString pdf = m_dir.path() + QStringLiteral("/cards-%1.pdf").arg(QTest::currentDataTag()).replace(u' ', u'_');
    QCOMPARE(runCli(QStringList{"print", "--dpi", QString::number(dpi)} + options + QStringList{makeArchive(BusinessCard, {pictureRecord("four.png", QRect(0, 0, 380, 217))}, {{"four.png", quadrantPicture(QSize(76, 44))}}), pdf}).exitCode, 0);
    // Cards edge to edge are told apart by the picture's quarters: red top left, green top
    // right, blue bottom left.
    const QImage across = rasterise(pdf, dpi, QRect(0, first.top() + first.height() / 4, 12000, 1));
    const QImage down = rasterise(pdf, dpi, QRect(last.left() + last.width() / 4, 0, 1, 14000));
    const Runs found{{runsAlong(across, isRed).value(0).first, runsAlong(across, isGreen).value(0).second},
                     {runsAlong(down, isRed).value(4).first, runsAlong(down, isBlue).value(4).second}};
    QVERIFY2(nearlyEqual(found, {{first.left(), first.right() + 1}, {last.top(), last.bottom() + 1}}), describe(found).constData());
    // A cut mark in line with the first card's left edge, in the margin above the cards.
    const QImage above = rasterise(pdf, dpi, QRect(first.left() - 2, first.top() - std::lround(1.5 * dpi / 25.4) - 3, 5, 1));
    QCOMPARE(!runsAlong(above, isDark).isEmpty(), options.contains("--cut-marks"));
}

void TestPrint::exportEqualsPrint_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<bool>("front");
    QTest::addColumn<QSize>("size");
    QTest::newRow("business card at 300 dpi") << 2 << 300 << false << QSize(1050, 600);
    QTest::newRow("full page at 150 dpi, A4, no front") << 0 << 150 << true << QSize(1240, 1754);
    QTest::newRow("folded card, four panels") << 1 << 150 << false << QSize(1240, 1754);
    QTest::newRow("folded card, front upright") << 1 << 150 << true << QSize(620, 877);
}

void TestPrint::exportEqualsPrint()
{
    QFETCH(int, layout);
    QFETCH(int, dpi);
    QFETCH(bool, front);
    QFETCH(QSize, size);
    PageFixture f(layout);
    f.addPicture(QStringLiteral("quad.png"), quadrantPicture(QSize(40, 30)), QRect(20, 10, 100, 80));
    PrintJob job = printJobFor(f.state, *f.items, &f.page);
    const QImage got = exportedPicture(job, PictureExportChoice{dpi, front});
    QCOMPARE(got.size(), size);

    // What the printer gets at that resolution: the card before its ten places, or an A4 sheet.
    job.resolution = dpi;
    QImage expected(QPageSize(QPageSize::A4).sizePixels(dpi), QImage::Format_RGB32);
    expected.fill(Qt::white);
    QPainter painter(&expected);
    ComposePage(painter, expected.size(), job);
    painter.end();
    if (layout == BusinessCard)
        expected = composeCard(preparePage(job, expected.size()), size);
    else if (layout == FoldedCard && front)
        expected = expected.copy(0, 0, size.width(), size.height()).mirrored(true, true);
    QVERIFY(got == expected);
    // The picture's red quarter lies above and left of its yellow one: it is upright.
    QPoint red, yellow, none;
    for (int y = got.height() - 1; y >= 0; --y)
        for (int x = got.width() - 1; x >= 0; --x)
            (isRed(got.pixel(x, y)) ? red : isYellow(got.pixel(x, y)) ? yellow : none) = QPoint(x, y);
    const bool turned = layout == FoldedCard && !front;  // the front, as it prints
    QVERIFY2((red.x() < yellow.x() && red.y() < yellow.y()) != turned, "the picture is turned");
}

void TestPrint::jpegForMessages_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<bool>("withinLimit");
    QTest::newRow("150 dpi: lowered until it fits") << 150 << true;
    QTest::newRow("300 dpi: kept at full quality") << 300 << false;
}

void TestPrint::jpegForMessages()
{
    QFETCH(int, dpi);
    QFETCH(bool, withinLimit);
    QImage noise(1240, 1754, QImage::Format_RGB32);  // a full page of photo grain
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, QRandomGenerator::global()->generate() | 0xff000000u);
    const QByteArray bytes = encodeExportedPicture(noise, "JPEG", dpi);
    QCOMPARE(bytes.size() <= kMessageJpegBytes, withinLimit);
    QCOMPARE(QImage::fromData(bytes, "JPEG").size(), noise.size());
}

void TestPrint::defaultPaperByLocale_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("widthMm");  // 0: the locale is not installed
    QTest::addColumn<int>("heightMm");
    QTest::addColumn<int>("paper");
    const int letter = QPageSize::Letter, a4 = QPageSize::A4;
    QTest::newRow("Brazil") << 0 << "pt_BR.UTF-8" << 210 << 297 << a4;
    QTest::newRow("Brazil wins over a Letter size") << 0 << "pt_BR@x" << 216 << 279 << a4;
    QTest::newRow("US") << 0 << "en_US.UTF-8" << 216 << 279 << letter;
    QTest::newRow("US, not installed") << 1 << "en_US.UTF-8" << 0 << 0 << letter;
    QTest::newRow("Canada, not installed") << 0 << "fr_CA" << 0 << 0 << letter;
    QTest::newRow("US English, A4 paper data") << 0 << "en_US.UTF-8" << 210 << 297 << a4;
    QTest::newRow("C") << 0 << "C" << 210 << 297 << a4;
    QTest::newRow("business card in Germany") << 2 << "de_DE.UTF-8" << 210 << 297 << letter;
}

void TestPrint::defaultPaperByLocale()
{
    QFETCH(int, layout);
    QFETCH(QString, locale);
    QFETCH(int, widthMm);
    QFETCH(int, heightMm);
    QFETCH(int, paper);
    QCOMPARE(int(defaultPaper(layout, LocalePaper{locale, widthMm, heightMm})), paper);
}

void TestPrint::cliExport_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("business card, default 300 dpi, PNG") << 2 << QStringList() << "card.png" << QSize(1050, 600);
    QTest::newRow("full page at 150 dpi, JPEG") << 0 << QStringList{"--dpi", "150"} << "page.jpeg" << QSize(1240, 1754);
    QTest::newRow("folded card's front at 150 dpi") << 1 << QStringList{"--front", "--dpi", "150"} << "front.jpg" << QSize(620, 877);
}

void TestPrint::cliExport()
{
    QFETCH(int, layout);
    QFETCH(QStringList, options);
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QString archive = makeArchive(layout, {pictureRecord("red.png", QRect(0, 0, 100, 100))}, {{"red.png", solid(QSize(20, 20), Qt::red)}});
    const Run run = runCli(QStringList{"export"} + options + QStringList{archive, m_dir.filePath(name)});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(QImageReader(m_dir.filePath(name)).size(), size);
}

void TestPrint::cliRender_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("item");  // a red picture; may stick out of the page
    QTest::addColumn<bool>("foldLine");

    QTest::newRow("full page") << 0 << QSize(496, 702) << QRect(100, 120, 80, 60) << false;
    QTest::newRow("folded card with fold line and labels") << 1 << QSize(541, 382) << QRect(300, 200, 80, 60) << true;
    QTest::newRow("business card, item clipped") << 2 << QSize(380, 217) << QRect(300, 150, 200, 200) << false;
}

void TestPrint::cliRender()
{
    QFETCH(int, layout);
    QFETCH(QSize, size);
    QFETCH(QRect, item);
    QFETCH(bool, foldLine);

    // On the page a picture leaves out the colour of its bottom-left pixel: white here.
    QImage picture = solid(QSize(16, 12), Qt::red);
    picture.setPixel(0, 11, qRgb(255, 255, 255));
    const QString archive = makeArchive(layout, {pictureRecord("red.png", item)}, {{"red.png", picture}});
    const QString png = m_dir.path() + QStringLiteral("/render-%1.png").arg(layout);
    const Run run = runCli({"render", archive, png});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QImage shot(png);
    QCOMPARE(shot.size(), size);

    const QRect visible = item.intersected(QRect(QPoint(0, 0), size));
    QVERIFY(isRed(shot.pixel(visible.center())));
    QVERIFY(isRed(shot.pixel(visible.bottomRight())));
    // White where the page is empty, away from the labels and the fold.
    QVERIFY(isWhite(shot.pixel(size.width() / 4, size.height() - 5)));
    // The fold runs down the middle (the background sits one pixel in from the page edge).
    int dark = 0;
    for (int x = 268; x < 276 && x < size.width(); ++x) {
        int inColumn = 0;
        for (int y = 40; y < size.height() - 10; ++y)
            inColumn += isDark(shot.pixel(x, y)) ? 1 : 0;
        dark = std::max(dark, inColumn);
    }
    if (foldLine) {
        QVERIFY(dark > 50);  // dashed
        int label = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 60; ++x)
                label += isDark(shot.pixel(x, y)) ? 1 : 0;
        QVERIFY2(label > 10, "the label \"Frente\" is missing");
    } else if (size.width() > 271) {
        QCOMPARE(dark, 0);
    }
}

void TestPrint::cliFailures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QString missing = m_dir.path() + QStringLiteral("/missing.vimel");
    const QString garbage = m_dir.path() + QStringLiteral("/garbage.vimel");
    writeFile(garbage, QByteArray("not a zip archive at all"));
    const QString out = m_dir.path() + QStringLiteral("/failed.pdf");
    QTest::newRow("print without output") << QStringList{"print", missing} << 2 << "usage";
    QTest::newRow("unknown paper") << QStringList{"print", "--paper", "b5", missing, out} << 2 << "usage";
    QTest::newRow("zero dpi") << QStringList{"print", "--dpi", "0", missing, out} << 2 << "usage";
    QTest::newRow("offset out of range") << QStringList{"print", "--offset", "10.1,0", missing, out} << 2 << "--offset 10.1,0:";
    QTest::newRow("offset with one value") << QStringList{"print", "--offset", "2.5", missing, out} << 2 << "--offset 2.5:";
    QTest::newRow("offset as text") << QStringList{"print", "--offset", "left,1", missing, out} << 2 << "--offset left,1:";
    QTest::newRow("export to a GIF") << QStringList{"export", missing, m_dir.path() + "/out.gif"} << 2 << "usage";
    QTest::newRow("export at 200 dpi") << QStringList{"export", "--dpi", "200", missing, m_dir.path() + "/out.png"} << 2 << "usage";
    QTest::newRow("render with an unknown option") << QStringList{"render", "--fast", missing, out} << 2 << "usage";
    QTest::newRow("unknown sheet") << QStringList{"print", "--sheet", "5371", missing, out} << 2 << "--sheet 5371: folha desconhecida";
    QTest::newRow("sheet on other paper") << QStringList{"print", "--paper", "letter", "--sheet", "a4-c32011", missing, out} << 2 << "papel A4";
    QTest::newRow("start past the last card") << QStringList{"print", "--start", "11", missing, out} << 2 << "usage";
    QTest::newRow("missing archive") << QStringList{"print", missing, out} << 1 << "Cannot open file";
    QTest::newRow("not an archive") << QStringList{"render", garbage, out} << 1 << "";
}

void TestPrint::cliFailures()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const Run run = runCli(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(!run.err.isEmpty());
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!QFile::exists(args.last()));
}

void TestPrint::cliPrintToUnwritableFile()
{
    const QString archive = makeArchive(FullPage, {}, {});
    const QString pdf = m_dir.path() + QStringLiteral("/no-such-folder/out.pdf");
    const Run run = runCli({"print", archive, pdf});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("out.pdf")), qPrintable(run.err));
}

void TestPrint::cliLeavesTheOutputAlone_data()
{
    QTest::addColumn<QString>("output");  // "full": an earlier PDF on a disk too full for the new
    QTest::addColumn<bool>("merge");
    QTest::addColumn<QString>("reason");

    QTest::newRow("disk full") << "full" << false << QString::fromLocal8Bit(std::strerror(EFBIG));
    QTest::newRow("disk full, merged") << "full" << true << QString::fromLocal8Bit(std::strerror(EFBIG));
    QTest::newRow("pipe") << "fifo" << false << "não é um arquivo comum";
    QTest::newRow("link to the archive") << "link" << false << "é um link simbólico";
    QTest::newRow("the archive by another name") << "archive" << false << "é o arquivo de entrada";
    QTest::newRow("the spreadsheet, hard-linked") << "csv" << true << "é o arquivo de entrada";
    QTest::newRow("a picture exported onto its archive") << "own picture" << false << "é o arquivo de entrada";
}

void TestPrint::cliLeavesTheOutputAlone()
{
    QFETCH(QString, output);
    QFETCH(bool, merge);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString archive = makeArchive(FullPage, {}, {});
    const QString csv = dir.filePath(QStringLiteral("data.csv"));
    writeFile(csv, "N\nAna\nBia\n");
    QString out = dir.filePath(QStringLiteral("out.pdf"));
    QStringList options = merge ? QStringList{"print", "--merge", csv} : QStringList{"print"};
    rlim_t limit = 0;
    if (output == u"full") {
        QCOMPARE(runCli(options + QStringList{archive, out}).exitCode, 0);
        limit = QFileInfo(out).size() - 1;
    } else if (output == u"fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(out).constData(), 0600), 0);
    } else if (output == u"link") {
        QVERIFY(QFile::link(archive, out));
    } else if (output == u"archive") {
        out = QFileInfo(archive).path() + QStringLiteral("/./") + QFileInfo(archive).fileName();
    } else if (output == u"own picture") {
        out = dir.filePath(QStringLiteral("projeto.png"));
        QVERIFY(QFile::copy(archive, out));
        archive = out;
        options = {"export"};
    } else {
        QCOMPARE(link(QFile::encodeName(csv).constData(), QFile::encodeName(out).constData()), 0);
    }
    const auto readFile = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const auto snapshot = [&] {
        struct stat st;
        lstat(QFile::encodeName(out).constData(), &st);
        QByteArray bytes = QByteArray::number(st.st_mode) + readFile(archive) + readFile(csv);
        return S_ISREG(st.st_mode) ? bytes + readFile(out) : bytes;
    };
    const QByteArray before = snapshot();
    const Run run = runCli(options + QStringList{archive, out}, limit);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(out, reason)), qPrintable(run.err));
    QCOMPARE(snapshot(), before);
    // No temporary file is left beside the output.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(),
             output == u"archive" ? 1 : 2);
}

void TestPrint::mergedSheetIsTheTypedSheet_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("alignment");

    QTest::newRow("full page, left-aligned") << int(FullPage) << QPoint(40, 100) << 0;
    QTest::newRow("full page, centred") << int(FullPage) << QPoint(150, 300) << 1;
    QTest::newRow("folded card front, right-aligned, turned") << int(FoldedCard) << QPoint(150, 40) << 2;
    QTest::newRow("folded card inside") << int(FoldedCard) << QPoint(290, 100) << 0;
}

// A page printed for a row is the page with the row's values typed into its texts, which
// keep the edge (or centre) their alignment holds.
void TestPrint::mergedSheetIsTheTypedSheet()
{
    QFETCH(int, layout);
    QFETCH(QPoint, at);
    QFETCH(int, alignment);
    const QString csv = m_dir.path() + QStringLiteral("/typed.csv");
    writeFile(csv, QByteArray("Nome;Cidade\r\nMaria Aparecida da Silva;S\xE9\r\n"));
    TextAttributes look = attributesOf(QStringLiteral("Arial"), 10, 0x00FF0000);
    look.Alignment = quint8(alignment);
    const QImage picture = quadrantPicture(QSize(40, 30));

    PageFixture merged(layout);
    merged.addPicture(QStringLiteral("q.png"), picture, QRect(20, 20, 120, 90));
    const QRect field = merged.addText(QStringLiteral("Cara {nome}\r\nde {CIDADE}!"), look, at).Image()->geometry();
    PageFixture typed(layout);
    typed.addPicture(QStringLiteral("q.png"), picture, QRect(20, 20, 120, 90));
    TImg& text = typed.addText(QStringLiteral("Cara Maria Aparecida da Silva\r\nde Sé!"), look, at);
    const int w = text.Image()->width();
    text.SetLeft(alignment == 0 ? at.x() : alignment == 1 ? at.x() + (field.width() - w) / 2 : field.right() + 1 - w);

    const QSize printable(1275, 1650);
    QImage expected(printable, QImage::Format_RGB32);
    expected.fill(Qt::white);
    QImage got = expected;
    QPainter p1(&expected);
    ComposePage(p1, printable, printJobFor(typed.state, *typed.items, &typed.page));
    p1.end();
    MergedSheets sheets(printJobFor(merged.state, *merged.items, &merged.page), csv);
    QPainter p2(&got);
    QCOMPARE(sheets.composeNext(p2, printable, {}), MergedSheets::Step::Sheet);
    p2.end();
    QCOMPARE(got, expected);
    QPainter p3(&got);
    QCOMPARE(sheets.composeNext(p3, printable, {}), MergedSheets::Step::End);
}

void TestPrint::mergedCardsInReadingOrder()
{
    const QString csv = m_dir.path() + QStringLiteral("/cards.csv");
    QByteArray rows("N\n");
    for (int k = 1; k <= 12; ++k)
        rows += QByteArray(k, 'M') + '\n';
    writeFile(csv, rows);
    PageFixture f(BusinessCard);
    f.addText(QStringLiteral("{N}"), attributesOf(QStringLiteral("Arial"), 10), QPoint(5, 80));
    MergedSheets sheets(printJobFor(f.state, *f.items, &f.page), csv);
    QCOMPARE(sheets.sheetCount(), 2);

    // Ink width of each place, in reading order: left to right, then down.
    QList<int> widths;
    for (int sheet = 0; sheet < 2; ++sheet) {
        QImage image(888, 1228, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(0.2, 0.2);
        QCOMPARE(sheets.composeNext(painter, QSize(5100, 6600), {}), MergedSheets::Step::Sheet);
        painter.end();
        for (int n = 0; n < 10; ++n) {
            const QRect place(n % 2 ? 476 : 60, 22 + 242 * (n / 2), 412, 238);
            int inked = 0;
            for (int x = place.left() + 1; x < place.right(); ++x)
                for (int y = place.top() + 1; y < place.bottom(); ++y)
                    if (isDark(image.pixel(x, y))) {
                        ++inked;
                        break;
                    }
            widths.append(inked);
        }
    }
    for (int n = 1; n < 12; ++n)
        QVERIFY2(widths.at(n) > widths.at(n - 1), qPrintable(QStringLiteral("place %1").arg(n)));
    QCOMPARE(widths.mid(12), QList<int>(8, 0));
}

void TestPrint::mergeFillsFromFirstCard_data()
{
    QTest::addColumn<int>("firstCard");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("inked"); // the places with a card, sheet after sheet
    QTest::newRow("card 7, three rows") << 7 << 3 << "7,8,9";
    QTest::newRow("card 7, six rows") << 7 << 6 << "7,8,9,10|1,2";
    QTest::newRow("card 4 filled by seven rows") << 4 << 7 << "4,5,6,7,8,9,10";
    QTest::newRow("card 10, two rows") << 10 << 2 << "10|1";
    QTest::newRow("card 1, eleven rows") << 1 << 11 << "1,2,3,4,5,6,7,8,9,10|1";
}

void TestPrint::mergeFillsFromFirstCard()
{
    QFETCH(int, firstCard);
    QFETCH(int, rows);
    QFETCH(QString, inked);
    const QString csv = m_dir.path() + QStringLiteral("/from-card.csv");
    writeFile(csv, "N\n" + QByteArray("MM\n").repeated(rows));
    PageFixture f(BusinessCard);
    f.addText(QStringLiteral("{N}"), attributesOf(QStringLiteral("Arial"), 10), QPoint(5, 80));
    MergedSheets sheets(printJobFor(f.state, *f.items, &f.page), csv);
    sheets.setCardSheet(CardSheet{QString(), firstCard, false, QPoint()});
    QStringList found;
    // Sheets are turned to as the preview does, last first.
    for (int sheet = sheets.sheetCount() - 1; sheet >= 0; --sheet) {
        QImage image(444, 614, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(0.1, 0.1);
        sheets.seekSheet(sheet);
        QCOMPARE(sheets.composeNext(painter, QSize(5100, 6600), {}), MergedSheets::Step::Sheet);
        painter.end();
        QStringList places;
        for (int n = 0; n < 10; ++n) {
            const QRect place(n % 2 ? 238 : 30, 11 + 121 * (n / 2), 206, 119);
            bool ink = false;
            for (int x = place.left() + 1; x < place.right() && !ink; ++x)
                for (int y = place.top() + 1; y < place.bottom() && !ink; ++y)
                    ink = isDark(image.pixel(x, y));
            if (ink)
                places.append(QString::number(n + 1));
        }
        found.prepend(places.join(u','));
    }
    QCOMPARE(found.join(u'|'), inked);
}

void TestPrint::cliMerge_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("pages");  // 0: no file is left
    QTest::addColumn<QString>("message");

    const QByteArray three("N;X\nAna;1\nBia;2\nCia;3\n");
    QTest::newRow("every row, progress") << three << QStringList() << 0 << 3 << "3 de 3 folhas";
    QTest::newRow("rows 3 to 4") << three << QStringList{"--rows", "3-4"} << 0 << 2 << "2 de 2 folhas";
    QTest::newRow("one sheet, singular") << three << QStringList{"--rows", "4-9"} << 0 << 1 << "1 de 1 folha\n";
    QTest::newRow("row longer than the header")
        << QByteArray("N;X\nAna;1;x\nBia;2\n") << QStringList() << 1 << 0
        << "Linha 2: a linha tem 3 colunas, mas o cabeçalho tem 2 colunas.";
    QTest::newRow("value longer than any text shows")
        << QByteArray("N;X\n") + QByteArray(70000, 'W') + ";1\nBia;2\n" << QStringList{"--skip-bad-rows"}
        << 0 << 1 << "Linha 2, coluna N: o valor tem mais de 64 kB";
    QTest::newRow("quiet") << three << QStringList{"--quiet"} << 0 << 3 << "";
    QTest::newRow("ragged row stops the job")
        << QByteArray("N;X\nAna;1\nBia\nCia;3\n") << QStringList() << 1 << 0
        << "Linha 3: a linha tem 1 coluna, mas o cabeçalho tem 2 colunas.";
    QTest::newRow("ragged row left out") << QByteArray("N;X\nAna;1\nBia\nCia;3\n")
                                         << QStringList{"--skip-bad-rows"} << 0 << 2 << "Linha 3";
    QTest::newRow("value too long for the page")
        << QByteArray("N;X\n") + QByteArray(120, 'W') + ";1\nBia;2\n" << QStringList{"--skip-bad-rows"}
        << 0 << 1 << "Linha 2, colunas N, X: o texto preenchido não cabe na página.";
    QTest::newRow("no header") << QByteArray("Ana;1\nBia;2\n") << QStringList() << 0 << 1
                               << "Nenhum campo da página corresponde a uma coluna";
    QTest::newRow("unused columns, ten listed")
        << "N;X" + QByteArray(";c").repeated(12) + "\nAna;1" + QByteArray(";z").repeated(12) << QStringList()
        << 0 << 1 << "usa: c, c, c, c, c, c, c, c, c, c e mais 2 colunas.\n";
    QTest::newRow("empty spreadsheet") << QByteArray() << QStringList() << 1 << 0 << "está vazio";
    QTest::newRow("rows without a spreadsheet") << QByteArray() << QStringList{"--rows", "2-3", "--merge"}
                                                << 2 << 0 << "usage";
}

void TestPrint::cliMerge()
{
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(int, pages);
    QFETCH(QString, message);
    TItem text;
    text.Kind = TextItem;
    text.Text = QStringLiteral("{N} {X}");
    text.FontName = QStringLiteral("Arial");
    text.FontSize = 20;
    text.Left = 100;
    text.Top = 100;
    const QString archive = makeArchive(FullPage, {text}, {});
    const QString data = m_dir.path() + QStringLiteral("/merge.csv");
    writeFile(data, csv);
    const QString pdf = m_dir.path() + QStringLiteral("/merged.pdf");
    QFile::remove(pdf);
    if (options.endsWith(QStringLiteral("--merge")))
        options.removeLast();  // the spreadsheet is left out
    else
        options << QStringLiteral("--merge") << data;
    const Run run = runCli(QStringList{"print"} + options + QStringList{archive, pdf});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY2(!options.contains(QStringLiteral("--quiet")) || run.err.isEmpty(), qPrintable(run.err));
    QCOMPARE(QFile::exists(pdf), pages > 0);
    if (pages > 0) {
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY(info.waitForFinished(60000));
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\b").arg(pages))), qPrintable(text));
    }
}

void TestPrint::mergedPdfAndRowsAtFault_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("pages"); // 0: the earlier file stays as it was
    QTest::addColumn<int>("messages");
    QTest::addColumn<bool>("cancel"); // "Cancelar" pressed before the answer; the row is the last

    QTest::newRow("going on leaves the row out") << int(Answer::Yes) << 2 << 2 << false;
    QTest::newRow("stopping keeps the earlier file") << int(Answer::No) << 0 << 1 << false;
    QTest::newRow("cancelled, then going on") << int(Answer::Yes) << 0 << 1 << true;
}

void TestPrint::mergedPdfAndRowsAtFault()
{
    QFETCH(int, answer);
    QFETCH(int, pages);
    QFETCH(int, messages);
    QFETCH(bool, cancel);
    const QString csv = m_dir.path() + QStringLiteral("/fault.csv");
    const QByteArray rows = QByteArray("N;X\nAna;1\nBia\n") + (cancel ? "" : "Cia;3\n");
    writeFile(csv, rows);
    const QString pdf = m_dir.path() + QStringLiteral("/fault.pdf");
    writeFile(pdf, QByteArray("earlier"));
    PageFixture f(FullPage);
    f.addText(QStringLiteral("{N}"), attributesOf(QStringLiteral("Arial"), 10), QPoint(40, 40));
    MergedSheets sheets(printJobFor(f.state, *f.items, &f.page), csv);
    RecordingDialogs dialogs;
    dialogs.answer = Answer(answer);
    if (cancel)
        dialogs.beforeAnswer = [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QProgressDialog*>(w))
                    box->cancel();
        };
    writeMergedPdf(MergeCommandContext{nullptr, dialogs, sheets, QPoint()}, pdf,
                   QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()), 600);
    QCOMPARE(dialogs.messages().size(), messages);
    const QString question = dialogs.messages().first();
    QVERIFY2(question.startsWith(QStringLiteral("Linha 3: ")) && question.contains(u"Salvar as outras"), qPrintable(question));
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    if (pages == 0)
        QCOMPARE(bytes, QByteArray("earlier"));
    else
        QCOMPARE(int(bytes.count("/Type /Page\n")), pages);
    QFile data(csv);
    QVERIFY(data.open(QIODevice::ReadOnly));
    QCOMPARE(data.readAll(), rows);
}

using Papers = QList<QPageSize>;
using Pick = std::optional<QPageSize>;

void TestPrint::paperAfterPrintDialog_data()
{
    QTest::addColumn<QPageSize>("asked");
    QTest::addColumn<QPageSize>("returned");
    QTest::addColumn<Pick>("picked");
    QTest::addColumn<Papers>("offered");
    QTest::addColumn<QPageSize>("expected");
    const QPageSize a4(QPageSize::A4), letter(QPageSize::Letter), legal(QPageSize::Legal);
    // A printer's own entry for A4, under its own name.
    const QPageSize printerA4(QSize(595, 842), QStringLiteral("A4 da impressora"));
    QTest::newRow("untouched dialog keeps the asked paper")
        << a4 << letter << Pick() << Papers{letter, printerA4} << printerA4;
    QTest::newRow("paper picked in the dialog") << a4 << letter << Pick(letter) << Papers{letter, a4} << letter;
    QTest::newRow("A4 picked over Letter") << letter << a4 << Pick(a4) << Papers{letter, a4} << a4;
    QTest::newRow("pick taken back") << a4 << letter << Pick(legal) << Papers{letter, a4, legal} << a4;
    QTest::newRow("printer without that paper") << a4 << letter << Pick() << Papers{letter, legal} << letter;
    QTest::newRow("a file takes any paper") << a4 << letter << Pick() << Papers{} << a4;
}

void TestPrint::paperAfterPrintDialog()
{
    QFETCH(QPageSize, asked);
    QFETCH(QPageSize, returned);
    QFETCH(Pick, picked);
    QFETCH(Papers, offered);
    QFETCH(QPageSize, expected);
    const QPageSize paper = paperAfterDialog(asked, returned, picked, offered);
    QVERIFY2(paper == expected, qPrintable(paper.name()));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
