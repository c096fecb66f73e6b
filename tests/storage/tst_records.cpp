#include "core/convert.h"
#include "core/errors.h"
#include "core/textfile.h"
#include "storage/codemaps.h"
#include "storage/records.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

#include <sys/stat.h>

using namespace quadrela;

namespace quadrela {
// Shown by QCOMPARE when two records differ.
char* toString(const TItem& r)
{
    const QString s = QStringLiteral("{kind %1, file '%2', %3 %4 %5x%6, text '%7', font '%8', "
                                     "color %9, align %10, style %11, size %12}")
                          .arg(r.Kind)
                          .arg(r.FileName)
                          .arg(r.Left)
                          .arg(r.Top)
                          .arg(r.Width)
                          .arg(r.Height)
                          .arg(QString(r.Text).replace("\r", "\\r").replace("\n", "\\n"))
                          .arg(r.FontName)
                          .arg(r.Color, 6, 16, QChar('0'))
                          .arg(r.Alignment)
                          .arg(r.Style)
                          .arg(r.FontSize);
    return qstrdup(s.toUtf8().constData());
}
} // namespace quadrela

Q_DECLARE_METATYPE(quadrela::TItem)

namespace {

const QString kData = QStringLiteral("/opt/quadrela/dados/");

TItem item(quint8 kind, const QString& file, int left, int top, int width, int height,
           const QString& text, const QString& font, ColorRef color, quint8 alignment, quint8 style,
           int size)
{
    TItem r;
    r.Kind = kind;
    r.FileName = file;
    r.Left = left;
    r.Top = top;
    r.Width = width;
    r.Height = height;
    r.Text = text;
    r.FontName = font;
    r.Color = color;
    r.Alignment = alignment;
    r.Style = style;
    r.FontSize = size;
    return r;
}

// A record as the files hold it: the lines given, each ended by CR LF.
QString record(const QStringList& lines)
{
    QString s;
    for (const QString& l : lines)
        s += l + "\r\n";
    return s;
}

QString cp1252(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void codesOutsideTheTables_data();
    void codesOutsideTheTables();
    void colorTable();

    void readSectionInt_data();
    void readSectionInt();

    void readProjectRecord_data();
    void readProjectRecord();

    void readItemRecord_data();
    void readItemRecord();
    void readItemRecordsIndexesHeadersExactly();
    void readItemRecordsNothingForNoCount();

    void extractTaggedText_data();
    void extractTaggedText();

    void projectRecordBytes_data();
    void projectRecordBytes();
    void itemRecordsBytes_data();
    void itemRecordsBytes();

    void roundTrip_data();
    void roundTrip();
    void manyRecordsRoundTrip();

    void recordSafety_data();
    void recordSafety();

    void readCp1252File();
    void readCp1252FileFailures_data();
    void readCp1252FileFailures();
    void writeWholeFileReplaces();
};

// ---------------------------------------------------------------- code maps

// The values inside the tables are covered by the byte-exact writer output and the
// reader rows below; here only what the tables leave open.
void TestRecords::codesOutsideTheTables_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<int>("in");
    QTest::addColumn<int>("out"); // -1: no value
    QTest::newRow("write alignment 9 as left") << "alignment>" << 9 << 1;
    QTest::newRow("write unknown style bits as none") << "style>" << (0x10 | StyleBold) << 2;
    QTest::newRow("write an untabled colour as 1") << "color>" << 0x123456 << 1;
    QTest::newRow("colour high byte ignored") << "color>" << 0x0100FF00 << 11;
    QTest::newRow("write unknown layout as full page") << "layout>" << 5 << 1;
    QTest::newRow("kind 0 unreadable") << "<kind" << 0 << -1;
    QTest::newRow("kind 4 unreadable") << "<kind" << 4 << -1;
    QTest::newRow("alignment 0 reads left") << "<alignment" << 0 << 0;
    QTest::newRow("alignment 4 reads left") << "<alignment" << 4 << 0;
    QTest::newRow("style -1 reads normal") << "<style" << -1 << 0;
    QTest::newRow("style 4 reads normal") << "<style" << 4 << 0;
    QTest::newRow("layout 0 gives none") << "<layout" << 0 << -1;
    QTest::newRow("layout 4 gives none") << "<layout" << 4 << -1;
    QTest::newRow("colour 0 reads black") << "<color" << 0 << 0;
    QTest::newRow("colour 17 reads black") << "<color" << 17 << 0;
}

