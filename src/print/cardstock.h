// The sheets of card stock business cards are printed on: where each card of a sheet lies,
// which place the first card of a job takes, and the cut marks for plain paper.
#pragma once

#include <QList>
#include <QPageSize>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSizeF>
#include <QString>

class QPainter;
class QSettings;

namespace quadrela {

inline constexpr int kCardsPerSheet = 10;

struct CardStock
{
    QString name;        // what the command line takes and the settings keep
    QString description; // what the "Folha" list shows, with the products it fits
    QPageSize::PageSizeId paper = QPageSize::Letter;
    // The sheet this program has always printed: the fixed table of cardSheetRects, from
    // the printable area's corner, each card stretched to its place.
    bool fixedTable = false;
    // In millimetres, from the paper's corner: the first card's corner, a card's size and
    // the distance from one card's corner to the next one's, across and down.
    QPointF marginMm;
    QSizeF cardMm;
    QSizeF pitchMm;
    int columns = 2;
    int rows = 5;
};

// Every sheet offered, the default first.
const QList<CardStock>& cardStocks();
// The stock of that name, the default for an empty or unknown one.
const CardStock& cardStock(const QString& name);
bool isCardStockName(const QString& name);

// How the business cards of a job go onto the sheet.
struct CardSheet
{
    QString stock;     // a name from cardStocks(); empty: the default
    int firstCard = 1; // the place, 1 to 10 in reading order, the first card takes
    bool cutMarks = false;
    // The paper's corner in device pixels from the printable area's corner (zero or less):
    // stock is cut from the paper's edge, wherever the printer starts printing.
    QPoint paperCorner;
};

// The places of the sheet in reading order, left to right and then down, in device pixels
// at dpi from the printable area's corner: the rectangles the card is drawn into. A card is
// scaled into the stock's card keeping its proportions, centred.
QList<QRect> cardPlaces(const CardSheet& sheet, int dpi);

// The index in cardPlaces of the first place used, 0 to 9.
int firstPlace(const CardSheet& sheet);

// Short lines outside the cards, in line with each of their edges, for cutting them out
// of plain paper.
void drawCutMarks(QPainter& painter, const CardSheet& sheet, int dpi);

// The stock kept for the printer (an empty name is a file rather than a printer): empty
// when nothing, or a name no longer offered, is stored.
QString loadPrinterCardStock(QSettings& settings, const QString& printerName);
// False for an unknown stock or settings that cannot be written.
bool savePrinterCardStock(QSettings& settings, const QString& printerName, const QString& stock);

} // namespace quadrela
