// Printing a page once for every row of a spreadsheet: the fields of its texts are
// filled with the row's values, each text rendered for its row exactly as a typed text
// is. Full page and folded card give one sheet per row; business cards put ten rows on a
// sheet, in reading order. Sheets are composed and drawn one at a time, so the memory
// taken does not grow with the rows.
#pragma once

#include "composition.h"
#include "merge/csvreader.h"
#include "merge/fields.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <climits>
#include <functional>
#include <memory>
#include <optional>

class QPagedPaintDevice;

namespace quadrela {

// The count with the noun agreeing with it: "1 linha", "2 linhas", "0 linhas".
QString countOf(qint64 count, const QString& singular, const QString& plural);

// A row that cannot be printed, and why.
struct MergeFault
{
    int line = 0;        // the spreadsheet's row number, the header being row 1
    QStringList columns; // the columns of the text at fault; none when the row is
    QString reason;

    QString text() const;
};

// Returns true to go on without the row, false to stop.
using MergeFaultHandler = std::function<bool(const MergeFault&)>;

// The texts of a page that hold fields, filled row after row.
class MergedSheets
{
public:
    // Opens the spreadsheet (throws quadrela::Error with a message for the user) and
    // matches the page's fields with its columns. Rows firstLine to lastLine, numbered
    // as the spreadsheet numbers them, are printed.
    MergedSheets(PrintJob page, const QString& csvPath, int firstLine = 2, int lastLine = INT_MAX);
    ~MergedSheets();

    const QStringList& header() const { return m_csv->header(); }
    const QStringList& pageFields() const { return m_pageFields; }
    const FieldMatch& match() const { return m_match; }
    // What the user should know before printing: fields without a column, columns no
    // field names, and a first row that looks like data rather than a header.
    QString matchSummary() const;

    int rowsPerSheet() const;
    // The rows sheet (from 0) takes: business cards fill the first sheet from its first card.
    int rowsOnSheet(int sheet) const;
    // The sheet of business cards the rows go onto.
    void setCardSheet(const CardSheet& cards) { m_page.cards = cards; }
    const CardSheet& cardSheet() const { return m_page.cards; }
    // The rows in the range, counted once.
    int rowCount();
    // The sheets those rows fill when none is left out.
    int sheetCount();

    enum class Step
    {
        Sheet,
        End,
        Stopped
    };

    // Reads the next rows, fills and renders them, and composes the sheet onto painter;
    // rows at fault are offered to goOn first. beforeDrawing runs once the sheet's rows are
    // ready (a printer starts its next page there). End when no row is left.
    Step composeNext(QPainter& painter, QSize printable, const MergeFaultHandler& goOn,
                     const std::function<void()>& beforeDrawing = {});

    // Back to the first row of the range.
    void rewind();
    // Rewinds and passes over the rows of the sheets before sheet (from 0) without
    // rendering them, as a preview turns to a sheet; rows at fault count as rows there.
    void seekSheet(int sheet);
    // The rows of the sheets composed so far, and those left out.
    int rowsDone() const { return m_rowsDone; }
    const QList<MergeFault>& leftOut() const { return m_leftOut; }

private:
    bool prepareRow(const CsvRecord& record, QSize printable, PreparedPage& prepared,
                    MergeFault& fault);
    std::optional<QRect> filledGeometry(const PrintItem& item, const QString& filled,
                                        qsizetype index) const;

    PrintJob m_page;
    std::unique_ptr<CsvReader> m_csv;
    QStringList m_pageFields;
    FieldMatch m_match;
    int m_firstLine;
    int m_lastLine;
    int m_rowCount = -1;
    int m_rowsDone = 0;
    int m_sheet = 0; // the sheet composed next
    QList<MergeFault> m_leftOut;
    QList<QSize> m_typedSizes; // per item: the size its typed text has on the page
    PreparedPage m_previous;   // pictures that do not change are taken from here
};

struct MergeOutcome
{
    enum Kind
    {
        Printed,
        Cancelled,
        Stopped,
        NothingToPrint
    } kind = Printed;
    int sheets = 0;
    int rows = 0;
};

// Prints every sheet onto device (a printer or a PDF writer) through painter, which is
// already begun on it. progress is called after each sheet with the sheets and rows done
// so far and returns false to cancel.
MergeOutcome PrintMergedSheets(QPainter& painter, QPagedPaintDevice& device, QSize printable,
                               MergedSheets& sheets, const MergeFaultHandler& goOn,
                               const std::function<bool(int sheets, int rows)>& progress);

} // namespace quadrela