void TestRecords::codesOutsideTheTables()
{
    QFETCH(QString, map);
    QFETCH(int, in);
    QFETCH(int, out);
    if (map == "alignment>")
        QCOMPARE(AlignmentToCode(quint8(in)), out);
    else if (map == "style>")
        QCOMPARE(StyleToCode(quint8(in)), out);
    else if (map == "color>")
        QCOMPARE(ColorToIndex(ColorRef(in)), out);
    else if (map == "layout>")
        QCOMPARE(LayoutToCode(in), out);
    else if (map == "<kind")
        QCOMPARE(CodeToKind(in).has_value(), false);
    else if (map == "<layout")
        QCOMPARE(CodeToLayout(in).has_value(), false);
    else if (map == "<alignment")
        QCOMPARE(int(CodeToAlignment(in)), out);
    else if (map == "<style")
        QCOMPARE(int(CodeToStyle(in)), out);
    else
        QCOMPARE(int(IndexToColor(in)), out);
}

void TestRecords::colorTable()
{
    // Index and value agree both ways for all sixteen, and the names are the list's.
    const ColorRef v[] = {0x0,      0x80, 0x8000, 0x8080, 0x800000, 0x800080, 0x808000, 0x808080,
                          0xC0C0C0, 0xFF, 0xFF00, 0xFFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (int index = 1; index <= kColorCount; ++index)
        QCOMPARE(IndexToColor(index) == v[index - 1] ? ColorToIndex(v[index - 1]) : 0, index);
    QCOMPARE(colorName(1), QString("Preto"));
    QCOMPARE(colorName(11), cp1252("Verde limão"));
    QCOMPARE(colorName(14), QString("Rosa"));
    QCOMPARE(colorName(16), QString("Branco"));
    QCOMPARE(colorName(17), QString());
}

// ---------------------------------------------------------------- ReadSectionInt

void TestRecords::readSectionInt_data()
{
    const QString project = "####vimel\r\n[ItemCount]\r\n7\r\n[Impressao]\r\n2\r\n";
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("error");
    QTest::newRow("item count") << project << "ItemCount" << 7 << "";
    QTest::newRow("layout") << project << "Impressao" << 2 << "";
    QTest::newRow("missing section reads the magic")
        << "####vimel\r\n[Impressao]\r\n1\r\n"
        << "ItemCount" << 0 << "'####vimel' is not a valid integer value";
    QTest::newRow("missing section in a file without sections")
        << "####vimel\r\n"
        << "Impressao" << 0 << "'####vimel' is not a valid integer value";
    QTest::newRow("value with blanks and tabs") << "[ItemCount]\r\n \t 12 \r\n"
                                                << "ItemCount" << 12 << "";
    QTest::newRow("last value without a line end") << "[Impressao]\r\n3"
                                                   << "Impressao" << 3 << "";
    QTest::newRow("LF line ends") << "####vimel\n[ItemCount]\n5\n"
                                  << "ItemCount" << 5 << "";
    QTest::newRow("negative") << "[ItemCount]\r\n-4\r\n"
                              << "ItemCount" << -4 << "";
    QTest::newRow("section name compared exactly")
        << "####vimel\r\n[itemcount]\r\n3\r\n"
        << "ItemCount" << 0 << "'####vimel' is not a valid integer value";
    QTest::newRow("first occurrence wins") << "[ItemCount]1\r\n[ItemCount]2"
                                           << "ItemCount" << 1 << "";
    QTest::newRow("not an integer") << "[ItemCount]\r\ndois\r\n"
                                    << "ItemCount" << 0 << "'dois' is not a valid integer value";
    QTest::newRow("two values") << "[ItemCount]\r\n1\r\n2\r\n"
                                << "ItemCount" << 0 << "'1\r\n2' is not a valid integer value";
    QTest::newRow("empty section") << "[ItemCount][Impressao]1"
                                   << "ItemCount" << 0 << "'' is not a valid integer value";
    QTest::newRow("beyond 32 bits")
        << "[ItemCount]\r\n4294967296\r\n"
        << "ItemCount" << 0 << "'4294967296' is not a valid integer value";
}

void TestRecords::readSectionInt()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(int, value);
    QFETCH(QString, error);
    try {
        const int v = ReadSectionInt(name, text);
        QVERIFY2(error.isEmpty(), "expected a conversion error");
        QCOMPARE(v, value);
    } catch (const Error& e) {
        QCOMPARE(e.message(), error);
    }
}

