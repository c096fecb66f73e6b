#include "mergeprint.h"

#include "core/convert.h"
#include "core/errors.h"
#include "imaging/textrender.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace quadrela {

namespace {

// A message lists this many names at most, each cut to this many characters: a one-line
// file read as a spreadsheet has thousands of columns, and the box must fit on screen.
constexpr int kListedNames = 10;
constexpr int kShownNameChars = 40;

QString listOf(const QStringList& names, const QString& singular, const QString& plural)
{
    QStringList shown;
    for (const QString& name : names.mid(0, kListedNames))
        shown.append(name.size() > kShownNameChars ? name.left(kShownNameChars - 1) + u'…' : name);
    QString list = shown.join(QStringLiteral(", "));
    if (names.size() > kListedNames)
        list += QStringLiteral(" e mais %1").arg(countOf(names.size() - kListedNames, singular, plural));
    return list;
}

int scaled(int value, int numerator, int denominator)
{
    if (denominator <= 0)
        return value;
    return roundHalfEven(double(qint64(value) * numerator) / double(denominator));
}

// The part of the page an item must stay in: the whole page, or on the folded card the
// half (front or inside) it belongs to.
QRect itemArea(int layout, const QRect& geometry, QSize pageSize)
{
    if (layout != FoldedCard)
        return QRect(QPoint(0, 0), pageSize);
    const int half = pageSize.width() / 2;
    if (geometry.left() < half)
        return QRect(0, 0, half, pageSize.height());
    return QRect(half, 0, pageSize.width() - half, pageSize.height());
}

} // namespace

QString countOf(qint64 count, const QString& singular, const QString& plural)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? singular : plural);
}

QString MergeFault::text() const
{
    if (columns.isEmpty())
        return QStringLiteral("Linha %1: %2").arg(line).arg(reason);
    const QString named =
        columns.size() == 1 ? QStringLiteral("coluna %1") : QStringLiteral("colunas %1");
    return QStringLiteral("Linha %1, %2: %3")
        .arg(line)
        .arg(named.arg(columns.join(QStringLiteral(", "))), reason);
}

MergedSheets::MergedSheets(PrintJob page, const QString& csvPath, int firstLine, int lastLine)
    : m_page(std::move(page)), m_csv(std::make_unique<CsvReader>(csvPath)), m_firstLine(firstLine),
      m_lastLine(lastLine)
{
    for (const PrintItem& item : m_page.items) {
        QSize typed;
        if (item.kind == TextItem) {
            for (const QString& name : fieldNames(item.attributes.Text)) {
                if (!m_pageFields.contains(name))
                    m_pageFields.append(name);
            }
            try {
                typed = RenderTextBitmap(textAttributesOf(item.attributes), item.attributes.Text)
                            .size();
            } catch (const Error&) {
                // Printed as it stands; the row's own rendering tells what is wrong.
            }
        }
        m_typedSizes.append(typed);
    }
    m_match = matchFields(m_pageFields, m_csv->header());
}

MergedSheets::~MergedSheets() = default;

QString MergedSheets::matchSummary() const
{
    QStringList lines;
    auto braced = [](QStringList names) {
        for (QString& name : names)
            name = u'{' + name + u'}';
        return listOf(names, QStringLiteral("campo"), QStringLiteral("campos"));
    };
    if (m_pageFields.isEmpty())
        lines.append(QStringLiteral("A página não tem campos: escreva num texto, por exemplo, "
                                    "{Nome}, com o nome de uma coluna da planilha."));
    else if (m_match.columnOf.isEmpty())
        lines.append(QStringLiteral("Nenhum campo da página corresponde a uma coluna: a primeira "
                                    "linha da planilha deve trazer os nomes das colunas."));
    if (!m_match.unmatchedFields.isEmpty())
        lines.append(QStringLiteral("Campos sem coluna na planilha: %1.")
                         .arg(braced(m_match.unmatchedFields)));
    if (!m_match.ambiguousFields.isEmpty())
        lines.append(QStringLiteral("Campos com mais de uma coluna de mesmo nome (vale a "
                                    "primeira): %1.")
                         .arg(braced(m_match.ambiguousFields)));
    if (!m_match.unusedColumns.isEmpty())
        lines.append(QStringLiteral("Colunas que nenhum campo usa: %1.")
                         .arg(listOf(m_match.unusedColumns, QStringLiteral("coluna"),
                                     QStringLiteral("colunas"))));
    return lines.join(u'\n');
}

