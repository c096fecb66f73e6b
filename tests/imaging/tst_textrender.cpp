// Text blocks rendered into pictures, checked by measuring the pixels of the PNG written.
#include "codecs/png.h"
#include "core/errors.h"
#include "imaging/textrender.h"
#include "workspace.h"

#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTest>

using namespace quadrela;
using namespace quadrela::test;

namespace {

constexpr ColorRef kBlack = 0x000000;
constexpr ColorRef kWhite = 0xFFFFFF;

QFontMetrics metricsFor(const TextAttributes& a)
{
    static QImage probe = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(3780);
        i.setDotsPerMeterY(3780);
        return i;
    }();
    return QFontMetrics(textFont(a), &probe);
}

// Columns holding a pixel that is not pure white, within rows [top, bottom).
struct Ink
{
    int left = -1;
    int right = -1;  // inclusive
    bool any() const { return left >= 0; }
};

Ink inkIn(const QImage& image, int top, int bottom)
{
    Ink ink;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                if (ink.left < 0 || x < ink.left)
                    ink.left = x;
                ink.right = std::max(ink.right, x);
            }
        }
    }
    return ink;
}

TextAttributes attributes(int alignment, ColorRef color = kBlack, int size = 20)
{
    TextAttributes a;
    a.FontName = QStringLiteral("Arial");
    a.FontSize = size;
    a.Alignment = quint8(alignment);
    a.Color = color;
    return a;
}

// Renders through the file, as every caller does, and reads the PNG back.
TPNGObject renderFile(const Workspace& ws, const TextAttributes& a, const QString& text)
{
    RenderTextPicture(a, text, ws.state.tempPicturePath());
    TPNGObject png;
    png.LoadFromFile(ws.state.tempPicturePath());
    return png;
}

} // namespace

class TestTextRender : public QObject
{
    Q_OBJECT
private slots:
    void pictureSize_data();
    void pictureSize();
    void linesAligned_data();
    void linesAligned();
    void rightAlignedEndsBeforeMargin();
    void unknownAlignmentDrawsNothing();
    void whiteIsTheTransparentColour_data();
    void whiteIsTheTransparentColour();
    void tooLargeIsRefused_data();
    void tooLargeIsRefused();
    void unwritableOutputFails();
};

void TestTextRender::pictureSize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");  // as laid out
    QTest::newRow("one line") << "Feliz Natal" << QStringList{"Feliz Natal"};
    QTest::newRow("CR LF") << "um\r\ndois" << QStringList{"um", "dois"};
    QTest::newRow("LF and CR") << "um\ndois\rtres" << QStringList{"um", "dois", "tres"};
    QTest::newRow("trailing line end adds no line") << "um\r\ndois\r\n" << QStringList{"um", "dois"};
    QTest::newRow("empty line inside") << "um\r\n\r\ndois" << QStringList{"um", "", "dois"};
    QTest::newRow("empty text: one empty line") << "" << QStringList{""};
}

void TestTextRender::pictureSize()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    Workspace ws;
    const TextAttributes a = attributes(0);
    const TPNGObject png = renderFile(ws, a, text);
    const QFontMetrics m = metricsFor(a);
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, m.horizontalAdvance(line));
    QCOMPARE(png.width(), widest + 15);
    QCOMPARE(png.height(), int(lines.size()) * m.height());
    // Each line in its own band: ink only in the bands of lines that have text.
    const QImage image = png.toBitmap();
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(inkIn(image, i * m.height(), (i + 1) * m.height()).any(), !lines.at(i).isEmpty());
}

void TestTextRender::linesAligned_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("text");
    QTest::newRow("centred: one, four and two letters") << 1 << "H\r\nHHHH\r\nHH";
    QTest::newRow("centred: widest line last") << 1 << "HH\r\nH\r\nHHHHH";
    QTest::newRow("right: short lines end with the widest") << 2 << "H\r\nHHHH\r\nHH";
    QTest::newRow("left: every line starts at 0") << 0 << "H\r\nHHHH\r\nHH";
}

void TestTextRender::linesAligned()
{
    QFETCH(int, alignment);
    QFETCH(QString, text);
    Workspace ws;
    const TextAttributes a = attributes(alignment, kBlack, 30);
    const QImage image = renderFile(ws, a, text).toBitmap();
    const QFontMetrics m = metricsFor(a);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, m.horizontalAdvance(line));
    QCOMPARE(image.width(), widest + 15);

    QList<Ink> inks;
    int widestIndex = 0;
    for (int i = 0; i < lines.size(); ++i) {
        inks.append(inkIn(image, i * m.height(), (i + 1) * m.height()));
        QVERIFY(inks.last().any());
        if (m.horizontalAdvance(lines.at(i)) == widest)
            widestIndex = i;
    }
    // "H" has equal side bearings, so a line's ink sits where its advance box does.
    const Ink& w = inks.at(widestIndex);
    const int x0 = inkIn(renderFile(ws, attributes(0, 0, 30), "H").toBitmap(), 0, m.height()).left;
    for (int i = 0; i < lines.size(); ++i) {
        const Ink& ink = inks.at(i);
        switch (alignment) {
        case 0:
            QVERIFY2(qAbs(ink.left - w.left) <= 1, qPrintable(QString::number(i)));
            break;
        case 1:
            QCOMPARE(ink.left, x0 + widest / 2 - m.horizontalAdvance(lines.at(i)) / 2);
            break;
        case 2:
            QVERIFY2(qAbs(ink.right - w.right) <= 1, qPrintable(QString::number(i)));
            break;
        }
        // The margin stays on the right whatever the alignment.
        QVERIFY(ink.right < image.width() - 15 + 2);
    }
}

