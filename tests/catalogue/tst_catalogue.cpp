#include "catalogue/catalogue.h"
#include "core/convert.h"
#include "core/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quadrela;

namespace quadrela {
char* toString(const CategoryEntry& e)
{
    return qstrdup(QStringLiteral("{layout %1, prefix '%2', models %3}")
                       .arg(e.layout)
                       .arg(e.filePrefix)
                       .arg(e.modelCount)
                       .toUtf8()
                       .constData());
}
} // namespace quadrela

Q_DECLARE_METATYPE(quadrela::CategoryEntry)

class TestCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void findCategoryEntry_data();
    void findCategoryEntry();
    void catalogueFileReadAsWindows1252();
    void categories();
    void modelCaptions_data();
    void modelCaptions();
    void templatePaths_data();
    void templatePaths();
    void borderListLines_data();
    void borderListLines();
    void borderPreviewFiles();
    void borderPreviewFilesOfMissingFolder();
    void offeredBorderNames_data();
    void offeredBorderNames();
    void userFileBeforeShipped_data();
    void userFileBeforeShipped();
};

void TestCatalogue::findCategoryEntry_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<QString>("key");
    QTest::addColumn<CategoryEntry>("entry");

    const QString full = "[C0]\r\n1\r\nagrad\r\n4\r\n"
                         "[C1]\r\n2\r\namiz\r\n12\r\n"
                         "[E0]\r\n3\r\nvisita\r\n2\r\n";
    QTest::newRow("full page") << full << "C0" << CategoryEntry{FullPage, "agrad", 4};
    QTest::newRow("folded card") << full << "C1" << CategoryEntry{FoldedCard, "amiz", 12};
    QTest::newRow("business card") << full << "E0" << CategoryEntry{BusinessCard, "visita", 2};
    QTest::newRow("missing key") << full << "E7" << CategoryEntry{};
    QTest::newRow("empty catalogue") << QString() << "C0" << CategoryEntry{};
    QTest::newRow("keys compared exactly") << full << "c0" << CategoryEntry{};
    QTest::newRow("C1 is not C10") << "[C10]\r\n2\r\ndez\r\n3\r\n[C1]\r\n3\r\num\r\n5\r\n"
                                   << "C1" << CategoryEntry{BusinessCard, "um", 5};
    QTest::newRow("first of two sections wins")
        << "[C2]\r\n2\r\nprimeiro\r\n1\r\n[C2]\r\n3\r\nsegundo\r\n9\r\n"
        << "C2" << CategoryEntry{FoldedCard, "primeiro", 1};
    QTest::newRow("prefix keeps a trailing blank")
        << "[C3]\r\n2\r\nnatal \r\n3\r\n"
        << "C3" << CategoryEntry{FoldedCard, "natal ", 3};
    QTest::newRow("prefix keeps leading blanks") << "[C3]\r\n2\r\n  natal\r\n3\r\n"
                                                 << "C3" << CategoryEntry{FoldedCard, "  natal", 3};
    QTest::newRow("blank prefix line counts") << "[C3]\r\n2\r\n\r\n3\r\n"
                                              << "C3" << CategoryEntry{FoldedCard, "", 3};
    QTest::newRow("codes with blanks around them") << "[C4]\r\n\t 3 \r\nx\r\n 7 \r\n"
                                                   << "C4" << CategoryEntry{BusinessCard, "x", 7};
    QTest::newRow("layout code 1") << "[C4]\r\n1\r\nx\r\n1"
                                   << "C4" << CategoryEntry{FullPage, "x", 1};
    QTest::newRow("other layout codes are full page") << "[C4]\r\n7\r\nx\r\n1"
                                                      << "C4" << CategoryEntry{FullPage, "x", 1};
    QTest::newRow("layout code 0") << "[C4]\r\n0\r\nx\r\n1"
                                   << "C4" << CategoryEntry{FullPage, "x", 1};
    QTest::newRow("model count 0") << "[C5]\r\n2\r\nx\r\n0"
                                   << "C5" << CategoryEntry{FoldedCard, "x", 0};
    QTest::newRow("negative model count") << "[C5]\r\n2\r\nx\r\n-3"
                                          << "C5" << CategoryEntry{FoldedCard, "x", -3};
    QTest::newRow("no third line") << "[C6]\r\n2\r\nmaes\r\n"
                                   << "C6" << CategoryEntry{FoldedCard, "maes", 0};
    QTest::newRow("only the layout line") << "[C6]\r\n3\r\n"
                                          << "C6" << CategoryEntry{BusinessCard, "", 0};
    QTest::newRow("empty section") << "[C6][C7]\r\n2\r\nx\r\n1"
                                   << "C6" << CategoryEntry{};
    QTest::newRow("non-numeric first line discards everything") << "[C7]\r\ndois\r\nnamor\r\n5\r\n"
                                                                << "C7" << CategoryEntry{};
    QTest::newRow("non-numeric count keeps layout and prefix")
        << "[C7]\r\n2\r\nnamor\r\ncinco\r\n"
        << "C7" << CategoryEntry{FoldedCard, "namor", 0};
    QTest::newRow("bracket inside a line ends the section")
        << "[C8]\r\n2\r\npa[is\r\n5\r\n"
        << "C8" << CategoryEntry{FoldedCard, "pa", 0};
    QTest::newRow("marker inside a line") << "xx[C9]2\r\nnatal\r\n6"
                                          << "C9" << CategoryEntry{FoldedCard, "natal", 6};
    QTest::newRow("lines after the third ignored") << "[C9]\r\n2\r\nnatal\r\n6\r\nlixo\r\n"
                                                   << "C9" << CategoryEntry{FoldedCard, "natal", 6};
    QTest::newRow("LF and CR line ends") << "[E1]\n3\rvenda\n8"
                                         << "E1" << CategoryEntry{BusinessCard, "venda", 8};
    QTest::newRow("blank lines before the body are trimmed")
        << "[E2]\r\n\r\n\r\n2\r\ncom\r\n1\r\n"
        << "E2" << CategoryEntry{FoldedCard, "com", 1};
    QTest::newRow("layout beyond 32 bits") << "[E3]\r\n99999999999\r\ncert\r\n1"
                                           << "E3" << CategoryEntry{};
}

