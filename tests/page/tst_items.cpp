// Placed items and the item list: identifiers, how each kind of item is built and sized,
// and what is left behind when building fails.
#include "imaging/textrender.h"
#include "core/errors.h"
#include "page/keptpicture.h"
#include "page/pageview.h"
#include "pageharness.h"
#include "scripteddialogs.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace quadrela;
using namespace quadrela::test;

namespace {

int widgetChildren(const QWidget* page)
{
    int n = 0;
    for (const QObject* child : page->children())
        n += child->isWidgetType() ? 1 : 0;
    return n;
}

} // namespace

class TestItems : public QObject
{
    Q_OBJECT
private slots:
    void identifiers_data();
    void identifiers();
    void sameIdentifierStillLeadsToOwnItem();
    void pictureScaling_data();
    void pictureScaling();
    void pictureItemFromFile_data();
    void pictureItemFromFile();
    void printerFailureAddsNothing();
    void borderCoversPage_data();
    void borderCoversPage();
    void missingPictureShowsNotice_data();
    void missingPictureShowsNotice();
    void textItemSizedByRendering_data();
    void textItemSizedByRendering();
    void unreadablePictureAddsNothing_data();
    void unreadablePictureAddsNothing();
    void failedRenderingAddsNothing();
    void indexOutOfRange_data();
    void indexOutOfRange();
    void deleteAndClearKeepFiles();
    void zoomedBitmapFollowsZoom_data();
    void zoomedBitmapFollowsZoom();
};

void TestItems::identifiers_data()
{
    QTest::addColumn<int>("before");  // text items added first
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("identifier");
    QTest::newRow("first text") << 0 << int(TextItem) << "Parabéns" << "Par0";
    QTest::newRow("two letters") << 0 << int(TextItem) << "Oi" << "Oi0";
    QTest::newRow("line break inside") << 2 << int(TextItem) << "A\r\nB" << "A\r\n2";
    QTest::newRow("picture path, four items") << 4 << int(PictureItem) << "C:\\figuras\\flor.png"
                                              << "C:\\4";
    QTest::newRow("border path") << 1 << int(BorderItem) << "D:\\b.png" << "D:\\1";
}

void TestItems::identifiers()
{
    QFETCH(int, before);
    QFETCH(int, kind);
    QFETCH(QString, place);
    QFETCH(QString, identifier);
    Workspace ws;
    PageHarness h(ws);
    for (int i = 0; i < before; ++i)
        h.items->Add(TextItem, QStringLiteral("x"));
    const int index = h.items->Add(quint8(kind), place);
    QCOMPARE(index, before);
    QCOMPARE(h.control(index)->hint(), identifier);
}

void TestItems::sameIdentifierStillLeadsToOwnItem()
{
    Workspace ws;
    PageHarness h(ws);
    h.items->Add(TextItem, QStringLiteral("Abc um"));
    h.items->Add(TextItem, QStringLiteral("Xyz"));
    h.items->Add(TextItem, QStringLiteral("Abc dois"));  // Abc2
    h.items->Delete(1);
    h.items->Add(TextItem, QStringLiteral("Abc tres"));  // Abc2 again
    QCOMPARE(h.control(1)->hint(), h.control(2)->hint());
    QCOMPARE(h.items->IndexOf(h.control(2)), 2);
    QCOMPARE(h.items->IndexOf(h.control(1)), 1);
    QCOMPARE(h.items->ItemOf(h.control(2)), &h.items->Items(2));
}