void TestTextRender::rightAlignedEndsBeforeMargin()
{
    Workspace ws;
    const TextAttributes a = attributes(2, kBlack, 40);
    const QImage image = renderFile(ws, a, QStringLiteral("HIH")).toBitmap();
    const Ink ink = inkIn(image, 0, image.height());
    const int advanceEnd = image.width() - 15;
    QCOMPARE(advanceEnd, metricsFor(a).horizontalAdvance(QStringLiteral("HIH")));
    // The last glyph's ink ends just before the end of its advance, never in the margin.
    QVERIFY2(ink.right < advanceEnd && ink.right >= advanceEnd - 8,
             qPrintable(QStringLiteral("ink ends at %1, advance at %2").arg(ink.right).arg(advanceEnd)));
}

void TestTextRender::unknownAlignmentDrawsNothing()
{
    Workspace ws;
    const QImage image = renderFile(ws, attributes(3), QStringLiteral("Texto")).toBitmap();
    QVERIFY(!image.isNull());
    QVERIFY(!inkIn(image, 0, image.height()).any());
}

void TestTextRender::whiteIsTheTransparentColour_data()
{
    QTest::addColumn<ColorRef>("color");
    QTest::addColumn<bool>("visible");
    QTest::newRow("black text") << kBlack << true;
    QTest::newRow("red text") << ColorRef(0x0000FF) << true;
    QTest::newRow("white text: nothing shows") << kWhite << false;
}

void TestTextRender::whiteIsTheTransparentColour()
{
    QFETCH(ColorRef, color);
    QFETCH(bool, visible);
    Workspace ws;
    const TPNGObject png = renderFile(ws, attributes(0, color, 24), QStringLiteral("Branco?"));
    QVERIFY(png.transparentColor().has_value());
    QCOMPARE(*png.transparentColor() & 0xFFFFFF, QRgb(0xFFFFFF));
    QVERIFY(!png.hasAlphaChannel());
    QVERIFY(readAll(ws.state.tempPicturePath()).contains("tRNS"));

    const QImage bitmap = png.toBitmap();
    const QImage shown = png.toImage();
    const QRgb textRgb = qRgb(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF)) & 0xFFFFFF;
    int opaque = 0;
    int edge = 0;  // anti-aliased pixels: neither white nor the text colour
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const QRgb rgb = bitmap.pixel(x, y) & 0xFFFFFF;
            const bool white = rgb == 0xFFFFFF;
            QCOMPARE(qAlpha(shown.pixel(x, y)), white ? 0 : 255);
            opaque += white ? 0 : 1;
            edge += !white && rgb != textRgb ? 1 : 0;
        }
    }
    QCOMPARE(opaque > 0, visible);
    if (visible)
        QVERIFY(edge > 0);  // the smoothed edges stay opaque
}

void TestTextRender::tooLargeIsRefused_data()
{
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<QString>("text");
    QTest::newRow("font size 100 000") << 100000 << "enorme";
    QTest::newRow("font size 20 000") << 20000 << "A";
    QTest::newRow("line wider than the bound") << 400 << QString(200, u'W');
    QTest::newRow("too many lines") << 200 << QString("a\n").repeated(400);
    // The engine's sum of widths wraps around past 2^25 pixels, here to some 4300.
    QTest::newRow("line whose width wraps the engine's sum") << 10 << QString(2736000, u'W');
}

void TestTextRender::tooLargeIsRefused()
{
    QFETCH(int, fontSize);
    QFETCH(QString, text);
    Workspace ws;
    // An earlier text's picture must not stand in for this one.
    QVERIFY(writeBytes(ws.state.tempPicturePath(), "texto anterior"));
    QVERIFY_THROWS_EXCEPTION(Error, RenderTextPicture(attributes(0, kBlack, fontSize), text,
                                                      ws.state.tempPicturePath()));
    QVERIFY(!QFile::exists(ws.state.tempPicturePath()));
}

void TestTextRender::unwritableOutputFails()
{
    Workspace ws;
    QVERIFY(writeBytes(ws.outside() + "arquivo", "x"));
    QVERIFY_THROWS_EXCEPTION(Error, RenderTextPicture(attributes(0), QStringLiteral("a"),
                                                      ws.outside() + "arquivo/temp.png"));
}

QTEST_MAIN(TestTextRender)
#include "tst_textrender.moc"
