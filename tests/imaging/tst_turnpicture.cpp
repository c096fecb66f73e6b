// Turned pictures against the source turned pixel by pixel; a JPEG turned block by block
// against libjpeg-turbo's own transform.
#include "codecs/png.h"
#include "imaging/turnpicture.h"

#include <QTest>
#include <turbojpeg.h>

using namespace quadrela;

namespace {

QByteArray taken(unsigned char*& out, unsigned long n)
{
    const QByteArray bytes(reinterpret_cast<char*>(out), qsizetype(n));
    return tjFree(std::exchange(out, nullptr)), bytes;
}

QImage decoded(const QByteArray& bytes, PictureFormat format)
{
    TPicture picture;
    picture.LoadFromData(bytes, format);
    return picture.toImage();
}

} // namespace

class TestTurnPicture : public QObject
{
    Q_OBJECT
private slots:
    void turn_data();
    void turn();
};

void TestTurnPicture::turn_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<PictureTurn>("turn");
    QTest::addColumn<int>("reference"); // libjpeg-turbo's transform of a lossless turn, or -1
    QTest::newRow("jpeg right") << "jpg" << QSize(32, 16) << PictureTurn::Right << int(TJXOP_ROT90);
    QTest::newRow("jpeg left") << "jpg" << QSize(32, 16) << PictureTurn::Left << int(TJXOP_ROT270);
    QTest::newRow("jpeg mirrored") << "jpg" << QSize(32, 16) << PictureTurn::MirrorHorizontal << int(TJXOP_HFLIP);
    QTest::newRow("jpeg upside down") << "jpg" << QSize(32, 16) << PictureTurn::MirrorVertical << int(TJXOP_VFLIP);
    // A partial block at an edge the turn moves: encoded again, no pixel cut off.
    QTest::newRow("jpeg odd height, right") << "jpg" << QSize(32, 17) << PictureTurn::Right << -1;
    QTest::newRow("png alpha, left") << "png alpha" << QSize(30, 20) << PictureTurn::Left << -1;
    QTest::newRow("png key, upside down") << "png key" << QSize(30, 21) << PictureTurn::MirrorVertical << -1;
}

void TestTurnPicture::turn()
{
    QFETCH(QString, kind);
    QFETCH(QSize, size);
    QFETCH(PictureTurn, turn);
    QFETCH(int, reference);
    // No two pixels alike along either axis.
    QImage image(size, kind == "png alpha" ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgba(x * 8, y * 8, 60, 40 + x));
    const PictureFormat format = kind == "jpg" ? PictureFormat::Jpeg : PictureFormat::Png;
    TPNGObject png = TPNGObject::fromBitmap(image);
    if (kind == "png key")
        png.setTransparentColor(image.pixel(2, 1));
    QByteArray bytes = png.encode();
    unsigned char* out = nullptr;
    unsigned long n = 0;
    if (format == PictureFormat::Jpeg) {
        tjhandle h = tjInitCompress();
        tjCompress2(h, image.constBits(), size.width(), int(image.bytesPerLine()), size.height(),
                    TJPF_BGRX, &out, &n, TJSAMP_420, 85, 0);
        bytes = taken(out, n), tjDestroy(h);
    }

    const TurnedPicture turned = turnPicture(bytes, format, turn);
    QCOMPARE(turned.extension, kind.left(3));
    const QImage result = decoded(turned.bytes, format);
    const QTransform transforms[] = {QTransform().rotate(90), QTransform().rotate(-90),
                                     QTransform::fromScale(-1, 1), QTransform::fromScale(1, -1)};
    const QImage want = decoded(bytes, format).transformed(transforms[int(turn)]);
    QCOMPARE(result.size(), want.size());
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            for (int shift : {0, 8, 16, 24}) // a JPEG encoded again differs by its rounding
                QVERIFY(std::abs(int(result.pixel(x, y) >> shift & 255) -
                                 int(want.pixel(x, y) >> shift & 255)) <= (kind == "jpg" ? 6 : 0));
    if (reference >= 0) {
        tjhandle h = tjInitTransform();
        tjtransform t{};
        t.op = reference, t.options = TJXOPT_PERFECT;
        tjTransform(h, reinterpret_cast<const uchar*>(bytes.data()), ulong(bytes.size()), 1, &out, &n, &t, 0);
        QCOMPARE(result, decoded(taken(out, n), format));
        tjDestroy(h);
    }
}

QTEST_MAIN(TestTurnPicture)
#include "tst_turnpicture.moc"
