#include "catalogue/form_Novo.h"
#include "desk.h"
#include "storage/records.h"
#include "zip/archive.h"

#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace quadrela;
using namespace quadrela::test;

namespace {

const QString kBlank = QStringLiteral("Em branco");

QStringList numbered(int count)
{
    QStringList models;
    for (int i = 1; i <= count; ++i)
        models.append(QStringLiteral("Modelo 0%1").arg(i));
    models.append(kBlank);
    return models;
}

// The dialog as the program makes it: it reads the catalogue and shows itself.
TformNovo* makeNovo(Desk& desk)
{
    return new TformNovo(desk.ws.state, desk.dialogs, desk.link(), &desk.window);
}

QAbstractButton* categoryButton(TformNovo* novo, const QString& key)
{
    QButtonGroup* group = key.startsWith(u'E') ? novo->empresaButtons : novo->casaButtons;
    return group->button(key.mid(1).toInt());
}

void chooseCategory(TformNovo* novo, const QString& key)
{
    categoryButton(novo, key)->click();
    settle();
}

// The keys of the checked categories across both lists.
QStringList checkedKeys(TformNovo* novo)
{
    QStringList keys;
    for (QAbstractButton* b : novo->casaButtons->buttons())
        if (b->isChecked())
            keys.append(QStringLiteral("C%1").arg(novo->casaButtons->id(b)));
    for (QAbstractButton* b : novo->empresaButtons->buttons())
        if (b->isChecked())
            keys.append(QStringLiteral("E%1").arg(novo->empresaButtons->id(b)));
    return keys;
}

QRgb previewPixel(TformNovo* novo, QPoint at)
{
    return novo->panelP->grab().toImage().pixel(at);
}

bool writeCatalogue(Desk& desk, const QByteArray& text)
{
    return writeBytes(desk.data(QStringLiteral("modelos.txt")), text);
}

} // namespace

class TestNovo : public QObject
{
    Q_OBJECT
private slots:
    void categoryLists_data();
    void categoryLists();
    void modelList_data();
    void modelList();
    void oneCategoryAcrossBothLists();
    void sameCategoryAgainKeepsModel();
    void showingAgain_data();
    void showingAgain();
    void preview_data();
    void preview();
    void previewCentredAtNaturalSize_data();
    void previewCentredAtNaturalSize();
    void unreadablePreviewOfChosenModel();
    void unreadablePreviewOnCategoryChoice();
    void okOpensTemplate_data();
    void okOpensTemplate();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void missingCatalogue();
};

void TestNovo::categoryLists_data()
{
    QTest::addColumn<bool>("business");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("categories");

    QTest::newRow("home") << false << " Casa "
                          << QStringList{"Cartões de Agradecimento",
                                         "Cartões de Amizade",
                                         "Cartões de Aniversário",
                                         "Cartões de Desculpas",
                                         "Cartões de Dia das Bruxas",
                                         "Cartões de Dia das Crianças",
                                         "Cartões de Dia das Mães",
                                         "Cartões de Dia dos Namorados",
                                         "Cartões de Dia dos Pais",
                                         "Cartões de Natal",
                                         "Cartões de Saudades",
                                         "Convites de 15 anos",
                                         "Convites de Aniversário",
                                         "Convites de Casamento",
                                         "Convites de Dia das Bruxas",
                                         "Participação",
                                         "Pôsteres"};
    QTest::newRow("business") << true << " Empresa "
                              << QStringList{"Cartões de Visita", "Anúncios de compra/venda",
                                             "Comunicados",       "Certificados",
                                             "Currículos",        "Diplomas",
                                             "Panfletos",         "Papel timbrado"};
}

void TestNovo::categoryLists()
{
    QFETCH(bool, business);
    QFETCH(QString, caption);
    QFETCH(QStringList, categories);

    Desk desk;
    QVERIFY(writeCatalogue(desk, "[C0]\r\n1\r\nag\r\n2\r\n"));
    TformNovo* novo = makeNovo(desk);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);

    QGroupBox* box = business ? novo->rgEmpresa : novo->rgCasa;
    QButtonGroup* group = business ? novo->empresaButtons : novo->casaButtons;
    QCOMPARE(box->title(), caption);
    QStringList shown;
    for (int place = 0; place < categories.size(); ++place) {
        QAbstractButton* button = group->button(place);
        QVERIFY2(button, qPrintable(QStringLiteral("no button at place %1").arg(place)));
        QCOMPARE(button->parentWidget(), box);
        shown.append(button->text());
    }
    QCOMPARE(shown, categories);
    QCOMPARE(group->buttons().size(), categories.size());

    // Created and shown: the dialog is open with the first home category chosen.
    QVERIFY(novo->isVisible());
    QCOMPARE(checkedKeys(novo), QStringList{"C0"});
    QCOMPARE(captions(novo->listModelos), numbered(2));
}

