// The shipped templates as the new-project dialog meets them in the built data folder:
// every category offers models whose preview and archive exist, every archive opens on a
// real page into the items its records promise, with their pictures and inside the page,
// and the record sources are byte for byte what the program writes.
#include "catalogue/catalogue.h"
#include "codecs/picture.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "scripteddialogs.h"
#include "storage/codemaps.h"
#include "storage/project.h"
#include "storage/records.h"
#include "workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <memory>

using namespace quadrela;
using namespace quadrela::test;

namespace {

const QString kData = QStringLiteral(QUADRELA_BUILT_DATA);
const QString kSources = QStringLiteral(QUADRELA_SOURCE_DIR "/data-src/templates/");
const QSize kPreviewBox(220, 311);
// Where a folded card is folded: the front ends here, the inside begins here.
const int kFold = 270;
// The text renderer leaves this many white pixels right of the widest line.
const int kTextMargin = 15;

QString catalogueText()
{
    return readCp1252File(templateCataloguePath(kData));
}

QList<QByteArray> categoryKeys()
{
    QList<QByteArray> keys;
    for (const Category& c : kHomeCategories)
        keys.append(c.key);
    for (const Category& c : kBusinessCategories)
        keys.append(c.key);
    return keys;
}

// The page as the main window holds it, with the dialogs answered from a script that
// expects no question at all.
struct Page
{
    Page()
    {
        page = new QWidget(&window);
        page->setGeometry(QRect(QPoint(10, 10), pageSizeFor(FullPage)));
        background = new TFocusImage(page);
        background->setGeometry(1, 1, 494, 700);
        PageContext context;
        context.state = &ws.state;
        context.page = page;
        context.background = background;
        context.renderFailed = [this](const QString& m) { renderFailures.append(m); };
        items = std::make_unique<TCampos>(std::move(context));
    }
    ProjectContext ctx()
    {
        return ProjectContext{ws.state, *items, page, background, dialogs, &window};
    }

    Workspace ws;
    QWidget window;
    QWidget* page = nullptr;
    TFocusImage* background = nullptr;
    std::unique_ptr<TCampos> items;
    ScriptedDialogs dialogs;
    QStringList renderFailures;
};

QString describe(const TImg& item)
{
    const QRect g = item.Image()->geometry();
    return QStringLiteral("item kind %1 [%2%3] at %4,%5 %6x%7")
        .arg(item.Kind())
        .arg(item.Attributes().FileName, item.Attributes().Text.left(30))
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height());
}

// Where an item lies off its page, or across the fold of a folded card; empty when it
// lies well. A text's picture ends in a white margin, which may reach past the edge.
QString misplacement(const TImg& item, int layout)
{
    const QRect g = item.Image()->geometry();
    const QSize page = pageSizeFor(layout);
    const int inkRight = g.x() + g.width() - (item.Kind() == TextItem ? kTextMargin : 0);
    if (g.x() < 0 || g.y() < 0 || inkRight > page.width() || g.bottom() >= page.height())
        return QStringLiteral("off the page: ") + describe(item);
    if (layout != FoldedCard)
        return {};
    if (item.Kind() == BorderItem) {
        if ((g.x() != 0 && g.x() != kFold) || g.width() != kFold || g.height() != page.height())
            return QStringLiteral("not a half of the card: ") + describe(item);
    } else if (g.x() < kFold && inkRight > kFold + 1) {
        return QStringLiteral("across the fold: ") + describe(item);
    }
    return {};
}

} // namespace

class TestTemplates : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void categoryOffersModels_data();
    void categoryOffersModels();
    void templateOpensAsRecorded_data();
    void templateOpensAsRecorded();
    void recordSourcesAreWrittenBytes_data();
    void recordSourcesAreWrittenBytes();
};

void TestTemplates::initTestCase()
{
    QVERIFY2(QFileInfo(templateCataloguePath(kData)).isFile(), "the build made no modelos.txt");
}

void TestTemplates::categoryOffersModels_data()
{
    QTest::addColumn<QString>("key");
    for (const QByteArray& key : categoryKeys())
        QTest::newRow(key.constData()) << QString::fromLatin1(key);
}

// What the dialog shows for a category: its models' previews fitted into the preview
// panel, an archive for each, and none for "no model chosen" (OK without a chosen model
// must give a blank page).
void TestTemplates::categoryOffersModels()
{
    QFETCH(QString, key);
    const CategoryEntry entry = FindCategoryEntry(key, catalogueText());
    QVERIFY2(!entry.filePrefix.isEmpty(), "no entry in the catalogue");
    QVERIFY2(entry.modelCount >= 2, qPrintable(QStringLiteral("%1 models").arg(entry.modelCount)));

    const QString cover = templatePreviewPath(kData, entry.filePrefix, 0);
    QVERIFY2(!QFileInfo(templateArchivePath(kData, entry.filePrefix, 0)).exists(),
             "an archive for model 0 would be opened when no model is chosen");
    for (int model = 0; model <= entry.modelCount; ++model) {
        const QString preview = templatePreviewPath(kData, entry.filePrefix, model);
        if (model > 0) {
            const QString archive = templateArchivePath(kData, entry.filePrefix, model);
            QVERIFY2(QFileInfo(archive).isFile(), qPrintable(archive));
        } else if (!QFileInfo(cover).exists()) {
            continue;
        }
        QVERIFY2(QFileInfo(preview).isFile(), qPrintable(preview));
        TPicture picture;
        picture.LoadFromFile(preview);
        const QSize size(picture.width(), picture.height());
        // Every page is larger than the panel, so a fitted preview touches its box.
        QVERIFY2(
            size.width() <= kPreviewBox.width() && size.height() <= kPreviewBox.height() &&
                (size.width() == kPreviewBox.width() || size.height() == kPreviewBox.height()),
            qPrintable(
                QStringLiteral("%1 is %2x%3").arg(preview).arg(size.width()).arg(size.height())));
    }
}

