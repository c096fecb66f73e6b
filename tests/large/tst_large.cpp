// Pages far larger than the shipped templates: 500 items must open, save, reopen and print
// exactly as they were, and opening an archive of 100 MB of pictures must not hold more
// memory than those pictures need.
#include "core/convert.h"
#include "core/textfile.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "page/screencursor.h"
#include "print/composition.h"
#include "print/placement.h"
#include "projectpage.h"
#include "scripteddialogs.h"
#include "storage/project.h"
#include "storage/records.h"
#include "workspace.h"
#include "zip/archive.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTest>

#include <memory>

using namespace quadrela;
using namespace quadrela::test;

namespace {

// The page as the main window holds it, never shown.
class Page : public ProjectPage
{
public:
    explicit Page(int layout) : ProjectPage(layout) { window.setAttribute(Qt::WA_DontShowOnScreen); }
};

QColor pictureColour(int n)
{
    return QColor::fromHsv((n * 37) % 360, 120 + (n * 11) % 136, 140 + (n * 7) % 116);
}

// The page divided into 20 columns and 25 rows. Columns 0-14 hold pictures (one cell holds
// the border instead), 15-19 texts.
constexpr int kColumns = 20;
constexpr int kRows = 25;
constexpr int kPictureColumns = 15;
QRect cell(QSize page, int column, int row)
{
    const int w = page.width() / kColumns;
    const int h = page.height() / kRows;
    return QRect(column * w + 2, row * h + 2, w - 4, h - 4);
}

struct Expected
{
    QRect geometry;  // page pixels
    QColor colour;
};

// Fills the page with 500 items, returns the pictures' places and colours.
QList<Expected> fillPage(Page& p)
{
    QList<Expected> pictures;
    const QString border = writePicture(p.work(QStringLiteral("moldura.png")), QSize(60, 80), Qt::gray);
    p.items->Add(BorderItem, border);
    TDesc b;
    b.FileName = border;
    p.items->Items(0).SetAttributes(b);

    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            if (row == 0 && column == 0)
                continue;  // the border's place
            const int n = row * kColumns + column;
            if (column < kPictureColumns) {
                const QString name = QStringLiteral("foto%1.png").arg(n);
                const QString path = writePicture(p.work(name), QSize(16, 16), pictureColour(n));
                const int index = p.items->Add(PictureItem, path);
                TImg& item = p.items->Items(index);
                TDesc d;
                // Stored as another computer wrote it: the copy in the working folder is used.
                d.FileName = QStringLiteral("C:\\Fotos\\") + name;
                item.SetAttributes(d);
                item.Image()->setGeometry(cell(p.page->size(), column, row));
                pictures.append({cell(p.page->size(), column, row), pictureColour(n)});
            } else {
                TextAttributes a;
                a.FontName = QStringLiteral("Liberation Sans");
                a.FontSize = 5;
                a.Color = 0x0000FF;
                a.Style = quint8(n % 4);
                p.ws.state.text = a;
                const QString text = QString::number(n % 100);
                const int index = p.items->Add(TextItem, text);
                TImg& item = p.items->Items(index);
                TDesc d;
                d.Text = text;
                d.FontName = a.FontName;
                d.FontSize = a.FontSize;
                d.Color = a.Color;
                d.Style = a.Style;
                item.SetAttributes(d);
                item.SetLeft(cell(p.page->size(), column, row).x());
                item.SetTop(cell(p.page->size(), column, row).y());
            }
        }
    }
    return pictures;
}

const QSize kPrintable(992, 1404);  // twice the full page: every picture lands on whole pixels

QImage printPage(Page& p, int* drawn)
{
    QImage sheet(kPrintable, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    const CompositionReport report = ComposePage(painter, kPrintable, printJobFor(p.ws.state, *p.items, p.page));
    painter.end();
    *drawn = report.itemsDrawn;
    return sheet;
}

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) <= 3 && qAbs(a.green() - b.green()) <= 3 &&
           qAbs(a.blue() - b.blue()) <= 3;
}

