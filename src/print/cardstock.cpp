#include "cardstock.h"

#include "placement.h"

#include <QPainter>
#include <QSettings>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <set>

namespace quadrela {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kCardAspect = double(kCardBitmapWidth) / kCardBitmapHeight;
constexpr double kCutMarkMm = 5.0;
constexpr double kCutMarkGapMm = 1.5;

int pixels(double mm, int dpi)
{
    return int(std::lround(mm * dpi / kMmPerInch));
}

// A printer name may hold "/" or "\", which settings read as group separators; the prefix
// keeps a file's entry (no name) apart from every printer's.
QString stockKey(const QString& printerName)
{
    return QStringLiteral("FolhaCartoes/_%1")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(printerName)));
}

} // namespace

const QList<CardStock>& cardStocks()
{
    static const QList<CardStock> stocks = [] {
        CardStock today;
        today.name = QStringLiteral("carta-10");
        today.description = QStringLiteral("Carta, 10 cartões de 87 x 50 mm");
        today.fixedTable = true;

        // 3.5 x 2 in cards edge to edge, 0.75 in from the left and 0.5 in from the top.
        CardStock letter;
        letter.name = QStringLiteral("carta-5371");
        letter.description = QStringLiteral(
            "Carta, 10 cartões de 3,5 x 2 pol (88,9 x 50,8 mm): Avery 5371, 5376, 5377, 5871, "
            "5877, 5911, 8371, 8376, 8377, 8471, 8871, 8873, 8876, 8877 e compatíveis");
        letter.marginMm = QPointF(0.75 * kMmPerInch, 0.5 * kMmPerInch);
        letter.cardMm = QSizeF(3.5 * kMmPerInch, 2 * kMmPerInch);
        letter.pitchMm = letter.cardMm;

        // 85 x 54 mm cards 10 mm apart across, edge to edge down.
        CardStock a4;
        a4.name = QStringLiteral("a4-c32011");
        a4.description = QStringLiteral("A4, 10 cartões de 85 x 54 mm: Avery C32011, Geha P70, "
                                        "P71, P72, P73 e compatíveis");
        a4.paper = QPageSize::A4;
        a4.marginMm = QPointF(15, 13.5);
        a4.cardMm = QSizeF(85, 54);
        a4.pitchMm = QSizeF(95, 54);
        return QList<CardStock>{today, letter, a4};
    }();
    return stocks;
}

bool isCardStockName(const QString& name)
{
    const QList<CardStock>& stocks = cardStocks();
    return std::any_of(stocks.begin(), stocks.end(),
                       [&](const CardStock& s) { return s.name == name; });
}

const CardStock& cardStock(const QString& name)
{
    for (const CardStock& stock : cardStocks())
        if (stock.name == name)
            return stock;
    return cardStocks().constFirst();
}

int firstPlace(const CardSheet& sheet)
{
    return std::clamp(sheet.firstCard, 1, kCardsPerSheet) - 1;
}

QList<QRect> cardPlaces(const CardSheet& sheet, int dpi)
{
    const CardStock& stock = cardStock(sheet.stock);
    QList<QRect> places;
    if (stock.fixedTable) {
        // The table goes down the left column first.
        const QList<QRect> table = cardSheetRects(dpi);
        for (int n = 0; n < kCardsPerSheet; ++n)
            places.append(table.at((n % 2) * 5 + n / 2));
        return places;
    }
    // The largest rectangle of the card's proportions inside the stock's card, centred.
    double width = stock.cardMm.width();
    double height = stock.cardMm.height();
    if (width > height * kCardAspect)
        width = height * kCardAspect;
    else
        height = width / kCardAspect;
    const QPointF inset((stock.cardMm.width() - width) / 2, (stock.cardMm.height() - height) / 2);
    for (int row = 0; row < stock.rows; ++row) {
        for (int column = 0; column < stock.columns; ++column) {
            const QPointF corner =
                stock.marginMm + inset +
                QPointF(column * stock.pitchMm.width(), row * stock.pitchMm.height());
            const int left = pixels(corner.x(), dpi);
            const int top = pixels(corner.y(), dpi);
            places.append(QRect(left, top, pixels(corner.x() + width, dpi) - left,
                                pixels(corner.y() + height, dpi) - top)
                              .translated(sheet.paperCorner));
        }
    }
    return places;
}

void drawCutMarks(QPainter& painter, const CardSheet& sheet, int dpi)
{
    const QList<QRect> places = cardPlaces(sheet, dpi);
    if (places.isEmpty())
        return;
    // Every edge of a card is a cut, and its marks go beyond the outermost cards.
    std::set<int> across;
    std::set<int> down;
    QRect block;
    for (const QRect& place : places) {
        across.insert({place.left(), place.left() + place.width()});
        down.insert({place.top(), place.top() + place.height()});
        block |= place;
    }
    const int gap = pixels(kCutMarkGapMm, dpi);
    const int length = pixels(kCutMarkMm, dpi);
    const int blockRight = block.left() + block.width();
    const int blockBottom = block.top() + block.height();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, std::max(1, pixels(0.1, dpi)), Qt::SolidLine, Qt::FlatCap));
    // A margin too narrow for a whole mark gets what fits between the paper's edge and the
    // cards.
    const int above = std::max(sheet.paperCorner.y(), block.top() - gap - length);
    const int before = std::max(sheet.paperCorner.x(), block.left() - gap - length);
    for (int x : across) {
        if (above < block.top() - gap)
            painter.drawLine(x, above, x, block.top() - gap);
        painter.drawLine(x, blockBottom + gap, x, blockBottom + gap + length);
    }
    for (int y : down) {
        if (before < block.left() - gap)
            painter.drawLine(before, y, block.left() - gap, y);
        painter.drawLine(blockRight + gap, y, blockRight + gap + length, y);
    }
    painter.restore();
}

QString loadPrinterCardStock(QSettings& settings, const QString& printerName)
{
    const QString name = settings.value(stockKey(printerName)).toString();
    return isCardStockName(name) ? name : QString();
}

bool savePrinterCardStock(QSettings& settings, const QString& printerName, const QString& stock)
{
    if (!isCardStockName(stock))
        return false;
    settings.setValue(stockKey(printerName), stock);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace quadrela