void TestRecords::readProjectRecord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("magic");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("layout"); // -1: none
    QTest::addColumn<QString>("error");
    QTest::newRow("as written") << QString(ProjectRecordBytes(4, BusinessCard)) << true << 4
                                << int(BusinessCard) << "";
    QTest::newRow("at the limit") << "####vimel[ItemCount]10000[Impressao]2" << true << 10000
                                  << int(FoldedCard) << "";
    QTest::newRow("above the limit")
        << "####vimel[ItemCount]10001[Impressao]2" << true << 0 << -1
        << QString::fromUtf8("O projeto tem 10001 itens; o limite é de 10000 itens.");
    QTest::newRow("negative count stands")
        << "####vimel[ItemCount]-2[Impressao]1" << true << -2 << int(FullPage) << "";
    QTest::newRow("layout code outside the table")
        << "####vimel[ItemCount]1[Impressao]9" << true << 1 << -1 << "";
    QTest::newRow("item count read first")
        << "####vimel\r\n[Impressao]\r\nx\r\n"
        << true << 0 << -1 << "'####vimel' is not a valid integer value";
    QTest::newRow("missing layout") << "[ItemCount]\r\n2\r\n"
                                    << false << 0 << -1 << "'' is not a valid integer value";
}

void TestRecords::readProjectRecord()
{
    QFETCH(QString, text);
    QFETCH(bool, magic);
    QFETCH(int, count);
    QFETCH(int, layout);
    QFETCH(QString, error);
    QCOMPARE(hasProjectMagic(text), magic);
    try {
        const ProjectRecord project = ReadProjectRecord(text);
        QVERIFY2(error.isEmpty(), "expected an error");
        QCOMPARE(project.itemCount, count);
        QCOMPARE(project.layout.value_or(-1), layout);
    } catch (const Error& e) {
        QCOMPARE(e.message(), error);
    }
}

// ---------------------------------------------------------------- ReadItemRecord

