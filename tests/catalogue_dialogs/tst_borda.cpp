#include "catalogue/form_Borda.h"
#include "desk.h"

#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

using namespace quadrela;
using namespace quadrela::test;

namespace {

// A data folder with a border list, preview files named b1.png, b2.png, ... and the border
// pictures of the same names. Each border picture has its own size, so copies can be told
// apart.
struct Borders
{
    QStringList names;
    int previewCount = 0;
    int pictureCount = 0;
};

bool writeBorders(Desk& desk, const Borders& b)
{
    if (!writeBytes(desk.data("bordas.txt"), b.names.join("\r\n").toLatin1()))
        return false;
    QDir().mkpath(desk.data("bordas/preview"));
    for (int i = 1; i <= b.previewCount; ++i)
        if (writePicture(desk.data(QStringLiteral("bordas/preview/b%1.png").arg(i)), QSize(16, 22),
                         Qt::red)
                .isEmpty())
            return false;
    for (int i = 1; i <= b.pictureCount; ++i)
        if (writePicture(desk.data(QStringLiteral("bordas/b%1.png").arg(i)), QSize(100 + i, 140),
                         Qt::darkGreen)
                .isEmpty())
            return false;
    return true;
}

TformBorda* makeBorda(Desk& desk)
{
    return new TformBorda(desk.ws.state, *desk.items, desk.dialogs, &desk.window);
}

// The main window's "Borda": show the dialog, pick a border and confirm.
void addBorder(TformBorda* borda, int row, bool inside = false)
{
    borda->show();
    settle();
    if (inside)
        borda->posicaoButtons->button(TformBorda::Interna)->click();
    if (row >= 0)
        clickRow(borda->listBorda, row);
    borda->btOK->click();
    settle();
}

QColor canvasColour(TformBorda* borda, QPoint at)
{
    return QColor(borda->imBorda->bitmap().pixel(at));
}

} // namespace

class TestBorda : public QObject
{
    Q_OBJECT
private slots:
    void offeredBorders_data();
    void offeredBorders();
    void position_data();
    void position();
    void insideOnlyOnAFoldedCard();
    void sameBorderTwiceSharesOneCopy();
    void differentPictureOfTheSameNameKeepsItsFile();
    void okWithoutSelection();
    void missingBorderPicture();
    void unreadableBorderPicture();
    void cancelChangesNothing();
    void missingBorderList();
    void previewDrawnOverThePrevious();
    void userBordersFollowShipped_data();
    void userBordersFollowShipped();
};

void TestBorda::offeredBorders_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("previewFiles");
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QStringList>("order");

    const QStringList six{"Flores", "Corações", "Estrelas", "Bolhas", "Fitas", "Laços"};
    QTest::newRow("six names, four files")
        << six << QStringList{"b1.png", "b2.png", "b3.png", "b4.png"} << six.mid(0, 4)
        << QStringList{"b1.png", "b2.png", "b3.png", "b4.png"};
    QTest::newRow("a subfolder is not a border")
        << six << QStringList{"b1.png", "b2.png", "sub/"} << six.mid(0, 2)
        << QStringList{"b1.png", "b2.png"};
    QTest::newRow("more files than names")
        << QStringList{"Um", "Dois"} << QStringList{"b1.png", "b2.png", "b3.png"}
        << QStringList{"Um", "Dois"} << QStringList{"b1.png", "b2.png", "b3.png"};
    QTest::newRow("a blank line is a border")
        << QStringList{"Um", "", "Tres"} << QStringList{"b1.png", "b2.png", "b3.png"}
        << QStringList{"Um", "", "Tres"} << QStringList{"b1.png", "b2.png", "b3.png"};
    // Digits compare as characters; case does not count.
    QTest::newRow("files in name order without regard to case")
        << QStringList{"A", "B", "C", "D"} << QStringList{"b9.png", "B10.png", "a.JPG", "C.bmp"}
        << QStringList{"A", "B", "C", "D"} << QStringList{"a.JPG", "B10.png", "b9.png", "C.bmp"};
}

