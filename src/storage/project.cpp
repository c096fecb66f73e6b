#include "project.h"

#include "codemaps.h"
#include "core/convert.h"
#include "core/errors.h"
#include "core/limits.h"
#include "core/paths.h"
#include "core/state.h"
#include "core/textfile.h"
#include "core/workfolder.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "page/keptpicture.h"
#include "page/picturecommand.h"
#include "page/screencursor.h"
#include "records.h"
#include "zip/archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QPainter>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryFile>

#include <cerrno>
#include <exception>
#include <utility>

namespace quadrela {

namespace {

const QString kProjectFile = QStringLiteral("project.txt");
const QString kItemFile = QStringLiteral("item.txt");
const QString kNotRecognised = QStringLiteral("Arquivo não reconhecido.");

// Shows the hourglass until the routine leaves, whichever way it leaves.
class BusyCursor
{
public:
    BusyCursor() { setScreenCursor(Qt::WaitCursor); }
    ~BusyCursor() { resetScreenCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

bool insideFolder(const QString& path, const QString& folder)
{
    const QString dir = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    const QString work = QFileInfo(folder).canonicalFilePath();
    return !dir.isEmpty() && dir == work;
}

TItem recordOf(const TImg& item, const QHash<const TImg*, QString>& fileNames)
{
    TItem r;
    r.Kind = item.Kind();
    const TDesc& a = item.Attributes();
    r.FileName = fileNames.value(&item, a.FileName);
    const ItemGeometry g = item.SavedGeometry();
    r.Left = g.Left;
    r.Top = g.Top;
    r.Width = g.Width;
    r.Height = g.Height;
    r.Text = a.Text;
    r.FontName = a.FontName;
    r.Color = a.Color;
    r.Alignment = a.Alignment;
    r.Style = a.Style;
    r.FontSize = a.FontSize;
    return r;
}

void drawFoldedCardBackground(TFocusImage* background)
{
    QImage& canvas = background->canvas();
    QPainter p(&canvas);
    // Cleared first: the labels' anti-aliased edges drawn again over themselves would
    // darken with every folded card set up.
    p.fillRect(QRect(0, 0, 541, 382), Qt::white);
    QPen dashed(Qt::black);
    dashed.setStyle(Qt::DashLine);
    dashed.setWidth(1);
    p.setPen(dashed);
    p.drawLine(271, 0, 271, 382);
    p.setPen(Qt::black);
    p.setFont(background->font());
    const int h = p.fontMetrics().height();
    p.drawText(QRect(0, 0, 200, h), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Frente"));
    p.drawText(QRect(272, 0, 200, h), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Interno"));
    p.end();
    background->canvasChanged();
}

// A text as a message names it: its first line, shortened, in quotes.
QString textNamed(const QString& text)
{
    constexpr qsizetype kShown = 40;
    QString line = splitLines(text).value(0);
    if (line.size() > kShown)
        line = line.left(kShown) + QStringLiteral("…");
    return u'"' + line + u'"';
}

void fillBackgroundWhite(TFocusImage* background, int width, int height)
{
    QImage& canvas = background->canvas();
    QPainter p(&canvas);
    p.fillRect(QRect(0, 0, width, height), Qt::white);
    p.end();
    background->canvasChanged();
}

// Bytes an item takes besides its picture: its control and records.
constexpr qint64 kItemOverheadBytes = 16 * 1024;
// The missing-picture notice: a line of 80-point text.
constexpr qint64 kNoticeBytes = 1200LL * 130 * 4;

// What opening the records would keep in memory: each distinct picture at the size it is
// shown (items showing the same file at one size share it), each text's rendering, and
// the largest picture read whole on the way.
qint64 memoryNeededFor(const QList<TItem>& records, const QString& workingFolder, QSize page,
                       qreal dpr)
{
    qint64 total = kNoticeBytes;
    qint64 largestRead = 0;
    QSet<QString> counted;
    for (const TItem& record : records) {
        total += kItemOverheadBytes;
        if (record.Kind == TextItem) {
            const QStringList lines = record.Text.split(QLatin1Char('\n'));
            qsizetype longest = 1;
            for (const QString& line : lines)
                longest = std::max(longest, line.size());
            const double linePixels = std::clamp(record.FontSize, 1, 100000) * 96.0 / 72.0 * 1.25;
            total += qint64(std::min(double(kMaxPicturePixels),
                                     linePixels * lines.size() * linePixels * 0.6 * longest)) *
                     4;
            continue;
        }
        const QString file = workingFolder + fileNamePart(record.FileName);
        QSize shown(record.Width, record.Height);
        if (!shown.isValid())
            shown = page;
        const QString key =
            QStringLiteral("%1|%2x%3").arg(file).arg(shown.width()).arg(shown.height());
        if (counted.contains(key))
            continue;
        counted.insert(key);
        QSize full = QImageReader(file).size();
        if (!full.isValid())
            full = shown; // a metafile is drawn at the size it is shown
        // A picture beyond the bound is never decoded: its item shows the notice.
        if (!pictureSizeAllowed(full.width(), full.height()))
            continue;
        total += keptBytes(full, shown, dpr);
        largestRead = std::max(largestRead, qint64(full.width()) * full.height() * 4);
    }
    return total + largestRead;
}

// Starts decoding each picture the moment its file is unpacked, for the items that the
// archive's own records place, read ahead from the archive. Only a head start: the open
// then goes by the records as unpacked, and loads whatever was not started here.
class EarlyPictures
{
public:
    EarlyPictures(const ProjectContext& ctx, const QString& archive) : m_ctx(ctx)
    {
        constexpr qint64 kRecordsPeekBytes = 16 << 20;
        const QList<QByteArray> texts =
            peekArchiveEntries(archive, {kProjectFile, kItemFile}, kRecordsPeekBytes);
        const QString projectText = fromCp1252(texts.at(0));
        if (!hasProjectMagic(projectText))
            return;
        try {
            const QList<TItem> records =
                ReadItemRecords(fromCp1252(texts.at(1)), ReadProjectRecord(projectText).itemCount,
                                ctx.state.dataFolder);
            for (const TItem& record : records) {
                const QSize shown(record.Width, record.Height);
                if ((record.Kind == BorderItem || record.Kind == PictureItem) && shown.isValid())
                    m_wanted[fileNamePart(record.FileName)].append({record.Kind, shown});
            }
        } catch (const std::exception&) {
            m_wanted.clear(); // the open will say what is wrong with the records
        }
        const AppState& state = ctx.state;
        m_budget = state.availableMemory ? state.availableMemory() : availableMemoryBytes();
    }

    void landed(const QString& bareName)
    {
        const auto wanted = m_wanted.constFind(bareName);
        if (wanted == m_wanted.constEnd())
            return;
        const QString path = m_ctx.state.workingFolder + bareName;
        const QSize full = QImageReader(path).size();
        const qreal dpr = m_ctx.page->devicePixelRatioF();
        for (const auto& [kind, shown] : *wanted) {
            // Never more than the open itself would be allowed to hold.
            const qint64 bytes = keptBytes(full.isValid() ? full : shown, shown, dpr);
            if (m_budget >= 0 && bytes > m_budget)
                return;
            if (m_budget >= 0)
                m_budget -= bytes;
            m_ctx.items.Prefetch(kind, path, shown);
        }
    }

private:
    const ProjectContext& m_ctx;
    QHash<QString, QList<std::pair<quint8, QSize>>> m_wanted;
    qint64 m_budget = -1; // bytes the pictures started may still take; negative: unknown
};

} // namespace

FileDialogRequest openProjectRequest()
{
    FileDialogRequest r;
    r.kind = FileDialogRequest::OpenProject;
    r.title = QStringLiteral("Abrir...");
    r.filters = {{QStringLiteral("Arquivos Quadrela"), {QStringLiteral("*.vimel")}}};
    r.startFolder = QDir::homePath();
    r.defaultSuffix = QStringLiteral("vimel");
    return r;
}

FileDialogRequest saveProjectRequest()
{
    FileDialogRequest r = openProjectRequest();
    r.kind = FileDialogRequest::SaveProject;
    r.title = QStringLiteral("Salvar como...");
    return r;
}

void SetUpPage(const ProjectContext& ctx, int layout)
{
    switch (layout) {
    case FullPage:
        ctx.page->resize(496, 702);
        fillBackgroundWhite(ctx.background, 496, 702);
        break;
    case FoldedCard:
        ctx.page->resize(541, 382);
        drawFoldedCardBackground(ctx.background);
        break;
    case BusinessCard:
        ctx.page->resize(380, 217);
        fillBackgroundWhite(ctx.background, 380, 217);
        break;
    default:
        break;
    }
}

bool AskToSaveProject(const ProjectContext& ctx)
{
    if (!OfferToSaveProject(ctx))
        return false;
    ctx.items.Clear();
    return true;
}

bool OfferToSaveProject(const ProjectContext& ctx)
{
    if (ctx.items.Count() == 0)
        return true;
    const Answer answer = ctx.dialogs.message(
        ctx.owner, QStringLiteral("Deseja salvar o projeto atual?"), Buttons::YesNoCancel);
    if (answer == Answer::Cancel)
        return false;
    if (answer == Answer::Yes) {
        const QString path = ctx.dialogs.chooseFile(ctx.owner, saveProjectRequest());
        if (path.isEmpty() || !SaveProject(ctx, path))
            return false;
    }
    return true;
}

QByteArray itemRecordFileFor(const TCampos& items, const QWidget* page,
                             const QHash<const TImg*, QString>& fileNames)
{
    QList<TItem> records;
    for (QObject* child : page->children()) {
        if (const TImg* item = items.ItemOf(qobject_cast<TFocusImage*>(child)))
            records.append(recordOf(*item, fileNames));
    }
    return ItemRecordsBytes(records);
}

namespace {

// The picture files a save packs, and the file names the records must give instead of
// the stored ones.
struct PackedPictures
{
    QStringList files;
    QHash<const TImg*, QString> fileNames;
    QStringList copiesMade; // removed again when the save fails
};

// A name the record file cannot hold as it is ("#T#", "[", letters outside Windows-1252)
// would be written changed while the archive kept the file under its old name, and the
// next open would not find it. Such a picture is packed from a copy under the name the
// record gives, so the record and the archive always name the same file.
void picturesToPack(const TCampos& items, const QString& workingFolder, PackedPictures& packed)
{
    FolderFiles work(workingFolder);
    for (int i = 0; i < items.Count(); ++i) {
        const TImg& item = items.Items(i);
        if (item.Kind() != BorderItem && item.Kind() != PictureItem)
            continue;
        const QString stored = item.Attributes().FileName;
        const QString name = fileNamePart(stored);
        QString file = work.path(name);
        if (!name.isEmpty() && recordSafeFileName(name) != name) {
            QString copy = workingFolder + recordSafeFileName(name);
            if (fileExists(file)) {
                QFile source(file);
                if (!source.open(QIODevice::ReadOnly))
                    throw cannotOpenFile(file);
                const QByteArray bytes = source.readAll();
                bool exists = false;
                copy = workingCopyPath(workingFolder, name, bytes, &exists);
                if (!exists) {
                    if (!writeWholeFile(copy, bytes))
                        throw cannotWriteFile(copy);
                    packed.copiesMade.append(copy);
                }
            }
            packed.fileNames.insert(&item,
                                    stored.left(stored.size() - name.size()) + fileNamePart(copy));
            file = copy;
        }
        packed.files.append(file);
    }
}

} // namespace

bool SaveProject(const ProjectContext& ctx, const QString& path)
{
    const AppState& state = ctx.state;
    PackedPictures pictures;
    try {
        // Emptying the working folder would later delete an archive saved inside it.
        if (insideFolder(path, state.workingFolder))
            throw Error(
                QStringLiteral("O projeto não pode ser salvo dentro da pasta de trabalho do "
                               "programa. Escolha outra pasta."));
        picturesToPack(ctx.items, state.workingFolder, pictures);
        QString reason;
        if (!writeWholeFile(state.workingFolder + kProjectFile,
                            ProjectRecordBytes(ctx.items.Count(), state.pageLayout), &reason) ||
            !writeWholeFile(state.workingFolder + kItemFile,
                            itemRecordFileFor(ctx.items, ctx.page, pictures.fileNames), &reason))
            throw Error(
                QStringLiteral("Não foi possível gravar os registros do projeto na pasta %1: %2")
                    .arg(QDir::toNativeSeparators(state.workingFolder), reason));
        QStringList files = pictures.files;
        files.append(state.workingFolder + kProjectFile);
        files.append(state.workingFolder + kItemFile);
        PackArchive(path, files);
        return true;
    } catch (const Error& e) {
        for (const QString& copy : pictures.copiesMade)
            QFile::remove(copy);
        ctx.dialogs.message(ctx.owner,
                            QStringLiteral("O projeto não foi salvo em %1.\n\r%2")
                                .arg(QDir::toNativeSeparators(path), e.message()),
                            Buttons::Ok);
        return false;
    }
}

bool OpenProject(const ProjectContext& ctx, const QString& path)
{
    BusyCursor busy;
    AppState& state = ctx.state;
    if (!fileExists(path))
        return false;
    if (!AskToSaveProject(ctx))
        return false;

    // An archive inside the working folder would be deleted before it is read.
    QTemporaryFile safeCopy;
    QString archive = path;
    if (insideFolder(path, state.workingFolder)) {
        QFile source(path);
        if (!source.open(QIODevice::ReadOnly))
            throw cannotOpenFile(path);
        errno = 0;
        if (!safeCopy.open() || safeCopy.write(source.readAll()) != source.size() ||
            !safeCopy.flush())
            throw Error(QStringLiteral("Não foi possível copiar %1 para a pasta temporária: %2")
                            .arg(QDir::toNativeSeparators(path), failureReason(safeCopy, errno)));
        archive = safeCopy.fileName();
    }

    EmptyWorkingFolder(state.workingFolder);
    // Pictures decoded ahead belong to this open: whatever it did not take goes with it.
    const auto dropPrefetched = qScopeGuard([&ctx] { ctx.items.DropPrefetched(); });
    EarlyPictures early(ctx, archive);
    UnpackArchive(archive, state.workingFolder, {},
                  [&early](const QString& bareName, const QString&) { early.landed(bareName); });
    return LoadWorkingFolder(ctx);
}

bool LoadWorkingFolder(const ProjectContext& ctx)
{
    AppState& state = ctx.state;
    FolderFiles work(state.workingFolder);
    const QString projectPath = work.path(kProjectFile);
    if (!fileExists(projectPath)) {
        ctx.dialogs.message(ctx.owner, kNotRecognised, Buttons::Ok);
        return false;
    }
    const QString projectText = readCp1252File(projectPath);
    if (!hasProjectMagic(projectText)) {
        ctx.dialogs.message(ctx.owner, kNotRecognised, Buttons::Ok);
        return false;
    }
    const ProjectRecord project = ReadProjectRecord(projectText);
    if (project.layout) {
        state.pageLayout = *project.layout;
        SetUpPage(ctx, *project.layout);
    }

    const QString itemText = readCp1252File(work.path(kItemFile));
    const QList<TItem> records = ReadItemRecords(itemText, project.itemCount, state.dataFolder);
    const qreal dpr = ctx.page->devicePixelRatioF();
    const qint64 available =
        state.availableMemory ? state.availableMemory() : availableMemoryBytes();
    if (const qint64 needed = memoryNeededFor(records, state.workingFolder, ctx.page->size(), dpr);
        available >= 0 && needed > available) {
        ctx.dialogs.message(ctx.owner,
                            QStringLiteral("O projeto é grande demais para a memória disponível: "
                                           "precisaria de cerca de %1 MB, e há %2 MB livres. "
                                           "Nenhum item foi aberto.")
                                .arg(QString::number((needed + (1 << 20) - 1) >> 20),
                                     QString::number(available >> 20)),
                            Buttons::Ok);
        return false;
    }
    for (const TItem& record : records) {
        if (record.Kind == BorderItem || record.Kind == PictureItem)
            ctx.items.Prefetch(record.Kind, state.workingFolder + fileNamePart(record.FileName),
                               QSize(record.Width, record.Height));
    }
    QStringList unreadable;
    QStringList unshownTexts;
    for (const TItem& record : records) {
        const ItemGeometry geometry{record.Left, record.Top, record.Width, record.Height};
        if (record.Kind == BorderItem || record.Kind == PictureItem) {
            const QString place = work.path(fileNamePart(record.FileName));
            try {
                ctx.items.Add(record.Kind, place, TCampos::LoadPicture,
                              QSize(record.Width, record.Height));
            } catch (const Error&) {
                // The item keeps its place and its stored path, and its file stays in the
                // working folder, so the next save packs it unchanged.
                ctx.items.Add(record.Kind, place, TCampos::ShowMissingNotice);
                // Two items sharing one picture name it once.
                if (!unreadable.contains(fileNamePart(record.FileName)))
                    unreadable.append(fileNamePart(record.FileName));
            }
            TImg& item = ctx.items.Items(ctx.items.Count() - 1);
            item.PlaceAsRecorded(geometry);
            TDesc attributes;
            attributes.FileName = record.FileName;
            item.SetAttributes(attributes);
        } else {
            state.text = TextAttributes{record.FontName, record.FontSize, record.Color,
                                        record.Alignment, record.Style};
            ctx.items.Add(TextItem, record.Text, TCampos::CallerReports);
            TImg& item = ctx.items.Items(ctx.items.Count() - 1);
            item.PlaceAsRecorded(geometry);
            if (!item.StandInReason().isEmpty())
                unshownTexts.append(textNamed(record.Text) + QStringLiteral(": ") +
                                    item.StandInReason());
            item.SetAttributes(textItemAttributes(record.Text, state.text));
        }
    }
    ctx.items.DropPrefetched();
    // One message after the open names everything that could not be shown.
    QStringList parts;
    if (!unreadable.isEmpty())
        parts.append(QStringLiteral("Estas imagens do projeto não puderam ser lidas e aparecem "
                                    "como \"Imagem não encontrada\":\n\r%1")
                         .arg(unreadable.join(QStringLiteral("\n"))));
    if (!unshownTexts.isEmpty())
        parts.append(QStringLiteral("Estes textos do projeto não puderam ser desenhados e aparecem "
                                    "como \"Texto não mostrado\"; eles continuam no projeto:\n\r%1")
                         .arg(unshownTexts.join(QStringLiteral("\n"))));
    if (!parts.isEmpty())
        ctx.dialogs.message(ctx.owner, parts.join(QStringLiteral("\n\r\n\r")), Buttons::Ok);
    return true;
}

} // namespace quadrela
