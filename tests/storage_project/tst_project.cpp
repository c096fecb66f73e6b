// The project routines on a real page: saving and opening archives, the question before a
// project is replaced, the page set-up, and archives made by other tools.
#include "core/convert.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "page/screencursor.h"
#include "projectpage.h"
#include "scripteddialogs.h"
#include "storage/codemaps.h"
#include "storage/project.h"
#include "storage/records.h"
#include "workspace.h"
#include "zip/archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <optional>
#include <sys/resource.h>

using namespace quadrela;
using namespace quadrela::test;

namespace {

const QString kNotRecognised = QStringLiteral("Arquivo não reconhecido.");
const QString kSaveQuestion = QStringLiteral("Deseja salvar o projeto atual?");

// One item to put on a page before saving.
struct PlannedItem
{
    quint8 kind = PictureItem;
    QString name;      // picture file made in the working folder (border and picture items)
    QSize pictureSize; // its size
    QString stored;    // FileName attribute; the working-folder path when empty
    QRect geometry;    // picture items: the control's geometry; text items: only the position
    QString text;
    TextAttributes attributes; // text items
};

PlannedItem picture(const QString& name, QRect geometry, const QString& stored = {})
{
    PlannedItem s;
    s.kind = PictureItem;
    s.name = name;
    s.pictureSize = QSize(40, 30);
    s.stored = stored;
    s.geometry = geometry;
    return s;
}

PlannedItem border(const QString& name)
{
    PlannedItem s;
    s.kind = BorderItem;
    s.name = name;
    s.pictureSize = QSize(60, 80);
    return s;
}

PlannedItem text(const QString& text, QPoint at, TextAttributes attributes = {})
{
    PlannedItem s;
    s.kind = TextItem;
    s.text = text;
    s.geometry = QRect(at, QSize(1, 1));
    s.attributes = attributes;
    return s;
}

TextAttributes attributes(const QString& font, int size, ColorRef color, quint8 alignment,
                          quint8 style)
{
    TextAttributes a;
    a.FontName = font;
    a.FontSize = size;
    a.Color = color;
    a.Alignment = alignment;
    a.Style = style;
    return a;
}

// The page as the main window holds it, with the helpers these tests add items with.
class Page : public ProjectPage
{
public:
    using ProjectPage::ProjectPage;

    QString outside(const QString& name) const { return ws.outside() + name; }

    int add(const PlannedItem& s)
    {
        if (s.kind == TextItem) {
            ws.state.text = s.attributes;
            const int index = items->Add(TextItem, s.text);
            TImg& item = items->Items(index);
            TDesc d;
            d.Text = s.text;
            d.FontName = s.attributes.FontName;
            d.FontSize = s.attributes.FontSize;
            d.Color = s.attributes.Color;
            d.Alignment = s.attributes.Alignment;
            d.Style = s.attributes.Style;
            item.SetAttributes(d);
            item.SetLeft(s.geometry.x());
            item.SetTop(s.geometry.y());
            return index;
        }
        const QString path = writePicture(work(s.name), s.pictureSize);
        const int index = items->Add(s.kind, path);
        TImg& item = items->Items(index);
        TDesc d;
        d.FileName = s.stored.isEmpty() ? path : s.stored;
        item.SetAttributes(d);
        if (s.kind == PictureItem)
            item.Image()->setGeometry(s.geometry);
        return index;
    }
};

QString describe(const TImg& item)
{
    const TDesc& a = item.Attributes();
    const QRect g = item.Image()->geometry();
    return QStringLiteral("kind %1 at %2,%3 %4x%5 picture %6x%7 file [%8] text [%9] font %10 %11pt "
                          "color %12 align %13 style %14")
        .arg(item.Kind())
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height())
        .arg(item.Image()->pictureSize().width())
        .arg(item.Image()->pictureSize().height())
        .arg(a.FileName, a.Text, a.FontName)
        .arg(a.FontSize)
        .arg(a.Color, 6, 16, QLatin1Char('0'))
        .arg(a.Alignment)
        .arg(a.Style);
}

// The items in list order.
QStringList listed(const Page& p)
{
    QStringList out;
    for (int i = 0; i < p.items->Count(); ++i)
        out.append(describe(p.items->Items(i)));
    return out;
}

// The items in stacking order, back-most first.
QStringList stacked(const Page& p)
{
    QStringList out;
    for (QObject* child : p.page->children()) {
        if (const TImg* item = p.items->ItemOf(qobject_cast<TFocusImage*>(child)))
            out.append(describe(*item));
    }
    return out;
}

// The background sits beneath every item.
bool backgroundAtBottom(const Page& p)
{
    for (QObject* child : p.page->children()) {
        if (qobject_cast<QWidget*>(child))
            return child == p.background;
    }
    return false;
}

QString openError(Page& p, const QString& path)
{
    try {
        OpenProject(p.ctx(), path);
    } catch (const Error& e) {
        return e.message();
    }
    return QString();
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// An archive made of the given entries, packed as the program packs.
using Entries = QList<QPair<QString, QByteArray>>;
void makeArchive(const QString& path, const Entries& entries)
{
    QTemporaryDir dir;
    QStringList files;
    for (const auto& [name, bytes] : entries) {
        const QString file = dir.path() + u'/' + name;
        QVERIFY(writeBytes(file, bytes));
        files.append(file);
    }
    PackArchive(path, files);
}

QByteArray crlf(const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines)
        out += toCp1252(line) + "\r\n";
    return out;
}

QByteArray projectTxt(int count, int layoutCode)
{
    return crlf({QStringLiteral("####vimel"), QStringLiteral("[ItemCount]"), QString::number(count),
                 QStringLiteral("[Impressao]"), QString::number(layoutCode)});
}

QStringList recordLines(int number, int kindCode, const QString& file, QRect g,
                        const QString& font = {}, int color = 1, int align = 1, int style = 0,
                        int size = 0, const QString& text = {})
{
    return {u'[' + QString::number(number) + u']',
            QString::number(kindCode),
            file,
            QString::number(g.x()),
            QString::number(g.y()),
            QString::number(g.width()),
            QString::number(g.height()),
            font,
            QString::number(color),
            QString::number(align),
            QString::number(style),
            QString::number(size),
            QStringLiteral("#T#") + text + QStringLiteral("#/T#")};
}

