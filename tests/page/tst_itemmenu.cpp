// The item menu: which entries each kind of item offers, and the commands on the
// selection (front, back, copy, delete with its working copy, align).
#include "pageharness.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

using namespace quadrela;
using namespace quadrela::test;

namespace {

QList<bool> entryVisibility(const ItemHandlers& h)
{
    return {h.popFrente->isVisible(),        h.popAtras->isVisible(),
            h.popRedimensionar->isVisible(), h.popCopiar->isVisible(),
            h.popDeletar->isVisible(),       h.popAlinhar->isVisible(),
            h.popGirarDireita->isVisible(),  h.popGirarEsquerda->isVisible(),
            h.popEspelharH->isVisible(),     h.popEspelharV->isVisible()};
}

// Opens the item menu as the user does, with a right click on the item.
bool openMenuOn(PageHarness& h, TFocusImage* control)
{
    QTest::mouseMove(control, QPoint(5, 5));
    QTest::mousePress(control, Qt::RightButton, {}, QPoint(5, 5));
    const bool shown = QTest::qWaitFor([&] { return h.menu->isVisible(); }, 2000);
    QTest::mouseRelease(control, Qt::RightButton, {}, QPoint(5, 5));
    h.menu->hide();
    return shown;
}

QAction* alignAction(const ItemHandlers& h, int command)
{
    return h.alignMenu->actions().at(command);
}

} // namespace

class TestItemMenu : public QObject
{
    Q_OBJECT
private slots:
    void entriesByKind_data();
    void entriesByKind();
    void align_data();
    void align();
    void sendToBackKeepsBordersBelow();
    void bringToFront();
    void copy_data();
    void copy();
    void deleteRemovesOnlyWorkingCopy_data();
    void deleteRemovesOnlyWorkingCopy();
    void commandsWithoutSelectionDoNothing_data();
    void commandsWithoutSelectionDoNothing();
};

void TestItemMenu::entriesByKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<bool>>("visible");  // front, back, resize, copy, delete, align
    QTest::newRow("border") << int(BorderItem) << QList<bool>{false, false, false, true, true, false};
    QTest::newRow("picture") << int(PictureItem) << QList<bool>{true, true, true, true, true, true};
    QTest::newRow("text") << int(TextItem) << QList<bool>{true, true, false, true, true, true};
}

void TestItemMenu::entriesByKind()
{
    QFETCH(int, kind);
    QFETCH(QList<bool>, visible);
    visible += QList<bool>(4, kind == PictureItem); // turned and mirrored: pictures only
    Workspace ws;
    PageHarness h(ws);
    TFocusImage* border = h.control(h.addBorder("moldura.png"));
    border->setGeometry(0, 0, 40, 40);
    TFocusImage* picture = h.control(h.addPicture("foto.png", QRect(100, 100, 60, 60)));
    TFocusImage* text = h.control(h.addText("Texto", QRect(200, 200, 60, 60)));
    TFocusImage* target = kind == BorderItem ? border : kind == PictureItem ? picture : text;
    QVERIFY(h.show());

    // Opened before on items of the other kinds, so no entry keeps an earlier state.
    for (TFocusImage* before : {border, text, picture}) {
        if (before != target)
            QVERIFY(openMenuOn(h, before));
    }
    QVERIFY(openMenuOn(h, target));
    QCOMPARE(h.handlers->selection(), target);
    QCOMPARE(entryVisibility(*h.handlers), visible);
}

void TestItemMenu::align_data()
{
    QTest::addColumn<int>("command");  // position in the "Alinhar" submenu, then the turns
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("Esquerda") << 0 << QSize(120, 51) << QPoint(0, 44);
    QTest::newRow("Centro Horizontal, odd width") << 1 << QSize(121, 51) << QPoint(188, 44);
    QTest::newRow("Direita, 120 wide") << 2 << QSize(120, 51) << QPoint(376, 44);
    QTest::newRow("Direita, wider than the page") << 2 << QSize(600, 51) << QPoint(-104, 44);
    QTest::newRow("Cabeçalho") << 3 << QSize(120, 51) << QPoint(33, 0);
    QTest::newRow("Centro Vertical, 51 high") << 4 << QSize(120, 51) << QPoint(33, 326);
    QTest::newRow("Centro Vertical, taller than the page") << 4 << QSize(120, 801) << QPoint(33, -49);
    QTest::newRow("Rodapé") << 5 << QSize(120, 51) << QPoint(33, 651);
    QTest::newRow("Girar à direita, about the centre") << 6 << QSize(61, 30) << QPoint(48, 29);
    QTest::newRow("Girar à esquerda, taller") << 7 << QSize(30, 61) << QPoint(18, 59);
    QTest::newRow("Espelhar verticalmente, in place") << 9 << QSize(61, 30) << QPoint(33, 44);
}