void TestRecords::readItemRecord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::addColumn<TItem>("expected");

    const TItem fallback;
    const QString textRecord = record({"[0]", "3", "", "10", "20", "30", "40", "Verdana", "10", "2",
                                       "3", "24", "#T#Feliz", "Natal#/T#"});
    const QString pictureRecord = record({"[1]", "2", "C:\\fotos\\flor.png", "-15", "5", "200",
                                          "150", "", "1", "1", "0", "0", "#T##/T#"});
    const QString threeRecords =
        record(
            {"[0]", "1", "/x/b.png", "0", "0", "496", "702", "", "1", "1", "0", "0", "#T##/T#"}) +
        pictureRecord +
        record({"[2]", "3", "", "1", "2", "3", "4", "Arial", "1", "1", "0", "10", "#T#x#/T#"});

    QTest::newRow("text item, two lines")
        << textRecord << 0
        << item(TextItem, kData, 10, 20, 30, 40, "Feliz\r\nNatal", "Verdana", 0x0000FF, 1,
                StyleBold | StyleItalic, 24);
    QTest::newRow("picture item, empty font, size 0")
        << threeRecords << 1
        << item(PictureItem, "C:\\fotos\\flor.png", -15, 5, 200, 150, "", "Arial", 0, 0, 0, 0);
    QTest::newRow("record 3 of three") << threeRecords << 3 << fallback;
    QTest::newRow("negative number") << threeRecords << -1 << fallback;
    QTest::newRow("empty file") << QString() << 0 << fallback;
    QTest::newRow("empty width and size")
        << record(
               {"[0]", "2", "/p/a.png", "1", "2", "", "9", "Arial", "1", "1", "0", "", "#T##/T#"})
        << 0 << item(PictureItem, "/p/a.png", 1, 2, 100, 9, "", "Arial", 0, 0, 0, 16);
    QTest::newRow("empty left, top, height, codes")
        << record({"[0]", "3", "", "", "", "5", "", "", "", "", "", "12", "#T#a#/T#"}) << 0
        << item(TextItem, kData, 0, 0, 5, 100, "a", "Arial", 0, 0, 0, 12);
    QTest::newRow("only ten field lines")
        << record({"[0]", "2", "/p/a.png", "1", "2", "3", "4", "Arial", "1", "1", "0"}) << 0
        << fallback;
    // Without "#T#" the text is taken from the start of the record.
    QTest::newRow("eleven field lines, no text line")
        << record({"[0]", "2", "/p/a.png", "1", "2", "3", "4", "Arial", "1", "1", "0", "8"}) << 0
        << item(PictureItem, "/p/a.png", 1, 2, 3, 4,
                "2\r\n/p/a.png\r\n1\r\n2\r\n3\r\n4\r\nArial\r\n1\r\n1\r\n0\r\n8", "Arial", 0, 0, 0,
                8);
    QTest::newRow("non-numeric left") << record({"[0]", "2", "/p/a.png", "x", "2", "3", "4",
                                                 "Arial", "1", "1", "0", "8", "#T##/T#"})
                                      << 0 << fallback;
    QTest::newRow("left beyond 32 bits") << record({"[0]", "2", "/p/a.png", "2147483648", "2", "3",
                                                    "4", "Arial", "1", "1", "0", "8", "#T##/T#"})
                                         << 0 << fallback;
    QTest::newRow("non-numeric size") << record({"[0]", "2", "/p/a.png", "1", "2", "3", "4",
                                                 "Arial", "1", "1", "0", "8pt", "#T##/T#"})
                                      << 0 << fallback;
    QTest::newRow("kind code 4 is unreadable")
        << record(
               {"[0]", "4", "/p/a.png", "1", "2", "3", "4", "Arial", "1", "1", "0", "8", "#T##/T#"})
        << 0 << fallback;
    QTest::newRow("kind code 0 is unreadable")
        << record(
               {"[0]", "0", "/p/a.png", "1", "2", "3", "4", "Arial", "1", "1", "0", "8", "#T##/T#"})
        << 0 << fallback;
    QTest::newRow("codes outside the tables")
        << record({"[0]", "3", "", "1", "2", "3", "4", "Arial", "17", "9", "4", "8", "#T#t#/T#"})
        << 0 << item(TextItem, kData, 1, 2, 3, 4, "t", "Arial", 0, 0, 0, 8);
    QTest::newRow("values with blanks around them")
        << record({"[0]", " 2\t", "  /p/a b.png ", " -3 ", "4", "5", "6", " Times New Roman ",
                   " 13", "3 ", "1", " 9", "#T#t#/T#"})
        << 0
        << item(PictureItem, "/p/a b.png", -3, 4, 5, 6, "t", "Times New Roman", 0xFF0000, 2,
                StyleItalic, 9);
    QTest::newRow("LF line ends")
        << QString("[0]\n3\n\n1\n2\n3\n4\nArial\n3\n1\n0\n11\n#T#um\ndois#/T#\n") << 0
        << item(TextItem, kData, 1, 2, 3, 4, "um\ndois", "Arial", 0x008000, 0, 0, 11);
    QTest::newRow("CR line ends")
        << QString("[0]\r3\r\r1\r2\r3\r4\rArial\r3\r1\r0\r11\r#T#um\rdois#/T#\r") << 0
        << item(TextItem, kData, 1, 2, 3, 4, "um\rdois", "Arial", 0x008000, 0, 0, 11);
    QTest::newRow("record 1 is not record 10")
        << record(
               {"[10]", "2", "/p/ten.png", "1", "1", "1", "1", "", "1", "1", "0", "0", "#T##/T#"}) +
               record({"[1]", "2", "/p/one.png", "2", "2", "2", "2", "", "1", "1", "0", "0",
                       "#T##/T#"})
        << 1 << item(PictureItem, "/p/one.png", 2, 2, 2, 2, "", "Arial", 0, 0, 0, 0);
    QTest::newRow("first of two equal headers")
        << record({"[0]", "2", "/p/first.png", "1", "1", "1", "1", "", "1", "1", "0", "0",
                   "#T##/T#"}) +
               record({"[0]", "2", "/p/second.png", "2", "2", "2", "2", "", "1", "1", "0", "0",
                       "#T##/T#"})
        << 0 << item(PictureItem, "/p/first.png", 1, 1, 1, 1, "", "Arial", 0, 0, 0, 0);
    QTest::newRow("a [ in the file name cuts the record")
        << record({"[0]", "2", "/p/foto[1].png", "1", "1", "1", "1", "", "1", "1", "0", "0",
                   "#T##/T#"})
        << 0 << fallback;
    QTest::newRow("text without its opening tag")
        << record({"[0]", "3", "", "1", "2", "3", "4", "Arial", "1", "1", "0", "10", "oi#/T#"}) << 0
        << item(TextItem, kData, 1, 2, 3, 4,
                record({"3", "", "1", "2", "3", "4", "Arial", "1", "1", "0", "10", "oi"}).trimmed(),
                "Arial", 0, 0, 0, 10);
    QTest::newRow("text without its closing tag runs to the next record")
        << record(
               {"[0]", "3", "", "1", "2", "3", "4", "Arial", "1", "1", "0", "10", "#T#oi", "  "}) +
               record({"[1]", "1"})
        << 0 << item(TextItem, kData, 1, 2, 3, 4, "oi", "Arial", 0, 0, 0, 10);
    QTest::newRow("header inside a line")
        << QString("lixo[0]\r\n2\r\n/p/a.png\r\n1\r\n2\r\n3\r\n4\r\n\r\n1\r\n1\r\n0\r\n5\r\n") << 0
        << item(PictureItem, "/p/a.png", 1, 2, 3, 4,
                "2\r\n/p/a.png\r\n1\r\n2\r\n3\r\n4\r\n\r\n1\r\n1\r\n0\r\n5", "Arial", 0, 0, 0, 5);
}