QByteArray pngBytes(QSize size, QColor fill)
{
    QTemporaryDir dir;
    return readAll(writePicture(dir.path() + QStringLiteral("/p.png"), size, fill));
}

bool hasPixel(const QImage& image, QRgb rgb)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF))
                return true;
    return false;
}

bool isDark(QRgb c)
{
    return qGray(c) < 96;
}

int darkPixels(const QImage& image, QRect area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (isDark(image.pixel(x, y)))
                ++n;
    return n;
}

} // namespace

Q_DECLARE_METATYPE(PlannedItem)
Q_DECLARE_METATYPE(Entries)

class TestProject : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void recordFiles_data();
    void recordFiles();
    void textReadBackTrimmed();
    void outsideArchives_data();
    void outsideArchives();
    void windowsNamesAndLeftovers();
    void namesFromElsewhere_data();
    void namesFromElsewhere();
    void magicOnLaterLine();
    void openFailures_data();
    void openFailures();
    void unreadablePictures();
    void tooLargeForMemory();
    void handMadeRecords_data();
    void handMadeRecords();
    void askToSave_data();
    void askToSave();
    void saveRefused_data();
    void saveRefused();
    void failedWriteKeepsOldArchive();
    void saveTwiceUpdatesInPlace();
    void openFromWorkingFolder();
    void setUpPage_data();
    void setUpPage();
};

void TestProject::roundTrip_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QList<PlannedItem>>("plan");
    QTest::addColumn<int>("pictureEntries");

    const TextAttributes red =
        attributes(QStringLiteral("Liberation Serif"), 22, 0x0000FF, 2, StyleBold | StyleItalic);
    const TextAttributes navy = attributes(QStringLiteral("Arial"), 12, 0x800000, 1, StyleItalic);

    QTest::newRow("full page: border behind a picture and two texts")
        << int(FullPage)
        << QList<PlannedItem>{picture(QStringLiteral("foto.png"), QRect(30, 40, 120, 90)),
                              text(QStringLiteral("Feliz\r\nNatal"), QPoint(50, 300)),
                              text(QStringLiteral("Parabéns, João — 100% “ótimo”"), QPoint(20, 20),
                                   red),
                              border(QStringLiteral("moldura.png"))}
        << 2;
    QTest::newRow("folded card: border on the front, picture inside")
        << int(FoldedCard)
        << QList<PlannedItem>{border(QStringLiteral("frente.png")),
                              picture(QStringLiteral("dentro.jpg"), QRect(300, 50, 200, 150)),
                              text(QStringLiteral("Com carinho,\r\n\r\nAna"), QPoint(320, 250),
                                   navy)}
        << 2;
    QTest::newRow("business card: picture partly off the page")
        << int(BusinessCard)
        << QList<PlannedItem>{picture(QStringLiteral("logo.png"), QRect(-15, -4, 90, 60)),
                              text(QStringLiteral("Maria Ávila\r\n(11) 5555-0000"),
                                   QPoint(-15, 150), red)}
        << 1;
    QTest::newRow("picture stored with another computer's path")
        << int(FullPage)
        << QList<PlannedItem>{picture(QStringLiteral("foto.png"), QRect(10, 10, 50, 60),
                                      QStringLiteral("C:\\Users\\ana\\Imagens\\foto.png"))}
        << 1;
    QTest::newRow("two pictures share one file")
        << int(FullPage)
        << QList<PlannedItem>{picture(QStringLiteral("igual.png"), QRect(10, 10, 50, 60)),
                              picture(QStringLiteral("igual.png"), QRect(100, 200, 30, 20)),
                              text(QStringLiteral("x"), QPoint(0, 0))}
        << 1;
    QTest::newRow("empty page") << int(BusinessCard) << QList<PlannedItem>{} << 0;
}

void TestProject::roundTrip()
{
    QFETCH(int, layout);
    QFETCH(QList<PlannedItem>, plan);
    QFETCH(int, pictureEntries);

    Page p(layout);
    for (const PlannedItem& s : plan)
        p.add(s);
    QCOMPARE(p.items->Count(), plan.size());
    const QStringList before = stacked(p);
    // After opening, the current text attributes are those of the last text record.
    std::optional<TextAttributes> lastText;
    for (const PlannedItem& s : plan) {
        if (s.kind == TextItem)
            lastText = s.attributes;
    }

    const QString archive = p.outside(QStringLiteral("projeto.vimel"));
    QVERIFY(SaveProject(p.ctx(), archive));
    QVERIFY(QFileInfo(archive).isFile());
    QCOMPARE(stacked(p), before); // saving changes nothing on the page
    QCOMPARE(p.ws.state.pageLayout, layout);

    QTemporaryDir unpacked;
    UnpackArchive(archive, unpacked.path());
    QCOMPARE(filesIn(unpacked.path()).size(), pictureEntries + 2);

    // Open on a page of another layout, with a text attribute changed in between.
    const int other = layout == FullPage ? BusinessCard : FullPage;
    p.ws.state.pageLayout = other;
    SetUpPage(p.ctx(), other);
    p.ws.state.text = attributes(QStringLiteral("Outra"), 40, 0xFFFFFF, 0, 0);
    if (!plan.isEmpty())
        p.dialogs.queueAnswer(Answer::No);
    QCOMPARE(openError(p, archive), QString());
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
    QCOMPARE(p.dialogs.unusedAnswers(), 0);

    QCOMPARE(p.ws.state.pageLayout, layout);
    QCOMPARE(p.page->size(), pageSizeFor(layout));
    // Item i is record i, the stacking order at the time of saving.
    QCOMPARE(listed(p), before);
    QCOMPARE(stacked(p), before);
    QVERIFY(backgroundAtBottom(p));
    if (lastText)
        QCOMPARE(p.ws.state.text, *lastText);
    QCOMPARE(p.renderFailures, QStringList());
    QCOMPARE(screenCursor(), Qt::ArrowCursor);
}