void TestTemplates::templateOpensAsRecorded_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<int>("layout");
    const QString text = catalogueText();
    for (const QByteArray& key : categoryKeys()) {
        const CategoryEntry entry = FindCategoryEntry(QString::fromLatin1(key), text);
        for (int model = 1; model <= entry.modelCount; ++model) {
            const QString archive = templateArchivePath(kData, entry.filePrefix, model);
            QTest::newRow(qPrintable(QFileInfo(archive).fileName())) << archive << entry.layout;
        }
    }
}

// Opening a template as OK does: one item per record, each border and picture from its
// own copy in the working folder (never the missing-picture notice), texts rendered in a
// font every system has and in a colour that shows, all of it on the category's page.
void TestTemplates::templateOpensAsRecorded()
{
    QFETCH(QString, archive);
    QFETCH(int, layout);
    Page p;
    QVERIFY(p.ws.isValid());
    OpenProject(p.ctx(), archive);
    QUADRELA_VERIFY_SCRIPT_FOLLOWED(p.dialogs);
    QVERIFY2(p.dialogs.messages().isEmpty(), qPrintable(p.dialogs.messageTexts().join(u'|')));
    QVERIFY2(p.renderFailures.isEmpty(), qPrintable(p.renderFailures.join(u'|')));

    QCOMPARE(p.ws.state.pageLayout, layout);
    QCOMPARE(p.page->size(), pageSizeFor(layout));
    const QString project =
        readCp1252File(p.ws.state.workingFolder + QStringLiteral("project.txt"));
    const int recorded = ReadSectionInt(QStringLiteral("ItemCount"), project);
    QCOMPARE(p.items->Count(), recorded);
    QVERIFY(recorded >= 3);

    int borders = 0, pictures = 0, texts = 0;
    for (int i = 0; i < p.items->Count(); ++i) {
        const TImg& item = p.items->Items(i);
        const TDesc& a = item.Attributes();
        const QString where = misplacement(item, layout);
        QVERIFY2(where.isEmpty(), qPrintable(where));
        if (item.Kind() == TextItem) {
            ++texts;
            QVERIFY2(!a.Text.trimmed().isEmpty(), qPrintable(describe(item)));
            QVERIFY2(QStringList({"Arial", "Times New Roman", "Courier New"}).contains(a.FontName),
                     qPrintable(a.FontName));
            QVERIFY2(a.Color != 0xFFFFFF, "white text is transparent and never shows");
            QVERIFY2(a.FontSize >= 4 && a.FontSize <= 48, qPrintable(describe(item)));
            continue;
        }
        item.Kind() == BorderItem ? ++borders : ++pictures;
        const QString copy = p.ws.state.workingFolder + fileNamePart(a.FileName);
        QVERIFY2(QFileInfo(copy).isFile(),
                 qPrintable(QStringLiteral("no working copy for ") + describe(item)));
        TPicture picture;
        picture.LoadFromFile(copy);
        // The notice would show a rendered text instead of the picture.
        QCOMPARE(item.Image()->pictureSize(), QSize(picture.width(), picture.height()));
    }
    QVERIFY2(borders + pictures >= 1 && texts >= 1,
             qPrintable(QStringLiteral("%1 borders, %2 pictures, %3 texts")
                            .arg(borders)
                            .arg(pictures)
                            .arg(texts)));
}

void TestTemplates::recordSourcesAreWrittenBytes_data()
{
    QTest::addColumn<QString>("folder");
    const QDir sources(kSources);
    const QStringList folders = sources.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    int rows = 0;
    for (const QString& name : folders) {
        if (QFileInfo(sources.filePath(name + QStringLiteral("/item.txt"))).isFile()) {
            QTest::newRow(qPrintable(name)) << sources.filePath(name) + u'/';
            ++rows;
        }
    }
    QVERIFY2(rows >= 50, "the template sources are missing");
}

// The committed records are what saving writes: Windows-1252 with CR LF, nothing a
// checkout or an editor could have converted, and every record readable.
void TestTemplates::recordSourcesAreWrittenBytes()
{
    QFETCH(QString, folder);
    const QByteArray projectBytes = readAll(folder + QStringLiteral("project.txt"));
    const QByteArray itemBytes = readAll(folder + QStringLiteral("item.txt"));
    const QString project = readCp1252File(folder + QStringLiteral("project.txt"));
    const int count = ReadSectionInt(QStringLiteral("ItemCount"), project);
    const std::optional<int> layout =
        CodeToLayout(ReadSectionInt(QStringLiteral("Impressao"), project));
    QVERIFY(layout.has_value());
    QCOMPARE(projectBytes, ProjectRecordBytes(count, *layout));

    QList<TItem> records =
        ReadItemRecords(readCp1252File(folder + QStringLiteral("item.txt")), count, QString());
    QCOMPARE(records.size(), count);
    for (TItem& record : records) {
        QVERIFY2(record != fallbackItemRecord(), "a record that cannot be read");
        // Borders and pictures have no font: saving writes an empty font line for them,
        // which reads back as Arial.
        if (record.Kind != TextItem && record.FontName == u"Arial")
            record.FontName.clear();
    }
    QCOMPARE(itemBytes, ItemRecordsBytes(records));
}

QTEST_MAIN(TestTemplates)
#include "tst_templates.moc"
