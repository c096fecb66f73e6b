#include "entries.h"

#include "catalogue/catalogue.h"
#include "codecs/picture.h"
#include "core/convert.h"
#include "core/dialogs.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/state.h"
#include "core/workfolder.h"
#include "merge/csvreader.h"
#include "merge/fields.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "page/screencursor.h"
#include "print/composition.h"
#include "print/printeroffsets.h"
#include "storage/project.h"
#include "storage/records.h"
#include "storage/recovery.h"
#include "zip/archive.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

namespace quadrela::fuzz {

namespace {

// Decoded the way the program reads its own text files.
QString asText(const QByteArray& input)
{
    return fromCp1252(input);
}

// The data folder the records name when a file-name line is empty.
const QString kDataFolder = QStringLiteral("/dados/");

// Record files: the project record and every item record it announces, read record by
// record and in one pass (they must agree), and the text of the chunk itself.
void runRecords(const QByteArray& input)
{
    const QString text = asText(input);
    (void)hasProjectMagic(text);
    int count = 0;
    try {
        const ProjectRecord project = ReadProjectRecord(text);
        count = project.itemCount;
    } catch (const Error&) {
    }
    try {
        (void)ReadSectionInt(QStringLiteral("ItemCount"), text);
    } catch (const Error&) {
    }
    try {
        (void)ReadSectionInt(QStringLiteral("Impressao"), text);
    } catch (const Error&) {
    }
    (void)ExtractTaggedText(text);

    // The file is also read as an item record file; at most a few hundred records, the
    // rest is the same code again.
    count = std::clamp(count, 0, 300);
    if (count == 0)
        count = std::min<int>(8, int(text.count(u'[')));
    const QList<TItem> all = ReadItemRecords(text, count, kDataFolder);
    if (all.size() != count)
        qFatal("ReadItemRecords gave %lld records for %d", qlonglong(all.size()), count);
    for (int i = 0; i < count; ++i) {
        TItem one;
        ReadItemRecord(i, text, kDataFolder, one);
        if (!(one == all.at(i)))
            qFatal("ReadItemRecord and ReadItemRecords disagree on record %d", i);
    }

    // What is read back is written and read again unchanged in meaning.
    if (!all.isEmpty()) {
        const QString again = fromCp1252(ItemRecordsBytes(all));
        const QList<TItem> reread = ReadItemRecords(again, count, kDataFolder);
        if (reread.size() != all.size())
            qFatal("written records do not read back");
    }
}

// The template catalogue under every key the dialog asks for plus the one in the input's
// first line, and the border list paired with a preview count taken from the input.
void runCatalogue(const QByteArray& input)
{
    const QString text = asText(input);
    for (const Category& c : kHomeCategories)
        (void)FindCategoryEntry(QString::fromLatin1(c.key), text);
    for (const Category& c : kBusinessCategories)
        (void)FindCategoryEntry(QString::fromLatin1(c.key), text);
    const QString firstLine = text.section(u'\n', 0, 0).left(64);
    const CategoryEntry entry = FindCategoryEntry(firstLine, text);
    if (entry.modelCount <= kMaxModelCount)
        (void)modelCaptions(entry.modelCount);
    (void)templatePreviewPath(kDataFolder, entry.filePrefix, 1);
    (void)templateArchivePath(kDataFolder, entry.filePrefix, entry.modelCount);

    const QStringList lines = borderListLines(text);
    const int previews = input.isEmpty() ? 0 : int(quint8(input.at(0))) - 16;
    const QStringList offered = offeredBorderNames(lines, previews);
    if (offered.size() > lines.size() || offered.size() > std::max(previews, 0))
        qFatal("more borders offered than listed or previewed");
    for (qsizetype i = 0; i < offered.size(); ++i)
        if (offered.at(i) != lines.at(i))
            qFatal("border %lld paired with the wrong line", qlonglong(i));
}

// ---- opening a project -----------------------------------------------------------------

// Every notice is acknowledged, every question answered `answer`; no file or printer is chosen.
class SilentDialogs : public ModalDialogs
{
public:
    Answer answer = Answer::No;
    Answer message(QWidget*, const QString&, Buttons buttons) override
    {
        return buttons == Buttons::Ok ? Answer::Ok : answer;
    }
    QString chooseFile(QWidget*, const FileDialogRequest&) override { return QString(); }
    bool choosePrinter(QWidget*, QPrinter&) override { return false; }
};

// A private data folder, kept for the whole run.
const QString& scratchFolder()
{
    static QTemporaryDir dir;
    static const QString path = dir.path() + u'/';
    return path;
}

QList<QByteArray> splitFileSet(const QByteArray& input)
{
    QList<QByteArray> parts;
    const QByteArray sep(kFileSeparator);
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = input.indexOf(sep, from);
        if (at < 0) {
            parts.append(input.mid(from));
            return parts;
        }
        parts.append(input.mid(from, at - from));
        from = at + sep.size();
    }
}

// Writes the file set into a folder of its own and packs it. False when nothing to open.
bool packFileSet(const QByteArray& input, const QString& folder, const QString& archive)
{
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder))
        return false;
    const QList<QByteArray> parts = splitFileSet(input);
    QStringList files;
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(folder + name);
        if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size())
            files.append(folder + name);
    };
    write(QStringLiteral("project.txt"), parts.at(0));
    if (parts.size() > 1)
        write(QStringLiteral("item.txt"), parts.at(1));
    for (qsizetype i = 2; i < parts.size(); ++i) {
        const QByteArray& part = parts.at(i);
        const qsizetype nl = part.indexOf('\n');
        const QString name = QString::fromUtf8(part.left(nl < 0 ? 0 : nl));
        if (name.isEmpty() || name.size() > 100 || name.contains(u'/') || name.contains(u'\\') ||
            name.contains(QChar(0)) || name == u"." || name == u"..")
            continue;
        write(name, part.mid(nl + 1));
    }
    PackArchive(archive, files);
    return true;
}