void TestRecords::readItemRecord()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QFETCH(TItem, expected);

    TItem r = item(TextItem, "stale", 9, 9, 9, 9, "stale", "stale", 0xFFFFFF, 2, 3, 99);
    ReadItemRecord(number, text, kData, r);
    QCOMPARE(r, expected);

    // Reading every record in one pass gives the same record.
    if (number >= 0) {
        const QList<TItem> all = ReadItemRecords(text, number + 1, kData);
        QCOMPARE(all.size(), number + 1);
        QCOMPARE(all.at(number), expected);
    }
}

void TestRecords::readItemRecordsIndexesHeadersExactly()
{
    // Headers written with leading zeros, signs or inside other brackets are not ours.
    const QString text =
        record({"[01]", "2", "/p/zero-one.png", "1", "1", "1", "1", "", "1", "1", "0", "0", ""}) +
        record({"[[1]", "2", "/p/one.png", "2", "2", "2", "2", "", "1", "1", "0", "0", ""}) +
        record({"[2] ", "2", "/p/two.png", "3", "3", "3", "3", "", "1", "1", "0", "0", ""}) +
        record({"[+3]", "2", "/p/three.png", "4", "4", "4", "4", "", "1", "1", "0", "0", ""});
    const QList<TItem> all = ReadItemRecords(text, 4, kData);
    QCOMPARE(all.size(), 4);
    for (int n = 0; n < 4; ++n) {
        TItem one;
        ReadItemRecord(n, text, kData, one);
        QCOMPARE(all.at(n), one);
    }
    QCOMPARE(all.at(0), fallbackItemRecord());
    QCOMPARE(all.at(1).FileName, QString("/p/one.png"));
    QCOMPARE(all.at(2).FileName, QString("/p/two.png"));
    QCOMPARE(all.at(3), fallbackItemRecord());
}

void TestRecords::readItemRecordsNothingForNoCount()
{
    const QString text =
        record({"[0]", "2", "/p/a.png", "1", "1", "1", "1", "", "1", "1", "0", "0", "#T##/T#"});
    QVERIFY(ReadItemRecords(text, 0, kData).isEmpty());
    QVERIFY(ReadItemRecords(text, -5, kData).isEmpty());
    const QList<TItem> more = ReadItemRecords(text, 3, kData);
    QCOMPARE(more.size(), 3);
    QCOMPARE(more.at(0).FileName, QString("/p/a.png"));
    QCOMPARE(more.at(2), fallbackItemRecord());
}

// ---------------------------------------------------------------- ExtractTaggedText

void TestRecords::extractTaggedText_data()
{
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<QString>("text");
    QTest::newRow("tagged") << "3\r\n#T#Oi#/T#\r\n"
                            << "Oi";
    QTest::newRow("inner line breaks stay") << "#T#Feliz\r\nNatal#/T#"
                                            << "Feliz\r\nNatal";
    QTest::newRow("blanks and blank lines at the ends go") << "#T# Feliz\r\nNatal \r\n\r\n#/T#"
                                                           << "Feliz\r\nNatal";
    QTest::newRow("no-break space stays")
        << QString("#T#\u00A0a\u00A0#/T#") << QString("\u00A0a\u00A0");
    QTest::newRow("no opening tag") << " abc#/T#"
                                    << "abc";
    QTest::newRow("no closing tag") << "#T#abc \r\n"
                                    << "abc";
    QTest::newRow("neither") << "\r\n abc \r\n"
                             << "abc";
    QTest::newRow("opening tag inside the text") << "#T#a#T#b#/T#"
                                                 << "a#T#b";
    QTest::newRow("closing tag searched after the opening") << "#T#/T#x#/T#"
                                                            << "/T#x";
    QTest::newRow("text ending in a hash") << "#T#x##/T#"
                                           << "x#";
    QTest::newRow("empty") << "#T##/T#"
                           << "";
    QTest::newRow("closing tag first") << "#/T##T#a#/T#"
                                       << "a";
}

void TestRecords::extractTaggedText()
{
    QFETCH(QString, chunk);
    QFETCH(QString, text);
    QCOMPARE(ExtractTaggedText(chunk), text);
}

// ---------------------------------------------------------------- writers

void TestRecords::projectRecordBytes_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("layout");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("no items, full page")
        << 0 << int(FullPage)
        << QByteArray("####vimel\r\n[ItemCount]\r\n0\r\n[Impressao]\r\n1\r\n");
    QTest::newRow("folded card") << 12 << int(FoldedCard)
                                 << QByteArray(
                                        "####vimel\r\n[ItemCount]\r\n12\r\n[Impressao]\r\n2\r\n");
    QTest::newRow("business card")
        << 3 << int(BusinessCard)
        << QByteArray("####vimel\r\n[ItemCount]\r\n3\r\n[Impressao]\r\n3\r\n");
}

