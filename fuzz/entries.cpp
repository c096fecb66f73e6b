#include "entries.h"

#include "catalogue/catalogue.h"
#include "codecs/picture.h"
#include "core/convert.h"
#include "core/dialogs.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/state.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "page/screencursor.h"
#include "print/composition.h"
#include "print/printeroffsets.h"
#include "print/printsheet.h"
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
#include <QUrl>
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

// Every notice is acknowledged, every question answered as set (No unless told); no file or
// printer is chosen.
class SilentDialogs : public ModalDialogs
{
public:
    Answer message(QWidget*, const QString&, Buttons buttons) override
    {
        return buttons == Buttons::Ok ? Answer::Ok : question;
    }
    QString chooseFile(QWidget*, const FileDialogRequest&) override { return QString(); }
    bool choosePrinter(QWidget*, QPrinter&) override { return false; }

    Answer question = Answer::No;
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

// Writes the file set into the folder, which must exist; the names of the files written.
QStringList writeFileSet(const QByteArray& input, const QString& folder)
{
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
    return files;
}

// Writes the file set into a folder of its own and packs it. False when nothing to open.
bool packFileSet(const QByteArray& input, const QString& folder, const QString& archive)
{
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder))
        return false;
    PackArchive(archive, writeFileSet(input, folder));
    return true;
}

// A page on a window that is never shown, with its data folder and an empty working
// folder under base, as the main window sets them up.
struct ScratchPage
{
    explicit ScratchPage(const QString& base)
    {
        state.dataFolder = base + QStringLiteral("dados/");
        state.workingFolder = workingFolderFor(state.dataFolder);
        QDir().mkpath(state.workingFolder);
        state.printerPageSize = [] { return QSize(4800, 6600); };
        window.setAttribute(Qt::WA_DontShowOnScreen);
        page->setGeometry(QRect(QPoint(10, 10), pageSizeFor(FullPage)));
        background->setGeometry(1, 1, 494, 700);
        background->setTransparent(true);
        SetUpPage(ctx, state.pageLayout);
    }

    PageContext contextFor()
    {
        PageContext context;
        context.state = &state;
        context.page = page;
        context.background = background;
        context.renderFailed = [](const QString&) {};
        return context;
    }

    AppState state;
    QWidget window;
    QWidget* page = new QWidget(&window);
    TFocusImage* background = new TFocusImage(page);
    TCampos items{contextFor()};
    SilentDialogs dialogs;
    const ProjectContext ctx{state, items, page, background, dialogs, &window};
};

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

    ScratchPage p(base);
    AppState& state = p.state;
    TCampos& items = p.items;
    QWidget* page = p.page;
    const ProjectContext& ctx = p.ctx;

    try {
        OpenProject(ctx, archive);
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

// ---- printer offsets -------------------------------------------------------------------

// The command line's "X,Y" and the settings file the offsets are kept in: whatever is
// read lies within the range, and an offset reported saved reads back, to a tenth,
// whatever the file held before.
void runPrinterOffset(const QByteArray& input)
{
    const auto check = [](const PrintOffset& offset) {
        if (!offsetInRange(offset.horizontalMm) || !offsetInRange(offset.verticalMm))
            qFatal("an offset out of range was read");
    };
    if (const std::optional<PrintOffset> offset = parsePrintOffset(asText(input.left(256))))
        check(*offset);

    const QString file = scratchFolder() + QStringLiteral("offsets.conf");
    QFile::remove(file);
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(input) != input.size())
            return;
    }
    QStringList printers{QStringLiteral("Sala")};
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("AjusteImpressora"));
        for (const QString& group : settings.childGroups().mid(0, 8))
            printers.append(QUrl::fromPercentEncoding(group.toLatin1()));
        settings.endGroup();
        for (const QString& printer : printers)
            check(loadPrinterOffset(settings, printer));
    }
    const PrintOffset wanted{-2.5, 9.9};
    QString problem;
    bool saved = false;
    {
        QSettings settings(file, QSettings::IniFormat);
        saved = savePrinterOffset(settings, printers.last(), wanted, &problem);
    }
    if (saved == !problem.isEmpty())
        qFatal("a save reported %s with the message \"%s\"", saved ? "done" : "failed",
               qPrintable(problem));
    QSettings again(file, QSettings::IniFormat);
    if (printers.last().isEmpty())
        return;
    if (saved != (loadPrinterOffset(again, printers.last()) == wanted))
        qFatal("an offset reported %s %s", saved ? "saved" : "not saved",
               saved ? "does not read back" : "was stored all the same");
}

// ---- recovery --------------------------------------------------------------------------

// The file set, written straight into the working folder as a run that did not end leaves
// it, offered for recovery and accepted: records that cannot be brought back leave the
// working folder and the page empty.
void runRecovery(const QByteArray& input)
{
    ensureApplication();
    const QString base = scratchFolder() + QStringLiteral("recovery/");
    QDir(base).removeRecursively();
    ScratchPage p(base);
    p.dialogs.question = Answer::Yes;
    writeFileSet(input, p.state.workingFolder);
    Recovery result = Recovery::Nothing;
    try {
        result = offerRecovery(p.ctx);
    } catch (const Error&) {
        qFatal("recovery let an error through");
    }
    resetScreenCursor();
    const bool emptied = QDir(p.state.workingFolder).entryList(QDir::Files).isEmpty();
    if (result == Recovery::Damaged && (p.items.Count() != 0 || !emptied))
        qFatal("damaged records left %d items and %s working folder", int(p.items.Count()),
               emptied ? "an empty" : "a full");
    p.items.Clear();
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

struct Target
{
    const char* name;
    Entry entry;
};

constexpr Target kTargets[] = {
    {"records", runRecords},
    {"catalogue", runCatalogue},
    {"open_project", runOpenProject},
    {"png", runPicture<PictureFormat::Png>},
    {"jpeg", runPicture<PictureFormat::Jpeg>},
    {"bmp", runPicture<PictureFormat::Bmp>},
    {"ico", runPicture<PictureFormat::Ico>},
    {"wmf", runPicture<PictureFormat::Wmf>},
    {"emf", runPicture<PictureFormat::Emf>},
    {"printer_offset", runPrinterOffset},
    {"recovery", runRecovery},
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
