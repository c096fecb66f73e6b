// The resize dialog: typing percentages, the proportion link, and scaling whatever item is
// selected when OK runs.
#include "core/errors.h"
#include "core/limits.h"
#include "page/form_Resize.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace quadrela;

namespace {

struct ResizeHarness
{
    ResizeHarness()
        : dialog([this]() -> QWidget* { return selection.data(); }, &window)
    {
        window.resize(600, 600);
        item = new QWidget(&window);
        item->setGeometry(50, 60, 121, 75);
        other = new QWidget(&window);
        other->setGeometry(300, 300, 40, 20);
        selection = item;
    }

    bool show()
    {
        window.show();
        dialog.show();
        return QTest::qWaitForWindowExposed(&dialog);
    }

    // Replaces the edit's text by typing, as the user does.
    static void type(QLineEdit* edit, const QString& keys)
    {
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, keys);
    }

    QWidget window;
    QWidget* item = nullptr;
    QWidget* other = nullptr;
    QPointer<QWidget> selection;
    TformResize dialog;
};

} // namespace

class TestResize : public QObject
{
    Q_OBJECT
private slots:
    void scaledByPercent_data();
    void scaledByPercent();
    void okScalesSelection_data();
    void okScalesSelection();
    void onlyDigitsAreTyped_data();
    void onlyDigitsAreTyped();
    void editingKeysStillWork();
    void showingStartsAt100();
    void okScalesWhatIsSelectedThen();
    void okWithoutSelectionChangesNothing();
    void notANumberLeavesItem_data();
    void notANumberLeavesItem();
    void cancelChangesNothing();
};

void TestResize::scaledByPercent_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("p");
    QTest::addColumn<int>("q");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("121x75 by 50: 60.5 and 37.5 to even") << QSize(121, 75) << 50 << 50 << QSize(60, 38);
    QTest::newRow("halves of 1") << QSize(1, 1) << 50 << 150 << QSize(0, 2);
    QTest::newRow("zero percent") << QSize(80, 80) << 0 << 100 << QSize(0, 80);
    QTest::newRow("negative percent") << QSize(80, 80) << -50 << 100 << QSize(0, 80);
    QTest::newRow("largest percentage") << QSize(100, 80) << 2147483647 << 100 << QSize(kMaxWidgetSize, 80);
    QTest::newRow("widget limit doubled") << QSize(kMaxWidgetSize, 3) << 200 << 100 << QSize(kMaxWidgetSize, 3);
}

void TestResize::scaledByPercent()
{
    QFETCH(QSize, size);
    QFETCH(int, p);
    QFETCH(int, q);
    QFETCH(QSize, expected);
    QCOMPARE(quadrela::scaledByPercent(size, p, q), expected);
}

void TestResize::okScalesSelection_data()
{
    QTest::addColumn<QRect>("start");
    QTest::addColumn<bool>("proportion");
    QTest::addColumn<QString>("width");   // typed; empty leaves the edit as it is
    QTest::addColumn<QString>("height");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QString>("heightShown");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("50 with the box checked") << QRect(50, 60, 121, 75) << true << "50" << "" << false
                                             << "50" << QRect(50, 60, 60, 38);
    QTest::newRow("height typed, box checked") << QRect(50, 60, 121, 75) << true << "" << "200" << false
                                               << "200" << QRect(50, 60, 242, 150);
    QTest::newRow("200 and 100, box unchecked") << QRect(50, 60, 121, 75) << false << "200" << "" << false
                                                << "100" << QRect(50, 60, 242, 75);
    QTest::newRow("0 percent high") << QRect(50, 60, 100, 80) << false << "" << "0" << false << "0"
                                    << QRect(50, 60, 100, 0);
    QTest::newRow("Enter in the width edit") << QRect(50, 60, 121, 75) << true << "50" << "" << true
                                             << "50" << QRect(50, 60, 60, 38);
    QTest::newRow("Enter in the height edit") << QRect(50, 60, 100, 80) << false << "" << "150" << true
                                              << "150" << QRect(50, 60, 100, 120);
    QTest::newRow("off the page: corner back to 0") << QRect(-10, -20, 100, 80) << true << "100" << ""
                                                    << false << "100" << QRect(0, 0, 100, 80);
    QTest::newRow("huge percentage is capped") << QRect(5, 5, 100, 80) << false << "99999999" << "1" << false
                                               << "1" << QRect(5, 5, kMaxWidgetSize, 1);
}

void TestResize::okScalesSelection()
{
    QFETCH(QRect, start);
    QFETCH(bool, proportion);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(bool, byEnter);
    QFETCH(QString, heightShown);
    QFETCH(QRect, expected);
    ResizeHarness h;
    h.item->setGeometry(start);
    QVERIFY(h.show());
    h.dialog.cbProporcao->setChecked(proportion);
    QLineEdit* last = h.dialog.edLargura;
    if (!width.isEmpty())
        ResizeHarness::type(h.dialog.edLargura, width);
    if (!height.isEmpty()) {
        ResizeHarness::type(h.dialog.edAltura, height);
        last = h.dialog.edAltura;
    }
    QCOMPARE(h.dialog.edAltura->text(), heightShown);
    if (byEnter)
        QTest::keyClick(last, Qt::Key_Return);
    else
        QTest::mouseClick(h.dialog.btOK, Qt::LeftButton);
    QVERIFY(!h.dialog.isVisible());
    QCOMPARE(h.item->geometry(), expected);
}

