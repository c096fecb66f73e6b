// The print composition: the page drawn as one sheet onto any painter, whether a printer,
// a PDF file or an image. Pictures are reloaded from their files at full resolution and
// texts are laid out again at five times their size and drawn as text, so nothing shown on
// screen is used.
#pragma once

#include "cardstock.h"
#include "imaging/picload.h"
#include "imaging/textrender.h"
#include "page/items.h"
#include "placement.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

class QPainter;
class QWidget;

namespace quadrela {

struct AppState;

// One item as printing sees it.
struct PrintItem
{
    quint8 kind = PictureItem;
    TDesc attributes;
    QRect geometry; // the control's geometry on the page, in page pixels
};

// What the composition needs: a value, so the same job can be drawn anywhere.
struct PrintJob
{
    int layout = FullPage;
    QSize pageSize;         // DW x DH
    QList<PrintItem> items; // in drawing order, bottom of the stack first
    QString workingFolder;  // where picture and border files are, ends in "/"
    QString scratchPicture; // where texts that cannot be printed as text are rendered ("temp.png")
    int resolution = kCardSheetDpi; // the device's pixels per inch, where business cards go
    CardSheet cards;
};

// The items in the stacking order of their controls: each child of the page, bottom
// first, contributes the item it leads to; children that are no item's control (the
// background) contribute nothing. Each item therefore appears exactly once.
QList<PrintItem> itemsInDrawingOrder(const TCampos& items, const QWidget* page);

// The job for the page as it stands.
PrintJob printJobFor(const AppState& state, const TCampos& items, const QWidget* page);

// The text attributes an item is printed with: the item's own, at five times its size.
TextAttributes printTextAttributes(const TDesc& attributes);

struct CompositionReport
{
    int itemsDrawn = 0;
    // The messages of text items that could not be rendered (each printed as nothing).
    QStringList textFailures;
};

// Draws the job onto painter, whose device pixels start at the top-left corner of the
// printable area of printable size. Each item is loaded into a fresh work bitmap (its
// transparent colour never carries over to the next item) and stretched into its place;
// an item whose picture is missing or unreadable draws nothing. A text is drawn as text over
// the place its rendered picture would take, line by line where that picture has each line;
// only a text whose font cannot be embedded is rendered, into the scratch picture. In the
// business-card layout each item is drawn into every place of the job's card sheet from its
// first card on, the 1050 x 600 card mapped onto the place.
CompositionReport ComposePage(QPainter& painter, QSize printable, const PrintJob& job);

// An item loaded and placed, ready to be drawn any number of times.
struct PreparedItem
{
    PrintItem item;
    ItemPlacement placed;
    // The picture as it is drawn, made once: a PDF stores an image drawn again and again
    // from the same QImage only once. Null when the picture is missing or unreadable, and
    // for a text drawn as text.
    QImage drawable;
    // A text drawn as text: its layout at print size.
    std::shared_ptr<const TextLayout> text;
};

class ReducedPictures;

struct PreparedPage
{
    int layout = FullPage;
    int resolution = kCardSheetDpi;
    CardSheet cards;
    QList<PreparedItem> items; // the placed items, in drawing order
    CompositionReport report;
    // The pictures reduced to their printed size, handed on to every page prepared from
    // this one: a picture on every sheet is reduced once and stored once in a PDF.
    std::shared_ptr<ReducedPictures> reduced;
};

// Loads and places every item of the job as ComposePage does. An item equal to the item
// at the same place in reuse (same kind, attributes and geometry) takes its picture from
// there instead of loading it again: a page filled with one row after another reloads
// only the texts that changed.
PreparedPage preparePage(const PrintJob& job, QSize printable, const PreparedPage* reuse = nullptr);

// The business card of a prepared page by itself: its items drawn onto a white picture of
// size, the 1050 x 600 card mapped onto it.
QImage composeCard(const PreparedPage& page, QSize size = {kCardBitmapWidth, kCardBitmapHeight});

// Draws a prepared full-page or folded-card page onto the sheet; a business-card page is
// drawn into all ten places, as ComposePage does.
void drawPreparedPage(QPainter& painter, const PreparedPage& page);

// A sheet of different business cards at dpi: the items of the n-th card into the n-th
// place in reading order from the sheet's first card; places beyond the last card stay blank.
void drawCardSheet(QPainter& painter, const QList<PreparedPage>& cards, int dpi = kCardSheetDpi,
                   const CardSheet& sheet = {});

} // namespace quadrela