void TestProject::recordFiles_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QList<PlannedItem>>("plan");
    QTest::addColumn<QByteArray>("projectFile");
    QTest::addColumn<QList<QByteArray>>("itemFileHas");

    QTest::newRow("no items: count 0 and an empty item file")
        << int(FoldedCard) << QList<PlannedItem>{}
        << QByteArray("####vimel\r\n[ItemCount]\r\n0\r\n[Impressao]\r\n2\r\n")
        << QList<QByteArray>{};
    QTest::newRow("picture item: empty font line, codes 1 1 0, size 0, negative left")
        << int(FullPage)
        << QList<PlannedItem>{picture(QStringLiteral("a.png"), QRect(-15, 7, 33, 44),
                                      QStringLiteral("C:\\fotos\\a.png"))}
        << QByteArray("####vimel\r\n[ItemCount]\r\n1\r\n[Impressao]\r\n1\r\n")
        << QList<QByteArray>{QByteArray("[0]\r\n2\r\nC:\\fotos\\a.png\r\n-15\r\n7\r\n33\r\n44\r\n"
                                        "\r\n1\r\n1\r\n0\r\n0\r\n#T##/T#\r\n")};
    QTest::newRow("text with a line break spans two physical lines")
        << int(BusinessCard)
        << QList<PlannedItem>{text(QStringLiteral("Feliz\r\nNatal"), QPoint(12, 34),
                                   attributes(QStringLiteral("Arial"), 14, 0x0000FF, 1, StyleBold))}
        << QByteArray("####vimel\r\n[ItemCount]\r\n1\r\n[Impressao]\r\n3\r\n")
        << QList<QByteArray>{
               QByteArray("[0]\r\n3\r\n\r\n12\r\n34\r\n"),
               QByteArray("\r\nArial\r\n10\r\n2\r\n2\r\n14\r\n#T#Feliz\r\nNatal#/T#\r\n")};
    QTest::newRow("accents in Windows-1252, stacking order numbers the records")
        << int(FullPage)
        << QList<PlannedItem>{text(QStringLiteral("Coração"), QPoint(1, 2)),
                              border(QStringLiteral("b.png"))}
        << QByteArray("####vimel\r\n[ItemCount]\r\n2\r\n[Impressao]\r\n1\r\n")
        << QList<QByteArray>{QByteArray("[0]\r\n1\r\n"), QByteArray("[1]\r\n3\r\n"),
                             QByteArray("#T#Cora\xe7\xe3o#/T#\r\n")};
}

void TestProject::recordFiles()
{
    QFETCH(int, layout);
    QFETCH(QList<PlannedItem>, plan);
    QFETCH(QByteArray, projectFile);
    QFETCH(QList<QByteArray>, itemFileHas);

    Page p(layout);
    for (const PlannedItem& s : plan)
        p.add(s);
    QVERIFY(SaveProject(p.ctx(), p.outside(QStringLiteral("r.vimel"))));
    QCOMPARE(readAll(p.work(QStringLiteral("project.txt"))), projectFile);
    const QByteArray items = readAll(p.work(QStringLiteral("item.txt")));
    if (itemFileHas.isEmpty())
        QCOMPARE(items, QByteArray());
    for (const QByteArray& part : itemFileHas)
        QVERIFY2(items.contains(part), items.constData());
    QVERIFY(items.isEmpty() || items.endsWith("#/T#\r\n"));
}

void TestProject::textReadBackTrimmed()
{
    Page p;
    p.add(text(QStringLiteral(" Olá\tmundo \r\n\r\n"), QPoint(5, 5)));
    const QString archive = p.outside(QStringLiteral("t.vimel"));
    QVERIFY(SaveProject(p.ctx(), archive));
    p.dialogs.queueAnswer(Answer::No);
    QCOMPARE(openError(p, archive), QString());
    QCOMPARE(p.items->Count(), 1);
    QCOMPARE(p.items->Items(0).Attributes().Text, QStringLiteral("Olá\tmundo"));
    QCOMPARE(p.items->Items(0).Image()->pos(), QPoint(5, 5));
}

void TestProject::outsideArchives_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("textLineEnd");

    QTest::newRow("CR LF") << QStringLiteral("line_ends_crlf.vimel") << QStringLiteral("\r\n");
    QTest::newRow("LF") << QStringLiteral("line_ends_lf.vimel") << QStringLiteral("\n");
    QTest::newRow("CR") << QStringLiteral("line_ends_cr.vimel") << QStringLiteral("\r");
}

void TestProject::outsideArchives()
{
    QFETCH(QString, fixture);
    QFETCH(QString, textLineEnd);

    Page p(BusinessCard);
    const QString archive = QFINDTESTDATA(QStringLiteral("data/") + fixture);
    QVERIFY(!archive.isEmpty());
    QCOMPARE(openError(p, archive), QString());
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs); // an empty page asks nothing
    QCOMPARE(p.dialogs.messages().size(), 0);

    QCOMPARE(p.ws.state.pageLayout, int(FullPage));
    QCOMPARE(p.page->size(), QSize(496, 702));
    QCOMPARE(p.items->Count(), 2);

    const TImg& photo = p.items->Items(0);
    QCOMPARE(photo.Kind(), quint8(PictureItem));
    QCOMPARE(photo.Attributes().FileName, QStringLiteral("C:\\Users\\ana\\foto.png"));
    QCOMPARE(photo.Image()->geometry(), QRect(30, 40, 60, 50));
    QCOMPARE(photo.Image()->bitmap().size(), QSize(40, 30)); // the picture, not the notice
    QVERIFY(hasPixel(photo.Image()->bitmap(), qRgb(255, 0, 0)));

    const TImg& words = p.items->Items(1);
    QCOMPARE(words.Kind(), quint8(TextItem));
    QCOMPARE(words.Attributes().Text,
             QStringLiteral("Olá, José") + textLineEnd + QStringLiteral("Feliz Natal"));
    QCOMPARE(words.Attributes().FontName, QStringLiteral("Arial"));
    QCOMPARE(words.Attributes().FontSize, 14);
    QCOMPARE(words.Attributes().Color, ColorRef(0x0000FF));
    QCOMPARE(words.Attributes().Alignment, quint8(1));
    QCOMPARE(words.Attributes().Style, quint8(StyleBold | StyleItalic));
    QCOMPARE(words.Image()->pos(), QPoint(-15, 200));
    QVERIFY(hasPixel(words.Image()->bitmap(), qRgb(255, 0, 0)));

    // Saved again, the stored Windows path stays and the picture travels along.
    const QString again = p.outside(QStringLiteral("de novo.vimel"));
    QVERIFY(SaveProject(p.ctx(), again));
    QVERIFY(
        readAll(p.work(QStringLiteral("item.txt"))).contains("\r\nC:\\Users\\ana\\foto.png\r\n"));
    QTemporaryDir unpacked;
    UnpackArchive(again, unpacked.path());
    QCOMPARE(filesIn(unpacked.path()),
             QStringList({QStringLiteral("foto.png"), QStringLiteral("item.txt"),
                          QStringLiteral("project.txt")}));
}

