// The new-project dialog: the user picks a category, one of its models or a blank page,
// sees the model's preview, and OK sets the page up and opens the template.
#pragma once

#include "catalogue/catalogue.h"
#include "storage/project.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace quadrela {

struct AppState;
class ModalDialogs;

class TformNovo : public QDialog
{
    Q_OBJECT
public:
    // What the dialog needs from the main window, asked for when OK runs: the page and its
    // items, and the re-centring of the page in its scroll box.
    struct MainWindowLink
    {
        std::function<ProjectContext()> projectContext;
        std::function<void()> scrollResize;
        bool showAtStart = true; // false when a crashed run's page may be recovered first
        // Empties the page for the chosen project before it is set up; false keeps the page.
        std::function<bool()> clearPage;
    };

    // Loads the template catalogue and shows the dialog.
    TformNovo(AppState& state, ModalDialogs& dialogs, MainWindowLink link,
              QWidget* parent = nullptr);

    void rgCasaClick(int place);
    void rgEmpresaClick(int place);
    // Shows the preview of the selected model. Throws when its picture cannot be read;
    // the preview then keeps what it showed.
    void listModelosClick();
    void btOKClick();
    void btCancelarClick();

    // The current category, "" before the first choice.
    const QString& currentCategoryKey() const { return m_key; }
    const CategoryEntry& categoryEntry() const { return m_entry; }
    // The selected entry's place in the model list plus 1 ("Em branco" included); 0 with
    // no entry selected.
    int modelNumber() const;

    QWidget* panelLeft = nullptr;
    QGroupBox* rgCasa = nullptr;
    QGroupBox* rgEmpresa = nullptr;
    QButtonGroup* casaButtons = nullptr;    // id = place in the list
    QButtonGroup* empresaButtons = nullptr; // id = place in the list
    QWidget* panelPreview = nullptr;
    QGroupBox* gbModelos = nullptr;
    QListWidget* listModelos = nullptr;
    QGroupBox* gbPreview = nullptr;
    QWidget* panelP = nullptr;
    QLabel* imPreview = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCancelar = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createCategoryGroups();
    void createPreviewPanel();
    void FormCreate();
    void FormShow();
    void chooseCategory(bool business, int place);
    // Loads the preview of a model number into imPreview; a missing file clears it.
    void showPreview(int model);

    AppState& m_state;
    ModalDialogs& m_dialogs;
    MainWindowLink m_link;
    QString m_catalogue; // the text of "modelos.txt"
    QString m_key;
    CategoryEntry m_entry;
};

} // namespace quadrela
