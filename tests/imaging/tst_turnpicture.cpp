// Turned pictures against the source turned, and against libjpeg-turbo's own transform.
#include "core/textfile.h"
#include "imaging/turnpicture.h"

#include <QTest>
#include <turbojpeg.h>

using namespace quadrela;

class TestTurnPicture : public QObject
{
    Q_OBJECT
private slots:
    void turn_data();
    void turn();
};

void TestTurnPicture::turn_data()
{
    using T = PictureTurn;
    QTest::addColumn<QString>("file");
    QTest::addColumn<PictureTurn>("turn");
    QTest::addColumn<int>("reference"); // libjpeg-turbo's transform of a lossless turn, or -1
    QTest::newRow("jpeg grey right")
        << "grayscale_16x24_sampling2x2.jpg" << T::Right << int(TJXOP_ROT90);
    QTest::newRow("jpeg cmyk left") << "jpg-cmyk-1.jpg" << T::Left << int(TJXOP_ROT270);
    QTest::newRow("jpeg cmyk mirrored")
        << "jpg-cmyk-1.jpg" << T::MirrorHorizontal << int(TJXOP_HFLIP);
    QTest::newRow("jpeg grey upside down")
        << "jpg-gray.jpg" << T::MirrorVertical << int(TJXOP_VFLIP);
    // Partial blocks at an edge the turn moves: encoded again, no pixel cut off.
    QTest::newRow("jpeg 227 x 149 right") << "testorig.jpg" << T::Right << -1;
    QTest::newRow("png alpha left") << "basn6a08.png" << T::Left << -1;
    QTest::newRow("png transparent colour right") << "tbrn2c08.png" << T::Right << -1;
    QTest::newRow("png palette upside down") << "tp1n3p08.png" << T::MirrorVertical << -1;
}

void TestTurnPicture::turn()
{
    QFETCH(QString, file);
    QFETCH(PictureTurn, turn);
    QFETCH(int, reference);
    const PictureFormat format = formatForExtension(pictureExtension(file));
    const bool jpeg = format == PictureFormat::Jpeg;
    const QByteArray in = readRegularFile(
        QUADRELA_CORPUS_DIR + QString(jpeg ? "/jpeg/valid/" : "/pngsuite/") + file, 1 << 24);
    const auto decoded = [format](const QByteArray& data) {
        TPicture picture;
        return picture.LoadFromData(data, format), picture.toImage();
    };
    const TurnedPicture turned = turnPicture(in, format, turn);
    QCOMPARE(turned.extension, jpeg ? "jpg" : "png");
    const QImage result = decoded(turned.bytes);
    const QTransform transforms[] = {QTransform().rotate(90), QTransform().rotate(-90),
                                     QTransform::fromScale(-1, 1), QTransform::fromScale(1, -1)};
    const QImage want = decoded(in).transformed(transforms[int(turn)]);
    QCOMPARE(result.size(), want.size());
    int most = 0; // a JPEG encoded again differs by its rounding
    for (qsizetype i = 0; i < want.sizeInBytes(); ++i)
        most = std::max(most, std::abs(result.constBits()[i] - want.constBits()[i]));
    QVERIFY(most <= (jpeg ? 6 : 0));
    if (reference < 0)
        return;
    tjtransform t{{}, reference, TJXOPT_PERFECT, nullptr, nullptr};
    unsigned char* out = nullptr;
    unsigned long n = 0;
    tjhandle h = tjInitTransform();
    tjTransform(h, reinterpret_cast<const uchar*>(in.data()), ulong(in.size()), 1, &out, &n, &t, 0);
    QCOMPARE(result, decoded(QByteArray(reinterpret_cast<char*>(out), qsizetype(n))));
    tjFree(out), tjDestroy(h);
}

QTEST_MAIN(TestTurnPicture)
#include "tst_turnpicture.moc"