void TestProject::windowsNamesAndLeftovers()
{
    Page p;
    QCOMPARE(openError(p, QFINDTESTDATA("data/windows_names.vimel")), QString());
    QCOMPARE(p.dialogs.messages().size(), 0);
    QCOMPARE(p.ws.state.pageLayout, int(FoldedCard));
    QCOMPARE(p.page->size(), QSize(541, 382));

    // Every entry lands bare in the working folder, the unused ones too.
    QCOMPARE(filesIn(p.ws.state.workingFolder),
             QStringList({QStringLiteral("Coração.png"), QStringLiteral("Moldura Ão.png"),
                          QStringLiteral("item.txt"), QStringLiteral("notas.txt"),
                          QStringLiteral("praia.png"), QStringLiteral("project.txt"),
                          QStringLiteral("sobra.png")}));

    QCOMPARE(p.items->Count(), 3);
    const struct
    {
        quint8 kind;
        const char* stored;
        QRect geometry;
        QSize picture;
    } expected[] = {
        {BorderItem, "C:\\Program Files\\Cartoes\\dados\\bordas\\Moldura Ão.png",
         QRect(0, 0, 270, 382), QSize(27, 38)},
        {PictureItem, "C:\\Users\\ana\\Coração.png", QRect(10, 20, 44, 33), QSize(22, 11)},
        {PictureItem, "D:\\fotos\\praia.png", QRect(300, 100, 80, 60), QSize(16, 12)},
    };
    for (int i = 0; i < 3; ++i) {
        const TImg& item = p.items->Items(i);
        QCOMPARE(item.Kind(), expected[i].kind);
        QCOMPARE(item.Attributes().FileName, QString::fromUtf8(expected[i].stored));
        QCOMPARE(item.Image()->geometry(), expected[i].geometry);
        QCOMPARE(item.Image()->bitmap().size(), expected[i].picture);
    }
    // The border lies at the back, the pictures in record order in front of it.
    QCOMPARE(stacked(p), listed(p));

    // The folded card's background: the fold line at x = 271.
    const QImage& canvas = p.background->canvas();
    QVERIFY(darkPixels(canvas, QRect(271, 40, 1, 300)) > 100);
    QCOMPARE(darkPixels(canvas, QRect(270, 40, 1, 300)), 0);
}

void TestProject::namesFromElsewhere_data()
{
    QTest::addColumn<QStringList>("entries"); // project, items, picture, decoy; none: made here
    QTest::addColumn<QString>("stored");      // the picture record's FileName
    QTest::addColumn<QList<int>>("geometry"); // its left, top, width and height

    const QList<int> g{10, 20, 30, 40};
    const QString pt = QStringLiteral("project.txt"), it = QStringLiteral("item.txt");
    QTest::newRow("record files in upper case")
        << QStringList{"PROJECT.TXT", "Item.Txt", "foto.png", ""} << "C:\\x\\foto.png" << g;
    QTest::newRow("picture entry in upper case")
        << QStringList{pt, it, "FOTO.PNG", ""} << "C:\\x\\foto.png" << g;
    QTest::newRow("accented entry in upper case")
        << QStringList{pt, it, "ÁRVORE.PNG", ""} << "C:\\x\\árvore.png" << g;
    QTest::newRow("an exact match wins over another case")
        << QStringList{pt, it, "foto.png", "FOTO.PNG"} << "C:\\x\\foto.png" << g;
    QTest::newRow("#T# in the name")
        << QStringList{pt, it, "a#T#b.png", ""} << "C:\\x\\a#T#b.png" << g;
    QTest::newRow("#T# in the name, entry in upper case")
        << QStringList{pt, it, "A#T#B.PNG", ""} << "C:\\x\\a#T#b.png" << g;
    QTest::newRow("#/T# in the name")
        << QStringList{pt, it, "a#/T#b.png", ""} << "C:\\x\\a#/T#b.png" << g;
    QTest::newRow("accented Windows-1252 name")
        << QStringList{pt, it, "Coração Ñandú.png", ""} << "C:\\José\\Coração Ñandú.png" << g;
    QTest::newRow("[ in a name made here") << QStringList{} << "C:\\x\\a[1].png" << g;
    QTest::newRow("geometry near the integer limits")
        << QStringList{pt, it, "foto.png", ""} << "C:\\x\\foto.png"
        << QList<int>{2147483647, -2147483647 - 1, 2147483647, 2147483646};
}

// Opened, saved and opened again, the picture shows every time; the record keeps its place.
void TestProject::namesFromElsewhere()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, stored);
    QFETCH(QList<int>, geometry);

    Page p;
    const QSize shown = entries.isEmpty() ? QSize(40, 30) : QSize(9, 7);
    if (entries.isEmpty()) {
        p.add(picture(fileNamePart(stored),
                      QRect(geometry[0], geometry[1], geometry[2], geometry[3]), stored));
    } else {
        QStringList record = recordLines(0, 2, stored, QRect());
        for (int k = 0; k < 4; ++k)
            record[3 + k] = QString::number(geometry.at(k));
        const QString archive = p.outside(QStringLiteral("de fora.vimel"));
        Entries made{{entries[0], projectTxt(1, 1)},
                     {entries[1], crlf(record)},
                     {entries[2], pngBytes(QSize(9, 7), Qt::green)}};
        if (!entries[3].isEmpty())
            made.append({entries[3], pngBytes(QSize(5, 5), Qt::red)});
        makeArchive(archive, made);
        QCOMPARE(openError(p, archive), QString());
        QCOMPARE(p.items->Items(0).Image()->bitmap().size(), shown);
    }
    const QString again = p.outside(QStringLiteral("de novo.vimel"));
    QVERIFY(SaveProject(p.ctx(), again));
    QByteArray kept;
    for (int v : geometry)
        kept += "\r\n" + QByteArray::number(v);
    QVERIFY(readAll(p.work(QStringLiteral("item.txt"))).contains(kept));
    p.dialogs.queueAnswer(Answer::No);
    QCOMPARE(openError(p, again), QString());
    QCOMPARE(p.dialogs.messageTexts(), QStringList{kSaveQuestion});
    QCOMPARE(p.items->Items(0).Image()->bitmap().size(), shown);
}