// Opens the input as a project; or, `recover`ing, unpacks it into the working folder, as a
// run that did not end leaves it, and accepts the offer to bring the page back.
template <bool recover>
void runOpenProject(const QByteArray& input)
{
    ensureApplication();
    const QString base = scratchFolder();
    const QString archive = base + QStringLiteral("input.vimel");
    QFile::remove(archive);
    try {
        if (input.startsWith("PK")) {
            QFile f(archive);
            if (!f.open(QIODevice::WriteOnly) || f.write(input) != input.size())
                return;
        } else if (!packFileSet(input, base + QStringLiteral("set/"), archive)) {
            return;
        }
    } catch (const Error&) {
        return;
    }

    AppState state;
    state.dataFolder = base + QStringLiteral("dados/");
    state.workingFolder = workingFolderFor(state.dataFolder);
    QDir().mkpath(state.workingFolder);
    state.printerPageSize = [] { return QSize(4800, 6600); };

    QWidget window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    auto* page = new QWidget(&window);
    page->setGeometry(QRect(QPoint(10, 10), pageSizeFor(FullPage)));
    auto* background = new TFocusImage(page);
    background->setGeometry(1, 1, 494, 700);
    background->setTransparent(true);
    PageContext context;
    context.state = &state;
    context.page = page;
    context.background = background;
    context.renderFailed = [](const QString&) {};
    TCampos items(context);
    SilentDialogs dialogs;
    const ProjectContext ctx{state, items, page, background, dialogs, &window};
    SetUpPage(ctx, state.pageLayout);

    try {
        if (recover) {
            EmptyWorkingFolder(state.workingFolder);
            UnpackArchive(archive, state.workingFolder);
            dialogs.answer = Answer::Yes;
            if (offerRecovery(ctx) == Recovery::Damaged &&
                (items.Count() > 0 || !QDir(state.workingFolder).isEmpty(QDir::Files)))
                qFatal("damaged records left on the page or in the working folder");
        } else {
            OpenProject(ctx, archive);
        }
    } catch (const Error&) {
        // Reported to the user; whatever was opened stays on the page.
    }
    resetScreenCursor();

    // The page as opened is printed on a small sheet: every picture is loaded again and
    // every text rendered again, as printing does.
    if (items.Count() > 0) {
        const PrintJob job = printJobFor(state, items, page);
        QImage sheet(425, 550, QImage::Format_ARGB32_Premultiplied);
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        try {
            (void)ComposePage(painter, sheet.size(), job);
        } catch (const Error&) {
        }
    }
    items.Clear();
}

