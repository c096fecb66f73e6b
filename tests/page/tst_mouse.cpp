// The mouse on placed items, driven through real widgets: grabbing edges and corners,
// moving, the pointer shapes, selecting, and opening a text item by double-clicking it.
#include "core/limits.h"
#include "page/screencursor.h"
#include "pageharness.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

using namespace quadrela;
using namespace quadrela::test;

namespace {

const QRect kStart(200, 300, 100, 80);

int addOfKind(PageHarness& h, int kind, QRect geometry)
{
    int index = -1;
    if (kind == PictureItem)
        index = h.addPicture(QStringLiteral("foto.png"), geometry);
    else if (kind == TextItem)
        index = h.addText(QStringLiteral("Texto"), geometry);
    else
        index = h.addBorder(QStringLiteral("moldura.png"));
    h.control(index)->setGeometry(geometry);
    return index;
}

} // namespace

class TestMouse : public QObject
{
    Q_OBJECT
private slots:
    void releaseArithmeticStaysInRange_data();
    void releaseArithmeticStaysInRange();
    void smallItemGrabsTopLeftFirst();
    void gesture_data();
    void gesture();
    void pointerShape_data();
    void pointerShape();
    void leavingRestoresDefaultShape();
    void pendingGestureKeepsShapeOutside();
    void enteringBorderRestoresDefaultShape();
    void pressAndClickSelect_data();
    void pressAndClickSelect();
    void doubleClickOpensTextItem();
    void clickAfterDragLeavesItem_data();
    void clickAfterDragLeavesItem();
};

void TestMouse::releaseArithmeticStaysInRange_data()
{
    QTest::addColumn<int>("gesture");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QPoint>("last");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QRect>("expected");
    const int big = kMaxWidgetSize;
    const int intMin = std::numeric_limits<int>::min();
    const int intMax = std::numeric_limits<int>::max();
    QTest::newRow("top-left dragged to the far negative")
        << int(GestureTopLeft) << QRect(0, 0, 100, 80) << QPoint(intMin, intMin) << QPoint()
        << QRect(-big, -big, big, big);
    QTest::newRow("bottom-right to the far positive")
        << int(GestureBottomRight) << QRect(5, 6, 100, 80) << QPoint(intMax, intMax) << QPoint()
        << QRect(5, 6, big, big);
    QTest::newRow("move across the whole range")
        << int(GestureMove) << QRect(10, 10, 100, 80) << QPoint(intMax, intMax) << QPoint(intMin, intMin)
        << QRect(big, big, 100, 80);
    QTest::newRow("largest item widened on the left")
        << int(GestureLeft) << QRect(0, 0, big, 5) << QPoint(-50, 0) << QPoint() << QRect(-50, 0, big, 10);
    QTest::newRow("nothing pending") << 0 << QRect(1, 2, 3, 4) << QPoint(50, 50) << QPoint() << QRect(1, 2, 3, 4);
}

void TestMouse::releaseArithmeticStaysInRange()
{
    QFETCH(int, gesture);
    QFETCH(QRect, geometry);
    QFETCH(QPoint, last);
    QFETCH(QPoint, press);
    QFETCH(QRect, expected);
    QCOMPARE(applyRelease(Gestures(gesture), geometry, last, press), expected);
}

