// The text dialog: the user types a text block and chooses its font, colour, size, style
// and alignment; OK adds the block, or replaces the block being changed.
#pragma once

#include "core/state.h"
#include "page/steprunner.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace quadrela {

class TCampos;
class TFocusImage;

class TformTexto : public QDialog
{
    Q_OBJECT
public:
    TformTexto(AppState& state, TCampos& items, QWidget* parent = nullptr);

    // Runs the showing steps again for the block just double-clicked, when the dialog is
    // already open; shows the dialog otherwise.
    void showForEditing();

    void btOKClick();
    void btCancelarClick();
    // OK's change to the page runs as one step through this.
    void setStepRunner(StepRunner runner) { m_stepRunner = std::move(runner); }
    // The text box's text as the block's text: its lines, each followed by CR LF.
    QString blockText() const;

    QComboBox* cbFont = nullptr;
    QComboBox* cbCores = nullptr;
    QSpinBox* edTamanho = nullptr;
    QComboBox* cbEstilo = nullptr;
    QToolButton* spbtEsquerda = nullptr;
    QToolButton* spbtCentro = nullptr;
    QToolButton* spbtDireita = nullptr;
    QPlainTextEdit* memoText = nullptr;
    QPushButton* btCancelar = nullptr;
    QPushButton* btOK = nullptr;
    QLabel* lbAviso = nullptr; // says why a character was not accepted

    // Escape and the close box leave the dialog as Cancel does.
    void reject() override;

signals:
    // OK placed this block on the page.
    void blockPlaced(TFocusImage* control);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void FormCreate();
    void FormShow();
    void cbFontChange();
    void cbCoresChange();
    void edTamanhoChange();
    void cbEstiloChange();
    void setAlignment(quint8 alignment);
    void showAlignment(quint8 alignment);
    void selectFont(const QString& family);
    void memoTextChanged();
    // The control of the block placed; null when the text was empty.
    TFocusImage* placeBlock();

    AppState& m_state;
    TCampos& m_items;
    TextAttributes m_saved;
    QString m_lastAcceptedText;
    StepRunner m_stepRunner;
};

// The style list's entries, in order, and the style bits of each.
quint8 styleForEntry(int entry);
int entryForStyle(quint8 style);

// The font list's entries from the font database's families: plain family names, sorted,
// each once. A family installed from several foundries comes as "Name [foundry]", which
// the record file cannot hold; the generic aliases name no font of their own.
QStringList fontFamilyChoices(const QStringList& families);

} // namespace quadrela
