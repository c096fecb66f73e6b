#include "form_Visualizar.h"

#include "core/dialogs.h"
#include "core/errors.h"
#include "exportimage.h"
#include "form_Ajuste.h"
#include "mergecommand.h"
#include "printcommand.h"
#include "printeroffsets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

namespace quadrela {

namespace {

constexpr int kDeskMargin = 24;
constexpr double kZoomFactor = 1.25;
constexpr double kMinZoom = 0.1; // of the actual size
constexpr double kMaxZoom = 4.0;
constexpr int kNotch = 120;
const QColor kDesk(128, 128, 128);

bool isNamedPrinter(const QPrinter& printer)
{
    return printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty();
}

// A PDF has no edge a printer cannot reach: its whole sheet is printable, as in the PDF
// that quadrela-cli print writes.
QPageLayout wholeSheet(const QPrinter& printer)
{
    return QPageLayout(printer.pageLayout().pageSize(), QPageLayout::Portrait, QMarginsF());
}

QString mmText(double mm)
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(mm, 'f', 1);
}

// Composing reloads every picture at full resolution, which takes a moment.
struct WaitCursor
{
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

SheetView::SheetView(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kDesk);
    setPalette(pal);
}

void SheetView::setSheet(const SheetGeometry& sheet, const QPicture& recorded)
{
    m_sheet = sheet;
    m_recorded = recorded;
    setScale(m_scale);
}

void SheetView::setScale(double scale)
{
    m_scale = scale;
    resize(QSize(int(std::ceil(m_sheet.paper.width() * m_scale)),
                 int(std::ceil(m_sheet.paper.height() * m_scale))) +
           QSize(2 * kDeskMargin, 2 * kDeskMargin));
    update();
}

QRect SheetView::sheetRect() const
{
    return QRect(kDeskMargin, kDeskMargin, width() - 2 * kDeskMargin, height() - 2 * kDeskMargin);
}

void SheetView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect sheet = sheetRect();
    painter.fillRect(sheet.translated(4, 4), QColor(60, 60, 60));

    painter.save();
    painter.translate(sheet.topLeft());
    paintSheet(painter, m_sheet, m_recorded, m_scale);

    // The unprintable margins: whatever the composition puts there never reaches paper.
    painter.scale(m_scale, m_scale);
    QPainterPath margins;
    margins.addRect(m_sheet.paper);
    QPainterPath printable;
    printable.addRect(m_sheet.printable);
    margins = margins.subtracted(printable);
    painter.fillPath(margins, QColor(200, 200, 200, 160));
    painter.fillPath(margins, QBrush(QColor(120, 120, 120), Qt::BDiagPattern));
    painter.restore();

    const QRectF inner(sheet.x() + m_sheet.printable.x() * m_scale,
                       sheet.y() + m_sheet.printable.y() * m_scale,
                       m_sheet.printable.width() * m_scale, m_sheet.printable.height() * m_scale);
    painter.setPen(QPen(QColor(30, 90, 200), 1, Qt::DashLine));
    painter.drawRect(inner);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(sheet.adjusted(0, 0, -1, -1));
}

TformVisualizar::TformVisualizar(PreviewContext context, QWidget* parent)
    : QDialog(parent), m_ctx(std::move(context))
{
    setWindowTitle(QStringLiteral("Visualizar impressão"));
    resize(900, 760);
    createControls();
    refresh();
    zoomFit();
}

