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

// Releases the button with the pointer at `at` over the control, where the item has moved
// by then; unlike QTest::mouseRelease it keeps the point (0, 0), the corner a corner drag
// puts under the pointer.
void releaseAt(QWidget* c, Qt::MouseButton button, Qt::KeyboardModifiers held, QPoint at)
{
    QTestPrivate::qtestMouseButtons.setFlag(button, false);
    QMouseEvent e(QEvent::MouseButtonRelease, at, c->mapToGlobal(at), button,
                  QTestPrivate::qtestMouseButtons, held);
    QSpontaneKeyEvent::setSpontaneous(&e);
    qApp->notify(c, &e);
}

} // namespace

class TestMouse : public QObject
{
    Q_OBJECT
private slots:
    void releaseArithmeticStaysInRange_data();
    void releaseArithmeticStaysInRange();
    void snapping_data();
    void snapping();
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

void TestMouse::snapping_data()
{
    QTest::addColumn<int>("gesture");
    QTest::addColumn<QRect>("original");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("last");
    QTest::addColumn<bool>("keepRatio");
    QTest::addColumn<int>("layout");
    QTest::addColumn<QList<QRect>>("others");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QRect>("expected");
    QTest::addColumn<QPoint>("guides"); // -1: none
    const int move = GestureMove, full = FullPage;
    const QRect at50(50, 300, 100, 80), wide(50, 100, 100, 50);
    const QList<QRect> other{QRect(10, 100, 30, 130)};
    QTest::newRow("left edge 6 px from another item's right edge")
        << move << at50 << QPoint(50, 40) << QPoint(46, 40) << false << full << other << 1.0
        << QRect(40, 300, 100, 80) << QPoint(40, -1);
    QTest::newRow("at 200 % the same 6 px is too far")
        << move << at50 << QPoint(50, 40) << QPoint(46, 40) << false << full << other << 2.0
        << QRect(46, 300, 100, 80) << QPoint(-1, -1);
    QTest::newRow("top onto another item's bottom")
        << move << at50 << QPoint(50, 40) << QPoint(50, -33) << false << full << other << 1.0
        << QRect(50, 230, 100, 80) << QPoint(-1, 230);
    QTest::newRow("centre onto the inner half's centre of a folded card")
        << move << QRect(300, 100, 100, 80) << QPoint(50, 40) << QPoint(109, 40) << false
        << int(FoldedCard) << QList<QRect>{} << 1.0 << QRect(356, 100, 100, 80) << QPoint(406, -1);
    QTest::newRow("right edge onto the page's edge")
        << int(GestureRight) << QRect(400, 300, 90, 80) << QPoint(88, 40) << QPoint(92, 40) << false
        << full << QList<QRect>{} << 1.0 << QRect(400, 300, 96, 80) << QPoint(496, -1);
    QTest::newRow("no snap below the minimum size")
        << int(GestureLeft) << QRect(238, 300, 14, 80) << QPoint(2, 40) << QPoint(5, 40) << false
        << full << QList<QRect>{} << 1.0 << QRect(243, 300, 10, 80) << QPoint(-1, -1);
    QTest::newRow("kept ratio: the larger change leads")
        << int(GestureBottomRight) << wide << QPoint(98, 48) << QPoint(150, 60) << true << full
        << QList<QRect>{} << 1.0 << QRect(50, 100, 150, 75) << QPoint(-1, -1);
    QTest::newRow("kept ratio: no smaller than the minimum")
        << int(GestureBottomRight) << wide << QPoint(98, 48) << QPoint(5, 5) << true << full
        << QList<QRect>{} << 1.0 << QRect(50, 100, 20, 10) << QPoint(-1, -1);
}

void TestMouse::snapping()
{
    QFETCH(int, gesture);
    QFETCH(QRect, original);
    QFETCH(QPoint, press);
    QFETCH(QPoint, last);
    QFETCH(bool, keepRatio);
    QFETCH(int, layout);
    QFETCH(QList<QRect>, others);
    QFETCH(double, zoom);
    QFETCH(QRect, expected);
    QFETCH(QPoint, guides);
    const SnapLines lines = snapLines(pageSizeFor(layout), layout, others);
    const GestureOutcome out = gestureOutcome(Gestures(gesture), original, last, press,
                                              {keepRatio, &lines, kSnapDistance / zoom});
    QCOMPARE(out.geometry, expected);
    QCOMPARE(QPoint(out.guideX.value_or(-1), out.guideY.value_or(-1)), guides);
}

void TestMouse::smallItemGrabsTopLeftFirst()
{
    // On an item of 12 pixels or less both opposite handles are grabbed; the release
    // applies top-left before bottom-right (Shift: the corner resizes freely).
    Workspace ws;
    PageHarness h(ws);
    TFocusImage* c = h.control(addOfKind(h, PictureItem, QRect(200, 300, 10, 10)));
    QVERIFY(h.show());
    QTest::mouseMove(c, QPoint(5, 5));
    QCOMPARE(screenCursor(), Qt::SizeFDiagCursor);
    QTest::mousePress(c, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(h.handlers->gesture(), Gestures(GestureTopLeft | GestureBottomRight));
    QTest::mouseEvent(QTest::MouseMove, c, Qt::NoButton, Qt::ShiftModifier, QPoint(8, 9));
    releaseAt(c, Qt::LeftButton, Qt::ShiftModifier, QPoint(0, 0));
    QCOMPARE(c->geometry(), QRect(208, 309, 10, 10));
}

void TestMouse::gesture_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("press");     // the pointer rests here first, then presses
    QTest::addColumn<QList<QPoint>>("drag"); // where the item was at the press
    QTest::addColumn<int>("held");           // modifier keys while dragging
    QTest::addColumn<QRect>("expected");
    const int pic = PictureItem;
    const int shift = Qt::ShiftModifier;
    const int left = Qt::LeftButton;
    const int middle = Qt::MiddleButton;
    using L = QList<QPoint>;
    QTest::newRow("left edge released at x=-20")
        << pic << left << QPoint(3, 40) << L{{-20, 40}} << 0 << QRect(180, 300, 120, 80);
    QTest::newRow("right edge dragged past the left edge")
        << pic << left << QPoint(97, 40) << L{{-30, 40}} << 0 << QRect(200, 300, 10, 80);
    QTest::newRow("bottom-right handle released without moving")
        << pic << left << QPoint(97, 77) << L{} << shift << QRect(200, 300, 97, 77);
    QTest::newRow("move from the inside")
        << pic << left << QPoint(50, 40) << L{{60, 50}, {70, 25}} << 0 << QRect(220, 285, 100, 80);
    QTest::newRow("move partly off the page")
        << pic << left << QPoint(50, 40) << L{{-230, -330}} << 0 << QRect(-80, -70, 100, 80);
    QTest::newRow("top-left corner")
        << pic << left << QPoint(2, 2) << L{{10, 5}} << shift << QRect(210, 305, 90, 75);
    QTest::newRow("top-right corner")
        << pic << left << QPoint(98, 2) << L{{150, -10}} << shift << QRect(200, 290, 150, 90);
    QTest::newRow("bottom-left corner")
        << pic << left << QPoint(2, 78) << L{{-5, 100}} << shift << QRect(195, 300, 105, 100);
    QTest::newRow("top edge")
        << pic << left << QPoint(50, 2) << L{{50, -10}} << 0 << QRect(200, 290, 100, 90);
    QTest::newRow("bottom edge below the minimum")
        << pic << left << QPoint(50, 78) << L{{50, 5}} << 0 << QRect(200, 300, 100, 10);
    QTest::newRow("top-left past the opposite corner")
        << pic << left << QPoint(2, 2) << L{{200, 200}} << shift << QRect(400, 500, 10, 10);
    QTest::newRow("middle button on the left edge")
        << pic << middle << QPoint(3, 40) << L{{-20, 40}} << 0 << QRect(180, 300, 120, 80);
    QTest::newRow("middle button on the top edge")
        << pic << middle << QPoint(50, 3) << L{{50, -20}} << 0 << kStart;
    QTest::newRow("middle button on the top-right corner")
        << pic << middle << QPoint(97, 3) << L{{150, -20}} << shift << kStart;
    QTest::newRow("middle button on the bottom-left corner")
        << pic << middle << QPoint(3, 77) << L{{-10, 90}} << shift << QRect(190, 300, 110, 90);
    QTest::newRow("text item near its border is moved")
        << int(TextItem) << left << QPoint(2, 2) << L{{12, 4}} << 0 << QRect(210, 302, 100, 80);
    QTest::newRow("text item on its corner is moved")
        << int(TextItem) << left << QPoint(97, 77) << L{{85, 100}} << 0 << QRect(188, 323, 100, 80);
    QTest::newRow("corner keeps the ratio")
        << pic << left << QPoint(97, 77) << L{{147, 90}} << 0 << QRect(200, 300, 147, 118);
    QTest::newRow("corner with kept ratio snaps to the page centre")
        << pic << left << QPoint(2, 2) << L{{-18, 40}} << 0 << QRect(248, 338, 52, 42);
    QTest::newRow("Alt: no snap") << pic << left << QPoint(2, 2) << L{{-18, 40}}
                                  << int(Qt::AltModifier) << QRect(250, 340, 50, 40);
    QTest::newRow("move snaps its centre to the page centre")
        << pic << left << QPoint(50, 40) << L{{53, 40}} << 0 << QRect(198, 300, 100, 80);
    QTest::newRow("move snaps to the page edge")
        << int(TextItem) << left << QPoint(50, 40) << L{{-146, 40}} << 0 << QRect(0, 300, 100, 80);
    QTest::newRow("border item is not moved")
        << int(BorderItem) << left << QPoint(50, 40) << L{{80, 60}} << 0 << kStart;
    QTest::newRow("border item is not resized")
        << int(BorderItem) << left << QPoint(3, 40) << L{{-20, 40}} << 0 << kStart;
}

void TestMouse::gesture()
{
    QFETCH(int, kind);
    QFETCH(int, button);
    QFETCH(QPoint, press);
    QFETCH(QList<QPoint>, drag);
    QFETCH(int, held);
    QFETCH(QRect, expected);
    Workspace ws;
    PageHarness h(ws);
    TFocusImage* c = h.control(addOfKind(h, kind, kStart));
    QVERIFY(h.show());

    const auto b = Qt::MouseButton(button);
    QTest::mouseMove(c, press);
    QTest::mousePress(c, b, {}, press);
    // The item follows the pointer: it shows after the last move what the release applies.
    for (const QPoint& p : drag) {
        QTest::mouseEvent(QTest::MouseMove, c, Qt::NoButton, Qt::KeyboardModifiers(held),
                          p - c->pos() + kStart.topLeft());
    }
    if (!drag.isEmpty())
        QCOMPARE(c->geometry(), expected);
    const QPoint last = drag.isEmpty() ? press : drag.last() - c->pos() + kStart.topLeft();
    releaseAt(c, b, Qt::KeyboardModifiers(held), last);
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
    releaseAt(c, Qt::LeftButton, {}, to - c->pos() + kStart.topLeft());
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