void TestItemMenu::align()
{
    QFETCH(int, command);
    QFETCH(QSize, size);
    QFETCH(QPoint, expected);
    Workspace ws;
    PageHarness h(ws);
    h.handlers->setSelection(h.control(h.addPicture("foto.png", QRect(QPoint(33, 44), size))));
    const ItemHandlers& m = *h.handlers;
    const QList<QAction*> turns{m.popGirarDireita, m.popGirarEsquerda, m.popEspelharH, m.popEspelharV};
    (command < 6 ? alignAction(m, command) : turns.at(command - 6))->trigger();
    TFocusImage* c = h.control(0); // a turned picture is shown by a new control
    QCOMPARE(c->pos(), expected);
    QCOMPARE(c->size(), command == 6 || command == 7 ? size.transposed() : size);
    QCOMPARE(h.handlers->selection(), c);
}

void TestItemMenu::sendToBackKeepsBordersBelow()
{
    Workspace ws;
    PageHarness h(ws);
    h.addPicture("p0.png", QRect(10, 10, 50, 50));
    h.addBorder("b1.png");
    h.addPicture("p2.png", QRect(20, 20, 50, 50));
    h.addBorder("b3.png");
    h.addText("t4", QRect());
    h.handlers->setSelection(h.control(2));
    h.handlers->popAtras->trigger();
    const QList<QWidget*> expected{h.background, h.control(3), h.control(1), h.control(2),
                                   h.control(0), h.control(4)};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(stackIndex(h.page, expected.at(i)), i);
}

void TestItemMenu::bringToFront()
{
    Workspace ws;
    PageHarness h(ws);
    h.addPicture("p0.png", QRect(10, 10, 50, 50));
    h.addText("t1", QRect());
    h.addPicture("p2.png", QRect(20, 20, 50, 50));
    h.handlers->setSelection(h.control(0));
    h.handlers->popFrente->trigger();
    QCOMPARE(stackIndex(h.page, h.control(0)), 3);
    QCOMPARE(stackIndex(h.page, h.background), 0);
}

void TestItemMenu::copy_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("picture: the bitmap as loaded") << int(PictureItem);
    QTest::newRow("border: the bitmap as loaded") << int(BorderItem);
    QTest::newRow("text: the text") << int(TextItem);
}

void TestItemMenu::copy()
{
    QFETCH(int, kind);
    Workspace ws;
    PageHarness h(ws);
    int index = -1;
    QSize loaded;
    if (kind == PictureItem) {
        index = h.addPicture("foto.png", QRect(0, 0, 200, 150));
        loaded = QSize(40, 30);
    } else if (kind == BorderItem) {
        index = h.addBorder("moldura.png");
        loaded = QSize(60, 80);
    } else {
        index = h.addText("Linha 1\r\nLinha 2\r\n", QRect());
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("antes"));
    h.handlers->setSelection(h.control(index));
    h.handlers->popCopiar->trigger();
    if (kind == TextItem) {
        QCOMPARE(clipboard->text(), QStringLiteral("Linha 1\r\nLinha 2\r\n"));
        return;
    }
    const QImage image = clipboard->image();
    QCOMPARE(image.size(), loaded);
    const QColor fill = kind == PictureItem ? QColor(Qt::red) : QColor(Qt::green);
    QCOMPARE(image.pixelColor(0, 0), fill);
    QCOMPARE(image.pixelColor(loaded.width() / 2, loaded.height() / 2), QColor(Qt::black));
    static const char* const clear[] = {"1 1 1 1", "a c None", "a"}; // one transparent pixel
    h.control(index)->setImage(QImage(clear));
    h.handlers->popCopiar->trigger(); // copied as drawn over white
    QCOMPARE(clipboard->image().pixelColor(0, 0), QColor(Qt::white));
}