void TformVisualizar::createControls()
{
    auto* outer = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Papel:"), this));
    cbPapel = new QComboBox(this);
    cbPapel->addItem(QStringLiteral("Carta (216 x 279 mm)"), int(QPageSize::Letter));
    cbPapel->addItem(QStringLiteral("A4 (210 x 297 mm)"), int(QPageSize::A4));
    // The paper last printed on, which may have been picked in the print dialog.
    const QPageSize paper = m_ctx.printer.pageLayout().pageSize();
    if (cbPapel->findData(int(paper.id())) < 0 && paper.id() != QPageSize::Custom) {
        const QSizeF mm = paper.size(QPageSize::Millimeter);
        cbPapel->addItem(QStringLiteral("%1 (%2 x %3 mm)")
                             .arg(paper.name())
                             .arg(std::lround(mm.width()))
                             .arg(std::lround(mm.height())),
                         int(paper.id()));
    }
    cbPapel->setCurrentIndex(std::max(0, cbPapel->findData(int(paper.id()))));
    top->addWidget(cbPapel);
    top->addSpacing(16);
    const auto addButton = [this](QBoxLayout* row, const QString& caption, auto&& slot) {
        auto* button = new QPushButton(caption, this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        row->addWidget(button);
        return button;
    };
    addButton(top, QStringLiteral("Página inteira"), [this] { zoomFit(); });
    addButton(top, QStringLiteral("100 %"), [this] { zoomTo(actualSizeScale()); });
    addButton(top, QStringLiteral("Diminuir"), [this] { zoomStep(-1); });
    addButton(top, QStringLiteral("Aumentar"), [this] { zoomStep(1); });
    m_zoomLabel = new QLabel(this);
    m_zoomLabel->setMinimumWidth(60);
    top->addWidget(m_zoomLabel);
    top->addStretch(1);
    outer->addLayout(top);

    lbImpressora = new QLabel(this);
    lbImpressora->setWordWrap(true);
    outer->addWidget(lbImpressora);

    auto* cards = new QHBoxLayout;
    createCardControls(cards);
    outer->addLayout(cards);

    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    sheetView = new SheetView;
    m_scroll->setWidget(sheetView);
    outer->addWidget(m_scroll, 1);

    auto* merge = new QHBoxLayout;
    createMergeControls(merge);
    outer->addLayout(merge);

    auto* bottom = new QHBoxLayout;
    addButton(bottom, QStringLiteral("Ajustar impressora..."), [this] { btAjustarClick(); });
    ckAjustePdf = new QCheckBox(QStringLiteral("Aplicar o ajuste da impressora ao PDF"), this);
    bottom->addWidget(ckAjustePdf);
    bottom->addStretch(1);
    cbResolucaoPdf = new QComboBox(this);
    cbResolucaoPdf->addItem(QStringLiteral("PDF a 300 ppi"), 300);
    cbResolucaoPdf->addItem(QStringLiteral("PDF a 600 ppi, para gráfica"), 600);
    cbResolucaoPdf->setToolTip(QStringLiteral("A resolução máxima das imagens no PDF. 300 ppi "
                                              "bastam em casa; gráficas pedem 600."));
    bottom->addWidget(cbResolucaoPdf);
    addButton(bottom, QStringLiteral("Salvar PDF..."), [this] { btSalvarPdfClick(); });
    addButton(bottom, QStringLiteral("Exportar imagem..."), [this] { btExportarImagemClick(); });
    QPushButton* print = addButton(bottom, QStringLiteral("Imprimir..."), [this] {
        accept();
        if (m_merge && m_ctx.printMerged)
            m_ctx.printMerged(*m_merge);
        else if (!m_merge && m_ctx.print)
            m_ctx.print(chosenCards());
    });
    print->setDefault(true);
    addButton(bottom, QStringLiteral("Fechar"), [this] { reject(); });
    outer->addLayout(bottom);

    connect(cbPapel, &QComboBox::currentIndexChanged, this, [this] {
        m_ctx.printer.setPageSize(QPageSize(QPageSize::PageSizeId(cbPapel->currentData().toInt())));
        refresh();
        if (m_fit)
            zoomFit();
    });
    m_scroll->viewport()->installEventFilter(this);
}

void TformVisualizar::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Only a shown dialog knows how much room the sheet has.
    if (m_fit)
        zoomFit();
}

bool TformVisualizar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return QDialog::eventFilter(watched, event);
    const auto* wheel = static_cast<QWheelEvent*>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier))
        return false; // the scroll box scrolls
    m_wheel += wheel->angleDelta().y();
    const int steps = m_wheel / kNotch;
    m_wheel -= steps * kNotch;
    if (steps != 0)
        zoomStep(steps);
    return true;
}

