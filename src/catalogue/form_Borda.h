// The border dialog: lists the borders the data folder ships, then the user's own,
// previews the chosen one, and OK adds it to the page as a border item behind everything
// else.
#pragma once

#include "catalogue/catalogue.h"
#include "page/steprunner.h"

#include <QDialog>
#include <QStringList>
#include <optional>

class QButtonGroup;
class QGroupBox;
class QListWidget;
class QPushButton;

namespace quadrela {

struct AppState;
class ModalDialogs;
class TCampos;
class TFocusImage;

class TformBorda : public QDialog
{
    Q_OBJECT
public:
    enum Position
    {
        Frente = 0,
        Interna = 1
    };

    // Loads the border list and the preview files; the dialog stays hidden.
    TformBorda(AppState& state, TCampos& items, ModalDialogs& dialogs, QWidget* parent = nullptr);

    // Draws the selected border's preview over the previous one; never fails.
    void listBordaClick();
    // Adds the selected border. Throws the list's index error with no border selected, and
    // the loader's error for a border picture that cannot be read; nothing is added then.
    void btOKClick();
    void btCancelarClick();
    // OK's change to the page runs as one step through this.
    void setStepRunner(StepRunner runner) { m_stepRunner = std::move(runner); }

    // The selected border's place, -1 with none selected.
    int borderIndex() const;
    // The borders offered, in list order, and the file names of every preview there is.
    const QList<OfferedBorder>& borders() const { return m_borders; }
    const QStringList& previewFiles() const { return m_previewFiles; }

    QGroupBox* rgPosicao = nullptr;
    QButtonGroup* posicaoButtons = nullptr; // id: Position
    QListWidget* listBorda = nullptr;
    TFocusImage* imBorda = nullptr; // draws on its own 160 x 226 bitmap
    QPushButton* btCancelar = nullptr;
    QPushButton* btOK = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void FormCreate();
    std::optional<QStringList> readBorderList(const QString& folder, bool required);
    void FormShow();
    void addBorder();

    AppState& m_state;
    TCampos& m_items;
    ModalDialogs& m_dialogs;
    QList<OfferedBorder> m_borders;
    QStringList m_previewFiles; // the hidden file list
    StepRunner m_stepRunner;
};

} // namespace quadrela