void TestItems::pictureScaling_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("printer");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<QSize>("expected");
    const QSize full(496, 702);
    QTest::newRow("400x300 on 4800x6600") << QSize(400, 300) << QSize(4800, 6600) << full << QSize(66, 28);
    // 10*10/40 = 2.5 and 30*30/40 = 22.5: halves go to the even neighbour before doubling.
    QTest::newRow("halves to even") << QSize(10, 30) << QSize(40, 40) << full << QSize(4, 44);
    QTest::newRow("tiny rounds to 0") << QSize(1, 1) << QSize(4800, 6600) << full << QSize(0, 0);
    QTest::newRow("exactly the page is kept") << QSize(248, 351) << QSize(248, 351) << full << full;
    // 3750 x 2728 by the rule; reduced by 496/3750 to fit the width.
    QTest::newRow("too wide, proportions kept") << QSize(3000, 3000) << QSize(4800, 6600) << full
                                                << QSize(496, 361);
    // 24 x 3528 by the rule (12*12/12, 42*42/1): reduced by 702/3528 to fit the height.
    QTest::newRow("too high, proportions kept") << QSize(12, 42) << QSize(12, 1) << full << QSize(5, 702);
    QTest::newRow("largest picture, printer of 1 pixel") << QSize(30000, 30000) << QSize(1, 1) << full
                                                         << QSize(496, 496);
    QTest::newRow("folded card page") << QSize(2400, 600) << QSize(4800, 6600) << QSize(541, 382)
                                      << QSize(541, 25);
}

void TestItems::pictureScaling()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, printer);
    QFETCH(QSize, page);
    QFETCH(QSize, expected);
    QCOMPARE(scaledPictureSize(picture, printer, page), expected);
}

void TestItems::pictureItemFromFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << "flor.png";
    QTest::newRow("jpeg") << "flor.jpg";
    QTest::newRow("bmp") << "flor.bmp";
}

void TestItems::pictureItemFromFile()
{
    QFETCH(QString, name);
    Workspace ws(QSize(4800, 6600));
    PageHarness h(ws);
    h.items->Add(TextItem, QStringLiteral("em cima"));
    const QString path = writePicture(ws.outside() + name, QSize(400, 300));
    QVERIFY(!path.isEmpty());
    const int index = h.items->Add(PictureItem, path);
    TFocusImage* c = h.control(index);
    QCOMPARE(c->geometry(), QRect(248 - 33, 351 - 14, 66, 28));
    QCOMPARE(c->pictureSize(), QSize(400, 300));  // the picture as loaded, not as shown
    QVERIFY(c->transparent());
    QVERIFY(c->isVisibleTo(h.page));
    QCOMPARE(stackIndex(h.page, h.background), 0);
    QCOMPARE(stackIndex(h.page, c), 2);  // a new item comes on top
    QVERIFY(h.renderFailures.isEmpty());
}

void TestItems::printerFailureAddsNothing()
{
    Workspace ws;
    ws.breakPrinter();
    PageHarness h(ws);
    const int children = widgetChildren(h.page);
    const QString path = writePicture(ws.outside() + "a.png", QSize(40, 40));
    QVERIFY_THROWS_EXCEPTION(Error, h.items->Add(PictureItem, path));
    QCOMPARE(h.items->Count(), 0);
    QCOMPARE(widgetChildren(h.page), children);
}

void TestItems::borderCoversPage_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("full page") << int(FullPage) << QRect(0, 0, 496, 702);
    QTest::newRow("folded card: left half") << int(FoldedCard) << QRect(0, 0, 270, 382);
    QTest::newRow("business card") << int(BusinessCard) << QRect(0, 0, 380, 217);
}

void TestItems::borderCoversPage()
{
    QFETCH(int, layout);
    QFETCH(QRect, expected);
    Workspace ws;
    ws.state.pageLayout = layout;
    PageHarness h(ws, pageSizeFor(layout));
    h.addPicture("antes.png", QRect(10, 10, 50, 50));
    const int index = h.addBorder("moldura.png");
    TFocusImage* border = h.control(index);
    QCOMPARE(border->geometry(), expected);
    QVERIFY(!border->transparent());
    QCOMPARE(border->bitmap().size(), QSize(60, 80));
    // Behind the items already there, above the page background.
    QCOMPARE(stackIndex(h.page, h.background), 0);
    QCOMPARE(stackIndex(h.page, border), 1);
    QCOMPARE(stackIndex(h.page, h.control(0)), 2);
}