void TestNovo::modelList_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("models");
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("prefix");

    QTest::newRow("folded card, four models") << QByteArray("[C2]\r\n2\r\nani\r\n4\r\n") << "C2"
                                              << numbered(4) << int(FoldedCard) << "ani";
    QTest::newRow("first home category, chosen on showing")
        << QByteArray("[C0]\r\n1\r\nagr\r\n1\r\n") << "C0" << numbered(1) << int(FullPage) << "agr";
    QTest::newRow("twelve models") << QByteArray("[E3]\r\n1\r\ncert\r\n12\r\n") << "E3"
                                   << numbered(12) << int(FullPage) << "cert";
    QTest::newRow("no models") << QByteArray("[E0]\r\n3\r\nvis\r\n0\r\n") << "E0"
                               << QStringList{kBlank} << int(BusinessCard) << "vis";
    QTest::newRow("negative count") << QByteArray("[E0]\r\n3\r\nvis\r\n-4\r\n") << "E0"
                                    << QStringList{kBlank} << int(BusinessCard) << "vis";
    QTest::newRow("key twice, first wins")
        << QByteArray("[C1]\r\n2\r\nfirst\r\n1\r\n[C1]\r\n3\r\nsecond\r\n3\r\n") << "C1"
        << numbered(1) << int(FoldedCard) << "first";
    QTest::newRow("prefix with a trailing blank")
        << QByteArray("[C4]\r\n1\r\nab \r\n2\r\n") << "C4" << numbered(2) << int(FullPage) << "ab ";
    QTest::newRow("section without its third line")
        << QByteArray("[C6]\r\n2\r\nmae\r\n[C7]\r\n2\r\nnam\r\n5\r\n") << "C6"
        << QStringList{kBlank} << int(FoldedCard) << "mae";
    QTest::newRow("non-numeric first line") << QByteArray("[C8]\r\ndois\r\npai\r\n3\r\n") << "C8"
                                            << QStringList{kBlank} << int(FullPage) << "";
    QTest::newRow("bracket inside a line") << QByteArray("[E1]\r\n3\r\nan[uncio\r\n5\r\n") << "E1"
                                           << QStringList{kBlank} << int(BusinessCard) << "an";
    QTest::newRow("other layout code")
        << QByteArray("[C9]\r\n7\r\nnat\r\n1\r\n") << "C9" << numbered(1) << int(FullPage) << "nat";
    QTest::newRow("key not in the catalogue") << QByteArray("[C0]\r\n2\r\nagr\r\n3\r\n") << "E7"
                                              << QStringList{kBlank} << int(FullPage) << "";
}

void TestNovo::modelList()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(QString, key);
    QFETCH(QStringList, models);
    QFETCH(int, layout);
    QFETCH(QString, prefix);

    // A page of no layout's size, so every layout shows in the page size after OK.
    Desk desk(QSize(300, 300));
    QVERIFY(writeCatalogue(desk, catalogue));
    // Only the right prefix has a preview for "no model chosen".
    QVERIFY(!writePicture(desk.data("modelos/" + prefix + "00.png"), QSize(20, 20), Qt::blue)
                 .isEmpty());
    TformNovo* novo = makeNovo(desk);
    if (key != u"C0")
        chooseCategory(novo, key);

    QCOMPARE(checkedKeys(novo), QStringList{key});
    QCOMPARE(captions(novo->listModelos), models);
    QVERIFY(novo->listModelos->selectedItems().isEmpty());
    QCOMPARE(novo->modelNumber(), 0);
    QVERIFY2(!novo->imPreview->pixmap().isNull(), "the preview of the category's prefix");

    // "Em branco" gives a blank page of the category's layout.
    clickRow(novo->listModelos, novo->listModelos->count() - 1);
    QCOMPARE(novo->modelNumber(), models.size());
    novo->btOK->click();
    settle();
    QVERIFY(!novo->isVisible());
    QCOMPARE(desk.page->size(), pageSizeFor(layout));
    QCOMPARE(desk.ws.state.pageLayout, layout);
    QCOMPARE(desk.items->Count(), 0);
    QCOMPARE(desk.scrollResizes, 1);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

