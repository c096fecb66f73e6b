// A business card (a logo and two text blocks with fields) merged with 1,000 spreadsheet
// rows into one PDF of 100 sheets, against printing the same card unmerged 100 times
// into one PDF, times ten (each unmerged sheet composes one card, a merged one ten), and
// against the same rows composed as cards were once composed: every card a 1050 x 600
// bitmap of its own, its texts rendered as pictures, stretched into its place. Both merges
// report the PDF's bytes per sheet in the counter "bytes_per_sheet".
//
// Built a second time as bench_mergememory: the peak memory of merging 10,000 rows of a
// full page with one text into a PDF, against merging 100 rows, each in a forked child; both report
// the child's peak resident size in the counter "peak_bytes".
#include "fixtures.h"
#include "imaging/picload.h"
#include "imaging/textrender.h"
#include "print/composition.h"
#include "print/mergeprint.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace quadrela;

const QString kName = QStringLiteral("{Nome}");
const QString kRole = QStringLiteral("{Cargo}\r\n{Telefone}");

QString logoFile()
{
    return bench::writePicture(bench::makePhoto(600, 600, 7), QStringLiteral("merge-logo.png"), -1);
}

PrintItem textItem(const QString& text, int size, quint8 style, QPoint at)
{
    PrintItem item;
    item.kind = TextItem;
    item.attributes.Text = text;
    item.attributes.FontName = QStringLiteral("Arial");
    item.attributes.FontSize = size;
    item.attributes.Style = style;
    TextAttributes shown;
    shown.FontName = item.attributes.FontName;
    shown.FontSize = size;
    shown.Style = style;
    // The block at the size the page gives a typed text.
    item.geometry = QRect(at, RenderTextBitmap(shown, text).size());
    return item;
}

// The card, or a full page with the same items, with its texts as given.
PrintJob cardJob(int layout, const QString& name, const QString& role)
{
    PrintJob job;
    job.layout = layout;
    job.pageSize = layout == BusinessCard ? QSize(380, 217) : QSize(496, 702);
    job.workingFolder = bench::scratchFolder();
    job.scratchPicture = bench::scratchFolder() + QStringLiteral("merge-temp-%1.png").arg(getpid());
    PrintItem logo;
    logo.kind = PictureItem;
    logo.attributes.FileName = QFileInfo(logoFile()).fileName();
    logo.geometry = QRect(20, 60, 90, 90);
    job.items = {logo, textItem(name, 16, StyleBold, QPoint(130, 50)),
                 textItem(role, 10, 0, QPoint(130, 90))};
    return job;
}

