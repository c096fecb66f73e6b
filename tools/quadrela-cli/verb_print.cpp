// print [--data DIR] [--paper letter|a4] [--dpi N] [--offset X,Y] ARCHIVE OUT.pdf: opens
// the archive as the program does and prints it through the print composition into a PDF
// whose printable area is the whole sheet, shifted by X,Y millimetres when asked.
#include "verbs.h"

#include "core/dialogs.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/state.h"
#include "core/textfile.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "print/composition.h"
#include "print/printcommand.h"
#include "print/printsheet.h"
#include "storage/project.h"
#include "storage/records.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWidget>

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
    QPageSize::PageSizeId paper = QPageSize::Letter;
    int dpi = kDefaultDpi;
    PrintOffset offset;
};

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
        } else if (arg == u"--dpi") {
            if (!hasValue)
                return false;
            bool ok = false;
            options.dpi = args.at(++i).toInt(&ok);
            if (!ok || options.dpi < 1 || options.dpi > kMaxDpi)
                return false;
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
    options.archive = positional.at(0);
    options.output = positional.at(1);
    return true;
}

QSize printableSize(QPageSize::PageSizeId paper, int dpi)
{
    return QPageSize(paper).sizePixels(dpi);
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

int runPrint(const QStringList& args)
{
    PrintOptions options;
    if (!parsePrintOptions(args, options))
        return kExitUsage;

    return withOpenedArchive(
        options.archive, printableSize(options.paper, options.dpi), [&](const OpenedPage& opened) {
            const PrintJob job = printJobFor(opened.state, opened.items, opened.page);
            const CompositionReport report = writeSheetPdf(
                QFileInfo(options.output).absoluteFilePath(),
                QPageLayout(QPageSize(options.paper), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)),
                options.dpi, job, offsetPixels(options.offset, options.dpi));
            if (!report.textFailures.isEmpty())
                printMessage(textFailuresMessage(report.textFailures));
            return kExitOk;
        });
}

} // namespace quadrela::cli
