// The main window: the banner, the command buttons, and the page in its scroll box.
#pragma once

#include "core/state.h"
#include "storage/project.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QMenu;
class QPrinter;
class QScrollArea;
class QToolButton;

namespace quadrela {

class GlyphButton;
class ItemHandlers;
class PageHistory;
class RecoveryWriter;
class SelectionFrame;
struct PageKeyCommand;
class ModalDialogs;
class PageView;
class TCampos;
class TFocusImage;
class TImg;
class WheelHook;

// Qt's question before a file is replaced.
QString overwriteQuestion(const QString& path);

class TformMain : public QWidget
{
    Q_OBJECT
public:
    TformMain(AppState& state, ModalDialogs& dialogs, QWidget* parent = nullptr);
    ~TformMain() override;

    AppState& state() { return m_state; }
    ModalDialogs& dialogs() { return m_dialogs; }
    TCampos& items() { return *m_items; }
    // The one printer of the run, at 600 dots per inch.
    QPrinter& printer();
    ItemHandlers& handlers() { return *m_handlers; }
    PageHistory& history() { return *m_history; }
    RecoveryWriter& recoveryWriter() { return *m_recovery; }
    // The page was replaced ("Novo", opening, recovering): a new history, fresh records.
    void projectReplaced();
    // A new project was chosen: the page, its history and the working folder go. A page
    // changed since "Novo" asked about it is asked about again; false when the user keeps it.
    bool clearPageForNewProject();
    // Frames the selection on screen, unless it is a border item, which cannot move.
    void refreshSelectionFrame();
    // Makes the control the selected item and frames it; null leaves nothing selected.
    void selectItem(TFocusImage* control);

    // "Imagem": picks a picture or clipart and places it on the page.
    void btImagemClick();
    void btNovoClick();
    // Asks about unsaved changes first, then for the file.
    void btAbrirClick();
    void openRecentProject(const QString& path);
    // To the project's file without a question; a page without one asks where. False when
    // nothing was saved.
    bool btSalvarClick();
    // Always asks where; replacing another file is asked about.
    bool btSalvarComoClick();
    // The file the page came from or was last saved to; empty for a new page or a template.
    const QString& projectFile() const { return m_projectFile; }
    // Whether the page changed since it was opened or saved, as its history tells.
    bool isModified() const;
    // "Visualizar" (and Ctrl+P): the sheet as it will print, then print or save it as PDF.
    void btVisualizarClick();
    // Ctrl+E: the page as a PNG or JPEG picture.
    void exportPicture();
    ProjectContext projectContext();

    // Re-centres the page in its scroll box.
    void scrollResize();
    // Shows the page at a zoom, keeping the page point under `anchor` (a point of the
    // scroll box's viewport; its centre when none) where it is.
    void setZoom(double zoom, std::optional<QPoint> anchor = std::nullopt);
    // "Página inteira": the zoom at which the page fits the scroll box, kept while the
    // box changes size.
    void fitPage();
    bool pageFitted() const { return m_fitted; }
    void panelTopResize();
    void panelBottomResize();

    // The controls, named as the window lays them out.
    QWidget* panelTop = nullptr;
    QLabel* imLogo = nullptr;
    TFocusImage* imLogoEdt = nullptr;
    QWidget* panelBottom = nullptr;
    GlyphButton* btnCreditos = nullptr;
    GlyphButton* btnSair = nullptr;
    GlyphButton* btnDesfazer = nullptr;
    GlyphButton* btnRefazer = nullptr;
    SelectionFrame* selectionFrame = nullptr;
    QWidget* panelLeft = nullptr;
    GlyphButton* btnNovo = nullptr;
    GlyphButton* btnAbrir = nullptr;
    GlyphButton* btnSalvar = nullptr;
    GlyphButton* btnTexto = nullptr;
    GlyphButton* btnImagem = nullptr;
    GlyphButton* btnBorda = nullptr;
    GlyphButton* btnImprimir = nullptr;
    GlyphButton* btnVisualizar = nullptr;
    QToolButton* btAbrirSeta = nullptr;    // the recent projects
    QToolButton* btSalvarSeta = nullptr;   // "Salvar como..."
    QMenu* recentMenu = nullptr;
    QMenu* saveMenu = nullptr;
    QScrollArea* scroll = nullptr;
    QWidget* scrollContent = nullptr;  // the scroll box's client area
    QWidget* panelDraw = nullptr;      // the page, in page pixels
    PageView* pageView = nullptr;      // shows the page at the zoom
    QComboBox* cbZoom = nullptr;       // the zoom control
    TFocusImage* imFundo = nullptr;    // the page background
    QWidget* panelCalco = nullptr;     // spacer below the page
    TFocusImage* Im1 = nullptr;        // spare control, never shown
    QMenu* PopupMenu = nullptr;        // the item menu
    WheelHook* wheelHook = nullptr;
    ItemHandlers* m_handlers = nullptr;

signals:
    void creditsRequested();
    void textDialogRequested();
    void borderDialogRequested();
    void newProjectDialogRequested();
    void printRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createPanels();
    void createButtons();
    void createPage();
    void FormCreate();
    // Undo and redo, the keyboard, the selection frame and the recovery records.
    void createEditing();
    // The zoom control, keys and Ctrl+wheel.
    void createZoom();
    void showZoom();
    // Zoomed items out of sight let go of what they keep for the zoom.
    void releaseHiddenZoomed();
    void createProjectMenus();
    void fillRecentMenu();
    void updateTitle();
    // Asks whether to save unsaved changes; false when the user cancels or no save happens.
    bool offerToSave();
    // Replaces the page by the project at path; an empty or missing path changes nothing.
    void openProjectFile(const QString& path);
    bool saveProjectTo(const QString& path);
    bool pageKey(const PageKeyCommand& command);
    // False when the user chose to keep the window open.
    bool FormClose();
    void updateScrollExtent();
    // Connects an item control's events by its kind.
    void wireItem(TImg& item);
    // The print flow with the offset stored for the chosen printer.
    void printWithOffset();

    AppState& m_state;
    ModalDialogs& m_dialogs;
    std::unique_ptr<QPrinter> m_printer;
    int m_paperLayout = -1; // the page layout the printer's default paper was chosen for
    std::unique_ptr<TCampos> m_items;
    PageHistory* m_history = nullptr;
    std::unique_ptr<RecoveryWriter> m_recovery;
    QString m_projectFile;
    bool m_pageOffered = false; // "Novo" asked about the page, and it has not changed since
    bool m_closed = false;
    bool m_fitted = false;
};

} // namespace quadrela
