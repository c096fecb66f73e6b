#include "handlers.h"

#include "Imgfocus.h"
#include "core/paths.h"
#include "core/state.h"
#include "guidelines.h"
#include "items.h"
#include "screencursor.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>

namespace quadrela {

ItemHandlers::ItemHandlers(TCampos& items, AppState& state, QWidget* page, QMenu* menu,
                           QObject* parent)
    : QObject(parent), m_items(items), m_state(state), m_page(page)
{
    createMenu(menu);
    if (page && page->parentWidget())
        m_guides = new GuideLines(page);
}

void ItemHandlers::createMenu(QMenu* menu)
{
    // Each command is one step for the undo history, named as the menu names it.
    const auto stepAction = [this](QMenu* m, const QString& caption, auto command) {
        return m->addAction(caption, this, [this, caption, command] {
            runStep(m_stepRunner, caption, [this, command] { (this->*command)(); });
        });
    };
    popFrente =
        stepAction(menu, QStringLiteral("Posicionar à frente"), &ItemHandlers::bringToFront);
    popAtras = stepAction(menu, QStringLiteral("Posicionar atrás"), &ItemHandlers::sendToBack);
    popRedimensionar = menu->addAction(QStringLiteral("Redimensionar"), this, [this] {
        if (selectedItem())
            emit resizeRequested();
    });
    popCopiar = menu->addAction(QStringLiteral("Copiar para a área de transferência"), this,
                                &ItemHandlers::copyToClipboard);
    popDeletar = stepAction(menu, QStringLiteral("Excluir"), &ItemHandlers::deleteSelected);
    alignMenu = menu->addMenu(QStringLiteral("Alinhar"));
    popAlinhar = alignMenu->menuAction();
    const std::pair<const char*, AlignCommand> aligns[] = {
        {"Esquerda", AlignCommand::Left},
        {"Centro Horizontal", AlignCommand::HorizontalCentre},
        {"Direita", AlignCommand::Right},
        {"Cabeçalho", AlignCommand::Top},
        {"Centro Vertical", AlignCommand::VerticalCentre},
        {"Rodapé", AlignCommand::Bottom},
    };
    for (const auto& [caption, command] : aligns) {
        const AlignCommand c = command;
        const QString label = QString::fromUtf8(caption);
        alignMenu->addAction(label, this, [this, c, label] {
            runStep(m_stepRunner, label, [this, c] { align(c); });
        });
    }
    const std::tuple<const char*, PictureTurn, QAction* ItemHandlers::*> turns[] = {
        {"Girar 90° à direita", PictureTurn::Right, &ItemHandlers::popGirarDireita},
        {"Girar 90° à esquerda", PictureTurn::Left, &ItemHandlers::popGirarEsquerda},
        {"Espelhar horizontalmente", PictureTurn::MirrorHorizontal, &ItemHandlers::popEspelharH},
        {"Espelhar verticalmente", PictureTurn::MirrorVertical, &ItemHandlers::popEspelharV},
    };
    for (const auto& [caption, command, entry] : turns) {
        const PictureTurn turn = command;
        const QString label = QString::fromUtf8(caption);
        this->*entry = menu->addAction(label, this, [this, turn, label] {
            runStep(m_stepRunner, label, [this, turn] { turnSelected(turn); });
        });
    }
    connect(menu, &QMenu::aboutToShow, this, &ItemHandlers::PopupMenuPopup);
}

void ItemHandlers::wire(TImg& item)
{
    TFocusImage* control = item.Image();
    const quint8 kind = item.Kind();
    connect(control, &TFocusImage::mousePressed, this, &ItemHandlers::Im1MouseDown);
    connect(control, &TFocusImage::clicked, this, &ItemHandlers::Im1Click);
    if (kind == BorderItem) {
        connect(control, &TFocusImage::mouseEntered, this, &ItemHandlers::Im1MouseEnter);
        return;
    }
    connect(control, &TFocusImage::mouseLeft, this, &ItemHandlers::Im1MouseLeave);
    connect(control, &TFocusImage::mouseMoved, this,
            [this](TFocusImage* c, Qt::MouseButtons, QPoint pos) { Im1MouseMove(c, pos); });
    // From press to release, a gesture is one step.
    connect(control, &TFocusImage::mouseReleased, this,
            [this](TFocusImage* c, Qt::MouseButton, QPoint) {
                const QString label = m_gesture & GestureMove ? QStringLiteral("Mover")
                                                              : QStringLiteral("Redimensionar");
                // The step starts from where the press found the item, so undoing it
                // returns the item there.
                if (m_gesture != GestureNone && c == m_gestureControl)
                    c->setGeometry(m_original);
                runStep(m_stepRunner, label, [this, c] { Im1MouseUp(c); });
            });
    if (kind == TextItem)
        connect(control, &TFocusImage::doubleClicked, this, &ItemHandlers::Im1DblClick);
}

TImg* ItemHandlers::selectedItem() const
{
    return m_items.ItemOf(m_selection);
}

void ItemHandlers::Im1MouseDown(TFocusImage* control, Qt::MouseButton button,
                                Qt::MouseButtons buttons, QPoint pos)
{
    // The item pressed last is the selected one, whatever its kind: the keys, the frame and
    // the menu act on what the user last touched.
    m_selection = control;
    if (button == Qt::RightButton)
        return;
    m_pressPoint = pos;
    // The pointer is where it was pressed. Qt reports no move when an item comes to lie
    // under a pointer at rest (after a drag, or when the item is placed there), so an
    // older position would make a click move or resize the item.
    m_lastPointer = pos;
    const TImg* item = m_items.ItemOf(control);
    if (item && item->Kind() == BorderItem)
        return;
    if (item && item->Kind() == TextItem) {
        // A text item is always moved, never resized.
        m_gesture = GestureMove;
        beginGesture(control);
        return;
    }
    Qt::CursorShape shape = screenCursor();
    m_gesture = pickHandle(control->size(), pos, buttons & Qt::LeftButton, screenCursor(), shape);
    if (m_gesture != GestureNone) {
        setScreenCursor(shape);
        beginGesture(control);
    }
}

void ItemHandlers::beginGesture(TFocusImage* control)
{
    m_gestureControl = control;
    m_original = m_shown = control->geometry();
    m_moved = false;
    QList<QRect> others;
    for (int i = 0; i < m_items.Count(); ++i) {
        const TImg& other = m_items.Items(i);
        if (other.Image() != control && other.Kind() != BorderItem && other.Image()->isVisible())
            others.append(other.Image()->geometry());
    }
    m_snap = snapLines(pageSizeFor(m_state.pageLayout), m_state.pageLayout, others);
}

GestureOutcome ItemHandlers::outcomeNow() const
{
    const Qt::KeyboardModifiers held = QGuiApplication::keyboardModifiers();
    const TImg* item = m_items.ItemOf(m_gestureControl);
    GestureOptions options;
    options.keepRatio = item && item->Kind() == PictureItem && !(held & Qt::ShiftModifier);
    options.snap = held & Qt::AltModifier ? nullptr : &m_snap;
    options.tolerance = kSnapDistance / m_state.pageZoom();
    return gestureOutcome(m_gesture, m_original, m_lastPointer, m_pressPoint, options);
}

void ItemHandlers::endGesture()
{
    m_gesture = GestureNone;
    m_gestureControl = nullptr;
    if (m_guides)
        m_guides->showGuides(std::nullopt, std::nullopt, m_state.pageZoom());
}

bool ItemHandlers::cancelGesture()
{
    if (m_gesture == GestureNone)
        return false;
    if (m_gestureControl)
        m_gestureControl->setGeometry(m_original);
    endGesture();
    resetScreenCursor();
    return true;
}

void ItemHandlers::Im1MouseMove(TFocusImage* control, QPoint pos)
{
    if (m_gesture != GestureNone && control == m_gestureControl) {
        // The item follows the pointer, which is taken where the item was at the press:
        // what the release computes from it is what is shown now.
        m_lastPointer = pos + m_shown.topLeft() - m_original.topLeft();
        m_moved = true;
        const GestureOutcome outcome = outcomeNow();
        m_shown = outcome.geometry;
        control->setGeometry(m_shown);
        if (m_guides)
            m_guides->showGuides(outcome.guideX, outcome.guideY, m_state.pageZoom());
        setScreenCursor(pendingShape(m_gesture));
        return;
    }
    m_lastPointer = pos;
    if (m_gesture != GestureNone) {
        setScreenCursor(pendingShape(m_gesture));
        return;
    }
    setScreenCursor(shapeForPosition(control->size(), pos));
}

void ItemHandlers::Im1MouseUp(TFocusImage* control)
{
    if (m_gesture != GestureNone && control == m_gestureControl)
        control->setGeometry(m_moved ? m_shown : outcomeNow().geometry);
    endGesture();
}

void ItemHandlers::Im1Click(TFocusImage* control)
{
    m_selection = control;
}

void ItemHandlers::Im1DblClick(TFocusImage* control)
{
    const int index = m_items.IndexOf(control);
    if (index < 0)
        return;
    const TImg& item = m_items.Items(index);
    m_state.editing.Index = index;
    m_state.editing.Text = item.Attributes().Text;
    m_state.editing.Active = true;
    m_state.editing.control = control;
    m_state.text = textAttributesOf(item.Attributes());
    resetScreenCursor();
    emit textEditRequested();
}

void ItemHandlers::Im1MouseLeave()
{
    if (m_gesture == GestureNone)
        resetScreenCursor();
}

void ItemHandlers::Im1MouseEnter()
{
    resetScreenCursor();
}

void ItemHandlers::PopupMenuPopup()
{
    const TImg* item = selectedItem();
    if (!item || item->Kind() > TextItem)
        return;
    const quint8 kind = item->Kind();
    popFrente->setVisible(kind != BorderItem);
    popAtras->setVisible(kind != BorderItem);
    popRedimensionar->setVisible(kind == PictureItem);
    popCopiar->setVisible(true);
    popDeletar->setVisible(true);
    popAlinhar->setVisible(kind != BorderItem);
    for (QAction* turn : {popGirarDireita, popGirarEsquerda, popEspelharH, popEspelharV}) {
        turn->setVisible(kind == PictureItem);
        turn->setEnabled(!item->ShowsMissingNotice());
    }
}

void ItemHandlers::bringToFront()
{
    if (TImg* item = selectedItem())
        item->Image()->raise();
}

void ItemHandlers::sendToBack()
{
    TImg* selected = selectedItem();
    if (!selected)
        return;
    selected->Image()->lower();
    for (int i = 0; i < m_items.Count(); ++i) {
        if (m_items.Items(i).Kind() == BorderItem)
            m_items.Items(i).Image()->lower();
    }
    if (m_items.context().background)
        m_items.context().background->lower();
}

void ItemHandlers::copyToClipboard()
{
    const TImg* item = selectedItem();
    if (!item)
        return;
    if (item->Kind() == BorderItem || item->Kind() == PictureItem) {
        // A program that pastes without alpha would show transparent parts black: the
        // clipboard gets the picture as drawn over white.
        QImage copied = item->Image()->fullBitmap();
        if (copied.hasAlphaChannel()) {
            QImage onWhite(copied.size(), QImage::Format_RGB32);
            onWhite.fill(Qt::white);
            QPainter(&onWhite).drawImage(0, 0, copied);
            copied = std::move(onWhite);
        }
        QGuiApplication::clipboard()->setImage(copied);
    } else if (item->Kind() == TextItem)
        QGuiApplication::clipboard()->setText(item->Attributes().Text);
}

void ItemHandlers::deleteSelected()
{
    const int index = m_items.IndexOf(m_selection);
    if (index < 0)
        return;
    releaseWorkingCopy(index);
    m_items.Delete(index);
    m_selection = nullptr;
}

void ItemHandlers::releaseWorkingCopy(int index)
{
    // Only the item's own working copy goes, never the path as stored (after opening an
    // archive that names a file on another computer, or anywhere at all), and not while
    // another item still shows the same copy.
    const TImg& item = m_items.Items(index);
    const QString name = workingCopyName(item.Kind(), item.Attributes());
    bool shared = false;
    for (int i = 0; i < m_items.Count() && !shared; ++i) {
        const TImg& other = m_items.Items(i);
        shared = i != index && workingCopyName(other.Kind(), other.Attributes()) == name;
    }
    const QString copy = m_state.workingFolder + name;
    if (!name.isEmpty() && !shared && QFileInfo(copy).isFile()) {
        if (m_discardCopy)
            m_discardCopy(copy);
        else
            QFile::remove(copy);
    }
}

void ItemHandlers::align(AlignCommand command)
{
    TImg* item = selectedItem();
    if (!item || !m_page)
        return;
    const int pw = m_page->width();
    const int ph = m_page->height();
    const int w = item->GetWidth();
    const int h = item->GetHeight();
    switch (command) {
    case AlignCommand::Left:
        item->SetLeft(0);
        break;
    case AlignCommand::HorizontalCentre:
        item->SetLeft(pw / 2 - w / 2);
        break;
    case AlignCommand::Right:
        item->SetLeft(pw - w);
        break;
    case AlignCommand::Top:
        item->SetTop(0);
        break;
    case AlignCommand::VerticalCentre:
        item->SetTop(ph / 2 - h / 2);
        break;
    case AlignCommand::Bottom:
        item->SetTop(ph - h);
        break;
    }
}

} // namespace quadrela