void TestMouse::smallItemGrabsTopLeftFirst()
{
    // On an item of 12 pixels or less both opposite handles are grabbed; the release
    // applies top-left before bottom-right.
    Workspace ws;
    PageHarness h(ws);
    TFocusImage* c = h.control(addOfKind(h, PictureItem, QRect(200, 300, 10, 10)));
    QVERIFY(h.show());
    QTest::mouseMove(c, QPoint(5, 5));
    QCOMPARE(screenCursor(), Qt::SizeFDiagCursor);
    QTest::mousePress(c, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(h.handlers->gesture(), Gestures(GestureTopLeft | GestureBottomRight));
    QTest::mouseMove(c, QPoint(8, 9));
    QTest::mouseRelease(c, Qt::LeftButton, {}, QPoint(8, 9));
    QCOMPARE(c->geometry(), QRect(208, 309, 10, 10));
}

void TestMouse::gesture_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("press");     // the pointer rests here first, then presses
    QTest::addColumn<QList<QPoint>>("drag");
    QTest::addColumn<QRect>("expected");
    const int pic = PictureItem;
    const int left = Qt::LeftButton;
    const int middle = Qt::MiddleButton;
    using L = QList<QPoint>;
    QTest::newRow("left edge released at x=-20")
        << pic << left << QPoint(3, 40) << L{{-20, 40}} << QRect(180, 300, 120, 80);
    QTest::newRow("right edge dragged past the left edge")
        << pic << left << QPoint(97, 40) << L{{-30, 40}} << QRect(200, 300, 10, 80);
    QTest::newRow("bottom-right handle released without moving")
        << pic << left << QPoint(97, 77) << L{} << QRect(200, 300, 97, 77);
    QTest::newRow("move from the inside")
        << pic << left << QPoint(50, 40) << L{{60, 50}, {70, 25}} << QRect(220, 285, 100, 80);
    QTest::newRow("move partly off the page")
        << pic << left << QPoint(50, 40) << L{{-230, -330}} << QRect(-80, -70, 100, 80);
    QTest::newRow("top-left corner")
        << pic << left << QPoint(2, 2) << L{{10, 5}} << QRect(210, 305, 90, 75);
    QTest::newRow("top-right corner")
        << pic << left << QPoint(98, 2) << L{{150, -10}} << QRect(200, 290, 150, 90);
    QTest::newRow("bottom-left corner")
        << pic << left << QPoint(2, 78) << L{{-5, 100}} << QRect(195, 300, 105, 100);
    QTest::newRow("top edge")
        << pic << left << QPoint(50, 2) << L{{50, -10}} << QRect(200, 290, 100, 90);
    QTest::newRow("bottom edge below the minimum")
        << pic << left << QPoint(50, 78) << L{{50, 5}} << QRect(200, 300, 100, 10);
    QTest::newRow("top-left past the opposite corner")
        << pic << left << QPoint(2, 2) << L{{200, 200}} << QRect(400, 500, 10, 10);
    QTest::newRow("middle button on the left edge")
        << pic << middle << QPoint(3, 40) << L{{-20, 40}} << QRect(180, 300, 120, 80);
    QTest::newRow("middle button on the top edge")
        << pic << middle << QPoint(50, 3) << L{{50, -20}} << kStart;
    QTest::newRow("middle button on the top-right corner")
        << pic << middle << QPoint(97, 3) << L{{150, -20}} << kStart;
    QTest::newRow("middle button on the bottom-left corner")
        << pic << middle << QPoint(3, 77) << L{{-10, 90}} << QRect(190, 300, 110, 90);
    QTest::newRow("text item near its border is moved")
        << int(TextItem) << left << QPoint(2, 2) << L{{12, 7}} << QRect(210, 305, 100, 80);
    QTest::newRow("text item on its corner is moved")
        << int(TextItem) << left << QPoint(97, 77) << L{{90, 90}} << QRect(193, 313, 100, 80);
    QTest::newRow("border item is not moved")
        << int(BorderItem) << left << QPoint(50, 40) << L{{80, 60}} << kStart;
    QTest::newRow("border item is not resized")
        << int(BorderItem) << left << QPoint(3, 40) << L{{-20, 40}} << kStart;
}

void TestMouse::gesture()
{
    QFETCH(int, kind);
    QFETCH(int, button);
    QFETCH(QPoint, press);
    QFETCH(QList<QPoint>, drag);
    QFETCH(QRect, expected);
    Workspace ws;
    PageHarness h(ws);
    TFocusImage* c = h.control(addOfKind(h, kind, kStart));
    QVERIFY(h.show());

    const auto b = Qt::MouseButton(button);
    QTest::mouseMove(c, press);
    QTest::mousePress(c, b, {}, press);
    QCOMPARE(c->geometry(), kStart);  // nothing moves while the mouse is dragged
    for (const QPoint& p : drag) {
        QTest::mouseMove(c, p);
        QCOMPARE(c->geometry(), kStart);
    }
    QTest::mouseRelease(c, b, {}, drag.isEmpty() ? press : drag.last());
    QCOMPARE(c->geometry(), expected);
    QCOMPARE(h.handlers->gesture(), Gestures(GestureNone));
}

