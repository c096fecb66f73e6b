// The mouse and item-menu handlers of the page: selecting, moving and resizing items,
// opening a text item for editing, and the item menu.
#pragma once

#include "Imgfocus.h"
#include "gestures.h"
#include "imaging/turnpicture.h"
#include "guidelines.h"
#include "steprunner.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

class QAction;
class QMenu;
class QWidget;

namespace quadrela {

struct AppState;
class TCampos;
class TFocusImage;
class TImg;

enum class AlignCommand { Left, HorizontalCentre, Right, Top, VerticalCentre, Bottom };

class ItemHandlers : public QObject
{
    Q_OBJECT
public:
    // Fills `menu` with the item menu's entries.
    ItemHandlers(TCampos& items, AppState& state, QWidget* page, QMenu* menu,
                 QObject* parent = nullptr);

    // Connects an item control's events to the handlers by the item's kind.
    void wire(TImg& item);

    TFocusImage* selection() const { return m_selection; }
    void setSelection(TFocusImage* control) { m_selection = control; }
    Gestures gesture() const { return m_gesture; }
    // Puts the item of a gesture under way back where the press found it and ends the
    // gesture (Escape); false when no gesture is under way.
    bool cancelGesture();
    // The lines shown while a gesture snaps; null when the page has no parent to hold them.
    const GuideLines* guides() const { return m_guides; }
    // The menu's commands and the mouse gestures run as steps through this.
    void setStepRunner(StepRunner runner) { m_stepRunner = std::move(runner); }
    // Where "Excluir" sends the working copy it takes off the page; removed when unset.
    void setCopyDiscarder(std::function<void(const QString& path)> discard)
    {
        m_discardCopy = std::move(discard);
    }

    // Handlers.
    void Im1MouseDown(TFocusImage* control, Qt::MouseButton button, Qt::MouseButtons buttons,
                      QPoint pos);
    void Im1MouseMove(TFocusImage* control, QPoint pos);
    void Im1MouseUp(TFocusImage* control);
    void Im1Click(TFocusImage* control);
    void Im1DblClick(TFocusImage* control);
    void Im1MouseLeave();
    void Im1MouseEnter();
    void PopupMenuPopup();
    void bringToFront();
    void sendToBack();
    void copyToClipboard();
    void deleteSelected();
    void align(AlignCommand command);
    // Shows the selected picture item's picture turned, from a new working copy.
    void turnSelected(PictureTurn turn);

    // The item menu's entries.
    QAction* popFrente = nullptr;
    QAction* popAtras = nullptr;
    QAction* popRedimensionar = nullptr;
    QAction* popCopiar = nullptr;
    QAction* popDeletar = nullptr;
    QAction* popAlinhar = nullptr;
    QMenu* alignMenu = nullptr;
    QAction* popGirarDireita = nullptr;
    QAction* popGirarEsquerda = nullptr;
    QAction* popEspelharH = nullptr;
    QAction* popEspelharV = nullptr;

signals:
    // The user asked for the resize dialog or, by a double-click, for the text dialog.
    void resizeRequested();
    void textEditRequested();

private:
    void createMenu(QMenu* menu);
    // The item of the selection, or null when the selection is gone.
    TImg* selectedItem() const;
    // Takes the item's working copy off the page unless another item shows it too.
    void releaseWorkingCopy(int index);
    void beginGesture(TFocusImage* control);
    // Where the gesture puts the item with the last pointer position and the modifier
    // keys held now.
    GestureOutcome outcomeNow() const;
    void endGesture();

    TCampos& m_items;
    AppState& m_state;
    QPointer<QWidget> m_page;
    QPointer<TFocusImage> m_selection;
    Gestures m_gesture = GestureNone;
    QPoint m_pressPoint;
    QPoint m_lastPointer; // during a gesture: where the item was at the press
    QPointer<TFocusImage> m_gestureControl;
    QRect m_original; // the item's geometry at the press
    QRect m_shown;    // where the item is shown now
    bool m_moved = false;
    SnapLines m_snap;
    QPointer<GuideLines> m_guides;
    StepRunner m_stepRunner;
    std::function<void(const QString&)> m_discardCopy;
};

} // namespace quadrela