void TestBorda::offeredBorders()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, previewFiles);
    QFETCH(QStringList, offered);
    QFETCH(QStringList, order);

    Desk desk;
    QVERIFY(writeBytes(desk.data("bordas.txt"), names.join("\r\n").toLatin1()));
    for (const QString& file : previewFiles) {
        if (file.endsWith(u'/'))
            QVERIFY(QDir().mkpath(desk.data("bordas/preview/" + file)));
        else
            QVERIFY(!writePicture(desk.data("bordas/preview/" + file), QSize(8, 8)).isEmpty());
    }
    TformBorda* borda = makeBorda(desk);
    QVERIFY(!borda->isVisible());
    QCOMPARE(captions(borda->listBorda), offered);
    QCOMPARE(borda->previewFiles(), order);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

void TestBorda::position_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("inside");
    QTest::addColumn<bool>("positionEnabled");
    QTest::addColumn<QRect>("geometry");

    QTest::newRow("full page") << int(FullPage) << false << false << QRect(0, 0, 496, 702);
    QTest::newRow("business card") << int(BusinessCard) << false << false << QRect(0, 0, 380, 217);
    QTest::newRow("folded card, front")
        << int(FoldedCard) << false << true << QRect(0, 0, 270, 382);
    QTest::newRow("folded card, inside")
        << int(FoldedCard) << true << true << QRect(270, 0, 270, 382);
}

