#include "art/artwork.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSet>
#include <QTest>

using namespace quadrela;

class TestArt : public QObject
{
    Q_OBJECT
private slots:
    void pictures_data();
    void pictures();
    void everyPictureIsListed();
    void refusedRequests_data();
    void refusedRequests();
    void highDensityKeepsLogicalSize();
    void appIconHasSmallAndLargeSizes();
};

namespace {

// Distinct colours among the pixels that are not fully transparent.
int distinctOpaqueColours(const QImage& image, int stopAt)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            seen.insert(line[x]);
            if (seen.size() >= stopAt)
                return int(seen.size());
        }
    }
    return int(seen.size());
}

// Every picture the windows show, with the size of the control that shows it.
const QList<std::pair<const char*, QSize>>& expectedPictures()
{
    static const QList<std::pair<const char*, QSize>> pictures = {
        {"banner", {640, 100}},
        {"logo", {83, 96}},
        {"creditos-picture", {300, 206}},
        {"novo", {32, 32}},
        {"abrir", {32, 32}},
        {"salvar", {32, 32}},
        {"texto", {32, 32}},
        {"imagem", {32, 32}},
        {"borda", {32, 32}},
        {"imprimir", {32, 32}},
        {"visualizar", {32, 32}},
        {"creditos", {27, 27}},
        {"sair", {27, 27}},
        {"desfazer", {27, 27}},
        {"refazer", {27, 27}},
        {"alinhar-esquerda", {23, 22}},
        {"alinhar-centro", {23, 22}},
        {"alinhar-direita", {23, 22}},
    };
    return pictures;
}

} // namespace

void TestArt::pictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("fillsFrame");
    for (const auto& [name, size] : expectedPictures()) {
        // The banner and the credits picture cover their whole frame; glyphs and the logo
        // must leave their corners see-through.
        const bool fills = QByteArray(name) == "banner" || QByteArray(name) == "creditos-picture";
        QTest::newRow(name) << QString::fromLatin1(name) << size << fills;
    }
}

void TestArt::pictures()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(bool, fillsFrame);

    QCOMPARE(artSize(name), size);

    const QPixmap pixmap = artPixmap(name, size);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), size);

    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(distinctOpaqueColours(image, 3) >= 3, "blank or single-coloured picture");

    const QList<QPoint> corners = {{0, 0},
                                   {size.width() - 1, 0},
                                   {0, size.height() - 1},
                                   {size.width() - 1, size.height() - 1}};
    for (const QPoint& corner : corners) {
        const int alpha = qAlpha(image.pixel(corner));
        if (fillsFrame)
            QCOMPARE(alpha, 255);
        else
            QVERIFY2(alpha < 255,
                     qPrintable(
                         QStringLiteral("opaque corner at %1,%2").arg(corner.x()).arg(corner.y())));
    }
}

void TestArt::everyPictureIsListed()
{
    QStringList expected;
    for (const auto& entry : expectedPictures())
        expected << QString::fromLatin1(entry.first);
    expected.sort();
    QCOMPARE(artNames(), expected);
}

void TestArt::refusedRequests_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("unknown name") << QStringLiteral("nenhum") << QSize(32, 32) << 1.0;
    QTest::newRow("empty name") << QString() << QSize(32, 32) << 1.0;
    QTest::newRow("path outside the library")
        << QStringLiteral("../art/novo") << QSize(32, 32) << 1.0;
    QTest::newRow("zero width") << QStringLiteral("novo") << QSize(0, 32) << 1.0;
    QTest::newRow("negative size") << QStringLiteral("novo") << QSize(-5, -5) << 1.0;
    QTest::newRow("zero ratio") << QStringLiteral("novo") << QSize(32, 32) << 0.0;
}

void TestArt::refusedRequests()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(qreal, ratio);
    QVERIFY(artPixmap(name, size, ratio).isNull());
}

void TestArt::highDensityKeepsLogicalSize()
{
    const QPixmap pixmap = artPixmap(QStringLiteral("logo"), QSize(83, 96), 2.0);
    QCOMPARE(pixmap.size(), QSize(166, 192));
    QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(83, 96));
    // The artwork is ready-made pictures: showing it must not load the SVG renderer.
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("libQt6Svg"));
}

void TestArt::appIconHasSmallAndLargeSizes()
{
    const QIcon icon = appIcon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(256, 256)));
    QCOMPARE(icon.pixmap(QSize(48, 48)).size(), QSize(48, 48));
}

QTEST_MAIN(TestArt)
#include "tst_art.moc"
