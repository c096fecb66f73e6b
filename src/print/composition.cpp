#include "composition.h"

#include "core/convert.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/state.h"
#include "imaging/picload.h"
#include "imaging/textrender.h"
#include "page/Imgfocus.h"
#include "placement.h"

#include <QFont>
#include <QHash>
#include <QImageReader>
#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>
#include <QWidget>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <future>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace quadrela {

namespace {

QString picturePath(const PrintItem& item, const PrintJob& job)
{
    return fileInFolder(job.workingFolder, fileNamePart(item.attributes.FileName));
}

// Marks a picture that came from a JPEG file: it may go to a PDF as JPEG again.
const QString kJpegOrigin = QStringLiteral("quadrela-jpeg");

bool cameFromJpeg(const QImage& image)
{
    return !image.text(kJpegOrigin).isEmpty();
}

// The picture at path as it is drawn; null when it is missing or unreadable. A picture that
// loaded but could not be turned is still drawn, upright.
QImage loadDrawable(const QString& path, bool turn)
{
    QImage image;
    {
        // The work bitmap goes first, so marking the image does not copy its pixels.
        TBitmap work;
        LoadPictureBitmap(work, path, turn);
        image = drawableImage(work);
    }
    if (!image.isNull() && !image.hasAlphaChannel() && QImageReader(path).format() == "jpeg")
        image.setText(kJpegOrigin, QStringLiteral("1"));
    return image;
}

// Whether the PDF engine can keep text in this font as text: a font with outlines whose
// licence lets it be embedded. Others it would draw as outlines, or not at all.
bool embeddableFont(const QFont& font)
{
    const QRawFont raw = QRawFont::fromFont(font);
    bool embeddable =
        raw.isValid() && (!raw.fontTable("glyf").isEmpty() || !raw.fontTable("CFF ").isEmpty() ||
                          !raw.fontTable("CFF2").isEmpty());
    const QByteArray os2 = raw.fontTable("OS/2");
    if (embeddable && os2.size() >= 10) {
        const quint16 fsType = qFromBigEndian<quint16>(os2.constData() + 8);
        // Restricted licence, or bitmaps only.
        embeddable = fsType != 0x0002 && !(fsType & 0x0200);
    }
    return embeddable;
}

// The item's picture as it is drawn, a text's rendered for print first. A text in a font that
// can be embedded is drawn as text instead: its layout goes to text and no picture is made.
QImage loadItem(const PrintItem& item, const PrintJob& job, bool turn, CompositionReport& report,
                std::shared_ptr<const TextLayout>* text = nullptr)
{
    if (item.kind == TextItem) {
        try {
            const TextAttributes attributes = printTextAttributes(item.attributes);
            TextLayout layout = layoutText(attributes, item.attributes.Text);
            if (text && embeddableFont(layout.font)) {
                *text = std::make_shared<const TextLayout>(std::move(layout));
                return QImage();
            }
            RenderTextPicture(attributes, item.attributes.Text, job.scratchPicture);
        } catch (const Error& e) {
            // The renderer removed the old scratch picture first, so nothing of an
            // earlier text can be printed in this one's place.
            report.textFailures.append(e.message());
            return QImage();
        }
        return loadDrawable(job.scratchPicture, turn);
    }
    return loadDrawable(picturePath(item, job), turn);
}

// The job's items that have a place on the sheet, with that place, in drawing order.
std::vector<std::pair<const PrintItem*, ItemPlacement>> placedItems(const PrintJob& job,
                                                                    QSize printable)
{
    std::vector<std::pair<const PrintItem*, ItemPlacement>> placed;
    for (const PrintItem& item : job.items) {
        if (const std::optional<ItemPlacement> place =
                placeItem(job.layout, item.kind, item.geometry, job.pageSize, printable))
            placed.emplace_back(&item, *place);
    }
    return placed;
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

// Draws a text laid out at 96 dpi over rect, stretched as its rendered picture would be and
// turned by 180 degrees with turn, so each line lands where that picture has it.
void drawText(QPainter& painter, const QRect& rect, bool turn, const TextLayout& text)
{
    if (rect.isEmpty() || text.size.isEmpty())
        return;
    painter.save();
    painter.translate(rect.topLeft());
    painter.scale(qreal(rect.width()) / text.size.width(),
                  qreal(rect.height()) / text.size.height());
    if (turn) {
        painter.translate(text.size.width(), text.size.height());
        painter.rotate(180);
    }
    // The font is sized in pixels, whatever the device's resolution: its points at 96 dpi
    // are a third of a whole number of pixels, so it is drawn three times larger and
    // scaled back.
    constexpr int kThirds = 3;
    QFont font = text.font;
    font.setPixelSize(qRound(text.font.pointSizeF() * 96.0 / 72.0 * kThirds));
    painter.scale(1.0 / kThirds, 1.0 / kThirds);
    painter.setFont(font);
    painter.setPen(text.color);
    for (const TextLine& line : text.lines)
        painter.drawText(line.baseline * kThirds, line.text);
    painter.restore();
}

// Every painter of a print: pictures are scaled smoothly, and left alone the PDF engine
// (every printer on this platform goes through it) stores each image as JPEG: thin lines
// blur into each other and white turns faintly grey. Only photos that came as JPEG are let
// through as JPEG again (see drawPicture).
void setPrintHints(QPainter& painter)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::LosslessImageRendering);
}