QString writeRows(int rows)
{
    const QString path = bench::scratchFolder() + QStringLiteral("rows%1.csv").arg(rows);
    if (QFile::exists(path))
        return path;
    QByteArray bytes("Nome;Cargo;Telefone\r\n");
    for (int i = 1; i <= rows; ++i)
        bytes += QStringLiteral("Funcionária %1;Analista de Sistemas %2;(11) 9%3\r\n")
                     .arg(i)
                     .arg(i % 7)
                     .arg(10000000 + i)
                     .toUtf8();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void setUpPdf(QPdfWriter& pdf)
{
    pdf.setResolution(600);
    pdf.setPageLayout(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

// Returns the sheets written.
int mergeToPdf(const PrintJob& job, int rows, const QString& out)
{
    MergedSheets sheets(job, writeRows(rows));
    QPdfWriter pdf(out);
    setUpPdf(pdf);
    QPainter painter(&pdf);
    const MergeOutcome outcome =
        PrintMergedSheets(painter, pdf, QSize(pdf.width(), pdf.height()), sheets, {}, {});
    painter.end();
    return outcome.kind == MergeOutcome::Printed ? outcome.sheets : -1;
}

#ifndef QUADRELA_MERGE_MEMORY

constexpr int kRows = 1000;
constexpr int kSheets = 100;

void BM_MergeCards(benchmark::State& state)
{
    const QString out = bench::scratchFolder() + QStringLiteral("merged.pdf");
    for (auto _ : state) {
        if (mergeToPdf(cardJob(BusinessCard, kName, kRole), kRows, out) != kSheets)
            state.SkipWithError("not every sheet was printed");
    }
    state.counters["bytes_per_sheet"] = double(QFileInfo(out).size()) / kSheets;
}

// One card of the rows file's row, composed onto its own bitmap with its texts rendered
// as pictures at five times their size, the logo decoded once for all.
QImage oldWayCard(int row, const QImage& logo)
{
    const PrintJob job = cardJob(BusinessCard, QStringLiteral("Funcionária %1").arg(row),
                                 QStringLiteral("Analista de Sistemas %1\r\n(11) 9%2")
                                     .arg(row % 7)
                                     .arg(10000000 + row));
    QImage card(kCardBitmapWidth, kCardBitmapHeight, QImage::Format_RGB32);
    card.fill(Qt::white);
    QPainter painter(&card);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const PrintItem& item : job.items) {
        const auto placed = placeItem(job.layout, item.kind, item.geometry, job.pageSize, QSize());
        QImage picture = logo;
        if (item.kind == TextItem) {
            RenderTextPicture(printTextAttributes(item.attributes), item.attributes.Text,
                              job.scratchPicture);
            TBitmap rendered;
            LoadPictureBitmap(rendered, job.scratchPicture, false);
            picture = drawableImage(rendered);
        }
        if (placed)
            painter.drawImage(placed->rect, picture);
    }
    return card;
}

void BM_MergeCardsOldWay(benchmark::State& state)
{
    const QString out = bench::scratchFolder() + QStringLiteral("merged-old.pdf");
    TBitmap logoBitmap;
    LoadPictureBitmap(logoBitmap, logoFile(), false);
    const QImage logo = drawableImage(logoBitmap);
    for (auto _ : state) {
        QPdfWriter pdf(out);
        setUpPdf(pdf);
        QPainter painter(&pdf);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::LosslessImageRendering);
        const QList<QRect> places = cardSheetRects();
        for (int sheet = 0; sheet < kSheets; ++sheet) {
            if (sheet > 0)
                pdf.newPage();
            for (int n = 0; n < places.size(); ++n)
                painter.drawImage(places.at(n), oldWayCard(sheet * 10 + n + 1, logo));
        }
        painter.end();
    }
    state.counters["bytes_per_sheet"] = double(QFileInfo(out).size()) / kSheets;
}

void BM_PrintCardsTimesTen(benchmark::State& state)
{
    const PrintJob job = cardJob(BusinessCard, QStringLiteral("Funcionária 500"),
                                 QStringLiteral("Analista de Sistemas 3\r\n(11) 910000500"));
    const QString out = bench::scratchFolder() + QStringLiteral("unmerged.pdf");
    const auto print = [&] {
        QPdfWriter pdf(out);
        setUpPdf(pdf);
        QPainter painter(&pdf);
        for (int sheet = 0; sheet < kSheets; ++sheet) {
            if (sheet > 0)
                pdf.newPage();
            ComposePage(painter, QSize(pdf.width(), pdf.height()), job);
        }
        painter.end();
    };
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        print();
        state.SetIterationTime(double(timer.nsecsElapsed()) * 10 / 1e9);
    }
}

} // namespace

BENCHMARK(BM_MergeCards)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MergeCardsOldWay)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrintCardsTimesTen)->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char** argv)
{
    return quadrela::bench::runWithApplication(argc, argv);
}

#else

qint64 peakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

// In a forked child, so each count starts from the same small process.
[[noreturn]] void mergeAndReport(int rows, int out)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "bench_mergememory";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    // One small text per sheet: what is measured is what the rows add, not the page.
    PrintJob job = cardJob(FullPage, kName, kRole);
    job.items = {textItem(kName, 10, 0, QPoint(40, 40))};
    const int sheets =
        mergeToPdf(job, rows, bench::scratchFolder() + QStringLiteral("memory%1.pdf").arg(rows));
    // The whole process's peak: what the system must have for the job. The few megabytes
    // that fonts and caches take on the way vary from run to run more than the rows could add.
    const qint64 peak = sheets == rows ? peakResidentBytes() : -1;
    bench::reportAndExit(out, peak);
}

void BM_MergePeakMemory(benchmark::State& state)
{
    const int rows = int(state.range(0));
    // Made here, so the children write nothing outside the folder this process removes.
    logoFile();
    writeRows(rows);
    qint64 peak = -1;
    for (auto _ : state) {
        peak = bench::numberFromChild([rows](int fd) { mergeAndReport(rows, fd); });
        if (peak < 0) {
            state.SkipWithError("the child could not merge");
            break;
        }
    }
    state.counters["peak_bytes"] = double(peak);
}

} // namespace

BENCHMARK(BM_MergePeakMemory)
    ->Arg(100)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

BENCHMARK_MAIN();

#endif