void TestItems::missingPictureShowsNotice_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("picture item") << int(PictureItem);
    QTest::newRow("border item") << int(BorderItem);
}

void TestItems::missingPictureShowsNotice()
{
    QFETCH(int, kind);
    Workspace ws;
    ws.state.text.FontName = QStringLiteral("Courier");
    ws.state.text.FontSize = 12;
    ws.state.text.Color = 0x0000FF;
    ws.state.text.Alignment = 2;
    ws.state.text.Style = StyleBold;
    PageHarness h(ws);
    const int index = h.items->Add(quint8(kind), ws.state.workingFolder + "sumiu.png");
    QCOMPARE(h.items->Count(), 1);
    QCOMPARE(ws.state.text.FontName, QStringLiteral("Arial"));
    QCOMPARE(ws.state.text.FontSize, 80);
    QCOMPARE(ws.state.text.Color, ColorRef(0x0000FF));
    QCOMPARE(ws.state.text.Alignment, quint8(2));
    QCOMPARE(ws.state.text.Style, quint8(StyleBold));
    const QImage notice = RenderTextBitmap(ws.state.text, QStringLiteral("Imagem não encontrada"));
    QCOMPARE(h.control(index)->bitmap().size(), notice.size());
    QVERIFY(h.renderFailures.isEmpty());

    // The next text item is written at 80 points too.
    ws.state.text.Alignment = 0;
    ws.state.text.Style = 0;
    const int text = h.items->Add(TextItem, QStringLiteral("Oi"));
    QCOMPARE(h.control(text)->size(), RenderTextBitmap(ws.state.text, QStringLiteral("Oi")).size());
}

void TestItems::textItemSizedByRendering_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<int>("lines");
    QTest::newRow("one line") << "Feliz Natal" << 20 << 1;
    QTest::newRow("three lines") << "a\r\nabcd\r\nab" << 14 << 3;
    QTest::newRow("trailing line end") << "Convite\r\n" << 30 << 1;
}

void TestItems::textItemSizedByRendering()
{
    QFETCH(QString, text);
    QFETCH(int, fontSize);
    QFETCH(int, lines);
    Workspace ws;
    ws.state.text.FontSize = fontSize;
    PageHarness h(ws);
    const int index = h.items->Add(TextItem, text);
    const QImage written(ws.state.tempPicturePath());
    QVERIFY(!written.isNull());
    TFocusImage* c = h.control(index);
    QCOMPARE(c->size(), written.size());
    QCOMPARE(c->pos(), QPoint(248 - written.width() / 2, 351 - written.height() / 2));
    const QFont font = textFont(ws.state.text);
    QImage probe(1, 1, QImage::Format_RGB32);
    probe.setDotsPerMeterX(3780);
    probe.setDotsPerMeterY(3780);
    QCOMPARE(written.height(), lines * QFontMetrics(font, &probe).height());
    // White is left out when the item is painted: the page shows through.
    QCOMPARE(qAlpha(c->displayImage().pixel(written.width() - 1, 0)), 0);
}

void TestItems::unreadablePictureAddsNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");  // empty: any codec message
    QTest::newRow("unknown extension") << "nota.txt" << QByteArray("texto") << "Unknown picture file extension (.txt)";
    QTest::newRow("not a png") << "falso.png" << QByteArray("isto nao e png") << "";
    QTest::newRow("truncated png") << "metade.png" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << "";
    QTest::newRow("empty jpeg") << "vazio.jpg" << QByteArray() << "";
}

void TestItems::unreadablePictureAddsNothing()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    Workspace ws;
    PageHarness h(ws);
    const int children = widgetChildren(h.page);
    const QString path = ws.outside() + name;
    QVERIFY(writeBytes(path, bytes));
    try {
        h.items->Add(PictureItem, path);
        QFAIL("an unreadable picture was added");
    } catch (const Error& e) {
        if (!message.isEmpty())
            QCOMPARE(e.message(), message);
        QVERIFY(!e.message().isEmpty());
    }
    QCOMPARE(h.items->Count(), 0);
    QCOMPARE(widgetChildren(h.page), children);
    QVERIFY(h.renderFailures.isEmpty());
}

