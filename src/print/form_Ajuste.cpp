#include "form_Ajuste.h"

#include "core/dialogs.h"
#include "core/errors.h"
#include "pdffile.h"
#include "printeroffsets.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace quadrela {

namespace {

QDoubleSpinBox* offsetBox(QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setLocale(QLocale(QLocale::Portuguese, QLocale::Brazil));
    box->setRange(-kMaxOffsetMm, kMaxOffsetMm);
    box->setSingleStep(0.1);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" mm"));
    return box;
}

} // namespace

TformAjuste::TformAjuste(ModalDialogs& dialogs, const QPrinter& printer, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_printer(printer)
{
    setWindowTitle(QStringLiteral("Ajustar impressora"));
    createControls();
    loadOffset();
}

void TformAjuste::createControls()
{
    auto* outer = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("Impressoras domésticas raramente imprimem exatamente no lugar pedido. "
                       "Imprima a folha de ajuste, leia nela o deslocamento e guarde-o aqui: "
                       "as impressões nesta impressora serão movidas por ele.\n"
                       "Valores positivos movem a impressão para a direita e para baixo."),
        this);
    intro->setWordWrap(true);
    outer->addWidget(intro);

    auto* form = new QFormLayout;
    cbImpressora = new QComboBox(this);
    cbImpressora->addItems(QPrinterInfo::availablePrinterNames());
    const int current = cbImpressora->findText(m_printer.printerName());
    if (current >= 0)
        cbImpressora->setCurrentIndex(current);
    form->addRow(QStringLiteral("Impressora:"), cbImpressora);
    edHorizontal = offsetBox(this);
    form->addRow(QStringLiteral("Horizontal:"), edHorizontal);
    edVertical = offsetBox(this);
    form->addRow(QStringLiteral("Vertical:"), edVertical);
    outer->addLayout(form);

    lbAviso = new QLabel(this);
    lbAviso->setWordWrap(true);
    lbAviso->setStyleSheet(QStringLiteral("color: #a01010;"));
    outer->addWidget(lbAviso);

    auto* buttons = new QDialogButtonBox(this);
    btFolha = buttons->addButton(QStringLiteral("Imprimir folha de ajuste"),
                                 QDialogButtonBox::ActionRole);
    btFolhaPdf =
        buttons->addButton(QStringLiteral("Salvar folha em PDF..."), QDialogButtonBox::ActionRole);
    btSalvar = buttons->addButton(QDialogButtonBox::Save);
    buttons->addButton(QDialogButtonBox::Cancel);
    outer->addWidget(buttons);

    connect(btFolha, &QPushButton::clicked, this, &TformAjuste::btFolhaClick);
    connect(btSalvar, &QPushButton::clicked, this, &TformAjuste::btSalvarClick);
    connect(btFolhaPdf, &QPushButton::clicked, this, &TformAjuste::btFolhaPdfClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cbImpressora, &QComboBox::currentIndexChanged, this, &TformAjuste::loadOffset);

    if (cbImpressora->count() == 0) {
        cbImpressora->setEnabled(false);
        edHorizontal->setEnabled(false);
        edVertical->setEnabled(false);
        btFolha->setEnabled(false);
        btSalvar->setEnabled(false);
    }
}

void TformAjuste::loadOffset()
{
    if (cbImpressora->count() == 0) {
        lbAviso->setText(QStringLiteral("Nenhuma impressora está instalada; um arquivo PDF não "
                                        "precisa de ajuste."));
        return;
    }
    QSettings settings;
    QString problem;
    const PrintOffset offset = loadPrinterOffset(settings, cbImpressora->currentText(), &problem);
    edHorizontal->setValue(offset.horizontalMm);
    edVertical->setValue(offset.verticalMm);
    lbAviso->setText(problem);
}

PrintOffset TformAjuste::shownOffset() const
{
    return PrintOffset{edHorizontal->value(), edVertical->value()};
}

void TformAjuste::btSalvarClick()
{
    QSettings settings;
    QString problem;
    if (!savePrinterOffset(settings, cbImpressora->currentText(), shownOffset(), &problem)) {
        m_dialogs.message(this, problem, Buttons::Ok);
        return;
    }
    accept();
}

void TformAjuste::btFolhaClick()
{
    const QString name = cbImpressora->currentText();
    if (!QPrinterInfo::availablePrinterNames().contains(name)) {
        m_dialogs.message(this,
                          QStringLiteral("A impressora %1 não está mais disponível.").arg(name),
                          Buttons::Ok);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(name);
    printer.setResolution(600);
    printer.setDocName(QStringLiteral("Quadrela - folha de ajuste"));
    printer.setPageSize(m_printer.pageLayout().pageSize());
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_dialogs.message(
            this, QStringLiteral("A impressora %1 não aceitou a folha de ajuste.").arg(name),
            Buttons::Ok);
        return;
    }
    const PrintOffset applied = shownOffset();
    painter.translate(offsetPixels(applied, printer.resolution()));
    drawCalibrationSheet(painter, sheetGeometry(printer.pageLayout(), printer.resolution()),
                         applied);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        m_dialogs.message(
            this, QStringLiteral("A impressora %1 não aceitou a folha de ajuste.").arg(name),
            Buttons::Ok);
}

void TformAjuste::btFolhaPdfClick()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::SaveDocument;
    request.title = QStringLiteral("Salvar folha de ajuste");
    request.filters = {{QStringLiteral("Documento PDF"), {QStringLiteral("*.pdf")}}};
    request.startFolder = QDir::homePath();
    request.defaultSuffix = QStringLiteral("pdf");
    const QString path = m_dialogs.chooseFile(this, request);
    if (path.isEmpty())
        return;
    const QPageLayout layout(m_printer.pageLayout().pageSize(), QPageLayout::Portrait, QMarginsF());
    try {
        writePdf(path, layout, 600, [&](QPainter& painter, QPdfWriter&) {
            drawCalibrationSheet(painter, sheetGeometry(layout, 600), PrintOffset());
            return true;
        });
        m_dialogs.notify(this, savedNotice(path));
    } catch (const Error& e) {
        m_dialogs.message(this, e.message(), Buttons::Ok);
    }
}

} // namespace quadrela