void TestCatalogue::findCategoryEntry()
{
    QFETCH(QString, catalogue);
    QFETCH(QString, key);
    QFETCH(CategoryEntry, entry);
    QCOMPARE(FindCategoryEntry(key, catalogue), entry);
}

void TestCatalogue::catalogueFileReadAsWindows1252()
{
    QTemporaryDir dir;
    const QString data = dir.path() + "/";
    QFile f(templateCataloguePath(data));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[C16]\r\n1\r\np\xF4ster\r\n2\r\n");
    f.close();
    const CategoryEntry entry = FindCategoryEntry("C16", readCp1252File(f.fileName()));
    QCOMPARE(entry.filePrefix, QString::fromUtf8("pôster"));
    QCOMPARE(templatePreviewPath(data, entry.filePrefix, 2),
             data + QString::fromUtf8("modelos/pôster02.png"));
}

void TestCatalogue::categories()
{
    const QStringList home = categoryCaptions(false);
    const QStringList business = categoryCaptions(true);
    QCOMPARE(home.size(), 17);
    QCOMPARE(business.size(), 8);
    QCOMPARE(home.first(), QString::fromUtf8("Cartões de Agradecimento"));
    QCOMPARE(home.at(9), QString::fromUtf8("Cartões de Natal"));
    QCOMPARE(home.last(), QString::fromUtf8("Pôsteres"));
    QCOMPARE(business.first(), QString::fromUtf8("Cartões de Visita"));
    QCOMPARE(business.at(1), QString::fromUtf8("Anúncios de compra/venda"));
    QCOMPARE(business.last(), QString::fromUtf8("Papel timbrado"));
    for (int i = 0; i < int(kHomeCategories.size()); ++i)
        QCOMPARE(QString::fromLatin1(kHomeCategories[i].key), categoryKey(false, i));
    for (int i = 0; i < int(kBusinessCategories.size()); ++i)
        QCOMPARE(QString::fromLatin1(kBusinessCategories[i].key), categoryKey(true, i));
}