int MergedSheets::rowsPerSheet() const
{
    return m_page.layout == BusinessCard ? kCardsPerSheet : 1;
}

int MergedSheets::rowCount()
{
    if (m_rowCount < 0) {
        CsvReader counter(m_csv->path());
        CsvRecord record;
        int rows = 0;
        while (counter.next(record) && record.line <= m_lastLine)
            rows += record.line >= m_firstLine ? 1 : 0;
        m_rowCount = rows;
    }
    return m_rowCount;
}

int MergedSheets::rowsOnSheet(int sheet) const
{
    if (m_page.layout != BusinessCard || sheet > 0)
        return rowsPerSheet();
    return kCardsPerSheet - firstPlace(m_page.cards);
}

int MergedSheets::sheetCount()
{
    const int rest = rowCount() - rowsOnSheet(0);
    if (rest <= 0)
        return rowCount() > 0 ? 1 : 0;
    return 1 + (rest + rowsPerSheet() - 1) / rowsPerSheet();
}

void MergedSheets::rewind()
{
    m_csv->rewind();
    m_rowsDone = 0;
    m_sheet = 0;
    m_leftOut.clear();
    m_previous = PreparedPage();
}

void MergedSheets::seekSheet(int sheet)
{
    rewind();
    const int before = sheet > 0 ? rowsOnSheet(0) + (sheet - 1) * rowsPerSheet() : 0;
    int skip = before;
    CsvRecord record;
    while (skip > 0 && m_csv->next(record)) {
        if (record.line > m_lastLine)
            break;
        if (record.line >= m_firstLine)
            --skip;
    }
    m_rowsDone = before - skip;
    m_sheet = sheet;
}

std::optional<QRect> MergedSheets::filledGeometry(const PrintItem& item, const QString& filled,
                                                  qsizetype index) const
{
    const QSize natural = RenderTextBitmap(textAttributesOf(item.attributes), filled).size();
    const QSize typed = m_typedSizes.at(index);
    const QRect& g = item.geometry;
    // A block the user stretched keeps its stretch; one left at its own size gets the
    // size the filled text has, exactly as if it had been typed.
    const int w =
        typed.width() > 0 ? scaled(natural.width(), g.width(), typed.width()) : natural.width();
    const int h = typed.height() > 0 ? scaled(natural.height(), g.height(), typed.height())
                                     : natural.height();
    // It stays where the typed block's alignment holds it: its left edge, its centre or
    // its right edge.
    int x = g.left();
    if (item.attributes.Alignment == 1)
        x = g.left() + (g.width() - w) / 2;
    else if (item.attributes.Alignment == 2)
        x = g.left() + g.width() - w;
    const QRect rect(x, g.top(), w, h);

    const QRect area = itemArea(m_page.layout, g, m_page.pageSize);
    if (area.contains(g) && !area.contains(rect))
        return std::nullopt;
    return rect;
}