void TestItemMenu::deleteRemovesOnlyWorkingCopy_data()
{
    // %W is the working folder, %O a folder outside it; both hold a file a.png.
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("otherFileName");  // another picture item's; empty for none
    QTest::addColumn<bool>("workingCopyStays");
    QTest::newRow("its own working copy") << int(PictureItem) << "%Wa.png" << "" << false;
    QTest::newRow("border's working copy") << int(BorderItem) << "%Wa.png" << "" << false;
    QTest::newRow("stored path elsewhere") << int(PictureItem) << "%Oa.png" << "" << false;
    QTest::newRow("stored Windows path") << int(PictureItem) << "C:\\Fotos\\a.png" << "" << false;
    QTest::newRow("shown by another item too") << int(PictureItem) << "%Wa.png" << "%Wa.png" << true;
    QTest::newRow("other item's stored path names it") << int(PictureItem) << "%Wa.png"
                                                       << "D:\\x\\a.png" << true;
    QTest::newRow("other item names another file") << int(PictureItem) << "%Wa.png" << "%Wb.png" << false;
    QTest::newRow("text item") << int(TextItem) << "" << "" << true;
    QTest::newRow("picture without a file name") << int(PictureItem) << "" << "" << true;
    QTest::newRow("name of a folder") << int(PictureItem) << "%Wpasta" << "" << true;
}

void TestItemMenu::deleteRemovesOnlyWorkingCopy()
{
    QFETCH(int, kind);
    QFETCH(QString, fileName);
    QFETCH(QString, otherFileName);
    QFETCH(bool, workingCopyStays);
    Workspace ws;
    PageHarness h(ws);
    const QString wf = ws.state.workingFolder;
    QVERIFY(!writePicture(wf + "a.png", QSize(8, 8)).isEmpty());
    QVERIFY(!writePicture(ws.outside() + "a.png", QSize(8, 8)).isEmpty());
    QVERIFY(QDir().mkpath(wf + "pasta"));
    auto expand = [&](QString s) {
        return s.replace("%W", wf).replace("%O", ws.outside());
    };

    if (!otherFileName.isEmpty()) {
        const int other = h.addPicture("b.png", QRect(0, 0, 20, 20));
        TDesc d;
        d.FileName = expand(otherFileName);
        h.items->Items(other).SetAttributes(d);
    }
    int index = -1;
    if (kind == TextItem) {
        index = h.addText("a.png", QRect());
    } else {
        index = kind == PictureItem ? h.addPicture("c.png", QRect(0, 0, 20, 20))
                                    : h.addBorder("c.png");
        TDesc d;
        d.FileName = expand(fileName);
        h.items->Items(index).SetAttributes(d);
    }
    const int count = h.items->Count();
    QPointer<TFocusImage> c = h.control(index);
    h.handlers->setSelection(c);
    h.handlers->popDeletar->trigger();

    QCOMPARE(h.items->Count(), count - 1);
    QVERIFY(c.isNull());
    QCOMPARE(h.handlers->selection(), nullptr);
    QCOMPARE(QFile::exists(wf + "a.png"), workingCopyStays);
    QVERIFY(QFile::exists(ws.outside() + "a.png"));  // never the path as stored
    QVERIFY(QFileInfo(wf + "pasta").isDir());
}

void TestItemMenu::commandsWithoutSelectionDoNothing_data()
{
    QTest::addColumn<bool>("afterDelete");
    QTest::newRow("never selected") << false;
    QTest::newRow("selected item deleted") << true;
}

void TestItemMenu::commandsWithoutSelectionDoNothing()
{
    QFETCH(bool, afterDelete);
    Workspace ws;
    PageHarness h(ws);
    h.addPicture("p0.png", QRect(10, 20, 50, 50));
    h.addPicture("p1.png", QRect(30, 40, 50, 50));
    if (afterDelete) {
        h.addPicture("p2.png", QRect(0, 0, 50, 50));
        h.handlers->setSelection(h.control(2));
        h.handlers->popDeletar->trigger();
        QCOMPARE(h.items->Count(), 2);
    }
    QSignalSpy resize(h.handlers.get(), &ItemHandlers::resizeRequested);
    QGuiApplication::clipboard()->setText(QStringLiteral("antes"));
    h.handlers->popFrente->trigger();
    h.handlers->popAtras->trigger();
    h.handlers->popRedimensionar->trigger();
    h.handlers->popCopiar->trigger();
    h.handlers->popDeletar->trigger();
    for (QAction* a : h.handlers->alignMenu->actions())
        a->trigger();
    QCOMPARE(h.items->Count(), 2);
    QCOMPARE(h.control(0)->geometry(), QRect(10, 20, 50, 50));
    QCOMPARE(h.control(1)->geometry(), QRect(30, 40, 50, 50));
    QCOMPARE(stackIndex(h.page, h.control(0)), 1);
    QCOMPARE(stackIndex(h.page, h.control(1)), 2);
    QCOMPARE(resize.count(), 0);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("antes"));
    QVERIFY(QFile::exists(ws.state.workingFolder + "p0.png"));
    QVERIFY(QFile::exists(ws.state.workingFolder + "p1.png"));
}

int runItemMenuTests(int argc, char** argv)
{
    TestItemMenu t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_itemmenu.moc"