void TestProject::magicOnLaterLine()
{
    Page p;
    p.add(picture(QStringLiteral("velha.png"), QRect(0, 0, 10, 10)));
    p.dialogs.queueAnswer(Answer::No);
    QCOMPARE(openError(p, QFINDTESTDATA("data/magic_later.vimel")), QString());
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
    QCOMPARE(p.dialogs.messageTexts(), QStringList({kSaveQuestion}));
    QCOMPARE(p.items->Count(), 0);
    QCOMPARE(p.ws.state.pageLayout, int(BusinessCard));
    QCOMPARE(p.page->size(), QSize(380, 217));
}

void TestProject::openFailures_data()
{
    QTest::addColumn<Entries>("entries"); // none: no archive at all
    QTest::addColumn<QByteArray>("rawArchive");
    QTest::addColumn<QString>("error");        // thrown; "<item.txt>" stands for its full path
    QTest::addColumn<QStringList>("messages"); // shown, after the save question
    QTest::addColumn<QSize>("pageSize");       // the page starts as a business card
    QTest::addColumn<bool>("asked");

    const QSize card(380, 217);
    const QByteArray pic = pngBytes(QSize(8, 8), Qt::blue);
    const QByteArray twoItems = crlf(recordLines(0, 2, QStringLiteral("x.png"), QRect(1, 2, 3, 4)));

    QTest::newRow("no file at the path: nothing happens")
        << Entries{} << QByteArray() << QString() << QStringList{} << card << false;
    QTest::newRow("not a ZIP archive: the archive's error")
        << Entries{} << QByteArray("this is not a zip archive at all, just text")
        << QStringLiteral("*") << QStringList{} << card << true;
    QTest::newRow("only pictures: not recognised")
        << Entries{{QStringLiteral("a.png"), pic}} << QByteArray() << QString()
        << QStringList{kNotRecognised} << card << true;
    QTest::newRow("project.txt without the magic: not recognised")
        << Entries{{QStringLiteral("project.txt"),
                    QByteArray("[ItemCount]\r\n1\r\n[Impressao]\r\n1\r\n")},
                   {QStringLiteral("item.txt"), twoItems}}
        << QByteArray() << QString() << QStringList{kNotRecognised} << card << true;
    QTest::newRow("[ItemCount] missing")
        << Entries{{QStringLiteral("project.txt"), QByteArray("####vimel\r\n[Impressao]\r\n1\r\n")},
                   {QStringLiteral("item.txt"), twoItems}}
        << QByteArray() << QStringLiteral("'####vimel' is not a valid integer value")
        << QStringList{} << card << true;
    QTest::newRow("[ItemCount] not a number")
        << Entries{{QStringLiteral("project.txt"),
                    QByteArray("####vimel\r\n[ItemCount]\r\n1 2\r\n[Impressao]\r\n1\r\n")},
                   {QStringLiteral("item.txt"), twoItems}}
        << QByteArray() << QStringLiteral("'1 2' is not a valid integer value") << QStringList{}
        << card << true;
    QTest::newRow("[Impressao] missing")
        << Entries{{QStringLiteral("project.txt"), QByteArray("####vimel\r\n[ItemCount]\r\n1\r\n")},
                   {QStringLiteral("item.txt"), twoItems}}
        << QByteArray() << QStringLiteral("'####vimel' is not a valid integer value")
        << QStringList{} << card << true;
    QTest::newRow("item count above the limit")
        << Entries{{QStringLiteral("project.txt"), projectTxt(10001, 1)},
                   {QStringLiteral("item.txt"), twoItems}}
        << QByteArray() << tooManyItemsError(10001).message() << QStringList{} << card << true;
    QTest::newRow("item.txt missing: the page is set up first")
        << Entries{{QStringLiteral("project.txt"), projectTxt(1, 2)}} << QByteArray()
        << QStringLiteral("Cannot open file <item.txt>") << QStringList{} << QSize(541, 382)
        << true;
}

void TestProject::openFailures()
{
    QFETCH(Entries, entries);
    QFETCH(QByteArray, rawArchive);
    QFETCH(QString, error);
    QFETCH(QStringList, messages);
    QFETCH(QSize, pageSize);
    QFETCH(bool, asked);

    Page p(BusinessCard);
    const QString archive = p.outside(QStringLiteral("falho.vimel"));
    if (!entries.isEmpty())
        makeArchive(archive, entries);
    else if (!rawArchive.isEmpty())
        QVERIFY(writeBytes(archive, rawArchive));
    p.add(picture(QStringLiteral("antes.png"), QRect(5, 5, 20, 20)));
    QVERIFY(writeBytes(p.work(QStringLiteral("resto.txt")), "x"));
    if (asked)
        p.dialogs.queueAnswer(Answer::No);
    for (qsizetype i = 0; i < messages.size(); ++i)
        p.dialogs.queueAnswer(Answer::Ok);

    const QString thrown = openError(p, archive);
    if (error == u"*")
        QVERIFY(!thrown.isEmpty());
    else
        QCOMPARE(thrown, QString(error).replace(QStringLiteral("<item.txt>"),
                                                p.work(QStringLiteral("item.txt"))));
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
    QCOMPARE(p.dialogs.unusedAnswers(), 0);
    const QStringList expectedMessages = asked ? QStringList{kSaveQuestion} + messages : messages;
    QCOMPARE(p.dialogs.messageTexts(), expectedMessages);
    for (const auto& m : p.dialogs.messages())
        QCOMPARE(m.ownerAtCall, &p.window);

    // The question cleared the page before the archive was read.
    QCOMPARE(p.items->Count(), asked ? 0 : 1);
    QCOMPARE(QFileInfo::exists(p.work(QStringLiteral("resto.txt"))), !asked);
    QCOMPARE(p.page->size(), pageSize);
    QCOMPARE(screenCursor(), Qt::ArrowCursor);
}