bool MergedSheets::prepareRow(const CsvRecord& record, QSize printable, PreparedPage& prepared,
                              MergeFault& fault)
{
    fault = MergeFault{record.line, QStringList(), QString()};
    if (record.fields.size() != header().size()) {
        const auto columns = [](qsizetype n) {
            return countOf(n, QStringLiteral("coluna"), QStringLiteral("colunas"));
        };
        fault.reason = QStringLiteral("a linha tem %1, mas o cabeçalho tem %2.")
                           .arg(columns(record.fields.size()), columns(header().size()));
        return false;
    }
    if (record.oversized >= 0) {
        fault.columns = QStringList{header().at(record.oversized)};
        fault.reason = QStringLiteral("o valor tem mais de %1 kB, mais do que um texto pode "
                                      "mostrar.")
                           .arg(kMaxCsvFieldBytes / 1024);
        return false;
    }

    PrintJob job = m_page;
    for (qsizetype i = 0; i < job.items.size(); ++i) {
        PrintItem& item = job.items[i];
        if (item.kind != TextItem)
            continue;
        const QStringList names = fieldNames(item.attributes.Text);
        const bool hasBraces =
            item.attributes.Text.contains(u'{') || item.attributes.Text.contains(u'}');
        if (names.isEmpty() && !hasBraces)
            continue;
        fault.columns.clear();
        for (const QString& name : names)
            fault.columns.append(header().value(m_match.columnOf.value(fieldKey(name), -1), name));

        const QString filled = fillFields(item.attributes.Text, m_match, record.fields);
        std::optional<QRect> rect;
        try {
            rect = filledGeometry(item, filled, i);
        } catch (const Error& e) {
            fault.reason = e.message();
            return false;
        }
        if (!rect) {
            fault.reason = QStringLiteral("o texto preenchido não cabe na página.");
            return false;
        }
        item.attributes.Text = filled;
        item.geometry = *rect;
    }
    fault.columns.clear();

    prepared = preparePage(job, printable, &m_previous);
    if (!prepared.report.textFailures.isEmpty()) {
        fault.reason = prepared.report.textFailures.first();
        return false;
    }
    m_previous = prepared;
    return true;
}

MergedSheets::Step MergedSheets::composeNext(QPainter& painter, QSize printable,
                                             const MergeFaultHandler& goOn,
                                             const std::function<void()>& beforeDrawing)
{
    QList<PreparedPage> cards;
    PreparedPage sheet;
    int rows = 0;
    CsvRecord record;
    while (rows < rowsOnSheet(m_sheet) && m_csv->next(record)) {
        if (record.line < m_firstLine)
            continue;
        if (record.line > m_lastLine)
            break;
        PreparedPage prepared;
        MergeFault fault;
        if (!prepareRow(record, printable, prepared, fault)) {
            m_leftOut.append(fault);
            if (goOn && goOn(fault))
                continue;
            return Step::Stopped;
        }
        ++rows;
        // The cards share the pictures that do not change from row to row.
        if (m_page.layout == BusinessCard)
            cards.append(std::move(prepared));
        else
            sheet = std::move(prepared);
    }
    if (rows == 0)
        return Step::End;
    if (beforeDrawing)
        beforeDrawing();
    if (m_page.layout == BusinessCard) {
        // Only the first sheet is one already partly used.
        CardSheet places = m_page.cards;
        if (m_sheet > 0)
            places.firstCard = 1;
        drawCardSheet(painter, cards, m_page.resolution, places);
    } else {
        drawPreparedPage(painter, sheet);
    }
    m_rowsDone += rows;
    ++m_sheet;
    return Step::Sheet;
}

MergeOutcome PrintMergedSheets(QPainter& painter, QPagedPaintDevice& device, QSize printable,
                               MergedSheets& sheets, const MergeFaultHandler& goOn,
                               const std::function<bool(int sheets, int rows)>& progress)
{
    MergeOutcome outcome;
    for (;;) {
        const auto step = sheets.composeNext(painter, printable, goOn, [&] {
            if (outcome.sheets > 0 && !device.newPage())
                throw Error(QStringLiteral("Não foi possível começar uma nova folha."));
        });
        if (step == MergedSheets::Step::End)
            break;
        if (step == MergedSheets::Step::Stopped) {
            outcome.kind = MergeOutcome::Stopped;
            return outcome;
        }
        ++outcome.sheets;
        outcome.rows = sheets.rowsDone();
        if (progress && !progress(outcome.sheets, outcome.rows)) {
            outcome.kind = MergeOutcome::Cancelled;
            return outcome;
        }
    }
    if (outcome.sheets == 0)
        outcome.kind = MergeOutcome::NothingToPrint;
    return outcome;
}

} // namespace quadrela