qint64 entrySize(const QString& archive, const QString& name, QByteArray* bytes = nullptr)
{
    QTemporaryDir out;
    UnpackArchive(archive, out.path());
    QFile f(out.path() + u'/' + name);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    if (bytes)
        *bytes = f.readAll();
    return f.size();
}

// ---- the memory-measuring child ---------------------------------------------------------

qint64 statusKb(const char* field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Runs in a fresh process: opens the archive on an empty page and prints the peak resident
// memory before and after, so nothing the test itself allocated is counted.
int openChild(const QString& archive)
{
    Page p(FullPage);
    const qint64 before = statusKb("VmHWM:");
    OpenProject(p.ctx(), archive);
    const qint64 after = statusKb("VmHWM:");
    int pictures = 0;
    for (int i = 0; i < p.items->Count(); ++i)
        pictures += p.items->Items(i).Kind() == PictureItem ? 1 : 0;
    std::printf("items %d pictures %d messages %lld before %lld after %lld\n", p.items->Count(),
                pictures, qlonglong(p.dialogs.messages().size()), qlonglong(before), qlonglong(after));
    return 0;
}

} // namespace

class TestLarge : public QObject
{
    Q_OBJECT

private slots:
    void fiveHundredItems_data();
    void fiveHundredItems();
    void hundredMegabytesOfPictures();
};

void TestLarge::fiveHundredItems_data()
{
    QTest::addColumn<int>("layout");
    QTest::newRow("full page") << int(FullPage);
    QTest::newRow("folded card: the front printed turned") << int(FoldedCard);
}

void TestLarge::fiveHundredItems()
{
    QFETCH(int, layout);
    Page p(layout);
    const QList<Expected> pictures = fillPage(p);
    QCOMPARE(p.items->Count(), 500);
    const QByteArray records = itemRecordFileFor(*p.items, p.page);

    int drawn = 0;
    const QImage printed = printPage(p, &drawn);
    QCOMPARE(drawn, 500);
    // Every picture is on the sheet where the placement puts it, in its own colour. The
    // band of fill colour around its black middle is a quarter of its size.
    for (const Expected& e : pictures) {
        const auto placed = placeItem(layout, PictureItem, e.geometry, p.page->size(), kPrintable);
        QVERIFY(placed);
        const QRect r = placed->rect;
        for (const QPoint at : {r.topLeft() + QPoint(2, 2), r.bottomRight() - QPoint(2, 2)})
            QVERIFY2(near(printed.pixelColor(at), e.colour),
                     qPrintable(QStringLiteral("picture at %1,%2 printed %3 instead of %4")
                                    .arg(e.geometry.x())
                                    .arg(e.geometry.y())
                                    .arg(printed.pixelColor(at).name(), e.colour.name())));
    }

    const QString archive = p.ws.outside() + QStringLiteral("grande.vimel");
    QVERIFY(SaveProject(p.ctx(), archive));
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
    QByteArray packed;
    QVERIFY(entrySize(archive, QStringLiteral("item.txt"), &packed) > 0);
    QCOMPARE(packed, records);

    Page q(layout == FullPage ? FoldedCard : FullPage);
    OpenProject(q.ctx(), archive);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(q.dialogs);
    QCOMPARE(q.dialogs.messages().size(), 0);
    QCOMPARE(q.ws.state.pageLayout, layout);
    QCOMPARE(q.items->Count(), 500);
    QCOMPARE(q.renderFailures, QStringList());
    // Same kinds, places, files and texts in the same stacking order: the records match.
    QCOMPARE(itemRecordFileFor(*q.items, q.page), records);

    int drawnAgain = 0;
    const QImage reprinted = printPage(q, &drawnAgain);
    QCOMPARE(drawnAgain, 500);
    QVERIFY(reprinted == printed);

    // Saved again from the reopened page, the records are the same once more.
    const QString again = q.ws.outside() + QStringLiteral("de-novo.vimel");
    QVERIFY(SaveProject(q.ctx(), again));
    QVERIFY(entrySize(again, QStringLiteral("item.txt"), &packed) > 0);
    QCOMPARE(packed, records);
}