// The offsets typed after --offset and kept in the settings file: none read is out of range,
// and a save is reported done exactly when the file holds the offset afterwards.
void runPrinterOffset(const QByteArray& input)
{
    const QString file = scratchFolder() + QStringLiteral("offsets.conf");
    const QString printer = QStringLiteral("Sala");
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(input) != input.size())
        return;
    f.close();
    QSettings settings(file, QSettings::IniFormat);
    const PrintOffset wanted{-2.5, 9.9};
    for (const PrintOffset& o : {parsePrintOffset(asText(input.left(99))).value_or(wanted),
                                 loadPrinterOffset(settings, printer)})
        if (!offsetInRange(o.horizontalMm) || !offsetInRange(o.verticalMm))
            qFatal("an offset out of range was read");
    const bool saved = savePrinterOffset(settings, printer, wanted);
    QSettings again(file, QSettings::IniFormat);
    if (saved != (loadPrinterOffset(again, printer) == wanted))
        qFatal("a save reported %s", saved ? "done left no offset" : "failed stored the offset");
}

// ---- pictures -------------------------------------------------------------------------

template <PictureFormat F>
void runPicture(const QByteArray& input)
{
    ensureApplication();
    TPicture picture;
    try {
        picture.LoadFromData(input, F);
    } catch (const Error&) {
        if (!picture.isEmpty())
            qFatal("a picture that failed to load is not empty");
        return;
    }
    const QImage image = picture.toImage();
    if (image.isNull() || image.width() != picture.width() || image.height() != picture.height())
        qFatal("decoded %dx%d but the bitmap is %dx%d", picture.width(), picture.height(),
               image.width(), image.height());
    // Drawn as the page and printing draw it: whole and stretched into a small place.
    QImage canvas(64, 64, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    picture.draw(p, QPoint(-3, -3));
    picture.stretchDraw(p, QRect(5, 7, 50, 31));
}

// ---- mail merge -----------------------------------------------------------------------

// A spreadsheet read to its end: rows in order, and the first again after rewinding.
void runCsv(const QByteArray& input)
{
    QFile file(scratchFolder() + QStringLiteral("fuzz.csv"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(input) != input.size())
        qFatal("cannot write the spreadsheet");
    file.close();
    try {
        CsvReader reader(file.fileName());
        CsvRecord record, first;
        int last = 0;
        while (reader.next(record)) {
            if (record.line <= last || record.oversized >= record.fields.size())
                qFatal("row %d after %d, oversized column %d", record.line, last, record.oversized);
            first = last ? first : record;
            last = record.line;
        }
        reader.rewind();
        if (last && (!reader.next(record) || record.fields != first.fields))
            qFatal("rewinding does not give the first row again");
    } catch (const Error&) {
    }
}

// A text, a header and a row apart by NUL bytes; header and row split at tabs.
void runFields(const QByteArray& input)
{
    const QList<QByteArray> parts = input.split('\0');
    const QString text = QString::fromUtf8(parts.value(0));
    const QStringList header = QString::fromUtf8(parts.value(1)).split(u'\t');
    const FieldMatch match = matchFields(fieldNames(text), header);
    for (int column : match.columnOf)
        if (column < 0 || column >= header.size())
            qFatal("a field matched column %d", column);
    (void)fillFields(text, match, QString::fromUtf8(parts.value(2)).split(u'\t'));
}

struct Target
{
    const char* name;
    Entry entry;
};

constexpr Target kTargets[] = {
    {"records", runRecords},
    {"catalogue", runCatalogue},
    {"open_project", runOpenProject<false>},
    {"png", runPicture<PictureFormat::Png>},
    {"jpeg", runPicture<PictureFormat::Jpeg>},
    {"bmp", runPicture<PictureFormat::Bmp>},
    {"ico", runPicture<PictureFormat::Ico>},
    {"wmf", runPicture<PictureFormat::Wmf>},
    {"emf", runPicture<PictureFormat::Emf>},
    {"printer_offset", runPrinterOffset},
    {"recovery", runOpenProject<true>},
    {"csv", runCsv},
    {"fields", runFields},
};

} // namespace

QStringList targetNames()
{
    QStringList names;
    for (const Target& t : kTargets)
        names.append(QString::fromLatin1(t.name));
    return names;
}

Entry entryFor(const QString& target)
{
    for (const Target& t : kTargets)
        if (target == QLatin1String(t.name))
            return t.entry;
    return nullptr;
}

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quadrela-fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

} // namespace quadrela::fuzz