void TestItems::failedRenderingAddsNothing()
{
    Workspace ws;
    PageHarness h(ws);
    h.items->Add(TextItem, QStringLiteral("primeiro"));
    QVERIFY(QFile::exists(ws.state.tempPicturePath()));
    ws.state.text.FontSize = 100000;
    QVERIFY_THROWS_EXCEPTION(Error, h.items->Add(TextItem, QStringLiteral("enorme")));
    // The user was told, and the earlier text's picture was not taken for this one.
    QCOMPARE(h.renderFailures.size(), 1);
    QCOMPARE(h.items->Count(), 1);
    QVERIFY(!QFile::exists(ws.state.tempPicturePath()));
}

void TestItems::indexOutOfRange_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("message");
    QTest::newRow("one past the end") << 1 << "List index out of bounds (1)";
    QTest::newRow("negative") << -1 << "List index out of bounds (-1)";
}

void TestItems::indexOutOfRange()
{
    QFETCH(int, index);
    QFETCH(QString, message);
    Workspace ws;
    PageHarness h(ws);
    h.items->Add(TextItem, QStringLiteral("só um"));
    for (int pass = 0; pass < 2; ++pass) {
        try {
            if (pass == 0)
                h.items->Items(index);
            else
                h.items->Delete(index);
            QFAIL("no index error");
        } catch (const Error& e) {
            QCOMPARE(e.message(), message);
        }
    }
    QCOMPARE(h.items->Count(), 1);
}

void TestItems::deleteAndClearKeepFiles()
{
    Workspace ws;
    PageHarness h(ws);
    h.addPicture("a.png", QRect(0, 0, 20, 20));
    h.addPicture("b.png", QRect(0, 0, 20, 20));
    h.addText("c", QRect());
    QPointer<TFocusImage> first = h.control(0);
    QPointer<TFocusImage> second = h.control(1);
    h.items->Delete(0);
    QVERIFY(first.isNull());
    QCOMPARE(h.items->Count(), 2);
    QCOMPARE(h.control(0), second.data());
    h.items->Clear();
    QCOMPARE(h.items->Count(), 0);
    QVERIFY(second.isNull());
    QCOMPARE(widgetChildren(h.page), 1);  // the background only
    QVERIFY(QFile::exists(ws.state.workingFolder + "a.png"));
    QVERIFY(QFile::exists(ws.state.workingFolder + "b.png"));
}

void TestItems::zoomedBitmapFollowsZoom_data()
{
    QTest::addColumn<double>("to");
    QTest::addColumn<bool>("held");
    QTest::newRow("stays at 400 %") << 4.0 << true;
    QTest::newRow("down to 200 %: the kept bitmap is sharp") << 2.0 << false;
    QTest::newRow("back to 100 %") << 1.0 << false;
}

void TestItems::zoomedBitmapFollowsZoom()
{
    QFETCH(double, to);
    QFETCH(bool, held);
    QTemporaryDir dir;
    const QString file = writePicture(dir.filePath("big.png"), QSize(3000, 2000));
    auto* page = new QWidget;
    page->resize(200, 200);
    auto* control = new TFocusImage(page);
    control->setStretch(true);
    control->setGeometry(10, 10, 60, 40);
    control->setKeptPicture(loadKeptPicture(file, [](QSize) { return QSize(60, 40); }, 1.0, false), file);
    PageView view(page, nullptr);
    view.show();
    view.setZoom(4.0);
    view.viewport()->repaint();
    QTRY_VERIFY(control->zoomedBytes() > 0);
    view.setZoom(to);
    view.viewport()->repaint();
    QTRY_VERIFY(!control->zoomedPending());
    QCOMPARE(control->zoomedBytes() > 0, held);
}

int runItemTests(int argc, char** argv)
{
    TestItems t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_items.moc"