void TformVisualizar::refresh()
{
    QPrinter& printer = m_ctx.printer;
    const bool named = isNamedPrinter(printer);
    QString problem;
    if (named) {
        QSettings settings;
        m_offset = loadPrinterOffset(settings, printer.printerName(), &problem);
        lbImpressora->setText(
            QStringLiteral("Impressora: %1. Ajuste: horizontal %2 mm, vertical %3 mm.%4")
                .arg(printer.printerName(), mmText(m_offset.horizontalMm),
                     mmText(m_offset.verticalMm), problem.isEmpty() ? QString() : u' ' + problem));
    } else {
        m_offset = PrintOffset();
        lbImpressora->setText(QStringLiteral("Nenhuma impressora escolhida: a folha é mostrada "
                                             "como sai em um arquivo PDF."));
    }
    ckAjustePdf->setEnabled(named && m_offset != PrintOffset());
    if (!ckAjustePdf->isEnabled())
        ckAjustePdf->setChecked(false);

    // Each printer has the card stock last chosen for it.
    if (const QString name = named ? printer.printerName() : QString(); m_folhaFor != name) {
        m_folhaFor = name;
        QSettings settings;
        const QSignalBlocker quiet(cbFolha);
        cbFolha->setCurrentIndex(
            std::max(0, cbFolha->findData(loadPrinterCardStock(settings, name))));
    }

    const SheetGeometry sheet = sheetGeometry(printedLayout(printer), printer.resolution());
    const WaitCursor wait;
    const QPoint shift = named ? offsetPixels(m_offset, printer.resolution()) : QPoint();
    const CardSheet cards = chosenCards(-sheet.printable.topLeft());
    if (!m_merge) {
        PrintJob job = m_ctx.job();
        job.resolution = sheet.resolution;
        job.cards = cards;
        sheetView->setSheet(sheet, recordSheet(sheet, job, shift));
        return;
    }
    // A row at fault is left out of the preview and named under it.
    QStringList faults;
    QPicture recorded;
    QPainter painter(&recorded);
    painter.translate(shift);
    m_merge->setCardSheet(cards);
    m_mergedSheet = std::clamp(m_mergedSheet, 0, std::max(0, m_merge->sheetCount() - 1));
    try {
        m_merge->seekSheet(m_mergedSheet);
        m_merge->composeNext(painter, sheet.printable.size(), [&](const MergeFault& fault) {
            faults.append(fault.text());
            return true;
        });
    } catch (const Error& e) {
        faults.append(e.message());
    }
    painter.end();
    sheetView->setSheet(sheet, recorded);
    updateMergeControls();
    if (!faults.isEmpty())
        m_mergeLabel->setText(m_mergeLabel->text() + u'\n' + faults.join(u'\n'));
}

void TformVisualizar::createCardControls(QBoxLayout* row)
{
    auto* box = new QWidget(this);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Folha:"), box));
    cbFolha = new QComboBox(box);
    for (const CardStock& stock : cardStocks())
        cbFolha->addItem(stock.description, stock.name);
    cbFolha->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbFolha->setMinimumContentsLength(30);
    layout->addWidget(cbFolha, 1);
    layout->addWidget(new QLabel(QStringLiteral("Começar no cartão:"), box));
    seCartao = new QSpinBox(box);
    seCartao->setRange(1, kCardsPerSheet);
    seCartao->setToolTip(QStringLiteral("Numa folha já usada em parte, o primeiro cartão livre, "
                                        "contando da esquerda para a direita e de cima para "
                                        "baixo."));
    layout->addWidget(seCartao);
    ckMarcas = new QCheckBox(QStringLiteral("Marcas de corte"), box);
    ckMarcas->setToolTip(QStringLiteral("Para papel comum: traços fora dos cartões mostram "
                                        "onde cortar."));
    layout->addWidget(ckMarcas);
    row->addWidget(box);
    box->setVisible(m_ctx.job().layout == BusinessCard);

    connect(cbFolha, &QComboBox::currentIndexChanged, this, &TformVisualizar::folhaChanged);
    connect(seCartao, &QSpinBox::valueChanged, this, [this] { refresh(); });
    connect(ckMarcas, &QCheckBox::toggled, this, [this] { refresh(); });
}