// The pixels image needs to fill rect on painter's device: one per device pixel on each
// side, never more than the picture has.
QSize printedPixels(const QPainter& painter, const QRect& rect, const QImage& image)
{
    const QRectF onDevice = painter.deviceTransform().mapRect(QRectF(rect));
    return QSize(int(std::ceil(onDevice.width() - 1e-6)), int(std::ceil(onDevice.height() - 1e-6)))
        .expandedTo(QSize(1, 1))
        .boundedTo(image.size());
}

} // namespace

// Pictures reduced to the size they print at, one copy for each picture and size. A PDF
// stores an image drawn again from the same QImage only once, so a logo repeated on every
// card of every sheet stays one image in the file. The copies made last are kept while
// they fit in kKeptBytes; older ones are let go before a new one is made, so a page of
// large photos never holds more than one reduced photo beside the photos themselves.
class ReducedPictures
{
public:
    QImage reduced(const QImage& image, QSize size)
    {
        if (size == image.size())
            return image;
        const qint64 key = image.cacheKey();
        for (const Entry& entry : m_recent)
            if (entry.key == key && entry.size == size)
                return entry.image;
        const qsizetype bytes = qsizetype(size.width()) * size.height() * 4;
        qsizetype kept = bytes;
        for (size_t i = 0; i < m_recent.size(); ++i) {
            kept += m_recent[i].image.sizeInBytes();
            if (kept > kKeptBytes) {
                m_recent.resize(i);
                break;
            }
        }
        QImage copy = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (cameFromJpeg(image))
            copy.setText(kJpegOrigin, QStringLiteral("1"));
        if (bytes <= kKeptBytes)
            m_recent.insert(m_recent.begin(), Entry{key, size, copy});
        return copy;
    }

private:
    static constexpr qsizetype kKeptBytes = 16 * 1024 * 1024;
    struct Entry
    {
        qint64 key;
        QSize size;
        QImage image;
    };
    std::vector<Entry> m_recent; // newest first
};

namespace {

// Draws a picture into rect at no more than the device's resolution: a picture with more
// pixels than its printed size is reduced first (a 12-megapixel photo a few inches wide
// would otherwise fill the file with pixels no printer can put on paper), never enlarged.
// A photo that came as JPEG goes to a PDF as JPEG; everything else stays lossless.
void drawPicture(QPainter& painter, const QRect& rect, const QImage& image,
                 ReducedPictures& reduced)
{
    const QImage printed = reduced.reduced(image, printedPixels(painter, rect, image));
    if (!cameFromJpeg(image)) {
        drawImage(painter, rect, printed);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::LosslessImageRendering, false);
    drawImage(painter, rect, printed);
    painter.restore();
}

// One page's items drawn one after another where their placement sends them: onto the
// sheet, or in the business-card layout into each of the card's places, through the map from
// the 1050 x 600 card to the place and clipped to it.
class PageDrawing
{
public:
    PageDrawing(QPainter& sheet, QList<QRect> cardPlaces, ReducedPictures& reduced)
        : m_sheet(sheet), m_places(std::move(cardPlaces)), m_reduced(reduced)
    {
        m_sheet.save();
        setPrintHints(m_sheet);
    }
    ~PageDrawing() { m_sheet.restore(); }
    PageDrawing(const PageDrawing&) = delete;
    PageDrawing& operator=(const PageDrawing&) = delete;