void TestProject::unreadablePictures()
{
    Page p;
    const QString archive = p.outside(QStringLiteral("quebrado.vimel"));
    QByteArray items;
    items += crlf(recordLines(0, 2, QStringLiteral("C:\\a\\quebrada.png"), QRect(11, 12, 13, 14)));
    items += crlf(recordLines(1, 1, QStringLiteral("C:\\a\\ruim.jpg"), QRect(0, 0, 496, 702)));
    items += crlf(recordLines(2, 2, QStringLiteral("C:\\a\\boa.png"), QRect(40, 50, 60, 70)));
    items += crlf(recordLines(3, 2, QStringLiteral("C:\\a\\ausente.png"), QRect(1, 2, 30, 40)));
    items += crlf(recordLines(4, 2, QStringLiteral("D:\\b\\quebrada.png"), QRect(5, 6, 7, 8)));
    // A text far too large to draw, and a record after it that must not be dropped.
    items +=
        crlf(recordLines(5, 3, {}, QRect(9, 8, 7, 6), "Arial", 1, 1, 0, 100000, "Enorme\r\nsim"));
    items += crlf(recordLines(6, 2, QStringLiteral("C:\\a\\depois.png"), QRect(1, 1, 1, 1)));
    makeArchive(archive,
                {{QStringLiteral("project.txt"), projectTxt(7, 1)},
                 {QStringLiteral("item.txt"), items},
                 {QStringLiteral("quebrada.png"), QByteArray("\x89PNG\r\n\x1a\n nada disso")},
                 {QStringLiteral("ruim.jpg"), QByteArray("GIF89a")},
                 {QStringLiteral("boa.png"), pngBytes(QSize(9, 7), Qt::green)}});
    p.dialogs.queueAnswer(Answer::Ok);
    QCOMPARE(openError(p, archive), QString());
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);

    // One message after the open names the pictures that could not be read; a picture
    // that is simply absent shows the notice without one.
    QCOMPARE(p.dialogs.messages().size(), 1);
    const QString message = p.dialogs.messages().at(0).text;
    QVERIFY2(message.count(QStringLiteral("quebrada.png")) == 1, qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("ruim.jpg")), qPrintable(message));
    QVERIFY2(!message.contains(QStringLiteral("boa.png")), qPrintable(message));
    QVERIFY2(!message.contains(QStringLiteral("ausente.png")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("\"Enorme\"")) && !message.contains(u"temp.png"),
             qPrintable(message));
    QCOMPARE(p.renderFailures, QStringList());

    QCOMPARE(p.items->Count(), 7);
    QCOMPARE(p.items->Items(6).Attributes().FileName, QStringLiteral("C:\\a\\depois.png"));
    QVERIFY(!p.items->Items(5).Image()->size().isEmpty()); // something to select
    const QRect geometries[] = {QRect(11, 12, 13, 14), QRect(0, 0, 496, 702), QRect(40, 50, 60, 70),
                                QRect(1, 2, 30, 40), QRect(5, 6, 7, 8)};
    const char* stored[] = {"C:\\a\\quebrada.png", "C:\\a\\ruim.jpg", "C:\\a\\boa.png",
                            "C:\\a\\ausente.png", "D:\\b\\quebrada.png"};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(p.items->Items(i).Image()->geometry(), geometries[i]);
        QCOMPARE(p.items->Items(i).Attributes().FileName, QString::fromLatin1(stored[i]));
    }
    QCOMPARE(p.items->Items(2).Image()->bitmap().size(), QSize(9, 7));
    QVERIFY(p.items->Items(0).Image()->bitmap().width() > 200); // the notice's picture
    QVERIFY(p.items->Items(1).Image()->bitmap().width() > 200);
    QCOMPARE(p.items->Items(0).Image()->bitmap().cacheKey(),  // one notice, rendered once
             p.items->Items(4).Image()->bitmap().cacheKey());
    // The files stay, so the next save packs them as they came.
    QVERIFY(QFileInfo::exists(p.work(QStringLiteral("quebrada.png"))));
    QVERIFY(QFileInfo::exists(p.work(QStringLiteral("ruim.jpg"))));
    // The notice leaves its font behind.
    QCOMPARE(p.ws.state.text.FontName, QStringLiteral("Arial"));
    QCOMPARE(p.ws.state.text.FontSize, 80);

    const QString again = p.outside(QStringLiteral("de novo.vimel"));
    QVERIFY(SaveProject(p.ctx(), again));
    QVERIFY(
        readAll(p.work(QStringLiteral("item.txt")))
            .contains(
                "\r\n9\r\n8\r\n7\r\n6\r\nArial\r\n1\r\n1\r\n0\r\n100000\r\n#T#Enorme\r\nsim#/T#"));
    QTemporaryDir unpacked;
    UnpackArchive(again, unpacked.path());
    QCOMPARE(readAll(unpacked.path() + QStringLiteral("/ruim.jpg")), QByteArray("GIF89a"));
    QCOMPARE(screenCursor(), Qt::ArrowCursor);
}

void TestProject::tooLargeForMemory()
{
    Page p;
    p.ws.state.availableMemory = [] { return qint64(8) << 20; };
    const QString archive = p.outside(QStringLiteral("grande.vimel"));
    makeArchive(archive, {{QStringLiteral("project.txt"), projectTxt(1, 1)},
                          {QStringLiteral("item.txt"),
                           crlf(recordLines(0, 2, QStringLiteral("f.png"), QRect(0, 0, 90, 90)))},
                          {QStringLiteral("f.png"), pngBytes(QSize(2000, 2000), Qt::red)}});
    p.dialogs.queueAnswer(Answer::Ok);
    QCOMPARE(openError(p, archive), QString());
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
    QCOMPARE(p.dialogs.messages().size(), 1);
    QVERIFY(p.dialogs.messages().at(0).text.startsWith(
        QStringLiteral("O projeto é grande demais para a memória disponível")));
    QCOMPARE(p.items->Count(), 0);
    QCOMPARE(p.page->size(), QSize(496, 702));
}