void TformVisualizar::folhaChanged()
{
    QPrinter& printer = m_ctx.printer;
    QSettings settings;
    const QString stock = cbFolha->currentData().toString();
    savePrinterCardStock(settings, isNamedPrinter(printer) ? printer.printerName() : QString(),
                         stock);
    // Stock is made for one paper: the sheet follows it.
    const CardStock& chosen = cardStock(stock);
    const int paper = cbPapel->findData(int(chosen.paper));
    if (!chosen.fixedTable && paper >= 0 && paper != cbPapel->currentIndex())
        cbPapel->setCurrentIndex(paper); // refreshes
    else
        refresh();
}

CardSheet TformVisualizar::chosenCards(QPoint paperCorner) const
{
    CardSheet cards;
    cards.stock = cbFolha->currentData().toString();
    cards.firstCard = seCartao->value();
    cards.cutMarks = ckMarcas->isChecked();
    cards.paperCorner = paperCorner;
    return cards;
}

void TformVisualizar::createMergeControls(QBoxLayout* row)
{
    auto* button = new QPushButton(QStringLiteral("Mala direta..."), this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, &TformVisualizar::btMalaDiretaClick);
    row->addWidget(button);
    m_mergePaging = new QWidget(this);
    auto* paging = new QHBoxLayout(m_mergePaging);
    paging->setContentsMargins(0, 0, 0, 0);
    const auto add = [&](const QString& caption, auto&& slot) {
        auto* b = new QPushButton(caption, m_mergePaging);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        paging->addWidget(b);
    };
    add(QStringLiteral("< Anterior"), [this] { showMergedSheet(m_mergedSheet - 1); });
    add(QStringLiteral("Próxima >"), [this] { showMergedSheet(m_mergedSheet + 1); });
    add(QStringLiteral("Sem mala direta"), [this] {
        m_merge.reset();
        refresh();
        updateMergeControls();
    });
    row->addWidget(m_mergePaging);
    m_mergeLabel = new QLabel(this);
    m_mergeLabel->setWordWrap(true);
    row->addWidget(m_mergeLabel, 1);
    updateMergeControls();
}

void TformVisualizar::updateMergeControls()
{
    m_mergePaging->setVisible(bool(m_merge));
    if (!m_merge) {
        m_mergeLabel->setText(QStringLiteral("Uma folha com a página como está."));
        return;
    }
    m_mergeLabel->setText(QStringLiteral("Folha %1 de %2 (%3 da planilha)")
                              .arg(m_mergedSheet + 1)
                              .arg(m_merge->sheetCount())
                              .arg(countOf(m_merge->rowCount(), QStringLiteral("linha"),
                                           QStringLiteral("linhas"))));
}

void TformVisualizar::showMergedSheet(int sheet)
{
    if (!m_merge || sheet < 0 || sheet >= m_merge->sheetCount())
        return;
    m_mergedSheet = sheet;
    refresh();
}