    // Draws one item into its place, as text where it comes laid out; false when it has
    // nothing to draw.
    bool draw(const ItemPlacement& placed, const QImage& drawable, const TextLayout* text = nullptr)
    {
        if (drawable.isNull() && !text)
            return false;
        if (placed.rect.isEmpty() || !m_sheet.isActive())
            return true;
        if (placed.target == PrintTarget::Sheet) {
            drawItem(placed, drawable, text);
            return true;
        }
        for (const QRect& place : m_places) {
            m_sheet.save();
            m_sheet.setClipRect(place, Qt::IntersectClip);
            m_sheet.translate(place.topLeft());
            m_sheet.scale(qreal(place.width()) / kCardBitmapWidth,
                          qreal(place.height()) / kCardBitmapHeight);
            drawItem(placed, drawable, text);
            m_sheet.restore();
        }
        return true;
    }

private:
    void drawItem(const ItemPlacement& placed, const QImage& drawable, const TextLayout* text)
    {
        if (text)
            drawText(m_sheet, placed.rect, placed.turn, *text);
        else
            drawPicture(m_sheet, placed.rect, drawable, m_reduced);
    }

    QPainter& m_sheet;
    QList<QRect> m_places;
    ReducedPictures& m_reduced;
};

// The places a business card of the page goes into: every one from the sheet's first.
QList<QRect> repeatedCardPlaces(int layout, int resolution, const CardSheet& sheet)
{
    if (layout != BusinessCard)
        return {};
    return cardPlaces(sheet, resolution).mid(firstPlace(sheet));
}

void drawCardMarks(QPainter& painter, int layout, int resolution, const CardSheet& sheet)
{
    if (layout == BusinessCard && sheet.cutMarks)
        drawCutMarks(painter, sheet, resolution);
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
    page.reduced = reuse && reuse->reduced ? reuse->reduced : std::make_shared<ReducedPictures>();
    const auto placed = placedItems(job, printable);
    page.items.reserve(qsizetype(placed.size())); // the pointers kept in loaded stay valid
    QHash<QString, const PreparedItem*> loaded;
    const auto remember = [&](const PreparedItem& prepared) {
        const QString key = SharedPictures::keyOf(prepared.item, job, prepared.placed.turn);
        if (!key.isEmpty() && !prepared.drawable.isNull())
            loaded.insert(key, &prepared);
    };
    if (reuse && reuse->layout == job.layout)
        for (const PreparedItem& earlier : reuse->items)
            remember(earlier);
    for (const auto& [item, place] : placed) {
        PreparedItem prepared{*item, place, QImage{}, nullptr};
        const PreparedItem* earlier = nullptr;
        if (reuse && reuse->layout == job.layout) {
            for (const PreparedItem& candidate : reuse->items) {
                if (candidate.item.kind == item->kind && candidate.item.geometry == item->geometry &&
                    candidate.item.attributes == item->attributes &&
                    candidate.placed.rect == place.rect && candidate.placed.turn == place.turn) {
                    earlier = &candidate;
                    break;
                }
            }
        }
        // Other items of the same picture file, on this page or the one before, share its
        // bitmap.
        const QString key = SharedPictures::keyOf(*item, job, place.turn);
        if (!earlier && !key.isEmpty())
            earlier = loaded.value(key, nullptr);
        if (earlier) {
            prepared.drawable = earlier->drawable;
            prepared.text = earlier->text;
        } else {
            prepared.drawable = loadItem(*item, job, place.turn, page.report, &prepared.text);
        }
        page.items.append(std::move(prepared));
        remember(page.items.constLast());
    }
    return page;
}

QImage composeCard(const PreparedPage& page, QSize size)
{
    QImage card(size, QImage::Format_RGB32);
    card.fill(Qt::white);
    QPainter painter(&card);
    {
        ReducedPictures reduced;
        PageDrawing drawing(painter, {card.rect()}, page.reduced ? *page.reduced : reduced);
        for (const PreparedItem& prepared : page.items)
            drawing.draw(prepared.placed, prepared.drawable, prepared.text.get());
    }
    painter.end();
    return card;
}

void drawPreparedPage(QPainter& painter, const PreparedPage& page)
{
    {
        ReducedPictures reduced;
        PageDrawing drawing(painter, repeatedCardPlaces(page.layout, page.resolution, page.cards),
                            page.reduced ? *page.reduced : reduced);
        for (const PreparedItem& prepared : page.items)
            drawing.draw(prepared.placed, prepared.drawable, prepared.text.get());
    }
    drawCardMarks(painter, page.layout, page.resolution, page.cards);
}

void drawCardSheet(QPainter& painter, const QList<PreparedPage>& cards, int dpi,
                   const CardSheet& sheet)
{
    const QList<QRect> places = cardPlaces(sheet, dpi);
    for (int n = 0; n < cards.size() && firstPlace(sheet) + n < places.size(); ++n) {
        ReducedPictures reduced;
        const PreparedPage& card = cards.at(n);
        PageDrawing drawing(painter, {places.at(firstPlace(sheet) + n)},
                            card.reduced ? *card.reduced : reduced);
        for (const PreparedItem& prepared : card.items)
            drawing.draw(prepared.placed, prepared.drawable, prepared.text.get());
    }
    drawCardMarks(painter, BusinessCard, dpi, sheet);
}

namespace {

// A picture item's load, run on a worker thread. Texts are not: their renderer writes the
// job's one scratch picture.
std::future<QImage> loadInBackground(const PrintItem& item, const ItemPlacement& placed,
                                     const PrintJob& job)
{
    return std::async(std::launch::async, loadDrawable, picturePath(item, job), placed.turn);
}

} // namespace

// Items are loaded at full resolution one at a time, the next picture being decoded while
// the one before is drawn (the PDF engine's compression is most of the work). A page of
// large photos thus holds two of them at once, never the whole page.
CompositionReport ComposePage(QPainter& painter, QSize printable, const PrintJob& job)
{
    CompositionReport report;
    ReducedPictures reduced;
    std::optional<PageDrawing> drawing;
    drawing.emplace(painter, repeatedCardPlaces(job.layout, job.resolution, job.cards), reduced);
    const auto items = placedItems(job, printable);
    SharedPictures shared;
    const auto keyOf = [&](size_t i) {
        return SharedPictures::keyOf(*items[i].first, job, items[i].second.turn);
    };
    std::future<QImage> next;
    const auto startLoading = [&](size_t i) {
        next = i < items.size() && items[i].first->kind != TextItem &&
                       !shared.find(keyOf(i))
                   ? loadInBackground(*items[i].first, items[i].second, job)
                   : std::future<QImage>();
    };
    startLoading(0);
    for (size_t i = 0; i < items.size(); ++i) {
        const auto& [item, placed] = items[i];
        const QString key = keyOf(i);
        QImage drawable;
        std::shared_ptr<const TextLayout> text;
        if (const QImage* kept = shared.find(key))
            drawable = *kept;
        else if (next.valid())
            drawable = next.get();
        else
            drawable = loadItem(*item, job, placed.turn, report, &text);
        shared.keep(key, drawable);
        startLoading(i + 1);
        if (drawing->draw(placed, drawable, text.get()))
            ++report.itemsDrawn;
    }
    drawing.reset();
    drawCardMarks(painter, job.layout, job.resolution, job.cards);
    return report;
}

} // namespace quadrela