void TestCatalogue::modelCaptions_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("first"); // the captions the list begins with
    QTest::addColumn<QStringList>("last");  // and ends with
    QTest::addColumn<int>("size");
    QTest::newRow("none") << 0 << QStringList{"Em branco"} << QStringList{"Em branco"} << 1;
    QTest::newRow("negative") << -4 << QStringList{"Em branco"} << QStringList{"Em branco"} << 1;
    QTest::newRow("four") << 4
                          << QStringList{"Modelo 01", "Modelo 02", "Modelo 03", "Modelo 04",
                                         "Em branco"}
                          << QStringList{"Em branco"} << 5;
    QTest::newRow("twelve") << 12 << QStringList{"Modelo 01"}
                            << QStringList{"Modelo 09", "Modelo 010", "Modelo 011", "Modelo 012",
                                           "Em branco"}
                            << 13;
    QTest::newRow("damaged count is capped")
        << 2147483647 << QStringList{"Modelo 01"}
        << QStringList{"Modelo 0" + QString::number(kMaxModelCount), "Em branco"}
        << kMaxModelCount + 1;
}

void TestCatalogue::modelCaptions()
{
    QFETCH(int, count);
    QFETCH(QStringList, first);
    QFETCH(QStringList, last);
    QFETCH(int, size);
    const QStringList captions = quadrela::modelCaptions(count);
    QCOMPARE(captions.size(), size);
    QCOMPARE(captions.mid(0, first.size()), first);
    QCOMPARE(captions.mid(captions.size() - last.size()), last);
}

void TestCatalogue::templatePaths_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<QString>("archive");
    QTest::newRow("model 3") << "abc" << 3 << "/d/modelos/abc03.png"
                             << "/d/modelos/abc03.vimel";
    QTest::newRow("model 12") << "abc" << 12 << "/d/modelos/abc012.png"
                              << "/d/modelos/abc012.vimel";
    QTest::newRow("no model chosen") << "abc" << 0 << "/d/modelos/abc00.png"
                                     << "/d/modelos/abc00.vimel";
    QTest::newRow("trailing blank in the prefix") << "natal " << 2 << "/d/modelos/natal 02.png"
                                                  << "/d/modelos/natal 02.vimel";
    QTest::newRow("empty prefix") << "" << 1 << "/d/modelos/01.png"
                                  << "/d/modelos/01.vimel";
}

void TestCatalogue::templatePaths()
{
    QFETCH(QString, prefix);
    QFETCH(int, model);
    QFETCH(QString, preview);
    QFETCH(QString, archive);
    QCOMPARE(templatePreviewPath("/d/", prefix, model), preview);
    QCOMPARE(templateArchivePath("/d/", prefix, model), archive);
}

void TestCatalogue::borderListLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("names") << "Flores\r\nEstrelas\r\n" << QStringList{"Flores", "Estrelas"};
    QTest::newRow("blank lines are entries") << "Flores\r\n\r\nEstrelas\r\n\r\n"
                                             << QStringList{"Flores", "", "Estrelas", ""};
    QTest::newRow("blanks kept") << " Flores \r\n" << QStringList{" Flores "};
    QTest::newRow("no final line end") << "a\nb" << QStringList{"a", "b"};
    QTest::newRow("empty file") << "" << QStringList{};
}

void TestCatalogue::borderListLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(quadrela::borderListLines(text), lines);
}

