// print [--data DIR] [--paper letter|a4] [--sheet NAME] [--start N] [--cut-marks] [--dpi N]
// [--offset X,Y] [--merge DATA.csv [--rows A-B] [--quiet] [--skip-bad-rows]] ARCHIVE OUT.pdf:
// opens the archive as the program does and prints it through the print composition into a
// PDF whose printable area is the whole sheet, shifted by X,Y millimetres when asked; with a
// spreadsheet, once for every row. sheets: the card sheets --sheet takes.
#include "verbs.h"
#include "scratch.h"

#include "core/dialogs.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/state.h"
#include "core/textfile.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "print/cardstock.h"
#include "print/composition.h"
#include "print/mergeprint.h"
#include "print/paper.h"
#include "print/pdffile.h"
#include "print/printcommand.h"
#include "print/printsheet.h"
#include "storage/project.h"
#include "storage/records.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWidget>

#include <sys/stat.h>

#include <climits>
#include <cstdio>

namespace quadrela::cli {

namespace {

const QString kNotRecognised = QStringLiteral("Arquivo não reconhecido.");
constexpr int kDefaultDpi = 600;
constexpr int kMaxDpi = 9600;

void printMessage(const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

// Notices go to standard error; questions get the answer of a closed box and no file or
// printer is ever chosen.
class StderrDialogs : public ModalDialogs
{
public:
    Answer message(QWidget*, const QString& text, Buttons buttons) override
    {
        printMessage(text);
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::YesNoCancel:
            return Answer::Cancel;
        }
        return Answer::Cancel;
    }
    QString chooseFile(QWidget*, const FileDialogRequest&) override { return QString(); }
    bool choosePrinter(QWidget*, QPrinter&) override { return false; }
};

struct PrintOptions
{
    QString archive;
    QString output;
    std::optional<QPageSize::PageSizeId> paper; // the machine's own when not given
    int dpi = kDefaultDpi;
    PrintOffset offset;
    QString merge; // the spreadsheet, when the page is merged with its rows
    int firstLine = 2;
    int lastLine = INT_MAX;
    bool quiet = false;
    bool skipBadRows = false;
    bool paperGiven = false;
    CardSheet cards;
};

// "A-B", "A-" or "A": rows as the spreadsheet numbers them; the header, row 1, never
// prints.
bool parseRows(const QString& text, PrintOptions& options)
{
    const qsizetype dash = text.indexOf(u'-');
    bool okFirst = false;
    bool okLast = true;
    const QString first = dash < 0 ? text : text.left(dash);
    const QString last = dash < 0 ? text : text.mid(dash + 1);
    options.firstLine = first.toInt(&okFirst);
    options.lastLine = last.isEmpty() ? INT_MAX : last.toInt(&okLast);
    return okFirst && okLast && options.firstLine >= 1 && options.lastLine >= options.firstLine;
}

// False for a usage error.
bool parsePrintOptions(const QStringList& args, PrintOptions& options)
{
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size() && !args.at(i + 1).isEmpty();
        if (arg == u"--data") {
            if (!hasValue)
                return false;
            ++i; // nothing printed depends on the data folder
        } else if (arg == u"--paper") {
            if (!hasValue)
                return false;
            const QString paper = args.at(++i).toLower();
            if (paper == u"letter")
                options.paper = QPageSize::Letter;
            else if (paper == u"a4")
                options.paper = QPageSize::A4;
            else
                return false;
            options.paperGiven = true;
        } else if (arg == u"--sheet") {
            if (!hasValue)
                return false;
            options.cards.stock = args.at(++i);
            if (!isCardStockName(options.cards.stock)) {
                printMessage(QStringLiteral("--sheet %1: folha desconhecida; quadrela-cli sheets "
                                            "lista as folhas.")
                                 .arg(options.cards.stock));
                return false;
            }
        } else if (arg == u"--start") {
            if (!hasValue)
                return false;
            bool ok = false;
            options.cards.firstCard = args.at(++i).toInt(&ok);
            if (!ok || options.cards.firstCard < 1 || options.cards.firstCard > kCardsPerSheet)
                return false;
        } else if (arg == u"--cut-marks") {
            options.cards.cutMarks = true;
        } else if (arg == u"--dpi") {
            if (!hasValue)
                return false;
            bool ok = false;
            options.dpi = args.at(++i).toInt(&ok);
            if (!ok || options.dpi < 1 || options.dpi > kMaxDpi)
                return false;
        } else if (arg == u"--merge") {
            if (!hasValue)
                return false;
            options.merge = args.at(++i);
        } else if (arg == u"--rows") {
            if (!hasValue || !parseRows(args.at(++i), options))
                return false;
        } else if (arg == u"--quiet") {
            options.quiet = true;
        } else if (arg == u"--skip-bad-rows") {
            options.skipBadRows = true;
        } else if (arg == u"--offset") {
            if (!hasValue)
                return false;
            const std::optional<PrintOffset> offset = parsePrintOffset(args.at(++i));
            if (!offset) {
                printMessage(QStringLiteral("--offset %1: use X,Y em milímetros, com ponto "
                                            "decimal, cada um entre -10 e +10 (ex.: 2.5,-1)")
                                 .arg(args.at(i)));
                return false;
            }
            options.offset = *offset;
        } else if (arg.startsWith(u"--")) {
            return false;
        } else {
            positional.append(arg);
        }
    }
    if (positional.size() != 2 || positional.at(0).isEmpty() || positional.at(1).isEmpty())
        return false;
    // The row options mean nothing without a spreadsheet.
    const bool rowsGiven = options.firstLine != 2 || options.lastLine != INT_MAX;
    if (options.merge.isEmpty() && (rowsGiven || options.skipBadRows))
        return false;
    // Card stock is made for one paper.
    if (const CardStock& stock = cardStock(options.cards.stock); !stock.fixedTable) {
        if (options.paperGiven && options.paper != stock.paper) {
            printMessage(QStringLiteral("--sheet %1: esta folha é de papel %2.")
                             .arg(stock.name, QPageSize(stock.paper).name()));
            return false;
        }
        options.paper = stock.paper;
    }
    options.archive = positional.at(0);
    options.output = positional.at(1);
    return true;
}

QSize printableSize(std::optional<QPageSize::PageSizeId> paper, int dpi)
{
    return QPageSize(paper.value_or(QPageSize::Letter)).sizePixels(dpi);
}

// The whole sheet is the printable area.
QPageLayout wholeSheet(const PrintOptions& options)
{
    return QPageLayout(QPageSize(*options.paper), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

constexpr int kSheetsPerReport = 100;

// The sheets of every row into one PDF. A row at fault stops the job, unless the user
// asked to go on without such rows; a stopped job leaves no file behind.
int printMerged(const PrintJob& job, const PrintOptions& options)
{
    MergedSheets sheets(job, options.merge, std::max(options.firstLine, 2), options.lastLine);
    const QString summary = sheets.matchSummary();
    if (!summary.isEmpty() && !options.quiet)
        printMessage(summary);
    const int total = sheets.sheetCount();
    const auto goOn = [&](const MergeFault& fault) {
        printMessage(fault.text());
        return options.skipBadRows;
    };
    const auto progress = [&](int done, int) {
        if (!options.quiet && (done % kSheetsPerReport == 0 || done == total))
            printMessage(QStringLiteral("%1 de %2")
                             .arg(done)
                             .arg(countOf(total, QStringLiteral("folha"), QStringLiteral("folhas"))));
        return true;
    };
    MergeOutcome outcome;
    writePdf(QFileInfo(options.output).absoluteFilePath(), wholeSheet(options),
             options.dpi, [&](QPainter& painter, QPdfWriter& pdf) {
                 painter.translate(offsetPixels(options.offset, options.dpi));
                 outcome = PrintMergedSheets(painter, pdf, QSize(pdf.width(), pdf.height()),
                                             sheets, goOn, progress);
                 return outcome.kind == MergeOutcome::Printed;
             });
    if (outcome.kind != MergeOutcome::Printed) {
        if (outcome.kind == MergeOutcome::NothingToPrint)
            printMessage(QStringLiteral("Nenhuma linha da planilha para imprimir."));
        return kExitFailed;
    }
    if (!sheets.leftOut().isEmpty())
        printMessage(sheets.leftOut().size() == 1
                         ? QStringLiteral("1 linha ficou de fora.")
                         : QStringLiteral("%1 linhas ficaram de fora.").arg(sheets.leftOut().size()));
    return kExitOk;
}

} // namespace

int withOpenedArchive(const QString& archive, QSize printerPage,
                      const std::function<int(const OpenedPage&)>& work)
{
    if (!fileExists(archive))
        throw cannotOpenFile(archive);

    // A private data folder: the program's working folder and scratch picture are never
    // touched.
    const auto folder = scratchFolder();
    AppState state;
    state.dataFolder = folder->path() + u'/';
    state.workingFolder = workingFolderFor(state.dataFolder);
    if (!QDir().mkpath(state.workingFolder))
        throw Error(QStringLiteral("Não foi possível criar a pasta %1.").arg(state.workingFolder));
    state.printerPageSize = [printerPage] { return printerPage; };

    // The page as the main window builds it: a white panel with its background control.
    QWidget page;
    page.setAttribute(Qt::WA_DontShowOnScreen);
    QPalette palette = page.palette();
    palette.setColor(QPalette::Window, Qt::white);
    page.setPalette(palette);
    page.setAutoFillBackground(true);
    auto* background = new TFocusImage(&page);
    background->setGeometry(1, 1, 494, 700);
    background->setTransparent(true);
    // Shown, though never on a screen, so the page renders its items like the window.
    page.show();

    StderrDialogs dialogs;
    PageContext pageContext;
    pageContext.state = &state;
    pageContext.page = &page;
    pageContext.background = background;
    pageContext.renderFailed = [](const QString& message) { printMessage(message); };
    TCampos items(pageContext);
    const ProjectContext ctx{state, items, &page, background, dialogs, nullptr};
    SetUpPage(ctx, state.pageLayout);

    OpenProject(ctx, archive);
    // Opening shows "not recognised" and leaves an empty page; here that is a failure.
    const QString projectPath = fileInFolder(state.workingFolder, QStringLiteral("project.txt"));
    if (!fileExists(projectPath) || !hasProjectMagic(readCp1252File(projectPath)))
        return kExitFailed;

    return work(OpenedPage{state, items, &page});
}

int runSheets(const QStringList& args)
{
    if (!args.isEmpty())
        return kExitUsage;
    QByteArray out;
    for (const CardStock& stock : cardStocks())
        out += QStringLiteral("%1\t%2\n").arg(stock.name, stock.description).toUtf8();
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}

int runPrint(const QStringList& args)
{
    PrintOptions options;
    if (!parsePrintOptions(args, options))
        return kExitUsage;
    // Refused before any work is done: the output would be written only at the end.
    if (const QString refused = unwritableDestination(options.output); !refused.isEmpty())
        throw cannotWriteFile(options.output, refused);
    for (const QString& input : {options.archive, options.merge}) {
        if (!input.isEmpty() && sameFile(input, options.output))
            throw cannotWriteFile(options.output, QStringLiteral("é o arquivo de entrada %1")
                                                      .arg(QDir::toNativeSeparators(input)));
    }

    return withOpenedArchive(
        options.archive, printableSize(options.paper, options.dpi), [&](const OpenedPage& opened) {
            PrintJob job = printJobFor(opened.state, opened.items, opened.page);
            job.resolution = options.dpi;
            job.cards = options.cards;
            if (!options.paper)
                options.paper = defaultPaper(job.layout, machinePaper());
            if (!options.merge.isEmpty())
                return printMerged(job, options);
            const CompositionReport report =
                writeSheetPdf(QFileInfo(options.output).absoluteFilePath(), wholeSheet(options),
                              options.dpi, job, offsetPixels(options.offset, options.dpi));
            if (!report.textFailures.isEmpty())
                printMessage(textFailuresMessage(report.textFailures));
            return kExitOk;
        });
}

} // namespace quadrela::cli
