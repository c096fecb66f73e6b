// Opening a 50-item project (40 photos of 2 megapixels and 10 text blocks) end to end,
// against unpacking, decoding each picture in full once and rendering each text once; and
// a project of twenty 12-megapixel photos against unpacking and decoding each in full. Printing a
// page of ten 12-megapixel photos into a PDF, against decoding the ten photos once and drawing them
// into a PDF with QPainter. Printing a page of two 12-megapixel phone photos into a PDF at
// 300 ppi, against decoding the two photos; both report in the counter "bytes" what they
// hold: the PDF, and the two JPEG files.
#include "codecs/jpeg.h"
#include "codecs/picture.h"
#include "core/dialogs.h"
#include "core/paths.h"
#include "core/state.h"
#include "fixtures.h"
#include "imaging/textrender.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "print/composition.h"
#include "print/placement.h"
#include "storage/project.h"
#include "storage/records.h"
#include "zip/archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace quadrela;

constexpr int kPhotoCount = 40;
constexpr int kTextCount = 10;
constexpr int kPrintedPhotos = 10;
constexpr int kLargePhotoCount = 20;
const QSize kLetterAt600(5100, 6600);

// Questions get "No", notices are dismissed, no file or printer is ever chosen.
class QuietDialogs : public ModalDialogs
{
public:
    Answer message(QWidget*, const QString&, Buttons buttons) override
    {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    QString chooseFile(QWidget*, const FileDialogRequest&) override { return QString(); }
    bool choosePrinter(QWidget*, QPrinter&) override { return false; }
};

// The page as the main window builds it, with its own data and working folders.
class Page
{
public:
    explicit Page(const QString& dataFolder)
    {
        state.dataFolder = dataFolder;
        state.workingFolder = workingFolderFor(dataFolder);
        QDir().mkpath(state.workingFolder);
        state.printerPageSize = [] { return kLetterAt600; };
        page.setAttribute(Qt::WA_DontShowOnScreen);
        page.resize(496, 702);
        background = new TFocusImage(&page);
        background->setGeometry(1, 1, 494, 700);
        background->setTransparent(true);
        page.show();
        PageContext context;
        context.state = &state;
        context.page = &page;
        context.background = background;
        items = std::make_unique<TCampos>(std::move(context));
    }

    ProjectContext context()
    {
        return ProjectContext{state, *items, &page, background, dialogs, nullptr};
    }