void TestResize::onlyDigitsAreTyped_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter between digits") << "5a0" << "50";
    QTest::newRow("minus sign") << "-3" << "3";
    QTest::newRow("decimal comma and point") << "1,5.0" << "150";
    QTest::newRow("only letters") << "abc" << "";
    QTest::newRow("space passes") << "1 2" << "1 2";
}

void TestResize::onlyDigitsAreTyped()
{
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    ResizeHarness h;
    QVERIFY(h.show());
    ResizeHarness::type(h.dialog.edLargura, keys);
    QCOMPARE(h.dialog.edLargura->text(), shown);
    QCOMPARE(h.dialog.edAltura->text(), shown);  // the box is checked at start
    h.dialog.cbProporcao->setChecked(false);
    ResizeHarness::type(h.dialog.edAltura, keys);
    QCOMPARE(h.dialog.edAltura->text(), shown);
    QCOMPARE(h.item->geometry(), QRect(50, 60, 121, 75));
}

void TestResize::editingKeysStillWork()
{
    ResizeHarness h;
    QVERIFY(h.show());
    ResizeHarness::type(h.dialog.edLargura, "1234");
    QTest::keyClick(h.dialog.edLargura, Qt::Key_Backspace);
    QCOMPARE(h.dialog.edLargura->text(), QStringLiteral("123"));
    QTest::keyClick(h.dialog.edLargura, Qt::Key_Home);
    QTest::keyClick(h.dialog.edLargura, Qt::Key_Delete);
    QCOMPARE(h.dialog.edLargura->text(), QStringLiteral("23"));
    QTest::keyClick(h.dialog.edLargura, Qt::Key_End);
    QTest::keyClick(h.dialog.edLargura, Qt::Key_Left);
    QTest::keyClicks(h.dialog.edLargura, "9");
    QCOMPARE(h.dialog.edLargura->text(), QStringLiteral("293"));
    QCOMPARE(h.dialog.edAltura->text(), QStringLiteral("293"));
}

void TestResize::showingStartsAt100()
{
    ResizeHarness h;
    QVERIFY(h.show());
    h.dialog.cbProporcao->setChecked(false);
    ResizeHarness::type(h.dialog.edLargura, "37");
    ResizeHarness::type(h.dialog.edAltura, "12");
    QTest::mouseClick(h.dialog.btCancelar, Qt::LeftButton);
    QVERIFY(!h.dialog.isVisible());
    h.dialog.show();
    QCOMPARE(h.dialog.edLargura->text(), QStringLiteral("100"));
    QCOMPARE(h.dialog.edAltura->text(), QStringLiteral("100"));
}

void TestResize::okScalesWhatIsSelectedThen()
{
    ResizeHarness h;
    QVERIFY(h.show());
    ResizeHarness::type(h.dialog.edLargura, "50");
    h.selection = h.other;  // the user picked another item while the dialog was open
    QTest::mouseClick(h.dialog.btOK, Qt::LeftButton);
    QCOMPARE(h.other->geometry(), QRect(300, 300, 20, 10));
    QCOMPARE(h.item->geometry(), QRect(50, 60, 121, 75));
}

void TestResize::okWithoutSelectionChangesNothing()
{
    ResizeHarness h;
    h.selection = nullptr;
    QVERIFY(h.show());
    ResizeHarness::type(h.dialog.edLargura, "50");
    QTest::mouseClick(h.dialog.btOK, Qt::LeftButton);
    QVERIFY(!h.dialog.isVisible());
    QCOMPARE(h.item->geometry(), QRect(50, 60, 121, 75));
    QCOMPARE(h.other->geometry(), QRect(300, 300, 40, 20));
}

void TestResize::notANumberLeavesItem_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << "" << "'' is not a valid integer value";
    QTest::newRow("space inside") << "1 2" << "'1 2' is not a valid integer value";
    QTest::newRow("pasted letters") << "5x" << "'5x' is not a valid integer value";
}

void TestResize::notANumberLeavesItem()
{
    QFETCH(QString, width);
    QFETCH(QString, message);
    ResizeHarness h;
    QVERIFY(h.show());
    h.dialog.cbProporcao->setChecked(false);
    h.dialog.edLargura->setText(width);  // as pasted: the key filter never sees it
    try {
        h.dialog.btOKClick();
        QFAIL("no conversion error");
    } catch (const Error& e) {
        QCOMPARE(e.message(), message);
    }
    QVERIFY(!h.dialog.isVisible());
    QCOMPARE(h.item->geometry(), QRect(50, 60, 121, 75));
}

void TestResize::cancelChangesNothing()
{
    ResizeHarness h;
    QVERIFY(h.show());
    ResizeHarness::type(h.dialog.edLargura, "300");
    QTest::mouseClick(h.dialog.btCancelar, Qt::LeftButton);
    QVERIFY(!h.dialog.isVisible());
    QCOMPARE(h.item->geometry(), QRect(50, 60, 121, 75));
}

int runResizeTests(int argc, char** argv)
{
    TestResize t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_resize.moc"
