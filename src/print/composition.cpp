#include "composition.h"

#include "core/convert.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/state.h"
#include "imaging/picload.h"
#include "imaging/textrender.h"
#include "page/Imgfocus.h"
#include "placement.h"

#include <QHash>
#include <QPaintEngine>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <future>
#include <utility>
#include <vector>

namespace quadrela {

namespace {

// Loads the item's picture into the work bitmap, as the loader reports it.
bool loadItem(TBitmap& work, const PrintItem& item, const PrintJob& job, bool turn,
              CompositionReport& report)
{
    if (item.kind == TextItem) {
        try {
            RenderTextPicture(printTextAttributes(item.attributes), item.attributes.Text,
                              job.scratchPicture);
        } catch (const Error& e) {
            // The renderer removed the old scratch picture first, so nothing of an
            // earlier text can be printed in this one's place.
            report.textFailures.append(e.message());
            return false;
        }
        return LoadPictureBitmap(work, job.scratchPicture, turn);
    }
    return LoadPictureBitmap(
        work, fileInFolder(job.workingFolder, fileNamePart(item.attributes.FileName)), turn);
}

// The PDF engine turns an image into an RGB copy, an alpha plane and a compressed copy,
// all held at once beside the image itself: for a 12-megapixel photo that is twice the
// photo again. Drawn in bands of this size, it holds them for one band at a time.
constexpr qsizetype kPdfBandBytes = 4 * 1024 * 1024;
// The longest side of the reduced copy laid beneath a picture drawn in bands.
constexpr int kUnderlaySide = 256;

// Draws image stretched over rect. On a PDF device a large opaque image goes out as
// horizontal bands with the same pixels. Renderers that smooth the edges of images (most
// screen viewers) would let the paper show through where two bands meet, so a small copy of
// the picture is laid beneath them, and each band reaches one row into the next (the band
// drawn later covers the seam whenever a row is at least a pixel high).
void drawImage(QPainter& painter, const QRect& rect, const QImage& image)
{
    const QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Pdf || image.sizeInBytes() <= kPdfBandBytes ||
        image.height() < 2 || image.hasAlphaChannel()) {
        painter.drawImage(rect, image);
        return;
    }
    painter.drawImage(rect,
                      image.scaled(QSize(kUnderlaySide, kUnderlaySide).boundedTo(image.size()),
                                   Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    const int rows = int(std::max<qsizetype>(1, kPdfBandBytes / image.bytesPerLine()));
    const qreal scale = qreal(rect.height()) / image.height();
    for (int top = 0; top < image.height(); top += rows) {
        const int bottom = std::min(image.height(), top + rows + 1);
        // A view of the rows, not a copy: the engine only reads them.
        const QImage band(image.constScanLine(top), image.width(), bottom - top,
                          image.bytesPerLine(), image.format());
        painter.drawImage(
            QRectF(rect.x(), rect.y() + top * scale, rect.width(), (bottom - top) * scale), band);
    }
}

QString picturePath(const PrintItem& item, const PrintJob& job)
{
    return fileInFolder(job.workingFolder, fileNamePart(item.attributes.FileName));
}

// Items of one picture file share its decoded bitmap. The pictures decoded last are kept
// while they fit in kSharedBytes; the newest is kept whatever its size, so a page of large
// photos still holds one beside the one read ahead, as it did before sharing.
class SharedPictures
{
public:
    static QString keyOf(const PrintItem& item, const PrintJob& job, bool turn)
    {
        return item.kind == TextItem ? QString()
                                     : picturePath(item, job) + (turn ? u'\1' : u'\0');
    }

    const QImage* find(const QString& key) const
    {
        for (const auto& [k, image] : m_recent)
            if (!key.isEmpty() && k == key)
                return &image;
        return nullptr;
    }

    void keep(const QString& key, const QImage& image)
    {
        if (key.isEmpty() || image.isNull())
            return;
        m_recent.insert(m_recent.begin(), {key, image});
        qsizetype bytes = 0;
        for (size_t i = 0; i < m_recent.size(); ++i) {
            bytes += m_recent[i].second.sizeInBytes();
            if (i > 0 && bytes > kSharedBytes) {
                m_recent.resize(i);
                break;
            }
        }
    }

private:
    static constexpr qsizetype kSharedBytes = 64 * 1024 * 1024;
    std::vector<std::pair<QString, QImage>> m_recent; // newest first
};

} // namespace

QList<PrintItem> itemsInDrawingOrder(const TCampos& items, const QWidget* page)
{
    QList<PrintItem> order;
    if (!page)
        return order;
    for (QObject* child : page->children()) {
        const auto* control = qobject_cast<const TFocusImage*>(child);
        const TImg* item = items.ItemOf(control);
        if (!item)
            continue;
        order.append(PrintItem{item->Kind(), item->Attributes(), control->geometry()});
    }
    return order;
}

PrintJob printJobFor(const AppState& state, const TCampos& items, const QWidget* page)
{
    PrintJob job;
    job.layout = state.pageLayout;
    job.pageSize = page ? page->size() : QSize();
    job.items = itemsInDrawingOrder(items, page);
    job.workingFolder = state.workingFolder;
    job.scratchPicture = state.tempPicturePath();
    return job;
}

TextAttributes printTextAttributes(const TDesc& attributes)
{
    TextAttributes text = textAttributesOf(attributes);
    text.FontSize = roundHalfEven(double(qint64(attributes.FontSize) * 100) / 20.0);
    return text;
}

PreparedPage preparePage(const PrintJob& job, QSize printable, const PreparedPage* reuse)
{
    PreparedPage page;
    page.layout = job.layout;
    page.resolution = job.resolution;
    page.cards = job.cards;
    page.items.reserve(job.items.size()); // the pointers kept in loaded stay valid
    QHash<QString, const PreparedItem*> loaded;
    const auto remember = [&](const PreparedItem& prepared) {
        const QString key = SharedPictures::keyOf(prepared.item, job, prepared.placed.turn);
        if (!key.isEmpty() && !prepared.picture.isEmpty())
            loaded.insert(key, &prepared);
    };
    if (reuse && reuse->layout == job.layout)
        for (const PreparedItem& earlier : reuse->items)
            remember(earlier);
    for (qsizetype i = 0; i < job.items.size(); ++i) {
        const PrintItem& item = job.items.at(i);
        const std::optional<ItemPlacement> placed =
            placeItem(job.layout, item.kind, item.geometry, job.pageSize, printable);
        if (!placed)
            continue;
        PreparedItem prepared{item, *placed, TBitmap{}, QImage{}};
        const PreparedItem* earlier = nullptr;
        if (reuse && reuse->layout == job.layout) {
            for (const PreparedItem& candidate : reuse->items) {
                if (candidate.item.kind == item.kind && candidate.item.geometry == item.geometry &&
                    candidate.item.attributes == item.attributes &&
                    candidate.placed.rect == placed->rect &&
                    candidate.placed.turn == placed->turn) {
                    earlier = &candidate;
                    break;
                }
            }
        }
        // Other items of the same picture file, on this page or the one before, share its
        // bitmap.
        const QString key = SharedPictures::keyOf(item, job, placed->turn);
        if (!earlier && !key.isEmpty())
            earlier = loaded.value(key, nullptr);
        if (earlier) {
            prepared.picture = earlier->picture;
            prepared.drawable = earlier->drawable;
        } else {
            // A picture that loaded but could not be turned is still drawn, upright.
            loadItem(prepared.picture, item, job, placed->turn, page.report);
            if (!prepared.picture.isEmpty())
                prepared.drawable = drawableImage(prepared.picture);
        }
        page.items.append(std::move(prepared));
        remember(page.items.constLast());
    }
    return page;
}

namespace {

// The card drawn into every place of the sheet from its first card on.
void drawCardIntoPlaces(QPainter& painter, const QImage& card, const CardSheet& sheet, int dpi)
{
    const QList<QRect> places = cardPlaces(sheet, dpi);
    for (int n = firstPlace(sheet); n < places.size(); ++n)
        painter.drawImage(places.at(n), card);
    if (sheet.cutMarks)
        drawCutMarks(painter, sheet, dpi);
}

// Draws the items meant for target; returns how many were drawn.
int drawItems(QPainter& painter, const PreparedPage& page, PrintTarget target)
{
    int drawn = 0;
    for (const PreparedItem& prepared : page.items) {
        if (prepared.placed.target != target || prepared.drawable.isNull() ||
            prepared.placed.rect.isEmpty())
            continue;
        drawImage(painter, prepared.placed.rect, prepared.drawable);
        ++drawn;
    }
    return drawn;
}

} // namespace

QImage composeCard(const PreparedPage& page)
{
    QImage card(kCardBitmapWidth, kCardBitmapHeight, QImage::Format_RGB32);
    card.fill(Qt::white);
    QPainter cardPainter(&card);
    cardPainter.setRenderHint(QPainter::SmoothPixmapTransform);
    drawItems(cardPainter, page, PrintTarget::CardBitmap);
    cardPainter.end();
    return card;
}

void drawPreparedPage(QPainter& painter, const PreparedPage& page)
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The PDF engine would store images as JPEG, blurring thin lines and greying white.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    if (page.layout == BusinessCard) {
        drawCardIntoPlaces(painter, composeCard(page), page.cards, page.resolution);
    } else {
        drawItems(painter, page, PrintTarget::Sheet);
    }
    painter.restore();
}

QRect cardPlaceInReadingOrder(int n, int dpi)
{
    constexpr int kRows = 5;
    const int row = n / 2;
    const int column = n % 2;
    return cardSheetRects(dpi).at(column * kRows + row);
}

void ComposeCardSheet(QPainter& painter, const QList<QImage>& cards, int dpi,
                      const CardSheet& sheet)
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const QList<QRect> places = cardPlaces(sheet, dpi);
    for (int n = 0; n < cards.size() && firstPlace(sheet) + n < places.size(); ++n)
        painter.drawImage(places.at(firstPlace(sheet) + n), cards.at(n));
    if (sheet.cutMarks)
        drawCutMarks(painter, sheet, dpi);
    painter.restore();
}