void TestProject::handMadeRecords_data()
{
    QTest::addColumn<QByteArray>("projectFile");
    QTest::addColumn<QByteArray>("itemFile");
    QTest::addColumn<QStringList>("expected"); // describe() of each item, in list order
    QTest::addColumn<QSize>("pageSize");

    const QString fallback = QStringLiteral(
        "kind 0 at 0,0 0x0 picture %1 file [] text [] font  0pt color 000000 align 0 style 0");
    QTest::newRow("count above the records: fallback border items")
        << projectTxt(3, 1)
        << crlf(recordLines(0, 2, QStringLiteral("p.png"), QRect(10, 20, 30, 40)))
        << QStringList{QStringLiteral(
                           "kind 1 at 10,20 30x40 picture 8x6 file [p.png] text [] font  0pt "
                           "color 000000 align 0 style 0"),
                       fallback, fallback}
        << QSize(496, 702);
    QTest::newRow("count 0: empty page in the project's layout")
        << projectTxt(0, 3)
        << crlf(recordLines(0, 2, QStringLiteral("p.png"), QRect(10, 20, 30, 40))) << QStringList{}
        << QSize(380, 217);
    QTest::newRow("record with ten field lines reads as the fallback")
        << projectTxt(1, 1)
        << crlf(recordLines(0, 2, QStringLiteral("p.png"), QRect(10, 20, 30, 40)).mid(0, 11))
        << QStringList{fallback} << QSize(496, 702);
    QTest::newRow("unknown layout code keeps the page")
        << projectTxt(0, 9) << QByteArray() << QStringList{} << QSize(380, 217);
}

void TestProject::handMadeRecords()
{
    QFETCH(QByteArray, projectFile);
    QFETCH(QByteArray, itemFile);
    QFETCH(QStringList, expected);
    QFETCH(QSize, pageSize);

    Page p(BusinessCard);
    const QString archive = p.outside(QStringLiteral("manual.vimel"));
    makeArchive(archive, {{QStringLiteral("project.txt"), projectFile},
                          {QStringLiteral("item.txt"), itemFile},
                          {QStringLiteral("p.png"), pngBytes(QSize(8, 6), Qt::green)}});
    QCOMPARE(openError(p, archive), QString());
    QCOMPARE(p.dialogs.messages().size(), 0);
    QCOMPARE(p.page->size(), pageSize);
    QCOMPARE(p.items->Count(), expected.size());
    QStringList got = listed(p);
    // The notice's picture size depends on the fonts; the rest does not.
    for (qsizetype i = 0; i < got.size(); ++i) {
        if (expected.at(i).contains(u'%')) {
            const QSize notice = p.items->Items(int(i)).Image()->bitmap().size();
            QVERIFY(notice.width() > 200);
            expected[i] = expected.at(i).arg(
                QStringLiteral("%1x%2").arg(notice.width()).arg(notice.height()));
        }
    }
    QCOMPARE(got, expected);
}

void TestProject::askToSave_data()
{
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("savePaths"); // "" cancels the save dialog
    QTest::addColumn<bool>("proceed");
    QTest::addColumn<bool>("cleared");
    QTest::addColumn<bool>("saved");

    QTest::newRow("Yes and a name: saved, then cleared")
        << QList<Answer>{Answer::Yes} << QStringList{QStringLiteral("salvo.vimel")} << true << true
        << true;
    QTest::newRow("Yes, then the save dialog cancelled: abort")
        << QList<Answer>{Answer::Yes} << QStringList{QString()} << false << false << false;
    QTest::newRow("No: cleared without saving")
        << QList<Answer>{Answer::No} << QStringList{} << true << true << false;
    QTest::newRow("Cancel: abort")
        << QList<Answer>{Answer::Cancel} << QStringList{} << false << false << false;
}

void TestProject::askToSave()
{
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, savePaths);
    QFETCH(bool, proceed);
    QFETCH(bool, cleared);
    QFETCH(bool, saved);

    Page p;
    p.add(picture(QStringLiteral("a.png"), QRect(1, 2, 30, 40)));
    p.add(text(QStringLiteral("oi"), QPoint(9, 9)));
    const QStringList before = stacked(p);
    const QStringList filesBefore = filesIn(p.ws.state.workingFolder);
    for (Answer a : answers)
        p.dialogs.queueAnswer(a);
    for (const QString& name : savePaths)
        p.dialogs.queueFile(name.isEmpty() ? QString() : p.outside(name));

    QCOMPARE(AskToSaveProject(p.ctx()), proceed);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
    QCOMPARE(p.dialogs.unusedAnswers(), 0);
    QCOMPARE(p.dialogs.messages().size(), 1);
    QCOMPARE(p.dialogs.messages().at(0).text, kSaveQuestion);
    QCOMPARE(p.dialogs.messages().at(0).buttons, Buttons::YesNoCancel);
    if (!savePaths.isEmpty())
        QCOMPARE(p.dialogs.fileRequests().at(0).request.title, QStringLiteral("Salvar como..."));

    QCOMPARE(p.items->Count(), cleared ? 0 : 2);
    if (!cleared) {
        QCOMPARE(stacked(p), before);
        QCOMPARE(filesIn(p.ws.state.workingFolder), filesBefore);
    }
    QCOMPARE(QFileInfo::exists(p.outside(QStringLiteral("salvo.vimel"))), saved);
    if (saved) {
        Page q;
        QCOMPARE(openError(q, p.outside(QStringLiteral("salvo.vimel"))), QString());
        QCOMPARE(listed(q), before);
    }

    // An empty page goes on without asking.
    Page empty;
    QVERIFY(AskToSaveProject(empty.ctx()));
    QCOMPARE(empty.dialogs.messages().size(), 0);
}

void TestProject::saveRefused_data()
{
    QTest::addColumn<QString>(
        "where"); // "work": inside the working folder; "file": parent is a file
    QTest::addColumn<bool>("viaQuestion");

    QTest::newRow("parent folder is a regular file") << QStringLiteral("file") << false;
    QTest::newRow("inside the working folder") << QStringLiteral("work") << false;
    QTest::newRow("failed save answers the question with abort") << QStringLiteral("file") << true;
}

void TestProject::saveRefused()
{
    QFETCH(QString, where);
    QFETCH(bool, viaQuestion);

    Page p;
    p.add(picture(QStringLiteral("a.png"), QRect(1, 2, 30, 40)));
    const QStringList before = stacked(p);
    QVERIFY(writeBytes(p.outside(QStringLiteral("arquivo")), "x"));
    const QString target = where == u"work" ? p.work(QStringLiteral("dentro.vimel"))
                                            : p.outside(QStringLiteral("arquivo/p.vimel"));
    if (viaQuestion) {
        // The question comes first, then the failure's message; the page stays.
        p.dialogs.queueAnswer(Answer::Yes);
        p.dialogs.queueFile(target);
        p.dialogs.queueAnswer(Answer::Ok);
        QVERIFY(!AskToSaveProject(p.ctx()));
        QCOMPARE(p.dialogs.messages().size(), 2);
    } else {
        p.dialogs.queueAnswer(Answer::Ok);
        QVERIFY(!SaveProject(p.ctx(), target));
        QCOMPARE(p.dialogs.messages().size(), 1);
    }
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
    const QString message = p.dialogs.messages().last().text;
    QVERIFY2(message.contains(QDir::toNativeSeparators(target)), qPrintable(message));
    QCOMPARE(p.dialogs.messages().last().buttons, Buttons::Ok);
    QVERIFY(!QFileInfo::exists(target));
    QCOMPARE(stacked(p), before);
    QVERIFY(QFileInfo::exists(p.work(QStringLiteral("a.png"))));
}