    AppState state;
    QWidget page;
    TFocusImage* background = nullptr;
    QuietDialogs dialogs;
    std::unique_ptr<TCampos> items;
};

const QStringList kTexts = {
    QStringLiteral("Feliz Natal\r\ne um próspero\r\nAno Novo!"),
    QStringLiteral("Com carinho,\r\nfamília Oliveira"),
    QStringLiteral("Convite"),
    QStringLiteral("Sábado, 20h\r\nRua das Flores, 45"),
    QStringLiteral("Formatura 2026"),
    QStringLiteral("Parabéns pelo\r\nseu dia!"),
    QStringLiteral("Lembrança da\r\nPrimeira Comunhão"),
    QStringLiteral("RSVP até 10/12"),
    QStringLiteral("Chá de bebê\r\nda Júlia"),
    QStringLiteral("Obrigado\r\npela presença"),
};

TItem textRecord(int i)
{
    TItem r;
    r.Kind = TextItem;
    r.Text = kTexts.at(i);
    r.FontName = QStringLiteral("Arial");
    r.FontSize = 14 + 4 * (i % 5);
    r.Color = quint32(0x00200000 * (i % 4));
    r.Alignment = quint8(i % 3);
    r.Style = quint8(i % 4);
    r.Left = 20 + 40 * (i % 5);
    r.Top = 30 + 60 * i;
    return r;
}

// An archive made once from records written the way saving writes them.
struct Project
{
    QString archive;
    QStringList pictures;
    QList<TItem> texts;
};

// A picture record for one of the photos, at the given place.
TItem photoRecord(const QString& photo, int left, int top, int width, int height)
{
    TItem r;
    r.Kind = PictureItem;
    r.FileName = QStringLiteral("C:\\Fotos\\") + QFileInfo(photo).fileName();
    r.Left = left;
    r.Top = top;
    r.Width = width;
    r.Height = height;
    return r;
}

// Packs the pictures with the record files that saving would write for records.
QString packProject(const QString& name, const QStringList& pictures, const QList<TItem>& records)
{
    const QString folder = bench::scratchFolder() + name + QStringLiteral("-records/");
    QDir().mkpath(folder);
    QStringList files = pictures;
    for (const auto& [file, bytes] :
         {std::pair{QStringLiteral("project.txt"),
                    ProjectRecordBytes(int(records.size()), FullPage)},
          std::pair{QStringLiteral("item.txt"), ItemRecordsBytes(records)}}) {
        QFile out(folder + file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(out.fileName()));
        files.append(out.fileName());
    }
    const QString archive = bench::scratchFolder() + name + QStringLiteral(".vimel");
    PackArchive(archive, files);
    return archive;
}

// Forty pictures of 2 MP and ten texts.
const Project& project()
{
    static const Project made = [] {
        Project p;
        p.pictures = bench::writePhotos(QStringLiteral("open"), kPhotoCount, 1632, 1224, 90);
        QList<TItem> records;
        for (int i = 0; i < kPhotoCount; ++i)
            records.append(photoRecord(p.pictures.at(i), 10 * (i % 8), 15 * (i / 8), 160, 120));
        for (int i = 0; i < kTextCount; ++i) {
            p.texts.append(textRecord(i));
            records.append(p.texts.last());
        }
        p.archive = packProject(QStringLiteral("fifty"), p.pictures, records);
        return p;
    }();
    return made;
}

// Twenty 12-megapixel photos on a full page, four columns of five.
const Project& photoProject()
{
    static const Project made = [] {
        Project p;
        p.pictures =
            bench::writePhotos(QStringLiteral("bigopen"), kLargePhotoCount, 4000, 3000, 90);
        QList<TItem> records;
        for (int i = 0; i < kLargePhotoCount; ++i)
            records.append(
                photoRecord(p.pictures.at(i), 8 + 122 * (i % 4), 8 + 138 * (i / 4), 120, 90));
        p.archive = packProject(QStringLiteral("photos"), p.pictures, records);
        return p;
    }();
    return made;
}

// The first round in a process pays for fresh memory and first-time set-up that every
// later round finds ready; each side gets one untimed round first, so both are compared
// in the same state whichever runs first.
// Opens the project again and again on one page, as the program does.
void openOnPage(benchmark::State& state, const Project& p, const QString& folderName, int items)
{
    Page page(bench::scratchFolder() + folderName);
    OpenProject(page.context(), p.archive);
    for (auto _ : state) {
        state.PauseTiming();
        page.items->Clear();
        state.ResumeTiming();
        OpenProject(page.context(), p.archive);
    }
    if (page.items->Count() != items)
        state.SkipWithError("the project did not open whole");
}

void BM_OpenProject(benchmark::State& state)
{
    openOnPage(state, project(), QStringLiteral("open-ours/"), kPhotoCount + kTextCount);
}

// The reference for opening: unpacking, then decoding every picture in full and rendering
// every text. The decoded pictures are held until the next round, as the page holds them.
void openInFull(benchmark::State& state, const Project& p, const QString& folderName)
{
    const QString folder = bench::scratchFolder() + folderName;
    QDir().mkpath(folder);
    const QString scratch = folder + QStringLiteral("temp.png");
    std::vector<TPicture> decoded;
    const auto open = [&] {
        UnpackArchive(p.archive, folder);
        for (const QString& picture : p.pictures) {
            decoded.emplace_back();
            decoded.back().LoadFromFile(folder + QFileInfo(picture).fileName());
        }
        for (const TItem& text : p.texts) {
            TextAttributes a;
            a.FontName = text.FontName;
            a.FontSize = text.FontSize;
            a.Color = text.Color;
            a.Alignment = text.Alignment;
            a.Style = text.Style;
            RenderTextPicture(a, text.Text, scratch);
        }
    };
    open();
    for (auto _ : state) {
        state.PauseTiming();
        decoded.clear();
        bench::emptyFolder(folder);
        state.ResumeTiming();
        open();
    }
}

void BM_OpenProjectLimit(benchmark::State& state)
{
    openInFull(state, project(), QStringLiteral("open-limit/"));
}

void BM_OpenPhotoProject(benchmark::State& state)
{
    openOnPage(state, photoProject(), QStringLiteral("photos-ours/"), kLargePhotoCount);
}

void BM_OpenPhotoProjectLimit(benchmark::State& state)
{
    openInFull(state, photoProject(), QStringLiteral("photos-limit/"));
}

// Ten 12-megapixel photos on a full page, two columns of five.
PrintJob photoJob()
{
    PrintJob job;
    job.layout = FullPage;
    job.pageSize = QSize(496, 702);
    const QStringList photos =
        bench::writePhotos(QStringLiteral("print"), kPrintedPhotos, 4000, 3000, 90);
    job.workingFolder = bench::scratchFolder();
    job.scratchPicture = bench::scratchFolder() + QStringLiteral("print-temp.png");
    for (int i = 0; i < kPrintedPhotos; ++i) {
        PrintItem item;
        item.kind = PictureItem;
        item.attributes.FileName = QFileInfo(photos.at(i)).fileName();
        item.geometry = QRect(8 + 244 * (i % 2), 8 + 138 * (i / 2), 236, 130);
        job.items.append(item);
    }
    return job;
}

void setUpPdf(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(600);
    printer.setFullPage(true);
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

void BM_PrintPhotos(benchmark::State& state)
{
    const PrintJob job = photoJob();
    const QString out = bench::scratchFolder() + QStringLiteral("ours.pdf");
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, out);
        QPainter painter(&printer);
        const CompositionReport report =
            ComposePage(painter, QSize(printer.width(), printer.height()), job);
        painter.end();
        if (report.itemsDrawn != kPrintedPhotos)
            state.SkipWithError("not every photo was printed");
    }
}

