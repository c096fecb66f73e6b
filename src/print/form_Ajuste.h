// "Ajustar impressora": the horizontal and vertical offset measured for each printer,
// kept in the user's settings, and the calibration sheet to measure it with.
#pragma once

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPrinter;
class QPushButton;

namespace quadrela {

class ModalDialogs;
struct PrintOffset;

class TformAjuste : public QDialog
{
    Q_OBJECT
public:
    // printer: the run's printer, whose name is chosen first and whose paper the
    // calibration sheet is printed on.
    TformAjuste(ModalDialogs& dialogs, const QPrinter& printer, QWidget* parent);

    QComboBox* cbImpressora = nullptr;
    QDoubleSpinBox* edHorizontal = nullptr;
    QDoubleSpinBox* edVertical = nullptr;
    QLabel* lbAviso = nullptr;
    QPushButton* btFolha = nullptr;
    QPushButton* btSalvar = nullptr;
    QPushButton* btFolhaPdf = nullptr;

    void btFolhaClick();
    void btSalvarClick();
    // The calibration sheet as a PDF, for a printer this computer does not reach directly.
    void btFolhaPdfClick();

private:
    void createControls();
    void loadOffset();
    PrintOffset shownOffset() const;

    ModalDialogs& m_dialogs;
    const QPrinter& m_printer;
};

} // namespace quadrela
