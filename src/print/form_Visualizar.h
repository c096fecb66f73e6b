// "Visualizar impressão": the whole sheet as the printer will get it, drawn by the same
// composition the printer uses, with the paper's edges, the printer's unprintable margins
// and the printer's offset shown; from here the sheet is printed or saved as PDF.
#pragma once

#include "print/mergeprint.h"
#include "print/printsheet.h"

#include <QDialog>
#include <QPicture>

#include <functional>
#include <memory>
#include <optional>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;

namespace quadrela {

class ModalDialogs;

// The sheet drawn at a zoom, on a grey desk, with its margins marked.
class SheetView : public QWidget
{
    Q_OBJECT
public:
    explicit SheetView(QWidget* parent = nullptr);

    void setSheet(const SheetGeometry& sheet, const QPicture& recorded);
    // Screen pixels per device pixel.
    double scale() const { return m_scale; }
    void setScale(double scale);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect sheetRect() const;

    SheetGeometry m_sheet;
    QPicture m_recorded;
    double m_scale = 0.16;
};

struct PreviewContext
{
    ModalDialogs& dialogs;
    QPrinter& printer;             // the run's printer: its paper, margins and name
    std::function<PrintJob()> job; // the page as it stands
    // The print flow of the "Imprimir" button, onto the business-card places chosen here.
    std::function<void(const CardSheet&)> print;
    // The same flow for every row of a spreadsheet.
    std::function<void(MergedSheets&)> printMerged = nullptr;
};

class TformVisualizar : public QDialog
{
    Q_OBJECT
public:
    TformVisualizar(PreviewContext context, QWidget* parent);

    SheetView* sheetView = nullptr;
    QComboBox* cbPapel = nullptr;
    QLabel* lbImpressora = nullptr;
    QCheckBox* ckAjustePdf = nullptr;
    QComboBox* cbResolucaoPdf = nullptr; // pixels per inch of a saved PDF: 300 or 600
    // Business cards only: the card stock, kept per printer, the first card and cut marks.
    QComboBox* cbFolha = nullptr;
    QSpinBox* seCartao = nullptr;
    QCheckBox* ckMarcas = nullptr;

    void btSalvarPdfClick();
    // The page alone as a picture, whatever spreadsheet is shown.
    void btExportarImagemClick();
    void btAjustarClick();
    // Chooses a spreadsheet: the preview then pages through a sheet per row (ten rows
    // per sheet of business cards), and printing and saving take every sheet.
    void btMalaDiretaClick();
    void showMergedSheet(int sheet);
    void zoomFit();
    void zoomTo(double screenScale);

protected:
    void showEvent(QShowEvent* event) override;
    // Ctrl + wheel anywhere over the sheet's scroll box zooms, one step per notch.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    // Records the composition again for the printer's paper and offset.
    void refresh();
    void zoomStep(int steps);
    double actualSizeScale() const;

    PreviewContext m_ctx;
    QScrollArea* m_scroll = nullptr;
    QLabel* m_zoomLabel = nullptr;
    void createMergeControls(QBoxLayout* row);
    void createCardControls(QBoxLayout* row);
    void folhaChanged();
    // The business-card places as chosen, on paper whose corner is at paperCorner.
    CardSheet chosenCards(QPoint paperCorner = QPoint()) const;
    std::optional<QString> m_folhaFor; // the printer whose card stock the list shows
    void updateMergeControls();

    PrintOffset m_offset;
    bool m_fit = true;
    int m_wheel = 0;
    std::unique_ptr<MergedSheets> m_merge;
    int m_mergedSheet = 0;
    QLabel* m_mergeLabel = nullptr;
    QWidget* m_mergePaging = nullptr;
};

} // namespace quadrela