void BM_PrintPhotosLimit(benchmark::State& state)
{
    const PrintJob job = photoJob();
    const QString out = bench::scratchFolder() + QStringLiteral("limit.pdf");
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, out);
        QPainter painter(&printer);
        // Print output is lossless: the reference stores the photos the same way.
        painter.setRenderHint(QPainter::LosslessImageRendering);
        const QSize printable(printer.width(), printer.height());
        for (const PrintItem& item : job.items) {
            QFile file(job.workingFolder + item.attributes.FileName);
            file.open(QIODevice::ReadOnly);
            const QImage photo = decodeJpeg(file.readAll());
            const auto placed =
                placeItem(job.layout, item.kind, item.geometry, job.pageSize, printable);
            painter.drawImage(placed->rect, photo);
        }
        painter.end();
    }
}

// Two 12-megapixel photos filling a full page, one above the other.
PrintJob twoPhotoJob()
{
    PrintJob job;
    job.layout = FullPage;
    job.pageSize = QSize(496, 702);
    job.workingFolder = bench::scratchFolder();
    job.scratchPicture = bench::scratchFolder() + QStringLiteral("print-temp.png");
    const QStringList photos = bench::writePhotos(QStringLiteral("pair"), 2, 4000, 3000, 80);
    for (int i = 0; i < photos.size(); ++i) {
        PrintItem item;
        item.kind = PictureItem;
        item.attributes.FileName = QFileInfo(photos.at(i)).fileName();
        item.geometry = QRect(8, 8 + 346 * i, 480, 340);
        job.items.append(item);
    }
    return job;
}

void BM_PrintTwoPhotos(benchmark::State& state)
{
    const PrintJob job = twoPhotoJob();
    const QString out = bench::scratchFolder() + QStringLiteral("two-photos.pdf");
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, out);
        printer.setResolution(300);
        QPainter painter(&printer);
        const CompositionReport report =
            ComposePage(painter, QSize(printer.width(), printer.height()), job);
        painter.end();
        if (report.itemsDrawn != 2)
            state.SkipWithError("not every photo was printed");
    }
    state.counters["bytes"] = double(QFileInfo(out).size());
}

void BM_DecodeTwoPhotos(benchmark::State& state)
{
    const PrintJob job = twoPhotoJob();
    qint64 bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const PrintItem& item : job.items) {
            QFile file(job.workingFolder + item.attributes.FileName);
            file.open(QIODevice::ReadOnly);
            const QByteArray jpeg = file.readAll();
            bytes += jpeg.size();
            benchmark::DoNotOptimize(decodeJpeg(jpeg));
        }
    }
    state.counters["bytes"] = double(bytes);
}

} // namespace

BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenProjectLimit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenPhotoProject)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenPhotoProjectLimit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrintPhotos)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrintPhotosLimit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrintTwoPhotos)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeTwoPhotos)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return quadrela::bench::runWithApplication(argc, argv);
}