void TestRecords::projectRecordBytes()
{
    QFETCH(int, count);
    QFETCH(int, layout);
    QFETCH(QByteArray, bytes);
    const QByteArray written = ProjectRecordBytes(count, layout);
    QCOMPARE(written, bytes);
    const QString text = fromCp1252(written);
    QCOMPARE(ReadSectionInt("ItemCount", text), count);
    QCOMPARE(CodeToLayout(ReadSectionInt("Impressao", text)), std::optional<int>(layout));
}

void TestRecords::itemRecordsBytes_data()
{
    QTest::addColumn<QList<TItem>>("items");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("no items") << QList<TItem>{} << QByteArray();
    QTest::newRow("text item with accents and a line break")
        << QList<TItem>{item(TextItem, "", 12, 34, 120, 40, cp1252("Feliz\r\nNatal, João"), "Arial",
                             0x0000FF, 1, StyleBold, 18)}
        << QByteArray("[0]\r\n3\r\n\r\n12\r\n34\r\n120\r\n40\r\nArial\r\n10\r\n2\r\n2\r\n18\r\n"
                      "#T#Feliz\r\nNatal, Jo\xE3o#/T#\r\n");
    QTest::newRow("border behind a picture, numbered in order")
        << QList<TItem>{item(BorderItem, "/d/project/moldura.png", 0, 0, 496, 702, "", "", 0, 0, 0,
                             0),
                        item(PictureItem, cp1252("/d/project/ma\u00e7\u00e3.jpg"), -15, 7, 50, 60,
                             "", "", 0x808080, 2, StyleItalic, 0)}
        << QByteArray(
               "[0]\r\n1\r\n/d/project/moldura.png\r\n0\r\n0\r\n496\r\n702\r\n\r\n1\r\n1\r\n"
               "0\r\n0\r\n#T##/T#\r\n"
               "[1]\r\n2\r\n/d/project/ma\xE7\xE3.jpg\r\n-15\r\n7\r\n50\r\n60\r\n\r\n8\r\n3\r\n"
               "1\r\n0\r\n#T##/T#\r\n");
    QTest::newRow("safe values are kept byte for byte")
        << QList<TItem>{item(TextItem, "", 0, 0, 1, 1, cp1252("  #T# 50% \u20ac]\t "), "Arial", 0,
                             0, 0, 10)}
        << QByteArray("[0]\r\n3\r\n\r\n0\r\n0\r\n1\r\n1\r\nArial\r\n1\r\n1\r\n0\r\n10\r\n"
                      "#T#  #T# 50% \x80]\t #/T#\r\n");
    QTest::newRow("unsafe values are made safe")
        << QList<TItem>{item(TextItem, "/d/[x]/a.png", 0, 0, 1, 1,
                             QString::fromUtf8("a[b] \u65e5 #/T# c#/T"), "Font[1]", 0, 0, 0, 10)}
        << QByteArray("[0]\r\n3\r\n/d/(x]/a.png\r\n0\r\n0\r\n1\r\n1\r\nFont(1]\r\n1\r\n1\r\n0\r\n"
                      "10\r\n#T#a(b] ? _/T# c_/T#/T#\r\n");
}

void TestRecords::itemRecordsBytes()
{
    QFETCH(QList<TItem>, items);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ItemRecordsBytes(items), bytes);
}

// ---------------------------------------------------------------- round trips