void TestCatalogue::borderPreviewFiles()
{
    QTemporaryDir dir;
    const QString data = dir.path() + "/";
    const QString preview = borderPreviewFolder(data);
    QVERIFY(QDir().mkpath(preview + "sub.png")); // a folder, even with a picture's name
    for (const char* name :
         {"b.png", "A.png", "a10.png", "a9.png", ".oculta.png", "C.jpg", "a_1.bmp", "B1.PNG"}) {
        QFile f(preview + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(QFile::link(preview + "missing.png", preview + "quebrado.png"));
    // Digits compare as characters: a10 before a9; "." (0x2E) before digits and "_".
    const QStringList expected{"A.png", "a10.png", "a9.png", "a_1.bmp", "b.png", "B1.PNG", "C.jpg"};
    QCOMPARE(quadrela::borderPreviewFiles(preview), expected);
    QCOMPARE(borderPictureFolder(data) + "preview/", preview);
}

void TestCatalogue::borderPreviewFilesOfMissingFolder()
{
    QTemporaryDir dir;
    QVERIFY(quadrela::borderPreviewFiles(dir.filePath("nada/")).isEmpty());
}

void TestCatalogue::offeredBorderNames_data()
{
    const QStringList six{"Flores", "", "Estrelas", "Corações", "Ondas", "Listras"};
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("files");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("six names, four files") << six << 4 << six.mid(0, 4);
    QTest::newRow("five names, three files") << six.mid(0, 5) << 3 << six.mid(0, 3);
    QTest::newRow("fewer names than files") << six.mid(0, 2) << 5 << six.mid(0, 2);
    QTest::newRow("equal") << six << 6 << six;
    QTest::newRow("no files") << six << 0 << QStringList{};
    QTest::newRow("no names") << QStringList{} << 3 << QStringList{};
}

void TestCatalogue::offeredBorderNames()
{
    QFETCH(QStringList, lines);
    QFETCH(int, files);
    QFETCH(QStringList, offered);
    QCOMPARE(quadrela::offeredBorderNames(lines, files), offered);
}

void TestCatalogue::userFileBeforeShipped_data()
{
    QTest::addColumn<QString>("piece");
    QTest::addColumn<bool>("inUser");
    QTest::addColumn<bool>("inShipped");
    QTest::addColumn<bool>("oneFolder");
    QTest::addColumn<QString>("found");  // "user" or "shipped"
    const QString catalogue = templateCataloguePath(QString());
    const QString preview = templatePreviewPath(QString(), "natal", 2);
    const QString archive = templateArchivePath(QString(), "natal", 12);
    QTest::newRow("own catalogue replaces") << catalogue << true << true << false << "user";
    QTest::newRow("shipped catalogue") << catalogue << false << true << false << "shipped";
    QTest::newRow("shipped preview") << preview << false << true << false << "shipped";
    QTest::newRow("own template") << archive << true << false << false << "user";
    QTest::newRow("missing everywhere") << archive << false << false << false << "shipped";
    QTest::newRow("one folder") << preview << true << false << true << "user";
}

void TestCatalogue::userFileBeforeShipped()
{
    QFETCH(QString, piece);
    QFETCH(bool, inUser);
    QFETCH(bool, inShipped);
    QFETCH(bool, oneFolder);
    QFETCH(QString, found);
    QTemporaryDir dir;
    AppState state;
    state.dataFolder = dir.path() + "/user/";
    if (!oneFolder)
        state.shippedDataFolder = dir.path() + "/shipped/";
    const std::pair<bool, QString> places[] = {{inUser, "user/"}, {inShipped, "shipped/"}};
    for (const auto& [there, folder] : places) {
        QDir().mkpath(QFileInfo(dir.path() + "/" + folder + piece).path());
        QVERIFY(!there || QFile(dir.path() + "/" + folder + piece).open(QIODevice::WriteOnly));
    }
    QCOMPARE(dataFile(state, piece), dir.path() + "/" + found + "/" + piece);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