void TestMouse::pointerShape_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("shape");
    QTest::newRow("inside") << QPoint(50, 40) << int(Qt::SizeAllCursor);
    QTest::newRow("left band, 6 px in") << QPoint(6, 40) << int(Qt::SizeHorCursor);
    QTest::newRow("just past the left band") << QPoint(7, 40) << int(Qt::SizeAllCursor);
    QTest::newRow("right band, 6 px in") << QPoint(94, 40) << int(Qt::SizeHorCursor);
    QTest::newRow("just before the right band") << QPoint(93, 40) << int(Qt::SizeAllCursor);
    QTest::newRow("top edge") << QPoint(50, 3) << int(Qt::SizeVerCursor);
    QTest::newRow("top band, 6 px in") << QPoint(50, 6) << int(Qt::SizeVerCursor);
    QTest::newRow("bottom band, 6 px in") << QPoint(50, 74) << int(Qt::SizeVerCursor);
    QTest::newRow("bottom edge") << QPoint(50, 77) << int(Qt::SizeVerCursor);
    QTest::newRow("top-left corner") << QPoint(3, 3) << int(Qt::SizeFDiagCursor);
    QTest::newRow("bottom-right corner") << QPoint(97, 77) << int(Qt::SizeFDiagCursor);
    QTest::newRow("top-right corner") << QPoint(97, 3) << int(Qt::SizeBDiagCursor);
    QTest::newRow("bottom-left corner") << QPoint(3, 77) << int(Qt::SizeBDiagCursor);
}

void TestMouse::pointerShape()
{
    QFETCH(QPoint, at);
    QFETCH(int, shape);
    Workspace ws;
    PageHarness h(ws);
    TFocusImage* c = h.control(addOfKind(h, PictureItem, kStart));
    QVERIFY(h.show());
    QTest::mouseMove(h.page, QPoint(10, 10));
    QTest::mouseMove(c, at);
    QCOMPARE(int(screenCursor()), shape);
}

void TestMouse::leavingRestoresDefaultShape()
{
    Workspace ws;
    PageHarness h(ws);
    TFocusImage* c = h.control(addOfKind(h, PictureItem, kStart));
    QVERIFY(h.show());
    QTest::mouseMove(h.page, QPoint(10, 10));
    QTest::mouseMove(c, QPoint(3, 3));
    QCOMPARE(screenCursor(), Qt::SizeFDiagCursor);
    QTest::mouseMove(h.page, QPoint(10, 10));
    QCOMPARE(screenCursor(), Qt::ArrowCursor);
}

void TestMouse::pendingGestureKeepsShapeOutside()
{
    Workspace ws;
    PageHarness h(ws);
    TFocusImage* c = h.control(addOfKind(h, PictureItem, kStart));
    QVERIFY(h.show());
    QTest::mouseMove(c, QPoint(97, 40));
    QTest::mousePress(c, Qt::LeftButton, {}, QPoint(97, 40));
    QTest::mouseMove(c, QPoint(50, 3));  // over the top edge, but the right edge is held
    QCOMPARE(screenCursor(), Qt::SizeHorCursor);
    QTest::mouseMove(c, QPoint(160, 40));  // outside the item
    QCOMPARE(screenCursor(), Qt::SizeHorCursor);
    QTest::mouseRelease(c, Qt::LeftButton, {}, QPoint(160, 40));
    QCOMPARE(c->width(), 160);
}

void TestMouse::enteringBorderRestoresDefaultShape()
{
    Workspace ws;
    PageHarness h(ws);
    TFocusImage* border = h.control(h.addBorder(QStringLiteral("moldura.png")));
    border->setGeometry(0, 0, 100, 100);
    TFocusImage* c = h.control(addOfKind(h, PictureItem, kStart));
    QVERIFY(h.show());
    QTest::mouseMove(c, QPoint(50, 40));
    QCOMPARE(screenCursor(), Qt::SizeAllCursor);
    QTest::mouseMove(border, QPoint(50, 50));
    QCOMPARE(screenCursor(), Qt::ArrowCursor);
}

void TestMouse::pressAndClickSelect_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("selectedByPress");
    QTest::addColumn<bool>("selectedByClick");
    QTest::newRow("picture, left") << int(PictureItem) << int(Qt::LeftButton) << true << true;
    QTest::newRow("picture, right") << int(PictureItem) << int(Qt::RightButton) << true << true;
    QTest::newRow("text, left") << int(TextItem) << int(Qt::LeftButton) << true << true;
    QTest::newRow("text, right") << int(TextItem) << int(Qt::RightButton) << true << true;
    QTest::newRow("border, left") << int(BorderItem) << int(Qt::LeftButton) << true << true;
    QTest::newRow("picture, middle") << int(PictureItem) << int(Qt::MiddleButton) << true << true;
    QTest::newRow("text, middle: no click") << int(TextItem) << int(Qt::MiddleButton) << true << true;
}