void TestRecords::roundTrip_data()
{
    QTest::addColumn<TItem>("written");
    QTest::addColumn<TItem>("read");

    const TItem text = item(TextItem, "", 10, 20, 30, 40, cp1252("Feliz Aniversário,\r\nJoão!"),
                            "Comic Sans MS", 0xFF00FF, 2, StyleBold | StyleItalic, 48);
    TItem textRead = text;
    textRead.FileName = kData;
    QTest::newRow("text with accents and line break") << text << textRead;

    TItem padded = text;
    padded.Text = " Feliz \r\n\r\n  Natal \r\n\r\n";
    TItem paddedRead = textRead;
    paddedRead.Text = "Feliz \r\n\r\n  Natal";
    QTest::newRow("blanks at the ends trimmed, inner kept") << padded << paddedRead;

    TItem lfText = text;
    lfText.Text = "um\ndois\rtrês";
    TItem lfRead = textRead;
    lfRead.Text = lfText.Text;
    QTest::newRow("line ends inside a text kept as they were") << lfText << lfRead;

    TItem markers = text;
    markers.Text = "#T#T# ## #/ /T# #/T #T";
    TItem markersRead = textRead;
    markersRead.Text = markers.Text;
    QTest::newRow("marker fragments inside a text") << markers << markersRead;

    const TItem picture = item(PictureItem, cp1252("/home/zé/dados/project/flor €.png"), -15,
                               -2147483647 - 1, 2147483647, 0, "", "", 0x123456, 7, 0, 0);
    TItem pictureRead = picture;
    pictureRead.FontName = "Arial";
    pictureRead.Color = 0;
    pictureRead.Alignment = 0;
    QTest::newRow("picture with extreme geometry and odd attributes") << picture << pictureRead;

    const TItem border = item(BorderItem, "C:\\Users\\ana\\dados\\project\\b1.png", 0, 0, 270, 382,
                              "", "", 0, 0, 0, 0);
    TItem borderRead = border;
    borderRead.FontName = "Arial";
    QTest::newRow("border with a Windows path") << border << borderRead;
}

void TestRecords::roundTrip()
{
    QFETCH(TItem, written);
    QFETCH(TItem, read);
    const QString text = fromCp1252(ItemRecordsBytes({written, written}));
    for (int n = 0; n < 2; ++n) {
        TItem r;
        ReadItemRecord(n, text, kData, r);
        QCOMPARE(r, read);
    }
}

void TestRecords::manyRecordsRoundTrip()
{
    QList<TItem> items;
    for (int i = 0; i < kMaxItemCount; ++i) {
        items.append(item(quint8(i % 3), i % 3 == 2 ? QString() : QString("/p/%1.png").arg(i), i,
                          -i, i % 700, i % 500, i % 3 == 2 ? QString("linha\r\n%1").arg(i) : "",
                          "Arial", IndexToColor(i % 16 + 1), quint8(i % 3), quint8(i % 4), i % 49));
    }
    const QString text = fromCp1252(ItemRecordsBytes(items));
    const QString project = fromCp1252(ProjectRecordBytes(int(items.size()), FoldedCard));
    QCOMPARE(ReadSectionInt("ItemCount", project), kMaxItemCount);

    const QList<TItem> read = ReadItemRecords(text, kMaxItemCount, "/d/");
    QCOMPARE(read.size(), items.size());
    for (int i = 0; i < items.size(); ++i) {
        TItem expected = items.at(i);
        if (expected.FileName.isEmpty())
            expected.FileName = "/d/";
        QCOMPARE(read.at(i), expected);
    }
}

// ---------------------------------------------------------------- record safety

void TestRecords::recordSafety_data()
{
    QTest::addColumn<QString>("kind"); // text, file, path, font
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("safe");
    QTest::addColumn<QString>("made");

    const QString accents = cp1252("Ação – “citação” €");
    QTest::newRow("text accents") << "text" << accents << true << accents;
    QTest::newRow("text line breaks") << "text"
                                      << "a\r\nb\nc" << true << "a\r\nb\nc";
    QTest::newRow("text opening tag") << "text"
                                      << "a#T#b" << true << "a#T#b";
    QTest::newRow("text bracket") << "text"
                                  << "Festa [sábado]" << false << "Festa (sábado]";
    QTest::newRow("text closing tag") << "text"
                                      << "a#/T#b" << false << "a_/T#b";
    QTest::newRow("text ending in the closing tag's head") << "text"
                                                           << "a#/T" << false << "a_/T";
    QTest::newRow("text with it before blanks") << "text"
                                                << "a#/T " << true << "a#/T ";
    QTest::newRow("text overlapping closing tags") << "text"
                                                   << "#/T#/T#" << false << "_/T_/T#";
    QTest::newRow("text outside the code page")
        << "text" << QString::fromUtf8("日本 😀!") << false << "?? ?!";
    QTest::newRow("text lone surrogate") << "text" << QString(QChar(0xD800)) + "x" << false << "?x";
    QTest::newRow("file name plain")
        << "file" << cp1252("flor ç.png") << true << cp1252("flor ç.png");
    QTest::newRow("file name bracket") << "file"
                                       << "foto[1].png" << false << "foto(1].png";
    QTest::newRow("file name separators") << "file"
                                          << "a\\b.png" << false << "a_b.png";
    QTest::newRow("file name line end") << "file"
                                        << "a\nb.png" << false << "a_b.png";
    QTest::newRow("file name tab") << "file" << "a\tb.png" << false << "a_b.png";
    QTest::newRow("file name blanks at the ends") << "file"
                                                  << " a.png " << false << "_a.png_";
    QTest::newRow("file name tags") << "file"
                                    << "x#T#y#/T#.png" << false << "x_T#y#_T#.png";
    QTest::newRow("file name outside the code page")
        << "file" << QString::fromUtf8("Ωmega.png") << false << "_mega.png";
    QTest::newRow("path keeps separators") << "path"
                                           << "/home/[a]/b\\c.png" << false << "/home/(a]/b\\c.png";
    QTest::newRow("path plain") << "path"
                                << "/home/ana/b.png" << true << "/home/ana/b.png";
    QTest::newRow("font plain") << "font"
                                << "Times New Roman" << true << "Times New Roman";
    QTest::newRow("font blanks dropped") << "font"
                                         << " Arial\t" << false << "Arial";
    QTest::newRow("font outside the code page")
        << "font" << QString::fromUtf8("Noto 日本") << false << "Noto __";
}