void TestProject::failedWriteKeepsOldArchive()
{
    Page p;
    p.add(picture(QStringLiteral("a.png"), QRect(1, 2, 30, 40)));
    const QString archive = p.outside(QStringLiteral("velho.vimel"));
    QVERIFY(SaveProject(p.ctx(), archive));
    const QByteArray old = readAll(archive);

    // A picture that does not compress, larger than what the process may now write.
    QImage noise(300, 300, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, (seed = seed * 1664525u + 1013904223u) >> 8);
    QVERIFY(noise.save(p.work(QStringLiteral("ruido.png"))));
    const int index = p.items->Add(PictureItem, p.work(QStringLiteral("ruido.png")));
    TDesc d;
    d.FileName = p.work(QStringLiteral("ruido.png"));
    p.items->Items(index).SetAttributes(d);

    p.dialogs.queueAnswer(Answer::Ok);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = SaveProject(p.ctx(), archive);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!ok);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
    QCOMPARE(p.dialogs.messages().size(), 1);
    QCOMPARE(readAll(archive), old);
    QCOMPARE(p.items->Count(), 2);
}

void TestProject::saveTwiceUpdatesInPlace()
{
    Page p;
    p.add(picture(QStringLiteral("a.png"), QRect(1, 2, 30, 40)));
    p.add(picture(QStringLiteral("b.png"), QRect(50, 60, 30, 40)));
    const QString archive = p.outside(QStringLiteral("duas vezes.vimel"));
    QVERIFY(SaveProject(p.ctx(), archive));

    // The second save: one picture fewer, the other moved.
    p.items->Delete(1);
    p.items->Items(0).Image()->move(70, 80);
    QVERIFY(SaveProject(p.ctx(), archive));

    p.dialogs.queueAnswer(Answer::No);
    QCOMPARE(openError(p, archive), QString());
    QCOMPARE(p.items->Count(), 1);
    QCOMPARE(p.items->Items(0).Image()->geometry(), QRect(70, 80, 30, 40));
    // The entry no item uses stays in the archive and comes back into the working folder.
    QVERIFY(filesIn(p.ws.state.workingFolder).contains(QStringLiteral("b.png")));
}

void TestProject::openFromWorkingFolder()
{
    Page p;
    p.add(picture(QStringLiteral("a.png"), QRect(1, 2, 30, 40)));
    p.add(text(QStringLiteral("Olá"), QPoint(100, 100)));
    const QStringList before = stacked(p);
    const QString outside = p.outside(QStringLiteral("p.vimel"));
    QVERIFY(SaveProject(p.ctx(), outside));
    const QString inside = p.work(QStringLiteral("copia.vimel"));
    QVERIFY(QFile::copy(outside, inside));

    p.dialogs.queueAnswer(Answer::No);
    QCOMPARE(openError(p, inside), QString());
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
    QCOMPARE(p.dialogs.messages().size(), 1);
    QCOMPARE(listed(p), before);
}

void TestProject::setUpPage_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QSize>("pageSize");

    QTest::newRow("full page") << int(FullPage) << QSize(496, 702);
    QTest::newRow("folded card") << int(FoldedCard) << QSize(541, 382);
    QTest::newRow("business card") << int(BusinessCard) << QSize(380, 217);
    QTest::newRow("unknown layout") << 5 << QSize(333, 222);
    QTest::newRow("negative layout") << -1 << QSize(333, 222);
}

void TestProject::setUpPage()
{
    QFETCH(int, layout);
    QFETCH(QSize, pageSize);

    Page p;
    p.page->resize(333, 222);
    const QRgb earlier = qRgb(200, 100, 50);
    p.background->canvas().fill(earlier);
    p.background->canvasChanged();
    const QImage before = p.background->canvas().copy();

    SetUpPage(p.ctx(), layout);
    QCOMPARE(p.page->size(), pageSize);
    QCOMPARE(p.background->size(), QSize(494, 700)); // keeps its size
    const QImage canvas = p.background->canvas().convertToFormat(QImage::Format_RGB32);
    switch (layout) {
    case FullPage:
        QCOMPARE(canvas.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(canvas.pixel(493, 699), qRgb(255, 255, 255));
        QCOMPARE(canvas.pixel(271, 300), qRgb(255, 255, 255));
        break;
    case BusinessCard:
        QCOMPARE(canvas.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(canvas.pixel(379, 216), qRgb(255, 255, 255));
        QCOMPARE(canvas.pixel(380, 216), earlier);
        QCOMPARE(canvas.pixel(379, 217), earlier);
        break;
    case FoldedCard: {
        // The dashed fold at x = 271 on white, labels at the top of each half, drawn once.
        SetUpPage(p.ctx(), layout);
        QCOMPARE(p.background->canvas().convertToFormat(QImage::Format_RGB32), canvas);
        const int onFold = darkPixels(canvas, QRect(271, 40, 1, 300));
        QVERIFY2(onFold > 100 && onFold < 300, qPrintable(QString::number(onFold)));
        QCOMPARE(darkPixels(canvas, QRect(270, 0, 1, 382)), 0);
        QCOMPARE(darkPixels(canvas, QRect(272, 40, 1, 342)), 0);
        QCOMPARE(canvas.pixel(100, 200), qRgb(255, 255, 255));
        QCOMPARE(canvas.pixel(271, 390), earlier);
        QVERIFY(darkPixels(canvas, QRect(0, 0, 70, 20)) > 10);   // "Frente"
        QVERIFY(darkPixels(canvas, QRect(272, 0, 70, 20)) > 10); // "Interno"
        QCOMPARE(darkPixels(canvas, QRect(120, 0, 140, 20)), 0);
        break;
    }
    default:
        QCOMPARE(canvas, before.convertToFormat(QImage::Format_RGB32));
    }
}

QTEST_MAIN(TestProject)
#include "tst_project.moc"