void TestNovo::oneCategoryAcrossBothLists()
{
    Desk desk;
    QVERIFY(writeCatalogue(desk, "[C3]\r\n1\r\ndes\r\n2\r\n[E2]\r\n1\r\ncom\r\n3\r\n"));
    TformNovo* novo = makeNovo(desk);

    chooseCategory(novo, "C3");
    QCOMPARE(checkedKeys(novo), QStringList{"C3"});
    chooseCategory(novo, "E2");
    QCOMPARE(checkedKeys(novo), QStringList{"E2"});
    QCOMPARE(captions(novo->listModelos), numbered(3));
    chooseCategory(novo, "C3");
    QCOMPARE(checkedKeys(novo), QStringList{"C3"});
    QCOMPARE(captions(novo->listModelos), numbered(2));
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

void TestNovo::sameCategoryAgainKeepsModel()
{
    Desk desk;
    QVERIFY(writeCatalogue(desk, "[E4]\r\n1\r\ncur\r\n3\r\n"));
    TformNovo* novo = makeNovo(desk);
    chooseCategory(novo, "E4");
    clickRow(novo->listModelos, 1);
    QCOMPARE(novo->modelNumber(), 2);

    chooseCategory(novo, "E4");
    QCOMPARE(captions(novo->listModelos), numbered(3));
    QCOMPARE(novo->modelNumber(), 2);
}

void TestNovo::showingAgain_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("models");
    QTest::addColumn<int>("modelAfter");

    // The first home category is chosen anew: its list is refilled without a selection.
    QTest::newRow("business category chosen") << "E5" << numbered(1) << 0;
    QTest::newRow("other home category chosen") << "C16" << numbered(1) << 0;
    // It was chosen already: list and model stay.
    QTest::newRow("first home category chosen") << "C0" << numbered(1) << 1;
}

void TestNovo::showingAgain()
{
    QFETCH(QString, key);
    QFETCH(QStringList, models);
    QFETCH(int, modelAfter);

    Desk desk;
    QVERIFY(writeCatalogue(desk, "[C0]\r\n1\r\nagr\r\n1\r\n[C16]\r\n1\r\npos\r\n4\r\n"
                                 "[E5]\r\n1\r\ndip\r\n2\r\n"));
    TformNovo* novo = makeNovo(desk);
    chooseCategory(novo, key);
    clickRow(novo->listModelos, 0);
    novo->btCancelar->click();
    QVERIFY(!novo->isVisible());

    novo->show();
    settle();
    QCOMPARE(checkedKeys(novo), QStringList{"C0"});
    QCOMPARE(captions(novo->listModelos), models);
    QCOMPARE(novo->modelNumber(), modelAfter);
}

void TestNovo::preview_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("shown");

    QTest::newRow("Modelo 02") << 1 << "card02.png" << true;
    QTest::newRow("Modelo 04 without a picture") << 3 << "card05.png" << false;
    QTest::newRow("Em branco is model 5") << 4 << "card05.png" << true;
}