void TestRecords::recordSafety()
{
    QFETCH(QString, kind);
    QFETCH(QString, value);
    QFETCH(bool, safe);
    QFETCH(QString, made);

    QString result;
    bool isSafe = false;
    if (kind == "text") {
        result = recordSafeText(value);
        isSafe = isRecordSafeText(value);
        QVERIFY(isRecordSafeText(result));
    } else {
        result = kind == "file"   ? recordSafeFileName(value)
                 : kind == "path" ? recordSafePath(value)
                                  : recordSafeFontName(value);
        isSafe = kind == "file" ? isRecordSafeFileName(value) : isRecordSafeLine(value);
        QVERIFY(kind == "file" ? isRecordSafeFileName(result) : isRecordSafeLine(result));
    }
    QCOMPARE(isSafe, safe);
    QCOMPARE(result, made);

    // What the writer makes of the value reads back unchanged (texts: trimmed).
    TItem written;
    if (kind == "text") {
        written = item(TextItem, "", 1, 2, 3, 4, value, "Arial", 0, 0, 0, 10);
    } else if (kind == "font") {
        written = item(TextItem, "", 1, 2, 3, 4, "t", value, 0, 0, 0, 10);
    } else {
        written = item(PictureItem, value, 1, 2, 3, 4, "", "Arial", 0, 0, 0, 10);
    }
    const QString text = fromCp1252(ItemRecordsBytes({written, written}));
    TItem r;
    ReadItemRecord(1, text, kData, r);
    QCOMPARE(r.Kind, written.Kind);
    if (kind == "text")
        QCOMPARE(r.Text, trimControl(made));
    else if (kind == "font")
        QCOMPARE(r.FontName, made);
    else
        QCOMPARE(r.FileName, kind == "file" ? recordSafePath(value) : made);
}

// ---------------------------------------------------------------- whole files

void TestRecords::readCp1252File()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("project.txt");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Jo\xE3o\r\n\x80\r\n");
    f.close();
    QCOMPARE(quadrela::readCp1252File(path), cp1252("João\r\n€\r\n"));
    QVERIFY(f.resize(kMaxRecordFileBytes));
    QCOMPARE(quadrela::readCp1252File(path).size(), kMaxRecordFileBytes);
}

void TestRecords::readCp1252FileFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << "item.txt";
    QTest::newRow("folder") << "sub";
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("link to an endless device") << "zero";
    QTest::newRow("a byte too large") << "large";
}

void TestRecords::readCp1252FileFailures()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    const QString path = dir.filePath(name);
    QVERIFY(QFile::link("/dev/zero", dir.filePath("zero")) && ::mkfifo(qPrintable(dir.filePath("fifo")), 0600) == 0);
    QFile large(dir.filePath("large"));
    QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(kMaxRecordFileBytes + 1));
    try {
        quadrela::readCp1252File(path);
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.message(), name != "large" ? "Cannot open file " + path
                                              : "O arquivo " + path + " é grande demais: passa de 8388608 bytes.");
    }
}

void TestRecords::writeWholeFileReplaces()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("item.txt");
    QVERIFY(writeWholeFile(path, "old contents that are longer"));
    QVERIFY(writeWholeFile(path, ItemRecordsBytes({})));
    QCOMPARE(QFileInfo(path).size(), 0);
    QVERIFY(!writeWholeFile(dir.filePath("missing/item.txt"), "x"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"item.txt"});
    // Neither a link nor a pipe is replaced or written through.
    const QString link = dir.filePath("link.txt"), pipe = dir.filePath("pipe");
    QVERIFY(QFile::link(path, link) && ::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    QVERIFY(!writeWholeFile(link, "x") && !writeWholeFile(pipe, "x"));
    QVERIFY(QFileInfo(link).isSymLink() && QFileInfo(path).size() == 0 && !QFileInfo(pipe).isFile());
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
