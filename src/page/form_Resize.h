// The resize dialog: scales the selected item by percentages of its width and height.
#pragma once

#include "steprunner.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quadrela {

class TformResize : public QDialog
{
    Q_OBJECT
public:
    // `selection` gives the control to scale at the moment OK runs (none: null).
    TformResize(std::function<QWidget*()> selection, QWidget* parent = nullptr);

    void btOKClick();
    void btCancelarClick();
    // OK's change runs as one step through this.
    void setStepRunner(StepRunner runner) { m_stepRunner = std::move(runner); }

    QPushButton* btOK = nullptr;
    QPushButton* btCancelar = nullptr;
    QLineEdit* edLargura = nullptr;
    QLineEdit* edAltura = nullptr;
    QCheckBox* cbProporcao = nullptr;
    QLabel* lbLargura = nullptr;
    QLabel* lbAltura = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void edLarguraChange();
    void edAlturaChange();

    std::function<QWidget*()> m_selection;
    StepRunner m_stepRunner;
};

// The size after scaling by p and q percent: rounded half to even, within widget limits.
QSize scaledByPercent(QSize size, int widthPercent, int heightPercent);

} // namespace quadrela
