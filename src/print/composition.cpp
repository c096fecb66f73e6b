#include "composition.h"

#include "core/convert.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/state.h"
#include "imaging/picload.h"
#include "imaging/textrender.h"
#include "page/Imgfocus.h"
#include "placement.h"

#include <QPainter>
#include <QWidget>

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

void stretchDraw(QPainter& painter, const QRect& rect, const TBitmap& bitmap)
{
    if (rect.isEmpty())
        return;
    painter.drawImage(rect, drawableImage(bitmap));
}

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
    for (qsizetype i = 0; i < job.items.size(); ++i) {
        const PrintItem& item = job.items.at(i);
        const std::optional<ItemPlacement> placed =
            placeItem(job.layout, item.kind, item.geometry, job.pageSize, printable);
        if (!placed)
            continue;
        PreparedItem prepared{item, *placed, TBitmap{}};
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
    }
    return page;
}

namespace {

// Draws the items meant for target; returns how many were drawn.
int drawItems(QPainter& painter, const PreparedPage& page, PrintTarget target)
{
    int drawn = 0;
    for (const PreparedItem& prepared : page.items) {
        if (prepared.placed.target != target || prepared.drawable.isNull() ||
            prepared.placed.rect.isEmpty())
            continue;
        painter.drawImage(prepared.placed.rect, prepared.drawable);
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
        const QImage card = composeCard(page);
        for (const QRect& rect : cardSheetRects())
            painter.drawImage(rect, card);
    } else {
        drawItems(painter, page, PrintTarget::Sheet);
    }
    painter.restore();
}

QRect cardPlaceInReadingOrder(int n)
{
    constexpr int kRows = 5;
    const int row = n / 2;
    const int column = n % 2;
    return cardSheetRects().at(column * kRows + row);
}

void ComposeCardSheet(QPainter& painter, const QList<QImage>& cards)
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const int places = int(cardSheetRects().size());
    for (int n = 0; n < cards.size() && n < places; ++n)
        painter.drawImage(cardPlaceInReadingOrder(n), cards.at(n));
    painter.restore();
}

// Items are loaded one at a time here, so a page of large photos never holds more than
// one of them at full resolution.
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

    TBitmap work;
    for (const PrintItem& item : job.items) {
        const std::optional<ItemPlacement> placed =
            placeItem(job.layout, item.kind, item.geometry, job.pageSize, printable);
        if (!placed)
            continue;
        work.clear();
        // A picture that loaded but could not be turned is still drawn, upright.
        loadItem(work, item, job, placed->turn, report);
        if (work.isEmpty())
            continue;
        stretchDraw(placed->target == PrintTarget::CardBitmap ? cardPainter : painter, placed->rect,
                    work);
        ++report.itemsDrawn;
    }

    if (job.layout == BusinessCard) {
        cardPainter.end();
        for (const QRect& rect : cardSheetRects())
            painter.drawImage(rect, card);
    }
    painter.restore();
    return report;
}

} // namespace quadrela