void TestNovo::preview()
{
    QFETCH(int, row);
    QFETCH(QString, file);
    QFETCH(bool, shown);

    Desk desk;
    QVERIFY(writeCatalogue(desk, "[C0]\r\n2\r\ncard\r\n4\r\n"));
    // Model 0's preview is showing before a model is chosen; each file has its own size.
    QVERIFY(!writePicture(desk.data("modelos/card00.png"), QSize(11, 11)).isEmpty());
    QVERIFY(!writePicture(desk.data("modelos/" + file), QSize(31, 17), Qt::green).isEmpty());
    TformNovo* novo = makeNovo(desk);
    QCOMPARE(novo->imPreview->pixmap().size(), QSize(11, 11));

    clickRow(novo->listModelos, row);
    if (shown) {
        QCOMPARE(novo->imPreview->pixmap().size(), QSize(31, 17));
        QCOMPARE(QColor(novo->imPreview->pixmap().toImage().pixel(1, 1)), QColor(Qt::green));
    } else {
        QVERIFY(novo->imPreview->pixmap().isNull());
        QCOMPARE(QColor(previewPixel(novo, QPoint(110, 155))), QColor(Qt::white));
    }
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

void TestNovo::previewCentredAtNaturalSize_data()
{
    QTest::addColumn<bool>("halfTransparent");
    QTest::newRow("opaque") << false;
    QTest::newRow("transparent left half shows the panel") << true;
}

void TestNovo::previewCentredAtNaturalSize()
{
    QFETCH(bool, halfTransparent);

    Desk desk;
    QVERIFY(writeCatalogue(desk, "[C0]\r\n1\r\npp\r\n1\r\n"));
    const QString path = desk.data("modelos/pp00.png");
    // 100 x 60 in a 220 x 311 panel: from (60, 125) to (159, 184).
    QVERIFY(!(halfTransparent ? writeHalfTransparentPng(path, QSize(100, 60), Qt::blue)
                              : writePicture(path, QSize(100, 60), Qt::blue))
                 .isEmpty());
    TformNovo* novo = makeNovo(desk);
    QCOMPARE(novo->panelP->size(), QSize(220, 311));

    const QColor white(Qt::white);
    const QColor blue(Qt::blue);
    QCOMPARE(QColor(previewPixel(novo, QPoint(62, 127))), halfTransparent ? white : blue);
    QCOMPARE(QColor(previewPixel(novo, QPoint(157, 182))), blue);
    QCOMPARE(QColor(previewPixel(novo, QPoint(58, 127))), white);
    QCOMPARE(QColor(previewPixel(novo, QPoint(157, 123))), white);
    QCOMPARE(QColor(previewPixel(novo, QPoint(161, 182))), white);
    QCOMPARE(QColor(previewPixel(novo, QPoint(157, 186))), white);
}

void TestNovo::unreadablePreviewOfChosenModel()
{
    Desk desk;
    QVERIFY(writeCatalogue(desk, "[C0]\r\n1\r\nbad\r\n2\r\n"));
    QVERIFY(!writePicture(desk.data("modelos/bad01.png"), QSize(21, 13), Qt::green).isEmpty());
    QVERIFY(writeBytes(desk.data("modelos/bad02.png"), "this is not a picture"));
    TformNovo* novo = makeNovo(desk);
    clickRow(novo->listModelos, 0);
    QCOMPARE(novo->imPreview->pixmap().size(), QSize(21, 13));

    desk.dialogs.queueAnswer(Answer::Ok);
    clickRow(novo->listModelos, 1);
    QCOMPARE(desk.dialogs.messages().size(), 1);
    QVERIFY(!desk.dialogs.messages().first().text.isEmpty());
    QCOMPARE(novo->imPreview->pixmap().size(), QSize(21, 13));
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

void TestNovo::unreadablePreviewOnCategoryChoice()
{
    Desk desk;
    QVERIFY(writeCatalogue(desk, "[C0]\r\n1\r\ngood\r\n1\r\n[C1]\r\n1\r\nbad\r\n1\r\n"));
    QVERIFY(!writePicture(desk.data("modelos/good00.png"), QSize(21, 13)).isEmpty());
    QVERIFY(writeBytes(desk.data("modelos/bad00.png"), "this is not a picture"));
    TformNovo* novo = makeNovo(desk);
    QVERIFY(!novo->imPreview->pixmap().isNull());

    chooseCategory(novo, "C1");
    QVERIFY(desk.dialogs.messages().isEmpty());
    QCOMPARE(captions(novo->listModelos), numbered(1));
    // Another category's preview would mislead.
    QVERIFY(novo->imPreview->pixmap().isNull());
}

void TestNovo::okOpensTemplate_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QSize>("pageSize");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("itemCount");

    // The archive's own layout (business card) replaces the category's (folded card).
    QTest::newRow("Modelo 02 opens its archive") << 1 << QSize(380, 217) << int(BusinessCard) << 1;
    QTest::newRow("Modelo 01 has no archive") << 0 << QSize(541, 382) << int(FoldedCard) << 0;
    QTest::newRow("no model chosen") << -1 << QSize(541, 382) << int(FoldedCard) << 0;
}

void TestNovo::okOpensTemplate()
{
    QFETCH(int, row);
    QFETCH(QSize, pageSize);
    QFETCH(int, layout);
    QFETCH(int, itemCount);

    Desk desk;
    QVERIFY(writeCatalogue(desk, "[C9]\r\n2\r\nnatal\r\n3\r\n"));
    const QString build = desk.ws.outside() + "modelo/";
    QVERIFY(QDir().mkpath(build));
    QVERIFY(QDir().mkpath(desk.data("modelos")));
    QVERIFY(writeBytes(build + "project.txt", ProjectRecordBytes(1, BusinessCard)));
    TItem picture;
    picture.Kind = PictureItem;
    picture.FileName = "C:\\Modelos\\arvore.png";
    picture.Left = 10;
    picture.Top = 20;
    picture.Width = 40;
    picture.Height = 30;
    QVERIFY(writeBytes(build + "item.txt", ItemRecordsBytes({picture})));
    QVERIFY(!writePicture(build + "arvore.png", QSize(40, 30), Qt::green).isEmpty());
    QCOMPARE(PackArchive(desk.data("modelos/natal02.vimel"),
                         {build + "project.txt", build + "item.txt", build + "arvore.png"}),
             3);
    QVERIFY(!writePicture(desk.data("modelos/natal02.png"), QSize(30, 40), Qt::red).isEmpty());

    TformNovo* novo = makeNovo(desk);
    chooseCategory(novo, "C9");
    if (row >= 0) {
        clickRow(novo->listModelos, row);
        QCOMPARE(!novo->imPreview->pixmap().isNull(), row == 1);
    }
    novo->btOK->click();
    settle();

    QVERIFY(!novo->isVisible());
    QCOMPARE(desk.page->size(), pageSize);
    QCOMPARE(desk.ws.state.pageLayout, layout);
    QCOMPARE(desk.items->Count(), itemCount);
    QCOMPARE(desk.scrollResizes, 1);
    if (itemCount == 1) {
        const TImg& item = desk.items->Items(0);
        QCOMPARE(item.Kind(), quint8(PictureItem));
        QCOMPARE(item.Image()->geometry(), QRect(10, 20, 40, 30));
        QCOMPARE(item.Attributes().FileName, picture.FileName);
        QVERIFY(desk.workingFiles().contains("arvore.png"));
    } else {
        // The blank folded card: the dashed fold line at x = 271 of the background.
        const QImage& bg = desk.background->bitmap();
        int dark = 0;
        for (int y = 0; y < 382; ++y)
            dark += qGray(bg.pixel(271, y)) < 128;
        QVERIFY2(dark > 40 && dark < 382,
                 qPrintable(QStringLiteral("dashed line: %1 dark of 382").arg(dark)));
        QCOMPARE(qGray(bg.pixel(300, 200)), 255);
    }
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

void TestNovo::cancelChangesNothing_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Cancelar") << false;
    QTest::newRow("window's close box") << true;
}

void TestNovo::cancelChangesNothing()
{
    QFETCH(bool, closeBox);

    Desk desk(QSize(380, 217), BusinessCard);
    QVERIFY(writeCatalogue(desk, "[C2]\r\n2\r\nani\r\n2\r\n"));
    QVERIFY(!writePicture(desk.data("cliparts/flor.png"), QSize(20, 20)).isEmpty());
    desk.items->Add(PictureItem, desk.data("cliparts/flor.png"));
    const QRect itemGeometry = desk.items->Items(0).Image()->geometry();
    TformNovo* novo = makeNovo(desk);
    chooseCategory(novo, "C2");
    clickRow(novo->listModelos, 2);

    if (closeBox)
        novo->close();
    else
        novo->btCancelar->click();
    settle();

    QVERIFY(!novo->isVisible());
    QCOMPARE(desk.page->size(), QSize(380, 217));
    QCOMPARE(desk.ws.state.pageLayout, int(BusinessCard));
    QCOMPARE(desk.items->Count(), 1);
    QCOMPARE(desk.items->Items(0).Image()->geometry(), itemGeometry);
    QCOMPARE(desk.scrollResizes, 0);
    // The choice survives closing.
    QCOMPARE(novo->currentCategoryKey(), QStringLiteral("C2"));
}

void TestNovo::missingCatalogue()
{
    Desk desk(QSize(541, 382), FoldedCard);
    desk.dialogs.queueAnswer(Answer::Ok);
    TformNovo* novo = makeNovo(desk);

    QCOMPARE(desk.dialogs.messages().size(), 1);
    const ScriptedDialogs::Message& message = desk.dialogs.messages().first();
    QCOMPARE(message.text, QStringLiteral("Problema ao carregar a lista de modelos\n\r"
                                          "O programa precisa ser reinstalado."));
    QCOMPARE(message.buttons, Buttons::Ok);
    QCOMPARE(message.ownerAtCall, static_cast<QWidget*>(novo));
    QVERIFY(novo->isVisible());

    QCOMPARE(captions(novo->listModelos), QStringList{kBlank});
    chooseCategory(novo, "E3");
    QCOMPARE(captions(novo->listModelos), QStringList{kBlank});
    novo->btOK->click();
    settle();
    QCOMPARE(desk.page->size(), QSize(496, 702));
    QCOMPARE(desk.ws.state.pageLayout, int(FullPage));
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(desk.dialogs);
}

int runNovoTests(int argc, char** argv)
{
    TestNovo test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_novo.moc"
