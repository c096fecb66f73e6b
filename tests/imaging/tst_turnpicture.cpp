// Turned pictures against the source turned pixel by pixel; a JPEG turned block by block
// against libjpeg-turbo's own transform.
#include "core/textfile.h"
#include "imaging/turnpicture.h"

#include <QTest>
#include <turbojpeg.h>

using namespace quadrela;

static QImage decoded(const QByteArray& bytes, PictureFormat format)
{
    TPicture picture;
    picture.LoadFromData(bytes, format);
    return picture.toImage();
}

class TestTurnPicture : public QObject
{
    Q_OBJECT
private slots:
    void turn_data();
    void turn();
};

void TestTurnPicture::turn_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<PictureTurn>("turn");
    QTest::addColumn<int>("reference"); // libjpeg-turbo's transform of a lossless turn, or -1
    QTest::newRow("jpeg grey 16 x 24 right") << "jpeg/valid/grayscale_16x24_sampling2x2.jpg" << PictureTurn::Right << int(TJXOP_ROT90);
    QTest::newRow("jpeg cmyk left") << "jpeg/valid/jpg-cmyk-1.jpg" << PictureTurn::Left << int(TJXOP_ROT270);
    QTest::newRow("jpeg cmyk mirrored") << "jpeg/valid/jpg-cmyk-1.jpg" << PictureTurn::MirrorHorizontal << int(TJXOP_HFLIP);
    QTest::newRow("jpeg grey upside down") << "jpeg/valid/jpg-gray.jpg" << PictureTurn::MirrorVertical << int(TJXOP_VFLIP);
    // Partial blocks at an edge the turn moves: encoded again, no pixel cut off.
    QTest::newRow("jpeg 227 x 149 right") << "jpeg/valid/testorig.jpg" << PictureTurn::Right << -1;
    QTest::newRow("jpeg 227 x 149 mirrored") << "jpeg/valid/testorig.jpg" << PictureTurn::MirrorHorizontal << -1;
    QTest::newRow("png alpha left") << "pngsuite/basn6a08.png" << PictureTurn::Left << -1;
    QTest::newRow("png transparent colour right") << "pngsuite/tbrn2c08.png" << PictureTurn::Right << -1;
    QTest::newRow("png palette upside down") << "pngsuite/tp1n3p08.png" << PictureTurn::MirrorVertical << -1;
}

void TestTurnPicture::turn()
{
    QFETCH(QString, file);
    QFETCH(PictureTurn, turn);
    QFETCH(int, reference);
    const QByteArray bytes = readRegularFile(QUADRELA_CORPUS_DIR "/" + file, 1 << 24);
    const PictureFormat format = formatForExtension(pictureExtension(file));
    const TurnedPicture turned = turnPicture(bytes, format, turn);
    QCOMPARE(turned.extension, format == PictureFormat::Jpeg ? "jpg" : "png");
    const QImage result = decoded(turned.bytes, format);
    const QTransform transforms[] = {QTransform().rotate(90), QTransform().rotate(-90),
                                     QTransform::fromScale(-1, 1), QTransform::fromScale(1, -1)};
    const QImage want = decoded(bytes, format).transformed(transforms[int(turn)]);
    QCOMPARE(result.size(), want.size());
    int most = 0; // a JPEG encoded again differs by its rounding
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            for (int shift : {0, 8, 16, 24})
                most = std::max(most, std::abs(int(result.pixel(x, y) >> shift & 255) -
                                               int(want.pixel(x, y) >> shift & 255)));
    QVERIFY(most <= (format == PictureFormat::Jpeg ? 6 : 0));
    if (reference >= 0) {
        tjhandle h = tjInitTransform();
        tjtransform t{};
        t.op = reference, t.options = TJXOPT_PERFECT;
        unsigned char* out = nullptr;
        unsigned long n = 0;
        tjTransform(h, reinterpret_cast<const uchar*>(bytes.data()), ulong(bytes.size()), 1, &out, &n, &t, 0);
        QCOMPARE(result, decoded(QByteArray(reinterpret_cast<char*>(out), qsizetype(n)), format));
        tjFree(out), tjDestroy(h);
    }
}

QTEST_MAIN(TestTurnPicture)
#include "tst_turnpicture.moc"