namespace {

// A picture item's load, run on a worker thread. Texts are not: their renderer writes the
// job's one scratch picture.
std::future<QImage> loadInBackground(const PrintItem& item, const ItemPlacement& placed,
                                     const PrintJob& job)
{
    return std::async(std::launch::async, [path = picturePath(item, job), turn = placed.turn] {
        TBitmap bitmap;
        LoadPictureBitmap(bitmap, path, turn);
        return drawableImage(bitmap);
    });
}

} // namespace

// Items are loaded at full resolution one at a time, the next picture being decoded while
// the one before is drawn (the PDF engine's compression is most of the work). A page of
// large photos thus holds two of them at once, never the whole page.
CompositionReport ComposePage(QPainter& painter, QSize printable, const PrintJob& job)
{
    CompositionReport report;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Left alone, the PDF engine (every printer on this platform goes through it) stores
    // each image as JPEG: thin lines blur into each other and white turns faintly grey.
    painter.setRenderHint(QPainter::LosslessImageRendering);

    QImage card;
    QPainter cardPainter;
    if (job.layout == BusinessCard) {
        card = QImage(kCardBitmapWidth, kCardBitmapHeight, QImage::Format_RGB32);
        card.fill(Qt::white);
        cardPainter.begin(&card);
        cardPainter.setRenderHint(QPainter::SmoothPixmapTransform);
    }

    std::vector<std::pair<const PrintItem*, ItemPlacement>> placedItems;
    for (const PrintItem& item : job.items) {
        if (const std::optional<ItemPlacement> placed =
                placeItem(job.layout, item.kind, item.geometry, job.pageSize, printable))
            placedItems.emplace_back(&item, *placed);
    }
    SharedPictures shared;
    const auto keyOf = [&](size_t i) {
        return SharedPictures::keyOf(*placedItems[i].first, job, placedItems[i].second.turn);
    };
    std::future<QImage> next;
    const auto startLoading = [&](size_t i) {
        next = i < placedItems.size() && placedItems[i].first->kind != TextItem &&
                       !shared.find(keyOf(i))
                   ? loadInBackground(*placedItems[i].first, placedItems[i].second, job)
                   : std::future<QImage>();
    };
    startLoading(0);
    for (size_t i = 0; i < placedItems.size(); ++i) {
        const auto& [item, placed] = placedItems[i];
        const QString key = keyOf(i);
        QImage drawable;
        // A picture that loaded but could not be turned is still drawn, upright.
        if (const QImage* kept = shared.find(key)) {
            drawable = *kept;
        } else if (next.valid()) {
            drawable = next.get();
        } else {
            TBitmap work;
            loadItem(work, *item, job, placed.turn, report);
            drawable = drawableImage(work);
        }
        shared.keep(key, drawable);
        startLoading(i + 1);
        if (drawable.isNull())
            continue;
        if (!placed.rect.isEmpty())
            drawImage(placed.target == PrintTarget::CardBitmap ? cardPainter : painter,
                      placed.rect, drawable);
        ++report.itemsDrawn;
    }

    if (job.layout == BusinessCard) {
        cardPainter.end();
        drawCardIntoPlaces(painter, card, job.cards, job.resolution);
    }
    painter.restore();
    return report;
}

} // namespace quadrela