void TestLarge::hundredMegabytesOfPictures()
{
    // Eight 24-bit BMPs of 2048 x 2048 are 12.6 MB each on disk and in memory, about
    // 100 MB in all; broad colour bands deflate them to a small archive.
    constexpr int kPictures = 8;
    constexpr int kSide = 2048;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QStringList files;
    QList<TItem> records;
    qint64 pictureBytes = 0;
    for (int n = 0; n < kPictures; ++n) {
        QImage image(kSide, kSide, QImage::Format_RGB888);
        image.fill(pictureColour(n));
        QPainter painter(&image);
        for (int band = 0; band < 16; ++band)
            painter.fillRect(QRect(0, band * kSide / 16, kSide, kSide / 32), pictureColour(n + band + 1));
        painter.end();
        const QString path = dir.path() + QStringLiteral("/grande%1.bmp").arg(n);
        QVERIFY(image.save(path, "BMP"));
        pictureBytes += QFileInfo(path).size();
        files.append(path);
        TItem r;
        r.Kind = PictureItem;
        r.FileName = path;
        r.Left = 10 * n;
        r.Top = 10 * n;
        r.Width = 200;
        r.Height = 200;
        records.append(r);
    }
    QVERIFY(pictureBytes >= 100LL * 1000 * 1000);
    QVERIFY(writeWholeFile(dir.path() + QStringLiteral("/project.txt"), ProjectRecordBytes(kPictures, FullPage)));
    QVERIFY(writeWholeFile(dir.path() + QStringLiteral("/item.txt"), ItemRecordsBytes(records)));
    files << dir.path() + QStringLiteral("/project.txt") << dir.path() + QStringLiteral("/item.txt");
    const QString archive = dir.path() + QStringLiteral("/fotos.vimel");
    QCOMPARE(PackArchive(archive, files), kPictures + 2);
    QVERIFY(QFileInfo(archive).size() < pictureBytes / 20);

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open-child"), archive});
    QVERIFY(child.waitForFinished(300000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    const QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
    QCOMPARE(words.size(), 10);
    QCOMPARE(words.at(1).toInt(), kPictures);   // items
    QCOMPARE(words.at(3).toInt(), kPictures);   // pictures
    QCOMPARE(words.at(5).toInt(), 0);           // no "could not be read" notice
    const qint64 grownKb = words.at(9).toLongLong() - words.at(7).toLongLong();
    qInfo("opening %lld MB of pictures raised the peak resident memory by %lld MB",
          pictureBytes / 1000000, grownKb / 1024);
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("memory under AddressSanitizer is not the program's");
#endif
    // What the pictures need: each item keeps its picture as a 32-bit bitmap (it is stretched
    // from it whenever the item is resized), and one file is read and decoded at a time.
    // Keeping the files' bytes as well, a second copy of each bitmap, or the archive in
    // memory would each need about 100 MB more than this.
    const qint64 bitmaps = qint64(kPictures) * kSide * kSide * 4;
    const qint64 onePicture = pictureBytes / kPictures + qint64(kSide) * kSide * 4;
    const qint64 budgetKb = (bitmaps + onePicture + 48LL * 1024 * 1024) / 1024;
    QVERIFY2(grownKb <= budgetKb,
             qPrintable(QStringLiteral("grew by %1 kB, budget %2 kB").arg(grownKb).arg(budgetKb)));
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--open-child") == 0)
        return openChild(QString::fromLocal8Bit(argv[2]));
    TestLarge test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_large.moc"