void TestBorda::position()
{
    QFETCH(int, layout);
    QFETCH(bool, inside);
    QFETCH(bool, positionEnabled);
    QFETCH(QRect, geometry);

    Desk desk(pageSizeFor(layout), layout);
    QVERIFY(writeBorders(desk, {{"Flores", "Fitas"}, 2, 2}));
    TformBorda* borda = makeBorda(desk);
    QVERIFY(!borda->rgPosicao->isEnabled());
    borda->show();
    settle();
    QCOMPARE(borda->rgPosicao->isEnabled(), positionEnabled);
    QCOMPARE(borda->posicaoButtons->checkedId(), int(TformBorda::Frente));

    addBorder(borda, 1, inside);
    QVERIFY(!borda->isVisible());
    QCOMPARE(desk.items->Count(), 1);
    const TImg& item = desk.items->Items(0);
    QCOMPARE(item.Kind(), quint8(BorderItem));
    QCOMPARE(item.Image()->geometry(), geometry);
    const QString copy = desk.ws.state.workingFolder + "b2.png";
    QCOMPARE(item.Attributes().FileName, copy);
    QCOMPARE(item.Attributes().Text, QString());
    QCOMPARE(readAll(copy), readAll(desk.data("bordas/b2.png")));
    QCOMPARE(item.Image()->bitmap().size(), QSize(102, 140));
    QCOMPARE(borda->windowTitle(), desk.data("bordas/b2.png"));

    // Showing again resets the position to the front; the caption stays.
    borda->show();
    settle();
    QCOMPARE(borda->posicaoButtons->checkedId(), int(TformBorda::Frente));
    QCOMPARE(borda->windowTitle(), desk.data("bordas/b2.png"));
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

void TestBorda::insideOnlyOnAFoldedCard()
{
    Desk desk(pageSizeFor(FoldedCard), FoldedCard);
    QVERIFY(writeBorders(desk, {{"Flores"}, 1, 1}));
    TformBorda* borda = makeBorda(desk);
    borda->show();
    settle();
    borda->posicaoButtons->button(TformBorda::Interna)->click();
    clickRow(borda->listBorda, 0);
    // While the dialog is open, the main window sets up a full page.
    desk.ws.state.pageLayout = FullPage;
    desk.page->resize(pageSizeFor(FullPage));
    borda->btOK->click();
    settle();

    QCOMPARE(desk.items->Count(), 1);
    QCOMPARE(desk.items->Items(0).Image()->geometry(), QRect(0, 0, 496, 702));
}

void TestBorda::sameBorderTwiceSharesOneCopy()
{
    Desk desk(pageSizeFor(FoldedCard), FoldedCard);
    QVERIFY(writeBorders(desk, {{"Flores", "Fitas"}, 2, 2}));
    TformBorda* borda = makeBorda(desk);
    addBorder(borda, 0);
    addBorder(borda, 0, true);

    QCOMPARE(desk.items->Count(), 2);
    QCOMPARE(desk.items->Items(0).Attributes().FileName, desk.ws.state.workingFolder + "b1.png");
    QCOMPARE(desk.items->Items(1).Attributes().FileName, desk.ws.state.workingFolder + "b1.png");
    QCOMPARE(desk.workingFiles(), QStringList{"b1.png"});
    QCOMPARE(desk.items->Items(0).Image()->x(), 0);
    QCOMPARE(desk.items->Items(1).Image()->x(), 270);
}

void TestBorda::differentPictureOfTheSameNameKeepsItsFile()
{
    Desk desk;
    QVERIFY(writeBorders(desk, {{"Flores"}, 1, 1}));
    const QString other =
        writePicture(desk.ws.state.workingFolder + "b1.png", QSize(30, 30), Qt::cyan);
    QVERIFY(!other.isEmpty());
    const QByteArray otherBytes = readAll(other);
    TformBorda* borda = makeBorda(desk);
    addBorder(borda, 0);

    QCOMPARE(desk.items->Count(), 1);
    const QString copy = desk.items->Items(0).Attributes().FileName;
    QVERIFY(copy != other);
    QVERIFY(copy.startsWith(desk.ws.state.workingFolder));
    QCOMPARE(readAll(copy), readAll(desk.data("bordas/b1.png")));
    QCOMPARE(readAll(other), otherBytes);
}

void TestBorda::okWithoutSelection()
{
    Desk desk;
    QVERIFY(writeBorders(desk, {{"Flores"}, 1, 1}));
    TformBorda* borda = makeBorda(desk);
    desk.dialogs.queueAnswer(Answer::Ok);
    addBorder(borda, -1);

    QVERIFY(!borda->isVisible());
    QCOMPARE(desk.dialogs.messageTexts(), QStringList{"List index out of bounds (-1)"});
    QCOMPARE(desk.items->Count(), 0);
    QVERIFY(desk.workingFiles().isEmpty());
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

void TestBorda::missingBorderPicture()
{
    Desk desk(pageSizeFor(BusinessCard), BusinessCard);
    QVERIFY(writeBorders(desk, {{"Flores", "Fitas"}, 2, 1}));
    TformBorda* borda = makeBorda(desk);
    addBorder(borda, 1);

    QCOMPARE(desk.items->Count(), 1);
    const TImg& item = desk.items->Items(0);
    QCOMPARE(item.Kind(), quint8(BorderItem));
    QCOMPARE(item.Attributes().FileName, QString());
    QCOMPARE(item.Image()->geometry(), QRect(0, 0, 380, 217));
    QVERIFY(item.Image()->hasPicture()); // the missing-picture notice
    QVERIFY(desk.workingFiles().isEmpty());
    QCOMPARE(borda->windowTitle(), QStringLiteral("Selecione a borda desejada..."));
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

void TestBorda::unreadableBorderPicture()
{
    Desk desk;
    QVERIFY(writeBorders(desk, {{"Flores"}, 1, 0}));
    QVERIFY(writeBytes(desk.data("bordas/b1.png"), "this is not a picture"));
    TformBorda* borda = makeBorda(desk);
    desk.dialogs.queueAnswer(Answer::Ok);
    addBorder(borda, 0);

    QCOMPARE(desk.dialogs.messages().size(), 1);
    QVERIFY(!desk.dialogs.messages().first().text.isEmpty());
    QCOMPARE(desk.items->Count(), 0);
    QVERIFY(desk.workingFiles().isEmpty());
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

void TestBorda::cancelChangesNothing()
{
    Desk desk;
    QVERIFY(writeBorders(desk, {{"Flores"}, 1, 1}));
    TformBorda* borda = makeBorda(desk);
    borda->show();
    clickRow(borda->listBorda, 0);
    borda->btCancelar->click();
    settle();

    QVERIFY(!borda->isVisible());
    QCOMPARE(desk.items->Count(), 0);
    QVERIFY(desk.workingFiles().isEmpty());
    QCOMPARE(borda->borderIndex(), 0); // the choice stays for the next showing
}

void TestBorda::missingBorderList()
{
    Desk desk;
    QVERIFY(writeBorders(desk, {{}, 2, 2}));
    QVERIFY(QFile::remove(desk.data("bordas.txt")));
    desk.dialogs.queueAnswer(Answer::Ok);
    TformBorda* borda = makeBorda(desk);

    QCOMPARE(desk.dialogs.messages().size(), 1);
    const ScriptedDialogs::Message& message = desk.dialogs.messages().first();
    QCOMPARE(message.text, QStringLiteral("Problema ao carregar a lista de bordas\n\r"
                                          "O programa precisa ser reinstalado."));
    QCOMPARE(message.buttons, Buttons::Ok);
    QCOMPARE(message.ownerAtCall, static_cast<QWidget*>(borda));
    QCOMPARE(borda->listBorda->count(), 0);
    QVERIFY(!borda->isVisible());
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

void TestBorda::previewDrawnOverThePrevious()
{
    Desk desk;
    QVERIFY(writeBorders(desk, {{"Vermelha", "Meia", "Sumida"}, 0, 0}));
    QVERIFY(!writePicture(desk.data("bordas/preview/b1.png"), QSize(16, 22), Qt::red).isEmpty());
    QVERIFY(!writeHalfTransparentPng(desk.data("bordas/preview/b2.png"), QSize(16, 22), Qt::blue)
                 .isEmpty());
    QVERIFY(!writePicture(desk.data("bordas/preview/b3.png"), QSize(16, 22), Qt::yellow).isEmpty());
    TformBorda* borda = makeBorda(desk);
    borda->show();
    settle();
    QCOMPARE(borda->imBorda->bitmap().size(), QSize(160, 226));
    QCOMPARE(canvasColour(borda, QPoint(5, 5)), QColor(Qt::white));

    // Stretched over the whole area, aspect ratio not kept.
    clickRow(borda->listBorda, 0);
    QCOMPARE(canvasColour(borda, QPoint(5, 5)), QColor(Qt::red));
    QCOMPARE(canvasColour(borda, QPoint(155, 220)), QColor(Qt::red));

    // The transparent left half shows the red preview through it.
    clickRow(borda->listBorda, 1);
    QCOMPARE(canvasColour(borda, QPoint(5, 5)), QColor(Qt::red));
    QCOMPARE(canvasColour(borda, QPoint(155, 5)), QColor(Qt::blue));

    // A preview file gone since start-up leaves the preview as it was.
    QVERIFY(QFile::remove(desk.data("bordas/preview/b3.png")));
    clickRow(borda->listBorda, 2);
    QCOMPARE(canvasColour(borda, QPoint(155, 5)), QColor(Qt::blue));

    // Showing the dialog with no border chosen keeps the preview area.
    borda->listBorda->clearSelection();
    settle();
    borda->hide();
    borda->show();
    settle();
    QCOMPARE(canvasColour(borda, QPoint(5, 5)), QColor(Qt::red));
    QCOMPARE(canvasColour(borda, QPoint(155, 5)), QColor(Qt::blue));
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

int runBordaTests(int argc, char** argv)
{
    TestBorda test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_borda.moc"

void TestBorda::userBordersFollowShipped_data()
{
    QTest::addColumn<QStringList>("userNames"); // no list of the user's when empty
    QTest::addColumn<int>("userPreviews");
    QTest::addColumn<QStringList>("offered");
    const QStringList shipped{"Flores", "Fitas"};
    QTest::newRow("user's after shipped") << QStringList{"Minha"} << 1 << shipped + QStringList{"Minha"};
    QTest::newRow("no list of the user's") << QStringList{} << 1 << shipped;
    QTest::newRow("user's list without previews") << QStringList{"Minha"} << 0 << shipped;
}

void TestBorda::userBordersFollowShipped()
{
    QFETCH(QStringList, userNames);
    QFETCH(int, userPreviews);
    QFETCH(QStringList, offered);
    Desk desk;
    QVERIFY(writeBorders(desk, {{"Flores", "Fitas"}, 2, 2}));
    AppState& state = desk.ws.state;
    state.shippedDataFolder = state.dataFolder;
    state.dataFolder = desk.ws.outside() + "usuario/";
    if (!userNames.isEmpty())
        QVERIFY(writeBytes(state.dataFolder + "bordas.txt", userNames.join("\r\n").toLatin1()));
    for (int i = 1; i <= userPreviews; ++i) // the same file names as shipped ones
        for (const char* folder : {"bordas/preview/b%1.png", "bordas/b%1.png"})
            QVERIFY(!writePicture(state.dataFolder + QString(folder).arg(i), QSize(77, 55)).isEmpty());
    TformBorda* borda = makeBorda(desk);
    QCOMPARE(captions(borda->listBorda), offered);
    QVERIFY(desk.dialogs.messages().isEmpty());
    // The last border is drawn from the folder it is listed from.
    addBorder(borda, int(offered.size()) - 1);
    QCOMPARE(QImage(desk.items->Items(0).Attributes().FileName).width(), offered.size() > 2 ? 77 : 102);
}
