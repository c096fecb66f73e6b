// The print composition: the page drawn as one sheet onto any painter, whether a printer,
// a PDF file or an image. Pictures are reloaded from their files at full resolution and
// texts are rendered again at five times their size, so nothing shown on screen is used.
#pragma once

#include "page/items.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QPainter;
class QWidget;

namespace quadrela {

struct AppState;

// One item as printing sees it.
struct PrintItem
{
    quint8 kind = PictureItem;
    TDesc attributes;
    QRect geometry;  // the control's geometry on the page, in page pixels
};

// What the composition needs: a value, so the same job can be drawn anywhere.
struct PrintJob
{
    int layout = FullPage;
    QSize pageSize;            // DW x DH
    QList<PrintItem> items;    // in drawing order, bottom of the stack first
    QString workingFolder;     // where picture and border files are, ends in "/"
    QString scratchPicture;    // where texts are rendered for print ("temp.png")
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
// an item whose picture is missing or unreadable draws nothing. In the business-card
// layout the items go onto a white 1050 x 600 card bitmap, which is then stretched into
// the ten fixed card rectangles. The scratch picture is overwritten by each text item.
CompositionReport ComposePage(QPainter& painter, QSize printable, const PrintJob& job);

} // namespace quadrela