void TformVisualizar::btMalaDiretaClick()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::OpenProject;
    request.title = QStringLiteral("Mala direta: escolha a planilha");
    request.filters = {{QStringLiteral("Planilha CSV"), {QStringLiteral("*.csv"), QStringLiteral("*.txt")}}};
    request.startFolder = QDir::homePath();
    const QString path = m_ctx.dialogs.chooseFile(this, request);
    if (path.isEmpty())
        return;
    std::unique_ptr<MergedSheets> merge;
    try {
        const WaitCursor wait;
        merge = std::make_unique<MergedSheets>(m_ctx.job(), path);
        merge->rowCount();
    } catch (const Error& e) {
        m_ctx.dialogs.message(this, e.message(), Buttons::Ok);
        return;
    }
    QString summary = QStringLiteral("%1, %2.").arg(
        countOf(merge->rowCount(), QStringLiteral("linha"), QStringLiteral("linhas")),
        countOf(merge->sheetCount(), QStringLiteral("folha"), QStringLiteral("folhas")));
    if (!merge->matchSummary().isEmpty())
        summary += QStringLiteral("\n\r") + merge->matchSummary();
    m_ctx.dialogs.message(this, summary, Buttons::Ok);
    if (merge->rowCount() == 0)
        return;
    m_merge = std::move(merge);
    m_mergedSheet = 0;
    refresh();
}

double TformVisualizar::actualSizeScale() const
{
    return logicalDpiX() / double(m_ctx.printer.resolution());
}

void TformVisualizar::zoomTo(double screenScale)
{
    const double actual = actualSizeScale();
    const double scale = std::clamp(screenScale, kMinZoom * actual, kMaxZoom * actual);
    m_fit = false;
    sheetView->setScale(scale);
    m_zoomLabel->setText(QStringLiteral("%1 %").arg(std::lround(scale / actual * 100)));
}

void TformVisualizar::zoomFit()
{
    const QSize room = m_scroll->viewport()->size() - QSize(2 * kDeskMargin, 2 * kDeskMargin);
    const QRect paper = m_ctx.printer.pageLayout().fullRectPixels(m_ctx.printer.resolution());
    if (paper.isEmpty() || room.isEmpty())
        return;
    zoomTo(std::min(room.width() / double(paper.width()), room.height() / double(paper.height())));
    m_fit = true;
}

void TformVisualizar::zoomStep(int steps)
{
    zoomTo(sheetView->scale() * std::pow(kZoomFactor, steps));
}

void TformVisualizar::btSalvarPdfClick()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::SaveDocument;
    request.title = QStringLiteral("Salvar PDF");
    request.filters = {{QStringLiteral("Documento PDF"), {QStringLiteral("*.pdf")}}};
    request.startFolder = QDir::homePath();
    request.defaultSuffix = QStringLiteral("pdf");
    const QString path = m_ctx.dialogs.chooseFile(this, request);
    if (path.isEmpty())
        return;
    // Pictures go into the PDF at no more pixels than this per inch of print.
    const int pdfResolution = cbResolucaoPdf->currentData().toInt();
    const QPoint shift =
        ckAjustePdf->isChecked() ? offsetPixels(m_offset, pdfResolution) : QPoint();
    if (m_merge) {
        m_merge->setCardSheet(chosenCards());
        try {
            writeMergedPdf(MergeCommandContext{this, m_ctx.dialogs, *m_merge, shift}, path,
                           wholeSheet(m_ctx.printer), pdfResolution);
        } catch (const Error& e) {
            m_ctx.dialogs.message(this, e.message(), Buttons::Ok);
        }
        refresh();  // the sheets were read to the end
        return;
    }
    CompositionReport report;
    try {
        const WaitCursor wait;
        PrintJob job = m_ctx.job();
        job.resolution = pdfResolution;
        job.cards = chosenCards();
        report = writeSheetPdf(path, wholeSheet(m_ctx.printer), pdfResolution, job, shift);
        m_ctx.dialogs.notify(this, savedNotice(path));
    } catch (const Error& e) {
        m_ctx.dialogs.message(this, e.message(), Buttons::Ok);
        return;
    }
    if (!report.textFailures.isEmpty())
        m_ctx.dialogs.message(this, textFailuresMessage(report.textFailures), Buttons::Ok);
}

void TformVisualizar::btExportarImagemClick()
{
    exportPictureCommand(this, m_ctx.dialogs, m_ctx.job());
}

void TformVisualizar::btAjustarClick()
{
    TformAjuste dialog(m_ctx.dialogs, m_ctx.printer, this);
    dialog.exec();
    refresh();
}

} // namespace quadrela