void TestMouse::pressAndClickSelect()
{
    QFETCH(int, kind);
    QFETCH(int, button);
    QFETCH(bool, selectedByPress);
    QFETCH(bool, selectedByClick);
    Workspace ws;
    PageHarness h(ws);
    TFocusImage* other = h.control(h.addPicture(QStringLiteral("outra.png"), QRect(0, 0, 30, 30)));
    TFocusImage* c = h.control(addOfKind(h, kind, kStart));
    c->setPopupMenu(nullptr);  // the menu itself is tested with the item menu
    h.handlers->setSelection(other);
    QVERIFY(h.show());
    const QPoint at(50, 40);
    QTest::mouseMove(c, at);
    QTest::mousePress(c, Qt::MouseButton(button), {}, at);
    QCOMPARE(h.handlers->selection() == c, selectedByPress);
    QTest::mouseRelease(c, Qt::MouseButton(button), {}, at);
    QCOMPARE(h.handlers->selection() == c, selectedByClick);
    QCOMPARE(c->geometry(), kStart);
}

void TestMouse::doubleClickOpensTextItem()
{
    Workspace ws;
    PageHarness h(ws);
    // Two items with one identifier: the double-click still opens the one clicked.
    h.addText(QStringLiteral("Abc um"), QRect(10, 10, 60, 30));
    h.addText(QStringLiteral("Xyz"), QRect(10, 50, 60, 30));
    h.addText(QStringLiteral("Abc dois"), QRect(10, 90, 60, 30));
    h.items->Delete(1);
    ws.state.text = TextAttributes{QStringLiteral("Times"), 33, 0x00FF00, 1, StyleItalic};
    const int index = h.addText(QStringLiteral("Abc tres"), QRect(200, 300, 100, 80));
    TDesc a = h.items->Items(index).Attributes();
    a.Color = 0xFF0000;
    a.Alignment = 2;
    a.Style = StyleBold | StyleItalic;
    h.items->Items(index).SetAttributes(a);
    ws.state.text = TextAttributes{};
    TFocusImage* c = h.control(index);
    QCOMPARE(c->hint(), h.control(1)->hint());
    QSignalSpy requested(h.handlers.get(), &ItemHandlers::textEditRequested);
    QVERIFY(h.show());

    QTest::mouseMove(c, QPoint(40, 40));
    QCOMPARE(screenCursor(), Qt::SizeAllCursor);
    QTest::mouseDClick(c, Qt::LeftButton, {}, QPoint(40, 40));
    QCOMPARE(requested.count(), 1);
    QVERIFY(ws.state.editing.Active);
    QCOMPARE(ws.state.editing.Index, index);
    QCOMPARE(ws.state.editing.Text, QStringLiteral("Abc tres"));
    QCOMPARE(ws.state.text.FontName, QStringLiteral("Times"));
    QCOMPARE(ws.state.text.FontSize, 33);
    QCOMPARE(ws.state.text.Color, ColorRef(0xFF0000));
    QCOMPARE(ws.state.text.Alignment, quint8(2));
    QCOMPARE(ws.state.text.Style, quint8(StyleBold | StyleItalic));
    QCOMPARE(screenCursor(), Qt::ArrowCursor);
}

void TestMouse::clickAfterDragLeavesItem_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QPoint>("grab");
    QTest::addColumn<QRect>("dragged");
    QTest::newRow("text item moved") << int(TextItem) << QPoint(50, 40) << QRect(220, 285, 100, 80);
    QTest::newRow("picture item moved") << int(PictureItem) << QPoint(50, 40) << QRect(220, 285, 100, 80);
    QTest::newRow("picture item's left edge") << int(PictureItem) << QPoint(3, 40) << QRect(223, 300, 77, 80);
}

void TestMouse::clickAfterDragLeavesItem()
{
    QFETCH(int, kind);
    QFETCH(QPoint, grab);
    QFETCH(QRect, dragged);
    Workspace ws;
    PageHarness h(ws);
    TFocusImage* c = h.control(addOfKind(h, kind, kStart));
    QVERIFY(h.show());
    const QPoint to = grab + QPoint(20, -15);
    QTest::mouseMove(c, grab);
    QTest::mousePress(c, Qt::LeftButton, {}, grab);
    QTest::mouseMove(c, to);
    QTest::mouseRelease(c, Qt::LeftButton, {}, to);
    QCOMPARE(c->geometry(), dragged);
    // The item now lies under the pointer at rest; a click there changes nothing.
    const QPoint under = c->mapFromGlobal(h.window.mapToGlobal(QPoint(50, 50) + kStart.topLeft() + to));
    QTest::mouseClick(c, Qt::LeftButton, {}, under);
    QCOMPARE(c->geometry(), dragged);
}

int runMouseTests(int argc, char** argv)
{
    TestMouse t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_mouse.moc"
